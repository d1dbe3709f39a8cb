// The print front end: the sign browser over the sign folders, the preview
// of the selected sign, and printing it directly or through data entry.
#include "PrintFrame.h"
#include "SignApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    CSignApp::InstallMessageBoxPresenter();

    CSignApp app(CSignApp::Program::PrintFrontEnd);
    app.frameTemplate = CPrintFrame::Template();

    int code = 0;
    if (app.InitInstance(QCoreApplication::arguments()))
        code = qtApp.exec();
    const int exitCode = app.ExitInstance();
    return code != 0 ? code : exitCode;
}
