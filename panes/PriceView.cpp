#include "PriceView.h"

#include "FontColourBlock.h"
#include "ListCtrlEx.h"
#include "PaneControls.h"
#include "PositionSizeBlock.h"

#include "AppContext.h"
#include "MessageBox.h"
#include "PriceField.h"
#include "PriceFontDlg.h"
#include "PriceFormatList.h"
#include "PriceSample.h"
#include "UndoHistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace PaneBuild;

namespace {

// The widgets of a grid row: label, control, button.
std::vector<QWidget*> RowOf(QGridLayout* grid, int row)
{
    std::vector<QWidget*> widgets;
    for (int column = 0; column < grid->columnCount(); ++column) {
        if (QLayoutItem* item = grid->itemAtPosition(row, column); item && item->widget())
            widgets.push_back(item->widget());
    }
    return widgets;
}

} // namespace

CPriceViewPage1::CPriceViewPage1(CPriceView* pane, QWidget* parent)
    : CPanePage(parent), m_pane(pane)
{
    Named(this, 376);
    auto* layout = new QVBoxLayout(this);

    CPaneBlock::Edits edits{
        [pane](QObject* control) -> CElement* { return pane->BeginEdit(control); },
        [pane](CElement* e) { pane->EndEdit(static_cast<CPriceField*>(e)); }, {}};
    m_position = new CPositionSizeBlock(
        {tr("Position")}, edits,
        CPositionSizeBlock::PositionOf<CPriceField>(),
        [](CElement* e, CPositionSizeBlock::Field field, int tenths) {
            auto* p = static_cast<CPriceField*>(e);
            p->Invalidate(View(), TRUE);
            (field == CPositionSizeBlock::FIELD_X ? p->m_position.x : p->m_position.y) = tenths;
        },
        this);
    layout->addWidget(m_position);
    m_position->AddRotation(
        tr("Angle"), 360,
        [](const CElement* e) { return static_cast<const CPriceField*>(e)->GetAngle(); },
        [](CElement* e, int degrees) {
            static_cast<CPriceField*>(e)->SetAngle(View(), degrees);
            return true;
        });

    m_font = new CFontColourBlock(0, this);
    layout->addWidget(m_font);
    m_single = Named(new QCheckBox(tr("Single Typeface"), m_font), 1197);
    m_advanced = Named(new QPushButton(tr("Advanced..."), m_font), 1196);
    m_font->Grid()->addWidget(m_single, m_font->NextRow(), 0, 1, 2);
    m_font->Grid()->addWidget(m_advanced, m_font->NextRow(), 2);
    connect(m_font, &CFontColourBlock::faceChosen, this,
            [this](const QString& face) { OnFaceChosen(face); });
    connect(m_font, &CFontColourBlock::styleChosen, this, [this] {
        if (CPriceField* p = m_pane->BeginEdit(m_font->Style()))
            StyleRule(p);
    });
    connect(m_font, &CFontColourBlock::sizeChosen, this, [this] { OnSizeEdited(); });
    connect(m_single, &QCheckBox::clicked, this, [this] { OnSingleTypeface(); });
    connect(m_advanced, &QPushButton::clicked, this, [this] { OnAdvanced(); });

    QGridLayout* amounts = AddGroup(layout, tr("Sample"));
    m_primary = Named(new QLineEdit(amounts->parentWidget()), 1051);
    m_secondary = Named(new QLineEdit(amounts->parentWidget()), 1052);
    m_pane->AddRow(amounts, 0, tr("Primary Amount"), m_primary);
    m_pane->AddRow(amounts, 1, tr("Secondary Amount"), m_secondary);
    connect(m_primary, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CPriceField* p = m_pane->BeginEdit(m_primary)) {
            p->m_units = CPriceField::DigitsOf(text).left(CPriceField::kMaxUnitsDigits);
            m_pane->EndEdit(p);
        }
    });
    connect(m_secondary, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CPriceField* p = m_pane->BeginEdit(m_secondary)) {
            p->m_hundredths = CPriceField::DigitsOf(text).left(2);
            m_pane->EndEdit(p);
        }
    });

    layout->addWidget(m_pane->AddNameBlock());
    layout->addWidget(m_pane->AddPrintOptions(false));
    layout->addWidget(m_pane->AddSourceBlock(true));
    layout->addStretch(1);
}

