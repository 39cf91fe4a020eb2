// Message boxes. Every box the program shows goes through here, so that the answer can be
// supplied without a person in front of the screen (tests install an answerer).
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

namespace pf {

// Shows a message box with the given text, caption, icon and buttons; returns the button chosen.
QMessageBox::StandardButton ShowMessage(const QString& text, const QString& caption = QStringLiteral("Pullface"),
    QMessageBox::Icon icon = QMessageBox::Information,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// An error box for an exception that escaped a handler.
void ShowError(const QString& text);

// When set, called instead of showing a box; its result is the button "chosen".
using MessageAnswerer = std::function<QMessageBox::StandardButton(
    const QString& text, const QString& caption, QMessageBox::StandardButtons buttons)>;
void SetMessageAnswerer(MessageAnswerer answerer);

}  // namespace pf
