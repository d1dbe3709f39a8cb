// The designer's main window: menus, four toolbars and a status bar built
// from the command table, the canvas beside the property pane of the
// selected element, the data-entry pane of print time, the sign document
// with its file commands and recent files, and dropped files.
#pragma once

#include "Commands.h"
#include "SignData.h"
#include "Types.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

class CElement;
class QAction;
class QFontMetrics;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollArea;
class QSplitter;
class QTimer;
class QToolBar;

// A file dialog as the frame asks for it.
struct CFileChoice
{
    bool save = false;
    QString title;
    QString filter;        // Qt form: "Tabrel Files (*.sgn);;All Files (*)"
    QString defaultSuffix; // without the dot
    QString suggested;     // a path or a folder to start in
    bool signPreview = false; // the box previews the sign in the file under the cursor
    // The box lets several files be chosen at once; the answer then holds
    // their paths, one a line.
    bool multiple = false;
};

// A filter of the form "Text (*.txt)|*.txt|All Files (*.*)|*.*||" in Qt's
// form; "*.*" becomes "*" so that names without a dot show too.
QString QtFilterOf(const QString& pairs);

// Returns the chosen path, or an empty text when the user cancelled.
using FileChooser = std::function<QString(QWidget* parent, const CFileChoice& choice)>;

// Makes the property pane for an element (never null: the sign settings
// pane is asked for with null); the pane is given the element before it is
// shown. A null result means the pane could not be made.
using PaneCreator = std::function<QWidget*(CElement* element)>;

// What the rest of the program sets for the frame.
struct CFrameHooks
{
    // From the branding file: the web menu item's text and its address.
    // Empty texts keep the item's own text and the built-in address.
    QString webMenuText;
    QString webAddress;
    // Every file dialog of the frame goes through this when set.
    FileChooser chooseFile;
    // The folder the open and save dialogs start in when the sign has none.
    std::function<QString()> signFolder;
    // Tells a table that one of its cells is, or no longer is, the cell
    // whose pane is shown.
    std::function<void(CElement* cell, bool current)> markTableCell;
    // The data-entry pane of print time; a placeholder while unset.
    std::function<QWidget*()> createDataView;
};

CFrameHooks& FrameHooks();

// The recent files both frames keep in the profile: the paths in order, each
// once, empty places passed over.
QStringList LoadRecentFileList();
// Writes the whole list in one write of the profile; the places past its end
// are emptied.
void SaveRecentFileList(const QStringList& files);
// Puts the full path of a file first in the list, which keeps its length:
// false when it was first already (the list is left as it is).
bool PutFirstInRecentFileList(QStringList& files, const QString& path);
// Shows the list on the numbered recent-file items of the File menu (action
// gives the item of a command id), each path elided in the middle to fit;
// homeAsTilde shortens the home folder to "~". An empty list shows one
// placeholder item. Whether an item is enabled is the frame's command state.
void ShowRecentFileList(const QStringList& files, const std::function<QAction*(int id)>& action,
                        const QFontMetrics& metrics, bool homeAsTilde);

// Greys (on false) or lights the menus of the bar; the bar lays its items
// out once for all of them, not once a menu.
void EnableMenus(QMenuBar* bar, const QList<QAction*>& menus, bool on);

