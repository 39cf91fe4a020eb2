#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/messages.h"

#include <QApplication>

int main(int argc, char** argv)
{
    pf::Application app(argc, argv);
    pf::CreateForms();
    // `pullface FILE` opens FILE as the open command would.
    const QStringList args = QApplication::arguments().mid(1);
    for (const QString& a : args)
        if (!a.startsWith('-')) {
            pf::Guard([&] { pf::Form1->OpenFile(a); });
            break;
        }
    int rc = app.exec();
    pf::DestroyForms();
    return rc;
}
