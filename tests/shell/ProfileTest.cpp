// The profile as the programs read and write it: once per load or save,
// checked writes, damaged and hostile files.
#include "ProfileSession.h"

#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeStyle.h"
#include "Branding.h"
#include "CanvasTestSupport.h"
#include "Commands.h"
#include "ElementDefaults.h"
#include "ElementList.h"
#include "Growth.h"
#include "Line.h"
#include "LogFont.h"
#include "MessageBox.h"
#include "Preferences.h"
#include "ShellParts.h"
#include "ShellTestSupport.h"
#include "SignApp.h"
#include "SmallDisk.h"
#include "TestSupport.h"
#include "Text.h"
#include "UserList.h"
#include "ui/RotationOriginDlg.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mount.h>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

int CountContaining(const CMessageResponder& messages, const QString& part)
{
    int count = 0;
    for (const auto& message : messages.Messages())
        count += message.text.contains(part) ? 1 : 0;
    return count;
}

QString MessageStart(const char* text)
{
    return QString::fromLatin1(text).section(u'%', 0, 0);
}

class ProfileTest : public ::testing::Test
{
protected:
    ProfileTest() { EnsureWidgetApp(); }

    QString OwnFile() const { return home.FilePath("Corvane/Tabrel.ini"); }
    QString SharedFile() const { return home.FilePath("Corvane.ini"); }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
};

} // namespace

// Each value read used to parse the whole file again: a large user table
// took minutes before the log-on box, and a bloated profile as long to save.
// Sixteen times the users or the unknown keys take about sixteen times as long.
TEST_F(ProfileTest, LargeUserTableAndBloatedProfileAreReadAndWrittenFast)
{
    const auto loadUsers = [&](int users) -> qint64 {
        QFile::remove(SharedFile());
        {
            QSettings shared(SharedFile(), QSettings::IniFormat);
            shared.setValue("Admin/Users/access", 1);
            for (int i = 0; i < users; ++i) {
                const QString section = QStringLiteral("Admin/Users/User%1/").arg(i);
                shared.setValue(section + "name", QStringLiteral("User %1").arg(i));
                shared.setValue(section + "password", QStringLiteral("pw%1").arg(i));
                shared.setValue(section + "access", i % 3);
            }
        }
        const CCpuTimer timer;
        CUserList list;
        list.Load();
        const qint64 spent = timer.Nanoseconds();
        EXPECT_EQ(list.Users().size(), std::size_t(users));
        return spent;
    };
    // The designer's own profile, bloated by keys it does not know.
    const auto bloat = [&](int keys) {
        QFile::remove(OwnFile());
        QSettings own(OwnFile(), QSettings::IniFormat);
        for (int i = 0; i < keys; ++i)
            own.setValue(QStringLiteral("Junk/Key%1").arg(i), QStringLiteral("value %1").arg(i));
    };
    const auto loadAndSave = [&](int keys) -> qint64 {
        bloat(keys);
        const CCpuTimer timer;
        LoadPreferences();
        App().general.undoLevels = 7;
        SavePreferences();
        return timer.Nanoseconds();
    };
    EXPECT_LT(Growth(loadUsers, 10000), kLinearGrowthBound) << "users";
    EXPECT_LT(Growth(loadAndSave, 20000), kLinearGrowthBound) << "unknown keys";

    constexpr int kUsers = 10000;
    loadUsers(kUsers);
    CUserList users;
    users.Load();
    ASSERT_EQ(users.Users().size(), std::size_t(kUsers));
    EXPECT_TRUE(users.IsLogOnEnabled());
    EXPECT_EQ(users.Users().back().name, "User 9999");
    EXPECT_EQ(users.Check("user 4711", "PW4711"), CUserList::Accepted);

    bloat(20000);
    LoadPreferences();
    App().general.undoLevels = 7;
    SavePreferences();
    const QSettings own(OwnFile(), QSettings::IniFormat);
    EXPECT_EQ(own.value("GeneralPreferences/UndoLevels").toString(), "7");
    EXPECT_EQ(own.value("Junk/Key19999").toString(), "value 19999") << "unknown keys stay";
    EXPECT_EQ(messages.Count(), 0);
}

