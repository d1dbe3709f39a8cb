#include "ShellTestSupport.h"

#include <QAction>
#include <QMenuBar>

CSignApp::FrameTemplate CStubFrames::Template()
{
    CSignApp::FrameTemplate t;
    t.create = [this]() -> QWidget* {
        ++created;
        if (failCreate)
            return nullptr;
        auto* window = new QMainWindow;
        QMenu* help = window->menuBar()->addMenu(QStringLiteral("&Help"));
        QAction* web = help->addAction(QStringLiteral("Corvane &Home Page"));
        web->setObjectName(QStringLiteral("cmd_32889"));
        frame = window;
        return window;
    };
    t.openSign = [this](QWidget*, const QString& path) -> BOOL {
        opened.append(path);
        if (!document.OnOpenDocument(path))
            return FALSE;
        document.SetPathName(path);
        return TRUE;
    };
    t.newSign = [this](QWidget*) {
        ++newSigns;
        document.DeleteContents();
        document.SetPathName(QString());
    };
    return t;
}
