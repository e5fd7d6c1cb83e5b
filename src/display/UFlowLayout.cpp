#include "display/UFlowLayout.h"

#include <QWidget>
#include <algorithm>

TFlowLayout::TFlowLayout(QWidget *Parent, int HSpacing, int VSpacing)
    : QLayout(Parent), pHSpacing(HSpacing), pVSpacing(VSpacing) {}

TFlowLayout::~TFlowLayout() {
  while (QLayoutItem *Item = takeAt(0))
    delete Item;
}

void TFlowLayout::addItem(QLayoutItem *Item) { pItems.append(Item); }

QLayoutItem *TFlowLayout::itemAt(int i) const { return i >= 0 && i < pItems.size() ? pItems[i] : nullptr; }

QLayoutItem *TFlowLayout::takeAt(int i) { return i >= 0 && i < pItems.size() ? pItems.takeAt(i) : nullptr; }

QSize TFlowLayout::sizeHint() const {
  int W = 0, H = 0, N = 0;
  for (QLayoutItem *Item : pItems) {
    if (Item->isEmpty()) continue;
    const QSize S = Item->sizeHint();
    W += S.width() + (N++ > 0 ? pHSpacing : 0);
    H = std::max(H, S.height());
  }
  const QMargins M = contentsMargins();
  return QSize(W + M.left() + M.right(), H + M.top() + M.bottom());
}

QSize TFlowLayout::minimumSize() const {
  QSize S;
  for (QLayoutItem *Item : pItems)
    if (!Item->isEmpty()) S = S.expandedTo(Item->minimumSize().expandedTo(Item->sizeHint()));
  const QMargins M = contentsMargins();
  return S + QSize(M.left() + M.right(), M.top() + M.bottom());
}

void TFlowLayout::setGeometry(const QRect &R) {
  QLayout::setGeometry(R);
  DoLayout(R, false);
}

int TFlowLayout::DoLayout(const QRect &R, bool TestOnly) const {
  const QRect Area = R.marginsRemoved(contentsMargins());
  int X = Area.x(), Y = Area.y(), RowH = 0;
  bool RowEmpty = true;
  for (QLayoutItem *Item : pItems) {
    if (Item->isEmpty()) continue;
    const QSize S = Item->sizeHint();
    // A new row when this item would pass the right edge (never for the first of a row).
    if (!RowEmpty && X + S.width() > Area.right() + 1) {
      X = Area.x();
      Y += RowH + pVSpacing;
      RowH = 0;
    }
    if (!TestOnly) Item->setGeometry(QRect(QPoint(X, Y), S));
    X += S.width() + pHSpacing;
    RowH = std::max(RowH, S.height());
    RowEmpty = false;
  }
  const QMargins M = contentsMargins();
  return Y + RowH - R.y() + M.bottom();
}
