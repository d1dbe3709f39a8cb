#include "DatabaseCommands.h"

#include "ConnectionWizard.h"
#include "DataEntryOrderDlg.h"
#include "DataSourceMap.h"
#include "DataTreeDlg.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Preferences.h"
#include "ResourceIds.h"
#include "VariableList.h"

#include <QFileDialog>
#include <QFileInfo>

CDatabaseCommands::CDatabaseCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("databaseCommands"));
    frame->AddCommandTarget(this);
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

bool CDatabaseCommands::RunWizard()
{
    auto choose = [](QWidget* parent, const QString& filter, const QString& current) {
        CFileChoice choice;
        choice.title = tr("Select Database File");
        choice.filter = filter;
        choice.suggested =
            current.isEmpty() ? CShellSettings::Current().lastDatabaseFolder : current;
        if (FrameHooks().chooseFile)
            return FrameHooks().chooseFile(parent, choice);
        return QFileDialog::getOpenFileName(parent, choice.title, choice.suggested, filter);
    };
    CDatabaseLink& link = TheDatabaseLink();
    if (!RunConnectionWizard(m_frame, link, choose))
        return false;
    if (link.m_typeId != kDatabaseTypeConnectionString)
        CShellSettings::Current().lastDatabaseFolder = QFileInfo(link.m_dataSource).absolutePath();
    return true;
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
