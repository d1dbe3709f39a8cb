#include "RecordNavigator.h"


#include "DataSourceMap.h"
#include "DataStore.h"
#include "DataStoreDlg.h"
#include "DateTime.h"
#include "Element.h"
#include "ElementList.h"
#include "PictureButton.h"
#include "FilterList.h"
#include "FilterSheet.h"
#include "Messages.h"
#include "NodeIcons.h"
#include "OptionList.h"
#include "Printer.h"
#include "RecordPrintDriver.h"
#include "ResourceIds.h"
#include "Strings.h"
#include "Variable.h"
#include "VariableList.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

// The program's saved filters and the advanced filter sheet.
std::function<QStringList()> CRecordNavigator::s_savedFilterNames = [] {
    return TheFilterList().Names();
};
std::function<QString(const QString& name)> CRecordNavigator::s_savedFilterCondition =
    [](const QString& name) { return TheFilterList().Find(name); };
std::function<bool(QWidget* parent, CDatabaseLink& link)> CRecordNavigator::s_advancedFilter =
    [](QWidget* parent, CDatabaseLink& link) {
        RunAdvancedFilter(parent, link);
        return true;
    };

namespace {

// The pictures of the move buttons: a triangle pointing the way of the move,
// with a bar for the first and last record; Print All a small printer.
QIcon MoveIcon(int kind)
{
    return DrawnButtonIcon([kind](QPainter& p, const QColor& ink) {
        QPainterPath path;
        if (kind == 0 || kind == 1) {
            path.moveTo(12, 3);
            path.lineTo(5, 8);
            path.lineTo(12, 13);
        } else if (kind == 2 || kind == 3) {
            path.moveTo(4, 3);
            path.lineTo(11, 8);
            path.lineTo(4, 13);
        }
        path.closeSubpath();
        if (kind <= 3)
            p.drawPath(path);
        if (kind == 0)
            p.drawRect(QRectF(2, 3, 2, 10));
        if (kind == 3)
            p.drawRect(QRectF(12, 3, 2, 10));
        if (kind == 4) {
            p.setBrush(Qt::white);
            p.setPen(QPen(ink, 1));
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(0x9a, 0xa4, 0xae));
            p.drawRect(QRectF(1.5, 6.5, 13, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
        }
    });
}

// A flat picture button.
CPictureButton* MoveButton(QWidget* parent, int id, int kind, const QString& tip)
{
    auto* button = new CPictureButton(parent);
    button->setObjectName(QStringLiteral("id%1").arg(id));
    button->SetIconHandles(MoveIcon(kind));
    button->setToolTip(tip);
    return button;
}

bool IsStoreVariable(const CVariable* variable)
{
    return variable->GetTypeCode() == VARIABLE_OPTION_LIST ||
           (variable->GetTypeCode() == VARIABLE_DATE_TIME && variable->IsKeyboardSourced());
}

// One value of the typed data set, as the data store keeps it.
struct CStoreValue
{
    CObject* owner = nullptr;
    QString name;
    QString value;
};

// The typed data set: the entered data of every keyboard element, the option
// shown by every option list, the typed extra days of every date/time stamp.
std::vector<CStoreValue> TypedDataSet()
{
    std::vector<CStoreValue> values;
    for (CElement* element : TheElementList())
        if (element->m_dataSource == SOURCE_KEYBOARD)
            values.push_back({element, element->m_name, element->GetEnteredData()});
    for (CVariable* variable : TheVariableList()) {
        if (!IsStoreVariable(variable))
            continue;
        if (auto* list = dynamic_cast<COptionList*>(variable))
            values.push_back({variable, variable->GetName(), list->OptionForValue()});
        else if (auto* stamp = dynamic_cast<CDateTime*>(variable))
            values.push_back(
                {variable, variable->GetName(), QString::number(stamp->m_additionalDays)});
    }
    return values;
}

void Deliver(CObject* owner, const QString& value, int kind, const QString& part)
{
    CDataSourceMap& map = TheDataSourceMap();
    if (map.FindNode(owner)) {
        map.SetSourceValue(owner, value, kind, part, TRUE);
        return;
    }
    if (auto* element = dynamic_cast<CElement*>(owner))
        element->SetDataText(value, kind, part, TRUE);
    else if (auto* variable = dynamic_cast<CVariable*>(owner))
        variable->SetSourceValue(value, kind, part, TRUE);
}

// A data store's current record reaches the keyboard elements, option lists
// and date/time stamps named like its columns.
void LoadStoreRecord(CDatabaseLink& link)
{
    if (link.GetRecordCount() < 1)
        return;
    const QStringList names = link.FieldNames();
    const auto has = [&](const QString& name) { return names.contains(name, Qt::CaseInsensitive); };
    for (const CStoreValue& item : TypedDataSet()) {
        if (!has(item.name))
            continue;
        Deliver(item.owner, link.GetFieldValue(item.name), SOURCE_DATABASE,
                dynamic_cast<CElement*>(item.owner)
                    ? static_cast<CElement*>(item.owner)->m_sourceName
                    : QString());
    }
}

} // namespace

void CNavigatorDataCombo::showPopup()
{
    emit aboutToDropDown();
    QComboBox::showPopup();
}

CRecordNavigator::CRecordNavigator(CDatabaseLink& link, CNavigatorHost host, QWidget* parent)
    : QFrame(parent), m_link(link), m_host(std::move(host))
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setFrameShape(QFrame::StyledPanel);
    // The whole table or view at its first record; a recordset just opened
    // so (the print station's) is not read again.
    if (m_link.IsRecordsetOpen() && m_link.m_recordset->whole) {
        m_link.MoveFirst();
    } else {
        m_link.CloseRecordset();
        m_link.OpenRecordset();
    }
    BuildControls();
    InitialState();
}

