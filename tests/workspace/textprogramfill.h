// What the window tests do in the text-program window as an operator would.
#pragma once

#include "protocol/ui/textprogramwindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

// Fills the text-program window's lists as the operator would and makes the
// material, waiting for it.
inline void addTextProgramMaterial(ledsign::TextProgramWindow& tp)
{
    tp.modeList()->setCurrentIndex(0);
    tp.speedList()->setCurrentIndex(0);
    tp.attributeList()->setCurrentIndex(0);
    tp.colorList()->setCurrentIndex(0);
    tp.fontList()->setCurrentIndex(0);
    tp.sizeList()->setCurrentIndex(1);
    bool made = false;
    const QMetaObject::Connection c =
        QObject::connect(&tp, &ledsign::TextProgramWindow::materialCreated, &tp, [&made] { made = true; });
    tp.newMaterial();
    QDeadlineTimer deadline(2000);
    while (!made && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QObject::disconnect(c);
}
