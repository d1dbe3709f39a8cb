// The pane below the sign browser's folder tree and file list: the selected
// sign's folder, file name, title, author and description, a reduced
// preview of it on its paper, and the Print button.
#pragma once

#include "Types.h"

#include <QString>
#include <QWidget>

class CSignData;
class CSignPreviewWnd;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class CBrowseInfoPane : public QWidget
{
    Q_OBJECT

public:
    enum
    {
        IDD = 274
    };
    enum : int
    {
        IDC_PRINT = 32807,
        IDC_FOLDER = 1370,
        IDC_FILE = 1371,
        IDC_TITLE = 1107,
        IDC_AUTHOR = 1230,
        IDC_DESCRIPTION = 1200,
    };

    // document: the program's one sign, which the pane loads.
    CBrowseInfoPane(CSignData& document, QWidget* parent);

    // Loads the sign into the document and shows it; with an empty path, or
    // when the file cannot be opened or read, the document and the fields
    // are emptied and Print is disabled. TRUE when a sign was loaded; else
    // LastProblem() says why (empty for an empty path).
    BOOL ShowSign(const QString& path);
    QString LastProblem() const { return m_problem; }

    // The Folder field: the folder selected in the tree.
    void SetFolder(const QString& folder);
    // The preview fits the sign anew and repaints (after a paper, printer
    // or shadow change).
    void RefreshPreview();

    CSignPreviewWnd* Preview() const { return m_preview; }
    QPushButton* PrintButton() const { return m_print; }

signals:
    // The Print button: the browser's Print command.
    void printRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    BOOL Load(const QString& path);
    void Layout();
    void UpdatePrintTip();

    CSignData& m_document;
    QLabel* m_folder = nullptr;
    QLabel* m_file = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_author = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QLabel* m_captions[5] = {};
    QPushButton* m_print = nullptr;
    CSignPreviewWnd* m_preview = nullptr;
    QString m_problem;
};
