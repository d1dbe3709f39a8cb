#include "BrowseView.h"

#include "Branding.h"
#include "BrowseInfoPane.h"
#include "DataCtrl.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DesignView.h"
#include "ElementList.h"
#include "FindFilesDlg.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintQueue.h"
#include "PrintSignDlg.h"
#include "PrintStationWnd.h"
#include "Printer.h"
#include "RecordNavigator.h"
#include "RecordPrintDriver.h"
#include "ResourceIds.h"
#include "Seams.h"
#include "SheetPreviewWnd.h"
#include "SignApp.h"
#include "SignData.h"
#include "SignPreviewWnd.h"
#include "Strings.h"
#include "VariableList.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTreeView>

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("Explorer");

// The folder tree's pictures and kinds. The tree shows folders only, but
// its model keeps the files of every folder it has read and looks at them
// again whenever a folder changes (a PDF being printed into it, files
// coming and going in a busy parent): a file gets the plain file picture
// without its type being looked up.
class CFolderIconProvider : public QFileIconProvider
{
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override
    {
        return info.isDir() ? QFileIconProvider::icon(info) : QFileIconProvider::icon(File);
    }
    QString type(const QFileInfo& info) const override
    {
        return info.isDir() ? QFileIconProvider::type(info) : QString();
    }
};

constexpr int kItemRole = Qt::UserRole + 1;

QString WithoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace

// The print station's driver: each record of a batch prints the sign as it
// stands, with the variables prepared and advanced around it. A run whose
// last sign did not print hands nothing to the print queue.
class CBrowseView::CStationDriver : public CPrintRunSeam
{
public:
    explicit CStationDriver(CBrowseView& view) : m_view(view) {}

    BOOL PrintEnteredData(int batch, int copies, int destination, const QString& file,
                          int sheetUsage) override
    {
        const BOOL printed =
            PrintStationBatch(m_view.DataView(), m_view.m_document, batch, copies, destination,
                              file, sheetUsage, [this] { return m_view.Station(); });
        m_failed = !printed;
        return printed;
    }
    void EndPrintRun() override { EndRun(true); }
    // Ends the run; again: data entry starts afresh (Restart), else the
    // station is being left.
    void EndRun(bool again)
    {
        CPrinter& printer = ThePrinter();
        if (printer.m_jobOpen)
            printer.EndJob(); // a cancelled job is discarded there, unlogged
        else if (ThePrintQueue().IsPending()) {
            if (m_failed)
                ThePrintQueue().Discard();
            else
                ThePrintQueue().Submit();
        }
        m_failed = false;
        EndStationDataEntry(m_view.DataView(), again);
    }
    void AdjustPrintDepth(bool ending) override
    {
        m_depth = std::max(0, m_depth + (ending ? -1 : 1));
    }
    void LeaveDataEntryIfIdle() override
    {
        if (m_depth == 0)
            m_view.ClosePrintStation();
    }
    bool IsQueueJobPending() const override { return ThePrintQueue().IsPending(); }
    bool IsQueueAvailable() const override { return ThePrintQueue().IsAvailable(); }
    bool IsSignSaved() const override { return !m_view.m_document.GetPathName().isEmpty(); }

private:
    CBrowseView& m_view;
    int m_depth = 0;
    bool m_failed = false;
};

QString& CBrowseView::RememberedFolder()
{
    static QString folder;
    return folder;
}

