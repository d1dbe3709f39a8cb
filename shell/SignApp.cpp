// The application object: start-up and shut-down of both programs.
#include "SignApp.h"
#include "SplashWnd.h"

#include "BarcodeStyle.h"
#include "Branding.h"
#include "CommandLineInfoEx.h"
#include "ConnectionPropertiesDlg.h"
#include "DesignView.h"
#include "FileName.h"
#include "FilterList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Paper.h"
#include "Preferences.h"
#include "PriceFormatList.h"
#include "PrintLog.h"
#include "ProfileSession.h"
#include "ScriptStore.h"
#include "SequenceStore.h"
#include "ShellParts.h"
#include "ShippedFonts.h"
#include "ToolBarStyle.h"
#include "UserList.h"
#include "UccEanDataDlg.h"
#include "VariableDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryFile>
#include <QUrl>
#include <QWidget>

#include <unistd.h>

// The program's splash screen.
std::function<void(QWidget*)> CSignApp::s_showSplash = [](QWidget* mainWindow) {
    CSplashWnd::EnableSplashScreen(TRUE);
    CSplashWnd::ShowSplashScreen(mainWindow);
};
std::function<void()> CSignApp::s_hideSplash = [] { CSplashWnd::HideSplashScreen(); };

namespace {

CSignApp* g_app = nullptr;

std::function<bool(const QString&)>& FolderWritableCheck()
{
    static std::function<bool(const QString&)> check;
    return check;
}

constexpr int kWebMenuCommand = 32889;

QString ProgramTitleOf(CSignApp::Program program)
{
    return program == CSignApp::Program::Designer ? QStringLiteral("Tabrel")
                                                  : QStringLiteral("Tabrel Print");
}

// One running instance per program and profile: the server's name carries
// the program title, the user and the profile file, so that tests with a
// profile of their own do not meet each other.
QString InstanceServerName()
{
    const QString title = CSignApp::GetProgramTitle();
    const QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                            title);
    const QByteArray hash =
        QCryptographicHash::hash(profile.fileName().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(getuid());
    QString name = QStringLiteral("Corvane-%1-%2-%3").arg(title, user, QString::fromLatin1(hash));
    name.replace(u' ', u'_');
    return name;
}

int ButtonCode(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

int ShowMessageBox(const QString& text, unsigned style)
{
    if (CSignApp::s_hideSplash)
        CSignApp::s_hideSplash();

    using SB = QMessageBox::StandardButton;
    static const std::vector<SB> buttonSets[] = {
        {SB::Ok},
        {SB::Ok, SB::Cancel},
        {SB::Abort, SB::Retry, SB::Ignore},
        {SB::Yes, SB::No, SB::Cancel},
        {SB::Yes, SB::No},
        {SB::Retry, SB::Cancel},
    };
    const unsigned type = style & MB_TYPEMASK;
    const std::vector<SB>& buttons = buttonSets[type <= MB_RETRYCANCEL ? type : 0];

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & MB_ICONMASK) {
    case MB_ICONSTOP:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }

    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    if (!parent && CSignApp::GetApp())
        parent = CSignApp::GetApp()->GetMainWindow();
    QMessageBox box(icon, CSignApp::GetProgramTitle(), text, QMessageBox::NoButton, parent);
    for (SB b : buttons)
        box.addButton(b);
    std::size_t defaultIndex = 0;
    if (style & MB_DEFBUTTON3)
        defaultIndex = 2;
    else if (style & MB_DEFBUTTON2)
        defaultIndex = 1;
    box.setDefaultButton(buttons[std::min(defaultIndex, buttons.size() - 1)]);
    // Escape answers Cancel where there is one, else the only button.
    if (std::find(buttons.begin(), buttons.end(), SB::Cancel) != buttons.end())
        box.setEscapeButton(SB::Cancel);
    else if (buttons.size() == 1)
        box.setEscapeButton(buttons.front());
    box.exec();
    return ButtonCode(box.standardButton(box.clickedButton()));
}

} // namespace

