#include "PriceSample.h"

#include "DC.h"

CPriceSample::CPriceSample(const CPriceFormat* format)
{
    m_workingFormat = format;
    MakeSample();
}

CPriceSample::CPriceSample(const CPriceField& element) : CPriceField(element)
{
    m_position = CPoint(0, 0);
    m_crossOut = FALSE;
    m_angle = 0;
    for (CTextBase& part : m_parts)
        part.SetRotation(0);
    MakeSample();
}

void CPriceSample::MakeSample()
{
    m_copyFit = TRUE;
    m_horzJustify = 1;
    m_vertJustify = 1;
    m_dataSource = SOURCE_KEYBOARD;
    m_state = STATE_DATA_ENTRY;
    m_ownerTable = nullptr;
    m_ownedByTable = FALSE;
    ApplyFormat();
    RecalcLayout(nullptr);
}

void CPriceSample::SetWorkingFormat(const CPriceFormat* format)
{
    m_workingFormat = format;
    Reapply();
}

void CPriceSample::SetWindowRect(const CRect& rect)
{
    m_position = rect.TopLeft();
    m_formatRect = rect;
    RecalcLayout(nullptr);
}

void CPriceSample::ShowPrice(const QString& text)
{
    SetSampleData(nullptr, text);
}

void CPriceSample::HighlightPart(int index)
{
    for (int i = 0; i < kPartCount; ++i)
        m_parts[size_t(i)].SetColour(i == index ? MakeRGB(255, 0, 0) : MakeRGB(0, 0, 0));
    m_colouredBackground = FALSE;
}

void CPriceSample::Reapply()
{
    ShowSampleAmounts();
    ApplyFormat();
    RecalcLayout(nullptr);
}

void CPriceSample::Paint(CDC* dc)
{
    if (!dc)
        return;
    // In the data-entry state the sample shows no selection or frame.
    m_state = STATE_DATA_ENTRY;
    Draw(dc, m_bounds);
}
