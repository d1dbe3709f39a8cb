#include "PaneBlock.h"

CPaneBlock::CPaneBlock(const QString& title, Edits edits, QWidget* parent)
    : QGroupBox(title, parent), m_edits(std::move(edits))
{
}

void CPaneBlock::Edit(QObject* control, const std::function<void(CElement*)>& change)
{
    if (m_binding || !m_edits.begin || !m_element.Get())
        return;
    CElement* e = m_edits.begin(control);
    if (!e)
        return;
    change(e);
    if (m_edits.end)
        m_edits.end(e);
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
