#include "platform/pointer_confine.h"

#include <QCursor>
#include <QWidget>
#include <algorithm>

namespace pf {

void PointerConfinement::confine(QWidget* widget)
{
    area_ = QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    active_ = !area_.isEmpty();
    if (active_)
        QCursor::setPos(keepInside(QCursor::pos()));
}

void PointerConfinement::release() { active_ = false; }

QPoint PointerConfinement::keepInside(QPoint p)
{
    if (!active_ || area_.contains(p))
        return p;
    QPoint q(std::clamp(p.x(), area_.left(), area_.right()), std::clamp(p.y(), area_.top(), area_.bottom()));
    QCursor::setPos(q);
    return q;
}

}  // namespace pf
