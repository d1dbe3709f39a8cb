#include "SignApp.h"

#include "AppContext.h"
#include "BarcodeStyle.h"
#include "Branding.h"
#include "CommandLineInfoEx.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Paper.h"
#include "Preferences.h"
#include "PriceFormatList.h"
#include "ShellParts.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "ToolBarStyle.h"
#include "UserList.h"
#include "ui/LoginDlg.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QStyleFactory>
#include <QToolBar>
#include <QTemporaryFile>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

class StartupTest : public ::testing::Test
{
protected:
    StartupTest() : savedHooks(SignHooks()) { EnsureWidgetApp(); }
    ~StartupTest() override
    {
        CSignApp::SetFolderWritableCheckForTests(nullptr);
        SignHooks() = savedHooks;
    }

    // Starts the program as if with these arguments after its name.
    BOOL Start(CSignApp& app, const QStringList& arguments = {}, CStubFrames* stub = nullptr)
    {
        app.frameTemplate = (stub ? stub : &frames)->Template();
        return app.InitInstance(QStringList{"tabrel"} + arguments);
    }

    QString ProfileFile(const char* title = "Tabrel") const
    {
        return home.FilePath(QStringLiteral("Corvane/%1.ini").arg(title));
    }
    QString Stored(const QString& key, const char* title = "Tabrel") const
    {
        return QSettings(ProfileFile(title), QSettings::IniFormat).value(key).toString();
    }

    // Every file below the home folder with its contents.
    std::map<QString, QByteArray> Snapshot() const
    {
        std::map<QString, QByteArray> files;
        QDirIterator it(home.Path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            file.open(QIODevice::ReadOnly);
            files[file.fileName()] = file.readAll();
        }
        return files;
    }

