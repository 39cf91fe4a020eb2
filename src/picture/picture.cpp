#include "picture/picture.h"

#include <cstring>

namespace pf {

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
