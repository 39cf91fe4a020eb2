// GIF through giflib's DGifSlurp: the first frame, composed on a white logical screen.
//
// Before giflib sees the file, its blocks are walked up to the end of the first image: the screen
// and the first frame are checked against the limits and against each other, and giflib is given
// only the bytes up to that frame (plus a trailer), so later frames cost neither time nor memory.
#include "picture/formats/formats_internal.h"
#include "picture/picture.h"

#include <gif_lib.h>

namespace pf::formats {

namespace {

const QString kKind = QStringLiteral("GIF");

size_t SkipSubBlocks(const uint8_t* p, size_t n, size_t pos, const QString& fileName)
{
    for (;;) {
        if (pos >= n)
            Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("a data block is cut short"));
        const size_t length = p[pos++];
        if (length == 0)
            return pos;
        pos += length;
        if (pos > n)
            Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("a data block is cut short"));
    }
}

// Returns the number of bytes up to the end of the first image's data.
size_t CheckUpToFirstImage(const uint8_t* p, size_t n, const QString& fileName)
{
    if (n < 6 || (std::memcmp(p, "GIF87a", 6) != 0 && std::memcmp(p, "GIF89a", 6) != 0))
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("it does not start with a GIF signature"));
    if (n < 13)
        Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the screen descriptor is incomplete"));
    const int screenWidth = ReadU16(p + 6);
    const int screenHeight = ReadU16(p + 8);
    const uint8_t screenFlags = p[10];
    CheckPictureSize(screenWidth, screenHeight, fileName, kKind);
    size_t pos = 13;
    const bool globalTable = screenFlags & 0x80;
    if (globalTable)
        pos += 3 * (size_t(2) << (screenFlags & 7));
    for (;;) {
        if (pos >= n)
            Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the file ends before the first image"));
        const uint8_t block = p[pos++];
        if (block == 0x21) {  // extension: label, then data blocks
            if (pos >= n)
                Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("an extension is cut short"));
            pos = SkipSubBlocks(p, n, pos + 1, fileName);
        } else if (block == 0x2C) {  // image descriptor
            if (pos + 9 > n)
                Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the image descriptor is incomplete"));
            const int left = ReadU16(p + pos), top = ReadU16(p + pos + 2);
            const int width = ReadU16(p + pos + 4), height = ReadU16(p + pos + 6);
            const uint8_t flags = p[pos + 8];
            pos += 9;
            if (width == 0 || height == 0)
                Fail(PictureProblem::Corrupt, fileName, kKind,
                     QStringLiteral("the first frame has no pixels: %1 x %2").arg(width).arg(height));
            if (left + width > screenWidth || top + height > screenHeight)
                Fail(PictureProblem::Corrupt, fileName, kKind,
                     QStringLiteral("the first frame (%1 x %2 at %3, %4) lies outside the %5 x %6 screen")
                         .arg(width).arg(height).arg(left).arg(top).arg(screenWidth).arg(screenHeight));
            if (flags & 0x80)
                pos += 3 * (size_t(2) << (flags & 7));
            else if (!globalTable)
                Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the first frame has no colour table"));
            if (pos >= n)
                Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the first frame has no data"));
            const int codeSize = p[pos++];
            if (codeSize < 1 || codeSize > 8)
                Fail(PictureProblem::Corrupt, fileName, kKind,
                     QStringLiteral("the first frame's code size %1 is not between 1 and 8").arg(codeSize));
            return SkipSubBlocks(p, n, pos, fileName);
        } else if (block == 0x3B) {
            Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the file holds no image"));
        } else {
            Fail(PictureProblem::Corrupt, fileName, kKind,
                 QStringLiteral("unknown block type 0x%1 at byte %2").arg(block, 2, 16, QLatin1Char('0')).arg(pos - 1));
        }
    }
}

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int ReadInput(GifFileType* gif, GifByteType* out, int count)
{
    auto* in = static_cast<Input*>(gif->UserData);
    const size_t n = std::min(size_t(count < 0 ? 0 : count), in->size - in->pos);
    std::memcpy(out, in->data + in->pos, n);
    in->pos += n;
    return int(n);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser()
    {
        if (gif) {
            int error = 0;
            DGifCloseFile(gif, &error);
        }
    }
};

}  // namespace

QImage DecodeGif(const QByteArray& data, const QString& fileName)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const size_t end = CheckUpToFirstImage(p, size_t(data.size()), fileName);
    QByteArray head(data.constData(), qsizetype(end));
    head.append(char(0x3B));  // trailer: giflib stops after the first frame

    Input input{reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size()), 0};
    int error = 0;
    GifCloser closer{DGifOpen(&input, ReadInput, &error)};
    GifFileType* gif = closer.gif;
    if (!gif)
        Fail(PictureProblem::Corrupt, fileName, kKind, QString::fromLatin1(GifErrorString(error)));
    if (DGifSlurp(gif) != GIF_OK) {
        const int code = gif->Error;
        const PictureProblem problem = code == D_GIF_ERR_EOF_TOO_SOON || code == D_GIF_ERR_READ_FAILED
                                           ? PictureProblem::Truncated
                                       : code == D_GIF_ERR_NOT_ENOUGH_MEM ? PictureProblem::TooLarge
                                                                          : PictureProblem::Corrupt;
        const char* text = GifErrorString(code);
        Fail(problem, fileName, kKind, text ? QString::fromLatin1(text) : QString());
    }
    if (gif->ImageCount < 1)
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the file holds no image"));

    const SavedImage& frame = gif->SavedImages[0];
    const GifImageDesc& desc = frame.ImageDesc;
    const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!colours || !frame.RasterBits)
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the first frame has no colour table"));
    GraphicsControlBlock control;
    DGifSavedExtensionToGCB(gif, 0, &control);  // leaves TransparentColor at -1 when there is none

    QImage picture(int(gif->SWidth), int(gif->SHeight), PictureFormat);
    if (picture.isNull())
        Fail(PictureProblem::TooLarge, fileName, kKind, QStringLiteral("not enough memory"));
    picture.fill(Qt::white);
    for (int y = 0; y < desc.Height; ++y) {
        const GifByteType* src = frame.RasterBits + size_t(y) * size_t(desc.Width);
        uchar* dst = picture.scanLine(desc.Top + y) + 3 * desc.Left;
        for (int x = 0; x < desc.Width; ++x, dst += 3) {
            const int index = src[x];
            if (index == control.TransparentColor)
                continue;
            if (index >= colours->ColorCount)
                Fail(PictureProblem::Corrupt, fileName, kKind,
                     QStringLiteral("colour index %1 lies beyond the %2-colour table").arg(index).arg(colours->ColorCount));
            const GifColorType& c = colours->Colors[index];
            dst[0] = c.Blue;
            dst[1] = c.Green;
            dst[2] = c.Red;
        }
    }
    return picture;
}

}  // namespace pf::formats
