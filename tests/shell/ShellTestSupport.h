// What the shell's tests share: a stand-in main window for start-up, and a
// way to answer a modal dialog that start-up opens.
#pragma once

#include "SignApp.h"
#include "SignData.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

// A sign as the Windows program may write it: an OLE object (which this
// system leaves out when it reads the sign), a box, a text, and then a
// second reference to the OLE object. The reader must refuse it as damaged.
QByteArray SignReferringBackToAnOleObject();

// A plain main window with the web menu item, and a document of its own.
class CStubFrames
{
public:
    CSignApp::FrameTemplate Template();

    int created = 0;
    int newSigns = 0;
    QStringList opened;
    bool failCreate = false;
    CSignData document;
    QPointer<QMainWindow> frame;
};

// Runs the action on the first modal dialog of type T that shows while the
// object lives (once).
template <class T> class CAnswerDialog
{
public:
    explicit CAnswerDialog(std::function<void(T*)> action) : m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_answered = true;
                m_action(dialog);
            }
        });
        m_timer.start(5);
    }
    bool Answered() const { return m_answered; }

private:
    std::function<void(T*)> m_action;
    QTimer m_timer;
    bool m_answered = false;
};
