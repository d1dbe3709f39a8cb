#include "TextViewPage2.h"

#include "DataRulesBlock.h"
#include "FontColourBlock.h"
#include "TextView.h"
#include "TextViewPage1.h"

#include "Box.h"
#include "Preferences.h"
#include "Rounding.h"
#include "SpellOCX.h"
#include "Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace PaneBuild;

namespace {

// Whether the spelling check can run: a dictionary is open, or one can be
// found for the user's setting.
bool SpellingAvailable()
{
    CSpellOCX& speller = CSpellOCX::Current();
    if (speller.IsAvailable())
        return true;
    return !CSpellOCX::FindMainDictionary(CSpellPreferences::Current().dictionary).isEmpty();
}

// The font's line height in tenths of a millimetre.
int LineHeight(const CLogFont& font)
{
    const CTextMetrics& tm = font.GetTextMetrics();
    return tm.tmHeight + tm.tmExternalLeading;
}

} // namespace

CTextViewPage2::CTextViewPage2(CTextView* pane, QWidget* parent) : CPanePage(parent), m_pane(pane)
{
    Named(this, 373);
    auto* layout = new QVBoxLayout(this);

    QGridLayout* colours = AddGroup(layout, tr("Colours"));
    m_textSwatch = pane->AddColourRow(colours, 0, tr("Text Colour"), 1043, 1044, &m_textColour,
                                      [this](COLORREF) {
                                          if (CText* t = m_pane->BeginEdit(m_textSwatch)) {
                                              t->m_textColour = m_textColour;
                                              m_pane->EndEdit(t);
                                          }
                                      });
    m_coloured = Named(new QCheckBox(tr("Coloured Background"), colours->parentWidget()), 1204);
    colours->addWidget(m_coloured, 1, 0, 1, 3);
    CColourSwatch* background = pane->AddColourRow(
        colours, 2, tr("Background Colour"), 1045, 1046, &m_backgroundColour, [this](COLORREF) {
            if (CText* t = m_pane->BeginEdit(m_backgroundRow[2])) {
                t->m_backgroundColour = m_backgroundColour;
                if (t->m_frameBox)
                    t->m_frameBox->m_fillColour = m_backgroundColour;
                m_pane->EndEdit(t);
            }
        });
    m_backgroundRow[0] = colours->itemAtPosition(2, 0)->widget();
    m_backgroundRow[0]->setObjectName(QStringLiteral("id1205"));
    m_backgroundRow[1] = background->Swatch();
    m_backgroundRow[2] = colours->itemAtPosition(2, 2)->widget();
    connect(m_coloured, &QCheckBox::clicked, this, [this](bool on) {
        if (CText* t = m_pane->BeginEdit(m_coloured)) {
            t->m_colouredBackground = on ? TRUE : FALSE;
            if (t->m_frameBox) {
                t->m_frameBox->m_fillInterior = t->m_colouredBackground;
                t->m_frameBox->m_fillColour = t->m_backgroundColour;
            }
            m_pane->EndEdit(t);
        }
        for (QWidget* w : m_backgroundRow)
            w->setVisible(on);
    });

    QGridLayout* fit = AddGroup(layout, tr("Copy Fit"));
    QWidget* fitBox = fit->parentWidget();
    m_copyFit = Named(new QCheckBox(tr("Copy Fit"), fitBox), 1173);
    fit->addWidget(m_copyFit, 0, 0, 1, 3);
    connect(m_copyFit, &QCheckBox::clicked, this, [this] { OnCopyFit(); });
    m_frameHeight = pane->AddLengthField(fit, 1, tr("Height"), 1007, 1021, LENGTH_SIZE,
                                         [this](int tenths) { OnFrameSize(true, tenths); });
    m_frameWidth = pane->AddLengthField(fit, 2, tr("Width"), 1008, 1022, LENGTH_SIZE,
                                        [this](int tenths) { OnFrameSize(false, tenths); });
    m_minSize = Named(new QComboBox(fitBox), 1206);
    m_maxSize = Named(new QComboBox(fitBox), 1207);
    for (QComboBox* combo : {m_minSize, m_maxSize}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    pane->AddRow(fit, 3, tr("Min Size"), m_minSize);
    pane->AddRow(fit, 4, tr("Max Size"), m_maxSize);
    for (bool minimum : {true, false}) {
        QComboBox* combo = minimum ? m_minSize : m_maxSize;
        connect(combo, &QComboBox::textActivated, this,
                [this, minimum](const QString& t) { OnSizeRange(minimum, t); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                [this, minimum](const QString& t) { OnSizeRange(minimum, t); });
    }
    m_horz = Combo(fitBox, 1079, {tr("Left"), tr("Centre"), tr("Right"), tr("Block Centre")});
    pane->AddRow(fit, 5, tr("Horz"), m_horz);
    m_vert = Combo(fitBox, 1080, {tr("Top"), tr("Middle"), tr("Bottom")});
    pane->AddRow(fit, 6, tr("Vert"), m_vert);
    for (QComboBox* combo : {m_horz, m_vert})
        connect(combo, &QComboBox::activated, this, [this] { OnJustify(); });
    m_preserve = Named(new QCheckBox(tr("Preserve Line Breaks"), fitBox), 1208);
    fit->addWidget(m_preserve, 7, 0, 1, 3);
    connect(m_preserve, &QCheckBox::clicked, this, [this](bool on) {
        if (CText* t = m_pane->BeginEdit(m_preserve)) {
            t->m_preserveBreaks = on ? TRUE : FALSE;
            m_pane->EndEdit(t);
        }
    });

    QGridLayout* spacing = AddGroup(layout, tr("Line Spacing"));
    QWidget* spacingBox = spacing->parentWidget();
    m_spacingMode = Combo(spacingBox, 1387, {tr("Normal"), tr("Relative"), tr("Fixed")});
    pane->AddRow(spacing, 0, tr("Spacing"), m_spacingMode);
    m_spacing = Spin(spacingBox, 1104, 1, 999);
    pane->AddRow(spacing, 1, tr("Amount"), m_spacing);
    m_spacingUnit = new QLabel(QStringLiteral("%"), spacingBox);
    spacing->addWidget(m_spacingUnit, 1, 2);
    m_restrict = Named(new QCheckBox(tr("Restrict Lines To"), spacingBox), 1209);
    m_lineCount = Spin(spacingBox, 1105, 1, 999);
    spacing->addWidget(m_restrict, 2, 0);
    spacing->addWidget(m_lineCount, 2, 1);
    connect(m_spacingMode, &QComboBox::activated, this, [this](int mode) { OnSpacingMode(mode); });
    connect(m_spacing, &QSpinBox::valueChanged, this, [this] { OnSpacing(); });
    connect(m_restrict, &QCheckBox::clicked, this, [this] { OnRestrict(); });
    connect(m_lineCount, &QSpinBox::valueChanged, this, [this] { OnRestrict(); });

    // The data rules, as every pane with data rules shows them.
    CDataRulesBlock::Edits edits;
    edits.begin = [this](QObject* control) -> CElement* { return m_pane->BeginEdit(control); };
    edits.end = [this](CElement* e) { m_pane->EndEdit(static_cast<CText*>(e)); };
    m_rules = new CDataRulesBlock(true, CDataRulesBlock::LENGTH_LINKED, std::move(edits), this);
    layout->addWidget(m_rules);
    m_spellCheck = Named(new QCheckBox(tr("Spell check prior to print"), m_rules), 1274);
    if (auto* grid = qobject_cast<QGridLayout*>(m_rules->layout()))
        grid->addWidget(m_spellCheck, 10, 0, 1, 3);
    connect(m_spellCheck, &QCheckBox::clicked, this, [this](bool on) {
        if (CText* t = m_pane->BeginEdit(m_spellCheck)) {
            t->m_forceSpellCheck = on ? TRUE : FALSE;
            m_pane->MarkModified();
        }
    });
    layout->addStretch(1);
}

void CTextViewPage2::SetElement(CText* t)
{
    m_textColour = t->m_textColour;
    m_backgroundColour = t->m_backgroundColour;
    m_coloured->setChecked(t->m_colouredBackground);
    for (QWidget* w : m_backgroundRow)
        w->setVisible(t->m_colouredBackground);
    LoadRules(t);
    LoadCopyFit(t);
}

void CTextViewPage2::Refresh(bool /*full*/)
{
    auto* t = m_pane->ElementAs<CText>();
    if (!t || m_pane->IsLoading())
        return;
    {
        const CTextView::CFilling filling(m_pane);
        LoadCopyFit(t);
    }
    ApplyRulesEnabling();
}

void CTextViewPage2::RefreshGeometry()
{
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    const CTextView::CFilling filling(m_pane);
    const CRect frame = t->m_copyFit ? t->m_formatRect : t->m_textRect;
    m_pane->SetLength(m_frameHeight, std::abs(frame.Height()));
    m_pane->SetLength(m_frameWidth, std::max(std::abs(frame.Width()), 1));
}

void CTextViewPage2::LoadRules(CText* t)
{
    m_rules->Bind(t);
    m_spellCheck->setChecked(t->m_forceSpellCheck);
    // Without spelling there is nothing to check before printing.
    m_spellCheck->setVisible(SpellingAvailable());
}

void CTextViewPage2::LoadSizeLists(const CLogFont& font)
{
    const QStringList sizes = CFontColourBlock::SizeItems(font);
    for (QComboBox* combo : {m_minSize, m_maxSize}) {
        const QString shown = combo->currentText();
        combo->clear();
        combo->addItems(sizes);
        combo->setEditText(shown);
    }
}

void CTextViewPage2::LoadCopyFit(CText* t)
{
    m_copyFit->setChecked(t->m_copyFit);
    const CRect frame = t->m_copyFit ? t->m_formatRect : t->m_textRect;
    m_pane->SetLength(m_frameHeight, std::abs(frame.Height()));
    // The width shown is at least the smallest width a field takes.
    m_pane->SetLength(m_frameWidth, std::max(std::abs(frame.Width()), 1));
    m_horz->setCurrentIndex(std::clamp(t->m_horzJustify, 0, 3));
    m_vert->setCurrentIndex(std::clamp(t->m_vertJustify, 0, 2));
    m_spacingMode->setCurrentIndex(std::clamp(t->m_lineSpaceMode, 0, 2));
    m_spacing->setValue(std::clamp(t->m_lineSpaceAmount, 1, 999));
    m_preserve->setChecked(t->m_preserveBreaks);
    m_restrict->setChecked(t->m_maxLines != -1);
    const int lines = t->m_maxLines > 0 ? t->m_maxLines : static_cast<int>(t->m_lines.size());
    m_lineCount->setValue(std::clamp(lines, 1, 999));
    m_minSize->setEditText(t->m_font.FormatPointSize(t->m_minHeight));
    m_maxSize->setEditText(t->m_font.FormatPointSize(t->m_maxHeight));
    ApplyCopyFitEnabling();
}

void CTextViewPage2::OnCopyFit()
{
    CText* t = m_pane->BeginEdit(m_copyFit);
    if (!t)
        return;
    const bool on = m_copyFit->isChecked();
    if (on && !t->m_copyFit) {
        // The frame starts as the text stands; no line limit with copy-fit.
        const CRect r = t->m_textRect;
        t->m_formatRect = CRect(t->m_position.x, t->m_position.y,
                                t->m_position.x + std::max(std::abs(r.Width()), 1),
                                t->m_position.y + std::max(std::abs(r.Height()), 1));
        t->m_maxLines = -1;
    }
    t->m_copyFit = on ? TRUE : FALSE;
    m_pane->EndEdit(t);
    {
        const CTextView::CFilling filling(m_pane);
        LoadCopyFit(t);
    }
    m_pane->Page1()->RefreshSize();
}

void CTextViewPage2::OnFrameSize(bool height, int tenths)
{
    // The frame is at least a tenth of a millimetre each way.
    if (tenths < 1)
        return;
    CText* t = m_pane->BeginEdit(height ? m_frameHeight : m_frameWidth);
    if (!t)
        return;
    CRect& f = t->m_formatRect;
    f = CRect(t->m_position.x, t->m_position.y, t->m_position.x + f.Width(),
              t->m_position.y + f.Height());
    if (height)
        f.bottom = f.top + tenths;
    else
        f.right = f.left + tenths;
    m_pane->EndEdit(t);
    m_pane->Page1()->RefreshSize();
}

void CTextViewPage2::OnJustify()
{
    if (CText* t = m_pane->BeginEdit(m_horz)) {
        t->m_horzJustify = m_horz->currentIndex();
        t->m_vertJustify = m_vert->currentIndex();
        m_pane->EndEdit(t);
    }
}

void CTextViewPage2::OnSpacingMode(int mode)
{
    CText* t = m_pane->BeginEdit(m_spacingMode);
    if (!t)
        return;
    const int before = t->m_lineSpaceMode;
    int amount = t->m_lineSpaceAmount;
    const double lineHeight = LineHeight(t->m_font);
    if (mode == LINESPACE_OWN) {
        amount = 100;
    } else if (mode == LINESPACE_PERCENT && before == LINESPACE_PER_INCH) {
        if (amount > 0 && lineHeight > 0)
            amount = RoundHalfUp(254.0 / (amount * lineHeight) * 100.0);
    } else if (mode == LINESPACE_PER_INCH && before != LINESPACE_PER_INCH) {
        if (amount > 0 && lineHeight > 0)
            amount = RoundHalfUp(254.0 / (lineHeight * amount * 0.01));
    }
    t->m_lineSpaceMode = mode;
    t->m_lineSpaceAmount = std::clamp(amount, 1, 999);
    m_pane->EndEdit(t);
    {
        const CTextView::CFilling filling(m_pane);
        m_spacing->setValue(t->m_lineSpaceAmount);
    }
    ApplyCopyFitEnabling();
}

void CTextViewPage2::OnSpacing()
{
    if (CText* t = m_pane->BeginEdit(m_spacing)) {
        t->m_lineSpaceAmount = m_spacing->value();
        m_pane->EndEdit(t);
    }
}

void CTextViewPage2::OnRestrict()
{
    if (CText* t = m_pane->BeginEdit(m_restrict)) {
        t->m_maxLines = m_restrict->isChecked() ? m_lineCount->value() : -1;
        m_pane->EndEdit(t);
        ApplyCopyFitEnabling();
    }
}

void CTextViewPage2::OnSizeRange(bool minimum, const QString& text)
{
    if (m_pane->IsLoading())
        return;
    double points = 0;
    if (!PaneUnits::Parse(text, points) || points <= 0 || points > 10000)
        return;
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    const int height = t->m_font.SnapHeight(t->m_font.PointsToHeight(points));
    if ((minimum ? t->m_minHeight : t->m_maxHeight) == height)
        return;
    if (!(t = m_pane->BeginEdit(minimum ? m_minSize : m_maxSize)))
        return;
    // A minimum above the maximum is the maximum.
    if (minimum)
        t->m_minHeight = std::min(height, t->m_maxHeight);
    else
        t->m_maxHeight = height;
    m_pane->EndEdit(t);
    m_pane->Page1()->RefreshSize();
}

void CTextViewPage2::ApplyCopyFitEnabling()
{
    const bool fit = m_copyFit->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_frameHeight, m_frameWidth, m_minSize,
                                                      m_maxSize, m_vert, m_preserve})
        w->setEnabled(fit);
    m_lineCount->setEnabled(m_restrict->isChecked());
    const int mode = m_spacingMode->currentIndex();
    m_spacing->setEnabled(mode != LINESPACE_OWN);
    m_spacingUnit->setText(mode == LINESPACE_PER_INCH ? tr("lpi") : QStringLiteral("%"));
}

void CTextViewPage2::ApplyRulesEnabling()
{
    auto* t = m_pane->ElementAs<CText>();
    if (!t)
        return;
    const CTextView::CFilling filling(m_pane);
    m_rules->ApplyEnabling();
    // Fixed text has nothing to check before printing; only typed data is
    // checked.
    if (t->m_dataSource == SOURCE_FIXED)
        m_spellCheck->setChecked(false);
    else
        m_spellCheck->setChecked(t->m_forceSpellCheck);
    m_spellCheck->setEnabled(t->m_dataSource == SOURCE_KEYBOARD);
}
