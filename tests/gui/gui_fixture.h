// Every GUI test starts with a fresh set of windows, as at program start.
#pragma once

#include "editor/editor_state.h"
#include "picture/picture.h"
#include "ui/forms.h"
#include "ui/main/form1.h"
#include "ui/messages.h"
#include "ui/tools/tools.h"
#include "ui/work_area/work_area.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        messages.clear();
        pf::SetMessageAnswerer([this](const QString& text, const QString& caption, QMessageBox::StandardButtons) {
            messages.push_back(caption + ": " + text);
            return answer;
        });
        pf::CreateForms();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        pf::DestroyForms();
        pf::SetMessageAnswerer({});
    }
    pf::TImage* image() const { return pf::Work_area->Image1; }
    QImage picture() const { return pf::Work_area->Image1->picture(); }

    std::vector<QString> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};