// ---------------------------------------------------------------------------
// The application object

struct CSignApp::State
{
    QString previousTitle;
    CCommandLineInfoEx commandLine;
    std::unique_ptr<QLocalServer> server;
    QPointer<QWidget> mainWindow;
    bool splashEnabled = false;
};

CSignApp::CSignApp(Program program)
    : m_program(program), m_state(std::make_unique<State>()), m_previousApp(g_app)
{
    g_app = this;
}

CSignApp::~CSignApp()
{
    if (m_state->server)
        m_state->server->close();
    delete m_state->mainWindow.data();
    if (!m_state->previousTitle.isNull())
        SetProgramTitle(m_state->previousTitle);
    if (g_app == this)
        g_app = m_previousApp;
}

CSignApp* CSignApp::GetApp()
{
    return g_app;
}

QWidget* CSignApp::GetMainWindow() const
{
    return m_state->mainWindow.data();
}

const CCommandLineInfo& CSignApp::GetCommandLineInfo() const
{
    return m_state->commandLine;
}

bool CSignApp::IsSplashEnabled() const
{
    return m_state->splashEnabled;
}

CSignApp::FrameTemplate CSignApp::DesignerFrameTemplate()
{
    FrameTemplate t;
    t.create = []() -> QWidget* {
        const CBranding& branding = CBranding::Current();
        CFrameHooks& hooks = FrameHooks();
        hooks.webMenuText = branding.webMenuText;
        hooks.webAddress = branding.webURL;
        hooks.signFolder = [] { return CShellSettings::Current().lastTemplateFolder; };
        auto* frame = new CMainFrame;
        new CDesignView(frame, &frame->Document()); // the frame takes it as its canvas
        // A sign opened from a folder makes it the folder the open box starts in.
        QObject::connect(frame, &CMainFrame::signOpened, frame, [](const QString& path) {
            CShellSettings::Current().lastTemplateFolder = CFileName(path).GetFolder(true);
        });
        // So does the folder a sign was saved in.
        QObject::connect(frame, &CMainFrame::signSaved, frame, [](const QString& path) {
            CShellSettings::Current().lastTemplateFolder = CFileName(path).GetFolder(true);
        });
        return frame;
    };
    t.openSign = [](QWidget* frame, const QString& path) {
        return static_cast<CMainFrame*>(frame)->OpenSign(path);
    };
    t.newSign = [](QWidget* frame) { static_cast<CMainFrame*>(frame)->NewSign(); };
    return t;
}

