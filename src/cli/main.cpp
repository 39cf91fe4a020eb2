// pullface-cli: applies the editor's tools to picture files, one step after another.
#include "editor/picture_edits.h"
#include "picture/formats/formats.h"
#include "picture/picture.h"
#include "picture/zoom.h"
#include "sketch/sketch.h"
#include "warps/warps.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const kUsage = R"(Usage: pullface-cli [--zoom PERCENT] INPUT OUTPUT [STEP ARG...]...

Reads INPUT (.jpg .jpeg .bmp .gif .ico .wmf .emf .png), applies the steps in order, each as one
completed action in the editor, and writes OUTPUT by its extension (.jpg .bmp .wmf .png).
X Y are picture pixels (0-based). Radius R, depth D and thickness T are tool-panel slider values
in screen pixels, turned into picture pixels at the zoom: Round(value / PERCENT x 100), halves to
even. --zoom defaults to 100. Values outside the sliders' ranges are accepted when positive.

  step                          arguments (defaults)                 what it is in the editor
  expand X Y [R [D]]            R 50; D 15, or Round(R/3) with R     distort page, spherical, expand
  shrink X Y [R [D]]            same                                 spherical shrink
  vexpand, vshrink X Y [R [D]]  same                                 vertical stretch
  hexpand, hshrink X Y [R [D]]  same                                 horizontal stretch
  twist-right X Y [R [D]]       R 100; D 10, or Round(R/10) with R   spiral page, twist right
  twist-left X Y [R [D]]        same                                 twist left
  smear X1 Y1 X2 Y2 [R]         R 100                                smear pressed at X1 Y1, released at X2 Y2
  pen [T]                       T 150                                sketch page, pen drawing
  pencil [P]                    P 45                                 sketch page, pencil drawing
  redeye                                                             red-eye removal
  erase X Y [T]                 T 25                                 one eraser spot centred at X Y
  crop X Y W H                                                       crop to W x H from pixel X Y
  resize W H                                                         picture size dialog, OK

A warp step is one click. A depth that rounds to 0 leaves the picture unchanged.
Exit status: 0 on success; 2 with one line on standard error for bad arguments or files,
in which case OUTPUT is neither created nor changed.
)";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Args {
public:
    Args(std::vector<std::string> a) : a_(std::move(a)) {}
    bool done() const { return i_ >= a_.size(); }
    std::string next(const std::string& what)
    {
        if (done())
            throw UsageError("missing " + what);
        return a_[i_++];
    }
    // An optional number: taken only when the next word is a number.
    bool nextIsNumber() const { return !done() && IsNumber(a_[i_]); }
    static bool IsNumber(const std::string& s)
    {
        if (s.empty())
            return false;
        size_t k = (s[0] == '-' || s[0] == '+') ? 1 : 0;
        if (k == s.size())
            return false;
        for (; k < s.size(); ++k)
            if (s[k] < '0' || s[k] > '9')
                return false;
        return s.size() < 11;
    }
    long long number(const std::string& step, const std::string& what)
    {
        const std::string s = next(what + " for " + step);
        if (!IsNumber(s))
            throw UsageError(step + ": " + what + " '" + s + "' is not a whole number");
        return std::stoll(s);
    }
    int coordinate(const std::string& step, const std::string& what)
    {
        const long long v = number(step, what);
        if (v < -pf::kMaxWarpCoordinate || v > pf::kMaxWarpCoordinate)
            throw UsageError(step + ": " + what + " " + std::to_string(v) + " is out of range");
        return int(v);
    }
    int positive(const std::string& step, const std::string& what)
    {
        const long long v = number(step, what);
        if (v <= 0 || v > pf::kMaxWarpRadius)
            throw UsageError(step + ": " + what + " must be a positive number, not " + std::to_string(v));
        return int(v);
    }

private:
    std::vector<std::string> a_;
    size_t i_ = 0;
};

int OutputFilter(const QString& name)
{
    const QString ext = QFileInfo(name).suffix().toLower();
    if (ext == "jpg" || ext == "jpeg")
        return pf::kSaveJpeg;
    if (ext == "bmp")
        return pf::kSaveBitmap;
    if (ext == "wmf")
        return pf::kSaveMetafile;
    if (ext == "png")
        return pf::kSavePng;
    return 0;
}

QByteArray Encode(const QImage& picture, int filter)
{
    switch (filter) {
    case pf::kSaveJpeg: return pf::EncodeJpeg(picture);
    case pf::kSaveBitmap: return pf::EncodeBitmap(picture);
    case pf::kSaveMetafile: return pf::EncodeMetafile(picture);
    default: return pf::EncodePng(picture);
    }
}

struct Warp {
    const char* name;
    pf::WarpKind kind;
    bool spiral;
};
const Warp kWarps[] = {
    {"expand", pf::WarpKind::Sphericalpengzhang, false},  {"shrink", pf::WarpKind::Sphericalshousuo, false},
    {"vexpand", pf::WarpKind::Verticalpengzhang, false},  {"vshrink", pf::WarpKind::Verticalshousuo, false},
    {"hexpand", pf::WarpKind::Horizontalpengzhang, false}, {"hshrink", pf::WarpKind::Horizontalshousuo, false},
    {"twist-right", pf::WarpKind::Sphericalyouxuan, true}, {"twist-left", pf::WarpKind::Sphericalzuoxuan, true},
};

