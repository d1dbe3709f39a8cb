// Where a variable's input comes from, as the variables' pages offer it:
// fixed at a value, typed at print time with a prompt, a named number
// sequence, a database field or another element of the sign. Choosing one
// enables its control only and gives it the focus.
#pragma once

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;

// Fills an editable field list with the fields of the sign's linked
// database and selects the named one; a name the database lacks stays as the
// list's text, so nothing typed or stored is lost.
void FillFieldCombo(QComboBox* combo, const QString& select);

class CVariable;

// Whether the variable's inputs, as its page has just set them, keep clear
// of a circular data path; false after the data-path map's message.
bool NoCircularPath(CVariable& variable);

class CSourceChoice : public QWidget
{
    Q_OBJECT

public:
    // The choices offered: the sequence only where asked for.
    CSourceChoice(const QString& fixedLabel, bool withSequence, QWidget* parent = nullptr);

    // Shows the source: kind, name, prompt and value.
    void Load(int kind, const QString& name, const QString& prompt, const QString& value);
    int Kind() const;
    void SetKind(int kind);

    QRadioButton* Button(int kind) const;
    QLineEdit* ValueEdit() const { return m_value; }
    QLineEdit* PromptEdit() const { return m_prompt; }
    QComboBox* SequenceCombo() const { return m_sequence; }
    QLineEdit* NextNumberEdit() const { return m_nextNumber; }
    QComboBox* FieldCombo() const { return m_field; }
    QComboBox* ElementCombo() const { return m_element; }

private:
    void Enable(int kind, bool focus);
    void OnSequenceText(const QString& text);

    QButtonGroup* m_group = nullptr;
    QLineEdit* m_value = nullptr;
    QLineEdit* m_prompt = nullptr;
    QComboBox* m_sequence = nullptr;
    QLineEdit* m_nextNumber = nullptr;
    QComboBox* m_field = nullptr;
    QComboBox* m_element = nullptr;
};
