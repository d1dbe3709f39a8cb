#include "TextPreview.h"

#include "DC.h"
#include "Rounding.h"

#include <QPainter>

#include <algorithm>

CTextPreview::CTextPreview(QWidget* control, const CLogFont& font) : m_control(control)
{
    m_colouredBackground = FALSE;
    m_textColour = 0;
    m_state |= STATE_DATA_ENTRY; // no design outline
    Layout(font);
}

CRect CTextPreview::GetPreviewArea() const
{
    CRect area(0, 0, m_control ? m_control->width() : 0, m_control ? m_control->height() : 0);
    area.InflateRect(-10, -4, -10, -4);
    return area;
}

void CTextPreview::Layout(const CLogFont& font)
{
    m_font = font;
    m_font.SetRotation(0);
    m_font.SetHeight(std::max(GetPreviewArea().Height(), 1));
    m_position = CPoint(0, 0);
    m_formatRect = CRect(0, 0, 0, 0);
    m_copyFit = FALSE;
    m_maxLines = -1;
    m_richText.ClearTags();
    m_richText.BuildRuns(m_font, m_textColour);
    m_sampleRichText = m_richText;
    // One line holding the sample, drawn with the runs just built.
    m_sampleText = QString::fromLatin1(kSample);
    SetSampleData(nullptr, m_sampleText);
}

void CTextPreview::SetFont(const CLogFont& font)
{
    Layout(font);
    if (m_control)
        m_control->update();
}

void CTextPreview::Paint()
{
    if (!m_control)
        return;
    QPainter painter(m_control);
    const CRect area = GetPreviewArea();
    const int textWidth = m_textRect.Width();
    const int textHeight = m_textRect.Height();
    m_drawnRect = CRect();
    if (area.Width() <= 0 || area.Height() <= 0 || textWidth <= 0 || textHeight <= 0)
        return;

    // Isotropic: one scale both ways, the smaller of the two that fit.
    const double scale =
        std::min(double(area.Width()) / textWidth, double(area.Height()) / textHeight);
    const int drawnWidth = std::max(RoundHalfUp(textWidth * scale), 1);
    const int drawnHeight = std::max(RoundHalfUp(textHeight * scale), 1);

    CDC dc(&painter);
    dc.SetWindowOrg(m_textRect.left, m_textRect.top);
    dc.SetWindowExt(textWidth, textHeight);
    dc.SetViewportExt(drawnWidth, drawnHeight);
    const int top = (area.Height() - drawnHeight) / 2 + 4;
    dc.SetViewportOrg(10, top);
    m_drawnRect = CRect(10, top, 10 + drawnWidth, top + drawnHeight);
    Draw(&dc, m_bounds);
}

// --- the control ------------------------------------------------------------------

CTextPreviewFrame::CTextPreviewFrame(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(120, 40);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

CTextPreviewFrame::~CTextPreviewFrame() = default;

void CTextPreviewFrame::SetSampleFont(const CLogFont& font)
{
    m_font = font;
    if (!m_preview)
        m_preview = std::make_unique<CTextPreview>(this, font);
    else
        m_preview->SetFont(font);
    update();
}

void CTextPreviewFrame::paintEvent(QPaintEvent*)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (m_preview)
        m_preview->Paint();
}

void CTextPreviewFrame::resizeEvent(QResizeEvent*)
{
    // The sample's font height follows the area's height.
    if (m_preview)
        m_preview->SetFont(m_font);
}