CRecordNavigator::~CRecordNavigator()
{
    m_searchTimer->stop();
    m_link.CloseRecordset();
}

void CRecordNavigator::BuildControls()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);

    // Record : |< < [n] > >| of N
    auto* recordLabel = new QLabel(tr("&Record :"), this);
    auto* moves = new QHBoxLayout;
    moves->setSpacing(1);
    m_first = MoveButton(this, IDC_FIRST, 0, tr("First Record"));
    m_previous = MoveButton(this, IDC_PREVIOUS, 1, tr("Previous Record"));
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("id%1").arg(IDC_NUMBER));
    m_number->setAlignment(Qt::AlignRight);
    m_number->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    m_number->setValidator(new QIntValidator(0, 999999999, m_number));
    recordLabel->setBuddy(m_number);
    m_next = MoveButton(this, IDC_NEXT, 2, tr("Next Record"));
    m_last = MoveButton(this, IDC_LAST, 3, tr("Last Record"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("id%1").arg(IDC_COUNT));
    m_count->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    moves->addWidget(m_first);
    moves->addWidget(m_previous);
    moves->addWidget(m_number);
    moves->addWidget(m_next);
    moves->addWidget(m_last);
    moves->addSpacing(4);
    moves->addWidget(new QLabel(tr("of"), this));
    moves->addWidget(m_count);
    moves->addStretch(1);
    grid->addWidget(recordLabel, 0, 0);
    grid->addLayout(moves, 0, 1, 1, 2);

    auto* fieldLabel = new QLabel(tr("Fi&eld :"), this);
    m_fields = new QComboBox(this);
    m_fields->setObjectName(QStringLiteral("id%1").arg(IDC_FIELD));
    fieldLabel->setBuddy(m_fields);
    grid->addWidget(fieldLabel, 1, 0);
    grid->addWidget(m_fields, 1, 1, 1, 2);

    auto* dataLabel = new QLabel(tr("&Data :"), this);
    m_data = new CNavigatorDataCombo(this);
    m_data->setObjectName(QStringLiteral("id%1").arg(IDC_DATA));
    // Editable through a line edit of its own: setEditable would make the
    // drop-down list and its popup now, for every print station opened,
    // though the list is only made when the user drops it down.
    m_data->setLineEdit(new QLineEdit(m_data));
    m_data->setInsertPolicy(QComboBox::NoInsert);
    m_data->setMaxVisibleItems(12);
    dataLabel->setBuddy(m_data);
    grid->addWidget(dataLabel, 2, 0);
    grid->addWidget(m_data, 2, 1, 1, 2);

    auto* filterLabel = new QLabel(tr("&Filter:"), this);
    m_filters = new QComboBox(this);
    m_filters->setObjectName(QStringLiteral("id%1").arg(IDC_FILTER));
    filterLabel->setBuddy(m_filters);
    m_filterButton = new QPushButton(tr("Filter..."), this);
    m_filterButton->setObjectName(QStringLiteral("id%1").arg(IDC_FILTER_BUTTON));
    m_filterButton->setToolTip(tr("Create Advanced Filter"));
    grid->addWidget(filterLabel, 3, 0);
    grid->addWidget(m_filters, 3, 1);
    grid->addWidget(m_filterButton, 3, 2);

    auto* buttons = new QHBoxLayout;
    m_save = new QPushButton(tr("Save"), this);
    m_save->setObjectName(QStringLiteral("id%1").arg(IDC_SAVE));
    m_save->setToolTip(tr("Add To Data Store"));
    m_delete = new QPushButton(tr("Delete"), this);
    m_delete->setObjectName(QStringLiteral("id%1").arg(IDC_DELETE));
    m_delete->setToolTip(tr("Remove From Data Store"));
    m_printAll = MoveButton(this, IDC_PRINT_ALL, 4, tr("Print All Records"));
    m_printAll->setText(tr("Print All"));
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(m_printAll);
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    m_searchTimer = new QTimer(this);
    m_searchTimer->setObjectName(QStringLiteral("searchTimer"));
    m_searchTimer->setSingleShot(true);
    m_searchTimer->setInterval(kSearchDelay);

    connect(m_first, &QPushButton::clicked, this, &CRecordNavigator::OnFirst);
    connect(m_previous, &QPushButton::clicked, this, &CRecordNavigator::OnPrevious);
    connect(m_next, &QPushButton::clicked, this, &CRecordNavigator::OnNext);
    connect(m_last, &QPushButton::clicked, this, &CRecordNavigator::OnLast);
    connect(m_number, &QLineEdit::textEdited, this, &CRecordNavigator::OnNumberEdited);
    connect(m_fields, &QComboBox::activated, this, &CRecordNavigator::OnFieldChosen);
    connect(m_data, &QComboBox::editTextChanged, this, [this] {
        if (!m_filling)
            OnDataEdited();
    });
    connect(m_data, &CNavigatorDataCombo::aboutToDropDown, this, &CRecordNavigator::OnDataDropDown);
    connect(m_data, &QComboBox::activated, this, &CRecordNavigator::OnDataChosen);
    // The combo box holds the focus for its edit field.
    m_data->installEventFilter(this);
    connect(m_filters, &QComboBox::activated, this, &CRecordNavigator::OnFilterChosen);
    connect(m_filterButton, &QPushButton::clicked, this, &CRecordNavigator::OnFilterButton);
    connect(m_save, &QPushButton::clicked, this, &CRecordNavigator::OnSave);
    connect(m_delete, &QPushButton::clicked, this, &CRecordNavigator::OnDelete);
    connect(m_printAll, &QPushButton::clicked, this, &CRecordNavigator::OnPrintAll);
    connect(m_searchTimer, &QTimer::timeout, this, &CRecordNavigator::RunSearch);

    // Ctrl+P prints, as on the data-entry rows.
    auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    print->setContext(Qt::WidgetWithChildrenShortcut);
    connect(print, &QShortcut::activated, this, [this] {
        if (m_host.print)
            m_host.print();
    });
}

