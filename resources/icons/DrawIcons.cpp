// Draws the toolbar pictures of the designer into PNG files: each picture at
// 20 by 20 pixels and at twice that size ("@2x"), for high-density screens.
// The pictures are checked in; run this after changing one:
//   cmake --build <build dir> --target tabrel_draw_icons
//   <build dir>/shell/tabrel_draw_icons <source dir>/resources/icons
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>
#include <functional>
#include <vector>

namespace {

const QColor kInk(0x26, 0x32, 0x3c);
const QColor kBlue(0x2f, 0x6f, 0xc4);
const QColor kLightBlue(0xcf, 0xe0, 0xf6);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kEdge(0x6a, 0x77, 0x84);
const QColor kYellow(0xf2, 0xc4, 0x4c);
const QColor kDarkYellow(0xc8, 0x93, 0x1e);
const QColor kRed(0xd2, 0x3c, 0x3c);
const QColor kGreen(0x3a, 0x9a, 0x4a);
const QColor kGrey(0x9a, 0xa4, 0xae);
const QColor kLightGrey(0xe4, 0xe8, 0xec);
const QColor kBrown(0xa8, 0x74, 0x3c);
const QColor kOrange(0xec, 0x8a, 0x2a);

QPen Pen(const QColor& colour, double width = 1.0, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
    return pen;
}

// A sheet of paper with its top-right corner folded over.
void Page(QPainter& p, QRectF r, double fold = 4)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(Pen(kEdge));
    p.setBrush(kPaper);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(kLightGrey);
    p.drawPath(corner);
}

// Lines of text on a page.
void TextLines(QPainter& p, double left, double top, double width, int count, double gap = 2.5)
{
    p.setPen(Pen(kGrey, 1.0, Qt::SolidLine));
    for (int i = 0; i < count; ++i) {
        const double w = (i % 3 == 2) ? width * 0.6 : width;
        p.drawLine(QPointF(left, top + i * gap), QPointF(left + w, top + i * gap));
    }
}

// An arrow from a to b with a filled head.
void Arrow(QPainter& p, QPointF a, QPointF b, const QColor& colour, double width = 2.0,
           double head = 4.0)
{
    const double angle = std::atan2(b.y() - a.y(), b.x() - a.x());
    const QPointF back(b.x() - head * 0.8 * std::cos(angle), b.y() - head * 0.8 * std::sin(angle));
    p.setPen(Pen(colour, width));
    p.drawLine(a, back);
    QPolygonF tip;
    tip << b << QPointF(b.x() - head * std::cos(angle - 0.5), b.y() - head * std::sin(angle - 0.5))
        << QPointF(b.x() - head * std::cos(angle + 0.5), b.y() - head * std::sin(angle + 0.5));
    p.setPen(Pen(colour, 1.0));
    p.setBrush(colour);
    p.drawPolygon(tip);
}

// A curved arrow along a circle from one angle to another (degrees,
// counter-clockwise from three o'clock), with its head at the end.
void CurvedArrow(QPainter& p, QPointF centre, double radius, double from, double to,
                 const QColor& colour, double width = 2.0)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setPen(Pen(colour, width));
    p.setBrush(Qt::NoBrush);
    const double sweep = to - from;
    const double shortened = sweep > 0 ? sweep - 25 : sweep + 25;
    QPainterPath path;
    path.arcMoveTo(box, from);
    path.arcTo(box, from, shortened);
    p.drawPath(path);
    const double end = to * M_PI / 180.0;
    const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    // The head points along the circle's direction of travel.
    const double dir = sweep > 0 ? 1.0 : -1.0;
    const double tangent = std::atan2(-std::cos(end) * dir, -std::sin(end) * dir);
    const double head = 4.5;
    QPolygonF tri;
    tri << tip
        << QPointF(tip.x() - head * std::cos(tangent - 0.55),
                   tip.y() - head * std::sin(tangent - 0.55))
        << QPointF(tip.x() - head * std::cos(tangent + 0.55),
                   tip.y() - head * std::sin(tangent + 0.55));
    p.setPen(Pen(colour, 1.0));
    p.setBrush(colour);
    p.drawPolygon(tri);
}

void Bar(QPainter& p, QRectF r, const QColor& fill = kLightBlue, const QColor& edge = kBlue)
{
    p.setPen(Pen(edge));
    p.setBrush(fill);
    p.drawRect(r);
}

