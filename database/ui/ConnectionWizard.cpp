#include "ConnectionWizard.h"

#include "CustomViewsDlg.h"
#include "FileName.h"
#include "FileSources.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "SqlFormatDlg.h"
#include "Strings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
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

// The list of the folder browser: an item sorts by the value behind its
// column (a size by bytes, a time by time), not by the text shown.
class CFileItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        // Folders come before files whichever way the list is sorted.
        const bool folder = data(0, kFolderRole).toBool();
        const bool otherFolder = other.data(0, kFolderRole).toBool();
        if (folder != otherFolder) {
            const bool ascending =
                !treeWidget() || treeWidget()->header()->sortIndicatorOrder() == Qt::AscendingOrder;
            return ascending ? folder : otherFolder;
        }
        const QVariant a = data(column, Qt::UserRole);
        const QVariant b = other.data(column, Qt::UserRole);
        if (column == 1)
            return a.toLongLong() < b.toLongLong();
        if (column == 3)
            return a.toDateTime() < b.toDateTime();
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
    static constexpr int kFolderRole = Qt::UserRole + 1;
};

// Page 2: the file, chosen in a folder tree and the list of the chosen
// folder's files of the type, typed, or picked from the file box (or, for a
// connection string source, the string).
class CDbasePage2 : public CWizardPage
{
public:
    enum
    {
        IDC_TREE = 1085,
        IDC_LIST = 1087,
        IDC_UP = 32890,
        IDC_LIST_VIEW = 32893,
        IDC_DETAILS = 32894
    };

