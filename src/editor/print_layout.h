// Where the picture goes on the printed page.
#pragma once

#include <QRect>
#include <QSize>

namespace pf {

// The rectangle, in printer pixels, into which a picture is drawn on a page: small pictures are
// doubled while both sides stay under half the page's, then centred (integer division toward
// zero). A picture larger than the page is scaled down to fit, keeping its proportions, centred.
QRect PrintRect(QSize picture, QSize page);

}  // namespace pf
