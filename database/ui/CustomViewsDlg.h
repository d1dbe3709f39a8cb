// The Custom Views dialog: edits a copy of the program's named views (name
// and query), tests a query on the link and picks the view to use.
#pragma once

#include "DatabaseLink.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class CCustomViewsDlg : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDC_QUERY = 1004,
        IDC_NAME = 1050,
        IDC_VIEWS = 1219,
        IDC_ADD = 1243,
        IDC_UPDATE = 1283,
        IDC_TEST = 1494,
        IDC_DELETE = 1515,
    };

    // views is the list the dialog edits; link is the one Test opens.
    CCustomViewsDlg(CCustomViewList views, CDatabaseLink& link, QWidget* parent = nullptr);

    const CCustomViewList& Views() const { return m_views; }
    // The view chosen with Use.
    const QString& ChosenName() const { return m_chosen; }

private:
    void ShowSelection();
    void SetButtons();
    QString SelectedName() const;
    void OnAdd();
    void OnUpdate();
    void OnDelete();
    void OnTest();
    void OnUse();

    CCustomViewList m_views;
    CDatabaseLink& m_link;
    QString m_chosen;
    QListWidget* m_list = nullptr;
    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_query = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_update = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_use = nullptr;
};

// Empties the list box and adds every view's name; the number of views.
int FillViewList(QListWidget& list, const CCustomViewList& views);

// Runs the dialog on a copy of the program's view list, which takes the
// copy back however the dialog ends. The chosen view's name after Use,
// else empty.
QString RunCustomViews(QWidget* parent, CDatabaseLink& link);
