#include "IncPage.h"

#include "IncNumber.h"
#include "MessageBox.h"
#include "SequenceStore.h"
#include "SourceChoice.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kMostBy = 99999;

bool Refuse(const QString& text, QWidget* focus)
{
    AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    if (focus)
        focus->setFocus();
    return false;
}

} // namespace

// --- Start Value -------------------------------------------------------------

CIncPage1::CIncPage1(CIncNumber& variable, QWidget* parent)
    : CVariablePage(tr("Start Value"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    m_source = new CSourceChoice(tr("&Fixed At"), true, this);
    layout->addWidget(m_source);
    layout->addStretch(1);
    m_source->Load(m_variable.m_startSource, m_variable.m_startName, m_variable.m_startPrompt,
                   m_variable.m_startValue);
}

bool CIncPage1::Leave()
{
    const int kind = m_source->Kind();
    switch (kind) {
    case SOURCE_FIXED:
        if (m_source->ValueEdit()->text().isEmpty())
            return Refuse(tr("No start value specified."), m_source->ValueEdit());
        m_variable.m_startValue = m_source->ValueEdit()->text();
        m_variable.m_startName.clear();
        break;
    case SOURCE_KEYBOARD:
        m_variable.m_startName = QStringLiteral("start");
        m_variable.m_startPrompt = m_source->PromptEdit()->text();
        break;
    case CIncNumber::SOURCE_SEQUENCE: {
        const QString name = m_source->SequenceCombo()->currentText().trimmed();
        const QString next = m_source->NextNumberEdit()->text();
        if (name.isEmpty() || next.isEmpty())
            return Refuse(tr("Invalid serial number definition"), m_source->SequenceCombo());
        // A name of the store in other letter case is that sequence.
        QString stored = name;
        for (const QString& existing : TheSequenceStore().Names()) {
            if (existing.compare(name, Qt::CaseInsensitive) == 0)
                stored = existing;
        }
        TheSequenceStore().SetValue(stored, next);
        m_variable.m_startName = stored;
        m_variable.m_startValue = next;
        break;
    }
    case SOURCE_DATABASE:
        m_variable.m_startName = m_source->FieldCombo()->currentText();
        break;
    case SOURCE_ELEMENT:
        m_variable.m_startName = m_source->ElementCombo()->currentText();
        break;
    default:
        break;
    }
    m_variable.m_startSource = kind;
    return NoCircularPath(m_variable);
}

// --- Increment ---------------------------------------------------------------

CIncPage2::CIncPage2(CIncNumber& variable, QWidget* parent)
    : CVariablePage(tr("Increment"), parent), m_variable(variable)
{
    auto* layout = new QGridLayout(this);
    m_increment = new QRadioButton(tr("&Increment"), this);
    m_increment->setObjectName(QStringLiteral("incrementButton"));
    m_decrement = new QRadioButton(tr("&Decrement"), this);
    m_decrement->setObjectName(QStringLiteral("decrementButton"));
    auto* direction = new QButtonGroup(this);
    direction->addButton(m_increment);
    direction->addButton(m_decrement);
    m_by = new QSpinBox(this);
    m_by->setObjectName(QStringLiteral("byBox"));
    m_by->setRange(1, kMostBy);
    auto* byLabel = new QLabel(tr("&By"), this);
    byLabel->setBuddy(m_by);
    layout->addWidget(m_increment, 0, 0);
    layout->addWidget(m_decrement, 1, 0);
    layout->addWidget(byLabel, 0, 1);
    layout->addWidget(m_by, 0, 2);

    layout->addWidget(new QLabel(tr("Every"), this), 2, 0);
    m_labels = new QRadioButton(tr("&Labels"), this);
    m_labels->setObjectName(QStringLiteral("labelsButton"));
    m_labelCount = new QSpinBox(this);
    m_labelCount->setObjectName(QStringLiteral("labelsBox"));
    m_labelCount->setRange(1, 99999);
    m_page = new QRadioButton(tr("&Page"), this);
    m_page->setObjectName(QStringLiteral("pageButton"));
    m_row = new QRadioButton(tr("&Row"), this);
    m_row->setObjectName(QStringLiteral("rowButton"));
    auto* every = new QButtonGroup(this);
    every->addButton(m_labels);
    every->addButton(m_page);
    every->addButton(m_row);
    layout->addWidget(m_labelCount, 3, 0);
    layout->addWidget(m_labels, 3, 1);
    layout->addWidget(m_page, 4, 1);
    layout->addWidget(m_row, 5, 1);

    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("styleCombo"));
    for (int style = CIncNumber::STYLE_DECIMAL; style <= CIncNumber::STYLE_CUSTOM; ++style)
        m_style->addItem(CIncNumber::StyleName(style), style);
    m_sequence = new QLineEdit(this);
    m_sequence->setObjectName(QStringLiteral("sequenceEdit"));
    auto* styleLabel = new QLabel(tr("&Style"), this);
    styleLabel->setBuddy(m_style);
    auto* sequenceLabel = new QLabel(tr("Se&quence"), this);
    sequenceLabel->setBuddy(m_sequence);
    layout->addWidget(styleLabel, 6, 0);
    layout->addWidget(m_style, 6, 1, 1, 2);
    layout->addWidget(sequenceLabel, 7, 0);
    layout->addWidget(m_sequence, 7, 1, 1, 2);
    layout->setRowStretch(8, 1);

    (m_variable.m_amount < 0 ? m_decrement : m_increment)->setChecked(true);
    m_by->setValue(std::clamp(std::abs(m_variable.m_amount), 1, kMostBy));
    m_labelCount->setValue(std::max(1, m_variable.m_frequency));
    (m_variable.m_incrementType == CIncNumber::INCREMENT_PAGE  ? m_page
     : m_variable.m_incrementType == CIncNumber::INCREMENT_ROW ? m_row
                                                               : m_labels)
        ->setChecked(true);
    m_style->setCurrentIndex(std::clamp(m_variable.m_style, 0, int(CIncNumber::STYLE_CUSTOM)));
    m_sequence->setText(m_variable.m_sequence);
    const auto enable = [this] {
        m_labelCount->setEnabled(m_labels->isChecked());
        m_sequence->setEnabled(m_style->currentIndex() == CIncNumber::STYLE_CUSTOM);
    };
    enable();
    connect(m_labels, &QRadioButton::toggled, this, enable);
    connect(m_style, &QComboBox::currentIndexChanged, this, enable);
}

