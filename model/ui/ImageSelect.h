// The picture file dialogs: "Select Picture" for picture elements and
// "Select Background" for a paper stock's background. Each is an open-file
// dialog with a preview beside the file list, drawn by a picture element of
// the dialog's own; both open in the folder the last accepted picture came
// from.
#pragma once

#include "Image.h"

#include <QFileDialog>
#include <QWidget>

#include <functional>
#include <memory>

// The preview area (control 1119): paints the dialog's picture element.
class CImagePreview : public QWidget
{
    Q_OBJECT

public:
    CImagePreview(CImage* image, QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(220, 220); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CImage* m_image;
};

class CImageSelect : public QFileDialog
{
    Q_OBJECT

public:
    explicit CImageSelect(QWidget* parent = nullptr, bool background = false);
    ~CImageSelect() override;

    // The file chosen, after the dialog returned OK.
    QString GetPathName() const { return m_chosen; }
    // The preview's element (empty until a picture file is under the cursor).
    CImage& Preview() { return *m_preview; }

    // The folder the boxes open in: the last-used picture folder of the
    // profile, then the folder of each picture accepted (with its trailing
    // separator).
    static QString& LastPictureFolder();
    // The file-type filter of both dialogs, in Qt's form.
    static QStringList Filters();

    // Asks for a picture file: the dialog, or what a test installed in
    // s_choose. Empty when cancelled.
    static QString Choose(QWidget* parent, bool background = false);
    static std::function<QString(QWidget* parent, bool background)> s_choose;

public slots:
    void accept() override;

private:
    // A file under the cursor: its picture is loaded into the preview.
    void OnFileNameChange(const QString& path);
    // Another folder: the name box is cleared and the preview emptied.
    void OnFolderChange();

    std::unique_ptr<CImage> m_preview;
    CImagePreview* m_previewArea = nullptr;
    QString m_chosen;
};
