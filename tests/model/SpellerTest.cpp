// The spelling engine and the program's spelling checker with the real
// American English hunspell dictionary: unknown words and their steps, what
// counts as a word, the user's own word list on disk, and where the main
// dictionary is found.
#include "Speller.h"
#include "SpellOCX.h"

#include "AppContext.h"
#include "MessageBox.h"
#include "SignApp.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kSystemWords = QStringLiteral("/usr/share/hunspell/en_US.dic");
const QString kSystemAffixes = QStringLiteral("/usr/share/hunspell/en_US.aff");

// Sets an environment variable for the life of the object.
class CEnvironment
{
public:
    CEnvironment(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~CEnvironment()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The words a check stops at when each is ignored in turn.
QStringList UnknownWords(CSpeller& speller, const QString& text)
{
    QStringList words;
    int result = speller.CheckText(text);
    while (result == CSpeller::kUnknownWord && words.size() < 50) {
        words << speller.UnknownWord();
        result = speller.Ignore();
    }
    return words;
}

class SpellerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(kSystemWords)) << "the en_US dictionary is installed";
        ASSERT_TRUE(speller.OpenMainDictionary(kSystemAffixes, kSystemWords));
        ASSERT_TRUE(speller.OpenUserDictionary(home.FilePath("Tabrel.dic")));
    }

    CTestHome home;
    CSpeller speller;
};

} // namespace

TEST_F(SpellerTest, SmallTextTakesChangeChangeAllAndAdd)
{
    const QString text = "Teh cat and teh dog met teh Zorblax near the Zorblax.";
    ASSERT_EQ(speller.CheckText(text), CSpeller::kUnknownWord);
    EXPECT_EQ(speller.UnknownWord(), "Teh");
    EXPECT_FALSE(speller.Suggestions().isEmpty());
    EXPECT_LE(speller.Suggestions().size(), 10); // the display limit

    ASSERT_EQ(speller.Change("The"), CSpeller::kUnknownWord);
    EXPECT_EQ(speller.UnknownWord(), "teh");
    // Change All mends this one and every later one without asking.
    ASSERT_EQ(speller.ChangeAll("the"), CSpeller::kUnknownWord);
    EXPECT_EQ(speller.UnknownWord(), "Zorblax");
    // Added once, the word is known at its second place too.
    EXPECT_EQ(speller.AddToDictionary(), CSpeller::kFinished);
    EXPECT_FALSE(speller.LastAddFailed());
    EXPECT_EQ(speller.CheckedText(), "The cat and the dog met the Zorblax near the Zorblax.");
    EXPECT_EQ(speller.ChangeCount(), 3);
    EXPECT_EQ(ReadAll(home.FilePath("Tabrel.dic")), "Zorblax\n");

    // Change All lasts for the next text of the same check...
    EXPECT_EQ(speller.CheckText("teh end"), CSpeller::kFinished);
    EXPECT_EQ(speller.CheckedText(), "the end");
    EXPECT_EQ(speller.ChangeCount(), 1);
    // ...and ends with it.
    speller.Close();
    EXPECT_EQ(speller.CheckText("teh end"), CSpeller::kUnknownWord);

    // Suggestions come best first.
    ASSERT_EQ(speller.CheckText("We recieve mail"), CSpeller::kUnknownWord);
    EXPECT_EQ(speller.Suggestions().value(0), "receive");

    // A text without unknown words is left as it is; steps without an
    // unknown word report that nothing is being checked.
    EXPECT_EQ(speller.CheckText("All is well."), CSpeller::kFinished);
    EXPECT_EQ(speller.ChangeCount(), 0);
    EXPECT_EQ(speller.CheckedText(), "All is well.");
    EXPECT_EQ(speller.Change("x"), CSpeller::kNoText);
}

