#include "FilterSheet.h"

#include "AppContext.h"
#include "CompoundFilterDlg.h"
#include "DatabaseLink.h"
#include "Element.h"
#include "ElementList.h"
#include "FilterList.h"
#include "Messages.h"
#include "NodeIcons.h"
#include "PictureButton.h"
#include "SignData.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kTypeBoolean = 11;

// The grid page's filter as conditions, kept from one opening of the sheet
// to the next: while the link's filter is still the text it gives, a record
// excluded later still takes out exactly its own condition.
struct CKeptGridFilter
{
    CRecordFilter filter;
};

CRecordFilter StartingFilter(const CDatabaseLink& link)
{
    const CRecordFilter& kept = App().Get<CKeptGridFilter>().filter;
    return kept.Text() == link.GetFilter() ? kept : CRecordFilter(link.GetFilter());
}

// The link's recordset as the grid shows it: one row per record in the
// recordset's order, one column per field.
class CRecordsetModel : public QAbstractTableModel
{
public:
    explicit CRecordsetModel(CDatabaseLink& link, QObject* parent)
        : QAbstractTableModel(parent), m_link(link)
    {
    }

    void Reload()
    {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() || !m_link.m_recordset ? 0 : int(m_link.m_recordset->order.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() || !m_link.m_recordset ? 0 : int(m_link.m_recordset->names.size());
    }

    // The value of a field in a row of the grid.
    QVariant Value(int row, int column) const
    {
        const CRecordset* set = m_link.m_recordset.get();
        if (!set || row < 0 || row >= set->order.size())
            return QVariant();
        const QVector<QVariant>& record = set->rows.value(set->order[row]);
        return column >= 0 && column < record.size() ? record[column] : QVariant();
    }
    int Type(int column) const
    {
        return m_link.m_recordset ? m_link.m_recordset->types.value(column) : 0;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        const int type = Type(index.column());
        switch (role) {
        case Qt::DisplayRole:
            if (type == kTypeBoolean)
                return QVariant();
            return CDatabaseLink::FormatValue(Value(index.row(), index.column()));
        case Qt::CheckStateRole:
            if (type == kTypeBoolean)
                return Value(index.row(), index.column()).toBool() ? Qt::Checked : Qt::Unchecked;
            return QVariant();
        case Qt::TextAlignmentRole:
            if (type == kTypeBoolean)
                return int(Qt::AlignCenter);
            if (type == 202 || type == 203)
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return QVariant();
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return QVariant();
        if (orientation == Qt::Vertical)
            return section + 1;
        return m_link.m_recordset ? m_link.m_recordset->names.value(section) : QVariant();
    }

private:
    CDatabaseLink& m_link;
};

// Whether the sign takes data from the field: with a data store an element
// of that name; with an external database an element linked to the field.
bool SignUsesField(const CDatabaseLink& link, const QString& field)
{
    const CElementList& elements = TheElementList();
    for (int i = 0; i < elements.GetCount(); ++i) {
        const CElement* element = elements.GetAt(i);
        if (link.GetLinkKind() == 1) {
            if (element->m_name.compare(field, Qt::CaseInsensitive) == 0)
                return true;
        } else if (element->m_dataSource == SOURCE_DATABASE &&
                   element->m_sourceName.compare(field, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// The pictures of the grid's tool buttons: a funnel, with a mark of what
// the button does to the selection; Toggle Field Display a set of columns.
void DrawFilterIcon(QPainter& p, const QColor& ink, int id)
{
    const QColor funnel(0x2f, 0x6f, 0xc4);
    const QColor red(0xd2, 0x3c, 0x3c);
    if (id == CFilterSheet::IDC_TOGGLE_FIELDS) {
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setBrush(funnel);
        p.drawRect(QRectF(1.5, 2.5, 13, 3));
        p.drawLine(QPointF(6, 2.5), QPointF(6, 13.5));
        p.drawLine(QPointF(10, 2.5), QPointF(10, 13.5));
        return;
    }
    QPainterPath path;
    path.moveTo(1, 2);
    path.lineTo(13, 2);
    path.lineTo(8.5, 8);
    path.lineTo(8.5, 14);
    path.lineTo(5.5, 12);
    path.lineTo(5.5, 8);
    path.closeSubpath();
    p.setPen(QPen(ink, 1));
    p.setBrush(funnel);
    p.drawPath(path);
    if (id == CFilterSheet::IDC_BY_SELECTION) {
        // A selected cell beside the funnel.
        p.setBrush(QColor(0xf2, 0xc4, 0x4c));
        p.drawRect(QRectF(10.5, 9.5, 5, 5));
    } else if (id == CFilterSheet::IDC_EXCLUDING_SELECTION) {
        // The selected cell struck out.
        p.setBrush(QColor(0xf2, 0xc4, 0x4c));
        p.drawRect(QRectF(10.5, 9.5, 5, 5));
        p.setPen(QPen(red, 1.5));
        p.drawLine(QPointF(10, 15), QPointF(16, 9));
    } else if (id == CFilterSheet::IDC_REMOVE_FILTER) {
        // A red cross: no filter.
        p.setPen(QPen(red, 2));
        p.drawLine(QPointF(10, 9), QPointF(15, 14));
        p.drawLine(QPointF(15, 9), QPointF(10, 14));
    }
}

QIcon FilterIcon(int id)
{
    return DrawnButtonIcon([id](QPainter& p, const QColor& ink) { DrawFilterIcon(p, ink, id); });
}

QPushButton* NumberedButton(const QString& text, int id, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("id%1").arg(id));
    return button;
}

} // namespace

// --- the grid page ----------------------------------------------------------------------------

class CFilterSheet::CFilterPage1 : public QWidget
{
public:
    CFilterPage1(CDatabaseLink& link, std::function<void()> markModified, QWidget* parent)
        : QWidget(parent), m_link(link), m_markModified(std::move(markModified)),
          m_filter(StartingFilter(link))
    {
        setObjectName(QStringLiteral("FilterPage1"));
        auto* layout = new QVBoxLayout(this);
        m_model = new CRecordsetModel(link, this);
        m_grid = new QTableView(this);
        m_grid->setObjectName(QStringLiteral("id%1").arg(IDC_GRID));
        m_grid->setModel(m_model);
        m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
        m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_grid->horizontalHeader()->setSectionsClickable(true);
        layout->addWidget(m_grid, 1);
        auto* row = new QHBoxLayout;
        const std::tuple<int, const char*, const char*> buttons[] = {
            {IDC_BY_SELECTION, "By Selection", "Filter By Selection"},
            {IDC_EXCLUDING_SELECTION, "Excluding", "Filter Excluding Selection"},
            {IDC_REMOVE_FILTER, "Remove", "Remove Filter"},
            {IDC_TOGGLE_FIELDS, "Fields", "Toggle Field Display"},
        };
        for (const auto& [id, text, tip] : buttons) {
            // Flat picture buttons; the tool tip names what each does.
            auto* button = new CPictureButton(this);
            button->setObjectName(QStringLiteral("id%1").arg(id));
            button->SetIconHandles(FilterIcon(id));
            button->setAccessibleName(tr(text));
            button->setToolTip(tr(tip));
            row->addWidget(button);
            connect(button, &QPushButton::clicked, this, [this, id = id] { OnButton(id); });
        }
        row->addStretch(1);
        QPushButton* compound = NumberedButton(tr("Compound Filter..."), IDC_COMPOUND, this);
        row->addWidget(compound);
        connect(compound, &QPushButton::clicked, this, [this] { OnCompound(); });
        layout->addLayout(row);
        connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int column, int, int width) { OnColumnResized(column, width); });
        connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this](int column) { OnHeaderClicked(column); });
    }