void CRecordNavigator::InitialState()
{
    m_newDataSet = IsStore() && m_link.GetRecordCount() == 0;
    FillFieldCombo();
    SelectField(KeyField());
    FillFilterCombo();
    UpdateAll();
}

bool CRecordNavigator::IsStore() const
{
    return m_link.GetLinkKind() == 1;
}

QString CRecordNavigator::KeyField()
{
    // A data store numbers its records itself; only the key the user chose
    // makes its entries unique.
    const QString key = m_link.GetKeyField();
    if (IsStore() && key.compare(CDataStore::kRecordColumn, Qt::CaseInsensitive) == 0)
        return QString();
    return key;
}

bool CRecordNavigator::IsSearchPending() const
{
    return m_searchTimer->isActive();
}

void CRecordNavigator::Refresh()
{
    m_searchTimer->stop();
    m_link.CloseRecordset();
    m_link.OpenRecordset();
    m_newDataSet = IsStore() && m_link.GetRecordCount() == 0;
    FillFieldCombo();
    SelectField(KeyField());
    m_filters->setCurrentIndex(-1);
    UpdateAll();
}

// --- texts and enabling --------------------------------------------------------

void CRecordNavigator::UpdateNumber()
{
    if (m_number->hasFocus())
        return;
    m_number->setText(QString::number(m_link.GetPosition() + (m_newDataSet ? 1 : 0)));
}

