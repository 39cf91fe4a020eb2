// Checks of device-independent bitmaps (BMP files and the bitmaps inside icons and metafiles).
//
// Qt's BMP reader and the metafile libraries are lenient: they accept truncated pixel data, run
// lengths that run off the row, colour indices beyond the palette and impossible bit masks, and
// fill in what is missing. The program refuses such files instead, before any decoding starts.
#include "picture/formats/formats_internal.h"

#include <algorithm>
#include <bit>

namespace pf::formats {

namespace {

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5, kAlphaBitFields = 6 };

struct Dib {
    int64_t width = 0;
    int64_t height = 0;  // rows, always positive
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = kRgb;
    uint32_t sizeImage = 0;
    size_t headerSize = 0;
    size_t paletteOffset = 0;  // from the start of the header: after the header and any masks
    size_t entrySize = 4;      // bytes per colour table entry (3 in the oldest header)
    int64_t declaredColours = 0;
};

bool Contiguous(uint32_t mask) { return mask != 0 && ((mask >> std::countr_zero(mask)) & ((mask >> std::countr_zero(mask)) + 1)) == 0; }

void CheckMasks(const uint8_t* masks, bool withAlpha, int bpp, const QString& fileName, const QString& kind)
{
    const uint32_t red = ReadU32(masks), green = ReadU32(masks + 4), blue = ReadU32(masks + 8);
    const uint32_t alpha = withAlpha ? ReadU32(masks + 12) : 0;
    const uint64_t room = bpp >= 32 ? 0xFFFFFFFFull : (uint64_t(1) << bpp) - 1;
    const uint32_t all[] = {red, green, blue};
    for (uint32_t m : all) {
        if (!Contiguous(m) || m > room)
            Fail(PictureProblem::Corrupt, fileName, kind,
                 QStringLiteral("the colour masks %1, %2, %3 do not describe %4-bit pixels")
                     .arg(red, 0, 16).arg(green, 0, 16).arg(blue, 0, 16).arg(bpp));
    }
    if ((red & green) || (red & blue) || (green & blue) || (alpha & (red | green | blue)) ||
        (alpha && (!Contiguous(alpha) || alpha > room)))
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("the colour masks overlap"));
}

