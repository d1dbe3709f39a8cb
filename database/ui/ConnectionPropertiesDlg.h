// The Database Connection Properties dialog, which shows the sign's link to
// an external database and changes its key field and whether the first field
// of each record holds the copy quantity, and the connection error report
// shown for every error the link meets.
#pragma once

#include "DatabaseLink.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CConnectionPropertiesDlg : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 281,
        IDC_FILE = 1086,
        IDC_TYPE = 1380,
        IDC_VIEW = 1381,
        IDC_KEY = 1235,
        IDC_COPY_QUANTITY = 1308,
        IDC_TAB = 1092,
        IDC_SEMICOLON = 1093,
        IDC_COMMA = 1094,
        IDC_SPACE = 1095,
        IDC_OTHER = 1096,
        IDC_OTHER_CHAR = 1055,
        IDC_FILE_TYPE = 1097,
        IDC_HEADER = 1098,
        IDC_ADVANCED = 1196
    };

    // Works on the link itself: OK writes the key and the copy-quantity
    // flag into it, Cancel leaves it alone.
    explicit CConnectionPropertiesDlg(CDatabaseLink& link, QWidget* parent = nullptr);

    void accept() override;

    // The SQL Format dialog that Advanced... opens; unset, the button is
    // disabled.
    static std::function<void(QWidget* parent, CDatabaseLink& link)> s_sqlFormat;

private:
    CDatabaseLink& m_link;
    QComboBox* m_key = nullptr;
    QCheckBox* m_copyQuantity = nullptr;
};

// Shows the dialog over the link; TRUE when it ended with OK.
BOOL ShowConnectionProperties(QWidget* parent, CDatabaseLink& link);

// "Microsoft Data Access Components": the report of a database error, with
// the description quoted as it was given.
class CMdacErrorDlg : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 360,
        IDC_DESCRIPTION = 1256
    };
    explicit CMdacErrorDlg(const QString& description, QWidget* parent = nullptr);
    QString Description() const;

private:
    QLabel* m_description = nullptr;
};

// Shows an error of the database link in the error report: the description
// goes in double quotes and is cut to a readable length.
void ShowComError(const QString& description, QWidget* parent = nullptr);

// Makes the link report its errors through ShowComError.
void InstallDatabaseErrorReport();
