#include "SymbolBlocks.h"

#include "PaneControls.h"

#include "Barcode.h"
#include "BarcodeStyleDlg.h"
#include "ElementList.h"
#include "FontColourBlock.h"
#include "ListCtrlEx.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "Strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

using namespace PaneBuild;

// --- the edit bracket ----------------------------------------------------------------

CBarcode* CBarcodePaneBase::BeginEdit(QObject* control)
{
    if (!ElementAs<CBarcode>())
        return nullptr;
    return static_cast<CBarcode*>(BeginUndoStep(control));
}

void CBarcodePaneBase::EndEdit(CBarcode* b, bool newLayout)
{
    QString data = b->m_sampleData;
    if (b->m_dataSource != SOURCE_FIXED)
        b->FormatDataText(data);
    b->m_data = data;
    if (newLayout)
        b->ComputeLayout();
    ElementEdited(b);
    b->RecalcPosition(View());
}

CPaneBlock::Edits CBarcodePaneBase::Edits()
{
    return {[this](QObject* control) -> CElement* { return BeginEdit(control); },
            [this](CElement* e) { EndEdit(static_cast<CBarcode*>(e)); },
            [this] { MarkModified(); }};
}

bool CBarcodePaneBase::NativeFor(const CBarcode* barcode)
{
    return barcode && ThePrinter().IsNativeBarcodeSupported(barcode->GetSymbologyId());
}

// --- position ------------------------------------------------------------------------

CSymbolPositionBlock::CSymbolPositionBlock(Edits edits, QWidget* parent)
    : CPositionSizeBlock(
          {tr("Position")}, std::move(edits),
          [](const CElement* e) {
              const auto* b = static_cast<const CBarcode*>(e);
              return Place{b->m_origin.x, b->m_origin.y};
          },
          [](CElement* e, Field field, int tenths) {
              auto* b = static_cast<CBarcode*>(e);
              b->Invalidate(View(), TRUE);
              (field == FIELD_X ? b->m_origin.x : b->m_origin.y) = tenths;
          },
          parent)
{
    m_orientation = OrientationCombo(this);
    AddRow(Grid(), NextRow(), tr("Orientation"), m_orientation);
    connect(m_orientation, &QComboBox::activated, this, [this](int index) {
        EditAs<CBarcode>(m_orientation, [index](CBarcode* b) {
            b->Invalidate(View(), TRUE);
            b->m_orientation = (index & 3) * 90;
        });
    });
}

void CSymbolPositionBlock::Bind(CBarcode* barcode)
{
    SetBound(barcode);
    Refresh();
}

void CSymbolPositionBlock::Refresh()
{
    auto* b = BoundAs<CBarcode>();
    if (!b)
        return;
    CPositionSizeBlock::Refresh();
    SetBinding(true);
    m_orientation->setCurrentIndex((b->m_orientation / 90) & 3);
    SetBinding(false);
}

// --- style, check digit and height ----------------------------------------------------

CBarcodeStyleBlock::CBarcodeStyleBlock(const QString& title, bool checkEditable, Edits edits,
                                       QWidget* parent)
    : CPaneBlock(title, std::move(edits), parent)
{
    auto* grid = new QGridLayout(this);
    m_style = Named(new QComboBox(this), 1039);
    grid->addWidget(m_style, 0, 0, 1, 3);
    m_description = Named(new QLabel(this), 1200);
    m_description->setWordWrap(true);
    grid->addWidget(m_description, 1, 0, 1, 3);
    m_new = Named(new QPushButton(tr("New..."), this), 1538);
    m_edit = Named(new QPushButton(tr("Edit..."), this), 1537);
    grid->addWidget(m_new, 2, 0);
    grid->addWidget(m_edit, 2, 1);
    m_calcCheck = Named(new QCheckBox(tr("Calculate Check Digit"), this), 1201);
    grid->addWidget(m_calcCheck, 3, 0, 1, 3);
    m_height = AddLengthRow(grid, 4, tr("Symbol Height"), 1007, 1021, LENGTH_SIZE, [this](int tenths) {
        // The bars are at least a tenth of a millimetre.
        if (tenths >= 1)
            EditAs<CBarcode>(m_height, [tenths](CBarcode* b) { b->m_height = tenths; });
    });
    connect(m_style, &QComboBox::activated, this, &CBarcodeStyleBlock::OnStyleChosen);
    connect(m_new, &QPushButton::clicked, this, &CBarcodeStyleBlock::OnNewStyle);
    connect(m_edit, &QPushButton::clicked, this, &CBarcodeStyleBlock::OnEditStyle);
    if (checkEditable) {
        connect(m_calcCheck, &QCheckBox::clicked, this, [this](bool on) {
            EditAs<CBarcode>(m_calcCheck, [on](CBarcode* b) {
                b->m_calculateCheck = on ? TRUE : FALSE;
                if (!on)
                    b->m_showCheck = FALSE;
            });
            emit edited();
        });
    }
}

