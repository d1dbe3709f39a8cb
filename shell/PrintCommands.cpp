#include "PrintCommands.h"

#include "DataCtrl.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DesignView.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "Paper.h"
#include "PaperDesignDlg.h"
#include "PaperStockDlg.h"
#include "PrintBatchDlg.h"
#include "PrintQueue.h"
#include "PrintStationWnd.h"
#include "Printer.h"
#include "RecordNavigator.h"
#include "RecordPrintDriver.h"
#include "Seams.h"
#include "SheetPreviewWnd.h"
#include "SignPreviewWnd.h"
#include "VariableList.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSpinBox>

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

// The per-record print driver of the print station while the sign's own
// data is its one record: each record of a batch prints the sign as it
// stands, with the variables prepared and advanced around it.
class CSignRecordDriver : public CPrintRunSeam
{
public:
    explicit CSignRecordDriver(CPrintCommands& owner, CMainFrame& frame)
        : m_owner(owner), m_frame(frame)
    {
    }

    BOOL PrintEnteredData(int batch, int copies, int destination, const QString& file,
                          int sheetUsage) override
    {
        return PrintStationBatch(m_owner.DataView(), m_frame.Document(), batch, copies,
                                 destination, file, sheetUsage,
                                 [this] { return m_owner.Station(); });
    }
    void EndPrintRun() override { EndRun(true); }
    // Ends the run; again: data entry starts afresh (Restart), else the
    // station is being left.
    void EndRun(bool again)
    {
        CPrinter& printer = ThePrinter();
        if (printer.m_jobOpen)
            printer.EndJob();
        else if (ThePrintQueue().IsPending())
            ThePrintQueue().Submit();
        EndStationDataEntry(m_owner.DataView(), again);
    }
    void AdjustPrintDepth(bool ending) override
    {
        m_depth = std::max(0, m_depth + (ending ? -1 : 1));
    }
    void LeaveDataEntryIfIdle() override
    {
        if (m_depth == 0)
            m_frame.ExecuteCommand(ID_DATA_CANCEL);
    }
    bool IsQueueJobPending() const override { return ThePrintQueue().IsPending(); }
    bool IsQueueAvailable() const override { return ThePrintQueue().IsAvailable(); }
    bool IsSignSaved() const override { return !m_frame.Document().GetPathName().isEmpty(); }

private:
    CPrintCommands& m_owner;
    CMainFrame& m_frame;
    int m_depth = 0;
};

CPrintCommands::CPrintCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("printCommands"));
    frame->AddCommandTarget(this);
    // The frame's data-entry pane, unless the program gave it another.
    if (!FrameHooks().createDataView)
        FrameHooks().createDataView = [] { return new CDataView; };
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
    case ID_PREVIEW_SINGLE:
    case ID_PREVIEW_SHEET:
        return true;
    case ID_DATA_CANCEL:
        return IsStationOpen();
    case ID_RECORD_PRINT_ALL:
        return IsStationOpen() && CRecordPrintDriver::IsLinked();
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
    case ID_PREVIEW_SINGLE:
    case ID_PREVIEW_SHEET:
        if (IsStationOpen())
            m_station->SetSheetView(id == ID_PREVIEW_SHEET);
        else
            OpenPrintStation(id == ID_PREVIEW_SHEET ? 1 : 0);
        return true;
    case ID_DATA_CANCEL:
        ClosePrintStation();
        return true;
    case ID_RECORD_PRINT_ALL:
        OnPrintAllRecords();
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
    // Editing the current stock changes it in place: the elements are
    // scaled from its size before the edit.
    const CPaperStock before = stock;
    if (!DesignPaperStock(m_frame, stock, newStock))
        return;
    ApplyStock(stock.name, QString(), &before);
}

void CPrintCommands::ApplyStock(const QString& name, const QString& source,
                                const CPaperStock* previous)
{
    CPaper& paper = ThePaper();
    CPaperStock from;
    CPaperStock to;
    if (!paper.GetStock(name, to))
        return;
    const bool known = previous ? (from = *previous, true) : paper.GetStock(QString(), from);
    auto* view = qobject_cast<CDesignView*>(m_frame->Canvas());
    if (view)
        view->Selection().DeselectAll();
    if (known) {
        const double factor = ScaleFactor(from, to, ThePrinter().IsLandscape());
        if (factor != 1.0)
            TheElementList().ScaleAllToPaper(view, factor);
    }
    paper.SelectStock(name, source);
    m_frame->Document().SetModifiedFlag(true);
    // The pane shows the new stock; it is built anew once the command is
    // over, since the command may have come from one of its buttons.
    QMetaObject::invokeMethod(
        m_frame, [frame = m_frame] { frame->RefreshElementView(); }, Qt::QueuedConnection);
    if (view) {
        view->WholeSign();
        view->viewport()->update();
    }
    m_frame->UpdateTitle();
    m_frame->updateActions();
}