bool CIncPage2::Leave()
{
    const int style = m_style->currentIndex();
    if (style == CIncNumber::STYLE_CUSTOM && m_sequence->text().isEmpty())
        return Refuse(tr("No custom sequence specified."), m_sequence);
    m_variable.m_amount = m_decrement->isChecked() ? -m_by->value() : m_by->value();
    m_variable.m_incrementType = m_page->isChecked()  ? CIncNumber::INCREMENT_PAGE
                                 : m_row->isChecked() ? CIncNumber::INCREMENT_ROW
                                                      : CIncNumber::INCREMENT_LABELS;
    if (m_labels->isChecked())
        m_variable.m_frequency = m_labelCount->value();
    m_variable.m_style = style;
    m_variable.m_sequence = m_sequence->text();
    return true;
}

// --- Limit Value -------------------------------------------------------------

CIncPage3::CIncPage3(CIncNumber& variable, QWidget* parent)
    : CVariablePage(tr("Limit Value"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_action = new QComboBox(this);
    m_action->setObjectName(QStringLiteral("actionCombo"));
    for (int action = CIncNumber::LIMIT_NONE; action <= CIncNumber::LIMIT_RESTART; ++action)
        m_action->addItem(CIncNumber::LimitActionName(action), action);
    form->addRow(tr("Limit &Action"), m_action);
    layout->addLayout(form);
    m_source = new CSourceChoice(tr("&Fixed At"), false, this);
    layout->addWidget(m_source);
    layout->addStretch(1);
    m_action->setCurrentIndex(
        std::clamp(m_variable.m_limitAction, 0, int(CIncNumber::LIMIT_RESTART)));
    m_source->Load(m_variable.m_limitSource, m_variable.m_limitName, m_variable.m_limitPrompt,
                   m_variable.m_limitValue);
    const auto enable = [this] { m_source->setEnabled(m_action->currentIndex() != 0); };
    enable();
    connect(m_action, &QComboBox::currentIndexChanged, this, enable);
}

bool CIncPage3::Leave()
{
    const int action = m_action->currentIndex();
    m_variable.m_limitAction = action;
    if (action == CIncNumber::LIMIT_NONE)
        return true;
    const int kind = m_source->Kind();
    switch (kind) {
    case SOURCE_FIXED:
        if (m_source->ValueEdit()->text().isEmpty())
            return Refuse(tr("No limit value specified."), m_source->ValueEdit());
        m_variable.m_limitValue = m_source->ValueEdit()->text();
        m_variable.m_limitName.clear();
        break;
    case SOURCE_KEYBOARD:
        m_variable.m_limitName = QStringLiteral("limit");
        m_variable.m_limitPrompt = m_source->PromptEdit()->text();
        break;
    case SOURCE_DATABASE:
        m_variable.m_limitName = m_source->FieldCombo()->currentText();
        break;
    case SOURCE_ELEMENT:
        m_variable.m_limitName = m_source->ElementCombo()->currentText();
        break;
    default:
        break;
    }
    m_variable.m_limitSource = kind;
    return NoCircularPath(m_variable);
}

bool RunIncNumberSheet(QWidget* parent, CIncNumber& working, bool isNew)
{
    auto* sheet = new CVariableSheet(isNew, QObject::tr("Incrementing Number Properties"), parent);
    sheet->AddPage(new CIncPage1(working, sheet));
    sheet->AddPage(new CIncPage2(working, sheet));
    sheet->AddPage(new CIncPage3(working, sheet));
    return CVariableSheet::Run(sheet);
}
