#include "ui/forms.h"

#include <QApplication>

int main(int argc, char** argv)
{
    pf::Application app(argc, argv);
    pf::CreateForms();
    int rc = app.exec();
    pf::DestroyForms();
    return rc;
}
