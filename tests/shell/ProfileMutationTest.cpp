// The branding file, the user table and the profile, damaged a few thousand
// ways each: reading them never crashes or hangs, every value read is in
// range, and start-up and shut-down leave a file that could not be read as
// it was on disk. The shared file with the user table is only ever read;
// the program's own profile is written at exit by design, unless it could
// not be read completely.
//
// TABREL_MUTATION_INPUTS sets the number of damaged copies of each file
// (the sanitized run takes fewer); every 25th is also run through a whole
// start-up and shut-down.
#include "Branding.h"

#include "AppContext.h"
#include "BarcodeStyle.h"
#include "Damage.h"
#include "ElementDefaults.h"
#include "LogFont.h"
#include "MessageBox.h"
#include "Preferences.h"
#include "ProfileSession.h"
#include "ShellParts.h"
#include "ShellTestSupport.h"
#include "SignApp.h"
#include "TestSupport.h"
#include "TextBase.h"
#include "UserList.h"
#include "ui/LoginDlg.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kWholeRunEvery = 25;

int Inputs()
{
    bool ok = false;
    const int inputs = qEnvironmentVariableIntValue("TABREL_MUTATION_INPUTS", &ok);
    return ok && inputs > 0 ? inputs : 2000;
}

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

// Alternately a text edit and a byte edit.
QByteArray Damaged(const QByteArray& seed, int i, std::mt19937& rng)
{
    return i % 2 == 0 ? DamagedTextCopy(seed, rng) : DamagedCopy(seed, rng);
}

const QByteArray kBrandingSeed = "[WebMenuText]=Shelfline &Online\r\n"
                                 "[WebURL]=https://shelfline.example/\r\n"
                                 "[DefaultPaper]=Letter\r\n"
                                 "[ShowExplorer]=0\r\n"
                                 "[HelpAboutText]=Supplied by Shelfline\r\nCall 0800 123\r\n";

// The user table as administrators write it; log-on switched off, so that
// most damaged copies start without the log-on box (the others answer it).
const QByteArray kUserTableSeed = "[Admin]\r\n"
                                  "Users\\access=0\r\n"
                                  "Users\\User0\\name=Ann\r\n"
                                  "Users\\User0\\password=Secret\r\n"
                                  "Users\\User0\\access=0\r\n"
                                  "Users\\User1\\name=Bob\r\n"
                                  "Users\\User1\\password=\"with, comma\"\r\n"
                                  "Users\\User1\\access=2\r\n"
                                  "Users\\User2\\name=Cy\r\n"
                                  "Users\\User2\\password=\r\n"
                                  "Users\\User2\\access=1\r\n"
                                  "\r\n"
                                  "[PrintLog]\r\n"
                                  "mode=1\r\n"
                                  "duration=30\r\n";

bool FontInRange(const LogFontFields& lf)
{
    const long long size = std::llabs(static_cast<long long>(lf.lfHeight));
    return size >= CLogFont::kMinHeight && size <= CLogFont::kMaxHeight && lf.lfWidth >= 0 &&
           lf.lfWidth <= size && lf.lfWeight >= 0 && lf.lfWeight <= 1000 &&
           lf.lfFaceName.size() <= CLogFont::kMaxFaceLength && !lf.lfFaceName.isEmpty();
}

// The values the elements take from the preferences, as the readers of
// signs accept them.
void ExpectPreferencesInRange()
{
    const CLineDefaults& line = App().Get<CLineDefaults>();
    EXPECT_TRUE(line.thickness >= 0 && line.thickness <= 15000);
    EXPECT_TRUE(line.endStyle >= 0 && line.endStyle <= 3);
    const CBoxDefaults& box = App().Get<CBoxDefaults>();
    EXPECT_TRUE(box.thickness >= 0 && box.thickness <= 15000);
    EXPECT_TRUE(box.cornerRadius >= 0 && box.cornerRadius <= 100);
    EXPECT_TRUE(box.cornerType >= 0 && box.cornerType <= 2);
    const CEllipseDefaults& ellipse = App().Get<CEllipseDefaults>();
    EXPECT_TRUE(ellipse.thickness >= 0 && ellipse.thickness <= 15000);
    const CTextElementDefaults& text = App().Get<CTextElementDefaults>();
    EXPECT_TRUE(text.minHeight >= CLogFont::kMinHeight && text.minHeight <= text.maxHeight &&
                text.maxHeight <= CLogFont::kMaxHeight);
    EXPECT_TRUE(FontInRange(CTextDefaults::Current().font.GetLogFont()));
    const CBarcodePreferences& barcode = CBarcodePreferences::Current();
    EXPECT_TRUE(FontInRange(barcode.font));
    EXPECT_TRUE(barcode.height == -1 || (barcode.height >= 10 && barcode.height <= 15000));
    EXPECT_TRUE(FontInRange(CBulletPreferences::Current().font));
    EXPECT_TRUE(FontInRange(CSymbolPreferences::Current().font));
    for (const LogFontFields& part : CPricePreferences::Current().partFonts)
        EXPECT_TRUE(FontInRange(part));
    EXPECT_TRUE(std::abs(App().general.duplicateX) <= 15000);
    EXPECT_TRUE(std::abs(App().general.duplicateY) <= 15000);
}

