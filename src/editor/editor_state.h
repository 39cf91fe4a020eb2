// The editor's program-wide variables: written by the windows and read by the tools.
#pragma once

#include "editor/history.h"

#include <QImage>

namespace pf {

struct EditorState {
    double zoomPercent = 0;    // display scale in percent; 100 = one screen pixel per picture pixel
    int warpRadius = 0;        // warp radius, picture pixels
    int cursorRadius = 0;      // brush outline radius, screen pixels (a raw slider value)
    int warpDepth = 0;         // second warp parameter, picture pixels
    int cursorKind = 0;        // 5 = eraser
    bool smearMode = false;    // the smear brush is the active tool
    bool mouseInside = false;  // the pointer is over Image1
    bool buttonHeld = false;   // a mouse button is held on the picture
    int downX = 0, downY = 0;  // button-down point, Image1 control coordinates
    int clickX = 0, clickY = 0;  // button-down point, picture pixels
    int warpKind = 0;          // 1 expand, 2 shrink, 3 twist right, 4 twist left, 5 smear
    int warpShape = 0;         // 1 spherical, 2 vertical, 3 horizontal, 0 on the sketch page
    bool selectMode = false;   // crop-selection mode
    int selLeft = 0, selTop = 0, selRight = 0, selBottom = 0;  // selection, picture pixels, 1-based
    QImage openedPicture;      // the picture as last opened: Restore's target
    QImage edgeMap;            // inverted edge image, made when the sketch page is entered
    PictureHistory historyRing;
    int historyIndex = 0;      // slot holding the current picture, 1..100
    int undoDepth = 0;         // 0..99
    int redoDepth = 0;         // 0..99
};

// The one instance the whole program shares.
extern EditorState State;

}  // namespace pf