void CRecordNavigator::UpdateCount()
{
    m_count->setText(QString::number(m_link.GetRecordCount()));
}

void CRecordNavigator::UpdateValue()
{
    m_filling = true;
    const QString value = m_link.GetRecordCount() > 0 && !m_field.isEmpty()
                              ? m_link.GetFieldValue(m_field)
                              : QString();
    m_data->setEditText(value);
    m_filling = false;
}

void CRecordNavigator::UpdateEnabling()
{
    const int count = m_link.GetRecordCount();
    const bool several = count >= 2;
    m_first->setEnabled(several);
    m_previous->setEnabled(several);
    m_number->setEnabled(several);
    m_next->setEnabled(several);
    m_last->setEnabled(several);
    m_printAll->setEnabled(count >= 1 && !m_newDataSet);
    m_delete->setEnabled(IsStore() && count >= 1 && !m_newDataSet);
    m_save->setEnabled(IsStore());
    m_filters->setEnabled(m_filters->count() > 0);
}

void CRecordNavigator::UpdateAll()
{
    UpdateNumber();
    UpdateCount();
    UpdateValue();
    UpdateEnabling();
}

void CRecordNavigator::DeliverCurrentRecord(CDatabaseLink& link)
{
    if (link.GetLinkKind() == 1)
        LoadStoreRecord(link);
    else
        CRecordPrintDriver::LoadRecord();
}

void CRecordNavigator::RecordChanged()
{
    DeliverCurrentRecord(m_link);
    if (m_host.recordChanged)
        m_host.recordChanged();
}

void CRecordNavigator::FillFieldCombo()
{
    m_filling = true;
    m_fields->clear();
    QStringList names = m_link.FieldNames();
    // The data store's own record numbers are nothing to search or sort by.
    if (IsStore())
        names.removeIf([](const QString& name) {
            return name.compare(CDataStore::kRecordColumn, Qt::CaseInsensitive) == 0;
        });
    m_fields->addItems(names);
    m_filling = false;
}

void CRecordNavigator::SelectField(const QString& name)
{
    m_filling = true;
    int index = name.isEmpty() ? -1 : m_fields->findText(name, Qt::MatchFixedString);
    if (index < 0 && m_fields->count() > 0)
        index = 0;
    m_fields->setCurrentIndex(index);
    m_field = index >= 0 ? m_fields->itemText(index) : QString();
    m_filling = false;
}

