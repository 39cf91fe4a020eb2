#include "gui_fixture.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

using namespace pf;

namespace {

struct Range { int min, max, pos; };
Range Of(const TTrackBar* t) { return {t->Min(), t->Max(), t->Position()}; }

}  // namespace

TEST_F(GuiTest, RadiusCouplingFollowsTheTrackBarRules)
{
    struct Case { TTrackBar* radius; TTrackBar* depth; int to; Range want; };
    const Case cases[] = {
        {Tools->TrackBar1, Tools->TrackBar2, 10, {1, 7, 3}},
        {Tools->TrackBar1, Tools->TrackBar2, 15, {2, 10, 5}},
        {Tools->TrackBar1, Tools->TrackBar2, 25, {2, 17, 8}},
        {Tools->TrackBar1, Tools->TrackBar2, 50, {5, 33, 17}},
        {Tools->TrackBar1, Tools->TrackBar2, 500, {50, 333, 167}},
        {Tools->TrackBar1, Tools->TrackBar2, 10, {1, 333, 3}},   // 500 -> 10: the new maximum 7 is ignored
        {Tools->TrackBar3, Tools->TrackBar4, 10, {0, 3, 1}},
        {Tools->TrackBar3, Tools->TrackBar4, 25, {0, 8, 2}},
        {Tools->TrackBar3, Tools->TrackBar4, 26, {1, 9, 3}},
        {Tools->TrackBar3, Tools->TrackBar4, 75, {2, 25, 8}},
        {Tools->TrackBar3, Tools->TrackBar4, 100, {2, 33, 10}},
        {Tools->TrackBar3, Tools->TrackBar4, 500, {10, 167, 50}},
    };
    for (const Case& c : cases) {
        c.radius->SetPosition(c.to);
        Range r = Of(c.depth);
        EXPECT_EQ(r.min, c.want.min) << c.to;
        EXPECT_EQ(r.max, c.want.max) << c.to;
        EXPECT_EQ(r.pos, c.want.pos) << c.to;
        EXPECT_EQ(State.cursorRadius, c.to);
        EXPECT_EQ(State.warpRadius, c.to);
        EXPECT_EQ(Tools->ProgressBar1->maximum(), 4 * c.to);
    }
    // The value labels follow through the sliders' own change handlers.
    EXPECT_EQ(Tools->Label2->text(), "10");
    EXPECT_EQ(Tools->Label5->text(), "3");
    EXPECT_EQ(Tools->Label6->text(), "500");
    EXPECT_EQ(Tools->Label7->text(), "50");
}

TEST_F(GuiTest, ContrastLabel)
{
    EXPECT_EQ(Tools->Label11->text(), "50");   // before the slider first moves
    for (auto [pos, text] : {std::pair{0, "0"}, {44, "49"}, {46, "52"}, {89, "100"}, {45, "51"}}) {
        Tools->TrackBar7->SetPosition(pos);
        EXPECT_EQ(Tools->Label11->text(), text) << pos;
    }
}

TEST_F(GuiTest, ZoomedRadiusAndProgressMaximum)
{
    Form1->SpeedButton9Click();   // 125 %
    Tools->TrackBar1->SetPosition(100);
    EXPECT_EQ(State.warpRadius, 80);
    EXPECT_EQ(Tools->ProgressBar1->maximum(), 320);
    Tools->TabbedNotebook1->setCurrentIndex(1);
    Tools->TabbedNotebook1->setCurrentIndex(0);
    EXPECT_EQ(Tools->ProgressBar1->maximum(), 400);   // page entry uses the raw position
}

