#include "SymbolView.h"

#include "FontColourBlock.h"
#include "PaneControls.h"
#include "PositionSizeBlock.h"
#include "RotationBlock.h"

#include "AppContext.h"
#include "DC.h"
#include "MessageBox.h"
#include "Symbol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PaneBuild;

namespace {

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

} // namespace

CSymbolView::CSymbolView(CSymbol* symbol, QWidget* parent)
    : CElementView(symbol, kFormId, tr("Symbol"), parent)
{
    AddNameBlock();
    // A symbol is never printed by the printer's own commands.
    AddPrintOptions(false);
    QWidget* body = Form()->parentWidget();

    m_position = new CPositionSizeBlock(
        {tr("Position"), true}, DirectEdits(),
        [](const CElement* e) {
            const CPoint p = static_cast<const CSymbol*>(e)->TextBase().GetOrigin();
            return CPositionSizeBlock::Place{p.x, p.y};
        },
        [](CElement* e, CPositionSizeBlock::Field field, int tenths) {
            auto* s = static_cast<CSymbol*>(e);
            CPoint p = s->TextBase().GetOrigin();
            (field == CPositionSizeBlock::FIELD_X ? p.x : p.y) = tenths;
            s->SetOrigin(View(), p.x, p.y);
        },
        body);
    Form()->addWidget(m_position);
    m_position->AddRotation(
        tr("Angle"), 360, [](const CElement* e) { return static_cast<const CSymbol*>(e)->GetAngle(); },
        [](CElement* e, int degrees) {
            static_cast<CSymbol*>(e)->SetAngle(View(), degrees);
            return true;
        });
    QGridLayout* place = m_position->Grid();
    m_size = new QComboBox(place->parentWidget());
    m_size->setObjectName(Id(1040));
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    AddRow(place, m_position->NextRow(), tr("Point Size"), m_size);
    connect(m_size, &QComboBox::textActivated, this, &CSymbolView::OnPointSize);
    connect(m_size->lineEdit(), &QLineEdit::textEdited, this, &CSymbolView::OnPointSize);

    QGridLayout* look = AddGroup(Form(), body, tr("Symbol"));
    m_symbols = new QListWidget(look->parentWidget());
    m_symbols->setObjectName(Id(1219));
    m_symbols->setViewMode(QListView::IconMode);
    m_symbols->setFlow(QListView::LeftToRight);
    m_symbols->setWrapping(true);
    m_symbols->setResizeMode(QListView::Adjust);
    m_symbols->setMovement(QListView::Static);
    m_symbols->setSelectionMode(QAbstractItemView::SingleSelection);
    m_symbols->setGridSize(QSize(kListFontHeight + 8, kListFontHeight + 12));
    m_symbols->setMinimumHeight(2 * kListFontHeight + 30);
    look->addWidget(m_symbols, 0, 0, 1, 3);
    connect(m_symbols, &QListWidget::itemSelectionChanged, this, &CSymbolView::OnSymbolChosen);
    m_ascii = new QLabel(look->parentWidget());
    m_ascii->setObjectName(Id(1501));
    AddRow(look, 1, tr("ASCII :"), m_ascii);
    m_decimal = new QLabel(look->parentWidget());
    m_decimal->setObjectName(Id(1502));
    AddRow(look, 2, tr("Decimal :"), m_decimal);
    AddColourRow(look, 3, tr("Colour"), 1043, 1044, &m_colour, [this](COLORREF) {
        if (auto* s = ElementAs<CSymbol>()) {
            s->SetColour(View(), m_colour);
            ElementEdited(s);
        }
    });
    m_background = new QCheckBox(tr("Coloured Background"), look->parentWidget());
    m_background->setObjectName(Id(1204));
    look->addWidget(m_background, 4, 0, 1, 3);
    connect(m_background, &QCheckBox::clicked, this, [this](bool on) {
        if (auto* s = ElementAs<CSymbol>(); s && !IsLoading()) {
            s->SetBackground(View(), on ? TRUE : FALSE, m_backgroundColour);
            ShowBackground(on);
            ElementEdited(s);
        }
    });
    AddColourRow(look, 5, tr("Background"), 1045, 1046, &m_backgroundColour, [this](COLORREF) {
        if (auto* s = ElementAs<CSymbol>()) {
            s->SetBackground(View(), s->m_colouredBackground, m_backgroundColour);
            ElementEdited(s);
        }
    });
    m_backgroundSwatch = findChild<QWidget*>(Id(1045));
    m_backgroundButton = findChild<QPushButton*>(Id(1046));
    if (m_backgroundSwatch) {
        // The row's caption names the background colour.
        const int index = look->indexOf(m_backgroundSwatch);
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        look->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        if (QLayoutItem* caption = look->itemAtPosition(row, 0))
            m_backgroundLabel = qobject_cast<QLabel*>(caption->widget());
        if (m_backgroundLabel)
            m_backgroundLabel->setObjectName(Id(1205));
    }

    AddSourceBlock(true);

    if (symbol) {
        m_colour = symbol->TextBase().GetColour();
        m_backgroundColour = symbol->m_backgroundColour;
        m_background->setChecked(symbol->m_colouredBackground != 0);
        LoadCommonBlocks(symbol, false);
        m_position->Bind(symbol);
        FillSymbolList(symbol);
        m_size->addItems(CFontColourBlock::SizeItems(symbol->TextBase().GetFont()));
    }
    ShowBackground(symbol && symbol->m_colouredBackground);
    UpdateFromElement();
    SetLoading(false);
}

