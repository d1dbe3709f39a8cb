// The print front end's main window: the sign browser as its one view, the
// browse tool bar and the print station tool bar, the status bar that names
// the printer and the label stock, and the switch between browsing and data
// entry (the data-entry pane beside or below the print station).
#pragma once

#include "SignApp.h"
#include "SignData.h"
#include "Types.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <map>

class CBrowseView;
class QAction;
class QLabel;
class QSplitter;
class QToolBar;

class CPrintFrame : public QMainWindow
{
    Q_OBJECT

public:
    // The print front end's own commands (the others share the designer's
    // ids).
    enum : int
    {
        ID_VIEW_LARGE_ICONS = 32891,
        ID_VIEW_SMALL_ICONS = 32892,
        ID_VIEW_LIST = 32893,
        ID_VIEW_DETAILS = 32894,
        ID_SIGN_FOLDER = 32895,
        ID_ALL_FILES = 32896,
        ID_SIGNS_ONLY = 32897,
        ID_FIND = 32898,
        ID_UP_ONE_LEVEL = 32890,
        ID_EXPLORER = 32908,
    };
    // Status panes, named "id<pane id>".
    enum : int
    {
        ID_STATUS_PRINTER = 32883,
        ID_STATUS_STOCK = 32885,
        ID_STATUS_3 = 32878,
        ID_STATUS_4 = 32882,
    };

    explicit CPrintFrame(QWidget* parent = nullptr);
    ~CPrintFrame() override;

    // The front end's main window as start-up makes it: a sign named on the
    // command line is browsed to and shown; without one the browser starts
    // at the remembered folder.
    static CSignApp::FrameTemplate Template();

    CSignData& Document() { return m_document; }
    CBrowseView* View() const { return m_view; }

    // Shows the sign at the path in the browser (the command line's sign).
    BOOL OpenSign(const QString& path);

    // The four signs printed last, newest first (kept in the profile);
    // choosing one shows it in the browser. A sign printed through the
    // print station joins the list at once and the profile when the station
    // closes: opening the station does not wait for the disk.
    QStringList RecentFiles() const { return m_recentFiles; }
    void AddToRecentFiles(const QString& path);

    QAction* Action(int id) const;
    // Runs a command when it is enabled; false otherwise.
    bool ExecuteCommand(int id);
    // The enable and check state of every command, from the view's state.
    void UpdateActions();

    void SetStatusPrinter(const QString& text);
    void SetStatusStock(const QString& text);
    // Enters or leaves data-entry mode: greyed menus, the print station
    // tool bar, and the data-entry pane.
    void ShowDataView(bool on);
    bool IsDataEntryMode() const { return m_dataEntryMode; }
    QWidget* DataView() const { return m_dataView; }
    void RecalcPaneSizes();

    QToolBar* BrowseToolBar() const { return m_browseBar; }
    QToolBar* StationToolBar() const { return m_stationBar; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* MakeAction(int id, const QString& text, const QString& tip, std::function<void()> run,
                        bool checkable = false);
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void InstallPrintHooks();
    QString ChooseFile(bool save, const QString& title, const QString& filter,
                       const QString& suggested);
    void ShowStatusNames();
    void OnFileOpen();
    void OnPrintSetup();
    void OnImportZip();
    void OnLogOff();
    void OnSpellingCheck();
    void OnSwitchDocking();
    // The splitter that holds a pane of the data-entry places.
    QSplitter* PaneSplitter(QWidget* pane) const;
    // Puts the pane in the second place of the splitter; returns the pane
    // that was there.
    static QWidget* ReplacePane(QSplitter* splitter, QWidget* pane);
    void LoadRecentFiles();
    void SaveRecentFiles();
    void UpdateRecentFileActions();

    CSignData m_document;
    CBrowseView* m_view = nullptr;
    // The two by two splitter: the browser at (0, 0); (0, 1) and (1, 0)
    // hold the data-entry pane where it is docked, else a CNullView.
    QSplitter* m_rows = nullptr;    // the upper row over the lower row
    QSplitter* m_columns = nullptr; // the view beside the right column
    QWidget* m_dataView = nullptr;
    std::map<int, QAction*> m_actions;
    QToolBar* m_browseBar = nullptr;
    QToolBar* m_stationBar = nullptr;
    QLabel* m_printerPane = nullptr;
    QLabel* m_stockPane = nullptr;
    bool m_dataEntryMode = false;
    QStringList m_recentFiles;
    bool m_recentFilesUnsaved = false;
    bool m_browseBarWasVisible = true;
};
