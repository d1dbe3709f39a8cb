#include "FilterCommands.h"

#include "DatabaseLink.h"
#include "FilterSheet.h"
#include "MainFrame.h"
#include "Messages.h"

CFilterCommands::CFilterCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("filterCommands"));
    frame->AddCommandTarget(this);
}

bool CFilterCommands::HandlesCommand(int id) const
{
    return id == ID_RECORD_FILTER;
}

bool CFilterCommands::OnCommand(int id)
{
    if (id != ID_RECORD_FILTER)
        return false;
    OnFilter();
    return true;
}

void CFilterCommands::OnFilter()
{
    CDatabaseLink& link = TheDatabaseLink();
    if (!link.IsConnected())
        return;
    // Records are picked by their key: without one there is nothing to
    // pick them by.
    if (link.GetKeyField().isEmpty()) {
        AppMessageBoxId(IDS_FILTER_NEEDS_PRIMARY_KEY, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    RunAdvancedFilter(m_frame, link,
                      [frame = m_frame] { frame->Document().SetModifiedFlag(true); });
    m_frame->updateActions();
}
