// The "Paper Stock" dialog: chooses the sign's paper stock by category and
// name, with the printer's paper source, and creates, edits and deletes the
// user's stocks through the Paper Design dialog.
#pragma once

#include "Paper.h"

#include <QDialog>
#include <QString>

class CStockPicture;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class CPaperStockDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 163
    };
    enum : int
    {
        IDC_CATEGORY = 1498,
        IDC_STOCK_LIST = 1136,
        IDC_SOURCE = 1499,
        IDC_NEW = 1137,
        IDC_EDIT = 1004,
        IDC_DELETE = 1515,
        IDC_PRINT_SETUP = 57606,
        IDC_PAGE_WIDTH = 1148,
        IDC_PAGE_HEIGHT = 1139,
        IDC_SIGN_WIDTH = 1144,
        IDC_SIGN_HEIGHT = 1145,
        IDC_LABELS_PER_PAGE = 1138,
        IDC_SIZE_NOTE = 1555,
        IDC_PICTURE = 1152,
    };

    explicit CPaperStockDlg(QWidget* parent = nullptr);
    ~CPaperStockDlg() override;

    // The chosen stock and paper source (after OK).
    QString SelectedName() const { return m_selectedName; }
    QString SelectedSource() const { return m_selectedSource; }
    // The stock the dialog shows now.
    const CPaperStock& WorkingStock() const { return m_work; }

    void accept() override;

private:
    void Refresh();
    void OnCategory();
    void OnStock();
    void OnNewOrEdit(bool newStock);
    void OnDelete();
    void UpdateButtons();
    void UpdateTexts();

    CPaperStock m_work;
    QString m_selectedName;
    QString m_selectedSource;
    bool m_filling = false;
    QComboBox* m_category = nullptr;
    QListWidget* m_list = nullptr;
    QComboBox* m_source = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QLabel* m_pageWidth = nullptr;
    QLabel* m_pageHeight = nullptr;
    QLabel* m_signWidth = nullptr;
    QLabel* m_signHeight = nullptr;
    QLabel* m_perPage = nullptr;
    QLabel* m_note = nullptr;
    CStockPicture* m_picture = nullptr;
};

// Runs the Paper Design dialog and stores its stock in the library; TRUE
// when a stock was stored (its name in stock).
BOOL DesignPaperStock(QWidget* parent, CPaperStock& stock, bool newStock);
