// The pane of a text element: a "Text" tab with the position, angle, font
// with its sample, the text itself (with the Edit Text and Rich Text Editor
// dialogs), name, print options and data source; a "Formatting" tab with
// the colours, copy-fit frame and size range, justification, line spacing,
// line limit and the data rules; an "Effects" tab with the border and the
// bullets. Every edit goes into the element at once, can be undone and
// marks the sign modified.
#pragma once

#include "ElementView.h"

class CText;
class CTextPreviewFrame;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;

class CTextView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 371;

    explicit CTextView(CText* text, QWidget* parent = nullptr);
    ~CTextView() override;
    void UpdateFromElement() override;

private:
    QWidget* BuildTextPage();
    QWidget* BuildFormattingPage();
    QWidget* BuildEffectsPage();
    void Load(CText* text);
    void LoadFont(const CLogFont& font);
    void LoadRules(CText* text);
    void LoadCopyFit(CText* text);
    void LoadEffects(CText* text);

    // Before an edit: the element's state is kept for Undo (the pane's
    // opening kept the state before the first edit; typing on in the same
    // control adds no further step). Null while loading or once the element
    // has gone.
    CText* BeginEdit(QObject* control);
    // After an edit: the element lays itself out again and redraws, and
    // the sign is marked modified.
    void EndEdit(CText* text);

    // --- Text page ---
    void OnPosition(int which, int tenths);
    void OnAngle();
    void OnFace();
    void OnSize(const QString& text);
    void OnFontStyle();
    void ApplyFont(CText* text, const CLogFont& font);
    void ShowFaceKind(DWORD faceData);
    void OnTextEdited();
    void ApplyText(const QString& fieldText);
    void OnEditText();
    void OnRichText();
    void RefreshTextPage();
    // A date/time stamp source just chosen sets the sample to its value.
    void ShowStampSample();

    // --- Formatting page ---
    void OnCopyFit();
    void OnFrameSize(bool height, int tenths);
    void OnJustify();
    void OnSpacingMode(int mode);
    void OnSpacing();
    void OnRestrict();
    void OnSizeRange(bool minimum, const QString& text);
    void ApplyRulesEnabling();
    void ApplyCopyFitEnabling();

    // --- Effects page ---
    void OnBorder(QObject* control);
    void ApplyEffectsEnabling();
    void LoadBullets(CText* text);
    void OnBullets(QObject* control);
    void ShowSymbol();
    void ShowStart();

    QTabWidget* m_tabs = nullptr;
    QWidget* m_pages[3] = {};
    QObject* m_lastEdit = nullptr;
    int m_edits = 0;

    // Text page.
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QLineEdit* m_angle = nullptr;
    QListWidget* m_faces = nullptr;
    QLabel* m_faceKind = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_style = nullptr;
    QCheckBox* m_underline = nullptr;
    QCheckBox* m_strikeOut = nullptr;
    CTextPreviewFrame* m_preview = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_editText = nullptr;
    QPushButton* m_richText = nullptr;
    int m_faceRow = -1;
    QString m_stampSource; // the source the sample was last set for

    // Formatting page.
    COLORREF m_textColour = 0;
    CColourSwatch* m_textSwatch = nullptr;
    COLORREF m_backgroundColour = 0;
    QCheckBox* m_coloured = nullptr;
    QWidget* m_backgroundRow[3] = {};
    QCheckBox* m_copyFit = nullptr;
    QLineEdit* m_frameHeight = nullptr;
    QLineEdit* m_frameWidth = nullptr;
    QComboBox* m_horz = nullptr;
    QComboBox* m_vert = nullptr;
    QComboBox* m_minSize = nullptr;
    QComboBox* m_maxSize = nullptr;
    QComboBox* m_spacingMode = nullptr;
    QSpinBox* m_spacing = nullptr;
    QLabel* m_spacingUnit = nullptr;
    QCheckBox* m_preserve = nullptr;
    QCheckBox* m_restrict = nullptr;
    QSpinBox* m_lineCount = nullptr;
    QComboBox* m_filter = nullptr;
    QLineEdit* m_allow = nullptr;
    QLabel* m_allowLabel = nullptr;
    QComboBox* m_coercion = nullptr;
    QLineEdit* m_prefix = nullptr;
    QLineEdit* m_suffix = nullptr;
    QComboBox* m_length = nullptr;
    QLineEdit* m_lengthValue = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QComboBox* m_truncate = nullptr;
    QComboBox* m_pad = nullptr;
    QLineEdit* m_padChar = nullptr;
    QLabel* m_padLabel = nullptr;
    QCheckBox* m_spellCheck = nullptr;

    // Effects page.
    COLORREF m_borderColour = 0;
    COLORREF m_bulletColour = 0;
    QCheckBox* m_border = nullptr;
    QLineEdit* m_thickness = nullptr;
    QComboBox* m_corners = nullptr;
    QLineEdit* m_horzMargin = nullptr;
    QLineEdit* m_vertMargin = nullptr;
    QPushButton* m_borderSelect = nullptr;
    QLabel* m_turnedNote = nullptr;
    QRadioButton* m_bulletNone = nullptr;
    QRadioButton* m_bulletSymbol = nullptr;
    QRadioButton* m_bulletList = nullptr;
    QListWidget* m_bulletFaces = nullptr;
    QLabel* m_symbol = nullptr;
    QSpinBox* m_symbolSpin = nullptr;
    QComboBox* m_numbering = nullptr;
    QLineEdit* m_bulletPrefix = nullptr;
    QLineEdit* m_bulletSuffix = nullptr;
    QLineEdit* m_start = nullptr;
    QSpinBox* m_startSpin = nullptr;
    QLineEdit* m_offset = nullptr;
    QSpinBox* m_relativeSize = nullptr;
    QPushButton* m_bulletSelect = nullptr;
    int m_symbolCode = 0x6C;
    int m_startValue = 1;
    QString m_bulletFace;
};
