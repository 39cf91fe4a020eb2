#include "ui/tools/tools.h"

#include "editor/editor_state.h"
#include "picture/picture.h"
#include "ui/forms.h"
#include "ui/messages.h"
#include "ui/glyphs.h"
#include "ui/main/form1.h"
#include "ui/work_area/work_area.h"

#include <QFrame>

namespace pf {

namespace {

QToolButton* GlyphButton(QWidget* parent, int x, int y, const QString& glyph, QButtonGroup* group)
{
    auto* b = new QToolButton(parent);
    b->setGeometry(x, y, 25, 21);
    b->setIcon(GlyphIcon(glyph, false));
    b->setIconSize(QSize(24, 20));
    b->setAutoRaise(false);
    if (group) {
        b->setCheckable(true);
        group->addButton(b);
    }
    return b;
}

QLabel* MakeLabel(QWidget* parent, int x, int y, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}

TTrackBar* MakeSlider(QWidget* parent, int x, int y, int w, int h, int min, int max, int pos)
{
    auto* t = new TTrackBar(min, max, pos, parent);
    t->setGeometry(x, y, w, std::max(h, 17));
    return t;
}

void SetLabelNumber(QLabel* l, int v)
{
    l->setText(QString::number(v));
    l->adjustSize();
}

}  // namespace

TTools::TTools(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Tools");
    setWindowTitle(QStringLiteral("工具"));
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    setGeometry(635, 107, 241, 306);

    TabbedNotebook1 = new QTabWidget(this);
    TabbedNotebook1->setGeometry(0, 0, 228, 250);
    page0 = new QWidget;
    page1 = new QWidget;
    page2 = new QWidget;
    TabbedNotebook1->addTab(page0, QStringLiteral("扭曲"));
    TabbedNotebook1->addTab(page1, QStringLiteral("螺旋"));
    TabbedNotebook1->addTab(page2, QStringLiteral("素描"));
    ProgressBar1 = new TProgressBar(this);
    ProgressBar1->setGeometry(0, 251, 228, 17);
    ProgressBar1->setRange(0, 500);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    // Distort page.
    RadioButton1 = new QRadioButton(QStringLiteral("球形"), page0);
    RadioButton1->setGeometry(8, 16, 81, 17);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("垂直"), page0);
    RadioButton2->setGeometry(8, 40, 81, 17);
    RadioButton3 = new QRadioButton(QStringLiteral("水平"), page0);
    RadioButton3->setGeometry(8, 64, 81, 17);
    auto* panel = new QFrame(page0);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    Panel1 = panel;
    Panel1->setGeometry(112, 16, 97, 65);
    group0 = new QButtonGroup(this);
    SpeedButton1 = GlyphButton(Panel1, 8, 8, "expand", group0);
    SpeedButton2 = GlyphButton(Panel1, 56, 8, "shrink", group0);
    SpeedButton1->setChecked(true);
    Label3 = MakeLabel(page0, 8, 117, QStringLiteral("半径"));
    TrackBar1 = MakeSlider(page0, 32, 112, 161, 17, 10, 500, 50);
    Label2 = MakeLabel(page0, 192, 117, "50");
    Label4 = MakeLabel(page0, 8, 157, QStringLiteral("光标"));
    TrackBar2 = MakeSlider(page0, 32, 152, 161, 17, 3, 30, 15);
    Label5 = MakeLabel(page0, 192, 157, "15");

    // Spiral page.
    group1 = new QButtonGroup(this);
    SpeedButton11 = GlyphButton(page1, 16, 16, "twistright", group1);
    SpeedButton12 = GlyphButton(page1, 64, 16, "twistleft", group1);
    SpeedButton3 = GlyphButton(page1, 112, 16, "smear", group1);
    Label13 = MakeLabel(page1, 16, 50, QStringLiteral("半径"));
    TrackBar3 = MakeSlider(page1, 40, 48, 145, 17, 10, 500, 100);
    Label6 = MakeLabel(page1, 185, 50, "100");
    Label14 = MakeLabel(page1, 16, 83, QStringLiteral("光标"));
    TrackBar4 = MakeSlider(page1, 40, 80, 145, 17, 2, 30, 10);
    Label7 = MakeLabel(page1, 185, 83, "10");

