// Opening and saving pictures.
#include "editor/editor_state.h"
#include "picture/formats/formats.h"
#include "ui/dialogs.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/messages.h"
#include "ui/work_area/work_area.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace pf {

const char* const TForm1::OpenFilter =
    "*.jpg (*.jpg);;*.jpeg (*.jpeg);;*.bmp (*.bmp);;*.wmf (*.wmf);;*.emf (*.emf);;*.gif (*.gif);;*.png (*.png);;"
    "All files (*)";
const char* const TForm1::SaveFilter = "*.jpg (*.jpg);;*.bmp (*.bmp);;*.wmf (*.wmf);;*.png (*.png)";

void TForm1::Open1Click()
{
    // Cancelling the dialog, or a file that can't be read, leaves the picture, the picture
    // Restore returns to and the history as they were.
    if (OpenPictureFile())
        FinishOpen();
}

bool TForm1::OpenPictureFile()
{
    const FileDialogResult chosen = RunOpenDialog(this, OpenFilter);
    if (!chosen.accepted)
        return false;
    return LoadIntoPicture(chosen.fileName);
}

bool TForm1::LoadIntoPicture(const QString& fileName)
{
    QImage loaded;
    try {
        loaded = LoadPicture(fileName);
    } catch (const IconError& e) {
        ShowMessage("Input picture" + fileName + "Error." + e.text(), "Exit", QMessageBox::Warning);
        return false;
    } catch (const PictureError& e) {
        ShowMessage(e.text(), "Pullface", QMessageBox::Warning);
        return false;
    }
    Work_area->Image1->setPicture(loaded);
    return true;
}

void TForm1::FinishOpen()
{
    // A copy of its own, so that the first edit of the picture doesn't have to copy it.
    State.openedPicture = Work_area->Image1->picture().copy();
    ShowFirstPageAndResetHistory();
    ApplyDisplaySize();
}

void TForm1::OpenFile(const QString& fileName)
{
    if (LoadIntoPicture(fileName))
        FinishOpen();
}

static QString DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

void TForm1::dragEnterEvent(QDragEnterEvent* e)
{
    if (!DroppedFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e)
{
    const QString file = DroppedFile(e->mimeData());
    if (file.isEmpty())
        return;
    e->acceptProposedAction();
    Guard([&] { OpenFile(file); });
}

void TForm1::Save1Click()
{
    const FileDialogResult chosen = RunSaveDialog(this, SaveFilter, lastSaveFilter_);
    if (!chosen.accepted || chosen.filterIndex < kSaveJpeg || chosen.filterIndex > kSavePng)
        return;
    lastSaveFilter_ = chosen.filterIndex;
    const QString target = ForceExtension(chosen.fileName, chosen.filterIndex);
    if (QFileInfo::exists(target)
        && ShowMessage(QFileInfo(target).fileName() + " already exists.\nDo you want to replace it?", "Pullface",
                       QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    SavePicture(Work_area->Image1->picture(), target, chosen.filterIndex);
}

}  // namespace pf
