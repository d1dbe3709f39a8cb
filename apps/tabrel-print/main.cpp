// The print front end. It starts as the designer does, with a title and a
// profile of its own; until its sign browser exists its main window only
// names the sign it holds.
#include "SignApp.h"
#include "SignData.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>

namespace {

class CPrintFrame : public QMainWindow
{
public:
    CPrintFrame()
    {
        setObjectName(QStringLiteral("mainFrame"));
        m_label = new QLabel(this);
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setObjectName(QStringLiteral("signName"));
        setCentralWidget(m_label);
        resize(1024, 720);
        Show();
    }

    BOOL Open(const QString& path)
    {
        const BOOL opened = m_document.OnOpenDocument(path);
        m_document.SetPathName(opened ? QFileInfo(path).absoluteFilePath() : QString());
        Show();
        return opened;
    }
    void New()
    {
        m_document.DeleteContents();
        m_document.SetPathName(QString());
        Show();
    }

private:
    void Show()
    {
        const QString path = m_document.GetPathName();
        const QString name = path.isEmpty() ? tr("No sign open") : QFileInfo(path).fileName();
        m_label->setText(name);
        setWindowTitle(name + QStringLiteral(" - ") + CSignApp::GetProgramTitle());
    }

    CSignData m_document;
    QLabel* m_label = nullptr;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    CSignApp::InstallMessageBoxPresenter();

    CSignApp app(CSignApp::Program::PrintFrontEnd);
    app.frameTemplate.create = []() -> QWidget* { return new CPrintFrame; };
    app.frameTemplate.openSign = [](QWidget* frame, const QString& path) {
        return static_cast<CPrintFrame*>(frame)->Open(path);
    };
    app.frameTemplate.newSign = [](QWidget* frame) { static_cast<CPrintFrame*>(frame)->New(); };

    int code = 0;
    if (app.InitInstance(QCoreApplication::arguments()))
        code = qtApp.exec();
    const int exitCode = app.ExitInstance();
    return code != 0 ? code : exitCode;
}