    void CopyStockLibrary()
    {
        ASSERT_TRUE(QFile::copy(TABREL_SOURCE_DIR "/resources/files/Stock.zel",
                                home.FilePath("Stock.zel")));
    }
    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(home.FilePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static void AddUser(int number, const char* name, const char* password, int access)
    {
        const QString section = QStringLiteral("Admin/Users/User%1").arg(number);
        CSignApp::WriteProfileString(section, "name", name, true);
        CSignApp::WriteProfileString(section, "password", password, true);
        CSignApp::WriteProfileInt(section, "access", access, true);
        CSignApp::WriteProfileInt("Admin/Users", "access", 1, true);
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CSignHooks savedHooks;
    CStubFrames frames;
};

const QStringList kFontKeys = {
    "lfHeight",        "lfWidth",     "lfEscapement",     "lfOrientation", "lfWeight",
    "lfItalic",        "lfUnderline", "lfStrikeOut",      "lfCharSet",     "lfOutPrecision",
    "lfClipPrecision", "lfQuality",   "lfPitchAndFamily", "lfFaceName"};

// Every key that a first exit writes, by section.
QStringList ExpectedProfileKeys()
{
    const std::map<QString, QStringList> sections = {
        {"GeneralPreferences",
         {"RotationAngle", "DuplicateX", "DuplicateY", "VariableOutline", "UndoLevels",
          "NativePrint", "EndJobWithPage", "ViewMode", "StoreRelativePaths", "StorePrinterSettings",
          "Shadow"}},
        {"LinePreferences", {"Thickness", "Colour", "LineStyle", "EndStyle"}},
        {"BoxPreferences",
         {"OutlineThickness", "OutlineColour", "FillInterior", "FillColour", "CornerType",
          "CornerRadius"}},
        {"EllipsePreferences", {"OutlineThickness", "OutlineColour", "FillInterior", "FillColour"}},
        {"TextPreferences",
         kFontKeys + QStringList{"TextColour", "ColouredBackground", "BackgroundColour",
                                 "MinPointSize", "MaxPointSize", "HorzJustify", "VertJustify",
                                 "PreserveLineBreaks"}},
        {"BarcodePreferences",
         kFontKeys + QStringList{"Type", "Style", "Height", "CalcChecksum", "ShowHuman",
                                 "ShowChecksum", "HorzJustify", "VertJustify"}},
        {"BulletPreferences", kFontKeys + QStringList{"Symbol", "Offset", "Size", "Colour"}},
        {"PriceFont1", kFontKeys},
        {"PriceFont2", kFontKeys},
        {"PriceFont3", kFontKeys},
        {"PriceFont4", kFontKeys},
        {"PriceFont5", kFontKeys},
        {"PricePreferences",
         {"Format", "TextColour", "ColouredBackground", "BackgroundColour", "CrossOutColour",
          "CrossOutPattern", "CrossOutThickness", "CrossOutEndStyle"}},
        {"ImagePreferences", {"ConstrainStretching", "FastPrint"}},
        {"SpellPreferences",
         {"SpellOptions", "Dictionary", "Performance", "SearchLimit", "DisplayLimit"}},
        {"SymbolPreferences",
         kFontKeys + QStringList{"SymbolColour", "ColouredBackground", "BackgroundColour"}},
        {"grid", {"ShowGrid", "SnapToGrid", "SnapToGuides", "GridIntervalX", "GridIntervalY"}},
        {"margins", {"ShowMargins"}},
        {"ruler", {"ShowRuler", "DisplayUnits"}},
        {"paper", {"LastPaper"}},
        {"paths", {"LastTemplate", "LastImage", "LastDatabase"}},
    };
    QStringList keys;
    for (const auto& [section, names] : sections) {
        for (const QString& name : names)
            keys.append(section + '/' + name);
    }
    keys.sort();
    return keys;
}

// Waits for queued events (another instance's message) to arrive, with
// room for a busy machine.
template <class Done> bool WaitFor(Done done)
{
    return QTest::qWaitFor(done, 30000);
}

} // namespace

TEST_F(StartupTest, FirstRunWritesEveryDefaultAtExit)
{
    CSignApp app;
    ASSERT_TRUE(Start(app));
    EXPECT_TRUE(app.IsInitialised());
    EXPECT_EQ(frames.created, 1);
    EXPECT_EQ(frames.newSigns, 1);
    ASSERT_TRUE(frames.frame);
    EXPECT_EQ(app.GetMainWindow(), frames.frame.data());
    EXPECT_TRUE(frames.frame->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(frames.frame->acceptDrops());
    EXPECT_TRUE(app.IsSplashEnabled());
    EXPECT_EQ(frames.frame->findChild<QAction*>("cmd_32889")->text(), "Corvane &Home Page");
    EXPECT_EQ(CSignApp::GetProgramTitle(), "Tabrel");
    EXPECT_FALSE(QFile::exists(ProfileFile())) << "nothing is written before exit";

    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(frames.frame) << "the main window goes at exit";

    QStringList keys = QSettings(ProfileFile(), QSettings::IniFormat).allKeys();
    keys.sort();
    EXPECT_EQ(keys, ExpectedProfileKeys());

    const std::pair<const char*, QString> values[] = {
        {"GeneralPreferences/RotationAngle", "90"},
        {"GeneralPreferences/VariableOutline", "255"},
        {"GeneralPreferences/ViewMode", "-1"},
        {"GeneralPreferences/Shadow", "1"},
        {"BoxPreferences/FillColour", "16777215"},
        {"TextPreferences/lfFaceName", "Arial"},
        {"TextPreferences/lfHeight", "47"},
        {"TextPreferences/lfPitchAndFamily", "34"},
        {"PriceFont5/lfFaceName", "Arial"},
        {"BarcodePreferences/lfFaceName", "Tabrel OCRB"},
        {"BulletPreferences/lfFaceName", "Tabrel bullets"},
        {"BulletPreferences/Symbol", "34"},
        {"SymbolPreferences/lfHeight", "94"},
        {"PricePreferences/Format", "Standard Format"},
        {"SpellPreferences/SpellOptions", "243"},
        {"SpellPreferences/Dictionary", home.FilePath("AMERICAN.VTD")},
        {"grid/GridIntervalX", "10"},
        {"grid/SnapToGuides", "1"},
        {"ruler/DisplayUnits", "0"},
        {"paper/LastPaper", "A4"},
        {"paths/LastTemplate", home.Path()},
        {"paths/LastDatabase", home.Path()},
    };
    for (const auto& [key, value] : values)
        EXPECT_EQ(Stored(key), value) << key;

    // The shared keys are only read.
    EXPECT_FALSE(QFile::exists(home.FilePath("Corvane.ini")));
}

// Start-up puts the toolbar style over the platform's: a toolbar looks
// exactly as the platform's style draws it, the first time and when its
// background comes again from the cache, at each width.
TEST_F(StartupTest, ToolbarsLookAsThePlatformStyleDrawsThem)
{
    const bool installedBefore = qobject_cast<CToolBarStyle*>(QApplication::style()) != nullptr;
    CSignApp app;
    ASSERT_TRUE(Start(app));
    auto* style = qobject_cast<CToolBarStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);
    ASSERT_NE(style->baseStyle(), nullptr);
    const QString platform = style->baseStyle()->name();

    // The plain style outlives the window that borrows it.
    std::unique_ptr<QStyle> plain(QStyleFactory::create(platform));
    ASSERT_NE(plain, nullptr);
    QMainWindow window;
    QToolBar* bar = window.addToolBar(QStringLiteral("Tools"));
    bar->addAction(QStringLiteral("Print"));
    bar->addAction(QStringLiteral("Return"));
    for (const int width : {1600, 700, 1600}) {
        SCOPED_TRACE(width);
        window.resize(width, 300);
        window.show();
        QCoreApplication::processEvents();
        bar->setStyle(nullptr);
        const QImage first = bar->grab().toImage();
        const QImage cached = bar->grab().toImage();
        bar->setStyle(plain.get());
        const QImage expected = bar->grab().toImage();
        ASSERT_EQ(first.size(), expected.size());
        EXPECT_EQ(first, expected);
        EXPECT_EQ(cached, expected);
    }
    bar->setStyle(nullptr);
    window.hide();
    app.ExitInstance();
    if (!installedBefore)
        QApplication::setStyle(QStyleFactory::create(platform));
}

TEST_F(StartupTest, SignNamedOnTheCommandLine)
{
    RegisterAllClasses();
    ThePaper().Init("A4");
    ASSERT_TRUE(QDir(home.Path()).mkdir("sale"));
    const QString path = home.FilePath("sale/sale.sgn");
    {
        CSignData sign;
        sign.m_title = "Spring sale";
        ASSERT_TRUE(sign.OnSaveDocument(path));
    }

    CSignApp app;
    ASSERT_TRUE(Start(app, {path}));
    EXPECT_EQ(frames.opened, QStringList{path});
    EXPECT_EQ(frames.newSigns, 0);
    EXPECT_EQ(frames.document.m_title, "Spring sale");
    EXPECT_EQ(frames.document.GetPathName(), path);
    EXPECT_FALSE(app.IsSplashEnabled()) << "a named sign suppresses the splash";
    EXPECT_TRUE(frames.frame->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(messages.Count(), 0);
    app.ExitInstance();
}

TEST_F(StartupTest, SignThatCannotBeReadGivesANewOne)
{
    const QString path = home.FilePath("gone.sgn");
    CSignApp app;
    ASSERT_TRUE(Start(app, {path}));
    EXPECT_EQ(frames.opened, QStringList{path});
    EXPECT_EQ(frames.newSigns, 1);
    EXPECT_GE(messages.Count(), 1) << "the reader tells the user";
    EXPECT_TRUE(app.GetMainWindow());
    app.ExitInstance();
}

TEST_F(StartupTest, CancelledLogOnEndsWithoutSavingAnything)
{
    CopyStockLibrary();
    AddUser(0, "Ann", "Secret", 0);
    CSignApp::WriteProfileInt("GeneralPreferences", "UndoLevels", 7);
    const auto before = Snapshot();

    CSignApp app;
    {
        CAnswerDialog<CLoginDlg> answer([](CLoginDlg* d) { d->reject(); });
        EXPECT_FALSE(Start(app));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_FALSE(app.IsInitialised());
    EXPECT_EQ(frames.created, 0);
    EXPECT_FALSE(app.GetMainWindow());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(StartupTest, LogOnByProgram)
{
    struct Case
    {
        CSignApp::Program program;
        int access;
        bool starts;
    };
    const Case cases[] = {
        {CSignApp::Program::Designer, 0, true},
        {CSignApp::Program::Designer, CUserList::kNoDesignerAccess, false},
        {CSignApp::Program::PrintFrontEnd, CUserList::kNoDesignerAccess, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.access);
        CTestHome caseHome;
        CAppContext caseContext;
        CStubFrames caseFrames;
        AddUser(0, "Ann", "Secret", c.access);
        messages.Clear();

        CSignApp app(c.program);
        {
            CAnswerDialog<CLoginDlg> answer([](CLoginDlg* d) {
                d->UserNameEdit()->setText("ann");
                d->PasswordEdit()->setText("secret");
                d->findChild<QPushButton*>("id1")->click();
                if (d->isVisible()) // refused: the user gives up
                    d->reject();
            });
            EXPECT_EQ(Start(app, {}, &caseFrames) != 0, c.starts);
            EXPECT_TRUE(answer.Answered());
        }
        if (c.starts) {
            EXPECT_EQ(App().currentUserName(), "Ann");
            EXPECT_EQ(messages.Count(), 0);
        } else {
            ASSERT_EQ(messages.Count(), 1);
            EXPECT_EQ(messages.LastText(), LoadStringId(IDS_NO_ACCESS_RIGHTS));
        }
        app.ExitInstance();

        const char* title = c.program == CSignApp::Program::Designer ? "Tabrel" : "Tabrel Print";
        EXPECT_EQ(QFile::exists(caseHome.FilePath(QStringLiteral("Corvane/%1.ini").arg(title))),
                  c.starts);
    }
}

TEST_F(StartupTest, BrandingFileApplied)
{
    CopyStockLibrary();
    WriteFile("OEM.zel", "[WebMenuText]=Shelfline &Online\r\n"
                         "[WebURL]=https://shelfline.example/\r\n"
                         "[DefaultPaper]=Letter\r\n"
                         "[ShowExplorer]=0\r\n"
                         "[HelpAboutText]=Supplied by Shelfline\r\nCall 0800 123\r\n");
    CSignApp app;
    ASSERT_TRUE(Start(app));
    EXPECT_EQ(frames.frame->findChild<QAction*>("cmd_32889")->text(), "Shelfline &Online");
    EXPECT_EQ(ThePaper().GetPaperName(), "Letter");
    const CBranding& branding = CBranding::Current();
    EXPECT_EQ(branding.webURL, "https://shelfline.example/");
    EXPECT_EQ(branding.showExplorer, 0);
    EXPECT_EQ(branding.aboutText, "Supplied by Shelfline\r\nCall 0800 123");
    app.ExitInstance();
    EXPECT_EQ(Stored("paper/LastPaper"), "Letter");

    // The user's last paper wins over the branding default.
    CSignApp::WriteProfileString("paper", "LastPaper", "A5");
    CAppContext next;
    CStubFrames nextFrames;
    CSignApp again;
    ASSERT_TRUE(Start(again, {}, &nextFrames));
    EXPECT_EQ(ThePaper().GetPaperName(), "A5");
    again.ExitInstance();
}

TEST_F(StartupTest, SecondInstanceBringsTheFirstToTheFront)
{
    CSignApp first;
    QStringList handed;
    bool called = false;
    first.onAnotherInstance = [&](const QStringList& arguments) {
        handed = arguments;
        called = true;
    };
    ASSERT_TRUE(Start(first));

    {
        CSignApp second;
        EXPECT_FALSE(second.InitInstance({"tabrel", "/nosplash", "b.sgn"}));
        EXPECT_FALSE(second.IsInitialised());
    }
    ASSERT_TRUE(WaitFor([&] { return called; }));
    EXPECT_EQ(handed, (QStringList{"/nosplash", "b.sgn"}));

    // Without a hook the running window is restored.
    first.onAnotherInstance = nullptr;
    frames.frame->showMinimized();
    ASSERT_TRUE(frames.frame->windowState() & Qt::WindowMinimized);
    {
        CSignApp third;
        EXPECT_FALSE(third.FirstInstance());
    }
    EXPECT_TRUE(WaitFor([&] { return !(frames.frame->windowState() & Qt::WindowMinimized); }));

    // The print front end has a title of its own and runs beside it.
    CSignApp::SetProgramTitle("Tabrel Print");
    {
        CSignApp print(CSignApp::Program::PrintFrontEnd);
        EXPECT_TRUE(print.FirstInstance());
    }
    CSignApp::SetProgramTitle("Tabrel");

    first.ExitInstance();
    CSignApp later;
    EXPECT_TRUE(later.FirstInstance()) << "an ended program no longer answers";
}

TEST_F(StartupTest, CommandLine)
{
    using C = CCommandLineInfo;
    struct Case
    {
        QStringList arguments;
        C::ShellCommand command;
        QString file;
        bool splash;
    };
    const Case cases[] = {
        {{}, C::FileNew, "", true},
        {{"/nosplash"}, C::FileNew, "", false},
        {{"-NoSplash"}, C::FileNew, "", false},
        {{"/NOSPLASH", "a.sgn"}, C::FileOpen, "a.sgn", false},
        {{"/home/ann/signs/sale.sgn"}, C::FileOpen, "/home/ann/signs/sale.sgn", true},
        {{"/p", "a.sgn"}, C::FilePrint, "a.sgn", true},
        {{"/pt", "a.sgn", "Laser", "drv", "lp0"}, C::FilePrintTo, "a.sgn", true},
        {{"/dde"}, C::FileDDE, "", true},
        {{"/Unregister"}, C::AppUnregister, "", true},
        {{"-Embedding"}, C::FileNothing, "", true},
        {{"-unknown", "a.sgn"}, C::FileOpen, "a.sgn", true},
    };
    auto parse = [](const QStringList& arguments) {
        CCommandLineInfoEx info;
        info.ParseCommandLine(arguments);
        return info;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CCommandLineInfoEx info = parse(c.arguments);
        EXPECT_EQ(info.shellCommand, c.command);
        EXPECT_EQ(info.fileName, c.file);
        EXPECT_EQ(info.showSplash, c.splash);
    }
    const CCommandLineInfoEx printTo = parse({"/pt", "a.sgn", "Laser", "drv", "lp0"});
    EXPECT_EQ(printTo.printerName, "Laser");
    EXPECT_EQ(printTo.driverName, "drv");
    EXPECT_EQ(printTo.portName, "lp0");
}

TEST_F(StartupTest, WhatTheCommandLineStarts)
{
    const QString file = home.FilePath("any.sgn");
    struct Case
    {
        QStringList arguments;
        bool starts;
        bool splash;
    };
    const Case cases[] = {
        {{}, true, true},
        {{"/nosplash"}, true, false},
        {{"-NOSPLASH"}, true, false},
        {{file}, true, false},
        {{"/p", file}, true, false},          // opened, not printed
        {{"/pt", file, "Laser"}, true, true}, // print-to keeps the splash
        {{"/dde"}, false, false},
        {{"/unregserver"}, false, false},
        {{"-automation"}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        CAppContext caseContext;
        CStubFrames caseFrames;
        CSignApp app;
        EXPECT_EQ(Start(app, c.arguments, &caseFrames) != 0, c.starts);
        EXPECT_EQ(app.GetMainWindow() != nullptr, c.starts);
        EXPECT_EQ(caseFrames.created, c.starts ? 1 : 0);
        if (c.starts) {
            EXPECT_EQ(app.IsSplashEnabled(), c.splash);
        }
        app.ExitInstance();
    }
}

TEST_F(StartupTest, NoMainWindowEndsTheProgram)
{
    frames.failCreate = true;
    CSignApp app;
    EXPECT_FALSE(Start(app));
    EXPECT_EQ(frames.created, 1);
    EXPECT_FALSE(app.GetMainWindow());
    // The settings were loaded, so they are saved.
    app.ExitInstance();
    EXPECT_EQ(Stored("paper/LastPaper"), "A4");
}

TEST_F(StartupTest, ReadOnlyProgramFolderIsLeftAlone)
{
    for (bool writable : {false, true}) {
        SCOPED_TRACE(writable);
        CTestHome caseHome;
        CAppContext caseContext;
        CStubFrames caseFrames;
        CSignApp::SetFolderWritableCheckForTests([writable](const QString&) { return writable; });
        CSignApp app;
        ASSERT_TRUE(Start(app, {}, &caseFrames));

        // A paper stock, a price format and a barcode style of the user's.
        CPaperStock shelf;
        ASSERT_TRUE(ThePaper().GetStock(QString(), shelf));
        shelf.category = "Custom";
        shelf.name = "Shelf";
        shelf.builtIn = 0;
        ASSERT_TRUE(ThePaper().SetStock(shelf));
        CPriceFormat sale;
        sale.m_name = "Sale";
        ASSERT_TRUE(ThePriceFormatList().AddFormat(sale));
        CBarcodeStyle style;
        style.name = "Mine";
        style.description = "Mine";
        style.xDimension = 0.01f;
        style.ratio = 300;
        style.userDefined = TRUE;
        ASSERT_TRUE(TheBarcodeStyleList().Add(style));
        app.ExitInstance();

        for (const char* name : {"Stock2.zel", "Tabrel.pff", "Tabrel.cbs"})
            EXPECT_EQ(QFile::exists(caseHome.FilePath(name)), writable) << name;
        EXPECT_EQ(QDir(caseHome.Path()).entryList(QDir::Files).size(), writable ? 3 : 0);
        // The profile lives elsewhere and is written either way.
        EXPECT_EQ(QSettings(caseHome.FilePath("Corvane/Tabrel.ini"), QSettings::IniFormat)
                      .value("paper/LastPaper")
                      .toString(),
                  "A4");
    }
}

TEST_F(StartupTest, TemporaryFilesGoToTheSystemFolder)
{
    auto first = CSignApp::CreateTemporaryFile(".zip");
    auto second = CSignApp::CreateTemporaryFile(".zip");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(QFileInfo(first->fileName()).absolutePath(),
              QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_TRUE(first->fileName().endsWith(".zip"));
    EXPECT_NE(first->fileName(), second->fileName());
    const QString path = first->fileName();
    first.reset();
    EXPECT_FALSE(QFile::exists(path));
}

// The designer's own main window behind the same start-up.
TEST_F(StartupTest, DesignerMainFrame)
{
    const CFrameHooks savedFrameHooks = FrameHooks();
    RegisterAllClasses();
    ThePaper().Init("A4");
    ASSERT_TRUE(QDir(home.Path()).mkdir("sale"));
    const QString path = home.FilePath("sale/sale.sgn");
    {
        CSignData sign;
        sign.m_title = "Spring sale";
        ASSERT_TRUE(sign.OnSaveDocument(path));
    }
    WriteFile("OEM.zel",
              "[WebMenuText]=Shelfline &Online\r\n[WebURL]=https://shelfline.example/\n");

    CSignApp app;
    app.frameTemplate = CSignApp::DesignerFrameTemplate();
    ASSERT_TRUE(app.InitInstance({"tabrel", path}));
    auto* frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->Document().GetPathName(), path);
    EXPECT_EQ(frame->Document().m_title, "Spring sale");
    EXPECT_EQ(frame->Action(ID_WEB_PAGE)->text(), "Shelfline &Online");
    EXPECT_EQ(CMainFrame::WebAddress(), "https://shelfline.example/");
    // The folder of the opened sign, with its separator: the next open box starts there.
    EXPECT_EQ(CShellSettings::Current().lastTemplateFolder, home.FilePath("sale/"));
    // Saved under a new name elsewhere: that folder is where the next open box starts.
    ASSERT_TRUE(QDir(home.Path()).mkdir("autumn"));
    std::vector<CFileChoice> choices;
    FrameHooks().chooseFile = [&](QWidget*, const CFileChoice& choice) {
        choices.push_back(choice);
        return choice.save ? home.FilePath("autumn/autumn.sgn") : QString();
    };
    ASSERT_TRUE(frame->SaveSignAs());
    EXPECT_EQ(CShellSettings::Current().lastTemplateFolder, home.FilePath("autumn/"));
    frame->ExecuteCommand(ID_FILE_OPEN);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_TRUE(choices[1].signPreview);
    EXPECT_EQ(choices[1].suggested, home.FilePath("autumn/"));
    app.ExitInstance();
    EXPECT_EQ(Stored("paths/LastTemplate"), home.FilePath("autumn/"));
    FrameHooks() = savedFrameHooks;
}
