#include "PriceCalcPage.h"

#include "Helpers.h"
#include "MessageBox.h"
#include "PriceCalculation.h"
#include "SourceChoice.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

// --- Calculation Type --------------------------------------------------------

CPriceCalcPage1::CPriceCalcPage1(CPriceCalculation& variable, QWidget* parent)
    : CVariablePage(tr("Calculation Type"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    m_types = new QButtonGroup(this);
    for (int type = 0; type < CPriceCalculation::kTypeCount; ++type) {
        auto* button = new QRadioButton(CPriceCalculation::TypeName(type), this);
        button->setObjectName(QStringLiteral("type%1").arg(type));
        m_types->addButton(button, type);
        layout->addWidget(button);
    }
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setWordWrap(true);
    layout->addWidget(m_description);
    layout->addStretch(1);
    const int type = std::clamp(m_variable.m_type, 0, CPriceCalculation::kTypeCount - 1);
    m_types->button(type)->setChecked(true);
    m_description->setText(CPriceCalculation::TypeDescription(type));
    connect(m_types, &QButtonGroup::idClicked, this,
            [this](int id) { m_description->setText(CPriceCalculation::TypeDescription(id)); });
}

QRadioButton* CPriceCalcPage1::TypeButton(int type) const
{
    return qobject_cast<QRadioButton*>(m_types->button(type));
}

bool CPriceCalcPage1::Leave()
{
    m_variable.m_type = std::max(0, m_types->checkedId());
    return true;
}

// --- Input -------------------------------------------------------------------

CPriceCalcPage2::CPriceCalcPage2(CPriceCalculation& variable, int input, QWidget* parent)
    : CVariablePage(tr("Input"), parent), m_variable(variable), m_input(input)
{
    setObjectName(QStringLiteral("input%1").arg(input));
    auto* layout = new QVBoxLayout(this);
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setWordWrap(true);
    layout->addWidget(m_description);
    m_source = new CSourceChoice(tr("&Fixed At"), false, this);
    layout->addWidget(m_source);
    layout->addStretch(1);
    const CPriceCalculation::Input& in = m_variable.m_inputs[std::size_t(m_input)];
    m_source->Load(in.sourceKind, in.sourceName, in.prompt, in.data);
    m_description->setText(CPriceCalculation::InputDescription(m_variable.m_type, m_input));
}

void CPriceCalcPage2::Enter()
{
    m_description->setText(CPriceCalculation::InputDescription(m_variable.m_type, m_input));
}

bool CPriceCalcPage2::Leave()
{
    CPriceCalculation::Input& in = m_variable.m_inputs[std::size_t(m_input)];
    const int kind = m_source->Kind();
    switch (kind) {
    case SOURCE_FIXED:
        if (m_source->ValueEdit()->text().isEmpty()) {
            AppMessageBox(tr("No fixed value specified."), MB_OK | MB_ICONEXCLAMATION);
            m_source->ValueEdit()->setFocus();
            return false;
        }
        in.data = m_source->ValueEdit()->text();
        in.sourceName.clear();
        break;
    case SOURCE_KEYBOARD:
        in.sourceName = QStringLiteral("source%1").arg(m_input);
        in.prompt = m_source->PromptEdit()->text();
        break;
    case SOURCE_DATABASE:
        in.sourceName = m_source->FieldCombo()->currentText();
        break;
    case SOURCE_ELEMENT:
        in.sourceName = m_source->ElementCombo()->currentText();
        break;
    default:
        break;
    }
    in.sourceKind = kind;
    return NoCircularPath(m_variable);
}

// --- Rounding ----------------------------------------------------------------

CPriceCalcPage3::CPriceCalcPage3(CPriceCalculation& variable, QWidget* parent)
    : CVariablePage(tr("Rounding"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    auto* line = new QHBoxLayout;
    line->addWidget(new QLabel(tr("Round the result to the nearest"), this));
    m_round = new QLineEdit(this);
    m_round->setObjectName(QStringLiteral("roundEdit"));
    m_unit = new QLabel(this);
    m_unit->setObjectName(QStringLiteral("unitLabel"));
    line->addWidget(m_round);
    line->addWidget(m_unit);
    layout->addLayout(line);
    m_roundDown = new QCheckBox(tr("Always round &down"), this);
    m_roundDown->setObjectName(QStringLiteral("roundDownCheck"));
    layout->addWidget(m_roundDown);
    layout->addStretch(1);
    m_roundDown->setChecked(!m_variable.m_roundUp);
    Enter();
}

void CPriceCalcPage3::Enter()
{
    if (m_shownType == m_variable.m_type)
        return;
    m_shownType = m_variable.m_type;
    const bool percent = m_variable.m_type == CPriceCalculation::CALC_DISCOUNT;
    m_unit->setText(percent ? QStringLiteral("%") : GetLocaleString(LOCALE_SCURRENCY));
    m_round->setText(QString::asprintf(percent ? "%.0f" : "%.2f", m_variable.m_roundTo));
}

bool CPriceCalcPage3::Leave()
{
    bool ok = false;
    double value = QLocale::c().toDouble(m_round->text().trimmed(), &ok);
    if (!ok)
        value = QLocale::system().toDouble(m_round->text().trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        AppMessageBox(tr("Please enter a number."), MB_OK | MB_ICONEXCLAMATION);
        m_round->setFocus();
        return false;
    }
    if (m_variable.m_type == CPriceCalculation::CALC_DISCOUNT)
        value = std::floor(std::clamp(value, 1.0, 100.0) + 0.5);
    else
        value = std::clamp(value, 0.01, 1.0e6);
    m_variable.m_roundTo = value;
    m_variable.m_roundUp = m_roundDown->isChecked() ? FALSE : TRUE;
    return true;
}

bool RunPriceCalcSheet(QWidget* parent, CPriceCalculation& working, bool isNew)
{
    auto* sheet = new CVariableSheet(isNew, QObject::tr("Price Calculation Properties"), parent);
    if (isNew)
        sheet->AddPage(new CPriceCalcPage1(working, sheet));
    sheet->AddPage(new CPriceCalcPage2(working, 0, sheet));
    sheet->AddPage(new CPriceCalcPage2(working, 1, sheet));
    sheet->AddPage(new CPriceCalcPage3(working, sheet));
    return CVariableSheet::Run(sheet);
}
