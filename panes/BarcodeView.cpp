#include "BarcodeView.h"

#include "PaneControls.h"

#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeStyleDlg.h"
#include "Commands.h"
#include "DataRulesBlock.h"
#include "EanUpc.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "Strings.h"
#include "UndoHistory.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace PaneBuild;

namespace {

// Moves a block the base made on the form onto a page.
void MoveTo(QVBoxLayout* page, QWidget* block)
{
    page->addWidget(block);
}

bool NativeFor(const CBarcode* barcode)
{
    return barcode && ThePrinter().IsNativeBarcodeSupported(barcode->GetSymbologyId());
}

} // namespace

bool CBarcodeView::EditsSymbology(int id)
{
    switch (id) {
    case SYM_PDF417:
    case SYM_DATAMATRIX:
    case SYM_GS1_128:
    case SYM_GS1_DATAMATRIX:
    case SYM_GS1_DATABAR:
    case SYM_QRCODE:
        return false;
    default:
        return true;
    }
}

CBarcodeView::CBarcodeView(CBarcode* barcode, QWidget* parent)
    : CElementView(barcode, kFormId, tr("Barcode"), parent)
{
    m_tabs = Named(new QTabWidget(Form()->parentWidget()), 1092);
    Form()->addWidget(m_tabs);
    m_tabs->addTab(BuildBarcodePage(), tr("Barcode"));
    m_tabs->addTab(BuildFormattingPage(), tr("Formatting"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { ApplyEnabling(); });
    if (barcode)
        Load(barcode);
    SetLoading(false);
}

QWidget* CBarcodeView::BuildBarcodePage()
{
    auto* page = Named(new QWidget(m_tabs), 382);
    auto* layout = new QVBoxLayout(page);

    QGridLayout* symbology = AddGroup(layout, tr("Symbology"));
    m_symbology = Named(new QLabel(symbology->parentWidget()), 1181);
    m_change = Named(new QPushButton(tr("Change..."), symbology->parentWidget()), 1241);
    symbology->addWidget(m_symbology, 0, 0);
    symbology->addWidget(m_change, 0, 1);
    connect(m_change, &QPushButton::clicked, this, [this] {
        // The change replaces this pane: it runs once the click is over.
        for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
            if (auto* frame = qobject_cast<CMainFrame*>(w)) {
                QPointer<CMainFrame> target(frame);
                QTimer::singleShot(0, frame, [target] {
                    if (!target)
                        return;
                    target->UpdateActionsNow();
                    if (auto* action = target->findChild<QAction*>(
                            QStringLiteral("cmd_%1").arg(ID_CHANGE_SYMBOLOGY)))
                        action->trigger();
                });
                return;
            }
        }
    });

    QGridLayout* position = AddGroup(layout, tr("Position"));
    auto move = [this](bool x, int tenths) {
        CBarcode* b = BeginEdit(x ? static_cast<QObject*>(m_x) : m_y);
        if (!b)
            return;
        b->Invalidate(View(), TRUE);
        (x ? b->m_origin.x : b->m_origin.y) = tenths;
        EndEdit(b);
    };
    m_x = AddLengthField(position, 0, tr("X"), 1002, 1019, LENGTH_POSITION,
                         [move](int tenths) { move(true, tenths); });
    m_y = AddLengthField(position, 1, tr("Y"), 1005, 1020, LENGTH_POSITION,
                         [move](int tenths) { move(false, tenths); });
    m_orientation = Combo(position->parentWidget(), 1012,
                          {QStringLiteral("0°"), QStringLiteral("90°"), QStringLiteral("180°"),
                           QStringLiteral("270°")});
    AddRow(position, 2, tr("Orientation"), m_orientation);
    connect(m_orientation, &QComboBox::activated, this, [this](int index) {
        if (CBarcode* b = BeginEdit(m_orientation)) {
            b->Invalidate(View(), TRUE);
            b->m_orientation = (index & 3) * 90;
            EndEdit(b);
        }
    });

    QGridLayout* data = AddGroup(layout, tr("Data"));
    m_data = Named(new QLineEdit(data->parentWidget()), 1049);
    data->addWidget(m_data, 0, 0, 1, 3);
    connect(m_data, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CBarcode* b = BeginEdit(m_data)) {
            b->m_sampleData = text;
            EndEdit(b);
        }
    });
    m_addOnNone = Named(new QRadioButton(tr("None"), data->parentWidget()), 1220);
    m_addOnTwo = Named(new QRadioButton(tr("Two Digit"), data->parentWidget()), 1391);
    m_addOnFive = Named(new QRadioButton(tr("Five Digit"), data->parentWidget()), 1392);
    auto* addOns = new QButtonGroup(this);
    addOns->addButton(m_addOnNone, 0);
    addOns->addButton(m_addOnTwo, 2);
    addOns->addButton(m_addOnFive, 5);
    data->addWidget(new QLabel(tr("Add-on:"), data->parentWidget()), 1, 0);
    data->addWidget(m_addOnNone, 1, 1);
    data->addWidget(m_addOnTwo, 2, 1);
    data->addWidget(m_addOnFive, 3, 1);
    connect(addOns, &QButtonGroup::idClicked, this, [this](int digits) { OnAddOn(digits); });

    MoveTo(layout, AddNameBlock());
    MoveTo(layout, AddPrintOptions(false));
    MoveTo(layout, AddSourceBlock(true));
    layout->addStretch(1);
    return page;
}