void CPriceViewPage1::LoadFont(CPriceField* p)
{
    p->GetFont(m_workingFont);
    // A face the printer lacks is listed at the top, so the element's own
    // face shows (another face stands in for it when drawn).
    m_font->ShowFont(m_workingFont);
}

void CPriceViewPage1::OnFaceChosen(const QString& face)
{
    CPriceField* p = m_pane->BeginEdit(m_font->Faces());
    if (!p)
        return;
    m_workingFont.SetFaceName(face);
    StyleRule(p);
}

void CPriceViewPage1::StyleRule(CPriceField* p)
{
    double points = 0;
    const bool sized =
        PaneUnits::Parse(m_font->Size()->currentText(), points) && points >= 1.0 && points <= 999.0;
    if (m_single->isChecked()) {
        // Every part in the working font's face, style and size.
        LogFontFields lf = m_workingFont.GetLogFont();
        if (const int row = m_font->Faces()->SelectedItem(); row >= 0)
            lf.lfFaceName = CLogFont::FitFaceName(m_font->Faces()->CellText(row, 0));
        const int style = std::max(m_font->Style()->currentIndex(), 0);
        lf.lfWeight = style >= 2 ? 700 : 400;
        lf.lfItalic = (style & 1) ? 1 : 0;
        m_workingFont.SetLogFont(lf);
        if (sized)
            m_workingFont.SetHeight(m_workingFont.PointsToHeight(points));
        for (int i = 0; i < CPriceField::kPartCount; ++i) {
            CTextBase& part = p->Part(i);
            part.SetLogFont(m_workingFont.GetLogFont());
            part.SetRotation(p->GetAngle());
        }
    }
    // The primary amount takes the size; the other parts follow it through
    // the format's ratios.
    if (sized)
        p->Part(CPriceFormat::PART_PRIMARY_AMOUNT).SetPointSize(points);
    m_pane->EndEdit(p);
}

void CPriceViewPage1::OnSizeEdited()
{
    if (m_pane->IsLoading())
        return;
    double points = 0;
    if (!PaneUnits::Parse(m_font->Size()->currentText(), points) || points < 1.0 || points > 999.0)
        return;
    if (CPriceField* p = m_pane->BeginEdit(m_font->Size()))
        StyleRule(p);
}

void CPriceViewPage1::OnSingleTypeface()
{
    m_advanced->setEnabled(!m_single->isChecked());
    if (CPriceField* p = m_pane->BeginEdit(m_single))
        StyleRule(p);
}

void CPriceViewPage1::OnAdvanced()
{
    CPriceField* p = m_pane->ElementAs<CPriceField>();
    if (!p)
        return;
    CPriceFontDlg dialog(*p, CFontColourBlock::FillFaces, m_pane);
    if (dialog.exec() != QDialog::Accepted)
        return; // a cancelled dialog changes nothing
    p = m_pane->BeginEdit(m_advanced);
    if (!p)
        return;
    // Each part takes its typeface and style; the sizes stay the element's
    // (the sample's were fitted to its box).
    for (int i = 0; i < CPriceField::kPartCount; ++i) {
        CTextBase& part = p->Part(i);
        const LogFontFields& chosen = dialog.Sample().Part(i).GetFont().GetLogFont();
        LogFontFields lf = part.GetFont().GetLogFont();
        lf.lfFaceName = chosen.lfFaceName;
        lf.lfWeight = chosen.lfWeight;
        lf.lfItalic = chosen.lfItalic;
        lf.lfCharSet = chosen.lfCharSet;
        lf.lfPitchAndFamily = chosen.lfPitchAndFamily;
        part.SetLogFont(lf);
        part.SetRotation(p->GetAngle());
    }
    LoadFont(p);
    StyleRule(p);
}