BOOL CPrintCommands::OpenPrintStation(int viewChoice)
{
    if (IsStationOpen())
        return TRUE;
    auto* view = qobject_cast<CDesignView*>(m_frame->Canvas());
    if (!view)
        return FALSE;
    view->Selection().DeselectAll();
    view->SetMode(MODE_DATA_ENTRY);
    m_frame->ShowDataView(true);

    auto* single = new CSignPreviewWnd;
    m_station = new CPrintStationWnd(view, single);
    m_station->Sheet()->SetShadow(CDesignView::s_showShadow);
    if (viewChoice != -1)
        m_station->SetSheetView(viewChoice == 1);
    TheVariableList().ResetValues();

    m_driver = std::make_unique<CSignRecordDriver>(*this, *m_frame);
    // A linked sign starts at the first record of its table or view.
    m_records = std::make_unique<CRecordPrintDriver>(*m_driver);
    m_records->Begin();
    m_batch = new CPrintBatchDlg(*m_records, m_station->Sheet(), m_frame);
    // The station stands for the whole canvas: no scroll bars beside it.
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_station->FitToParent();
    m_station->raise();
    if (CDataView* data = DataView()) {
        // The print bar stands in the data-entry pane, below its rows; a
        // sign with a database or data store walks its records in the
        // navigator bar above it.
        BeginStationDataEntry(
            data, m_station, m_batch, *m_records, [this] { return MakeNavigator(); },
            [this] { return DataView(); });
        m_frame->RecalcPaneSizes();
        m_frame->updateActions();
        return TRUE;
    }
    // The print bar belongs with the data-entry pane: it stands over it.
    QWidget* pane = m_frame->PropertyPane();
    const QRect area = pane && pane->isVisible()
                           ? QRect(pane->mapToGlobal(QPoint(0, 0)), pane->size())
                           : QRect(view->mapToGlobal(QPoint(0, 0)), view->size());
    FloatPrintBar(m_batch, area, 120);
    m_frame->updateActions();
    return TRUE;
}

CRecordNavigator* CPrintCommands::MakeNavigator()
{
    return MakeStationNavigator(
        m_batch, [this] { return DataView(); }, [this] { return m_driver.get(); },
        [this] { OnPrintAllRecords(); });
}

CDataView* CPrintCommands::DataView() const
{
    return m_frame->IsDataEntryMode() ? qobject_cast<CDataView*>(m_frame->DataView()) : nullptr;
}

// Print All: one sign per record of the linked database, each printed by
// the print bar's Print with its current settings.
void CPrintCommands::OnPrintAllRecords()
{
    if (!m_records || !m_batch)
        return;
    PrintAllThroughBatch(*m_records, m_batch);
    m_frame->updateActions();
}

void CPrintCommands::ClosePrintStation()
{
    if (!IsStationOpen())
        return;
    if (m_driver)
        m_driver->EndRun(false);
    if (m_records)
        m_records->SetRecordLoaded({});
    // The print bar may be what asked to leave (its Return button): it goes
    // once its handler is over, not with the data-entry pane that holds it.
    // Its driver stays until the next station.
    DismissPrintBar(m_batch, m_frame);
    delete m_station;
    m_frame->ShowDataView(false);
    if (auto* view = qobject_cast<CDesignView*>(m_frame->Canvas())) {
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        view->SetMode(MODE_SELECT);
        view->WholeSign();
        view->viewport()->update();
    }
    m_frame->updateActions();
}

// --- the print station's parts --------------------------------------------------

BOOL PrintStationBatch(CDataView* data, CSignData& document, int batch, int copies,
                       int destination, const QString& file, int sheetUsage,
                       const std::function<CPrintStationWnd*()>& station)
{
    if (data) {
        data->OnRecordChanged();
        return data->PrintEnteredData(document, batch, copies, destination, file, sheetUsage,
                                      [station](int used) {
                                          if (CPrintStationWnd* shown = station())
                                              shown->Sheet()->AddUsedLabels(used);
                                      });
    }
    CVariableList& variables = TheVariableList();
    for (int record = 0; record < batch; ++record) {
        if (!variables.UpdateForPrint())
            return FALSE;
        // What the variables advance during a job is taken back when the
        // job is cancelled, since none of it reaches the page.
        if (destination != 2 && !ThePrinter().m_jobOpen)
            variables.BeginPrintJob();
        const BOOL printed =
            destination == 2
                ? ThePrintQueue().AddSign(document, copies)
                : ThePrinter().PrintSign(document, copies, destination == 1 ? file : QString(),
                                         sheetUsage);
        if (!printed) {
            // A sign that did not print does not advance the variables; a
            // cancelled job discards its file, and every number it took
            // comes back.
            if (destination != 2 && ThePrinter().m_cancel)
                variables.DiscardPrintJob();
            return FALSE;
        }
        if (CPrintStationWnd* shown = station())
            shown->Sheet()->AddUsedLabels(copies);
        variables.AdvanceAfterPrint();
    }
    return TRUE;
}