TEST_F(SpellerTest, WordsMarkupNumbersAndOptions)
{
    constexpr WORD kDefault = 243;
    struct Case
    {
        const char* text;
        WORD options;
        QStringList unknown;
    };
    const Case cases[] = {
        {"<b>Helo</b> wrld&nbsp;fine", kDefault, {"Helo", "wrld"}},
        {"<font face=\"Qzxv\" size=12>fine</font>", kDefault, {}},
        {"a < b and qzxv > c", kDefault, {"qzxv"}}, // no tag
        {"abc123 4567 fine", kDefault, {}},
        {"abc123 fine", 0, {"abc123"}},
        {"UNESCOX fine", kDefault, {"UNESCOX"}},
        {"UNESCOX fine", kDefault | CSpeller::IgnoreUpperCase, {}},
        {"well-knwn", kDefault, {"knwn"}},
        {"well-knwn", kDefault & ~CSpeller::SplitHyphenated, {"well-knwn"}},
        {"don't wouldnt' 'quoted'", kDefault, {"wouldnt"}},
        {"", kDefault, {}},
        {"<<<>>>&&&;;; ---", kDefault, {}},
    };
    for (const Case& c : cases) {
        speller.SetOptions(c.options);
        EXPECT_EQ(UnknownWords(speller, QString::fromUtf8(c.text)), c.unknown) << c.text;
    }

    speller.SetOptions(kDefault);
    ASSERT_EQ(speller.CheckText("qzxv and qzxv"), CSpeller::kUnknownWord);
    EXPECT_EQ(speller.IgnoreAll(), CSpeller::kFinished);
    EXPECT_EQ(speller.CheckText("qzxv again"), CSpeller::kFinished);
}

