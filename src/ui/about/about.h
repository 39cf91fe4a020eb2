// The about box.
#pragma once

#include <QDialog>

namespace pf {

class TAbout_us : public QDialog {
    Q_OBJECT
public:
    explicit TAbout_us(QWidget* parent = nullptr);
};

}  // namespace pf
