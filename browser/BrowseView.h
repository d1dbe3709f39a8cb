// The print front end's one view: an explorer-like browser with the folder
// tree on the left, the file list on the right, both two thirds of the
// view's height, and the info pane below them with the selected sign's
// details, its preview and the Print button. Print prints a sign directly,
// or, when the sign takes data from data paths, covers the browser with the
// print station (the preview of the sign or the sheet, and the print bar).
#pragma once

#include "BrowseItem.h"
#include "PrintBatchDlg.h"
#include "PrintStationWnd.h"
#include "Types.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class CBrowseInfoPane;
class CDataView;
class CRecordNavigator;
class CRecordPrintDriver;
class CSignData;
class QAbstractFileIconProvider;
class QFileSystemModel;
class QListView;
class QModelIndex;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;

class CBrowseView : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDC_TREE = 1367,
        IDC_LIST = 1368,
        IDD_PRINT_STATION = 363,
    };
    // The view-mode word: bits 0-1 the list style, bit 2 all files, bit 3
    // the tree hidden.
    enum ViewMode : int
    {
        STYLE_LARGE_ICONS = 0,
        STYLE_SMALL_ICONS = 1,
        STYLE_LIST = 2,
        STYLE_DETAILS = 3,
        STYLE_MASK = 3,
        VIEW_ALL_FILES = 4,
        VIEW_TREE_HIDDEN = 8,
    };

    // document: the program's one sign. Reads the view and sort modes and
    // the column widths from the profile ("Explorer").
    CBrowseView(CSignData& document, QWidget* parent = nullptr);
    ~CBrowseView() override;

    // Fills the tree and selects the start folder: the document's folder,
    // else the remembered folder, else the current directory.
    void InitialUpdate();

    // Selects the folder, or the file's folder and then the file in the
    // list. FALSE (selection unchanged) when the path is not there.
    BOOL SelectPath(const QString& path);
    // The folder the list shows.
    QString CurrentFolder() const { return m_folder; }
    // The folder of the last sign shown or printed, for the next start.
    static QString& RememberedFolder();

    int ViewModeWord() const { return m_viewMode; }
    int SortModeWord() const { return m_sortMode; }
    void SetListStyle(int style);
    void SetAllFiles(bool all);
    void ShowTree(bool show);
    bool IsTreeShown() const { return !(m_viewMode & VIEW_TREE_HIDDEN); }
    // A click on a column's header: the same column again flips the
    // direction, another sorts by it ascending.
    void OnColumnClick(int column);
    // The records of the list in their order.
    const std::vector<BrowseItem>& Items() const { return m_items; }
    // Selects the list's row of that name; FALSE when there is none.
    BOOL SelectListItem(const QString& name);

    // Find..., the sign folder, Up One Level.
    void OnFind();
    void OnSignFolder();
    void OnUpOneLevel();
    bool CanGoUp() const;

    // Print: the print station for a sign fed by data paths, else the
    // Print dialog and the print.
    void OnPrint();
    // Leaves the print station (Cancel data entry, or the print bar's
    // Return when no run is going on).
    void ClosePrintStation();
    bool IsStationOpen() const { return !m_station.isNull(); }
    CPrintStationWnd* Station() const { return m_station; }
    CPrintBatchDlg* BatchDialog() const { return m_batch; }
    // The data-entry pane the frame shows beside the station (null: the
    // print bar stands alone).
    void SetDataView(CDataView* view);
    CDataView* DataView() const;
    // Print All: one sign per record of the linked database.
    void OnPrintAllRecords();
    bool CanPrintAllRecords() const;

    // The shadow or the printer changed: the previews follow.
    void RefreshPreviews();
    // Writes the view and sort modes, and the column widths while the list
    // shows details.
    void SaveSettings();

    CBrowseInfoPane* InfoPane() const { return m_info; }
    QTreeView* Tree() const { return m_tree; }
    QListView* IconList() const { return m_icons; }
    QTreeView* DetailsList() const { return m_details; }

    // How the view asks for a file name to print to; empty means cancelled.
    std::function<QString(const QString& suggested)> choosePrintFile;

signals:
    // A text for the frame's message pane.
    void statusMessage(const QString& text);
    // The print station opened (true) or closed (false).
    void dataEntryChanged(bool on);
    // Something the frame's commands depend on changed.
    void stateChanged();
    // The data-entry pane holds its rows and bars: the frame sizes it anew.
    void dataViewFilled();
    // The sign at the path was printed (or handed to the print station):
    // it belongs in the recent files.
    void signPrinted(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class CStationDriver;

    void LayoutChildren();
    void FillList(const QString& folder);
    void RebuildListModel();
    void OnTreeCurrentChanged(const QModelIndex& current);
    void OnListCurrentChanged(const QModelIndex& current);
    void OnListActivated(const QModelIndex& index);
    void ApplyListStyle();
    void RememberColumnWidths();
    const BrowseItem* ItemAt(const QModelIndex& index) const;
    void ShowSign(const QString& path);
    // The record navigator of a sign with a database or data store, else
    // null.
    CRecordNavigator* MakeNavigator();

    CSignData& m_document;
    bool m_initialising = true;
    QElapsedTimer m_scrollSince;
    int m_viewMode = STYLE_LIST;
    int m_sortMode = SORT_NAME;
    int m_columnWidths[4] = {100, 100, 100, 100};
    QString m_folder;
    std::vector<BrowseItem> m_items;

    // The tree's pictures; it outlives the tree's model, whose reader
    // thread asks it.
    std::unique_ptr<QAbstractFileIconProvider> m_folderIcons;
    QFileSystemModel* m_folders = nullptr;
    QTreeView* m_tree = nullptr;
    QStackedWidget* m_list = nullptr;
    QListView* m_icons = nullptr;
    QTreeView* m_details = nullptr;
    QStandardItemModel* m_listModel = nullptr;
    CBrowseInfoPane* m_info = nullptr;

    QPointer<CPrintStationWnd> m_station;
    QPointer<CPrintBatchDlg> m_batch;
    QPointer<QWidget> m_dataView;
    std::unique_ptr<CStationDriver> m_driver;
    std::unique_ptr<CRecordPrintDriver> m_records;
};
