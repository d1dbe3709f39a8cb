// The file box through which signs are opened and saved under a new name:
// the sign files first, all files second, and beside the list a preview of
// the sign in the file under the cursor, read without touching the sign
// being designed.
#pragma once

#include <QFileDialog>
#include <QString>

class CSignPreviewWnd;
class QTimer;

class CSignSelect : public QFileDialog
{
    Q_OBJECT

public:
    // An Open box when open is true, else a Save As box. The box starts
    // from the proposed name when that file exists, else in the folder
    // given (the last template folder).
    CSignSelect(QWidget* owner, bool open, const QString& proposed,
                const QString& startFolder = QString());

    CSignPreviewWnd* Preview() const { return m_preview; }
    // The full path chosen (after Accepted).
    QString GetPathName() const;

    // Shows the sign of the file in the preview now (the box does so a
    // moment after the cursor rests on a file).
    void PreviewFile(const QString& path);

protected:
    // Save As asks before a sign is written over, through the program's
    // message box.
    void accept() override;

private:
    CSignPreviewWnd* m_preview = nullptr;
    QTimer* m_previewTimer = nullptr;
    QString m_pending;
};
