#include "MainFrame.h"

#include "AppContext.h"
#include "DataView.h"
#include "DatabaseCommands.h"
#include "DesignView.h"
#include "ElementList.h"
#include "FilterCommands.h"
#include "Grid.h"
#include "Helpers.h"
#include "KeyboardReturn.h"
#include "Messages.h"
#include "NullView.h"
#include "Paper.h"
#include "PriceFormatList.h"
#include "PriceCommands.h"
#include "PrintCommands.h"
#include "ProfileSession.h"
#include "ReadingHooks.h"
#include "ui/MissingFileDlg.h"
#include "ui/SignSelect.h"
#include "PreferenceCommands.h"
#include "ui/AboutDlg.h"
#include "DataStoreCommands.h"
#include "SpellCommands.h"
#include "ZipCommands.h"
#include "SignApp.h"
#include "UndoHistory.h"
#include "WaitCursor.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

// The toolbar pictures live in a resource file of a static library: they
// are registered explicitly, once.
static void InitIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

namespace {

const QString kBuiltInWebAddress = QStringLiteral("https://www.corvane.com/");
const QString kRecentSection = QStringLiteral("Recent File List");
const QString kSignFilter = QStringLiteral("Tabrel Files (*.sgn);;All Files (*)");
constexpr int kRecentFileCount = ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1;
constexpr int kIconSize = 20;

// Form numbers of the panes.
constexpr int kSettingsForm = 361;
constexpr int kDataEntryForm = 364;

struct PaneKind
{
    int typeCode;
    int formId;
    const char* title;
};

// The element panes by type code. OLE objects (7) and unknown codes have
// none: they show the sign settings.
constexpr PaneKind kPaneKinds[] = {
    {TYPE_LINE, 369, "Line"},         {TYPE_BOX, 370, "Box"},       {TYPE_ELLIPSE, 370, "Ellipse"},
    {TYPE_TEXT, 371, "Text"},         {TYPE_PRICE, 375, "Price"},   {TYPE_PICTURE, 378, "Picture"},
    {TYPE_BARCODE, 381, "Barcode"},   {TYPE_SYMBOL, 387, "Symbol"}, {TYPE_TABLE, 388, "Table"},
    {TYPE_ARC_TEXT, 389, "Arc Text"},
};

const PaneKind* FindPaneKind(int typeCode)
{
    for (const PaneKind& kind : kPaneKinds) {
        if (kind.typeCode == typeCode)
            return &kind;
    }
    return nullptr;
}

std::map<int, PaneCreator>& PaneCreators()
{
    static std::map<int, PaneCreator> creators;
    return creators;
}

PaneCreator& SettingsPaneCreator()
{
    static PaneCreator creator;
    return creator;
}

std::function<void(QWidget*)>& PaneRefresher()
{
    static std::function<void(QWidget*)> refresher;
    return refresher;
}

// A pane that stands in for one not built yet: a heading and a line of text.
QWidget* MakePlaceholderPane(int formId, const QString& heading, const QString& text)
{
    auto* pane = new QWidget;
    pane->setObjectName(QStringLiteral("id%1").arg(formId));
    pane->setMinimumWidth(240);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(12, 12, 12, 12);
    auto* title = new QLabel(heading, pane);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    title->setFont(font);
    layout->addWidget(title);
    auto* body = new QLabel(text, pane);
    body->setWordWrap(true);
    layout->addWidget(body);
    layout->addStretch(1);
    return pane;
}

// The size a form asks for.
QSize FormSize(const QWidget* form)
{
    if (!form)
        return QSize(0, 0);
    return form->sizeHint().expandedTo(form->minimumSizeHint()).expandedTo(form->minimumSize());
}

QString DefaultChooseFile(QWidget* parent, const CFileChoice& choice)
{
    if (choice.signPreview) {
        CSignSelect box(parent, !choice.save, choice.suggested);
        if (box.exec() != QDialog::Accepted)
            return QString();
        return box.GetPathName();
    }
    QFileDialog dialog(parent, choice.title, choice.suggested, choice.filter);
    dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!choice.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(choice.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

// A file chosen in place of a sign that moved must be a sign: it starts
// with a file version this program reads.
QString SignFileCheck(const QString& path)
{
    QFile file(path);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly))
        head = file.read(4);
    if (head.size() == 4) {
        const quint32 version = quint32(quint8(head[0])) | quint32(quint8(head[1])) << 8 |
                                quint32(quint8(head[2])) << 16 | quint32(quint8(head[3])) << 24;
        if (version >= quint32(CSignData::kOldestVersion) &&
            version <= quint32(CSignData::kNewestVersion))
            return QString();
    }
    return QObject::tr("it is not a sign");
}

// The text export's folder: remembered while the program runs.
QString& ExportFolder()
{
    static QString folder;
    return folder;
}

} // namespace

CFrameHooks& FrameHooks()
{
    static CFrameHooks hooks;
    return hooks;
}

// The frame's own link of the command chain.
class CMainFrame::CFrameTarget : public CCommandTarget
{
public:
    explicit CFrameTarget(CMainFrame* frame) : m_frame(frame) {}
    bool HandlesCommand(int id) const override { return m_frame->FrameHandles(id); }
    bool OnCommand(int id) override { return m_frame->FrameCommand(id); }
    void FillCommandState(CCommandState& state) const override { m_frame->FillFrameState(state); }

private:
    CMainFrame* m_frame;
};

