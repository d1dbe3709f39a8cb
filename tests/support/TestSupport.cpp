#include "TestSupport.h"

#include "SignApp.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>

namespace {

int g_argc = 1;
char g_name[] = "tabrel_tests";
char* g_argv[] = {g_name, nullptr};

// The canvas maps at four pixels a millimetre, whatever the screen says,
// also when a test program is run by hand or by ctest alone.
void UseTestScale()
{
    if (qEnvironmentVariableIsEmpty("TABREL_PX_PER_MM"))
        qputenv("TABREL_PX_PER_MM", "4");
}

} // namespace

void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    UseTestScale();
    new QGuiApplication(g_argc, g_argv);
}

void EnsureWidgetApp()
{
    if (QCoreApplication::instance())
        return;
    UseTestScale();
    new QApplication(g_argc, g_argv);
}

CTestHome::CTestHome()
{
    m_home.Set(m_dir.path().toUtf8());
    m_printer.Set("Tabrel PDF");
    CSignApp::SetProfileFolderForTests(m_dir.path());
}

QMap<QString, QByteArray> Snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(path, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return files;
}
