// The Data Tree dialog: the sign's data paths as a tree, every element or
// variable that takes no value from another at the root and beneath each
// item what it feeds.
#pragma once

#include <QDialog>

class QTreeWidget;

class CDataTreeDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 212,
        IDC_TREE = 1282,
    };

    explicit CDataTreeDlg(QWidget* parent = nullptr);
    QTreeWidget* Tree() const { return m_tree; }

private:
    QTreeWidget* m_tree = nullptr;
};
