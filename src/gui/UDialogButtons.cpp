#include "gui/UDialogButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout *ButtonRow(std::initializer_list<QPushButton *> Buttons) {
  auto *Row = new QHBoxLayout;
  Row->addStretch();
  for (QPushButton *B : Buttons)
    Row->addWidget(B);
  return Row;
}
