// "Missing File": a sign being read names a file (a picture, a database, a
// paper stock's picture) that is not where the sign says. The user browses
// to the file in its new place or abandons it. There is no other way out:
// no OK, no Cancel, no close box; Escape is Abort.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;

class CMissingFileDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 248
    };
    enum : int
    {
        IDC_PATH = 1086,
        IDC_BROWSE = 32774,
    };

    // Says why a chosen file cannot stand in for the missing one; an empty
    // text when it can.
    using FileCheck = std::function<QString(const QString& path)>;

    explicit CMissingFileDlg(const QString& missingPath, QWidget* parent = nullptr);

    // The check a chosen file must pass before it is taken; without one any
    // readable file will do.
    void SetFileCheck(FileCheck check) { m_check = std::move(check); }

    // The chosen file's path (after result 1); the missing one before.
    const QString& GetPathName() const { return m_path; }

    // The file box's filter for a missing file: its own type first ("*"
    // and the name from its first dot), then all files.
    static QString FilterFor(const QString& missingPath);

    // Browse: the file box; a usable file ends the dialog with 1, a
    // cancelled box with 3 (as Abort does).
    void OnBrowse();
    // Abort and Escape.
    void reject() override;

private:
    QString m_path;
    FileCheck m_check;
};

// Shows the Missing File dialog for the path and returns the file chosen in
// its place, or an empty text when the user abandoned it.
QString AskForMissingFile(const QString& missingPath, const CMissingFileDlg::FileCheck& check,
                          QWidget* parent);
