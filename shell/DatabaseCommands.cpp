#include "DatabaseCommands.h"

#include "ConnectionWizard.h"
#include "DataEntryOrderDlg.h"
#include "DataSourceMap.h"
#include "DataTreeDlg.h"
#include "DatabaseLink.h"
#include "DateTimePage.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "Messages.h"
#include "OptionList.h"
#include "OptionListPage.h"
#include "Preferences.h"
#include "ResourceIds.h"
#include "VariableList.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

// The sign's link as an option list keeps it: the list reads its options
// through the sign's link, and the sign file records where they come from.
COptionListLink OptionListLinkOf(CDatabaseLink& link)
{
    COptionListLink kept;
    kept.connected = link.IsConnected() ? 1 : 0;
    kept.linkKind = 0;
    kept.databaseType = DWORD(link.m_typeId);
    kept.dataSource = link.m_dataSource;
    kept.tableName = link.CurrentTable();
    kept.viewQuery = link.m_customViewQuery;
    kept.viewName = TheCustomViewList().NameOfQuery(link.m_customViewQuery);
    kept.keyField = link.GetKeyField();
    kept.textDelimiter = BYTE(link.m_textDelimiter);
    kept.textFileType = DWORD(link.m_textFileType);
    kept.textHeader = link.m_textHeader ? 1 : 0;
    for (const CTextField& field : link.m_textFields)
        kept.textFields << field.name << field.type;
    kept.firstFieldIsCopyQuantity = link.m_firstFieldIsCopyQuantity ? 1 : 0;
    kept.excelHeader = link.m_excelHeader ? 1 : 0;
    const char delimiters[7] = {link.m_nameDelimiters[0],
                                link.m_nameDelimiters[1],
                                link.m_stringDelimiters[0],
                                link.m_stringDelimiters[1],
                                link.m_dateDelimiters[0],
                                link.m_dateDelimiters[1],
                                link.m_wildcard};
    for (int i = 0; i < 7; ++i)
        kept.delimiters[i] = BYTE(delimiters[i]);
    return kept;
}

} // namespace

CDatabaseCommands::CDatabaseCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("databaseCommands"));
    frame->AddCommandTarget(this);
    COptionListPage1::s_connect = [this](QWidget* parent, COptionList& list, bool change) {
        if (!LinkForVariable(parent, change))
            return false;
        list.m_link = OptionListLinkOf(TheDatabaseLink());
        return list.IsLinked();
    };
    CDateTimePage2::s_linkDatabase = [this](QWidget* parent) {
        return LinkForVariable(parent, false);
    };
}

CDatabaseCommands::~CDatabaseCommands()
{
    COptionListPage1::s_connect = nullptr;
    CDateTimePage2::s_linkDatabase = nullptr;
}

bool CDatabaseCommands::LinkForVariable(QWidget* parent, bool change)
{
    CDatabaseLink& link = TheDatabaseLink();
    if (link.GetLinkKind() == 1) {
        AppMessageBoxId(IDS_LINK_USED_FOR_DATA_STORAGE);
        return false;
    }
    const bool linked = link.GetLinkKind() == 0 && link.IsConnected();
    if (linked && !change)
        return true;
    if (linked && AppMessageBoxId(IDS_CHANGE_DATABASE_WARNING, MB_YESNO | MB_ICONWARNING) != IDYES)
        return false;
    // A cancelled wizard leaves the sign's link as it was.
    if (!RunWizard(parent))
        return false;
    if (linked && !TheElementList().CheckDataLinks())
        AppMessageBoxId(IDS_DATABASE_LINK_PARTLY_BROKEN, MB_OK | MB_ICONEXCLAMATION);
    // The page stays open over the pane: the sign is marked changed, and
    // the pane shows the new fields when it is next shown.
    m_frame->Document().SetModifiedFlag(true);
    m_frame->UpdateTitle();
    m_frame->updateActions();
    return true;
}

bool CDatabaseCommands::HandlesCommand(int id) const
{
    switch (id) {
    case ID_DATABASE_CONNECT:
    case ID_DATABASE_CHANGE:
    case ID_DATABASE_DISCONNECT:
    case ID_DATA_ENTRY_ORDER:
    case ID_DATA_TREE:
        return true;
    default:
        return false;
    }
}

