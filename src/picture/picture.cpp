#include "picture/picture.h"

#include <cstdint>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pf {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
namespace {

struct Mapping {
    void* start;
    size_t length;
};

void Unmap(void* info)
{
    auto* m = static_cast<Mapping*>(info);
    munmap(m->start, m->length);
    delete m;
}

// Pictures this large get memory of their own, mapped on 2 MB boundaries and marked for huge
// pages: the system then maps it in a few hundred steps instead of one step per 4 KB page,
// which otherwise costs more than the filter itself.
constexpr size_t HugePage = size_t(2) << 20;
constexpr size_t HugeFrom = size_t(8) << 20;

QImage AllocateHuge(int width, int height)
{
    const qsizetype bytesPerLine = (qsizetype(width) * 3 + 3) & ~qsizetype(3);  // QImage's own padding
    const size_t bytes = size_t(bytesPerLine) * size_t(height);
    if (bytes < HugeFrom)
        return QImage();
    const size_t length = bytes + HugePage;
    void* start = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        return QImage();
    auto* aligned = reinterpret_cast<uchar*>((reinterpret_cast<uintptr_t>(start) + HugePage - 1) & ~(HugePage - 1));
    madvise(aligned, (bytes + HugePage - 1) & ~(HugePage - 1), MADV_HUGEPAGE);
    auto* mapping = new Mapping{start, length};
    QImage p(aligned, width, height, bytesPerLine, PictureFormat, Unmap, mapping);
    if (p.isNull())
        Unmap(mapping);
    return p;
}

}  // namespace
#else
namespace {
QImage AllocateHuge(int, int) { return QImage(); }
}  // namespace
#endif

QImage AllocatePicture(int width, int height)
{
    QImage p = AllocateHuge(width, height);
    if (p.isNull())
        p = QImage(width, height, PictureFormat);
    if (p.isNull())
        throw std::bad_alloc();
    return p;
}


QImage NewPicture(int width, int height)
{
    QImage img(width, height, PictureFormat);
    if (!img.isNull())
        std::memset(img.bits(), 0, size_t(img.sizeInBytes()));
    return img;
}

QImage ToPictureFormat(const QImage& image)
{
    if (image.isNull() || image.format() == PictureFormat)
        return image;
    return image.convertToFormat(PictureFormat);
}

QImage CopySelection(const QImage& picture, int left, int top, int right, int bottom)
{
    const QRect wanted(QPoint(left - 1, top - 1), QPoint(right - 1, bottom - 1));
    const QRect r = wanted.intersected(picture.rect());
    if (!wanted.isValid() || r.isEmpty())
        return QImage();
    const QImage src = ToPictureFormat(picture);
    QImage out(r.size(), PictureFormat);
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(out.scanLine(y), src.constScanLine(r.top() + y) + 3 * r.left(), size_t(3 * r.width()));
    return out;
}

TColor GetPixel(const QImage& picture, int x, int y)
{
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
        return clBlack;
    const uchar* p = picture.constScanLine(y) + 3 * x;
    return RGBColor(p[2], p[1], p[0]);
}

void SetPixel(QImage& picture, int x, int y, TColor c)
{
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
        return;
    uchar* p = picture.scanLine(y) + 3 * x;
    p[0] = uchar(GetBValue(c));
    p[1] = uchar(GetGValue(c));
    p[2] = uchar(GetRValue(c));
}

}  // namespace pf
