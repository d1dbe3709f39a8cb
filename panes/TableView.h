// The table pane: the table's place and size, and the format text its rows
// and cells are built from. An edited format is taken only when Apply is
// pressed and the text is valid; the cells whose type it keeps keep their
// elements.
#pragma once

#include "ElementView.h"

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
    // The four fields into the table's rectangle; the size is refused below
    // its minimum.
    void ApplyPlacement(QLineEdit* typed, bool size);
    void OnApply();

    QObject* m_lastEdit = nullptr;
    int m_edits = 0;
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QPlainTextEdit* m_format = nullptr;
    QPushButton* m_apply = nullptr;
};
