// "Create Folder" of the Import dialog: a new folder in the current one, or
// at a path typed in full.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

class CCreateFolderDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 312,
        IDC_CURRENT = 1477,
        IDC_NAME = 1480,
    };

    CCreateFolderDlg(const QString& currentFolder, QWidget* parent = nullptr);

    // After OK: the full path of the folder made.
    QString GetPathName() const { return m_path; }

    // Makes the folder (one level); tells the user and stays open when it
    // cannot be made.
    void accept() override;

private:
    QString m_current;
    QString m_path;
    QLineEdit* m_name = nullptr;
};
