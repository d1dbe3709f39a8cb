#include "DataStoreCommands.h"

#include "ConnectionPropertiesDlg.h"
#include "DataStoreDlg.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "VariableList.h"

CDataStoreCommands::CDataStoreCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("dataStoreCommands"));
    frame->AddCommandTarget(this);
}

bool CDataStoreCommands::HandlesCommand(int id) const
{
    return id == ID_DATABASE_PROPERTIES || id == ID_DATA_STORE_CREATE;
}

bool CDataStoreCommands::OnCommand(int id)
{
    switch (id) {
    case ID_DATABASE_PROPERTIES:
        OnProperties();
        return true;
    case ID_DATA_STORE_CREATE:
        OnDataStore();
        return true;
    default:
        return false;
    }
}

void CDataStoreCommands::FillCommandState(CCommandState& state) const
{
    // The database commands need the SQL drivers the link works through.
    if (TheDatabaseLink().m_jetPresent)
        state.databaseEngine = true;
}

void CDataStoreCommands::OnProperties()
{
    CDatabaseLink& link = TheDatabaseLink();
    if (link.GetLinkKind() == 1) {
        OnDataStore();
        return;
    }
    if (link.GetLinkKind() != 0)
        return;
    // What the sign keeps of the link: its key, the copy quantity and the
    // characters of its SQL (Advanced... changes them at once).
    const auto kept = [&link] {
        return QStringList{link.GetKeyField(),
                           QString::number(link.m_firstFieldIsCopyQuantity),
                           QString::fromLatin1(link.m_nameDelimiters, 2),
                           QString::fromLatin1(link.m_stringDelimiters, 2),
                           QString::fromLatin1(link.m_dateDelimiters, 2),
                           QString(QChar::fromLatin1(link.m_wildcard))};
    };
    const QStringList before = kept();
    ShowConnectionProperties(m_frame, link);
    if (kept() != before)
        m_frame->Document().SetModifiedFlag(true);
    m_frame->updateActions();
}

void CDataStoreCommands::OnDataStore()
{
    CDatabaseLink& link = TheDatabaseLink();
    const int kind = link.GetLinkKind();
    const QString source = link.m_dataSource;
    const QString key = link.m_keyField;
    const BOOL copies = link.m_storeCopyQuantity;
    CMainFrame* frame = m_frame;
    const BOOL ok = RunDataStoreDialog(m_frame, link, TheElementList(), TheVariableList(),
                                       m_frame->Document().GetPathName(), [frame]() -> QString {
                                           if (!frame->SaveSignAs())
                                               return QString();
                                           return frame->Document().GetPathName();
                                       });
    if (ok && (kind != link.GetLinkKind() || source != link.m_dataSource ||
               key != link.m_keyField || copies != link.m_storeCopyQuantity))
        m_frame->Document().SetModifiedFlag(true);
    m_frame->updateActions();
}
