#include "ShippedFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

// The font files are compiled into the program.
static void InitShippedFontResources()
{
    Q_INIT_RESOURCE(fonts);
}

bool RegisterShippedFaces()
{
    static bool registered = false;
    if (registered)
        return true;
    // Fonts can be added once the application object of a GUI exists.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    registered = true;
    InitShippedFontResources();
    for (const char* path : {":/fonts/TabrelBullets.ttf"}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly) ||
            QFontDatabase::addApplicationFontFromData(file.readAll()) < 0)
            qWarning("The font %s that comes with the program could not be loaded", path);
    }
    return true;
}
