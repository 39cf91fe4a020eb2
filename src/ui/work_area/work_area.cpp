#include "ui/work_area/work_area.h"

#include "editor/editor_state.h"
#include "picture/picture.h"
#include "platform/line_dda.h"
#include "sketch/sketch.h"
#include "editor/picture_edits.h"
#include "warps/warps.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/tools/tools.h"
#include "ui/glyphs.h"
#include "ui/messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstring>

namespace pf {

// Paints the band and the brush outline over the picture; never part of the picture and
// transparent to the mouse.
class TOverlay : public QWidget {
public:
    explicit TOverlay(TWork_area* owner, QWidget* parent) : QWidget(parent), owner_(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    bool bandShown = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (bandShown) {
            const auto& r = owner_->Rect1;
            for (const AntsPixel& px : AntsWalk(QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)), owner_->AntsPhase)) {
                p.setPen(px.white ? Qt::white : Qt::black);
                p.drawPoint(px.p);
            }
        }
        if (owner_->brushShown) {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(owner_->BrushRect);
        }
    }

private:
    TWork_area* owner_;
};

QRect OrderRect(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

std::vector<AntsPixel> AntsWalk(const QRect& band, unsigned char phase)
{
    // band holds the anchor as topLeft and the moving corner as bottomRight, unnormalised.
    const int L = band.left(), T = band.top(), R = band.right(), B = band.bottom();
    std::vector<AntsPixel> out;
    if (L == R && T == B)
        return out;
    unsigned char mask = phase;
    auto proc = [&](int x, int y) {
        mask = static_cast<unsigned char>(mask << 1);
        if (mask == 0)
            mask = 1;
        out.push_back({QPoint(x, y), (mask & 0xE0) != 0});
    };
    LineDDA(L, T, R, T, proc);
    LineDDA(R, T, R, B, proc);
    LineDDA(R, B, L, B, proc);
    LineDDA(L, B, L, T, proc);
    return out;
}

TWork_area::TWork_area(QWidget* parent) : QMdiSubWindow(parent)
{
    setObjectName("Work_area");
    setWindowTitle("Make funny photo");
    setAttribute(Qt::WA_DeleteOnClose, false);
    scroll = new QScrollArea;
    scroll->setWidgetResizable(false);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setFrameShape(QFrame::NoFrame);
    Image1 = new TImage;
    Image1->setObjectName("Image1");
    Image1->setPicture(ToPictureFormat(QImage(":/sample.bmp")));
    Image1->resize(605, 469);
    Image1->setHintText("Click or Keep Down");
    scroll->setWidget(Image1);
    setWidget(scroll);
    overlay_ = new TOverlay(this, scroll->viewport());
    overlay_->setGeometry(scroll->viewport()->rect());
    overlay_->raise();
    scroll->viewport()->installEventFilter(this);
    resize(615, 506);
    setWindowIcon(AppIcon());

    connect(Image1, &TImage::mouseDown, this, [this](Qt::MouseButton b, Qt::MouseButtons s, int x, int y) {
        Guard([&] { Image1MouseDown(b, s, x, y); });
    });
    connect(Image1, &TImage::mouseMove, this, [this](Qt::MouseButtons s, int x, int y) {
        if (confinement.active()) {
            // Keep the pointer, and the band's corner, on the picture while selecting.
            QPoint g = confinement.keepInside(Image1->mapToGlobal(QPoint(x, y)));
            QPoint c = Image1->mapFromGlobal(g);
            x = c.x();
            y = c.y();
        }
        Guard([&] { Image1MouseMove(s, x, y); });
    });
    connect(Image1, &TImage::mouseUp, this, [this](Qt::MouseButton b, Qt::MouseButtons s, int x, int y, bool inside) {
        // The click comes before the button-up, and only for a release over the picture.
        if (b == Qt::LeftButton && inside)
            Guard([&] { Image1Click(); });
        Guard([&] { Image1MouseUp(b, s, x, y); });
    });
    connect(Image1, &TImage::entered, this, [] { State.mouseInside = true; });
    connect(Image1, &TImage::left, this, [] { State.mouseInside = false; });
    connect(&Timer1, &QTimer::timeout, this, Guarded(this, &TWork_area::Timer1Timer));
    connect(&Timer2, &QTimer::timeout, this, &TWork_area::Timer2Timer);
    // Only actions of the user reach here; scrolling set by the program does not.
    connect(HorzScrollBar(), &QScrollBar::actionTriggered, this, [this](int) { UserScrolled(); });
    connect(VertScrollBar(), &QScrollBar::actionTriggered, this, [this](int) { UserScrolled(); });
    Timer1.setInterval(1000);
    FormCreate();
}

TWork_area::~TWork_area()
{
    qApp->removeEventFilter(this);
}

QScrollBar* TWork_area::HorzScrollBar() const { return scroll->horizontalScrollBar(); }
QScrollBar* TWork_area::VertScrollBar() const { return scroll->verticalScrollBar(); }

void TWork_area::FormCreate()
{
    Rect1 = {};
    AntsPhase = 128;
    Timer2.setInterval(100);
    Timer2.start();
}

void TWork_area::FormShow()
{
    BrushRect = QRect(QPoint(-200, -200), QPoint(-200, -200));
    BrushArcPoint = QPoint(-200, -200);
    State.warpRadius = 50;
    State.cursorRadius = 50;
    qApp->installEventFilter(this);   // the wheel over the picture zooms, whoever has the focus
    State.zoomPercent = 100.0;
}

void TWork_area::showEvent(QShowEvent* e)
{
    QMdiSubWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TWork_area::closeEvent(QCloseEvent* e)
{
    // Closing the picture window only minimises it: the picture is never thrown away.
    e->ignore();
    showMinimized();
}

bool TWork_area::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scroll->viewport() && event->type() == QEvent::Resize) {
        overlay_->setGeometry(scroll->viewport()->rect());
        overlay_->raise();
        return false;
    }
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (State.mouseInside) {
            WheelMessageHook(delta);
            return true;
        }
        auto* w = static_cast<QWidget*>(watched);
        if (w == this || isAncestorOf(w)) {
            FormMouseWheel(delta);
            return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void TWork_area::WheelMessageHook(int delta)
{
    if (delta == 0)
        return;
    if (delta > 0)
        Form1->imgzoomout(Image1, Form1->Label1);
    else
        Form1->imgzoomin(Image1, Form1->Label1);
}

void TWork_area::FormMouseWheel(int delta)
{
    if (delta == 0)
        return;
    if (delta > 0)
        Form1->imgzoomout(Image1, Form1->Label1);
    else
        Form1->imgzoomin(Image1, Form1->Label1);
}

void TWork_area::UserScrolled()
{
    RemoveTheRect2();
    Form1->SpeedButton11->setEnabled(false);
    Form1->action(6)->setEnabled(false);
}

void TWork_area::Image1MouseDown(Qt::MouseButton, Qt::MouseButtons shift, int X, int Y)
{
    Form1->action(6)->setEnabled(false);
    if ((shift & Qt::LeftButton) && State.selectMode) {
        Form1->action(6)->setEnabled(false);
        Form1->SpeedButton11->setEnabled(false);
        X += Image1->x();
        Y += Image1->y();
        RemoveTheRect1();
        Rect1 = {X, Y, X, Y};
        ConfineCursorToImage();
        return;
    }
    if (shift & Qt::RightButton) {
        RemoveTheRect1();
        Rect1 = {};
        Form1->SpeedButton11->setEnabled(false);
    }
    State.clickX = ToPicture(X, State.zoomPercent);
    State.clickY = ToPicture(Y, State.zoomPercent);
    if ((shift & Qt::LeftButton) && !State.smearMode)
        Timer1.start();
    State.buttonHeld = true;
    State.downX = X;
    State.downY = Y;
}

static void Pan(TWork_area* w, int X, int Y)
{
    w->HorzScrollBar()->setValue(w->HorzScrollBar()->value() + (State.downX - X));
    w->VertScrollBar()->setValue(w->VertScrollBar()->value() + (State.downY - Y));
}

void TWork_area::Image1MouseMove(Qt::MouseButtons shift, int X, int Y)
{
    if (State.selectMode) {
        if (shift & Qt::LeftButton) {
            const int x = X + Image1->x(), y = Y + Image1->y();
            RemoveTheRect1();
            Rect1.Right = x;
            Rect1.Bottom = y;
            DrawTheRect1();
            const int H = HorzScrollBar()->value(), V = VertScrollBar()->value();
            const double z = State.zoomPercent;
            State.selTop = ToPicture(std::min(Rect1.Top, Rect1.Bottom) + V, z) + 1;
            State.selLeft = ToPicture(std::min(Rect1.Left, Rect1.Right) + H, z) + 1;
            State.selRight = ToPicture(std::max(Rect1.Left, Rect1.Right) + H, z) - 1;
            State.selBottom = ToPicture(std::max(Rect1.Top, Rect1.Bottom) + V, z) - 1;
            // Crop and copy are offered while the band is more than one point; a band dragged
            // back onto its anchor takes them away again.
            const bool band = Rect1.Right != Rect1.Left || Rect1.Bottom != Rect1.Top;
            Form1->action(6)->setEnabled(band);
            Form1->SpeedButton11->setEnabled(band);
        }
        if ((shift & Qt::RightButton) && State.buttonHeld) {
            RemoveTheRect1();
            Pan(this, X, Y);
        }
        return;
    }
    RemoveTheBrush();
    if ((shift & Qt::RightButton) && State.buttonHeld)
        Pan(this, X, Y);
    const int page = Tools->TabbedNotebook1->currentIndex();
    if ((page == 0 || page == 1 || (page == 2 && State.cursorKind == 5)) && X >= 3 && X <= Image1->width() - 3
        && Y >= 3 && Y <= Image1->height() - 3) {
        const int r = State.cursorRadius;
        const int x = X + Image1->x(), y = Y + Image1->y();
        BrushRect = QRect(QPoint(x - r, y - r), QPoint(x + r, y + r));
        BrushArcPoint = QPoint(x - r, y + r);
        DrawTheBrush();
    }
    if (State.cursorKind == 5 && (shift & Qt::LeftButton))
        EraseTheSpot(X, Y);
}

void TWork_area::Image1MouseUp(Qt::MouseButton button, Qt::MouseButtons, int X, int Y)
{
    Timer1.stop();
    State.buttonHeld = false;
    if (button == Qt::LeftButton && State.selectMode) {
        FreeCursorClip();
        return;
    }
    const int page = Tools->TabbedNotebook1->currentIndex();
    if (page == 1 && button == Qt::LeftButton && State.smearMode)
        tumopic(X, Y);
    if (button == Qt::LeftButton && (page == 0 || page == 1))
        Form1->backup();
    if (State.cursorKind == 5 && button == Qt::LeftButton && page == 2)
        Form1->backup();
}

void TWork_area::Image1Click()
{
    if (State.selectMode)
        return;
    Timer1Timer();
}

void TWork_area::Timer1Timer()
{
    switch (State.warpShape) {
    case 1: SphericalStretch(State.clickX, State.clickY); break;
    case 2: VerticalStretch(State.clickX, State.clickY); break;
    case 3: HorizontalStretch(State.clickX, State.clickY); break;
    default: break;
    }
}

void TWork_area::SphericalStretch(int X, int Y)
{
    if (warpObserver)
        warpObserver("SphericalStretch", X, Y);
    switch (State.warpKind) {
    case 1: Sphericalpengzhang(X, Y); break;
    case 2: Sphericalshousuo(X, Y); break;
    case 3: Sphericalyouxuan(X, Y); break;
    case 4: Sphericalzuoxuan(X, Y); break;
    default: break;   // the smear works on release, not here
    }
}

void TWork_area::VerticalStretch(int X, int Y)
{
    if (warpObserver)
        warpObserver("VerticalStretch", X, Y);
    if (State.warpKind == 1)
        Verticalpengzhang(X, Y);
    else if (State.warpKind == 2)
        Verticalshousuo(X, Y);
}

void TWork_area::HorizontalStretch(int X, int Y)
{
    if (warpObserver)
        warpObserver("HorizontalStretch", X, Y);
    if (State.warpKind == 1)
        Horizontalpengzhang(X, Y);
    else if (State.warpKind == 2)
        Horizontalshousuo(X, Y);
}

void TWork_area::Timer2Timer()
{
    AntsPhase = static_cast<unsigned char>(AntsPhase >> 2);
    if (AntsPhase == 0)
        AntsPhase = 128;
    DrawTheRect1();
}

static QRegion BandStrip(const TWork_area::Band& r)
{
    QRect outer = OrderRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)).adjusted(-1, -1, 1, 1);
    QRect inner = outer.adjusted(2, 2, -2, -2);
    QRegion strip(outer);
    if (inner.isValid())
        strip -= QRegion(inner);
    return strip;
}

