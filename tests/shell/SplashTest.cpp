// Start-up's splash screen and the "Getting Started" dialog after it, and
// the About box, as the designer runs them: the splash picture shipped in
// the program folder, a key press or a message box removing it, and the
// welcome dialog's choices kept in the profile.
#include "MainFrame.h"

#include "AppContext.h"
#include "Branding.h"
#include "Messages.h"
#include "MessageBox.h"
#include "SignApp.h"
#include "SplashWnd.h"
#include "TestSupport.h"
#include "ui/AboutDlg.h"
#include "ui/WelcomeDlg.h"

#include "../support/DialogAnswer.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>
#include <optional>

namespace {

// Receives the addresses the desktop would open, so that no browser starts.
class CUrlCatcher : public QObject
{
    Q_OBJECT

public:
    CUrlCatcher()
    {
        for (const char* scheme : {"http", "https", "mailto", "file", "ftp", "javascript"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~CUrlCatcher() override
    {
        for (const char* scheme : {"http", "https", "mailto", "file", "ftp", "javascript"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QStringList opened;

public slots:
    void Open(const QUrl& url) { opened << url.toString(); }
};

class SplashTest : public ::testing::Test
{
protected:
    SplashTest() { EnsureWidgetApp(); }
    ~SplashTest() override { Stop(); }

    void ShipSplash()
    {
        ASSERT_TRUE(QFile::copy(TABREL_SOURCE_DIR "/resources/files/Splash.dib",
                                home.FilePath(CSplashWnd::kFileName)));
    }
    void Start(QStringList arguments = {"tabrel"})
    {
        context.emplace();
        app.emplace();
        app->frameTemplate = CSignApp::DesignerFrameTemplate();
        CSignApp::InstallMessageBoxPresenter();
        if (app->InitInstance(arguments))
            frame = qobject_cast<CMainFrame*>(app->GetMainWindow());
    }
    void Stop()
    {
        CSplashWnd::HideSplashScreen();
        if (frame)
            frame->Document().SetModifiedFlag(false);
        if (app)
            app->ExitInstance();
        frame = nullptr;
        app.reset();
        context.reset();
        SetMessageBoxPresenter(nullptr);
    }
    // Runs the event loop until the condition holds (at most a few seconds).
    static bool WaitFor(const std::function<bool()>& condition)
    {
        return QTest::qWaitFor(condition, 10000);
    }
    // The timer that waits to show the welcome dialog, while it waits.
    QTimer* WelcomeTimer() const
    {
        return frame ? frame->findChild<QTimer*>(QStringLiteral("welcome")) : nullptr;
    }
    // Whether the welcome dialog has had its turn (shown and closed, or not
    // wanted).
    bool WelcomeTurnPassed() const { return WelcomeTimer() == nullptr; }

    CTestHome home;
    std::optional<CAppContext> context;
    std::optional<CSignApp> app;
    CMainFrame* frame = nullptr;
};

} // namespace

TEST_F(SplashTest, NoPictureNoSplashAndNoWelcome)
{
    Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    // Nothing waits to show the welcome dialog.
    QApplication::processEvents();
    EXPECT_TRUE(WelcomeTurnPassed());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(SplashTest, NoSplashWhenAFileIsNamedOrTheSwitchSaysSo)
{
    ShipSplash();
    Start({"tabrel", "/NOSPLASH"});
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

TEST_F(SplashTest, AKeyRemovesTheSplashAndTheWelcomeChoiceIsKept)
{
    ShipSplash();
    Start();
    ASSERT_NE(frame, nullptr);
    CSplashWnd* splash = CSplashWnd::Current();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->size(), QSize(480, 280));
    // It shows the picture.
    const QImage shown = splash->grab().toImage();
    EXPECT_NE(shown.pixelColor(5, 5), shown.pixelColor(240, 233)) << "a plain window";

    // The welcome dialog follows; untick "Show this screen at startup" and
    // go on with the new sign.
    bool sawSplashGone = false;
    CAnswer<CWelcomeDlg> welcome([&](CWelcomeDlg* dialog) {
        sawSplashGone = CSplashWnd::Current() == nullptr;
        EXPECT_EQ(dialog->findChild<QLabel*>("id1513")->text(), "Open an Existing Sign Design");
        EXPECT_EQ(dialog->findChild<QLabel*>("id1514")->text(), "Create a New Sign Design");
        EXPECT_TRUE(dialog->ShowCheck()->isChecked());
        dialog->ShowCheck()->setChecked(false);
        QTest::mouseClick(dialog->findChild<QToolButton*>("id1137"), Qt::LeftButton);
    });
    // The key only removes the splash: it reaches no field.
    auto* field = new QLineEdit(frame);
    field->show();
    QTest::keyClick(field, Qt::Key_X);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(field->text(), "");
    ASSERT_TRUE(WaitFor([&] { return welcome.Answered(); }));
    EXPECT_TRUE(sawSplashGone);
    QTest::keyClick(field, Qt::Key_X);
    EXPECT_EQ(field->text(), "x");
    EXPECT_EQ(CSignApp::GetProfileInt("Settings", "WelcomeDialog", 1), 0);

    // The next start: the splash goes without a dialog.
    Stop();
    Start();
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    QTest::mouseClick(frame, Qt::LeftButton);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return WelcomeTurnPassed(); }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(SplashTest, EscapeStoresNothingAndOpenSendsFileOpen)
{
    ShipSplash();
    Start();
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    CAnswer<CWelcomeDlg> escape([](CWelcomeDlg* dialog) {
        dialog->ShowCheck()->setChecked(false);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    CSplashWnd::HideSplashScreen();
    ASSERT_TRUE(WaitFor([&] { return escape.Answered() && WelcomeTurnPassed(); }));
    EXPECT_EQ(CSignApp::GetProfileInt("Settings", "WelcomeDialog", 1), 1);

    // Next starts: "Open an Existing Sign Design" runs File Open, whether
    // the user clicks its icon or its caption.
    for (const char* clicked : {"id1512", "id1513"}) {
        SCOPED_TRACE(clicked);
        Stop();
        Start();
        ASSERT_NE(CSplashWnd::Current(), nullptr);
        int asked = 0;
        FrameHooks().chooseFile = [&asked](QWidget*, const CFileChoice& choice) {
            asked += choice.save ? 0 : 1;
            return QString(); // the user cancels the open box
        };
        CAnswer<CWelcomeDlg> open([clicked](CWelcomeDlg* dialog) {
            QTest::mouseClick(dialog->findChild<QWidget*>(clicked), Qt::LeftButton);
        });
        CSplashWnd::HideSplashScreen();
        ASSERT_TRUE(WaitFor([&] { return open.Answered() && asked > 0; }));
        EXPECT_EQ(asked, 1);
        FrameHooks().chooseFile = nullptr;
    }

    // The other caption goes on with the new sign, as its icon does.
    Stop();
    Start();
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    int result = -1;
    CAnswer<CWelcomeDlg> create([&result](CWelcomeDlg* dialog) {
        QObject::connect(dialog, &QDialog::finished, [&result](int code) { result = code; });
        QTest::mouseClick(dialog->findChild<QWidget*>("id1514"), Qt::LeftButton);
    });
    CSplashWnd::HideSplashScreen();
    ASSERT_TRUE(WaitFor([&] { return create.Answered() && result >= 0; }));
    EXPECT_EQ(result, CWelcomeDlg::kCreateNew);
}

TEST_F(SplashTest, AMessageBoxRemovesTheSplashAndTheWelcomeWaitsForIt)
{
    ShipSplash();
    Start();
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    bool splashGoneDuringBox = false;
    bool welcomeDuringBox = true;
    bool welcomeAfterBox = false;
    bool boxClosed = false;
    CAnswer<QMessageBox> box([&](QMessageBox* message) {
        splashGoneDuringBox = CSplashWnd::Current() == nullptr;
        // Give the welcome dialog every chance to push in: its timer looks
        // for its turn at least once.
        if (QTimer* waiting = WelcomeTimer()) {
            QSignalSpy looked(waiting, &QTimer::timeout);
            EXPECT_TRUE(looked.wait(10000));
        }
        welcomeDuringBox = qobject_cast<CWelcomeDlg*>(QApplication::activeModalWidget()) != nullptr;
        boxClosed = true;
        message->accept();
    });
    CAnswer<CWelcomeDlg> welcome([&](CWelcomeDlg* dialog) {
        welcomeAfterBox = boxClosed;
        dialog->reject();
    });
    AppMessageBox(QStringLiteral("A sign could not be read."));
    EXPECT_TRUE(box.Answered());
    EXPECT_TRUE(splashGoneDuringBox);
    EXPECT_FALSE(welcomeDuringBox);
    ASSERT_TRUE(WaitFor([&] { return welcome.Answered(); }));
    EXPECT_TRUE(welcomeAfterBox);
}

TEST_F(SplashTest, AboutBoxAndItsAddresses)
{
    QFile branding(home.FilePath(CBranding::kFileName));
    ASSERT_TRUE(branding.open(QIODevice::WriteOnly));
    branding.write("[HelpAboutText]=\r\nSold by Shelf & Co.\r\nSee https://shelf.example/help, "
                   "mail mailto:help@shelf.example or file:///etc/passwd\r\n");
    branding.close();
    Start({"tabrel", "/nosplash"});
    ASSERT_NE(frame, nullptr);
    CUrlCatcher catcher;
    CAnswer<CAboutDlg> about([&](CAboutDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "About Tabrel");
        EXPECT_EQ(dialog->findChild<QLabel*>("id1065")->text(), "Version 5.14");
        EXPECT_FALSE(dialog->findChild<QLabel*>("id1316")->text().isEmpty());
        QTextBrowser* text = dialog->AboutText();
        EXPECT_FALSE(text->isHidden());
        EXPECT_TRUE(text->toPlainText().contains("Sold by Shelf & Co."));
        const QString html = text->toHtml();
        EXPECT_TRUE(html.contains("href=\"https://shelf.example/help\"")) << html.toStdString();
        EXPECT_TRUE(html.contains("href=\"mailto:help@shelf.example\""));
        EXPECT_FALSE(html.contains("href=\"file:"));
        emit text->anchorClicked(QUrl("https://shelf.example/help"));
        emit text->anchorClicked(QUrl("file:///etc/passwd"));
        dialog->accept();
    });
    frame->UpdateActionsNow();
    frame->Action(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(about.Answered());
    EXPECT_EQ(catcher.opened, QStringList{"https://shelf.example/help"});

    struct Case
    {
        const char* address;
        bool opens;
    };
    const Case cases[] = {
        {"http://example.com", true},       {"https://example.com/a?b=1", true},
        {"mailto:someone@example.com", true}, {"www.example.com", true},
        {"file:///etc/passwd", false},      {"/usr/bin/xterm", false},
        {"javascript:alert(1)", false},     {"ftp://example.com", false},
        {"", false},                        {"https://", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenWebAddress(QString::fromLatin1(c.address)) == EWebOpen::Opened, c.opens)
            << c.address;
    EXPECT_EQ(catcher.opened.size(), 5);
}

TEST_F(SplashTest, AboutBoxWithoutBrandingHidesItsText)
{
    Start({"tabrel", "-nosplash"});
    ASSERT_NE(frame, nullptr);
    CAnswer<CAboutDlg> about([](CAboutDlg* dialog) {
        EXPECT_TRUE(dialog->AboutText()->isHidden());
        dialog->accept();
    });
    frame->Action(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(about.Answered());
}

#include "SplashTest.moc"
