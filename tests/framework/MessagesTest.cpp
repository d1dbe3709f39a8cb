#include "Messages.h"

#include <gtest/gtest.h>

TEST(Messages, PlaceholdersAreFilledOnce)
{
    EXPECT_EQ(FormatPlaceholders("Data for %1 is too long ( max = %2 ).", {"Price", "5"}),
              "Data for Price is too long ( max = 5 ).");
    // Inserted text is not scanned again, and unknown placeholders stay.
    EXPECT_EQ(FormatPlaceholders("%1 and %2 and %3", {"%2", "x"}), "%2 and x and %3");
    EXPECT_EQ(FormatPlaceholders("100%", {"a"}), "100%");
}

TEST(Messages, MessageBoxShowsTheStringTableText)
{
    CMessageResponder responder;
    AppMessageBoxIdArgs(IDS_DATA_MUST_BE_SUPPLIED, {"Text1"});
    EXPECT_EQ(responder.LastText(), "Data must be supplied for Text1.");
    AppMessageBoxId(IDS_INSUFFICIENT_MEMORY, MB_ICONEXCLAMATION);
    EXPECT_EQ(responder.LastText(), "Insufficient memory");
    EXPECT_EQ(responder.Messages().back().style, unsigned(MB_ICONEXCLAMATION));
}

TEST(Messages, InsertedNamesAreElided)
{
    CMessageResponder responder;
    const QString name = QStringLiteral("Start") + QString(1 << 20, u'n') + QStringLiteral("End");
    AppMessageBoxIdArgs(IDS_DATA_MUST_BE_SUPPLIED, {name});
    const QString shown = responder.LastText();
    EXPECT_LE(shown.size(), 100 + 40);
    EXPECT_TRUE(shown.startsWith(u"Data must be supplied for Start")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(u"End.")) << shown.toStdString();

    EXPECT_EQ(FormatMessageText("%1 of %2, %3", {"short", name}).size(), 5 + 4 + 100 + 4);
}
