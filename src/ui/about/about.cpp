#include "ui/about/about.h"

#include "ui/glyphs.h"

namespace pf {

QString TAbout_us::MemoText()
{
    return QStringList{
        "Product: Pullface",
        "",
        "Version: 5.95",
        "",
        "Author: the Pullface developers",
        "",
        "Release date: 2026-12-11",
        "",
        "Publisher: the Pullface project",
        "",
        "Web site:",
        "https://pullface.org/",
        "",
        "Support:",
        "https://pullface.org/faq.html",
        "",
        "Webmaster:",
        "webmaster@pullface.org",
        "",
        "Technical support:",
        "support@pullface.org",
        "",
        "Sales:",
        "sales@pullface.org",
        "",
        "Built-in sample picture:",
        "Photo 'friends' by Aitzol Berasategi, 2018, CC BY 4.0 "
        "(https://creativecommons.org/licenses/by/4.0/); cropped and scaled.",
        "",
        "Pullface is free software under the GNU General Public License, version 2 or later.",
    }.join('\n');
}

TAbout_us::TAbout_us(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName("About_us");
    setWindowTitle(QStringLiteral("关于我们"));
    setModal(false);
    move(317, 54);
    setFixedSize(438, 346);
    Panel3 = new QFrame(this);
    Panel3->setFrameShape(QFrame::StyledPanel);
    Panel3->setGeometry(6, 4, 425, 337);
    Image3 = new QLabel(Panel3);
    Image3->setGeometry(192, 32, 32, 32);
    Image3->setPixmap(AppIcon().pixmap(32, 32));
    Memo1 = new QPlainTextEdit(Panel3);
    Memo1->setGeometry(48, 80, 321, 193);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Midlight));
    Memo1->setPalette(pal);
    Memo1->setPlainText(MemoText());
    Label6 = new QLabel(QStringLiteral("Have fun with it!"), Panel3);
    Label6->move(168, 288);
    Label6->adjustSize();
    Label7 = new QLabel("https://pullface.org/", Panel3);
    Label7->move(128, 304);
    Label7->adjustSize();
}

}  // namespace pf
