#include "gui_fixture.h"

#include "ui/about/about.h"
#include "ui/image_size/image_size.h"

#include <QButtonGroup>
#include <QMdiArea>

using namespace pf;

TEST_F(GuiTest, StartUpWindowsAndState)
{
    EXPECT_EQ(Form1->windowTitle(), "Pullface v5.95");
    EXPECT_EQ(Work_area->windowTitle(), "Make funny photo");
    EXPECT_EQ(Tools->windowTitle(), QStringLiteral("工具"));
    EXPECT_EQ(About_us->windowTitle(), QStringLiteral("关于我们"));
    EXPECT_EQ(Image_Size->windowTitle(), QStringLiteral("图片大小"));
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(Work_area->isVisible());
    EXPECT_TRUE(Tools->isVisible());
    EXPECT_FALSE(About_us->isVisible());
    EXPECT_FALSE(Image_Size->isVisible());
    EXPECT_EQ(Form1->mdiArea->subWindowList().size(), 1);
    EXPECT_EQ(Form1->mdiArea->subWindowList().front(), Work_area);
    EXPECT_TRUE(Tools->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(Tools->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(Tools->geometry(), QRect(635, 107, 241, 306));
    EXPECT_EQ(Work_area->size(), QSize(615, 504));

    // The editor state after start-up.
    EXPECT_EQ(State.zoomPercent, 100.0);
    EXPECT_EQ(State.warpKind, 1);
    EXPECT_EQ(State.warpShape, 1);
    EXPECT_EQ(State.warpRadius, 50);
    EXPECT_EQ(State.cursorRadius, 50);
    EXPECT_EQ(State.historyIndex, 1);
    EXPECT_EQ(State.undoDepth, 0);
    EXPECT_EQ(State.redoDepth, 0);
    EXPECT_FALSE(State.selectMode);
    EXPECT_EQ(picture().size(), QSize(605, 469));
    EXPECT_EQ(picture().format(), PictureFormat);
    EXPECT_EQ(image()->size(), QSize(605, 469));
    EXPECT_EQ(image()->hintText(), "Click or Keep Down");
    EXPECT_EQ(State.openedPicture, picture());
    EXPECT_EQ(State.historyRing.load(1), picture());
    EXPECT_EQ(Form1->Label1->text(), "100%");
}

TEST_F(GuiTest, MenuToolbarAndShortcuts)
{
    struct Item { QAction* a; const char* text; bool enabled; };
    for (const Item& i : {Item{Form1->Open1, "打开", true}, {Form1->Save1, "保存", true}, {Form1->Exit1, "退出", true},
                          {Form1->ImageSize1, "图片大小", true}, {Form1->Undo1, "撤销", false},
                          {Form1->Redo1, "重做", false}, {Form1->Renew, "恢复", true}, {Form1->Online1, "在线", true},
                          {Form1->Help2, "F.A.Q.", true}, {Form1->About1, "关于", true}}) {
        EXPECT_EQ(i.a->text(), QString::fromUtf8(i.text));
        EXPECT_EQ(i.a->isEnabled(), i.enabled) << i.text;
    }
    struct Button { QToolButton* b; int x; const char* tip; bool enabled; };
    const Button buttons[] = {
        {Form1->SpeedButton3, 2, "打开", true}, {Form1->SpeedButton4, 28, "保存", true},
        {Form1->SpeedButton5, 54, "撤销", false}, {Form1->SpeedButton10, 80, "重做", false},
        {Form1->SpeedButton6, 106, "恢复", true}, {Form1->SpeedButton8, 132, "缩小", true},
        {Form1->SpeedButton9, 158, "放大", true}, {Form1->SpeedButton2, 223, "选择剪切区域", true},
        {Form1->SpeedButton11, 249, "剪切选区", false}, {Form1->SpeedButton16, 275, "打印", true},
        {Form1->SpeedButton1, 301, "电邮给朋友", true}, {Form1->SpeedButton7, 327, "在线", true}};
    for (const Button& b : buttons) {
        EXPECT_EQ(b.b->x(), b.x);
        EXPECT_EQ(b.b->size(), QSize(25, 21));
        EXPECT_EQ(b.b->toolTip(), QString::fromUtf8(b.tip));
        EXPECT_EQ(b.b->isEnabled(), b.enabled) << b.tip;
        EXPECT_EQ(b.b->group(), Form1->toolbarGroup);
    }
    EXPECT_EQ(Form1->toolbarGroup->buttons().size(), 12);
    EXPECT_TRUE(Form1->toolbarGroup->exclusive());
    // The pressed button stays pressed until another is pressed; pressing it again keeps it so.
    Form1->SpeedButton6->click();
    EXPECT_TRUE(Form1->SpeedButton6->isChecked());
    Form1->SpeedButton6->click();
    EXPECT_TRUE(Form1->SpeedButton6->isChecked());
    Form1->SpeedButton8->click();
    EXPECT_FALSE(Form1->SpeedButton6->isChecked());

    const std::pair<int, QKeySequence> keys[] = {
        {1, QKeySequence("Ctrl+O")}, {2, QKeySequence("Ctrl+S")}, {3, QKeySequence("Ctrl+Q")},
        {4, QKeySequence("Ctrl+Z")}, {5, QKeySequence("Ctrl+Y")}, {6, QKeySequence("Ctrl+C")},
        {7, QKeySequence("Ctrl+-")}, {8, QKeySequence("Ctrl+=")}, {9, QKeySequence("Ctrl+V")},
        {10, QKeySequence("Ctrl+E")}, {11, QKeySequence("Ctrl+P")}, {12, QKeySequence("Ctrl+R")},
        {13, QKeySequence("Ctrl+M")}, {14, QKeySequence("F1")}, {15, QKeySequence("Ctrl+L")}};
    for (auto [n, seq] : keys) {
        EXPECT_EQ(Form1->action(n)->shortcut(), seq) << n;
        EXPECT_EQ(Form1->action(n)->isEnabled(), n != 6) << n;
    }
}

TEST_F(GuiTest, ShortcutsWorkWhileTheirControlsAreDisabled)
{
    const QImage sample = picture();
    QTest::keyClick(Form1, Qt::Key_Z, Qt::ControlModifier);   // nothing to undo: nothing changes
    QTest::keyClick(Form1, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(picture(), sample);
    EXPECT_EQ(State.historyIndex, 1);
    EXPECT_FALSE(Form1->SpeedButton5->isEnabled());

    QImage changed = sample.copy();
    SetPixel(changed, 0, 0, clWhite);
    image()->setPicture(changed);
    Form1->backup();
    Form1->SetUndoEnabled(false);   // the key is bound to the handler, not to the control
    QTest::keyClick(Form1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(picture(), sample);
    EXPECT_EQ(State.undoDepth, 0);
    EXPECT_TRUE(Form1->Redo1->isEnabled());
    QTest::keyClick(Form1, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(picture(), changed);
    // Zoom keys reach their handlers too.
    QTest::keyClick(Form1, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(State.zoomPercent, 80.0);
    QTest::keyClick(Form1, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(State.zoomPercent, 100.0);
}

TEST_F(GuiTest, HistoryControlsFollowTheDepths)
{
    const QImage sample = picture();
    auto change = [&](int n) {
        QImage p = picture().copy();
        SetPixel(p, 1, 1, RGBColor(n, 0, 0));
        image()->setPicture(p);
        Form1->backup();
    };
    change(1);
    EXPECT_TRUE(Form1->SpeedButton5->isEnabled());
    EXPECT_TRUE(Form1->Undo1->isEnabled());
    EXPECT_FALSE(Form1->Redo1->isEnabled());
    Form1->Undo1Click();
    EXPECT_EQ(picture(), sample);
    EXPECT_FALSE(Form1->SpeedButton5->isEnabled());
    EXPECT_FALSE(Form1->Undo1->isEnabled());
    EXPECT_TRUE(Form1->SpeedButton10->isEnabled());
    EXPECT_TRUE(Form1->Redo1->isEnabled());
    Form1->Redo1Click();
    EXPECT_EQ(GetRValue(GetPixel(picture(), 1, 1)), 1);
    EXPECT_FALSE(Form1->SpeedButton10->isEnabled());
    EXPECT_FALSE(Form1->Redo1->isEnabled());
    EXPECT_TRUE(Form1->SpeedButton5->isEnabled());

    // Restore right after changes: the sample is back, at the current zoom, history cleared.
    change(2);
    Form1->SpeedButton8Click();
    Form1->RenewClick();
    EXPECT_EQ(picture(), sample);
    EXPECT_EQ(image()->size(), QSize(484, 375));
    EXPECT_EQ(State.undoDepth, 0);
    EXPECT_EQ(State.redoDepth, 0);
    EXPECT_EQ(State.historyIndex, 1);
    EXPECT_FALSE(Form1->Undo1->isEnabled());
    EXPECT_FALSE(Form1->Redo1->isEnabled());
}

TEST_F(GuiTest, ExceptionInAHandlerIsShownAndTheProgramGoesOn)
{
    QObject target;
    struct Throwing : QObject {
        bool event(QEvent*) override { throw std::runtime_error("disk full"); }
    } thrower;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &e);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("disk full"));
    EXPECT_EQ(State.zoomPercent, 100.0);
}

TEST_F(GuiTest, ClosingTheWorkAreaMinimisesIt)
{
    const QImage before = picture();
    Work_area->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Work_area->isMinimized());
    EXPECT_EQ(picture(), before);
}