void CBarcodeStyleBlock::Bind(CBarcode* b)
{
    SetBound(b);
    if (!b)
        return;
    SetBinding(true);
    const SymbologyInfo& info = b->Symbology();
    const int family = b->m_style ? b->m_style->family : info.family;
    m_style->clear();
    m_style->addItems(TheBarcodeStyleList().StyleNames(family));
    m_style->setCurrentIndex(std::max(0, m_style->findText(b->m_styleName)));
    m_calcCheck->setEnabled(info.checkOptional);
    m_calcCheck->setChecked(info.checkOptional ? b->m_calculateCheck : info.checkDefault);
    m_height->setEnabled(info.heightAdjustable);
    SetBinding(false);
    Refresh();
    ApplyEnabling();
}

void CBarcodeStyleBlock::Refresh()
{
    if (auto* b = BoundAs<CBarcode>()) {
        SetBinding(true);
        m_height->setText(PaneUnits::Format(b->m_height));
        SetBinding(false);
    }
}

void CBarcodeStyleBlock::ApplyEnabling()
{
    auto* b = BoundAs<CBarcode>();
    if (!b)
        return;
    const CBarcodeStyle* style = b->m_style;
    m_description->setText(style ? style->description : QString());
    m_new->setEnabled(style && style->family != FAMILY_POSTAL);
    m_edit->setEnabled(style && style->userDefined);
}

void CBarcodeStyleBlock::OnStyleChosen()
{
    const QString name = m_style->currentText();
    EditAs<CBarcode>(m_style, [&name](CBarcode* b) {
        const int family = b->m_style ? b->m_style->family : b->Symbology().family;
        b->SetStyle(TheBarcodeStyleList().Find(name, family));
        b->ComputeLayout();
    });
    ApplyEnabling();
}

