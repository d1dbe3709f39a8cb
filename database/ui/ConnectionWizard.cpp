#include "ConnectionWizard.h"

#include "CustomViewsDlg.h"
#include "FileSources.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "SqlFormatDlg.h"
#include "Strings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWizardPage>

namespace {

QString Caption()
{
    return QObject::tr("Database Connection Wizard");
}

// A page of the wizard, with the wizard it belongs to.
class CWizardPage : public QWizardPage
{
protected:
    CConnectionWizard* Sheet() const { return static_cast<CConnectionWizard*>(wizard()); }
};

// Page 1: the kind of database.
class CDbasePage1 : public CWizardPage
{
public:
    CDbasePage1()
    {
        setTitle(QObject::tr("Specify Database Type"));
        auto* layout = new QVBoxLayout(this);
        m_types = new QListWidget(this);
        m_types->setObjectName(QStringLiteral("id1089"));
        for (int id = 0; id < kDatabaseTypeCount; ++id)
            m_types->addItem(QString::fromLatin1(DatabaseTypeRow(id).name));
        layout->addWidget(m_types);
        auto* advanced = new QPushButton(QObject::tr("Advanced..."), this);
        advanced->setObjectName(QStringLiteral("id1196"));
        advanced->setAutoDefault(false);
        layout->addWidget(advanced, 0, Qt::AlignRight);
        connect(m_types, &QListWidget::itemDoubleClicked, this, [this] { wizard()->next(); });
        // The characters with which the link writes names, strings and
        // dates into SQL.
        connect(advanced, &QPushButton::clicked, this,
                [this] { RunSqlFormat(this, Sheet()->Work()); });
    }

    void initializePage() override { m_types->setCurrentRow(Sheet()->Work().m_typeId); }

    bool validatePage() override
    {
        const int row = m_types->currentRow();
        if (row < 0 || row >= kDatabaseTypeCount || m_types->selectedItems().isEmpty()) {
            AppMessageBoxId(IDS_INVALID_SELECTION);
            return false;
        }
        Sheet()->Work().SetDatabaseType(row);
        return true;
    }

private:
    QListWidget* m_types = nullptr;
};

// Page 2: the file (or, for a connection string source, the string).
class CDbasePage2 : public CWizardPage
{
public:
    CDbasePage2()
    {
        setTitle(QObject::tr("Select Database File"));
        auto* layout = new QVBoxLayout(this);
        m_label = new QLabel(this);
        layout->addWidget(m_label);
        auto* row = new QHBoxLayout;
        m_path = new QLineEdit(this);
        m_path->setObjectName(QStringLiteral("id1086"));
        row->addWidget(m_path, 1);
        m_browse = new QPushButton(QObject::tr("&Browse..."), this);
        m_browse->setObjectName(QStringLiteral("idBrowse"));
        row->addWidget(m_browse);
        layout->addLayout(row);
        layout->addStretch(1);
        connect(m_browse, &QPushButton::clicked, this, [this] { Browse(); });
    }

    void initializePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        const bool connectionString = work.m_typeId == kDatabaseTypeConnectionString;
        m_label->setText(connectionString ? QObject::tr("Connection string:")
                                          : QObject::tr("File (%1):")
                                                .arg(QString::fromLatin1(
                                                    DatabaseTypeRow(work.m_typeId).filter)));
        m_browse->setVisible(!connectionString && Sheet()->FileChooser() != nullptr);
        m_path->setText(work.m_dataSource);
    }

    bool validatePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        const QString text = m_path->text().trimmed();
        if (text.isEmpty()) {
            AppMessageBoxId(IDS_INVALID_SELECTION);
            return false;
        }
        QString source = text;
        if (work.m_typeId != kDatabaseTypeConnectionString)
            source = QDir::cleanPath(QFileInfo(text).absoluteFilePath());
        if (!work.Connect(source, TRUE))
            return false;
        // A file that holds one table opens it at once; a table that cannot
        // be read keeps the user on this page.
        if (DatabaseTypeRow(work.m_typeId).folderBased) {
            QString table;
            work.GetDefaultTableName(table);
            if (!work.OpenTable(table))
                return false;
        }
        return true;
    }

    int nextId() const override
    {
        // A file that is its one table needs no table chosen.
        const int type = Sheet()->Work().m_typeId;
        if (type == kDatabaseTypeText)
            return CConnectionWizard::kTextPage;
        return DatabaseTypeRow(type).folderBased ? CConnectionWizard::kSortPage
                                                 : CConnectionWizard::kViewPage;
    }

