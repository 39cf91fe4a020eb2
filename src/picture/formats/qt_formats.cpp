// BMP, ICO and PNG through Qt's readers, each behind a check of its own of the file's structure.
#include "picture/formats/formats_internal.h"
#include "picture/picture.h"

#include <QBuffer>
#include <QImageReader>

namespace pf::formats {

namespace {

uint32_t BigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Reads the image at index (or the only one) with Qt; checks the size before reading.
QImage ReadWithQt(const QByteArray& data, const char* format, int index, const QSize& expected,
                  const QString& fileName, const QString& kind)
{
    QByteArray bytes = data;  // QBuffer wants a non-const array; this shares, it does not copy
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    if (index > 0 && !reader.jumpToImage(index))
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("image %1 cannot be found").arg(index + 1));
    // The caller has checked the size from the file's own header when it knows it.
    QSize size = expected;
    if (!size.isValid()) {
        size = reader.size();
        if (!size.isValid())
            Fail(PictureProblem::Corrupt, fileName, kind, reader.errorString());
        CheckPictureSize(size.width(), size.height(), fileName, kind);
    }
    QImage image;
    if (!reader.read(&image))
        Fail(PictureProblem::Corrupt, fileName, kind, reader.errorString());
    if (image.size() != size)
        Fail(PictureProblem::Corrupt, fileName, kind,
             QStringLiteral("the picture read is %1 x %2 pixels, the file says %3 x %4")
                 .arg(image.width()).arg(image.height()).arg(size.width()).arg(size.height()));
    return image;
}

// Walks a PNG stream's chunks: all must be complete, the first must be the header (whose size is
// checked against the limits), the last the end mark. libpng alone would hand Qt a half picture
// for some cut-off files.
void CheckPng(const uint8_t* p, size_t n, const QString& fileName, const QString& kind)
{
    if (n < 8 || std::memcmp(p, kPngSignature, 8) != 0)
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("it does not start with the PNG signature"));
    size_t pos = 8;
    bool first = true;
    for (;;) {
        if (pos + 12 > n)
            Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the PNG data ends before its end mark"));
        const uint32_t length = BigEndian32(p + pos);
        const uint8_t* type = p + pos + 4;
        if (length > n - pos - 12)
            Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("a PNG chunk is cut short"));
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length < 8)
                Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("the PNG header chunk is missing"));
            CheckPictureSize(BigEndian32(type + 4), BigEndian32(type + 8), fileName, kind);
            first = false;
        }
        pos += 12 + length;
        if (std::memcmp(type, "IEND", 4) == 0)
            return;
    }
}

}  // namespace

QImage DecodeBitmap(const QByteArray& data, const QString& fileName)
{
    const QString kind = QStringLiteral("BMP");
    const QSize size = ValidateBitmap(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()), fileName);
    QImage image = ReadWithQt(data, "bmp", 0, size, fileName, kind);
    if (image.hasAlphaChannel()) {
        // The fourth byte of a BMP pixel is kept by the picture as it stands, not used as opacity.
        image = image.convertToFormat(QImage::Format_ARGB32);
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    return ToPictureFormat(image);
}

QImage DecodePng(const QByteArray& data, const QString& fileName)
{
    const QString kind = QStringLiteral("PNG");
    CheckPng(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()), fileName, kind);
    return ComposeOnWhite(ReadWithQt(data, "png", 0, QSize(), fileName, kind));
}

QImage DecodeIcon(const QByteArray& data, const QString& fileName)
{
    const QString kind = QStringLiteral("icon");
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const size_t n = size_t(data.size());
    if (n < 6)
        Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the header is incomplete"));
    if (ReadU16(p) != 0 || ReadU16(p + 2) != 1)
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("the header is not an icon's"));
    const int count = ReadU16(p + 4);
    if (count == 0)
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("the icon holds no images"));
    const size_t directoryEnd = 6 + 16 * size_t(count);
    if (directoryEnd > n)
        Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the directory is cut short"));

    // Every image must be whole; the largest (then the deepest, then the first) is shown.
    int best = -1;
    int64_t bestArea = 0;
    int bestDepth = 0;
    QSize bestSize;
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = p + 6 + 16 * size_t(i);
        int width = entry[0] ? entry[0] : 256;
        int height = entry[1] ? entry[1] : 256;
        const uint32_t bytes = ReadU32(entry + 8);
        const uint32_t offset = ReadU32(entry + 12);
        if (offset < directoryEnd || offset >= n)
            Fail(PictureProblem::Corrupt, fileName, kind,
                 QStringLiteral("image %1 is said to start at byte %2, outside the file").arg(i + 1).arg(offset));
        if (bytes > n - offset)
            Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("image %1 is cut short").arg(i + 1));
        const uint8_t* image = p + offset;
        int depth = 32;
        if (bytes >= 8 && std::memcmp(image, kPngSignature, 8) == 0) {
            CheckPng(image, bytes, fileName, kind);
            const int64_t pngWidth = BigEndian32(image + 16), pngHeight = BigEndian32(image + 20);
            const bool large = entry[0] == 0 && entry[1] == 0;  // 256 or more
            if (large ? (pngWidth < 256 || pngHeight < 256) : (pngWidth != width || pngHeight != height))
                Fail(PictureProblem::Corrupt, fileName, kind,
                     QStringLiteral("image %1 is %2 x %3 pixels, the directory says %4 x %5")
                         .arg(i + 1).arg(pngWidth).arg(pngHeight).arg(width).arg(height));
            width = int(pngWidth);
            height = int(pngHeight);
        } else {
            depth = ValidateIconDib(image, bytes, width, height, fileName);
        }
        const int64_t area = int64_t(width) * height;
        if (area > bestArea || (area == bestArea && depth > bestDepth)) {
            best = i;
            bestArea = area;
            bestDepth = depth;
            bestSize = QSize(width, height);
        }
    }
    return ComposeOnWhite(ReadWithQt(data, "ico", best, bestSize, fileName, kind));
}

}  // namespace pf::formats
