#include "TextBase.h"

#include "Archive.h"
#include "Codec1252.h"
#include "DC.h"

#include <climits>

IMPLEMENT_PERSISTENT(CTextBase, CObject, 1)

namespace {

// The text as the sign holds it: one Windows-1252 byte per character.
QString SingleByte(const QString& text)
{
    return FromWindows1252(ToWindows1252(text));
}

} // namespace

CTextBase::CTextBase()
{
    CreateOwnFont();
    m_colour = CTextDefaults::Current().colour;
}

CTextBase::CTextBase(const CLogFont* font, const QString& text)
{
    if (font) {
        m_ownsFont = FALSE;
        m_font = font;
    } else {
        CreateOwnFont();
    }
    m_text = SingleByte(text);
    m_colour = CTextDefaults::Current().colour;
    RecalcKerning();
}

CTextBase::CTextBase(const CTextBase& other)
    : CObject(other), m_ownsFont(other.m_ownsFont), m_font(other.m_font), m_text(other.m_text),
      m_x(other.m_x), m_y(other.m_y), m_colour(other.m_colour)
{
    if (other.m_ownedFont) {
        m_ownedFont = std::make_unique<CLogFont>(*other.m_ownedFont);
        if (other.m_font == other.m_ownedFont.get())
            m_font = m_ownedFont.get();
    }
    MakeGdiFont();
    RecalcKerning();
}

CTextBase& CTextBase::operator=(const CTextBase& other)
{
    if (this == &other)
        return *this;
    m_ownedFont.reset();
    m_ownsFont = other.m_ownsFont;
    m_font = other.m_font;
    if (other.m_ownedFont) {
        m_ownedFont = std::make_unique<CLogFont>(*other.m_ownedFont);
        if (other.m_font == other.m_ownedFont.get())
            m_font = m_ownedFont.get();
    }
    m_text = other.m_text;
    m_x = other.m_x;
    m_y = other.m_y;
    m_colour = other.m_colour;
    MakeGdiFont();
    RecalcKerning();
    return *this;
}

CTextBase::~CTextBase() = default;

void CTextBase::MakeGdiFont()
{
    m_gdiFont = m_ownsFont ? m_font->GetDrawingFont() : LogFontFields();
}

void CTextBase::CreateOwnFont(const CLogFont* font)
{
    m_ownedFont = std::make_unique<CLogFont>(font ? *font : CTextDefaults::Current().font);
    m_font = m_ownedFont.get();
    m_ownsFont = TRUE;
    MakeGdiFont();
}

int CTextBase::SetHeight(int height)
{
    if (!m_ownsFont)
        return height;
    if (height != m_ownedFont->GetHeight()) {
        m_ownedFont->SetHeight(height);
        MakeGdiFont();
        RecalcKerning();
    }
    return m_ownedFont->GetHeight();
}

int CTextBase::SetPointSize(double points)
{
    if (!m_ownsFont)
        return m_font->GetHeight();
    m_ownedFont->SetHeight(m_ownedFont->PointsToHeight(points));
    MakeGdiFont();
    RecalcKerning();
    return m_ownedFont->GetHeight();
}

void CTextBase::SetRotation(int degrees)
{
    if (!m_ownsFont)
        return;
    m_ownedFont->SetRotation(degrees);
    MakeGdiFont();
    RecalcKerning();
}

void CTextBase::SetFont(const CLogFont* font)
{
    if (!font)
        return;
    if (m_ownsFont) {
        if (font != m_ownedFont.get())
            *m_ownedFont = *font;
        MakeGdiFont();
    } else {
        m_font = font;
        if (m_ownedFont && font != m_ownedFont.get())
            m_ownedFont.reset();
    }
    RecalcKerning();
}

void CTextBase::SetLogFont(const LogFontFields& lf)
{
    if (!m_ownsFont)
        return;
    m_ownedFont->SetLogFont(lf);
    MakeGdiFont();
    RecalcKerning();
}

void CTextBase::RecalcKerning()
{
    m_advances = m_font->GetCharAdvances(m_text);
}

int CTextBase::SetText(const QString& text)
{
    const QString bytes = SingleByte(text);
    if (bytes != m_text) {
        m_text = bytes;
        RecalcKerning();
    }
    return GetLength();
}