void EndStationDataEntry(CDataView* data, bool again)
{
    if (auto* navigator = data ? qobject_cast<CRecordNavigator*>(data->NavigatorBar()) : nullptr;
        navigator && again)
        navigator->Refresh();
    if (data)
        data->EndDataEntry();
    else
        TheVariableList().EndPrintRun();
    TheVariableList().ResetValues();
    if (data && again)
        data->BeginDataEntry();
}

void BeginStationDataEntry(CDataView* data, CPrintStationWnd* station, CPrintBatchDlg* batch,
                           CRecordPrintDriver& records,
                           const std::function<CRecordNavigator*()>& makeNavigator,
                           std::function<CDataView*()> dataView)
{
    // The print bar, the navigator and the rows go in while the pane is
    // hidden: it is laid out and shown once, whole, instead of once for each
    // part (each one shown under the mouse asks the display where it is).
    const bool wasShown = !data->isHidden();
    data->hide();
    data->SetPrintBar(batch);
    if (CRecordNavigator* navigator = makeNavigator())
        data->SetNavigatorBar(navigator);
    data->RecalcLayout(TheSignSettings().dataViewDocking);
    QObject::connect(data, &CDataView::valuesChanged, station,
                     [shown = QPointer<CPrintStationWnd>(station)] {
                         if (shown)
                             shown->ShowChanges();
                     });
    data->BeginDataEntry();
    if (wasShown)
        data->show();
    // Each record the link moves to (Print All, Restart) shows in the rows.
    records.SetRecordLoaded([dataView = std::move(dataView)] {
        if (CDataView* shown = dataView())
            shown->OnRecordChanged();
    });
}

namespace {

QSpinBox* BatchCopiesBox(CPrintBatchDlg* batch)
{
    return batch ? batch->findChild<QSpinBox*>(
                       QStringLiteral("id%1").arg(CPrintBatchDlg::IDC_COPIES))
                 : nullptr;
}

} // namespace

void SetBatchCopies(CPrintBatchDlg* batch, const QString& copies)
{
    QSpinBox* box = BatchCopiesBox(batch);
    bool ok = false;
    const int count = copies.trimmed().toInt(&ok);
    if (box && ok && count > 0)
        box->setValue(count);
}

void PrintAllThroughBatch(CRecordPrintDriver& records, const QPointer<CPrintBatchDlg>& batch)
{
    records.PrintAllRecords(
        [batch] {
            if (batch)
                batch->OnPrint();
        },
        [batch](const QString& copies) { SetBatchCopies(batch, copies); });
}

CRecordNavigator* MakeStationNavigator(const QPointer<CPrintBatchDlg>& batch,
                                       std::function<CDataView*()> dataView,
                                       std::function<CPrintRunSeam*()> driver,
                                       std::function<void()> printAll)
{
    CDatabaseLink& link = TheDatabaseLink();
    if (!link.IsConnected() || (link.GetLinkKind() != 0 && link.GetLinkKind() != 1))
        return nullptr;
    CNavigatorHost host;
    host.recordChanged = [dataView] {
        if (CDataView* shown = dataView())
            shown->OnRecordChanged();
    };
    host.leaveDataEntryIfIdle = [driver = std::move(driver)] {
        if (CPrintRunSeam* running = driver())
            running->LeaveDataEntryIfIdle();
    };
    host.print = [batch] {
        if (batch)
            batch->OnPrint();
    };
    host.printAll = std::move(printAll);
    host.printFailed = [dataView] {
        CDataView* shown = dataView();
        return shown && shown->LastFailure() != 0;
    };
    host.setCopies = [batch](const QString& text) { SetBatchCopies(batch, text); };
    host.copiesText = [batch] {
        QSpinBox* copies = BatchCopiesBox(batch);
        return copies ? copies->text() : QString();
    };
    host.focusRow = [dataView](CObject* owner) {
        CDataView* shown = dataView();
        CDataCtrl* panel = shown ? shown->Panel() : nullptr;
        if (!panel)
            return;
        const int row = owner ? panel->FindRow(owner) : -1;
        QWidget* control = nullptr;
        if (row >= 0) {
            const CDataEntryField& field = panel->Row(row);
            control = field.edit       ? static_cast<QWidget*>(field.edit)
                      : field.textEdit ? static_cast<QWidget*>(field.textEdit)
                                       : field.combo;
        }
        if (!control) {
            panel->SetFocusToFirstField();
            return;
        }
        panel->EnsureVisible(row);
        control->setFocus();
    };
    return new CRecordNavigator(link, std::move(host));
}

void FloatPrintBar(CPrintBatchDlg* batch, const QRect& area, int drop)
{
    batch->show();
    const QSize size = batch->Placement().size();
    batch->SetPlacement(
        QRect(QPoint(area.right() - batch->frameGeometry().width() - 8, area.top() + drop), size));
}

void DismissPrintBar(QPointer<CPrintBatchDlg>& batch, QWidget* owner)
{
    if (!batch)
        return;
    batch->hide();
    batch->setParent(owner, Qt::Tool);
    batch->deleteLater();
    batch = nullptr;
}
