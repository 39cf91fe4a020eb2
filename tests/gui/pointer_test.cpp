#include "gui_fixture.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

using namespace pf;

namespace {


class Pointer : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        Work_area->warpObserver = [this](const char* name, int x, int y) { warps.push_back({name, x, y}); };
    }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { Mouse(image(), QEvent::MouseButtonPress, b, b, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { Mouse(image(), QEvent::MouseButtonRelease, b, Qt::NoButton, p); }
    void move(QPoint p, Qt::MouseButtons held) { Mouse(image(), QEvent::MouseMove, Qt::NoButton, held, p); }

    struct Warp { std::string name; int x, y; };
    std::vector<Warp> warps;
};

}  // namespace

TEST_F(Pointer, ClickIsOneWarpAndOneHistoryStep)
{
    State.zoomPercent = 80;   // control (101, 50) -> picture (126.25 -> 126, 62.5 -> 62)
    press({101, 50});
    EXPECT_TRUE(Work_area->Timer1.isActive());
    EXPECT_EQ(Work_area->Timer1.interval(), 1000);
    release({101, 50});
    EXPECT_FALSE(Work_area->Timer1.isActive());
    ASSERT_EQ(warps.size(), 1u);
    EXPECT_EQ(warps[0].name, "SphericalStretch");
    EXPECT_EQ(warps[0].x, 126);
    EXPECT_EQ(warps[0].y, 62);
    EXPECT_EQ(State.undoDepth, 1);
    EXPECT_EQ(State.downX, 101);
    EXPECT_FALSE(State.buttonHeld);
}

TEST_F(Pointer, HoldingRepeatsAndReleasingOutsideSkipsTheClick)
{
    struct Case { QPoint releaseAt; size_t warps; };
    for (Case c : {Case{{50, 60}, 3u}, Case{{-10, 700}, 2u}}) {
        warps.clear();
        const int depth = State.undoDepth;
        press({50, 60});
        // Two ticks of the held-button timer (about 2.5 s of holding).
        Work_area->Timer1Timer();
        Work_area->Timer1Timer();
        release(c.releaseAt);
        EXPECT_EQ(warps.size(), c.warps);
        EXPECT_EQ(State.undoDepth, depth + 1);   // one history step for the whole press
    }
}

TEST_F(Pointer, DispatchFollowsTheShapeAndThePage)
{
    struct Case { int shape; int page; const char* want; bool backup; };
    for (Case c : {Case{2, 0, "VerticalStretch", true}, Case{3, 0, "HorizontalStretch", true},
                   Case{1, 1, "SphericalStretch", true}, Case{0, 2, nullptr, false}}) {
        Tools->TabbedNotebook1->setCurrentIndex(c.page);
        State.warpShape = c.shape;
        warps.clear();
        const int depth = State.undoDepth;
        press({20, 20});
        release({20, 20});
        if (c.want) {
            ASSERT_EQ(warps.size(), 1u);
            EXPECT_EQ(warps[0].name, c.want);
        } else {
            EXPECT_TRUE(warps.empty());
        }
        EXPECT_EQ(State.undoDepth, depth + (c.backup ? 1 : 0)) << c.shape;
    }
}

TEST_F(Pointer, SmearStartsNoTimerAndStillAddsAStep)
{
    Tools->TabbedNotebook1->setCurrentIndex(1);
    Tools->SpeedButton3Click();
    press({30, 30});
    EXPECT_FALSE(Work_area->Timer1.isActive());
    release({30, 30});
    ASSERT_EQ(warps.size(), 1u);   // the click reaches the dispatcher, which does nothing for the smear
    EXPECT_EQ(picture(), State.historyRing.load(1));
    EXPECT_EQ(State.undoDepth, 1);
}

TEST_F(Pointer, RightDragPansAndLeavesThePictureAlone)
{
    for (int i = 0; i < 4; ++i)
        Form1->SpeedButton9Click();   // 244 %: the picture is larger than the window
    QCoreApplication::processEvents();
    auto* h = Work_area->HorzScrollBar();
    auto* v = Work_area->VertScrollBar();
    ASSERT_GT(h->maximum(), 100);
    ASSERT_GT(v->maximum(), 100);
    h->setValue(100);
    v->setValue(100);
    const QImage before = picture();
    Mouse(image(), QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {400, 300});
    EXPECT_TRUE(State.buttonHeld);
    EXPECT_FALSE(Work_area->Timer1.isActive());
    move({350, 260}, Qt::RightButton);
    EXPECT_EQ(h->value(), 150);
    EXPECT_EQ(v->value(), 140);
    Mouse(image(), QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {350, 260});
    EXPECT_TRUE(warps.empty());
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(State.undoDepth, 0);
    EXPECT_FALSE(State.buttonHeld);
}

