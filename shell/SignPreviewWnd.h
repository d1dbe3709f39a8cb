// A reduced picture of the current sign, fitted to the window: the sign's
// shape with its shadow and every element drawn through the elements' own
// draw operation, as the printer gets them.
#pragma once

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RecalcScale(const QSize& size);

    bool m_shadow = true;
    double m_scale = 0;
    QPoint m_origin;
};