void CRecordNavigator::FillFilterCombo()
{
    m_filters->clear();
    if (s_savedFilterNames)
        m_filters->addItems(s_savedFilterNames());
    m_filters->setCurrentIndex(-1);
    m_filters->setEnabled(m_filters->count() > 0);
}

// --- moves ----------------------------------------------------------------------

void CRecordNavigator::OnFirst()
{
    m_newDataSet = false;
    if (m_link.MoveFirst())
        RecordChanged();
    UpdateAll();
}

void CRecordNavigator::OnPrevious()
{
    if (m_newDataSet) {
        // The blank data set is left: the current record comes back.
        m_newDataSet = false;
        RecordChanged();
    } else if (m_link.MovePrevious()) {
        RecordChanged();
    }
    UpdateAll();
}

void CRecordNavigator::OnNext()
{
    m_newDataSet = false;
    if (m_link.MoveNext())
        RecordChanged();
    UpdateAll();
}

void CRecordNavigator::OnLast()
{
    m_newDataSet = false;
    if (m_link.MoveLast())
        RecordChanged();
    UpdateAll();
}

void CRecordNavigator::OnNumberEdited(const QString& text)
{
    if (!m_number->hasFocus())
        return;
    m_newDataSet = false;
    // An emptied box is a number still being typed.
    if (text.trimmed().isEmpty())
        return;
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (ok && number >= 1 && number <= m_link.GetRecordCount()) {
        m_link.MoveTo(number);
        RecordChanged();
        UpdateValue();
        UpdateEnabling();
        return;
    }
    AppMessageBoxId(IDS_NO_SUCH_RECORD, MB_OK | MB_ICONEXCLAMATION);
    m_number->setText(QString::number(m_link.GetPosition()));
    m_number->selectAll();
}

void CRecordNavigator::OnFieldChosen(int index)
{
    if (m_filling || index < 0)
        return;
    m_newDataSet = false;
    m_field = m_fields->itemText(index);
    if (!m_link.SortBy(m_field)) {
        SelectField(KeyField());
        UpdateCount();
    }
    RecordChanged();
    UpdateAll();
}

// --- type-ahead search ------------------------------------------------------------

void CRecordNavigator::OnDataEdited()
{
    m_searchTimer->start();
}

bool CRecordNavigator::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_data && event->type() == QEvent::FocusOut && m_searchTimer->isActive())
        RunSearch();
    return QFrame::eventFilter(watched, event);
}

void CRecordNavigator::RunSearch()
{
    m_searchTimer->stop();
    m_newDataSet = false;
    if (m_field.isEmpty())
        return;
    const QString typed = m_data->currentText();
    const int bookmark = m_link.GetBookmark();
    const QString previous = m_link.GetFilter();
    const int found = m_link.SetFilter(m_link.StartsWithCondition(m_field, typed));
    if (found > 0) {
        m_filters->setCurrentIndex(-1);
        UpdateCount();
    } else {
        AppMessageBoxIdArgs(IDS_NO_RECORDS_STARTING_WITH, {m_field, typed},
                            MB_OK | MB_ICONEXCLAMATION);
        // The records shown before the search stay, at the same record.
        m_link.SetFilter(previous);
        m_link.GotoBookmark(bookmark);
        UpdateCount();
        UpdateValue();
    }
    RecordChanged();
    UpdateNumber();
    UpdateEnabling();
    if (m_data->isVisible())
        m_data->setFocus();
    m_data->lineEdit()->selectAll();
}

void CRecordNavigator::OnDataDropDown()
{
    m_filling = true;
    const QString typed = m_data->currentText();
    m_data->clear();
    // The values of up to 51 records around the current one: 25 on each
    // side, or the last 51 near the end.
    for (const auto& [number, value] : m_link.ValueWindow(m_field, kValueWindow))
        m_data->addItem(value, number);
    m_data->setCurrentIndex(-1);
    m_data->setEditText(typed);
    m_filling = false;
}

