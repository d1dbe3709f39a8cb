// The small text object that every element with visible text builds on: a
// string, the font record it is drawn with (owned, or borrowed from another
// object), a colour, a drawing origin and the spacing array that makes the
// drawn text match the printer-measured widths of the font record.
//
// Text is single-byte: characters that Windows-1252 lacks are held as "?",
// as the sign file would hold them. Positions are tenths of a millimetre,
// widths from GetTextWidth hundredths.
#pragma once

#include "AppContext.h"
#include "LogFont.h"
#include "Object.h"
#include "Types.h"

#include <QString>

#include <memory>
#include <vector>

class CArchive;
class CDC;

// The application's settings for new text: the font and colour a text base
// takes when it is given no font.
struct CTextDefaults
{
    CLogFont font;
    COLORREF colour = 0;

    static CTextDefaults& Current() { return App().Get<CTextDefaults>(); }
};

class CTextBase : public CObject
{
    DECLARE_PERSISTENT(CTextBase)

public:
    // Owns a copy of the default text font; empty text; default colour.
    CTextBase();
    // Borrows the font (which must outlive this object, or be replaced with
    // SetFont first); a null font gives an owned default one.
    explicit CTextBase(const CLogFont* font, const QString& text = QString());
    // An owned font is copied, a borrowed one stays borrowed.
    CTextBase(const CTextBase& other);
    CTextBase& operator=(const CTextBase& other);
    ~CTextBase() override;

    // --- font ----------------------------------------------------------------
    BOOL OwnsFont() const { return m_ownsFont; }
    const CLogFont& GetFont() const { return *m_font; }
    // The LOGFONT Draw selects for an owned font.
    const LogFontFields& GetGdiFont() const { return m_gdiFont; }
    // Owns a copy of the given record, or of the default text font.
    void CreateOwnFont(const CLogFont* font = nullptr);
    // Owned font: snaps and stores the height; returns the font's height.
    // Borrowed: changes nothing and returns the argument.
    int SetHeight(int height);
    // Owned font: the height for the points; returns the font's height.
    int SetPointSize(double points);
    // Owned font only: clockwise degrees.
    void SetRotation(int degrees);
    // Borrowed: borrows the given record instead; owned: copies it.
    void SetFont(const CLogFont* font);
    // Owned font only.
    void SetLogFont(const LogFontFields& lf);

    // --- text ----------------------------------------------------------------
    // Returns the length of the text held afterwards; the same text again
    // changes nothing.
    int SetText(const QString& text);
    QString GetText() const { return m_text; }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    // Inserts before position (-1 or past the end: appends).
    void InsertChar(QChar c, int position = -1);
    // TRUE when at least one leading "0" went.
    BOOL StripLeadingZeros();
    // Keeps the decimal digits only; TRUE when that changed the text.
    BOOL KeepDigitsOnly();
    // The number the text's digits make, other characters skipped.
    int GetNumber() const;

    CPoint GetOrigin() const { return CPoint(m_x, m_y); }
    void SetOrigin(int x, int y)
    {
        m_x = x;
        m_y = y;
    }
    COLORREF GetColour() const { return m_colour; }
    void SetColour(COLORREF colour) { m_colour = colour; }
    // Advance of each character in tenths of a millimetre, kerning included.
    const std::vector<int>& GetAdvances() const { return m_advances; }
    // Measures the advances again (after the borrowed font changed).
    void RecalcKerning();

    // --- measuring and drawing -------------------------------------------------
    // Width of the first count characters (-1: all), hundredths of a millimetre.
    int GetTextWidth(int count = -1) const;
    // The ink extent of the text (or of the given one) drawn upright at
    // (0, 0): left 0, right width - 1, and the first and last rows with ink
    // as top and bottom (all in tenths of a millimetre, inclusive). FALSE when
    // there is nothing to draw on (an empty text).
    BOOL MeasureText(CRect& rect, const QString* text = nullptr) const;
    // Draws the text with its cell's top-left at the origin in the caller's
    // tenths-of-a-millimetre mapping. An owned font is selected with the
    // colour; with a borrowed one the caller has selected font and colour.
    void Draw(CDC* dc) const;

    void Serialize(CArchive& ar) override;

private:
    void MakeGdiFont();

    BOOL m_ownsFont = TRUE;
    std::unique_ptr<CLogFont> m_ownedFont; // also keeps a loaded placeholder until SetFont
    const CLogFont* m_font = nullptr;      // never null
    LogFontFields m_gdiFont;
    QString m_text;
    int m_x = 0;
    int m_y = 0;
    std::vector<int> m_advances;
    COLORREF m_colour = 0;
};
