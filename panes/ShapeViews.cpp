#include "ShapeViews.h"

#include "PaneControls.h"
#include "PositionSizeBlock.h"

#include "AppContext.h"
#include "Box.h"
#include "Line.h"
#include "MessageBox.h"
#include "Rounding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

using namespace PaneBuild;

namespace {

} // namespace

std::function<bool(int typeCode)>& NativeShapeOffer()
{
    static std::function<bool(int)> offer;
    return offer;
}

static bool NativeOffered(int typeCode)
{
    // An ellipse never prints natively.
    if (typeCode == TYPE_ELLIPSE)
        return false;
    return NativeShapeOffer() && NativeShapeOffer()(typeCode);
}

// --- line -----------------------------------------------------------------------

CLineView::CLineView(CLine* line, QWidget* parent) : CElementView(line, 369, tr("Line"), parent)
{
    AddNameBlock();
    AddPrintOptions(NativeOffered(TYPE_LINE));

    QWidget* body = Form()->parentWidget();
    QGridLayout* geometry = AddGroup(Form(), body, tr("Position"));
    auto applyStart = [this](bool x) {
        return [this, x](int tenths) {
            if (auto* l = ElementAs<CLine>()) {
                CPoint start = l->m_start;
                (x ? start.x : start.y) = tenths;
                ApplyPoints(start, l->m_end);
            }
        };
    };
    auto applyEnd = [this](bool x) {
        return [this, x](int tenths) {
            if (auto* l = ElementAs<CLine>()) {
                CPoint end = l->m_end;
                (x ? end.x : end.y) = tenths;
                ApplyPoints(l->m_start, end);
            }
        };
    };
    m_startX =
        AddLengthField(geometry, 0, tr("Start X"), 1024, 1019, LENGTH_POSITION, applyStart(true));
    m_startY =
        AddLengthField(geometry, 1, tr("Start Y"), 1025, 1020, LENGTH_POSITION, applyStart(false));
    m_endX = AddLengthField(geometry, 2, tr("End X"), 1026, 1021, LENGTH_POSITION, applyEnd(true));
    m_endY = AddLengthField(geometry, 3, tr("End Y"), 1027, 1022, LENGTH_POSITION, applyEnd(false));
    m_length =
        AddLengthField(geometry, 4, tr("Length"), 1028, 1030, LENGTH_POSITION, [this](int tenths) {
            double degrees = 0;
            if (PaneUnits::Parse(m_angle->text(), degrees))
                ApplyLengthAndAngle(tenths, degrees);
        });
    m_angle = new QLineEdit(geometry->parentWidget());
    m_angle->setObjectName(QStringLiteral("id1029"));
    AddRow(geometry, 5, tr("Angle"), m_angle);
    geometry->addWidget(new QLabel(tr("degrees"), geometry->parentWidget()), 5, 2);
    connect(m_angle, &QLineEdit::textEdited, this, [this] {
        auto* l = ElementAs<CLine>();
        double degrees = 0;
        double length = 0;
        if (!l || IsLoading() || !PaneUnits::Parse(m_angle->text(), degrees) ||
            !PaneUnits::Parse(m_length->text(), length))
            return;
        ApplyLengthAndAngle(PaneUnits::FromDisplay(length), degrees);
    });

    QGridLayout* style = AddGroup(Form(), body, tr("Style"));
    m_thickness =
        AddLengthField(style, 0, tr("Thickness"), 1013, 1149, LENGTH_SIZE, [this](int tenths) {
            if (auto* l = ElementAs<CLine>()) {
                l->SetThickness(View(), tenths);
                ElementEdited(l);
            }
        });
    m_endType = new QComboBox(style->parentWidget());
    m_endType->setObjectName(QStringLiteral("id1034"));
    m_endType->addItems({tr("Square"), tr("Rounded"), tr("Point-In"), tr("Point-Out")});
    AddRow(style, 1, tr("End Type"), m_endType);
    connect(m_endType, &QComboBox::activated, this, [this](int index) {
        if (auto* l = ElementAs<CLine>(); l && !IsLoading()) {
            l->SetEndStyle(View(), index);
            ElementEdited(l);
        }
    });
    AddColourRow(style, 2, tr("Colour"), 1035, 1036, &m_colour, [this](COLORREF) {
        if (auto* l = ElementAs<CLine>()) {
            l->SetColour(View(), m_colour);
            ElementEdited(l);
        }
    });

    if (line) {
        m_thickness->setText(PaneUnits::Format(line->m_thickness));
        m_endType->setCurrentIndex(line->m_endStyle);
        m_colour = line->m_colour;
        LoadCommonBlocks(line, NativeOffered(TYPE_LINE));
    }
    UpdateFromElement();
    SetLoading(false);
}

