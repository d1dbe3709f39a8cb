#include "Codec1252.h"

#include <gtest/gtest.h>

TEST(Codec1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(ToWindows1252(FromWindows1252(all)), all);
}

TEST(Codec1252, MapsTheHighCharactersBothWays)
{
    struct Case
    {
        char16_t unicode;
        unsigned char byte;
    };
    const Case cases[] = {
        {0x20AC, 0x80}, // euro sign
        {0x2019, 0x92}, // right single quote
        {0x0178, 0x9F}, // Y with diaeresis
        {0x00E9, 0xE9}, // e acute, same as Latin-1
        {0x00A3, 0xA3}, // pound sign
    };
    for (const Case& c : cases) {
        const QString s(QChar(c.unicode));
        EXPECT_EQ(static_cast<unsigned char>(ToWindows1252(s).at(0)), c.byte);
        const char byte = static_cast<char>(c.byte);
        EXPECT_EQ(FromWindows1252(&byte, 1), s);
    }
}

TEST(Codec1252, MissingCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(ToWindows1252(QStringLiteral(u"a\u4E2Db\u03A9")), QByteArray("a?b?"));
}
