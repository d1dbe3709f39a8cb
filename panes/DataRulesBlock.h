// The data rules of an element fed by a data source: filtering (with the
// characters a custom filter allows), case coercion, prefix and suffix, the
// length rule with its length, truncation and padding (with the padding
// character). One block, bound to the element it edits, serves every pane
// that shows these rules.
#pragma once

#include "PaneBlock.h"

class QComboBox;
class QLabel;
class QLineEdit;

class CDataRulesBlock : public CPaneBlock
{
    Q_OBJECT

public:
    // Where the length rule applies: to every linked source, or to typed
    // data alone (data from elsewhere may still be cut or padded).
    enum LengthScope
    {
        LENGTH_LINKED,
        LENGTH_KEYBOARD,
    };

    // numberFilter: the filter list offers "Number" after "Custom".
    CDataRulesBlock(bool numberFilter, LengthScope scope, Edits edits, QWidget* parent);
    // Binds the block to its element and shows the element's rules.
    void Bind(CElement* element);
    // The enabling for the element's data source: fixed data has no rules
    // and shows none; linked data shows the element's own.
    void ApplyEnabling();

    QComboBox* Filter() const { return m_filter; }
    QLineEdit* Allow() const { return m_allow; }
    QComboBox* Length() const { return m_length; }
    QLineEdit* LengthValue() const { return m_lengthValue; }
    QComboBox* Truncate() const { return m_truncate; }
    QComboBox* Pad() const { return m_pad; }
    QLineEdit* PadChar() const { return m_padChar; }

private:
    void Load(const CElement* element);
    void OnFilter(int index);
    void OnLength(int index);
    void OnLengthValue(const QString& text);
    void OnPad(int index);
    void OnPadChar(const QString& text);

    LengthScope m_scope;

    QComboBox* m_filter = nullptr;
    QLineEdit* m_allow = nullptr;
    QLabel* m_allowLabel = nullptr;
    QComboBox* m_coercion = nullptr;
    QLineEdit* m_prefix = nullptr;
    QLineEdit* m_suffix = nullptr;
    QComboBox* m_length = nullptr;
    QLabel* m_lengthName = nullptr;
    QLineEdit* m_lengthValue = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QComboBox* m_truncate = nullptr;
    QComboBox* m_pad = nullptr;
    QLineEdit* m_padChar = nullptr;
    QLabel* m_padLabel = nullptr;
};
