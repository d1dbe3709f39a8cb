#include "PrintFrame.h"

#include "BrowseInfoPane.h"
#include "BrowseView.h"
#include "Commands.h"
#include "DataCtrl.h"
#include "DataView.h"
#include "NullView.h"
#include "DesignView.h"
#include "ElementList.h"
#include "FileName.h"
#include "KeyboardReturn.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Paper.h"
#include "Preferences.h"
#include "PrintAbortDlg.h"
#include "PrintSetupDlg.h"
#include "PrintStationWnd.h"
#include "Printer.h"
#include "ProfileSession.h"
#include "ReadingHooks.h"
#include "ResourceIds.h"
#include "SignApp.h"
#include "SpellCommands.h"
#include "Strings.h"
#include "UserList.h"
#include "ZipCommands.h"
#include "ui/PreferencesSheet.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

static void InitIcons()
{
    Q_INIT_RESOURCE(icons);
}

CPrintFrame::CPrintFrame(QWidget* parent) : QMainWindow(parent)
{
    InitIcons();
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(CSignApp::GetProgramTitle());

    m_rows = new QSplitter(Qt::Vertical, this);
    m_columns = new QSplitter(Qt::Horizontal, m_rows);
    m_view = new CBrowseView(m_document, m_columns);
    // The browser at the top left; the places of the data-entry pane beside
    // it and below it are empty while it browses.
    m_columns->addWidget(m_view);
    m_columns->addWidget(new CNullView);
    m_rows->addWidget(m_columns);
    m_rows->addWidget(new CNullView);
    setCentralWidget(m_rows);
    m_view->choosePrintFile = [this](const QString& suggested) {
        return ChooseFile(true, LoadStringId(IDS_PRINT_TO_FILE),
                          tr("PDF Files (*.pdf);;All Files (*)"), suggested);
    };

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    InstallPrintHooks();
    // Pictures, stocks and databases that moved are asked for; a long open
    // shows its progress.
    InstallReadingHooks(this);
    // The keyboard comes back to where it was when a box closes.
    new CKeyboardReturn(this);

    connect(m_view, &CBrowseView::statusMessage, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
        ShowStatusNames();
    });
    connect(m_view, &CBrowseView::dataEntryChanged, this, &CPrintFrame::ShowDataView);
    connect(m_view, &CBrowseView::stateChanged, this, &CPrintFrame::UpdateActions);
    connect(m_view, &CBrowseView::dataViewFilled, this, &CPrintFrame::RecalcPaneSizes);
    connect(m_view, &CBrowseView::signPrinted, this, &CPrintFrame::AddToRecentFiles);
    LoadRecentFiles();
    resize(1024, 720);
    m_view->InitialUpdate();
    ShowStatusNames();
    UpdateActions();
}

CPrintFrame::~CPrintFrame()
{
    RemoveReadingHooks(this);
    if (m_view->IsStationOpen())
        m_view->ClosePrintStation();
}

CSignApp::FrameTemplate CPrintFrame::Template()
{
    CSignApp::FrameTemplate t;
    t.create = []() -> QWidget* { return new CPrintFrame; };
    t.openSign = [](QWidget* frame, const QString& path) {
        return static_cast<CPrintFrame*>(frame)->OpenSign(path);
    };
    t.newSign = [](QWidget*) {};
    return t;
}

BOOL CPrintFrame::OpenSign(const QString& path)
{
    if (!m_view->SelectPath(path))
        return FALSE;
    return m_document.GetPathName() == QFileInfo(path).absoluteFilePath();
}

// --- commands ---------------------------------------------------------------

QAction* CPrintFrame::MakeAction(int id, const QString& text, const QString& tip,
                                 std::function<void()> run, bool checkable)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("cmd_%1").arg(id));
    if (!tip.isEmpty()) {
        action->setToolTip(tip);
        action->setStatusTip(tip);
    }
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
        run();
        UpdateActions();
    });
    m_actions[id] = action;
    return action;
}

QAction* CPrintFrame::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

