#pragma once
// The program's own cursors and tool bar images, drawn once at start.
#include <QCursor>
#include <QIcon>
#include <QString>

// Registers cursors 1 ("CURSOR1", a fine cross with an open centre for reading values) and
// 2 ("CURSOR2", the cross with a range bar for selecting).
void LoadProgramCursors();
// Cursor number N (1 or 2); the arrow for any other number.
QCursor ProgramCursor(int N);
// A tool bar image: Glyph on a rounded tile of the given colour.
QIcon GlyphIcon(const QString &Glyph, QColor Tile);