    CDbasePage2()
    {
        setTitle(QObject::tr("Select Database File"));
        auto* layout = new QVBoxLayout(this);
        auto* tools = new QHBoxLayout;
        m_label = new QLabel(this);
        tools->addWidget(m_label, 1);
        const struct
        {
            int id;
            QString text;
            QStyle::StandardPixmap icon;
        } buttons[] = {{IDC_UP, QObject::tr("Up One Level"), QStyle::SP_FileDialogToParent},
                       {IDC_LIST_VIEW, QObject::tr("List"), QStyle::SP_FileDialogListView},
                       {IDC_DETAILS, QObject::tr("Details"), QStyle::SP_FileDialogDetailedView}};
        for (const auto& b : buttons) {
            auto* button = new QToolButton(this);
            button->setObjectName(QStringLiteral("id%1").arg(b.id));
            button->setIcon(style()->standardIcon(b.icon));
            button->setToolTip(b.text);
            button->setAutoRaise(true);
            button->setCheckable(b.id != IDC_UP);
            tools->addWidget(button);
            if (b.id == IDC_UP)
                connect(button, &QToolButton::clicked, this, [this] { UpOneLevel(); });
            else
                connect(button, &QToolButton::clicked, this,
                        [this, details = b.id == IDC_DETAILS] { SetDetails(details); });
            (b.id == IDC_UP          ? m_up
             : b.id == IDC_LIST_VIEW ? m_listButton
                                     : m_detailsButton) = button;
        }
        layout->addLayout(tools);

        auto* split = new QSplitter(Qt::Horizontal, this);
        m_folders = new QFileSystemModel(this);
        m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
        m_folders->setRootPath(QDir::rootPath());
        m_tree = new QTreeView(split);
        m_tree->setObjectName(QStringLiteral("id%1").arg(IDC_TREE));
        m_tree->setModel(m_folders);
        for (int column = 1; column < m_folders->columnCount(); ++column)
            m_tree->hideColumn(column);
        m_tree->setHeaderHidden(true);
        m_files = new QTreeWidget(split);
        m_files->setObjectName(QStringLiteral("id%1").arg(IDC_LIST));
        m_files->setRootIsDecorated(false);
        m_files->setHeaderLabels({LoadStringId(IDS_COLUMN_NAME), LoadStringId(IDS_COLUMN_SIZE),
                                  LoadStringId(IDS_COLUMN_TYPE),
                                  LoadStringId(IDS_COLUMN_MODIFIED)});
        m_files->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        for (int column = 0; column < 4; ++column)
            m_files->setColumnWidth(column, 100);
        m_files->setSortingEnabled(true);
        m_files->sortByColumn(0, Qt::AscendingOrder);
        split->addWidget(m_tree);
        split->addWidget(m_files);
        split->setStretchFactor(1, 2);
        layout->addWidget(split, 1);

        auto* row = new QHBoxLayout;
        m_path = new QLineEdit(this);
        m_path->setObjectName(QStringLiteral("id1086"));
        row->addWidget(m_path, 1);
        m_browse = new QPushButton(QObject::tr("&Browse..."), this);
        m_browse->setObjectName(QStringLiteral("idBrowse"));
        row->addWidget(m_browse);
        layout->addLayout(row);
        connect(m_browse, &QPushButton::clicked, this, [this] { Browse(); });
        connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& index) { FillList(m_folders->filePath(index)); });
        connect(m_files, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
            if (!item->data(0, CFileItem::kFolderRole).toBool())
                m_path->setText(item->text(0));
        });
        connect(m_files, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
            if (item->data(0, CFileItem::kFolderRole).toBool()) {
                GoToFolder(QDir(m_folder).filePath(item->text(0)));
            } else {
                m_path->setText(item->text(0));
                wizard()->next();
            }
        });
        SetDetails(false);
    }

    void initializePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        const bool connectionString = work.m_typeId == kDatabaseTypeConnectionString;
        const QString filter = QString::fromLatin1(DatabaseTypeRow(work.m_typeId).filter);
        m_label->setText(connectionString ? QObject::tr("Connection string:")
                                          : QObject::tr("File (%1):").arg(filter));
        m_browse->setVisible(!connectionString && Sheet()->FileChooser() != nullptr);
        for (QWidget* w : {static_cast<QWidget*>(m_tree), static_cast<QWidget*>(m_files),
                           static_cast<QWidget*>(m_up), static_cast<QWidget*>(m_listButton),
                           static_cast<QWidget*>(m_detailsButton)})
            w->setVisible(!connectionString);
        m_path->setText(work.m_dataSource);
        if (connectionString)
            return;
        // The files of the type, in the folder of the source, else in the
        // folder of the last database, else in the current folder.
        if (filter != m_filter) {
            m_filter = filter;
            m_showAll = false;
        }
        const QString last = Sheet()->StartFolder();
        const QString folder = !work.m_dataSource.isEmpty()
                                   ? QFileInfo(work.m_dataSource).absolutePath()
                               : !last.isEmpty() && QFileInfo(last).isDir() ? last
                                                                            : QDir::currentPath();
        GoToFolder(m_folder.isEmpty() || !work.m_dataSource.isEmpty() ? folder : m_folder);
    }

    bool validatePage() override
    {
        CDatabaseLink& work = Sheet()->Work();
        const QString text = m_path->text().trimmed();
        if (text.isEmpty()) {
            AppMessageBoxId(IDS_INVALID_SELECTION);
            return false;
        }
        const bool connectionString = work.m_typeId == kDatabaseTypeConnectionString;
        if (!connectionString && (text.contains(u'?') || text.contains(u'*'))) {
            // A pattern: the list shows the files it names, and the page stays.
            const QFileInfo typed(text);
            const QString name = typed.fileName();
            const qsizetype dot = name.lastIndexOf(u'.');
            m_filter = dot >= 0 ? QStringLiteral("*") + name.mid(dot)
                                : QString::fromLatin1(DatabaseTypeRow(work.m_typeId).filter);
            m_showAll = m_filter == QLatin1String("*.*");
            if (text.contains(u'/'))
                GoToFolder(typed.absolutePath());
            else
                FillList(m_folder);
            return false;
        }
        QString source = text;
        if (!connectionString) {
            // A bare name is a file of the folder shown.
            if (!text.contains(u'/') && !m_folder.isEmpty())
                source = QDir(m_folder).filePath(text);
            source = QDir::cleanPath(QFileInfo(source).absoluteFilePath());
        }
        if (!work.Connect(source, TRUE))
            return false;
        // A file that holds one table opens it at once; a table that cannot
        // be read keeps the user on this page. A text file is read once, on
        // the next page, with the format chosen there.
        if (DatabaseTypeRow(work.m_typeId).folderBased && work.m_typeId != kDatabaseTypeText) {
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

    // Selects the folder in the tree (the nearest folder above it that
    // exists) and lists it.
    void GoToFolder(const QString& path)
    {
        QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        while (!QFileInfo(folder).isDir() && folder != QDir::rootPath())
            folder = QFileInfo(folder).absolutePath();
        const QModelIndex index = m_folders->index(folder);
        if (index.isValid()) {
            m_tree->setCurrentIndex(index);
            m_tree->scrollTo(index);
            m_tree->expand(index);
        }
        if (m_folder != folder || !index.isValid())
            FillList(folder);
    }

    void UpOneLevel()
    {
        if (m_folder.isEmpty() || QDir(m_folder).isRoot())
            return;
        GoToFolder(QFileInfo(m_folder).absolutePath());
    }

    void SetDetails(bool details)
    {
        m_listButton->setChecked(!details);
        m_detailsButton->setChecked(details);
        m_files->setHeaderHidden(!details);
        for (int column = 1; column < 4; ++column)
            m_files->setColumnHidden(column, !details);
    }

    bool Matches(const QString& name) const
    {
        if (m_showAll)
            return true;
        for (const QString& pattern : m_filter.split(u';', Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            if (p == QLatin1String("*") || p == QLatin1String("*.*"))
                return true;
            // Extensions are compared without regard to case.
            if (p.startsWith(QLatin1String("*.")) && name.endsWith(p.mid(1), Qt::CaseInsensitive) &&
                name.size() > p.size() - 1)
                return true;
        }
        return false;
    }

    // The folder's sub-folders and its files of the filter.
    void FillList(const QString& folder)
    {
        m_folder = folder;
        m_files->setSortingEnabled(false);
        m_files->clear();
        const QDir dir(folder);
        QFileIconProvider icons;
        const QFileInfoList entries =
            dir.entryInfoList(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& info : entries) {
            const bool isFolder = info.isDir();
            if (!isFolder && !Matches(info.fileName()))
                continue;
            auto* item = new CFileItem(m_files);
            item->setText(0, info.fileName());
            item->setIcon(0, icons.icon(info));
            item->setData(0, CFileItem::kFolderRole, isFolder);
            const CFileName file(info.absoluteFilePath());
            if (!isFolder) {
                item->setText(1, file.GetSizeText());
                item->setData(1, Qt::UserRole, info.size());
                item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            }
            item->setText(2, icons.type(info));
            item->setText(3, file.GetTimeText());
            item->setData(3, Qt::UserRole, info.lastModified());
        }
        m_files->setSortingEnabled(true);
    }

    QLabel* m_label = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_listButton = nullptr;
    QToolButton* m_detailsButton = nullptr;
    QFileSystemModel* m_folders = nullptr;
    QTreeView* m_tree = nullptr;
    QTreeWidget* m_files = nullptr;
    // The folder listed, the patterns in force and whether every file shows.
    QString m_folder;
    QString m_filter;
    bool m_showAll = false;
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
        m_fileType->addItems({QStringLiteral("Windows (ANSI)"), QStringLiteral("DOS (ASCII)"),
                              QStringLiteral("Unicode (UTF-8)")});
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
        // The character set the schema file names holds; else a file whose
        // bytes are UTF-8 is proposed as UTF-8.
        if (!schema.characterSetNamed && TextFileIsUtf8(work.m_dataSource))
            schema.fileType = 2;
        const char delimiter = schema.delimiter;
        const int id = delimiter == '\t'  ? 1092
                       : delimiter == ';' ? 1093
                       : delimiter == ',' ? 1094
                       : delimiter == ' ' ? 1095
                                          : 1096;
        m_group->button(id)->setChecked(true);
        m_other->setText(id == 1096 ? QString(QChar::fromLatin1(delimiter)) : QString());
        m_fileType->setCurrentIndex(qBound(0, schema.fileType, 2));
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
        work.m_textFileType = qBound(0, m_fileType->currentIndex(), 2);
        work.m_textHeader = m_header->isChecked() ? TRUE : FALSE;
        // The text is read again with the format written beside it.
        QString table = work.CurrentTable();
        if (table.isEmpty())
            work.GetDefaultTableName(table);
        work.WriteSchemaIni();
        if (!work.ReopenIfChanged())
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
                if (!work.ReopenIfChanged())
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
                                     DatabaseFileChooser chooseFile, QString startFolder)
    : QWizard(parent), m_link(link), m_work(link), m_chooseFile(std::move(chooseFile)),
      m_startFolder(std::move(startFolder))
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
    // The sign's link takes what the pages read; nothing is read again.
    m_link.TakeOver(m_work);
    m_link.m_linkKind = 0;
    QDialog::done(result);
}

BOOL RunConnectionWizard(QWidget* parent, CDatabaseLink& link, DatabaseFileChooser chooseFile,
                         const QString& startFolder)
{
    CConnectionWizard wizard(link, parent, std::move(chooseFile), startFolder);
    return wizard.exec() == QDialog::Accepted ? TRUE : FALSE;
}
