// The WMF writer: a placeable metafile (96 units an inch, one unit a pixel) whose only drawing is
// one STRETCHDIB of the picture as a 24-bit bottom-up DIB.
#include "picture/formats/formats_internal.h"
#include "picture/picture.h"

namespace pf {

using formats::Put16;
using formats::Put32;

QByteArray EncodeMetafile(const QImage& picture)
{
    const QImage source = ToPictureFormat(picture);
    const int width = source.width(), height = source.height();
    if (source.isNull() || width <= 0 || height <= 0)
        throw PictureError(PictureProblem::WriteFailed, QStringLiteral("the picture is empty"));
    if (width > kMaxPictureSide || height > kMaxPictureSide || int64_t(width) * height > kMaxPicturePixels)
        throw PictureError(PictureProblem::WriteFailed,
                           QStringLiteral("the picture is larger than a metafile can hold (%1 x %2 pixels)")
                               .arg(width)
                               .arg(height));

    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * uint32_t(height);
    const uint32_t stretchWords = (28 + 40 + imageBytes) / 2;
    const uint32_t totalWords = 9 + 5 + 5 + stretchWords + 3;  // everything after the placeable header

    QByteArray out;
    out.reserve(qsizetype(22 + 2 * qsizetype(totalWords)));

    // Placeable header: key, handle, bounding box, units an inch, reserved, checksum of the ten words.
    Put32(out, 0x9AC6CDD7);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, uint16_t(width));
    Put16(out, uint16_t(height));
    Put16(out, 96);
    Put32(out, 0);
    uint16_t checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= formats::ReadU16(reinterpret_cast<const uint8_t*>(out.constData()) + 2 * i);
    Put16(out, checksum);

    // Metafile header: on disk, 9 words of header, version 3.0, size and largest record in words.
    Put16(out, 1);
    Put16(out, 9);
    Put16(out, 0x0300);
    Put32(out, totalWords);
    Put16(out, 0);
    Put32(out, stretchWords);
    Put16(out, 0);

    // SETWINDOWORG (y, x) and SETWINDOWEXT (height, width).
    Put32(out, 5);
    Put16(out, 0x020B);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 5);
    Put16(out, 0x020C);
    Put16(out, uint16_t(height));
    Put16(out, uint16_t(width));

    // STRETCHDIB: SRCCOPY, DIB_RGB_COLORS, source and destination rectangles, then the DIB.
    Put32(out, stretchWords);
    Put16(out, 0x0F43);
    Put32(out, 0x00CC0020);
    Put16(out, 0);
    Put16(out, uint16_t(height));
    Put16(out, uint16_t(width));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, uint16_t(height));
    Put16(out, uint16_t(width));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 3780);  // 96 dpi in pixels a metre
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    const qsizetype bits = out.size();
    out.resize(bits + qsizetype(imageBytes));
    char* dst = out.data() + bits;
    const size_t pixelBytes = size_t(width) * 3;
    for (int y = height - 1; y >= 0; --y, dst += rowBytes) {
        std::memcpy(dst, source.constScanLine(y), pixelBytes);
        std::memset(dst + pixelBytes, 0, rowBytes - pixelBytes);
    }

    // EOF record.
    Put32(out, 3);
    Put16(out, 0);
    return out;
}

}  // namespace pf