// A filter of the form "Text (*.txt)|*.txt|All Files (*.*)|*.*||" in Qt's
// form; "*.*" becomes "*" so that names without a dot show too.
QString QtFilterOf(const QString& pairs)
{
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        if (description.isEmpty())
            break;
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        const qsizetype open = description.indexOf(u'(');
        if (open >= 0)
            description = description.left(open).trimmed();
        filters << description + QStringLiteral(" (") + patterns + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_frameTarget(std::make_unique<CFrameTarget>(this))
{
    InitIconResources();
    setObjectName(QStringLiteral("mainFrame"));
    setAcceptDrops(true);
    setDockNestingEnabled(false);

    m_updateTimer = new QTimer(this);
    m_updateTimer->setSingleShot(true);
    m_updateTimer->setInterval(0);
    connect(m_updateTimer, &QTimer::timeout, this, &CMainFrame::UpdateActionsNow);

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    CreateClient();
    LoadRecentFiles();
    InstallPrintHooks();
    InstallReadingHooks(this);
    new CPrintCommands(this); // joins the command chain
    new CPriceCommands(this);
    new CSpellCommands(this);
    new CDatabaseCommands(this);
    new CZipCommands(this);
    new CDataStoreCommands(this);
    new CFilterCommands(this);
    new CPreferenceCommands(this);

    resize(1024, 720);
    SwitchElementView(nullptr);
    UpdateTitle();
    UpdateActionsNow();

    qApp->installEventFilter(this);
    new CKeyboardReturn(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { updateActions(); });
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { updateActions(); });
}

CMainFrame::~CMainFrame()
{
    EndHelpMode();
    RemoveReadingHooks(this);
    qApp->removeEventFilter(this);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        QObject::disconnect(clipboard, nullptr, this, nullptr);
    m_updateTimer->stop();
    // The panes point at elements of the sign: they go first.
    delete m_rightColumn->takeWidget();
    delete m_lowerRow->takeWidget();
    delete m_settingsPane;
    m_dataView = nullptr;
}

// --- building ---------------------------------------------------------------

void CMainFrame::CreateActions()
{
    for (const CCommandInfo& info : AllCommands()) {
        auto* action = new QAction(QString::fromUtf8(info.text), this);
        action->setObjectName(QStringLiteral("cmd_%1").arg(info.id));
        action->setStatusTip(QString::fromUtf8(info.prompt));
        QString tip = CommandTip(info);
        if (info.shortcut) {
            const QKeySequence keys(QString::fromLatin1(info.shortcut), QKeySequence::PortableText);
            action->setShortcut(keys);
            tip += QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + u')';
        }
        action->setToolTip(tip);
        if (info.icon)
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(info.icon))));
        action->setIconVisibleInMenu(false);
        action->setCheckable(info.checked != nullptr);
        action->setEnabled(false);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] {
            ExecuteCommand(id);
            UpdateActionsNow();
        });
        // Every command answers its shortcut, also those on no menu.
        addAction(action);
        m_actions[id] = action;
    }
}

void CMainFrame::CreateMenus()
{
    QMenu* top = nullptr;
    QMenu* sub = nullptr;
    for (const CMenuEntry& entry : MenuLayout()) {
        if (entry.depth == 0) {
            top = menuBar()->addMenu(QString::fromUtf8(entry.title));
            connect(top, &QMenu::aboutToShow, this, &CMainFrame::UpdateActionsNow);
            m_menus.push_back(top);
            sub = nullptr;
            continue;
        }
        QMenu* menu = entry.depth == 1 ? top : sub;
        if (!menu)
            continue;
        if (entry.title) {
            sub = menu->addMenu(QString::fromUtf8(entry.title));
            continue;
        }
        if (entry.id == 0) {
            menu->addSeparator();
        } else if (entry.id == ID_FILE_MRU_FIRST) {
            for (int i = 0; i < kRecentFileCount; ++i)
                menu->addAction(Action(ID_FILE_MRU_FIRST + i));
        } else if (QAction* action = Action(entry.id)) {
            menu->addAction(action);
        }
    }
}

QToolBar* CMainFrame::MakeToolBar(const QString& title, const QString& name,
                                  const std::vector<int>& buttons)
{
    auto* bar = new QToolBar(title, this);
    bar->setObjectName(name);
    bar->setIconSize(QSize(kIconSize, kIconSize));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setFloatable(true);
    bar->setMovable(true);
    for (int id : buttons) {
        if (id == 0)
            bar->addSeparator();
        else if (QAction* action = Action(id))
            bar->addAction(action);
    }
    return bar;
}

void CMainFrame::CreateToolBars()
{
    m_mainBar = MakeToolBar(tr("Main"), QStringLiteral("mainToolBar"), MainToolBarButtons());
    m_dataEntryBar = MakeToolBar(tr("Data Entry"), QStringLiteral("dataEntryToolBar"),
                                 DataEntryToolBarButtons());
    m_drawBar = MakeToolBar(tr("Draw"), QStringLiteral("drawToolBar"), DrawToolBarButtons());
    m_layoutBar =
        MakeToolBar(tr("Layout"), QStringLiteral("layoutToolBar"), LayoutToolBarButtons());
    addToolBar(Qt::TopToolBarArea, m_mainBar);
    addToolBar(Qt::TopToolBarArea, m_dataEntryBar);
    addToolBar(Qt::LeftToolBarArea, m_drawBar);
    addToolBar(Qt::RightToolBarArea, m_layoutBar);
    m_dataEntryBar->hide();
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    m_messagePane = new QLabel(tr("Ready"), bar);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_messagePane, 1);

    const QFontMetrics metrics(bar->font());
    auto makePane = [&](int id, const QString& widest, int leastWidth) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("id%1").arg(id));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(std::max(leastWidth, metrics.horizontalAdvance(widest) + 12));
        bar->addPermanentWidget(pane);
        return pane;
    };
    m_positionPane = makePane(ID_STATUS_POSITION, QStringLiteral("-0000.00,-0000.00"), 80);
    m_zoomPane = makePane(ID_STATUS_ZOOM, QStringLiteral("1000%"), 40);
}

