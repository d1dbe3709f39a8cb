// The designer's Spelling command: checks the spelling of the sign's fixed
// texts, the selected ones first, through the program's spelling checker.
// A link of the main frame's command chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CMainFrame;

class CSpellCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CSpellCommands(CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;
    void FillCommandState(CCommandState& state) const override;

private:
    void OnSpelling();

    CMainFrame* m_frame;
};
