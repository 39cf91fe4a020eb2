// Keeps the pointer inside a screen rectangle while a drag is under way.
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace pf {

class PointerConfinement {
public:
    // Confines the pointer to the widget's rectangle on screen.
    void confine(QWidget* widget);
    void release();
    bool active() const { return active_; }
    QRect area() const { return area_; }
    // Moves the pointer back inside when it left the area; returns the (possibly moved) position.
    QPoint keepInside(QPoint global);

private:
    QRect area_;
    bool active_ = false;
};

}  // namespace pf