void CMainFrame::CreateClient()
{
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_upperRow = new QSplitter(Qt::Horizontal, m_splitter);
    m_upperRow->setObjectName(QStringLiteral("upperRow"));

    auto* canvas = new QWidget;
    canvas->setObjectName(QStringLiteral("canvas"));
    canvas->setAutoFillBackground(true);
    QPalette palette = canvas->palette();
    palette.setColor(QPalette::Window, QColor(0xA0, 0xA4, 0xA8));
    canvas->setPalette(palette);
    m_canvas = canvas;
    m_upperRow->addWidget(m_canvas);

    auto makeArea = [](const QString& name) {
        auto* area = new QScrollArea;
        area->setObjectName(name);
        area->setWidgetResizable(true);
        area->setFrameShape(QFrame::NoFrame);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return area;
    };
    m_rightColumn = makeArea(QStringLiteral("rightColumn"));
    m_upperRow->addWidget(m_rightColumn);
    m_upperRow->setCollapsible(0, false);
    m_upperRow->setStretchFactor(0, 1);

    m_lowerRow = makeArea(QStringLiteral("lowerRow"));
    m_lowerRow->setWidget(new CNullView);
    m_splitter->addWidget(m_upperRow);
    m_splitter->addWidget(m_lowerRow);
    m_splitter->setCollapsible(0, false);
    m_splitter->setStretchFactor(0, 1);
    setCentralWidget(m_splitter);
    m_panesCreated = true;
}

// --- the sign ---------------------------------------------------------------

QString CMainFrame::SignName() const
{
    const QString& path = m_document.GetPathName();
    if (path.isEmpty())
        return LoadStringId(IDS_UNTITLED);
    return QFileInfo(path).completeBaseName();
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(SignName() + QStringLiteral(" - ") + CSignApp::GetProgramTitle());
}

void CMainFrame::NewSign()
{
    CWaitCursor wait;
    // The pane lets go of its element before the elements go.
    SwitchElementView(nullptr);
    m_document.DeleteContents();
    m_document.SetPathName(QString());
    m_document.SetModifiedFlag(false);
    SwitchElementView(nullptr);
    UpdateTitle();
    emit signReset();
    updateActions();
}

BOOL CMainFrame::OpenSign(const QString& path)
{
    CWaitCursor wait;
    SwitchElementView(nullptr);
    // The progress window and the Missing File dialog let Qt deliver events
    // while the sign is read: nothing may point at the elements that go,
    // and the canvas is not drawn until the new sign is whole.
    auto* view = qobject_cast<CDesignView*>(m_canvas);
    if (view)
        view->Selection().DeselectAll();
    struct CCanvasHold
    {
        QPointer<QWidget> canvas;
        ~CCanvasHold()
        {
            if (canvas)
                canvas->setUpdatesEnabled(true);
        }
    };
    BOOL opened = FALSE;
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    {
        const CCanvasHold hold{m_canvas};
        if (m_canvas)
            m_canvas->setUpdatesEnabled(false);
        opened = m_document.OnOpenDocument(fullPath);
    }
    if (opened) {
        m_document.SetPathName(fullPath);
        AddToRecentFiles(fullPath);
    } else {
        // The sign read so far is gone: what is left is a new sign.
        m_document.SetPathName(QString());
        m_document.SetModifiedFlag(false);
    }
    SwitchElementView(nullptr);
    UpdateTitle();
    emit signReset();
    if (opened)
        emit signOpened(fullPath);
    updateActions();
    return opened;
}

BOOL CMainFrame::SaveSign()
{
    const QString& path = m_document.GetPathName();
    const QFileInfo info(path);
    if (path.isEmpty() || (info.exists() && !info.isWritable()))
        return SaveSignAs();
    CWaitCursor wait;
    if (!m_document.OnSaveDocument(path))
        return FALSE;
    AddToRecentFiles(path);
    UpdateTitle();
    emit signSaved(path);
    updateActions();
    return TRUE;
}

BOOL CMainFrame::SaveSignAs()
{
    CFileChoice choice;
    choice.save = true;
    choice.title = tr("Save As");
    choice.filter = kSignFilter;
    choice.signPreview = true;
    choice.defaultSuffix = QStringLiteral("sgn");
    const QString& current = m_document.GetPathName();
    if (!current.isEmpty()) {
        choice.suggested = current;
    } else {
        const QString folder = FrameHooks().signFolder ? FrameHooks().signFolder() : QString();
        choice.suggested = QDir(folder).filePath(SignName() + QStringLiteral(".sgn"));
    }
    const QString path = ChooseFile(choice);
    if (path.isEmpty())
        return FALSE;
    CWaitCursor wait;
    if (!m_document.OnSaveDocument(path))
        return FALSE;
    m_document.SetPathName(QFileInfo(path).absoluteFilePath());
    AddToRecentFiles(m_document.GetPathName());
    UpdateTitle();
    emit signSaved(m_document.GetPathName());
    updateActions();
    return TRUE;
}

