// The incrementing number: its unit steps in every style, limits, the
// frequency of its steps, the number sequences and its record.
#include "IncNumber.h"

#include "AppContext.h"
#include "Damage.h"
#include "EverydayVariablesSupport.h"
#include "MessageBox.h"
#include "SequenceStore.h"
#include "SignApp.h"
#include "TestSupport.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class IncNumberTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterVariableSignParts(); }

    static CIncNumber Counter(const char* start, int amount, int style = 0,
                              const char* sequence = "")
    {
        CIncNumber n;
        n.m_startValue = QString::fromLatin1(start);
        n.m_amount = amount;
        n.m_style = style;
        n.m_sequence = QString::fromLatin1(sequence);
        n.ResetValue();
        return n;
    }

    QString SequenceFile() const
    {
        return QFileInfo(CSignApp::GetProgramFileName(QStringLiteral(".sns"))).filePath();
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST_F(IncNumberTest, UnitStepsInEveryStyleUpAndDown)
{
    using N = CIncNumber;
    struct Case
    {
        int style;
        const char* sequence;
        const char* from;
        const char* up;
        const char* down;
    };
    const Case cases[] = {
        {N::STYLE_DECIMAL, "", "0099", "0100", "0098"},
        {N::STYLE_DECIMAL, "", "9", "10", "8"},
        {N::STYLE_DECIMAL, "", "999", "1000", "998"},
        {N::STYLE_DECIMAL, "", "10", "11", "9"},
        {N::STYLE_DECIMAL, "", "100", "101", "99"},
        {N::STYLE_DECIMAL, "", "0100", "0101", "0099"},
        {N::STYLE_DECIMAL, "", "1", "2", "0"},
        {N::STYLE_DECIMAL, "", "0", "1", "0"},
        {N::STYLE_DECIMAL, "", "A-19", "A-20", "A-18"}, // a stranger stops the carry
        {N::STYLE_DECIMAL, "", "A-99", "A-00", "A-98"},
        {N::STYLE_HEXADECIMAL, "", "FF", "100", "FE"},
        {N::STYLE_HEXADECIMAL, "", "09", "0A", "08"},
        {N::STYLE_HEXADECIMAL, "", "1A", "1B", "19"},
        {N::STYLE_HEXADECIMAL, "", "10", "11", "F"},
        {N::STYLE_HEXADECIMAL, "", "af", "b0", "ae"},
        {N::STYLE_ALPHA, "", "AZ", "BA", "AY"},
        {N::STYLE_ALPHA, "", "Z", "A", "Y"},
        {N::STYLE_ALPHA, "", "BA", "BB", "AZ"},
        {N::STYLE_ALPHA, "", "A", "B", "Z"},
        {N::STYLE_ALPHA, "", "zz", "aa", "zy"},
        {N::STYLE_ALPHANUMERIC, "", "A9", "AA", "A8"},
        {N::STYLE_ALPHANUMERIC, "", "9Z", "A0", "9Y"},
        {N::STYLE_ALPHANUMERIC, "", "Z", "10", "Y"},
        {N::STYLE_ALPHANUMERIC, "", "10", "11", "Z"},
        {N::STYLE_ALPHANUMERIC, "", "1A", "1B", "19"},
        {N::STYLE_CUSTOM, "XYZ", "ZZ", "XX", "ZY"},
        {N::STYLE_CUSTOM, "XYZ", "XX", "XY", "ZZ"},
        {N::STYLE_CUSTOM, "XYZ", "YX", "YY", "XZ"},
        {N::STYLE_CUSTOM, "XYZ", "Y?", "Y?", "Y?"},
    };
    for (const Case& c : cases) {
        const QString from = QString::fromLatin1(c.from);
        const QString seq = QString::fromLatin1(c.sequence);
        EXPECT_EQ(N::StepUp(from, c.style, seq), QString::fromLatin1(c.up))
            << "style " << c.style << " " << c.from;
        EXPECT_EQ(N::StepDown(from, c.style, seq), QString::fromLatin1(c.down))
            << "style " << c.style << " " << c.from;
    }

    // Several units at a time, up and down.
    CIncNumber up = Counter("0095", 3);
    up.Step();
    up.Step();
    EXPECT_EQ(up.GetValue(), "0101");
    CIncNumber down = Counter("12", -5);
    for (int i = 0; i < 3; ++i)
        down.Step();
    EXPECT_EQ(down.GetValue(), "0");
    CIncNumber empty = Counter("", 1);
    empty.Step();
    EXPECT_EQ(empty.GetValue(), "");
}

TEST_F(IncNumberTest, LimitsStopOrRestart)
{
    struct Case
    {
        int action;
        const char* start;
        int amount;
        const char* limit;
        std::vector<const char*> values; // after each step
    };
    const Case cases[] = {
        // stops at the limit even within a step of several units
        {CIncNumber::LIMIT_STOP, "8", 5, "10", {"10", "10", "10"}},
        // starts again with the start value on the step after the limit
        {CIncNumber::LIMIT_RESTART, "8", 1, "10", {"9", "10", "8", "9"}},
        {CIncNumber::LIMIT_RESTART, "3", -1, "1", {"2", "1", "3"}},
        // without a limit action the limit value means nothing
        {CIncNumber::LIMIT_NONE, "8", 1, "9", {"9", "10", "11"}},
    };
    for (const Case& c : cases) {
        CIncNumber n = Counter(c.start, c.amount);
        n.m_limitAction = c.action;
        n.m_limitValue = QString::fromLatin1(c.limit);
        for (const char* expected : c.values) {
            n.Step();
            EXPECT_EQ(n.GetValue(), QString::fromLatin1(expected))
                << "action " << c.action << " start " << c.start;
        }
    }
}

TEST_F(IncNumberTest, StepsEverySoManyLabelsCountedFromTheLastCopiesChange)
{
    struct Case
    {
        int frequency;
        int copies;
        std::vector<int> stepsAfter; // label positions after which it steps
    };
    const Case cases[] = {
        {3, 1, {3, 6, 9}},
        {1, 2, {2, 4, 6, 8}},
        {2, 2, {4, 8}},
        {0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9}}, // counts below 1 are taken as 1
    };
    for (const Case& c : cases) {
        CIncNumber n = Counter("1", 1);
        n.m_frequency = c.frequency;
        int expected = 1;
        for (int position = 1; position <= 9; ++position) {
            // Each printed sign takes copies labels; the counter asks after it.
            if (c.copies > 1 && position % c.copies != 0)
                continue;
            n.Advance(position, c.copies);
            if (std::find(c.stepsAfter.begin(), c.stepsAfter.end(), position) != c.stepsAfter.end())
                ++expected;
            EXPECT_EQ(n.GetValue(), QString::number(expected))
                << "frequency " << c.frequency << " copies " << c.copies << " at " << position;
        }
    }
}

