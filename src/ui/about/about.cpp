#include "ui/about/about.h"

namespace pf {

TAbout_us::TAbout_us(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName("About_us");
    setWindowTitle(QStringLiteral("关于我们"));
    setModal(false);
    move(317, 54);
    setFixedSize(438, 346);
}

}  // namespace pf
