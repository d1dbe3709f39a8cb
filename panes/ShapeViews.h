// The panes of the simple shapes: the line pane, and the box pane that boxes
// and ellipses share.
#pragma once

#include "ElementView.h"
#include "PositionSizeBlock.h"

class CBox;
class CLine;
class QComboBox;
class QCheckBox;
class QSpinBox;
class QPushButton;

// Whether the current printer draws a shape of this type code itself.
// Nothing offers it until the printer describes its native facilities.
std::function<bool(int typeCode)>& NativeShapeOffer();

class CLineView : public CElementView
{
    Q_OBJECT

public:
    explicit CLineView(CLine* line, QWidget* parent = nullptr);
    void UpdateFromElement() override;

private:
    void ApplyPoints(CPoint start, CPoint end);
    void ApplyLengthAndAngle(int lengthTenths, double degrees);
    void ShowDerived(CLine* line);

    QLineEdit* m_startX = nullptr;
    QLineEdit* m_startY = nullptr;
    QLineEdit* m_endX = nullptr;
    QLineEdit* m_endY = nullptr;
    QLineEdit* m_length = nullptr;
    QLineEdit* m_angle = nullptr;
    QLineEdit* m_thickness = nullptr;
    QComboBox* m_endType = nullptr;
    COLORREF m_colour = 0;
};

class CBoxView : public CElementView
{
    Q_OBJECT

public:
    explicit CBoxView(CBox* box, QWidget* parent = nullptr);
    void UpdateFromElement() override;

private:
    // Lays the box on a new rectangle, refusing a negative width or height.
    void ApplyRect(int left, int top, int width, int height);
    // The box's rectangle with one typed value in place.
    static CRect TypedRect(const CBox* box, CPositionSizeBlock::Field field, int tenths);
    // False (after telling the user) for a negative width or height.
    static bool AcceptRect(const CRect& rect);
    void ShowFill(bool on);

    bool m_ellipse = false;
    CPositionSizeBlock* m_position = nullptr;
    QLineEdit* m_thickness = nullptr;
    QComboBox* m_orientation = nullptr;
    QComboBox* m_corner = nullptr;
    QSpinBox* m_radius = nullptr;
    QCheckBox* m_fill = nullptr;
    QWidget* m_fillSwatch = nullptr;
    QPushButton* m_fillButton = nullptr;
    COLORREF m_outlineColour = 0;
    COLORREF m_fillColour = 0;
};