CBrowseView::CBrowseView(CSignData& document, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("browseView"));
    m_viewMode = CSignApp::GetProfileInt(kSection, QStringLiteral("ViewMode"), STYLE_LIST) & 15;
    m_sortMode = CSignApp::GetProfileInt(kSection, QStringLiteral("SortMode"), SORT_NAME) & 7;
    for (int i = 0; i < 4; ++i) {
        const int width =
            CSignApp::GetProfileInt(kSection, QStringLiteral("ColWidth%1").arg(i), 100);
        m_columnWidths[i] = std::clamp(width, 20, 2000);
    }
    if (CBranding::Current().showExplorer == 0)
        m_viewMode |= VIEW_TREE_HIDDEN;

    // The folder tree: folders only, in name order.
    m_folders = new QFileSystemModel(this);
    m_folderIcons = std::make_unique<CFolderIconProvider>();
    m_folders->setIconProvider(m_folderIcons.get());
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setRootPath(QStringLiteral("/"));
    m_folders->setReadOnly(true);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("id%1").arg(IDC_TREE));
    m_tree->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setHeaderHidden(true);
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);
    m_tree->setRootIndex(m_folders->index(QStringLiteral("/")).parent());
    // The tree's folders arrive, and are sorted, in the background: for a
    // moment after a path was selected, the selected folder is scrolled into
    // view again whenever they change.
    const auto keepInView = [this] {
        const QModelIndex current = m_tree->currentIndex();
        if (current.isValid() && m_scrollSince.isValid() && m_scrollSince.elapsed() < 3000)
            m_tree->scrollTo(current, QAbstractItemView::PositionAtCenter);
    };
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, keepInView);
    connect(m_folders, &QFileSystemModel::layoutChanged, this, keepInView);
    connect(m_folders, &QFileSystemModel::rowsInserted, this, keepInView);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { OnTreeCurrentChanged(current); });

    // The file list: icons and list in one view, details in another, over
    // one model and one selection.
    m_listModel = new QStandardItemModel(0, 4, this);
    m_listModel->setHorizontalHeaderLabels(
        {LoadStringId(IDS_COLUMN_NAME), LoadStringId(IDS_COLUMN_SIZE),
         LoadStringId(IDS_COLUMN_TYPE), LoadStringId(IDS_COLUMN_MODIFIED)});
    m_listModel->horizontalHeaderItem(1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_list = new QStackedWidget(this);
    m_list->setObjectName(QStringLiteral("id%1").arg(IDC_LIST));
    m_icons = new QListView(m_list);
    m_icons->setObjectName(QStringLiteral("iconList"));
    m_icons->setModel(m_listModel);
    m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
    m_icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_icons->setResizeMode(QListView::Adjust);
    m_details = new QTreeView(m_list);
    m_details->setObjectName(QStringLiteral("detailsList"));
    m_details->setModel(m_listModel);
    m_details->setSelectionModel(m_icons->selectionModel());
    m_details->setRootIsDecorated(false);
    m_details->setItemsExpandable(false);
    m_details->setUniformRowHeights(true);
    m_details->setSelectionMode(QAbstractItemView::SingleSelection);
    m_details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details->header()->setSectionsClickable(true);
    m_details->header()->setSortIndicatorShown(true);
    m_details->header()->setStretchLastSection(false);
    for (int i = 0; i < 4; ++i)
        m_details->setColumnWidth(i, m_columnWidths[i]);
    connect(m_details->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { OnColumnClick(column); });
    m_list->addWidget(m_icons);
    m_list->addWidget(m_details);
    connect(m_icons->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { OnListCurrentChanged(current); });
    connect(m_icons, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { OnListActivated(index); });
    connect(m_details, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { OnListActivated(index); });

    m_info = new CBrowseInfoPane(document, this);
    connect(m_info, &CBrowseInfoPane::printRequested, this, &CBrowseView::OnPrint,
            Qt::QueuedConnection);
    ApplyListStyle();
    m_tree->setVisible(IsTreeShown());
}

CBrowseView::~CBrowseView()
{
    if (m_station)
        ClosePrintStation();
    // The model (and its reader thread) goes before its picture provider.
    m_tree->setModel(nullptr);
    delete m_folders;
}

void CBrowseView::InitialUpdate()
{
    QString start = m_document.GetPathName();
    if (start.isEmpty())
        start = RememberedFolder();
    if (start.isEmpty() || !QFileInfo::exists(start))
        start = QDir::currentPath();
    SelectPath(start);
    m_initialising = false;
    LayoutChildren();
}

// --- layout -----------------------------------------------------------------

void CBrowseView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutChildren();
}

void CBrowseView::LayoutChildren()
{
    if (m_station) {
        m_station->FitToParent();
        return;
    }
    const int w = width();
    const int h = height();
    const int d = (h / 3) * 2;
    if (IsTreeShown()) {
        m_tree->setGeometry(0, 0, w / 2, d);
        m_list->setGeometry(w / 2, 0, w - w / 2, d);
    } else {
        m_list->setGeometry(0, 0, w, d);
    }
    m_info->setGeometry(0, d, w, h - d);
}

// --- the tree ---------------------------------------------------------------

