#include "AppContext.h"
#include "Archive.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "PriceFormatList.h"
#include "SmallDisk.h"
#include "TextExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace {

using P = CPriceFormat;

// A format whose every field differs from the standard format's.
CPriceFormat SampleFormat(const QString& name)
{
    CPriceFormat f;
    f.m_name = name;
    f.m_partText[P::PART_PRIMARY_SYMBOL] = QString::fromUtf8("\u00a3");
    f.m_partText[P::PART_DECIMAL_SEPARATOR] = ",";
    f.m_partText[P::PART_SECONDARY_SYMBOL] = "p";
    f.m_partRatio = {0.5, 1.0, 0.29, 0.29, 0.4};
    f.m_partAlignment = {P::ALIGN_TOP, P::ALIGN_BASELINE, P::ALIGN_CENTRE, P::ALIGN_CENTRE,
                         P::ALIGN_BOTTOM};
    f.m_thousandsSeparator = "'";
    f.m_secondaryAlwaysShow = TRUE;
    f.m_secondaryNeverShow = FALSE;
    f.m_symbolAfterAmount = TRUE;
    f.m_showPrimaryAmount = FALSE;
    f.m_showZeroSecondary = FALSE;
    return f;
}

// One record laid out field by field as a program of some version wrote it;
// flags holds only the flags that version carries.
struct RawRecord
{
    QString name;
    QString symbol;
    double ratio = 1.0; // of every part
    int alignment = 3;  // of every part
    std::vector<int> flags;
};

void PutRecord(CArchive& ar, const RawRecord& r)
{
    ar << r.name;
    for (int part = 0; part < P::PART_COUNT; ++part)
        ar << (part == 0 ? r.symbol : QString()) << r.ratio << r.alignment;
    ar << QString(",");
    for (int flag : r.flags)
        ar << flag;
}

QByteArray LibraryBytes(DWORD version, int count, const std::vector<RawRecord>& records)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    ar << version << count;
    for (const RawRecord& r : records)
        PutRecord(ar, r);
    return bytes;
}

QByteArray SignBlock(int count, const std::vector<RawRecord>& records)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    ar << count;
    for (const RawRecord& r : records)
        PutRecord(ar, r);
    return bytes;
}

void ReadSignBlock(CPriceFormatList& list, QByteArray bytes)
{
    CArchive ar(&bytes, CArchive::load);
    list.Serialize(ar);
}

QByteArray WriteSignBlock(CPriceFormatList& list)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    list.Serialize(ar);
    return bytes;
}

class CCountingProgress : public CProgressSeam
{
public:
    int steps = 0;
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void StepIt() override { ++steps; }
    void SetPos(int) override {}
};

// A stand-in for a combo or list box.
struct FakeControl
{
    QStringList items{"left over"};
    void clear() { items.clear(); }
    void addItem(const QString& text) { items << text; }
};

