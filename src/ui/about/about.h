// The about box: the product, its makers, where to find them, and the credits.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>

namespace pf {

class TAbout_us : public QDialog {
    Q_OBJECT
public:
    explicit TAbout_us(QWidget* parent = nullptr);

    QFrame* Panel3 = nullptr;
    QLabel* Image3 = nullptr;   // the program's icon, 32 x 32
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;

    static QString MemoText();
};

}  // namespace pf
