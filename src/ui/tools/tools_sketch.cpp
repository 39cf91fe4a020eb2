// The sketch page: edge map on entry, pen and pencil drawing, red-eye removal, the eraser.
#include "ui/tools/tools.h"

#include "editor/editor_state.h"
#include "sketch/sketch.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/work_area/work_area.h"

namespace pf {

void TTools::EnterSketchPage()
{
    State.edgeMap = picsobel(Work_area->Image1->picture());
}

void TTools::SpeedButton4Click()
{
    Work_area->Image1->setPicture(twovalue(State.edgeMap, TrackBar5->Position()));
    Form1->backup();
}

void TTools::SpeedButton5Click()
{
    Work_area->Image1->setPicture(pencil(State.edgeMap, TrackBar7->Position()));
    Form1->backup();
}

void TTools::ShowEraserControls(bool on)
{
    Label16->setVisible(on);
    Label17->setVisible(on);
    TrackBar8->setVisible(on);
}

void TTools::SpeedButton8Click()
{
    State.cursorKind = 0;
    ShowEraserControls(false);
    Work_area->Image1->setPicture(RedEye(Work_area->Image1->picture()));
    Form1->backup();
}

void TTools::SpeedButton20Click()
{
    State.cursorKind = 5;
    State.cursorRadius = TrackBar8->Position();
    Work_area->setsigncursor();
    ShowEraserControls(true);
}

void TTools::TrackBar8Change()
{
    State.cursorRadius = TrackBar8->Position();
    Label17->setText(QString::number(TrackBar8->Position()));
    Label17->adjustSize();
}

}  // namespace pf
