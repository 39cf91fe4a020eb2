// EMF through libemf2svg, drawn by QtSvg.
//
// The records are walked first: every record must be whole, object handles must lie within the
// header's table, text, point lists and bitmaps must lie within their records, and EMF+ records
// inside comments must be whole. The picture's size is the header's frame (hundredths of a
// millimetre, both edges included) at 96 dots an inch; libemf2svg draws in the reference device's
// pixels with the bounds' top left at 0, 0 and gives the bounds one pixel short, so the drawing
// is mapped from (bounds width + 1) x (bounds height + 1) onto the picture.
#include "picture/formats/formats_internal.h"
#include "picture/picture.h"

#include <QRectF>
#include <cstdlib>
#include <vector>

#include <emf2svg.h>

namespace pf::formats {

namespace {

const QString kKind = QStringLiteral("EMF");

enum : uint32_t {
    kHeader = 1, kPolyBezier = 2, kPolygon = 3, kPolyline = 4, kPolyBezierTo = 5, kPolylineTo = 6,
    kPolyPolyline = 7, kPolyPolygon = 8, kEof = 14, kSelectObject = 37, kCreatePen = 38,
    kCreateBrushIndirect = 39, kDeleteObject = 40, kSelectPalette = 48, kCreatePalette = 49,
    kPolyDraw = 56, kGdiComment = 70, kBitBlt = 76, kStretchBlt = 77, kMaskBlt = 78, kPlgBlt = 79,
    kSetDiBitsToDevice = 80, kStretchDiBits = 81, kExtCreateFontIndirectW = 82, kExtTextOutA = 83,
    kExtTextOutW = 84, kPolyBezier16 = 85, kPolygon16 = 86, kPolyline16 = 87, kPolyBezierTo16 = 88,
    kPolylineTo16 = 89, kPolyPolyline16 = 90, kPolyPolygon16 = 91, kPolyDraw16 = 92,
    kCreateMonoBrush = 93, kCreateDibPatternBrushPt = 94, kExtCreatePen = 95, kPolyTextOutA = 96,
    kPolyTextOutW = 97, kCreateColorSpace = 99, kAlphaBlend = 114, kTransparentBlt = 116,
    kCreateColorSpaceW = 122,
};

constexpr uint32_t kEmfSignature = 0x464D4520;   // " EMF"
constexpr uint32_t kEmfPlusComment = 0x2B464D45;  // "EMF+"

struct EmfLayout {
    int width = 0;
    int height = 0;
    QRectF drawing;  // libemf2svg's user space that covers the picture
};

class RecordChecker {
public:
    RecordChecker(const uint8_t* r, size_t size, size_t offset, uint32_t handles, const QString& fileName)
        : r_(r), size_(size), offset_(offset), handles_(handles), fileName_(fileName)
    {
    }

    [[noreturn]] void Bad(const QString& what) const
    {
        Fail(PictureProblem::Corrupt, fileName_, kKind,
             QStringLiteral("%1 (record %2 at byte %3)").arg(what).arg(ReadU32(r_)).arg(offset_));
    }
    void Need(uint64_t bytes) const
    {
        if (bytes > size_)
            Bad(QStringLiteral("a record is too short for its contents"));
    }
    uint32_t At(size_t offset) const
    {
        Need(offset + 4);
        return ReadU32(r_ + offset);
    }

    // A handle that names an object of the table, or a stock object.
    void UsedHandle(size_t offset) const
    {
        const uint32_t index = At(offset);
        if (index & 0x80000000u) {
            if ((index & 0x7FFFFFFFu) > 19)
                Bad(QStringLiteral("stock object %1 does not exist").arg(index & 0x7FFFFFFFu));
        } else if (index == 0 || index >= handles_) {
            Bad(QStringLiteral("object %1 lies outside the %2-entry table").arg(index).arg(handles_));
        }
    }
    // A handle that a record creates an object under.
    void NewHandle(size_t offset) const
    {
        const uint32_t index = At(offset);
        if (index == 0 || index >= handles_)
            Bad(QStringLiteral("object %1 lies outside the %2-entry table").arg(index).arg(handles_));
    }

