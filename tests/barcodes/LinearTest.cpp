// What the linear symbologies beside Code 128 and EAN/UPC compute: check
// characters against published values, the data each accepts or refuses,
// what it shows, and that every one is copied as its own class.

#include "LinearCases.h"

#include "Code39.h"
#include "Interleaved.h"
#include "MsiPlessey.h"
#include "Postal.h"
#include "UndoHistory.h"

using namespace barcode_test;

namespace {

std::unique_ptr<CBarcode> Make(const char* className, const QString& data, BOOL check = TRUE,
                               BOOL show = TRUE)
{
    SymbolCase c{"", className, "", 0, ZXing::BarcodeFormat::None, ""};
    std::unique_ptr<CBarcode> barcode = MakeSymbol(c);
    if (barcode) {
        barcode->m_data = data;
        barcode->m_calculateCheck = check;
        barcode->m_showCheck = show;
        barcode->Regenerate();
        barcode->RecalcPosition(nullptr);
    }
    return barcode;
}

QString Values(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (!out.isEmpty())
            out += u',';
        out += QString::number(c.unicode());
    }
    return out;
}

} // namespace

TEST(LinearCheckCharacters, MatchPublishedValues)
{
    // Code 39, modulo 43 of the character values.
    const std::pair<const char*, char> code39[] = {
        {"CODE39", 'W'}, {"CODE 39", 'R'}, {"WIKIPEDIA", '$'}, {"", '0'}, {"%", '%'}, {"Z1", '-'}};
    for (const auto& [data, check] : code39)
        EXPECT_EQ(CCode39::CheckCharacter(QString::fromLatin1(data)), char16_t(check)) << data;

    // Code 93, C over the data and K over the data and C.
    const struct
    {
        const char* data;
        int c, k;
    } code93[] = {{"TEST93", 41, 6}, {"CODE93", 25, 31}};
    for (const auto& t : code93) {
        std::vector<int> values;
        for (const char* p = t.data; *p; ++p)
            values.push_back(int(std::strchr(CCode93::kCharacters, *p) - CCode93::kCharacters));
        EXPECT_EQ(CCode93::CheckValue(values, 20), t.c) << t.data;
        values.push_back(t.c);
        EXPECT_EQ(CCode93::CheckValue(values, 15), t.k) << t.data;
    }

    // The GS1 modulo-10 check digit of ITF-14 and Interleaved 2 of 5.
    const std::pair<const char*, int> gtin[] = {{"1540014128876", 3},
                                                {"0400638133393", 1},
                                                {"1234567890123", 1},
                                                {"0000000000000", 0},
                                                {"12345", 7}};
    for (const auto& [digits, check] : gtin)
        EXPECT_EQ(CInterleaved2of5::CheckDigit(QString::fromLatin1(digits)), check) << digits;

    // Plessey: the cyclic redundancy check, two hexadecimal digits.
    const std::pair<std::vector<int>, std::array<int, 2>> plessey[] = {
        {{1}, {7, 3}},
        {{0}, {0, 0}},
    };
    for (const auto& [values, check] : plessey)
        EXPECT_EQ(CPlessey::CheckValues(values), check);

    // Telepen, modulo 127 of the character codes.
    const std::pair<int, int> telepen[] = {{717, 45}, {198, 56}, {0, 0}, {127, 0}, {126, 1}};
    for (const auto& [sum, check] : telepen)
        EXPECT_EQ(CTelepen::CheckValue(sum), check) << sum;

    // Royal Mail: row and column sums in the six-by-six table.
    const std::pair<const char*, char> royal[] = {{"LU178XE", 'U'}, {"0", '0'}, {"Z", 'Z'}};
    for (const auto& [data, check] : royal)
        EXPECT_EQ(CRoyalMail::CheckCharacter(QString::fromLatin1(data)), char16_t(check)) << data;
}

