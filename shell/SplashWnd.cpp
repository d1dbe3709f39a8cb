#include "SplashWnd.h"

#include "MainFrame.h"
#include "SignApp.h"
#include "ui/WelcomeDlg.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

BOOL g_enabled = FALSE;
QPointer<CSplashWnd> g_splash;

// Runs the welcome dialog once no modal window is open: a message box that
// hid the splash has been answered first, and the dialog never runs inside
// its event loop.
void RunWelcomeWhenIdle(QWidget* mainWindow)
{
    auto* timer = new QTimer(mainWindow ? static_cast<QObject*>(mainWindow) : qApp);
    timer->setObjectName(QStringLiteral("welcome"));
    timer->setInterval(20);
    QPointer<QWidget> main(mainWindow);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, main] {
        if (QApplication::activeModalWidget())
            return;
        timer->stop();
        timer->deleteLater();
        if (main)
            RunWelcomeDialog(main);
    });
    timer->start();
}

} // namespace

void CSplashWnd::EnableSplashScreen(BOOL enable)
{
    g_enabled = enable;
}

BOOL CSplashWnd::IsSplashScreenEnabled()
{
    return g_enabled;
}

CSplashWnd* CSplashWnd::Current()
{
    return g_splash.data();
}

void CSplashWnd::ShowSplashScreen(QWidget* mainWindow)
{
    if (!g_enabled || g_splash)
        return;
    QImageReader reader(CSignApp::GetProgramFolder(true) + QLatin1String(kFileName), "bmp");
    // A splash is a screen's worth at most; anything larger is no splash.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > 4096 || size.height() > 4096)
        return;
    const QImage picture = reader.read();
    if (picture.isNull())
        return; // no picture, no splash, and no welcome dialog after it
    g_splash = new CSplashWnd(mainWindow, picture);
    g_splash->show();
    g_splash->repaint();
}

void CSplashWnd::HideSplashScreen()
{
    CSplashWnd* splash = g_splash.data();
    if (!splash)
        return;
    g_splash = nullptr;
    qApp->removeEventFilter(splash);
    QWidget* mainWindow = splash->parentWidget();
    splash->hide();
    splash->deleteLater();
    if (mainWindow) {
        mainWindow->update();
        RunWelcomeWhenIdle(mainWindow);
    }
}

CSplashWnd::CSplashWnd(QWidget* mainWindow, const QImage& picture)
    : QWidget(mainWindow, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture)
{
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    resize(m_picture.size());
    QScreen* screen = mainWindow && mainWindow->screen() ? mainWindow->screen()
                                                         : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    QTimer::singleShot(kShowMilliseconds, this, [] { HideSplashScreen(); });
    // The first key or mouse-button press anywhere in the program only
    // removes the splash.
    qApp->installEventFilter(this);
}

CSplashWnd::~CSplashWnd()
{
    qApp->removeEventFilter(this);
}

void CSplashWnd::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawImage(rect(), m_picture);
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The key press that follows removes the splash; no shortcut may
        // take it first.
        if (g_splash == this) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        if (g_splash == this) {
            HideSplashScreen();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void RunWelcomeDialog(QWidget* mainWindow)
{
    const QString section = QStringLiteral("Settings");
    const QString key = QStringLiteral("WelcomeDialog");
    if (CSignApp::GetProfileInt(section, key, 1) == 0)
        return;
    CWelcomeDlg dialog(mainWindow);
    const int result = dialog.exec();
    if (dialog.ShowAtStartup() == 0)
        CSignApp::WriteProfileInt(section, key, 0);
    if (result == CWelcomeDlg::kOpenExisting) {
        if (auto* frame = qobject_cast<CMainFrame*>(mainWindow))
            frame->ExecuteCommand(ID_FILE_OPEN);
        else if (auto* open = mainWindow ? mainWindow->findChild<QAction*>(
                                               QStringLiteral("cmd_%1").arg(ID_FILE_OPEN))
                                         : nullptr;
                 open && open->isEnabled())
            open->trigger(); // the print front end's own main window
    }
}
