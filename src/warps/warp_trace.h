// Looking inside the warps: which destination pixels a warp writes and from which source
// position, without any pixels. For tests and for checking the engine against other code.
#pragma once

#include "warps/warps.h"

#include <QSize>
#include <vector>

namespace pf {

// One destination pixel a warp writes: its position and the source position its mapping gives,
// before the sampler's clamping. nearest: the pixel is read without blending, at
// (Round(sx), Round(sy)) clamped into the picture; otherwise through the sampler.
struct WarpVisit {
    int x = 0, y = 0;
    double sx = 0, sy = 0;
    bool nearest = false;
};

// Every pixel of a picture of the given size that the warp writes, each with its source.
// The order is the engine's own, not necessarily the scan order; progress is stepped as by the
// warp itself.
std::vector<WarpVisit> TraceWarp(WarpKind kind, QSize picture, int X, int Y, int r, int d, WarpProgress& progress);
std::vector<WarpVisit> TraceSmear(QSize picture, int pressX, int pressY, int releaseX, int releaseY, int brushRadius,
                                  WarpProgress& progress);

// The sampler computed wholly in 80-bit extended precision (no double fast path); clamps x and
// y in place like xiangsujuhe and must always agree with it.
TColor SampleExtended(double& x, double& y, const QImage& source);

}  // namespace pf
