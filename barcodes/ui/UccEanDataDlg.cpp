#include "UccEanDataDlg.h"

#include "ElementList.h"
#include "GS1AIInfo.h"
#include "MessageBox.h"
#include "Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

QString AIColumn(int ai)
{
    return QStringLiteral("%1").arg(ai, 2, 10, QChar(u'0'));
}

QTreeWidget* NewAIList(QWidget* parent, int secondWidth)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QStringLiteral("id1219"));
    list->setColumnCount(2);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setColumnWidth(0, 45);
    list->setColumnWidth(1, secondWidth);
    return list;
}

} // namespace

// --- GS1 Application Identifiers ----------------------------------------------------

CGS1AISelectDlg::CGS1AISelectDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("GS1 Application Identifiers"));
    auto* layout = new QVBoxLayout(this);
    m_list = NewAIList(this, 390);
    for (const GS1AIInfo& row : GS1AITable()) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, AIColumn(row.ai));
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(1, QString::fromLatin1(row.description));
        item->setData(0, Qt::UserRole, row.ai);
    }
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Only a row the user picks enables OK (the list's current row alone
    // does not).
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> picked = m_list->selectedItems();
        m_chosen = picked.isEmpty() ? -1 : picked.front()->data(0, Qt::UserRole).toInt();
        m_ok->setEnabled(!picked.isEmpty());
    });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        m_chosen = item->data(0, Qt::UserRole).toInt();
        accept();
    });
    resize(520, 420);
}

// --- GS1 Barcode Data ----------------------------------------------------------------

CUccEanDataDlg::CUccEanDataDlg(CUccSubStringArray& entries, int forcedAI, QWidget* parent)
    : QDialog(parent), m_entries(entries), m_forcedAI(forcedAI)
{
    setWindowTitle(tr("GS1 Barcode Data"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_list = NewAIList(this, 227);
    left->addWidget(m_list);
    auto* listButtons = new QHBoxLayout;
    auto button = [this, listButtons](const QString& text, int id) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QStringLiteral("id%1").arg(id));
        listButtons->addWidget(b);
        return b;
    };
    m_add = button(tr("Add..."), 1243);
    m_delete = button(tr("Delete"), 1515);
    m_up = button(tr("Up"), 1168);
    m_down = button(tr("Down"), 1170);
    left->addLayout(listButtons);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* source = new QGroupBox(tr("Source"), this);
    auto* form = new QFormLayout(source);
    m_type = new QComboBox(source);
    m_type->addItem(LoadStringId(IDS_SOURCE_FIXED), CUccSubString::kFixed);
    m_type->addItem(LoadStringId(IDS_SOURCE_ANOTHER_ELEMENT), CUccSubString::kElement);
    form->addRow(tr("Type"), m_type);
    m_name = new QComboBox(source);
    m_nameLabel = new QLabel(tr("Name"), source);
    form->addRow(m_nameLabel, m_name);
    m_prompt = new QLineEdit(source);
    m_prompt->setReadOnly(true);
    m_promptLabel = new QLabel(tr("Prompt"), source);
    form->addRow(m_promptLabel, m_prompt);
    right->addWidget(source);

    auto* data = new QFormLayout;
    m_sample = new QLineEdit(this);
    data->addRow(tr("Sample"), m_sample);
    m_decimals = new QLineEdit(this);
    m_decimals->setValidator(new QIntValidator(0, 9, m_decimals));
    m_decimalsLabel = new QLabel(tr("Decimal Places"), this);
    data->addRow(m_decimalsLabel, m_decimals);
    m_format = new QLabel(this);
    m_format->setObjectName(QStringLiteral("id1238"));
    data->addRow(QString(), m_format);
    right->addLayout(data);

    auto* formatting = new QGroupBox(tr("Formatting"), this);
    auto* fform = new QFormLayout(formatting);
    m_prefix = new QLineEdit(formatting);
    m_suffix = new QLineEdit(formatting);
    fform->addRow(tr("Prefix"), m_prefix);
    fform->addRow(tr("Suffix"), m_suffix);
    right->addWidget(formatting);
    m_check = new QCheckBox(tr("Calculate Check Digit "), this);
    right->addWidget(m_check);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    right->addStretch(1);
    right->addWidget(buttons);
    layout->addLayout(right, 1);
    // Each control is named by its number, as in every dialog.
    const std::pair<QWidget*, int> names[] = {
        {m_type, 1000},        {m_name, 1001},   {m_nameLabel, 1132}, {m_prompt, 1072},
        {m_promptLabel, 1254}, {m_sample, 1178}, {m_decimals, 1521},  {m_decimalsLabel, 1522},
        {m_prefix, 1214},      {m_suffix, 1215}, {m_check, 1201}};
    for (const auto& [widget, id] : names)
        widget->setObjectName(QStringLiteral("id%1").arg(id));

    QStringList linked;
    TheElementList().FillComboWithLinked(linked, QString());
    m_name->addItems(linked);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &CUccEanDataDlg::OnAdd);
    connect(m_delete, &QPushButton::clicked, this, &CUccEanDataDlg::OnDelete);
    connect(m_up, &QPushButton::clicked, this, [this] { OnMove(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { OnMove(1); });
    connect(m_type, &QComboBox::activated, this, &CUccEanDataDlg::OnType);
    connect(m_name, &QComboBox::activated, this, &CUccEanDataDlg::OnName);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { ShowEntry(); });
    connect(m_sample, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CUccSubString* e = Current())
            e->m_value = e->m_currentValue = text;
    });
    connect(m_decimals, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (CUccSubString* e = Current(); e && m_initialised && ok && value >= 0 && value <= 6)
            e->m_decimals = value;
    });
    connect(m_prefix, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CUccSubString* e = Current())
            e->m_prefix = text;
    });
    connect(m_suffix, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CUccSubString* e = Current())
            e->m_suffix = text;
    });
    connect(m_check, &QCheckBox::clicked, this, [this](bool on) {
        if (CUccSubString* e = Current())
            e->m_appendCheckDigit = on ? TRUE : FALSE;
    });

    RefillList(0);
    if (m_forcedAI >= 0) {
        m_add->setEnabled(false);
        m_delete->setEnabled(false);
        if (m_entries.GetSize() == 0)
            AddEntry(m_forcedAI);
    }
    m_initialised = true;
    UpdateControls();
    resize(720, 420);
}

