// Opening pictures: every corpus file, the references, the damaged files and the naming rules.
#include "formats_support.h"

#include <QDirIterator>
#include <QSet>
#include <QTemporaryDir>

using namespace pf;
using namespace pf::test;

// Fontconfig keeps parts of its configuration until the process ends; the fonts are loaded when
// metafile text is first drawn.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

struct GoodFile {
    const char* path;
    int width;
    int height;
};

// Every readable file of the corpus with the size it opens at. Icons open as their largest image.
// Placeable metafiles take their size from the header, rounded to the nearest pixel: for
// libwmf_2doorvan (692 units at 575 an inch: 115.53 pixels) and libwmf_Eg (4493 at 1440: 299.53)
// that is one pixel more than libwmf's own display size, which truncates.
const GoodFile kGoodFiles[] = {
    {"wmf/composite_nonplaceable.wmf", 304, 192},
    {"wmf/composite_placeable.wmf", 240, 160},
    {"wmf/libwmf_2doorvan.wmf", 318, 116},
    {"wmf/libwmf_Eg.wmf", 600, 300},
    {"wmf/libwmf_anim0002.wmf", 395, 364},
    {"wmf/libwmf_ant.wmf", 211, 137},
    {"wmf/libwmf_arrow01.wmf", 169, 158},
    {"wmf/libwmf_cell.wmf", 1055, 817},
    {"wmf/libwmf_fjftest.wmf", 794, 1123},
    {"wmf/libwmf_formula1.wmf", 222, 41},
    {"wmf/libwmf_formula2.wmf", 175, 61},
    {"wmf/libwmf_formula3.wmf", 656, 58},
    {"wmf/libwmf_formula4.wmf", 245, 70},
    {"wmf/libwmf_fulltest.wmf", 1056, 816},
    {"wmf/libwmf_p0000001.wmf", 352, 109},
    {"wmf/libwmf_p0000016.wmf", 539, 36},
    {"wmf/libwmf_sample.wmf", 302, 271},
    {"wmf/libwmf_sample2.wmf", 300, 129},
    {"wmf/libwmf_text.wmf", 337, 453},
    {"wmf/roundtrip_1x1.wmf", 1, 1},
    {"wmf/roundtrip_37x23.wmf", 37, 23},
    {"wmf/roundtrip_37x23_libuemf.wmf", 37, 23},
    {"emf/bitmap_37x23.emf", 37, 23},
    {"emf/composite.emf", 240, 160},
    {"emf/libemf2svg_EA-test-file-001.emf", 614, 672},
    {"emf/libemf2svg_test-000.emf", 464, 239},
    {"emf/libemf2svg_test-013.emf", 554, 663},
    {"emf/libemf2svg_test-020.emf", 623, 467},
    {"emf/libemf2svg_test-031.emf", 672, 480},
    {"emf/libemf2svg_test-068.emf", 777, 553},
    {"emf/libemf2svg_test-071.emf", 605, 454},
    {"emf/libemf2svg_test-142.emf", 623, 467},
    {"emf/libuemf_test_mm_text.emf", 1123, 794},
    {"emf/libuemf_test_mm_twips.emf", 1123, 794},
    {"emf/libuemf_test_ref.emf", 1123, 794},
    {"gif/animated.gif", 120, 80},
    {"gif/animated_offset_transparent.gif", 100, 60},
    {"gif/gif87a.gif", 227, 149},
    {"gif/interlaced.gif", 227, 149},
    {"gif/plain.gif", 227, 149},
    {"gif/transparent.gif", 64, 64},
    {"ico/icon_16_32_48_256.ico", 256, 256},
    {"ico/icon_256_48_32_16.ico", 256, 256},
    {"ico/icon_48_16_32.ico", 48, 48},
    {"ico/icon_classic_16x4_32x4_48x8.ico", 48, 48},
    {"ico/icon_classic_32x4_16x8_32x1.ico", 32, 32},
    {"ico/icon_single_32.ico", 32, 32},
    {"bmp/bmpsuite-g/pal1.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal1bg.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal1wb.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal4.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal4gs.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal4rle.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8-0.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8gs.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8nonsquare.bmp", 127, 32},
    {"bmp/bmpsuite-g/pal8os2.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8rle.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8topdown.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8v4.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8v5.bmp", 127, 64},
    {"bmp/bmpsuite-g/pal8w124.bmp", 124, 61},
    {"bmp/bmpsuite-g/pal8w125.bmp", 125, 62},
    {"bmp/bmpsuite-g/pal8w126.bmp", 126, 63},
    {"bmp/bmpsuite-g/rgb16-565.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb16-565pal.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb16.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb16bfdef.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb24.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb24pal.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb32.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb32bf.bmp", 127, 64},
    {"bmp/bmpsuite-g/rgb32bfdef.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal1p1.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal4rlecut.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal4rletrns.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8offs.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8os2-hs.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8os2-sz.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8os2sp.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8os2v2-40sz.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8os2v2-sz.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8os2v2.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8rlecut.bmp", 127, 64},
    {"bmp/bmpsuite-q/pal8rletrns.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb16-231.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb16-3103.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb16faketrns.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb24largepal.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb24lprof.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb32-111110.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb32-7187.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb32-xbgr.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgb32fakealpha.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba16-1924.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba16-4444.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba16-5551.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba32-1.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba32-1010102.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba32-2.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba32-61754.bmp", 127, 64},
    {"bmp/bmpsuite-q/rgba32-81284.bmp", 127, 64},
    {"bmp/shira_bird8.bmp", 192, 144},
    {"bmp/vgl_6434_0018a.bmp", 119, 96},
    {"bmp/vgl_6548_0026a.bmp", 128, 95},
    {"jpeg/cmyk.jpg", 227, 149},
    {"jpeg/exif_orient6.jpg", 227, 149},
    {"jpeg/grayscale.jpg", 227, 149},
    {"jpeg/progressive.jpg", 227, 149},
    {"jpeg/q95_444.jpg", 227, 149},
    {"jpeg/restart.jpg", 227, 149},
    {"jpeg/testimgari.jpg", 227, 149},
    {"jpeg/testimgint.jpg", 227, 149},
    {"jpeg/testorig.jpg", 227, 149},
    {"jpeg/testorig_pixels_encoded_defaults.jpg", 227, 149},
};

