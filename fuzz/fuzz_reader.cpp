// One libFuzzer target per picture reader; FUZZ_READER_<TYPE> chooses which. Every input must
// either decode to a picture in the picture layout or fail with a PictureError; anything else
// (a crash, a sanitizer report, another exception, a leak, a hang) is a finding.
#include "picture/formats/formats.h"
#include "picture/picture.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdint>
#include <cstdlib>

namespace {

#if defined(FUZZ_READER_JPEG)
constexpr pf::PictureType kType = pf::PictureType::Jpeg;
#elif defined(FUZZ_READER_GIF)
constexpr pf::PictureType kType = pf::PictureType::Gif;
#elif defined(FUZZ_READER_BMP)
constexpr pf::PictureType kType = pf::PictureType::Bitmap;
#elif defined(FUZZ_READER_ICO)
constexpr pf::PictureType kType = pf::PictureType::Icon;
#elif defined(FUZZ_READER_PNG)
constexpr pf::PictureType kType = pf::PictureType::Png;
#elif defined(FUZZ_READER_WMF)
constexpr pf::PictureType kType = pf::PictureType::Metafile;
#elif defined(FUZZ_READER_EMF)
constexpr pf::PictureType kType = pf::PictureType::EnhancedMetafile;
#else
#error "define FUZZ_READER_<TYPE>"
#endif

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

// Fontconfig keeps parts of its configuration until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Metafiles are drawn with fonts, which need the application object; it runs offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    qInstallMessageHandler(Quiet);  // damaged SVG from the converters makes QtSvg chatty
    // Load the font database once here, so that its one-time allocations are not charged to an input.
    QSvgRenderer renderer(QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
                                     "<text x='0' y='8' font-size='8'>A</text></svg>"));
    QImage warm(8, 8, QImage::Format_RGB32);
    QPainter painter(&warm);
    renderer.render(&painter);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QImage picture = pf::DecodePicture(bytes, kType, QStringLiteral("fuzz"));
        if (picture.isNull() || picture.format() != pf::PictureFormat)
            std::abort();
    } catch (const pf::PictureError&) {
    }
    return 0;
}