// Writes inside a session reach the disk once, when the session ends.
TEST_F(ProfileTest, SessionWritesOnceAtItsEnd)
{
    {
        const CProfileSession session;
        EXPECT_TRUE(CSignApp::WriteProfileInt("grid", "ShowGrid", 1));
        EXPECT_EQ(CSignApp::GetProfileInt("grid", "ShowGrid", 0), 1) << "read back in the session";
        EXPECT_FALSE(QFile::exists(OwnFile())) << "nothing on disk before the end";
        {
            const CProfileSession inner;
            CSignApp::WriteProfileString("paths", "LastImage", "/pictures");
        }
        EXPECT_FALSE(QFile::exists(OwnFile())) << "an inner session does not write";
    }
    const QSettings own(OwnFile(), QSettings::IniFormat);
    EXPECT_EQ(own.value("grid/ShowGrid").toString(), "1");
    EXPECT_EQ(own.value("paths/LastImage").toString(), "/pictures");
}

// A save at exit on a full or read-only disk leaves the old profile as it
// was, and says so once.
TEST_F(ProfileTest, FailedSaveKeepsTheOldProfile)
{
    struct Case
    {
        const char* what;
        std::function<void(CSmallDisk&)> spoil;
        std::function<void(CSmallDisk&)> mend;
    };
    const auto remount = [](CSmallDisk& disk, unsigned long flags) {
        ASSERT_EQ(::mount(nullptr, disk.Path().toLocal8Bit().constData(), nullptr,
                          MS_REMOUNT | flags, nullptr),
                  0);
    };
    const Case cases[] = {
        {"full disk", [](CSmallDisk& disk) { disk.Fill(); },
         [](CSmallDisk& disk) { disk.Unfill(); }},
        {"read-only disk", [&](CSmallDisk& disk) { remount(disk, MS_RDONLY); },
         [&](CSmallDisk& disk) { remount(disk, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSmallDisk disk(256);
        if (!disk.Available())
            GTEST_SKIP() << disk.Why().toStdString();
        CSignApp::SetProfileFolderForTests(disk.Path());
        const QString file = disk.FilePath("Corvane/Tabrel.ini");
        CAppContext caseContext;
        messages.Clear();

        const auto startAndExit = [&](std::function<void()> beforeExit) {
            CStubFrames frames;
            CSignApp app;
            app.frameTemplate = frames.Template();
            ASSERT_TRUE(app.InitInstance({"tabrel"}));
            beforeExit();
            app.ExitInstance();
        };
        startAndExit([] {});
        const QByteArray before = ReadBytes(file);
        ASSERT_GT(before.size(), 1000);

        startAndExit([&] {
            c.spoil(disk);
            App().general.undoLevels = 7;
            CTextDefaults::Current().colour = 0x123456;
        });
        EXPECT_FALSE(CSignApp::WriteProfileInt("grid", "ShowGrid", 1)) << "outside a session";
        c.mend(disk);

        EXPECT_EQ(ReadBytes(file), before) << "the old file, whole";
        EXPECT_EQ(QDir(disk.FilePath("Corvane")).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Tabrel.ini"})
            << "no temporary or lock file left behind";
        EXPECT_EQ(messages.Count(), 1) << "told once";
        EXPECT_EQ(CountContaining(messages, MessageStart(CProfileSession::kCannotWrite)), 1);
        EXPECT_TRUE(messages.LastText().contains("Tabrel.ini"));

        // Mended, the next save goes through.
        App().general.undoLevels = 7;
        SavePreferences();
        EXPECT_EQ(QSettings(file, QSettings::IniFormat).value("GeneralPreferences/UndoLevels"),
                  "7");
        CSignApp::SetProfileFolderForTests(home.Path());
    }
}

// A profile the reader cannot read completely would lose its unreadable part
// when written: it stays as it is, and the user hears of it once.
TEST_F(ProfileTest, DamagedProfileIsNotRewritten)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"lines that are no settings",
         "[GeneralPreferences]\nUndoLevels=7\nthis line is no setting\n[grid\nShowGrid=1\n"},
        {"text that is not UTF-8", "[GeneralPreferences]\nUndoLevels=7\n"
                                   "[paths]\nLastImage=/Caf\xe9 \x80\n"},
    };
    for (const auto& [what, damaged] : cases) {
        SCOPED_TRACE(what);
        WriteBytes(OwnFile(), damaged);
        CAppContext caseContext;
        messages.Clear();
        CStubFrames frames;
        {
            CSignApp app;
            app.frameTemplate = frames.Template();
            ASSERT_TRUE(app.InitInstance({"tabrel"}));
            EXPECT_EQ(App().general.undoLevels, 7) << "what could be read is used";
            App().general.undoLevels = 9;
            app.ExitInstance();
        }
        EXPECT_EQ(ReadBytes(OwnFile()), damaged);
        EXPECT_EQ(messages.Count(), 1) << "told once, at start-up";
        EXPECT_EQ(CountContaining(messages, MessageStart(CProfileSession::kDamaged)), 1);
    }

    // Mended by the user, the file is read and written again.
    WriteBytes(OwnFile(), "[GeneralPreferences]\nUndoLevels=7\n");
    LoadPreferences();
    App().general.undoLevels = 9;
    SavePreferences();
    EXPECT_EQ(QSettings(OwnFile(), QSettings::IniFormat).value("GeneralPreferences/UndoLevels"),
              "9");
}

// The user table is only read: a damaged one is reported once, what could
// be read of it is used, and the file stays as it was.
TEST_F(ProfileTest, DamagedUserTableIsToldAndLeftAlone)
{
    const QByteArray damaged = "[Admin]\nUsers\\access=0\nUsers\\User0\\name=Ann\n"
                               "Users\\User0\\pass\x01word\n";
    WriteBytes(SharedFile(), damaged);
    CStubFrames frames;
    {
        CSignApp app;
        app.frameTemplate = frames.Template();
        ASSERT_TRUE(app.InitInstance({"tabrel"}));
        ASSERT_EQ(CUserList::Current().Users().size(), 1u);
        EXPECT_EQ(CUserList::Current().Users()[0].name, "Ann");
        app.ExitInstance();
    }
    EXPECT_EQ(ReadBytes(SharedFile()), damaged);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains("Corvane.ini"));
    EXPECT_EQ(CountContaining(messages, MessageStart(CProfileSession::kDamaged)), 1);
}

