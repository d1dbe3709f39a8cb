// The print batch dialog of the print station: a modeless window beside the
// previews that prints the sign's records in batches (destination, identical
// copies, serialised batch, sheet usage) and offers Restart and Return. While
// a sheet is partly filled its Return button blinks "Eject Sheet". Ctrl+P
// anywhere in it prints, as the Print button does.
#pragma once

#include "Types.h"

#include <QDialog>
#include <QRect>
#include <QString>
#include <QTimer>

#include <functional>

class CPrintRunSeam;
class CSheetPreviewWnd;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class CPrintBatchDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 220
    };
    enum : int
    {
        IDC_DESTINATION = 1416,
        IDC_DESTINATION_TEXT = 1417,
        IDC_COPIES = 1308,
        IDC_COPIES_SPIN = 1309,
        IDC_BATCH = 1114,
        IDC_BATCH_SPIN = 1303,
        IDC_BATCH_LABEL = 1313,
        IDC_SHEET_USAGE = 1516,
        IDC_SHEET_USAGE_SPIN = 1517,
        IDC_PER_SHEET = 1518,
        IDC_SHEET_USAGE_LABEL = 1519,
        IDC_OF_LABEL = 1520,
        IDC_PRINT = 32807,
        IDC_RESTART = 32772,
        IDC_RETURN = 32771,
    };
    // The eject prompt's blink.
    static constexpr int kBlinkMs = 600;
    static constexpr int kMaxCount = 9999;

    // driver: the per-record print driver; sheet: the whole-sheet preview
    // that Sheet Usage sets (may be null).
    CPrintBatchDlg(CPrintRunSeam& driver, CSheetPreviewWnd* sheet, QWidget* parent = nullptr);
    ~CPrintBatchDlg() override;

    // Print, Restart and Return.
    void OnPrint();
    // Ctrl+P, in the bar or in the data-entry rows: Print while it can.
    void PrintByAccelerator();
    void OnRestart();
    // Return: ejects a partly filled sheet (as Restart), else leaves the
    // print station.
    void reject() override;
    void UpdateControls();

    // The destination: 0 printer, 1 file, 2 queue; the file printed to.
    int Destination() const;
    QString OutputFile() const { return m_file; }
    bool IsBlinking() const { return m_blink.isActive(); }
    int BlinkInterval() const { return m_blink.interval(); }
    // What Return reads while no sheet waits to be ejected: "Return to
    // Label Design" unless the program says where Return goes.
    void SetIdleReturnText(const QString& text);
    // The bar's window rectangle: its own size where it was made, then
    // wherever it was placed last. SetPlacement moves it there.
    void SetPlacement(const QRect& rect);
    QRect Placement() const { return m_placement; }

private:
    void OnDestination(int index);
    void OnCopiesEdited();
    void OnSheetUsageEdited();
    void OnBlink();
    void SetReturnText(const QString& text);
    int LabelsPerSheet() const;
    QString InitialCopies() const;
    QString EjectText() const;

    CPrintRunSeam& m_driver;
    CSheetPreviewWnd* m_sheet;
    QComboBox* m_destination = nullptr;
    QLabel* m_destinationText = nullptr;
    QSpinBox* m_copies = nullptr;
    QSpinBox* m_batch = nullptr;
    QLabel* m_batchLabel = nullptr;
    QSpinBox* m_sheetUsage = nullptr;
    QLabel* m_sheetUsageLabel = nullptr;
    QLabel* m_ofLabel = nullptr;
    QLabel* m_perSheet = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_restart = nullptr;
    QPushButton* m_return = nullptr;
    QString m_file;
    QString m_ejectText;
    QString m_idleReturnText;
    QTimer m_blink;
    bool m_blinkPhase = false;
    QRect m_placement;
};