void TWork_area::DrawTheRect1()
{
    const bool empty = Rect1.Left == Rect1.Right && Rect1.Top == Rect1.Bottom;
    overlay_->bandShown = !empty;
    if (!empty)
        overlay_->update(BandStrip(Rect1));
}

void TWork_area::RemoveTheRect1()
{
    overlay_->bandShown = false;
    overlay_->update(BandStrip(Rect1));
}

void TWork_area::RemoveTheRect2()
{
    RemoveTheRect1();
    Rect1 = {};
}

bool TWork_area::selectionBandShown() const { return overlay_->bandShown; }

void TWork_area::DrawTheBrush()
{
    brushShown = true;
    overlay_->update(BrushRect.adjusted(-1, -1, 1, 1));
}

void TWork_area::RemoveTheBrush()
{
    brushShown = false;
    overlay_->update(BrushRect.adjusted(-1, -1, 1, 1));
}

void TWork_area::setsigncursor()
{
    if (State.cursorKind == 5 || (State.warpShape == 1 && State.warpKind >= 1 && State.warpKind <= 5))
        Image1->setCursor(Qt::ArrowCursor);
}

void TWork_area::ConfineCursorToImage() { confinement.confine(Image1); }
void TWork_area::FreeCursorClip() { confinement.release(); }