BOOL CSignApp::InitInstance(const QStringList& arguments)
{
    // The settings root: "Corvane/<program title>". The title comes first,
    // since the single-instance check goes by it.
    m_state->previousTitle = GetProgramTitle();
    const QString title = ProgramTitleOf(m_program);
    SetProgramTitle(title);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(title);

    if (!FirstInstance(arguments.mid(1)))
        return FALSE;

    // Every library's classes and sign parts; the faces the programs carry,
    // so that the face lists offer them.
    RegisterAllClasses();
    RegisterShippedFaces();
    CToolBarStyle::Install();
    InstallVariableDialogs();
    InstallGS1DataDialogs();

    // The four recent files are the main window's own; the locale of the
    // system is in force (the C library's was set by QApplication); the help
    // file is found by GetHelpFilePath.
    QLocale::setDefault(QLocale::system());

    m_state->commandLine = CCommandLineInfoEx();
    m_state->commandLine.ParseCommandLine(arguments.mid(1));

    CBranding::Current().ReadAtStartUp(CBranding::FilePath());

    {
        // Each profile file is read once for all of start-up.
        const CProfileSession profile;
        CUserList& users = CUserList::Current();
        users.SetCheckDesignerAccess(m_program == Program::Designer);
        users.Load();
        if (!users.LogOn(FALSE))
            return FALSE;

        // The price formats come before the preferences, which name one.
        ThePriceFormatList().LoadLibrary();
        LoadScriptStore();
        LoadSequenceStore();
        LoadFilterFile();
        LoadViewFile();
        LoadPreferences();
        LoadGridSettings();
        LoadShellSettings();
        // The canvas and the previews draw the sheet's shadow as the profile says.
        CDesignView::s_showShadow = CShellSettings::Current().shadow != 0;

        const QString lastPaper =
            GetProfileString(QStringLiteral("paper"), QStringLiteral("LastPaper"),
                             CBranding::Current().StartPaper());
        ThePaper().Init(lastPaper);

        // The side files of named collections that exist so far, then the
        // print-logging settings.
        TheBarcodeStyleList().Load();
        ThePrintLog().LoadSettings();
        m_initialised = TRUE;
    }

    // The document template: without a main window there is no program.
    // Elements go to the clipboard as GetClipboardFormat(); the desktop's
    // file types are the installation's business.
    if (!frameTemplate.create)
        return FALSE;

    const CCommandLineInfo& info = m_state->commandLine;
    m_state->splashEnabled = info.showSplash && info.shellCommand != CCommandLineInfo::FileOpen &&
                             info.shellCommand != CCommandLineInfo::FilePrint;

    if (!ProcessShellCommand(info))
        return FALSE;

    QWidget* frame = GetMainWindow();
    frame->setAcceptDrops(true);

    const QString webMenuText = CBranding::Current().webMenuText;
    if (!webMenuText.isEmpty()) {
        const QString name = QStringLiteral("cmd_%1").arg(kWebMenuCommand);
        for (QAction* action : frame->findChildren<QAction*>(name))
            action->setText(webMenuText);
    }
    return TRUE;
}

BOOL CSignApp::ProcessShellCommand(const CCommandLineInfo& info)
{
    // A print request opens its sign without printing; other shell
    // requests (DDE, registration, embedding) have nothing to show.
    bool open = false;
    switch (info.shellCommand) {
    case CCommandLineInfo::FileNew:
        break;
    case CCommandLineInfo::FileOpen:
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        if (info.fileName.isEmpty())
            return FALSE;
        open = true;
        break;
    default:
        return FALSE;
    }

    QWidget* frame = frameTemplate.create ? frameTemplate.create() : nullptr;
    if (!frame)
        return FALSE;
    m_state->mainWindow = frame;

    const bool opened =
        open && frameTemplate.openSign && frameTemplate.openSign(frame, info.fileName);
    if (!opened && frameTemplate.newSign)
        frameTemplate.newSign(frame);

    frame->showMaximized();
    if (m_state->splashEnabled && s_showSplash)
        s_showSplash(frame);
    return TRUE;
}

int CSignApp::ExitInstance()
{
    if (m_initialised) {
        // Side files, paper stocks and price formats live in the program
        // folder; a folder that may not be written is left as it is.
        const bool writable = IsProgramFolderWritable();
        if (!writable) {
            qWarning("The program folder %s is read-only: paper stocks, price formats, "
                     "macro scripts and barcode styles changed in this session are not saved",
                     qPrintable(GetProgramFolder()));
        }
        // The profile is written once, when the session ends; a failure
        // is reported then.
        CProfileSession profile;
        SavePreferences();
        if (writable) {
            ThePriceFormatList().SaveLibrary();
            SaveScriptStore();
            SaveSequenceStore();
            SaveFilterFile();
            SaveViewFile();
        }
        SaveGridSettings();
        WriteProfileString(QStringLiteral("paper"), QStringLiteral("LastPaper"),
                           ThePaper().GetPaperName());
        if (writable)
            ThePaper().SaveUserStocks();
        CShellSettings::Current().shadow = CDesignView::s_showShadow ? 1 : 0;
        SaveShellSettings();
        if (writable)
            TheBarcodeStyleList().Save();
        profile.Flush();
        m_initialised = FALSE;
    }

    if (m_state->server) {
        m_state->server->close();
        m_state->server.reset();
    }
    delete m_state->mainWindow.data();
    return 0;
}

