// The Grid page (137) of the Layout Guides sheet: the grid and guide
// switches and the two grid intervals, in millimetres or, with the display
// unit in inches, in inches.
#pragma once

#include "Grid.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

class CGridPage : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 137,
        IDC_SHOW_GRID = 1060,
        IDC_SNAP_TO_GRID = 1061,
        IDC_INTERVAL_X = 1062,
        IDC_INTERVAL_Y = 1063,
        IDC_UNIT_X = 1019,
        IDC_UNIT_Y = 1020,
        IDC_SNAP_TO_GUIDES = 1500,
    };

    explicit CGridPage(const CGrid::SheetValues& values, QWidget* parent = nullptr);

    // Takes the page's values; false, with the range message shown and the
    // field to mend focused, when an interval is not a number in range.
    bool Read(CGrid::SheetValues& values) const;

private:
    bool ReadInterval(QLineEdit* edit, double& value) const;

    bool m_inches = false;
    QCheckBox* m_showGrid = nullptr;
    QCheckBox* m_snapToGrid = nullptr;
    QCheckBox* m_snapToGuides = nullptr;
    QLineEdit* m_intervalX = nullptr;
    QLineEdit* m_intervalY = nullptr;
};