CPriceViewPage2::CPriceViewPage2(CPriceView* pane, QWidget* parent)
    : CPanePage(parent), m_pane(pane)
{
    Named(this, 377);
    auto* layout = new QVBoxLayout(this);

    QGridLayout* format = AddGroup(layout, tr("Price Format"));
    m_format = Named(new QComboBox(format->parentWidget()), 1059);
    m_view = Named(new QPushButton(tr("View..."), format->parentWidget()), 1185);
    m_pane->AddRow(format, 0, tr("Format"), m_format);
    format->addWidget(m_view, 0, 2);
    connect(m_format, &QComboBox::activated, this, [this] { ApplyFrame(m_format); });
    connect(m_view, &QPushButton::clicked, this, [this] { OnViewFormats(); });

    QGridLayout* frame = AddGroup(layout, tr("Frame"));
    m_copyFit = Named(new QCheckBox(tr("Copy Fit Within Frame :"), frame->parentWidget()), 1173);
    frame->addWidget(m_copyFit, 0, 0, 1, 3);
    connect(m_copyFit, &QCheckBox::clicked, this, [this] { ApplyFrame(m_copyFit); });
    m_height = m_pane->AddLengthField(frame, 1, tr("Height"), 1007, 1019, LENGTH_SIZE,
                                      [this](int) { ApplyFrame(m_height); });
    m_width = m_pane->AddLengthField(frame, 2, tr("Width"), 1008, 1020, LENGTH_SIZE,
                                     [this](int) { ApplyFrame(m_width); });
    m_horz = Combo(frame->parentWidget(), 1079, {tr("Left"), tr("Centre"), tr("Right")});
    m_vert = Combo(frame->parentWidget(), 1080, {tr("Top"), tr("Centre"), tr("Bottom")});
    m_pane->AddRow(frame, 3, tr("Horz"), m_horz);
    m_pane->AddRow(frame, 4, tr("Vert"), m_vert);
    connect(m_horz, &QComboBox::activated, this, [this] { ApplyFrame(m_horz); });
    connect(m_vert, &QComboBox::activated, this, [this] { ApplyFrame(m_vert); });

    QGridLayout* colours = AddGroup(layout, tr("Colours"));
    m_pane->AddColourRow(colours, 0, tr("Text Colour"), 1043, 1044, &m_textColour,
                         [this](COLORREF) {
                             if (CPriceField* p = m_pane->BeginEdit(nullptr)) {
                                 p->SetTextColour(View(), m_textColour);
                                 m_pane->EndEdit(p);
                             }
                         });
    m_background = Named(new QCheckBox(tr("Coloured Background"), colours->parentWidget()), 1204);
    colours->addWidget(m_background, 1, 0, 1, 3);
    connect(m_background, &QCheckBox::clicked, this, [this](bool on) {
        if (CPriceField* p = m_pane->BeginEdit(m_background)) {
            p->m_colouredBackground = on ? TRUE : FALSE;
            m_pane->EndEdit(p);
            ApplyEnabling();
        }
    });
    m_pane->AddColourRow(colours, 2, tr("Background Colour"), 1045, 1046, &m_backgroundColour,
                         [this](COLORREF) {
                             if (CPriceField* p = m_pane->BeginEdit(nullptr)) {
                                 p->m_backgroundColour = m_backgroundColour;
                                 m_pane->EndEdit(p);
                             }
                         });
    m_backgroundRow = RowOf(colours, 2);
    if (!m_backgroundRow.empty())
        m_backgroundRow.front()->setObjectName(QStringLiteral("id1205"));

    QGridLayout* cross = AddGroup(layout, tr("Cross-Out"));
    m_crossOut = Named(new QCheckBox(tr("Cross-Out"), cross->parentWidget()), 1057);
    cross->addWidget(m_crossOut, 0, 0, 1, 3);
    connect(m_crossOut, &QCheckBox::clicked, this, [this] { ApplyCrossOut(m_crossOut); });
    m_pattern = Combo(cross->parentWidget(), 1058,
                      {tr("Upward Diagonal"), tr("Downward Diagonal"), tr("Diagonal Cross")});
    m_pane->AddRow(cross, 1, tr("Pattern"), m_pattern);
    connect(m_pattern, &QComboBox::activated, this, [this] { ApplyCrossOut(m_pattern); });
    m_thickness = m_pane->AddLengthField(cross, 2, tr("Line Thickness"), 1013, 1021, LENGTH_SIZE,
                                         [this](int) { ApplyCrossOut(m_thickness); });
    m_endType = Combo(cross->parentWidget(), 1034,
                      {tr("Square"), tr("Rounded"), tr("Point-In"), tr("Point-Out")});
    m_pane->AddRow(cross, 3, tr("Line End Type"), m_endType);
    connect(m_endType, &QComboBox::activated, this, [this] { ApplyCrossOut(m_endType); });
    m_pane->AddColourRow(cross, 4, tr("Cross-Out Colour"), 1047, 1048, &m_crossOutColour,
                         [this](COLORREF) {
                             if (CPriceField* p = m_pane->BeginEdit(nullptr)) {
                                 p->SetCrossOutColour(View(), m_crossOutColour);
                                 m_pane->EndEdit(p);
                             }
                         });
    m_crossOutRow = RowOf(cross, 4);
    if (!m_crossOutRow.empty())
        m_crossOutRow.front()->setObjectName(QStringLiteral("id1056"));

    layout->addStretch(1);
}

