// The "Print" dialog: where a sign goes (the printer, a print file or the
// print queue), how many copies, and how many cells of the sheet in the
// printer are already used. Also the road from the dialog's answers to the
// print loop or the print queue.
#pragma once

#include "Types.h"

#include <QDialog>
#include <QString>

class CSignData;
class QComboBox;
class QLabel;
class QSpinBox;

class CPrintSignDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 146
    };
    // Control ids. The copies and skip edits carry their spin buttons.
    enum : int
    {
        IDC_DESTINATION = 1416,
        IDC_COPIES_SPIN = 1069,
        IDC_COPIES = 1070,
        IDC_SKIP = 1496,
        IDC_SKIP_SPIN = 1497,
    };
    // The destinations, in the order of the list.
    enum Destination : int
    {
        DEST_PRINTER = 0,
        DEST_FILE = 1,
        DEST_QUEUE = 2,
    };

    static constexpr int kMaxCopies = 9999;

    // Fills the controls from m_destination, m_copies and m_skip; "Queue" is
    // offered only when the print queue is installed.
    explicit CPrintSignDlg(const CSignData& document, QWidget* parent = nullptr);

    // The answers, valid after OK.
    int m_destination = DEST_PRINTER;
    int m_copies = 1;
    int m_skip = 0;

    // Cells on one sheet of the current stock.
    int LabelsPerSheet() const { return m_labelsPerSheet; }

    // Checks the copies (1 to 9999) and the skip (0 to labels per sheet - 1);
    // stays open after a message when either is out of range.
    void accept() override;

private:
    void OnDestinationChanged(int index);
    bool ReadNumber(QSpinBox* box, int low, int high, int& value);

    const CSignData& m_document;
    int m_labelsPerSheet = 1;
    QComboBox* m_destinationBox = nullptr;
    QSpinBox* m_copiesBox = nullptr;
    QSpinBox* m_skipBox = nullptr;
    QLabel* m_skipNote = nullptr;
};

// Runs the sheet-reuse warning when skip is at least 1 and the profile still
// asks for it ("Settings", "SkipDialog", shown while not 0); records "Don't
// warn me again" whichever button closed it. TRUE when printing goes on.
BOOL ConfirmSheetReuse(QWidget* parent, int skip);

// What the Print command does once it has its answers: to the printer or a
// print file (file empty: the printer decides, and the virtual printer asks
// for its file), through the print loop from the sheet's first page, or to
// the print queue. A print that fails or is cancelled ends its job without a
// log row and hands nothing to the queue. TRUE when everything was printed
// or queued.
BOOL PrintSignTo(const CSignData& document, int destination, int copies, int skip,
                 const QString& file);
