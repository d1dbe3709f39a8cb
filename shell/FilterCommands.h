// The Database menu's Filter command: the advanced filter sheet over the
// records of the sign's link (the record navigator's Filter button opens
// the same sheet). A link of the main frame's command chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CMainFrame;

class CFilterCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CFilterCommands(CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;

private:
    void OnFilter();

    CMainFrame* m_frame;
};
