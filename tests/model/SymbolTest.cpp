// Symbols: the angle and the turned bounds, the handles, drawing with and
// without the background, resizing, the record and the text export.
#include "Symbol.h"
#include "AppContext.h"
#include "DC.h"
#include "Damage.h"
#include "LogFont.h"
#include "TestElements.h"
#include "TestSupport.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

QByteArray Store(CObject& object)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    object.Serialize(ar);
    return bytes;
}

class SymbolTest : public RealElementTest
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RealElementTest::SetUp();
        // The symbol font of these tests: a face every machine has.
        CSymbolDefaults::Current().font.lfFaceName = QStringLiteral("Liberation Sans");
    }

    static std::unique_ptr<CSymbol> Placed(int x, int y, const QString& character = "A")
    {
        auto symbol = std::make_unique<CSymbol>();
        symbol->SetSampleData(nullptr, character);
        symbol->BeginCreate(nullptr, x, y);
        return symbol;
    }
};

TEST_F(SymbolTest, NewSymbolsStartFromTheSymbolDefaults)
{
    CSymbolDefaults& d = CSymbolDefaults::Current();
    d = CSymbolDefaults();
    EXPECT_EQ(d.font.lfFaceName, "Tabrel Symbol 1");
    EXPECT_EQ(d.font.lfHeight, 94);
    d.symbolColour = MakeRGB(0, 128, 0);
    d.colouredBackground = 1;
    d.backgroundColour = MakeRGB(255, 255, 0);
    CSymbol symbol;
    EXPECT_EQ(symbol.TextBase().GetFont().GetFaceName(), "Tabrel Symbol 1");
    EXPECT_EQ(symbol.TextBase().GetFont().GetHeight(), 94);
    EXPECT_EQ(symbol.TextBase().GetColour(), MakeRGB(0, 128, 0));
    EXPECT_EQ(symbol.m_colouredBackground, 1);
    EXPECT_EQ(symbol.m_backgroundColour, MakeRGB(255, 255, 0));
    EXPECT_TRUE(symbol.m_symbolText.isEmpty());
    // The default face is drawn with the free symbol font, or, where that
    // is missing, with a face that is installed: never with nothing.
    EXPECT_EQ(CDC::SubstituteFaceName("Tabrel Symbol 1"), "Symbola");
    EXPECT_FALSE(CPrinterFontMetrics::ResolveFace("Tabrel Symbol 1").isEmpty());
}

