#include "OptionListPage.h"

#include "MessageBox.h"
#include "OptionList.h"
#include "SourceChoice.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

std::function<bool(QWidget*, COptionList&, bool)> COptionListPage1::s_connect;

namespace {

QString NoOptionsText()
{
    return QObject::tr("An option list must contain at least one option.");
}

} // namespace

// --- how the list is made ----------------------------------------------------

COptionListPage1::COptionListPage1(COptionList& variable, QWidget* parent)
    : CVariablePage(tr("Option List"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("How would you like to construct the option list?"), this));
    m_typed = new QRadioButton(tr("I will type in the list of options now."), this);
    m_typed->setObjectName(QStringLiteral("typedButton"));
    m_database =
        new QRadioButton(tr("I would like to source the list of options from a database."), this);
    m_database->setObjectName(QStringLiteral("databaseButton"));
    layout->addWidget(m_typed);
    layout->addWidget(m_database);
    layout->addStretch(1);
    m_typed->setChecked(true);
    connect(m_typed, &QRadioButton::toggled, this, &CVariablePage::buttonsChanged);
    connect(m_database, &QRadioButton::toggled, this, &CVariablePage::buttonsChanged);
}

int COptionListPage1::NextPage(int ownIndex) const
{
    return m_database->isChecked() ? ownIndex + 4 : ownIndex + 1;
}

bool COptionListPage1::Leave()
{
    if (m_typed->isChecked()) {
        m_variable.m_link = COptionListLink();
        return true;
    }
    if (s_connect && s_connect(this, m_variable, false) && m_variable.IsLinked())
        return true;
    if (!s_connect)
        AppMessageBox(tr("No database can be reached from here."), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

// --- the options -------------------------------------------------------------

COptionListPage2::COptionListPage2(COptionList& variable, bool withData, QWidget* parent)
    : CVariablePage(tr("Option List"), parent), m_variable(variable), m_withData(withData)
{
    setObjectName(withData ? QStringLiteral("optionDataPage") : QStringLiteral("optionPage"));
    auto* layout = new QGridLayout(this);
    m_option = new QLineEdit(this);
    m_option->setObjectName(QStringLiteral("optionEdit"));
    auto* optionLabel = new QLabel(tr("&Option"), this);
    optionLabel->setBuddy(m_option);
    layout->addWidget(optionLabel, 0, 0);
    layout->addWidget(m_option, 0, 1);
    int row = 1;
    if (m_withData) {
        m_data = new QLineEdit(this);
        m_data->setObjectName(QStringLiteral("dataEdit"));
        auto* dataLabel = new QLabel(tr("&Data"), this);
        dataLabel->setBuddy(m_data);
        layout->addWidget(dataLabel, row, 0);
        layout->addWidget(m_data, row, 1);
        ++row;
    }
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    m_add = button(tr("&Add"), "addButton");
    m_update = button(tr("&Update"), "updateButton");
    m_remove = button(tr("&Remove"), "removeButton");
    m_sort = button(tr("&Sort"), "sortButton");
    layout->addLayout(buttons, row++, 0, 1, 2);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("optionList"));
    m_list->setRootIsDecorated(false);
    m_list->setColumnCount(m_withData ? 2 : 1);
    m_list->setHeaderLabels(m_withData ? QStringList{tr("Option"), tr("Data")}
                                       : QStringList{tr("Option")});
    layout->addWidget(m_list, row, 0, 1, 2);
    auto* moves = new QVBoxLayout;
    const char* moveNames[4] = {"moveTop", "moveUp", "moveDown", "moveBottom"};
    const QString moveTexts[4] = {tr("Top"), tr("Up"), tr("Down"), tr("Bottom")};
    for (int i = 0; i < 4; ++i) {
        m_move[i] = new QPushButton(moveTexts[i], this);
        m_move[i]->setObjectName(QString::fromLatin1(moveNames[i]));
        moves->addWidget(m_move[i]);
        connect(m_move[i], &QPushButton::clicked, this, [this, i] { Move(i); });
    }
    moves->addStretch(1);
    layout->addLayout(moves, row++, 2);
    m_prompt = new QLineEdit(this);
    m_prompt->setObjectName(QStringLiteral("promptEdit"));
    auto* promptLabel = new QLabel(tr("&Prompt"), this);
    promptLabel->setBuddy(m_prompt);
    layout->addWidget(promptLabel, row, 0);
    layout->addWidget(m_prompt, row, 1);

    Fill(m_variable.m_options, m_variable.m_dataValues);
    m_prompt->setText(m_variable.m_prompt);
    m_add->setEnabled(false);
    m_update->setEnabled(false);
    m_remove->setEnabled(false);
    m_sort->setEnabled(m_list->topLevelItemCount() >= 2);

    connect(m_option, &QLineEdit::textEdited, this, &COptionListPage2::OnTextEdited);
    // Enter in the option's edit adds the option (when it may be added); it
    // never moves the wizard on.
    m_option->installEventFilter(this);
    if (m_data)
        connect(m_data, &QLineEdit::textEdited, this, &COptionListPage2::OnTextEdited);
    connect(m_add, &QPushButton::clicked, this, &COptionListPage2::OnAdd);
    connect(m_update, &QPushButton::clicked, this, &COptionListPage2::OnUpdate);
    connect(m_remove, &QPushButton::clicked, this, &COptionListPage2::OnRemove);
    connect(m_sort, &QPushButton::clicked, this, &COptionListPage2::OnSort);
    connect(m_list, &QTreeWidget::itemClicked, this, &COptionListPage2::OnClicked);
}

bool COptionListPage2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_option && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_add->isEnabled())
                OnAdd();
            return true;
        }
    }
    return CVariablePage::eventFilter(watched, event);
}

