#include "ui/main/form1.h"

#include "editor/editor_state.h"
#include "picture/picture.h"
#include "ui/about/about.h"
#include "ui/forms.h"
#include "ui/messages.h"
#include "ui/glyphs.h"
#include "ui/image_size/image_size.h"
#include "ui/tools/tools.h"
#include "ui/work_area/work_area.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenuBar>
#include <QUrl>
#include <cmath>

namespace pf {

const char* TForm1::HomePage = "https://pullface.org/";
const char* TForm1::FaqPage = "https://pullface.org/faq.html";

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("Form1");
    setWindowTitle("Pullface v5.95");
    setWindowIcon(AppIcon());
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    setGeometry(2, 23, 885, 611);
    setAcceptDrops(true);

    // Menu.
    File1 = menuBar()->addMenu(QStringLiteral("文件"));
    Open1 = File1->addAction(QStringLiteral("打开"), this, Guarded(this, &TForm1::Open1Click));
    Save1 = File1->addAction(QStringLiteral("保存"), this, Guarded(this, &TForm1::Save1Click));
    Exit1 = File1->addAction(QStringLiteral("退出"), this, Guarded(this, &TForm1::Exit1Click));
    View1 = menuBar()->addMenu(QStringLiteral("编辑"));
    ImageSize1 = View1->addAction(QStringLiteral("图片大小"), this, Guarded(this, &TForm1::ImageSize1Click));
    Undo1 = View1->addAction(QStringLiteral("撤销"), this, Guarded(this, &TForm1::Undo1Click));
    Redo1 = View1->addAction(QStringLiteral("重做"), this, Guarded(this, &TForm1::Redo1Click));
    Renew = View1->addAction(QStringLiteral("恢复"), this, Guarded(this, &TForm1::RenewClick));
    Help1 = menuBar()->addMenu(QStringLiteral("帮助"));
    Online1 = Help1->addAction(QStringLiteral("在线"), this, Guarded(this, &TForm1::Online1Click));
    Help2 = Help1->addAction(QStringLiteral("F.A.Q."), this, Guarded(this, &TForm1::Help2Click));
    About1 = Help1->addAction(QStringLiteral("关于"), this, Guarded(this, &TForm1::About1Click));
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);

    // Toolbar: one panel holding twelve buttons in one exclusive group and the zoom label.
    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(29);
    ToolBar1->toggleViewAction()->setEnabled(false);
    Panel3 = new QWidget;
    Panel3->setFixedSize(355, 22 + 2);
    ToolBar1->addWidget(Panel3);
    toolbarGroup = new QButtonGroup(this);
    toolbarGroup->setExclusive(true);
    struct Def { QToolButton** button; int x; const char* tip; const char* glyph; bool two; void (TForm1::*handler)(); };
    const Def defs[] = {
        {&SpeedButton3, 2, "打开", "open", false, &TForm1::Open1Click},
        {&SpeedButton4, 28, "保存", "save", false, &TForm1::Save1Click},
        {&SpeedButton5, 54, "撤销", "undo", true, &TForm1::Undo1Click},
        {&SpeedButton10, 80, "重做", "redo", true, &TForm1::Redo1Click},
        {&SpeedButton6, 106, "恢复", "restore", false, &TForm1::RenewClick},
        {&SpeedButton8, 132, "缩小", "zoomout", false, &TForm1::SpeedButton8Click},
        {&SpeedButton9, 158, "放大", "zoomin", false, &TForm1::SpeedButton9Click},
        {&SpeedButton2, 223, "选择剪切区域", "select", false, &TForm1::SpeedButton2Click},
        {&SpeedButton11, 249, "剪切选区", "crop", true, &TForm1::SpeedButton11Click},
        {&SpeedButton16, 275, "打印", "print", false, &TForm1::SpeedButton16Click},
        {&SpeedButton1, 301, "电邮给朋友", "mail", false, &TForm1::SpeedButton1Click},
        {&SpeedButton7, 327, "在线", "online", false, &TForm1::Online1Click},
    };
    for (const Def& d : defs) {
        auto* b = new QToolButton(Panel3);
        b->setGeometry(d.x, 2, 25, 21);
        b->setIcon(GlyphIcon(d.glyph, d.two));
        b->setIconSize(QSize(24, 20));
        b->setToolTip(QString::fromUtf8(d.tip));
        b->setCheckable(true);
        b->setAutoRaise(true);
        toolbarGroup->addButton(b);
        connect(b, &QToolButton::clicked, this, Guarded(this, d.handler));
        *d.button = b;
    }
    SpeedButton5->setEnabled(false);
    SpeedButton10->setEnabled(false);
    SpeedButton11->setEnabled(false);
    Label1 = new QLabel("100%", Panel3);
    Label1->move(184, 4 + 2);
    Label1->setObjectName("Label1");
    Label1->adjustSize();

    mdiArea = new QMdiArea;
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
    StatusBar1 = statusBar();
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(true);

    // Shortcuts: the actions are not the menu items' or buttons', so they stay active whatever
    // those controls' state; each handler checks itself whether it can act.
    struct Key { int n; QKeySequence keys; void (TForm1::*handler)(); };
    const Key keys[] = {
        {1, QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::Open1Click},
        {2, QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::Save1Click},
        {3, QKeySequence(Qt::CTRL | Qt::Key_Q), &TForm1::Exit1Click},
        {4, QKeySequence(Qt::CTRL | Qt::Key_Z), &TForm1::Undo1Click},
        {5, QKeySequence(Qt::CTRL | Qt::Key_Y), &TForm1::Redo1Click},
        {6, QKeySequence(Qt::CTRL | Qt::Key_C), &TForm1::Action6Execute},
        {7, QKeySequence(Qt::CTRL | Qt::Key_Minus), &TForm1::SpeedButton8Click},
        {8, QKeySequence(Qt::CTRL | Qt::Key_Equal), &TForm1::SpeedButton9Click},
        {9, QKeySequence(Qt::CTRL | Qt::Key_V), &TForm1::Action9Execute},
        {10, QKeySequence(Qt::CTRL | Qt::Key_E), &TForm1::ImageSize1Click},
        {11, QKeySequence(Qt::CTRL | Qt::Key_P), &TForm1::SpeedButton16Click},
        {12, QKeySequence(Qt::CTRL | Qt::Key_R), &TForm1::RenewClick},
        {13, QKeySequence(Qt::CTRL | Qt::Key_M), &TForm1::SpeedButton1Click},
        {14, QKeySequence(Qt::Key_F1), &TForm1::Help2Click},
        {15, QKeySequence(Qt::CTRL | Qt::Key_L), &TForm1::Online1Click},
    };
    for (const Key& k : keys) {
        auto* a = new QAction(QString("Action%1").arg(k.n), this);
        a->setObjectName(QString("Action%1").arg(k.n));
        QList<QKeySequence> seqs{k.keys};
        if (k.n == 8)   // the plus/equals key, and the keypad's plus
            seqs << QKeySequence(Qt::CTRL | Qt::Key_Plus);
        if (k.n == 7)
            seqs << QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus));
        a->setShortcuts(seqs);
        a->setShortcutContext(Qt::ApplicationShortcut);
        connect(a, &QAction::triggered, this, Guarded(this, k.handler));
        addAction(a);
        Actions[size_t(k.n)] = a;
    }
    action(6)->setEnabled(false);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    State.openedPicture = QImage();
    State.selectMode = false;
}