// Every test runs in a fresh context with a program folder of its own.
class PriceFormatTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        homeWasSet = qEnvironmentVariableIsSet("TABREL_HOME");
        savedHome = qgetenv("TABREL_HOME");
        qputenv("TABREL_HOME", QFile::encodeName(home.path()));
    }
    void TearDown() override
    {
        if (homeWasSet)
            qputenv("TABREL_HOME", savedHome);
        else
            qunsetenv("TABREL_HOME");
        CPriceFormatList::s_isFormatUsed = nullptr;
        CPriceFormatList::s_dialogs = {};
    }

    QString LibraryPath() const { return home.path() + "/Tabrel.pff"; }
    void WriteLibrary(const QByteArray& bytes) const
    {
        QFile file(LibraryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray ReadLibrary() const
    {
        QFile file(LibraryPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir home;
    bool homeWasSet = false;
    QByteArray savedHome;
    CAppContext context;
    CMessageResponder messages;
    CPriceFormatList& list = ThePriceFormatList();
};

} // namespace

// --- the format record -----------------------------------------------------

TEST(PriceFormatRecord, SettersKeepTheFormatsOwnRules)
{
    CPriceFormat f;
    f.SetPartRatio(P::PART_SECONDARY_AMOUNT, 0.5);
    f.SetPartAlignment(P::PART_SECONDARY_AMOUNT, P::ALIGN_TOP);
    EXPECT_EQ(f.GetPartRatio(P::PART_DECIMAL_SEPARATOR), 0.5);
    EXPECT_EQ(f.GetPartAlignment(P::PART_DECIMAL_SEPARATOR), P::ALIGN_TOP);
    // Other parts do not drag the separator along.
    f.SetPartRatio(P::PART_SECONDARY_SYMBOL, 0.3);
    EXPECT_EQ(f.GetPartRatio(P::PART_DECIMAL_SEPARATOR), 0.5);

    f.SetPartText(P::PART_SECONDARY_SYMBOL, "c");
    EXPECT_EQ(f.m_showPrimaryAmount, FALSE);
    f.SetPartText(P::PART_SECONDARY_SYMBOL, "");
    EXPECT_EQ(f.m_showPrimaryAmount, TRUE);

    f.SetPartText(P::PART_THOUSANDS_SEPARATOR, ".");
    EXPECT_EQ(f.m_thousandsSeparator, ".");
    EXPECT_EQ(f.GetPartText(P::PART_THOUSANDS_SEPARATOR), ".");

    const CPriceFormat before = f;
    for (int bad : {-1, 6, 1000}) {
        f.SetPartText(bad, "x");
        f.SetPartRatio(bad, 0.1);
        f.SetPartAlignment(bad, 0);
        EXPECT_EQ(f.GetPartText(bad), QString()) << bad;
        EXPECT_EQ(f.GetPartRatio(bad), 1.0) << bad;
    }
    EXPECT_EQ(f, before);
}

TEST(PriceFormatRecord, EveryWholePercentageComesBackAsItself)
{
    // The wizard stores size * 0.01; 29 * 0.01 * 100 is 28.999999999999996.
    CPriceFormat f;
    for (int percent = 10; percent <= 100; ++percent) {
        f.SetPartRatio(P::PART_PRIMARY_SYMBOL, percent * 0.01);
        EXPECT_EQ(f.GetRatioPercent(P::PART_PRIMARY_SYMBOL), percent);
    }
    f.SetPartRatio(P::PART_PRIMARY_SYMBOL, 0.555);
    EXPECT_EQ(f.GetRatioPercent(P::PART_PRIMARY_SYMBOL), 55); // still the integer part
}

// --- the standard format ---------------------------------------------------

TEST_F(PriceFormatTest, StandardFormatComesFromTheSystemLocale)
{
    // QLocale::system() cannot be pinned inside a running test, so this holds
    // whatever the machine's locale is; the table test below pins the rules.
    const CPriceFormat* standard = list.GetStandardFormat();
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.FindFormat("Standard Format"), standard);
    EXPECT_EQ(standard->m_name, "Standard Format");
    EXPECT_EQ(standard->GetPartText(P::PART_PRIMARY_SYMBOL), GetLocaleString(LOCALE_SCURRENCY));
    EXPECT_EQ(standard->GetPartText(P::PART_DECIMAL_SEPARATOR),
              GetLocaleString(LOCALE_SMONDECIMALSEP));
    EXPECT_EQ(standard->m_thousandsSeparator, GetLocaleString(LOCALE_SMONTHOUSANDSEP));
    const int mode = GetLocaleString(LOCALE_ICURRENCY).toInt();
    EXPECT_EQ(standard->m_symbolAfterAmount, (mode == 1 || mode == 3) ? TRUE : FALSE);
    EXPECT_EQ(*standard, CPriceFormatList::MakeStandardFormat(GetLocaleString));
}

TEST(PriceFormatStandard, MadeFromTheMonetaryLocaleItems)
{
    struct Case
    {
        const char* currencyMode;
        BOOL after;
    };
    const Case cases[] = {{"0", FALSE}, {"1", TRUE}, {"2", FALSE}, {"3", TRUE}, {"", FALSE}};
    for (const Case& c : cases) {
        // Each item answers a text of its own, so a wrong item shows.
        const std::map<int, QString> items = {
            {LOCALE_SDECIMAL, "d"},        {LOCALE_STHOUSAND, "t"},
            {LOCALE_SCURRENCY, "kr"},      {LOCALE_SMONDECIMALSEP, ":"},
            {LOCALE_SMONTHOUSANDSEP, "_"}, {LOCALE_ICURRENCY, c.currencyMode},
        };
        const CPriceFormat f = CPriceFormatList::MakeStandardFormat([&items](int item) {
            const auto it = items.find(item);
            return it != items.end() ? it->second : QString();
        });
        SCOPED_TRACE(c.currencyMode);
        EXPECT_EQ(f.m_name, "Standard Format");
        EXPECT_EQ(f.m_partText, (std::array<QString, 5>{"kr", "", ":", "", ""}));
        EXPECT_EQ(f.m_thousandsSeparator, "_");
        EXPECT_EQ(f.m_partRatio, (std::array<double, 5>{1.0, 1.0, 1.0, 1.0, 1.0}));
        EXPECT_EQ(f.m_partAlignment, (std::array<int, 5>{3, 3, 3, 3, 3}));
        EXPECT_EQ(f.m_symbolAfterAmount, c.after);
        EXPECT_EQ(f.m_secondaryAlwaysShow, FALSE);
        EXPECT_EQ(f.m_secondaryNeverShow, FALSE);
        EXPECT_EQ(f.m_showPrimaryAmount, TRUE);
        EXPECT_EQ(f.m_showZeroSecondary, TRUE);
    }
}

// --- adding, finding and deleting ------------------------------------------

TEST_F(PriceFormatTest, AddStoresACopyUnderItsExactName)
{
    CPriceFormat sale = SampleFormat("Sale");
    CPriceFormat* stored = list.AddFormat(sale);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, &sale);
    EXPECT_EQ(*stored, sale);
    EXPECT_EQ(list.FindFormat("Sale"), stored);
    EXPECT_EQ(list.FindFormat("sale"), nullptr);
    EXPECT_EQ(list.FindFormat("Sale "), nullptr);

    // The same name again replaces the settings, and the format stays where
    // price elements may point at it.
    sale.m_partText[0] = "$";
    EXPECT_EQ(list.AddFormat(sale), stored);
    EXPECT_EQ(stored->m_partText[0], "$");
    EXPECT_EQ(list.GetCount(), 2);

    EXPECT_EQ(list.AddFormat(SampleFormat("")), nullptr);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(PriceFormatTest, TheBuiltInFormatIsNeitherReplacedNorDeleted)
{
    CPriceFormat* standard = list.GetStandardFormat();
    const CPriceFormat before = *standard;
    EXPECT_EQ(list.AddFormat(SampleFormat("Standard Format")), nullptr);
    EXPECT_FALSE(list.DeleteFormat(standard));
    EXPECT_EQ(list.FindFormat("Standard Format"), standard);
    EXPECT_EQ(*standard, before);
}

TEST_F(PriceFormatTest, DeleteFreesOnlyWhatTheListHolds)
{
    CPriceFormat* stored = list.AddFormat(SampleFormat("Sale"));
    CPriceFormat lookalike = SampleFormat("Sale");
    EXPECT_FALSE(list.DeleteFormat(&lookalike));
    EXPECT_FALSE(list.DeleteFormat(nullptr));
    EXPECT_EQ(list.FindFormat("Sale"), stored);

    EXPECT_TRUE(list.DeleteFormat(stored));
    EXPECT_EQ(list.FindFormat("Sale"), nullptr);
    EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(PriceFormatTest, ControlsListTheNamesWithTheStandardOnlyWhenAsked)
{
    list.AddFormat(SampleFormat("Zed"));
    list.AddFormat(SampleFormat("Alpha"));
    FakeControl combo;
    list.FillComboBox(&combo, true);
    EXPECT_EQ(combo.items, (QStringList{"Alpha", "Standard Format", "Zed"}));
    FakeControl box;
    list.FillListBox(&box, false);
    EXPECT_EQ(box.items, (QStringList{"Alpha", "Zed"}));
}

// --- the dialogs' operations -----------------------------------------------

TEST_F(PriceFormatTest, SelectWithOnlyTheStandardFormatAsksNobody)
{
    int asked = 0;
    CPriceFormatList::s_dialogs.select = [&asked](QWidget*, const QString&, bool, QString&) {
        ++asked;
        return true;
    };
    EXPECT_EQ(list.SelectFormat(nullptr, QString(), true), list.GetStandardFormat());
    EXPECT_EQ(list.SelectFormat(nullptr, QString(), false), nullptr);
    EXPECT_EQ(asked, 0);
}

TEST_F(PriceFormatTest, SelectReturnsTheChosenFormatOrNothingOnCancel)
{
    CPriceFormat* sale = list.AddFormat(SampleFormat("Sale"));
    list.AddFormat(SampleFormat("Offer"));
    QString seenInitial;
    bool seenInclude = true;
    bool pressOk = true;
    QString answer = "Sale";
    CPriceFormatList::s_dialogs.select = [&](QWidget*, const QString& initial, bool include,
                                             QString& chosen) {
        seenInitial = initial;
        seenInclude = include;
        chosen = answer;
        return pressOk;
    };
    EXPECT_EQ(list.SelectFormat(nullptr, "Offer", false), sale);
    EXPECT_EQ(seenInitial, "Offer");
    EXPECT_FALSE(seenInclude);

    answer = "Standard Format"; // not offered without the standard format
    EXPECT_EQ(list.SelectFormat(nullptr, QString(), false), nullptr);
    EXPECT_EQ(list.SelectFormat(nullptr, QString(), true), list.GetStandardFormat());

    pressOk = false;
    answer = "Sale";
    EXPECT_EQ(list.SelectFormat(nullptr, QString(), true), nullptr);
}

TEST_F(PriceFormatTest, NewFormatStartsFromTheStandardAndAddsOnFinish)
{
    const CPriceFormat standard = *list.GetStandardFormat();
    CPriceFormat seen;
    bool finish = false;
    QString name = "Fresh";
    CPriceFormatList::s_dialogs.wizard = [&](QWidget*, CPriceFormat& working) {
        seen = working;
        working.m_name = name;
        working.SetPartText(P::PART_SECONDARY_SYMBOL, "c");
        return finish;
    };
    EXPECT_EQ(list.NewFormat(nullptr), nullptr); // cancelled
    EXPECT_EQ(seen, standard);
    EXPECT_EQ(list.GetCount(), 1);

    finish = true;
    CPriceFormat* made = list.NewFormat(nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(list.FindFormat("Fresh"), made);
    EXPECT_EQ(made->GetPartText(P::PART_PRIMARY_SYMBOL), standard.m_partText[0]);
    EXPECT_EQ(made->GetPartText(P::PART_SECONDARY_SYMBOL), "c");
    EXPECT_EQ(made->m_showPrimaryAmount, FALSE);

    // A wizard that leaves the standard name makes nothing and spoils nothing.
    name = "Standard Format";
    EXPECT_EQ(list.NewFormat(nullptr), nullptr);
    EXPECT_EQ(*list.GetStandardFormat(), standard);
}

TEST_F(PriceFormatTest, EditCopiesEverythingButTheNameBackOnOk)
{
    CPriceFormat* sale = list.AddFormat(SampleFormat("Sale"));
    bool ok = false;
    CPriceFormatList::s_dialogs.propertySheet = [&ok](QWidget*, CPriceFormat& working) {
        working.m_name = "Renamed";
        working.m_secondaryNeverShow = TRUE;
        working.SetPartRatio(P::PART_SECONDARY_AMOUNT, 0.6);
        return ok;
    };
    EXPECT_FALSE(list.EditFormat(nullptr, sale));
    EXPECT_EQ(*sale, SampleFormat("Sale"));

    ok = true;
    EXPECT_TRUE(list.EditFormat(nullptr, sale));
    EXPECT_EQ(sale->m_name, "Sale");
    EXPECT_EQ(sale->m_secondaryNeverShow, TRUE);
    EXPECT_EQ(sale->GetPartRatio(P::PART_DECIMAL_SEPARATOR), 0.6);
    EXPECT_EQ(list.FindFormat("Sale"), sale);
    EXPECT_EQ(list.FindFormat("Renamed"), nullptr);
}

// --- the library file ------------------------------------------------------

TEST_F(PriceFormatTest, LibraryRoundTripsThroughTheProgramFolder)
{
    EXPECT_FALSE(list.LoadLibrary()); // no file yet: nothing read, no message
    EXPECT_EQ(list.GetLibraryPath(), LibraryPath());
    list.AddFormat(SampleFormat("Sale"));
    CPriceFormat plain = SampleFormat("Plain");
    plain.m_partText = {"", "", "", "", ""};
    plain.m_thousandsSeparator.clear();
    list.AddFormat(plain);
    ASSERT_TRUE(list.SaveLibrary());

    const QByteArray bytes = ReadLibrary();
    ASSERT_GE(bytes.size(), 8);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), 514u);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 4), 2); // the standard is not saved

    {
        CAppContext fresh;
        CPriceFormatList& loaded = ThePriceFormatList();
        EXPECT_TRUE(loaded.LoadLibrary());
        EXPECT_EQ(loaded.GetCount(), 3);
        ASSERT_NE(loaded.FindFormat("Sale"), nullptr);
        ASSERT_NE(loaded.FindFormat("Plain"), nullptr);
        EXPECT_EQ(*loaded.FindFormat("Sale"), SampleFormat("Sale"));
        EXPECT_EQ(*loaded.FindFormat("Plain"), plain);
        EXPECT_EQ(loaded.FindFormat("Standard Format"), loaded.GetStandardFormat());
    }
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(PriceFormatTest, LibraryRecordLayout)
{
    CPriceFormat f;
    f.m_name = "A";
    f.m_partText[0] = QString::fromUtf8("\u20ac");
    f.m_partText[2] = ".";
    f.m_partRatio[0] = 0.5;
    f.m_partAlignment[0] = 0;
    f.m_thousandsSeparator = ",";
    f.m_secondaryAlwaysShow = TRUE;
    f.m_secondaryNeverShow = FALSE;
    f.m_symbolAfterAmount = TRUE;
    f.m_showPrimaryAmount = FALSE;
    f.m_showZeroSecondary = TRUE;
    list.LoadLibrary();
    list.AddFormat(f);
    ASSERT_TRUE(list.SaveLibrary());

    QByteArray expected;
    const auto i32 = [&expected](qint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        expected.append(b, 4);
    };
    const auto f64 = [&expected](double v) {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        char b[8];
        qToLittleEndian(bits, b);
        expected.append(b, 8);
    };
    const auto str = [&expected](const QByteArray& s) {
        expected.append(char(s.size()));
        expected.append(s);
    };
    i32(514);
    i32(1);
    str("A");
    const QByteArray texts[5] = {"\x80", "", ".", "", ""}; // the euro sign in Windows-1252
    for (int part = 0; part < 5; ++part) {
        str(texts[part]);
        f64(part == 0 ? 0.5 : 1.0);
        i32(part == 0 ? 0 : 3);
    }
    str(",");
    for (int flag : {1, 0, 1, 0, 1})
        i32(flag);
    EXPECT_EQ(ReadLibrary().toHex(' '), expected.toHex(' '));
}

