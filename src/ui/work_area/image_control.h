// The image control: holds the picture and shows it stretched to the control's size.
// Pointer events are handed to the work area as control coordinates.
#pragma once

#include <QImage>
#include <QWidget>

namespace pf {

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& picture() const { return picture_; }
    QImage& picture() { return picture_; }
    // Replaces the picture (a shared copy) and repaints; the control keeps its size.
    void setPicture(const QImage& p);
    // After a tool wrote into the picture: notes the area as changed and repaints it.
    void pictureChanged(const QRect& pictureRect);
    // Repaints the part of the control showing the given picture rectangle.
    void repaintPicture(const QRect& pictureRect);
    // The part of the picture changed since the history last took it (see clearChanged).
    QRect changedArea() const { return changed_; }
    void clearChanged() { changed_ = QRect(); }

    void setHintText(const QString& hint) { setToolTip(hint); }
    QString hintText() const { return toolTip(); }
    // Whether the hint shows as a tooltip when the pointer rests on the picture.
    void setShowHint(bool on) { showHint_ = on; }
    bool showHint() const { return showHint_; }

signals:
    void mouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y, bool inside);
    void entered();
    void left();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    QImage picture_;
    QRect changed_;
    bool showHint_ = true;
};

}  // namespace pf