void TForm1::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::FormShow()
{
    Work_area->resize(615, 504);
    State.openedPicture = Work_area->Image1->picture();
    State.warpKind = 1;
    State.warpShape = 1;
    State.historyIndex = 1;
    State.undoDepth = 0;
    State.redoDepth = 0;
    State.historyRing.create();
    State.historyRing.store(1, Work_area->Image1->picture());
    Work_area->Image1->clearChanged();
}

void TForm1::closeEvent(QCloseEvent* e)
{
    FormClose();
    QMainWindow::closeEvent(e);
    // Closing the main window ends the program, whatever other windows are open.
    if (e->isAccepted())
        QCoreApplication::quit();
}

void TForm1::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    State.openedPicture = QImage();
    State.edgeMap = QImage();
    State.historyRing.release();
}

void TForm1::Exit1Click() { close(); }

void TForm1::SetUndoEnabled(bool on)
{
    SpeedButton5->setEnabled(on);
    Undo1->setEnabled(on);
}

void TForm1::SetRedoEnabled(bool on)
{
    SpeedButton10->setEnabled(on);
    Redo1->setEnabled(on);
}

void TForm1::ApplyDisplaySize()
{
    Work_area->Image1->resize(DisplaySize(Work_area->Image1->picture().size(), State.zoomPercent));
}

