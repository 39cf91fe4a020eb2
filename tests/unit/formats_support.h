// Helpers for the picture file tests.
#pragma once

#include "picture/formats/formats.h"
#include "picture/picture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <gtest/gtest.h>

namespace pf::test {

inline QString SharedDir() { return QStringLiteral(PULLFACE_SHARED_DIR); }
inline QString TestData(const QString& relative) { return SharedDir() + QStringLiteral("/testdata/") + relative; }

// Metafiles are drawn with fonts, which need a QGuiApplication; the tests run it offscreen.
inline void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "unit_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

// An expected picture stored as PNG, in the picture layout.
inline QImage ReadExpected(const QString& path)
{
    QImage image(path);
    return image.isNull() ? image : ToPictureFormat(image);
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Pixel-exact comparison that names the first difference.
inline ::testing::AssertionResult SamePixels(const QImage& actual, const QImage& expected)
{
    if (actual.format() != PictureFormat)
        return ::testing::AssertionFailure() << "not in the picture format: " << int(actual.format());
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << ", expected "
                                             << expected.width() << "x" << expected.height();
    const QImage want = ToPictureFormat(expected);
    for (int y = 0; y < actual.height(); ++y) {
        const uchar* a = actual.constScanLine(y);
        const uchar* b = want.constScanLine(y);
        for (int x = 0; x < 3 * actual.width(); ++x) {
            if (a[x] != b[x])
                return ::testing::AssertionFailure() << "pixel (" << x / 3 << ", " << y << ") byte " << x % 3 << " is "
                                                     << int(a[x]) << ", expected " << int(b[x]);
        }
    }
    return ::testing::AssertionSuccess();
}

// The largest difference of any byte, and the mean difference, between two pictures of one size.
struct Difference {
    int largest = 0;
    double mean = 0;
};
inline Difference Compare(const QImage& a, const QImage& b)
{
    Difference d;
    const QImage x = ToPictureFormat(a), y = ToPictureFormat(b);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < 3 * x.width(); ++i) {
            const int diff = std::abs(int(p[i]) - int(q[i]));
            d.largest = std::max(d.largest, diff);
            sum += diff;
        }
    }
    d.mean = sum / (3.0 * x.width() * x.height());
    return d;
}

// A picture of varied colours whose rows need padding in BMP and WMF (3 * 37 is not a multiple of 4).
inline QImage TestPicture(int width = 37, int height = 23)
{
    QImage picture = NewPicture(width, height);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(x * 7 + y * 3);
            row[3 * x + 1] = uchar(255 - y * 11);
            row[3 * x + 2] = uchar((x * y) ^ 0x5A);
        }
    }
    return picture;
}

// ImageMagick's convert, when installed; an empty string otherwise.
inline QString ConvertProgram() { return QStandardPaths::findExecutable(QStringLiteral("convert")); }

// Runs convert with the arguments; true when it succeeded.
inline bool RunConvert(const QStringList& arguments)
{
    QProcess process;
    process.start(ConvertProgram(), arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace pf::test
