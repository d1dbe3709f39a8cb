// The controls of the program's dialogs and panes as a test finds them: by
// the id each one is named after ("id1089").
#pragma once

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

// The control of that id below parent; a control that is not there fails the
// test (and gives null).
template <class W> W* Control(QWidget* parent, int id)
{
    W* w = parent ? parent->findChild<W*>(QStringLiteral("id%1").arg(id)) : nullptr;
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}