void CTextBase::InsertChar(QChar c, int position)
{
    const QString ch = SingleByte(QString(c));
    if (position < 0 || position > GetLength())
        m_text += ch;
    else
        m_text.insert(position, ch);
    RecalcKerning();
}

BOOL CTextBase::StripLeadingZeros()
{
    qsizetype zeros = 0;
    while (zeros < m_text.size() && m_text.at(zeros) == u'0')
        ++zeros;
    if (zeros == 0)
        return FALSE;
    m_text.remove(0, zeros);
    RecalcKerning();
    return TRUE;
}

BOOL CTextBase::KeepDigitsOnly()
{
    QString digits;
    for (QChar c : m_text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    if (digits == m_text)
        return FALSE;
    m_text = digits;
    RecalcKerning();
    return TRUE;
}

int CTextBase::GetNumber() const
{
    long long value = 0;
    for (QChar c : m_text) {
        if (c >= u'0' && c <= u'9')
            value = std::min<long long>(value * 10 + (c.unicode() - u'0'), INT_MAX);
    }
    return static_cast<int>(value);
}

int CTextBase::GetTextWidth(int count) const
{
    if (count < 0 || count >= GetLength())
        return m_font->GetTextWidth(m_text);
    return m_font->GetTextWidth(m_text.left(count));
}

BOOL CTextBase::MeasureText(CRect& rect, const QString* text) const
{
    const QString measured = text ? SingleByte(*text) : m_text;
    const std::vector<int> advances = text ? m_font->GetCharAdvances(measured) : m_advances;
    const int width = (m_font->GetTextWidth(measured) + 5) / 10;
    const int height = m_font->GetHeight();
    rect = CRect(0, 0, width - 1, height - 1);
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767)
        return FALSE;

    // One pixel per tenth of a millimetre, a row of whole 16-pixel words.
    CImageDC dc((width + 15) / 16 * 16, height);
    dc.SetTextAntialiasing(false);
    LogFontFields upright = m_font->GetDrawingFont();
    upright.lfEscapement = upright.lfOrientation = 0;
    dc.SelectFont(upright);
    dc.SetTextColor(0);
    dc.ExtTextOut(0, 0, 0, nullptr, measured, advances);

    const QImage& image = dc.Image();
    const auto inked = [&image](int row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int x = 0; x < image.width(); ++x) {
            if ((pixels[x] & 0xFFFFFF) != 0xFFFFFF)
                return true;
        }
        return false;
    };
    int top = 0;
    while (top < image.height() && !inked(top))
        ++top;
    if (top < image.height()) {
        int bottom = image.height() - 1;
        while (bottom > top && !inked(bottom))
            --bottom;
        rect.top = top;
        rect.bottom = bottom;
    }
    return TRUE;
}

void CTextBase::Draw(CDC* dc) const
{
    if (!dc || m_text.isEmpty())
        return;
    LogFontFields oldFont;
    COLORREF oldColour = 0;
    if (m_ownsFont) {
        oldFont = dc->SelectFont(m_gdiFont);
        oldColour = dc->SetTextColor(m_colour);
    }
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    dc->ExtTextOut(m_x, m_y, 0, nullptr, m_text, m_advances);
    dc->SetBkMode(oldMode);
    if (m_ownsFont) {
        dc->SelectFont(oldFont);
        dc->SetTextColor(oldColour);
    }
}

void CTextBase::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << int(m_ownsFont) << m_text << m_x << m_y;
        if (m_ownsFont) {
            m_ownedFont->Serialize(ar);
            ar << DWORD(m_colour);
        }
    } else {
        const BOOL owns = ar.ReadInt() != 0 ? TRUE : FALSE;
        m_text = ar.ReadString();
        m_x = ar.ReadInt();
        m_y = ar.ReadInt();
        if (owns) {
            if (!m_ownedFont)
                m_ownedFont = std::make_unique<CLogFont>(*m_font);
            m_ownedFont->Serialize(ar);
            m_font = m_ownedFont.get();
            m_colour = ar.ReadDWord();
        }
        // Borrowed: the font stays as it is until the owner sets it.
        m_ownsFont = owns;
        MakeGdiFont();
        RecalcKerning();
    }
    App().StepProgress();
}
