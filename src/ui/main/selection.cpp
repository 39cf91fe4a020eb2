// Select mode, crop, copy and paste.
#include "editor/editor_state.h"
#include "picture/picture.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/tools/tools.h"
#include "ui/work_area/work_area.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pf {

namespace {

const char* const kSelectHint = "选择剪切区域 ";

void SetNotebookHint(bool on) { Tools->TabbedNotebook1->setToolTip(on ? QString::fromUtf8(kSelectHint) : QString()); }

// The crop button shown pressed (releasing the select button) and disabled.
void PressCropButton(TForm1* f)
{
    f->SpeedButton11->setChecked(true);
    f->SpeedButton11->setEnabled(false);
}

}  // namespace

void TForm1::SpeedButton2Click()
{
    if (State.selectMode) {
        State.selectMode = false;
        PressCropButton(this);
        Work_area->RemoveTheRect2();
        Work_area->Image1->setShowHint(true);
        SetNotebookHint(false);
    } else {
        State.selectMode = true;
        Tools->ShowFirstPage();
        Work_area->RemoveTheBrush();
        Work_area->Image1->setShowHint(false);
        SetNotebookHint(true);
    }
    Work_area->Image1->setCursor(Qt::CrossCursor);
}

void TForm1::SpeedButton11Click()
{
    Work_area->RemoveTheRect2();
    // The selection is clipped to the picture; a selection with nothing inside crops nothing.
    const QImage part = CopySelection(Work_area->Image1->picture(), State.selLeft, State.selTop, State.selRight,
                                      State.selBottom);
    if (part.isNull())
        return;
    ReplacePicture(part);
    State.selectMode = false;
    SpeedButton11->setEnabled(false);
    action(6)->setEnabled(false);
    SetNotebookHint(false);
    ShowFirstPageAndResetHistory();
    Work_area->setsigncursor();
}

void TForm1::Action6Execute()
{
    if (!action(6)->isEnabled())
        return;
    const QImage part = CopySelection(Work_area->Image1->picture(), State.selLeft, State.selTop, State.selRight,
                                      State.selBottom);
    if (part.isNull())
        return;
    QGuiApplication::clipboard()->setImage(part);
}

void TForm1::Action9Execute()
{
    Work_area->RemoveTheRect2();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QImage pasted;
    if (data && data->hasImage())
        pasted = ToPictureFormat(qvariant_cast<QImage>(data->imageData()));
    if (!pasted.isNull())
        Work_area->Image1->setPicture(pasted);
    ApplyDisplaySize();
    State.selectMode = false;
    PressCropButton(this);
    action(6)->setEnabled(false);
    SetNotebookHint(false);
    ShowFirstPageAndResetHistory();
    Work_area->setsigncursor();
}

}  // namespace pf
