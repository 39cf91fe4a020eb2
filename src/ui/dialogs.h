// The standard dialogs the commands run: open, save and print. Each goes through here so that
// the answer can be given without a person in front of the screen (tests install an answerer).
#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace pf {

struct FileDialogResult {
    bool accepted = false;
    QString fileName;
    int filterIndex = 1;   // 1-based, as the filter list is written
};

// filters: the entries separated by ";;". initialFilter: 1-based.
FileDialogResult RunOpenDialog(QWidget* parent, const QString& filters);
FileDialogResult RunSaveDialog(QWidget* parent, const QString& filters, int initialFilter);
bool RunPrintDialog(QWidget* parent, QPrinter& printer);

struct DialogAnswerers {
    std::function<FileDialogResult(const QString& filters)> open;
    std::function<FileDialogResult(const QString& filters, int initialFilter)> save;
    std::function<bool(QPrinter& printer)> print;
};
void SetDialogAnswerers(DialogAnswerers answerers);

}  // namespace pf
