#include "gui_fixture.h"

#include "picture/zoom.h"
#include "ui/image_size/image_size.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>

using namespace pf;

namespace {


void DragBand(QWidget* image, QPoint from, QPoint to)
{
    Mouse(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
    Mouse(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, to);
    Mouse(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to);
}

}  // namespace

TEST_F(GuiTest, ZoomLabelsAndDisplaySizes)
{
    struct Step { bool in; const char* label; QSize shown; };
    for (Step s : {Step{false, "80.0%", {484, 375}}, {false, "64.0%", {387, 300}}, {false, "51.2%", {310, 240}},
                   {true, "64.0%", {387, 300}}, {true, "80.0%", {484, 375}}, {true, "100.0%", {605, 469}},
                   {true, "125.0%", {756, 586}}, {true, "156.3%", {945, 733}}}) {
        s.in ? Form1->SpeedButton9Click() : Form1->SpeedButton8Click();
        EXPECT_EQ(Form1->Label1->text(), s.label);
        EXPECT_EQ(image()->size(), s.shown) << s.label;
    }
    for (int i = 0; i < 10; ++i)
        Form1->SpeedButton9Click();   // 1455.2 %: no thousands separator
    EXPECT_EQ(Form1->Label1->text(), "1455.2%");
    // The zoom stays between 1 % and 6400 %: a step that would leave that range does nothing.
    for (int i = 0; i < 40; ++i)
        Form1->SpeedButton9Click();
    EXPECT_LE(State.zoomPercent, 6400.0);
    EXPECT_GT(State.zoomPercent * 1.25, 6400.0);
    for (int i = 0; i < 80; ++i)
        Form1->SpeedButton8Click();
    EXPECT_GE(State.zoomPercent, 1.0);
    EXPECT_LT(State.zoomPercent * 0.8, 1.0);
    EXPECT_GE(image()->width(), 1);
}

TEST_F(GuiTest, SizeDialogCouplingAndButtons)
{
    Form1->ImageSize1Click();
    EXPECT_TRUE(Image_Size->isVisible());
    EXPECT_FALSE(Image_Size->isModal());
    EXPECT_EQ(Image_Size->Edit1->text(), "605");
    EXPECT_EQ(Image_Size->Edit2->text(), "469");
    Image_Size->SpeedButton2->click();
    EXPECT_EQ(Image_Size->Edit1->text(), "756");
    EXPECT_EQ(Image_Size->Edit2->text(), "586");
    Image_Size->FormShow();
    Image_Size->SpeedButton1->click();
    EXPECT_EQ(Image_Size->Edit1->text(), "484");
    EXPECT_EQ(Image_Size->Edit2->text(), "375");

    Image_Size->Edit1->clear();
    QTest::keyClicks(Image_Size->Edit1, "1210");
    EXPECT_EQ(Image_Size->Edit2->text(), "938");
    Image_Size->CheckBox1->setChecked(false);
    Image_Size->Edit1->clear();
    QTest::keyClicks(Image_Size->Edit1, "700");
    EXPECT_EQ(Image_Size->Edit2->text(), "938");

    // "+" on a text that is not a number: a message, and neither box changes.
    Image_Size->Edit2->setText("12a");
    Image_Size->SpeedButton2->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(Image_Size->Edit1->text(), "700");
}

TEST_F(GuiTest, SizeDialogRejectsBadSizes)
{
    const QImage before = picture();
    Form1->ImageSize1Click();
    for (auto [w, h] : {std::pair{"0", "469"}, {"605", "0"}, {"12a", "469"}, {"", "469"}, {"605", " 9"}, {"-5", "4"}}) {
        messages.clear();
        Image_Size->Edit1->setText(w);
        Image_Size->Edit2->setText(h);
        Image_Size->Button1->click();
        ASSERT_EQ(messages.size(), 1u) << w << "x" << h;
        EXPECT_TRUE(messages[0].endsWith("Please input a valid integer value."));
        EXPECT_EQ(picture(), before);
        EXPECT_TRUE(Image_Size->isVisible());
    }
    messages.clear();
    Image_Size->Edit1->setText("40000");
    Image_Size->Edit2->setText("10");
    Image_Size->Button1->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("too large"));
    EXPECT_EQ(picture(), before);
}

