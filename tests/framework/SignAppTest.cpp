#include "SignApp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every test gets an empty profile folder of its own and the default title.
class SignAppProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        CSignApp::SetProfileFolderForTests(dir.path());
        CSignApp::SetProgramTitle("Tabrel");
    }
    void TearDown() override { CSignApp::SetProgramTitle("Tabrel"); }

    QTemporaryDir dir;
};

TEST_F(SignAppProfileTest, IntegersAndStrings)
{
    EXPECT_EQ(CSignApp::GetProfileInt("GeneralPreferences", "UndoLevels", 50), 50);
    EXPECT_TRUE(CSignApp::WriteProfileInt("GeneralPreferences", "UndoLevels", -12));
    EXPECT_EQ(CSignApp::GetProfileInt("GeneralPreferences", "UndoLevels", 50), -12);

    EXPECT_EQ(CSignApp::GetProfileString("paper", "LastPaper", "A4"), "A4");
    const QString awkward = "Name, with \"quotes\"; = and \u00e9 and %2 and \\back";
    EXPECT_TRUE(CSignApp::WriteProfileString("paper", "LastPaper", awkward));
    EXPECT_EQ(CSignApp::GetProfileString("paper", "LastPaper", "A4"), awkward);
    // An empty stored text is a value, not a missing key.
    EXPECT_TRUE(CSignApp::WriteProfileString("paper", "LastPaper", ""));
    EXPECT_EQ(CSignApp::GetProfileString("paper", "LastPaper", "A4"), "");

    // A section named "General" must not clash with the INI file's own.
    EXPECT_TRUE(CSignApp::WriteProfileInt("General", "X", 3));
    EXPECT_EQ(CSignApp::GetProfileInt("General", "X", 0), 3);

    // Text that is not a number reads as the default for integers.
    EXPECT_TRUE(CSignApp::WriteProfileString("Settings", "SkipDialog", "yes"));
    EXPECT_EQ(CSignApp::GetProfileInt("Settings", "SkipDialog", 1), 1);
}

TEST_F(SignAppProfileTest, LongValuesAsText)
{
    struct Case
    {
        const char* stored; // null: key missing
        LONG expected;
    };
    const Case cases[] = {
        {nullptr, 16777215},              // missing: the default
        {"", 16777215},                   // empty: the default
        {"255", 255},                     // red
        {"-2147483648", -2147483647 - 1}, // the 32-bit limits
        {"2147483647", 2147483647},       //   both ways
        {"red", 0},                       // not a number: 0 (black)
        {"12abc", 12},                    // as far as the digits go
        {" -7", -7},                      // leading blanks
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString key = QString("Colour%1").arg(n++);
        if (c.stored) {
            ASSERT_TRUE(CSignApp::WriteProfileString("BoxPreferences", key, c.stored));
        }
        EXPECT_EQ(CSignApp::GetProfileLong("BoxPreferences", key, 16777215), c.expected)
            << (c.stored ? c.stored : "(missing)");
    }

    EXPECT_TRUE(CSignApp::WriteProfileLong("BoxPreferences", "Fill", -123456));
    EXPECT_EQ(CSignApp::GetProfileString("BoxPreferences", "Fill"), "-123456");
    EXPECT_EQ(CSignApp::GetProfileLong("BoxPreferences", "Fill", 0), -123456);
}