struct BadFile {
    const char* path;
    PictureProblem problem;
};

// The files outside bad/ that the corpus records as unreadable, and why.
const BadFile kUnreadableFiles[] = {
    {"wmf/libuemf_test_ref.wmf", PictureProblem::Corrupt},  // libwmf rejects a region record
    {"jpeg/monkey12.jpg", PictureProblem::Unsupported},     // 12-bit samples
    {"bmp/bmpsuite-q/pal1huffmsb.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/pal2.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/pal2color.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/pal8os2v2-16.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/pal8oversizepal.bmp", PictureProblem::Corrupt},
    {"bmp/bmpsuite-q/rgb24jpeg.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/rgb24png.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/rgb24rle24.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/rgb32h52.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/rgba32abf.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/rgba32h56.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-q/rgba64.bmp", PictureProblem::Unsupported},
    {"bmp/bmpsuite-x/ba-bm.bmp", PictureProblem::Unsupported},
};

// The words each kind of failure is reported with.
QString PhraseFor(PictureProblem problem)
{
    switch (problem) {
    case PictureProblem::MissingFile: return QStringLiteral("does not exist");
    case PictureProblem::UnknownType: return QStringLiteral("type is unknown");
    case PictureProblem::ReadFailed: return QStringLiteral("cannot be read");
    case PictureProblem::Empty: return QStringLiteral("is empty");
    case PictureProblem::Truncated: return QStringLiteral("is truncated");
    case PictureProblem::Corrupt: return QStringLiteral("is damaged");
    case PictureProblem::Unsupported: return QStringLiteral("not supported");
    case PictureProblem::TooLarge: return QStringLiteral("too large");
    case PictureProblem::NoApplication: return QStringLiteral("running application");
    case PictureProblem::WriteFailed: return QStringLiteral("Cannot save");
    }
    return {};
}

// Opens the file expecting a failure; returns the error (problem WriteFailed if none was thrown).
PictureError OpenFailure(const QString& path)
{
    try {
        const QImage picture = LoadPicture(path);
        ADD_FAILURE() << path.toStdString() << " opened as " << picture.width() << "x" << picture.height();
    } catch (const PictureError& e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Cannot open \"%1\": ").arg(path))) << e.what();
        EXPECT_TRUE(e.text().contains(PhraseFor(e.problem()))) << e.what();
        return e;
    }
    return PictureError(PictureProblem::WriteFailed, QString());
}

