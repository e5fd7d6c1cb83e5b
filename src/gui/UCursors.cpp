#include "gui/UCursors.h"

#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <map>

namespace {
std::map<int, QCursor> &Cursors() {
  static std::map<int, QCursor> C;
  return C;
}

// A 32x32 cursor: black lines with a white outline so it shows on any background.
QCursor DrawCursor(bool RangeBar) {
  QPixmap P(32, 32);
  P.fill(Qt::transparent);
  QPainter G(&P);
  auto Cross = [&](const QColor &C, int W) {
    G.setPen(QPen(C, W, Qt::SolidLine, Qt::FlatCap));
    G.drawLine(16, 1, 16, 12);
    G.drawLine(16, 20, 16, 31);
    G.drawLine(1, 16, 12, 16);
    G.drawLine(20, 16, 31, 16);
    if (RangeBar) {
      G.drawLine(4, 24, 28, 24);
      G.drawLine(4, 21, 4, 27);
      G.drawLine(28, 21, 28, 27);
    } else {
      G.drawRect(13, 13, 6, 6);
    }
  };
  Cross(Qt::white, 3);
  Cross(Qt::black, 1);
  G.end();
  return QCursor(P, 16, 16);
}
} // namespace

void LoadProgramCursors() {
  if (!Cursors().empty()) return;
  Cursors()[1] = DrawCursor(false);
  Cursors()[2] = DrawCursor(true);
}

QCursor ProgramCursor(int N) {
  auto It = Cursors().find(N);
  return It == Cursors().end() ? QCursor(Qt::ArrowCursor) : It->second;
}

QIcon GlyphIcon(const QString &Glyph, QColor Tile) {
  QPixmap P(24, 24);
  P.fill(Qt::transparent);
  QPainter G(&P);
  G.setRenderHint(QPainter::Antialiasing);
  G.setBrush(Tile);
  G.setPen(Tile.darker(140));
  G.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
  QFont F = G.font();
  F.setBold(true);
  F.setPixelSize(Glyph.size() > 1 ? 10 : 14);
  G.setFont(F);
  G.setPen(Qt::white);
  G.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, Glyph);
  G.end();
  return QIcon(P);
}
