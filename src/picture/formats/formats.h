// Opening and saving pictures: JPEG, BMP, GIF, ICO, WMF, EMF and PNG in, JPEG, BMP, WMF and PNG out.
//
// Every picture that comes out of here is in PictureFormat (24 bits, bytes blue, green, red).
// Every failure is a PictureError whose message names the file and the problem in plain words;
// nothing is half-done: a failed open returns nothing, a failed save leaves the old file as it was.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <stdexcept>

namespace pf {

// Pictures beyond these are refused before any pixel memory is allocated.
constexpr int kMaxPictureSide = 32767;
constexpr int64_t kMaxPicturePixels = int64_t(256) * 1024 * 1024;  // 256 megapixels (16384 x 16384)

// What went wrong, for callers that react to the kind of failure.
enum class PictureProblem {
    MissingFile,   // no file of that name
    UnknownType,   // the name's ending names no type this program opens
    ReadFailed,    // the file exists but could not be read
    Empty,         // the file has no bytes
    Truncated,     // the file ends before the picture does
    Corrupt,       // the contents break the format's rules
    Unsupported,   // a valid file using a feature this program does not read
    TooLarge,      // the picture exceeds kMaxPictureSide or kMaxPicturePixels
    NoApplication, // metafiles need the running application (its fonts) to be drawn
    WriteFailed,   // saving failed; any earlier file of that name is untouched
};

class PictureError : public std::runtime_error {
public:
    PictureError(PictureProblem problem, const QString& message);
    PictureProblem problem() const { return problem_; }
    QString text() const { return QString::fromUtf8(what()); }

private:
    PictureProblem problem_;
};

// An icon file that failed to open; the main window answers it with its "Exit" box.
class IconError : public PictureError {
public:
    using PictureError::PictureError;
};

// The picture types, as chosen by the last four characters of a file name, upper-cased:
// ".JPG" and "JPEG" JPEG, ".BMP", ".GIF", ".ICO", ".WMF", ".EMF", ".PNG"; anything else Unknown.
enum class PictureType { Unknown, Jpeg, Bitmap, Gif, Icon, Metafile, EnhancedMetafile, Png };
PictureType PictureTypeOf(const QString& fileName);

// Opens the picture file: the reader is chosen by PictureTypeOf(fileName). Throws PictureError
// (IconError for icon files) when the file is missing, of an unknown type, unreadable, truncated,
// corrupt, unsupported or too large. Metafiles (WMF, EMF) need a QGuiApplication for their fonts.
QImage LoadPicture(const QString& fileName);

// Decodes a picture held in memory; fileName only names the picture in error messages.
QImage DecodePicture(const QByteArray& data, PictureType type, const QString& fileName);

// The save dialog's file types: 1 JPEG, 2 BMP, 3 WMF, 4 PNG.
constexpr int kSaveJpeg = 1;
constexpr int kSaveBitmap = 2;
constexpr int kSaveMetafile = 3;
constexpr int kSavePng = 4;

// The name a save with the given file type writes: the text from the last dot of the name part is
// replaced by the type's extension (".jpg", ".bmp", ".wmf", ".png"), or the extension is appended
// when the name part has no dot. Any other filter index leaves the name as it is.
QString ForceExtension(const QString& fileName, int filterIndex);

// Saves the picture under ForceExtension(fileName, filterIndex) in the chosen type. Any other
// filter index does nothing. The file is written through a temporary file in the same folder and
// renamed into place only when complete. Throws PictureError (WriteFailed) on failure.
void SavePicture(const QImage& picture, const QString& fileName, int filterIndex);

// Writes the picture as a Windows metafile under the name with its extension replaced by ".wmf".
void SaveMetafile(const QImage& picture, const QString& fileName);

// The encoders behind SavePicture, for callers that need the bytes (mail, clipboard, tests).
QByteArray EncodeJpeg(const QImage& picture);      // libjpeg at jpeg_set_defaults (quality 75)
QByteArray EncodeBitmap(const QImage& picture);    // 24-bit BMP
QByteArray EncodeMetafile(const QImage& picture);  // placeable WMF holding one 24-bit STRETCHDIB
QByteArray EncodePng(const QImage& picture);

// Writes bytes to exactly fileName through a temporary file in the same folder; throws
// PictureError (WriteFailed) when that fails, leaving any existing file untouched.
void WriteFileSafely(const QByteArray& bytes, const QString& fileName);

}  // namespace pf
