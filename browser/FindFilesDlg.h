// The "Find Files" dialog of the sign browser: searches a folder, and its
// sub-folders when asked, for files matching a wildcard pattern, lists them,
// and hands the chosen file's path back to the browser.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QString>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

class CFindFilesDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 276
    };
    enum : int
    {
        IDC_LOOK_FOR = 1120,
        IDC_LOOK_IN = 1370,
        IDC_FIND_NOW = 1373,
        IDC_RESULTS = 1087,
        IDC_COUNT = 1374,
        IDC_SUBFOLDERS = 1258,
    };

    // One row of the results.
    struct Found
    {
        QString name;   // with its extension
        QString folder; // without a trailing separator
        qint64 size = 0;
        QDateTime modified;
    };

    // folder: where the search starts (the browser's selected folder).
    explicit CFindFilesDlg(const QString& folder, QWidget* parent = nullptr);

    // The chosen file's path; empty until a row is selected.
    QString ResultPath() const { return m_result; }

    // Find Now: fills the list and shows the count.
    void OnFindNow();

    // Every match of the pattern (files and folders alike) in the folder,
    // and in its sub-folders when asked; the rows of a folder searched later
    // stand above those found before. A folder reached again through a link
    // is searched once, so links that lead back up the tree end. Returns the
    // number of rows added.
    static int Search(const QString& folder, const QString& pattern, bool subfolders,
                      std::vector<Found>& rows);

private:
    void OnSelectionChanged();

    QLineEdit* m_lookFor = nullptr;
    QLineEdit* m_lookIn = nullptr;
    QTreeWidget* m_results = nullptr;
    QLabel* m_count = nullptr;
    QCheckBox* m_subfolders = nullptr;
    QString m_result;
};
