// Commands of the main window that arrive with their own tools: open and save. Until a command is built it leaves everything alone.
#include "ui/main/form1.h"

namespace pf {

void TForm1::Open1Click() {}
void TForm1::Save1Click() {}

}  // namespace pf
