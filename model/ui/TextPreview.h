// The font sample: "AaBbYyZz" in a chosen font, laid out as a text element
// that is never placed on a sign and painted into a dialog control, scaled
// to the control so that font pages show what the face, style and size look
// like.
#pragma once

#include "Text.h"

#include <QWidget>

class CTextPreview : public CText
{
public:
    static constexpr const char* kSample = "AaBbYyZz";

    // The preview area is the control's client rectangle less 10 pixels
    // left and right and 4 top and bottom.
    CTextPreview(QWidget* control, const CLogFont& font);

    // The sample in another font; the control is repainted.
    using CText::SetFont;
    void SetFont(const CLogFont& font);
    // Paints the sample into the control (from the control's paint event).
    void Paint();
    // The area the sample is scaled into, in control pixels.
    CRect GetPreviewArea() const;
    // Where the last Paint put the laid-out text, in control pixels.
    CRect GetDrawnRect() const { return m_drawnRect; }

private:
    void Layout(const CLogFont& font);

    QWidget* m_control = nullptr;
    CRect m_drawnRect;
};

// The control a font page shows the sample in: a plain frame whose paint
// event paints the preview it holds.
class CTextPreviewFrame : public QWidget
{
public:
    explicit CTextPreviewFrame(QWidget* parent = nullptr);
    ~CTextPreviewFrame() override;

    // Shows the sample in the font (made on first use).
    void SetSampleFont(const CLogFont& font);
    CTextPreview* Preview() const { return m_preview.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<CTextPreview> m_preview;
    CLogFont m_font;
};