TEST_F(Pointer, MiddleButtonOnlyRecordsThePoint)
{
    Mouse(image(), QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, {40, 44});
    EXPECT_EQ(State.clickX, 40);
    EXPECT_EQ(State.clickY, 44);
    EXPECT_TRUE(State.buttonHeld);
    EXPECT_FALSE(Work_area->Timer1.isActive());
    Mouse(image(), QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, {40, 44});
    EXPECT_TRUE(warps.empty());
    EXPECT_EQ(State.undoDepth, 0);
}

TEST_F(Pointer, WheelOverThePictureZoomsOneStepPerNotch)
{
    auto wheel = [](QWidget* w, int delta) {
        QWheelEvent e(QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &e);
    };
    QEvent enter(QEvent::Enter);
    QEnterEvent enterEvent(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QCoreApplication::sendEvent(image(), &enterEvent);
    ASSERT_TRUE(State.mouseInside);
    wheel(Tools, 120);   // away from the user, whichever window gets it: zoom out
    EXPECT_DOUBLE_EQ(State.zoomPercent, 80.0);
    EXPECT_EQ(Form1->Label1->text(), "80.0%");
    wheel(image(), -120);
    EXPECT_DOUBLE_EQ(State.zoomPercent, 100.0);
    EXPECT_EQ(image()->size(), QSize(605, 469));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(image(), &leave);
    EXPECT_FALSE(State.mouseInside);
    wheel(Tools, 120);   // not over the picture, not on the work area: no zoom
    EXPECT_DOUBLE_EQ(State.zoomPercent, 100.0);
}

TEST_F(Pointer, SelectionBoundsFromTheDrag)
{
    struct Case { double zoom; int left, top, right, bottom; };
    for (Case c : {Case{100, 11, 21, 109, 69}, Case{200, 6, 11, 54, 34}}) {
        State.zoomPercent = c.zoom;
        State.selectMode = true;
        press({10, 20});
        EXPECT_FALSE(Form1->SpeedButton11->isEnabled());
        EXPECT_TRUE(Work_area->confinement.active());   // the pointer stays on the picture
        EXPECT_EQ(Work_area->confinement.area().size(), image()->size());
        move({110, 70}, Qt::LeftButton);
        release({110, 70});
        EXPECT_FALSE(Work_area->confinement.active());
        EXPECT_EQ(State.selLeft, c.left);
        EXPECT_EQ(State.selTop, c.top);
        EXPECT_EQ(State.selRight, c.right);
        EXPECT_EQ(State.selBottom, c.bottom);
        EXPECT_TRUE(Form1->SpeedButton11->isEnabled());
        EXPECT_TRUE(Form1->action(6)->isEnabled());
        EXPECT_EQ(State.undoDepth, 0);
        EXPECT_TRUE(warps.empty());
    }
    // Dragged back to its anchor: a one-point band leaves crop and copy disabled.
    press({10, 20});
    move({30, 30}, Qt::LeftButton);
    move({10, 20}, Qt::LeftButton);
    EXPECT_FALSE(Form1->SpeedButton11->isEnabled());
    release({10, 20});
}

TEST_F(Pointer, UserScrollDropsTheBandProgramScrollKeepsIt)
{
    for (int i = 0; i < 3; ++i)
        Form1->SpeedButton9Click();
    QCoreApplication::processEvents();
    State.selectMode = true;
    press({10, 20});
    move({60, 70}, Qt::LeftButton);
    release({60, 70});
    ASSERT_TRUE(Form1->SpeedButton11->isEnabled());
    Work_area->HorzScrollBar()->setValue(30);   // the program scrolls: nothing happens
    EXPECT_EQ(Work_area->Rect1.Right, 60);
    EXPECT_TRUE(Form1->SpeedButton11->isEnabled());
    Work_area->HorzScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);   // the user scrolls
    EXPECT_EQ(Work_area->Rect1.Left, 0);
    EXPECT_EQ(Work_area->Rect1.Right, 0);
    EXPECT_FALSE(Form1->SpeedButton11->isEnabled());
    EXPECT_FALSE(Form1->action(6)->isEnabled());
}
