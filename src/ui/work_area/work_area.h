// The work area: the picture window. Turns pointer actions on the picture into tool actions,
// pans and zooms the view, and shows the brush outline and the selection band over it.
#pragma once

#include "platform/pointer_confine.h"
#include "ui/work_area/image_control.h"

#include <QMdiSubWindow>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <functional>
#include <vector>

class QScrollArea;
class QScrollBar;

namespace pf {

class TOverlay;
class TTrackBar;

// One pixel of the marching-ants band and whether it is painted white.
struct AntsPixel {
    QPoint p;
    bool white;
    bool operator==(const AntsPixel&) const = default;
};
// The band's walk from the anchor (Left, Top) round the four legs, starting from `phase`.
std::vector<AntsPixel> AntsWalk(const QRect& band, unsigned char phase);
// The normalised rectangle of two corners.
QRect OrderRect(QPoint a, QPoint b);

class TWork_area : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TWork_area(QWidget* parent = nullptr);
    ~TWork_area() override;

    TImage* Image1 = nullptr;
    QScrollArea* scroll = nullptr;
    QScrollBar* HorzScrollBar() const;
    QScrollBar* VertScrollBar() const;
    QTimer Timer1;                      // held-warp repeat, 1000 ms
    QTimer Timer2;                      // marching ants, 100 ms

    // Selection band in form (viewport) coordinates: (Left, Top) anchor, (Right, Bottom) the
    // corner following the pointer; all zero = no band.
    struct Band { int Left = 0, Top = 0, Right = 0, Bottom = 0; } Rect1;
    QRect BrushRect{-200, -200, 0, 0};  // stored as (left, top, right, bottom) via coords
    QPoint BrushArcPoint{-200, -200};
    unsigned char AntsPhase = 128;
    bool brushShown = false;

    // Pointer handling (control coordinates of Image1).
    void Image1MouseDown(Qt::MouseButton button, Qt::MouseButtons shift, int X, int Y);
    void Image1MouseMove(Qt::MouseButtons shift, int X, int Y);
    void Image1MouseUp(Qt::MouseButton button, Qt::MouseButtons shift, int X, int Y);
    void Image1Click();
    void Timer1Timer();
    void Timer2Timer();
    void FormMouseWheel(int delta);
    void WheelMessageHook(int delta);   // a wheel turn while the pointer is over Image1
    void UserScrolled();                // the user worked a scroll bar

    // Warp dispatch by the tool chosen; each works at (X, Y) in picture pixels.
    void SphericalStretch(int X, int Y);
    void VerticalStretch(int X, int Y);
    void HorizontalStretch(int X, int Y);
    void Sphericalpengzhang(int X, int Y);
    void Sphericalshousuo(int X, int Y);
    void Sphericalyouxuan(int X, int Y);
    void Sphericalzuoxuan(int X, int Y);
    void Verticalpengzhang(int X, int Y);
    void Verticalshousuo(int X, int Y);
    void Horizontalpengzhang(int X, int Y);
    void Horizontalshousuo(int X, int Y);
    void tumopic(int X, int Y);         // smear, release point in control coordinates
    void EraseTheSpot(int X, int Y);    // eraser, control coordinates
    // The frame every click warp runs in: radius and depth from the page's sliders at the
    // current zoom, the progress bar stepped, the result put into the picture.
    void RunWarp(int kind, int X, int Y, const TTrackBar* radiusSlider, const TTrackBar* depthSlider,
                 bool progressFirst);

    // Overlays.
    void DrawTheRect1();
    void RemoveTheRect1();
    void RemoveTheRect2();
    void DrawTheBrush();
    void RemoveTheBrush();
    void setsigncursor();
    void ConfineCursorToImage();
    void FreeCursorClip();
    bool selectionBandShown() const;
    PointerConfinement confinement;

    // Called (when set) at every warp dispatch: which dispatcher, and where.
    std::function<void(const char* dispatcher, int X, int Y)> warpObserver;

    void FormCreate();
    void FormShow();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TOverlay;
    TOverlay* overlay_ = nullptr;
    bool shown_ = false;
};

}  // namespace pf
