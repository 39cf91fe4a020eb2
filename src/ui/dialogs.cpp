#include "ui/dialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace pf {

namespace {
DialogAnswerers g_answerers;

int FilterIndex(const QString& filters, const QString& chosen)
{
    const QStringList list = filters.split(";;");
    const int i = int(list.indexOf(chosen));
    return i < 0 ? 1 : i + 1;
}
}  // namespace

void SetDialogAnswerers(DialogAnswerers answerers) { g_answerers = std::move(answerers); }

FileDialogResult RunOpenDialog(QWidget* parent, const QString& filters)
{
    if (g_answerers.open)
        return g_answerers.open(filters);
    QString selected;
    const QString name = QFileDialog::getOpenFileName(parent, QString(), QString(), filters, &selected);
    return {!name.isEmpty(), name, FilterIndex(filters, selected)};
}

FileDialogResult RunSaveDialog(QWidget* parent, const QString& filters, int initialFilter)
{
    if (g_answerers.save)
        return g_answerers.save(filters, initialFilter);
    QString selected = filters.split(";;").value(initialFilter - 1);
    // The program adds the extension of the chosen type itself, so the dialog must not.
    const QString name = QFileDialog::getSaveFileName(parent, QString(), QString(), filters, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    return {!name.isEmpty(), name, FilterIndex(filters, selected)};
}

bool RunPrintDialog(QWidget* parent, QPrinter& printer)
{
    if (g_answerers.print)
        return g_answerers.print(printer);
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace pf
