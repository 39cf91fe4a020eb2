#include "sketch/grey_level.h"
#include "sketch/sketch.h"

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>


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

}  // namespace sketch_detail
}  // namespace pf
