// The Database menu's Connect, Change Database and Disconnect, and the Data
// Entry Order and Data Tree dialogs. Connect and Change Database run the
// connection wizard over the sign's link: it works on a copy, so a wizard
// that is cancelled leaves the link, and every element's link to a field,
// exactly as they were. A link of the main frame's command chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CMainFrame;
class QWidget;

// The connection wizard over the sign's link, its file boxes starting in the
// last database folder, which a finished wizard over a file sets; TRUE when
// it finished. Connect and Change Database, and the panes that link the sign.
bool RunDatabaseWizard(QWidget* parent);

class CDatabaseCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it. The variables'
    // pages that take a database (an option list from a database, a
    // date/time stamp's extra days from a field) link the sign through it.
    explicit CDatabaseCommands(CMainFrame* frame);
    ~CDatabaseCommands() override;

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
    bool RunWizard(QWidget* parent = nullptr);
    // A variable's page asks for the sign's database: linked through the
    // wizard when it has none (or anew with change); true when it is.
    bool LinkForVariable(QWidget* parent, bool change);
    // The sign changed: modified, the pane and the commands follow.
    void SignChanged();

    CMainFrame* m_frame;
};