TEST_F(GuiTest, PageEntrySetsTheToolOfThePage)
{
    Tools->TabbedNotebook1->setCurrentIndex(1);
    EXPECT_EQ(State.warpShape, 1);
    EXPECT_EQ(State.warpKind, 3);
    EXPECT_FALSE(State.smearMode);
    EXPECT_EQ(State.cursorRadius, 100);
    EXPECT_TRUE(Tools->SpeedButton11->isChecked());
    EXPECT_EQ(Tools->ProgressBar1->maximum(), 400);
    Tools->SpeedButton3->click();   // smear
    EXPECT_TRUE(State.smearMode);
    EXPECT_EQ(State.warpKind, 5);
    EXPECT_EQ(image()->hintText(), "Keep Down and move");
    EXPECT_TRUE(Tools->TrackBar4->isHidden());
    Tools->SpeedButton12->click();
    EXPECT_EQ(State.warpKind, 4);
    EXPECT_FALSE(State.smearMode);
    EXPECT_FALSE(Tools->TrackBar4->isHidden());
    EXPECT_EQ(image()->hintText(), "Click or Keep Down");

    Tools->TabbedNotebook1->setCurrentIndex(2);
    EXPECT_EQ(State.warpShape, 0);
    EXPECT_EQ(State.cursorKind, 0);
    EXPECT_EQ(image()->hintText(), "");

    Tools->RadioButton3->click();
    Tools->TabbedNotebook1->setCurrentIndex(0);
    EXPECT_EQ(State.warpShape, 1);
    EXPECT_EQ(State.warpKind, 1);
    EXPECT_EQ(State.cursorRadius, 50);
    EXPECT_TRUE(Tools->RadioButton1->isChecked());
    EXPECT_TRUE(Tools->SpeedButton1->isChecked());

    // Setting the page that already shows runs no page entry: the chosen tool stays.
    Tools->SpeedButton2->click();
    Tools->RadioButton2->click();
    Tools->ShowFirstPage();
    EXPECT_EQ(State.warpKind, 2);
    EXPECT_EQ(State.warpShape, 2);
}

TEST_F(GuiTest, PageEntryRefreshesUndoAndRedo)
{
    QImage p = picture().copy();
    SetPixel(p, 0, 0, clWhite);
    image()->setPicture(p);
    Form1->backup();
    Form1->SetUndoEnabled(false);
    Tools->TabbedNotebook1->setCurrentIndex(1);
    EXPECT_TRUE(Form1->Undo1->isEnabled());
    EXPECT_TRUE(Form1->SpeedButton5->isEnabled());
    EXPECT_FALSE(Form1->Redo1->isEnabled());
}

TEST(Ants, WalkOrderAndPhases)
{
    const QRect band(QPoint(10, 10), QPoint(14, 12));   // anchor, moving corner
    const QPoint order[] = {{10, 10}, {11, 10}, {12, 10}, {13, 10}, {14, 10}, {14, 11},
                            {14, 12}, {13, 12}, {12, 12}, {11, 12}, {10, 12}, {10, 11}};
    auto walk = AntsWalk(band, 128);
    ASSERT_EQ(walk.size(), 12u);
    const bool white128[] = {0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0};
    const bool white32[] = {1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0};
    auto walk32 = AntsWalk(band, 32);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(walk[i].p, order[i]) << i;
        EXPECT_EQ(walk[i].white, white128[i]) << i;
        EXPECT_EQ(walk32[i].white, white32[i]) << i;
    }
    EXPECT_TRUE(AntsWalk(QRect(QPoint(5, 5), QPoint(5, 5)), 128).empty());
    EXPECT_TRUE(AntsWalk(QRect(QPoint(0, 0), QPoint(0, 0)), 8).empty());
    // Dragged up-left: the walk starts at the anchor and runs mirrored.
    auto mirrored = AntsWalk(QRect(QPoint(14, 12), QPoint(10, 10)), 128);
    ASSERT_EQ(mirrored.size(), 12u);
    EXPECT_EQ(mirrored[0].p, QPoint(14, 12));
    EXPECT_EQ(mirrored[1].p, QPoint(13, 12));
    EXPECT_EQ(OrderRect({14, 12}, {10, 10}), QRect(QPoint(10, 10), QPoint(14, 12)));
}

