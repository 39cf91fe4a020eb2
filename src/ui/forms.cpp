#include "ui/forms.h"

#include "editor/editor_state.h"
#include "ui/about/about.h"
#include "ui/image_size/image_size.h"
#include "ui/main/form1.h"
#include "ui/messages.h"
#include "ui/tools/tools.h"
#include "ui/work_area/work_area.h"

#include <QFontDatabase>
#include <exception>

// The resources live in a static library: their registration must be pulled in by name.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace pf {

TForm1* Form1 = nullptr;
TWork_area* Work_area = nullptr;
TTools* Tools = nullptr;
TAbout_us* About_us = nullptr;
TImage_Size* Image_Size = nullptr;

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName("pullface");
    setApplicationDisplayName("Pullface");
    setApplicationVersion("5.95");
    setDesktopFileName("pullface");
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

void CreateForms()
{
    InitResources();
    State = EditorState{};
    Form1 = new TForm1;
    Work_area = new TWork_area;
    Form1->mdiArea->addSubWindow(Work_area);
    Work_area->show();
    Tools = new TTools;
    Tools->show();
    About_us = new TAbout_us;
    Image_Size = new TImage_Size;
    Form1->show();
    Tools->raise();   // stays above the frame
}

void DestroyForms()
{
    if (Form1)
        Form1->FormClose();
    delete Image_Size;
    delete About_us;
    delete Tools;
    delete Form1;   // the work area goes with its frame
    Image_Size = nullptr;
    About_us = nullptr;
    Tools = nullptr;
    Form1 = nullptr;
    Work_area = nullptr;
    State = EditorState{};
}

}  // namespace pf
