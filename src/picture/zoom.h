// Resampling the whole picture to a new size.
#pragma once

#include <QImage>

namespace pf {

// The picture resampled to width x height: each new pixel is the average colour of the picture
// area it covers when reducing, a smooth blend when enlarging. Throws std::invalid_argument for
// a size below 1 x 1 or beyond the picture limits.
QImage ZoomInOut(const QImage& picture, int width, int height);

// Whether the editor handles a picture of this size (kMaxPictureSide, kMaxPicturePixels).
bool PictureSizeAllowed(long long width, long long height);

}  // namespace pf
