// The SQL Format dialog: the seven characters with which the link writes
// field names, strings, dates and "starts with" patterns into SQL.
#pragma once

#include <QDialog>

class CDatabaseLink;
class QLineEdit;

class CSqlFormatDlg : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDC_NAME_OPEN = 1445,
        IDC_NAME_CLOSE = 1446,
        IDC_STRING_OPEN = 1447,
        IDC_STRING_CLOSE = 1448,
        IDC_DATE_OPEN = 1449,
        IDC_DATE_CLOSE = 1450,
        IDC_WILDCARD = 1120,
    };

    CSqlFormatDlg(CDatabaseLink& link, QWidget* parent = nullptr);

    void accept() override;

private:
    CDatabaseLink& m_link;
    QLineEdit* m_edits[7] = {};
};

// Runs the dialog on the link; true when OK stored the characters.
bool RunSqlFormat(QWidget* parent, CDatabaseLink& link);