bool CDatabaseCommands::OnCommand(int id)
{
    switch (id) {
    case ID_DATABASE_CONNECT:
        OnConnect();
        return true;
    case ID_DATABASE_CHANGE:
        OnChangeDatabase();
        return true;
    case ID_DATABASE_DISCONNECT:
        OnDisconnect();
        return true;
    case ID_DATA_ENTRY_ORDER:
        OnDataEntryOrder();
        return true;
    case ID_DATA_TREE:
        OnDataTree();
        return true;
    default:
        return false;
    }
}

void CDatabaseCommands::FillCommandState(CCommandState& state) const
{
    if (TheDatabaseLink().m_jetPresent)
        state.databaseEngine = true;
    state.dataPathsEmpty = TheDataSourceMap().GetNodeCount() == 0;
}

bool RunDatabaseWizard(QWidget* parent)
{
    auto choose = [](QWidget* parent, const QString& filter, const QString& current) {
        CFileChoice choice;
        choice.title = CDatabaseCommands::tr("Select Database File");
        choice.filter = filter;
        choice.suggested =
            current.isEmpty() ? CShellSettings::Current().lastDatabaseFolder : current;
        if (FrameHooks().chooseFile)
            return FrameHooks().chooseFile(parent, choice);
        return QFileDialog::getOpenFileName(parent, choice.title, choice.suggested, filter);
    };
    CDatabaseLink& link = TheDatabaseLink();
    if (!RunConnectionWizard(parent, link, choose, CShellSettings::Current().lastDatabaseFolder))
        return false;
    if (link.m_typeId != kDatabaseTypeConnectionString)
        CShellSettings::Current().lastDatabaseFolder = QFileInfo(link.m_dataSource).absolutePath();
    return true;
}

bool CDatabaseCommands::RunWizard(QWidget* parent)
{
    return RunDatabaseWizard(parent ? parent : m_frame);
}

void CDatabaseCommands::SignChanged()
{
    TheDataSourceMap().Rebuild();
    m_frame->Document().SetModifiedFlag(true);
    m_frame->UpdateTitle();
    // The pane shows the elements' sources anew once the command is over.
    QMetaObject::invokeMethod(
        m_frame, [frame = m_frame] { frame->RefreshElementView(); }, Qt::QueuedConnection);
    m_frame->updateActions();
}

void CDatabaseCommands::OnConnect()
{
    CDatabaseLink& link = TheDatabaseLink();
    if (link.GetLinkKind() == 1)
        return;
    // One database per sign: a new one breaks the elements' links to the
    // fields of the old, once the user has agreed and the wizard finished.
    bool breakLinks = false;
    if (link.GetLinkKind() == 0 && TheElementList().HasFieldLink(nullptr)) {
        if (AppMessageBoxId(IDS_ONE_CONNECTION_PER_SIGN,
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        breakLinks = true;
    }
    if (!RunWizard())
        return;
    if (breakLinks)
        TheElementList().BreakDataLinks();
    SignChanged();
}

void CDatabaseCommands::OnChangeDatabase()
{
    CDatabaseLink& link = TheDatabaseLink();
    if (link.GetLinkKind() != 0)
        return;
    if (AppMessageBoxId(IDS_CHANGE_DATABASE_WARNING, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    // A cancelled wizard leaves the old database and every link to it.
    if (!RunWizard())
        return;
    if (TheElementList().CheckDataLinks())
        AppMessageBoxId(IDS_DATABASE_LINK_CHANGED, MB_OK | MB_ICONINFORMATION);
    else
        AppMessageBoxId(IDS_DATABASE_LINK_PARTLY_BROKEN, MB_OK | MB_ICONEXCLAMATION);
    SignChanged();
}

void CDatabaseCommands::OnDisconnect()
{
    CDatabaseLink& link = TheDatabaseLink();
    const int kind = link.GetLinkKind();
    if (kind == -1)
        return;
    if (kind == 0) {
        CElementList& elements = TheElementList();
        CVariableList& variables = TheVariableList();
        if (elements.HasFieldLink(nullptr) || variables.HasDatabaseSource()) {
            if (AppMessageBoxId(IDS_DISCONNECT_BREAKS_LINKS,
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
                return;
            elements.BreakDataLinks();
            variables.BreakDatabaseLinks();
        }
    }
    link.Disconnect();
    SignChanged();
}

void CDatabaseCommands::OnDataEntryOrder()
{
    CDataEntryOrderDlg dialog(m_frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_frame->Document().SetModifiedFlag(true);
    m_frame->UpdateTitle();
    m_frame->updateActions();
}

void CDatabaseCommands::OnDataTree()
{
    CDataTreeDlg dialog(m_frame);
    dialog.exec();
}