BOOL CBrowseView::SelectPath(const QString& path)
{
    if (path.isEmpty())
        return FALSE;
    const CWaitCursor wait;
    const QFileInfo info(QDir::fromNativeSeparators(path));
    if (!info.exists())
        return FALSE;
    const QString folder = WithoutTrailingSeparator(
        QDir::cleanPath(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
    // The list is filled afresh even for the folder it shows, so that a
    // file that came since is found.
    const QModelIndex index = m_folders->index(folder);
    bool filled = false;
    if (index.isValid()) {
        if (m_tree->currentIndex() != index) {
            m_tree->setCurrentIndex(index); // fills the list
            filled = m_folder == folder;
        }
        m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
        m_scrollSince.start();
    }
    if (!filled)
        FillList(folder);
    if (!info.isDir())
        SelectListItem(info.fileName());
    emit stateChanged();
    return TRUE;
}

void CBrowseView::OnTreeCurrentChanged(const QModelIndex& current)
{
    if (!current.isValid())
        return;
    const CWaitCursor wait;
    FillList(m_folders->filePath(current));
    emit stateChanged();
}

bool CBrowseView::CanGoUp() const
{
    return IsTreeShown() && !m_folder.isEmpty() && !QDir(m_folder).isRoot();
}

void CBrowseView::OnUpOneLevel()
{
    if (!CanGoUp())
        return;
    QDir dir(m_folder);
    if (dir.cdUp())
        SelectPath(dir.absolutePath());
}

void CBrowseView::OnSignFolder()
{
    if (IsTreeShown())
        SelectPath(CSignApp::GetProgramFolder());
}

void CBrowseView::OnFind()
{
    if (!IsTreeShown())
        return;
    CFindFilesDlg dialog(m_folder, this);
    if (dialog.exec() != QDialog::Accepted || dialog.ResultPath().isEmpty())
        return;
    SelectPath(dialog.ResultPath());
}

// --- the list ---------------------------------------------------------------

void CBrowseView::FillList(const QString& folder)
{
    m_folder = WithoutTrailingSeparator(QDir::cleanPath(folder));
    m_info->SetFolder(m_folder);
    m_items.clear();
    const bool all = (m_viewMode & VIEW_ALL_FILES) != 0;
    QDir dir(m_folder);
    if (dir.exists()) {
        const QFileInfoList entries =
            dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::NoSort);
        m_items.reserve(entries.size());
        const bool removable = IsOnRemovableMedia(m_folder);
        for (const QFileInfo& entry : entries) {
            if (IsShownInList(entry.fileName(), all))
                m_items.push_back(BrowseItem::FromFileInfo(entry, removable));
        }
    }
    RebuildListModel();
    // A sign of another folder is not left in the info pane under this
    // folder's name, nor printed from it.
    const QString shown = m_document.GetPathName();
    if (!shown.isEmpty() && QDir::cleanPath(QFileInfo(shown).absolutePath()) != m_folder)
        ShowSign(QString());
}

void CBrowseView::RebuildListModel()
{
    const int mode = m_sortMode;
    std::sort(m_items.begin(), m_items.end(), [mode](const BrowseItem& a, const BrowseItem& b) {
        return CompareBrowseItems(a, b, mode) < 0;
    });
    // The list is filled anew: nothing is selected, and what the selection
    // showed stays in the info pane.
    const QSignalBlocker block(m_icons->selectionModel());
    m_listModel->removeRows(0, m_listModel->rowCount());
    static const QFileIconProvider icons;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const BrowseItem& item = m_items[i];
        QList<QStandardItem*> row;
        for (int column = 0; column < 4; ++column) {
            auto* cell = new QStandardItem(item.ColumnText(column));
            cell->setEditable(false);
            if (column == 1)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            row.push_back(cell);
        }
        row[0]->setData(int(i), kItemRole);
        row[0]->setIcon(icons.icon(QFileInfo(item.path)));
        m_listModel->appendRow(row);
    }
    m_details->header()->setSortIndicator(m_sortMode & SORT_COLUMN_MASK,
                                          (m_sortMode & SORT_DESCENDING) ? Qt::DescendingOrder
                                                                         : Qt::AscendingOrder);
}

const BrowseItem* CBrowseView::ItemAt(const QModelIndex& index) const
{
    if (!index.isValid())
        return nullptr;
    const QVariant data = m_listModel->index(index.row(), 0).data(kItemRole);
    bool ok = false;
    const int i = data.toInt(&ok);
    return ok && i >= 0 && size_t(i) < m_items.size() ? &m_items[size_t(i)] : nullptr;
}