TEST_F(PriceFormatTest, FlagsMissingFromOlderFilesTakeTheirDefaults)
{
    // Every flag that a version carries is written as the opposite of its
    // default; the ones it lacks must come back as the defaults.
    const int written[5] = {1, 1, 1, 0, 0};
    const int defaults[5] = {0, 0, 0, 1, 1};
    const DWORD gates[5] = {104, 230, 250, 264, 400};
    for (DWORD version : {0u, 103u, 104u, 229u, 230u, 249u, 250u, 263u, 264u, 399u, 400u, 514u}) {
        SCOPED_TRACE(version);
        RawRecord r{"Old", "$", 0.75, 1, {}};
        int expected[5];
        for (int i = 0; i < 5; ++i) {
            const bool present = version >= gates[i];
            if (present)
                r.flags.push_back(written[i]);
            expected[i] = present ? written[i] : defaults[i];
        }
        const auto check = [&expected](const CPriceFormat* f) {
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->GetPartText(0), "$");
            EXPECT_EQ(f->GetPartRatio(4), 0.75);
            EXPECT_EQ(f->GetPartAlignment(4), 1);
            EXPECT_EQ(f->m_thousandsSeparator, ",");
            EXPECT_EQ(f->m_secondaryAlwaysShow, expected[0]);
            EXPECT_EQ(f->m_secondaryNeverShow, expected[1]);
            EXPECT_EQ(f->m_symbolAfterAmount, expected[2]);
            EXPECT_EQ(f->m_showPrimaryAmount, expected[3]);
            EXPECT_EQ(f->m_showZeroSecondary, expected[4]);
        };

        // A library of that version.
        WriteLibrary(LibraryBytes(version, 1, {r}));
        {
            CAppContext fresh;
            EXPECT_TRUE(ThePriceFormatList().LoadLibrary());
            check(ThePriceFormatList().FindFormat("Old"));
        }
        // A sign of that version: the sign's version gates, not the library's.
        {
            CAppContext fresh;
            App().fileVersion = int(version);
            ReadSignBlock(ThePriceFormatList(), SignBlock(1, {r}));
            check(ThePriceFormatList().FindFormat("Old"));
        }
    }
}

