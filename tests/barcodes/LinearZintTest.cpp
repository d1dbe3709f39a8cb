// MSI, Plessey, Telepen, Postnet and the Royal Mail 4-state code, which no
// reader of the tests decodes, compared bar for bar with libzint's encoding
// of the same data. Where the two differ on purpose the test says so.

#include "LinearCases.h"

#include "EanUpc.h"
#include "MsiPlessey.h"
#include "Postal.h"

#include <zint.h>

using namespace barcode_test;

namespace {

struct ZintSymbol
{
    ZintSymbol() : symbol(ZBarcode_Create()) {}
    ~ZintSymbol() { ZBarcode_Delete(symbol); }
    ZintSymbol(const ZintSymbol&) = delete;
    ZintSymbol& operator=(const ZintSymbol&) = delete;
    bool IsSet(int row, int column) const
    {
        return (symbol->encoded_data[row][column >> 3] >> (column & 7)) & 1;
    }
    zint_symbol* symbol;
};

// libzint's symbol of the data, or an empty symbol when it refuses it.
std::unique_ptr<ZintSymbol> Zint(int symbology, const std::string& data, int option2 = 0)
{
    auto out = std::make_unique<ZintSymbol>();
    out->symbol->symbology = symbology;
    out->symbol->option_2 = option2;
    const int error = ZBarcode_Encode(
        out->symbol, reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
    if (error >= ZINT_ERROR)
        return nullptr;
    return out;
}

// Narrow ('n') and wide ('w') bars and spaces of a one-row libzint symbol.
std::string ZintElements(const ZintSymbol& z)
{
    std::vector<int> runs;
    const int width = z.symbol->width;
    int x = 0;
    while (x < width) {
        const bool colour = z.IsSet(0, x);
        int length = 0;
        while (x < width && z.IsSet(0, x) == colour) {
            ++x;
            ++length;
        }
        runs.push_back(length);
    }
    const int narrow = *std::min_element(runs.begin(), runs.end());
    std::string out;
    for (int run : runs)
        out += run == narrow ? 'n' : 'w';
    return out;
}

// The same from the element's pattern: width classes 0 and 4 narrow, 2 and
// 6 wide, 3 ('d') twice wide.
std::string OurElements(const CBarcode& barcode)
{
    std::string out;
    for (BYTE value : barcode.m_pattern) {
        switch (value & 3) {
        case 0:
            out += 'n';
            break;
        case 2:
            out += 'w';
            break;
        case 3:
            out += 'd';
            break;
        default:
            out += '?';
            break;
        }
    }
    return out;
}

// The bar states of a postal libzint symbol (bars one module wide, one
// module apart): bit 1 the bar reaches the top row, bit 2 the bottom row.
std::vector<int> ZintStates(const ZintSymbol& z)
{
    std::vector<int> states;
    const int rows = z.symbol->rows;
    for (int x = 0; x < z.symbol->width; ++x) {
        bool any = false;
        for (int row = 0; row < rows; ++row)
            any = any || z.IsSet(row, x);
        if (!any)
            continue;
        states.push_back((z.IsSet(0, x) ? 1 : 0) | (z.IsSet(rows - 1, x) ? 2 : 0));
    }
    return states;
}

std::unique_ptr<CBarcode> Make(const char* className, const QString& data, BOOL check = TRUE)
{
    SymbolCase c{"", className, "", 0, ZXing::BarcodeFormat::None, ""};
    std::unique_ptr<CBarcode> barcode = MakeSymbol(c);
    if (barcode) {
        barcode->m_data = data;
        barcode->m_calculateCheck = check;
        barcode->Regenerate();
        barcode->RecalcPosition(nullptr);
    }
    return barcode;
}

} // namespace

TEST_F(BarcodeFixture, RatioSymbolsMatchLibzintBarForBar)
{
    struct Case
    {
        const char* className;
        const char* data;
        BOOL check;
        int symbology;
        int option2;
    };
    const Case cases[] = {
        // MSI without check digits: libzint's modulo-10 check is the Luhn
        // form, ours the plain digit sums (pinned elsewhere).
        {"CMsi", "123456", FALSE, BARCODE_MSI_PLESSEY, 0},
        {"CMsi", "0987654321", FALSE, BARCODE_MSI_PLESSEY, 0},
        {"CPlessey", "123456", TRUE, BARCODE_PLESSEY, 0},
        {"CPlessey", "0", TRUE, BARCODE_PLESSEY, 0},
        {"CPlessey", "1", TRUE, BARCODE_PLESSEY, 0},
        {"CPlessey", "ABCDEF0123456789", TRUE, BARCODE_PLESSEY, 0},
        {"CTelepen", "Telepen", TRUE, BARCODE_TELEPEN, 0},
        {"CTelepen", "Hello, World! ~{|}", TRUE, BARCODE_TELEPEN, 0},
        {"CTelepen", "A", TRUE, BARCODE_TELEPEN, 0},
        {"CTelepen", "\x01\x7f 0123456789", TRUE, BARCODE_TELEPEN, 0},
        {"CTelepenNumeric", "123456", TRUE, BARCODE_TELEPEN_NUM, 0},
        {"CTelepenNumeric", "00998877", TRUE, BARCODE_TELEPEN_NUM, 0},
        {"CTelepenNumeric", "12345X", TRUE, BARCODE_TELEPEN_NUM, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " \"" + c.data + "\"");
        const std::unique_ptr<CBarcode> ours =
            Make(c.className, QString::fromLatin1(c.data), c.check);
        ASSERT_NE(ours, nullptr);
        ASSERT_FALSE(ours->IsShowingInvalid());
        const std::unique_ptr<ZintSymbol> zint = Zint(c.symbology, c.data, c.option2);
        if (!zint) {
            ADD_FAILURE() << "libzint refused the data";
            continue;
        }
        std::string mine = OurElements(*ours);
        if (c.symbology == BARCODE_PLESSEY) {
            // Our stop character begins with a bar twice the wide width;
            // libzint's with a wide one.
            const std::size_t stop = mine.size() - 9;
            EXPECT_EQ(mine.substr(stop), "dwnwnnwnw");
            mine[stop] = 'w';
        }
        EXPECT_EQ(mine, ZintElements(*zint));
    }
}

TEST_F(BarcodeFixture, PostalSymbolsMatchLibzintBarForBar)
{
    struct Case
    {
        const char* className;
        const char* data;
        int symbology;
        const char* zintData;
    };
    const Case cases[] = {
        {"CPostnet", "12345", BARCODE_POSTNET, "12345"},
        {"CPostnet", "12345 6789", BARCODE_POSTNET, "123456789"},
        {"CPostnet", "12345678901", BARCODE_POSTNET, "12345678901"},
        {"CRoyalMail", "LU178XE", BARCODE_RM4SCC, "LU178XE"},
        {"CRoyalMail", "sn34 rd1a", BARCODE_RM4SCC, "SN34RD1A"},
        {"CRoyalMail", "0123456789ABCDEFGHIJKLMNO", BARCODE_RM4SCC, "0123456789ABCDEFGHIJKLMNO"},
        {"CRoyalMail", "PQRSTUVWXYZ", BARCODE_RM4SCC, "PQRSTUVWXYZ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " \"" + c.data + "\"");
        const std::unique_ptr<CBarcode> ours = Make(c.className, QString::fromLatin1(c.data));
        ASSERT_NE(ours, nullptr);
        ASSERT_FALSE(ours->IsShowingInvalid());
        const std::unique_ptr<ZintSymbol> zint = Zint(c.symbology, c.zintData);
        ASSERT_NE(zint, nullptr);
        std::vector<int> mine;
        for (BYTE state : ours->m_pattern) {
            if (c.symbology == BARCODE_POSTNET)
                mine.push_back(state == CPostnet::kFull ? 3 : 2);
            else
                mine.push_back(int(state) == CRoyalMail::kTracker ? 0 : int(state));
        }
        // A libzint Postnet half bar stands on the bottom row; every bar
        // reaches it.
        EXPECT_EQ(mine, ZintStates(*zint));
    }
}

TEST_F(BarcodeFixture, PostalSymbolsHaveTheirFixedSizeWhateverTheStyleAndHeight)
{
    for (const int dpi : {203, 300, 600}) {
        CBarcode::SetResolutionOverride(dpi);
        auto dots = [dpi](int hundredThousandths) {
            return int((static_cast<long long>(dpi) * hundredThousandths + 49999) / 100000);
        };
        const std::unique_ptr<CBarcode> postnet = Make("CPostnet", QStringLiteral("12345 6789"));
        ASSERT_FALSE(postnet->IsShowingInvalid());
        // Nine digits and the check digit, five bars each, and the two frame
        // bars.
        ASSERT_EQ(postnet->m_pattern.size(), 52u);
        EXPECT_EQ(postnet->m_checkChars, QStringLiteral("5"));
        EXPECT_EQ(postnet->m_bitmap.width(), 52 * dots(2000) + 51 * dots(2600));
        EXPECT_EQ(postnet->m_bitmap.height(), dots(12500));
        const std::unique_ptr<CBarcode> royal = Make("CRoyalMail", QStringLiteral("LU178XE"));
        EXPECT_EQ(royal->m_bitmap.height(), dots(5000) + 2 * dots(7500));
        for (CBarcode* postal : {postnet.get(), royal.get()}) {
            const QSize before = postal->m_bitmap.size();
            postal->m_height = 400;
            postal->Regenerate();
            EXPECT_EQ(postal->m_bitmap.size(), before);
            for (int handle = 1; handle <= 8; ++handle)
                EXPECT_FALSE(postal->IsHandleEnabled(handle));
            postal->RecalcPosition(nullptr);
            EXPECT_TRUE(postal->m_textRect.IsEmpty()) << "no human-readable line";
        }
    }
    CBarcode::SetResolutionOverride(0);
}

// A retail symbol and its add-on as drawn, module for module against
// libzint: the light gap between them is 9 modules after UPC-A (the
// standard's least for UPC-A) and 8 after EAN-13 (libzint told to use 8).
TEST_F(BarcodeFixture, RetailSymbolsWithAddOnMatchLibzintModuleForModule)
{
    struct Case
    {
        int symbology;
        const char* data;
        int addOn;
        int zintSymbology;
        const char* zintData;
        int gap; // libzint's add-on gap, 0 its default
    };
    const Case cases[] = {
        {SYM_UPCA, "0360002914590000", 5, BARCODE_UPCA, "03600029145+90000", 0},
        {SYM_UPCA, "7234567890312", 2, BARCODE_UPCA, "72345678903+12", 0},
        {SYM_EAN13, "50123456789012", 2, BARCODE_EANX, "501234567890+12", 8},
        {SYM_EAN13, "40063813339351234", 5, BARCODE_EANX, "400638133393+51234", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        std::unique_ptr<CBarcode> ours =
            c.symbology == SYM_UPCA ? std::unique_ptr<CBarcode>(std::make_unique<CUpcA>())
                                    : std::unique_ptr<CBarcode>(std::make_unique<CEan13>());
        ASSERT_TRUE(ours->SetAddOnDigits(c.addOn));
        ours->m_data = QString::fromLatin1(c.data);
        ours->ComputeLayout();
        ours->Regenerate();
        ASSERT_FALSE(ours->IsShowingInvalid());
        const int border = 100;
        const QImage page = Render(*ours, border);
        ASSERT_FALSE(page.isNull());
        // A row 2.5 mm above the bars' bottom crosses the short bars of the
        // main symbol and the add-on's bars, and no digit.
        const int y = RoundHalfUp((ours->m_barRect.bottom - ours->m_bounds.top + border - 25) *
                                  600.0 / 254.0);
        ASSERT_GT(y, 0);
        ASSERT_LT(y, page.height());
        const uchar* row = page.constScanLine(y);
        int first = -1;
        int last = -1;
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] < 128) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        ASSERT_GE(first, 0);
        // EAN 100% at 600 dpi: 8 dots a module. Every run must be whole
        // modules.
        const int module = ours->m_elementWidths[4];
        ASSERT_EQ(module, 8);
        std::string mine;
        int run = 0;
        for (int x = first; x <= last + 1; ++x) {
            const bool black = x <= last && row[x] < 128;
            const bool previous = row[x - (x > first ? 1 : 0)] < 128;
            if (x > first && (x > last || black != previous)) {
                EXPECT_EQ(run % module, 0) << "a run of " << run << " dots at " << x;
                mine += std::string(std::size_t((run + module / 2) / module), previous ? '1' : '0');
                run = 0;
            }
            ++run;
        }
        auto zint = std::make_unique<ZintSymbol>();
        zint->symbol->symbology = c.zintSymbology;
        zint->symbol->option_2 = c.gap;
        ASSERT_LT(ZBarcode_Encode(zint->symbol, reinterpret_cast<const unsigned char*>(c.zintData),
                                  int(strlen(c.zintData))),
                  ZINT_ERROR);
        std::string theirs;
        for (int x = 0; x < zint->symbol->width; ++x)
            theirs += zint->IsSet(0, x) ? '1' : '0';
        EXPECT_EQ(mine, theirs);
        const std::string gap(std::size_t(c.symbology == SYM_UPCA ? 9 : 8), '0');
        EXPECT_NE(mine.find("101" + gap + "1011"), std::string::npos);
    }
}
