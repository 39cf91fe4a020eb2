// Shared pieces of the picture readers and writers; not for use outside src/picture/formats/.
#pragma once

#include "picture/formats/formats.h"

#include <QRectF>
#include <cstdint>
#include <cstring>

namespace pf::formats {

// Throws PictureError with a message naming the file, the kind of file and the problem.
// kind is the format's name as shown to the user ("JPEG", "BMP", ...); detail may be empty.
[[noreturn]] void Fail(PictureProblem problem, const QString& fileName, const QString& kind,
                       const QString& detail = QString());

// The pixel limit in force: kMaxPicturePixels, or a much smaller one in the fuzzing build, where
// pictures of hundreds of megapixels would only slow the search down.
constexpr int64_t MaxPicturePixels()
{
#ifdef PULLFACE_FUZZING
    return int64_t(4) * 1024 * 1024;
#else
    return kMaxPicturePixels;
#endif
}

// Refuses sizes of zero or less and sizes beyond the limits, before anything is allocated.
void CheckPictureSize(int64_t width, int64_t height, const QString& fileName, const QString& kind);

// Any Qt image to PictureFormat; pixels with alpha are composed over white.
QImage ComposeOnWhite(const QImage& image);

// Qt's readers refuse allocations beyond this many megabytes (enough for the largest allowed
// picture at 8 bytes a pixel).
void SetQtAllocationLimit();

// Draws an SVG document: the rectangle viewBox of its user space onto a white picture of the given
// size. Needs a QGuiApplication (fonts). Throws PictureError when the document cannot be parsed.
QImage RenderSvg(const QByteArray& svg, int width, int height, const QRectF& viewBox,
                 const QString& fileName, const QString& kind);

QImage DecodeJpeg(const QByteArray& data, const QString& fileName);
QImage DecodeGif(const QByteArray& data, const QString& fileName);
QImage DecodeBitmap(const QByteArray& data, const QString& fileName);
QImage DecodeIcon(const QByteArray& data, const QString& fileName);
QImage DecodePng(const QByteArray& data, const QString& fileName);
QImage DecodeWmf(const QByteArray& data, const QString& fileName);
QImage DecodeEmf(const QByteArray& data, const QString& fileName);

// Checks a BMP file's headers and pixel data against the format's rules (Qt's reader is lenient
// with truncated data, bad run lengths and colour indices beyond the palette). Throws PictureError;
// returns the picture's size.
QSize ValidateBitmap(const uint8_t* data, size_t size, const QString& fileName);

// Checks a device-independent bitmap: its header (BITMAPINFOHEADER or BITMAPCOREHEADER) and
// colour table within headerBytes, and its pixels within bitsBytes at bits; bits null means the
// pixels follow the colour table (a packed bitmap). kind names the enclosing file type.
struct DibCheck {
    bool paletteIndices = false;  // the colour table holds 16-bit indices into a metafile palette
    bool allowEmbedded = false;   // a JPEG or PNG stream may stand in for the pixels
    bool headerOnly = false;      // the pixels cover only part of the rows: check the header only
};
void ValidateDib(const uint8_t* header, size_t headerBytes, const uint8_t* bits, size_t bitsBytes,
                 const DibCheck& how, const QString& fileName, const QString& kind);

// Checks one image of an icon file stored as a bitmap: its header must agree with the directory's
// width and height, and the colour pixels and the transparency mask must be present. Returns the
// image's bits per pixel.
int ValidateIconDib(const uint8_t* dib, size_t size, int width, int height, const QString& fileName);

// Little-endian reads from a byte buffer; callers check bounds first.
inline uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline int16_t ReadS16(const uint8_t* p) { return int16_t(ReadU16(p)); }
inline uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t ReadS32(const uint8_t* p) { return int32_t(ReadU32(p)); }

inline void Put16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}
inline void Put32(QByteArray& out, uint32_t v)
{
    Put16(out, uint16_t(v & 0xFFFF));
    Put16(out, uint16_t(v >> 16));
}

}  // namespace pf::formats
