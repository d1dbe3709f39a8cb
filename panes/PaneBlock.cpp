#include "PaneBlock.h"

CPaneBlock::CPaneBlock(const QString& title, Edits edits, QWidget* parent)
    : QGroupBox(title, parent), m_edits(std::move(edits))
{
}

void CPaneBlock::Edit(QObject* control, const std::function<void(CElement*)>& change)
{
    EditIf(control, [&change](CElement* e) {
        change(e);
        return true;
    });
}

bool CPaneBlock::EditIf(QObject* control, const std::function<bool(CElement*)>& change)
{
    if (m_binding || !m_edits.begin || !m_element.Get())
        return false;
    CElement* e = m_edits.begin(control);
    if (!e || !change(e))
        return false;
    if (m_edits.end)
        m_edits.end(e);
    return true;
}

void CPaneBlock::MarkModified() const
{
    if (m_edits.modified)
        m_edits.modified();
}

QLineEdit* CPaneBlock::AddLengthRow(QGridLayout* grid, int row, const QString& label, int id,
                                    int unitLabelId, LengthKind kind,
                                    std::function<void(int)> apply)
{
    return PaneBuild::AddLengthField(grid, row, label, id, unitLabelId, kind,
                                     [this] { return !m_binding && Bound(); }, std::move(apply));
}