private:
    void Browse()
    {
        CConnectionWizard* wizard = Sheet();
        const CDatabaseTypeRow& row = DatabaseTypeRow(wizard->Work().m_typeId);
        const QString patterns = QString::fromLatin1(row.filter).replace(u';', u' ');
        const QString filter = QStringLiteral("%1 (%2);;%3 (*)")
                                   .arg(QString::fromLatin1(row.name).simplified(), patterns,
                                        QObject::tr("All Files"));
        const QString chosen = wizard->FileChooser()(this, filter, m_path->text().trimmed());
        if (!chosen.isEmpty())
            m_path->setText(chosen);
    }

    QLabel* m_label = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
};

// Page 3: the table, worksheet or view.
class CDbasePage3 : public CWizardPage
{
public:
    CDbasePage3()
    {
        setTitle(QObject::tr("Select Database View"));
        auto* layout = new QVBoxLayout(this);
        m_tables = new QListWidget(this);
        m_tables->setObjectName(QStringLiteral("id1090"));
        layout->addWidget(m_tables);
        auto* views = new QPushButton(QObject::tr("Custom Views..."), this);
        views->setObjectName(QStringLiteral("id1260"));
        views->setAutoDefault(false);
        layout->addWidget(views, 0, Qt::AlignRight);
        m_header = new QCheckBox(QObject::tr("First &Row Contains Field Names"), this);
        m_header->setObjectName(QStringLiteral("id1098"));
        layout->addWidget(m_header);
        connect(m_tables, &QListWidget::itemDoubleClicked, this, [this] { wizard()->next(); });
        // The program's views are edited whichever way the dialog ends; a
        // view chosen with Use is opened at once.
        connect(views, &QPushButton::clicked, this, [this] {
            const QString chosen = RunCustomViews(this, Sheet()->Work());
            if (chosen.isEmpty())
                return;
            m_chosenView = chosen;
            wizard()->next();
            // A view that could not be opened is not chosen any longer.
            if (wizard()->currentPage() == this)
                m_chosenView.clear();
        });
    }

    void initializePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        m_tables->clear();
        const QStringList tables = work.TableNames();
        m_tables->addItems(tables);
        int current = -1;
        for (int i = 0; i < tables.size(); ++i) {
            if (tables[i].compare(work.CurrentTable(), Qt::CaseInsensitive) == 0)
                current = i;
        }
        if (current < 0 && tables.size() == 1)
            current = 0;
        m_tables->setCurrentRow(current);
        m_header->setVisible(work.m_typeId == kDatabaseTypeExcel);
        m_header->setChecked(work.m_excelHeader != FALSE);
        m_chosenView.clear();
    }

    bool validatePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        if (!m_chosenView.isEmpty()) {
            // The view's records, as the sign will open them; a view that
            // selects nothing keeps the user here.
            const QString query = TheCustomViewList().Find(m_chosenView);
            const QString used = work.m_customViewQuery;
            work.m_customViewQuery = query;
            work.CloseRecordset();
            if (query.isEmpty() || work.OpenRecordset() <= 0) {
                work.m_customViewQuery = used;
                work.CloseRecordset();
                return false;
            }
            return true;
        }
        QListWidgetItem* item = m_tables->currentItem();
        if (!item || !item->isSelected()) {
            AppMessageBoxId(IDS_INVALID_SELECTION);
            return false;
        }
        if (work.m_typeId == kDatabaseTypeExcel) {
            const BOOL header = m_header->isChecked() ? TRUE : FALSE;
            if (header != work.m_excelHeader) {
                // The worksheet is read again with the new header setting.
                work.m_excelHeader = header;
                if (!work.Reopen())
                    return false;
            }
        }
        if (!work.OpenTable(item->text()))
            return false;
        work.m_customViewQuery.clear();
        return true;
    }

    int nextId() const override { return CConnectionWizard::kSortPage; }

private:
    QListWidget* m_tables = nullptr;
    QCheckBox* m_header = nullptr;
    QString m_chosenView;
};

