// The date/time stamp's pages: "Format" (a standard format or a custom
// strftime format, with a sample) and "Offset" (days and weeks, and an
// additional offset supplied at print time).
#pragma once

#include "VariableSheet.h"

#include <functional>

class CDateTime;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

class CDateTimePage1 : public CVariablePage
{
    Q_OBJECT

public:
    CDateTimePage1(CDateTime& variable, QWidget* parent = nullptr);

    void Enter() override;
    bool Leave() override;
    int NextPage(int ownIndex) const override { return ownIndex + 1; }

    QListWidget* FormatList() const { return m_list; }
    QRadioButton* CustomButton() const { return m_custom; }
    QLineEdit* FormatEdit() const { return m_edit; }
    QLabel* Sample() const { return m_sample; }

    // The format as the sample shows it: a trailing single "%" left out.
    static QString UsableFormat(const QString& format);

private:
    void OnListChosen();
    void OnCustom();
    void OnEdit(const QString& text);

    CDateTime& m_variable;
    QListWidget* m_list = nullptr;
    QRadioButton* m_custom = nullptr;
    QLineEdit* m_edit = nullptr;
    QLabel* m_sample = nullptr;
};

class CDateTimePage2 : public CVariablePage
{
    Q_OBJECT

public:
    CDateTimePage2(CDateTime& variable, QWidget* parent = nullptr);

    bool Leave() override;
    int NextPage(int) const override { return -1; }

    QRadioButton* NormalButton() const { return m_normal; }
    QRadioButton* OffsetButton() const { return m_offset; }
    QLineEdit* DaysEdit() const { return m_days; }
    QLineEdit* WeeksEdit() const { return m_weeks; }
    QCheckBox* AllowCheck() const { return m_allow; }
    QComboBox* SourceCombo() const { return m_source; }
    QComboBox* FieldCombo() const { return m_field; }
    QLineEdit* PromptEdit() const { return m_prompt; }

    // Links the sign to a database through the connection wizard when it
    // has none: true when it is linked afterwards. Installed by the
    // designer's frame; without it the choice is refused with a message.
    static std::function<bool(QWidget* parent)> s_linkDatabase;

private:
    void UpdateEnabling();
    void OnSource(int index);

    CDateTime& m_variable;
    QRadioButton* m_normal = nullptr;
    QRadioButton* m_offset = nullptr;
    QLineEdit* m_days = nullptr;
    QLineEdit* m_weeks = nullptr;
    QCheckBox* m_allow = nullptr;
    QComboBox* m_source = nullptr;
    QComboBox* m_field = nullptr;
    QLineEdit* m_prompt = nullptr;
    int m_appliedSource = 0; // the combo index in use
};

// The wizard for a new date/time stamp, or its property sheet.
bool RunDateTimeSheet(QWidget* parent, CDateTime& working, bool isNew);
