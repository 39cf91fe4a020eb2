#include "ui/messages.h"

#include <QApplication>

namespace pf {

namespace {
MessageAnswerer g_answerer;
}

void SetMessageAnswerer(MessageAnswerer answerer) { g_answerer = std::move(answerer); }

QMessageBox::StandardButton ShowMessage(const QString& text, const QString& caption, QMessageBox::Icon icon,
    QMessageBox::StandardButtons buttons)
{
    if (g_answerer)
        return g_answerer(text, caption, buttons);
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    return QMessageBox::StandardButton(box.exec());
}

void ShowError(const QString& text)
{
    ShowMessage(text, QStringLiteral("Pullface"), QMessageBox::Critical);
}

}  // namespace pf
