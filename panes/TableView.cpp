#include "TableView.h"

#include "PaneControls.h"
#include "PositionSizeBlock.h"

#include "Helpers.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "Table.h"
#include "UndoHistory.h"

#include <QFontMetricsF>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace PaneBuild;

CTableView::CTableView(CTable* table, QWidget* parent)
    : CElementView(table, kFormId, tr("Table"), parent)
{
    QWidget* body = Form()->parentWidget();
    CPaneBlock::Edits edits{[this](QObject* control) -> CElement* { return BeginEdit(control); },
                            [this](CElement* e) { ElementEdited(e); }, {}};
    m_position = new CPositionSizeBlock(
        {tr("Position and Size"), true, true, LENGTH_SIZE, true}, edits,
        [](const CElement* e) {
            const CRect& r = static_cast<const CTable*>(e)->m_tableRect;
            return CPositionSizeBlock::Place{r.left, r.top, r.Width(), r.Height()};
        },
        [this](CElement* e, CPositionSizeBlock::Field field, int) {
            ApplyPlacement(static_cast<CTable*>(e), field);
        },
        body, [this](CPositionSizeBlock::Field field, int) { return AcceptSize(field); });
    Form()->addWidget(m_position);

    QGridLayout* format = AddGroup(Form(), body, tr("Format Specification"));
    m_format = Named(new QPlainTextEdit(format->parentWidget()), 1162);
    m_format->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A tab stop every 5 dialog units (a dialog unit is a quarter of the
    // font's average character width).
    m_format->setTabStopDistance(5 * QFontMetricsF(m_format->font()).averageCharWidth() / 4);
    m_format->setMinimumHeight(160);
    format->addWidget(m_format, 0, 0, 1, 2);
    m_apply = Named(new QPushButton(tr("Apply"), format->parentWidget()), 1191);
    format->addWidget(m_apply, 1, 1);
    connect(m_format, &QPlainTextEdit::textChanged, this, [this] {
        if (!IsLoading())
            m_apply->setEnabled(true);
    });
    connect(m_apply, &QPushButton::clicked, this, [this] { OnApply(); });
    Form()->addStretch(1);

    if (table)
        m_format->setPlainText(NormalizeLineBreaks(table->m_formatText));
    m_apply->setEnabled(false);
    m_position->Bind(table);
    UpdateFromElement();
    SetLoading(false);
}

void CTableView::UpdateFromElement()
{
    auto* table = ElementAs<CTable>();
    if (!table)
        return;
    const bool loading = IsLoading();
    SetLoading(true);
    m_position->Refresh();
    SetLoading(loading);
}

CTable* CTableView::BeginEdit(QObject* control, bool ownStep)
{
    if (IsLoading())
        return nullptr;
    auto* table = ElementAs<CTable>();
    if (!table)
        return nullptr;
    // The first edit needs no step of its own when the last step is the
    // one the pane's opening kept (not so for a table just drawn, whose
    // step of being added came after it).
    CUndoHistory& history = TheUndoHistory();
    const bool openingKept =
        m_edits == 0 && history.CanUndo() &&
        history.GetRecord(history.GetCurrent()).kind == UNDO_CHANGED &&
        history.GetRecord(history.GetCurrent()).identity == table->m_undoIdentity;
    ++m_edits;
    if (!openingKept && (ownStep || control != m_lastEdit || m_edits == 1))
        history.Record(UNDO_CHANGED, table);
    m_lastEdit = control;
    return table;
}

bool CTableView::AcceptSize(CPositionSizeBlock::Field field)
{
    if (field != CPositionSizeBlock::FIELD_WIDTH && field != CPositionSizeBlock::FIELD_HEIGHT)
        return true;
    // A table is at least a tenth of a millimetre (a hundredth of an inch)
    // wide and high.
    double value = 0;
    PaneUnits::Parse(m_position->FieldOf(field)->text().trimmed(), value);
    const bool inches = PaneUnits::Inches();
    const double low = inches ? 0.01 : 0.1;
    if (value < low - 1e-9) {
        AppMessageBox(tr("Please enter a number between %1 and %2.")
                          .arg(QLocale().toString(low), QLocale().toString(inches ? 60 : 1500)),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CTableView::ApplyPlacement(CTable* table, CPositionSizeBlock::Field field)
{
    using Block = CPositionSizeBlock;
    const bool size = field == Block::FIELD_WIDTH || field == Block::FIELD_HEIGHT;
    const CRect old = table->m_tableRect;
    const int x = m_position->Typed(Block::FIELD_X, old.left);
    const int y = m_position->Typed(Block::FIELD_Y, old.top);
    const int width = size ? m_position->Typed(Block::FIELD_WIDTH, old.Width()) : old.Width();
    const int height = size ? m_position->Typed(Block::FIELD_HEIGHT, old.Height()) : old.Height();
    table->Invalidate(View(), TRUE);
    table->m_tableRect = CRect(x, y, x + width, y + height);
}

void CTableView::OnApply()
{
    auto* table = ElementAs<CTable>();
    if (!table)
        return;
    const QString text = NormalizeLineBreaks(m_format->toPlainText());
    // A text that is not a valid format changes nothing: the typed text
    // stays for mending and Apply stays on.
    // The message says what is wrong and where, under its usual first line.
    QString problem;
    if (!CTableFormat::Parse(text, &problem)) {
        AppMessageBox(LoadStringId(IDS_TABLE_FORMAT_ERROR) + QStringLiteral("\n\n") + problem,
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    table = BeginEdit(m_apply, true);
    if (!table)
        return;
    table->Invalidate(View(), TRUE);
    if (!table->ApplyFormat(text)) {
        AppMessageBoxId(IDS_TABLE_FORMAT_ERROR, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ElementEdited(table);
    m_apply->setEnabled(false);
}
