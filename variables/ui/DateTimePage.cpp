#include "DateTimePage.h"

#include "AppContext.h"
#include "DateTime.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "Seams.h"
#include "SourceChoice.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include <climits>

namespace {

// A whole number typed in an edit; false, after the message, when it is not
// one.
bool ReadInteger(QLineEdit* edit, int low, int high, int& value)
{
    bool ok = false;
    const long long typed = edit->text().trimmed().toLongLong(&ok);
    if (edit->text().trimmed().isEmpty()) {
        value = 0;
        return true;
    }
    if (ok && typed >= low && typed <= high) {
        value = int(typed);
        return true;
    }
    AppMessageBox(QObject::tr("Please enter an integer between %1 and %2.").arg(low).arg(high),
                  MB_OK | MB_ICONEXCLAMATION);
    edit->setFocus();
    edit->selectAll();
    return false;
}

} // namespace

// --- Format ------------------------------------------------------------------

CDateTimePage1::CDateTimePage1(CDateTime& variable, QWidget* parent)
    : CVariablePage(tr("Format"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    auto* listLabel = new QLabel(tr("&Standard Formats:"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("formatList"));
    listLabel->setBuddy(m_list);
    m_custom = new QRadioButton(tr("&Custom Format:"), this);
    m_custom->setObjectName(QStringLiteral("customButton"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("formatEdit"));
    m_sample = new QLabel(this);
    m_sample->setObjectName(QStringLiteral("sample"));
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_custom);
    layout->addWidget(m_edit);
    auto* sampleLine = new QHBoxLayout;
    sampleLine->addWidget(new QLabel(tr("Sample:"), this));
    sampleLine->addWidget(m_sample, 1);
    layout->addLayout(sampleLine);

    const std::time_t now = CDateTime::Now();
    for (const QString& format : CDateTime::StandardFormats())
        m_list->addItem(CDateTime::FormatDateTime(format, now));

    m_edit->setText(m_variable.m_format);
    const QString sample = CDateTime::FormatDateTime(UsableFormat(m_variable.m_format), now);
    const int row = CDateTime::StandardFormats().indexOf(m_variable.m_format);
    const QList<QListWidgetItem*> same = m_list->findItems(sample, Qt::MatchExactly);
    if (row >= 0 || !same.isEmpty()) {
        m_list->setCurrentRow(row >= 0 ? row : m_list->row(same.first()));
        m_edit->setEnabled(false);
    } else {
        m_custom->setChecked(true);
    }
    m_sample->setText(sample);

    connect(m_list, &QListWidget::itemClicked, this, &CDateTimePage1::OnListChosen);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !m_edit->hasFocus())
            OnListChosen();
    });
    connect(m_custom, &QRadioButton::clicked, this, &CDateTimePage1::OnCustom);
    connect(m_edit, &QLineEdit::textChanged, this, &CDateTimePage1::OnEdit);
    // A format typed by the user is no longer the one chosen in the list.
    connect(m_edit, &QLineEdit::textEdited, this, [this] {
        const QSignalBlocker blocker(m_list);
        m_list->clearSelection();
        m_list->setCurrentRow(-1);
    });
}

QString CDateTimePage1::UsableFormat(const QString& format)
{
    // A single "%" at the end begins a conversion not yet typed.
    qsizetype percents = 0;
    for (qsizetype i = format.size() - 1; i >= 0 && format[i] == u'%'; --i)
        ++percents;
    return percents % 2 == 1 ? format.left(format.size() - 1) : format;
}

void CDateTimePage1::Enter()
{
    OnEdit(m_edit->text());
}

void CDateTimePage1::OnListChosen()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= CDateTime::StandardFormats().size())
        return;
    m_custom->setChecked(false);
    m_edit->setEnabled(false);
    m_edit->setText(CDateTime::StandardFormats()[row]);
}

void CDateTimePage1::OnCustom()
{
    m_custom->setChecked(true);
    m_edit->setEnabled(true);
    m_edit->setFocus();
    m_edit->selectAll();
}

void CDateTimePage1::OnEdit(const QString& text)
{
    m_sample->setText(CDateTime::FormatDateTime(UsableFormat(text), CDateTime::Now()));
}

bool CDateTimePage1::Leave()
{
    m_variable.m_format = UsableFormat(m_edit->text());
    return true;
}

// --- Offset ------------------------------------------------------------------

