#include "gui_fixture.h"

#include "warps/warps.h"

#include <QMouseEvent>

using namespace pf;

namespace {

void Click(QWidget* w, QPoint pos)
{
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &up);
}

// Counts the progress protocol: steps, and where the position was set.
struct Counting : WarpProgress {
    int steps = 0;
    void step() override { ++steps; }
};

}  // namespace

TEST_F(GuiTest, ClickOnTheDistortPageWarpsAsThePureFunctionDoes)
{
    const QImage sample = picture();
    Click(image(), {200, 150});
    QImage want = sample.copy();
    Counting progress;
    Sphericalpengzhang(sample, want, 200, 150, 50, 15, progress);
    EXPECT_EQ(picture(), want);
    EXPECT_NE(picture(), sample);
    EXPECT_EQ(State.warpRadius, 50);
    EXPECT_EQ(State.warpDepth, 15);
    EXPECT_EQ(Tools->ProgressBar1->value(), 0);
    EXPECT_EQ(State.undoDepth, 1);
    QTest::keyClick(Form1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(picture(), sample);
}

TEST_F(GuiTest, EveryToolMatchesItsPureFunctionAtZoom)
{
    Form1->SpeedButton9Click();   // 125 %: control (250, 200) is picture (200, 160)
    const QImage sample = picture();
    struct Case { int page; QAbstractButton* button; QRadioButton* shape; WarpKind kind; int r, d; };
    const Case cases[] = {
        {0, Tools->SpeedButton2, Tools->RadioButton1, WarpKind::Sphericalshousuo, 40, 12},
        {0, Tools->SpeedButton1, Tools->RadioButton2, WarpKind::Verticalpengzhang, 40, 12},
        {0, Tools->SpeedButton2, Tools->RadioButton3, WarpKind::Horizontalshousuo, 40, 12},
        {1, Tools->SpeedButton11, nullptr, WarpKind::Sphericalyouxuan, 80, 8},
        {1, Tools->SpeedButton12, nullptr, WarpKind::Sphericalzuoxuan, 80, 8},
    };
    for (const Case& c : cases) {
        image()->setPicture(sample);
        Tools->TabbedNotebook1->setCurrentIndex(c.page);
        c.button->click();
        if (c.shape)
            c.shape->click();
        Click(image(), {250, 200});
        QImage want = sample.copy();
        Counting progress;
        ApplyWarp(c.kind, sample, want, QPoint(0, 0), 200, 160, c.r, c.d, progress);
        EXPECT_EQ(picture(), want) << int(c.kind);
        EXPECT_EQ(State.warpRadius, c.r);
        EXPECT_EQ(State.warpDepth, c.d);
    }
}

TEST_F(GuiTest, SmearDragMatchesThePureFunction)
{
    const QImage sample = picture();
    Tools->TabbedNotebook1->setCurrentIndex(1);
    Tools->SpeedButton3->click();
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(200, 150), QPointF(200, 150), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(image(), &down);
    QMouseEvent move(QEvent::MouseMove, QPointF(240, 170), QPointF(240, 170), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(image(), &move);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(240, 170), QPointF(240, 170), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(image(), &up);
    QImage want = sample.copy();
    Counting progress;
    tumopic(sample, want, 200, 150, 240, 170, 100, progress);
    EXPECT_EQ(picture(), want);
    EXPECT_NE(picture(), sample);
    EXPECT_EQ(State.undoDepth, 1);
    EXPECT_EQ(State.cursorRadius, 100);
}
