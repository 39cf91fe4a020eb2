#include "ui/image_size/image_size.h"

namespace pf {

TImage_Size::TImage_Size(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName("Image_Size");
    setWindowTitle(QStringLiteral("图片大小"));
    setModal(false);
    move(55, 181);
    setFixedSize(313, 195);
}

}  // namespace pf
