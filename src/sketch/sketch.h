// The sketch page's filters as pure functions: the edge map, pen and pencil drawing, red-eye
// removal (a 3 x 3 median) and the eraser's disc. None of them touches a window or the editor
// state; the tools panel and the work area read their sliders and the zoom, call these, put the
// result into the picture and push the history step themselves.
//
// Pictures are taken in any QImage format (converted to the 24-bit picture layout first) and
// returned in pf::PictureFormat. A null picture or an argument outside its range throws
// std::invalid_argument and changes nothing.
#pragma once

#include "picture/picture.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <span>

namespace pf {

// ---- Grey level ------------------------------------------------------------------------------

// Round(0.3 R + 0.59 G + 0.11 B) for bytes R, G, B (0..255) as 80-bit extended arithmetic gives
// it: each byte times its extended constant (0.3L, 0.59L, 0.11L), red term plus green term, then
// plus the blue term, rounded halves to even. Evaluated in integers (30 R + 59 G + 11 B); only
// where that sum lies exactly on a half does the extended sum decide which way it goes.
int GreyLevel(int R, int G, int B);

// ---- Edge map ---------------------------------------------------------------------------------

// The inverted colour edge image of a picture, the value kept as EditorState::edgeMap. Per
// channel of every interior pixel the largest of k1 (right minus left, Sobel weights), k2 (bottom
// minus top) and k3 (left minus right, the middle right pixel weighted 2 for green), each clamped
// to 0..255 without absolute values; then every channel of the whole picture is inverted
// (v -> 255 - v), so the one-pixel frame is the inverted picture. A picture narrower or lower than
// 3 pixels gives just the inverted picture. Any width works.
QImage picsobel(const QImage& picture);

// ---- Pen drawing ------------------------------------------------------------------------------

// The pen drawing of an edge map: every pixel whose GreyLevel is <= threshold becomes black,
// every other white. threshold is the pen-pressure slider's position, 1..255 (255 gives an all
// black picture). The window passes EditorState::edgeMap and TrackBar5's position, puts the
// result into the picture and calls backup.
QImage twovalue(const QImage& edgeMap, int threshold);

// ---- Pencil drawing ---------------------------------------------------------------------------

// The usual RGB -> HSL conversion on the integer scales H 0..359, S 0..100, L 0..100:
// r = R / 255 etc. in double, L = Round(100 (max + min) / 2), S and H as usual, each rounded.
void RgbToHsl(int R, int G, int B, int& H, int& S, int& L);

// HSL -> RGB: the pure hue with the step 4.25 per degree, then saturation pulls every channel
// towards 128 by |(S - 100) / 100|, then lightness pulls towards 255 (L > 50) or 0 (L < 50) by
// |(L - 50) / 50|; every step rounded halves to even, in double. H outside 0..359 or S or L
// outside 0..100 gives black (0, 0, 0).
void HslToRgb(int H, int S, int L, int& R, int& G, int& B);

// The lightness after the contrast curve: L0 (0..100) of a grey, p the contrast (0..89). With
// t = tan(p pi / 180) in extended precision: p >= 45 gives Round(t (L0 - p - 5)) + 50, p < 45
// gives Round(t (L0 - 55)) + (100 - p); the result clamped to 0..100.
int PencilLightness(int L0, int p);

// The grey (0..255) that pencil drawing turns grey level v (0..255) into at contrast p (0..89):
// RgbToHsl(v, v, v), PencilLightness, HslToRgb.
int PencilGrey(int v, int p);

// The pencil drawing of an edge map at contrast p, the pencil-contrast slider's position 0..89
// (45 keeps the lightness; 0 gives a white picture). Every pixel becomes the grey
// PencilGrey(GreyLevel(R, G, B), p). The window passes EditorState::edgeMap and TrackBar7's
// position, puts the result into the picture and calls backup. A picture one pixel high is
// handled like any other.
QImage pencil(const QImage& edgeMap, int p);

// ---- Red-eye removal --------------------------------------------------------------------------

// Sorts values[0..n], that is n + 1 entries, into ascending order in place: for i from 0 to
// n - 1, for j from n down to i + 1, exchange values[i] and values[j] when values[j] is smaller.
// Throws std::invalid_argument when n + 1 exceeds values.size(); n < 1 sorts nothing.
void SelectionSort(std::span<int> values, int n);

// Red-eye removal: a 3 x 3 median of every interior pixel, each channel (red, green, blue) on
// its own, read from the unchanged picture; the outermost rows and columns keep their colours.
// A picture narrower or lower than 3 pixels comes back unchanged. Computed with a sorting
// network that gives the same medians as SelectionSort. The window passes the picture, sets
// cursorKind to 0 and hides the eraser's thickness controls before, puts the result into the
// picture and calls backup after (also when the picture was too small to change).
QImage RedEye(const QImage& picture);

// The same result computed the plain way: for every interior pixel and channel the nine values
// collected row by row, sorted with SelectionSort(values, 8), the fifth taken. Slow; kept as the
// reference the fast path is checked against.
QImage RedEyeBySelectionSort(const QImage& picture);

// ---- Eraser -----------------------------------------------------------------------------------

// Where one eraser spot lands, in picture pixels: centre (cx, cy) and radius r.
struct EraserSpot {
    int cx = 0;
    int cy = 0;
    int r = 0;
};

// The spot for the pointer at control coordinates X, Y of Image1 (screen pixels of the zoomed
// picture, not counting any scrolling), thickness the eraser radius in screen pixels
// (EditorState::cursorRadius, which is TrackBar8's position while the eraser is on) and
// zoomPercent (EditorState::zoomPercent, > 0): cx = Round(X / zoomPercent x 100), likewise cy,
// r = Round(thickness / zoomPercent x 100). Throws std::invalid_argument for a zoom that is not a
// positive finite number, a negative thickness, or a spot whose numbers don't fit an int.
EraserSpot EraserSpotAt(int X, int Y, int thickness, double zoomPercent);

// The picture pixels EraseTheSpot can whiten for these inputs: the spot's bounding square
// (cx - r, cy - r) .. (cx + r, cy + r) clipped to a picture of the given size; empty when the
// spot lies wholly outside.
QRect EraseTheSpotRect(QSize pictureSize, int X, int Y, int thickness, double zoomPercent);

// Whitens the eraser's disc in the picture (which must be in pf::PictureFormat): for every column
// x from cx - r to cx + r, h = Round(sqrt(r r - (x - cx)^2)), and the rows cy - h .. cy + h of that
// column. Pixels outside the picture are skipped; the picture keeps its size and is not touched
// (not even detached from its copies) when the disc misses it. The work area calls it with the
// same inputs as EraserSpotAt on every pointer move while the left button is held and the eraser
// is on; it pushes no history step (the button release does).
void EraseTheSpot(QImage& picture, int X, int Y, int thickness, double zoomPercent);

}  // namespace pf
