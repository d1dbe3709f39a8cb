#include "PrintCommands.h"

#include "DesignView.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "Paper.h"
#include "PaperDesignDlg.h"
#include "PaperStockDlg.h"
#include "Printer.h"

#include <QPointer>

namespace {

// The factor that scales a sign of the current stock to one of the new
// stock: the smaller of the two ratios, in the page's orientation.
double ScaleFactor(const CPaperStock& from, const CPaperStock& to, bool landscape)
{
    const int fromWidth = landscape ? from.labelHeight : from.labelWidth;
    const int fromHeight = landscape ? from.labelWidth : from.labelHeight;
    const int toWidth = landscape ? to.labelHeight : to.labelWidth;
    const int toHeight = landscape ? to.labelWidth : to.labelHeight;
    if (fromWidth <= 0 || fromHeight <= 0)
        return 1.0;
    return std::min(double(toWidth) / fromWidth, double(toHeight) / fromHeight);
}

} // namespace

CPrintCommands::CPrintCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("printCommands"));
    frame->AddCommandTarget(this);
    // Print Setup... of the paper dialogs runs the frame's command.
    QPointer<CMainFrame> guarded(frame);
    CPaperDesignDlg::s_printSetup = [guarded](QWidget*) {
        if (guarded && guarded->IsCommandHandled(ID_FILE_PRINT_SETUP))
            guarded->ExecuteCommand(ID_FILE_PRINT_SETUP);
    };
}

CPrintCommands::~CPrintCommands() = default;

CPrintCommands* CPrintCommands::Of(const CMainFrame* frame)
{
    return frame ? frame->findChild<CPrintCommands*>(QStringLiteral("printCommands"),
                                                     Qt::FindDirectChildrenOnly)
                 : nullptr;
}

bool CPrintCommands::HandlesCommand(int id) const
{
    switch (id) {
    case ID_PAPER_SELECT:
    case ID_PAPER_NEW:
    case ID_PAPER_EDIT:
        return !m_frame->IsDataEntryMode();
    default:
        return false;
    }
}

bool CPrintCommands::OnCommand(int id)
{
    switch (id) {
    case ID_PAPER_SELECT:
        OnPaperSelect();
        return true;
    case ID_PAPER_NEW:
        OnPaperDesign(true);
        return true;
    case ID_PAPER_EDIT:
        OnPaperDesign(false);
        return true;
    default:
        return false;
    }
}

void CPrintCommands::OnPaperSelect()
{
    CPaperStockDlg dlg(m_frame);
    if (dlg.exec() != QDialog::Accepted)
        return;
    ApplyStock(dlg.SelectedName(), dlg.SelectedSource());
}

void CPrintCommands::OnPaperDesign(bool newStock)
{
    CPaperStock stock;
    if (!ThePaper().GetStock(QString(), stock))
        return;
    if (!DesignPaperStock(m_frame, stock, newStock))
        return;
    ApplyStock(stock.name);
}

void CPrintCommands::ApplyStock(const QString& name, const QString& source)
{
    CPaper& paper = ThePaper();
    CPaperStock from;
    CPaperStock to;
    if (!paper.GetStock(name, to))
        return;
    auto* view = qobject_cast<CDesignView*>(m_frame->Canvas());
    if (view)
        view->Selection().DeselectAll();
    if (paper.GetStock(QString(), from)) {
        const double factor = ScaleFactor(from, to, ThePrinter().IsLandscape());
        if (factor != 1.0)
            TheElementList().ScaleAllToPaper(view, factor);
    }
    paper.SelectStock(name, source);
    m_frame->Document().SetModifiedFlag(true);
    m_frame->RefreshElementView();
    if (view) {
        view->WholeSign();
        view->viewport()->update();
    }
    m_frame->UpdateTitle();
    m_frame->updateActions();
}