TEST_F(BarcodeFixture, CheckCharactersAreEncodedAndShownByTheSwitches)
{
    struct Case
    {
        const char* className;
        const char* data;
        BOOL check, show;
        const char* shown;      // human-readable text
        const char* checkChars; // always reported
        const char* expanded;   // the characters encoded, values where not text
    };
    const Case cases[] = {
        {"CCode39", "CODE39", TRUE, TRUE, "*CODE39W*", "W", "*CODE39W*"},
        {"CCode39", "code39", TRUE, FALSE, "*CODE39*", "W", "*CODE39W*"},
        {"CCode39", "CODE39", FALSE, TRUE, "*CODE39*", "W", "*CODE39*"},
        // An embedded asterisk ends the data, kept on purpose.
        {"CCode39", "*AB*C", TRUE, TRUE, "*ABL*", "L", "*ABL*"},
        {"CCode39", "", TRUE, TRUE, "*0*", "0", "*0*"},
        {"CInterleaved2of5", "12345", TRUE, TRUE, "123457", "7", "123457"},
        {"CInterleaved2of5", "12345", FALSE, TRUE, "012345", "", "012345"},
        {"CInterleaved2of5", "1234", TRUE, FALSE, "01234", "8", "012348"},
        {"CInterleaved2of5", "12 34\t5", TRUE, TRUE, "123457", "7", "123457"},
        {"CITF14", "1540014128876", TRUE, TRUE, "15400141288763", "3", "15400141288763"},
        // The 14th digit is not trusted: the check digit is computed again.
        {"CITF14", "15400141288769", TRUE, TRUE, "15400141288763", "3", "15400141288763"},
        {"CITF14", "1 54 00141 28876-3", TRUE, TRUE, "15400141288763", "3", "15400141288763"},
        {"CCodabar", "a1234b", FALSE, FALSE, "A1234B", "", "A1234B"},
        {"CMS7", "1234567", TRUE, TRUE, "1234 565", "5", "01234565"},
        {"CMS7", "123456", TRUE, TRUE, "1234 565", "5", "01234565"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " \"" + c.data + "\"");
        const std::unique_ptr<CBarcode> barcode =
            Make(c.className, QString::fromLatin1(c.data), c.check, c.show);
        ASSERT_NE(barcode, nullptr);
        ASSERT_TRUE(barcode->PrepareData());
        EXPECT_EQ(barcode->m_humanReadable, QString::fromLatin1(c.shown));
        EXPECT_EQ(barcode->m_checkChars, QString::fromLatin1(c.checkChars));
        EXPECT_EQ(barcode->m_expandedData, QString::fromLatin1(c.expanded));
        EXPECT_EQ(barcode->m_data, QString::fromLatin1(c.data)) << "the data is never cut";
    }
}

TEST_F(BarcodeFixture, MsiCheckDigitsArePlainDigitSums)
{
    // Kept as designed: the sum of the digit values, not the Luhn form of
    // the published MSI check.
    struct Case
    {
        const char* data;
        const char* shown;
        const char* checkChars;
    };
    const Case cases[] = {
        {"123456", "12345691", "91"},
        {"1", "19X", "9:"},       // a sum of 1 modulo 11: the second check is 10
        {"0", "000", "00"},       //
        {"9999", "999948", "48"}, // 36: (10 - 6), (11 - 3)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const std::unique_ptr<CBarcode> msi = Make("CMsi", QString::fromLatin1(c.data));
        ASSERT_NE(msi, nullptr);
        ASSERT_FALSE(msi->IsShowingInvalid());
        EXPECT_EQ(msi->m_checkChars, QString::fromLatin1(c.checkChars));
        EXPECT_EQ(msi->m_humanReadable, QString::fromLatin1(c.shown));
    }
    const std::unique_ptr<CBarcode> msi = Make("CMsi", QStringLiteral("123456"));
    EXPECT_EQ(Values(msi->m_expandedData), QStringLiteral("1,2,3,4,5,6,9,1"));
    // Four bits a digit, most significant first, between start and stop.
    ASSERT_EQ(msi->m_pattern.size(), 2u + 8u * 8u + 3u);
    const std::vector<BYTE> one(msi->m_pattern.begin() + 2, msi->m_pattern.begin() + 10);
    EXPECT_EQ(one, (std::vector<BYTE>{0, 6, 0, 6, 0, 6, 2, 4})); // 0001
    msi->m_showCheck = FALSE;
    msi->Regenerate();
    EXPECT_EQ(msi->m_humanReadable, QStringLiteral("123456"));
    EXPECT_EQ(Values(msi->m_expandedData), QStringLiteral("1,2,3,4,5,6,9,1"));
}