void COptionListPage2::Fill(const QStringList& options, const QStringList& data)
{
    m_list->clear();
    for (qsizetype i = 0; i < options.size(); ++i) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, options[i]);
        if (m_withData)
            item->setText(1, i < data.size() ? data[i] : options[i]);
    }
}

void COptionListPage2::Enter()
{
    // The pairs page takes up what the typed page left.
    if (m_withData && Options() != m_variable.m_options)
        Fill(m_variable.m_options, m_variable.m_dataValues);
    m_prompt->setText(m_variable.m_prompt);
}

QStringList COptionListPage2::Options() const
{
    QStringList options;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        options << m_list->topLevelItem(i)->text(0);
    return options;
}

bool COptionListPage2::InList(const QString& text) const
{
    return Options().contains(text);
}

void COptionListPage2::OnTextEdited()
{
    const QString text = m_option->text();
    const bool fresh = !text.isEmpty() && !InList(text);
    m_add->setEnabled(fresh);
    m_update->setEnabled(m_list->currentItem() && m_list->currentItem()->isSelected() &&
                         !text.isEmpty() && (!InList(text) || m_withData));
}

void COptionListPage2::OnAdd()
{
    auto* item = new QTreeWidgetItem(m_list);
    item->setText(0, m_option->text());
    if (m_withData)
        item->setText(1, m_data->text());
    m_option->clear();
    if (m_data)
        m_data->clear();
    m_option->setFocus();
    m_add->setEnabled(false);
    m_sort->setEnabled(m_list->topLevelItemCount() >= 2);
}

void COptionListPage2::OnUpdate()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    item->setText(0, m_option->text());
    if (m_withData)
        item->setText(1, m_data->text());
    m_update->setEnabled(false);
    m_add->setEnabled(false);
}

void COptionListPage2::OnRemove()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    delete item;
    m_option->clear();
    if (m_data)
        m_data->clear();
    m_remove->setEnabled(m_list->currentItem() != nullptr);
    m_update->setEnabled(false);
    m_sort->setEnabled(m_list->topLevelItemCount() >= 2);
}

