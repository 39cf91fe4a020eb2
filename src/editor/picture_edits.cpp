#include "editor/picture_edits.h"

#include <cstring>

namespace pf {

void PastePart(QImage& picture, const QImage& part, QPoint origin)
{
    const size_t bytes = size_t(part.width()) * 3;
    for (int y = 0; y < part.height(); ++y)
        std::memcpy(picture.scanLine(origin.y() + y) + 3 * qsizetype(origin.x()), part.constScanLine(y), bytes);
}

QRect WarpInPlace(QImage& picture, WarpKind kind, int X, int Y, int r, int d, WarpProgress& progress,
                  const std::function<void()>& beforeCommit)
{
    const QRect box = WarpBounds(X, Y, r, picture.size());
    // (QImage::copy of an empty rectangle would copy the whole picture.)
    QImage part = box.isEmpty() ? QImage() : picture.copy(box);
    ApplyWarp(kind, picture, part, box.topLeft(), X, Y, r, d, progress);
    if (beforeCommit)
        beforeCommit();
    if (box.isEmpty())
        return QRect();
    PastePart(picture, part, box.topLeft());
    return box;
}

QRect SmearInPlace(QImage& picture, int pressX, int pressY, int releaseX, int releaseY, int brushRadius,
                   WarpProgress& progress)
{
    const QRect box = SmearBounds(pressX, pressY, releaseX, releaseY, brushRadius, picture.size());
    QImage part = box.isEmpty() ? QImage() : picture.copy(box);
    tumopic(picture, part, box.topLeft(), pressX, pressY, releaseX, releaseY, brushRadius, progress);
    if (box.isEmpty())
        return QRect();
    PastePart(picture, part, box.topLeft());
    return box;
}

}  // namespace pf
