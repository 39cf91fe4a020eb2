// The picture: a 24-bit bitmap whose rows are runs of three-byte pixels in the order
// blue, green, red (QImage::Format_BGR888). Copies share their pixels until one of them
// is written (QImage's implicit sharing).
#pragma once

#include <QImage>
#include <QSize>
#include <cmath>
#include <cstdint>

namespace pf {

constexpr QImage::Format PictureFormat = QImage::Format_BGR888;

// A colour as single-pixel canvas calls use it: 0x00BBGGRR, red in the low byte.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGBColor(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int GetRValue(TColor c) { return int(c & 0xFF); }
constexpr int GetGValue(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return int((c >> 16) & 0xFF); }

// Round to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Relies on the default rounding mode, which the program never changes.
inline int Round(double v) { return static_cast<int>(std::nearbyint(v)); }
inline int Round(long double v) { return static_cast<int>(std::nearbyintl(v)); }

// Screen (control) coordinate or slider value -> picture pixels: divide first, then scale.
inline int ToPicture(double c, double zoomPercent) { return Round(c / zoomPercent * 100); }

// Image1's size for a picture of the given size at the given zoom (the display size rule).
inline QSize DisplaySize(QSize picture, double zoomPercent)
{
    return QSize(Round(picture.width() * zoomPercent / 100), Round(picture.height() * zoomPercent / 100));
}

// A new picture of the given size, every byte zero (black).
QImage NewPicture(int width, int height);

// A new picture of the given size with undefined contents, or std::bad_alloc. Large pictures get
// memory of their own, marked for huge pages: filling fresh memory page by page otherwise costs
// more than most filters do.
QImage AllocatePicture(int width, int height);

// The same picture converted to the 24-bit layout; pictures already in it are shared, not copied.
QImage ToPictureFormat(const QImage& image);

// The pixels of the selection whose 1-based inclusive bounds are given (column left - 1 is the
// first one taken), clipped to the picture; a null picture when nothing of it lies inside.
QImage CopySelection(const QImage& picture, int left, int top, int right, int bottom);

// Single-pixel canvas access; a read outside gives black, a write outside is dropped.
TColor GetPixel(const QImage& picture, int x, int y);
void SetPixel(QImage& picture, int x, int y, TColor c);

}  // namespace pf
