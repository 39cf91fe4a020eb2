// Handing a message with attachments to the user's mail program. The message is built as
// records (a message, at most one recipient, the attachments) from a name=value request, and
// given to the desktop's mail composer, which opens a compose window filled in with it.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace pf {

constexpr uint32_t MAPI_LOGON_UI = 0x1;
constexpr uint32_t MAPI_NEW_SESSION = 0x2;
constexpr uint32_t MAPI_DIALOG = 0x8;
constexpr uint32_t MAPI_TO = 1;
constexpr uint32_t SUCCESS_SUCCESS = 0;
constexpr uint32_t MAPI_USER_ABORT = 1;   // also: no mail program to hand the message to

struct MapiRecipDesc {
    uint32_t ulReserved = 0;
    uint32_t ulRecipClass = 0;
    QString lpszName;
    QString lpszAddress;
    uint32_t ulEIDSize = 0;
};

struct MapiFileDesc {
    uint32_t ulReserved = 0;
    uint32_t flFlags = 0;
    uint32_t nPosition = 0xFFFFFFFF;   // not placed inside the body text
    QString lpszPathName;
    QString lpszFileName;
};

struct MapiMessage {
    uint32_t ulReserved = 0;
    QString lpszSubject;
    QString lpszNoteText;
    uint32_t flFlags = 0;
    std::vector<MapiRecipDesc> lpRecips;   // nRecipCount = size()
    std::vector<MapiFileDesc> lpFiles;     // nFileCount = size()
};

// The value of `name` in a name=value list ("" when missing).
QString RequestValue(const QStringList& request, const QString& name);

// The records for a request: "to" (one recipient, address "SMTP:" + value), "subject", "body",
// and "attachment0", "attachment1", ... up to the first missing or empty one.
MapiMessage BuildMapiMessage(const QStringList& request);

// The flags a send uses: logon UI and a new session, plus the dialog when there is a window.
uint32_t MailFlags(uintptr_t window);

// Hands the message to the desktop's mail composer (xdg-email), detached: never waits for it.
// Returns SUCCESS_SUCCESS when the composer was started, MAPI_USER_ABORT when there is none or
// it could not be started (nothing is sent then).
uint32_t MAPISendMail(uintptr_t session, uintptr_t uiParam, const MapiMessage& message, uint32_t flags,
                      uint32_t reserved);

// Builds the records from the request and sends them; returns MAPISendMail's result.
uint32_t SendMailMessage(uintptr_t window, const QStringList& request);

}  // namespace pf