BOOL CBrowseView::SelectListItem(const QString& name)
{
    for (int row = 0; row < m_listModel->rowCount(); ++row) {
        const QModelIndex index = m_listModel->index(row, 0);
        const BrowseItem* item = ItemAt(index);
        if (item && item->name == name) {
            m_icons->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
            m_icons->scrollTo(index);
            m_details->scrollTo(index);
            return TRUE;
        }
    }
    return FALSE;
}

void CBrowseView::OnListCurrentChanged(const QModelIndex& current)
{
    const BrowseItem* item = ItemAt(current);
    if (item && item->fileSystem && !item->folder)
        ShowSign(item->path);
    else
        ShowSign(QString());
    emit stateChanged();
}

void CBrowseView::ShowSign(const QString& path)
{
    if (m_info->ShowSign(path))
        RememberedFolder() = QFileInfo(path).absolutePath();
    emit statusMessage(m_info->LastProblem());
}

void CBrowseView::OnListActivated(const QModelIndex& index)
{
    const BrowseItem* item = ItemAt(index);
    if (item && item->folder)
        SelectPath(item->path);
}

void CBrowseView::OnColumnClick(int column)
{
    column &= SORT_COLUMN_MASK;
    if ((m_sortMode & SORT_COLUMN_MASK) == column)
        m_sortMode ^= SORT_DESCENDING;
    else
        m_sortMode = column;
    const BrowseItem* current = ItemAt(m_icons->selectionModel()->currentIndex());
    const QString selected = current ? current->name : QString();
    RebuildListModel();
    if (!selected.isEmpty()) {
        // The same row stays selected without loading its sign again.
        const QSignalBlocker block(m_icons->selectionModel());
        SelectListItem(selected);
    }
    emit stateChanged();
}

void CBrowseView::SetListStyle(int style)
{
    style &= STYLE_MASK;
    if ((m_viewMode & STYLE_MASK) == STYLE_DETAILS && style != STYLE_DETAILS)
        RememberColumnWidths();
    m_viewMode = (m_viewMode & ~STYLE_MASK) | style;
    ApplyListStyle();
    emit stateChanged();
}

void CBrowseView::ApplyListStyle()
{
    switch (m_viewMode & STYLE_MASK) {
    case STYLE_LARGE_ICONS:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(96, 72));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setWordWrap(true);
        break;
    case STYLE_SMALL_ICONS:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(160, 22));
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        break;
    case STYLE_LIST:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize());
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setWrapping(true);
        break;
    default:
        break;
    }
    m_icons->setMovement(QListView::Static);
    m_list->setCurrentWidget((m_viewMode & STYLE_MASK) == STYLE_DETAILS
                                 ? static_cast<QWidget*>(m_details)
                                 : static_cast<QWidget*>(m_icons));
}

void CBrowseView::SetAllFiles(bool all)
{
    m_viewMode = all ? (m_viewMode | VIEW_ALL_FILES) : (m_viewMode & ~VIEW_ALL_FILES);
    FillList(m_folder);
    emit stateChanged();
}

void CBrowseView::ShowTree(bool show)
{
    m_viewMode = show ? (m_viewMode & ~VIEW_TREE_HIDDEN) : (m_viewMode | VIEW_TREE_HIDDEN);
    if (!m_station)
        m_tree->setVisible(show);
    LayoutChildren();
    emit stateChanged();
}

void CBrowseView::RememberColumnWidths()
{
    for (int i = 0; i < 4; ++i)
        m_columnWidths[i] = std::clamp(m_details->columnWidth(i), 20, 2000);
}

void CBrowseView::SaveSettings()
{
    CSignApp::WriteProfileInt(kSection, QStringLiteral("ViewMode"), m_viewMode);
    CSignApp::WriteProfileInt(kSection, QStringLiteral("SortMode"), m_sortMode);
    // The widths as the user left them, whatever else the view shows.
    if ((m_viewMode & STYLE_MASK) == STYLE_DETAILS)
        RememberColumnWidths();
    for (int i = 0; i < 4; ++i)
        CSignApp::WriteProfileInt(kSection, QStringLiteral("ColWidth%1").arg(i), m_columnWidths[i]);
}

void CBrowseView::RefreshPreviews()
{
    m_info->Preview()->SetShadow(CDesignView::s_showShadow);
    m_info->RefreshPreview();
    if (m_station) {
        m_station->Sheet()->SetShadow(CDesignView::s_showShadow);
        m_station->FitToParent();
    }
}

