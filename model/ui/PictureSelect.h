// What the two picture file dialogs share (CImageSelect, CBackgroundSelect):
// an open-file dialog with a preview beside the file list, drawn by a
// picture element of the dialog's own; both open in the folder the last
// accepted picture came from.
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

class CPictureSelect : public QFileDialog
{
    Q_OBJECT

public:
    ~CPictureSelect() override;

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

    // What a test installs to answer either dialog's Choose in its place
    // (background tells which one asked).
    static std::function<QString(QWidget* parent, bool background)> s_choose;

public slots:
    void accept() override;

protected:
    // templateId names the dialog ("id<template>"); the preview element is
    // the dialog's own.
    CPictureSelect(QWidget* parent, std::unique_ptr<CImage> preview, int templateId,
                   const QString& title, bool resizable);

    // Asks with a dialog of that class, or with what a test installed in
    // s_choose; the chosen path, or empty when cancelled.
    template <class Dialog> static QString Ask(QWidget* parent, bool background)
    {
        if (s_choose)
            return s_choose(parent, background);
        Dialog dialog(parent);
        return dialog.exec() == QDialog::Accepted ? dialog.GetPathName() : QString();
    }

private:
    // A file under the cursor: its picture is loaded into the preview.
    void OnFileNameChange(const QString& path);
    // Another folder: the name box is cleared and the preview emptied.
    void OnFolderChange();

    std::unique_ptr<CImage> m_preview;
    CImagePreview* m_previewArea = nullptr;
    QString m_chosen;
};