TEST_F(SignAppProfileTest, FontRoundTripAndMissingKeys)
{
    LogFontFields font;
    font.lfHeight = -94;
    font.lfWidth = 12;
    font.lfEscapement = 900;
    font.lfOrientation = 450;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfUnderline = 1;
    font.lfStrikeOut = 1;
    font.lfCharSet = 255;
    font.lfOutPrecision = 4;
    font.lfClipPrecision = 2;
    font.lfQuality = 5;
    font.lfPitchAndFamily = 34;
    font.lfFaceName = "Times New Roman";
    CSignApp::WriteProfileFont("TextPreferences", font);

    LogFontFields read;
    CSignApp::GetProfileFont("TextPreferences", read);
    EXPECT_EQ(read, font);

    // A section holding only some of the keys leaves the others alone.
    CSignApp::WriteProfileInt("SymbolPreferences", "lfWeight", 400);
    CSignApp::WriteProfileString("SymbolPreferences", "lfFaceName", "Tabrel Symbol 1");
    LogFontFields partial = font;
    CSignApp::GetProfileFont("SymbolPreferences", partial);
    LogFontFields expected = font;
    expected.lfWeight = 400;
    expected.lfFaceName = "Tabrel Symbol 1";
    EXPECT_EQ(partial, expected);

    // The keys are the field names, readable one by one.
    EXPECT_EQ(CSignApp::GetProfileInt("TextPreferences", "lfPitchAndFamily", 0), 34);
    EXPECT_EQ(CSignApp::GetProfileInt("TextPreferences", "lfHeight", 0), -94);
}

TEST_F(SignAppProfileTest, SharedKeysAreOneFileForBothPrograms)
{
    CSignApp::WriteProfileString("Users", "Current", "ann", true);
    CSignApp::WriteProfileInt("Settings", "WelcomeDialog", 0);

    // Own and shared sections do not see each other.
    EXPECT_EQ(CSignApp::GetProfileString("Users", "Current", "none"), "none");
    EXPECT_EQ(CSignApp::GetProfileInt("Settings", "WelcomeDialog", 1, true), 1);

    CSignApp::SetProgramTitle("Tabrel Print");
    EXPECT_EQ(CSignApp::GetProfileString("Users", "Current", "none", true), "ann");
    EXPECT_EQ(CSignApp::GetProfileInt("Settings", "WelcomeDialog", 1), 1);
    CSignApp::WriteProfileInt("Settings", "WelcomeDialog", 5);

    CSignApp::SetProgramTitle("Tabrel");
    EXPECT_EQ(CSignApp::GetProfileInt("Settings", "WelcomeDialog", 1), 0);

    // Everything went to the test's folder.
    EXPECT_TRUE(QFile::exists(dir.filePath("Corvane/Tabrel.ini")));
    EXPECT_TRUE(QFile::exists(dir.filePath("Corvane/Tabrel Print.ini")));
    EXPECT_TRUE(QFile::exists(dir.filePath("Corvane.ini")));
}

class ProgramFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wasSet = qEnvironmentVariableIsSet("TABREL_HOME");
        saved = qgetenv("TABREL_HOME");
    }
    void TearDown() override
    {
        if (wasSet)
            qputenv("TABREL_HOME", saved);
        else
            qunsetenv("TABREL_HOME");
    }
    bool wasSet = false;
    QByteArray saved;
};

TEST_F(ProgramFolderTest, HonoursTabrelHome)
{
    qputenv("TABREL_HOME", "/opt/tabrel/");
    EXPECT_EQ(CSignApp::GetProgramFolder(false), "/opt/tabrel");
    EXPECT_EQ(CSignApp::GetProgramFolder(true), "/opt/tabrel/");
    EXPECT_EQ(CSignApp::GetProgramFileName(".sns"), "/opt/tabrel/Tabrel.sns");
    EXPECT_EQ(CSignApp::GetProgramFileName(".chm"), "/opt/tabrel/Tabrel.chm");

    // The side files keep their name whatever the program's title.
    CSignApp::SetProgramTitle("Tabrel Print");
    EXPECT_EQ(CSignApp::GetProgramFileName(".pff"), "/opt/tabrel/Tabrel.pff");
    CSignApp::SetProgramTitle("Tabrel");
}

TEST_F(ProgramFolderTest, WithoutTabrelHomeIsAWritableFolder)
{
    qunsetenv("TABREL_HOME");
    const QString folder = CSignApp::GetProgramFolder(false);
    EXPECT_FALSE(folder.isEmpty());
    EXPECT_FALSE(folder.endsWith('/'));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(folder).isWritable());
    EXPECT_EQ(CSignApp::GetProgramFolder(true), folder + "/");
}

} // namespace