bool CPrintFrame::ExecuteCommand(int id)
{
    UpdateActions();
    QAction* action = Action(id);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

void CPrintFrame::CreateActions()
{
    CBrowseView* v = m_view;
    auto icon = [](const char* name) {
        return QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
    };
    QStyle* s = style();

    MakeAction(ID_FILE_PRINT, tr("&Print..."), tr("Print the sign"), [v] {
        v->OnPrint();
    })->setIcon(icon("print"));
    Action(ID_FILE_PRINT)->setShortcut(QKeySequence::Print);
    MakeAction(ID_FILE_PRINT_SETUP, tr("P&rint Setup..."),
               tr("Change the printer and printing options"), [this] { OnPrintSetup(); });
    MakeAction(ID_IMPORT_ZIP, tr("&Import From Zip..."), tr("Import a sign from a zip file"),
               [this] { OnImportZip(); })
        ->setIcon(icon("importzip"));
    MakeAction(ID_LOG_OFF, tr("Log O&ff..."), tr("Log off and on as another user"),
               [this] { OnLogOff(); });
    MakeAction(ID_APP_EXIT, tr("E&xit"), tr("Quit the program"), [this] { close(); });

    MakeAction(
        ID_VIEW_TOOLBAR, tr("&Toolbar"), tr("Show or hide the toolbar"),
        [this] {
            QToolBar* bar = m_dataEntryMode ? m_stationBar : m_browseBar;
            bar->setVisible(!bar->isVisibleTo(this));
        },
        true);
    MakeAction(
        ID_VIEW_STATUS_BAR, tr("&Status Bar"), tr("Show or hide the status bar"),
        [this] { statusBar()->setVisible(!statusBar()->isVisibleTo(this)); }, true);
    MakeAction(
        ID_VIEW_LARGE_ICONS, tr("Lar&ge Icons"), tr("Show the files as large icons"),
        [v] { v->SetListStyle(CBrowseView::STYLE_LARGE_ICONS); }, true)
        ->setIcon(s->standardIcon(QStyle::SP_FileDialogContentsView));
    MakeAction(
        ID_VIEW_SMALL_ICONS, tr("S&mall Icons"), tr("Show the files as small icons"),
        [v] { v->SetListStyle(CBrowseView::STYLE_SMALL_ICONS); }, true)
        ->setIcon(s->standardIcon(QStyle::SP_FileDialogInfoView));
    MakeAction(
        ID_VIEW_LIST, tr("&List"), tr("Show the files as a list"),
        [v] { v->SetListStyle(CBrowseView::STYLE_LIST); }, true)
        ->setIcon(s->standardIcon(QStyle::SP_FileDialogListView));
    MakeAction(
        ID_VIEW_DETAILS, tr("&Details"), tr("Show the files with their details"),
        [v] { v->SetListStyle(CBrowseView::STYLE_DETAILS); }, true)
        ->setIcon(s->standardIcon(QStyle::SP_FileDialogDetailedView));
    MakeAction(
        ID_ALL_FILES, tr("&All Files"), tr("Show every file of the folder"),
        [v] { v->SetAllFiles(true); }, true);
    MakeAction(
        ID_SIGNS_ONLY, tr("Signs &Only"), tr("Show only the signs of the folder"),
        [v] { v->SetAllFiles(false); }, true);
    MakeAction(
        ID_EXPLORER, tr("&Explorer"), tr("Show or hide the folder tree"),
        [v] { v->ShowTree(!v->IsTreeShown()); }, true);
    MakeAction(
        ID_VIEW_SHADOW, tr("S&hadow"), tr("Show the sign's shadow"),
        [v] {
            CDesignView::s_showShadow = !CDesignView::s_showShadow;
            v->RefreshPreviews();
        },
        true);

    MakeAction(ID_FIND, tr("&Find..."), tr("Find signs"), [v] {
        v->OnFind();
    })->setIcon(s->standardIcon(QStyle::SP_FileDialogContentsView));
    Action(ID_FIND)->setIcon(icon("magnifier"));
    MakeAction(ID_SIGN_FOLDER, tr("Tabrel Folder"), tr("Go to the Tabrel folder."), [v] {
        v->OnSignFolder();
    })->setIcon(s->standardIcon(QStyle::SP_DirHomeIcon));
    MakeAction(ID_UP_ONE_LEVEL, tr("Up One Level"), tr("Up One Level"), [v] {
        v->OnUpOneLevel();
    })->setIcon(s->standardIcon(QStyle::SP_FileDialogToParent));
    MakeAction(ID_PREF_SPELLING, tr("&Spelling..."), tr("Change the spelling options"),
               [this] { SpellingPreferencesSheet(this); });
    MakeAction(ID_HELP, tr("&Help"), tr("Help"), [] {
        CSignApp::WinHelp();
    })->setIcon(icon("help"));

    // The print station's commands.
    MakeAction(
        ID_PREVIEW_SINGLE, tr("Single Sign"), tr("Show one sign"),
        [v] {
            TheSignSettings().sheetPreview = 0;
            if (CPrintStationWnd* station = v->Station())
                station->SetSheetView(false);
        },
        true)
        ->setIcon(icon("single"));
    MakeAction(
        ID_PREVIEW_SHEET, tr("Whole Sheet"), tr("Show the whole sheet"),
        [v] {
            TheSignSettings().sheetPreview = 1;
            if (CPrintStationWnd* station = v->Station())
                station->SetSheetView(true);
        },
        true)
        ->setIcon(icon("sheet"));
    MakeAction(ID_SWITCH_DOCKING, tr("Switch Docking"), tr("Move the data entry to the other side"),
               [this] { OnSwitchDocking(); })
        ->setIcon(icon("docking"));
    MakeAction(ID_SPELLING, tr("Spelling Check"), tr("Check the spelling of the data"), [this] {
        OnSpellingCheck();
    })->setIcon(icon("spelling"));
    // Getting Started's "Open an Existing Sign Design": the open box, and
    // the sign chosen shown in the browser.
    MakeAction(ID_FILE_OPEN, tr("&Open..."), tr("Open a sign"), [this] { OnFileOpen(); });
    for (int i = 0; ID_FILE_MRU_FIRST + i <= ID_FILE_MRU_LAST; ++i) {
        MakeAction(ID_FILE_MRU_FIRST + i, tr("Recent File"), QString(), [this, i] {
            // The sign is shown in the browser, not opened for design.
            if (i < m_recentFiles.size())
                m_view->SelectPath(m_recentFiles[i]);
        });
    }
    MakeAction(ID_RECORD_PRINT_ALL, tr("Print All"), tr("Print one sign for every record"), [v] {
        v->OnPrintAllRecords();
    })->setIcon(icon("database"));
    MakeAction(ID_DATA_CANCEL, tr("Cancel"), tr("Leave data entry"), [v] {
        v->ClosePrintStation();
    })->setIcon(s->standardIcon(QStyle::SP_DialogCancelButton));
}

void CPrintFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(Action(ID_FILE_PRINT));
    file->addAction(Action(ID_FILE_PRINT_SETUP));
    file->addSeparator();
    file->addAction(Action(ID_IMPORT_ZIP));
    file->addSeparator();
    for (int id = ID_FILE_MRU_FIRST; id <= ID_FILE_MRU_LAST; ++id)
        file->addAction(Action(id));
    file->addSeparator();
    file->addAction(Action(ID_LOG_OFF));
    file->addAction(Action(ID_APP_EXIT));
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(Action(ID_VIEW_TOOLBAR));
    view->addAction(Action(ID_VIEW_STATUS_BAR));
    view->addSeparator();
    for (int id : {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST, ID_VIEW_DETAILS})
        view->addAction(Action(id));
    view->addSeparator();
    view->addAction(Action(ID_ALL_FILES));
    view->addAction(Action(ID_SIGNS_ONLY));
    view->addSeparator();
    view->addAction(Action(ID_EXPLORER));
    view->addAction(Action(ID_VIEW_SHADOW));
    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(Action(ID_FIND));
    tools->addAction(Action(ID_PREF_SPELLING));
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(Action(ID_HELP));
}