void CPriceViewPage2::FillFormats(CPriceField* p)
{
    m_format->clear();
    QStringList names = ThePriceFormatList().GetFormatNames(true);
    names.sort(Qt::CaseInsensitive);
    m_format->addItems(names);
    m_format->setCurrentIndex(m_format->findText(p->GetFormat().m_name, Qt::MatchExactly));
    m_view->setEnabled(ThePriceFormatList().GetCount() > 1);
}

void CPriceViewPage2::ApplyFrame(QObject* control)
{
    CPriceField* p = m_pane->BeginEdit(control);
    if (!p)
        return;
    p->Invalidate(View(), TRUE);
    p->m_horzJustify = std::max(m_horz->currentIndex(), 0);
    p->m_vertJustify = std::max(m_vert->currentIndex(), 0);
    p->m_copyFit = m_copyFit->isChecked() ? TRUE : FALSE;
    double width = 0;
    double height = 0;
    PaneUnits::Parse(m_width->text(), width);
    PaneUnits::Parse(m_height->text(), height);
    const int w = std::max(PaneUnits::FromDisplay(width), 0);
    const int h = std::max(PaneUnits::FromDisplay(height), 0);
    p->m_formatRect =
        CRect(p->m_position.x, p->m_position.y, p->m_position.x + w, p->m_position.y + h);
    if (const CPriceFormat* format = ThePriceFormatList().FindFormat(m_format->currentText()))
        p->SetFormat(nullptr, format);
    m_pane->EndEdit(p);
    ApplyEnabling();
}

void CPriceViewPage2::OnViewFormats()
{
    CPriceField* p = m_pane->ElementAs<CPriceField>();
    if (!p)
        return;
    const CPriceFormat* chosen =
        ThePriceFormatList().SelectFormat(m_pane, m_format->currentText(), true);
    if (!chosen)
        return; // a cancelled choice changes nothing
    m_format->setCurrentIndex(m_format->findText(chosen->m_name, Qt::MatchExactly));
    ApplyFrame(m_view);
}

void CPriceViewPage2::ApplyCrossOut(QObject* control)
{
    CPriceField* p = m_pane->BeginEdit(control);
    if (!p)
        return;
    p->Invalidate(View(), TRUE);
    p->m_crossOut = m_crossOut->isChecked() ? TRUE : FALSE;
    p->m_crossOutPattern = std::clamp(m_pattern->currentIndex(), 0, 2);
    double thickness = 0;
    int tenths = p->Stroke(0).m_thickness;
    if (PaneUnits::Parse(m_thickness->text(), thickness))
        tenths = std::max(PaneUnits::FromDisplay(thickness), 0);
    p->SetCrossOutLine(nullptr, tenths, std::max(m_endType->currentIndex(), 0));
    m_pane->EndEdit(p);
    ApplyEnabling();
}

void CPriceViewPage2::ApplyEnabling()
{
    const bool background = m_background->isChecked();
    for (QWidget* w : m_backgroundRow)
        w->setVisible(background);
    const bool cross = m_crossOut->isChecked();
    for (QWidget* w : m_crossOutRow)
        w->setVisible(cross);
    for (QWidget* w : std::initializer_list<QWidget*>{m_pattern, m_thickness, m_endType})
        w->setEnabled(cross);
    const bool fit = m_copyFit->isChecked();
    m_vert->setEnabled(fit);
    m_height->setEnabled(fit);
    m_width->setEnabled(fit || m_horz->currentIndex() != 0);
}

// --- loading and editing -----------------------------------------------------------------

