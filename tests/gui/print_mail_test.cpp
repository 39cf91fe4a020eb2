#include "gui_fixture.h"

#include "picture/formats/formats.h"
#include "platform/mail.h"
#include "editor/print_layout.h"
#include "ui/about/about.h"
#include "ui/dialogs.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace pf;

namespace {

// A stand-in mail composer first on PATH that writes its arguments, one a line, to a file.
struct FakeComposer {
    QTemporaryDir dir;
    QByteArray oldPath = qgetenv("PATH");
    explicit FakeComposer(bool present)
    {
        if (present) {
            QFile f(dir.filePath("xdg-email"));
            f.open(QIODevice::WriteOnly);
            f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.tmp\"\n"
                    "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args\"\n");
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv("PATH", dir.path().toUtf8() + ":" + oldPath);
        } else {
            qputenv("PATH", dir.path().toUtf8());   // nowhere to find a composer
        }
    }
    ~FakeComposer() { qputenv("PATH", oldPath); }
    QStringList args()
    {
        QFile f(dir.filePath("args"));
        for (int i = 0; i < 100 && !f.exists(); ++i)
            QTest::qWait(50);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
};

}  // namespace

TEST_F(GuiTest, MailWritesTheAttachmentAndStartsTheComposer)
{
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    FakeComposer composer(true);
    QImage p = picture().copy();
    p.fill(QColor(200, 30, 40));
    image()->setPicture(p);
    QTest::keyClick(Form1, Qt::Key_M, Qt::ControlModifier);
    const QString jpg = TForm1::MailAttachmentBase() + ".jpg";
    EXPECT_TRUE(jpg.startsWith(cache.path()));
    QImage sent = LoadPicture(jpg);
    ASSERT_EQ(sent.size(), p.size());
    EXPECT_NEAR(GetRValue(GetPixel(sent, 300, 200)), 200, 4);
    const QStringList args = composer.args();
    ASSERT_FALSE(args.isEmpty());
    EXPECT_TRUE(args.contains("Tell you a great software--Pullface."));
    EXPECT_TRUE(args.contains(jpg));
    const int body = int(args.indexOf("--body"));
    ASSERT_GE(body, 0);
    EXPECT_EQ(args[body + 1], "Hello!\r");   // the body's lines end in CR LF
    EXPECT_TRUE(messages.empty());
    qunsetenv("XDG_CACHE_HOME");
}

TEST_F(GuiTest, MailWithoutAComposerStillWritesTheFileAndSaysNothing)
{
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    FakeComposer none(false);
    EXPECT_EQ(SendMailMessage(1, {"subject=x", "attachment0=/nonexistent.jpg"}), MAPI_USER_ABORT);
    Form1->SpeedButton1Click();
    EXPECT_TRUE(QFile::exists(TForm1::MailAttachmentBase() + ".jpg"));
    EXPECT_TRUE(messages.empty());
    qunsetenv("XDG_CACHE_HOME");
}

TEST_F(GuiTest, PrintToAPdfPutsThePictureWhereTheRuleSays)
{
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    QImage red = NewPicture(605, 469);
    red.fill(Qt::red);
    image()->setPicture(red);
    QSize pageSize;
    int dpi = 0;
    DialogAnswerers answer;
    answer.print = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        pageSize = printer.pageLayout().paintRectPixels(printer.resolution()).size();
        dpi = printer.resolution();
        return true;
    };
    SetDialogAnswerers(answer);
    Form1->SpeedButton16Click();
    SetDialogAnswerers({});
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "60", "-png", "-singlefile", pdf, dir.filePath("page")}), 0);
    QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    // Where the picture landed: the bounding box of the red pixels.
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (QColor c = page.pixelColor(x, y); c.red() > 200 && c.green() < 60)
                box |= QRect(x, y, 1, 1);
    const QRect want = PrintRect(QSize(605, 469), pageSize);
    EXPECT_GT(want.width(), 605 * 4);   // doubled at least twice on an A4 page at printer resolution
    const double s = 60.0 / dpi;
    EXPECT_NEAR(box.left(), want.left() * s, 2);
    EXPECT_NEAR(box.top(), want.top() * s, 2);
    EXPECT_NEAR(box.width(), want.width() * s, 2);
    EXPECT_NEAR(box.height(), want.height() * s, 2);
}

TEST_F(GuiTest, PrintCancelledPrintsNothing)
{
    bool asked = false;
    DialogAnswerers answer;
    answer.print = [&](QPrinter&) { asked = true; return false; };
    SetDialogAnswerers(answer);
    QTest::keyClick(Form1, Qt::Key_P, Qt::ControlModifier);
    SetDialogAnswerers({});
    EXPECT_TRUE(asked);
    EXPECT_TRUE(messages.empty());
}

TEST_F(GuiTest, AboutBoxOpensWithoutBlocking)
{
    Form1->About1->trigger();
    EXPECT_TRUE(About_us->isVisible());
    EXPECT_FALSE(About_us->isModal());
    EXPECT_EQ(About_us->windowTitle(), QStringLiteral("关于我们"));
    const QString memo = About_us->Memo1->toPlainText();
    EXPECT_TRUE(memo.contains("Pullface"));
    EXPECT_TRUE(memo.contains("5.95"));
    EXPECT_TRUE(memo.contains("Photo 'friends' by Aitzol Berasategi, 2018, CC BY 4.0"));
    EXPECT_EQ(About_us->Memo1->geometry(), QRect(48, 80, 321, 193));
    EXPECT_EQ(About_us->Image3->pixmap().size(), QSize(32, 32));
    About_us->close();
    EXPECT_FALSE(About_us->isVisible());
}

TEST(MailRequest, RecordsFromTheNameValueList)
{
    MapiMessage m = BuildMapiMessage({"subject=Hi", "body=Text", "attachment0=/tmp/a/mywork.jpg"});
    EXPECT_TRUE(m.lpRecips.empty());
    ASSERT_EQ(m.lpFiles.size(), 1u);
    EXPECT_EQ(m.lpFiles[0].lpszPathName, "/tmp/a/mywork.jpg");
    EXPECT_EQ(m.lpFiles[0].lpszFileName, "mywork.jpg");
    EXPECT_EQ(m.lpFiles[0].nPosition, 0xFFFFFFFFu);
    EXPECT_EQ(m.lpszSubject, "Hi");
    EXPECT_EQ(m.lpszNoteText, "Text");

    m = BuildMapiMessage({"to=friend@example.org", "attachment0=/x/one.jpg", "attachment2=/x/three.jpg"});
    ASSERT_EQ(m.lpRecips.size(), 1u);
    EXPECT_EQ(m.lpRecips[0].ulRecipClass, MAPI_TO);
    EXPECT_EQ(m.lpRecips[0].lpszName, "friend@example.org");
    EXPECT_EQ(m.lpRecips[0].lpszAddress, "SMTP:friend@example.org");
    ASSERT_EQ(m.lpFiles.size(), 1u);   // numbering stops at the first missing entry
    EXPECT_TRUE(m.lpszSubject.isEmpty());

    m = BuildMapiMessage({"to=", "attachment0="});
    EXPECT_TRUE(m.lpRecips.empty());
    EXPECT_TRUE(m.lpFiles.empty());

    EXPECT_EQ(MailFlags(0), 3u);
    EXPECT_EQ(MailFlags(42), 11u);
}