TEST_F(PriceFormatTest, LibraryRecordNamedLikeTheStandardFormatIsSkipped)
{
    CPriceFormat* standard = list.GetStandardFormat();
    const CPriceFormat before = *standard;
    WriteLibrary(LibraryBytes(514, 3,
                              {{"Before", "b", 1.0, 3, {0, 0, 0, 1, 1}},
                               {"Standard Format", "X", 0.2, 0, {1, 1, 1, 0, 0}},
                               {"After", "a", 1.0, 3, {0, 0, 0, 1, 1}}}));
    EXPECT_TRUE(list.LoadLibrary());
    EXPECT_EQ(list.GetStandardFormat(), standard);
    EXPECT_EQ(list.FindFormat("Standard Format"), standard);
    EXPECT_EQ(*standard, before);
    EXPECT_NE(list.FindFormat("Before"), nullptr);
    EXPECT_NE(list.FindFormat("After"), nullptr);

    // Saving does not carry the clash on.
    ASSERT_TRUE(list.SaveLibrary());
    EXPECT_EQ(qFromLittleEndian<qint32>(ReadLibrary().constData() + 4), 2);
}

TEST_F(PriceFormatTest, LibraryReadingStopsAtAnEmptyNameOrDamage)
{
    const RawRecord one{"One", "1", 1.0, 3, {0, 0, 0, 1, 1}};
    const RawRecord two{"Two", "2", 1.0, 3, {0, 0, 0, 1, 1}};
    const RawRecord unnamed{"", "?", 1.0, 3, {0, 0, 0, 1, 1}};
    const QByteArray whole = LibraryBytes(514, 2, {one, two});

    struct Case
    {
        const char* what;
        QByteArray bytes;
        QStringList names; // what the list holds afterwards, standard excepted
        bool complete;
    };
    const Case cases[] = {
        {"whole file", whole, {"One", "Two"}, true},
        {"empty name", LibraryBytes(514, 3, {one, unnamed, two}), {"One"}, false},
        {"cut inside the second record", whole.left(whole.size() - 5), {"One"}, false},
        {"count beyond the data", LibraryBytes(514, 0x7FFFFFFF, {one}), {}, false},
        {"negative count", LibraryBytes(514, -1, {one}), {}, false},
        {"cut inside the header", whole.left(6), {}, false},
        {"empty file", QByteArray(), {}, false},
        // A record count of 0 before records, and data after the last
        // record: the file holds more than was read.
        {"count reads 0 before records", LibraryBytes(514, 0, {one, two}), {}, false},
        {"data after the last record", whole + QByteArray("\x01\x02", 2), {"One", "Two"}, false},
        {"a record after the count's last", LibraryBytes(514, 1, {one, two}), {"One"}, false},
        {"same name twice: the later wins",
         LibraryBytes(514, 2, {one, {"One", "later", 1.0, 3, {0, 0, 0, 1, 1}}}),
         {"One"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteLibrary(c.bytes);
        messages.Clear();
        CAppContext fresh;
        CPriceFormatList& loaded = ThePriceFormatList();
        EXPECT_EQ(loaded.LoadLibrary(), c.complete);
        EXPECT_EQ(loaded.GetFormatNames(false), c.names);
        EXPECT_NE(loaded.GetStandardFormat(), nullptr);
        // A library not read whole is named once and kept as it is, even
        // when the session changes the formats and saves at exit.
        EXPECT_EQ(messages.Count(), c.complete ? 0 : 1);
        EXPECT_EQ(loaded.IsLibraryKept(), !c.complete);
        if (!c.complete) {
            EXPECT_TRUE(messages.LastText().contains(LibraryPath()));
            loaded.AddFormat(SampleFormat("Session"));
            EXPECT_FALSE(loaded.SaveLibrary());
            EXPECT_EQ(ReadLibrary(), c.bytes);
            EXPECT_EQ(messages.Count(), 1);
        }
    }
    EXPECT_EQ(ThePriceFormatList().GetCount(), 1);
    messages.Clear();

    WriteLibrary(LibraryBytes(514, 2, {one, {"One", "later", 1.0, 3, {0, 0, 0, 1, 1}}}));
    list.LoadLibrary();
    EXPECT_EQ(list.FindFormat("One")->GetPartText(0), "later");
}

TEST_F(PriceFormatTest, SavingWithOnlyTheStandardFormatRemovesTheFile)
{
    WriteLibrary(LibraryBytes(514, 1, {{"Old", "o", 1.0, 3, {0, 0, 0, 1, 1}}}));
    ASSERT_TRUE(list.LoadLibrary());
    ASSERT_TRUE(list.DeleteFormat(list.FindFormat("Old")));
    EXPECT_TRUE(list.SaveLibrary());
    EXPECT_FALSE(QFile::exists(LibraryPath()));
    EXPECT_TRUE(list.SaveLibrary()); // nothing to remove is no failure
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(PriceFormatTest, SavingBeforeLoadingLeavesTheUsersFileAlone)
{
    const QByteArray bytes = LibraryBytes(514, 1, {{"Mine", "m", 1.0, 3, {0, 0, 0, 1, 1}}});
    WriteLibrary(bytes);
    list.AddFormat(SampleFormat("Session"));
    EXPECT_FALSE(list.SaveLibrary());
    EXPECT_EQ(ReadLibrary(), bytes);
}

TEST_F(PriceFormatTest, ALibraryThatCannotBeOpenedIsNamedOnceAndLeftAlone)
{
    ASSERT_TRUE(QDir(home.path()).mkdir("Tabrel.pff")); // a folder where the file belongs
    EXPECT_FALSE(list.LoadLibrary());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(LibraryPath()));
    list.AddFormat(SampleFormat("Sale"));
    EXPECT_FALSE(list.SaveLibrary());
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(QFileInfo(LibraryPath()).isDir());
    EXPECT_NE(list.FindFormat("Sale"), nullptr);
}

// On a full disk the save fails with a message and the old library is left
// whole, and so it is when the formats were all deleted.
TEST_F(PriceFormatTest, AFullDiskLeavesTheOldLibraryWhole)
{
    CSmallDisk disk(256);
    if (!disk.Available())
        GTEST_SKIP() << disk.Why().toStdString();
    qputenv("TABREL_HOME", QFile::encodeName(disk.Path()));
    const QString path = disk.FilePath("Tabrel.pff");
    list.LoadLibrary();
    ASSERT_EQ(list.GetLibraryPath(), path);
    list.AddFormat(SampleFormat("Sale"));
    ASSERT_TRUE(list.SaveLibrary());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();

    // a library larger than the room left
    for (int i = 0; i < 400; ++i) {
        CPriceFormat big = SampleFormat(QString("Format %1").arg(i));
        big.m_partText[P::PART_SECONDARY_SYMBOL] = QString(200, QChar('x'));
        list.AddFormat(big);
    }
    disk.Fill();
    EXPECT_FALSE(list.SaveLibrary());
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(path));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
    saved.close();
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              QStringList({"Tabrel.pff"}))
        << "no temporary file left behind";
}

