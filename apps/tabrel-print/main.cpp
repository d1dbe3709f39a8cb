// The print front end.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Tabrel Print"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tabrel Print"));
    window.resize(1024, 720);
    window.show();
    return app.exec();
}