class ProfileMutationTest : public ::testing::Test
{
protected:
    ProfileMutationTest()
    {
        EnsureWidgetApp();
        RegisterAllClasses();
    }
    ~ProfileMutationTest() override { CSignApp::SetProfileFolderForTests(home.Path()); }

    // A folder of the input's own for the profile files: the profile reader
    // keeps files it has parsed by name and time, and successive inputs may
    // share both.
    QString CaseFolder(int i)
    {
        const QString folder = home.FilePath(QStringLiteral("case%1").arg(i));
        QDir().mkpath(folder);
        CSignApp::SetProfileFolderForTests(folder);
        return folder;
    }
    static void RemoveFolder(const QString& folder) { QDir(folder).removeRecursively(); }

    bool WasToldDamaged() const
    {
        const QString start = QString::fromLatin1(CProfileSession::kDamaged).section(u'%', 0, 0);
        for (const auto& message : messages.Messages()) {
            if (message.text.startsWith(start))
                return true;
        }
        return false;
    }

    // The designer's start-up and shut-down; a log-on box is cancelled.
    void StartAndExit()
    {
        CAppContext context;
        CStubFrames frames;
        CSignApp app;
        app.frameTemplate = frames.Template();
        {
            CAnswerDialog<CLoginDlg> cancel([](CLoginDlg* d) { d->reject(); });
            app.InitInstance({"tabrel", "/nosplash"});
        }
        app.ExitInstance();
    }

    // The own profile a first exit writes, as the seed of its mutations.
    QByteArray FirstProfile()
    {
        const QString folder = CaseFolder(-1);
        StartAndExit();
        const QByteArray bytes = ReadBytes(folder + "/Corvane/Tabrel.ini");
        RemoveFolder(folder);
        return bytes;
    }

    CTestHome home;
    CMessageResponder messages;
};

} // namespace

TEST_F(ProfileMutationTest, DamagedBrandingFile)
{
    std::mt19937 rng(1401);
    const QString path = CBranding::FilePath();
    for (int i = 0; i < Inputs(); ++i) {
        SCOPED_TRACE(i);
        const QByteArray bytes = Damaged(kBrandingSeed, i, rng);
        CBranding branding;
        branding.Parse(bytes);
        EXPECT_TRUE(branding.showExplorer == 0 || branding.showExplorer == 1);
        EXPECT_LE(branding.webMenuText.size(), CBranding::kMaxLineText);
        EXPECT_LE(branding.defaultPaper.size(), CBranding::kMaxLineText);
        EXPECT_LE(branding.webURL.size(), CBranding::kMaxAddress);

        if (i % kWholeRunEvery == 0) {
            WriteBytes(path, bytes);
            const QString folder = CaseFolder(i);
            StartAndExit();
            EXPECT_EQ(ReadBytes(path), bytes) << "the branding file is only read";
            RemoveFolder(folder);
        }
    }
    QFile::remove(path);
}

TEST_F(ProfileMutationTest, DamagedUserTable)
{
    std::mt19937 rng(1402);
    for (int i = 0; i < Inputs(); ++i) {
        SCOPED_TRACE(i);
        const QByteArray bytes = Damaged(kUserTableSeed, i, rng);
        const QString folder = CaseFolder(i);
        const QString path = folder + "/Corvane.ini";
        WriteBytes(path, bytes);
        {
            CAppContext context;
            CUserList users;
            users.Load();
            for (const CUser& user : users.Users())
                EXPECT_TRUE(user.access >= 0 && user.access <= CUserList::kNoDesignerAccess);
            EXPECT_TRUE(users.IsLogOnEnabled() == 0 || users.IsLogOnEnabled() == 1);
        }
        if (i % kWholeRunEvery == 0)
            StartAndExit();
        EXPECT_EQ(ReadBytes(path), bytes) << "the user table is only read";
        RemoveFolder(folder);
    }
}

TEST_F(ProfileMutationTest, DamagedProfile)
{
    const QByteArray seed = FirstProfile();
    ASSERT_GT(seed.size(), 1000);
    std::mt19937 rng(1403);
    int damagedFiles = 0;
    for (int i = 0; i < Inputs(); ++i) {
        SCOPED_TRACE(i);
        const QByteArray bytes = Damaged(seed, i, rng);
        const QString folder = CaseFolder(i);
        const QString path = folder + "/Corvane/Tabrel.ini";
        WriteBytes(path, bytes);
        messages.Clear();
        if (i % kWholeRunEvery == 0) {
            StartAndExit();
        } else {
            CAppContext context;
            LoadPreferences();
            ExpectPreferencesInRange();
            SavePreferences();
        }
        // Read whole, the file is written again by design; otherwise it stays.
        if (WasToldDamaged()) {
            ++damagedFiles;
            EXPECT_EQ(ReadBytes(path), bytes) << "a profile that could not be read stays";
        }
        RemoveFolder(folder);
    }
    EXPECT_GT(damagedFiles, 0) << "some copies are beyond the reader";
}