TEST_F(BarcodeFixture, TelepenTakesAsciiAndRefusesCharactersAbove127)
{
    struct Case
    {
        const char* className;
        QString data;
        QString encoded;
        QString shown;
    };
    const Case cases[] = {
        {"CTelepen", QStringLiteral("a\tb"), QStringLiteral("a\tb"), QStringLiteral("a b")},
        {"CTelepenNumeric", QStringLiteral("12345X"), QStringLiteral("12345X"),
         QStringLiteral("12345X")},
        {"CTelepenNumeric", QStringLiteral("12%D016ab"),
         QString::fromLatin1("12\x10"
                             "ab"),
         QStringLiteral("12 ab")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data.toStdString());
        const std::unique_ptr<CBarcode> telepen = Make(c.className, c.data);
        ASSERT_NE(telepen, nullptr);
        ASSERT_FALSE(telepen->IsShowingInvalid());
        EXPECT_EQ(telepen->m_encodedText, c.encoded);
        EXPECT_EQ(telepen->m_humanReadable, c.shown);
        EXPECT_EQ(telepen->m_expandedData.front(), QChar(u'_'));
        EXPECT_EQ(telepen->m_expandedData.back(), QChar(u'z'));
    }
    // A character above 127, typed or as an escape, would lose its top bit
    // and print as another character: the placeholder shows instead.
    for (const auto& [className, data] :
         {std::pair{"CTelepen", QStringLiteral("\u00C1b")},
          std::pair{"CTelepen", QStringLiteral("%D193b")},
          std::pair{"CTelepenNumeric", QStringLiteral("12%D016\u00E9")},
          std::pair{"CTelepenNumeric", QStringLiteral("%D200")}}) {
        SCOPED_TRACE(data.toStdString());
        const std::unique_ptr<CBarcode> refused = Make(className, data);
        ASSERT_NE(refused, nullptr);
        EXPECT_TRUE(refused->IsShowingInvalid());
    }
    const std::unique_ptr<CBarcode> numeric = Make("CTelepenNumeric", QStringLiteral("123456"));
    EXPECT_EQ(Values(numeric->m_expandedData), QStringLiteral("95,39,61,83,71,122"));
}

TEST_F(BarcodeFixture, DataASymbologyCannotCarryShowsThePlaceholder)
{
    struct Case
    {
        const char* className;
        QString data;
        BOOL check;
        bool valid;
    };
    const Case cases[] = {
        {"CCode39", QStringLiteral("AB#"), TRUE, false},
        {"CCode39", QStringLiteral("\u00E9"), TRUE, false},
        {"CCode93", QStringLiteral("50%"), TRUE, false},
        {"CCode93", QStringLiteral("abc"), TRUE, true},
        // Codabar data must carry its start and stop characters, at both
        // ends and only there: a reader takes no other symbol.
        {"CCodabar", QStringLiteral("A12345D"), FALSE, true},
        {"CCodabar", QStringLiteral("12345"), FALSE, false},
        {"CCodabar", QStringLiteral("A12345"), FALSE, false},
        {"CCodabar", QStringLiteral("12345D"), FALSE, false},
        {"CCodabar", QStringLiteral("A12B45D"), FALSE, false},
        {"CCodabar", QStringLiteral("A"), FALSE, false},
        {"CCodabar", QStringLiteral("A1E"), FALSE, false},
        {"CInterleaved2of5", QStringLiteral("12a4"), TRUE, false},
        {"CITF14", QStringLiteral("123456789012"), TRUE, false},
        {"CITF14", QStringLiteral("123456789012345"), TRUE, false},
        {"CITF14", QStringLiteral("12345678901x3"), TRUE, false},
        {"CMsi", QStringLiteral("12A"), TRUE, false},
        {"CPlessey", QStringLiteral("12G"), TRUE, false},
        {"CPlessey", QStringLiteral("x12f"), TRUE, true},
        {"CMS7", QStringLiteral("12345"), TRUE, false},
        {"CMS7", QStringLiteral("12345678"), TRUE, false},
        {"CMS7", QStringLiteral("12345a"), TRUE, false},
        {"CTelepenNumeric", QStringLiteral("12345"), TRUE, false},
        {"CTelepenNumeric", QStringLiteral("12A4"), TRUE, false},
        {"CTelepenNumeric", QStringLiteral("X1"), TRUE, false},
        // Postnet: 5, 9 or 11 digits and the check digit; without the check
        // digit calculated the data carries it.
        {"CPostnet", QStringLiteral("12345"), TRUE, true},
        {"CPostnet", QStringLiteral("123456789"), TRUE, true},
        {"CPostnet", QStringLiteral("12345678901"), TRUE, true},
        {"CPostnet", QStringLiteral("1234"), TRUE, false},
        {"CPostnet", QStringLiteral("1234567"), TRUE, false},
        {"CPostnet", QStringLiteral("123456"), TRUE, false},
        {"CPostnet", QStringLiteral("1234567890"), TRUE, false},
        {"CPostnet", QStringLiteral("123456789012"), TRUE, false},
        {"CPostnet", QStringLiteral("123456"), FALSE, true},
        {"CPostnet", QStringLiteral("12345"), FALSE, false},
        {"CPostnet", QStringLiteral("12345-6789"), TRUE, false},
        {"CRoyalMail", QStringLiteral("LU17-8XE"), TRUE, false},
        {"CRoyalMail", QStringLiteral("0123456789ABCDEFGHIJKLMNOP"), TRUE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " \"" + c.data.toStdString() + "\"");
        const std::unique_ptr<CBarcode> barcode = Make(c.className, c.data, c.check);
        ASSERT_NE(barcode, nullptr);
        EXPECT_EQ(barcode->IsShowingInvalid() == FALSE, c.valid);
        EXPECT_FALSE(barcode->m_bitmap.isNull()) << "the symbol or the placeholder";
        if (!c.valid) {
            EXPECT_EQ(barcode->m_bitmapSize.cx, 3 * barcode->ResolutionAlong() / 2);
            EXPECT_TRUE(barcode->m_textRect.IsEmpty());
        }
        EXPECT_EQ(barcode->m_data, c.data);
    }
    // Lower case is the same Royal Mail code as upper case.
    const std::unique_ptr<CBarcode> lower = Make("CRoyalMail", QStringLiteral("lu17 8xe"));
    const std::unique_ptr<CBarcode> upper = Make("CRoyalMail", QStringLiteral("LU178XE"));
    EXPECT_EQ(lower->m_pattern, upper->m_pattern);
}

