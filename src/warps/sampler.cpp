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
    uchar bgr[3];
    detail::SampleBGR(view, x, y, bgr);
    return RGBColor(bgr[2], bgr[1], bgr[0]);
}

TColor SampleExtended(double& x, double& y, const QImage& source)
{
    CheckSource(source, "SampleExtended");
    const detail::SourceView view(source);
    int x0, y0;
    const uchar* p0 = detail::ClampPosition(view, x, y, x0, y0);
    const uchar* p1 = p0 + view.rowStep;
    const int cs = view.colStep;
    int c[3];
    for (int ch = 0; ch < 3; ++ch)
        c[ch] = detail::BlendExtended(p0[ch], p1[ch], p0[ch + cs], p1[ch + cs], x, x0, y, y0);
    return RGBColor(c[2], c[1], c[0]);
}

}  // namespace pf
