// The Preferences menu: each command opens the Preferences sheet at its own
// page; the About box. A link of the main frame's command chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CMainFrame;

class CPreferenceCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CPreferenceCommands(CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;

private:
    CMainFrame* m_frame;
};
