#include "platform/mail.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace pf {

QString RequestValue(const QStringList& request, const QString& name)
{
    const QString prefix = name + '=';
    for (const QString& line : request)
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    return QString();
}

MapiMessage BuildMapiMessage(const QStringList& request)
{
    MapiMessage m;
    const QString to = RequestValue(request, "to");
    if (!to.isEmpty()) {
        MapiRecipDesc r;
        r.ulRecipClass = MAPI_TO;
        r.lpszName = to;
        r.lpszAddress = "SMTP:" + to;
        m.lpRecips.push_back(r);
    }
    for (int n = 0;; ++n) {
        const QString path = RequestValue(request, "attachment" + QString::number(n));
        if (path.isEmpty())
            break;
        MapiFileDesc f;
        f.lpszPathName = path;
        f.lpszFileName = QFileInfo(path).fileName();
        m.lpFiles.push_back(f);
    }
    m.lpszSubject = RequestValue(request, "subject");
    m.lpszNoteText = RequestValue(request, "body");
    return m;
}

uint32_t MailFlags(uintptr_t window)
{
    return MAPI_LOGON_UI | MAPI_NEW_SESSION | (window != 0 ? MAPI_DIALOG : 0);
}

uint32_t MAPISendMail(uintptr_t, uintptr_t, const MapiMessage& message, uint32_t, uint32_t)
{
    const QString composer = QStandardPaths::findExecutable("xdg-email");
    if (composer.isEmpty())
        return MAPI_USER_ABORT;
    QStringList args{"--utf8"};
    if (!message.lpszSubject.isEmpty())
        args << "--subject" << message.lpszSubject;
    if (!message.lpszNoteText.isEmpty())
        args << "--body" << message.lpszNoteText;
    for (const MapiFileDesc& f : message.lpFiles)
        args << "--attach" << f.lpszPathName;
    for (const MapiRecipDesc& r : message.lpRecips) {
        QString address = r.lpszAddress;
        if (address.startsWith("SMTP:", Qt::CaseInsensitive))
            address = address.mid(5);
        args << address;
    }
    return QProcess::startDetached(composer, args) ? SUCCESS_SUCCESS : MAPI_USER_ABORT;
}

uint32_t SendMailMessage(uintptr_t window, const QStringList& request)
{
    const MapiMessage message = BuildMapiMessage(request);
    return MAPISendMail(0, window, message, MailFlags(window), 0);
}

}  // namespace pf
