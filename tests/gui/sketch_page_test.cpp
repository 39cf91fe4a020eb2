#include "gui_fixture.h"

#include "sketch/sketch.h"

#include <QMouseEvent>

using namespace pf;

namespace {


}  // namespace

TEST_F(GuiTest, SketchPageDrawsFromTheEdgeMapTakenOnEntry)
{
    const QImage sample = picture();
    Tools->TabbedNotebook1->setCurrentIndex(2);
    EXPECT_EQ(State.edgeMap, picsobel(sample));
    // An edit after entering the page doesn't reach the pen drawing.
    QImage edited = sample.copy();
    edited.fill(Qt::white);
    image()->setPicture(edited);
    Tools->SpeedButton4->click();
    EXPECT_EQ(picture(), twovalue(picsobel(sample), 150));
    EXPECT_EQ(State.undoDepth, 1);
    Tools->TrackBar7->SetPosition(60);
    Tools->SpeedButton5->click();   // the pencil starts again from the same edge map
    EXPECT_EQ(picture(), pencil(picsobel(sample), 60));
    EXPECT_EQ(State.undoDepth, 2);
    Form1->Undo1Click();
    Form1->Undo1Click();
    EXPECT_EQ(picture(), sample);   // the edit was never a history step
}

TEST_F(GuiTest, EraserDragIsOneUndoStep)
{
    const QImage sample = picture();
    Tools->TabbedNotebook1->setCurrentIndex(2);
    Tools->SpeedButton20->click();
    EXPECT_EQ(State.cursorKind, 5);
    EXPECT_EQ(State.cursorRadius, 25);
    EXPECT_TRUE(Tools->TrackBar8->isVisibleTo(Tools));
    Tools->TrackBar8->SetPosition(10);
    EXPECT_EQ(State.cursorRadius, 10);
    EXPECT_EQ(Tools->Label17->text(), "10");

    Mouse(image(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {100, 100});
    for (int x = 100; x <= 200; x += 20)
        Mouse(image(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {x, 100});
    Mouse(image(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {200, 100});
    EXPECT_EQ(GetPixel(picture(), 160, 108), clWhite);
    EXPECT_EQ(GetPixel(picture(), 150, 125), GetPixel(sample, 150, 125));
    EXPECT_EQ(State.undoDepth, 1);
    // A press and release without moving erases nothing but still adds a step.
    const QImage before = picture();
    Mouse(image(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {300, 300});
    Mouse(image(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {300, 300});
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(State.undoDepth, 2);
    Form1->Undo1Click();
    Form1->Undo1Click();
    EXPECT_EQ(picture(), sample);
}

TEST_F(GuiTest, RedEyeSwitchesTheEraserOff)
{
    Tools->TabbedNotebook1->setCurrentIndex(2);
    Tools->SpeedButton20->click();
    const QImage before = picture();
    Tools->SpeedButton8->click();
    EXPECT_EQ(State.cursorKind, 0);
    EXPECT_FALSE(Tools->TrackBar8->isVisibleTo(Tools));
    EXPECT_FALSE(Tools->Label16->isVisibleTo(Tools));
    EXPECT_FALSE(Tools->Label17->isVisibleTo(Tools));
    EXPECT_EQ(picture(), RedEye(before));
    EXPECT_EQ(State.undoDepth, 1);
}

TEST_F(GuiTest, EraserIsOffAfterReenteringTheSketchPage)
{
    Tools->TabbedNotebook1->setCurrentIndex(2);
    Tools->SpeedButton20->click();
    Tools->TabbedNotebook1->setCurrentIndex(0);
    Tools->TabbedNotebook1->setCurrentIndex(2);
    EXPECT_TRUE(Tools->SpeedButton20->isChecked());           // still shows pressed
    EXPECT_TRUE(Tools->TrackBar8->isVisibleTo(Tools));         // controls left as they were
    EXPECT_EQ(State.cursorKind, 0);                            // but the eraser is off
    const QImage before = picture();
    Mouse(image(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {100, 100});
    Mouse(image(), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {120, 100});
    Mouse(image(), QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {120, 100});
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(State.undoDepth, 0);   // sketch page clicks without the eraser add no step
}
