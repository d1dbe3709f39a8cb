// The incrementing number's pages: "Start Value", "Increment" and "Limit
// Value".
#pragma once

#include "VariableSheet.h"

class CIncNumber;
class CSourceChoice;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class CIncPage1 : public CVariablePage
{
    Q_OBJECT

public:
    CIncPage1(CIncNumber& variable, QWidget* parent = nullptr);
    bool Leave() override;
    CSourceChoice* Source() const { return m_source; }

private:
    CIncNumber& m_variable;
    CSourceChoice* m_source = nullptr;
};

class CIncPage2 : public CVariablePage
{
    Q_OBJECT

public:
    CIncPage2(CIncNumber& variable, QWidget* parent = nullptr);
    bool Leave() override;

    QRadioButton* IncrementButton() const { return m_increment; }
    QRadioButton* DecrementButton() const { return m_decrement; }
    QSpinBox* ByBox() const { return m_by; }
    QRadioButton* LabelsButton() const { return m_labels; }
    QSpinBox* LabelsBox() const { return m_labelCount; }
    QRadioButton* PageButton() const { return m_page; }
    QRadioButton* RowButton() const { return m_row; }
    QComboBox* StyleCombo() const { return m_style; }
    QLineEdit* SequenceEdit() const { return m_sequence; }

private:
    CIncNumber& m_variable;
    QRadioButton* m_increment = nullptr;
    QRadioButton* m_decrement = nullptr;
    QSpinBox* m_by = nullptr;
    QRadioButton* m_labels = nullptr;
    QSpinBox* m_labelCount = nullptr;
    QRadioButton* m_page = nullptr;
    QRadioButton* m_row = nullptr;
    QComboBox* m_style = nullptr;
    QLineEdit* m_sequence = nullptr;
};

class CIncPage3 : public CVariablePage
{
    Q_OBJECT

public:
    CIncPage3(CIncNumber& variable, QWidget* parent = nullptr);
    bool Leave() override;
    int NextPage(int) const override { return -1; }

    QComboBox* ActionCombo() const { return m_action; }
    CSourceChoice* Source() const { return m_source; }

private:
    CIncNumber& m_variable;
    QComboBox* m_action = nullptr;
    CSourceChoice* m_source = nullptr;
};

// The wizard for a new incrementing number, or its property sheet.
bool RunIncNumberSheet(QWidget* parent, CIncNumber& working, bool isNew);
