// The tools panel: a small stay-on-top window whose three pages choose the tool and its
// settings. Its handlers write the tool choice into the editor state; the tools read the
// sliders when they run.
#pragma once

#include "ui/track_bar.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

namespace pf {

class TTools : public QWidget {
    Q_OBJECT
public:
    explicit TTools(QWidget* parent = nullptr);

    TProgressBar* ProgressBar1 = nullptr;
    QTabWidget* TabbedNotebook1 = nullptr;
    QWidget* page0 = nullptr;
    QWidget* page1 = nullptr;
    QWidget* page2 = nullptr;
    // Distort page.
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QWidget* Panel1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;   // expand
    QToolButton* SpeedButton2 = nullptr;   // shrink
    QLabel* Label3 = nullptr;
    TTrackBar* TrackBar1 = nullptr;        // radius
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    TTrackBar* TrackBar2 = nullptr;        // depth ("cursor")
    QLabel* Label5 = nullptr;
    // Spiral page.
    QToolButton* SpeedButton11 = nullptr;  // twist right
    QToolButton* SpeedButton12 = nullptr;  // twist left
    QToolButton* SpeedButton3 = nullptr;   // smear
    QLabel* Label13 = nullptr;
    TTrackBar* TrackBar3 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label14 = nullptr;
    TTrackBar* TrackBar4 = nullptr;
    QLabel* Label7 = nullptr;
    // Sketch page.
    QLabel* Label8 = nullptr;
    TTrackBar* TrackBar5 = nullptr;        // pen threshold
    QLabel* Label9 = nullptr;
    QToolButton* SpeedButton4 = nullptr;   // pen drawing
    QLabel* Label1 = nullptr;
    TTrackBar* TrackBar7 = nullptr;        // pencil contrast
    QLabel* Label11 = nullptr;
    QToolButton* SpeedButton5 = nullptr;   // pencil drawing
    QLabel* Label10 = nullptr;
    QToolButton* SpeedButton8 = nullptr;   // red eye
    QToolButton* SpeedButton20 = nullptr;  // eraser
    QLabel* Label16 = nullptr;
    TTrackBar* TrackBar8 = nullptr;        // eraser thickness
    QLabel* Label17 = nullptr;
    QButtonGroup* group0 = nullptr;
    QButtonGroup* group1 = nullptr;
    QButtonGroup* group2 = nullptr;

    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton3Click();
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void TrackBar4Change();
    void TrackBar5Change();
    void TrackBar7Change();
    void TrackBar8Change();
    void TabbedNotebook1Change(int newPage);
    void SpeedButton4Click();              // pen drawing
    void SpeedButton5Click();              // pencil drawing
    void SpeedButton8Click();              // red-eye removal
    void SpeedButton20Click();             // eraser

    // The main window's way to the first page: page entry runs only if the page changes.
    void ShowFirstPage();
    // Refreshes the main window's undo and redo controls from the history depths.
    void RefreshUndoRedo();
    // Shows or hides the spiral page's depth slider with its two labels.
    void ShowDepthControls(bool on);
    // Entering the sketch page makes the edge map of the picture shown now.
    void EnterSketchPage();
    void ShowEraserControls(bool on);
};

}  // namespace pf