void Glyph(QPainter& p, QRectF r, const QString& text, double pixelSize, const QColor& colour,
           bool serif = false, bool bold = true)
{
    QFont font(serif ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(pixelSize));
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

// A dashed guide line.
void Guide(QPainter& p, QPointF a, QPointF b)
{
    QPen pen(QColor(0x1c, 0x9c, 0xc8), 1.0, Qt::DashLine);
    pen.setDashPattern({2, 1.5});
    p.setPen(pen);
    p.drawLine(a, b);
}

// The pictures, on a 20 by 20 grid ------------------------------------------

void New(QPainter& p)
{
    Page(p, QRectF(3.5, 1.5, 12, 16), 4);
    // A spark: the sign is new.
    p.setPen(Pen(kOrange, 1.4));
    const QPointF c(15.5, 14.5);
    for (int i = 0; i < 4; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(QPointF(c.x() - 3 * std::cos(a), c.y() - 3 * std::sin(a)),
                   QPointF(c.x() + 3 * std::cos(a), c.y() + 3 * std::sin(a)));
    }
}

void Open(QPainter& p)
{
    QPainterPath back;
    back.moveTo(1.5, 4.5);
    back.lineTo(7, 4.5);
    back.lineTo(8.5, 6);
    back.lineTo(16.5, 6);
    back.lineTo(16.5, 16.5);
    back.lineTo(1.5, 16.5);
    back.closeSubpath();
    p.setPen(Pen(kDarkYellow));
    p.setBrush(kDarkYellow.lighter(120));
    p.drawPath(back);
    QPolygonF front;
    front << QPointF(1.5, 16.5) << QPointF(4.5, 9) << QPointF(19, 9) << QPointF(16.5, 16.5);
    p.setBrush(kYellow);
    p.drawPolygon(front);
}

void Save(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(5.5, 2.5, 9, 6));
    p.setBrush(kInk);
    p.drawRect(QRectF(11, 3.5, 2, 4));
    p.setBrush(kLightGrey);
    p.drawRect(QRectF(5.5, 11.5, 9, 6));
}

void Archive(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kBrown.lighter(130));
    p.drawRect(QRectF(2.5, 6.5, 11, 11));
    p.setBrush(kBrown);
    p.drawRect(QRectF(1.5, 4.5, 13, 3));
    // The zip down its middle.
    p.setPen(Pen(kInk, 1.0));
    for (double y = 9; y < 17; y += 2)
        p.drawLine(QPointF(7, y), QPointF(9, y));
}

void ExportZip(QPainter& p)
{
    Archive(p);
    Arrow(p, QPointF(12, 12), QPointF(18.5, 3.5), kGreen, 2.2, 5);
}

void ImportZip(QPainter& p)
{
    Archive(p);
    Arrow(p, QPointF(18.5, 1.5), QPointF(12.5, 9.5), kGreen, 2.2, 5);
}

void ExportText(QPainter& p)
{
    Page(p, QRectF(2.5, 1.5, 11, 16), 3.5);
    TextLines(p, 4.5, 7, 6, 4);
    Arrow(p, QPointF(11, 14), QPointF(18.5, 14), kGreen, 2.2, 5);
}

void Print(QPainter& p)
{
    // The sheet going in.
    p.setPen(Pen(kEdge));
    p.setBrush(kPaper);
    p.drawRect(QRectF(5.5, 1.5, 9, 6));
    // The body.
    p.setPen(Pen(kInk));
    p.setBrush(kGrey);
    p.drawRoundedRect(QRectF(1.5, 7.5, 17, 7), 1.5, 1.5);
    p.setBrush(kGreen);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(15.5, 10), 1, 1);
    // The printed sheet.
    p.setPen(Pen(kEdge));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 12.5, 11, 6));
    TextLines(p, 6.5, 14.5, 7, 2, 2);
}

