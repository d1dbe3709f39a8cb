#include "RecordPrintDriver.h"

#include "DataSourceMap.h"
#include "DatabaseLink.h"
#include "Element.h"
#include "ElementList.h"
#include "Messages.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "Variable.h"
#include "VariableList.h"
#include "WaitCursor.h"

#include <algorithm>
#include <optional>

CRecordPrintDriver::CRecordPrintDriver(CPrintRunSeam& signs) : m_signs(signs) {}

bool CRecordPrintDriver::IsLinked()
{
    const CDatabaseLink& link = TheDatabaseLink();
    return link.IsConnected() && link.GetLinkKind() == 0;
}

void CRecordPrintDriver::Begin()
{
    // The variables that are prepared for each sign are those the map says
    // are in use: it is made again from the lists first.
    TheDataSourceMap().Rebuild();
    if (!IsLinked())
        return;
    CDatabaseLink& link = TheDatabaseLink();
    // The records as they are now, in the table's or view's own order.
    link.CloseRecordset();
    link.OpenRecordset();
    link.MoveFirst();
    LoadRecord();
    if (m_recordLoaded)
        m_recordLoaded();
}

void CRecordPrintDriver::LoadRecord()
{
    if (!IsLinked())
        return;
    CDatabaseLink& link = TheDatabaseLink();
    CDataSourceMap& map = TheDataSourceMap();
    // By position: an element's operation may not reach the list, but the
    // walk must not rely on it.
    CElementList& elements = TheElementList();
    for (int i = 0; i < elements.GetCount(); ++i) {
        CElement* element = elements.GetAt(i);
        if (element->m_dataSource != SOURCE_DATABASE)
            continue;
        const QString value = link.GetFieldValue(element->m_sourceName);
        if (map.FindNode(element))
            map.SetSourceValue(element, value, SOURCE_DATABASE, element->m_sourceName, TRUE);
        else
            element->SetDataText(value, SOURCE_DATABASE, element->m_sourceName, TRUE);
    }
    CVariableList& variables = TheVariableList();
    for (int i = 0; i < variables.GetCount(); ++i) {
        CVariable* variable = variables.GetAt(i);
        if (!variable->IsDatabaseSourced())
            continue;
        const QString field = variable->GetSourceFieldName();
        const QString value = link.GetFieldValue(field);
        if (map.FindNode(variable))
            map.SetSourceValue(variable, value, SOURCE_DATABASE, field, TRUE);
        else
            variable->SetSourceValue(value, SOURCE_DATABASE, field, TRUE);
    }
    // A price calculation takes each record's price from its fields, first
    // input first, whether or not a row of the pane shows it.
    for (int i = 0; i < variables.GetCount(); ++i) {
        CVariable* variable = variables.GetAt(i);
        if (variable->GetTypeCode() != VARIABLE_PRICE_CALC)
            continue;
        std::vector<int> kinds;
        QStringList fields;
        variable->GetDataSources(kinds, fields);
        for (size_t input = 0; input < kinds.size() && input < size_t(fields.size()); ++input) {
            if (kinds[input] != SOURCE_DATABASE)
                continue;
            const QString& field = fields[qsizetype(input)];
            const QString value = link.GetFieldValue(field);
            if (map.FindNode(variable))
                map.SetSourceValue(variable, value, SOURCE_DATABASE, field, TRUE);
            else
                variable->SetSourceValue(value, SOURCE_DATABASE, field, TRUE);
        }
    }
}

BOOL CRecordPrintDriver::PrintAllRecords(const std::function<void()>& press,
                                         const std::function<void(const QString&)>& setCopies)
{
    if (!IsLinked())
        return FALSE;
    CDatabaseLink& link = TheDatabaseLink();
    if (!link.IsRecordsetOpen())
        link.OpenRecordset();
    const int count = link.GetRecordCount();
    if (count < 1)
        return FALSE;
    if (count > 1 &&
        AppMessageBox(
            LoadStringId(IDS_PRINT_N_SIGNS).replace(QLatin1String("%d"), QString::number(count)),
            MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;
    m_stoppedAt = 0;
    if (!link.MoveFirst())
        return FALSE;
    AdjustPrintDepth(false);
    CPrinter& printer = ThePrinter();
    // A cancel of an earlier job says nothing about this run.
    if (!printer.m_jobOpen)
        printer.m_cancel = FALSE;
    // One Printing window and one wait cursor for the whole run, not one
    // per sign.
    std::optional<CWaitCursor> wait;
    wait.emplace();
    printer.HoldPrintWindow();
    for (;;) {
        printer.m_signsAhead = std::max(0, count - link.GetPosition());
        LoadRecord();
        if (m_recordLoaded)
            m_recordLoaded();
        if (setCopies && link.m_firstFieldIsCopyQuantity)
            setCopies(link.GetFieldValueAt(0));
        m_stopped = false;
        press();
        // A cancelled job, or a record whose sign was refused or did not
        // print, ends the run: the next press would only meet the same job
        // again, and the records after it would leave a gap unnoticed.
        const bool cancelled = printer.m_cancel != FALSE;
        if ((printer.m_jobOpen && cancelled) || m_stopped) {
            m_stoppedAt = link.GetPosition();
            // The rows show the record the run stopped at, the window goes.
            printer.m_signsAhead = 0;
            printer.ReleasePrintWindow();
            if (m_recordLoaded) {
                LoadRecord();
                m_recordLoaded();
            }
            wait.reset();
            if (!cancelled)
                AppMessageBox(QStringLiteral("Print All stopped at record %1 of %2: its sign was "
                                             "not printed. The signs of the records before it "
                                             "were printed.")
                                  .arg(m_stoppedAt)
                                  .arg(count),
                              MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        if (!link.MoveNext()) {
            printer.m_signsAhead = 0;
            printer.ReleasePrintWindow();
            break;
        }
    }
    AdjustPrintDepth(true);
    return m_stoppedAt == 0;
}

BOOL CRecordPrintDriver::PrintEnteredData(int batch, int copies, int destination,
                                          const QString& file, int sheetUsage)
{
    LoadRecord();
    const BOOL printed = m_signs.PrintEnteredData(batch, copies, destination, file, sheetUsage);
    m_stopped = !printed;
    return printed;
}

void CRecordPrintDriver::EndPrintRun()
{
    m_signs.EndPrintRun();
    // The run is over: the whole table or view again, at its first record.
    if (IsLinked()) {
        CDatabaseLink& link = TheDatabaseLink();
        link.CloseRecordset();
        Begin();
    }
}

QString CRecordPrintDriver::CopiesFromData()
{
    CDatabaseLink& link = TheDatabaseLink();
    if (IsLinked() && link.m_firstFieldIsCopyQuantity)
        return link.GetFieldValueAt(0);
    return m_signs.CopiesFromData();
}
