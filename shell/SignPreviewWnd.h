// A reduced picture of the current sign, fitted to the window: the sign's
// shape with its shadow and every element drawn through the elements' own
// draw operation, as the printer gets them.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class CSignPreviewWnd : public QWidget
{
    Q_OBJECT

public:
    explicit CSignPreviewWnd(QWidget* parent = nullptr);

    // Places the window and fits the sign into it anew.
    void SetPosition(const QRect& rect);
    void SetShadow(bool on);
    // Pixels per tenth of a millimetre, and the sign's corner in the window.
    double Scale() const { return m_scale; }
    QPoint SignOrigin() const { return m_origin; }

    void Render(QPainter& painter, const QSize& size);

    // Shows the sign of a file in place of the current one: the file is read
    // into a sign of its own, without a word to the user, and its picture
    // kept. FALSE, with the preview cleared, when it cannot be read.
    bool ShowFile(const QString& path);
    // Shows nothing (until ShowFile); ShowCurrentSign goes back to the
    // current sign.
    void Clear();
    void ShowCurrentSign();
    // The picture of the file shown; null when none is.
    const QImage& FilePicture() const { return m_filePicture; }
    const QString& FilePath() const { return m_filePath; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RecalcScale(const QSize& size);

    bool m_fileMode = false;
    QString m_filePath;
    QImage m_filePicture;
    bool m_shadow = true;
    double m_scale = 0;
    QPoint m_origin;
};