    // count points of pointBytes each starting at offset countAt + 4.
    void Points(size_t countAt, size_t pointBytes) const
    {
        const uint64_t count = At(countAt);
        Need(countAt + 4 + count * pointBytes);
    }
    void PolyPoints(size_t pointBytes) const
    {
        const uint64_t polygons = At(24);
        const uint64_t total = At(28);
        Need(32 + polygons * 4 + total * pointBytes);
        uint64_t sum = 0;
        for (uint64_t i = 0; i < polygons; ++i)
            sum += ReadU32(r_ + 32 + 4 * i);
        if (sum != total)
            Bad(QStringLiteral("the polygons' point counts do not add up"));
    }
    void PolyDraw(size_t pointBytes) const
    {
        const uint64_t count = At(24);
        Need(28 + count * pointBytes + count);
    }

    // UTF-16 text: a surrogate must be half of a pair. The converter gives up on the whole
    // string otherwise, and a font or text without its characters is not what the file means.
    void Utf16(size_t offset, uint64_t chars, const char* what, bool toTerminator = false) const
    {
        for (uint64_t i = 0; i < chars; ++i) {
            const uint16_t c = ReadU16(r_ + offset + 2 * i);
            if (c == 0 && toTerminator)
                return;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < chars) {
                const uint16_t next = ReadU16(r_ + offset + 2 * (i + 1));
                if (next >= 0xDC00 && next <= 0xDFFF) {
                    ++i;
                    continue;
                }
            }
            if (c >= 0xD800 && c <= 0xDFFF)
                Bad(QStringLiteral("%1 holds an invalid character").arg(QLatin1String(what)));
        }
    }

    // An EmrText structure at offset whose string and spacing offsets count from the record start.
    void Text(size_t at, bool wide) const
    {
        const uint64_t chars = At(at + 8);
        const uint64_t offString = At(at + 12);
        const uint32_t options = At(at + 16);
        const size_t dxAt = (options & 0x100) ? at + 20 : at + 36;  // ETO_NO_RECT leaves out the rectangle
        const uint64_t offDx = At(dxAt);
        // Text given as glyph numbers of a font: the converter looks the font up through
        // fontconfig and then shuts fontconfig down, under the feet of the application's own
        // text drawing (fontconfig aborts the program). Such files are refused.
        if (options & 0x10)  // ETO_GLYPH_INDEX
            Fail(PictureProblem::Unsupported, fileName_, kKind,
                 QStringLiteral("text given as glyph numbers (record at byte %1)").arg(offset_));
        if (chars == 0)
            return;
        if (offString < 8 || offString + chars * (wide ? 2 : 1) > size_)
            Bad(QStringLiteral("a text's characters lie outside its record"));
        if (offDx != 0 && (offDx < 8 || offDx + chars * ((options & 0x2000) ? 8 : 4) > size_))
            Bad(QStringLiteral("a text's spacing lies outside its record"));
        if (wide)
            Utf16(size_t(offString), chars, "a text");
    }

    // A bitmap given by the four fields offBmi, cbBmi, offBits, cbBits at offset.
    void Bitmap(size_t offset, size_t usageAt, bool headerOnly) const
    {
        const uint64_t offBmi = At(offset), cbBmi = At(offset + 4);
        const uint64_t offBits = At(offset + 8), cbBits = At(offset + 12);
        if (cbBmi == 0)
            return;  // a record that draws without a bitmap
        if (offBmi < 8 || offBmi + cbBmi > size_ || offBits + cbBits > size_ || (cbBits != 0 && offBits < 8))
            Bad(QStringLiteral("a bitmap lies outside its record"));
        DibCheck how;
        how.paletteIndices = usageAt != 0 && At(usageAt) == 1;
        how.allowEmbedded = true;
        how.headerOnly = headerOnly;
        ValidateDib(r_ + offBmi, size_t(cbBmi), r_ + offBits, size_t(cbBits), how, fileName_, kKind);
    }

