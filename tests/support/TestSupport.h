// What many tests need: an application object for fonts and printers, and a
// private program folder and profile.
#pragma once

#include "ScopedEnv.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// Makes a QGuiApplication once per test program (fonts and printers need
// one); widget tests use EnsureWidgetApp instead, before anything else.
void EnsureGuiApp();
void EnsureWidgetApp();

// A private program folder and profile for the life of a test, and the
// virtual PDF printer as the default printer.
class CTestHome
{
public:
    CTestHome();
    CTestHome(const CTestHome&) = delete;
    CTestHome& operator=(const CTestHome&) = delete;

    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    CScopedEnv m_home{"TABREL_HOME"};
    CScopedEnv m_printer{"TABREL_DEFAULT_PRINTER"};
};

// Every file under the folder, with a digest of its bytes: two snapshots are
// equal when no file was added, removed or changed.
QMap<QString, QByteArray> Snapshot(const QString& folder);