void Cut(QPainter& p)
{
    p.setPen(Pen(kInk, 1.6));
    p.drawLine(QPointF(6.5, 12), QPointF(14, 2));
    p.drawLine(QPointF(13.5, 12), QPointF(6, 2));
    p.setPen(Pen(kRed, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(5.5, 15), 2.8, 2.8);
    p.drawEllipse(QPointF(14.5, 15), 2.8, 2.8);
}

void Copy(QPainter& p)
{
    Page(p, QRectF(1.5, 1.5, 10, 13), 3);
    TextLines(p, 3.5, 6, 5, 3);
    Page(p, QRectF(8.5, 5.5, 10, 13), 3);
    TextLines(p, 10.5, 10, 5, 3);
}

void Paste(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kBrown);
    p.drawRoundedRect(QRectF(2.5, 3.5, 12, 15), 1.5, 1.5);
    p.setBrush(kGrey);
    p.drawRoundedRect(QRectF(5.5, 1.5, 6, 4), 1, 1);
    Page(p, QRectF(8.5, 7.5, 10, 11), 3);
    TextLines(p, 10.5, 12, 5, 2);
}

void Undo(QPainter& p)
{
    CurvedArrow(p, QPointF(10, 11), 6.5, 0, 160, kBlue, 2.4);
}

void Redo(QPainter& p)
{
    CurvedArrow(p, QPointF(10, 11), 6.5, 180, 20, kBlue, 2.4);
}

void WholeSign(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(5.5, 5.5, 9, 9), 1.5, 1.5);
    // Corner marks: fitted to the window.
    p.setPen(Pen(kBlue, 1.6));
    const double a = 1.5, b = 18.5, l = 4;
    p.drawPolyline(QPolygonF({QPointF(a, a + l), QPointF(a, a), QPointF(a + l, a)}));
    p.drawPolyline(QPolygonF({QPointF(b - l, a), QPointF(b, a), QPointF(b, a + l)}));
    p.drawPolyline(QPolygonF({QPointF(a, b - l), QPointF(a, b), QPointF(a + l, b)}));
    p.drawPolyline(QPolygonF({QPointF(b - l, b), QPointF(b, b), QPointF(b, b - l)}));
}

void FullSize(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(1.5, 3.5, 17, 13), 1.5, 1.5);
    Glyph(p, QRectF(1, 3, 18, 14), QStringLiteral("1:1"), 10, kBlue);
}

void Magnifier(QPainter& p)
{
    p.setPen(Pen(kInk, 2.6));
    p.drawLine(QPointF(12.5, 12.5), QPointF(17.5, 17.5));
    p.setPen(Pen(kInk, 1.6));
    p.setBrush(kLightBlue);
    p.drawEllipse(QPointF(8.5, 8.5), 6, 6);
    p.setPen(Pen(kPaper, 1.4));
    p.drawArc(QRectF(5, 5, 7, 7), 100 * 16, 70 * 16);
}

void LabelSheet(QPainter& p, QRectF sheet, int across, int down)
{
    p.setPen(Pen(kEdge));
    p.setBrush(kPaper);
    p.drawRect(sheet);
    const double gap = 1.5;
    const double w = (sheet.width() - gap * (across + 1)) / across;
    const double h = (sheet.height() - gap * (down + 1)) / down;
    p.setPen(Pen(kBlue, 0.8));
    p.setBrush(kLightBlue);
    for (int i = 0; i < across; ++i) {
        for (int j = 0; j < down; ++j) {
            p.drawRoundedRect(
                QRectF(sheet.left() + gap + i * (w + gap), sheet.top() + gap + j * (h + gap), w, h),
                1, 1);
        }
    }
}

void Paper(QPainter& p)
{
    LabelSheet(p, QRectF(3.5, 1.5, 13, 17), 2, 3);
}

void RotatePaper(QPainter& p)
{
    p.setPen(Pen(kEdge));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 8.5, 15, 10));
    TextLines(p, 3.5, 11.5, 9, 3);
    CurvedArrow(p, QPointF(12, 7), 5, 170, 10, kBlue, 1.8);
}

void Delete(QPainter& p)
{
    p.setPen(Pen(kRed, 3.0));
    p.drawLine(QPointF(4.5, 4.5), QPointF(15.5, 15.5));
    p.drawLine(QPointF(15.5, 4.5), QPointF(4.5, 15.5));
}

void Rotate(QPainter& p)
{
    p.save();
    p.translate(10, 11);
    p.rotate(-20);
    Bar(p, QRectF(-4.5, -3, 9, 6));
    p.restore();
    CurvedArrow(p, QPointF(10, 10), 8, 200, -20, kGreen, 1.8);
}