// Page 4: the format of a text file, kept in the schema file beside it.
class CDbasePage4 : public CWizardPage
{
public:
    CDbasePage4()
    {
        setTitle(QObject::tr("Specify Text File Format"));
        auto* layout = new QVBoxLayout(this);
        const std::pair<int, QString> kinds[] = {
            {1092, QObject::tr("&Tab")},     {1093, QObject::tr("&Semicolon")},
            {1094, QObject::tr("&Comma")},   {1095, QObject::tr("S&pace")},
            {1096, QObject::tr("&Other :")},
        };
        auto* group = new QButtonGroup(this);
        for (const auto& [id, text] : kinds) {
            auto* button = new QRadioButton(text, this);
            button->setObjectName(QStringLiteral("id%1").arg(id));
            group->addButton(button, id);
            layout->addWidget(button);
        }
        m_group = group;
        m_other = new QLineEdit(this);
        m_other->setObjectName(QStringLiteral("id1055"));
        m_other->setMaxLength(8);
        layout->addWidget(m_other);
        auto* typeRow = new QHBoxLayout;
        auto* typeLabel = new QLabel(QObject::tr("File &Type :"), this);
        m_fileType = new QComboBox(this);
        m_fileType->setObjectName(QStringLiteral("id1097"));
        m_fileType->addItems({QStringLiteral("Windows (ANSI)"), QStringLiteral("DOS (ASCII)")});
        typeLabel->setBuddy(m_fileType);
        typeRow->addWidget(typeLabel);
        typeRow->addWidget(m_fileType, 1);
        layout->addLayout(typeRow);
        m_header = new QCheckBox(QObject::tr("First &Row Contains Field Names"), this);
        m_header->setObjectName(QStringLiteral("id1098"));
        layout->addWidget(m_header);
        layout->addStretch(1);
        connect(group, &QButtonGroup::idClicked, this, [this](int id) {
            if (id == 1096)
                m_other->setFocus();
            else
                m_other->clear();
        });
        connect(m_other, &QLineEdit::textEdited, this,
                [this] { m_group->button(1096)->setChecked(true); });
    }

    void initializePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        CTextSchema schema;
        schema.header = work.m_textHeader != FALSE;
        schema.delimiter = work.m_textDelimiter;
        schema.fileType = work.m_textFileType;
        QString error;
        ReadTextSchema(work.m_dataSource, &schema, &error);
        const char delimiter = schema.delimiter;
        const int id = delimiter == '\t'  ? 1092
                       : delimiter == ';' ? 1093
                       : delimiter == ',' ? 1094
                       : delimiter == ' ' ? 1095
                                          : 1096;
        m_group->button(id)->setChecked(true);
        m_other->setText(id == 1096 ? QString(QChar::fromLatin1(delimiter)) : QString());
        m_fileType->setCurrentIndex(schema.fileType == 1 ? 1 : 0);
        m_header->setChecked(schema.header);
    }

    bool validatePage() override
    {
        char delimiter = ',';
        switch (m_group->checkedId()) {
        case 1092:
            delimiter = '\t';
            break;
        case 1093:
            delimiter = ';';
            break;
        case 1095:
            delimiter = ' ';
            break;
        case 1096: {
            const QString text = m_other->text();
            if (text.size() != 1 || text[0] == u'"' || text[0].unicode() < 0x20 ||
                text[0].unicode() > 0x7e) {
                AppMessageBoxId(IDS_INVALID_DELIMITER);
                m_other->setFocus();
                m_other->selectAll();
                return false;
            }
            delimiter = text[0].toLatin1();
            break;
        }
        default:
            break;
        }
        CDatabaseLink& work = Sheet()->Work();
        work.m_textDelimiter = delimiter;
        work.m_textFileType = m_fileType->currentIndex() == 1 ? 1 : 0;
        work.m_textHeader = m_header->isChecked() ? TRUE : FALSE;
        // The text is read again with the format written beside it.
        QString table = work.CurrentTable();
        if (table.isEmpty())
            work.GetDefaultTableName(table);
        if (!work.Reopen())
            return false;
        return work.CurrentTable().isEmpty() ? work.OpenTable(table) : TRUE;
    }

    int nextId() const override { return CConnectionWizard::kSortPage; }

private:
    QButtonGroup* m_group = nullptr;
    QLineEdit* m_other = nullptr;
    QComboBox* m_fileType = nullptr;
    QCheckBox* m_header = nullptr;
};

