// The GS1 data variable: element strings, the line people read and the
// generated script from its entries, script names, values from elements,
// its record, and GS1 symbols that take their data from it.

#include "BarcodeTestSupport.h"

#include "Archive.h"
#include "Code128.h"
#include "ElementList.h"
#include "ScriptStore.h"
#include "UccEanData.h"
#include "VariableList.h"

using namespace barcode_test;

namespace {

CUccSubString Fixed(int ai, const QString& value, bool check = false, int decimals = 0)
{
    CUccSubString e;
    e.m_ai = ai;
    e.m_value = e.m_currentValue = value;
    e.m_appendCheckDigit = check ? TRUE : FALSE;
    e.m_decimals = decimals;
    return e;
}

CUccSubString FromElement(int ai, const QString& element, const QString& sample,
                          const QString& prefix = QString(), const QString& suffix = QString())
{
    CUccSubString e;
    e.m_ai = ai;
    e.m_sourceKind = CUccSubString::kElement;
    e.m_sourceName = element;
    e.m_value = e.m_currentValue = sample;
    e.m_prefix = prefix;
    e.m_suffix = suffix;
    return e;
}

// The variable's script run as at print time.
QString RunScript(CUccEanData& data)
{
    data.ResetValue();
    return data.GetValue();
}

class GS1DataFixture : public BarcodeFixture
{
protected:
    CUccEanData* NewData(const QString& name)
    {
        return dynamic_cast<CUccEanData*>(TheVariableList().CreateVariable(VARIABLE_GS1, name));
    }
};

} // namespace

