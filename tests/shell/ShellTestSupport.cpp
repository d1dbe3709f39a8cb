#include "ShellTestSupport.h"

#include "AppContext.h"
#include "Archive.h"
#include "Box.h"
#include "ElementList.h"
#include "OleObject.h"
#include "Paper.h"
#include "Text.h"

#include <QAction>
#include <QMenuBar>

QByteArray SignReferringBackToAnOleObject()
{
    CAppContext context;
    ThePaper().Init("A4");
    CSignData sign;
    CElementList& list = TheElementList();
    auto* box = new CBox;
    box->m_name = QStringLiteral("Box1");
    box->SetBounds(nullptr, CRect(100, 100, 600, 400));
    box->m_fillInterior = TRUE;
    box->m_fillColour = 0;
    list.AddTail(box);
    auto* object = new COleObject;
    object->m_name = QStringLiteral("Object1");
    object->m_position = CRect(700, 100, 900, 300);
    object->RecalcPosition(nullptr);
    list.AddTail(object);
    auto* text = new CText;
    text->m_name = QStringLiteral("Text1");
    list.AddTail(text);
    // The object once more: the archive writes a reference to the object
    // it wrote before.
    list.AddTail(object);
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        sign.Serialize(ar);
    }
    list.Remove(object);
    sign.DeleteContents();
    return bytes;
}

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