// A branding file that cannot be read is named in a message and the program
// starts without it; no file is no branding, and nothing is said.
TEST_F(ProfileTest, BrandingFileThatCannotBeRead)
{
    struct Case
    {
        const char* what;
        std::function<void(const QString& path)> make;
        bool told;
    };
    const Case cases[] = {
        {"no file", [](const QString&) {}, false},
        {"a folder of that name", [](const QString& path) { QDir().mkpath(path); }, true},
        {"larger than any branding file",
         [](const QString& path) {
             WriteBytes(path,
                        "[WebMenuText]=Huge\r\n" + QByteArray(int(CBranding::kMaxFileSize), 'x'));
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = CBranding::FilePath();
        QDir(path).removeRecursively();
        QFile::remove(path);
        c.make(path);
        messages.Clear();
        CAppContext caseContext;
        CStubFrames frames;
        CSignApp app;
        app.frameTemplate = frames.Template();
        ASSERT_TRUE(app.InitInstance({"tabrel"}));
        EXPECT_EQ(CBranding::Current().webMenuText, "");
        EXPECT_EQ(frames.frame->findChild<QAction*>("cmd_32889")->text(), "Corvane &Home Page");
        app.ExitInstance();
        ASSERT_EQ(messages.Count(), c.told ? 1 : 0);
        if (c.told) {
            EXPECT_TRUE(messages.LastText().contains("OEM.zel"));
        }
    }
}

TEST_F(ProfileTest, UserTableValuesInRange)
{
    WriteBytes(SharedFile(), "[Admin]\n"
                             "Users\\access=-5\n"
                             "Users\\User0\\name=Ann\nUsers\\User0\\access=0\n"
                             "Users\\User1\\name=Bob\nUsers\\User1\\access=7\n"
                             "Users\\User2\\name=Cy\nUsers\\User2\\access=-2147483648\n"
                             "Users\\User3\\name=Di\nUsers\\User3\\access=1\n");
    CUserList users;
    users.Load();
    EXPECT_EQ(users.IsLogOnEnabled(), 1);
    ASSERT_EQ(users.Users().size(), 4u);
    const int expected[] = {0, CUserList::kNoDesignerAccess, CUserList::kNoDesignerAccess, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(users.Users()[std::size_t(i)].access, expected[i]) << i;
}

namespace {

// Every numeric key of the element preferences, for the hostile profiles.
const char* const kHostileKeys[] = {
    "LinePreferences/Thickness",
    "LinePreferences/EndStyle",
    "LinePreferences/LineStyle",
    "BoxPreferences/OutlineThickness",
    "BoxPreferences/CornerType",
    "BoxPreferences/CornerRadius",
    "BoxPreferences/FillInterior",
    "EllipsePreferences/OutlineThickness",
    "EllipsePreferences/FillInterior",
    "TextPreferences/MinPointSize",
    "TextPreferences/MaxPointSize",
    "TextPreferences/HorzJustify",
    "TextPreferences/VertJustify",
    "TextPreferences/PreserveLineBreaks",
    "TextPreferences/ColouredBackground",
    "BarcodePreferences/Height",
    "BarcodePreferences/CalcChecksum",
    "BarcodePreferences/ShowHuman",
    "BarcodePreferences/ShowChecksum",
    "BarcodePreferences/HorzJustify",
    "BarcodePreferences/VertJustify",
    "GeneralPreferences/RotationAngle",
    "GeneralPreferences/DuplicateX",
    "GeneralPreferences/DuplicateY",
    "GeneralPreferences/UndoLevels",
    "BulletPreferences/Offset",
    "BulletPreferences/Size",
    "PricePreferences/CrossOutThickness",
    "SpellPreferences/Performance",
    "grid/GridIntervalX",
    "grid/GridIntervalY",
};
const char* const kFontSections[] = {"TextPreferences", "BarcodePreferences", "BulletPreferences",
                                     "SymbolPreferences", "PriceFont1"};
const char* const kFontFields[] = {"lfHeight",      "lfWidth",  "lfEscapement",
                                   "lfOrientation", "lfWeight", "lfItalic"};

class HostileProfileTest : public CanvasTest
{
protected:
    HostileProfileTest() { RegisterAllClasses(); }
};

} // namespace

// Whatever numbers the profile holds, the elements the designer makes from
// the preferences save, and the sign opens again.
TEST_F(HostileProfileTest, ElementsFromAnyPreferencesSaveAndReopen)
{
    struct Case
    {
        const char* what;
        QString number;     // every numeric key
        QString fontHeight; // the font heights (the widths take the number)
    };
    const Case cases[] = {
        {"-1", "-1", "-1"},
        {"largest", QString::number(INT_MAX), QString::number(INT_MAX)},
        {"smallest", QString::number(INT_MIN), QString::number(INT_MIN)},
        {"beyond 32 bits", "99999999999", "1"},
        {"tiny font, wide", "1000", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            const CProfileSession session;
            for (const char* key : kHostileKeys) {
                const QString k = QString::fromLatin1(key);
                CSignApp::WriteProfileString(k.section('/', 0, 0), k.section('/', 1), c.number);
            }
            for (const char* section : kFontSections) {
                for (const char* field : kFontFields)
                    CSignApp::WriteProfileString(section, field, c.number);
                CSignApp::WriteProfileString(section, "lfHeight", c.fontHeight);
            }
            CSignApp::WriteProfileString("BarcodePreferences", "Type",
                                         QString::number(SYM_CODE128_B));
        }
        LoadPreferences();
        LoadGridSettings();

        document.DeleteContents();
        // The drawing tools, dragged on the canvas.
        for (int command : {ID_TOOL_LINE, ID_TOOL_BOX, ID_TOOL_ELLIPSE, ID_TOOL_TEXT_BOX}) {
            ASSERT_TRUE(view->OnCommand(command));
            Drag(100, 200, 400, 350);
        }
        ASSERT_TRUE(view->OnCommand(ID_TOOL_TEXT));
        Click(300, 420);
        // Barcodes as their tool makes them, from the preferences.
        for (const char* name : {"CCode128B", "CEan13"}) {
            CElement* barcode = TheElementList().CreateElement(QString::fromLatin1(name));
            ASSERT_TRUE(barcode) << name;
            barcode->BeginCreate(view.get(), 500, 500);
        }
        // Duplicate and rotate take their steps from the preferences too.
        view->Selection().DeselectAll();
        for (int i = 0; i < TheElementList().GetCount(); ++i)
            view->Selection().AddElement(TheElementList().GetAt(i));
        view->OnCommand(ID_EDIT_DUPLICATE);
        {
            // About the middle of the selection.
            CAnswerDialog<CRotationOriginDlg> origin([](CRotationOriginDlg* dlg) {
                dlg->OnOrigin(4);
                dlg->accept();
            });
            view->OnCommand(ID_EDIT_ROTATE);
            EXPECT_TRUE(origin.Answered());
        }
        const int count = TheElementList().GetCount();
        ASSERT_GE(count, 7);
        view->Selection().DeselectAll();

        const QString path = home.FilePath("hostile.sgn");
        ASSERT_TRUE(document.OnSaveDocument(path));
        messages.Clear();
        CSignData reopened;
        ASSERT_TRUE(reopened.OnOpenDocument(path)) << messages.LastText().toStdString();
        EXPECT_EQ(TheElementList().GetCount(), count);
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    }
}