TEST_F(BarcodeFixture, MsSevenIsFramedAndShowsItsLetters)
{
    CBarcode::SetResolutionOverride(600);
    const std::unique_ptr<CBarcode> ms7 = Make("CMS7", QStringLiteral("1234567"));
    ASSERT_NE(ms7, nullptr);
    ASSERT_FALSE(ms7->IsShowingInvalid());
    ASSERT_EQ(ms7->m_pattern.size(), 43u);
    EXPECT_EQ(ms7->m_texts[0].GetText(), QStringLiteral("M"));
    EXPECT_EQ(ms7->m_texts[1].GetText(), QStringLiteral("1234 565"));
    EXPECT_EQ(ms7->m_texts[2].GetText(), QStringLiteral("S"));
    // Bars and text share the element's height.
    const CLogFont& font = ms7->m_texts[0].GetFont();
    const int textHeight = font.GetHeight() > 0 ? font.GetHeight() : font.GetTextMetrics().tmHeight;
    EXPECT_LE(std::abs(ms7->m_barRect.Height() + textHeight - ms7->m_height), 1);
    ASSERT_NE(ms7->m_frameBox, nullptr);
    const int t = ms7->m_frameBox->GetThickness();
    EXPECT_EQ(t, 4); // the 13 mil x-dimension is below 0.013 inch
    CRect inside = CRect::Union(ms7->m_barRect, ms7->m_textRect);
    inside.InflateRect(t, t, t, t);
    EXPECT_EQ(ms7->m_frameBox->m_bounds, inside);
    ms7->RecalcPosition(nullptr);
    EXPECT_EQ(ms7->m_bounds, inside);
    // Moved, the frame goes with it; the guard bars are longer than the
    // digits' bars.
    const CRect before = ms7->m_frameBox->m_bounds;
    ms7->m_trackRect = ms7->m_startRect = ms7->m_bounds;
    ms7->m_trackRect.OffsetRect(30, 20);
    ms7->ApplyTrackRect(nullptr);
    CRect moved = before;
    moved.OffsetRect(30, 20);
    EXPECT_EQ(ms7->m_frameBox->m_bounds, moved);
    const QImage& bits = ms7->m_bitmap;
    const int quiet = RoundHalfUp(600 * RoundHalfUp(0.01299 * 3180) / 254.0);
    // The first digit is 0: a space of three modules, then a bar of two.
    const int module = ms7->m_elementWidths[0];
    const int digitBar = quiet + 6 * module;
    EXPECT_EQ(bits.pixelIndex(quiet, bits.height() - 1), 1);
    EXPECT_EQ(bits.pixelIndex(quiet, 0), 1);
    EXPECT_EQ(bits.pixelIndex(digitBar, 0), 1);
    EXPECT_EQ(bits.pixelIndex(digitBar, bits.height() - 1), 0);
    EXPECT_EQ(bits.pixelIndex(digitBar - 1, 0), 0);
    CBarcode::SetResolutionOverride(0);
}

