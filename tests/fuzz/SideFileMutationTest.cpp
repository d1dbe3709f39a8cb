// The price format library (".pff") and the barcode style file (".cbs")
// under damage: each damaged copy is loaded as at start-up, the session
// changes the collection, and it is saved as at exit. Nothing crashes or
// hangs; a file that could not be read whole is named at most once and is
// still on disk byte for byte after the save; a file that did read whole is
// written back so that it reads whole again.
//
// TABREL_MUTATION_INPUTS sets the number of damaged copies of each file
// (3000 when unset).

#include "Damage.h"

#include "AppContext.h"
#include "BarcodeStyle.h"
#include "MessageBox.h"
#include "PriceFormatList.h"
#include "Symbology.h"
#include "TestSupport.h"
#include "TextExport.h"

#include <QFile>
#include <gtest/gtest.h>

#include <random>

namespace {

int Inputs()
{
    bool ok = false;
    const int inputs = qEnvironmentVariableIntValue("TABREL_MUTATION_INPUTS", &ok);
    return ok && inputs > 0 ? inputs : 3000;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

CPriceFormat Format(const QString& name, int variant)
{
    CPriceFormat f;
    f.m_name = name;
    f.m_partText[CPriceFormat::PART_PRIMARY_SYMBOL] = variant % 2 ? "$" : QString::fromUtf8("€");
    f.m_partText[CPriceFormat::PART_DECIMAL_SEPARATOR] = ".";
    f.m_partText[CPriceFormat::PART_SECONDARY_SYMBOL] = "c";
    f.m_partRatio = {0.5, 1.0, 0.5, 0.4 + 0.1 * variant, 0.3};
    f.m_thousandsSeparator = ",";
    f.m_symbolAfterAmount = variant % 2;
    f.m_secondaryAlwaysShow = TRUE;
    return f;
}

CBarcodeStyle Style(const QString& name, int family, float x, int ratio, float gain)
{
    CBarcodeStyle s;
    s.name = name;
    s.description = name + " style";
    s.family = family;
    s.xDimension = x;
    s.ratio = ratio;
    s.printGain = gain;
    s.userDefined = TRUE;
    return s;
}

QStringList UserStyles(const CBarcodeStyleList& list)
{
    QStringList names;
    for (int i = 0; i < list.GetCount(); ++i) {
        if (list.GetAt(i)->userDefined)
            names << list.GetAt(i)->name;
    }
    return names;
}

class SideFileMutationTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApp(); }

    CTestHome home;
};

} // namespace

TEST_F(SideFileMutationTest, DamagedPriceFormatLibrariesAreKeptOrWrittenWhole)
{
    const QString path = home.FilePath("Tabrel.pff");
    QByteArray seed;
    {
        CAppContext context;
        CMessageResponder messages;
        CPriceFormatList& list = ThePriceFormatList();
        list.LoadLibrary();
        for (int i = 0; i < 4; ++i)
            list.AddFormat(Format(QString("Format %1").arg(i), i));
        ASSERT_TRUE(list.SaveLibrary());
        seed = ReadAll(path);
    }
    ASSERT_GT(seed.size(), 100);

    std::mt19937 rng(1184);
    int kept = 0;
    for (int i = 0, n = Inputs(); i < n; ++i) {
        const QByteArray damaged = DamagedCopy(seed, rng);
        WriteAll(path, damaged);
        CAppContext context;
        CMessageResponder messages;
        CPriceFormatList& list = ThePriceFormatList();
        const bool whole = list.LoadLibrary();
        // what the session does with the formats: export them, add one
        CTextExportFile file;
        ASSERT_TRUE(file.Open(home.FilePath("formats.txt")));
        for (const QString& name : list.GetFormatNames(true))
            list.WriteXml(file, *list.FindFormat(name));
        file.Close();
        list.AddFormat(Format("Session", 1));
        const bool saved = list.SaveLibrary(); // as at exit
        EXPECT_LE(messages.Count(), 1) << "input " << i;

        if (list.IsLibraryKept()) {
            ++kept;
            EXPECT_FALSE(whole);
            EXPECT_FALSE(saved);
            EXPECT_EQ(messages.Count(), 1) << "input " << i;
            EXPECT_EQ(ReadAll(path), damaged) << "input " << i;
        } else {
            EXPECT_TRUE(whole) << "input " << i;
            EXPECT_TRUE(saved) << "input " << i;
            CAppContext again;
            CMessageResponder quiet;
            EXPECT_TRUE(ThePriceFormatList().LoadLibrary()) << "input " << i;
            EXPECT_EQ(ThePriceFormatList().GetFormatNames(true), list.GetFormatNames(true));
        }
    }
    EXPECT_GT(kept, 0);
}

