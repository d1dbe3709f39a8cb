#include "DataEntryOrderDlg.h"

#include "DataSourceMap.h"
#include "DateTime.h"
#include "Element.h"
#include "ElementList.h"
#include "IncNumber.h"
#include "ListCtrlEx.h"
#include "NodeIcons.h"
#include "PictureButton.h"
#include "PriceCalculation.h"
#include "ResourceIds.h"
#include "Variable.h"
#include "VariableList.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
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

// The pictures of the move buttons: an arrow the way of the move, with a bar
// at its head for the moves to the top and to the bottom.
QIcon MoveIcon(int id)
{
    const bool up = id == CDataEntryOrderDlg::IDC_TOP || id == CDataEntryOrderDlg::IDC_UP;
    const bool toEnd = id == CDataEntryOrderDlg::IDC_TOP || id == CDataEntryOrderDlg::IDC_BOTTOM;
    return DrawnButtonIcon([up, toEnd](QPainter& p, const QColor&) {
        // Drawn pointing up, turned over for the downward moves.
        if (!up) {
            p.translate(0, 16);
            p.scale(1, -1);
        }
        QPainterPath head;
        head.moveTo(8, toEnd ? 4 : 2);
        head.lineTo(14, toEnd ? 10 : 8);
        head.lineTo(2, toEnd ? 10 : 8);
        head.closeSubpath();
        p.drawPath(head);
        p.drawRect(QRectF(6, toEnd ? 10 : 8, 4, toEnd ? 5 : 7));
        if (toEnd)
            p.drawRect(QRectF(2, 1, 12, 2));
    });
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
    m_list = new CListCtrlEx(this);
    m_list->setObjectName(QStringLiteral("id%1").arg(IDC_LIST));
    if (m_list->InsertColumnId(0, IDS_COLUMN_NAME) < 0)
        m_list->InsertColumnText(0, tr("Name"));
    if (m_list->InsertColumnId(1, IDS_COLUMN_PROMPT) < 0)
        m_list->InsertColumnText(1, tr("Prompt"));
    m_list->setIconSize(QSize(16, 16));
    QList<QIcon> kinds;
    for (int kind = 0; kind <= 17; ++kind)
        kinds << NodeKindIcon(kind);
    m_list->SetImageList(kinds);

    auto* buttons = new QVBoxLayout;
    const struct
    {
        int id;
        const char* name;
        const char* tip;
        void (CDataEntryOrderDlg::*move)();
    } moves[] = {
        {IDC_TOP, "Top", "To the top", &CDataEntryOrderDlg::MoveTop},
        {IDC_UP, "Up", "Up one place", &CDataEntryOrderDlg::MoveUp},
        {IDC_DOWN, "Down", "Down one place", &CDataEntryOrderDlg::MoveDown},
        {IDC_BOTTOM, "Bottom", "To the bottom", &CDataEntryOrderDlg::MoveBottom},
    };
    for (const auto& m : moves) {
        auto* button = new CPictureButton(this);
        button->setObjectName(QStringLiteral("id%1").arg(m.id));
        button->SetFlat(false, false);
        button->SetIconHandles(MoveIcon(m.id));
        button->setAccessibleName(tr(m.name));
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
    m_list->FitColumn(0, true);
    m_list->FitColumn(1, false);
    // A click elsewhere in the list never leaves it without a selection.
    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> items = m_list->selectedItems();
        if (items.isEmpty())
            Select(m_selected);
        else
            m_selected = items.front()->row();
    });
    Select(0);
    resize(520, 360);
}

void CDataEntryOrderDlg::Fill()
{
    const QSignalBlocker blocker(m_list);
    m_list->setRowCount(0);
    // Each row goes in at the top, so the last entry goes in first.
    for (size_t i = m_entries.size(); i-- > 0;) {
        m_entries[i].key = int(i);
        m_list->InsertIconItem(m_entries[i].type, m_entries[i].name, m_entries[i].type);
        m_list->SetCellText(0, 1, QString(m_entries[i].prompt).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }
}

void CDataEntryOrderDlg::Select(int index)
{
    if (m_entries.empty())
        return;
    m_selected = std::clamp(index, 0, int(m_entries.size()) - 1);
    const QSignalBlocker blocker(m_list);
    m_list->SelectItem(m_selected);
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