void CLineView::ShowDerived(CLine* line)
{
    const int length = RoundHalfUp(line->GetLength());
    m_length->setText(PaneUnits::Format(length));
    m_angle->setText(QString::number(line->GetAngleDegrees()));
}

void CLineView::UpdateFromElement()
{
    auto* line = ElementAs<CLine>();
    if (!line)
        return;
    const bool loading = IsLoading();
    SetLoading(true);
    SetLength(m_startX, line->m_start.x);
    SetLength(m_startY, line->m_start.y);
    SetLength(m_endX, line->m_end.x);
    SetLength(m_endY, line->m_end.y);
    ShowDerived(line);
    SetLoading(loading);
}

void CLineView::ApplyPoints(CPoint start, CPoint end)
{
    auto* line = ElementAs<CLine>();
    if (!line)
        return;
    line->SetPoints(View(), start, end);
    ShowDerived(line);
    ElementEdited(line);
}

void CLineView::ApplyLengthAndAngle(int lengthTenths, double degrees)
{
    auto* line = ElementAs<CLine>();
    if (!line)
        return;
    double radians = degrees * std::numbers::pi / 180.0;
    if (radians > std::numbers::pi)
        radians -= 2 * std::numbers::pi;
    // y grows downward: a positive angle turns clockwise on the sheet.
    const CPoint end(line->m_start.x + RoundHalfAway(std::cos(radians) * lengthTenths),
                     line->m_start.y + RoundHalfAway(std::sin(radians) * lengthTenths));
    line->SetPoints(View(), line->m_start, end);
    SetLength(m_endX, end.x);
    SetLength(m_endY, end.y);
    ElementEdited(line);
}

// --- box and ellipse ------------------------------------------------------------

