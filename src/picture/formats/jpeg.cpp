// JPEG through libjpeg, called directly. Every error and every warning about damaged data ends the
// decoding with a PictureError; the library's own message is kept in ours.
#include "picture/formats/formats_internal.h"
#include "picture/picture.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace pf::formats {

namespace {

const QString kKind = QStringLiteral("JPEG");

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code = 0;
    char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void StopOnError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->code = err->pub.msg_code;
    (*err->pub.format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (level -1) report damaged or suspicious data: they stop the decoding too, except the
// harmless note about a newer JFIF revision. Trace messages (levels 0 and up) are ignored.
void OnMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0 || cinfo->err->msg_code == JWRN_JFIF_MAJOR)
        return;
    StopOnError(cinfo);
}

void InstallErrorManager(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = StopOnError;
    err.pub.emit_message = OnMessage;
}

PictureProblem ProblemOf(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF:
    case JERR_FILE_READ:
        return PictureProblem::Truncated;
    case JERR_INPUT_EMPTY:
        return PictureProblem::Empty;
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
    case JERR_NOTIMPL:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_ARITH_NOTIMPL:
    case JERR_CCIR601_NOTIMPL:
        return PictureProblem::Unsupported;
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_WIDTH_OVERFLOW:
    case JERR_IMAGE_TOO_BIG:
        return PictureProblem::TooLarge;
    default:
        return PictureProblem::Corrupt;
    }
}

// libjpeg's working memory is capped: progressive files keep every coefficient of the picture,
// 2 bytes for each sample, which for the largest allowed CMYK picture is 8 bytes a pixel.
long MemoryCap() { return long(std::min<int64_t>(MaxPicturePixels() * 8 + (64 << 20), LONG_MAX)); }

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    QImage image;
    std::vector<uint8_t> cmyk;

    Decoder()
    {
        cinfo.err = &err.pub;
        InstallErrorManager(err);
        jpeg_create_decompress(&cinfo);
    }
    ~Decoder() { jpeg_destroy_decompress(&cinfo); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

// CMYK rows (Adobe files store them inverted) to blue, green, red.
void CmykToPicture(const uint8_t* src, uint8_t* dst, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, src += 4, dst += 3) {
        int c = src[0], m = src[1], y = src[2], k = src[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now each value is the amount of light let through: colour = c * k / 255, the whole part
        // (as ImageMagick's CMYK to sRGB gives it).
        dst[0] = uint8_t(y * k / 255);
        dst[1] = uint8_t(m * k / 255);
        dst[2] = uint8_t(c * k / 255);
    }
}

// Runs libjpeg; returns false when it reported an error (the message is in d.err). Only
// trivially destructible objects live in this frame, so the library's longjmp skips nothing.
bool RunDecoder(Decoder& d, const QByteArray& data, const QString& fileName)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_decompress_struct& cinfo = d.cinfo;
    cinfo.mem->max_memory_to_use = MemoryCap();
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    CheckPictureSize(cinfo.image_width, cinfo.image_height, fileName, kKind);

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);

    const int width = int(cinfo.output_width);
    const int height = int(cinfo.output_height);
    CheckPictureSize(width, height, fileName, kKind);
    d.image = QImage(width, height, PictureFormat);
    if (d.image.isNull())
        Fail(PictureProblem::TooLarge, fileName, kKind, QStringLiteral("not enough memory"));
    const int batch = std::max(1, std::min(16, cinfo.rec_outbuf_height));
    if (cmyk)
        d.cmyk.resize(size_t(width) * 4 * size_t(batch));

    JSAMPROW rows[16];
    while (cinfo.output_scanline < cinfo.output_height) {
        const int first = int(cinfo.output_scanline);
        const int count = std::min(batch, height - first);
        for (int i = 0; i < count; ++i)
            rows[i] = cmyk ? d.cmyk.data() + size_t(i) * width * 4 : d.image.scanLine(first + i);
        const int got = int(jpeg_read_scanlines(&cinfo, rows, JDIMENSION(count)));
        if (cmyk) {
            for (int i = 0; i < got; ++i)
                CmykToPicture(rows[i], d.image.scanLine(first + i), width, cinfo.saw_Adobe_marker);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data, const QString& fileName)
{
    Decoder d;
    if (!RunDecoder(d, data, fileName)) {
        const QString detail = QString::fromLocal8Bit(d.err.message);
        Fail(ProblemOf(d.err.code), fileName, kKind, detail);
    }
    return d.image;
}

namespace {

struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

    Encoder()
    {
        cinfo.err = &err.pub;
        InstallErrorManager(err);
        jpeg_create_compress(&cinfo);
    }
    ~Encoder()
    {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

bool RunEncoder(Encoder& e, const QImage& picture)
{
    if (setjmp(e.err.jump))
        return false;
    jpeg_compress_struct& cinfo = e.cinfo;
    jpeg_mem_dest(&cinfo, &e.buffer, &e.size);
    cinfo.image_width = JDIMENSION(picture.width());
    cinfo.image_height = JDIMENSION(picture.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

}  // namespace

}  // namespace pf::formats

namespace pf {

QByteArray EncodeJpeg(const QImage& picture)
{
    const QImage source = ToPictureFormat(picture);
    if (source.isNull() || source.width() <= 0 || source.height() <= 0)
        throw PictureError(PictureProblem::WriteFailed, QStringLiteral("the picture is empty"));
    formats::Encoder e;
    if (!formats::RunEncoder(e, source))
        throw PictureError(PictureProblem::WriteFailed,
                           QStringLiteral("the picture cannot be encoded as JPEG (%1)")
                               .arg(QString::fromLocal8Bit(e.err.message)));
    return QByteArray(reinterpret_cast<const char*>(e.buffer), qsizetype(e.size));
}

}  // namespace pf
