#include "editor/picture_edits.h"

#include <algorithm>
#include <cstring>

namespace pf {

namespace {

// The square a tool writes is made in memory kept from one tool to the next: fresh memory
// costs a page fault per 4 KB on first touch, more than the copy itself.
QImage ScratchCopy(const QImage& picture, const QRect& box)
{
    if (box.isEmpty())
        return QImage();   // (QImage::copy of an empty rectangle would copy the whole picture)
    static QImage scratch;
    const qsizetype bpl = (qsizetype(box.width()) * 3 + 3) & ~qsizetype(3);
    if (scratch.isNull() || scratch.sizeInBytes() < bpl * box.height())
        scratch = AllocatePicture(std::max(box.width(), 1024), std::max(box.height(), 1024));
    QImage part(scratch.bits(), box.width(), box.height(), bpl, PictureFormat);
    const size_t bytes = size_t(box.width()) * 3;
    for (int y = 0; y < box.height(); ++y)
        std::memcpy(part.scanLine(y), picture.constScanLine(box.top() + y) + 3 * qsizetype(box.left()), bytes);
    return part;
}

}  // namespace

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
    QImage part = ScratchCopy(picture, box);
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
    QImage part = ScratchCopy(picture, box);
    tumopic(picture, part, box.topLeft(), pressX, pressY, releaseX, releaseY, brushRadius, progress);
    if (box.isEmpty())
        return QRect();
    PastePart(picture, part, box.topLeft());
    return box;
}

}  // namespace pf
