// The "Text" page of the text pane: position and angle, the font with its
// sample, the text itself (with the Edit Text and Rich Text Editor
// dialogs), the name, the print options and the data source.
#pragma once

#include "PaneControls.h"

class CFontColourBlock;
class CLogFont;
class CPositionSizeBlock;
class CText;
class CTextPreviewFrame;
class CTextView;
class QLineEdit;
class QPlainTextEdit;

class CTextViewPage1 : public CPanePage
{
    Q_OBJECT

public:
    CTextViewPage1(CTextView* pane, QWidget* parent);

    // Shows the element's values.
    void SetElement(CText* text);
    // Entering the page: the size shown follows copy-fit.
    void Refresh(bool full) override;
    void RefreshGeometry() override;
    // Shows the font in the block and the sample.
    void LoadFont(const CLogFont& font);
    // The size list follows copy-fit, which chooses the size itself.
    void RefreshSize();
    // A date/time stamp source just chosen sets the sample to its value.
    void ShowStampSample();

    CFontColourBlock* FontBlock() const { return m_font; }

private:
    static void OnPosition(CText* text, int which, int tenths);
    // False when the text already stands at the angle.
    static bool OnAngle(CText* text, int degrees);
    void OnFace(const QString& face, DWORD faceData);
    void OnSize(double points);
    void OnFontStyle();
    void ApplyFont(CText* text, const CLogFont& font);
    void OnTextEdited();
    void ApplyText(const QString& fieldText);
    // A text from a dialog or a stamp: the field shows it, then it applies.
    void ShowAndApplyText(const QString& text);
    void OnEditText();
    void OnRichText();

    CTextView* m_pane;
    CPositionSizeBlock* m_position = nullptr;
    CFontColourBlock* m_font = nullptr;
    CTextPreviewFrame* m_preview = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_editText = nullptr;
    QPushButton* m_richText = nullptr;
    QString m_stampSource; // the source the sample was last set for
};
