// WMF through libwmf's SVG device, drawn by QtSvg.
//
// The file's records are walked first: every record must be whole, the bitmaps inside must be
// whole and within the limits, and the picture size comes from the placeable header. libwmf's SVG
// then needs a few repairs before QtSvg draws it as the metafile means it (see RepairSvg).
#include "picture/formats/formats_internal.h"
#include "picture/picture.h"

#include <QRectF>
#include <algorithm>
#include <cmath>

#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace pf::formats {

namespace {

const QString kKind = QStringLiteral("WMF");

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;

struct WmfLayout {
    bool placeable = false;
    int width = 0;   // from the placeable header
    int height = 0;
    size_t header = 0;  // offset of the metafile header
    uint32_t largestRecord = 0;  // in 16-bit words
};

[[noreturn]] void RecordFail(PictureProblem problem, size_t offset, const QString& what, const QString& fileName)
{
    Fail(problem, fileName, kKind, QStringLiteral("%1 (record at byte %2)").arg(what).arg(offset));
}

// An old device-dependent bitmap (Bitmap16) at b, with size bytes available.
void CheckBitmap16(const uint8_t* b, size_t size, size_t offset, const QString& fileName)
{
    if (size < 10)
        RecordFail(PictureProblem::Corrupt, offset, QStringLiteral("a bitmap is cut short"), fileName);
    const int width = ReadS16(b + 2), height = ReadS16(b + 4), widthBytes = ReadS16(b + 6);
    const int planes = b[8], bits = b[9];
    if (width <= 0 || height <= 0 || widthBytes <= 0 || planes != 1 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
        int64_t(widthBytes) * 8 < int64_t(width) * bits)
        RecordFail(PictureProblem::Corrupt, offset, QStringLiteral("a bitmap's header is invalid"), fileName);
    CheckPictureSize(width, height, fileName, kKind);
}

void CheckRecord(const uint8_t* r, size_t bytes, size_t offset, const QString& fileName)
{
    const uint16_t function = ReadU16(r + 4);
    const size_t words = bytes / 2;
    auto need = [&](size_t n) {
        if (bytes < n)
            RecordFail(PictureProblem::Corrupt, offset,
                       QStringLiteral("record 0x%1 is too short").arg(function, 4, 16, QLatin1Char('0')), fileName);
    };
    auto dib = [&](size_t at, bool paletteIndices) {
        need(at);
        DibCheck how;
        how.paletteIndices = paletteIndices;
        ValidateDib(r + at, bytes - at, nullptr, 0, how, fileName, kKind);
    };
    switch (function) {
    case 0x0F43:  // STRETCHDIB
        need(12);
        dib(28, ReadU16(r + 10) == 1);
        break;
    case 0x0B41:  // DIBSTRETCHBLT; the form without a bitmap has one more parameter
        if (words != 14)
            dib(26, false);
        break;
    case 0x0940:  // DIBBITBLT
        if (words != 12)
            dib(22, false);
        break;
    case 0x0D33:  // SETDIBTODEV
        need(8);
        dib(24, ReadU16(r + 6) == 1);
        break;
    case 0x0142:  // DIBCREATEPATTERNBRUSH
        need(10);
        dib(10, ReadU16(r + 8) == 1 && ReadU16(r + 6) != 3);
        break;
    case 0x0922:  // BITBLT with an old bitmap
        if (words != 12) {
            need(22);
            CheckBitmap16(r + 22, bytes - 22, offset, fileName);
        }
        break;
    case 0x0B23:  // STRETCHBLT with an old bitmap
        if (words != 14) {
            need(26);
            CheckBitmap16(r + 26, bytes - 26, offset, fileName);
        }
        break;
    case 0x01F9:  // CREATEPATTERNBRUSH
        need(6);
        CheckBitmap16(r + 6, bytes - 6, offset, fileName);
        break;
    case 0x0324:  // POLYGON
    case 0x0325:  // POLYLINE
        need(8);
        need(8 + size_t(ReadU16(r + 6)) * 4);
        break;
    case 0x0538: {  // POLYPOLYGON
        need(8);
        const size_t polygons = ReadU16(r + 6);
        need(8 + polygons * 2);
        size_t points = 0;
        for (size_t i = 0; i < polygons; ++i)
            points += ReadU16(r + 8 + 2 * i);
        need(8 + polygons * 2 + points * 4);
        break;
    }
    case 0x0521: {  // TEXTOUT
        need(8);
        const size_t length = ReadU16(r + 6);
        need(8 + ((length + 1) & ~size_t(1)) + 4);
        break;
    }
    case 0x0A32: {  // EXTTEXTOUT
        need(14);
        const size_t count = ReadU16(r + 10);
        const uint16_t options = ReadU16(r + 12);
        const size_t rect = (options & 0x0006) ? 8 : 0;  // ETO_OPAQUE, ETO_CLIPPED
        need(14 + rect + count);
        break;
    }
    default:
        break;
    }
}

WmfLayout CheckWmf(const uint8_t* p, size_t n, const QString& fileName)
{
    WmfLayout layout;
    size_t pos = 0;
    if (n >= 4 && ReadU32(p) == kPlaceableKey) {
        if (n < kPlaceableSize)
            Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the placeable header is incomplete"));
        uint16_t sum = 0;
        for (size_t i = 0; i < 10; ++i)
            sum ^= ReadU16(p + 2 * i);
        if (sum != ReadU16(p + 20))
            Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the placeable header's checksum is wrong"));
        const int left = ReadS16(p + 6), top = ReadS16(p + 8), right = ReadS16(p + 10), bottom = ReadS16(p + 12);
        const int inch = ReadU16(p + 14);
        if (inch == 0)
            Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the placeable header gives 0 units an inch"));
        const int unitsWide = std::abs(right - left), unitsHigh = std::abs(bottom - top);
        if (unitsWide == 0 || unitsHigh == 0)
            Fail(PictureProblem::Corrupt, fileName, kKind,
                 QStringLiteral("the placeable header gives the picture no size (%1 x %2 units)").arg(unitsWide).arg(unitsHigh));
        const int64_t width = std::max(1, Round(unitsWide * 96.0 / inch));
        const int64_t height = std::max(1, Round(unitsHigh * 96.0 / inch));
        CheckPictureSize(width, height, fileName, kKind);
        layout.placeable = true;
        layout.width = int(width);
        layout.height = int(height);
        pos = kPlaceableSize;
    }
    layout.header = pos;
    if (n < pos + kHeaderSize)
        Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the metafile header is incomplete"));
    const uint16_t type = ReadU16(p + pos), headerWords = ReadU16(p + pos + 2), version = ReadU16(p + pos + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the metafile header is invalid"));
    pos += kHeaderSize;

    for (;;) {
        if (pos + 6 > n)
            Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the file ends before its end record"));
        const uint64_t words = ReadU32(p + pos);
        const uint16_t function = ReadU16(p + pos + 4);
        if (words < 3)
            RecordFail(PictureProblem::Corrupt, pos, QStringLiteral("a record claims %1 words").arg(words), fileName);
        if (words * 2 > n - pos)
            RecordFail(PictureProblem::Truncated, pos, QStringLiteral("a record is cut short"), fileName);
        CheckRecord(p + pos, size_t(words * 2), pos, fileName);
        layout.largestRecord = std::max(layout.largestRecord, uint32_t(words));
        pos += size_t(words * 2);
        if (function == 0x0000)
            return layout;
    }
}

// Windows-1252 for the bytes 0x80..0x9F, where it differs from Latin-1.
constexpr char16_t kCp1252[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Metafile text bytes (Windows code page) as XML character data.
QString TextToXml(const char* begin, const char* end)
{
    QString out;
    out.reserve(end - begin);
    for (const char* c = begin; c != end; ++c) {
        const uint8_t b = uint8_t(*c);
        if (b == '&')
            out += QLatin1String("&amp;");
        else if (b == '<')
            out += QLatin1String("&lt;");
        else if (b == '>')
            out += QLatin1String("&gt;");
        else if (b == '"')
            out += QLatin1String("&quot;");
        else if (b < 0x20)
            out += QLatin1Char(' ');  // not allowed in XML
        else if (b >= 0x80 && b < 0xA0)
            out += QChar(kCp1252[b - 0x80]);
        else
            out += QChar(b);
    }
    return out;
}

QByteArray Between(const QByteArray& s, qsizetype from, qsizetype to) { return s.mid(from, to - from); }

// libwmf writes text straight from the metafile into its SVG, and marks up pictures and open lines in
// ways QtSvg reads differently from what the metafile means. Repairs, element by element:
//  - <text>: the font name and the characters are re-encoded to UTF-8 and escaped for XML;
//  - <image>: the transform is dropped (x, y, width and height already place the picture, the
//    transform would apply position and scale a second time), and pixels are drawn unsmoothed;
//  - <polyline>: not filled (QtSvg fills by default, the metafile's polylines are lines only);
//  - <svg>: the namespaces libwmf leaves out are declared.
QByteArray RepairSvg(const QByteArray& svg)
{
    QByteArray out;
    out.reserve(svg.size() + svg.size() / 8);
    qsizetype pos = 0;
    while (pos < svg.size()) {
        const qsizetype open = svg.indexOf('<', pos);
        if (open < 0) {
            out += svg.mid(pos);
            break;
        }
        out += Between(svg, pos, open);
        const QByteArray head = svg.mid(open, 10);
        if (head.startsWith("<text ")) {
            // <text ... style="font-family:NAME; font-style:..." ...\n\t>CHARACTERS</text>
            const qsizetype family = svg.indexOf("font-family:", open);
            const qsizetype familyEnd = family < 0 ? -1 : svg.indexOf("; font-style:", family);
            const qsizetype tagEnd = familyEnd < 0 ? -1 : svg.indexOf("\n\t>", familyEnd);
            const qsizetype close = tagEnd < 0 ? -1 : svg.indexOf("</text>", tagEnd);
            if (close < 0) {
                out += svg.mid(open);  // not libwmf's usual shape: left to the XML reader to judge
                break;
            }
            const qsizetype nameStart = family + 12;
            out += Between(svg, open, nameStart);
            out += TextToXml(svg.constData() + nameStart, svg.constData() + familyEnd).toUtf8();
            out += Between(svg, familyEnd, tagEnd + 3);
            out += TextToXml(svg.constData() + tagEnd + 3, svg.constData() + close).toUtf8();
            out += "</text>";
            pos = close + 7;
        } else if (head.startsWith("<image ")) {
            const qsizetype end = svg.indexOf('>', open);
            if (end < 0) {
                out += svg.mid(open);
                break;
            }
            QByteArray tag = Between(svg, open, end + 1);
            const qsizetype transform = tag.indexOf(" transform=\"");
            if (transform < 0) {
                const qsizetype transformLine = tag.indexOf("\ttransform=\"");
                if (transformLine >= 0) {
                    const qsizetype valueEnd = tag.indexOf('"', transformLine + 12);
                    if (valueEnd >= 0)
                        tag.remove(transformLine, valueEnd + 1 - transformLine);
                }
            } else {
                const qsizetype valueEnd = tag.indexOf('"', transform + 12);
                if (valueEnd >= 0)
                    tag.remove(transform, valueEnd + 1 - transform);
            }
            tag.insert(6, " image-rendering=\"optimizeSpeed\"");
            out += tag;
            pos = end + 1;
        } else if (head.startsWith("<polyline")) {
            out += "<polyline fill=\"none\"";
            pos = open + 9;
        } else if (head.startsWith("<svg ")) {
            out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"";
            pos = open + 4;
        } else {
            out += '<';
            pos = open + 1;
        }
    }
    return out;
}

struct WmfApi {
    wmfAPI* api = nullptr;
    ~WmfApi()
    {
        if (api)
            wmf_api_destroy(api);
    }
};

}  // namespace

QImage DecodeWmf(const QByteArray& data, const QString& fileName)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const WmfLayout layout = CheckWmf(p, size_t(data.size()), fileName);

    // libwmf sizes its record buffer from the header's largest-record field: give it the true one.
    QByteArray file = data;
    const size_t largest = layout.header + 12;
    file[qsizetype(largest)] = char(layout.largestRecord & 0xFF);
    file[qsizetype(largest + 1)] = char((layout.largestRecord >> 8) & 0xFF);
    file[qsizetype(largest + 2)] = char((layout.largestRecord >> 16) & 0xFF);
    file[qsizetype(largest + 3)] = char((layout.largestRecord >> 24) & 0xFF);

    WmfApi holder;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&holder.api, flags, &options) != wmf_E_None || !holder.api)
        Fail(PictureProblem::ReadFailed, fileName, kKind, QStringLiteral("the metafile reader cannot start"));
    wmfAPI* api = holder.api;
    auto check = [&](wmf_error_t status, const char* step) {
        if (status != wmf_E_None || api->err != wmf_E_None)
            Fail(status == wmf_E_InsMem ? PictureProblem::TooLarge : PictureProblem::Corrupt, fileName, kKind,
                 QStringLiteral("the metafile reader fails while %1").arg(QLatin1String(step)));
    };
    check(wmf_mem_open(api, reinterpret_cast<unsigned char*>(file.data()), long(file.size())), "opening it");
    wmfD_Rect bbox;
    check(wmf_scan(api, 0, &bbox), "measuring it");

    int width = layout.width, height = layout.height;
    if (!layout.placeable) {
        unsigned int w = 0, h = 0;
        check(wmf_display_size(api, &w, &h, 96, 96), "measuring it");
        CheckPictureSize(w, h, fileName, kKind);
        width = int(w);
        height = int(h);
    }
    if (!(bbox.BR.x > bbox.TL.x) || !(bbox.BR.y > bbox.TL.y) || !std::isfinite(bbox.BR.x - bbox.TL.x) ||
        !std::isfinite(bbox.BR.y - bbox.TL.y))
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the drawing has no extent"));

    wmf_svg_t* device = WMF_SVG_GetData(api);
    device->out = wmf_stream_create(api, nullptr);
    if (!device->out)
        Fail(PictureProblem::TooLarge, fileName, kKind, QStringLiteral("not enough memory"));
    device->bbox = bbox;
    device->width = unsigned(width);
    device->height = unsigned(height);
    device->flags |= WMF_SVG_INLINE_IMAGES;
    const wmf_error_t played = wmf_play(api, 0, &bbox);
    char* text = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api, device->out, &text, &length);
    device->out = nullptr;
    const QByteArray svg(text ? text : "", text ? qsizetype(length) : 0);
    check(played, "drawing it");

    return RenderSvg(RepairSvg(svg), width, height, QRectF(), fileName, kKind);
}

}  // namespace pf::formats