QWidget* CBarcodeView::BuildFormattingPage()
{
    auto* page = Named(new QWidget(m_tabs), 383);
    auto* layout = new QVBoxLayout(page);

    QGridLayout* style = AddGroup(layout, tr("Style"));
    QWidget* styleBox = style->parentWidget();
    m_style = Named(new QComboBox(styleBox), 1039);
    style->addWidget(m_style, 0, 0, 1, 2);
    m_styleDescription = Named(new QLabel(styleBox), 1200);
    m_styleDescription->setWordWrap(true);
    style->addWidget(m_styleDescription, 1, 0, 1, 2);
    m_newStyle = Named(new QPushButton(tr("New..."), styleBox), 1538);
    m_editStyle = Named(new QPushButton(tr("Edit..."), styleBox), 1537);
    style->addWidget(m_newStyle, 2, 0);
    style->addWidget(m_editStyle, 2, 1);
    m_calcCheck = Named(new QCheckBox(tr("Calculate Check Digit"), styleBox), 1201);
    style->addWidget(m_calcCheck, 3, 0, 1, 2);
    m_height =
        AddLengthField(style, 4, tr("Symbol Height"), 1007, 1021, LENGTH_SIZE, [this](int tenths) {
            // The bars are at least a tenth of a millimetre.
            if (tenths < 1)
                return;
            if (CBarcode* b = BeginEdit(m_height)) {
                b->m_height = tenths;
                EndEdit(b);
            }
        });
    connect(m_style, &QComboBox::activated, this, [this](int) {
        CBarcode* b = BeginEdit(m_style);
        if (!b)
            return;
        const int family = b->m_style ? b->m_style->family : b->Symbology().family;
        b->SetStyle(TheBarcodeStyleList().Find(m_style->currentText(), family));
        EndEdit(b, true);
        ApplyEnabling();
    });
    connect(m_newStyle, &QPushButton::clicked, this, [this] { OnNewStyle(); });
    connect(m_editStyle, &QPushButton::clicked, this, [this] { OnEditStyle(); });
    connect(m_calcCheck, &QCheckBox::clicked, this, [this](bool on) {
        if (CBarcode* b = BeginEdit(m_calcCheck)) {
            b->m_calculateCheck = on ? TRUE : FALSE;
            if (!on)
                b->m_showCheck = FALSE;
            EndEdit(b);
            ApplyEnabling();
        }
    });

    m_rules =
        new CDataRulesBlock(true, CDataRulesBlock::LENGTH_LINKED,
                            {[this](QObject* control) -> CElement* { return BeginEdit(control); },
                             [this](CElement* e) { EndEdit(static_cast<CBarcode*>(e)); }},
                            page);
    layout->addWidget(m_rules);

    QGridLayout* human = AddGroup(layout, tr("Human-Readable"));
    QWidget* humanBox = human->parentWidget();
    m_showHuman = Named(new QCheckBox(tr("Show Human-Readable"), humanBox), 1198);
    m_showCheck = Named(new QCheckBox(tr("Include Check Digit(s)"), humanBox), 1199);
    human->addWidget(m_showHuman, 0, 0, 1, 2);
    human->addWidget(m_showCheck, 1, 0, 1, 2);
    m_face = Combo(humanBox, 1164, PrinterFaces());
    AddRow(human, 2, tr("Font"), m_face);
    m_faceNote = Named(new QLabel(humanBox), 1165);
    m_faceNote->setWordWrap(true);
    human->addWidget(m_faceNote, 7, 0, 1, 2);
    m_size = Combo(humanBox, 1040,
                   {QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("9"),
                    QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"),
                    QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"),
                    QStringLiteral("20"), QStringLiteral("24"), QStringLiteral("28")});
    m_size->setEditable(true);
    AddRow(human, 3, tr("Size"), m_size);
    m_fontStyle =
        Combo(humanBox, 1539, {tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    AddRow(human, 4, tr("Style"), m_fontStyle);
    m_justify = Combo(humanBox, 1079, {tr("Left"), tr("Centre"), tr("Right")});
    AddRow(human, 5, tr("Justification"), m_justify);
    m_position = Combo(humanBox, 1080, {tr("Bottom"), tr("Top")});
    AddRow(human, 6, tr("Position"), m_position);
    for (QCheckBox* box : {m_showHuman, m_showCheck})
        connect(box, &QCheckBox::clicked, this, [this] { ApplyHumanReadable(); });
    for (QComboBox* combo : {m_fontStyle, m_justify, m_position})
        connect(combo, &QComboBox::activated, this, [this] { ApplyHumanReadable(); });
    connect(m_face, &QComboBox::activated, this, [this] {
        ShowFaceNote();
        ApplyHumanReadable();
    });
    connect(m_size->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { ApplyHumanReadable(); });
    connect(m_size, &QComboBox::activated, this, [this] { ApplyHumanReadable(); });
    layout->addStretch(1);
    return page;
}

void CBarcodeView::Load(CBarcode* b)
{
    SetLoading(true);
    LoadCommonBlocks(b, NativeFor(b));
    const SymbologyInfo& info = b->Symbology();
    m_symbology->setText(QString::fromLatin1(info.name));
    m_data->setText(b->m_sampleData);
    const bool addOns = b->AllowsAddOn();
    for (QRadioButton* r : {m_addOnNone, m_addOnTwo, m_addOnFive})
        r->setEnabled(addOns);
    const int digits = b->GetAddOnDigits();
    (digits == 2 ? m_addOnTwo : digits == 5 ? m_addOnFive : m_addOnNone)->setChecked(true);

    const int family = b->m_style ? b->m_style->family : info.family;
    m_style->clear();
    m_style->addItems(TheBarcodeStyleList().StyleNames(family));
    m_style->setCurrentIndex(std::max(0, m_style->findText(b->m_styleName)));
    m_calcCheck->setEnabled(info.checkOptional);
    m_calcCheck->setChecked(info.checkOptional ? b->m_calculateCheck : info.checkDefault);
    m_height->setEnabled(info.heightAdjustable);

    m_rules->Bind(b);
    m_justify->setCurrentIndex(std::clamp(b->m_hJustify, 0, 2));
    m_position->setCurrentIndex(b->m_vJustify ? 1 : 0);
    if (info.humanReadable) {
        const CLogFont& font = b->m_texts[0].GetFont();
        const LogFontFields& lf = font.GetLogFont();
        if (m_face->findText(lf.lfFaceName) < 0)
            m_face->addItem(lf.lfFaceName);
        m_face->setCurrentIndex(m_face->findText(lf.lfFaceName));
        const double points = std::round(font.HeightToPoints() * 2.0) / 2.0;
        m_size->setEditText(QString::number(points));
        m_fontStyle->setCurrentIndex((lf.lfWeight >= 600 ? 2 : 0) + (lf.lfItalic ? 1 : 0));
    }
    ShowFaceNote();
    UpdateFromElement();
    ApplyEnabling();
    SetLoading(false);
}

void CBarcodeView::ShowFaceNote()
{
    auto* b = ElementAs<CBarcode>();
    if (!b || !b->Symbology().humanReadable) {
        m_faceNote->clear();
        return;
    }
    // An outline face is drawn alike on the screen and the printer.
    const bool outline = QFontDatabase::isSmoothlyScalable(m_face->currentText());
    m_faceNote->setText(LoadStringId(outline ? IDS_TRUETYPE_FONT_NOTE : IDS_PRINTER_FONT_NOTE));
}

void CBarcodeView::UpdateFromElement()
{
    auto* b = ElementAs<CBarcode>();
    if (!b)
        return;
    const bool loading = IsLoading();
    SetLoading(true);
    SetLength(m_x, b->m_origin.x);
    SetLength(m_y, b->m_origin.y);
    m_orientation->setCurrentIndex((b->m_orientation / 90) & 3);
    SetLength(m_height, b->m_height);
    SetLoading(loading);
}

void CBarcodeView::ApplyEnabling()
{
    auto* b = ElementAs<CBarcode>();
    if (!b)
        return;
    const SymbologyInfo& info = b->Symbology();
    const CBarcodeStyle* style = b->m_style;
    m_styleDescription->setText(style ? style->description : QString());
    m_newStyle->setEnabled(style && style->family != FAMILY_POSTAL);
    m_editStyle->setEnabled(style && style->userDefined);

    m_rules->ApplyEnabling();

    const bool hr = info.humanReadable;
    m_showHuman->setEnabled(hr);
    m_showHuman->setChecked(hr && b->m_showHumanReadable);
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
    for (QComboBox* combo : {m_face, m_size, m_fontStyle, m_justify, m_position})
        combo->setEnabled(text);
}

CBarcode* CBarcodeView::BeginEdit(QObject* control)
{
    if (IsLoading())
        return nullptr;
    auto* b = ElementAs<CBarcode>();
    if (!b)
        return nullptr;
    // The pane's opening kept the state before the first edit.
    if (m_edits++ > 0 && control != m_lastEdit)
        TheUndoHistory().Record(UNDO_CHANGED, b);
    m_lastEdit = control;
    return b;
}

void CBarcodeView::EndEdit(CBarcode* b, bool newLayout)
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

void CBarcodeView::OnAddOn(int digits)
{
    CBarcode* b = BeginEdit(m_addOnNone);
    if (!b)
        return;
    if (digits == b->GetAddOnDigits())
        return;
    if (b->m_addOn) {
        // The add-on's digits are cut only when the data really ends in
        // them: data the add-on never took keeps every character.
        const QString& taken = b->m_addOn->m_text;
        if (!taken.isEmpty() && b->m_sampleData.endsWith(taken) && !b->IsShowingInvalid()) {
            b->m_sampleData.chop(taken.size());
            b->m_data = b->m_sampleData;
        }
        b->SetAddOnDigits(0);
    }
    if (digits == 2 || digits == 5) {
        b->SetAddOnDigits(digits);
        b->m_sampleData += digits == 2 ? QStringLiteral("12") : QStringLiteral("12345");
    }
    EndEdit(b);
    m_data->setText(b->m_sampleData);
}

void CBarcodeView::OnNewStyle()
{
    CBarcode* b = ElementAs<CBarcode>();
    if (!b || !b->m_style)
        return;
    CBarcodeStyle style = *b->m_style;
    style.name.clear();
    style.description.clear();
    CBarcodeStyleDlg dialog(style, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    b = BeginEdit(m_newStyle);
    if (!b)
        return;
    QString reason;
    CBarcodeStyle* added = TheBarcodeStyleList().AddTyped(style, reason);
    if (!added)
        return;
    b->SetStyle(added);
    m_style->addItem(added->name);
    m_style->setCurrentIndex(m_style->count() - 1);
    EndEdit(b, true);
    ApplyEnabling();
}

void CBarcodeView::OnEditStyle()
{
    CBarcode* b = ElementAs<CBarcode>();
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

void CBarcodeView::ApplyHumanReadable()
{
    CBarcode* b = BeginEdit(m_showHuman);
    if (!b)
        return;
    b->m_showHumanReadable = m_showHuman->isEnabled() && m_showHuman->isChecked();
    // The check box may only now become enabled (shown again below).
    const SymbologyInfo& info = b->Symbology();
    if (info.checkOptional)
        b->m_showCheck = b->m_showHumanReadable && b->m_calculateCheck && m_showCheck->isChecked();
    else
        b->m_showCheck = info.checkDefault && !info.checkHidden;
    b->m_hJustify = m_justify->currentIndex();
    b->m_vJustify = m_position->currentIndex();
    if (b->Symbology().humanReadable) {
        // The font goes to all four text parts.
        LogFontFields lf = b->m_texts[0].GetFont().GetLogFont();
        if (!m_face->currentText().isEmpty())
            lf.lfFaceName = m_face->currentText();
        lf.lfWeight = m_fontStyle->currentIndex() >= 2 ? 700 : 400;
        lf.lfItalic = (m_fontStyle->currentIndex() & 1) ? 1 : 0;
        double points = 0;
        const bool sized =
            PaneUnits::Parse(m_size->currentText(), points) && points >= 1.0 && points <= 400.0;
        for (CTextBase& part : b->m_texts) {
            if (!part.OwnsFont())
                part.CreateOwnFont(&b->m_texts[0].GetFont());
            part.SetLogFont(lf);
            if (sized)
                part.SetPointSize(points);
        }
    }
    EndEdit(b);
    ApplyEnabling();
}