// Parses the header at h (avail bytes from there on) and checks everything it says on its own.
// isFile: the header belongs to a BMP file (OS/2 variants are read there only).
Dib ParseHeader(const uint8_t* h, size_t avail, bool isFile, bool allowEmbedded, const QString& fileName,
                const QString& kind)
{
    if (avail < 4)
        Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the bitmap header is incomplete"));
    Dib d;
    d.headerSize = ReadU32(h);
    const size_t hs = d.headerSize;
    if (hs == 16 || hs == 52 || hs == 56)
        Fail(PictureProblem::Unsupported, fileName, kind, QStringLiteral("a %1-byte bitmap header").arg(hs));
    if (hs != 12 && hs != 40 && hs != 108 && hs != 124 && !(isFile && hs == 64))
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("a bitmap header of %1 bytes").arg(hs));
    if (avail < hs)
        Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the bitmap header is incomplete"));

    int planes = 0;
    int64_t rawHeight = 0;
    if (hs == 12) {
        d.width = ReadU16(h + 4);
        rawHeight = ReadU16(h + 6);
        planes = ReadU16(h + 8);
        d.bpp = ReadU16(h + 10);
        d.entrySize = 3;
    } else {
        d.width = ReadS32(h + 4);
        rawHeight = ReadS32(h + 8);
        planes = ReadU16(h + 12);
        d.bpp = ReadU16(h + 14);
        d.compression = ReadU32(h + 16);
        d.sizeImage = ReadU32(h + 20);
        const int32_t xppm = ReadS32(h + 24), yppm = ReadS32(h + 28);
        d.declaredColours = ReadU32(h + 32);
        if (xppm < 0 || yppm < 0 ||
            (xppm > 0 && yppm > 0 && std::max(xppm, yppm) / std::min(xppm, yppm) >= 100))
            Fail(PictureProblem::Corrupt, fileName, kind,
                 QStringLiteral("the resolution of %1 by %2 pixels a metre is impossible").arg(xppm).arg(yppm));
    }
    d.topDown = rawHeight < 0;
    d.height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (d.width <= 0 || d.height <= 0)
        Fail(PictureProblem::Corrupt, fileName, kind,
             QStringLiteral("the bitmap is %1 x %2 pixels").arg(d.width).arg(rawHeight));
    if (planes != 1)
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("the bitmap has %1 planes").arg(planes));

    const bool os2v2 = hs == 64;
    switch (d.compression) {
    case kRgb: break;
    case kRle8:
    case kRle4:
        if (d.bpp != (d.compression == kRle8 ? 8 : 4))
            Fail(PictureProblem::Corrupt, fileName, kind,
                 QStringLiteral("run-length compression with %1-bit pixels").arg(d.bpp));
        if (d.topDown)
            Fail(PictureProblem::Corrupt, fileName, kind,
                 QStringLiteral("run-length compressed rows cannot be stored top-down"));
        break;
    case kBitFields:
        if (os2v2)
            Fail(PictureProblem::Unsupported, fileName, kind, QStringLiteral("Huffman compression"));
        if (d.bpp != 16 && d.bpp != 32)
            Fail(PictureProblem::Corrupt, fileName, kind,
                 QStringLiteral("colour masks with %1-bit pixels").arg(d.bpp));
        break;
    case kJpeg:
    case kPng:
        if (allowEmbedded && !os2v2) {
            // A JPEG or PNG stream in place of pixels: its own decoder checks it.
            CheckPictureSize(d.width, d.height, fileName, kind);
            d.bpp = 0;
            return d;
        }
        Fail(PictureProblem::Unsupported, fileName, kind,
             os2v2 ? QStringLiteral("24-bit run-length compression")
                   : QStringLiteral("an embedded %1 picture").arg(d.compression == kJpeg ? "JPEG" : "PNG"));
    case kAlphaBitFields:
        Fail(PictureProblem::Unsupported, fileName, kind, QStringLiteral("colour masks with alpha"));
    default:
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("compression method %1").arg(d.compression));
    }
    switch (d.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    case 2: case 64:
        Fail(PictureProblem::Unsupported, fileName, kind, QStringLiteral("%1-bit pixels").arg(d.bpp));
    default:
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("%1-bit pixels").arg(d.bpp));
    }
    CheckPictureSize(d.width, d.height, fileName, kind);

    d.paletteOffset = hs;
    if (d.compression == kBitFields) {
        if (hs == 40) {
            if (avail < hs + 12)
                Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the colour masks are missing"));
            CheckMasks(h + 40, false, d.bpp, fileName, kind);
            d.paletteOffset = hs + 12;
        } else {
            CheckMasks(h + 40, hs >= 108, d.bpp, fileName, kind);
        }
    }
    if (d.bpp <= 8) {
        const int64_t room = int64_t(1) << d.bpp;
        if (d.declaredColours == 0)
            d.declaredColours = room;
        if (d.declaredColours > room)
            Fail(PictureProblem::Corrupt, fileName, kind,
                 QStringLiteral("%1 colours in the table of a %2-bit bitmap").arg(d.declaredColours).arg(d.bpp));
    }
    return d;
}

int64_t RowBytes(const Dib& d) { return ((d.width * d.bpp + 31) / 32) * 4; }

[[noreturn]] void BadIndex(int index, int64_t colours, const QString& fileName, const QString& kind)
{
    Fail(PictureProblem::Corrupt, fileName, kind,
         QStringLiteral("a pixel uses colour %1 of a %2-colour table").arg(index).arg(colours));
}

