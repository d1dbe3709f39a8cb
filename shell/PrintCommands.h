// The designer's paper commands and its print station: choosing, designing
// and editing the sign's paper stock, and the preview of the sheet being
// printed with its batch dialog. A link of the main frame's command chain.
#pragma once

#include "Commands.h"
#include "Types.h"

#include <QObject>

class CMainFrame;
class QWidget;

class CPrintCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CPrintCommands(CMainFrame* frame);
    ~CPrintCommands() override;

    // The frame's link, or null.
    static CPrintCommands* Of(const CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;

    // Makes the named stock the sign's (after the paper dialogs): the
    // elements are scaled to the new sign size, the stock selected with the
    // source, the pane and the canvas follow, the sign is marked modified.
    void ApplyStock(const QString& name, const QString& source = QString());

private:
    void OnPaperSelect();
    void OnPaperDesign(bool newStock);

    CMainFrame* m_frame;
};