void Duplicate(QPainter& p)
{
    Bar(p, QRectF(1.5, 1.5, 11, 9), kLightGrey, kEdge);
    Bar(p, QRectF(6.5, 7.5, 11, 9));
    p.setPen(Pen(kGreen, 2.0));
    p.drawLine(QPointF(12, 9.5), QPointF(12, 14.5));
    p.drawLine(QPointF(9.5, 12), QPointF(14.5, 12));
}

void Front(QPainter& p)
{
    Bar(p, QRectF(1.5, 1.5, 10, 10), kLightGrey, kEdge);
    Bar(p, QRectF(7.5, 7.5, 11, 11), kBlue, kInk);
}

void Back(QPainter& p)
{
    Bar(p, QRectF(1.5, 1.5, 10, 10), kBlue, kInk);
    Bar(p, QRectF(7.5, 7.5, 11, 11), kPaper, kEdge);
}

void Database(QPainter& p)
{
    const QRectF body(2.5, 3.5, 11, 12);
    p.setPen(Pen(kInk));
    p.setBrush(kBlue);
    p.drawRect(QRectF(body.left(), body.top() + 2, body.width(), body.height() - 2));
    p.drawEllipse(QRectF(body.left(), body.bottom() - 2, body.width(), 4));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(body.left() + 0.5, body.bottom() - 3, body.width() - 1, 3));
    p.setPen(Pen(kInk));
    p.setBrush(kLightBlue);
    p.drawEllipse(QRectF(body.left(), body.top(), body.width(), 4));
    p.setPen(Pen(kLightBlue, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(body.left(), body.top() + 4, body.width(), 4), 180 * 16, 180 * 16);
    // The plug: connects the sign to it.
    p.setPen(Pen(kGreen, 2.0));
    p.drawLine(QPointF(13, 13), QPointF(18.5, 13));
    p.setBrush(kGreen);
    p.setPen(Pen(kInk, 0.8));
    p.drawRect(QRectF(15.5, 10.5, 3, 5));
}

void Spelling(QPainter& p)
{
    Glyph(p, QRectF(0, 0, 20, 11), QStringLiteral("ABC"), 8.5, kInk);
    p.setPen(Pen(kGreen, 2.4));
    p.drawPolyline(QPolygonF({QPointF(5, 14), QPointF(8.5, 17.5), QPointF(16, 10.5)}));
}

void Help(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(10, 10), 8, 8);
    Glyph(p, QRectF(2, 2, 16, 16.5), QStringLiteral("?"), 13, kPaper);
}

void Single(QPainter& p)
{
    p.setPen(Pen(kBlue));
    p.setBrush(kLightBlue);
    p.drawRoundedRect(QRectF(2.5, 4.5, 15, 11), 2, 2);
    TextLines(p, 5, 8, 10, 3);
}

void Sheet(QPainter& p)
{
    LabelSheet(p, QRectF(2.5, 1.5, 15, 17), 3, 4);
}

void Docking(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 17, 15));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(12.5, 2.5, 6, 15));
    Arrow(p, QPointF(9.5, 7), QPointF(9.5, 15.5), kGreen, 1.8, 4);
}

void Select(QPainter& p)
{
    QPolygonF arrow;
    arrow << QPointF(5, 2) << QPointF(5, 16) << QPointF(8.5, 12.8) << QPointF(11, 18)
          << QPointF(13.2, 17) << QPointF(10.8, 12) << QPointF(15.5, 12);
    p.setPen(Pen(kPaper, 1.0));
    p.setBrush(kInk);
    p.drawPolygon(arrow);
}

void Line(QPainter& p)
{
    p.setPen(Pen(kInk, 2.0));
    p.drawLine(QPointF(3.5, 16.5), QPointF(16.5, 3.5));
}

void Box(QPainter& p)
{
    p.setPen(Pen(kInk, 1.6));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(2.5, 4.5, 15, 11));
}

void Ellipse(QPainter& p)
{
    p.setPen(Pen(kInk, 1.6));
    p.setBrush(kLightBlue);
    p.drawEllipse(QRectF(1.5, 4.5, 17, 11));
}

void Text(QPainter& p)
{
    Glyph(p, QRectF(0, 0, 20, 21), QStringLiteral("A"), 18, kInk, true);
}