    const CRecordFilter& Filter() const { return m_filter; }

    // The grid shows the link's records again, with the sign's columns.
    void Refresh()
    {
        m_refreshing = true;
        m_grid->clearSelection();
        m_model->Reload();
        CSignSettings& settings = TheSignSettings();
        const QStringList names = m_link.m_recordset ? m_link.m_recordset->names : QStringList();
        QHeaderView* header = m_grid->horizontalHeader();
        for (int column = 0; column < names.size(); ++column) {
            const bool shown = settings.allColumns != 0 || SignUsesField(m_link, names[column]);
            m_grid->setColumnHidden(column, !shown);
            const auto at = std::size_t(column);
            if (at < settings.columnWidths.size()) {
                // A width read from a file is kept within what a screen shows.
                const int width = int(std::min<DWORD>(settings.columnWidths[at], 4000));
                header->resizeSection(column, std::max(width, 8));
            } else {
                settings.columnWidths.push_back(DWORD(header->defaultSectionSize()));
            }
        }
        // A filter set elsewhere (the statement page, the navigator) is
        // taken whole as the one to start from.
        if (m_link.GetFilter() != m_filter.Text())
            m_filter = CRecordFilter(m_link.GetFilter());
        App().Get<CKeptGridFilter>().filter = m_filter;
        m_refreshing = false;
    }

private:
    // The selected rows' key conditions, in selection order.
    QVector<std::pair<QString, QString>> SelectedKeyConditions()
    {
        QVector<std::pair<QString, QString>> conditions;
        const QString key = m_link.GetKeyField();
        if (key.isEmpty() || !m_link.m_recordset)
            return conditions;
        int keyColumn = int(m_link.m_recordset->names.indexOf(key));
        for (int i = 0; keyColumn < 0 && i < m_link.m_recordset->names.size(); ++i) {
            if (m_link.m_recordset->names[i].compare(key, Qt::CaseInsensitive) == 0)
                keyColumn = i;
        }
        if (keyColumn < 0)
            return conditions;
        const QString field = m_link.m_recordset->names[keyColumn];
        const int type = m_model->Type(keyColumn);
        for (const QModelIndex& index : m_grid->selectionModel()->selectedRows()) {
            const QVariant value = m_model->Value(index.row(), keyColumn);
            conditions.push_back({CRecordFilter::EqualCondition(m_link, field, type, value),
                                  CRecordFilter::DiffersCondition(m_link, field, type, value)});
        }
        return conditions;
    }