void CSymbolView::FillSymbolList(CSymbol* symbol)
{
    // The characters in the symbol's own font, as it is drawn.
    QFont font(CDC::SubstituteFaceName(symbol->TextBase().GetFont().GetMeasuredFace()));
    font.setPixelSize(kListFontHeight);
    m_symbols->setFont(font);
    const QSignalBlocker block(m_symbols);
    m_symbols->clear();
    for (int code = CSymbol::kFirstCode; code <= CSymbol::kLastCode; ++code) {
        auto* item = new QListWidgetItem(QString(QChar(code)), m_symbols);
        item->setTextAlignment(Qt::AlignCenter);
    }
}

void CSymbolView::UpdateFromElement()
{
    auto* symbol = ElementAs<CSymbol>();
    if (!symbol)
        return;
    const bool loading = IsLoading();
    SetLoading(true);
    m_position->Refresh();
    m_size->setEditText(symbol->TextBase().GetFont().FormatPointSize());
    ShowCharacter(symbol->GetSampleData());
    SetLoading(loading);
}

void CSymbolView::ShowCharacter(const QString& text)
{
    const QSignalBlocker block(m_symbols);
    m_symbols->clearSelection();
    if (text.isEmpty()) {
        m_ascii->clear();
        m_decimal->clear();
        return;
    }
    // A stored character the list does not offer is shown as it is, with
    // no item chosen for it.
    const int code = text.at(0).unicode();
    if (code >= CSymbol::kFirstCode && code <= CSymbol::kLastCode) {
        QListWidgetItem* item = m_symbols->item(code - CSymbol::kFirstCode);
        item->setSelected(true);
        m_symbols->setCurrentItem(item);
        m_symbols->scrollToItem(item);
    } else {
        m_symbols->setCurrentItem(nullptr);
    }
    m_ascii->setText(text.left(1));
    m_decimal->setText(QString::asprintf("%d", code));
}

void CSymbolView::OnSymbolChosen()
{
    auto* symbol = ElementAs<CSymbol>();
    if (!symbol || IsLoading())
        return;
    const QList<QListWidgetItem*> selected = m_symbols->selectedItems();
    if (selected.isEmpty())
        return;
    const QString character = selected.first()->text().left(1);
    symbol->SetSampleData(View(), character);
    m_ascii->setText(character);
    m_decimal->setText(
        QString::asprintf("%d", m_symbols->row(selected.first()) + CSymbol::kFirstCode));
    ElementEdited(symbol);
}

void CSymbolView::OnPointSize(const QString& text)
{
    auto* symbol = ElementAs<CSymbol>();
    if (!symbol || IsLoading())
        return;
    double points = 0;
    if (!PaneUnits::Parse(text, points) || points <= 0)
        return; // nothing to apply while the number is being typed
    const CLogFont& font = symbol->TextBase().GetFont();
    // A size beyond what the face allows becomes the nearest it allows.
    const int typed = font.PointsToHeight(points);
    const int height = font.SnapHeight(typed);
    symbol->SetFontHeight(View(), height);
    if (height != typed) {
        const bool loading = IsLoading();
        SetLoading(true);
        m_size->setEditText(symbol->TextBase().GetFont().FormatPointSize());
        SetLoading(loading);
    }
    ElementEdited(symbol);
}

void CSymbolView::ShowBackground(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(m_backgroundLabel), m_backgroundSwatch,
                       static_cast<QWidget*>(m_backgroundButton)}) {
        if (w)
            w->setVisible(on);
    }
}
