#include "DataEntryOrderDlg.h"

#include "DataSourceMap.h"
#include "DateTime.h"
#include "Element.h"
#include "ElementList.h"
#include "IncNumber.h"
#include "NodeIcons.h"
#include "PriceCalculation.h"
#include "Variable.h"
#include "VariableList.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The entry of a variable in use that takes a typed input, with the prompt
// of its first typed input; false for any other variable.
bool VariableEntry(CVariable* variable, QString& prompt)
{
    switch (variable->GetTypeCode()) {
    case VARIABLE_OPTION_LIST:
        prompt = variable->m_prompt;
        return true;
    case VARIABLE_INCREMENTING: {
        auto* number = static_cast<CIncNumber*>(variable);
        if (number->m_startSource == SOURCE_KEYBOARD) {
            prompt = number->m_startPrompt;
            return true;
        }
        prompt = number->m_limitPrompt;
        return number->m_limitSource == SOURCE_KEYBOARD;
    }
    case VARIABLE_DATE_TIME:
        prompt = variable->m_prompt;
        return static_cast<CDateTime*>(variable)->m_allowAdditional != 0;
    case VARIABLE_PRICE_CALC: {
        auto* calc = static_cast<CPriceCalculation*>(variable);
        for (const CPriceCalculation::Input& input : calc->m_inputs) {
            if (input.sourceKind == SOURCE_KEYBOARD) {
                prompt = input.prompt;
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace

std::vector<CDataEntryOrderDlg::Entry> CDataEntryOrderDlg::CollectEntries()
{
    std::vector<Entry> entries;
    CElementList& elements = TheElementList();
    for (int i = 0; i < elements.GetCount(); ++i) {
        CElement* element = elements.GetAt(i);
        if (element->m_dataSource != SOURCE_KEYBOARD && element->m_dataSource != SOURCE_DATABASE)
            continue;
        entries.push_back({element, true, element->GetTypeCode(), element->m_name,
                           element->m_prompt, element->m_dataEntryIndex});
    }
    CDataSourceMap& map = TheDataSourceMap();
    CVariableList& variables = TheVariableList();
    for (int i = 0; i < variables.GetCount(); ++i) {
        CVariable* variable = variables.GetAt(i);
        QString prompt;
        if (map.GetDependentCount(variable) < 1 || !VariableEntry(variable, prompt))
            continue;
        entries.push_back({variable, false, variable->GetTypeCode(), variable->m_name, prompt,
                           variable->m_dataEntryIndex});
    }
    return entries;
}

CDataEntryOrderDlg::CDataEntryOrderDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Data Entry Order"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("id%1").arg(IDC_LIST));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({tr("Name"), tr("Prompt")});
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAllColumnsShowFocus(true);
    m_list->setIconSize(QSize(16, 16));

    auto* buttons = new QVBoxLayout;
    const struct
    {
        int id;
        QStyle::StandardPixmap icon;
        const char* tip;
        void (CDataEntryOrderDlg::*move)();
    } moves[] = {
        {IDC_TOP, QStyle::SP_ArrowUp, "To the top", &CDataEntryOrderDlg::MoveTop},
        {IDC_UP, QStyle::SP_ArrowUp, "Up one place", &CDataEntryOrderDlg::MoveUp},
        {IDC_DOWN, QStyle::SP_ArrowDown, "Down one place", &CDataEntryOrderDlg::MoveDown},
        {IDC_BOTTOM, QStyle::SP_ArrowDown, "To the bottom", &CDataEntryOrderDlg::MoveBottom},
    };
    for (const auto& m : moves) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("id%1").arg(m.id));
        button->setIcon(style()->standardIcon(m.icon));
        if (m.id == IDC_TOP || m.id == IDC_BOTTOM)
            button->setText(m.id == IDC_TOP ? tr("Top") : tr("Bottom"));
        button->setToolTip(tr(m.tip));
        connect(button, &QPushButton::clicked, this, m.move);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));
    connect(box, &QDialogButtonBox::accepted, this, &CDataEntryOrderDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CDataEntryOrderDlg::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_list, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(box, 1, 0, 1, 2);

    // The list by the current indexes (equal ones keep the order of the
    // sign's lists), renumbered from 0.
    m_entries = CollectEntries();
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
    Fill();
    for (int column = 0; column < 2; ++column) {
        m_list->resizeColumnToContents(column);
        m_list->setColumnWidth(column, m_list->columnWidth(column) + 16);
    }
    // A click elsewhere in the list never leaves it without a selection.
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> items = m_list->selectedItems();
        if (items.isEmpty())
            Select(m_selected);
        else
            m_selected = m_list->indexOfTopLevelItem(items.front());
    });
    Select(0);
    resize(520, 360);
}

void CDataEntryOrderDlg::Fill()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        m_entries[i].key = int(i);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, m_entries[i].name);
        item->setIcon(0, NodeKindIcon(m_entries[i].type));
        item->setData(0, Qt::UserRole, m_entries[i].type);
        item->setText(1, QString(m_entries[i].prompt).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }
}

void CDataEntryOrderDlg::Select(int index)
{
    if (m_entries.empty())
        return;
    m_selected = std::clamp(index, 0, int(m_entries.size()) - 1);
    const QSignalBlocker blocker(m_list);
    QTreeWidgetItem* item = m_list->topLevelItem(m_selected);
    m_list->setCurrentItem(item);
    item->setSelected(true);
    m_list->scrollToItem(item);
}

void CDataEntryOrderDlg::Resort()
{
    Fill();
    Select(m_selected);
}

void CDataEntryOrderDlg::MoveTop()
{
    if (m_selected <= 0 || m_selected >= int(m_entries.size()))
        return;
    std::rotate(m_entries.begin(), m_entries.begin() + m_selected,
                m_entries.begin() + m_selected + 1);
    m_selected = 0;
    Resort();
}

void CDataEntryOrderDlg::MoveUp()
{
    if (m_selected <= 0 || m_selected >= int(m_entries.size()))
        return;
    std::swap(m_entries[size_t(m_selected)], m_entries[size_t(m_selected - 1)]);
    --m_selected;
    Resort();
}

void CDataEntryOrderDlg::MoveDown()
{
    if (m_selected < 0 || m_selected + 1 >= int(m_entries.size()))
        return;
    std::swap(m_entries[size_t(m_selected)], m_entries[size_t(m_selected + 1)]);
    ++m_selected;
    Resort();
}

void CDataEntryOrderDlg::MoveBottom()
{
    if (m_selected < 0 || m_selected + 1 >= int(m_entries.size()))
        return;
    std::rotate(m_entries.begin() + m_selected, m_entries.begin() + m_selected + 1,
                m_entries.end());
    m_selected = int(m_entries.size()) - 1;
    Resort();
}

void CDataEntryOrderDlg::accept()
{
    // Each entry's position goes to its own owner: an element and a variable
    // of the same name keep their own places. An owner that left the sign
    // while the dialog was open is passed over.
    CElementList& elements = TheElementList();
    CVariableList& variables = TheVariableList();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        if (entry.isElement) {
            auto* element = static_cast<CElement*>(entry.owner);
            if (elements.Contains(element))
                element->m_dataEntryIndex = int(i);
            continue;
        }
        for (int v = 0; v < variables.GetCount(); ++v) {
            if (variables.GetAt(v) == entry.owner) {
                variables.GetAt(v)->m_dataEntryIndex = int(i);
                break;
            }
        }
    }
    QDialog::accept();
}