void CBarcodeStyleBlock::OnNewStyle()
{
    auto* b = BoundAs<CBarcode>();
    if (!b || !b->m_style)
        return;
    CBarcodeStyle style = *b->m_style;
    style.name.clear();
    style.description.clear();
    CBarcodeStyleDlg dialog(style, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    EditAs<CBarcode>(m_new, [this, &style](CBarcode* e) {
        QString reason;
        CBarcodeStyle* added = TheBarcodeStyleList().AddTyped(style, reason);
        if (!added)
            return;
        e->SetStyle(added);
        m_style->addItem(added->name);
        m_style->setCurrentIndex(m_style->count() - 1);
        e->ComputeLayout();
    });
    ApplyEnabling();
}

void CBarcodeStyleBlock::OnEditStyle()
{
    auto* b = BoundAs<CBarcode>();
    if (!b || !b->m_style || !b->m_style->userDefined)
        return;
    CBarcodeStyle* edited = b->m_style;
    CBarcodeStyleDlg dialog(*edited, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Every barcode drawn with the style is drawn anew.
    for (int i = 0; i < TheElementList().GetCount(); ++i) {
        auto* other = dynamic_cast<CBarcode*>(TheElementList().GetAt(i));
        if (other && other->m_style == edited) {
            other->ComputeLayout();
            other->Refresh();
        }
    }
    MarkModified();
    ApplyEnabling();
}

// --- human-readable text ------------------------------------------------------------

CHumanReadableBlock::CHumanReadableBlock(Edits edits, QWidget* parent)
    : CPaneBlock(tr("Human-Readable"), std::move(edits), parent)
{
    auto* grid = new QGridLayout(this);
    m_show = Named(new QCheckBox(tr("Show Human-Readable"), this), 1198);
    m_showCheck = Named(new QCheckBox(tr("Include Check Digit(s)"), this), 1199);
    grid->addWidget(m_show, 0, 0, 1, 2);
    grid->addWidget(m_showCheck, 1, 0, 1, 2);
    m_font = new CFontColourBlock(CFontColourBlock::SYMBOL_TEXT, this);
    grid->addWidget(m_font, 2, 0, 1, 2);
    m_justify = Combo(this, 1079, {tr("Left"), tr("Centre"), tr("Right")});
    AddRow(grid, 3, tr("Justification"), m_justify);
    m_position = Combo(this, 1080, {tr("Bottom"), tr("Top")});
    AddRow(grid, 4, tr("Position"), m_position);

    for (QCheckBox* check : {m_show, m_showCheck})
        connect(check, &QCheckBox::clicked, this, &CHumanReadableBlock::Apply);
    for (QComboBox* combo : {m_justify, m_position})
        connect(combo, &QComboBox::activated, this, &CHumanReadableBlock::Apply);
    connect(m_font, &CFontColourBlock::sizeChosen, this, &CHumanReadableBlock::Apply);
    connect(m_font, &CFontColourBlock::styleChosen, this, &CHumanReadableBlock::Apply);
    connect(m_font, &CFontColourBlock::faceChosen, this, [this] {
        if (IsBinding())
            return;
        Apply();
        // The sizes the chosen face offers.
        if (auto* b = BoundAs<CBarcode>(); b && b->Symbology().humanReadable)
            m_font->ShowFont(b->m_texts[0].GetFont());
    });
}

void CHumanReadableBlock::Bind(CBarcode* b)
{
    SetBound(b);
    if (!b)
        return;
    SetBinding(true);
    m_justify->setCurrentIndex(std::clamp(b->m_hJustify, 0, 2));
    m_position->setCurrentIndex(b->m_vJustify ? 1 : 0);
    // A face the printer lacks still shows, first in the list.
    if (b->Symbology().humanReadable)
        m_font->ShowFont(b->m_texts[0].GetFont());
    else
        m_font->FaceKind()->clear(); // no text, no note on its face
    SetBinding(false);
    ApplyEnabling();
}

void CHumanReadableBlock::ApplyEnabling()
{
    auto* b = BoundAs<CBarcode>();
    if (!b)
        return;
    const bool binding = IsBinding();
    SetBinding(true);
    const SymbologyInfo& info = b->Symbology();
    const bool hr = info.humanReadable;
    m_show->setEnabled(hr);
    m_show->setChecked(hr && b->m_showHumanReadable);
    if (!hr) {
        m_showCheck->setEnabled(false);
        m_showCheck->setChecked(false);
    } else if (info.checkOptional) {
        const bool on = b->m_showHumanReadable && b->m_calculateCheck;
        m_showCheck->setEnabled(on);
        m_showCheck->setChecked(on && b->m_showCheck);
    } else {
        m_showCheck->setEnabled(false);
        m_showCheck->setChecked(info.checkDefault && !info.checkHidden);
    }
    const bool text = hr && b->m_showHumanReadable;
    for (QWidget* w : std::initializer_list<QWidget*>{m_font->Faces(), m_font->Size(),
                                                      m_font->Style(), m_justify, m_position})
        w->setEnabled(text);
    SetBinding(binding);
}

void CHumanReadableBlock::Apply()
{
    const QString face = m_font->Faces()->CellText(m_font->Faces()->currentRow(), 0);
    const int style = m_font->Style()->currentIndex();
    const QString size = m_font->Size()->currentText();
    Edit(m_show, [&](CElement* e) {
        auto* b = dynamic_cast<CBarcode*>(e);
        if (!b)
            return;
        const SymbologyInfo& info = b->Symbology();
        b->m_showHumanReadable = m_show->isEnabled() && m_show->isChecked();
        // The check box may only now become enabled (shown again below).
        if (info.checkOptional)
            b->m_showCheck =
                b->m_showHumanReadable && b->m_calculateCheck && m_showCheck->isChecked();
        else
            b->m_showCheck = info.checkDefault && !info.checkHidden;
        b->m_hJustify = m_justify->currentIndex();
        b->m_vJustify = m_position->currentIndex();
        if (!info.humanReadable)
            return;
        // The font goes to all four text parts.
        LogFontFields lf = b->m_texts[0].GetFont().GetLogFont();
        if (!face.isEmpty())
            lf.lfFaceName = face;
        lf.lfWeight = style >= 2 ? 700 : 400;
        lf.lfItalic = (style & 1) ? 1 : 0;
        double points = 0;
        const bool sized = PaneUnits::Parse(size, points) && points >= 1.0 && points <= 400.0;
        for (CTextBase& part : b->m_texts) {
            if (!part.OwnsFont())
                part.CreateOwnFont(&b->m_texts[0].GetFont());
            part.SetLogFont(lf);
            if (sized)
                part.SetPointSize(points);
        }
    });
    ApplyEnabling();
}