CUccSubString* CUccEanDataDlg::Current()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 && row < m_entries.GetSize() ? &m_entries[row] : nullptr;
}

void CUccEanDataDlg::RefillList(int select)
{
    m_loading = true;
    m_list->clear();
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        const int ai = m_entries[i].m_ai;
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, AIColumn(ai));
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        const GS1AIInfo* row = GetGS1AIInfo(ai);
        item->setText(1, row ? QString::fromLatin1(row->shortName) : QString());
    }
    m_loading = false;
    if (m_entries.GetSize() > 0)
        m_list->setCurrentItem(
            m_list->topLevelItem(std::clamp(select, 0, m_entries.GetSize() - 1)));
    ShowEntry();
}

void CUccEanDataDlg::ShowEntry()
{
    if (m_loading)
        return;
    m_loading = true;
    if (const CUccSubString* e = Current()) {
        const bool element = e->m_sourceKind == CUccSubString::kElement;
        m_type->setCurrentIndex(element ? 1 : 0);
        m_name->setCurrentIndex(element ? m_name->findText(e->m_sourceName) : -1);
        m_prompt->setText(element ? e->m_prompt : QString());
        m_prefix->setText(element ? e->m_prefix : QString());
        m_suffix->setText(element ? e->m_suffix : QString());
        m_sample->setText(e->m_value);
        m_decimals->setText(QString::number(e->m_decimals));
        m_check->setChecked(e->m_appendCheckDigit);
        const GS1AIInfo* row = GetGS1AIInfo(e->m_ai);
        m_format->setText(row ? QString::fromLatin1(row->format) : QString());
    }
    m_loading = false;
    UpdateControls();
}

