// The designer.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Tabrel"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tabrel"));
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