TEST_F(GuiTest, ResizeGivesTheTypedSizeAndResetsTheHistory)
{
    QImage changed = picture().copy();
    SetPixel(changed, 0, 0, clWhite);
    image()->setPicture(changed);
    Form1->backup();
    Form1->SpeedButton8Click();   // 80 %
    Tools->TabbedNotebook1->setCurrentIndex(1);
    Form1->ImageSize1Click();
    Image_Size->SpeedButton2->click();
    Image_Size->Button1->click();
    EXPECT_EQ(picture().size(), QSize(756, 586));
    EXPECT_EQ(image()->size(), QSize(605, 469));   // 756 x 586 at 80 %
    EXPECT_FALSE(Image_Size->isVisible());
    EXPECT_EQ(State.undoDepth, 0);
    EXPECT_FALSE(Form1->Undo1->isEnabled());
    EXPECT_EQ(Tools->TabbedNotebook1->currentIndex(), 0);
    Form1->RenewClick();
    EXPECT_EQ(picture().size(), QSize(605, 469));
}

TEST_F(GuiTest, ResamplerKeepsTheMeanColour)
{
    auto mean = [](const QImage& img) {
        double sum = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                sum += GetRValue(GetPixel(img, x, y));
        return sum / (img.width() * img.height());
    };
    QImage flat = NewPicture(101, 77);
    flat.fill(QColor(90, 140, 200));
    QImage stripes = NewPicture(100, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            SetPixel(stripes, x, y, (x / 2) % 2 ? clWhite : clBlack);
    for (QSize to : {QSize(50, 40), QSize(200, 160), QSize(37, 91)}) {
        QImage f = ZoomInOut(flat, to.width(), to.height());
        EXPECT_EQ(f.size(), to);
        EXPECT_EQ(f.format(), PictureFormat);
        EXPECT_EQ(GetPixel(f, to.width() / 2, to.height() / 2), RGBColor(90, 140, 200));
        EXPECT_NEAR(mean(ZoomInOut(stripes, to.width(), to.height())), mean(stripes), 6.0) << to.width();
    }
    EXPECT_THROW(ZoomInOut(flat, 0, 10), std::invalid_argument);
}

TEST_F(GuiTest, SelectCropAndRestore)
{
    const QImage sample = picture();
    Form1->SpeedButton2->click();
    EXPECT_TRUE(State.selectMode);
    EXPECT_EQ(image()->cursor().shape(), Qt::CrossCursor);
    EXPECT_FALSE(image()->showHint());
    EXPECT_FALSE(Tools->TabbedNotebook1->toolTip().isEmpty());
    State.selLeft = 10;
    State.selRight = 19;
    State.selTop = 5;
    State.selBottom = 14;
    Form1->SpeedButton11->setEnabled(true);
    Form1->SpeedButton11->click();
    EXPECT_EQ(picture().size(), QSize(10, 10));
    EXPECT_EQ(GetPixel(picture(), 0, 0), GetPixel(sample, 9, 4));
    EXPECT_EQ(GetPixel(picture(), 9, 9), GetPixel(sample, 18, 13));
    EXPECT_EQ(image()->size(), QSize(10, 10));
    EXPECT_FALSE(State.selectMode);
    EXPECT_FALSE(Form1->SpeedButton2->isChecked());
    EXPECT_FALSE(Form1->SpeedButton11->isEnabled());
    EXPECT_FALSE(Form1->Undo1->isEnabled());
    EXPECT_TRUE(Tools->TabbedNotebook1->toolTip().isEmpty());
    Form1->RenewClick();
    EXPECT_EQ(picture(), sample);
}

TEST_F(GuiTest, SelectPressedTwiceShowsCropPressedAndDisabled)
{
    Form1->SpeedButton2->click();
    Form1->SpeedButton2->click();
    EXPECT_FALSE(State.selectMode);
    EXPECT_TRUE(Form1->SpeedButton11->isChecked());
    EXPECT_FALSE(Form1->SpeedButton11->isEnabled());
    EXPECT_TRUE(image()->showHint());
}

TEST_F(GuiTest, CopyTakesWhatCropKeepsAndTheBandStays)
{
    Form1->SpeedButton2->click();
    DragBand(image(), {10, 20}, {110, 70});
    ASSERT_TRUE(Form1->action(6)->isEnabled());
    QTest::keyClick(Form1, Qt::Key_C, Qt::ControlModifier);
    const QImage copied = ToPictureFormat(QGuiApplication::clipboard()->image());
    EXPECT_EQ(copied, CopySelection(picture(), 11, 21, 109, 69));
    EXPECT_EQ(copied.size(), QSize(99, 49));
    EXPECT_TRUE(Work_area->selectionBandShown());
    EXPECT_TRUE(State.selectMode);
    // A zoom step removes the band and disables crop only: Ctrl+C still copies the selection.
    Form1->SpeedButton9Click();
    EXPECT_FALSE(Work_area->selectionBandShown());
    EXPECT_FALSE(Form1->SpeedButton11->isEnabled());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(Form1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ToPictureFormat(QGuiApplication::clipboard()->image()), copied);
    // So does leaving select mode.
    Form1->SpeedButton2->click();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(Form1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ToPictureFormat(QGuiApplication::clipboard()->image()), copied);
}

TEST_F(GuiTest, SelectionOutsideTheNewPictureIsClipped)
{
    Form1->SpeedButton2->click();
    DragBand(image(), {300, 200}, {600, 460});
    // Another, smaller picture arrives (as Open would bring it); the band's bounds stay.
    QImage small = NewPicture(320, 240);
    small.fill(Qt::red);
    Form1->ReplacePicture(small);
    Form1->ShowFirstPageAndResetHistory();
    ASSERT_TRUE(Form1->SpeedButton11->isEnabled());
    Form1->SpeedButton11Click();
    EXPECT_EQ(picture().size(), QSize(320 - 300, 240 - 200));
    // Nothing of the selection inside the picture: crop does nothing.
    State.selLeft = 500;
    State.selTop = 500;
    State.selRight = 600;
    State.selBottom = 600;
    const QImage before = picture();
    Form1->SpeedButton11Click();
    EXPECT_EQ(picture(), before);
}

TEST_F(GuiTest, PasteAnImageOrNothing)
{
    Form1->SpeedButton8Click();   // 80 %
    QImage other(200, 100, QImage::Format_ARGB32);
    other.fill(QColor(10, 200, 30));
    QGuiApplication::clipboard()->setImage(other);
    QImage changed = picture().copy();
    SetPixel(changed, 0, 0, clWhite);
    image()->setPicture(changed);
    Form1->backup();
    QTest::keyClick(Form1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(picture().size(), QSize(200, 100));
    EXPECT_EQ(picture().format(), PictureFormat);
    EXPECT_EQ(GetPixel(picture(), 5, 5), RGBColor(10, 200, 30));
    EXPECT_EQ(image()->size(), QSize(160, 80));
    EXPECT_EQ(State.undoDepth, 0);
    EXPECT_NE(State.openedPicture, picture());

    // Only text on the clipboard: the picture stays, undo is cleared, select mode ends.
    Form1->SpeedButton2->click();
    QImage again = picture().copy();
    SetPixel(again, 0, 0, clBlack);
    image()->setPicture(again);
    Form1->backup();
    QGuiApplication::clipboard()->setText("hello");
    Form1->Action9Execute();
    EXPECT_EQ(picture(), again);
    EXPECT_FALSE(Form1->Undo1->isEnabled());
    EXPECT_FALSE(State.selectMode);
    EXPECT_TRUE(Form1->SpeedButton11->isChecked());
}
