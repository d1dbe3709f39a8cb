// Program-wide services of the application: the program's title and folder,
// and the per-user profile. The profile is an INI file per program below the
// "Corvane" folder of the user's configuration, plus one "Corvane" file for
// the keys that both programs share (pass shared = true for those).
//
// An object of the class is the application object of a running program: it
// runs start-up and shut-down around the Qt application's event loop. Those
// members are defined with the shell; the framework itself only uses the
// static services.
#pragma once

#include "CommandLineInfo.h"
#include "LogFontFields.h"
#include "Types.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QTemporaryFile;
class QWidget;

class CSignApp
{
public:
    enum class Program
    {
        Designer,      // "Tabrel"
        PrintFrontEnd, // "Tabrel Print"
    };

    // The program's main window as start-up makes and fills it; main() sets
    // it before InitInstance.
    struct FrameTemplate
    {
        // A new main window, not yet shown; null when it cannot be made.
        std::function<QWidget*()> create;
        // Reads a sign into the window's document; FALSE when it cannot.
        std::function<BOOL(QWidget* frame, const QString& path)> openSign;
        // Starts a new, empty sign.
        std::function<void(QWidget* frame)> newSign;
    };

    // The designer's main window, CMainFrame, given the branding file's web
    // menu item and the last-used template folder.
    static FrameTemplate DesignerFrameTemplate();

    explicit CSignApp(Program program = Program::Designer);
    ~CSignApp();
    CSignApp(const CSignApp&) = delete;
    CSignApp& operator=(const CSignApp&) = delete;

    // The application object of the running program; null when none exists.
    static CSignApp* GetApp();

    // Start-up: TRUE to run the event loop, FALSE to end the program (a
    // second instance, a cancelled log-on, no main window). The arguments
    // are QCoreApplication::arguments(), the program's own name first.
    BOOL InitInstance(const QStringList& arguments);
    // Shut-down: saves the settings and side files when start-up got as far
    // as loading them, then closes the main window. Run it whatever
    // InitInstance answered. Returns the exit code.
    int ExitInstance();
    // TRUE when no other instance of this program runs for this user. When
    // one does, it is handed this command line (it comes to the front) and
    // the answer is FALSE.
    BOOL FirstInstance(const QStringList& arguments = QStringList());
    // Opens a new sign or the named one in the maximised main window;
    // FALSE when no main window could be made or nothing is to be opened.
    BOOL ProcessShellCommand(const CCommandLineInfo& info);

    Program GetProgram() const { return m_program; }
    // Set once the settings and side files are loaded: only then does
    // shut-down save them.
    BOOL IsInitialised() const { return m_initialised; }
    QWidget* GetMainWindow() const;
    const CCommandLineInfo& GetCommandLineInfo() const;
    // Whether start-up let the splash screen show.
    bool IsSplashEnabled() const;

    FrameTemplate frameTemplate;
    // Runs in the first instance when another one was started, with that
    // one's arguments. Unset: the main window is restored and raised.
    std::function<void(const QStringList& arguments)> onAnotherInstance;

    // The splash screen: shown over the new main window when start-up
    // enables it; hidden before every message box. Unset: no splash.
    static std::function<void(QWidget* mainWindow)> s_showSplash;
    static std::function<void()> s_hideSplash;

    // Makes message boxes real dialogs (the programs call it in main();
    // tests keep their responder).
    static void InstallMessageBoxPresenter();
    // The help pages, "Tabrel.html" in the program folder (else where the
    // installation put the shipped files); WinHelp opens them in the
    // desktop's browser at the named topic (an anchor of the pages; empty:
    // their first topic), and says so when they are missing or the browser
    // cannot be started.
    static QString GetHelpFilePath();
    static void WinHelp(const QString& topic = QString());
    // The clipboard format of elements, "Corvane Zel".
    static QString GetClipboardFormat();
    // Whether the program may write files into its folder (side files, the
    // user's paper stocks, price formats). A read-only folder is left alone.
    static bool IsProgramFolderWritable();
    // An open temporary file in the system's temporary folder with an
    // unpredictable name ending in the suffix; removed when destroyed.
    static std::unique_ptr<QTemporaryFile> CreateTemporaryFile(const QString& suffix);
    // Replaces the writability test of the program folder (null: the real one).
    static void SetFolderWritableCheckForTests(std::function<bool(const QString&)> check);

    static void SetProgramTitle(const QString& title);
    // "Tabrel" until set.
    static QString GetProgramTitle();

    // $TABREL_HOME when set; else the executable's folder when it is
    // writable; else ~/.local/share/Corvane/Tabrel, made when missing.
    static QString GetProgramFolder(bool trailingSeparator = false);
    // The program folder, "/Tabrel" and the extension (with its dot). Both
    // programs share these side files.
    static QString GetProgramFileName(const QString& extensionWithDot);
    // A picture path stored with a leading ".\" (or "./"): in the program
    // folder; when it is not there but lies beside the sign being read (a
    // sign unpacked from a package names its pictures so), that one.
    static QString ResolveRelativePicture(const QString& stored);

    // The profile: each call opens its file, and each write puts it on disk
    // at once, unless a CProfileSession runs (see ProfileSession.h), which
    // keeps the files open and writes them when it ends. Writes answer
    // FALSE when the file could not be written (the user is told once) or
    // is not written because it could not be read completely.

    // Integer values: missing or not a number gives the default.
    static int GetProfileInt(const QString& section, const QString& key, int defaultValue,
                             bool shared = false);
    static bool WriteProfileInt(const QString& section, const QString& key, int value,
                                bool shared = false);

    static QString GetProfileString(const QString& section, const QString& key,
                                    const QString& defaultValue = QString(), bool shared = false);
    static bool WriteProfileString(const QString& section, const QString& key, const QString& value,
                                   bool shared = false);

    // Signed 32-bit values stored as decimal text (colours use this form).
    // Missing or empty text gives the default; text that does not start with
    // a number gives 0.
    static LONG GetProfileLong(const QString& section, const QString& key, LONG defaultValue,
                               bool shared = false);
    static bool WriteProfileLong(const QString& section, const QString& key, LONG value,
                                 bool shared = false);

    // A font as fourteen keys of one section, named after its fields
    // ("lfHeight" ... "lfFaceName"). A missing key leaves that field of
    // inOut as it was.
    static void GetProfileFont(const QString& section, LogFontFields& inOut, bool shared = false);
    static bool WriteProfileFont(const QString& section, const LogFontFields& font,
                                 bool shared = false);

    // Points the user-scope INI files at a folder of the test's own.
    static void SetProfileFolderForTests(const QString& folder);

private:
    struct State;
    Program m_program;
    BOOL m_initialised = FALSE;
    std::unique_ptr<State> m_state;
    CSignApp* m_previousApp = nullptr;
};