    // Sketch page.
    group2 = new QButtonGroup(this);
    Label8 = MakeLabel(page2, 16, 16, QStringLiteral("钢笔压制:"));
    TrackBar5 = MakeSlider(page2, 8, 32, 177, 12, 1, 255, 150);
    Label9 = MakeLabel(page2, 102, 16, "150");
    SpeedButton4 = GlyphButton(page2, 192, 30, "pen", nullptr);
    SpeedButton4->setToolTip(QStringLiteral("钢笔描画"));
    Label1 = MakeLabel(page2, 16, 64, QStringLiteral("铅笔对比:"));
    TrackBar7 = MakeSlider(page2, 8, 80, 177, 12, 0, 89, 45);
    Label11 = MakeLabel(page2, 110, 64, "50");
    SpeedButton5 = GlyphButton(page2, 192, 78, "pencil", nullptr);
    SpeedButton5->setToolTip(QStringLiteral("铅笔描画"));
    Label10 = MakeLabel(page2, 12, 120, QStringLiteral("  == 后续描画 ==    "));
    Label10->setAutoFillBackground(true);
    QPalette pal = Label10->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Label10->setPalette(pal);
    SpeedButton8 = GlyphButton(page2, 16, 144, "redeye", group2);
    SpeedButton8->setToolTip(QStringLiteral("消除红眼"));
    SpeedButton8->setChecked(true);
    SpeedButton20 = GlyphButton(page2, 56, 144, "eraser", group2);
    SpeedButton20->setToolTip(QStringLiteral("橡皮擦"));
    Label16 = MakeLabel(page2, 56, 176, QStringLiteral("橡皮擦厚度:"));
    TrackBar8 = MakeSlider(page2, 48, 192, 142, 17, 1, 50, 25);
    Label17 = MakeLabel(page2, 192, 195, "25");
    Label16->hide();
    TrackBar8->hide();
    Label17->hide();

    connect(RadioButton1, &QRadioButton::clicked, this, Guarded(this, &TTools::RadioButton1Click));
    connect(RadioButton2, &QRadioButton::clicked, this, Guarded(this, &TTools::RadioButton2Click));
    connect(RadioButton3, &QRadioButton::clicked, this, Guarded(this, &TTools::RadioButton3Click));
    connect(SpeedButton1, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton2Click));
    connect(SpeedButton11, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton11Click));
    connect(SpeedButton12, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton12Click));
    connect(SpeedButton3, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton3Click));
    connect(SpeedButton4, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton4Click));
    connect(SpeedButton5, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton5Click));
    connect(SpeedButton8, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton8Click));
    connect(SpeedButton20, &QToolButton::clicked, this, Guarded(this, &TTools::SpeedButton20Click));
    connect(TrackBar1, &QSlider::valueChanged, this, Guarded(this, &TTools::TrackBar1Change));
    connect(TrackBar2, &QSlider::valueChanged, this, Guarded(this, &TTools::TrackBar2Change));
    connect(TrackBar3, &QSlider::valueChanged, this, Guarded(this, &TTools::TrackBar3Change));
    connect(TrackBar4, &QSlider::valueChanged, this, Guarded(this, &TTools::TrackBar4Change));
    connect(TrackBar5, &QSlider::valueChanged, this, Guarded(this, &TTools::TrackBar5Change));
    connect(TrackBar7, &QSlider::valueChanged, this, Guarded(this, &TTools::TrackBar7Change));
    connect(TrackBar8, &QSlider::valueChanged, this, Guarded(this, &TTools::TrackBar8Change));
    connect(TabbedNotebook1, &QTabWidget::currentChanged, this, Guarded(this, &TTools::TabbedNotebook1Change));
}

void TTools::RadioButton1Click() { State.warpShape = 1; }
void TTools::RadioButton2Click() { State.warpShape = 2; }
void TTools::RadioButton3Click() { State.warpShape = 3; }

void TTools::SpeedButton1Click()
{
    State.warpKind = 1;
    Work_area->setsigncursor();
    Work_area->Image1->setHintText("Click or Keep Down");
}

