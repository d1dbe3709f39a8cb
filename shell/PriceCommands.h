// The designer's Prices menu: new, edit and delete price formats. Editing
// a format lays out again every price of the sign drawn with it; a format
// that a price uses cannot be deleted. A link of the main frame's command
// chain.
#pragma once

#include "Commands.h"

#include <QObject>

class CMainFrame;

class CPriceCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CPriceCommands(CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;

private:
    void OnNewFormat();
    void OnEditFormat();
    void OnDeleteFormat();

    CMainFrame* m_frame;
};