class FormatsOpenGood : public ::testing::TestWithParam<GoodFile> {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
};

TEST_P(FormatsOpenGood, OpensAtTheRecordedSize)
{
    const QString path = TestData(QString::fromLatin1(GetParam().path));
    const QImage picture = LoadPicture(path);
    EXPECT_EQ(picture.format(), PictureFormat);
    EXPECT_EQ(picture.width(), GetParam().width);
    EXPECT_EQ(picture.height(), GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(FormatsCorpus, FormatsOpenGood, ::testing::ValuesIn(kGoodFiles));

class FormatsOpenUnreadable : public ::testing::TestWithParam<BadFile> {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
};

TEST_P(FormatsOpenUnreadable, FailsWithItsReason)
{
    EXPECT_EQ(OpenFailure(TestData(QString::fromLatin1(GetParam().path))).problem(), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(FormatsCorpus, FormatsOpenUnreadable, ::testing::ValuesIn(kUnreadableFiles));

QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// The tables above must cover the corpus: a file added to it without an expectation is a gap.
TEST(FormatsCorpus, EveryPictureFileHasAnExpectation)
{
    QSet<QString> known;
    for (const GoodFile& f : kGoodFiles)
        known << TestData(QString::fromLatin1(f.path));
    for (const BadFile& f : kUnreadableFiles)
        known << TestData(QString::fromLatin1(f.path));
    for (const QString& file : FilesUnder(TestData(QString()))) {
        if (file.contains(QLatin1String("/bad/")) || file.endsWith(QLatin1String(".png")) ||
            file.endsWith(QLatin1String(".md")))
            continue;
        EXPECT_TRUE(known.contains(file)) << file.toStdString();
    }
}

// This fuzzed file's only flaw is a byte of a font name's unused tail, flipped to half a UTF-16
// surrogate pair: every record is whole and consistent, and the good libemf2svg_test-000.emf has
// the same kind of left-over bytes after its font names. It opens.
const char kSoundCorruptedFile[] = "bad/emf-corrupted/bad_corrupted_2014-12-07-140817.emf";

// Every other damaged, truncated or crafted file fails with a message naming the file and the problem.
TEST(FormatsOpenBad, EveryFileFails)
{
    EnsureGuiApplication();
    const QStringList files = FilesUnder(TestData(QStringLiteral("bad")));
    ASSERT_GT(files.size(), 70);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        if (file == TestData(QString::fromLatin1(kSoundCorruptedFile))) {
            EXPECT_EQ(LoadPicture(file).size(), QSize(624, 468));
            continue;
        }
        const PictureError e = OpenFailure(file);
        EXPECT_NE(e.problem(), PictureProblem::WriteFailed);
        if (file.endsWith(QLatin1String(".ico"))) {
            EXPECT_THROW(LoadPicture(file), IconError);
        }
    }
}

// Where a file's name says what is wrong with it, the error says the same.
TEST(FormatsOpenBad, NamesTheProblem)
{
    EnsureGuiApplication();
    const BadFile cases[] = {
        {"bad/jpeg_empty.jpg", PictureProblem::Empty},
        {"bad/bmp_truncated_half.bmp", PictureProblem::Truncated},
        {"bad/emf_truncated_half.emf", PictureProblem::Truncated},
        {"bad/gif_truncated_half.gif", PictureProblem::Truncated},
        {"bad/ico_truncated_half.ico", PictureProblem::Truncated},
        {"bad/jpeg_truncated_half.jpg", PictureProblem::Truncated},
        {"bad/jpeg_truncated_header.jpg", PictureProblem::Truncated},
        {"bad/jpeg_no_eoi.jpg", PictureProblem::Truncated},
        {"bad/wmf_truncated_half.wmf", PictureProblem::Truncated},
        {"bad/bmpsuite-b/shortfile.bmp", PictureProblem::Truncated},
        {"bad/bmp_huge_dims.bmp", PictureProblem::TooLarge},
        {"bad/emf_huge_bounds.emf", PictureProblem::TooLarge},
        {"bad/gif_huge_screen.gif", PictureProblem::TooLarge},
        {"bad/ico_huge_entry.ico", PictureProblem::TooLarge},
        {"bad/jpeg_huge_dims.jpg", PictureProblem::TooLarge},
        {"bad/wmf_huge_bbox.wmf", PictureProblem::TooLarge},
        {"bad/wmf_dib_claims_huge.wmf", PictureProblem::TooLarge},
        {"bad/bmpsuite-b/reallybig.bmp", PictureProblem::TooLarge},
        {"bad/jpeg_garbage.jpg", PictureProblem::Corrupt},
        {"bad/gif_garbage.gif", PictureProblem::Corrupt},
        {"bad/jpeg_corrupt_scan.jpg", PictureProblem::Corrupt},
        {"bad/wmf_bad_checksum.wmf", PictureProblem::Corrupt},
        {"bad/gif_frame_outside_screen.gif", PictureProblem::Corrupt},
        {"bad/bmpsuite-b/pal8badindex.bmp", PictureProblem::Corrupt},
        {"bad/bmpsuite-b/badrle.bmp", PictureProblem::Corrupt},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(OpenFailure(TestData(QString::fromLatin1(c.path))).problem(), c.problem);
    }
}

TEST(FormatsOpenBad, IconFailuresAreIconErrors)
{
    EXPECT_THROW(LoadPicture(TestData(QStringLiteral("bad/ico_garbage.ico"))), IconError);
    EXPECT_THROW(LoadPicture(TestData(QStringLiteral("bad/ico_zero_count.ico"))), IconError);
    try {
        LoadPicture(TestData(QStringLiteral("bad/jpeg_garbage.jpg")));
        ADD_FAILURE();
    } catch (const IconError&) {
        ADD_FAILURE() << "a JPEG failure is not an icon failure";
    } catch (const PictureError&) {
    }
}

TEST(FormatsOpenNames, MissingFileAndUnknownTypes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(OpenFailure(dir.filePath(QStringLiteral("nothing.jpg"))).problem(), PictureProblem::MissingFile);
    const QByteArray jpeg = ReadBytes(TestData(QStringLiteral("jpeg/testorig.jpg")));
    for (const char* name : {"photo.jpe", "photo.tif", "photo", "photo.jpg.txt"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(WriteBytes(path, jpeg));
        EXPECT_EQ(OpenFailure(path).problem(), PictureProblem::UnknownType) << name;
    }
}

// The reader is chosen by the last four characters, upper-cased: photo.JPEG, photo.jpeg and
// photo.jpg are JPEG files; a name ending in "jpeg" without a dot is one too.
TEST(FormatsOpenNames, TagChoosesTheReader)
{
    const struct {
        const char* name;
        PictureType type;
    } cases[] = {
        {"photo.JPEG", PictureType::Jpeg}, {"photo.jpeg", PictureType::Jpeg}, {"photo.jpg", PictureType::Jpeg},
        {"photo.Jpg", PictureType::Jpeg},  {"photojpeg", PictureType::Jpeg},  {"photo.jpe", PictureType::Unknown},
        {"face.bmp", PictureType::Bitmap}, {"a.GIF", PictureType::Gif},       {"x.ico", PictureType::Icon},
        {"d.wmf", PictureType::Metafile},  {"d.EMF", PictureType::EnhancedMetafile},
        {"c.png", PictureType::Png},       {"c.tif", PictureType::Unknown},   {"bmp", PictureType::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureTypeOf(QString::fromLatin1(c.name)), c.type) << c.name;

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray jpeg = ReadBytes(TestData(QStringLiteral("jpeg/testorig.jpg")));
    const QImage expected = ReadExpected(TestData(QStringLiteral("jpeg/testorig_decoded.png")));
    for (const char* name : {"photo.JPEG", "photo.jpeg", "photo.jpg"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(WriteBytes(path, jpeg));
        EXPECT_TRUE(SamePixels(LoadPicture(path), expected)) << name;
    }
}

TEST(FormatsOpenNames, FolderIsNotAPicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("album.jpg"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(OpenFailure(folder).problem(), PictureProblem::ReadFailed);
}

}  // namespace

namespace {

struct Reference {
    const char* file;
    const char* expected;
};

// Files whose expected pixels the corpus records.
const Reference kReferences[] = {
    {"wmf/roundtrip_1x1.wmf", "wmf/roundtrip_1x1.png"},
    {"wmf/roundtrip_37x23.wmf", "wmf/roundtrip_37x23.png"},
    {"wmf/roundtrip_37x23_libuemf.wmf", "wmf/roundtrip_37x23.png"},
    {"emf/bitmap_37x23.emf", "emf/bitmap_37x23.png"},
    {"jpeg/testorig.jpg", "jpeg/testorig_decoded.png"},
    {"jpeg/exif_orient6.jpg", "jpeg/testorig_decoded.png"},  // the EXIF orientation is not applied
    {"gif/interlaced.gif", "gif/interlaced_expected.png"},
    {"gif/animated_offset_transparent.gif", "gif/animated_offset_transparent_frame0_on_white.png"},
};

class FormatsReference : public ::testing::TestWithParam<Reference> {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
};

TEST_P(FormatsReference, PixelsMatchExactly)
{
    const QImage expected = ReadExpected(TestData(QString::fromLatin1(GetParam().expected)));
    ASSERT_FALSE(expected.isNull());
    EXPECT_TRUE(SamePixels(LoadPicture(TestData(QString::fromLatin1(GetParam().file))), expected));
}

INSTANTIATE_TEST_SUITE_P(FormatsCorpus, FormatsReference, ::testing::ValuesIn(kReferences));

// The same picture stored at other depths, with colour masks or with unused fourth bytes.
TEST(FormatsPixels, BitmapVariantsAgree)
{
    const QImage rgb24 = LoadPicture(TestData(QStringLiteral("bmp/bmpsuite-g/rgb24.bmp")));
    for (const char* name : {"bmpsuite-g/rgb32.bmp", "bmpsuite-g/rgb32bf.bmp", "bmpsuite-g/rgb32bfdef.bmp",
                             "bmpsuite-q/rgb32fakealpha.bmp", "bmpsuite-q/rgb32-xbgr.bmp", "bmpsuite-g/rgb24pal.bmp"}) {
        EXPECT_TRUE(SamePixels(LoadPicture(TestData(QStringLiteral("bmp/") + QLatin1String(name))), rgb24)) << name;
    }
    // Top-down rows and run-length compression give the same picture as plain bottom-up rows.
    const QImage pal8 = LoadPicture(TestData(QStringLiteral("bmp/bmpsuite-g/pal8.bmp")));
    EXPECT_TRUE(SamePixels(LoadPicture(TestData(QStringLiteral("bmp/bmpsuite-g/pal8topdown.bmp"))), pal8));
    EXPECT_TRUE(SamePixels(LoadPicture(TestData(QStringLiteral("bmp/bmpsuite-g/pal8rle.bmp"))), pal8));
}

// An icon opens as its largest image wherever it stands in the file; transparent pixels are white.
TEST(FormatsPixels, IconLargestImageOnWhite)
{
    const QImage first = LoadPicture(TestData(QStringLiteral("ico/icon_16_32_48_256.ico")));
    const QImage last = LoadPicture(TestData(QStringLiteral("ico/icon_256_48_32_16.ico")));
    EXPECT_TRUE(SamePixels(first, last));
    for (const char* name : {"icon_16_32_48_256.ico", "icon_48_16_32.ico", "icon_classic_16x4_32x4_48x8.ico",
                             "icon_classic_32x4_16x8_32x1.ico", "icon_single_32.ico"}) {
        const QImage icon = LoadPicture(TestData(QStringLiteral("ico/") + QLatin1String(name)));
        EXPECT_EQ(GetPixel(icon, 0, 0), clWhite) << name;
        EXPECT_EQ(GetPixel(icon, icon.width() - 1, icon.height() - 1), clWhite) << name;
        EXPECT_NE(GetPixel(icon, icon.width() / 2, icon.height() / 2), clWhite) << name;
    }
}

// PNG alpha is composed on white: c * a + 255 * (255 - a), over 255, rounded.
TEST(FormatsPixels, PngAlphaOnWhite)
{
    QImage rgba(3, 1, QImage::Format_ARGB32);
    rgba.setPixel(0, 0, qRgba(200, 100, 0, 255));
    rgba.setPixel(1, 0, qRgba(200, 100, 0, 128));
    rgba.setPixel(2, 0, qRgba(200, 100, 0, 0));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("alpha.png"));
    ASSERT_TRUE(rgba.save(path, "PNG"));
    const QImage picture = LoadPicture(path);
    EXPECT_EQ(GetPixel(picture, 0, 0), RGBColor(200, 100, 0));
    EXPECT_EQ(GetPixel(picture, 1, 0), RGBColor((200 * 128 + 255 * 127 + 127) / 255, (100 * 128 + 255 * 127 + 127) / 255,
                                                (255 * 127 + 127) / 255));
    EXPECT_EQ(GetPixel(picture, 2, 0), clWhite);
    EXPECT_EQ(LoadPicture(SharedDir() + QStringLiteral("/photos/cat.png")).format(), PictureFormat);
}

// Cut-off PNG, GIF and JPEG files made here from good ones: every length that ends inside the
// picture's data is an error, never a half-filled picture.
TEST(FormatsPixels, TruncatedCopiesFail)
{
    EnsureGuiApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"photos/cat.png", "testdata/gif/plain.gif", "testdata/jpeg/progressive.jpg",
                             "testdata/bmp/bmpsuite-g/pal4rle.bmp", "testdata/ico/icon_single_32.ico",
                             "testdata/wmf/roundtrip_37x23.wmf", "testdata/emf/composite.emf"}) {
        const QString source = SharedDir() + QLatin1Char('/') + QLatin1String(name);
        const QByteArray bytes = ReadBytes(source);
        const QString path = dir.filePath(QStringLiteral("cut.") + QFileInfo(source).suffix());
        for (const double part : {0.1, 0.5, 0.9, 0.99}) {
            ASSERT_TRUE(WriteBytes(path, bytes.left(qsizetype(bytes.size() * part))));
            const PictureError e = OpenFailure(path);
            EXPECT_TRUE(e.problem() == PictureProblem::Truncated || e.problem() == PictureProblem::Corrupt)
                << name << " at " << part << ": " << e.what();
        }
    }
}

// ImageMagick, when installed, decodes the corpus JPEG and GIF files to the same pixels.
TEST(FormatsPixels, SameAsImageMagick)
{
    if (ConvertProgram().isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("im.png"));
    for (const char* name : {"jpeg/cmyk.jpg", "jpeg/grayscale.jpg", "jpeg/progressive.jpg", "jpeg/q95_444.jpg",
                             "jpeg/restart.jpg", "jpeg/testimgari.jpg", "jpeg/testimgint.jpg", "gif/plain.gif",
                             "gif/gif87a.gif", "gif/transparent.gif", "gif/animated.gif"}) {
        const QString file = TestData(QString::fromLatin1(name));
        ASSERT_TRUE(RunConvert({file + QStringLiteral("[0]"), QStringLiteral("-background"), QStringLiteral("white"),
                                QStringLiteral("-flatten"), QStringLiteral("-colorspace"), QStringLiteral("sRGB"),
                                QStringLiteral("PNG24:") + out}))
            << name;
        EXPECT_TRUE(SamePixels(LoadPicture(file), ReadExpected(out))) << name;
    }
}

}  // namespace

namespace {

// EMF text given as glyph numbers is refused: the converter would shut fontconfig down while
// the application's text drawing still uses it, and fontconfig aborts the program.
TEST(FormatsOpenBad, EmfGlyphIndexTextIsRefused)
{
    EnsureGuiApplication();
    QByteArray emf = ReadBytes(TestData(QStringLiteral("emf/libemf2svg_test-068.emf")));
    ASSERT_GT(emf.size(), 88);
    // Find the first EXTTEXTOUTW record and set ETO_GLYPH_INDEX in its options.
    const auto* p = reinterpret_cast<const uchar*>(emf.constData());
    auto u32 = [&](qsizetype at) { return uint32_t(p[at] | (p[at + 1] << 8) | (p[at + 2] << 16) | (uint32_t(p[at + 3]) << 24)); };
    qsizetype pos = u32(4);
    while (pos + 8 <= emf.size() && u32(pos) != 84)
        pos += u32(pos + 4);
    ASSERT_LT(pos + 56, emf.size());
    emf[pos + 52] = char(emf[pos + 52] | 0x10);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("glyphs.emf"));
    ASSERT_TRUE(WriteBytes(path, emf));
    const PictureError e = OpenFailure(path);
    EXPECT_EQ(e.problem(), PictureProblem::Unsupported);
    EXPECT_TRUE(e.text().contains(QStringLiteral("glyph numbers"))) << e.what();
}

}  // namespace