// Page 5: the key field that sorts the records; for a text file also the
// names and types of its columns.
class CDbasePage5 : public CWizardPage
{
public:
    CDbasePage5()
    {
        setTitle(QObject::tr("Select Database Sort Field"));
        auto* layout = new QVBoxLayout(this);
        m_fields = new QTreeWidget(this);
        m_fields->setObjectName(QStringLiteral("id1099"));
        m_fields->setRootIsDecorated(false);
        m_fields->setHeaderLabels({LoadStringId(IDS_COLUMN_NAME), LoadStringId(IDS_COLUMN_TYPE)});
        layout->addWidget(m_fields, 1);
        auto* row = new QHBoxLayout;
        m_nameLabel = new QLabel(QObject::tr("&Name:"), this);
        m_name = new QLineEdit(this);
        m_name->setObjectName(QStringLiteral("id1129"));
        m_nameLabel->setBuddy(m_name);
        m_typeLabel = new QLabel(QObject::tr("&Type:"), this);
        m_type = new QComboBox(this);
        m_type->setObjectName(QStringLiteral("id1130"));
        m_type->addItems({"Bit", "Byte", "Short", "Long", "Currency", "Single", "Double",
                          "DateTime", "Text", "Memo"});
        m_typeLabel->setBuddy(m_type);
        row->addWidget(m_nameLabel);
        row->addWidget(m_name, 1);
        row->addWidget(m_typeLabel);
        row->addWidget(m_type);
        layout->addLayout(row);
        connect(m_fields, &QTreeWidget::currentItemChanged, this, [this] { ShowSelected(); });
        connect(m_type, &QComboBox::activated, this, [this] {
            if (QTreeWidgetItem* item = m_fields->currentItem())
                item->setText(1, m_type->currentText());
        });
        connect(m_name, &QLineEdit::editingFinished, this, [this] {
            QTreeWidgetItem* item = m_fields->currentItem();
            const QString name = m_name->text().trimmed();
            if (item && !name.isEmpty())
                item->setText(0, name);
        });
    }

    void initializePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        m_fields->clear();
        const QString key = work.GetKeyField();
        QTreeWidgetItem* selected = nullptr;
        for (const QString& name : work.FieldNames()) {
            auto* item = new QTreeWidgetItem(
                m_fields, {name, work.GetFieldTypeName(work.GetFieldType(name))});
            if (!selected && name.compare(key, Qt::CaseInsensitive) == 0)
                selected = item;
        }
        if (!selected)
            selected = m_fields->topLevelItem(0);
        m_fields->setCurrentItem(selected);
        const bool text = work.m_typeId == kDatabaseTypeText;
        for (QWidget* w : {static_cast<QWidget*>(m_nameLabel), static_cast<QWidget*>(m_name),
                           static_cast<QWidget*>(m_typeLabel), static_cast<QWidget*>(m_type)})
            w->setVisible(text);
        ShowSelected();
    }

    bool validatePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        QTreeWidgetItem* item = m_fields->currentItem();
        if (!item) {
            AppMessageBoxId(IDS_INVALID_SELECTION);
            return false;
        }
        if (work.m_typeId == kDatabaseTypeText) {
            // A name still being typed counts.
            const QString typed = m_name->text().trimmed();
            if (!typed.isEmpty())
                item->setText(0, typed);
            QVector<CTextField> fields;
            for (int i = 0; i < m_fields->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* row = m_fields->topLevelItem(i);
                fields.push_back({row->text(0), row->text(1)});
            }
            if (fields != work.m_textFields) {
                work.m_textFields = fields;
                if (!work.Reopen())
                    return false;
            }
        }
        work.m_keyField = item->text(0);
        return true;
    }

    int nextId() const override { return -1; }

private:
    void ShowSelected()
    {
        const QTreeWidgetItem* item = m_fields->currentItem();
        m_name->setText(item ? item->text(0) : QString());
        m_type->setCurrentIndex(item ? m_type->findText(item->text(1)) : -1);
    }

    QTreeWidget* m_fields = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_name = nullptr;
    QLabel* m_typeLabel = nullptr;
    QComboBox* m_type = nullptr;
};

} // namespace

CConnectionWizard::CConnectionWizard(CDatabaseLink& link, QWidget* parent,
                                     DatabaseFileChooser chooseFile)
    : QWizard(parent), m_link(link), m_work(link), m_chooseFile(std::move(chooseFile))
{
    setWindowTitle(Caption());
    setObjectName(QStringLiteral("ConnectionWizard"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    setPage(kTypePage, new CDbasePage1);
    setPage(kFilePage, new CDbasePage2);
    setPage(kViewPage, new CDbasePage3);
    setPage(kTextPage, new CDbasePage4);
    setPage(kSortPage, new CDbasePage5);
    setStartId(kTypePage);
}

void CConnectionWizard::done(int result)
{
    if (result != QDialog::Accepted) {
        QWizard::done(result);
        return;
    }
    // Finish: the last page takes its choice first; only a choice that
    // holds reaches the sign's link.
    if (!validateCurrentPage())
        return;
    m_link = m_work;
    m_link.m_linkKind = 0;
    QDialog::done(result);
}

BOOL RunConnectionWizard(QWidget* parent, CDatabaseLink& link, DatabaseFileChooser chooseFile)
{
    CConnectionWizard wizard(link, parent, std::move(chooseFile));
    return wizard.exec() == QDialog::Accepted ? TRUE : FALSE;
}