void CRecordNavigator::OnDataChosen(int index)
{
    if (m_filling || index < 0)
        return;
    m_searchTimer->stop();
    const int number = m_data->itemData(index).toInt();
    if (number >= 1 && m_link.MoveTo(number)) {
        RecordChanged();
        m_newDataSet = false;
    }
    UpdateAll();
}

// --- filters -------------------------------------------------------------------------

void CRecordNavigator::OnFilterChosen(int index)
{
    if (index < 0)
        return;
    m_searchTimer->stop();
    m_newDataSet = false;
    const QString name = m_filters->itemText(index);
    // A saved filter is a whole statement: the records are opened on it.
    const QString statement = s_savedFilterCondition ? s_savedFilterCondition(name) : QString();
    const QString previous = m_link.GetCurrentSql(true, true);
    const int bookmark = m_link.GetBookmark();
    const int found = statement.trimmed().isEmpty() ? 0 : m_link.OpenRecordset(statement);
    if (found > 0) {
        m_link.MoveFirst();
    } else {
        AppMessageBoxIdArgs(IDS_NO_RECORDS_FOR_FILTER, {name}, MB_OK | MB_ICONEXCLAMATION);
        m_filters->setCurrentIndex(-1);
        if (!previous.isEmpty())
            m_link.OpenRecordset(previous);
        m_link.GotoBookmark(bookmark);
    }
    UpdateAll();
    RecordChanged();
}