void CPrintFrame::CreateToolBars()
{
    auto make = [this](const QString& title, const QString& name, std::initializer_list<int> ids) {
        QToolBar* bar = addToolBar(title);
        bar->setObjectName(name);
        bar->setIconSize(QSize(20, 20));
        for (int id : ids) {
            if (id == 0)
                bar->addSeparator();
            else
                bar->addAction(Action(id));
        }
        return bar;
    };
    m_browseBar =
        make(tr("Browse"), QStringLiteral("browseToolBar"),
             {ID_UP_ONE_LEVEL, 0, ID_SIGN_FOLDER, 0, ID_FIND, 0, ID_VIEW_LARGE_ICONS,
              ID_VIEW_SMALL_ICONS, ID_VIEW_LIST, ID_VIEW_DETAILS, 0, ID_IMPORT_ZIP, 0, ID_HELP});
    m_stationBar = make(tr("Print Station"), QStringLiteral("stationToolBar"),
                        {ID_PREVIEW_SINGLE, ID_PREVIEW_SHEET, ID_SWITCH_DOCKING, 0, ID_SPELLING, 0,
                         ID_RECORD_PRINT_ALL, ID_DATA_CANCEL});
    m_stationBar->hide();
}

void CPrintFrame::CreateStatusBar()
{
    auto pane = [this](int id, int width) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("id%1").arg(id));
        label->setMinimumWidth(width);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(label);
        return label;
    };
    m_printerPane = pane(ID_STATUS_PRINTER, 200);
    m_stockPane = pane(ID_STATUS_STOCK, 200);
    m_stockPane->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pane(ID_STATUS_3, 80);
    pane(ID_STATUS_4, 40);
}

