#include "DataRulesBlock.h"

#include "Codec1252.h"
#include "ResourceIds.h"
#include "Strings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

using namespace PaneBuild;

namespace {

enum
{
    FILTER_CUSTOM = 4,
    RULE_UNRESTRICTED = 0,
    RULE_FIXED = 1,
    RULE_MAXIMUM = 2,
    RULE_MINIMUM = 3,
};

// Programmatic fills leave a box that already shows the text alone, so a
// box being typed in keeps its caret.
void Show(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

bool Truncates(int rule)
{
    return rule == RULE_FIXED || rule == RULE_MAXIMUM;
}

bool Pads(int rule)
{
    return rule == RULE_FIXED || rule == RULE_MINIMUM;
}

} // namespace

CDataRulesBlock::CDataRulesBlock(bool numberFilter, LengthScope scope, Edits edits, QWidget* parent)
    : CPaneBlock(tr("Data Constraints"), std::move(edits), parent), m_scope(scope)
{
    auto* grid = new QGridLayout(this);
    QStringList filters = {tr("None"), tr("Alpha"), tr("Numeric"), tr("Alphanumeric"),
                           tr("Custom")};
    if (numberFilter)
        filters << tr("Number");
    m_filter = Combo(this, 1076, filters);
    AddRow(grid, 0, tr("Filtering"), m_filter);
    m_allow = Named(new QLineEdit(this), 1271);
    m_allowLabel = AddRow(grid, 1, tr("Allow"), m_allow, 1275);
    m_coercion = Combo(
        this, 1078,
        {tr("None"), tr("Upper Case"), tr("Lower Case"), tr("Title Case"), tr("Sentence Case")});
    AddRow(grid, 2, tr("Coercion"), m_coercion);
    m_prefix = Named(new QLineEdit(this), 1214);
    AddRow(grid, 3, tr("Prefix"), m_prefix);
    m_suffix = Named(new QLineEdit(this), 1215);
    AddRow(grid, 4, tr("Suffix"), m_suffix);
    m_length = Combo(this, 1277, {tr("Unrestricted"), tr("Fixed"), tr("Maximum"), tr("Minimum")});
    m_lengthName = AddRow(grid, 5, tr("Length"), m_length);
    m_lengthValue = Named(new QLineEdit(this), 1278);
    m_lengthLabel = AddRow(grid, 6, LoadStringId(IDS_LABEL_IS), m_lengthValue, 1281);
    m_truncate = Combo(this, 1279, {tr("No"), tr("Left"), tr("Right")});
    AddRow(grid, 7, tr("Truncate"), m_truncate);
    m_pad = Combo(this, 1280, {tr("No"), tr("Left"), tr("Right")});
    AddRow(grid, 8, tr("Pad"), m_pad);
    m_padChar = Named(new QLineEdit(this), 1272);
    m_padChar->setMaxLength(1);
    m_padLabel = AddRow(grid, 9, tr("Using"), m_padChar, 1276);

    connect(m_filter, &QComboBox::activated, this, &CDataRulesBlock::OnFilter);
    connect(m_coercion, &QComboBox::activated, this, [this](int index) {
        Edit(m_coercion, [index](CElement* e) { e->m_caseCoercion = index; });
    });
    const auto textRule = [this](QLineEdit* edit, QString CElement::*field) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit, field](const QString& text) {
            Edit(edit, [field, text](CElement* e) { e->*field = text; });
        });
    };
    textRule(m_allow, &CElement::m_filterList);
    textRule(m_prefix, &CElement::m_prefix);
    textRule(m_suffix, &CElement::m_suffix);
    connect(m_length, &QComboBox::activated, this, &CDataRulesBlock::OnLength);
    connect(m_lengthValue, &QLineEdit::textEdited, this, &CDataRulesBlock::OnLengthValue);
    connect(m_truncate, &QComboBox::activated, this, [this](int index) {
        Edit(m_truncate, [index](CElement* e) { e->m_truncation = index; });
        ApplyEnabling();
    });
    connect(m_pad, &QComboBox::activated, this, &CDataRulesBlock::OnPad);
    connect(m_padChar, &QLineEdit::textEdited, this, &CDataRulesBlock::OnPadChar);
}

void CDataRulesBlock::Bind(CElement* element)
{
    SetBound(element);
    if (element)
        Load(element);
    ApplyEnabling();
}

