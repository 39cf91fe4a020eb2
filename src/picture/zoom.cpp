#include "picture/zoom.h"

#include "picture/picture.h"

#include <stdexcept>

namespace pf {

bool PictureSizeAllowed(long long width, long long height)
{
    return width >= 1 && height >= 1 && width <= MaxPictureSide && height <= MaxPictureSide
        && width * height <= MaxPicturePixels;
}

QImage ZoomInOut(const QImage& picture, int width, int height)
{
    if (!PictureSizeAllowed(width, height))
        throw std::invalid_argument("The new picture size " + std::to_string(width) + " x " + std::to_string(height)
                                    + " is outside 1 to 32767 pixels a side and 256 megapixels.");
    if (picture.isNull())
        throw std::invalid_argument("There is no picture to resize.");
    if (picture.size() == QSize(width, height))
        return picture.copy();
    QImage out = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (out.isNull())
        throw std::runtime_error("Not enough memory to resize the picture.");
    return ToPictureFormat(out);
}

}  // namespace pf
