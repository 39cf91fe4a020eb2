#include "ui/image_size/image_size.h"

#include "editor/editor_state.h"
#include "picture/picture.h"
#include "picture/zoom.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/messages.h"
#include "ui/work_area/work_area.h"

#include <QKeyEvent>
#include <stdexcept>

namespace pf {

namespace {

const char* const kBadNumber = "Please input a valid integer value.";

QSize PictureSize() { return Work_area->Image1->picture().size(); }

// The whole number in an edit box; a text that is not one is an error for the user.
long long NumberOf(const QLineEdit* edit)
{
    bool ok = false;
    const long long v = edit->text().trimmed().toLongLong(&ok);
    if (!ok)
        throw std::runtime_error("'" + edit->text().toStdString() + "' is not a valid integer value.");
    return v;
}

}  // namespace

bool IsAllDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

TImage_Size::TImage_Size(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName("Image_Size");
    setWindowTitle(QStringLiteral("图片大小"));
    setModal(false);
    move(55, 181);
    setFixedSize(313, 195);
    auto label = [this](const QString& text, int x, int y) {
        auto* l = new QLabel(text, this);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    Label1 = label(QStringLiteral("宽度:"), 16, 28);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(56, 24, 57, 21);
    Label3 = label(QStringLiteral("像素"), 120, 28);
    Label2 = label(QStringLiteral("高度:"), 16, 69);
    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(56, 65, 57, 21);
    Label4 = label(QStringLiteral("像素"), 120, 69);
    CheckBox1 = new QCheckBox(QStringLiteral("保持高宽比"), this);
    CheckBox1->move(168, 26);
    CheckBox1->adjustSize();
    CheckBox1->setChecked(true);
    QFont big = font();
    big.setPixelSize(16);
    SpeedButton2 = new QPushButton("+", this);
    SpeedButton2->setGeometry(168, 64, 23, 20);
    SpeedButton2->setFont(big);
    SpeedButton1 = new QPushButton("-", this);
    SpeedButton1->setGeometry(200, 64, 23, 20);
    SpeedButton1->setFont(big);
    Button1 = new QPushButton("OK", this);
    Button1->setGeometry(16, 136, 73, 25);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setGeometry(168, 136, 73, 25);
    for (QPushButton* b : {SpeedButton1, SpeedButton2, Button1, Button2})
        b->setAutoDefault(false);
    connect(SpeedButton1, &QPushButton::clicked, this, Guarded(this, &TImage_Size::SpeedButton1Click));
    connect(SpeedButton2, &QPushButton::clicked, this, Guarded(this, &TImage_Size::SpeedButton2Click));
    connect(Button1, &QPushButton::clicked, this, Guarded(this, &TImage_Size::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Guarded(this, &TImage_Size::Button2Click));
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);
}

void TImage_Size::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

bool TImage_Size::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        if (watched == Edit1)
            Edit1KeyUp();
        else if (watched == Edit2)
            Edit2KeyUp();
    }
    return QDialog::eventFilter(watched, event);
}

void TImage_Size::FormShow()
{
    const QSize s = PictureSize();
    Edit1->setText(QString::number(s.width()));
    Edit2->setText(QString::number(s.height()));
}

void TImage_Size::scaleEdits(int percent)
{
    // Check both texts first, so a bad one changes neither.
    const long long w = NumberOf(Edit1), h = NumberOf(Edit2);
    Edit1->setText(QString::number(Round(double(w) * percent / 100)));
    Edit2->setText(QString::number(Round(double(h) * percent / 100)));
}

void TImage_Size::SpeedButton1Click()
{
    try {
        scaleEdits(80);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()));
    }
}

void TImage_Size::SpeedButton2Click()
{
    try {
        scaleEdits(125);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(e.what()));
    }
}

void TImage_Size::Edit1KeyUp()
{
    const QSize s = PictureSize();
    if (CheckBox1->isChecked() && IsAllDigits(Edit1->text()) && s.width() > 0)
        Edit2->setText(QString::number(Round(Edit1->text().toDouble() * s.height() / s.width())));
}

void TImage_Size::Edit2KeyUp()
{
    const QSize s = PictureSize();
    if (CheckBox1->isChecked() && IsAllDigits(Edit2->text()) && s.height() > 0)
        Edit1->setText(QString::number(Round(Edit2->text().toDouble() * s.width() / s.height())));
}

void TImage_Size::Button1Click()
{
    if (!IsAllDigits(Edit1->text()) || !IsAllDigits(Edit2->text())) {
        ShowMessage(kBadNumber);
        return;
    }
    const QSize s = PictureSize();
    const double w = Edit1->text().toDouble(), h = Edit2->text().toDouble();
    if (s.isEmpty() || !(w / s.width() > 0) || !(h / s.height() > 0)) {
        ShowMessage(kBadNumber);
        return;
    }
    if (!PictureSizeAllowed(static_cast<long long>(w), static_cast<long long>(h))) {
        ShowMessage(QString("A picture of %1 x %2 pixels is too large: at most 32767 pixels a side and "
                            "256 megapixels.").arg(Edit1->text(), Edit2->text()));
        return;
    }
    // The picture gets exactly the typed size; the display follows at the current zoom.
    QImage resized = ZoomInOut(Work_area->Image1->picture(), int(w), int(h));
    Work_area->Image1->setPicture(resized);
    Form1->ApplyDisplaySize();
    Form1->ShowFirstPageAndResetHistory();
    close();
}

void TImage_Size::Button2Click() { close(); }

}  // namespace pf
