// The designer's Spelling command: checks the spelling of the sign's fixed
// texts, the selected ones first, through the program's spelling checker;
// while data is entered, it checks the typed texts of the data-entry pane.
// A link of the main frame's command chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CDataView;
class CMainFrame;

// Makes the program's spelling checker ready with the spelling options as
// they are now (the unknown-word dialog installed, the dictionaries open):
// true when a check can run. With tell, a missing dictionary is told.
bool PrepareSpellChecker(bool tell);

// The print station's Spelling: checks every typed text of the data-entry
// pane; when the check ran to its end, "The spelling check is complete".
// False when it could not run or was cancelled.
bool CheckDataEntrySpelling(CDataView* data);

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