// One step, applied to the picture; the picture changes only when the step succeeds.
void RunStep(const std::string& step, Args& args, QImage& picture, double zoom)
{
    pf::WarpProgress progress;
    for (const Warp& w : kWarps) {
        if (step != w.name)
            continue;
        const int X = args.coordinate(step, "X"), Y = args.coordinate(step, "Y");
        int R = w.spiral ? 100 : 50, D = w.spiral ? 10 : 15;
        if (args.nextIsNumber()) {
            R = args.positive(step, "radius");
            D = w.spiral ? pf::Round(R / 10.0) : pf::Round(R / 3.0);
            if (args.nextIsNumber())
                D = args.positive(step, "depth");
        }
        const int r = pf::ToPicture(R, zoom), d = pf::ToPicture(D, zoom);
        QImage out = picture.copy();
        pf::WarpInPlace(out, w.kind, X, Y, r, d, progress);
        picture = out;
        return;
    }
    if (step == "smear") {
        const int x1 = args.coordinate(step, "X1"), y1 = args.coordinate(step, "Y1");
        const int x2 = args.coordinate(step, "X2"), y2 = args.coordinate(step, "Y2");
        const int R = args.nextIsNumber() ? args.positive(step, "radius") : 100;
        QImage out = picture.copy();
        pf::SmearInPlace(out, x1, y1, x2, y2, pf::ToPicture(R, zoom), progress);
        picture = out;
    } else if (step == "pen") {
        const int T = args.nextIsNumber() ? args.positive(step, "threshold") : 150;
        if (T > 255)
            throw UsageError("pen: the threshold must be 1 to 255, not " + std::to_string(T));
        picture = pf::twovalue(pf::picsobel(picture), T);
    } else if (step == "pencil") {
        const long long P = args.nextIsNumber() ? args.number(step, "contrast") : 45;
        if (P < 0 || P > 89)
            throw UsageError("pencil: the contrast must be 0 to 89, not " + std::to_string(P));
        picture = pf::pencil(pf::picsobel(picture), int(P));
    } else if (step == "redeye") {
        picture = pf::RedEye(picture);
    } else if (step == "erase") {
        const int X = args.coordinate(step, "X"), Y = args.coordinate(step, "Y");
        const int T = args.nextIsNumber() ? args.positive(step, "thickness") : 25;
        // The spot is centred on the picture pixel itself; only the thickness is scaled by the zoom.
        QImage out = picture.copy();
        pf::EraseTheSpot(out, X, Y, pf::ToPicture(T, zoom), 100.0);
        picture = out;
    } else if (step == "crop") {
        const int X = args.coordinate(step, "X"), Y = args.coordinate(step, "Y");
        const int W = args.positive(step, "width"), H = args.positive(step, "height");
        QImage part = pf::CopySelection(picture, X + 1, Y + 1, X + W, Y + H);
        if (part.isNull())
            throw UsageError("crop: the rectangle " + std::to_string(W) + " x " + std::to_string(H) + " at "
                             + std::to_string(X) + ", " + std::to_string(Y) + " has no pixel inside the picture");
        picture = part;
    } else if (step == "resize") {
        const int W = args.positive(step, "width"), H = args.positive(step, "height");
        if (!pf::PictureSizeAllowed(W, H))
            throw UsageError("resize: " + std::to_string(W) + " x " + std::to_string(H)
                             + " is beyond 32767 pixels a side or 256 megapixels");
        picture = pf::ZoomInOut(picture, W, H);
    } else {
        throw UsageError("unknown step '" + step + "' (see --help)");
    }
}

int Run(std::vector<std::string> words)
{
    for (const std::string& w : words)
        if (w == "--help" || w == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    Args args(std::move(words));
    double zoom = 100;
    std::string first = args.next("INPUT (see --help)");
    if (first == "--zoom") {
        const std::string z = args.next("the zoom percentage after --zoom");
        try {
            size_t used = 0;
            zoom = std::stod(z, &used);
            if (used != z.size())
                throw std::invalid_argument(z);
        } catch (const std::exception&) {
            throw UsageError("--zoom: '" + z + "' is not a number");
        }
        if (!(zoom >= 1 && zoom <= 6400))
            throw UsageError("--zoom: " + z + " is outside 1 to 6400 percent");
        first = args.next("INPUT (see --help)");
    }
    const QString input = QString::fromLocal8Bit(first.c_str());
    const QString output = QString::fromLocal8Bit(args.next("OUTPUT (see --help)").c_str());
    const int filter = OutputFilter(output);
    if (filter == 0)
        throw UsageError("cannot write '" + output.toStdString() + "': the name must end in .jpg, .bmp, .wmf or .png");
    QImage picture = pf::LoadPicture(input);
    while (!args.done()) {
        const std::string step = args.next("a step");
        RunStep(step, args, picture, zoom);
    }
    pf::WriteFileSafely(Encode(picture, filter), output);
    return 0;
}

}  // namespace

// The tool speaks only through its exit status and one line on error: Qt's own chatter
// (missing runtime folders and the like) is not for the user.
static void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

int main(int argc, char** argv)
{
    qInstallMessageHandler(Quiet);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);   // metafiles are drawn with the application's fonts
    std::vector<std::string> words(argv + 1, argv + argc);
    try {
        return Run(std::move(words));
    } catch (const std::exception& e) {
        std::string line = e.what();
        for (char& c : line)
            if (c == '\n')
                c = ' ';
        std::fprintf(stderr, "pullface-cli: %s\n", line.c_str());
        return 2;
    }
}