BOOL CSignApp::FirstInstance(const QStringList& arguments)
{
    const QString name = InstanceServerName();
    {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(1000)) {
            QByteArray message;
            QDataStream out(&message, QIODevice::WriteOnly);
            out << arguments;
            socket.write(message);
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return FALSE;
        }
    }

    // Nobody answers: a socket left by a program that ended abruptly goes.
    QLocalServer::removeServer(name);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        qWarning("Cannot watch for other instances: %s", qPrintable(server->errorString()));
        return TRUE;
    }
    QLocalServer* listener = server.get();
    QObject::connect(listener, &QLocalServer::newConnection, listener, [this, listener] {
        while (QLocalSocket* socket = listener->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QLocalSocket::readyRead, socket,
                             [socket, buffer] { buffer->append(socket->readAll()); });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                socket->deleteLater();
                QDataStream in(*buffer);
                QStringList others;
                in >> others;
                if (in.status() != QDataStream::Ok)
                    return;
                if (onAnotherInstance) {
                    onAnotherInstance(others);
                } else if (QWidget* frame = GetMainWindow()) {
                    frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
                    frame->show();
                    frame->raise();
                    frame->activateWindow();
                }
            });
        }
    });
    m_state->server = std::move(server);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Program-wide services of the shell

void CSignApp::InstallMessageBoxPresenter()
{
    SetMessageBoxPresenter([](const QString& text, unsigned style, int helpId) {
        // A database error is shown in the link's own error report.
        if (helpId == CMdacErrorDlg::IDD) {
            if (CSignApp::s_hideSplash)
                CSignApp::s_hideSplash();
            QWidget* parent = QApplication::activeModalWidget();
            if (!parent)
                parent = QApplication::activeWindow();
            CMdacErrorDlg report(text, parent);
            report.exec();
            return int(IDOK);
        }
        return ShowMessageBox(text, style);
    });
    InstallDatabaseErrorReport();
}

QString CSignApp::GetHelpFilePath()
{
    const QString name = QStringLiteral("Tabrel.html");
    const QString beside = GetProgramFolder(true) + name;
    if (QFileInfo(beside).isFile())
        return beside;
    // An installed program finds the pages it shipped with.
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/../share/tabrel/") + name);
    return QFileInfo(installed).isFile() ? installed : beside;
}

void CSignApp::WinHelp(const QString& topic)
{
    const QString path = GetHelpFilePath();
    if (!QFileInfo(path).isFile()) {
        AppMessageBox(QCoreApplication::translate("CSignApp", "The help pages %1 cannot be found.")
                          .arg(QDir::toNativeSeparators(path)),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (!topic.isEmpty())
        url.setFragment(topic);
    if (!QDesktopServices::openUrl(url)) {
        AppMessageBox(
            QCoreApplication::translate("CSignApp", "The help pages %1 could not be shown: no web "
                                                    "browser could be started.")
                .arg(QDir::toNativeSeparators(path)),
            MB_OK | MB_ICONEXCLAMATION);
    }
}

QString CSignApp::GetClipboardFormat()
{
    return QStringLiteral("Corvane Zel");
}

bool CSignApp::IsProgramFolderWritable()
{
    const QString folder = GetProgramFolder();
    if (FolderWritableCheck())
        return FolderWritableCheck()(folder);
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

std::unique_ptr<QTemporaryFile> CSignApp::CreateTemporaryFile(const QString& suffix)
{
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/tabrel-XXXXXX") + suffix);
    if (!file->open())
        return nullptr;
    return file;
}

void CSignApp::SetFolderWritableCheckForTests(std::function<bool(const QString&)> check)
{
    FolderWritableCheck() = std::move(check);
}
