#include "ui/tools/tools.h"

#include "editor/editor_state.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/work_area/work_area.h"

namespace pf {

void TTools::EnterSketchPage() {}
void TTools::SpeedButton4Click() {}
void TTools::SpeedButton5Click() {}
void TTools::SpeedButton8Click() {}
void TTools::SpeedButton20Click() {}
void TTools::TrackBar8Change() { Label17->setText(QString::number(TrackBar8->Position())); }

}  // namespace pf