void CPrintFrame::SetStatusPrinter(const QString& text)
{
    m_printerPane->setText(text);
}

void CPrintFrame::SetStatusStock(const QString& text)
{
    m_stockPane->setText(text);
}

void CPrintFrame::ShowStatusNames()
{
    CPrinter& printer = ThePrinter();
    printer.EnsurePrinter();
    SetStatusPrinter(printer.ApplicationPrinterName());
    SetStatusStock(ThePaper().GetPaperName());
}

void CPrintFrame::UpdateActions()
{
    const CBrowseView* v = m_view;
    const bool station = v->IsStationOpen();
    const bool tree = v->IsTreeShown();
    const int style = v->ViewModeWord() & CBrowseView::STYLE_MASK;
    const bool all = (v->ViewModeWord() & CBrowseView::VIEW_ALL_FILES) != 0;
    const bool signLoaded = !m_document.GetPathName().isEmpty();
    auto set = [this](int id, bool enabled, int checked = -1) {
        if (QAction* action = Action(id)) {
            action->setEnabled(enabled);
            if (checked >= 0)
                action->setChecked(checked != 0);
        }
    };
    set(ID_FILE_PRINT, signLoaded && !station);
    set(ID_FILE_PRINT_SETUP, true);
    set(ID_FILE_OPEN, !station);
    set(ID_IMPORT_ZIP, !station);
    set(ID_LOG_OFF, CUserList::Current().IsLogOnEnabled() != 0);
    // The bars as they show once the window does (before it is first shown
    // too).
    set(ID_VIEW_TOOLBAR, true, (station ? m_stationBar : m_browseBar)->isVisibleTo(this));
    set(ID_VIEW_STATUS_BAR, true, statusBar()->isVisibleTo(this));
    set(ID_VIEW_LARGE_ICONS, !station, style == CBrowseView::STYLE_LARGE_ICONS);
    set(ID_VIEW_SMALL_ICONS, !station, style == CBrowseView::STYLE_SMALL_ICONS);
    set(ID_VIEW_LIST, !station, style == CBrowseView::STYLE_LIST);
    set(ID_VIEW_DETAILS, !station, style == CBrowseView::STYLE_DETAILS);
    set(ID_ALL_FILES, !station, all);
    set(ID_SIGNS_ONLY, !station, !all);
    set(ID_EXPLORER, !station, tree);
    set(ID_VIEW_SHADOW, true, CDesignView::s_showShadow);
    set(ID_FIND, tree && !station);
    set(ID_SIGN_FOLDER, tree && !station);
    set(ID_UP_ONE_LEVEL, v->CanGoUp() && !station);
    set(ID_PREF_SPELLING, !station);
    set(ID_HELP, true);
    set(ID_PREVIEW_SINGLE, station, station && !v->Station()->IsSheetView());
    const CPaperStock* stock = ThePaper().Current();
    const bool sheet = stock && stock->columns * stock->rows > 1;
    set(ID_PREVIEW_SHEET, station && sheet, station && v->Station()->IsSheetView());
    set(ID_SWITCH_DOCKING, station && m_dataView);
    set(ID_SPELLING, station && v->DataView());
    set(ID_RECORD_PRINT_ALL, v->CanPrintAllRecords());
    set(ID_DATA_CANCEL, station);
    for (int i = 0; ID_FILE_MRU_FIRST + i <= ID_FILE_MRU_LAST; ++i)
        set(ID_FILE_MRU_FIRST + i, !station && i < m_recentFiles.size());
}