// --- inside a sign ---------------------------------------------------------

TEST_F(PriceFormatTest, SignStoresOnlyTheFormatsItsPricesUse)
{
    CCountingProgress progress;
    context.progress = &progress;
    list.AddFormat(SampleFormat("Used"));
    list.AddFormat(SampleFormat("Unused"));

    // Without price elements nothing is used.
    EXPECT_EQ(WriteSignBlock(list), QByteArray(4, '\0'));
    // The standard format is never stored, even when prices use it.
    CPriceFormatList::s_isFormatUsed = [](const QString& name) {
        return name == "Used" || name == "Standard Format";
    };
    const QByteArray block = WriteSignBlock(list);
    EXPECT_EQ(qFromLittleEndian<qint32>(block.constData()), 1);
    EXPECT_EQ(progress.steps, 2);

    CAppContext fresh;
    CCountingProgress freshProgress;
    fresh.progress = &freshProgress;
    CPriceFormatList& opened = ThePriceFormatList();
    ReadSignBlock(opened, block);
    EXPECT_EQ(freshProgress.steps, 1);
    EXPECT_EQ(opened.GetFormatNames(false), QStringList{"Used"});
    EXPECT_EQ(*opened.FindFormat("Used"), SampleFormat("Used"));
}

TEST_F(PriceFormatTest, OpeningASignKeepsTheLibrarysSettings)
{
    CPriceFormat* shared = list.AddFormat(SampleFormat("Shared"));
    CPriceFormat* standard = list.GetStandardFormat();
    const CPriceFormat standardBefore = *standard;
    ReadSignBlock(list, SignBlock(3, {{"Shared", "S", 0.3, 0, {0, 0, 0, 1, 1}},
                                      {"Standard Format", "X", 0.3, 0, {1, 1, 1, 0, 0}},
                                      {"Brought", "B", 1.0, 3, {0, 0, 0, 1, 1}}}));
    EXPECT_EQ(list.FindFormat("Shared"), shared);
    EXPECT_EQ(*shared, SampleFormat("Shared"));
    EXPECT_EQ(*standard, standardBefore);
    ASSERT_NE(list.FindFormat("Brought"), nullptr);
    EXPECT_EQ(list.FindFormat("Brought")->GetPartText(0), "B");
    EXPECT_EQ(list.GetCount(), 3);
}

