// The compound Filter dialog: up to three fields, each with the text its
// value must start with, joined by AND and tried on a link of the dialog's
// own (a copy of the sign's link opened on the sign's current statement),
// so that the sign's records stay as they are until OK.
#pragma once

#include "DatabaseLink.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CCompoundFilterDlg : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDC_FIELD1 = 1542,
        IDC_FIELD2 = 1543,
        IDC_FIELD3 = 1544,
        IDC_DATA1 = 1545,
        IDC_DATA2 = 1546,
        IDC_DATA3 = 1547,
        IDC_APPLY = 1191,
        IDC_RESET = 1347,
        IDC_COUNT = 1315,
    };

    CCompoundFilterDlg(const CDatabaseLink& link, QWidget* parent = nullptr);

    // The sign's current statement restricted by the conditions applied
    // last; the grid page opens the sign's records on it after OK.
    const QString& ResultStatement() const { return m_result; }
    const QString& Condition() const { return m_condition; }
    int LastCount() const { return m_count; }

private:
    void OnDataEdited();
    void OnApply();
    void OnReset();
    void ShowCount();

    CDatabaseLink m_own;
    QString m_base;
    QString m_condition;
    QString m_result;
    int m_count = 0;
    QComboBox* m_fields[3] = {};
    QLineEdit* m_data[3] = {};
    QPushButton* m_apply = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_countText = nullptr;
};
