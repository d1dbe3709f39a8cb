#include "ResourceIds.h"
#include "Strings.h"

#include <gtest/gtest.h>

#include <QString>

#include <vector>

namespace {

TEST(StringTable, IdsAreStrictlyAscending)
{
    const std::vector<int> ids = AllStringIds();
    ASSERT_FALSE(ids.empty());
    for (size_t i = 1; i < ids.size(); ++i)
        EXPECT_LT(ids[i - 1], ids[i]) << "entry " << i << " is out of order or repeats an id";
}

TEST(StringTable, EveryEntryIsFoundAndNotEmpty)
{
    // The lookup is a binary search: an entry out of place would not be found.
    for (int id : AllStringIds()) {
        EXPECT_TRUE(HasStringId(id)) << id;
        EXPECT_FALSE(LoadStringId(id).isEmpty()) << id;
    }
}

TEST(StringTable, KnownTextsLoadExactly)
{
    EXPECT_EQ(LoadStringId(IDS_INSUFFICIENT_MEMORY), QStringLiteral("Insufficient memory"));
    EXPECT_EQ(LoadStringId(63000), QStringLiteral("Insufficient memory"));
    EXPECT_EQ(LoadStringId(IDS_UNABLE_TO_ALLOCATE_RESOURCE),
              QStringLiteral("Unable to allocate resource"));
    EXPECT_EQ(LoadStringId(63061), QStringLiteral("Invalid or non-unique element name"));
    EXPECT_EQ(LoadStringId(IDS_INVALID_ELEMENT_NAME),
              QStringLiteral("Invalid or non-unique element name"));
    EXPECT_EQ(LoadStringId(63102), QStringLiteral("Data must be supplied for %1."));
    EXPECT_EQ(LoadStringId(IDS_DATA_TOO_LONG),
              QStringLiteral("Data for %1 is too long ( max = %2 )."));
    EXPECT_EQ(LoadStringId(IDS_DATA_TOO_SHORT),
              QStringLiteral("Data for %1 is too short ( min = %2 )."));
    EXPECT_EQ(LoadStringId(63030), QStringLiteral("Loading Sign Template..."));
    EXPECT_EQ(LoadStringId(63031), QStringLiteral("Saving Sign Template..."));
    EXPECT_EQ(LoadStringId(63055), QStringLiteral("unsupported template version"));
}

TEST(StringTable, PlaceholderFillsIn)
{
    EXPECT_EQ(LoadStringId(IDS_DATA_MUST_BE_SUPPLIED).arg(QStringLiteral("Price")),
              QStringLiteral("Data must be supplied for Price."));
    EXPECT_EQ(LoadStringId(IDS_DATA_TOO_LONG).arg(QStringLiteral("Code")).arg(12),
              QStringLiteral("Data for Code is too long ( max = 12 )."));
}

TEST(StringTable, LineBreaksAreRealLineBreaks)
{
    EXPECT_EQ(LoadStringId(IDS_PRINT_SIGN_PROMPT), QStringLiteral("Print the sign\nPrint"));
    EXPECT_EQ(LoadStringId(IDS_ENTER_PRINT_DATA_PROMPT),
              QStringLiteral("Enter print data\nData Entry"));
    // The tool tip is what follows the first line break.
    EXPECT_EQ(LoadStringId(IDS_ENTER_PRINT_DATA_PROMPT).section(QLatin1Char('\n'), 1),
              QStringLiteral("Data Entry"));
    EXPECT_EQ(LoadStringId(IDS_DISCONNECT_BREAKS_LINKS).count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(LoadStringId(IDS_PRINTER_SETTINGS_NOT_APPLIED).endsWith(QStringLiteral(").\n\n")));
    EXPECT_FALSE(LoadStringId(IDS_PRINTER_SETTINGS_NOT_APPLIED).contains(QLatin1Char('\\')));
}

TEST(StringTable, QuotesAndFiltersStandAsWritten)
{
    EXPECT_EQ(LoadStringId(IDS_NO_RECORDS_STARTING_WITH),
              QStringLiteral("No records found where \"%1\" starts with \"%2\""));
    EXPECT_EQ(LoadStringId(IDS_PRINT_FILE_FILTER),
              QStringLiteral("Printer Files (*.prn)|*.prn|All Files (*.*)|*.*||"));
    EXPECT_EQ(LoadStringId(IDS_PRINT_N_SIGNS), QStringLiteral("Print %d signs ?"));
}

TEST(StringTable, UnknownIdGivesEmptyText)
{
    for (int id : {0, -1, 1, 32806, 62999, 63002, 63003, 63253, 99999}) {
        EXPECT_TRUE(LoadStringId(id).isEmpty()) << id;
        EXPECT_TRUE(LoadStringId(id).isNull()) << id;
        EXPECT_FALSE(HasStringId(id)) << id;
    }
}

} // namespace