// The frame is the unturned cell; the bounds hold it turned clockwise about
// its top-left corner by the display angle.
TEST_F(SymbolTest, TheAngleTurnsTheFrameAboutItsCorner)
{
    auto symbol = Placed(1000, 1000, "M");
    const int w = symbol->Frame().Width();
    const int h = symbol->Frame().Height();
    ASSERT_GT(w, 0);
    ASSERT_EQ(h, symbol->TextBase().GetFont().GetHeight());
    struct
    {
        int angle;
        int storedOrientation; // counter-clockwise tenths
        CRect bounds;
    } const cases[] = {
        {0, 0, {1000, 1000, 1000 + w, 1000 + h}},
        {90, 2700, {1000 - h, 1000, 1000, 1000 + w}},
        {180, 1800, {1000 - w, 1000 - h, 1000, 1000}},
        {270, 900, {1000, 1000 - w, 1000 + h, 1000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        symbol->SetAngle(nullptr, c.angle);
        EXPECT_EQ(symbol->TextBase().GetFont().GetLogFont().lfOrientation, c.storedOrientation);
        EXPECT_EQ(symbol->GetAngle(), c.angle);
        EXPECT_EQ(symbol->m_orientation, c.angle);
        EXPECT_EQ(symbol->m_bounds, c.bounds);
        EXPECT_EQ(symbol->Frame(), CRect(1000, 1000, 1000 + w, 1000 + h));
    }
}

// Drawn at each quarter turn, the ink stays inside the bounds and the
// coloured background fills them.
TEST_F(SymbolTest, DrawnTurnedTheInkAndBackgroundStayInTheBounds)
{
    for (int angle : {0, 90, 180, 270}) {
        SCOPED_TRACE(angle);
        auto symbol = Placed(100, 100, "L");
        symbol->SetAngle(nullptr, angle);
        symbol->SetColour(nullptr, 0);
        QImage plain = Render(*symbol, 220, 220);
        const CRect ink = InkBounds(plain);
        const CRect b = symbol->m_bounds;
        EXPECT_GE(ink.left, b.left - 1);
        EXPECT_GE(ink.top, b.top - 1);
        EXPECT_LE(ink.right, b.right);
        EXPECT_LE(ink.bottom, b.bottom);
        // The "L" shows which way the symbol stands: upright its ink leans
        // to the left (the stem) and the bottom (the foot) of its cell, and
        // that lean turns with the angle.
        double sx = 0, sy = 0, n = 0;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                if (qGray(plain.pixel(x, y)) < 128) {
                    sx += x + 0.5;
                    sy += y + 0.5;
                    ++n;
                }
            }
        }
        ASSERT_GT(n, 0);
        const double dx = sx / n - (b.left + b.right) / 2.0;
        const double dy = sy / n - (b.top + b.bottom) / 2.0;
        const int lean[4][2] = {{-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
        EXPECT_EQ(dx < 0 ? -1 : 1, lean[angle / 90][0]) << dx;
        EXPECT_EQ(dy < 0 ? -1 : 1, lean[angle / 90][1]) << dy;
        symbol->SetBackground(nullptr, TRUE, MakeRGB(0, 0, 255));
        const QImage filled = Render(*symbol, 220, 220);
        const QColor centre = QColor(filled.pixel((b.left + b.right) / 2, (b.top + b.bottom) / 2));
        EXPECT_TRUE(centre == QColor(0, 0, 255) || qGray(centre.rgb()) < 60);
        EXPECT_TRUE(IsWhite(filled, b.left - 3, b.top - 3));
        EXPECT_TRUE(IsWhite(filled, b.right + 3, b.bottom + 3));
    }
}

TEST_F(SymbolTest, OnlyTheCornerHandlesDrag)
{
    CSymbol symbol;
    const bool expected[8] = {true, false, true, false, true, false, true, false};
    for (int handle = 0; handle < 8; ++handle)
        EXPECT_EQ(symbol.IsHandleEnabled(handle) != 0, expected[handle]) << handle;
}

TEST_F(SymbolTest, ResizingScalesTheFontAcrossTheText)
{
    auto symbol = Placed(100, 100, "W");
    const int height = symbol->TextBase().GetFont().GetHeight();
    symbol->m_startRect = symbol->m_bounds;
    symbol->m_trackRect = CRect(100, 100, symbol->m_bounds.right, 100 + 2 * height);
    symbol->ApplyTrackRect(nullptr);
    EXPECT_EQ(symbol->TextBase().GetFont().GetHeight(), 2 * height);
    EXPECT_EQ(symbol->TextBase().GetOrigin(), CPoint(100, 100));

    // Turned a quarter, the width is across the text.
    symbol->SetBounds(nullptr, CRect(300, 300, 300 + height, 600));
    symbol->SetAngle(nullptr, 90);
    symbol->SetBounds(nullptr, CRect(300, 300, 300 + height, 600));
    EXPECT_EQ(symbol->TextBase().GetFont().GetHeight(), height);
    EXPECT_EQ(symbol->TextBase().GetOrigin(), CPoint(300 + height, 300));
    EXPECT_EQ(symbol->GetAngle(), 90);
}

TEST_F(SymbolTest, RecordRoundTripIsByteExact)
{
    auto symbol = Placed(120, 340, "%");
    symbol->m_name = "Star";
    symbol->SetAngle(nullptr, 270);
    symbol->SetColour(nullptr, MakeRGB(1, 2, 3));
    symbol->SetBackground(nullptr, TRUE, MakeRGB(4, 5, 6));
    const QByteArray bytes = Store(*symbol);
    CArchive ar(const_cast<QByteArray*>(&bytes), CArchive::load);
    CSymbol loaded;
    loaded.Serialize(ar);
    EXPECT_EQ(ar.BytesRemaining(), 0);
    EXPECT_EQ(Store(loaded), bytes);
    EXPECT_EQ(loaded.m_name, "Star");
    EXPECT_EQ(loaded.GetText(), "%");
    EXPECT_EQ(loaded.GetSampleData(), "%");
    EXPECT_EQ(loaded.GetAngle(), 270);
    EXPECT_EQ(loaded.TextBase().GetColour(), MakeRGB(1, 2, 3));
    EXPECT_EQ(loaded.m_colouredBackground, 1);
    EXPECT_EQ(loaded.m_backgroundColour, MakeRGB(4, 5, 6));
    EXPECT_EQ(loaded.m_bounds, symbol->m_bounds);

    std::unique_ptr<CElement> copy(CloneElement(symbol.get()));
    ASSERT_NE(dynamic_cast<CSymbol*>(copy.get()), nullptr);
    EXPECT_EQ(Store(*copy), bytes);
}

TEST_F(SymbolTest, DamagedRecordsReadSafely)
{
    auto symbol = Placed(120, 340, "#");
    symbol->SetAngle(nullptr, 90);
    const QByteArray seed = Store(*symbol);
    std::mt19937 rng(1108);
    for (int i = 0; i < 500; ++i) {
        QByteArray bytes = DamagedCopy(seed, rng);
        CArchive ar(&bytes, CArchive::load);
        CSymbol loaded;
        try {
            loaded.Serialize(ar);
        } catch (const CArchiveException&) {
            continue;
        }
        EXPECT_TRUE(loaded.TextBase().OwnsFont());
        const CPoint p = loaded.TextBase().GetOrigin();
        EXPECT_LE(std::abs(p.x), CSymbol::kMaxStoredCoordinate);
        EXPECT_LE(std::abs(p.y), CSymbol::kMaxStoredCoordinate);
        EXPECT_GE(loaded.GetAngle(), 0);
        EXPECT_LT(loaded.GetAngle(), 360);
        const QByteArray again = Store(loaded);
        CArchive ar2(const_cast<QByteArray*>(&again), CArchive::load);
        CSymbol reread;
        reread.Serialize(ar2);
        EXPECT_EQ(Store(reread), again);
    }
}

TEST_F(SymbolTest, DataTextShowsUntilDataEntryEnds)
{
    auto symbol = Placed(0, 0, "!");
    symbol->m_dataSource = SOURCE_KEYBOARD;
    symbol->SetDataText(QStringLiteral("?"), SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(symbol->GetText(), "?");
    EXPECT_EQ(symbol->GetSampleData(), "!");
    symbol->EndDataEntry();
    EXPECT_EQ(symbol->GetText(), "!");
}

TEST_F(SymbolTest, TextExportWritesTheSymbolBlock)
{
    auto symbol = Placed(25, 35, "&");
    symbol->SetAngle(nullptr, 180);
    QByteArray out;
    {
        CTextExportFile file(&out);
        symbol->WriteXml(file);
    }
    const QString text = QString::fromLatin1(out);
    EXPECT_TRUE(text.startsWith("  <text>\r\n\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("    <position units=\"TMM\" x=\"25\" y=\"35\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <angle=\"180\"/>\r\n"));
    EXPECT_TRUE(text.contains("    <sample-data>&amp;</sample-data>\r\n"));
    EXPECT_TRUE(text.endsWith("\r\n  </text>\r\n\r\n"));
}

} // namespace
