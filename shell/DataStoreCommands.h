// The Database menu's Properties and Create: the properties of the sign's
// link to an external database, or the Data Store dialog for the sign's own
// store of typed data. A link of the main frame's command chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CMainFrame;

class CDataStoreCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CDataStoreCommands(CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;
    void FillCommandState(CCommandState& state) const override;

private:
    void OnProperties();
    void OnDataStore();

    CMainFrame* m_frame;
};