class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // --- the sign -------------------------------------------------------
    CSignData& Document() { return m_document; }
    // An empty, untitled sign; asks nothing.
    void NewSign();
    // Reads a sign; FALSE (after telling the user) when it cannot be read,
    // and the frame then shows a new untitled sign. Asks nothing.
    BOOL OpenSign(const QString& path);
    // File Save and Save As; FALSE when cancelled or not written.
    BOOL SaveSign();
    BOOL SaveSignAs();
    // Asks whether to save a modified sign; FALSE when the user cancels or
    // the save failed.
    BOOL SaveModified();
    // Shows the window in front, restored when it was minimised.
    void RestoreAndRaise();
    // "<sign name> - <program title>".
    void UpdateTitle();

    // --- recent files (four, kept in the profile) ----------------------
    QStringList RecentFiles() const { return m_recentFiles; }
    void AddToRecentFiles(const QString& path);
    void OpenRecentFile(int index);

    // --- commands --------------------------------------------------------
    QAction* Action(int id) const;
    // Schedules one refresh of every action's enabled and checked state;
    // calls in a row give one refresh.
    void updateActions();
    void UpdateActionsNow();
    // Offers the command to the frame, the canvas, the pane and the other
    // targets in turn; false when nobody took it or it is disabled.
    bool ExecuteCommand(int id);
    // Whether some target in the chain carries the command out.
    bool IsCommandHandled(int id) const;
    // The command state that the enable and check rules read now.
    CCommandState CurrentCommandState() const;
    // Targets after the pane (the program object, for instance).
    void AddCommandTarget(CCommandTarget* target);
    void RemoveCommandTarget(CCommandTarget* target);
    // The canvas widget in the upper-left place; the frame owns it. When it
    // is a CCommandTarget it takes the commands after the frame.
    void SetCanvas(QWidget* canvas);
    QWidget* Canvas() const { return m_canvas; }

    // --- property pane -----------------------------------------------
    // Shows the pane for the element's type code (none: the sign settings
    // pane), recording one undo snapshot of the element. FALSE when the pane
    // could not be made.
    BOOL SwitchElementView(CElement* element);
    // Builds the shown element's pane again.
    void RefreshElementView();
    // The shown pane reads its element's values again (after the canvas
    // moved, sized or turned the element); nothing is recorded for undo.
    void RefreshPaneValues();
    CElement* ShownElement() const { return m_shownElement; }
    QWidget* PropertyPane() const;
    // The form shown in the right column: 361 sign settings, 364 data entry,
    // else the element pane's number.
    int PaneFormId() const { return m_paneFormId; }
    // The pane makers by type code; every type without one shows a labelled
    // placeholder. A null creator removes the entry.
    static void RegisterPaneCreator(int typeCode, PaneCreator creator);
    static void SetSettingsPaneCreator(PaneCreator creator);
    // How a shown pane is told to read its values again; set together with
    // the pane makers.
    static void SetPaneRefresher(std::function<void(QWidget* pane)> refresher);

    // --- data entry -------------------------------------------------------
    void ShowDataView(bool on);
    bool IsDataEntryMode() const { return m_dataEntryMode; }
    QWidget* DataView() const { return m_dataView; }
    // Moves the data-entry pane to the other side and marks the sign
    // modified (the side is stored with the sign).
    void OnSwitchDocking();
    // Sizes the right column to its form and the lower row to the
    // data-entry pane when it is docked there.
    void RecalcPaneSizes();

    // --- status bar --------------------------------------------------------
    // A position in tenths of a millimetre, shown in millimetres or inches.
    void SetStatusPosition(int x, int y);
    void SetStatusZoom(int percent);
    // The Select button shown as not pressed (the canvas lost the focus);
    // it shows pressed again by its rule once the canvas has the focus back.
    void UncheckSelectTool();
    void RecheckSelectTool();
    // Help mode (Shift+F1): the next click in the window opens help on what
    // it hits; Escape leaves it.
    bool InHelpMode() const { return m_helpMode; }
    void EndHelpMode();

    // The toolbars and panes as the tests and screenshots find them.
    QToolBar* MainToolBar() const { return m_mainBar; }
    QToolBar* DataEntryToolBar() const { return m_dataEntryBar; }
    QToolBar* DrawToolBar() const { return m_drawBar; }
    QToolBar* LayoutToolBar() const { return m_layoutBar; }

    // The web address the web menu item opens.
    static QString WebAddress();

signals:
    // After File New and after every successful open: the sign was replaced.
    void signReset();
    // After a sign was opened or saved under a path.
    void signOpened(const QString& path);
    void signSaved(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class CFrameTarget;
    friend class CFrameTarget;

    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void CreateClient();
    QToolBar* MakeToolBar(const QString& title, const QString& name,
                          const std::vector<int>& buttons);

    bool FrameHandles(int id) const;
    bool FrameCommand(int id);
    std::vector<CCommandTarget*> Targets() const;
    void FillFrameState(CCommandState& state) const;
    bool IsCommandEnabled(const CCommandInfo& info, const CCommandState& state,
                          const std::vector<CCommandTarget*>& targets) const;

    void OnFileNew();
    void OnFileOpen();
    void OnExportText();
    void OnWebPage();
    void ToggleBar(QWidget* bar);
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void UpdateRecentFileActions();
    QString ChooseFile(const CFileChoice& choice);
    // Printing and the sign's own dialogs (MainFramePrint.cpp).
    void InstallPrintHooks();
    void OnFilePrint();
    void OnPrintSetup();
    void OnSignProperties();
    void OnHeaderFooter();
    // The "Print to File" box; empty when the user cancelled.
    QString ChoosePrintFile(const QString& suggested);
    QString SignName() const;

    static bool TakesTheWholeSign(int id);
    void PutDownWaitingElement();
    QWidget* TakePane();
    void SetPane(QWidget* pane);
    void SetLowerRow(QWidget* widget);

    CSignData m_document;
    std::unique_ptr<CFrameTarget> m_frameTarget;
    std::map<int, QAction*> m_actions;
    std::vector<CCommandTarget*> m_extraTargets;
    QTimer* m_updateTimer = nullptr;
    std::vector<QMenu*> m_menus;
    QStringList m_recentFiles;

    QToolBar* m_mainBar = nullptr;
    QToolBar* m_dataEntryBar = nullptr;
    QToolBar* m_drawBar = nullptr;
    QToolBar* m_layoutBar = nullptr;
    QLabel* m_messagePane = nullptr;
    QLabel* m_positionPane = nullptr;
    QLabel* m_zoomPane = nullptr;

    QSplitter* m_splitter = nullptr; // the upper row over the lower row
    QSplitter* m_upperRow = nullptr; // the canvas beside the right column
    QWidget* m_canvas = nullptr;
    QScrollArea* m_rightColumn = nullptr;
    QScrollArea* m_lowerRow = nullptr;
    QWidget* m_dataView = nullptr;
    QPointer<QWidget> m_settingsPane; // the sign's settings, hidden while data is entered

    bool m_panesCreated = false;
    bool m_dataEntryMode = false;
    bool m_selectToolReleased = false;
    bool m_helpMode = false;
    bool m_swallowRelease = false;
    CElement* m_shownElement = nullptr;
    int m_paneFormId = 361;
    bool m_barsBeforeDataEntry[3] = {true, true, true};
};