void TextBox(QPainter& p)
{
    QPen pen(kBlue, 1.0, Qt::DashLine);
    pen.setDashPattern({2, 1.5});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, 17, 17));
    Glyph(p, QRectF(0, 0, 20, 21), QStringLiteral("A"), 14, kInk, true);
}

void ArcText(QPainter& p)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(7);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    const QString letters = QStringLiteral("ABCD");
    const QPointF centre(10, 16);
    const double radius = 10;
    for (int i = 0; i < letters.size(); ++i) {
        const double angle = 145 - i * 36.0;
        const double rad = angle * M_PI / 180;
        p.save();
        p.translate(centre.x() + radius * std::cos(rad), centre.y() - radius * std::sin(rad));
        p.rotate(90 - angle);
        p.drawText(QRectF(-4, -4, 8, 8), Qt::AlignCenter, letters.mid(i, 1));
        p.restore();
    }
    p.setPen(Pen(kBlue, 1.0, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - 5, centre.y() - 5, 10, 10), 20 * 16, 140 * 16);
}

void Price(QPainter& p)
{
    QPolygonF tag;
    tag << QPointF(1.5, 10) << QPointF(7, 4.5) << QPointF(18.5, 4.5) << QPointF(18.5, 15.5)
        << QPointF(7, 15.5);
    p.setPen(Pen(kInk));
    p.setBrush(kYellow);
    p.drawPolygon(tag);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(6, 10), 1.3, 1.3);
    Glyph(p, QRectF(7.5, 4.5, 11, 11.5), QStringLiteral("$"), 10, kInk);
}

void Picture(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(QColor(0xbf, 0xe3, 0xfa));
    p.drawRect(QRectF(1.5, 3.5, 17, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawEllipse(QPointF(14, 7.5), 2, 2);
    QPolygonF hills;
    hills << QPointF(2, 16) << QPointF(7, 9) << QPointF(10.5, 13) << QPointF(12.5, 11)
          << QPointF(18, 16);
    p.setBrush(kGreen);
    p.drawPolygon(hills);
    p.setPen(Pen(kInk));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 3.5, 17, 13));
}

void Barcode(QPainter& p)
{
    const double widths[] = {1, 1, 2, 1, 3, 1, 1, 2, 1, 1, 2, 1};
    const double gaps[] = {1, 1, 1, 2, 1, 1, 1, 1, 2, 1, 1, 0};
    double x = 2;
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int i = 0; i < 12 && x < 18.5; ++i) {
        p.drawRect(QRectF(x, 3, widths[i], 14));
        x += widths[i] + gaps[i];
    }
}

void Symbol(QPainter& p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? 8.5 : 3.6;
        const double a = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(10 + r * std::cos(a), 10.5 + r * std::sin(a));
    }
    p.setPen(Pen(kDarkYellow));
    p.setBrush(kYellow);
    p.drawPolygon(star);
}

void Table(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 17, 15));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(1.5, 2.5, 17, 4));
    p.drawLine(QPointF(7.5, 2.5), QPointF(7.5, 17.5));
    p.drawLine(QPointF(13, 2.5), QPointF(13, 17.5));
    p.drawLine(QPointF(1.5, 12), QPointF(18.5, 12));
}

void Guides(QPainter& p)
{
    // A ruler along the top with guides dropped from it.
    p.setPen(Pen(kInk));
    p.setBrush(kYellow);
    p.drawRect(QRectF(1.5, 1.5, 17, 4));
    p.setPen(Pen(kInk, 0.8));
    for (double x = 4; x < 18; x += 3)
        p.drawLine(QPointF(x, 1.5), QPointF(x, 3.5));
    Guide(p, QPointF(7, 6), QPointF(7, 18.5));
    Guide(p, QPointF(1.5, 13), QPointF(18.5, 13));
    Bar(p, QRectF(7.5, 8.5, 7, 4.5));
}

void AlignLeft(QPainter& p)
{
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(QPointF(2.5, 1.5), QPointF(2.5, 18.5));
    Bar(p, QRectF(3.5, 3.5, 13, 5));
    Bar(p, QRectF(3.5, 11.5, 8, 5));
}

void AlignRight(QPainter& p)
{
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(QPointF(17.5, 1.5), QPointF(17.5, 18.5));
    Bar(p, QRectF(3.5, 3.5, 13, 5));
    Bar(p, QRectF(8.5, 11.5, 8, 5));
}

