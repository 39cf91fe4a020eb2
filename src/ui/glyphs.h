// The program's own button pictures, drawn at start-up.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace pf {

// A 24 x 20 button picture by name: open, save, undo, redo, restore, zoomout, zoomin, select,
// crop, print, mail, online, expand, shrink, twistright, twistleft, smear, pen, pencil, redeye,
// eraser. Unknown names give an empty picture.
QPixmap Glyph(const QString& name);
// The 48 x 20 two-image form: the picture and its greyed copy side by side.
QPixmap GlyphPair(const QString& name);
// An icon whose disabled state shows the greyed half of a two-image glyph.
QIcon GlyphIcon(const QString& name, bool twoImages);
// The program's icon.
QIcon AppIcon();

}  // namespace pf