TEST_F(SpellerTest, UserDictionaryOnDisk)
{
    struct Case
    {
        const char* what;
        QByteArray before; // null: no file
        QString known;     // a word the list makes known ("" none)
        QByteArray after;  // the file after adding "Frobnicatex"
    };
    const Case cases[] = {
        {"no list yet", QByteArray(), "", "Frobnicatex\n"},
        {"a list without its last line break", "Zorblax", "Zorblax", "Zorblax\nFrobnicatex\n"},
        {"Windows line breaks", "Zorblax\r\nQwibble\r\n", "Qwibble",
         "Zorblax\r\nQwibble\r\nFrobnicatex\n"},
        {"Windows-1252, kept so",
         "Qu\xe9"
         "bexx\n",
         QString::fromUtf8("Québexx"),
         "Qu\xe9"
         "bexx\nFrobnicatex\n"},
        {"UTF-8",
         "Qu\xc3\xa9"
         "bexx\n",
         QString::fromUtf8("Québexx"),
         "Qu\xc3\xa9"
         "bexx\nFrobnicatex\n"},
        {"a word already there", "Frobnicatex\n", "Frobnicatex", "Frobnicatex\n"},
    };
    for (const Case& c : cases) {
        const QString path = home.FilePath(QStringLiteral("user.dic"));
        QFile::remove(path);
        if (!c.before.isNull())
            WriteAll(path, c.before);
        CSpeller user;
        ASSERT_TRUE(user.OpenMainDictionary(kSystemAffixes, kSystemWords));
        EXPECT_TRUE(user.OpenUserDictionary(path)) << c.what;
        if (!c.known.isEmpty()) {
            EXPECT_TRUE(user.IsKnown(c.known)) << c.what;
        }
        EXPECT_EQ(user.IsKnown("Frobnicatex"), c.known == "Frobnicatex") << c.what;
        EXPECT_TRUE(user.AddWord("Frobnicatex")) << c.what;
        EXPECT_TRUE(user.IsKnown("Frobnicatex")) << c.what;
        EXPECT_EQ(ReadAll(path), c.after) << c.what;
    }

    // A list that cannot be read is never written over: the word is known
    // for the session only.
    const QString folder = home.FilePath(QStringLiteral("folder.dic"));
    ASSERT_TRUE(QDir().mkdir(folder));
    CSpeller blocked;
    ASSERT_TRUE(blocked.OpenMainDictionary(kSystemAffixes, kSystemWords));
    EXPECT_FALSE(blocked.OpenUserDictionary(folder));
    EXPECT_FALSE(blocked.AddWord("Frobnicatex"));
    EXPECT_TRUE(blocked.IsKnown("Frobnicatex"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(SpellCheckerTest, AddedWordsAreKnownAfterARestart)
{
    EnsureGuiApp();
    CTestHome home;
    CMessageResponder messages;
    {
        CAppContext first;
        CSpellOCX& checker = CSpellOCX::Current();
        ASSERT_TRUE(
            checker.Create(CSpellSettings{CSignApp::GetProgramFolder(true) + "AMERICAN.VTD"}));
        ASSERT_TRUE(checker.IsAvailable());
        ASSERT_EQ(checker.Speller().CheckText("Zorblax"), CSpeller::kUnknownWord);
        EXPECT_EQ(checker.AddWordToUserDictionary(), CSpeller::kFinished);
        EXPECT_EQ(CSpellOCX::UserDictionaryPath(), home.FilePath("Tabrel.dic"));
    }
    CAppContext second;
    CSpellOCX& checker = CSpellOCX::Current();
    ASSERT_TRUE(checker.Create(CSpellSettings{}));
    QString corrected = "untouched";
    EXPECT_EQ(checker.CheckText("The Zorblax is here", corrected), 0);
    EXPECT_EQ(corrected, "untouched");
    // Without anybody to ask about an unknown word nothing changes.
    EXPECT_EQ(checker.CheckText("The Qzxvq is here", corrected), 2);
    EXPECT_EQ(corrected, "untouched");
    EXPECT_EQ(messages.Count(), 0);
}

TEST(SpellCheckerTest, MainDictionaryIsFoundWhereTheProgramLooks)
{
    EnsureGuiApp();
    CTestHome home;
    QTemporaryDir elsewhere;
    QTemporaryDir empty;
    // A tiny dictionary that knows two words.
    const auto makePair = [](const QString& base) {
        WriteAll(base + ".aff", "SET UTF-8\n");
        WriteAll(base + ".dic", "2\nfoo\nbar\n");
    };
    makePair(elsewhere.filePath("mine"));

    struct Case
    {
        const char* what;
        QString setting;
        QByteArray dicPath; // null: unset
        bool programFolderPair;
        QString expected;
    };
    const Case cases[] = {
        {"the chosen words file", elsewhere.filePath("mine.dic"), QByteArray(), false,
         elsewhere.filePath("mine.dic")},
        {"the chosen affix file", elsewhere.filePath("mine.aff"), QByteArray(), false,
         elsewhere.filePath("mine.dic")},
        {"the default name: the system's", home.FilePath("AMERICAN.VTD"), QByteArray(), false,
         kSystemWords},
        {"the program folder first", home.FilePath("AMERICAN.VTD"), QByteArray(), true,
         home.FilePath("en_US.dic")},
        {"only the folders of DICPATH", "", empty.path().toLocal8Bit(), false, ""},
        {"a chosen file that is missing", elsewhere.filePath("gone.dic"),
         empty.path().toLocal8Bit(), false, ""},
        {"DICPATH's folders in turn", "", (empty.path() + ":/usr/share/hunspell").toLocal8Bit(),
         false, kSystemWords},
    };
    for (const Case& c : cases) {
        QFile::remove(home.FilePath("en_US.aff"));
        QFile::remove(home.FilePath("en_US.dic"));
        if (c.programFolderPair)
            makePair(home.FilePath("en_US"));
        std::unique_ptr<CEnvironment> env;
        if (!c.dicPath.isNull())
            env = std::make_unique<CEnvironment>("DICPATH", c.dicPath);
        EXPECT_EQ(CSpellOCX::FindMainDictionary(c.setting), c.expected) << c.what;
    }

    // The chosen dictionary is the one that checks.
    CMessageResponder messages;
    CAppContext context;
    CSpellOCX& checker = CSpellOCX::Current();
    ASSERT_TRUE(checker.Create(CSpellSettings{elsewhere.filePath("mine.dic")}));
    ASSERT_TRUE(checker.IsAvailable());
    ASSERT_EQ(checker.Speller().CheckText("foo bar baz"), CSpeller::kUnknownWord);
    EXPECT_EQ(checker.Speller().UnknownWord(), "baz");

    // With none to be found spelling is unavailable and checks nothing.
    CEnvironment none("DICPATH", empty.path().toLocal8Bit());
    checker.ApplySettings(CSpellSettings{home.FilePath("AMERICAN.VTD")});
    EXPECT_FALSE(checker.IsAvailable());
    QString corrected;
    EXPECT_EQ(checker.CheckText("Qzxvq", corrected), 0);
    EXPECT_EQ(messages.Count(), 0);
}