TEST_F(IncNumberTest, AStartFromAnElementRestartsOnlyWhenItChanges)
{
    CIncNumber n;
    n.m_startSource = SOURCE_ELEMENT;
    n.m_startName = "Batch";
    const auto deliver = [&n](const char* value) {
        n.SetSourceValue(QString::fromLatin1(value), SOURCE_ELEMENT, "Batch", FALSE);
    };
    deliver("7");
    EXPECT_EQ(n.GetValue(), "7");
    // Before each printed sign the element delivers its value again.
    for (const char* expected : {"8", "9", "10"}) {
        n.Step();
        deliver("7");
        EXPECT_EQ(n.GetValue(), QString::fromLatin1(expected));
    }
    deliver("20");
    EXPECT_EQ(n.GetValue(), "20");
    // Another source of the same name is not the start.
    n.SetSourceValue("99", SOURCE_KEYBOARD, "Batch", FALSE);
    EXPECT_EQ(n.GetValue(), "20");
}

TEST_F(IncNumberTest, ASequenceCarriesOnWithoutPrintingANumberTwice)
{
    ASSERT_FALSE(LoadSequenceStore()); // no file yet
    auto* n =
        static_cast<CIncNumber*>(TheVariableList().CreateVariable(VARIABLE_INCREMENTING, "Serial"));
    ASSERT_NE(n, nullptr);
    n->m_startSource = CIncNumber::SOURCE_SEQUENCE;
    n->m_startName = "Tickets";
    TheSequenceStore().SetValue("Tickets", "0055");
    n->ResetValue();
    EXPECT_EQ(n->GetValue(), "0055");
    // Three labels printed: 55, 56 and 57; 58 is the next to print.
    for (int label = 1; label <= 3; ++label)
        n->Advance(label, 1);
    EXPECT_EQ(n->GetValue(), "0058");
    TheVariableList().EndPrintRun();
    EXPECT_EQ(TheSequenceStore().GetValue("Tickets"), "0058");
    EXPECT_TRUE(QFile::exists(SequenceFile()));

    // The next run, and the next session, start at 58.
    TheVariableList().ResetValues();
    EXPECT_EQ(n->GetValue(), "0058");
    TheSequenceStore().RemoveAll();
    ASSERT_TRUE(LoadSequenceStore());
    EXPECT_EQ(TheSequenceStore().GetValue("Tickets"), "0058");

    // A cancelled job takes its numbers back; the store keeps what it had.
    TheVariableList().BeginPrintJob();
    n->Advance(1, 1);
    n->Advance(2, 1);
    EXPECT_EQ(n->GetValue(), "0060");
    TheVariableList().DiscardPrintJob();
    EXPECT_EQ(n->GetValue(), "0058");
    TheVariableList().EndPrintRun();
    EXPECT_EQ(TheSequenceStore().GetValue("Tickets"), "0058");
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    // The file is the framework's string map.
    EXPECT_EQ(ReadAll(SequenceFile()).toHex(),
              CRecordBytes().Count(1).Str("Tickets").Str("0058").Bytes().toHex());

    // Merging a package's store adds only what is missing.
    CStringMap other;
    other.SetAt("Tickets", "9999");
    other.SetAt("Boxes", "A1");
    TheSequenceStore().Merge(other);
    EXPECT_EQ(TheSequenceStore().Names(), (QStringList{"Tickets", "Boxes"}));
    EXPECT_EQ(TheSequenceStore().GetValue("Tickets"), "0058");
    QStringList names;
    EXPECT_EQ(TheSequenceStore().FillNames(names, "bo"), 1);
    EXPECT_EQ(TheSequenceStore().FillNames(names, "none"), 0);

    // An empty store removes the file.
    TheSequenceStore().RemoveAll();
    EXPECT_TRUE(SaveSequenceStore());
    EXPECT_FALSE(QFile::exists(SequenceFile()));
}

