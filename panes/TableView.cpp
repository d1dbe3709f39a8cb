#include "TableView.h"

#include "PaneControls.h"

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

namespace {

// A typed length in tenths of a millimetre, or the fallback when the field
// does not hold a number.
int TypedLength(const QLineEdit* field, int fallback)
{
    double value = 0;
    if (!PaneUnits::Parse(field->text().trimmed(), value))
        return fallback;
    return PaneUnits::FromDisplay(value);
}

} // namespace

CTableView::CTableView(CTable* table, QWidget* parent)
    : CElementView(table, kFormId, tr("Table"), parent)
{
    QWidget* body = Form()->parentWidget();
    QGridLayout* place = AddGroup(Form(), body, tr("Position and Size"));
    m_x = AddLengthField(place, 0, tr("Origin X"), 1002, 1019, LENGTH_POSITION,
                         [this](int) { ApplyPlacement(m_x, false); });
    m_y = AddLengthField(place, 1, tr("Origin Y"), 1005, 1020, LENGTH_POSITION,
                         [this](int) { ApplyPlacement(m_y, false); });
    m_width = AddLengthField(place, 2, tr("Width"), 1008, 1021, LENGTH_SIZE,
                             [this](int) { ApplyPlacement(m_width, true); });
    m_height = AddLengthField(place, 3, tr("Height"), 1007, 1022, LENGTH_SIZE,
                              [this](int) { ApplyPlacement(m_height, true); });

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
    const CRect& r = table->m_tableRect;
    // A field being typed in keeps what the user typed.
    const struct
    {
        QLineEdit* field;
        int tenths;
    } fields[] = {{m_x, r.left}, {m_y, r.top}, {m_width, r.Width()}, {m_height, r.Height()}};
    for (const auto& f : fields) {
        if (!f.field->hasFocus())
            SetLength(f.field, f.tenths);
    }
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

void CTableView::ApplyPlacement(QLineEdit* typed, bool size)
{
    if (size) {
        // A table is at least a tenth of a millimetre (a hundredth of an
        // inch) wide and high.
        double value = 0;
        PaneUnits::Parse(typed->text().trimmed(), value);
        const bool inches = PaneUnits::Inches();
        const double low = inches ? 0.01 : 0.1;
        if (value < low - 1e-9) {
            AppMessageBox(tr("Please enter a number between %1 and %2.")
                              .arg(QLocale().toString(low), QLocale().toString(inches ? 60 : 1500)),
                          MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    CTable* table = BeginEdit(typed);
    if (!table)
        return;
    const CRect old = table->m_tableRect;
    const int x = TypedLength(m_x, old.left);
    const int y = TypedLength(m_y, old.top);
    const int width = size ? TypedLength(m_width, old.Width()) : old.Width();
    const int height = size ? TypedLength(m_height, old.Height()) : old.Height();
    table->Invalidate(View(), TRUE);
    table->m_tableRect = CRect(x, y, x + width, y + height);
    ElementEdited(table);
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