TEST_F(GuiTest, AntsPhaseRunsAndTheBandIsNeverPartOfThePicture)
{
    EXPECT_TRUE(Work_area->Timer2.isActive());
    EXPECT_EQ(Work_area->Timer2.interval(), 100);
    Work_area->Timer2.stop();   // drive the ticks by hand from here
    Work_area->FormCreate();    // creation sets the phase to 128 (and restarts the timer)
    Work_area->Timer2.stop();
    EXPECT_EQ(Work_area->AntsPhase, 128);
    const unsigned char phases[] = {32, 8, 2, 128, 32};
    for (unsigned char want : phases) {
        Work_area->Timer2Timer();
        EXPECT_EQ(Work_area->AntsPhase, want);
    }
    const QImage before = picture();
    State.selectMode = true;
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(60, 50), QPointF(60, 50), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image(), &down);
    QMouseEvent drag(QEvent::MouseMove, QPointF(20, 10), QPointF(20, 10), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image(), &drag);
    EXPECT_TRUE(Work_area->selectionBandShown());
    // The band shows on screen: the viewport's rendering has band pixels at its edge.
    QImage screen = Work_area->scroll->viewport()->grab().toImage();
    EXPECT_NE(screen.pixelColor(60, 50), QColor(picture().pixelColor(60, 50)));
    EXPECT_EQ(picture(), before);
    Work_area->RemoveTheRect2();
    EXPECT_FALSE(Work_area->selectionBandShown());
    QImage after = Work_area->scroll->viewport()->grab().toImage();
    EXPECT_EQ(after.pixelColor(60, 50), QColor(picture().pixelColor(60, 50)));
}

TEST_F(GuiTest, BrushOutlineKeepsClearOfTheEdges)
{
    auto moveTo = [&](int x, int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(image(), &e);
    };
    struct Case { int x, y; bool shown; };
    const int w = image()->width(), h = image()->height();
    for (Case c : {Case{100, 100, true}, {2, 100, false}, {3, 100, true}, {100, 2, false}, {w - 3, 100, true},
                   {w - 2, 100, false}, {100, h - 3, true}, {100, h - 2, false}}) {
        moveTo(c.x, c.y);
        EXPECT_EQ(Work_area->brushShown, c.shown) << c.x << "," << c.y;
    }
    moveTo(100, 120);
    EXPECT_EQ(Work_area->BrushRect, QRect(QPoint(50, 70), QPoint(150, 170)));
    EXPECT_EQ(Work_area->BrushArcPoint, QPoint(50, 170));
    // On the sketch page without the eraser there is no outline.
    Tools->TabbedNotebook1->setCurrentIndex(2);
    moveTo(100, 100);
    EXPECT_FALSE(Work_area->brushShown);
}

TEST_F(GuiTest, ChineseCaptionsRenderWithARealFont)
{
    // A caption drawn with a missing glyph shows as boxes: compare with a private-use character
    // that no font has.
    auto render = [](const QString& text, const QFont& font) {
        QImage img(64, 24, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(2, 18, text);
        return img;
    };
    const QFont font = Tools->TabbedNotebook1->font();
    const QImage tofu = render(QString(QChar(0xE000)) + QChar(0xE001), font);
    for (const QString& caption : {QStringLiteral("扭曲"), QStringLiteral("螺旋"), QStringLiteral("素描")}) {
        QImage img = render(caption, font);
        EXPECT_NE(img, tofu) << caption.toStdString();
        EXPECT_NE(img, render(QString(), font)) << caption.toStdString();
    }
    EXPECT_EQ(Tools->TabbedNotebook1->tabText(0), QStringLiteral("扭曲"));
    EXPECT_EQ(Tools->TabbedNotebook1->tabText(1), QStringLiteral("螺旋"));
    EXPECT_EQ(Tools->TabbedNotebook1->tabText(2), QStringLiteral("素描"));
}