// --- printing ---------------------------------------------------------------

void CBrowseView::OnPrint()
{
    if (m_station || m_document.GetPathName().isEmpty())
        return;
    if (TheElementList().HasLinkedElements()) {
        m_tree->hide();
        m_list->hide();
        m_info->hide();
        auto* single = new CSignPreviewWnd;
        single->SetShadow(CDesignView::s_showShadow);
        m_station = new CPrintStationWnd(this, single);
        m_station->setObjectName(QStringLiteral("id%1").arg(IDD_PRINT_STATION));
        m_station->Sheet()->SetShadow(CDesignView::s_showShadow);
        TheVariableList().ResetValues();
        m_driver = std::make_unique<CStationDriver>(*this);
        m_records = std::make_unique<CRecordPrintDriver>(*m_driver);
        m_records->Begin();
        m_batch = new CPrintBatchDlg(*m_records, m_station->Sheet(), window());
        // Return leads back to the browser: this program designs nothing.
        m_batch->SetIdleReturnText(tr("Return to Sign Browser"));
        m_station->FitToParent();
        m_station->show();
        m_station->raise();
        // The frame shows the data-entry pane and hands it over.
        emit dataEntryChanged(true);
        if (CDataView* data = DataView()) {
            // The print bar stands in the data-entry pane, below its rows; a
            // sign with a database or data store walks its records in the
            // navigator bar above it.
            BeginStationDataEntry(
                data, m_station, m_batch, *m_records, [this] { return MakeNavigator(); },
                [this] { return DataView(); });
            emit dataViewFilled();
            m_station->FitToParent();
            emit stateChanged();
            RememberedFolder() = QFileInfo(m_document.GetPathName()).absolutePath();
            emit signPrinted(m_document.GetPathName());
            return;
        }
        FloatPrintBar(m_batch, QRect(mapToGlobal(QPoint(0, 0)), size()), 60);
    } else {
        CPrintSignDlg dialog(m_document, this);
        if (dialog.exec() == QDialog::Accepted) {
            // Declining the sheet-reuse warning ends the command: the sign
            // was not printed, so it does not join the recent files.
            if (!ConfirmSheetReuse(this, dialog.m_skip))
                return;
            QString file;
            bool go = true;
            if (dialog.m_destination == CPrintSignDlg::DEST_FILE) {
                const QFileInfo sign(m_document.GetPathName());
                const QString suggested =
                    sign.dir().filePath(sign.completeBaseName() + QStringLiteral(".pdf"));
                file = choosePrintFile ? choosePrintFile(suggested) : suggested;
                go = !file.isEmpty();
            }
            if (!go)
                return;
            PrintSignTo(m_document, dialog.m_destination, dialog.m_copies, dialog.m_skip, file);
        }
    }
    RememberedFolder() = QFileInfo(m_document.GetPathName()).absolutePath();
    emit signPrinted(m_document.GetPathName());
    emit stateChanged();
}

CRecordNavigator* CBrowseView::MakeNavigator()
{
    return MakeStationNavigator(
        m_batch, [this] { return DataView(); }, [this] { return m_driver.get(); },
        [this] { OnPrintAllRecords(); });
}

void CBrowseView::SetDataView(CDataView* view)
{
    m_dataView = view;
}

CDataView* CBrowseView::DataView() const
{
    return m_station ? qobject_cast<CDataView*>(m_dataView.data()) : nullptr;
}

bool CBrowseView::CanPrintAllRecords() const
{
    return m_station && m_records && CRecordPrintDriver::IsLinked();
}

void CBrowseView::OnPrintAllRecords()
{
    if (!CanPrintAllRecords() || !m_batch)
        return;
    PrintAllThroughBatch(*m_records, m_batch);
    emit stateChanged();
}

void CBrowseView::ClosePrintStation()
{
    if (!m_station)
        return;
    if (m_driver)
        m_driver->EndRun(false);
    if (m_records)
        m_records->SetRecordLoaded({});
    // The print bar may be what asked to leave: it goes once its handler is
    // over, not with the data-entry pane that holds it. Its drivers stay
    // until the next station.
    DismissPrintBar(m_batch, window());
    delete m_station;
    m_tree->setVisible(IsTreeShown());
    m_list->show();
    m_info->show();
    LayoutChildren();
    // The sign shows its own samples again.
    m_info->RefreshPreview();
    emit dataEntryChanged(false);
    emit stateChanged();
}