void COptionListPage2::OnSort()
{
    // Neighbours out of order (byte by byte, case counting) swap until a
    // pass swaps nothing.
    QList<QStringList> rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        rows << QStringList{item->text(0), m_withData ? item->text(1) : QString()};
    }
    std::stable_sort(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) {
        return a[0].toLatin1() < b[0].toLatin1();
    });
    QStringList options;
    QStringList data;
    for (const QStringList& row : rows) {
        options << row[0];
        data << row[1];
    }
    Fill(options, data);
}

void COptionListPage2::OnClicked()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_option->setText(item->text(0));
    if (m_withData)
        m_data->setText(item->text(1));
    m_update->setEnabled(false);
    m_add->setEnabled(false);
    m_remove->setEnabled(true);
}

void COptionListPage2::Move(int which)
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const int from = m_list->indexOfTopLevelItem(item);
    const int last = m_list->topLevelItemCount() - 1;
    const int to = which == 0   ? 0
                   : which == 1 ? std::max(0, from - 1)
                   : which == 2 ? std::min(last, from + 1)
                                : last;
    if (to == from)
        return;
    m_list->takeTopLevelItem(from);
    m_list->insertTopLevelItem(to, item);
    m_list->setCurrentItem(item);
}

bool COptionListPage2::Leave()
{
    if (m_list->topLevelItemCount() == 0) {
        AppMessageBox(NoOptionsText(), MB_OK | MB_ICONEXCLAMATION);
        m_option->setFocus();
        return false;
    }
    QStringList options;
    QStringList data;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        options << item->text(0);
        data << (m_withData ? item->text(1) : item->text(0));
    }
    m_variable.m_options = options;
    m_variable.m_dataValues = data;
    m_variable.m_prompt = m_prompt->text();
    return true;
}

// --- separate data or not ----------------------------------------------------

COptionListPage3::COptionListPage3(COptionList& variable, QWidget* parent)
    : CVariablePage(tr("Option List"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("What type of Option List do you wish to create ?"), this));
    m_normal = new QRadioButton(
        tr("The list items that I have specified are to be used when printing ( normal )."), this);
    m_normal->setObjectName(QStringLiteral("normalButton"));
    m_separate = new QRadioButton(tr("The list items that I have specified are to be used for "
                                     "selection only. Each has its own data for printing."),
                                  this);
    m_separate->setObjectName(QStringLiteral("separateButton"));
    layout->addWidget(m_normal);
    layout->addWidget(m_separate);
    layout->addStretch(1);
    (m_variable.m_separateData ? m_separate : m_normal)->setChecked(true);
    connect(m_normal, &QRadioButton::toggled, this, &CVariablePage::buttonsChanged);
    connect(m_separate, &QRadioButton::toggled, this, &CVariablePage::buttonsChanged);
}

int COptionListPage3::NextPage(int ownIndex) const
{
    return m_separate->isChecked() ? ownIndex + 1 : -1;
}

bool COptionListPage3::Leave()
{
    m_variable.m_separateData = m_separate->isChecked() ? TRUE : FALSE;
    if (!m_variable.m_separateData)
        m_variable.m_dataValues = m_variable.m_options;
    return true;
}

// --- the database list -------------------------------------------------------

