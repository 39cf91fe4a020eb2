#include "picture/formats/formats.h"
#include "picture/picture.h"
#include "picture/zoom.h"
#include "sketch/sketch.h"
#include "warps/warps.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pf;

namespace {

const QString kSample = PULLFACE_SHARED_DIR "/photos/sample.bmp";

struct CliRun {
    int status;
    QString err, out;
};

CliRun RunCli(const QStringList& args)
{
    QProcess p;
    p.start(PULLFACE_CLI, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError()),
            QString::fromUtf8(p.readAllStandardOutput())};
}

QImage Sample() { return ToPictureFormat(QImage(kSample)); }

QImage Warped(WarpKind kind, int X, int Y, int r, int d)
{
    const QImage s = Sample();
    QImage out = s.copy();
    WarpProgress none;
    ApplyWarp(kind, s, out, QPoint(0, 0), X, Y, r, d, none);
    return out;
}

class CliTool : public ::testing::Test {
protected:
    QString out(const QString& name = "out.png") { return dir.filePath(name); }
    QImage result(const QStringList& steps, const QStringList& options = {})
    {
        CliRun r = RunCli(QStringList(options) << kSample << out() << steps);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        return LoadPicture(out());
    }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(CliTool, StepsEqualTheCoreFunctions)
{
    struct Case { QStringList steps; QImage want; };
    const QImage s = Sample();
    WarpProgress none;
    QImage smeared = s.copy();
    tumopic(s, smeared, 200, 150, 240, 170, 100, none);
    QImage erased = s.copy();
    EraseTheSpot(erased, 100, 120, 25, 100);
    const Case cases[] = {
        {{"expand", "300", "200"}, Warped(WarpKind::Sphericalpengzhang, 300, 200, 50, 15)},
        {{"shrink", "300", "200", "90"}, Warped(WarpKind::Sphericalshousuo, 300, 200, 90, 30)},
        {{"vexpand", "300", "200", "60", "7"}, Warped(WarpKind::Verticalpengzhang, 300, 200, 60, 7)},
        {{"vshrink", "300", "200"}, Warped(WarpKind::Verticalshousuo, 300, 200, 50, 15)},
        {{"hexpand", "10", "10", "100"}, Warped(WarpKind::Horizontalpengzhang, 10, 10, 100, 33)},
        {{"hshrink", "300", "200"}, Warped(WarpKind::Horizontalshousuo, 300, 200, 50, 15)},
        {{"twist-right", "300", "200"}, Warped(WarpKind::Sphericalyouxuan, 300, 200, 100, 10)},
        {{"twist-left", "300", "200", "125"}, Warped(WarpKind::Sphericalzuoxuan, 300, 200, 125, 12)},
        {{"smear", "200", "150", "240", "170"}, smeared},
        {{"pen"}, twovalue(picsobel(s), 150)},
        {{"pencil", "60"}, pencil(picsobel(s), 60)},
        {{"redeye"}, RedEye(s)},
        {{"erase", "100", "120"}, erased},
        {{"crop", "10", "20", "30", "40"}, CopySelection(s, 11, 21, 40, 60)},
        {{"crop", "590", "460", "30", "40"}, CopySelection(s, 591, 461, 605, 469)},   // clipped at the edge
        {{"resize", "300", "200"}, ZoomInOut(s, 300, 200)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(result(c.steps), c.want) << c.steps.join(' ').toStdString();
}

TEST_F(CliTool, StepsChainAndTheZoomScalesTheSliders)
{
    // 25 at 200 % is 12.5 -> 12; its default depth Round(25 / 3) = 8 -> 4.
    EXPECT_EQ(result({"expand", "300", "200", "25"}, {"--zoom", "200"}), Warped(WarpKind::Sphericalpengzhang, 300, 200, 12, 4));
    // 15 at 200 % is 7.5 -> 8 (halves to even).
    EXPECT_EQ(result({"expand", "300", "200", "50", "15"}, {"--zoom", "200"}),
              Warped(WarpKind::Sphericalpengzhang, 300, 200, 25, 8));
    // A depth that rounds to 0 changes nothing.
    EXPECT_EQ(result({"expand", "300", "200", "50", "1"}, {"--zoom", "400"}), Sample());
    QImage chained = ZoomInOut(RedEye(Sample()), 100, 80);
    EXPECT_EQ(result({"redeye", "resize", "100", "80"}), chained);
}

TEST_F(CliTool, BadArgumentsExitTwoWithOneLineAndNoOutput)
{
    const QStringList bad[] = {
        {kSample, out(), "bulge", "1", "2"},
        {kSample, out(), "expand", "1"},
        {kSample, out(), "expand", "x", "2"},
        {kSample, out(), "expand", "1", "2", "-5"},
        {kSample, out(), "crop", "700", "700", "10", "10"},
        {kSample, out(), "crop", "1", "1", "0", "10"},
        {kSample, out(), "resize", "40000", "10"},
        {kSample, out(), "pen", "300"},
        {kSample, out(), "pencil", "90"},
        {PULLFACE_SHARED_DIR "/testdata/bad/jpeg_truncated_half.jpg", out()},
        {PULLFACE_SHARED_DIR "/photos/missing.jpg", out()},
        {kSample, out("out.tif")},
        {kSample, dir.filePath("no/such/folder/out.png")},
        {"--zoom", "0", kSample, out()},
        {"--zoom", "abc", kSample, out()},
        {kSample},
        {},
    };
    for (const QStringList& args : bad) {
        CliRun r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("pullface-cli: ")) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out())) << args.join(' ').toStdString();
    }
    // An existing output stays as it was when a later step fails.
    ASSERT_EQ(RunCli({kSample, out()}).status, 0);
    QFile f(out());
    f.open(QIODevice::ReadOnly);
    const QByteArray before = f.readAll();
    f.close();
    EXPECT_EQ(RunCli({kSample, out(), "expand", "1", "2", "pen", "0"}).status, 2);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(CliTool, HelpPrintsTheTable)
{
    CliRun r = RunCli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("twist-right X Y [R [D]]"));
    EXPECT_TRUE(r.out.contains("resize W H"));
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
