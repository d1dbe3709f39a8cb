// The splash screen: "Splash.dib" from the program folder, shown over the
// new main window for five seconds or until the first key or mouse-button
// press, or until a message box shows. When it goes, the "Getting Started"
// dialog follows, unless the user turned it off; it never runs inside a
// message box or another modal dialog, but waits until they have closed.
#pragma once

#include "Types.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class CSplashWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kShowMilliseconds = 5000;
    static constexpr const char* kFileName = "Splash.dib";

    static void EnableSplashScreen(BOOL enable);
    static BOOL IsSplashScreenEnabled();
    // Makes the splash over the main window when it is enabled, none shows
    // yet and the picture loads; paints it at once.
    static void ShowSplashScreen(QWidget* mainWindow);
    // Hides and destroys the splash, repaints the main window and (after
    // any modal window has closed) runs the welcome dialog.
    static void HideSplashScreen();
    // The splash showing now, or null.
    static CSplashWnd* Current();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSplashWnd(QWidget* mainWindow, const QImage& picture);
    ~CSplashWnd() override;

    QImage m_picture;
};

// Runs the welcome dialog when the profile does not turn it off; its
// "Open an Existing Sign Design" sends File Open to the main window.
void RunWelcomeDialog(QWidget* mainWindow);