    void OnButton(int id)
    {
        switch (id) {
        case IDC_BY_SELECTION: {
            const auto conditions = SelectedKeyConditions();
            if (conditions.isEmpty())
                return;
            QStringList equal;
            for (const auto& [eq, ne] : conditions)
                equal << eq;
            m_filter.SelectRecords(equal);
            Apply();
            break;
        }
        case IDC_EXCLUDING_SELECTION: {
            const auto conditions = SelectedKeyConditions();
            if (conditions.isEmpty())
                return;
            for (const auto& [eq, ne] : conditions)
                m_filter.ExcludeRecord(eq, ne);
            Apply();
            break;
        }
        case IDC_REMOVE_FILTER:
            m_filter.Clear();
            m_link.ClearFilter();
            Refresh();
            break;
        case IDC_TOGGLE_FIELDS: {
            CSignSettings& settings = TheSignSettings();
            settings.allColumns = settings.allColumns ? 0 : 1;
            Refresh();
            if (m_markModified)
                m_markModified();
            break;
        }
        default:
            break;
        }
    }

    void Apply()
    {
        const QString text = m_filter.Text();
        m_link.SetFilter(text);
        // A filter the database refused leaves the one before in force.
        if (m_link.GetFilter() != text)
            m_filter = CRecordFilter(m_link.GetFilter());
        Refresh();
    }

