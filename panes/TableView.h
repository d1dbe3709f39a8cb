// The table pane: the table's place and size, and the format text its rows
// and cells are built from. An edited format is taken only when Apply is
// pressed and the text is valid; the cells whose type it keeps keep their
// elements.
#pragma once

#include "ElementView.h"
#include "PositionSizeBlock.h"

class CTable;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CTableView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 388;

    explicit CTableView(CTable* table, QWidget* parent = nullptr);
    void UpdateFromElement() override;

private:
    // Before an edit: the table's state is kept for Undo. The pane's
    // opening kept the state before the first edit; typing on in the same
    // field adds no further step, each Apply does.
    CTable* BeginEdit(QObject* control, bool ownStep = false);
    // A typed width or height below the table's minimum is refused.
    bool AcceptSize(CPositionSizeBlock::Field field);
    // The position fields (and after a typed size, the size fields) into
    // the table's rectangle.
    void ApplyPlacement(CTable* table, CPositionSizeBlock::Field field);
    void OnApply();

    QObject* m_lastEdit = nullptr;
    int m_edits = 0;
    CPositionSizeBlock* m_position = nullptr;
    QPlainTextEdit* m_format = nullptr;
    QPushButton* m_apply = nullptr;
};