TEST_F(PriceFormatTest, DamagedSignDataRaisesTheArchiveError)
{
    const RawRecord r{"Sale", "$", 1.0, 3, {0, 0, 0, 1, 1}};
    const QByteArray whole = SignBlock(2, {r, {"Other", "o", 1.0, 3, {0, 0, 0, 1, 1}}});
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        CAppContext fresh;
        EXPECT_THROW(ReadSignBlock(ThePriceFormatList(), whole.left(cut)), CArchiveException)
            << cut;
    }
    for (int count : {-1, std::numeric_limits<int>::min(), 3, 0x7FFFFFFF}) {
        CAppContext fresh;
        EXPECT_THROW(ReadSignBlock(ThePriceFormatList(), SignBlock(count, {r})), CArchiveException)
            << count;
        EXPECT_EQ(ThePriceFormatList().GetCount(), 1) << count;
    }
    // A long name whose length runs past the end of the data.
    QByteArray longName = SignBlock(1, {});
    longName.append("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7);
    longName.append(QByteArray(80, 'x'));
    EXPECT_THROW(ReadSignBlock(list, longName), CArchiveException);
}

TEST_F(PriceFormatTest, UnusableRatiosAndAlignmentsAreBroughtBackIntoRange)
{
    struct Case
    {
        double ratio;
        int alignment;
        double readRatio;
        int readAlignment;
    };
    const Case cases[] = {
        {0.35, 2, 0.35, 2},
        {std::numeric_limits<double>::quiet_NaN(), 3, 1.0, 3},
        {std::numeric_limits<double>::infinity(), 0, 1.0, 0},
        {-0.5, -1, 1.0, 3},
        {0.0, 4, 1.0, 3},
        {1e300, 99, 10.0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ratio);
        CAppContext fresh;
        ReadSignBlock(ThePriceFormatList(),
                      SignBlock(1, {{"Odd", "$", c.ratio, c.alignment, {0, 0, 0, 1, 1}}}));
        const CPriceFormat* f = ThePriceFormatList().FindFormat("Odd");
        ASSERT_NE(f, nullptr);
        for (int part = 0; part < P::PART_COUNT; ++part) {
            EXPECT_EQ(f->GetPartRatio(part), c.readRatio);
            EXPECT_EQ(f->GetPartAlignment(part), c.readAlignment);
        }
    }
}