TEST_F(BarcodeFixture, EveryLinearSymbolIsCopiedAsItsOwnClass)
{
    for (const SymbolCase& c : LinearSymbols()) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<CBarcode> barcode = MakeSymbol(c);
        ASSERT_NE(barcode, nullptr);
        ASSERT_FALSE(barcode->IsShowingInvalid());
        // A new element of the class carries its own default data as a
        // symbol, not the placeholder.
        std::unique_ptr<CObject> fresh(CRuntimeClass::FromName(c.className)->CreateObject());
        auto* made = dynamic_cast<CBarcode*>(fresh.get());
        ASSERT_NE(made, nullptr);
        EXPECT_FALSE(made->IsShowingInvalid()) << made->m_data.toStdString();
        EXPECT_FALSE(made->m_data.isEmpty());

        const std::unique_ptr<CElement> copy(CloneElement(barcode.get()));
        ASSERT_NE(copy, nullptr);
        EXPECT_STREQ(copy->GetRuntimeClass()->m_className, c.className);
        auto* same = dynamic_cast<CBarcode*>(copy.get());
        ASSERT_NE(same, nullptr);
        EXPECT_EQ(same->m_data, barcode->m_data);
        EXPECT_EQ(same->m_pattern, barcode->m_pattern);
        EXPECT_EQ(same->m_bitmap, barcode->m_bitmap);
        same->Regenerate();
        EXPECT_EQ(same->m_pattern, barcode->m_pattern);
    }
}

TEST_F(BarcodeFixture, LinearSymbolsBringHostileValuesIntoRange)
{
    // What a damaged sign may hand an element: data of every byte, data far
    // too long for any symbol, heights out of range, every orientation.
    QString everyByte;
    for (int c = 1; c < 256; ++c)
        everyByte += QChar(char16_t(c));
    const QString datas[] = {everyByte, QString(20000, u'7'), QString(20000, u'A'),
                             QStringLiteral("%D999%H"), QStringLiteral("%")};
    for (const SymbolCase& c : LinearSymbols()) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<CBarcode> barcode = MakeSymbol(c);
        ASSERT_NE(barcode, nullptr);
        struct Values
        {
            QString data;
            int height;
            int orientation;
        };
        std::vector<Values> values;
        const int usual = barcode->Symbology().defaultHeight;
        for (const QString& data : datas) {
            values.push_back({data, usual, 0});
            values.push_back({data, usual, 270});
        }
        for (const int height : {-50, 0, 1, 1 << 30}) {
            values.push_back({QString::fromLatin1(c.data), height, 90});
            values.push_back({everyByte, height, 180});
        }
        for (const Values& v : values) {
            barcode->m_data = v.data;
            barcode->m_height = v.height;
            barcode->m_orientation = v.orientation;
            barcode->ComputeLayout();
            barcode->Regenerate();
            barcode->RecalcPosition(nullptr);
            EXPECT_LE(barcode->m_bitmap.width(), CBarcode::kMaxBitmapSide);
            EXPECT_LE(barcode->m_bitmap.height(), CBarcode::kMaxBitmapSide);
            EXPECT_EQ(barcode->m_data, v.data);
        }
        // And back to data it takes.
        barcode->m_data = QString::fromLatin1(c.data);
        barcode->m_height = barcode->Symbology().defaultHeight;
        barcode->m_orientation = 0;
        barcode->ComputeLayout();
        barcode->Regenerate();
        EXPECT_FALSE(barcode->IsShowingInvalid());
    }
}
