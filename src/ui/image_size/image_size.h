// The picture size dialog: type a new width and height in pixels, optionally keeping the
// picture's proportions, and resample the picture to that size.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pf {

// True when the text has at least one character and all are the digits 0 to 9.
bool IsAllDigits(const QString& text);

class TImage_Size : public QDialog {
    Q_OBJECT
public:
    explicit TImage_Size(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;     // width
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;     // height
    QLabel* Label4 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // keep the aspect ratio
    QPushButton* SpeedButton2 = nullptr;   // "+"
    QPushButton* SpeedButton1 = nullptr;   // "-"
    QPushButton* Button1 = nullptr;        // OK
    QPushButton* Button2 = nullptr;        // Cancel

    void FormShow();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Edit1KeyUp();
    void Edit2KeyUp();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scaleEdits(int percent);
};

}  // namespace pf