    void OnCompound()
    {
        CCompoundFilterDlg dialog(m_link, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        m_link.OpenRecordset(dialog.ResultStatement());
        m_filter.Clear();
        Refresh();
    }

    void OnColumnResized(int column, int width)
    {
        if (m_refreshing || column < 0)
            return;
        CSignSettings& settings = TheSignSettings();
        if (std::size_t(column) >= settings.columnWidths.size())
            settings.columnWidths.resize(std::size_t(column) + 1, DWORD(width));
        settings.columnWidths[std::size_t(column)] = DWORD(std::max(width, 0));
        if (m_markModified)
            m_markModified();
    }

    void OnHeaderClicked(int column)
    {
        if (!m_link.m_recordset || column < 0 || column >= m_link.m_recordset->names.size())
            return;
        m_link.SortBy(m_link.m_recordset->names[column]);
        Refresh();
    }

    CDatabaseLink& m_link;
    std::function<void()> m_markModified;
    CRecordFilter m_filter;
    CRecordsetModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    bool m_refreshing = false;
};

// --- the statement page -----------------------------------------------------------------------

class CFilterSheet::CFilterPage2 : public QWidget
{
public:
    CFilterPage2(CDatabaseLink& link, QWidget* parent) : QWidget(parent), m_link(link)
    {
        setObjectName(QStringLiteral("FilterPage2"));
        auto* layout = new QGridLayout(this);
        m_fields = new QListWidget(this);
        m_fields->setObjectName(QStringLiteral("id%1").arg(IDC_FIELDS));
        layout->addWidget(m_fields, 0, 0, 2, 1);

        auto* tokens = new QGridLayout;
        const QStringList& all = Tokens();
        for (int i = 0; i < all.size(); ++i) {
            auto* button = new QPushButton(all[i], this);
            button->setObjectName(QStringLiteral("token%1").arg(i));
            button->setAutoDefault(false);
            tokens->addWidget(button, i / 6, i % 6);
            connect(button, &QPushButton::clicked, this, [this, token = all[i]] { Insert(token); });
        }
        layout->addLayout(tokens, 0, 1);

        auto* valueRow = new QHBoxLayout;
        auto* valueLabel = new QLabel(tr("&Value :"), this);
        m_value = new QLineEdit(this);
        m_value->setObjectName(QStringLiteral("id%1").arg(IDC_VALUE));
        valueLabel->setBuddy(m_value);
        m_valueAdd = NumberedButton(tr("Add"), IDC_VALUE_ADD, this);
        m_valueAdd->setAutoDefault(false);
        valueRow->addWidget(valueLabel);
        valueRow->addWidget(m_value, 1);
        valueRow->addWidget(m_valueAdd);
        layout->addLayout(valueRow, 1, 1);

        layout->addWidget(new QLabel(tr("SQL Statement"), this), 2, 0, 1, 2);
        m_statement = new QPlainTextEdit(this);
        m_statement->setObjectName(QStringLiteral("id%1").arg(IDC_STATEMENT));
        layout->addWidget(m_statement, 3, 0, 1, 2);
        auto* statementRow = new QHBoxLayout;
        m_clear = NumberedButton(tr("&Clear"), IDC_CLEAR, this);
        m_apply = NumberedButton(tr("&Apply"), IDC_APPLY, this);
        m_clear->setAutoDefault(false);
        m_apply->setAutoDefault(false);
        statementRow->addStretch(1);
        statementRow->addWidget(m_clear);
        statementRow->addWidget(m_apply);
        layout->addLayout(statementRow, 4, 0, 1, 2);

        auto* group = new QGroupBox(tr("Filter List"), this);
        auto* groupRow = new QHBoxLayout(group);
        m_filters = new QComboBox(group);
        m_filters->setObjectName(QStringLiteral("id%1").arg(IDC_FILTER_LIST));
        m_filters->setEditable(true);
        m_filters->setInsertPolicy(QComboBox::NoInsert);
        m_filterAdd = NumberedButton(tr("Add"), IDC_FILTER_ADD, group);
        m_filterRemove = NumberedButton(tr("Remove"), IDC_FILTER_REMOVE, group);
        m_filterAdd->setAutoDefault(false);
        m_filterRemove->setAutoDefault(false);
        groupRow->addWidget(m_filters, 1);
        groupRow->addWidget(m_filterAdd);
        groupRow->addWidget(m_filterRemove);
        layout->addWidget(group, 5, 0, 1, 2);

        // Initialisation: the fields and the saved filters.
        if (m_link.m_recordset)
            m_fields->addItems(m_link.m_recordset->names);
        FillFilterCombo(*m_filters);
        m_valueAdd->setEnabled(false);
        m_filterAdd->setEnabled(false);
        m_filterRemove->setEnabled(false);

        connect(m_fields, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            m_fieldType =
                m_link.m_recordset ? m_link.m_recordset->types.value(m_fields->row(item)) : -1;
            Insert(m_link.QuoteName(item->text()));
        });
        connect(m_value, &QLineEdit::textEdited, this,
                [this] { m_valueAdd->setEnabled(!m_value->text().isEmpty()); });
        // Enter in the value adds it at once.
        connect(m_value, &QLineEdit::returnPressed, this, [this] {
            if (!m_value->text().isEmpty())
                OnAddValue();
        });
        connect(m_valueAdd, &QPushButton::clicked, this, [this] { OnAddValue(); });
        connect(m_statement, &QPlainTextEdit::textChanged, this, [this] {
            // Only the user's typing: the page's own filling is not an edit.
            if (m_filling)
                return;
            m_text = m_statement->toPlainText();
            m_apply->setEnabled(true);
            m_clear->setEnabled(true);
        });
        connect(m_clear, &QPushButton::clicked, this, [this] { OnClear(); });
        connect(m_apply, &QPushButton::clicked, this, [this] { OnApply(); });
        connect(m_filters, &QComboBox::editTextChanged, this,
                [this](const QString& name) { OnFilterNameEdited(name); });
        connect(m_filters, &QComboBox::activated, this,
                [this](int index) { OnFilterChosen(index); });
        connect(m_filterAdd, &QPushButton::clicked, this, [this] { OnFilterAdd(); });
        connect(m_filterRemove, &QPushButton::clicked, this, [this] { OnFilterRemove(); });
    }

