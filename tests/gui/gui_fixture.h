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
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

// Sends a mouse event to the widget, as the window system would deliver it.
inline void Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint pos)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

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
