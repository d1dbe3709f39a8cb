// The text element: a block of plain or marked-up text with one default
// font, a text colour, an optional coloured background, an optional frame
// box and bullet list, alignment inside a format rectangle, line spacing and
// a line limit. With copy-fit on, the font size is chosen and the words are
// wrapped so that the text fills the format rectangle (CopyFit.cpp).
//
// The text as shown is kept three ways: the displayed text (lines joined
// with LF, data rules applied), the working rich text whose runs the lines
// are drawn with, and the laid-out lines themselves. The sample text is the
// mark-up as typed in design, with its parsed rich text.
//
// Geometry: the position is the top-left of the text block before it is
// aligned and the centre it turns about. The format rectangle's size is what
// counts: it stands at the position, and the whole block turns with the
// font's orientation about the position. Units are tenths of a millimetre.
#pragma once

#include "Element.h"
#include "LogFont.h"
#include "RichText.h"
#include "RichTextLine.h"
#include "TextBase.h"

#include <QString>

#include <memory>
#include <vector>

class CBox;

// Horizontal and vertical justification of a text element.
enum TextJustify : int
{
    JUSTIFY_LEFT = 0,
    JUSTIFY_CENTRE = 1,
    JUSTIFY_RIGHT = 2,
    JUSTIFY_BLOCK_CENTRE = 3, // the block centred, its lines left-aligned
    JUSTIFY_TOP = 0,
    JUSTIFY_MIDDLE = 1,
    JUSTIFY_BOTTOM = 2,
};

// Line-space modes of a text element.
enum LineSpaceMode : int
{
    LINESPACE_OWN = 0,     // each line's own height
    LINESPACE_PERCENT = 1, // a percentage of the font's line height
    LINESPACE_PER_INCH = 2,
};

constexpr int kTextContextMenu = 128;

// What the text export writes of a bullet list.
struct CBulletSettings
{
    int style = 0; // 0 symbol, 1 decimal, 2 and 3 letters, 4 and 5 roman numerals
    int symbol = 0;
    QString prefix;
    QString suffix;
    int startValue = 1;
    int offset = 0;
    int relativeSize = 100;
};

// The bullet or numbering list in front of a text's paragraphs, as the text
// element uses it: laid out for a number of paragraphs at given line
// positions, measured for the indent it needs, turned, drawn and archived
// inside the text's record. The bullet list class implements it and makes
// itself known with RegisterTextBullets.
class CTextBullets : public CTextBase
{
public:
    virtual CTextBullets* Clone() const = 0;
    // One item per paragraph, sized for the text height; placed at the
    // positions when they are given (one per item).
    virtual BOOL Layout(int count, const std::vector<CPoint>* positions, int textHeight) = 0;
    // Offset plus the widest item; 0 without items.
    virtual int GetIndent() const = 0;
    virtual void Clear() = 0;
    // Turns every item's place about the centre, clockwise degrees.
    virtual void RotateItems(CPoint centre, int degrees) = 0;
    virtual void DrawItems(CDC* dc) = 0;
    virtual CBulletSettings GetSettings() const = 0;
};

// Makes a new bullet list with the defaults for new lists.
using TextBulletFactory = CTextBullets* (*)();
void RegisterTextBullets(TextBulletFactory make);

class CText : public CElement
{
    DECLARE_PERSISTENT(CText)

public:
    // A text with the settings for new text and the sample text.
    CText();
    // Copies everything; the lines are made again from the other's lines.
    CText(const CText& other);
    CText& operator=(const CText& other);
    ~CText() override;

    void Serialize(CArchive& ar) override;

