// The price element: a price such as 12.34 drawn as five separately styled
// text parts (primary symbol, whole units, decimal separator, hundredths,
// secondary symbol) placed by a named price format. It can cross the price
// out with one or two diagonal strokes (a "was" price), fill a coloured
// background, turn about its position and fit its parts to a format
// rectangle.
//
// The units and hundredths fields hold the price as designed (the sample);
// the texts of parts 1 and 3 hold what is shown, which data replaces while a
// sign is filled in or printed. Geometry is in tenths of a millimetre: the
// parts are laid out upright at the position and then turned about it; the
// format rectangle counts by its size and stands at the position.
#pragma once

#include "Element.h"
#include "Line.h"
#include "TextBase.h"

#include <QHash>
#include <QString>

#include <array>
#include <utility>

class CPriceFormat;

// The cross-out patterns of a price.
enum PriceCrossOut : int
{
    CROSS_OUT_UPWARD = 0,   // the first stroke only
    CROSS_OUT_DOWNWARD = 1, // the second stroke only
    CROSS_OUT_BOTH = 2,
};

class CPriceField : public CElement
{
    DECLARE_PERSISTENT(CPriceField)

public:
    static constexpr int kPartCount = 5;
    // Digits of the units that a price keeps; a longer number is no price.
    static constexpr int kMaxUnitsDigits = 64;

    // A price with the preferences for new prices, showing 12.34.
    CPriceField();
    CPriceField(const CPriceField& other) = default;
    CPriceField& operator=(const CPriceField& other) = default;
    ~CPriceField() override;

    void Serialize(CArchive& ar) override;

    // --- element operations ----------------------------------------------------
    void BeginCreate(CView* view, int x, int y) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    BOOL KeepsAspectRatio() const override;
    void ApplyTrackRect(CView* view) override;
    void Rotate(CView* view) override;
    void RotateAbout(CView* view, CPoint centre) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL flag) override;
    void BeginDataEntry() override;
    void EndDataEntry() override;
    int GetProgressWeight() const override;
    BOOL GetFont(CLogFont& font) const override;
    void SetFont(CView* view, const CLogFont& font) override;
    QString GetText() const override;
    QString GetSampleData() const override;
    // The price as shown: a price never carries the data rules' prefix and
    // suffix, so nothing is cut off it.
    QString GetEnteredData() const override;
    void SetSampleData(CView* view, const QString& text) override;
    BOOL IsEmpty() const override;
    void WriteXml(CTextExportFile& file) override;
    BOOL GetColour(COLORREF& colour) const override;
    BOOL GetFill(COLORREF& colour) const override;
    BOOL GetCrossOutColour(COLORREF& colour) const override;
    void CopyColoursFrom(const CElement* element) override;
    void SetBounds(CView* view, const CRect& bounds) override;
    // The sample amounts into the parts again, the format rules, layout.
    void Refresh() override;

    // --- price operations --------------------------------------------------------
    // Splits a price text at the first decimal separator: the separator
    // given, or where it is empty or absent the system's monetary one, or
    // the end of the text. The digits before it make the units (other
    // characters are dropped); after it, digits fill the hundredths up to
    // two, and a single digit gets a "0" after it (12.5 gives 12 and 50).
    static void SplitPrice(const QString& text, const QString& separator, QString& units,
                           QString& hundredths);
    // The same with the format's decimal separator.
    void SplitPrice(const QString& text, QString& units, QString& hundredths) const;

    // The format's rules on the hundredths shown (part 3): never shown,
    // always shown, shown only when not zero.
    void ApplyFormat();
    // Lays the parts out; a view is repainted, null lays out quietly.
    void RecalcLayout(CView* view);
    // Parts 1 to 4 in the typeface and style of part 0.
    BOOL HasUniformTypeface() const;

    // The format the price is drawn with: the one of its name in the
    // program's list, the standard format when the list has none of that
    // name. A price sample can be given a working format of its own.
    const CPriceFormat& GetFormat() const;
    QString GetFormatName() const { return m_formatName; }
    // Takes the format's name (null: the standard format), applies the
    // format and lays out.
    void SetFormat(CView* view, const CPriceFormat* format);

    // Turns every part to the angle (clockwise degrees, brought into 0..359)
    // and lays out.
    void SetAngle(CView* view, int degrees);
    int GetAngle() const { return m_angle; }
    // Every part's text colour.
    void SetTextColour(CView* view, COLORREF colour);
    // Both strokes' colour, thickness and end style.
    void SetCrossOutColour(CView* view, COLORREF colour);
    void SetCrossOutLine(CView* view, int thickness, int endStyle);

    CTextBase& Part(int index) { return m_parts[size_t(index)]; }
    const CTextBase& Part(int index) const { return m_parts[size_t(index)]; }
    const CLine& Stroke(int index) const { return m_strokes[size_t(index)]; }
    // The format rectangle where it stands: at the position, with its size.
    CRect GetPlacedFormatRect() const;

    // Digits of a text, and whether they read as zero (empty reads as zero).
    static QString DigitsOf(const QString& text);
    static bool ReadsAsZero(const QString& text);

    // --- fields, in declaration order ---------------------------------------
    CPoint m_position;
    std::array<CTextBase, kPartCount> m_parts;
    CRect m_layoutRect;
    BOOL m_colouredBackground = 0;
    COLORREF m_backgroundColour = MakeRGB(255, 255, 255);
    int m_angle = 0;
    BOOL m_crossOut = 0;
    int m_crossOutPattern = CROSS_OUT_UPWARD;
    std::array<CLine, 2> m_strokes;
    QString m_units = QStringLiteral("12");
    QString m_hundredths = QStringLiteral("34");
    CRect m_formatRect;
    int m_horzJustify = 0; // 0 left, 1 centre, 2 right
    int m_vertJustify = 0; // 0 top, 1 centre, 2 bottom
    BOOL m_copyFit = 0;

protected:
    // A working format that a price sample draws with instead of a listed one.
    const CPriceFormat* m_workingFormat = nullptr;
    // The sample amounts into parts 1 and 3.
    void ShowSampleAmounts();

private:
    QString m_formatName;
    // The ink rows (top, bottom) of texts measured for placing the parts,
    // by font and text: a run of labels changes the amounts, not the fonts,
    // and drawing a text to find its ink is the dearest step of a layout.
    mutable QHash<QString, std::pair<int, int>> m_inkRows;
    std::pair<int, int> InkRows(const CTextBase& part, const QString& text) const;

    // Layout steps: the part texts and heights, the layout rectangle at the
    // position, then the parts placed and turned.
    void SizeParts();
    void GroupUnits();
    void MeasureLayout();
    void JustifyLayout();
    void PlaceParts();
    void PlaceStrokes();
    // The separator the price is split and written with.
    QString DecimalSeparator() const;
    void DrawBackground(CDC* dc) const;
};

// The element copy for the price type code; null for an element that is
// not a price.
CElement* CopyPriceElement(const CElement& element);

// Makes the price element known: its copy for undo and the question whether
// a price format is in use.
void RegisterPriceElement();