    // The page comes to the front: the statement in force.
    void Activate()
    {
        SetText(m_link.GetCurrentSql(true, true));
        m_clear->setEnabled(m_text != m_link.GetDefaultSql());
        m_apply->setEnabled(false);
        const QString chosen =
            m_filters->currentIndex() >= 0 ? m_filters->currentText() : QString();
        if (!chosen.isEmpty() && TheFilterList().Find(chosen) != m_text) {
            ClearFilterChoice();
            m_filterAdd->setEnabled(false);
            m_filterRemove->setEnabled(false);
        }
    }

private:
    void SetText(const QString& text)
    {
        m_text = text;
        m_filling = true;
        m_statement->setPlainText(text);
        m_filling = false;
    }

    void ClearFilterChoice()
    {
        const QSignalBlocker block(m_filters);
        m_filters->setCurrentIndex(-1);
        m_filters->setEditText(QString());
    }

    void Insert(const QString& token)
    {
        SetText(CRecordFilter::InsertToken(m_text, token));
        m_clear->setEnabled(true);
        m_apply->setEnabled(true);
        ClearFilterChoice();
        m_filterAdd->setEnabled(false);
        m_filterRemove->setEnabled(false);
    }

    void OnAddValue()
    {
        const QString typed = m_value->text();
        if (typed.isEmpty())
            return;
        Insert(CRecordFilter::TypedLiteral(m_link, m_fieldType, typed));
        m_value->clear();
        m_valueAdd->setEnabled(false);
    }

    void OnClear()
    {
        SetText(m_link.GetDefaultSql());
        m_apply->setEnabled(true);
        m_clear->setEnabled(false);
        m_valueAdd->setEnabled(false);
        m_filterRemove->setEnabled(false);
        ClearFilterChoice();
        m_filterAdd->setEnabled(false);
    }

    void OnApply()
    {
        const QString statement = m_text.trimmed();
        if (statement.isEmpty())
            return;
        // A statement that yields nothing leaves the whole table in force:
        // the user hears of it rather than seeing every record.
        if (m_link.OpenRecordset(statement) > 0) {
            m_apply->setEnabled(false);
            return;
        }
        if (m_link.IsRecordsetOpen())
            AppMessageBoxId(IDS_NO_RECORDS_FOR_THIS_FILTER, MB_OK | MB_ICONEXCLAMATION);
        if (!m_link.IsRecordsetOpen())
            m_link.OpenRecordset();
    }

    void OnFilterNameEdited(const QString& name)
    {
        if (name.trimmed().isEmpty()) {
            m_filterAdd->setEnabled(false);
            m_filterRemove->setEnabled(false);
            return;
        }
        const bool listed = TheFilterList().Contains(name.trimmed());
        m_filterAdd->setEnabled(!listed && !m_text.trimmed().isEmpty());
        m_filterRemove->setEnabled(listed);
    }

