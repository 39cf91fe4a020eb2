#include "ui/work_area/image_control.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <cmath>

namespace pf {

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::setPicture(const QImage& p)
{
    picture_ = p;
    changed_ = picture_.rect();
    update();
}

void TImage::pictureChanged(const QRect& r)
{
    changed_ |= r & picture_.rect();
    repaintPicture(r);
}

void TImage::repaintPicture(const QRect& r)
{
    if (picture_.isNull() || r.isEmpty())
        return;
    const double sx = double(width()) / picture_.width(), sy = double(height()) / picture_.height();
    QRect area(int(std::floor(r.left() * sx)) - 1, int(std::floor(r.top() * sy)) - 1,
               int(std::ceil(r.width() * sx)) + 3, int(std::ceil(r.height() * sy)) + 3);
    update(area);
}

bool TImage::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && !showHint_)
        return true;
    return QWidget::event(e);
}

void TImage::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    if (picture_.isNull()) {
        p.fillRect(e->rect(), palette().window());
        return;
    }
    if (picture_.size() == size()) {
        p.drawImage(e->rect().topLeft(), picture_, e->rect());
        return;
    }
    // Enlarged views stay sharp (nearest pixel); reduced views are smoothed.
    const bool reducing = width() < picture_.width() || height() < picture_.height();
    p.setRenderHint(QPainter::SmoothPixmapTransform, reducing);
    const double sx = double(picture_.width()) / width(), sy = double(picture_.height()) / height();
    // Draw only the part of the picture under the exposed rectangle.
    const QRect dst = e->rect();
    const QRectF src(dst.left() * sx, dst.top() * sy, dst.width() * sx, dst.height() * sy);
    p.drawImage(QRectF(dst), picture_, src);
}

void TImage::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseDown(e->button(), e->buttons(), pos.x(), pos.y());
}

void TImage::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseMove(e->buttons(), pos.x(), pos.y());
}

void TImage::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseUp(e->button(), e->buttons(), pos.x(), pos.y(), rect().contains(pos));
}

void TImage::enterEvent(QEnterEvent*) { emit entered(); }
void TImage::leaveEvent(QEvent*) { emit left(); }

}  // namespace pf
