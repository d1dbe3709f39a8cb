// "Select GS1 DataBar Type": the kind of a GS1 DataBar being placed.
#pragma once

#include <QDialog>

class QButtonGroup;

class CGS1DataBarTypeDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 397;

    explicit CGS1DataBarTypeDlg(QWidget* parent = nullptr, int index = 0);

    // 0 Omnidirectional .. 5 Expanded.
    int SelectedIndex() const;
    void SelectIndex(int index);

private:
    QButtonGroup* m_group = nullptr;
};
