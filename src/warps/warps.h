// The warp engine: the sub-pixel sampler, the eight click warps and the smear brush as pure
// functions from a source picture to a destination. Nothing here knows about windows, sliders
// or zoom; the work area converts its control coordinates and slider values to picture pixels
// and calls these.
//
// Every warp reads only `src` and writes only `dst`. The caller fills dst with the picture's
// pixels beforehand: a pixel the warp does not visit keeps what dst held. `dst` may cover just a
// part of the picture: the rectangle of dst.size() whose top-left corner is the picture point
// `dstOrigin`, so the picture pixel (x, y) lives in dst at (x - dstOrigin.x(), y - dstOrigin.y()).
// A write falling outside that rectangle or outside the picture (src's rectangle) is dropped.
// WarpBounds and SmearBounds give the smallest such rectangle that catches every write, so a
// warp on a huge picture costs what its disc costs:
//
//     QRect box = pf::WarpBounds(X, Y, r, picture.size());
//     QImage part = picture.copy(box);                 // pre-filled with the picture's pixels
//     pf::Sphericalpengzhang(picture, part, box.topLeft(), X, Y, r, d, progress);
//     // ... paint `part` back into the picture at box.topLeft()
//
// src and dst must be 24-bit pictures (pf::PictureFormat); dst may be null (nothing to write).
// dst may even share its pixels with src (a plain QImage copy): dst detaches when first written,
// and the warp always reads the untouched source. Bad arguments throw std::invalid_argument and
// change nothing.
#pragma once

#include "picture/picture.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>

namespace pf {

// Radii, depths and brush radii above this, and coordinates farther than kMaxWarpCoordinate
// from the picture's origin, are refused (std::invalid_argument). Both lie far beyond anything
// the sliders can give at the smallest zoom.
constexpr int kMaxWarpRadius = 1 << 20;
constexpr int kMaxWarpCoordinate = 1 << 26;

// The colour at the real position (x, y) of `source`, blended bilinearly from the four pixels
// around it, as TColor 0x00BBGGRR. x and y are clamped in place first, so on return they hold
// the position actually sampled:
//   rows:    0 <= y < H-1 keeps y; y >= H-1 becomes H-2; y < 0 becomes 0;
//   columns: x < 0 becomes 0; x > W-2 becomes W-2 (the last column never contributes).
// Each channel is Round(( p00*wy0 + p01*wy1 )*wx0 + ( p10*wy0 + p11*wy1 )*wx1) evaluated in
// 80-bit extended precision, halves to even. A picture one pixel wide (or high) uses its one
// column (row) twice, so a 1x1 picture always gives its pixel, and x (y) comes back as 0. A
// coordinate that is no number (NaN) counts as below the picture and comes back as 0.
// Throws std::invalid_argument for a null picture or one not in PictureFormat.
TColor xiangsujuhe(double& x, double& y, const QImage& source);

// Progress of a warp. step() is called after each finished column (or row) of the passes that
// count, an empty column included (mirror-image columns are worked together, so their steps
// come together); reset() puts the position straight back to 0 and is called only by the
// smear, at the end of each stroke class. Setting the position to its maximum and
// then to 0 at the end of a click warp is the caller's job.
struct WarpProgress {
    virtual ~WarpProgress() = default;
    virtual void step() {}
    virtual void reset() {}
};

// The click warps. X, Y: the click point (clickX, clickY) in picture pixels. r, d: warpRadius
// and warpDepth in picture pixels, which the caller converts from its two sliders:
//   r = ToPicture(radius slider, zoomPercent), d = ToPicture(second slider, zoomPercent)
// (TrackBar1/TrackBar2 for the spherical, vertical and horizontal warps, TrackBar3/TrackBar4
// for the twists). d = 0 changes nothing and steps no progress. Progress steps per call:
//   Sphericalpengzhang, Sphericalyouxuan, Sphericalzuoxuan   4 (r - 1)
//   Sphericalshousuo, Verticalshousuo, Horizontalshousuo     2 (r - 1)
//   Verticalpengzhang, Horizontalpengzhang                   2 r - 1
// (none when r <= 1, except 2 r - 1 = 1 for r = 1).
// A destination whose source has no real value (the sphere's surface does not reach above it,
// which only the rim of the vertical and horizontal expands can meet when d is close to r)
// keeps its pixel.
void Sphericalpengzhang(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);
void Sphericalshousuo(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);
void Sphericalyouxuan(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);
void Sphericalzuoxuan(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);
void Verticalpengzhang(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);
void Verticalshousuo(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);
void Horizontalpengzhang(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);
void Horizontalshousuo(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d, WarpProgress& progress);

// The same with dst covering the whole picture (dstOrigin = (0, 0)).
void Sphericalpengzhang(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);
void Sphericalshousuo(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);
void Sphericalyouxuan(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);
void Sphericalzuoxuan(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);
void Verticalpengzhang(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);
void Verticalshousuo(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);
void Horizontalpengzhang(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);
void Horizontalshousuo(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress);

// The eight click warps by kind, for dispatchers and batch tools. Returns the number of
// destination pixels written (inside dst and the picture).
enum class WarpKind {
    Sphericalpengzhang,
    Sphericalshousuo,
    Sphericalyouxuan,
    Sphericalzuoxuan,
    Verticalpengzhang,
    Verticalshousuo,
    Horizontalpengzhang,
    Horizontalshousuo,
};
std::int64_t ApplyWarp(WarpKind kind, const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r,
                       int d, WarpProgress& progress);

// The rectangle of the picture (clipped to it, possibly empty) holding every pixel any click
// warp at (X, Y) with radius r can write: (X - r, Y - r) to (X + r, Y + r).
QRect WarpBounds(int X, int Y, int r, QSize picture);

// The smear brush: pushes the picture along the stroke from the press point to the release
// point. All values in picture pixels; the caller converts:
//   pressX, pressY     = clickX, clickY (already picture pixels)
//   releaseX, releaseY = ToPicture(X, zoomPercent), ToPicture(Y, zoomPercent) from the release
//                        point X, Y in Image1's control coordinates
//   brushRadius        = ToPicture(TrackBar3.Position, zoomPercent)
// and sets cursorRadius := TrackBar3.Position itself. The stroke's direction classes (up-left,
// down-right, up-right, down-left, left, right, down, up) are tested in that order, each against
// the release point as the classes before it left it (a class that applies moves it to its end
// point); every class that applies repaints its own disc from the untouched source over dst, so
// a steep diagonal that ends on the press point's column is finished by the vertical class.
// progress: one step per disc column, reset() after each class that applied. Releasing on the
// press point, or a brush radius of 0, changes nothing.
void tumopic(const QImage& src, QImage& dst, QPoint dstOrigin, int pressX, int pressY, int releaseX, int releaseY,
             int brushRadius, WarpProgress& progress);
void tumopic(const QImage& src, QImage& dst, int pressX, int pressY, int releaseX, int releaseY, int brushRadius,
             WarpProgress& progress);
// As tumopic; returns the number of destination pixels written (a pixel repainted by a later
// class counts again).
std::int64_t ApplySmear(const QImage& src, QImage& dst, QPoint dstOrigin, int pressX, int pressY, int releaseX,
                        int releaseY, int brushRadius, WarpProgress& progress);

// The rectangle of the picture (clipped, possibly empty) holding every pixel the smear with
// these arguments can write. Refuses what tumopic refuses (std::invalid_argument).
QRect SmearBounds(int pressX, int pressY, int releaseX, int releaseY, int brushRadius, QSize picture);

}  // namespace pf