TEST_F(IncNumberTest, ADamagedSequenceFileIsNamedAndNeverRewritten)
{
    const QByteArray good = CRecordBytes()
                                .Count(3)
                                .Str("Tickets")
                                .Str("0058")
                                .Str("Boxes")
                                .Str("A1")
                                .Str("Crates")
                                .Str("77")
                                .Bytes();
    std::mt19937 rng(19);
    for (int round = 0; round < 300; ++round) {
        const QByteArray damaged = round == 0 ? good.left(good.size() - 3) : DamagedCopy(good, rng);
        WriteAll(SequenceFile(), damaged);
        context.Get<CSequenceStore>().RemoveAll();
        messages.Clear();
        const bool whole = LoadSequenceStore();
        if (whole) {
            EXPECT_EQ(messages.Count(), 0);
            continue;
        }
        // Named once; the file stays as it was even when a print run ends.
        EXPECT_EQ(messages.Count(), 1) << round;
        EXPECT_TRUE(TheSequenceStore().IsFileKept());
        TheSequenceStore().SetValue("Tickets", "1000");
        EXPECT_FALSE(SaveSequenceStore());
        EXPECT_EQ(ReadAll(SequenceFile()), damaged) << round;
    }
}

TEST_F(IncNumberTest, RecordTextExportAndOlderSigns)
{
    CIncNumber n;
    n.m_name = "No";
    n.m_startSource = CIncNumber::SOURCE_SEQUENCE;
    n.m_startName = "Tickets";
    n.m_startValue = "5";
    n.m_incrementType = CIncNumber::INCREMENT_ROW;
    n.m_amount = -2;
    n.m_frequency = 3;
    n.m_style = CIncNumber::STYLE_CUSTOM;
    n.m_sequence = "XYZ";
    n.m_limitAction = CIncNumber::LIMIT_RESTART;
    n.m_limitSource = SOURCE_KEYBOARD;
    n.m_limitName = "limit";
    n.m_limitPrompt = "Last";
    n.m_limitValue = "X";
    const QByteArray expected = CRecordBytes()
                                    .Str("No")
                                    .Str("")
                                    .Int(0)
                                    .Int(11)
                                    .Str("Tickets")
                                    .Str("")
                                    .Str("5")
                                    .Int(2)
                                    .Int(-2)
                                    .Int(3)
                                    .Int(4)
                                    .Str("XYZ")
                                    .Int(2)
                                    .Int(1)
                                    .Str("limit")
                                    .Str("Last")
                                    .Str("X")
                                    .Bytes();
    EXPECT_EQ(Stored(n).toHex(), expected.toHex());
    CIncNumber loaded;
    Load(loaded, expected);
    EXPECT_EQ(Stored(loaded), expected);
    std::vector<int> kinds;
    QStringList names;
    EXPECT_EQ(loaded.GetDataSources(kinds, names), 2);
    EXPECT_EQ(kinds, (std::vector<int>{CIncNumber::SOURCE_SEQUENCE, SOURCE_KEYBOARD}));

    // Before version 330 the sequence source was 9; from 330 to 399 it was 10.
    for (const int version : {329, 399}) {
        App().fileVersion = version;
        QByteArray old = expected;
        old[8] = char(version < 330 ? 9 : 10); // the start source
        CIncNumber read;
        Load(read, old);
        EXPECT_EQ(read.m_startSource, CIncNumber::SOURCE_SEQUENCE) << version;
    }
    App().fileVersion = 514;

    // What the pages never give is brought into range.
    QByteArray wild = expected;
    const auto put = [&wild](int at, qint32 v) {
        for (int i = 0; i < 4; ++i)
            wild[at + i] = char((quint32(v) >> (8 * i)) & 0xFF);
    };
    const int increment = 8 + 4 + 8 + 1 + 2; // the type, after the start
    put(increment, 7);
    put(increment + 4, 2000000000);
    put(increment + 8, -5);
    put(increment + 12, 99);
    CIncNumber read;
    Load(read, wild);
    EXPECT_EQ(read.m_incrementType, CIncNumber::INCREMENT_LABELS);
    EXPECT_LE(read.m_amount, 99999);
    EXPECT_EQ(read.m_frequency, 1);
    EXPECT_EQ(read.m_style, CIncNumber::STYLE_DECIMAL);

    EXPECT_EQ(Exported(n), "  <incrementing-number>\r\n\r\n"
                           "    <name=\"No\"/>\r\n"
                           "    <data-entry-index=\"0\"/>\r\n"
                           "    <prompt=\"\"/>\r\n"
                           "    <start source=\"11\" name=\"Tickets\" prompt=\"\" value=\"5\"/>\r\n"
                           "    <increment type=\"2\" amount=\"-2\" frequency=\"3\" style=\"4\" "
                           "sequence=\"XYZ\"/>\r\n"
                           "    <limit action=\"2\" source=\"1\" name=\"limit\" prompt=\"Last\" "
                           "value=\"X\"/>\r\n"
                           "\r\n  </incrementing-number>\r\n\r\n");
}
