#pragma once
// The row of buttons at the foot of a dialog: pushed to the right edge, in the order given.
#include <initializer_list>

class QHBoxLayout;
class QPushButton;

QHBoxLayout *ButtonRow(std::initializer_list<QPushButton *> Buttons);
