// The data-entry pane of print time: the data-entry panel with a row for
// every typed value, the record navigator bar of a linked sign and the print
// bar. It runs the per-sign print loop: each sign's data is checked by its
// elements' rules before it prints, and the variables advance only after a
// sign that printed. Any frame can host it: the host gives it the bars and
// tells it when data entry starts and ends.
#pragma once

#include "Types.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class CDataCtrl;
class CSignData;
class QScrollArea;

class CDataView : public QWidget
{
    Q_OBJECT

public:
    enum
    {
        IDD = 364
    };

    explicit CDataView(QWidget* parent = nullptr);
    ~CDataView() override;

    CDataCtrl* Panel() const { return m_panel; }

    // The bars keep their own sizes; the pane takes them as children. The
    // navigator bar is given only for a sign with a database link or store.
    void SetPrintBar(QWidget* bar);
    void SetNavigatorBar(QWidget* bar);
    QWidget* PrintBar() const { return m_printBar; }
    QWidget* NavigatorBar() const { return m_navigatorBar; }

    // Lays the children out for the docking side: 2 the right column (the
    // bars at the bottom, the panel above them), 3 the lower row (the bars at
    // the right, the panel to their left).
    void RecalcLayout(int docking);
    int Docking() const { return m_docking; }
    // Room for every row beside or above the bars.
    QSize sizeHint() const override;

    // Starts data entry: every element begins it, every variable starts from
    // its start values, the rows are made and show their values.
    void BeginDataEntry();
    // Ends it: every element shows its design data again.
    void EndDataEntry();
    // Ends data entry and starts it again (the print bar's Restart).
    void RestartDataEntry();
    // The link moved to another record and its fields reached the elements
    // and variables that take them: the rows show it. During a run of many
    // signs (CPrinter::m_signsAhead) they show the record being printed a
    // few times a second, and the run's last record at once.
    void OnRecordChanged();
    // How many times the rows were filled from a record.
    int RecordsShown() const { return m_recordsShown; }

    // Prints count signs with the copies each, to the printer or a file
    // (destination 0 or 1) or the print queue (2). Before each sign the
    // elements check their data (the first refusal shows its message and
    // ends the loop with FALSE) and the variables in use prepare; after a
    // sign that printed the variables advance and the must-enter rows are
    // emptied. labelsUsed hears of the labels each printed sign took. FALSE
    // when a sign was refused or did not print, or the spelling check was
    // cancelled.
    BOOL PrintEnteredData(CSignData& document, int count, int copies, int destination,
                          const QString& file, int sheetUsage,
                          const std::function<void(int copies)>& labelsUsed = {});
    // Why the last PrintEnteredData returned FALSE: 1 a sign's data was
    // refused, 2 printing failed or was cancelled, 3 the spelling check was
    // cancelled; 0 when it printed.
    int LastFailure() const { return m_lastFailure; }

signals:
    // A typed value changed the sign: whatever shows it repaints.
    void valuesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDataCtrl* m_panel = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_printBar = nullptr;
    QWidget* m_navigatorBar = nullptr;
    int m_docking = 2;
    void ShowRecord();
    static void AdoptedBarSizes(QWidget* bar);

    bool m_inDataEntry = false;
    int m_lastFailure = 0;
    int m_recordsShown = 0;
    // A record to show once the interval since the last one is over.
    QTimer m_recordTimer;
    bool m_recordPending = false;
};
