// Message boxes. Every box the program shows goes through here, so that the answer can be
// supplied without a person in front of the screen (tests install an answerer).
#pragma once

#include <QMessageBox>
#include <QString>
#include <exception>
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

// Runs a command; an exception it throws is shown in an error box and goes no further, so the
// program carries on with the state the command left (commands change the picture last).
template <class F>
void Guard(F&& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

// A slot that runs obj->method(args...) under Guard.
template <class T, class... A>
auto Guarded(T* obj, void (T::*method)(A...))
{
    return [obj, method](A... args) { Guard([&] { (obj->*method)(args...); }); };
}

}  // namespace pf
