// The arc text element: one line of text set along the circle inscribed in
// a square, beginning at, centred on or ending at a start angle, clockwise
// along the inside of the circle or counter-clockwise above an inner circle
// one font height smaller. The text is rendered once into a picture at the
// printer's resolution, and that picture is what the canvas, the preview and
// the printer show.
//
// Angles are degrees measured clockwise from the positive x axis with y
// pointing down (270 is the top of the circle). Lengths are tenths of a
// millimetre.
#pragma once

#include "Element.h"
#include "LogFont.h"

#include <QImage>
#include <QString>

#include <vector>

// Where the text stands against the start angle.
enum ArcAlignment : int
{
    ARC_ALIGN_START = 0,  // begins at it
    ARC_ALIGN_CENTRE = 1, // is centred on it
    ARC_ALIGN_END = 2,    // ends at it
};

// Which way the text runs.
enum ArcDirection : int
{
    ARC_CLOCKWISE = 0,     // along the outer radius
    ARC_ANTICLOCKWISE = 1, // above the inner radius
};

// One character placed on the circle: the top centre of its cell and its
// turn in clockwise degrees.
struct CArcGlyph
{
    QChar character;
    CPoint point;
    int rotation = 0;
};

// The arc layout of a text, in the circle's own coordinates (its centre at
// the origin, y down).
struct CArcLayout
{
    int radius = 0;       // the radius laid out on, after clamping
    int startAngle = 0;   // the angle the first character starts from
    int sweepDegrees = 0; // the whole text's sweep (0 for alignment 0)
    std::vector<CArcGlyph> glyphs;
};

class CArcText : public CElement
{
    DECLARE_PERSISTENT(CArcText)

public:
    static constexpr int kDefaultStartAngle = 270;
    // The rendered picture holds at most this many pixels; a larger square
    // is rendered at a proportionally lower resolution.
    static constexpr qint64 kMaxPicturePixels = 4'000'000;
    // Stored radii and coordinates beyond these cannot come from a sign.
    static constexpr int kMaxStoredLength = 1 << 20;

    CArcText();
    CArcText(const CArcText& other);
    CArcText& operator=(const CArcText& other);
    ~CArcText() override;

    void Serialize(CArchive& ar) override;

    void BeginCreate(CView* view, int x, int y) override;
    void TrackCreate(CView* view, int x, int y, BOOL constrain) override;
    void EndCreate(CView* view, unsigned flags) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    BOOL KeepsAspectRatio() const override;
    void ApplyTrackRect(CView* view) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetContextMenuId() const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL final) override;
    void BeginDataEntry() override;
    void EndDataEntry() override;
    // The picture is made for the printer: a new printer gets a new one.
    void OnPrinterChanged(CPrinter* printer) override;
    BOOL GetFont(CLogFont& font) const override;
    void SetFont(CView* view, const CLogFont& font) override;
    void Reformat() override;
    QString GetText() const override;
    QString GetSampleData() const override;
    void SetSampleData(CView* view, const QString& text) override;
    BOOL IsEmpty() const override;
    BOOL IsSpellCheckForced() const override;
    void WriteXml(CTextExportFile& file) override;
    BOOL GetColour(COLORREF& colour) const override;
    void CopyColoursFrom(const CElement* element) override;
    void SetBounds(CView* view, const CRect& bounds) override;
    void Refresh() override;

    // Lays a text out along the circle. widths are the characters' widths
    // in tenths of a millimetre (one per character), height the font height.
    // A radius not larger than the font height is laid out on a radius one
    // unit larger than it.
    static CArcLayout Layout(const QString& text, const std::vector<int>& widths, int radius,
                             int height, int startAngle, int alignment, int direction);
    // The layout of this element's displayed text in its font.
    CArcLayout CurrentLayout() const;

    // Renders the displayed text into the picture again.
    void Render();
    const QImage& Picture() const { return m_picture; }
    // The resolution the picture was rendered at (dots per inch).
    double PictureDpi() const { return m_pictureDpi; }

    // --- fields, in declaration order ---------------------------------------
    CRect m_square;
    int m_centreX = 0;
    int m_centreY = 0;
    int m_radius = 0;
    int m_startAngle = kDefaultStartAngle;
    CLogFont m_font;
    int m_alignment = ARC_ALIGN_CENTRE;
    int m_direction = ARC_CLOCKWISE;
    QString m_sampleText;
    QString m_displayedText;
    COLORREF m_colour = 0;
    BOOL m_forceSpellCheck = 0;

private:
    // The square made from centre and radius.
    void SquareFromCircle();
    // Centre and radius from the square; the font is sized to the radius.
    void CircleFromSquare();

    QImage m_picture;
    double m_pictureDpi = 0;
};

// The element copy for the arc text type code; null for another element.
CElement* CopyArcTextElement(const CElement& element);
