// The picture size dialog.
#pragma once

#include <QDialog>

namespace pf {

class TImage_Size : public QDialog {
    Q_OBJECT
public:
    explicit TImage_Size(QWidget* parent = nullptr);
};

}  // namespace pf
