// Saving pictures: the forced extension, the writers, round trips and failed writes.
#include "formats_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

using namespace pf;
using namespace pf::test;

namespace {

TEST(FormatsSaveNames, ForceExtension)
{
    const struct {
        const char* name;
        int filter;
        const char* result;
    } cases[] = {
        {"out.jpg", kSaveBitmap, "out.bmp"},
        {"face.png", kSaveJpeg, "face.jpg"},
        {"face.JPG", kSaveJpeg, "face.jpg"},
        {"a.b.c", kSavePng, "a.b.png"},
        {"picture", kSaveMetafile, "picture.wmf"},
        {"out.", kSaveBitmap, "out.bmp"},
        {"/home/me/my.photos/face", kSaveJpeg, "/home/me/my.photos/face.jpg"},
        {"/home/me/.hidden", kSaveJpeg, "/home/me/.jpg"},
        {"out.jpg", 0, "out.jpg"},
        {"out.jpg", 5, "out.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ForceExtension(QString::fromLatin1(c.name), c.filter), QString::fromLatin1(c.result))
            << c.name << " " << c.filter;
}

class FormatsSave : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QTemporaryDir dir;
};

// The file type, not the name typed, decides the format; the name's extension follows the type.
TEST_F(FormatsSave, TypeDecidesFormatAndExtension)
{
    const QImage picture = TestPicture();
    SavePicture(picture, Path("out.jpg"), kSaveBitmap);
    EXPECT_EQ(Files(), QStringList{QStringLiteral("out.bmp")});
    EXPECT_TRUE(ReadBytes(Path("out.bmp")).startsWith("BM"));
    EXPECT_EQ(ReadBytes(Path("out.bmp"))[28], char(24));  // bits per pixel

    SavePicture(picture, Path("face.png"), kSaveJpeg);
    EXPECT_TRUE(ReadBytes(Path("face.jpg")).startsWith("\xFF\xD8\xFF"));
    SavePicture(picture, Path("drawing.bmp"), kSaveMetafile);
    EXPECT_TRUE(ReadBytes(Path("drawing.wmf")).startsWith("\xD7\xCD\xC6\x9A"));
    SavePicture(picture, Path("plain"), kSavePng);
    EXPECT_TRUE(ReadBytes(Path("plain.png")).startsWith("\x89PNG"));
    SaveMetafile(picture, Path("direct.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Path("direct.wmf")));

    const QStringList before = Files();
    SavePicture(picture, Path("nothing.jpg"), 5);  // no such file type: nothing is written
    EXPECT_EQ(Files(), before);
}

// BMP, PNG and our WMF give back exactly the pixels saved, at any width (row padding).
TEST_F(FormatsSave, LosslessRoundTrips)
{
    for (const QSize size : {QSize(37, 23), QSize(1, 1), QSize(2, 5), QSize(64, 3)}) {
        const QImage picture = TestPicture(size.width(), size.height());
        for (const int filter : {kSaveBitmap, kSavePng, kSaveMetafile}) {
            const QString path = ForceExtension(Path("round"), filter);
            SavePicture(picture, path, filter);
            EXPECT_TRUE(SamePixels(LoadPicture(path), picture)) << path.toStdString() << " " << size.width();
        }
    }
}

// The WMF writer writes the layout of the corpus's round-trip files byte for byte.
TEST_F(FormatsSave, MetafileBytes)
{
    for (const char* name : {"roundtrip_37x23", "roundtrip_1x1"}) {
        const QString base = TestData(QStringLiteral("wmf/") + QLatin1String(name));
        const QImage picture = ReadExpected(base + QStringLiteral(".png"));
        EXPECT_EQ(EncodeMetafile(picture), ReadBytes(base + QStringLiteral(".wmf"))) << name;
    }
}

// The JPEG writer is libjpeg at its defaults: the corpus's reference encoding, byte for byte.
TEST_F(FormatsSave, JpegBytesAtDefaults)
{
    const QImage pixels = ReadExpected(TestData(QStringLiteral("jpeg/testorig_pixels.png")));
    ASSERT_FALSE(pixels.isNull());
    EXPECT_EQ(EncodeJpeg(pixels), ReadBytes(TestData(QStringLiteral("jpeg/testorig_pixels_encoded_defaults.jpg"))));
}

// Our JPEG decodes, with libjpeg and with ImageMagick, to the saved picture within JPEG's loss.
TEST_F(FormatsSave, JpegRoundTrip)
{
    const QImage picture = ReadExpected(TestData(QStringLiteral("jpeg/testorig_pixels.png")));
    const QString path = Path("photo.jpg");
    SavePicture(picture, path, kSaveJpeg);
    const QImage decoded = LoadPicture(path);
    ASSERT_EQ(decoded.size(), picture.size());
    const Difference d = Compare(decoded, picture);
    EXPECT_LE(d.largest, 64);
    EXPECT_LT(d.mean, 3.0);

    if (ConvertProgram().isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    const QString out = Path("im.png");
    ASSERT_TRUE(RunConvert({path, QStringLiteral("PNG24:") + out}));
    EXPECT_TRUE(SamePixels(decoded, ReadExpected(out)));
}

// Our WMF opens in ImageMagick at 96 dpi with the same pixels.
TEST_F(FormatsSave, MetafileInImageMagick)
{
    if (ConvertProgram().isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    const QImage picture = TestPicture(41, 17);
    const QString path = Path("drawing.wmf");
    SavePicture(picture, path, kSaveMetafile);
    const QString out = Path("im.png");
    if (!RunConvert({QStringLiteral("-density"), QStringLiteral("96"), path, QStringLiteral("PNG24:") + out}))
        GTEST_SKIP() << "ImageMagick cannot read WMF here";
    EXPECT_TRUE(SamePixels(ReadExpected(out), picture));
}

// A write that fails leaves the existing file byte for byte as it was, and no temporary behind.
TEST_F(FormatsSave, FailedWriteKeepsTheOldFile)
{
    const QImage picture = TestPicture(300, 200);
    const QString target = Path("keep.bmp");
    const QByteArray old("an older file that must survive");
    ASSERT_TRUE(WriteBytes(target, old));

    // The file size limit makes the write fail part way, as a full disk would (root included).
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit saved = {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    bool threw = false;
    try {
        SavePicture(picture, target, kSaveBitmap);
    } catch (const PictureError& e) {
        threw = true;
        EXPECT_EQ(e.problem(), PictureProblem::WriteFailed);
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Cannot save \"%1\": ").arg(target))) << e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadBytes(target), old);
    EXPECT_EQ(Files(), QStringList{QStringLiteral("keep.bmp")});
}

TEST_F(FormatsSave, UnwritablePlacesFail)
{
    const QImage picture = TestPicture();
    // A folder where the file should go: it stays a folder.
    ASSERT_TRUE(QDir().mkdir(Path("taken.png")));
    EXPECT_THROW(SavePicture(picture, Path("taken.png"), kSavePng), PictureError);
    EXPECT_TRUE(QFileInfo(Path("taken.png")).isDir());
    // A folder that does not exist.
    try {
        SavePicture(picture, Path("missing/out.jpg"), kSaveJpeg);
        ADD_FAILURE();
    } catch (const PictureError& e) {
        EXPECT_EQ(e.problem(), PictureProblem::WriteFailed);
        EXPECT_TRUE(e.text().contains(QStringLiteral("missing/out.jpg"))) << e.what();
    }
    // No picture at all.
    EXPECT_THROW(SavePicture(QImage(), Path("empty.bmp"), kSaveBitmap), PictureError);
    EXPECT_FALSE(QFileInfo::exists(Path("empty.bmp")));
}

}  // namespace