// --- recent files -----------------------------------------------------------

void CPrintFrame::LoadRecentFiles()
{
    m_recentFiles = LoadRecentFileList();
    UpdateRecentFileActions();
}

void CPrintFrame::AddToRecentFiles(const QString& path)
{
    // The sign printed again is already first: the list and the profile
    // stay as they are.
    if (path.isEmpty() || !PutFirstInRecentFileList(m_recentFiles, path))
        return;
    m_recentFilesUnsaved = true;
    if (!m_view->IsStationOpen())
        SaveRecentFiles();
    UpdateRecentFileActions();
    UpdateActions();
}

void CPrintFrame::SaveRecentFiles()
{
    if (!m_recentFilesUnsaved)
        return;
    m_recentFilesUnsaved = false;
    SaveRecentFileList(m_recentFiles);
}

void CPrintFrame::UpdateRecentFileActions()
{
    ShowRecentFileList(
        m_recentFiles, [this](int id) { return Action(id); }, QFontMetrics(font()), false);
}

// --- data entry -------------------------------------------------------------

void CPrintFrame::ShowDataView(bool on)
{
    if (on == m_dataEntryMode)
        return;
    const QList<QAction*> menus = menuBar()->actions();
    if (on) {
        EnableMenus(menuBar(), menus, false);
        m_browseBarWasVisible = m_browseBar->isVisibleTo(this);
        m_browseBar->hide();
        m_stationBar->show();
        const CFrameHooks& hooks = FrameHooks();
        m_dataView = hooks.createDataView ? hooks.createDataView() : new CDataView;
        m_view->SetDataView(qobject_cast<CDataView*>(m_dataView));
        if (m_dataView) {
            // Docked below, the browser's column keeps its empty pane.
            if (TheSignSettings().dataViewDocking == 3)
                delete ReplacePane(m_rows, m_dataView);
            else
                delete ReplacePane(m_columns, m_dataView);
            m_dataView->show();
        }
        m_dataEntryMode = true;
    } else {
        EnableMenus(menuBar(), menus, true);
        m_stationBar->hide();
        if (m_browseBarWasVisible)
            m_browseBar->show();
        m_view->SetDataView(nullptr);
        if (m_dataView)
            ReplacePane(PaneSplitter(m_dataView), new CNullView);
        delete m_dataView;
        m_dataView = nullptr;
        m_dataEntryMode = false;
        SaveRecentFiles();
    }
    RecalcPaneSizes();
    UpdateActions();
}

QSplitter* CPrintFrame::PaneSplitter(QWidget* pane) const
{
    return pane->parentWidget() == m_rows ? m_rows : m_columns;
}

QWidget* CPrintFrame::ReplacePane(QSplitter* splitter, QWidget* pane)
{
    // The second place of either splitter: (0, 1) of the columns, (1, 0) of
    // the rows. The pane taken out is the caller's.
    return splitter->replaceWidget(1, pane);
}

void CPrintFrame::OnSwitchDocking()
{
    int& side = TheSignSettings().dataViewDocking;
    side = side == 2 ? 3 : 2;
    if (m_dataView) {
        ReplacePane(PaneSplitter(m_dataView), new CNullView);
        delete ReplacePane(side == 3 ? m_rows : m_columns, m_dataView);
        m_dataView->show();
        if (auto* data = qobject_cast<CDataView*>(m_dataView))
            data->RecalcLayout(side);
    }
    RecalcPaneSizes();
}

