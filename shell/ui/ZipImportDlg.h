// "Import": unpacks a zip package into a folder that the user picks in a
// tree of folders or types (a new one is made), and tells the user what was
// unpacked or refused.
#pragma once

#include "ZipPackage.h"

#include <QDialog>

class QCheckBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeView;

class CZipImportDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 311,
        IDC_PACKAGE = 1086,
        IDC_FOLDER = 1477,
        IDC_TREE = 1085,
        IDC_OVERWRITE = 1487,
        IDC_SKIP_OLDER = 1488,
        IDC_UNPACKING = 1489,
        IDC_PROGRESS = 1482,
        IDC_NEW_FOLDER = 1485,
        IDC_GO_TO = 1486,
    };

    // folder: the one selected at first (the last template folder).
    CZipImportDlg(const QString& packagePath, const QString& folder, QWidget* parent = nullptr);

    // The sign to open after OK: the package's first sign, and only when
    // every entry was unpacked.
    QString FirstSign() const;
    const CZipImportResult& Result() const { return m_result; }

    // Import: unpacks, tells the user, and closes (the folder could not be
    // made: stays open).
    void accept() override;

    // Selects the folder in the tree; false when there is none.
    bool SelectPath(const QString& path);

private:
    void OnGoTo();
    void OnNewFolder();

    QString m_package;
    CZipImportResult m_result;
    bool m_imported = false;
    QLabel* m_packageLabel = nullptr;
    QLineEdit* m_folder = nullptr;
    QTreeView* m_tree = nullptr;
    QFileSystemModel* m_model = nullptr;
    QCheckBox* m_overwrite = nullptr;
    QCheckBox* m_skipOlder = nullptr;
    QLabel* m_unpacking = nullptr;
    QProgressBar* m_progress = nullptr;
};
