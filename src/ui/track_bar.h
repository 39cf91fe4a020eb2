// A slider with track-bar rules: a new maximum below the current minimum is ignored, a new
// minimum above the current maximum is ignored, the position is always clamped into the range,
// and the change handler (valueChanged) runs only when the position really changes.
#pragma once

#include <QProgressBar>
#include <QSlider>

namespace pf {

class TTrackBar : public QSlider {
    Q_OBJECT
public:
    TTrackBar(int min, int max, int position, QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent)
    {
        QSlider::setRange(min, max);
        QSlider::setValue(position);
        setTickPosition(QSlider::TicksBelow);
        setTickInterval(1);
        setPageStep(1);
    }
    int Position() const { return value(); }
    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    void SetMax(int m)
    {
        if (m >= minimum())
            setMaximum(m);   // clamps the position, signalling only a real change
    }
    void SetMin(int m)
    {
        if (m <= maximum())
            setMinimum(m);
    }
    void SetPosition(int p) { setValue(p); }
};

// A progress bar whose position is clamped into its range (never ignored when outside).
class TProgressBar : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;
    int Position() const { return value(); }
    void SetPosition(int p) { setValue(std::clamp(p, minimum(), maximum())); }
    void SetMax(int m) { setMaximum(m); }
    void StepIt() { SetPosition(value() + 1); }
};

}  // namespace pf