namespace {

// Steps the tools panel's progress bar as the warp finishes its columns.
struct BarProgress : WarpProgress {
    explicit BarProgress(TProgressBar* bar) : bar(bar) {}
    void step() override { bar->StepIt(); }
    void reset() override { bar->SetPosition(0); }
    TProgressBar* bar;
};

void ProgressToMaxThenZero(TProgressBar* bar)
{
    bar->SetPosition(bar->maximum());
    bar->SetPosition(0);
}

}  // namespace

void TWork_area::RunWarp(int kind, int X, int Y, const TTrackBar* radiusSlider, const TTrackBar* depthSlider,
                         bool progressFirst)
{
    const int r = ToPicture(radiusSlider->Position(), State.zoomPercent);
    const int d = ToPicture(depthSlider->Position(), State.zoomPercent);
    State.warpRadius = r;
    State.warpDepth = d;
    BarProgress progress(Tools->ProgressBar1);
    const QRect written = WarpInPlace(Image1->picture(), WarpKind(kind), X, Y, r, d, progress, [&] {
        if (progressFirst)
            ProgressToMaxThenZero(Tools->ProgressBar1);
    });
    Image1->pictureChanged(written);
    if (!progressFirst)
        ProgressToMaxThenZero(Tools->ProgressBar1);
}

