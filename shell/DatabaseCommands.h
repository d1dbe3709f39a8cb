// The Database menu's Connect, Change Database and Disconnect, and the Data
// Entry Order and Data Tree dialogs. Connect and Change Database run the
// connection wizard over the sign's link: it works on a copy, so a wizard
// that is cancelled leaves the link, and every element's link to a field,
// exactly as they were. A link of the main frame's command chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CMainFrame;

class CDatabaseCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CDatabaseCommands(CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;
    void FillCommandState(CCommandState& state) const override;

private:
    void OnConnect();
    void OnChangeDatabase();
    void OnDisconnect();
    void OnDataEntryOrder();
    void OnDataTree();
    // The wizard over the sign's link; TRUE when it finished.
    bool RunWizard();
    // The sign changed: modified, the pane and the commands follow.
    void SignChanged();

    CMainFrame* m_frame;
};