BOOL CMainFrame::SaveModified()
{
    if (!m_document.IsModified())
        return TRUE;
    const QString text = FormatPlaceholders(tr("Save changes to %1?"), {SignName()});
    switch (AppMessageBox(text, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return SaveSign();
    case IDNO:
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainFrame::RestoreAndRaise()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

QString CMainFrame::ChooseFile(const CFileChoice& choice)
{
    const FileChooser& chooser = FrameHooks().chooseFile;
    QString path = chooser ? chooser(this, choice) : DefaultChooseFile(this, choice);
    if (path.isEmpty())
        return path;
    if (choice.save && !choice.defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += u'.' + choice.defaultSuffix;
    return path;
}

void CMainFrame::OnFileNew()
{
    if (SaveModified())
        NewSign();
}

void CMainFrame::OnFileOpen()
{
    if (!SaveModified())
        return;
    CFileChoice choice;
    choice.title = tr("Open");
    choice.filter = kSignFilter;
    choice.signPreview = true;
    const QString& current = m_document.GetPathName();
    if (FrameHooks().signFolder)
        choice.suggested = FrameHooks().signFolder();
    else if (!current.isEmpty())
        choice.suggested = QFileInfo(current).absolutePath();
    const QString path = ChooseFile(choice);
    if (!path.isEmpty())
        OpenSign(path);
}

void CMainFrame::OnExportText()
{
    QString suggested;
    const QString& current = m_document.GetPathName();
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        suggested = info.completeBaseName() + QStringLiteral(".txt");
        suggested = QDir(ExportFolder().isEmpty() ? info.absolutePath() : ExportFolder())
                        .filePath(suggested);
    } else {
        suggested = QDir(ExportFolder()).filePath(SignName() + QStringLiteral(".txt"));
    }
    CFileChoice choice;
    choice.save = true;
    choice.title = LoadStringId(IDS_EXPORT_AS);
    choice.filter = QtFilterOf(LoadStringId(IDS_TEXT_EXPORT_FILTER));
    choice.defaultSuffix = QStringLiteral("txt");
    choice.suggested = suggested;
    const QString path = ChooseFile(choice);
    if (path.isEmpty())
        return;
    CWaitCursor wait;
    if (!m_document.WriteXml(path)) {
        AppMessageBoxIdArgs(IDS_EXPORT_FAILED, {QDir::toNativeSeparators(path)},
                            MB_ICONEXCLAMATION);
        return;
    }
    ExportFolder() = QFileInfo(path).absolutePath();
}

QString CMainFrame::WebAddress()
{
    const QString& address = FrameHooks().webAddress;
    return address.isEmpty() ? kBuiltInWebAddress : address;
}

void CMainFrame::OnWebPage()
{
    OpenWebAddressOrTell(WebAddress());
}

// --- recent files -------------------------------------------------------------

QStringList LoadRecentFileList()
{
    QStringList files;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path =
            CSignApp::GetProfileString(kRecentSection, QStringLiteral("File%1").arg(i));
        if (!path.isEmpty() && !files.contains(path))
            files << path;
    }
    return files;
}

void SaveRecentFileList(const QStringList& files)
{
    // The whole list in one write of the profile, not one a line.
    const CProfileSession session;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        CSignApp::WriteProfileString(kRecentSection, QStringLiteral("File%1").arg(i),
                                     files.value(i - 1));
    }
}

bool PutFirstInRecentFileList(QStringList& files, const QString& path)
{
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    if (files.value(0) == fullPath)
        return false;
    files.removeAll(fullPath);
    files.prepend(fullPath);
    while (files.size() > kRecentFileCount)
        files.removeLast();
    return true;
}

void ShowRecentFileList(const QStringList& files, const std::function<QAction*(int id)>& action,
                        const QFontMetrics& metrics, bool homeAsTilde)
{
    const QString home = QDir::homePath();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* item = action(ID_FILE_MRU_FIRST + i);
        if (i >= files.size()) {
            // An empty list shows one greyed item, as a placeholder.
            item->setText(QObject::tr("Recent File"));
            item->setStatusTip(QString());
            item->setVisible(i == 0);
            continue;
        }
        QString shown = files[i];
        if (homeAsTilde && shown.startsWith(home + u'/'))
            shown = u'~' + shown.mid(home.size());
        shown = metrics.elidedText(QDir::toNativeSeparators(shown), Qt::ElideMiddle, 400);
        shown.replace(u'&', QStringLiteral("&&"));
        item->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        item->setStatusTip(QDir::toNativeSeparators(files[i]));
        item->setVisible(true);
    }
}

void CMainFrame::LoadRecentFiles()
{
    m_recentFiles = LoadRecentFileList();
    UpdateRecentFileActions();
}

void CMainFrame::SaveRecentFiles() const
{
    SaveRecentFileList(m_recentFiles);
}

void CMainFrame::AddToRecentFiles(const QString& path)
{
    if (path.isEmpty())
        return;
    PutFirstInRecentFileList(m_recentFiles, path);
    SaveRecentFiles();
    UpdateRecentFileActions();
}

void CMainFrame::OpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles.size() || !SaveModified())
        return;
    const QString path = m_recentFiles[index];
    QString open = path;
    if (!QFileInfo::exists(path)) {
        // A sign that moved: the user may show where it went.
        open = AskForMissingFile(path, SignFileCheck, this);
        if (open.isEmpty()) {
            m_recentFiles.removeAll(path);
            SaveRecentFiles();
            UpdateRecentFileActions();
            return;
        }
    }
    // A sign opened from its new place takes the old place's entry.
    if (!OpenSign(open) || open != path) {
        m_recentFiles.removeAll(path);
        SaveRecentFiles();
        UpdateRecentFileActions();
    }
}

void CMainFrame::UpdateRecentFileActions()
{
    ShowRecentFileList(
        m_recentFiles, [this](int id) { return Action(id); }, QFontMetrics(font()), true);
    updateActions();
}

// --- commands -----------------------------------------------------------------

QAction* CMainFrame::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::updateActions()
{
    if (!m_updateTimer->isActive())
        m_updateTimer->start();
}