void TWork_area::Sphericalpengzhang(int X, int Y)
{
    RunWarp(int(WarpKind::Sphericalpengzhang), X, Y, Tools->TrackBar1, Tools->TrackBar2, true);
}
void TWork_area::Sphericalshousuo(int X, int Y)
{
    RunWarp(int(WarpKind::Sphericalshousuo), X, Y, Tools->TrackBar1, Tools->TrackBar2, false);
}
void TWork_area::Sphericalyouxuan(int X, int Y)
{
    RunWarp(int(WarpKind::Sphericalyouxuan), X, Y, Tools->TrackBar3, Tools->TrackBar4, false);
}
void TWork_area::Sphericalzuoxuan(int X, int Y)
{
    RunWarp(int(WarpKind::Sphericalzuoxuan), X, Y, Tools->TrackBar3, Tools->TrackBar4, false);
}
void TWork_area::Verticalpengzhang(int X, int Y)
{
    RunWarp(int(WarpKind::Verticalpengzhang), X, Y, Tools->TrackBar1, Tools->TrackBar2, false);
}
void TWork_area::Verticalshousuo(int X, int Y)
{
    RunWarp(int(WarpKind::Verticalshousuo), X, Y, Tools->TrackBar1, Tools->TrackBar2, false);
}
void TWork_area::Horizontalpengzhang(int X, int Y)
{
    RunWarp(int(WarpKind::Horizontalpengzhang), X, Y, Tools->TrackBar1, Tools->TrackBar2, false);
}
void TWork_area::Horizontalshousuo(int X, int Y)
{
    RunWarp(int(WarpKind::Horizontalshousuo), X, Y, Tools->TrackBar1, Tools->TrackBar2, false);
}

void TWork_area::tumopic(int X, int Y)
{
    const int B = ToPicture(Tools->TrackBar3->Position(), State.zoomPercent);
    State.cursorRadius = Tools->TrackBar3->Position();
    BarProgress progress(Tools->ProgressBar1);
    const QRect written = SmearInPlace(Image1->picture(), State.clickX, State.clickY, ToPicture(X, State.zoomPercent),
                                       ToPicture(Y, State.zoomPercent), B, progress);
    Image1->pictureChanged(written);
}

}  // namespace pf

namespace pf {

void TWork_area::EraseTheSpot(int X, int Y)
{
    QImage& picture = Image1->picture();
    const QRect touched = EraseTheSpotRect(picture.size(), X, Y, State.cursorRadius, State.zoomPercent);
    if (touched.isEmpty())
        return;
    pf::EraseTheSpot(picture, X, Y, State.cursorRadius, State.zoomPercent);
    Image1->pictureChanged(touched);
}

}  // namespace pf
