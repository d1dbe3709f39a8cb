#include "PriceCommands.h"

#include "AppContext.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "Messages.h"
#include "PriceField.h"
#include "PriceFormatList.h"
#include "ResourceIds.h"

CPriceCommands::CPriceCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("priceCommands"));
    frame->AddCommandTarget(this);
}

bool CPriceCommands::HandlesCommand(int id) const
{
    return id == ID_PRICE_FORMAT_NEW || id == ID_PRICE_FORMAT_EDIT || id == ID_PRICE_FORMAT_DELETE;
}

bool CPriceCommands::OnCommand(int id)
{
    switch (id) {
    case ID_PRICE_FORMAT_NEW:
        OnNewFormat();
        return true;
    case ID_PRICE_FORMAT_EDIT:
        OnEditFormat();
        return true;
    case ID_PRICE_FORMAT_DELETE:
        OnDeleteFormat();
        return true;
    default:
        return false;
    }
}

void CPriceCommands::OnNewFormat()
{
    // The open price pane lists the new format at once.
    if (ThePriceFormatList().NewFormat(m_frame))
        m_frame->RefreshPaneValues();
    m_frame->updateActions();
}

void CPriceCommands::OnEditFormat()
{
    CPriceFormatList& formats = ThePriceFormatList();
    CPriceFormat* format = formats.SelectFormat(m_frame, QString(), false);
    if (!format || !formats.EditFormat(m_frame, format))
        return;
    // Every price drawn with the format is laid out again and redrawn.
    bool used = false;
    CElementList& elements = TheElementList();
    for (int i = 0; i < elements.GetCount(); ++i) {
        auto* price = dynamic_cast<CPriceField*>(elements.GetAt(i));
        if (!price || price->GetFormat().m_name != format->m_name)
            continue;
        price->Refresh();
        used = true;
    }
    if (used) {
        // The sign carries its formats: it has changed.
        m_frame->Document().SetModifiedFlag(true);
        m_frame->UpdateTitle();
    }
}

void CPriceCommands::OnDeleteFormat()
{
    CPriceFormatList& formats = ThePriceFormatList();
    CPriceFormat* format = formats.SelectFormat(m_frame, QString(), false);
    if (!format)
        return;
    if (formats.IsFormatUsed(format->m_name)) {
        AppMessageBoxId(IDS_PRICE_FORMAT_IN_USE);
        return;
    }
    if (AppMessageBoxIdArgs(IDS_DELETE_PRICE_FORMAT, {format->m_name},
                            MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    formats.DeleteFormat(format);
    m_frame->RefreshPaneValues();
    m_frame->updateActions();
}