std::vector<CCommandTarget*> CMainFrame::Targets() const
{
    std::vector<CCommandTarget*> targets{m_frameTarget.get()};
    if (auto* canvas = dynamic_cast<CCommandTarget*>(m_canvas))
        targets.push_back(canvas);
    if (auto* pane = dynamic_cast<CCommandTarget*>(PropertyPane()))
        targets.push_back(pane);
    if (m_dataEntryMode && m_dataView && m_dataView != PropertyPane()) {
        if (auto* dataView = dynamic_cast<CCommandTarget*>(m_dataView))
            targets.push_back(dataView);
    }
    targets.insert(targets.end(), m_extraTargets.begin(), m_extraTargets.end());
    return targets;
}

void CMainFrame::AddCommandTarget(CCommandTarget* target)
{
    if (target &&
        std::find(m_extraTargets.begin(), m_extraTargets.end(), target) == m_extraTargets.end())
        m_extraTargets.push_back(target);
    updateActions();
}

void CMainFrame::RemoveCommandTarget(CCommandTarget* target)
{
    m_extraTargets.erase(std::remove(m_extraTargets.begin(), m_extraTargets.end(), target),
                         m_extraTargets.end());
    updateActions();
}

CCommandState CMainFrame::CurrentCommandState() const
{
    CCommandState state;
    for (CCommandTarget* target : Targets())
        target->FillCommandState(state);
    return state;
}

bool CMainFrame::IsCommandHandled(int id) const
{
    for (CCommandTarget* target : Targets()) {
        if (target->HandlesCommand(id))
            return true;
    }
    return false;
}

namespace {

// While data is entered the menus are greyed: only the data-entry toolbar,
// leaving data entry and help still work.
bool WorksInDataEntry(int id)
{
    const std::vector<int>& bar = DataEntryToolBarButtons();
    if (std::find(bar.begin(), bar.end(), id) != bar.end())
        return true;
    switch (id) {
    case ID_DATA_CANCEL:
    case ID_HELP:
    case ID_CONTEXT_HELP:
    case ID_DEFAULT_HELP:
    case ID_HELP_FINDER:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CMainFrame::IsCommandEnabled(const CCommandInfo& info, const CCommandState& state,
                                  const std::vector<CCommandTarget*>& targets) const
{
    if (m_dataEntryMode && !WorksInDataEntry(info.id))
        return false;
    if (info.enabled && !info.enabled(state))
        return false;
    return std::any_of(targets.begin(), targets.end(),
                       [&info](CCommandTarget* target) { return target->HandlesCommand(info.id); });
}

bool CMainFrame::ExecuteCommand(int id)
{
    const CCommandInfo* info = FindCommand(id);
    if (!info)
        return false;
    const std::vector<CCommandTarget*> targets = Targets();
    if (!IsCommandEnabled(*info, CurrentCommandState(), targets))
        return false;
    if (TakesTheWholeSign(id))
        PutDownWaitingElement();
    for (CCommandTarget* target : targets) {
        if (target->HandlesCommand(id) && target->OnCommand(id)) {
            updateActions();
            return true;
        }
    }
    return false;
}

void CMainFrame::UpdateActionsNow()
{
    m_updateTimer->stop();
    const std::vector<CCommandTarget*> targets = Targets();
    const CCommandState state = CurrentCommandState();
    for (const CCommandInfo& info : AllCommands()) {
        QAction* action = Action(info.id);
        action->setEnabled(IsCommandEnabled(info, state, targets));
        if (info.checked)
            action->setChecked(info.checked(state));
    }
    Action(ID_WEB_PAGE)
        ->setText(FrameHooks().webMenuText.isEmpty()
                      ? QString::fromUtf8(FindCommand(ID_WEB_PAGE)->text)
                      : FrameHooks().webMenuText);
    QList<QAction*> menus;
    for (QMenu* menu : m_menus)
        menus.append(menu->menuAction());
    EnableMenus(menuBar(), menus, !m_dataEntryMode);
}

namespace {

// Holds back the menu bar's news of its menus' changes: it lays out all of
// its items again at each one.
class CHeldMenuNews : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ActionChanged)
            return QObject::eventFilter(watched, event);
        last = static_cast<QActionEvent*>(event)->action();
        return true;
    }
    QAction* last = nullptr;
};

} // namespace

void EnableMenus(QMenuBar* bar, const QList<QAction*>& menus, bool on)
{
    // A menu bar of the desktop's own takes each menu's news on its own.
    const bool hold = !bar->isNativeMenuBar();
    CHeldMenuNews news;
    if (hold)
        bar->installEventFilter(&news);
    for (QAction* menu : menus)
        menu->setEnabled(on);
    if (!hold)
        return;
    bar->removeEventFilter(&news);
    // One change stands for all of them: the bar lays its items out once.
    if (news.last) {
        QActionEvent changed(QEvent::ActionChanged, news.last);
        QCoreApplication::sendEvent(bar, &changed);
    }
}

bool CMainFrame::FrameHandles(int id) const
{
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_EXPORT_TEXT:
    case ID_APP_EXIT:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case ID_VIEW_DRAW_TOOLBAR:
    case ID_VIEW_LAYOUT_TOOLBAR:
    case ID_WEB_PAGE:
    case ID_SWITCH_DOCKING:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_SETUP:
    case ID_SIGN_PROPERTIES:
    case ID_HEADER_FOOTER:
    case ID_HELP:
    case ID_HELP_FINDER:
    case ID_CONTEXT_HELP:
    case ID_DEFAULT_HELP:
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST)
        return id - ID_FILE_MRU_FIRST < m_recentFiles.size();
    return false;
}

