// The date/time stamp: its formats and the program's week number on a fixed
// clock, the offsets, and its record in the sign.
#include "DateTime.h"

#include "AppContext.h"
#include "EverydayVariablesSupport.h"
#include "MessageBox.h"
#include "Seams.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <gtest/gtest.h>

namespace {

class DateTimeTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterVariableSignParts(); }
    void TearDown() override { CDateTime::s_clock = nullptr; }

    void SetClock(std::time_t when)
    {
        CDateTime::s_clock = [when] { return when; };
    }

    CUtcAndCLocale utc;
    CAppContext context;
    CMessageResponder messages;
};

// A data link that answers one field.
class CFieldLink : public CDataLinkSeam
{
public:
    int kind = 0;
    int records = 0;
    QHash<QString, QString> values;
    int GetLinkKind() const override { return kind; }
    QString GetFieldValue(const QString& field) override { return values.value(field); }
    int GetStoreRecordCount() override { return records; }
    bool TableHasColumn(const QString& name) override { return values.contains(name); }
};

} // namespace

TEST_F(DateTimeTest, FormatsAndWeekNumbersOnAFixedClock)
{
    struct Case
    {
        int year, month, day, hour, minute;
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        // the standard formats
        {2026, 1, 15, 9, 5, "%d.%m.%y", "15.01.26"},
        {2026, 1, 15, 9, 5, "%d %B %Y", "15 January 2026"},
        {2026, 1, 15, 9, 5, "%A %d %B %Y", "Thursday 15 January 2026"},
        {2026, 1, 15, 9, 5, "%d-%m-%y", "15-01-26"},
        {2026, 1, 15, 9, 5, "%d/%m/%y", "15/01/26"},
        {2026, 1, 15, 9, 5, "%d %b %y", "15 Jan 26"},
        {2026, 1, 15, 9, 5, "%b %y", "Jan 26"},
        {2026, 1, 15, 21, 5, "%H:%M", "21:05"},
        {2026, 1, 15, 21, 5, "%I:%M %p", "09:05 PM"},
        {2026, 1, 15, 0, 30, "%d.%m.%y %I:%M %p", "15.01.26 12:30 AM"},
        {2026, 1, 15, 9, 5, "%A %d %B %Y %H:%M", "Thursday 15 January 2026 09:05"},
        // 1 January 2026 is a Thursday: 15 January is in week 3
        {2026, 1, 15, 12, 0, "week %U", "week 03"},
        {2026, 1, 15, 12, 0, "%W/%U", "03/03"},
        // a Monday 1 January is in week 1
        {2024, 1, 1, 12, 0, "%U", "01"},
        // a Friday 1 January: the first days belong to the old year's last week
        {2021, 1, 1, 12, 0, "%U", "53"},
        {2021, 1, 3, 12, 0, "%U", "53"},
        {2021, 1, 4, 12, 0, "%U", "01"},
        {2016, 1, 1, 12, 0, "%U", "53"}, // Friday after a leap year starting Thursday
        {2022, 1, 1, 12, 0, "%U", "52"}, // Saturday after a common year starting Friday
        // the last days of December stay in the old year
        {2018, 12, 31, 12, 0, "%U", "53"}, // a Monday whose Thursday is in 2019
        {2026, 12, 31, 12, 0, "%U", "53"},
        {2025, 12, 29, 12, 0, "%U", "53"}, // a Monday of a year starting Wednesday
        {2024, 12, 30, 12, 0, "%U", "53"}, // leap year starting Monday
        {2026, 3, 2, 12, 0, "%U", "10"},
    };
    for (const Case& c : cases) {
        const std::time_t when = UtcTime(c.year, c.month, c.day, c.hour, c.minute);
        EXPECT_EQ(CDateTime::FormatDateTime(QString::fromLatin1(c.format), when),
                  QString::fromLatin1(c.expected))
            << c.format << " " << c.year << "-" << c.month << "-" << c.day;
    }
    EXPECT_EQ(CDateTime::StandardFormats().size(), 21);
    EXPECT_EQ(CDateTime::StandardFormats().first(), "%d.%m.%y");
    EXPECT_EQ(CDateTime::StandardFormats().last(), "%d %b %y %I:%M %p");
}