COptionListPage5::COptionListPage5(COptionList& variable, QWidget* parent)
    : CVariablePage(tr("Option List"), parent), m_variable(variable)
{
    auto* layout = new QVBoxLayout(this);
    auto* connection = new QGroupBox(tr("Database Connection"), this);
    auto* connectionForm = new QFormLayout(connection);
    m_file = new QLabel(connection);
    m_type = new QLabel(connection);
    m_table = new QLabel(connection);
    m_key = new QComboBox(connection);
    m_key->setObjectName(QStringLiteral("keyCombo"));
    m_key->setEditable(true);
    connectionForm->addRow(tr("File :"), m_file);
    connectionForm->addRow(tr("Type :"), m_type);
    connectionForm->addRow(tr("Table :"), m_table);
    connectionForm->addRow(tr("Primary &Key :"), m_key);
    m_change = new QPushButton(tr("Change..."), connection);
    m_change->setObjectName(QStringLiteral("changeButton"));
    m_change->setAutoDefault(false);
    m_change->setEnabled(static_cast<bool>(COptionListPage1::s_connect));
    connectionForm->addRow(QString(), m_change);
    layout->addWidget(connection);
    auto* source = new QGroupBox(tr("List Source"), this);
    auto* sourceForm = new QFormLayout(source);
    m_selection = new QComboBox(source);
    m_selection->setObjectName(QStringLiteral("selectionCombo"));
    m_selection->setEditable(true);
    m_separate = new QCheckBox(
        tr("I would like the printed data for each selection to be taken from another field"),
        source);
    m_separate->setObjectName(QStringLiteral("separateCheck"));
    m_dataField = new QComboBox(source);
    m_dataField->setObjectName(QStringLiteral("dataFieldCombo"));
    m_dataField->setEditable(true);
    m_prompt = new QLineEdit(source);
    m_prompt->setObjectName(QStringLiteral("promptEdit"));
    sourceForm->addRow(tr("&Selection Field :"), m_selection);
    sourceForm->addRow(m_separate);
    sourceForm->addRow(tr("&Data Field :"), m_dataField);
    sourceForm->addRow(tr("&Prompt :"), m_prompt);
    layout->addWidget(source);
    layout->addStretch(1);
    connect(m_separate, &QCheckBox::toggled, this, [this](bool on) {
        m_dataField->setEnabled(on);
        if (on)
            FillFieldCombo(m_dataField, m_variable.m_dataField);
        else
            m_dataField->setEditText(QString());
    });
    // Another database: the page shows it and its fields.
    connect(m_change, &QPushButton::clicked, this, [this] {
        if (COptionListPage1::s_connect && COptionListPage1::s_connect(this, m_variable, true))
            Enter();
    });
    Enter();
}

void COptionListPage5::Enter()
{
    const COptionListLink& link = m_variable.m_link;
    m_file->setText(link.dataSource);
    m_type->setText(QString::number(link.databaseType));
    m_table->setText(link.viewName.isEmpty() ? link.tableName : link.viewName);
    // The fields of the linked table; a name it lacks stays as typed.
    FillFieldCombo(m_key, link.keyField);
    FillFieldCombo(m_selection, m_variable.m_selectionField);
    m_separate->setChecked(m_variable.m_separateData);
    m_dataField->setEnabled(m_variable.m_separateData);
    if (m_variable.m_separateData)
        FillFieldCombo(m_dataField, m_variable.m_dataField);
    else
        m_dataField->setEditText(QString());
    m_prompt->setText(m_variable.m_prompt);
}

bool COptionListPage5::Leave()
{
    if (!m_variable.IsLinked()) {
        AppMessageBox(tr("The option list is not connected to a database."),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_variable.m_link.keyField = m_key->currentText();
    m_variable.m_selectionField = m_selection->currentText();
    m_variable.m_separateData = m_separate->isChecked() ? TRUE : FALSE;
    m_variable.m_dataField =
        m_variable.m_separateData ? m_dataField->currentText() : m_variable.m_selectionField;
    m_variable.m_prompt = m_prompt->text();
    return true;
}

bool RunOptionListSheet(QWidget* parent, COptionList& working, bool isNew)
{
    auto* sheet = new CVariableSheet(isNew, QObject::tr("Option List Properties"), parent);
    if (isNew) {
        sheet->AddPage(new COptionListPage1(working, sheet));
        sheet->AddPage(new COptionListPage2(working, false, sheet));
        sheet->AddPage(new COptionListPage3(working, sheet));
        sheet->AddPage(new COptionListPage2(working, true, sheet));
        sheet->AddPage(new COptionListPage5(working, sheet));
    } else if (working.IsLinked()) {
        sheet->AddPage(new COptionListPage5(working, sheet));
    } else {
        sheet->AddPage(new COptionListPage2(working, working.m_separateData != 0, sheet));
    }
    return CVariableSheet::Run(sheet);
}
