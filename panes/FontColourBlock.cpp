#include "FontColourBlock.h"

#include "AppContext.h"
#include "ListCtrlEx.h"
#include "ResourceIds.h"
#include "Rounding.h"
#include "Strings.h"
#include "SystemCallbacks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

using namespace PaneBuild;

namespace {

QLabel* Row(QGridLayout* grid, int row, const QString& text, QWidget* control)
{
    auto* label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
    return label;
}

} // namespace

CFontColourBlock::CFontColourBlock(int options, QWidget* parent) : QGroupBox(tr("Font"), parent)
{
    setObjectName(QStringLiteral("fontBlock"));
    m_grid = new QGridLayout(this);
    int row = 0;
    m_faces = Named(new CListCtrlEx(this), 1164);
    FillFaces(m_faces);
    m_faces->setMinimumHeight(110);
    m_grid->addWidget(m_faces, row++, 0, 1, 3);
    connect(m_faces, &CListCtrlEx::itemSelectionChanged, this, [this] { OnFace(); });
    m_faceKind = Named(new QLabel(this), 1165);
    m_faceKind->setWordWrap(true);
    m_grid->addWidget(m_faceKind, row++, 0, 1, 3);
    m_size = Named(new QComboBox(this), 1040);
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    Row(m_grid, row++, tr("Size"), m_size);
    m_style = Combo(this, (options & SYMBOL_TEXT) ? 1539 : 1039, {tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    Row(m_grid, row++, tr("Style"), m_style);
    connect(m_size, &QComboBox::textActivated, this, &CFontColourBlock::OnSize);
    connect(m_size->lineEdit(), &QLineEdit::textEdited, this, &CFontColourBlock::OnSize);
    const auto style = [this] {
        if (!m_showing)
            emit styleChosen();
    };
    connect(m_style, &QComboBox::activated, this, style);
    if (options & EFFECTS) {
        m_underline = Named(new QCheckBox(tr("Underline"), this), 1038);
        m_strikeOut = Named(new QCheckBox(tr("Strikeout"), this), 1037);
        m_grid->addWidget(m_underline, row++, 0, 1, 2);
        m_grid->addWidget(m_strikeOut, row++, 0, 1, 2);
        for (QCheckBox* check : {m_underline, m_strikeOut})
            connect(check, &QCheckBox::clicked, this, style);
    }
    if (options & COLOUR) {
        auto* swatch = Named(new QFrame(this), 1043);
        swatch->setFixedSize(40, 20);
        auto* select = Named(new QPushButton(tr("Select..."), this), 1044);
        m_colour = new CColourSwatch;
        m_colour->setParent(this);
        m_colour->Attach(swatch, this, &m_ownColour);
        m_colourSelect = select;
        Row(m_grid, row, tr("Colour"), swatch);
        m_grid->addWidget(select, row++, 2);
        connect(select, &QPushButton::clicked, this, [this] {
            if (m_colour->ChooseColour())
                emit colourChosen();
        });
    }
    m_nextRow = row;
}

// --- the face lists ---------------------------------------------------------------

void CFontColourBlock::FillFaces(CListCtrlEx* list)
{
    PrepareFaceList(list);
    FillFaceList(list);
}

int CFontColourBlock::SelectFace(CListCtrlEx* list, const QString& face)
{
    return SelectFaceInList(list, face);
}

bool CFontColourBlock::IsTrueType(DWORD faceData)
{
    return (faceData & 0x04) != 0;
}

QStringList CFontColourBlock::SizeItems(const CLogFont& font)
{
    return FaceSizeItems(font);
}

// --- showing --------------------------------------------------------------------------

void CFontColourBlock::ShowFaceKind(DWORD faceData)
{
    m_faceKind->setText(
        LoadStringId(IsTrueType(faceData) ? IDS_TRUETYPE_FONT_NOTE : IDS_PRINTER_FONT_NOTE));
}

void CFontColourBlock::ShowFont(const CLogFont& font)
{
    const bool wasShowing = m_showing;
    m_showing = true;
    m_faceRow = SelectFace(m_faces, font.GetFaceName());
    const DWORD data = m_faceRow >= 0 ? DWORD(m_faces->ItemData(m_faceRow)) : 0;
    ShowFaceKind(data);
    m_size->clear();
    m_size->addItems(SizeItems(font));
    const QString shown = font.FormatPointSize();
    const int index = m_size->findText(shown);
    if (index >= 0)
        m_size->setCurrentIndex(index);
    m_size->setEditText(shown);
    m_style->setCurrentIndex(font.GetStyleIndex());
    if (m_underline) {
        m_underline->setChecked(font.GetLogFont().lfUnderline != 0);
        m_strikeOut->setChecked(font.GetLogFont().lfStrikeOut != 0);
    }
    m_showing = wasShowing;
}

void CFontColourBlock::ShowSize(const QString& points)
{
    const bool wasShowing = m_showing;
    m_showing = true;
    m_size->setEditText(points);
    m_showing = wasShowing;
}

void CFontColourBlock::SetColourField(COLORREF* colour)
{
    if (m_colour)
        m_colour->SetColourField(colour ? colour : &m_ownColour);
}

CLogFont CFontColourBlock::ReadStyle(const CLogFont& font) const
{
    CFontControlValues values;
    values.styleIndex = m_style->currentIndex();
    values.sizeText = font.FormatPointSize(); // the font's own size
    values.underline = m_underline && m_underline->isChecked() ? 1 : 0;
    values.strikeOut = m_strikeOut && m_strikeOut->isChecked() ? 1 : 0;
    if (!m_underline) {
        values.underline = font.GetLogFont().lfUnderline ? 1 : 0;
        values.strikeOut = font.GetLogFont().lfStrikeOut ? 1 : 0;
    }
    CLogFont styled = font;
    const LONG height = styled.GetHeight();
    styled.ReadFontControls(values);
    styled.SetHeight(height); // the style leaves the size as it was
    return styled;
}

// --- the user's choices -----------------------------------------------------------------

void CFontColourBlock::OnFace()
{
    if (m_showing)
        return;
    const int row = m_faces->SelectedItem();
    if (row < 0) {
        // A click on no item: the face shown is selected again.
        if (m_faceRow >= 0 && m_faceRow < m_faces->ItemCount()) {
            m_showing = true;
            m_faces->SelectItem(m_faceRow);
            m_showing = false;
        }
        return;
    }
    m_faceRow = row;
    const QString face = m_faces->CellText(row, 0);
    const DWORD data = DWORD(m_faces->ItemData(row));
    ShowFaceKind(data);
    emit faceChosen(face, data);
}

void CFontColourBlock::OnSize(const QString& text)
{
    if (m_showing)
        return;
    double points = 0;
    if (!PaneUnits::Parse(text, points) || points <= 0 || points > 10000)
        return; // nothing to apply while the number is being typed
    emit sizeChosen(points);
}

// --- a bound element --------------------------------------------------------------------

void CFontColourBlock::Bind(CElement* element, Edits edits,
                            std::function<void(CElement*)> colourApply)
{
    const bool first = !m_element.WasSet() && !m_edits.begin;
    m_element = CElementHandle(element);
    m_edits = std::move(edits);
    m_colourApply = std::move(colourApply);
    CLogFont font;
    if (element && element->GetFont(font))
        ShowFont(font);
    if (!first)
        return;
    connect(this, &CFontColourBlock::faceChosen, this, [this](const QString& face, DWORD data) {
        EditFont(m_faces, [&](CLogFont& font) {
            font.SetFaceFromList(face, data);
            font.SetHeight(font.GetHeight()); // the nearest size the new face allows
        });
    });
    connect(this, &CFontColourBlock::sizeChosen, this, [this](double points) {
        CElement* e = m_element.Get();
        CLogFont font;
        if (!e || !e->GetFont(font))
            return;
        const LONG before = font.GetHeight();
        font.SetHeight(font.PointsToHeight(points));
        if (font.GetHeight() != before)
            EditFont(m_size, [&](CLogFont& edited) { edited.SetHeight(font.GetHeight()); });
    });
    connect(this, &CFontColourBlock::styleChosen, this,
            [this] { EditFont(m_style, [this](CLogFont& font) { font = ReadStyle(font); }); });
    connect(this, &CFontColourBlock::colourChosen, this, [this] {
        CElement* e = m_element.Get();
        if (!e || !m_edits.begin || !(e = m_edits.begin(m_colourSelect)))
            return;
        if (m_colourApply)
            m_colourApply(e);
        if (m_edits.end)
            m_edits.end(e);
    });
}

void CFontColourBlock::EditFont(QObject* control, const std::function<void(CLogFont&)>& change)
{
    if (!m_edits.begin || !m_element.Get())
        return;
    CElement* e = m_edits.begin(control);
    CLogFont font;
    if (!e || !e->GetFont(font))
        return;
    change(font);
    e->SetFont(PaneBuild::View(), font);
    if (m_edits.end)
        m_edits.end(e);
    // A new face may allow other sizes.
    CLogFont shown;
    if (control != m_size && e->GetFont(shown))
        ShowFont(shown);
}
