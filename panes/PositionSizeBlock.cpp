#include "PositionSizeBlock.h"

#include "RotationBlock.h"

#include <QGridLayout>
#include <QLineEdit>

CPositionSizeBlock::CPositionSizeBlock(const Shape& shape, Edits edits, Reader read, Writer write,
                                       QWidget* parent, Check check)
    : CPaneBlock(shape.title, std::move(edits), parent), m_shape(shape), m_read(std::move(read)),
      m_write(std::move(write)), m_check(std::move(check))
{
    m_grid = new QGridLayout(this);
    struct Row
    {
        Field field;
        QString label;
        int id;
        LengthKind kind;
    };
    std::vector<Row> rows{
        {FIELD_X, shape.origin ? tr("Origin X") : tr("X"), 1002, LENGTH_POSITION},
        {FIELD_Y, shape.origin ? tr("Origin Y") : tr("Y"), 1005, LENGTH_POSITION}};
    if (shape.size) {
        rows.push_back({FIELD_WIDTH, tr("Width"), 1008, shape.sizeKind});
        rows.push_back({FIELD_HEIGHT, tr("Height"), 1007, shape.sizeKind});
    }
    for (const Row& row : rows) {
        const int at = int(&row - rows.data());
        m_fields[row.field] =
            AddLengthRow(m_grid, at, row.label, row.id, 1019 + at, row.kind,
                         [this, field = row.field](int tenths) { OnTyped(field, tenths); });
    }
}

void CPositionSizeBlock::Bind(CElement* element)
{
    SetBound(element);
    Refresh();
}

void CPositionSizeBlock::Refresh()
{
    const CElement* e = Bound();
    if (!e)
        return;
    const bool binding = IsBinding();
    SetBinding(true);
    const Place place = m_read(e);
    const int values[4] = {place.x, place.y, place.width, place.height};
    for (int field = FIELD_X; field <= FIELD_HEIGHT; ++field) {
        QLineEdit* shown = m_fields[field];
        if (shown && !(m_shape.keepTyped && shown->hasFocus()))
            shown->setText(PaneUnits::Format(values[field]));
    }
    if (m_rotation)
        m_rotation->Refresh(m_shape.keepTyped);
    SetBinding(binding);
}

int CPositionSizeBlock::Typed(Field field, int fallback) const
{
    double value = 0;
    if (!m_fields[field] || !PaneUnits::Parse(m_fields[field]->text().trimmed(), value))
        return fallback;
    return PaneUnits::FromDisplay(value);
}

void CPositionSizeBlock::Show(Field field, int tenths)
{
    if (m_fields[field])
        m_fields[field]->setText(PaneUnits::Format(tenths));
}

void CPositionSizeBlock::OnTyped(Field field, int tenths)
{
    if (m_check && !m_check(field, tenths))
        return;
    Edit(m_fields[field], [this, field, tenths](CElement* e) { m_write(e, field, tenths); });
}

CRotationBlock* CPositionSizeBlock::AddRotation(const QString& label, int maxDegrees,
                                                std::function<int(const CElement*)> read,
                                                std::function<bool(CElement*, int)> write)
{
    m_rotation = new CRotationBlock(this, label, maxDegrees, std::move(read), std::move(write));
    return m_rotation;
}