    void OnFilterChosen(int index)
    {
        if (index < 0)
            return;
        SetText(TheFilterList().Find(m_filters->itemText(index)));
        m_apply->setEnabled(true);
        m_clear->setEnabled(true);
        m_filterAdd->setEnabled(false);
        m_filterRemove->setEnabled(true);
    }

    void OnFilterAdd()
    {
        const QString name = m_filters->currentText().trimmed();
        if (name.isEmpty() || m_text.trimmed().isEmpty())
            return;
        TheFilterList().Set(name, m_text.trimmed());
        if (m_filters->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            m_filters->addItem(name);
        const QSignalBlocker block(m_filters);
        m_filters->setCurrentIndex(
            m_filters->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
        m_filterAdd->setEnabled(false);
        m_filterRemove->setEnabled(true);
    }

    void OnFilterRemove()
    {
        const QString name = m_filters->currentText().trimmed();
        TheFilterList().Remove(name);
        const int at = m_filters->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (at >= 0)
            m_filters->removeItem(at);
        ClearFilterChoice();
        m_filterRemove->setEnabled(false);
        m_filterAdd->setEnabled(false);
    }

    CDatabaseLink& m_link;
    QString m_text;
    int m_fieldType = -1;
    bool m_filling = false;
    QListWidget* m_fields = nullptr;
    QLineEdit* m_value = nullptr;
    QPushButton* m_valueAdd = nullptr;
    QPlainTextEdit* m_statement = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_apply = nullptr;
    QComboBox* m_filters = nullptr;
    QPushButton* m_filterAdd = nullptr;
    QPushButton* m_filterRemove = nullptr;
};

// --- the sheet --------------------------------------------------------------------------------

const QStringList& CFilterSheet::Tokens()
{
    static const QStringList tokens = {
        QStringLiteral("Like"), QStringLiteral("And"),     QStringLiteral("Not"),
        QStringLiteral("Or"),   QStringLiteral("Between"), QStringLiteral("In ("),
        QStringLiteral("Is"),   QStringLiteral("="),       QStringLiteral("<>"),
        QStringLiteral("*"),    QStringLiteral("?"),       QStringLiteral("<"),
        QStringLiteral(">"),    QStringLiteral("<="),      QStringLiteral(">="),
        QStringLiteral("("),    QStringLiteral(")"),       QStringLiteral("["),
        QStringLiteral("]"),    QStringLiteral("#"),       QStringLiteral("!"),
        QStringLiteral(","),    QStringLiteral("-"),
    };
    return tokens;
}

CFilterSheet::CFilterSheet(CDatabaseLink& link, QWidget* parent, std::function<void()> markModified)
    : QDialog(parent), m_link(link)
{
    setWindowTitle(LoadStringId(IDS_ADVANCED_FILTER));
    setObjectName(QStringLiteral("FilterSheet"));
    if (!m_link.IsRecordsetOpen())
        m_link.OpenRecordset();
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_grid = new CFilterPage1(link, std::move(markModified), m_tabs);
    m_statement = new CFilterPage2(link, m_tabs);
    m_tabs->addTab(m_grid, tr("Select"));
    m_tabs->addTab(m_statement, tr("Filter"));
    layout->addWidget(m_tabs, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("idClose"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0)
            m_grid->Refresh();
        else
            m_statement->Activate();
    });
    m_grid->Refresh();
    resize(760, 520);
}

CFilterSheet::~CFilterSheet() = default;

const CRecordFilter& CFilterSheet::GridFilter() const
{
    return m_grid->Filter();
}

int FillFilterCombo(QComboBox& combo)
{
    combo.clear();
    combo.addItems(TheFilterList().Names());
    combo.setCurrentIndex(-1);
    return combo.count();
}

void RunAdvancedFilter(QWidget* parent, CDatabaseLink& link, std::function<void()> markModified)
{
    CFilterSheet sheet(link, parent, std::move(markModified));
    sheet.exec();
}