// A library that holds more than its records (a count damaged to 0 or
// lowered, bytes after the last record) is named once and is still on disk
// byte for byte after the session has changed the formats and saved.
TEST_F(SideFileMutationTest, PriceFormatLibrariesWithDataAfterTheirRecordsAreKept)
{
    const QString path = home.FilePath("Tabrel.pff");
    QByteArray seed;
    {
        CAppContext context;
        CMessageResponder messages;
        CPriceFormatList& list = ThePriceFormatList();
        list.LoadLibrary();
        for (int i = 0; i < 4; ++i)
            list.AddFormat(Format(QString("Format %1").arg(i), i));
        ASSERT_TRUE(list.SaveLibrary());
        seed = ReadAll(path);
    }
    std::mt19937 rng(4101);
    const int n = std::max(1, Inputs() / 10);
    for (int i = 0; i < n; ++i) {
        QByteArray damaged = seed;
        switch (i % 3) {
        case 0: // the count reads 0
            damaged.replace(4, 4, QByteArray(4, '\0'));
            break;
        case 1: // the count reads fewer records than there are
            damaged[4] = char(std::uniform_int_distribution<int>(0, 3)(rng));
            break;
        default: { // bytes after the last record
            const QByteArray tail =
                DamagedCopy(seed, rng).right(std::uniform_int_distribution<int>(1, 64)(rng));
            damaged += tail.isEmpty() ? QByteArray(1, '\0') : tail;
            break;
        }
        }
        WriteAll(path, damaged);
        CAppContext context;
        CMessageResponder messages;
        CPriceFormatList& list = ThePriceFormatList();
        EXPECT_FALSE(list.LoadLibrary()) << "input " << i;
        EXPECT_TRUE(list.IsLibraryKept()) << "input " << i;
        list.AddFormat(Format("Session", 1));
        if (CPriceFormat* first = list.FindFormat("Format 0"))
            list.DeleteFormat(first);
        EXPECT_FALSE(list.SaveLibrary()) << "input " << i; // as at exit
        EXPECT_EQ(messages.Count(), 1) << "input " << i;
        EXPECT_EQ(ReadAll(path), damaged) << "input " << i;
    }
}

TEST_F(SideFileMutationTest, DamagedBarcodeStyleFilesAreKeptOrWrittenWhole)
{
    const QString path = CBarcodeStyleList::FilePath();
    QByteArray seed;
    {
        CAppContext context;
        CMessageResponder messages;
        CBarcodeStyleList& list = TheBarcodeStyleList();
        list.Add(Style("Wide", FAMILY_RATIO, 0.02f, 300, 0.001f));
        list.Add(Style("EAN small", FAMILY_EAN_UPC, 0.01f, 0, 0.0f));
        list.Add(Style("Code 128 fine", FAMILY_CODE128, 0.0075f, 0, 0.0005f));
        ASSERT_TRUE(list.Save());
        seed = ReadAll(path);
    }
    ASSERT_GT(seed.size(), 60);

    std::mt19937 rng(1484);
    int kept = 0;
    for (int i = 0, n = Inputs(); i < n; ++i) {
        const QByteArray damaged = DamagedCopy(seed, rng);
        WriteAll(path, damaged);
        CAppContext context;
        CMessageResponder messages;
        CBarcodeStyleList& list = TheBarcodeStyleList();
        list.Load();
        // every style read is one the style dialog would take
        for (int s = 0; s < list.GetCount(); ++s) {
            EXPECT_TRUE(list.GetAt(s)->Validate().isEmpty())
                << "input " << i << ": " << list.GetAt(s)->Validate().toStdString();
        }
        list.Add(Style("Session", FAMILY_CODE128, 0.01f, 0, 0.0f));
        const BOOL saved = list.Save(); // as at exit
        EXPECT_LE(messages.Count(), 1) << "input " << i;

        if (!list.KeptFile().isEmpty()) {
            ++kept;
            EXPECT_FALSE(saved);
            EXPECT_EQ(messages.Count(), 1) << "input " << i;
            EXPECT_EQ(ReadAll(path), damaged) << "input " << i;
        } else {
            EXPECT_TRUE(saved) << "input " << i;
            CAppContext again;
            CMessageResponder quiet;
            TheBarcodeStyleList().Load();
            EXPECT_TRUE(TheBarcodeStyleList().KeptFile().isEmpty()) << "input " << i;
            EXPECT_EQ(UserStyles(TheBarcodeStyleList()), UserStyles(list)) << "input " << i;
        }
    }
    EXPECT_GT(kept, 0);
}