bool CMainFrame::FrameCommand(int id)
{
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_FILE_SAVE:
        SaveSign();
        return true;
    case ID_FILE_SAVE_AS:
        SaveSignAs();
        return true;
    case ID_EXPORT_TEXT:
        OnExportText();
        return true;
    case ID_APP_EXIT:
        close();
        return true;
    case ID_VIEW_TOOLBAR:
        ToggleBar(m_mainBar);
        return true;
    case ID_VIEW_STATUS_BAR:
        ToggleBar(statusBar());
        return true;
    case ID_VIEW_DRAW_TOOLBAR:
        ToggleBar(m_drawBar);
        return true;
    case ID_VIEW_LAYOUT_TOOLBAR:
        ToggleBar(m_layoutBar);
        return true;
    case ID_WEB_PAGE:
        OnWebPage();
        return true;
    case ID_SWITCH_DOCKING:
        OnSwitchDocking();
        return true;
    case ID_FILE_PRINT:
        OnFilePrint();
        return true;
    case ID_FILE_PRINT_SETUP:
        OnPrintSetup();
        return true;
    case ID_SIGN_PROPERTIES:
        OnSignProperties();
        return true;
    case ID_HEADER_FOOTER:
        OnHeaderFooter();
        return true;
    case ID_CONTEXT_HELP:
        // The next click names what it wants help on: an element on the
        // canvas opens the topic of its kind, anything else the first topic.
        if (!m_helpMode) {
            m_helpMode = true;
            QApplication::setOverrideCursor(Qt::WhatsThisCursor);
        }
        return true;
    case ID_HELP:
    case ID_HELP_FINDER:
    case ID_DEFAULT_HELP:
        CSignApp::WinHelp();
        return true;
    default:
        break;
    }
    if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) {
        OpenRecentFile(id - ID_FILE_MRU_FIRST);
        return true;
    }
    return false;
}

void CMainFrame::FillFrameState(CCommandState& state) const
{
    state.dataEntryMode = m_dataEntryMode;
    state.mainToolBarVisible = !m_mainBar->isHidden();
    state.drawToolBarVisible = !m_drawBar->isHidden();
    state.layoutToolBarVisible = !m_layoutBar->isHidden();
    state.statusBarVisible = !statusBar()->isHidden();
    state.selectToolReleased = m_selectToolReleased;

    const CElementList& elements = TheElementList();
    state.elementCount = elements.GetCount();
    state.hasLinkedElements = elements.HasLinkedElements();
    state.hasDataEntrySources = elements.HasDataEntryElements();
    const CUndoHistory& history = TheUndoHistory();
    state.canUndo = history.CanUndo();
    state.canRedo = history.CanRedo();

    const CPaper& paper = ThePaper();
    state.stockCount = paper.StockCount();
    if (const CPaperStock* stock = paper.Current()) {
        state.stockBuiltIn = stock->builtIn != 0;
        state.labelsPerPage = stock->LabelsPerSheet();
    }
    state.priceFormatCount = ThePriceFormatList().GetCount();
    if (CDataLinkSeam* link = App().dataLink)
        state.linkKind = link->GetLinkKind();
}

void CMainFrame::ToggleBar(QWidget* bar)
{
    bar->setVisible(bar->isHidden());
    RecalcPaneSizes();
}

void CMainFrame::SetCanvas(QWidget* canvas)
{
    if (!canvas || canvas == m_canvas)
        return;
    QWidget* old = m_upperRow->replaceWidget(0, canvas);
    m_canvas = canvas;
    delete old;
    m_upperRow->setCollapsible(0, false);
    if (auto* view = qobject_cast<CDesignView*>(canvas)) {
        // A drag, nudge or layout command on the canvas changes the shown
        // element: its pane shows the new values.
        connect(view, &CDesignView::paneRefreshRequested, this, &CMainFrame::RefreshPaneValues);
        // The corner box switched the display unit: the canvas clears the
        // selection and the sign settings pane is made again in the new unit.
        TheGrid().onUnitsToggled = [frame = QPointer<CMainFrame>(this)] {
            if (frame && !frame->ExecuteCommand(ID_SHOW_SIGN_SETTINGS))
                frame->SwitchElementView(nullptr);
        };
    }
    RecalcPaneSizes();
    updateActions();
}

// --- property pane ----------------------------------------------------------

void CMainFrame::RegisterPaneCreator(int typeCode, PaneCreator creator)
{
    if (creator)
        PaneCreators()[typeCode] = std::move(creator);
    else
        PaneCreators().erase(typeCode);
}

void CMainFrame::SetSettingsPaneCreator(PaneCreator creator)
{
    SettingsPaneCreator() = std::move(creator);
}

void CMainFrame::SetPaneRefresher(std::function<void(QWidget* pane)> refresher)
{
    PaneRefresher() = std::move(refresher);
}

QWidget* CMainFrame::PropertyPane() const
{
    return m_rightColumn ? m_rightColumn->widget() : nullptr;
}

QWidget* CMainFrame::TakePane()
{
    return m_rightColumn->takeWidget();
}

void CMainFrame::SetPane(QWidget* pane)
{
    m_rightColumn->setWidget(pane);
    pane->show();
}

void CMainFrame::SetLowerRow(QWidget* widget)
{
    QWidget* old = m_lowerRow->takeWidget();
    if (old != m_dataView)
        delete old;
    m_lowerRow->setWidget(widget);
    widget->show();
}