void CRecordNavigator::OnFilterButton()
{
    if (KeyField().isEmpty()) {
        AppMessageBoxId(IDS_FILTER_NEEDS_PRIMARY_KEY, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!s_advancedFilter)
        return;
    m_searchTimer->stop();
    m_newDataSet = false;
    s_advancedFilter(this, m_link);
    m_link.MoveFirst();
    FillFilterCombo();
    UpdateAll();
    RecordChanged();
}

// --- data store ------------------------------------------------------------------------

void CRecordNavigator::OnSave()
{
    if (!IsStore())
        return;
    CDataStore store(m_link);
    const std::vector<CStoreValue> values = TypedDataSet();
    // Every value typed has a column to go to; one that cannot be made has
    // been reported, and nothing is saved.
    QStringList names;
    for (const CStoreValue& item : values)
        names << item.name;
    if (!store.EnsureStoreColumns(names))
        return;
    const QString key = KeyField();
    if (key.isEmpty()) {
        if (!m_newDataSet) {
            const int answer = AskAddToDataStore(this, true);
            if (answer == IDNO || answer == IDCANCEL)
                return;
            if (answer == kAddToStoreNew) {
                m_newDataSet = store.AddNewRecord() != FALSE;
                if (!m_newDataSet)
                    return;
            }
        } else {
            if (!store.AddNewRecord())
                return;
        }
    } else {
        const CStoreValue* keyRow = nullptr;
        for (const CStoreValue& item : values)
            if (item.name.compare(key, Qt::CaseInsensitive) == 0) {
                keyRow = &item;
                break;
            }
        const QString keyValue = keyRow ? keyRow->value.trimmed() : QString();
        if (keyValue.isEmpty()) {
            AppMessageBoxId(IDS_INVALID_PRODUCT_ID, MB_OK | MB_ICONEXCLAMATION);
            if (m_host.focusRow && keyRow)
                m_host.focusRow(keyRow->owner);
            return;
        }
        if (!m_link.GotoKey(keyValue)) {
            m_newDataSet = store.AddNewRecord() != FALSE;
            if (!m_newDataSet)
                return;
        } else if (AskAddToDataStore(this, false) != IDYES) {
            return;
        }
    }
    // The record is in place: every row goes into it.
    const QStringList columns = store.Columns();
    const auto hasColumn = [&](const QString& name) {
        return columns.contains(name, Qt::CaseInsensitive);
    };
    for (const CStoreValue& item : values)
        store.SetFieldValue(item.name, item.value);
    if (m_link.m_storeCopyQuantity && hasColumn(QStringLiteral("CopyQty")))
        store.SetFieldValue(QStringLiteral("CopyQty"),
                            m_host.copiesText ? m_host.copiesText() : QString());
    // The saved data set takes its place in the order shown.
    const QString saved = m_link.GetFieldValue(CDataStore::kRecordColumn);
    m_link.CloseRecordset();
    m_link.OpenRecordset();
    if (!m_field.isEmpty())
        m_link.SortBy(m_field);
    m_link.FindRecord(CDataStore::kRecordColumn, saved);
    m_newDataSet = false;
    UpdateAll();
    if (m_host.focusRow)
        m_host.focusRow(nullptr);
}

void CRecordNavigator::OnDelete()
{
    if (!IsStore() || m_link.GetRecordCount() < 1 || m_newDataSet)
        return;
    if (AppMessageBoxId(IDS_DELETE_CURRENT_RECORD, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CDataStore store(m_link);
    if (!store.DeleteCurrentRecord()) {
        UpdateAll();
        return;
    }
    if (m_link.GetRecordCount() == 0) {
        m_link.CloseRecordset();
        m_link.OpenRecordset();
        if (m_link.GetRecordCount() == 0)
            ResetKeyboardRows();
        else
            RecordChanged();
    } else {
        RecordChanged();
    }
    m_newDataSet = IsStore() && m_link.GetRecordCount() == 0;
    UpdateAll();
}

void CRecordNavigator::ResetKeyboardRows()
{
    if (m_host.resetKeyboardRows) {
        m_host.resetKeyboardRows();
        return;
    }
    for (CElement* element : TheElementList())
        if (element->m_dataSource == SOURCE_KEYBOARD)
            Deliver(element, element->GetDataText(FALSE), -1, QString());
}

// --- printing ----------------------------------------------------------------------------

void CRecordNavigator::OnPrintAll()
{
    m_searchTimer->stop();
    if (m_link.GetRecordCount() < 1 || m_newDataSet)
        return;
    if (IsStore())
        PrintStoredDataSets();
    else if (m_host.printAll)
        m_host.printAll();
    UpdateNumber();
    UpdateValue();
    UpdateEnabling();
}

void CRecordNavigator::PrintStoredDataSets()
{
    const int count = m_link.GetRecordCount();
    if (!m_host.print || count < 1)
        return;
    if (count > 1 &&
        AppMessageBox(
            LoadStringId(IDS_PRINT_N_SIGNS).replace(QLatin1String("%d"), QString::number(count)),
            MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!m_link.MoveFirst())
        return;
    CPrinter& printer = ThePrinter();
    // A cancel of an earlier job says nothing about this run.
    if (!printer.m_jobOpen)
        printer.m_cancel = FALSE;
    for (;;) {
        RecordChanged();
        if (m_link.m_storeCopyQuantity && m_host.setCopies)
            m_host.setCopies(m_link.GetFieldValue(QStringLiteral("CopyQty")));
        m_host.print();
        const bool cancelled = printer.m_cancel != FALSE;
        const bool failed = m_host.printFailed && m_host.printFailed();
        if ((printer.m_jobOpen && cancelled) || failed) {
            // The data sets after a refused one are not printed either, so
            // no gap goes unnoticed.
            if (!cancelled)
                AppMessageBox(QStringLiteral("Print All stopped at record %1 of %2: its sign was "
                                             "not printed. The signs of the records before it "
                                             "were printed.")
                                  .arg(m_link.GetPosition())
                                  .arg(count),
                              MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        if (!m_link.MoveNext())
            break;
    }
}

void CRecordNavigator::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_host.leaveDataEntryIfIdle)
            m_host.leaveDataEntryIfIdle();
        return;
    }
    QFrame::keyPressEvent(event);
}