    void EmfPlus(size_t from, size_t to) const
    {
        size_t pos = from;
        while (pos < to) {
            if (to - pos < 12)
                Bad(QStringLiteral("an EMF+ record is cut short"));
            const uint16_t type = ReadU16(r_ + pos);
            const uint64_t size = ReadU32(r_ + pos + 4), dataSize = ReadU32(r_ + pos + 8);
            if (type < 0x4001 || type > 0x403A)
                Bad(QStringLiteral("EMF+ record type 0x%1 does not exist").arg(type, 4, 16, QLatin1Char('0')));
            if (size < 12 || size % 4 != 0 || size > to - pos || dataSize > size - 12)
                Bad(QStringLiteral("an EMF+ record's size is wrong"));
            pos += size_t(size);
        }
    }

    void Check() const
    {
        switch (ReadU32(r_)) {
        case kPolyBezier: case kPolygon: case kPolyline: case kPolyBezierTo: case kPolylineTo:
            Points(24, 8);
            break;
        case kPolyBezier16: case kPolygon16: case kPolyline16: case kPolyBezierTo16: case kPolylineTo16:
            Points(24, 4);
            break;
        case kPolyPolyline: case kPolyPolygon:
            PolyPoints(8);
            break;
        case kPolyPolyline16: case kPolyPolygon16:
            PolyPoints(4);
            break;
        case kPolyDraw:
            PolyDraw(8);
            break;
        case kPolyDraw16:
            PolyDraw(4);
            break;
        case kSelectObject: case kDeleteObject: case kSelectPalette:
            UsedHandle(8);
            break;
        case kCreatePen: case kCreateBrushIndirect: case kCreatePalette: case kCreateColorSpace:
        case kCreateColorSpaceW:
            NewHandle(8);
            break;
        case kExtCreateFontIndirectW:
            NewHandle(8);
            Need(12 + 92);  // the logical font
            // What follows the name's terminator is often left-over memory: only the name counts.
            Utf16(12 + 28, 32, "a font name", true);
            break;
        case kExtCreatePen:
            NewHandle(8);
            Bitmap(12, 0, false);
            break;
        case kCreateMonoBrush: case kCreateDibPatternBrushPt:
            NewHandle(8);
            Bitmap(16, 12, false);
            break;
        case kExtTextOutA: case kExtTextOutW:
            Text(36, ReadU32(r_) == kExtTextOutW);
            break;
        case kPolyTextOutA: case kPolyTextOutW: {
            const uint64_t strings = At(36);
            Need(40 + strings * 40);
            for (uint64_t i = 0; i < strings; ++i)
                Text(40 + size_t(i) * 40, ReadU32(r_) == kPolyTextOutW);
            break;
        }
        case kBitBlt: case kStretchBlt: case kAlphaBlend: case kTransparentBlt:
            Bitmap(84, 80, false);
            break;
        case kMaskBlt:
            Bitmap(84, 80, false);
            Bitmap(112, 108, false);
            break;
        case kPlgBlt:
            Bitmap(96, 92, false);
            Bitmap(124, 120, false);
            break;
        case kSetDiBitsToDevice:
            Bitmap(48, 64, true);  // the pixels may cover only a band of the rows
            break;
        case kStretchDiBits:
            Bitmap(48, 64, false);
            break;
        case kGdiComment: {
            const uint64_t dataSize = At(8);
            Need(12 + dataSize);
            if (dataSize >= 4 && ReadU32(r_ + 12) == kEmfPlusComment)
                EmfPlus(16, 12 + size_t(dataSize));
            break;
        }
        default:
            break;
        }
    }

private:
    const uint8_t* r_;
    size_t size_;
    size_t offset_;
    uint32_t handles_;
    const QString& fileName_;
};

EmfLayout CheckEmf(const uint8_t* p, size_t n, const QString& fileName)
{
    if (n < 88)
        Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the header is incomplete"));
    const uint32_t headerSize = ReadU32(p + 4);
    if (ReadU32(p) != kHeader || ReadU32(p + 40) != kEmfSignature || headerSize < 88 || headerSize % 4 != 0)
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the header is not an EMF header"));
    if (headerSize > n)
        Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the header is incomplete"));
    const int64_t boundsLeft = ReadS32(p + 8), boundsTop = ReadS32(p + 12), boundsRight = ReadS32(p + 16), boundsBottom = ReadS32(p + 20);
    const int64_t frameLeft = ReadS32(p + 24), frameTop = ReadS32(p + 28), frameRight = ReadS32(p + 32), frameBottom = ReadS32(p + 36);
    const uint32_t fileBytes = ReadU32(p + 48);
    const uint32_t records = ReadU32(p + 52);
    const uint32_t handles = ReadU16(p + 56);
    const uint32_t descriptionChars = ReadU32(p + 60), descriptionOffset = ReadU32(p + 64);
    const int32_t deviceWidth = ReadS32(p + 72), deviceHeight = ReadS32(p + 76);
    const int32_t millimetresWide = ReadS32(p + 80), millimetresHigh = ReadS32(p + 84);

    if (frameRight < frameLeft || frameBottom < frameTop || boundsRight < boundsLeft || boundsBottom < boundsTop ||
        (frameRight == frameLeft && frameBottom == frameTop))
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the header gives the picture no size"));
    if (handles == 0)
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the header's object table has no entries"));
    if (deviceWidth <= 0 || deviceHeight <= 0 || millimetresWide <= 0 || millimetresHigh <= 0)
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the header's reference device has no size"));
    if (descriptionChars != 0 &&
        (descriptionOffset < 88 || uint64_t(descriptionOffset) + uint64_t(descriptionChars) * 2 > headerSize))
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the description lies outside the header"));
    if (headerSize >= 100) {
        const uint32_t pixelFormatBytes = ReadU32(p + 88), pixelFormatOffset = ReadU32(p + 92);
        if (pixelFormatBytes != 0 && (pixelFormatOffset < 88 || uint64_t(pixelFormatOffset) + pixelFormatBytes > headerSize))
            Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the pixel format lies outside the header"));
    }

    EmfLayout layout;
    const int64_t width = Round(double(frameRight - frameLeft + 1) * 96.0 / 2540.0);
    const int64_t height = Round(double(frameBottom - frameTop + 1) * 96.0 / 2540.0);
    CheckPictureSize(width, height, fileName, kKind);
    if (fileBytes > n)
        Fail(PictureProblem::Truncated, fileName, kKind,
             QStringLiteral("the header says %1 bytes, the file has %2").arg(fileBytes).arg(n));
    layout.width = int(width);
    layout.height = int(height);
    layout.drawing = QRectF(0, 0, double(boundsRight - boundsLeft + 1), double(boundsBottom - boundsTop + 1));

    size_t pos = headerSize;
    uint32_t count = 1;
    for (;;) {
        if (pos + 8 > n)
            Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("the file ends before its end record"));
        const uint32_t type = ReadU32(p + pos);
        const uint32_t size = ReadU32(p + pos + 4);
        if (size < 8 || size % 4 != 0)
            Fail(PictureProblem::Corrupt, fileName, kKind,
                 QStringLiteral("a record claims %1 bytes (record at byte %2)").arg(size).arg(pos));
        if (size > n - pos)
            Fail(PictureProblem::Truncated, fileName, kKind, QStringLiteral("a record is cut short"));
        if (type == kHeader)
            Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("a second header at byte %1").arg(pos));
        RecordChecker(p + pos, size, pos, handles, fileName).Check();
        pos += size;
        ++count;
        if (type == kEof)
            break;
    }
    if (count != records)
        Fail(PictureProblem::Corrupt, fileName, kKind,
             QStringLiteral("the header counts %1 records, the file holds %2").arg(records).arg(count));
    return layout;
}

}  // namespace

QImage DecodeEmf(const QByteArray& data, const QString& fileName)
{
    const EmfLayout layout = CheckEmf(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()), fileName);

    QByteArray contents = data;  // emf2svg wants a writable buffer
    char noNamespace[] = "";
    generatorOptions options{};
    options.nameSpace = noNamespace;  // with a namespace prefix its XML is not well-formed
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = 0;  // draw in the reference device's pixels
    options.imgHeight = 0;
    char* svg = nullptr;
    size_t length = 0;
    const int converted = emf2svg(contents.data(), size_t(contents.size()), &svg, &length, &options);
    const QByteArray document(svg ? svg : "", svg ? qsizetype(length) : 0);
    std::free(svg);
    if (converted != 1 || document.isEmpty())
        Fail(PictureProblem::Corrupt, fileName, kKind, QStringLiteral("the metafile converter rejects it"));
    return RenderSvg(document, layout.width, layout.height, layout.drawing, fileName, kKind);
}

}  // namespace pf::formats
