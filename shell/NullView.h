// The empty form (365) that fills a place of a frame's splitter that has
// nothing to show: the data-entry row while the designer designs, the
// column beside the canvas or the browser while data entry sits below, and
// both places beside the print front end's browser while it browses.
#pragma once

#include <QWidget>

class CNullView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFormId = 365;

    Q_INVOKABLE explicit CNullView(QWidget* parent = nullptr);
};
