#include "sketch/grey_level.h"
#include "sketch/sketch.h"

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pf {

int GreyLevel(int R, int G, int B)
{
    return sketch_detail::GreyLevelFast(R, G, B);
}

namespace sketch_detail {

QImage CheckedPicture(const QImage& picture, const char* what)
{
    if (picture.isNull())
        throw std::invalid_argument(std::string(what) + ": there is no picture");
    QImage p = ToPictureFormat(picture);
    if (p.isNull())
        throw std::bad_alloc();
    return p;
}

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
static QImage AllocateHuge(int, int) { return QImage(); }
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

}  // namespace sketch_detail
}  // namespace pf
