// The Ruler page (151) of the Layout Guides sheet: the program's display
// unit and whether the rulers are shown.
#pragma once

#include "Grid.h"

#include <QWidget>

class QCheckBox;
class QComboBox;

class CRulerPage : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 151,
        IDC_UNITS = 1082,
        IDC_SHOW_RULER = 1083,
    };

    explicit CRulerPage(const CGrid::SheetValues& values, QWidget* parent = nullptr);
    void Read(CGrid::SheetValues& values) const;

private:
    QComboBox* m_units = nullptr;
    QCheckBox* m_showRuler = nullptr;
};