CBoxView::CBoxView(CBox* box, QWidget* parent)
    : CElementView(box, 370, box && box->GetTypeCode() == TYPE_ELLIPSE ? tr("Ellipse") : tr("Box"),
                   parent),
      m_ellipse(box && box->GetTypeCode() == TYPE_ELLIPSE)
{
    AddNameBlock();
    const int type = m_ellipse ? TYPE_ELLIPSE : TYPE_BOX;
    AddPrintOptions(NativeOffered(type));

    QWidget* body = Form()->parentWidget();
    // Each field moves or sizes the box by its own value; the other values
    // are taken from the element, not from the rounded texts shown. Sizes
    // are typed against the position range, so that a negative one reaches
    // the check that refuses it.
    m_position = new CPositionSizeBlock(
        {tr("Position"), false, true, LENGTH_POSITION}, DirectEdits(),
        [](const CElement* e) {
            const CRect r = static_cast<const CBox*>(e)->GetPointRect();
            return CPositionSizeBlock::Place{r.left, r.top, std::abs(r.Width()),
                                             std::abs(r.Height())};
        },
        [](CElement* e, CPositionSizeBlock::Field field, int tenths) {
            auto* b = static_cast<CBox*>(e);
            b->SetBounds(View(), TypedRect(b, field, tenths));
        },
        body,
        [this](CPositionSizeBlock::Field field, int tenths) {
            auto* b = ElementAs<CBox>();
            return !b || AcceptRect(TypedRect(b, field, tenths));
        });
    Form()->addWidget(m_position);
    QGridLayout* geometry = m_position->Grid();
    m_orientation = OrientationCombo(geometry->parentWidget());
    AddRow(geometry, m_position->NextRow(), tr("Orientation"), m_orientation);
    connect(m_orientation, &QComboBox::activated, this, [this](int index) {
        auto* b = ElementAs<CBox>();
        if (!b || IsLoading())
            return;
        const CRect r = b->GetPointRect();
        b->m_orientation = index * 90;
        ApplyRect(r.left, r.top, r.Width(), r.Height());
    });

    QGridLayout* style = AddGroup(Form(), body, tr("Style"));
    m_thickness = AddLengthField(style, 0, tr("Outline Thickness"), 1013, 1030, LENGTH_SIZE,
                                 [this](int tenths) {
                                     if (auto* b = ElementAs<CBox>()) {
                                         b->SetThickness(View(), tenths);
                                         ElementEdited(b);
                                     }
                                 });
    m_corner = new QComboBox(style->parentWidget());
    m_corner->setObjectName(QStringLiteral("id1009"));
    m_corner->addItems({tr("Square"), tr("Rounded"), tr("Chamfered")});
    QLabel* cornerLabel = AddRow(style, 1, tr("Corner Type"), m_corner, 1064);
    m_radius = new QSpinBox(style->parentWidget());
    m_radius->setObjectName(QStringLiteral("id1110"));
    m_radius->setRange(0, 100);
    m_radius->setSuffix(QStringLiteral(" %"));
    QLabel* radiusLabel = AddRow(style, 2, tr("Corner Radius"), m_radius, 1253);
    connect(m_corner, &QComboBox::activated, this, [this](int index) {
        if (auto* b = ElementAs<CBox>(); b && !IsLoading()) {
            b->SetCornerType(View(), index);
            m_radius->setEnabled(index != CORNER_SQUARE);
            ElementEdited(b);
        }
    });
    connect(m_radius, &QSpinBox::valueChanged, this, [this](int percent) {
        if (auto* b = ElementAs<CBox>(); b && !IsLoading()) {
            b->SetCornerRadius(View(), percent);
            ElementEdited(b);
        }
    });
    if (m_ellipse) {
        for (QWidget* w : {static_cast<QWidget*>(cornerLabel), static_cast<QWidget*>(m_corner),
                           static_cast<QWidget*>(radiusLabel), static_cast<QWidget*>(m_radius)})
            w->hide();
    }
    AddColourRow(style, 3, tr("Outline Colour"), 1018, 1015, &m_outlineColour, [this](COLORREF) {
        if (auto* b = ElementAs<CBox>()) {
            b->SetOutlineColour(View(), m_outlineColour);
            ElementEdited(b);
        }
    });
    m_fill = new QCheckBox(tr("Fill Colour"), style->parentWidget());
    m_fill->setObjectName(QStringLiteral("id1203"));
    style->addWidget(m_fill, 4, 0, 1, 3);
    CColourSwatch* fillSwatch =
        AddColourRow(style, 5, tr("Fill"), 1017, 1016, &m_fillColour, [this](COLORREF) {
            if (auto* b = ElementAs<CBox>()) {
                b->SetFill(View(), b->m_fillInterior, m_fillColour);
                ElementEdited(b);
            }
        });
    m_fillSwatch = fillSwatch->Swatch();
    m_fillButton = findChild<QPushButton*>(QStringLiteral("id1016"));
    connect(m_fill, &QCheckBox::clicked, this, [this](bool on) {
        if (auto* b = ElementAs<CBox>(); b && !IsLoading()) {
            b->SetFill(View(), on ? TRUE : FALSE, m_fillColour);
            ShowFill(on);
            ElementEdited(b);
        }
    });

    AddSourceBlock(false);

    if (box) {
        m_thickness->setText(PaneUnits::Format(box->m_thickness));
        m_corner->setCurrentIndex(box->m_cornerType);
        m_radius->setValue(box->m_cornerRadius);
        m_radius->setEnabled(box->m_cornerType != CORNER_SQUARE);
        m_outlineColour = box->m_outlineColour;
        m_fillColour = box->m_fillColour;
        m_fill->setChecked(box->m_fillInterior);
        ShowFill(box->m_fillInterior);
        LoadCommonBlocks(box, NativeOffered(type));
        m_position->Bind(box);
    }
    UpdateFromElement();
    SetLoading(false);
}

void CBoxView::ShowFill(bool on)
{
    m_fillSwatch->setVisible(on);
    m_fillButton->setVisible(on);
}

void CBoxView::UpdateFromElement()
{
    auto* box = ElementAs<CBox>();
    if (!box)
        return;
    const bool loading = IsLoading();
    SetLoading(true);
    m_position->Refresh();
    m_orientation->setCurrentIndex((box->m_orientation / 90) & 3);
    SetLoading(loading);
}

CRect CBoxView::TypedRect(const CBox* box, CPositionSizeBlock::Field field, int tenths)
{
    const CRect r = box->GetPointRect();
    int v[4] = {r.left, r.top, r.Width(), r.Height()};
    v[field] = tenths;
    return CRect(v[0], v[1], v[0] + v[2], v[1] + v[3]);
}

bool CBoxView::AcceptRect(const CRect& rect)
{
    if (rect.Width() < 0 || rect.Height() < 0) {
        AppMessageBox(tr("The width and height of a box cannot be negative."));
        return false;
    }
    return true;
}

void CBoxView::ApplyRect(int left, int top, int width, int height)
{
    auto* box = ElementAs<CBox>();
    if (!box)
        return;
    const CRect rect(left, top, left + width, top + height);
    if (!AcceptRect(rect))
        return;
    box->SetBounds(View(), rect);
    ElementEdited(box);
}
