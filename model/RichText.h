// The mark-up of a text element parsed into plain text, the tags that were
// recognised and the font runs that follow from them.
//
// The mark-up is a small HTML-like language:
//   <font face="Name">  <font size="12">  <font size="+50">  <font colour="#RRGGBB">
//   </font>  <b> </b>  <i> </i>  <u> </u>  <sup> </sup>  <sub> </sub>  &nbsp;  <br>
// Tag names and "&nbsp;" are case-insensitive. A size that begins with "+" or
// "-" is a percentage of the default size. "<br>" becomes one LF and records
// nothing; "&nbsp;" becomes a space that word wrapping must not break at.
// Malformed mark-up is never an error: an unrecognised or unterminated tag or
// entity stays in the text as plain characters.
//
// Positions count characters of the plain text, except that a pair of two
// different line-break characters (LF, VT, FF, CR) counts as one (CountChars);
// they include the start offset given to Parse. A run is a stretch of text
// drawn with one font record, colour and super/subscript state; runs hold
// their font records through shared pointers, so the run copies a line takes
// (GetRunsFrom) keep the records alive even when the runs are rebuilt.
#pragma once

#include "LogFont.h"
#include "LogFontFields.h"
#include "Object.h"
#include "Types.h"

#include <QString>

#include <memory>
#include <vector>

class CArchive;

// One recognised tag and the position where it takes effect.
struct CRichTag
{
    // The low seven bits of the kind.
    enum Kind : BYTE
    {
        Face = 0,
        Size = 1,
        Colour = 2,
        Bold = 3,
        Italic = 4,
        Underline = 5,
        Superscript = 6,
        Subscript = 7,
        Nbsp = 8,
    };
    static constexpr BYTE kOpening = 0x80;
    static constexpr BYTE kKindMask = 0x7F;

    int position = 0;
    BYTE kind = 0; // kOpening | Kind, or the Kind alone for a closing tag
    QString value; // the attribute value of an opening font tag
    int match = 0; // a closing font tag: index of the opening tag it closes

    bool IsOpening() const { return (kind & kOpening) != 0; }
    BYTE BaseKind() const { return kind & kKindMask; }
    bool IsFontKind() const { return BaseKind() <= Colour; }
    bool operator==(const CRichTag&) const = default;
};

// A stretch of text with one font, colour and super/subscript state.
// Copies share the font record.
struct CFontRun
{
    int start = 0;
    COLORREF colour = 0;
    BOOL superscript = FALSE;
    BOOL subscript = FALSE;
    std::shared_ptr<const CLogFont> font;
    LogFontFields gdiFont; // what drawing selects: the record's drawing font

    const CLogFont& GetFont() const { return *font; }
};

class CRichText : public CObject
{
public:
    // Tags beyond this many stay in the text as plain characters, so that
    // hostile mark-up cannot make thousands of measured fonts.
    static constexpr int kMaxTags = 1000;

    CRichText() = default;
    // Deep copies: the copy gets records of its own.
    CRichText(const CRichText& other);
    CRichText& operator=(const CRichText& other);
    ~CRichText() override;

    // --- building --------------------------------------------------------
    // Appends a run at 0 with the colour and a copy of the record (the text
    // element seeds its default run this way).
    void AddRun(const CLogFont& font, COLORREF colour);
    // Strips the mark-up from the text, fills the tags and rebuilds the runs.
    // The text becomes single-byte (what Windows-1252 lacks becomes "?").
    // Tag positions are counted from startOffset.
    void Parse(QString& text, int startOffset, const CLogFont& defaultFont, COLORREF defaultColour);
    // Rebuilds the runs from the tags with another default.
    void SetDefaultFont(const CLogFont& defaultFont, COLORREF defaultColour);
    void BuildRuns(const CLogFont& defaultFont, COLORREF defaultColour);
    void ClearTags();
    void ClearRuns();

    // --- queries -----------------------------------------------------------
    const std::vector<CRichTag>& GetTags() const { return m_tags; }
    const std::vector<CFontRun>& GetRuns() const { return m_runs; }
    // Copies of the runs from the one in effect at the position (the last
    // whose start is not after it) to the end: the first starts at 0, the
    // others at their start less the position. The copies share the records.
    // Empty when every run starts after the position.
    std::vector<CFontRun> GetRunsFrom(int position) const;
    // TRUE when a non-breaking space sits at the position.
    BOOL IsNbspAt(int position) const;
    // The marked-up text of the plain text with these tags (the inverse of
    // Parse, with the same start offset). Line breaks stay characters.
    QString ToMarkup(const QString& plainText, int offset) const;

    // Characters of the text, a pair of two different line-break characters
    // counting as one.
    static int CountChars(const QString& text);
    static bool IsLineBreak(QChar c)
    {
        return c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
    }

    void Serialize(CArchive& ar) override;

private:
    std::vector<CRichTag> m_tags;
    std::vector<CFontRun> m_runs;
};
