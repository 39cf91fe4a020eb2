// The editor's way of applying a warp or a smear to the picture: the tool reads the untouched
// picture and writes a copy of just the square it can change; that square is then copied into
// the picture. The cost follows the tool's disc, not the picture's size.
#pragma once

#include "warps/warps.h"

#include <QImage>
#include <QRect>
#include <functional>

namespace pf {

// Applies the click warp in place; `beforeCommit` (when set) runs after the warp has finished
// and before the picture takes its result. Returns the rectangle of the picture written.
QRect WarpInPlace(QImage& picture, WarpKind kind, int X, int Y, int r, int d, WarpProgress& progress,
                  const std::function<void()>& beforeCommit = {});

// Applies the smear in place (all values in picture pixels). Returns the rectangle written.
QRect SmearInPlace(QImage& picture, int pressX, int pressY, int releaseX, int releaseY, int brushRadius,
                   WarpProgress& progress);

// Copies `part` into the picture with its top-left corner at `origin`.
void PastePart(QImage& picture, const QImage& part, QPoint origin);

}  // namespace pf