void CheckIndices(const Dib& d, const uint8_t* bits, int64_t colours, const QString& fileName, const QString& kind)
{
    if (colours >= (int64_t(1) << d.bpp))
        return;
    const int64_t rowBytes = RowBytes(d);
    const int perByte = 8 / d.bpp;
    const int mask = (1 << d.bpp) - 1;
    for (int64_t y = 0; y < d.height; ++y) {
        const uint8_t* row = bits + y * rowBytes;
        for (int64_t x = 0; x < d.width; ++x) {
            const int shift = 8 - d.bpp * int(x % perByte + 1);
            const int index = (row[x / perByte] >> shift) & mask;
            if (index >= colours)
                BadIndex(index, colours, fileName, kind);
        }
    }
}

void CheckRunLengths(const Dib& d, const uint8_t* data, size_t size, int64_t colours, const QString& fileName,
                     const QString& kind)
{
    const bool four = d.compression == kRle4;
    int64_t x = 0, y = 0;
    size_t pos = 0;
    auto check = [&](int index) {
        if (index >= colours)
            BadIndex(index, colours, fileName, kind);
    };
    for (;;) {
        if (pos + 2 > size)
            Fail(PictureProblem::Truncated, fileName, kind,
                 QStringLiteral("the run-length data ends without its end mark"));
        const int count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (y >= d.height || x + count > d.width)
                Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("a run goes past the end of its row"));
            if (four) {
                check(value >> 4);
                if (count > 1)
                    check(value & 15);
            } else {
                check(value);
            }
            x += count;
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
            if (y > d.height)
                Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("the runs go past the last row"));
        } else if (value == 1) {  // end of bitmap
            return;
        } else if (value == 2) {  // jump
            if (pos + 2 > size)
                Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the run-length data is cut short"));
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
            if (x > d.width || y > d.height)
                Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("a jump goes past the picture"));
        } else {  // literal pixels, padded to an even number of bytes
            const int n = value;
            if (y >= d.height || x + n > d.width)
                Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("a run goes past the end of its row"));
            const size_t bytes = four ? size_t(n + 1) / 2 : size_t(n);
            if (pos + bytes + (bytes & 1) > size)
                Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the run-length data is cut short"));
            for (int i = 0; i < n; ++i)
                check(four ? (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 15) : data[pos + i]);
            pos += bytes + (bytes & 1);
            x += n;
        }
    }
}

// Checks the pixel data at bits (size bytes available); colours is the usable table size.
void CheckPixels(const Dib& d, const uint8_t* bits, size_t size, int64_t colours, const QString& fileName,
                 const QString& kind)
{
    if (d.bpp <= 8 && colours <= 0)
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("the colour table is missing"));
    if (d.compression == kRle8 || d.compression == kRle4) {
        size_t length = size;
        if (d.sizeImage != 0) {
            if (d.sizeImage > size)
                Fail(PictureProblem::Truncated, fileName, kind,
                     QStringLiteral("%1 bytes of pixels announced, %2 present").arg(d.sizeImage).arg(size));
            length = d.sizeImage;
        }
        CheckRunLengths(d, bits, length, colours, fileName, kind);
        return;
    }
    const int64_t need = RowBytes(d) * d.height;
    if (int64_t(size) < need)
        Fail(PictureProblem::Truncated, fileName, kind,
             QStringLiteral("%1 bytes of pixels needed, %2 present").arg(need).arg(size));
    if (d.sizeImage != 0 && d.sizeImage > size)
        Fail(PictureProblem::Corrupt, fileName, kind,
             QStringLiteral("the header announces %1 bytes of pixels, the file holds %2").arg(d.sizeImage).arg(size));
    if (d.bpp <= 8)
        CheckIndices(d, bits, colours, fileName, kind);
}

}  // namespace