// --- text export -----------------------------------------------------------

TEST_F(PriceFormatTest, TextExportBlock)
{
    QByteArray out;
    {
        CTextExportFile file(&out);
        list.WriteXml(file, SampleFormat("Sale"));
    }
    const QByteArray expected =
        "    <format>\r\n\r\n"
        "        <primary-symbol symbol=\"\xA3\" ratio=\"50\" alignment=\"0\" suffix=\"1\" "
        "always-show=\"0\"/>\r\n"
        "        <digit-separator=\"'\">\r\n"
        "        <decimal-separator=\",\">\r\n"
        "        <secondary-amount ratio=\"29\" alignment=\"1\" never-show=\"0\" "
        "always-show=\"1\"/>\r\n"
        "        <secondary-symbol symbol=\"p\" ratio=\"40\" alignment=\"2\"/>\r\n"
        "\r\n    </format>\r\n\r\n";
    EXPECT_EQ(out, expected);
}

TEST_F(PriceFormatTest, TextExportWritesTheTextsAsTheyAre)
{
    CPriceFormat awkward = SampleFormat("Awkward");
    awkward.m_partText[P::PART_PRIMARY_SYMBOL] = "\"<%1>\"";
    awkward.m_thousandsSeparator = "&";
    QByteArray out;
    {
        CTextExportFile file(&out);
        list.WriteXml(file, awkward);
    }
    // Not escaped, and a "%1" in a text is not taken for a place holder.
    EXPECT_TRUE(out.contains("symbol=\"\"<%1>\"\" ratio=\"50\"")) << out.constData();
    EXPECT_TRUE(out.contains("<digit-separator=\"&\">")) << out.constData();
    EXPECT_FALSE(out.contains("&amp;")) << out.constData();
}