CDateTimePage2::CDateTimePage2(CDateTime& variable, QWidget* parent)
    : CVariablePage(tr("Offset"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    m_normal = new QRadioButton(tr("&Apply date/time of printing (normal)"), this);
    m_normal->setObjectName(QStringLiteral("normalButton"));
    m_offset = new QRadioButton(tr("&Offset printing date/time by :"), this);
    m_offset->setObjectName(QStringLiteral("offsetButton"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_normal);
    group->addButton(m_offset);
    layout->addWidget(m_normal);
    layout->addWidget(m_offset);
    auto* amounts = new QGridLayout;
    m_days = new QLineEdit(this);
    m_days->setObjectName(QStringLiteral("daysEdit"));
    m_weeks = new QLineEdit(this);
    m_weeks->setObjectName(QStringLiteral("weeksEdit"));
    auto* daysLabel = new QLabel(tr("&Days"), this);
    daysLabel->setBuddy(m_days);
    auto* weeksLabel = new QLabel(tr("&Weeks"), this);
    weeksLabel->setBuddy(m_weeks);
    amounts->addWidget(m_days, 0, 0);
    amounts->addWidget(daysLabel, 0, 1);
    amounts->addWidget(m_weeks, 1, 0);
    amounts->addWidget(weeksLabel, 1, 1);
    layout->addLayout(amounts);
    m_allow =
        new QCheckBox(tr("Allow additional offset (in days) to be &entered at print time"), this);
    m_allow->setObjectName(QStringLiteral("allowCheck"));
    layout->addWidget(m_allow);
    auto* form = new QFormLayout;
    m_source = new QComboBox(this);
    m_source->setObjectName(QStringLiteral("sourceCombo"));
    m_source->addItem(LoadStringId(IDS_SOURCE_KEYBOARD), CDateTime::ADDITIONAL_KEYBOARD);
    m_source->addItem(LoadStringId(IDS_SOURCE_DATABASE), CDateTime::ADDITIONAL_DATABASE);
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("fieldCombo"));
    m_field->setEditable(true);
    m_prompt = new QLineEdit(this);
    m_prompt->setObjectName(QStringLiteral("promptEdit"));
    form->addRow(tr("Source"), m_source);
    form->addRow(tr("Field"), m_field);
    form->addRow(tr("&Prompt"), m_prompt);
    layout->addLayout(form);
    layout->addStretch(1);

    const int offset = m_variable.m_offsetDays;
    (offset != 0 || m_variable.m_allowAdditional ? m_offset : m_normal)->setChecked(true);
    m_days->setText(QString::number(offset % 7));
    m_weeks->setText(QString::number(offset / 7));
    m_allow->setChecked(m_variable.m_allowAdditional);
    m_appliedSource = m_variable.m_additionalSource == CDateTime::ADDITIONAL_DATABASE ? 1 : 0;
    m_source->setCurrentIndex(m_appliedSource);
    FillFieldCombo(m_field, m_variable.m_field);
    m_prompt->setText(m_variable.m_prompt);
    UpdateEnabling();

    connect(m_normal, &QRadioButton::toggled, this, &CDateTimePage2::UpdateEnabling);
    connect(m_allow, &QCheckBox::toggled, this, &CDateTimePage2::UpdateEnabling);
    connect(m_source, &QComboBox::activated, this, &CDateTimePage2::OnSource);
}

void CDateTimePage2::UpdateEnabling()
{
    const bool offset = m_offset->isChecked();
    const bool allow = offset && m_allow->isChecked();
    const bool database = m_source->currentIndex() == 1;
    m_days->setEnabled(offset);
    m_weeks->setEnabled(offset);
    m_allow->setEnabled(offset);
    m_source->setEnabled(allow);
    m_field->setEnabled(allow && database);
    m_prompt->setEnabled(allow && !database);
}

void CDateTimePage2::OnSource(int index)
{
    if (index == 1) {
        CDataLinkSeam* link = App().dataLink;
        const int kind = link ? link->GetLinkKind() : -1;
        if (kind == 1) {
            AppMessageBoxId(IDS_LINK_USED_FOR_DATA_STORAGE);
            m_source->setCurrentIndex(m_appliedSource);
            UpdateEnabling();
            return;
        }
        if (kind != 0) {
            // The sign is linked through the connection wizard first; a
            // cancelled wizard leaves the choice as it was.
            const bool linked = s_linkDatabase ? s_linkDatabase(this) : false;
            if (!s_linkDatabase)
                AppMessageBox(tr("No database is linked to the sign."), MB_OK | MB_ICONEXCLAMATION);
            link = App().dataLink;
            if (!linked || !link || link->GetLinkKind() != 0) {
                m_source->setCurrentIndex(m_appliedSource);
                UpdateEnabling();
                return;
            }
        }
        FillFieldCombo(m_field, m_field->currentText());
        if (!m_field->currentText().isEmpty())
            m_prompt->setText(m_field->currentText());
    }
    m_appliedSource = index;
    UpdateEnabling();
}

std::function<bool(QWidget*)> CDateTimePage2::s_linkDatabase;

bool CDateTimePage2::Leave()
{
    if (m_normal->isChecked()) {
        m_variable.m_offsetDays = 0;
        m_variable.m_allowAdditional = FALSE;
        return true;
    }
    int days = 0;
    int weeks = 0;
    if (!ReadInteger(m_days, -3650000, 3650000, days) ||
        !ReadInteger(m_weeks, -521428, 521428, weeks))
        return false;
    m_variable.m_offsetDays = std::clamp(weeks * 7 + days, -3650000, 3650000);
    m_variable.m_allowAdditional = m_allow->isChecked() ? TRUE : FALSE;
    if (m_variable.m_allowAdditional) {
        m_variable.m_additionalSource = m_source->currentData().toInt();
        m_variable.m_field = m_variable.m_additionalSource == CDateTime::ADDITIONAL_DATABASE
                                 ? m_field->currentText()
                                 : QString();
        m_variable.m_prompt = m_prompt->text();
    }
    return true;
}

bool RunDateTimeSheet(QWidget* parent, CDateTime& working, bool isNew)
{
    auto* sheet = new CVariableSheet(isNew, QObject::tr("Date/Time Stamp Properties"), parent);
    sheet->AddPage(new CDateTimePage1(working, sheet));
    sheet->AddPage(new CDateTimePage2(working, sheet));
    return CVariableSheet::Run(sheet);
}