TEST_F(DateTimeTest, OffsetsAndAdditionalDaysMoveTheDateAcrossYearEnds)
{
    SetClock(UtcTime(2026, 12, 25, 8, 0));
    auto* stamp =
        static_cast<CDateTime*>(TheVariableList().CreateVariable(VARIABLE_DATE_TIME, "Best"));
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(stamp->m_format, "%d.%m.%y");
    stamp->ResetValue();
    EXPECT_EQ(stamp->GetValue(), "25.12.26");

    struct Case
    {
        int offset;
        BOOL allow;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {10, FALSE, nullptr, "04.01.27"}, {-360, FALSE, nullptr, "30.12.25"},
        {3, TRUE, "4", "01.01.27"},       {3, TRUE, " -10 days", "18.12.26"},
        {3, TRUE, "soon", "28.12.26"}, // not a number: no extra days
    };
    for (const Case& c : cases) {
        stamp->m_offsetDays = c.offset;
        stamp->m_allowAdditional = c.allow;
        stamp->m_additionalDays = 0;
        if (c.typed)
            stamp->SetSourceValue(QString::fromLatin1(c.typed), SOURCE_KEYBOARD, QString(), TRUE);
        else
            stamp->ResetValue();
        EXPECT_EQ(stamp->GetValue(), QString::fromLatin1(c.expected)) << c.offset;
    }

    // Days far beyond any calendar are held in range: no overflow.
    stamp->SetSourceValue(QStringLiteral("99999999999"), SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_FALSE(stamp->GetValue().isEmpty());

    // The value follows the clock before every printed sign.
    stamp->m_offsetDays = 0;
    stamp->m_allowAdditional = FALSE;
    SetClock(UtcTime(2027, 1, 1, 0, 0));
    EXPECT_TRUE(stamp->PrepareForPrint());
    EXPECT_EQ(stamp->GetValue(), "01.01.27");
}

TEST_F(DateTimeTest, AdditionalDaysComeFromTheKeyboardTheStoreOrAField)
{
    SetClock(UtcTime(2026, 6, 1));
    CFieldLink link;
    context.dataLink = &link;
    CDateTime stamp;
    stamp.m_name = "Days";
    stamp.m_allowAdditional = TRUE;

    std::vector<int> kinds;
    QStringList names;
    EXPECT_EQ(stamp.GetDataSources(kinds, names), 1);
    EXPECT_EQ(kinds, std::vector<int>{SOURCE_KEYBOARD});
    EXPECT_TRUE(stamp.IsKeyboardSourced());

    // Typed: nothing stored gives no extra days; a data store's record does.
    stamp.ResetValue();
    EXPECT_EQ(stamp.GetValue(), "01.06.26");
    link.kind = 1;
    link.records = 1;
    link.values["Days"] = "2";
    stamp.ResetValue();
    EXPECT_EQ(stamp.GetValue(), "03.06.26");
    EXPECT_EQ(stamp.GetStoredData(TRUE), "0");

    // From a field of the linked database.
    link.kind = 0;
    link.values["Shelf life"] = "7";
    stamp.m_additionalSource = CDateTime::ADDITIONAL_DATABASE;
    stamp.m_field = "Shelf life";
    EXPECT_TRUE(stamp.IsDatabaseSourced());
    EXPECT_EQ(stamp.GetSourceFieldName(), "Shelf life");
    stamp.ResetValue();
    EXPECT_EQ(stamp.GetValue(), "08.06.26");
    stamp.BreakDatabaseLink();
    EXPECT_EQ(stamp.m_additionalSource, CDateTime::ADDITIONAL_KEYBOARD);
    context.dataLink = nullptr;
}

TEST_F(DateTimeTest, RecordTextExportAndOlderSigns)
{
    CDateTime stamp;
    stamp.m_name = "Packed";
    stamp.m_prompt = "Days";
    stamp.m_dataEntryIndex = 2;
    stamp.m_format = "%d <%b>";
    stamp.m_offsetDays = -3;
    stamp.m_allowAdditional = TRUE;
    stamp.m_additionalSource = CDateTime::ADDITIONAL_DATABASE;
    stamp.m_field = "Life";
    const QByteArray expected = CRecordBytes()
                                    .Str("Packed")
                                    .Str("Days")
                                    .Int(2)
                                    .Str("%d <%b>")
                                    .Int(-3)
                                    .Int(1)
                                    .Int(2)
                                    .Str("Life")
                                    .Bytes();
    EXPECT_EQ(Stored(stamp).toHex(), expected.toHex());

    CDateTime loaded;
    Load(loaded, expected);
    EXPECT_EQ(Stored(loaded), expected);
    EXPECT_EQ(loaded.m_field, "Life");

    // Before version 400 the record ends after the flag.
    App().fileVersion = 399;
    CDateTime old;
    Load(old, CRecordBytes().Str("Old").Str("").Int(0).Str("%H:%M").Int(7).Int(1).Bytes());
    EXPECT_EQ(old.m_format, "%H:%M");
    EXPECT_EQ(old.m_offsetDays, 7);
    EXPECT_EQ(old.m_additionalSource, CDateTime::ADDITIONAL_KEYBOARD);
    EXPECT_TRUE(old.m_field.isEmpty());
    App().fileVersion = 514;

    // A source out of range is read as typed; a huge offset is held in range.
    CDateTime wild;
    Load(wild, CRecordBytes()
                   .Str("W")
                   .Str("")
                   .Int(0)
                   .Str("%d")
                   .Int(2000000000)
                   .Int(1)
                   .Int(9)
                   .Str("F")
                   .Bytes());
    EXPECT_EQ(wild.m_additionalSource, CDateTime::ADDITIONAL_KEYBOARD);
    EXPECT_LE(wild.m_offsetDays, 3650000);
    SetClock(UtcTime(2026, 1, 1));
    wild.ResetValue(); // no overflow, no crash

    EXPECT_EQ(Exported(stamp), "  <date-time-stamp>\r\n\r\n"
                               "    <name=\"Packed\"/>\r\n"
                               "    <data-entry-index=\"2\"/>\r\n"
                               "    <prompt=\"Days\"/>\r\n"
                               "    <format-string=\"%d &lt;%b&gt;\"/>\r\n"
                               "    <offset=\"-3\" allow-additional=\"1\"/>\r\n"
                               "\r\n  </date-time-stamp>\r\n\r\n");
}