TEST_F(GS1DataFixture, EntriesMakeTheElementStringTheLineAndTheScript)
{
    struct Case
    {
        const char* what;
        std::vector<CUccSubString> entries;
        const char* data;
        const char* readable;
    };
    const std::vector<Case> cases = {
        {"no entries", {}, "", ""},
        {"separator after a variable field only",
         {Fixed(1, "09501101530003"), Fixed(10, "ABC123"), Fixed(21, "77")},
         "0109501101530003" "10ABC123%12177", "(01)09501101530003(10)ABC123(21)77"},
        {"a fixed field that still wants its separator",
         {Fixed(402, "1234567890123456", true), Fixed(10, "X")},
         "40212345678901234560%110X", "(402)12345678901234560(10)X"},
        {"decimal-point digit", {Fixed(310, "001250", false, 3)}, "3103001250",
         "(3103)001250"},
        {"check digits", {Fixed(1, "0950110153000", true)}, "0109501101530003",
         "(01)09501101530003"},
        {"the document key keeps its digit before the serial",
         {Fixed(253, "123456789012SER", true)}, "2531234567890128SER",
         "(253)1234567890128SER"},
        {"percent signs stay percent signs", {Fixed(10, "5%")}, "105%%", "(10)5%"},
        {"quotes cannot end the script's text", {Fixed(10, "a\" + CHR$(65) + \"b\\")},
         "10a\" + CHR$(65) + \"b\\", "(10)a\" + CHR$(65) + \"b\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CUccEanData* data = NewData(QString::fromLatin1(c.what));
        ASSERT_NE(data, nullptr);
        for (const CUccSubString& e : c.entries)
            data->m_entries.Add(e);
        EXPECT_EQ(data->GetBarcodeData(), QString::fromLatin1(c.data));
        EXPECT_EQ(data->GetHumanReadable(), QString::fromLatin1(c.readable));
        if (c.entries.empty()) {
            // "return " alone is no script: nothing is stored.
            EXPECT_FALSE(data->Build());
            EXPECT_TRUE(data->m_scriptName.isEmpty());
            continue;
        }
        ASSERT_TRUE(data->Build()) << data->BuildScript().toStdString();
        // The script gives the same element string at print time.
        EXPECT_EQ(RunScript(*data), QString::fromLatin1(c.data)) << data->BuildScript().toStdString();
    }
    CUccEanData empty;
    EXPECT_EQ(empty.BuildScript(), QStringLiteral("return "));
}

TEST_F(GS1DataFixture, ValuesComeFromElementsAndGoBackAfterTheRun)
{
    // The elements the entries name, typed at data entry.
    for (const char* name : {"Batch", "Serial"}) {
        auto* element = new CCode128Auto;
        element->m_name = QString::fromLatin1(name);
        element->m_dataSource = SOURCE_KEYBOARD;
        TheElementList().AddTail(element);
    }
    CUccEanData* data = NewData(QStringLiteral("Label"));
    data->m_entries.Add(Fixed(1, "09501101530003"));
    data->m_entries.Add(FromElement(10, QStringLiteral("Batch"), QStringLiteral("B0"),
                                    QStringLiteral("L-")));
    data->m_entries.Add(FromElement(21, QStringLiteral("Serial"), QStringLiteral("0")));
    ASSERT_TRUE(data->Build());
    EXPECT_EQ(data->BuildScript(),
              QStringLiteral("return \"01\" + \"09501101530003\" + \"10\" + \"L-\" + Batch$ + "
                             "\"%1\" + \"21\" + Serial$"));
    data->SetSourceValue(QStringLiteral("B7"), SOURCE_ELEMENT, QStringLiteral("Batch"), FALSE);
    data->SetSourceValue(QStringLiteral("42"), SOURCE_ELEMENT, QStringLiteral("Serial"), FALSE);
    EXPECT_EQ(data->GetValue(), QStringLiteral("0109501101530003" "10L-B7%12142"));
    EXPECT_EQ(data->GetHumanReadable(), QStringLiteral("(01)09501101530003(10)L-B7(21)42"));
    data->EndPrintRun();
    EXPECT_EQ(data->GetHumanReadable(), QStringLiteral("(01)09501101530003(10)L-B0(21)0"));
}

TEST_F(GS1DataFixture, ScriptNamesAreTakenAndGivenBack)
{
    CUccEanData* first = NewData(QStringLiteral("A"));
    CUccEanData* second = NewData(QStringLiteral("B"));
    first->m_entries.Add(Fixed(10, "1"));
    second->m_entries.Add(Fixed(10, "2"));
    ASSERT_TRUE(first->Build());
    ASSERT_TRUE(second->Build());
    EXPECT_EQ(first->m_scriptName, QStringLiteral("GS1_1"));
    EXPECT_EQ(second->m_scriptName, QStringLiteral("GS1_2"));
    // A working copy going away leaves the script where it is.
    {
        CUccEanData copy(*first);
    }
    EXPECT_TRUE(TheScriptStore().Contains(QStringLiteral("GS1_1")));
    TheVariableList().RemoveVariable(first);
    EXPECT_FALSE(TheScriptStore().Contains(QStringLiteral("GS1_1")));
    CUccEanData* third = NewData(QStringLiteral("C"));
    third->m_entries.Add(Fixed(10, "3"));
    ASSERT_TRUE(third->Build());
    EXPECT_EQ(third->m_scriptName, QStringLiteral("GS1_1"));
}

TEST_F(GS1DataFixture, TheRecordKeepsEveryEntryAndRefusesAnImpossibleCount)
{
    CUccEanData* data = NewData(QStringLiteral("Kept"));
    data->m_entries.Add(Fixed(310, "001250", false, 2));
    data->m_entries.Add(FromElement(10, QStringLiteral("Batch"), QStringLiteral("B1"),
                                    QStringLiteral("<"), QStringLiteral(">")));
    data->m_entries[1].m_prompt = QStringLiteral("Batch?");
    data->m_entries[1].m_appendCheckDigit = TRUE;
    ASSERT_TRUE(data->Build());
    QByteArray bytes;
    {
        CArchive out(&bytes, CArchive::store);
        data->Serialize(out);
    }
    CUccEanData read;
    {
        CArchive in(&bytes, CArchive::load);
        read.Serialize(in);
    }
    ASSERT_EQ(read.m_entries.GetSize(), 2);
    EXPECT_EQ(read.m_entries[0].m_ai, 310);
    EXPECT_EQ(read.m_entries[0].m_decimals, 2);
    EXPECT_EQ(read.m_entries[1].m_sourceKind, CUccSubString::kElement);
    EXPECT_EQ(read.m_entries[1].m_sourceName, QStringLiteral("Batch"));
    EXPECT_EQ(read.m_entries[1].m_prompt, QStringLiteral("Batch?"));
    EXPECT_EQ(read.m_entries[1].m_prefix, QStringLiteral("<"));
    EXPECT_EQ(read.m_entries[1].m_suffix, QStringLiteral(">"));
    EXPECT_EQ(read.m_entries[1].m_currentValue, QStringLiteral("B1"));
    EXPECT_TRUE(read.m_entries[1].m_appendCheckDigit);
    EXPECT_EQ(read.GetBarcodeData(), data->GetBarcodeData());
    read.m_ownsScript = false; // the list's variable keeps the script

    // A count no file of this size can hold.
    QByteArray head;
    {
        CArchive out(&head, CArchive::store);
        CUccEanData plain;
        plain.CMacroScript::Serialize(out);
        out << DWORD(0x7fffffff);
    }
    CArchive in(&head, CArchive::load);
    CUccEanData bad;
    EXPECT_THROW(bad.Serialize(in), CArchiveException);
}

TEST_F(GS1DataFixture, GS1SymbolsTakeTheirDataFromIt)
{
    CUccEanData* data = NewData(QStringLiteral("Pallet"));
    data->m_entries.Add(Fixed(1, "0950110153000", true));
    data->m_entries.Add(Fixed(10, "LOT-9"));
    ASSERT_TRUE(data->Build());
    CUccEan128 gs1;
    gs1.SetDataSource(SOURCE_GS1, QStringLiteral("Pallet"));
    EXPECT_EQ(gs1.m_data, QStringLiteral("%10109501101530003" "10LOT-9"));
    EXPECT_EQ(gs1.m_humanReadable, QStringLiteral("(01)09501101530003(10)LOT-9"));
    const Decoded decoded = Decode(WithQuietZone(gs1.m_bitmap, 200), ZXing::BarcodeFormat::Code128);
    EXPECT_TRUE(decoded.valid);
    EXPECT_EQ(decoded.text, "010950110153000310LOT-9");
    // Unknown data leaves the element as it was.
    CUccEan128 other;
    const QString before = other.m_data;
    other.SetDataSource(SOURCE_GS1, QStringLiteral("Nowhere"));
    EXPECT_EQ(other.m_data, before);
}