void CPriceViewPage1::SetElement(CPriceField* p)
{
    m_pane->LoadCommonBlocks(p, false);
    m_position->Bind(p);
    LoadFont(p);
    const bool uniform = p->HasUniformTypeface() != 0;
    m_single->setChecked(uniform);
    m_advanced->setEnabled(!uniform);
    m_primary->setText(p->m_units);
    m_secondary->setText(p->m_hundredths.size() == 1 ? QStringLiteral("0") + p->m_hundredths
                                                     : p->m_hundredths);
}

void CPriceViewPage1::RefreshGeometry()
{
    auto* p = m_pane->ElementAs<CPriceField>();
    if (!p)
        return;
    const bool loading = m_pane->IsLoading();
    m_pane->SetLoading(true);
    m_position->Refresh();
    // A resize on the canvas may have scaled the fonts.
    p->GetFont(m_workingFont);
    if (!m_font->Size()->hasFocus())
        m_font->ShowSize(m_workingFont.FormatPointSize());
    m_pane->SetLoading(loading);
}

void CPriceViewPage2::SetElement(CPriceField* p)
{
    m_textColour = p->Part(CPriceFormat::PART_PRIMARY_AMOUNT).GetColour();
    m_backgroundColour = p->m_backgroundColour;
    m_crossOutColour = p->Stroke(0).m_colour;
    m_background->setChecked(p->m_colouredBackground);
    m_horz->setCurrentIndex(std::clamp(p->m_horzJustify, 0, 2));
    m_vert->setCurrentIndex(std::clamp(p->m_vertJustify, 0, 2));
    m_copyFit->setChecked(p->m_copyFit);
    m_crossOut->setChecked(p->m_crossOut);
    m_pattern->setCurrentIndex(std::clamp(p->m_crossOutPattern, 0, 2));
    m_pane->SetLength(m_thickness, p->Stroke(0).m_thickness);
    m_endType->setCurrentIndex(std::clamp(p->Stroke(0).m_endStyle, 0, 3));
    FillFormats(p);
}

void CPriceViewPage2::Refresh(bool /*full*/)
{
    if (!m_pane->IsLoading())
        ApplyEnabling();
}

void CPriceViewPage2::RefreshGeometry()
{
    auto* p = m_pane->ElementAs<CPriceField>();
    if (!p)
        return;
    const bool loading = m_pane->IsLoading();
    m_pane->SetLoading(true);
    // The frame: the copy-fit frame's size, or the element's own.
    const CRect frame = p->m_formatRect.IsEmpty() ? p->m_bounds : p->m_formatRect;
    m_pane->SetLength(m_width, frame.Width());
    m_pane->SetLength(m_height, frame.Height());
    // A format made, or deleted, since the list was filled.
    QStringList names = ThePriceFormatList().GetFormatNames(true);
    names.sort(Qt::CaseInsensitive);
    QStringList listed;
    for (int i = 0; i < m_format->count(); ++i)
        listed << m_format->itemText(i);
    if (listed != names)
        FillFormats(p);
    m_pane->SetLoading(loading);
}

// --- the pane ------------------------------------------------------------------------------

CPriceView::CPriceView(CPriceField* price, QWidget* parent)
    : CElementView(price, kFormId, tr("Price"), parent)
{
    m_tabs = new CTab(Form()->parentWidget());
    Form()->addWidget(m_tabs);
    m_page1 = new CPriceViewPage1(this, m_tabs);
    m_page2 = new CPriceViewPage2(this, m_tabs);
    m_tabs->AddPage(m_page1, tr("Text"));
    m_tabs->AddPage(m_page2, tr("Formatting"));
    if (price) {
        SetLoading(true);
        m_page1->SetElement(price);
        m_page2->SetElement(price);
        UpdateFromElement();
        m_page2->ApplyEnabling();
    }
    SetLoading(false);
}

void CPriceView::UpdateFromElement()
{
    m_page1->RefreshGeometry();
    m_page2->RefreshGeometry();
}

CPriceField* CPriceView::BeginEdit(QObject* control)
{
    if (IsLoading())
        return nullptr;
    auto* p = ElementAs<CPriceField>();
    if (!p)
        return nullptr;
    // The pane's opening kept the state before the first edit.
    if (m_steps.Starts(control))
        TheUndoHistory().Record(UNDO_CHANGED, p);
    return p;
}

void CPriceView::EndEdit(CPriceField* p)
{
    ElementEdited(p);
}
