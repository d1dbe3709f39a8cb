#pragma once
// The program's widget style: the platform's own, except that the background
// of a toolbar is drawn once for each size and look and then copied. Some
// styles draw it with semi-transparent lines, which the raster engine lays
// down a pixel at a time: a frame-wide toolbar then costs milliseconds every
// time it shows, and the print station shows and hides them.
#include <QProxyStyle>

class CToolBarStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Over the style given, which it owns (the default style when none).
    explicit CToolBarStyle(QStyle* base = nullptr);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

    // Puts the style over the application's own once; later calls leave it.
    static void Install();
};