void TForm1::backup()
{
    TImage* image = Work_area->Image1;
    Backup(State, image->picture(), image->changedArea());
    image->clearChanged();
    SetUndoEnabled(true);
    SetRedoEnabled(false);
}

void TForm1::StepHistory(bool back)
{
    TImage* image = Work_area->Image1;
    QRect written;
    const QSize before = image->picture().size();
    if (back ? Undo(State, image->picture(), image->changedArea(), &written)
             : Redo(State, image->picture(), image->changedArea(), &written)) {
        image->clearChanged();
        if (image->picture().size() != before)
            image->update();
        else
            image->repaintPicture(written);
    }
}

void TForm1::Undo1Click()
{
    StepHistory(true);
    if (State.undoDepth == 0)
        SetUndoEnabled(false);
    if (State.redoDepth > 0)
        SetRedoEnabled(true);
}

void TForm1::Redo1Click()
{
    StepHistory(false);
    if (State.redoDepth == 0)
        SetRedoEnabled(false);
    if (State.undoDepth > 0)
        SetUndoEnabled(true);
}

void TForm1::ResetHistory()
{
    SetUndoEnabled(false);
    SetRedoEnabled(false);
    pf::ResetHistory(State, Work_area->Image1->picture());
    Work_area->Image1->clearChanged();
}

void TForm1::ShowFirstPageAndResetHistory()
{
    Tools->ShowFirstPage();
    ResetHistory();
}

void TForm1::ReplacePicture(const QImage& picture)
{
    Work_area->Image1->setPicture(picture);
    ApplyDisplaySize();
}

void TForm1::RenewClick()
{
    ReplacePicture(State.openedPicture.copy());   // Restore's target stays untouched by later edits
    ShowFirstPageAndResetHistory();
}

void TForm1::Online1Click() { QDesktopServices::openUrl(QUrl(HomePage)); }
void TForm1::Help2Click() { QDesktopServices::openUrl(QUrl(FaqPage)); }

void TForm1::About1Click()
{
    About_us->show();
    About_us->raise();
}

void TForm1::ImageSize1Click()
{
    Image_Size->show();
    Image_Size->raise();
}

void TForm1::zoomStep(TImage* image, QLabel* label, double factor)
{
    if (State.selectMode) {
        Work_area->RemoveTheRect2();
        SpeedButton11->setEnabled(false);
        image->update();
    }
    const double z = State.zoomPercent * factor;
    if (z < 1.0 || z > 6400.0)
        return;   // the view stays usable: 1 % to 6400 %
    State.zoomPercent = z;
    // One decimal, ties away from zero (156.25 shows 156.3).
    QLocale locale;   // the user's decimal separator, no thousands separator ("1819.0%")
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    label->setText(locale.toString(std::round(z * 10) / 10, 'f', 1) + "%");
    label->adjustSize();   // a label outside a layout keeps its first size and would cut "125.0%" short
    image->resize(DisplaySize(image->picture().size(), z));
}

void TForm1::imgzoomout(TImage* image, QLabel* label) { zoomStep(image, label, 0.8); }
void TForm1::imgzoomin(TImage* image, QLabel* label) { zoomStep(image, label, 1.25); }
void TForm1::SpeedButton8Click() { imgzoomout(Work_area->Image1, Label1); }
void TForm1::SpeedButton9Click() { imgzoomin(Work_area->Image1, Label1); }

}  // namespace pf