void CDataRulesBlock::Load(const CElement* e)
{
    m_filter->setCurrentIndex(std::clamp(e->m_filterType, 0, m_filter->count() - 1));
    Show(m_allow, e->m_filterList);
    m_coercion->setCurrentIndex(std::clamp(e->m_caseCoercion, 0, 4));
    Show(m_prefix, e->m_prefix);
    Show(m_suffix, e->m_suffix);
    const int rule = std::clamp(e->m_lengthConstraint, 0, 3);
    m_length->setCurrentIndex(rule);
    // Without a rule the box offers the length of the data entered now.
    Show(m_lengthValue,
         QString::number(rule != RULE_UNRESTRICTED ? e->m_lengthLimit
                                                   : int(e->GetEnteredData().size())));
    m_truncate->setCurrentIndex(std::clamp(e->m_truncation, 0, 2));
    m_pad->setCurrentIndex(std::clamp(e->m_paddingMode, 0, 2));
    const char pad = static_cast<char>(e->m_paddingChar);
    Show(m_padChar, pad ? FromWindows1252(&pad, 1) : QString());
}

void CDataRulesBlock::ApplyEnabling()
{
    const CElement* e = Bound();
    if (!e)
        return;
    const bool linked = e->m_dataSource != SOURCE_FIXED;
    const bool lengthApplies =
        m_scope == LENGTH_LINKED ? linked : e->m_dataSource == SOURCE_KEYBOARD;
    if (linked) {
        Load(e);
    } else {
        // Fixed data has no rules: the controls show none, whatever the
        // element keeps.
        m_filter->setCurrentIndex(0);
        m_coercion->setCurrentIndex(0);
        m_prefix->clear();
        m_suffix->clear();
        m_length->setCurrentIndex(RULE_UNRESTRICTED);
        m_truncate->setCurrentIndex(0);
        m_pad->setCurrentIndex(0);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_filter, m_allow, m_coercion, m_prefix,
                                                      m_suffix, m_padChar})
        w->setEnabled(linked);
    m_length->setEnabled(lengthApplies);
    m_lengthName->setEnabled(lengthApplies);
    const bool custom = m_filter->currentIndex() == FILTER_CUSTOM;
    m_allow->setVisible(custom);
    m_allowLabel->setVisible(custom);
    const int rule = m_length->currentIndex();
    const bool showLength = lengthApplies && rule != RULE_UNRESTRICTED;
    m_lengthLabel->setVisible(showLength);
    m_lengthValue->setVisible(showLength);
    m_lengthLabel->setText(LoadStringId(rule == RULE_FIXED ? IDS_LABEL_AT : IDS_LABEL_IS));
    if (lengthApplies || !linked) {
        m_truncate->setEnabled(linked && Truncates(rule));
        m_pad->setEnabled(linked && Pads(rule));
    } else {
        // Data from elsewhere keeps its cutting and padding choices.
        m_truncate->setEnabled(true);
        m_pad->setEnabled(true);
    }
    const bool padding = m_pad->currentIndex() != 0;
    m_padChar->setVisible(padding);
    m_padLabel->setVisible(padding);
}

void CDataRulesBlock::OnFilter(int index)
{
    Edit(m_filter, [index](CElement* e) { e->m_filterType = index; });
    ApplyEnabling();
    if (index == FILTER_CUSTOM) {
        m_allow->setFocus();
        m_allow->selectAll();
    }
}

void CDataRulesBlock::OnLength(int rule)
{
    // The rule takes the length the box shows: a rule is never stored
    // without its length.
    bool ok = false;
    const int shown = m_lengthValue->text().trimmed().toInt(&ok);
    Edit(m_length, [rule, ok, shown](CElement* e) {
        e->m_lengthConstraint = rule;
        // A rule that cannot cut or pad leaves nothing to cut or pad with,
        // so the element holds what the block shows.
        if (!Truncates(rule))
            e->m_truncation = 0;
        if (!Pads(rule))
            e->m_paddingMode = 0;
        if (rule != RULE_UNRESTRICTED && ok && shown >= 0)
            e->m_lengthLimit = shown;
    });
    ApplyEnabling();
    if (rule != RULE_UNRESTRICTED) {
        m_lengthValue->setFocus();
        m_lengthValue->selectAll();
    }
}

void CDataRulesBlock::OnLengthValue(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0)
        return;
    Edit(m_lengthValue, [value](CElement* e) { e->m_lengthLimit = value; });
}

void CDataRulesBlock::OnPad(int index)
{
    Edit(m_pad, [index](CElement* e) { e->m_paddingMode = index; });
    ApplyEnabling();
    if (index != 0) {
        m_padChar->setFocus();
        m_padChar->selectAll();
    }
}

void CDataRulesBlock::OnPadChar(const QString& text)
{
    // An emptied field takes no character: the padding keeps its own
    // rather than padding with nothing.
    if (text.isEmpty())
        return;
    // The sign keeps the character as its Windows-1252 byte, as it pads.
    Edit(m_padChar,
         [&text](CElement* e) { e->m_paddingChar = BYTE(ToWindows1252Char(text.at(0))); });
}
