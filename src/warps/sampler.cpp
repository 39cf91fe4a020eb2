#include "warps/sampler.h"
#include "warps/warp_trace.h"
#include "warps/warps.h"

#include <stdexcept>

namespace pf {

namespace {

void CheckSource(const QImage& source, const char* who)
{
    if (source.isNull())
        throw std::invalid_argument(std::string(who) + ": the source picture is empty");
    if (source.format() != PictureFormat)
        throw std::invalid_argument(std::string(who) + ": the source picture is not a 24-bit picture");
}

}  // namespace

TColor xiangsujuhe(double& x, double& y, const QImage& source)
{
    CheckSource(source, "xiangsujuhe");
    const detail::SourceView view(source);
    const detail::Cell c = detail::Locate(view, x, y);
    x = c.x;
    y = c.y;
    uchar bgr[3];
    detail::BlendPortable(c, view.rowStep, view.colStep, bgr);
    return RGBColor(bgr[2], bgr[1], bgr[0]);
}

TColor SampleExtended(double& x, double& y, const QImage& source)
{
    CheckSource(source, "SampleExtended");
    const detail::SourceView view(source);
    const detail::Cell c = detail::Locate(view, x, y);
    x = c.x;
    y = c.y;
    const uchar* p0 = c.p0;
    const uchar* p1 = p0 + view.rowStep;
    const int cs = view.colStep;
    int v[3];
    for (int ch = 0; ch < 3; ++ch)
        v[ch] = detail::BlendExtended(p0[ch], p1[ch], p0[ch + cs], p1[ch + cs], c.x, c.x0, c.y, c.y0);
    return RGBColor(v[2], v[1], v[0]);
}

}  // namespace pf
