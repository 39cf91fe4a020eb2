#include "gui_fixture.h"

#include "picture/formats/formats.h"
#include "ui/dialogs.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QTemporaryDir>

using namespace pf;

namespace {

const QString kShared = PULLFACE_SHARED_DIR;

class OpenSave : public GuiTest {
protected:
    void TearDown() override
    {
        SetDialogAnswerers({});
        GuiTest::TearDown();
    }
    void openWith(const QString& file, bool accepted = true)
    {
        DialogAnswerers a;
        a.open = [=](const QString&) { return FileDialogResult{accepted, file, 1}; };
        SetDialogAnswerers(a);
        Form1->Open1Click();
    }
    void saveWith(const QString& file, int filter)
    {
        DialogAnswerers a;
        a.save = [=](const QString&, int) { return FileDialogResult{true, file, filter}; };
        SetDialogAnswerers(a);
        QTest::keyClick(Form1, Qt::Key_S, Qt::ControlModifier);
    }
    void edit()
    {
        QImage p = picture().copy();
        SetPixel(p, 3, 3, RGBColor(1, 2, 3));
        image()->setPicture(p);
        Form1->backup();
    }
    QByteArray bytes(const QString& f)
    {
        QFile file(f);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
};

}  // namespace

TEST_F(OpenSave, OpeningReplacesThePictureAtTheCurrentZoom)
{
    Form1->SpeedButton8Click();   // 80 %
    Tools->TabbedNotebook1->setCurrentIndex(1);
    edit();
    openWith(kShared + "/photos/face-small.jpg");
    EXPECT_EQ(picture().size(), QSize(320, 240));
    EXPECT_EQ(image()->size(), QSize(256, 192));
    EXPECT_EQ(State.openedPicture, picture());
    EXPECT_EQ(State.undoDepth, 0);
    EXPECT_FALSE(Form1->Undo1->isEnabled());
    EXPECT_EQ(Tools->TabbedNotebook1->currentIndex(), 0);
    EXPECT_DOUBLE_EQ(State.zoomPercent, 80.0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(OpenSave, CancellingKeepsTheEditsAndTheHistory)
{
    const QImage opened = State.openedPicture;
    edit();
    const QImage edited = picture();
    openWith(QString(), false);
    EXPECT_EQ(picture(), edited);
    EXPECT_EQ(State.openedPicture, opened);
    EXPECT_EQ(State.undoDepth, 1);
    EXPECT_TRUE(Form1->Undo1->isEnabled());
}

TEST_F(OpenSave, BadFilesAreReportedAndChangeNothing)
{
    edit();
    const QImage before = picture(), opened = State.openedPicture;
    const QSize shown = image()->size();
    struct Case { QString file; const char* caption; };
    const Case cases[] = {
        {kShared + "/testdata/bad/jpeg_truncated_half.jpg", "Pullface"},
        {kShared + "/testdata/bad/bmp_huge_dims.bmp", "Pullface"},
        {kShared + "/testdata/bad/gif_garbage.gif", "Pullface"},
        {kShared + "/testdata/bad/wmf_garbage.wmf", "Pullface"},
        {kShared + "/testdata/bad/ico_garbage.ico", "Exit"},
        {kShared + "/photos/no-such-file.jpg", "Pullface"},
        {kShared + "/photos/sample.jpe", "Pullface"},
    };
    for (const Case& c : cases) {
        messages.clear();
        openWith(c.file);
        ASSERT_EQ(messages.size(), 1u) << c.file.toStdString();
        EXPECT_TRUE(messages[0].startsWith(QString(c.caption) + ": ")) << messages[0].toStdString();
        if (QString(c.caption) == "Exit") {
            EXPECT_TRUE(messages[0].startsWith("Exit: Input picture" + c.file + "Error."));
        }
        EXPECT_EQ(picture(), before);
        EXPECT_EQ(State.openedPicture, opened);
        EXPECT_EQ(State.undoDepth, 1);
        EXPECT_EQ(image()->size(), shown);
    }
}

TEST_F(OpenSave, SaveForcesTheExtensionAndAsksBeforeReplacing)
{
    QTemporaryDir dir;
    saveWith(dir.filePath("out.jpg"), kSaveBitmap);
    ASSERT_TRUE(QFile::exists(dir.filePath("out.bmp")));
    EXPECT_FALSE(QFile::exists(dir.filePath("out.jpg")));
    EXPECT_EQ(LoadPicture(dir.filePath("out.bmp")), picture());
    EXPECT_TRUE(messages.empty());

    // Saving over it: "no" leaves the file as it was.
    const QByteArray old = bytes(dir.filePath("out.bmp"));
    edit();
    answer = QMessageBox::No;
    saveWith(dir.filePath("out.png"), kSaveBitmap);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("out.bmp already exists"));
    EXPECT_EQ(bytes(dir.filePath("out.bmp")), old);
    answer = QMessageBox::Yes;
    saveWith(dir.filePath("out"), kSaveBitmap);
    EXPECT_EQ(LoadPicture(dir.filePath("out.bmp")), picture());
    EXPECT_EQ(State.undoDepth, 1);   // saving changes nothing in the editor
}

TEST_F(OpenSave, FailedSaveShowsTheErrorAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    // The target exists as a folder: the write can't succeed.
    QDir(dir.path()).mkdir("taken.jpg");
    answer = QMessageBox::Yes;
    saveWith(dir.filePath("taken.jpg"), kSaveJpeg);
    ASSERT_EQ(messages.size(), 2u);   // the question, then the error
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.jpg")).isDir());
    messages.clear();
    saveWith(dir.filePath("no-such-folder/x.jpg"), kSaveJpeg);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(QFile::exists(dir.filePath("no-such-folder/x.jpg")));
}

TEST_F(OpenSave, DroppedFileOpensLikeOpen)
{
    edit();
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(kShared + "/photos/face-small.jpg")});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form1, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form1, &drop);
    EXPECT_EQ(picture().size(), QSize(320, 240));
    EXPECT_EQ(State.openedPicture, picture());
    EXPECT_EQ(State.undoDepth, 0);
    // A dropped file that can't be read: the message, and nothing changes.
    data->setUrls({QUrl::fromLocalFile(kShared + "/testdata/bad/gif_garbage.gif")});
    QDragEnterEvent enterAgain(QPoint(100, 100), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form1, &enterAgain);
    QDropEvent bad(QPointF(100, 100), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form1, &bad);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(picture().size(), QSize(320, 240));
    delete data;
}