void TTools::SpeedButton2Click()
{
    State.warpKind = 2;
    Work_area->setsigncursor();
    Work_area->Image1->setHintText("Click or Keep Down");
}

void TTools::ShowDepthControls(bool on)
{
    TrackBar4->setVisible(on);
    Label14->setVisible(on);
    Label7->setVisible(on);
}

void TTools::SpeedButton11Click()
{
    State.warpKind = 3;
    State.smearMode = false;
    Work_area->setsigncursor();
    Work_area->Image1->setHintText("Click or Keep Down");
    ShowDepthControls(true);
}

void TTools::SpeedButton12Click()
{
    State.warpKind = 4;
    State.smearMode = false;
    Work_area->setsigncursor();
    Work_area->Image1->setHintText("Click or Keep Down");
    ShowDepthControls(true);
}

void TTools::SpeedButton3Click()
{
    State.smearMode = true;
    State.warpKind = 5;
    Work_area->setsigncursor();
    Work_area->Image1->setHintText("Keep Down and move");
    ShowDepthControls(false);
}

void TTools::TrackBar1Change()
{
    const int p = TrackBar1->Position();
    SetLabelNumber(Label2, p);
    TrackBar2->SetMax(Round(p / 1.5));
    TrackBar2->SetMin(Round(p / 10.0));
    TrackBar2->SetPosition(Round(p / 3.0));
    State.warpRadius = ToPicture(p, State.zoomPercent);
    State.cursorRadius = p;
    ProgressBar1->SetMax(4 * State.warpRadius);
}

void TTools::TrackBar3Change()
{
    const int p = TrackBar3->Position();
    SetLabelNumber(Label6, p);
    TrackBar4->SetMax(Round(p / 3.0));
    TrackBar4->SetMin(Round(p / 50.0));
    TrackBar4->SetPosition(Round(p / 10.0));
    State.warpRadius = ToPicture(p, State.zoomPercent);
    State.cursorRadius = p;
    ProgressBar1->SetMax(4 * State.warpRadius);
}

void TTools::TrackBar2Change() { SetLabelNumber(Label5, TrackBar2->Position()); }
void TTools::TrackBar4Change() { SetLabelNumber(Label7, TrackBar4->Position()); }
void TTools::TrackBar5Change() { SetLabelNumber(Label9, TrackBar5->Position()); }
void TTools::TrackBar7Change() { SetLabelNumber(Label11, Round(TrackBar7->Position() * 100 / 89.0)); }

void TTools::RefreshUndoRedo()
{
    Form1->SetUndoEnabled(State.undoDepth > 0);
    Form1->SetRedoEnabled(State.redoDepth > 0);
}

void TTools::TabbedNotebook1Change(int newPage)
{
    switch (newPage) {
    case 0:
        State.warpShape = 1;
        State.smearMode = false;
        State.warpKind = 1;
        State.cursorRadius = TrackBar1->Position();
        State.cursorKind = 0;
        SpeedButton1->setChecked(true);
        RadioButton1->setChecked(true);
        ProgressBar1->SetMax(4 * TrackBar1->Position());
        Work_area->Image1->setHintText("Click or Keep Down");
        RefreshUndoRedo();
        Work_area->setsigncursor();
        break;
    case 1:
        State.warpShape = 1;
        State.smearMode = false;
        State.warpKind = 3;
        State.cursorRadius = TrackBar3->Position();
        State.cursorKind = 0;
        SpeedButton11->setChecked(true);
        ProgressBar1->SetMax(4 * TrackBar3->Position());
        ShowDepthControls(true);
        Work_area->Image1->setHintText("Click or Keep Down");
        RefreshUndoRedo();
        Work_area->setsigncursor();
        break;
    case 2:
        State.warpShape = 0;
        EnterSketchPage();
        Work_area->Image1->setHintText(QString());
        State.cursorKind = 0;
        Work_area->Image1->setCursor(Qt::ArrowCursor);
        RefreshUndoRedo();
        break;
    default:
        break;
    }
}

void TTools::ShowFirstPage() { TabbedNotebook1->setCurrentIndex(0); }

}  // namespace pf
