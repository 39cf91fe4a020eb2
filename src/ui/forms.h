// The program's windows: each exists once, created at start-up and reachable from everywhere.
#pragma once

#include <QApplication>

namespace pf {

class TForm1;
class TWork_area;
class TTools;
class TAbout_us;
class TImage_Size;

extern TForm1* Form1;
extern TWork_area* Work_area;
extern TTools* Tools;
extern TAbout_us* About_us;
extern TImage_Size* Image_Size;

// The application object. An exception escaping any handler is shown in a message box with its
// message, and the program goes on with the state it had (handlers commit their result last).
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Start-up: creates the five windows in order (main window, work area, tools panel, about box,
// size dialog) and shows the main window, which runs its show step. Resets the editor state.
void CreateForms();
// Shut-down: destroys the windows and releases the program-wide pictures.
void DestroyForms();

}  // namespace pf