void AlignTop(QPainter& p)
{
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(QPointF(1.5, 2.5), QPointF(18.5, 2.5));
    Bar(p, QRectF(3.5, 3.5, 5, 13));
    Bar(p, QRectF(11.5, 3.5, 5, 8));
}

void AlignBottom(QPainter& p)
{
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(QPointF(1.5, 17.5), QPointF(18.5, 17.5));
    Bar(p, QRectF(3.5, 3.5, 5, 13));
    Bar(p, QRectF(11.5, 8.5, 5, 8));
}

void AlignVerticalCentre(QPainter& p)
{
    Bar(p, QRectF(3.5, 3.5, 13, 5));
    Bar(p, QRectF(6.5, 11.5, 7, 5));
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(QPointF(10, 1.5), QPointF(10, 18.5));
}

void AlignHorizontalCentre(QPainter& p)
{
    Bar(p, QRectF(3.5, 3.5, 5, 13));
    Bar(p, QRectF(11.5, 6.5, 5, 7));
    p.setPen(Pen(kInk, 1.4));
    p.drawLine(QPointF(1.5, 10), QPointF(18.5, 10));
}

// The sign's outline, for the centre-in-sign pictures.
void SignOutline(QPainter& p)
{
    p.setPen(Pen(kEdge));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 1.5, 17, 17));
}

void CentreHorizontal(QPainter& p)
{
    SignOutline(p);
    Bar(p, QRectF(7.5, 6.5, 5, 7));
    Arrow(p, QPointF(2.5, 10), QPointF(6.5, 10), kGreen, 1.4, 3);
    Arrow(p, QPointF(17.5, 10), QPointF(13.5, 10), kGreen, 1.4, 3);
}

void CentreVertical(QPainter& p)
{
    SignOutline(p);
    Bar(p, QRectF(6.5, 7.5, 7, 5));
    Arrow(p, QPointF(10, 2.5), QPointF(10, 6.5), kGreen, 1.4, 3);
    Arrow(p, QPointF(10, 17.5), QPointF(10, 13.5), kGreen, 1.4, 3);
}