    // --- element operations ----------------------------------------------------
    void BeginCreate(CView* view, int x, int y) override;
    void TrackCreate(CView* view, int x, int y, BOOL constrain) override;
    void EndCreate(CView* view, unsigned flags) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    BOOL KeepsAspectRatio() const override;
    void ConstrainAspect() override;
    void ApplyTrackRect(CView* view) override;
    void Rotate(CView* view) override;
    void RotateAbout(CView* view, CPoint centre) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetContextMenuId() const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    // The final flag says the data is complete: only then does copy-fit
    // search for the size; while data is typed the words wrap as they come.
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL final) override;
    void BeginDataEntry() override;
    void EndDataEntry() override;
    QString GetDataText(BOOL sampleOnly) override;
    int GetProgressWeight() const override;
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
    BOOL GetFill(COLORREF& colour) const override;
    BOOL GetOutlineColour(COLORREF& colour) const override;
    BOOL GetBulletColour(COLORREF& colour) const override;
    void CopyColoursFrom(const CElement* element) override;
    void SetBounds(CView* view, const CRect& bounds) override;
    void Refresh() override;

    // --- text operations -------------------------------------------------------
    // The text-frame tool's start: copy-fit on, nothing laid out yet.
    void BeginCreateFrame(CView* view, int x, int y);
    // Lays the text out; copy-fit searches for the size unless told to skip
    // it. A null view lays out without repainting.
    void Reformat(CView* view, BOOL skipCopyFit);
    // The displayed text from a value: data rules applied, cut into lines
    // and joined again with LF.
    void SetTextFromLines(const QString& text);
    // Cuts the text into lines at its line breaks (a pair of two different
    // break characters is one break); see the copy-fit rules for joining.
    void SplitLines(const QString& text);
    // Grows the format rectangle to hold at least one line.
    void GrowFrameToFit();
    // Paragraphs: LF characters not after another LF, plus one for a text
    // that does not end with LF; 0 for an empty text.
    int CountParagraphs() const;
    // The distance from line i to the next, by the line-space mode.
    int GetLineSpacing(int line) const;
    // Clockwise degrees the text is turned by (from the font's orientation).
    int GetAngle() const;
    // A copy of the box, or a new one with the defaults for boxes.
    void SetFrameBox(const CBox* box);
    void RemoveFrameBox();
    // A copy of the list, or a new one with the defaults for bullet lists
    // (none when no bullet list class is registered).
    void SetBullets(const CTextBullets* bullets);
    void RemoveBullets();

    // --- copy-fit and word wrap (CopyFit.cpp) -------------------------------------
    // The largest allowed height between the minimum and maximum at which
    // the wrapped text fits the format rectangle; leaves the font at it and
    // the lines wrapped.
    void CopyFit();
    // Wraps the whole text at the current font height; TRUE when it fits
    // the rectangle's width and height (and the line limit).
    BOOL TryFit(const CRect& rect);
    // Index in the line of the space to break at, or -1: the last space
    // that is not a non-breaking one.
    int FindWrapPoint(int line) const;
    // The cheap wrap while data is typed: the size stays.
    void WrapAsTyped();
    // -1: every non-empty line; else the one line, when it is not empty and
    // not yet listed.
    void MarkBulletLines(int from);

    // The format rectangle where it stands: at the position, with its size.
    CRect GetPlacedFormatRect() const;

    // --- fields, in declaration order ---------------------------------------
    CPoint m_position;
    QString m_text; // as displayed: lines joined with LF
    CRichText m_richText;
    CRect m_textRect;
    std::vector<std::unique_ptr<CTextLines>> m_lines;
    std::vector<DWORD> m_lineStarts; // index in the text of each line's first character
    CLogFont m_font;                 // its orientation is the element's rotation
    BOOL m_colouredBackground = 0;
    COLORREF m_textColour = 0;
    COLORREF m_backgroundColour = MakeRGB(255, 255, 255);
    BOOL m_forceSpellCheck = 0;
    CRect m_formatRect;
    int m_horzJustify = JUSTIFY_LEFT;
    int m_vertJustify = JUSTIFY_TOP;
    BOOL m_copyFit = 0;
    int m_minHeight = 5; // copy-fit's range as font heights
    int m_maxHeight = 568;
    int m_lineSpaceMode = LINESPACE_OWN;
    int m_lineSpaceAmount = 100;
    BOOL m_preserveBreaks = 1;
    int m_maxLines = -1; // -1: unlimited
    std::unique_ptr<CBox> m_frameBox;
    CRect m_frameRect;
    int m_horzMargin = 0;
    int m_vertMargin = 0;
    std::unique_ptr<CTextBullets> m_bullets;
    std::vector<DWORD> m_bulletLines; // lines that begin a bulleted paragraph
    QString m_sampleText;             // the mark-up as typed in design
    CRichText m_sampleRichText;

private:
    void CopyFrom(const CText& other);
    // Empties the lines; InsertLine adds an empty one that starts at the
    // text index, with the working runs from there.
    void ClearLines();
    CTextLines& InsertLine(int index, int start, const QString& text = QString());
    // The runs, lines and copy-fit range after the font changed.
    void ApplyFont();
    // Parses the sample mark-up again and shows the sample text.
    void ShowSample();
    int StartOffset() const { return static_cast<int>(m_prefix.size()); }
    void DrawBackground(CDC* dc) const;
    // The frame box laid around the rectangle and turned with the text.
    void PlaceFrame(const CRect& around);
};

// The element copy for the text type code; null for an element that is not
// a text.
CElement* CopyTextElement(const CElement& element);
