// The designer.
#include "PaneParts.h"
#include "SignApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    CSignApp::InstallMessageBoxPresenter();

    CSignApp app(CSignApp::Program::Designer);
    app.frameTemplate = CSignApp::DesignerFrameTemplate();
    // The property panes beside the canvas.
    RegisterPanes();

    int code = 0;
    if (app.InitInstance(QCoreApplication::arguments()))
        code = qtApp.exec();
    const int exitCode = app.ExitInstance();
    return code != 0 ? code : exitCode;
}
