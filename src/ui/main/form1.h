// The main window: the frame with its menu, toolbar, shortcuts and status bar, hosting the work
// area. It owns the history commands and the picture-wide commands (open, save, zoom, resize,
// crop, copy, paste, print, mail).
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <array>

class QButtonGroup;

namespace pf {

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Menu.
    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* View1 = nullptr;
    QAction* ImageSize1 = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QAction* Renew = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Online1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* About1 = nullptr;

    // Toolbar.
    QToolBar* ToolBar1 = nullptr;
    QWidget* Panel3 = nullptr;
    QToolButton* SpeedButton3 = nullptr;   // open
    QToolButton* SpeedButton4 = nullptr;   // save
    QToolButton* SpeedButton5 = nullptr;   // undo
    QToolButton* SpeedButton10 = nullptr;  // redo
    QToolButton* SpeedButton6 = nullptr;   // restore
    QToolButton* SpeedButton8 = nullptr;   // zoom out
    QToolButton* SpeedButton9 = nullptr;   // zoom in
    QToolButton* SpeedButton2 = nullptr;   // select the crop area
    QToolButton* SpeedButton11 = nullptr;  // crop
    QToolButton* SpeedButton16 = nullptr;  // print
    QToolButton* SpeedButton1 = nullptr;   // e-mail
    QToolButton* SpeedButton7 = nullptr;   // online
    QButtonGroup* toolbarGroup = nullptr;
    QLabel* Label1 = nullptr;              // zoom read-out
    QMdiArea* mdiArea = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // Keyboard shortcuts, bound to the handlers whatever the controls' state.
    std::array<QAction*, 16> Actions{};    // Action1..Action15 at their numbers
    QAction* action(int n) const { return Actions[size_t(n)]; }

    // History.
    void backup();
    void Undo1Click();
    void Redo1Click();
    // One step back or forward through the history; the picture changes in place.
    void StepHistory(bool back);
    void RenewClick();
    void ResetHistory();                   // the history reset
    void ShowFirstPageAndResetHistory();   // how every whole-picture replacement ends
    // Replaces the picture with a new one of possibly another size, shown at the current zoom.
    void ReplacePicture(const QImage& picture);
    void SetUndoEnabled(bool on);          // undo button and menu item together
    void SetRedoEnabled(bool on);          // redo button and menu item together
    void ApplyDisplaySize();               // Image1 follows the picture at the current zoom

    // Commands.
    void Open1Click();
    // Runs the open dialog and puts the chosen file's picture into Image1; false when cancelled
    // or when the file could not be read (the user has been told why).
    bool OpenPictureFile();
    bool LoadIntoPicture(const QString& fileName);
    // After a new picture arrived: it becomes Restore's target, the history starts again and
    // the display follows at the current zoom.
    void FinishOpen();
    // Opens a file as the open command does, without the dialog (command line, drops).
    void OpenFile(const QString& fileName);
    void Save1Click();
    static const char* const OpenFilter;
    static const char* const SaveFilter;
    void Exit1Click();
    void ImageSize1Click();
    void Online1Click();
    void Help2Click();
    void About1Click();
    void SpeedButton8Click();              // zoom out
    void SpeedButton9Click();              // zoom in
    void imgzoomout(class TImage* image, QLabel* label);
    void imgzoomin(TImage* image, QLabel* label);
    void SpeedButton2Click();              // select mode on/off
    void SpeedButton11Click();             // crop
    void Action6Execute();                 // copy
    void Action9Execute();                 // paste
    void SpeedButton16Click();             // print
    void SpeedButton1Click();              // e-mail

    // Start-up and shut-down steps.
    void FormCreate();
    void FormShow();
    void FormClose();

    static const char* HomePage;
    static const char* FaqPage;
    static const char* const DownloadPage;
    // Where the e-mail command writes mywork.jpg (without the extension).
    static QString MailAttachmentBase();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // A picture file dropped on the window (or the work area in it) is opened.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void zoomStep(TImage* image, QLabel* label, double factor);
    bool shown_ = false;
    bool closed_ = false;
    int lastSaveFilter_ = 1;
};

}  // namespace pf