QSize ValidateBitmap(const uint8_t* data, size_t size, const QString& fileName)
{
    const QString kind = QStringLiteral("BMP");
    if (size >= 2 && data[0] == 'B' && data[1] == 'A')
        Fail(PictureProblem::Unsupported, fileName, kind, QStringLiteral("an OS/2 bitmap array"));
    if (size < 2 || data[0] != 'B' || data[1] != 'M')
        Fail(PictureProblem::Corrupt, fileName, kind, QStringLiteral("it does not start with \"BM\""));
    if (size < 18)
        Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("the file header is incomplete"));
    const uint32_t fileSize = ReadU32(data + 2);
    const uint32_t offBits = ReadU32(data + 10);
    const Dib d = ParseHeader(data + 14, size - 14, true, false, fileName, kind);
    if (fileSize > size)
        Fail(PictureProblem::Truncated, fileName, kind,
             QStringLiteral("the header says %1 bytes, the file has %2").arg(fileSize).arg(size));
    if (offBits < 14 + d.paletteOffset || offBits > size)
        Fail(PictureProblem::Corrupt, fileName, kind,
             QStringLiteral("the pixels are said to start at byte %1").arg(offBits));
    const int64_t colours =
        std::min<int64_t>(d.declaredColours, int64_t(offBits - 14 - d.paletteOffset) / int64_t(d.entrySize));
    CheckPixels(d, data + offBits, size - offBits, colours, fileName, kind);
    return QSize(int(d.width), int(d.height));
}

void ValidateDib(const uint8_t* header, size_t headerBytes, const uint8_t* bits, size_t bitsBytes,
                 const DibCheck& how, const QString& fileName, const QString& kind)
{
    Dib d = ParseHeader(header, headerBytes, false, how.allowEmbedded, fileName, kind);
    if (how.paletteIndices)
        d.entrySize = 2;  // the table holds indices into the metafile's logical palette
    if (headerBytes < d.paletteOffset)
        Fail(PictureProblem::Truncated, fileName, kind, QStringLiteral("a bitmap's header is cut short"));
    if (bits) {
        // Header and pixels stored apart: the header's block may hold a shorter colour table
        // than the header announces; pixels must then use only the colours present.
        d.declaredColours = std::min<int64_t>(d.declaredColours, int64_t(headerBytes - d.paletteOffset) / int64_t(d.entrySize));
    }
    const int64_t tableBytes = d.declaredColours * int64_t(d.entrySize);
    if (int64_t(headerBytes) < int64_t(d.paletteOffset) + tableBytes)
        Fail(PictureProblem::Corrupt, fileName, kind,
             QStringLiteral("a bitmap's colour table is shorter than its header says"));
    if (d.bpp == 0 || how.headerOnly)
        return;
    const uint8_t* pixels = bits;
    size_t pixelBytes = bitsBytes;
    if (!pixels) {
        const size_t offset = d.paletteOffset + size_t(tableBytes);
        pixels = header + offset;
        pixelBytes = headerBytes - offset;
    }
    const int64_t colours = how.paletteIndices ? (int64_t(1) << std::min(d.bpp, 32)) : d.declaredColours;
    CheckPixels(d, pixels, pixelBytes, colours, fileName, kind);
}

int ValidateIconDib(const uint8_t* dib, size_t size, int width, int height, const QString& fileName)
{
    const QString kind = QStringLiteral("icon");
    Dib d = ParseHeader(dib, size, false, false, fileName, kind);
    if (d.width != width || d.height != 2 * int64_t(height) || d.topDown)
        Fail(PictureProblem::Corrupt, fileName, kind,
             QStringLiteral("an image of the directory's %1 x %2 pixels says it has %3 x %4")
                 .arg(width).arg(height).arg(d.width).arg(d.height / 2));
    if (d.compression != kRgb)
        Fail(PictureProblem::Unsupported, fileName, kind, QStringLiteral("compressed icon images"));
    const int64_t tableBytes = d.declaredColours * int64_t(d.entrySize);
    d.height = height;  // the colour pixels; the transparency mask follows them
    Dib mask = d;
    mask.bpp = 1;
    const int64_t bitsOffset = int64_t(d.paletteOffset) + tableBytes;
    const int64_t need = bitsOffset + RowBytes(d) * d.height + RowBytes(mask) * d.height;
    if (int64_t(size) < need)
        Fail(PictureProblem::Truncated, fileName, kind,
             QStringLiteral("an image needs %1 bytes, %2 present").arg(need).arg(size));
    if (d.bpp <= 8)
        CheckIndices(d, dib + bitsOffset, d.declaredColours, fileName, kind);
    return d.bpp;
}

}  // namespace pf::formats