BOOL CMainFrame::SwitchElementView(CElement* element)
{
    CWaitCursor wait;
    // The data-entry pane holds the right column while data is entered.
    if (!m_panesCreated || m_dataEntryMode)
        return FALSE;

    // An element deleted since it was shown is simply forgotten.
    if (m_shownElement && !TheElementList().Contains(m_shownElement))
        m_shownElement = nullptr;

    if (element && element == m_shownElement) {
        // The same element again: its pane stays; a tabbed pane goes back
        // to its first page.
        const int type = element->GetTypeCode();
        if (type == TYPE_TEXT || type == TYPE_PICTURE || type == TYPE_BARCODE) {
            if (QWidget* pane = PropertyPane()) {
                if (auto* tabs = pane->findChild<QTabWidget*>())
                    tabs->setCurrentIndex(0);
                else if (auto* strip = pane->findChild<QTabBar*>())
                    strip->setCurrentIndex(0);
            }
        }
        return TRUE;
    }

    const CFrameHooks& hooks = FrameHooks();
    if (m_shownElement && m_shownElement->m_ownedByTable && hooks.markTableCell)
        hooks.markTableCell(m_shownElement, false);
    delete TakePane();

    QWidget* pane = nullptr;
    int formId = kSettingsForm;
    const PaneKind* kind = element ? FindPaneKind(element->GetTypeCode()) : nullptr;
    if (element)
        TheUndoHistory().Record(UNDO_CHANGED, element);
    if (kind) {
        formId = kind->formId;
        auto it = PaneCreators().find(kind->typeCode);
        if (it != PaneCreators().end()) {
            pane = it->second(element);
        } else {
            const QString title = QString::fromUtf8(kind->title);
            pane = MakePlaceholderPane(
                formId, title,
                tr("The properties of the selected %1 will be edited here.").arg(title.toLower()));
        }
        if (pane && element->m_ownedByTable && hooks.markTableCell)
            hooks.markTableCell(element, true);
    } else if (SettingsPaneCreator()) {
        pane = SettingsPaneCreator()(element);
    } else {
        pane = MakePlaceholderPane(kSettingsForm, tr("Sign Settings"),
                                   tr("The paper and printer of the sign are shown here while "
                                      "no element is selected."));
    }

    if (!pane) {
        m_shownElement = nullptr;
        updateActions();
        return FALSE;
    }
    SetPane(pane);
    m_paneFormId = formId;
    m_shownElement = element;
    // The canvas keeps its zoom, and a drag its mapping, while the column
    // takes the new pane's width.
    auto* view = qobject_cast<CDesignView*>(m_canvas);
    if (view)
        view->HoldFittedZoom(true);
    RecalcPaneSizes();
    if (view)
        view->HoldFittedZoom(false);
    updateActions();
    return TRUE;
}

void CMainFrame::RefreshPaneValues()
{
    // The data-entry pane holds the right column while data is entered.
    if (m_dataEntryMode || !PaneRefresher())
        return;
    if (QWidget* pane = PropertyPane())
        PaneRefresher()(pane);
}

void CMainFrame::RefreshElementView()
{
    CElement* element = m_shownElement;
    m_shownElement = nullptr;
    SwitchElementView(element);
}

// --- data entry -------------------------------------------------------------

void CMainFrame::ShowDataView(bool on)
{
    if (on == m_dataEntryMode)
        return;
    if (on) {
        QToolBar* bars[3] = {m_mainBar, m_drawBar, m_layoutBar};
        for (int i = 0; i < 3; ++i) {
            m_barsBeforeDataEntry[i] = !bars[i]->isHidden();
            bars[i]->hide();
        }
        m_dataEntryBar->show();
        // The sign's settings come back when data entry ends: their pane
        // waits hidden instead of being built anew.
        QWidget* pane = TakePane();
        if (pane && m_paneFormId == kSettingsForm && !m_shownElement) {
            pane->setParent(this);
            pane->hide();
            m_settingsPane = pane;
        } else {
            delete pane;
        }
        const CFrameHooks& hooks = FrameHooks();
        m_dataView = hooks.createDataView ? hooks.createDataView() : nullptr;
        if (!m_dataView)
            m_dataView = MakePlaceholderPane(kDataEntryForm, tr("Data Entry"),
                                             tr("The data of the sign is typed here."));
        if (TheSignSettings().dataViewDocking == 3) {
            SetPane(new CNullView);
            SetLowerRow(m_dataView);
        } else {
            SetPane(m_dataView);
        }
        m_shownElement = nullptr;
        m_paneFormId = kDataEntryForm;
        m_dataEntryMode = true;
    } else {
        m_dataEntryBar->hide();
        QToolBar* bars[3] = {m_mainBar, m_drawBar, m_layoutBar};
        for (int i = 0; i < 3; ++i) {
            if (m_barsBeforeDataEntry[i])
                bars[i]->show();
        }
        if (m_lowerRow->widget() == m_dataView) {
            m_lowerRow->takeWidget();
            delete m_dataView;
            SetLowerRow(new CNullView);
        }
        // A data-entry pane in the right column goes with the pane switch.
        m_dataView = nullptr;
        m_dataEntryMode = false;
        if (QWidget* settings = std::exchange(m_settingsPane, nullptr).data()) {
            // Shown again, the settings read the paper and printer afresh.
            delete TakePane();
            SetPane(settings);
            m_paneFormId = kSettingsForm;
            m_shownElement = nullptr;
        } else {
            SwitchElementView(nullptr);
        }
    }
    RecalcPaneSizes();
    UpdateActionsNow();
}

