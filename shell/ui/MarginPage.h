// The Margins page (150) of the Layout Guides sheet: whether the canvas
// shows the printer's margins on the sign.
#pragma once

#include "Grid.h"

#include <QWidget>

class QCheckBox;

class CMarginPage : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 150,
        IDC_SHOW_MARGINS = 1081,
    };

    explicit CMarginPage(const CGrid::SheetValues& values, QWidget* parent = nullptr);
    void Read(CGrid::SheetValues& values) const;

private:
    QCheckBox* m_showMargins = nullptr;
};
