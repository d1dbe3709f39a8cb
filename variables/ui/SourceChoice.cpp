#include "SourceChoice.h"

#include "AppContext.h"
#include "Element.h"
#include "ElementList.h"
#include "IncNumber.h"
#include "Seams.h"
#include "SequenceStore.h"
#include "Variable.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

void FillFieldCombo(QComboBox* combo, const QString& select)
{
    CDataLinkSeam* link = App().dataLink;
    const QStringList fields =
        link && link->GetLinkKind() == 0 ? link->GetFieldNames() : QStringList();
    combo->clear();
    combo->addItems(fields);
    const int at = select.isEmpty() ? (fields.isEmpty() ? -1 : 0)
                                    : combo->findText(select, Qt::MatchFixedString);
    if (at >= 0)
        combo->setCurrentIndex(at);
    else
        combo->setEditText(select);
}

CSourceChoice::CSourceChoice(const QString& fixedLabel, bool withSequence, QWidget* parent)
    : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_group = new QButtonGroup(this);
    int row = 0;
    const auto addButton = [&](int kind, const QString& text, QWidget* control) {
        auto* button = new QRadioButton(text, this);
        button->setObjectName(QStringLiteral("source%1").arg(kind));
        m_group->addButton(button, kind);
        grid->addWidget(button, row, 0);
        grid->addWidget(control, row, 1);
        ++row;
        return button;
    };
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("valueEdit"));
    addButton(SOURCE_FIXED, fixedLabel, m_value);
    m_prompt = new QLineEdit(this);
    m_prompt->setObjectName(QStringLiteral("promptEdit"));
    addButton(SOURCE_KEYBOARD, tr("From &Keyboard Using Prompt"), m_prompt);
    if (withSequence) {
        auto* box = new QWidget(this);
        auto* line = new QHBoxLayout(box);
        line->setContentsMargins(0, 0, 0, 0);
        m_sequence = new QComboBox(box);
        m_sequence->setObjectName(QStringLiteral("sequenceCombo"));
        m_sequence->setEditable(true);
        m_nextNumber = new QLineEdit(box);
        m_nextNumber->setObjectName(QStringLiteral("nextNumberEdit"));
        auto* label = new QLabel(tr("&Next Number"), box);
        label->setBuddy(m_nextNumber);
        line->addWidget(m_sequence, 1);
        line->addWidget(label);
        line->addWidget(m_nextNumber);
        addButton(CIncNumber::SOURCE_SEQUENCE, tr("&Serial Number"), box);
        connect(m_sequence, &QComboBox::currentTextChanged, this, &CSourceChoice::OnSequenceText);
    }
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("fieldCombo"));
    m_field->setEditable(true);
    QRadioButton* database = addButton(SOURCE_DATABASE, tr("From &Database Field"), m_field);
    m_element = new QComboBox(this);
    m_element->setObjectName(QStringLiteral("elementCombo"));
    QRadioButton* element = addButton(SOURCE_ELEMENT, tr("From &Element"), m_element);

    // A database field needs a database linked as a source, not as the
    // sign's data store.
    CDataLinkSeam* link = App().dataLink;
    database->setEnabled(link && link->GetLinkKind() == 0);
    QStringList names;
    for (int i = 0; i < TheElementList().GetCount(); ++i) {
        const QString& name = TheElementList().GetAt(i)->m_name;
        if (!name.isEmpty())
            names << name;
    }
    m_element->addItems(names);
    element->setEnabled(!names.isEmpty());

    connect(m_group, &QButtonGroup::idClicked, this, [this](int kind) { Enable(kind, true); });
}

QRadioButton* CSourceChoice::Button(int kind) const
{
    return qobject_cast<QRadioButton*>(m_group->button(kind));
}

void CSourceChoice::Load(int kind, const QString& name, const QString& prompt, const QString& value)
{
    if (!Button(kind) || !Button(kind)->isEnabled())
        kind = SOURCE_FIXED;
    m_value->setText(kind == SOURCE_FIXED ? value : QString());
    m_prompt->setText(kind == SOURCE_KEYBOARD ? prompt : QString());
    if (m_sequence) {
        QStringList names;
        const int selected = TheSequenceStore().FillNames(
            names, kind == CIncNumber::SOURCE_SEQUENCE ? name : QString());
        const QSignalBlocker blocker(m_sequence);
        m_sequence->clear();
        m_sequence->addItems(names);
        m_sequence->setCurrentIndex(selected);
        OnSequenceText(m_sequence->currentText());
    }
    FillFieldCombo(m_field, kind == SOURCE_DATABASE ? name : QString());
    if (kind == SOURCE_ELEMENT) {
        const int at = m_element->findText(name);
        if (at >= 0)
            m_element->setCurrentIndex(at);
    }
    SetKind(kind);
}

int CSourceChoice::Kind() const
{
    return m_group->checkedId() < 0 ? SOURCE_FIXED : m_group->checkedId();
}

void CSourceChoice::SetKind(int kind)
{
    if (QRadioButton* button = Button(kind))
        button->setChecked(true);
    Enable(kind, false);
}

void CSourceChoice::Enable(int kind, bool focus)
{
    m_value->setEnabled(kind == SOURCE_FIXED);
    m_prompt->setEnabled(kind == SOURCE_KEYBOARD);
    if (m_sequence) {
        m_sequence->setEnabled(kind == CIncNumber::SOURCE_SEQUENCE);
        m_nextNumber->setEnabled(kind == CIncNumber::SOURCE_SEQUENCE);
    }
    m_field->setEnabled(kind == SOURCE_DATABASE);
    m_element->setEnabled(kind == SOURCE_ELEMENT);
    if (!focus)
        return;
    QWidget* control = kind == SOURCE_FIXED      ? static_cast<QWidget*>(m_value)
                       : kind == SOURCE_KEYBOARD ? static_cast<QWidget*>(m_prompt)
                       : kind == SOURCE_DATABASE ? static_cast<QWidget*>(m_field)
                       : kind == SOURCE_ELEMENT  ? static_cast<QWidget*>(m_element)
                                                 : static_cast<QWidget*>(m_sequence);
    if (control)
        control->setFocus();
}

void CSourceChoice::OnSequenceText(const QString& text)
{
    // A name of the store (case ignored) shows its next number; any other
    // name starts empty.
    const QStringList names = TheSequenceStore().Names();
    for (const QString& name : names) {
        if (name.compare(text, Qt::CaseInsensitive) == 0) {
            m_nextNumber->setText(TheSequenceStore().GetValue(name));
            return;
        }
    }
    m_nextNumber->setText(QString());
}

bool NoCircularPath(CVariable& variable)
{
    CDataPathSeam* paths = App().dataPaths;
    return !paths || paths->CheckCircularPath(&variable) != FALSE;
}