void CPrintFrame::RecalcPaneSizes()
{
    const int w = m_rows->width();
    const int h = m_rows->height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_dataEntryMode || !m_dataView) {
        m_columns->setSizes({w, 0});
        m_rows->setSizes({h, 0});
        return;
    }
    // The pane asks for the size of its rows and bars once they are made;
    // the browser keeps what is left.
    const QSize form = m_dataView->sizeHint().expandedTo(m_dataView->minimumSizeHint());
    if (m_dataView->parentWidget() == m_columns) {
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 1;
        const int column = std::min(form.width() + scrollBar, w - m_columns->handleWidth());
        m_columns->setSizes({w - m_columns->handleWidth() - column, column});
        m_rows->setSizes({h, 0});
    } else {
        const int row = std::min(form.height(), h - m_rows->handleWidth());
        m_columns->setSizes({w, 0});
        m_rows->setSizes({h - m_rows->handleWidth() - row, row});
    }
    if (CPrintStationWnd* station = m_view->Station())
        station->FitToParent();
}

void CPrintFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    RecalcPaneSizes();
}

// --- the other commands ---------------------------------------------------

void CPrintFrame::InstallPrintHooks()
{
    // Jobs show the Printing window; the virtual printer asks for its file.
    InstallPrintWindow();
    CPrinter::s_choosePrintFile = [frame = QPointer<CPrintFrame>(this)](const QString& suggested) {
        return frame ? frame->ChooseFile(true, LoadStringId(IDS_PRINT_TO_FILE),
                                         tr("PDF Files (*.pdf);;All Files (*)"), suggested)
                     : QString();
    };
    CPrinter::s_printerSetupDialog = [frame = QPointer<CPrintFrame>(this)] {
        return PrinterSetup(frame) == QDialog::Accepted ? 1 : 0;
    };
}

QString CPrintFrame::ChooseFile(bool save, const QString& title, const QString& filter,
                                const QString& suggested)
{
    CFileChoice choice;
    choice.save = save;
    choice.title = title;
    choice.filter = filter;
    choice.suggested = suggested;
    if (save && filter.contains(QLatin1String("*.pdf")))
        choice.defaultSuffix = QStringLiteral("pdf");
    if (FrameHooks().chooseFile)
        return FrameHooks().chooseFile(this, choice);
    return save ? QFileDialog::getSaveFileName(this, title, suggested, filter)
                : QFileDialog::getOpenFileName(this, title, suggested, filter);
}

void CPrintFrame::OnFileOpen()
{
    if (m_view->IsStationOpen())
        return;
    QString& lastFolder = CShellSettings::Current().lastTemplateFolder;
    const QString suggested = lastFolder.isEmpty() ? m_view->CurrentFolder() : lastFolder;
    const QString path = ChooseFile(
        false, tr("Open"), QStringLiteral("Tabrel Files (*.sgn);;All Files (*)"), suggested);
    if (path.isEmpty() || !m_view->SelectPath(path))
        return;
    if (m_document.GetPathName() == QFileInfo(path).absoluteFilePath())
        lastFolder = CFileName(path).GetFolder(true);
}

void CPrintFrame::OnPrintSetup()
{
    CPrinter& printer = ThePrinter();
    if (!printer.PrinterSetup())
        return;
    // The sign shown is laid out again for the printer: barcodes lay their
    // bars on its dots.
    TheElementList().OnPrinterChanged(&printer);
    m_view->RefreshPreviews();
    ShowStatusNames();
}

void CPrintFrame::OnImportZip()
{
    // The package's sign is shown in the browser, in its new folder.
    const QString sign = ImportZipWithDialogs(this, m_view->CurrentFolder());
    if (!sign.isEmpty())
        m_view->SelectPath(sign);
}

void CPrintFrame::OnSpellingCheck()
{
    CheckDataEntrySpelling(m_view->DataView());
}

void CPrintFrame::OnLogOff()
{
    if (!CUserList::Current().LogOn(TRUE, this))
        QTimer::singleShot(0, this, &QWidget::close);
}

void CPrintFrame::closeEvent(QCloseEvent* event)
{
    if (m_view->IsStationOpen())
        m_view->ClosePrintStation();
    m_view->SaveSettings();
    event->accept();
}
