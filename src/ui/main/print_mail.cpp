// Printing the picture on one page and handing it to the mail program.
#include "editor/print_layout.h"
#include "picture/formats/formats.h"
#include "platform/mail.h"
#include "ui/dialogs.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/work_area/work_area.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QStandardPaths>
#include <stdexcept>

namespace pf {

const char* const TForm1::DownloadPage = "https://pullface.org/download.html";

void TForm1::SpeedButton16Click()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!RunPrintDialog(this, printer))
        return;
    const QImage& picture = Work_area->Image1->picture();
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect target = PrintRect(picture.size(), page.size());
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("The printer could not start the print job.");
    painter.setRenderHint(QPainter::SmoothPixmapTransform, target.width() < picture.width());
    painter.drawImage(target, picture);
    if (!painter.end())
        throw std::runtime_error("The print job failed.");
}

QString TForm1::MailAttachmentBase()
{
    // The program's own folder is not writable on Linux: the attachment lives in the user's cache.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!QDir().mkpath(folder))
        throw std::runtime_error("Cannot create the folder " + folder.toStdString() + " for the mail attachment.");
    return QDir(folder).filePath("mywork");
}

void TForm1::SpeedButton1Click()
{
    const QString base = MailAttachmentBase();
    SavePicture(Work_area->Image1->picture(), base + ".jpg", 1);
    const QString crlf = "\r\n";
    QStringList request;
    request << "subject=Tell you a great software--Pullface."
            << "body=Hello!" + crlf + crlf + "It is a good software. The download link is folows:" + crlf
                   + DownloadPage + crlf + crlf + "Please try it. It would give you happiness!" + crlf + "Good luck!"
            << "attachment0=" + base + ".jpg";
    SendMailMessage(uintptr_t(winId()), request);
}

}  // namespace pf