// A two-headed measuring arrow.
void Span(QPainter& p, QPointF a, QPointF b)
{
    const QPointF mid((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
    Arrow(p, mid, a, kGreen, 1.2, 3);
    Arrow(p, mid, b, kGreen, 1.2, 3);
}

void SameWidth(QPainter& p)
{
    Span(p, QPointF(2, 3), QPointF(18, 3));
    Bar(p, QRectF(2.5, 6.5, 15, 4.5));
    Bar(p, QRectF(2.5, 13.5, 15, 4.5));
}

void SameHeight(QPainter& p)
{
    Span(p, QPointF(3, 2), QPointF(3, 18));
    Bar(p, QRectF(6.5, 2.5, 4.5, 15));
    Bar(p, QRectF(13.5, 2.5, 4.5, 15));
}

void SameSize(QPainter& p)
{
    Span(p, QPointF(6.5, 2.5), QPointF(18.5, 2.5));
    Span(p, QPointF(2.5, 6.5), QPointF(2.5, 18.5));
    Bar(p, QRectF(6.5, 6.5, 5, 5));
    Bar(p, QRectF(13.5, 13.5, 5, 5));
}

void SpaceHorizontal(QPainter& p)
{
    Bar(p, QRectF(1.5, 5.5, 4, 9));
    Bar(p, QRectF(8, 5.5, 4, 9));
    Bar(p, QRectF(14.5, 5.5, 4, 9));
    p.setPen(Pen(kGreen, 1.2));
    p.drawLine(QPointF(6, 17.5), QPointF(7.5, 17.5));
    p.drawLine(QPointF(12.5, 17.5), QPointF(14, 17.5));
    p.drawLine(QPointF(6, 2.5), QPointF(7.5, 2.5));
    p.drawLine(QPointF(12.5, 2.5), QPointF(14, 2.5));
}

void SpaceVertical(QPainter& p)
{
    Bar(p, QRectF(5.5, 1.5, 9, 4));
    Bar(p, QRectF(5.5, 8, 9, 4));
    Bar(p, QRectF(5.5, 14.5, 9, 4));
    p.setPen(Pen(kGreen, 1.2));
    p.drawLine(QPointF(2.5, 6), QPointF(2.5, 7.5));
    p.drawLine(QPointF(2.5, 12.5), QPointF(2.5, 14));
    p.drawLine(QPointF(17.5, 6), QPointF(17.5, 7.5));
    p.drawLine(QPointF(17.5, 12.5), QPointF(17.5, 14));
}

void SameTypeface(QPainter& p)
{
    Glyph(p, QRectF(0, 0, 11, 19), QStringLiteral("A"), 13, kInk, true);
    Glyph(p, QRectF(9, 2, 11, 19), QStringLiteral("a"), 13, kBlue, true);
}

void SameThickness(QPainter& p)
{
    p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(2, 5), QPointF(18, 5));
    p.drawLine(QPointF(2, 15), QPointF(18, 15));
    p.setPen(Pen(kGreen, 1.2));
    p.drawLine(QPointF(8, 9), QPointF(12, 9));
    p.drawLine(QPointF(8, 11), QPointF(12, 11));
}

void SameColours(QPainter& p)
{
    p.setPen(Pen(kInk));
    p.setBrush(kOrange);
    p.drawRect(QRectF(1.5, 5.5, 7, 9));
    p.drawEllipse(QRectF(11, 5.5, 7.5, 9));
}

struct IconPicture
{
    const char* name;
    std::function<void(QPainter&)> draw;
};

const std::vector<IconPicture> kPictures = {
    {"new", New},
    {"open", Open},
    {"save", Save},
    {"exportzip", ExportZip},
    {"importzip", ImportZip},
    {"exporttext", ExportText},
    {"print", Print},
    {"cut", Cut},
    {"copy", Copy},
    {"paste", Paste},
    {"undo", Undo},
    {"redo", Redo},
    {"wholesign", WholeSign},
    {"fullsize", FullSize},
    {"magnifier", Magnifier},
    {"paper", Paper},
    {"rotatepaper", RotatePaper},
    {"delete", Delete},
    {"rotate", Rotate},
    {"duplicate", Duplicate},
    {"front", Front},
    {"back", Back},
    {"database", Database},
    {"spelling", Spelling},
    {"help", Help},
    {"single", Single},
    {"sheet", Sheet},
    {"docking", Docking},
    {"select", Select},
    {"line", Line},
    {"box", Box},
    {"ellipse", Ellipse},
    {"text", Text},
    {"textbox", TextBox},
    {"arctext", ArcText},
    {"price", Price},
    {"picture", Picture},
    {"barcode", Barcode},
    {"symbol", Symbol},
    {"table", Table},
    {"guides", Guides},
    {"alignleft", AlignLeft},
    {"alignright", AlignRight},
    {"aligntop", AlignTop},
    {"alignbottom", AlignBottom},
    {"alignvcentre", AlignVerticalCentre},
    {"alignhcentre", AlignHorizontalCentre},
    {"centrehorz", CentreHorizontal},
    {"centrevert", CentreVertical},
    {"samewidth", SameWidth},
    {"sameheight", SameHeight},
    {"samesize", SameSize},
    {"spacehorz", SpaceHorizontal},
    {"spacevert", SpaceVertical},
    {"sametypeface", SameTypeface},
    {"samethickness", SameThickness},
    {"samecolours", SameColours},
};

QImage Render(const IconPicture& picture, int scale)
{
    QImage image(20 * scale, 20 * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    picture.draw(painter);
    painter.end();
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTextStream out(stdout);
    QString resources = QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n"
                                       "<qresource prefix=\"/icons\">\n");
    for (const IconPicture& picture : kPictures) {
        const QString name = QString::fromLatin1(picture.name);
        for (int scale : {1, 2}) {
            const QString file =
                name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
            if (!Render(picture, scale).save(folder.filePath(file))) {
                out << "cannot write " << folder.filePath(file) << "\n";
                return 1;
            }
            resources += QStringLiteral("  <file>") + file + QStringLiteral("</file>\n");
        }
    }
    resources += QStringLiteral("</qresource>\n</RCC>\n");
    QFile qrc(folder.filePath(QStringLiteral("icons.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text)) {
        out << "cannot write " << qrc.fileName() << "\n";
        return 1;
    }
    qrc.write(resources.toUtf8());
    out << kPictures.size() << " pictures written to " << folder.absolutePath() << "\n";
    return 0;
}