void CMainFrame::OnSwitchDocking()
{
    int& side = TheSignSettings().dataViewDocking;
    if (m_dataEntryMode && m_dataView) {
        if (side == 2) {
            m_rightColumn->takeWidget();
            SetPane(new CNullView);
            SetLowerRow(m_dataView);
        } else {
            m_lowerRow->takeWidget();
            SetLowerRow(new CNullView);
            delete TakePane();
            SetPane(m_dataView);
        }
    }
    side = side == 2 ? 3 : 2;
    if (auto* data = qobject_cast<CDataView*>(m_dataView))
        data->RecalcLayout(side);
    RecalcPaneSizes();
    m_document.SetModifiedFlag(true);
    updateActions();
}

void CMainFrame::RecalcPaneSizes()
{
    if (!m_panesCreated)
        return;
    // A row or column that shows nothing is hidden, with its splitter bar.
    const bool lowerRowUsed = m_dataEntryMode && m_lowerRow->widget() == m_dataView;
    m_lowerRow->setVisible(lowerRowUsed);
    m_rightColumn->setVisible(!lowerRowUsed);

    const int width = m_splitter->width();
    const int height = m_splitter->height();
    if (width <= 0 || height <= 0)
        return;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 1;
    const int handle = m_upperRow->handleWidth();

    if (lowerRowUsed) {
        const int rowHeight = std::min(FormSize(m_dataView).height(), height - handle);
        m_splitter->setSizes({height - rowHeight - handle, rowHeight});
        return;
    }
    const QWidget* form = m_dataEntryMode ? m_dataView : PropertyPane();
    const QSize size = FormSize(form);
    int columnWidth = size.width();
    if (m_dataEntryMode || size.height() > height)
        columnWidth += scrollBar;
    columnWidth = std::min(columnWidth, width - handle);
    m_upperRow->setSizes({width - columnWidth - handle, columnWidth});
}

// --- status bar ---------------------------------------------------------------

void CMainFrame::SetStatusPosition(int x, int y)
{
    double mmX = x / 10.0;
    double mmY = y / 10.0;
    QString text;
    if (App().general.displayUnits == 1) {
        MmToInches(mmX);
        MmToInches(mmY);
        text = QString::asprintf("%.2f,%.2f", mmX, mmY);
    } else {
        text = QString::asprintf("%.1f,%.1f", mmX, mmY);
    }
    m_positionPane->setText(text);
}

void CMainFrame::SetStatusZoom(int percent)
{
    m_zoomPane->setText(QString::asprintf("%d%%", percent));
}

void CMainFrame::EndHelpMode()
{
    if (!m_helpMode)
        return;
    m_helpMode = false;
    QApplication::restoreOverrideCursor();
}

void CMainFrame::UncheckSelectTool()
{
    m_selectToolReleased = true;
    Action(ID_TOOL_SELECT)->setChecked(false);
}

void CMainFrame::RecheckSelectTool()
{
    if (!m_selectToolReleased)
        return;
    m_selectToolReleased = false;
    updateActions();
}

// --- events -------------------------------------------------------------------

// Commands that save, print, preview or export the sign as it stands.
bool CMainFrame::TakesTheWholeSign(int id)
{
    switch (id) {
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_FILE_PRINT:
    case ID_PREVIEW_SINGLE:
    case ID_PREVIEW_SHEET:
    case ID_EXPORT_TEXT:
    case ID_EXPORT_ZIP:
    case ID_APP_EXIT:
        return true;
    default:
        return false;
    }
}

// An element a tool made but has not yet placed is not part of the sign:
// the tool is put down before the sign is saved, printed or exported.
void CMainFrame::PutDownWaitingElement()
{
    auto* view = qobject_cast<CDesignView*>(m_canvas);
    if (view && view->PendingElement())
        view->SetMode(MODE_SELECT);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    PutDownWaitingElement();
    if (SaveModified())
        event->accept();
    else
        event->ignore();
}

namespace {

QString FirstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return QString();
}

} // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!FirstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QMainWindow::dragEnterEvent(event);
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    // One sign is open at a time: the first file dropped is opened.
    const QString path = FirstLocalFile(event->mimeData());
    if (path.isEmpty()) {
        QMainWindow::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    activateWindow();
    if (SaveModified())
        OpenSign(path);
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    RecalcPaneSizes();
    // The sign fitted once the columns have their widths for the new size.
    if (auto* view = qobject_cast<CDesignView*>(m_canvas); view && !m_dataEntryMode)
        view->WindowResized();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    RecalcPaneSizes();
    updateActions();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // What the user just did may have changed what the commands may do.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // Help mode: the click names what the user wants help on. On the
        // canvas it is the element under the pointer, elsewhere in this
        // window the first topic. The click does nothing else.
        if (m_helpMode) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == this) {
                EndHelpMode();
                m_swallowRelease = true;
                QString topic;
                auto* view = qobject_cast<CDesignView*>(m_canvas);
                if (view && widget == view->viewport()) {
                    const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
                    topic = CDesignView::HelpTopicAt(view->DPtoLP(CPoint(p.x(), p.y())));
                }
                CSignApp::WinHelp(topic);
                return true;
            }
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_swallowRelease) {
            m_swallowRelease = false;
            return true;
        }
        updateActions();
        break;
    case QEvent::KeyRelease:
        updateActions();
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Escape leaves help mode without help.
        if (m_helpMode && key->key() == Qt::Key_Escape) {
            EndHelpMode();
            return true;
        }
        // F1 in a dialog of the program opens the help pages as it does in
        // the main window (whose own F1 is the Help command's shortcut). The
        // first widget of the dialog that the key reaches takes it, whether
        // or not the dialog has become the active window yet: a key pressed
        // the moment the dialog opens arrives before the activation does.
        QWidget* modal = QApplication::activeModalWidget();
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && modal &&
            modal != this && widget && widget->window() == modal) {
            CSignApp::WinHelp();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