void CUccEanDataDlg::UpdateControls()
{
    const CUccSubString* e = Current();
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    const int count = m_entries.GetSize();
    const bool forced = m_forcedAI >= 0;
    m_delete->setEnabled(e && !forced);
    m_up->setEnabled(e && count > 1 && row > 0);
    m_down->setEnabled(e && count > 1 && row < count - 1);
    m_type->setEnabled(e != nullptr);
    m_sample->setEnabled(e != nullptr);
    const bool element = e && e->m_sourceKind == CUccSubString::kElement;
    for (QWidget* w : std::initializer_list<QWidget*>{m_name, m_nameLabel, m_promptLabel, m_prompt,
                                                      m_prefix, m_suffix})
        w->setEnabled(element);
    const GS1AIInfo* info = e ? GetGS1AIInfo(e->m_ai) : nullptr;
    m_decimalsLabel->setEnabled(info && info->decimalDigit);
    m_decimals->setEnabled(info && info->decimalDigit);
    m_check->setEnabled(info && info->checkDigit);
    if (!e) {
        m_type->setCurrentIndex(-1);
        m_name->setCurrentIndex(-1);
        m_prompt->clear();
        m_prefix->clear();
    }
}

void CUccEanDataDlg::AddEntry(int ai)
{
    const GS1AIInfo* row = GetGS1AIInfo(ai);
    CUccSubString entry;
    entry.m_ai = ai;
    entry.m_value = entry.m_currentValue = row ? QString::fromLatin1(row->sample) : QString();
    entry.m_decimals = row ? row->defaultDecimals : 0;
    m_entries.Add(entry);
    RefillList(m_entries.GetSize() - 1);
}

void CUccEanDataDlg::OnAdd()
{
    CGS1AISelectDlg select(this);
    if (select.exec() == QDialog::Accepted && select.ChosenAI() >= 0)
        AddEntry(select.ChosenAI());
}

void CUccEanDataDlg::OnDelete()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0)
        return;
    m_entries.RemoveAt(row);
    RefillList(std::min(row, m_entries.GetSize() - 1));
}

void CUccEanDataDlg::OnMove(int by)
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_entries.GetSize())
        return;
    CUccSubStringArray moved;
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        const int from = i == row ? to : i == to ? row : i;
        moved.Add(m_entries[from]);
    }
    m_entries = moved;
    RefillList(to);
}

void CUccEanDataDlg::OnType(int index)
{
    CUccSubString* e = Current();
    if (!e || m_loading)
        return;
    if (m_type->itemData(index).toInt() == CUccSubString::kFixed) {
        e->m_sourceKind = CUccSubString::kFixed;
        e->m_sourceName.clear();
        e->m_prompt.clear();
        e->m_prefix.clear();
        e->m_suffix.clear();
        ShowEntry();
        return;
    }
    if (!TheElementList().HasLinkedElements()) {
        AppMessageBoxId(IDS_NO_VARIABLE_ELEMENTS, MB_OK | MB_ICONINFORMATION);
        m_type->setCurrentIndex(0);
        return;
    }
    e->m_sourceKind = CUccSubString::kElement;
    int at = m_name->findText(e->m_sourceName);
    if (at < 0)
        at = 0;
    m_name->setCurrentIndex(at);
    OnName(at);
    ShowEntry();
}

void CUccEanDataDlg::OnName(int index)
{
    CUccSubString* e = Current();
    if (!e || index < 0)
        return;
    e->m_sourceName = m_name->itemText(index);
    const CElement* element = TheElementList().FindByName(e->m_sourceName);
    e->m_prompt = element ? element->m_prompt : QString();
    m_prompt->setText(e->m_prompt);
}

void CUccEanDataDlg::accept()
{
    bool ok = false;
    const int decimals = m_decimals->text().toInt(&ok);
    if (m_decimals->isEnabled() && (!ok || decimals < 0 || decimals > 6)) {
        AppMessageBox(tr("Please enter an integer between 0 and 6."), MB_OK | MB_ICONEXCLAMATION);
        m_decimals->setFocus();
        return;
    }
    if (m_entries.GetSize() == 0) {
        AppMessageBox(tr("Add at least one application identifier."), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    QDialog::accept();
}

void InstallGS1DataDialogs()
{
    CUccEanData::s_dialog = [](QWidget* parent, CUccSubStringArray& entries, int forcedAI) {
        CUccEanDataDlg dialog(entries, forcedAI, parent);
        return dialog.exec() == QDialog::Accepted;
    };
}
