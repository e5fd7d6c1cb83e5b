#pragma once
// A layout that sets its widgets side by side and starts a new row where the width ends, so
// that the controls above a plot stay whole in a narrow window instead of being cut off.
#include <QLayout>
#include <QList>

class TFlowLayout : public QLayout {
public:
  explicit TFlowLayout(QWidget *Parent = nullptr, int HSpacing = 6, int VSpacing = 2);
  ~TFlowLayout() override;

  void addItem(QLayoutItem *Item) override;
  int count() const override { return static_cast<int>(pItems.size()); }
  QLayoutItem *itemAt(int i) const override;
  QLayoutItem *takeAt(int i) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int Width) const override { return DoLayout(QRect(0, 0, Width, 0), true); }
  // All in one row; at the least as wide as the widest item.
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect &R) override;

private:
  // Places the items in R (or only measures); returns the height used.
  int DoLayout(const QRect &R, bool TestOnly) const;
  QList<QLayoutItem *> pItems;
  int pHSpacing;
  int pVSpacing;
};
