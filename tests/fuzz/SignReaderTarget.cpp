#include "SignReaderTarget.h"

#include "AppContext.h"
#include "Box.h"
#include "ElementList.h"
#include "Line.h"
#include "MessageBox.h"
#include "ModelClasses.h"
#include "PageLabels.h"
#include "Paper.h"
#include "SignApp.h"
#include "SignData.h"
#include "VariableParts.h"

#include "../model/TestElements.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <new>

namespace {

QTemporaryDir* g_home = nullptr;

} // namespace

void PrepareSignReading()
{
    if (g_home)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
    g_home = new QTemporaryDir();
    qputenv("TABREL_HOME", g_home->path().toUtf8());
    CSignApp::SetProfileFolderForTests(g_home->path());
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "sign_reader";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    RegisterModelElementClasses();
    RegisterVariableSignParts();
}

void ReadSignBytes(const std::uint8_t* data, std::size_t size)
{
    PrepareSignReading();
    CAppContext context;
    CMessageResponder messages; // every question answered with its default
    ThePaper().Init("A4");
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CSignData document;
    CArchive ar(&bytes, CArchive::load);
    try {
        document.Serialize(ar);
    } catch (const CArchiveException&) {
    } catch (const CUserException&) {
    } catch (const std::bad_alloc&) {
    }
    document.DeleteContents();
}

QByteArray MakeSeedSign()
{
    PrepareSignReading();
    CAppContext context;
    ThePaper().Init("A4");
    CSignData document;
    document.m_title = "Seed";
    document.m_author = "Tests";
    CTestRect* box = MakeRect(TheElementList(), "Box1", CRect(10, 20, 300, 400));
    box->SetDataSource(SOURCE_KEYBOARD, "");
    box->m_prefix = "$";
    auto* line = new CTestLine;
    line->m_name = "Line1";
    line->m_to = CPoint(100, 0);
    TheElementList().AddTail(line);
    MakeRect(TheElementList(), "Box2", CRect(1, 2, 3, 4));
    for (const char* cls : {"CBox", "CEllipse", "CLine"}) {
        CElement* shape = TheElementList().CreateElement(cls);
        if (shape)
            shape->SetBounds(nullptr, CRect(50, 60, 250, 160));
    }
    ThePageLabels().Item(CPageLabels::HEADER).print = 1;
    ThePageLabels().Item(CPageLabels::HEADER).format = "$f:Page $p:$d<%Y>";
    TheSignSettings().columnWidths = {10, 20};
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    document.Serialize(ar);
    return bytes;
}
