#include "NodeIcons.h"

#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kKinds = 18;
constexpr int kSize = 16;

// The designer's own tool icon of an element kind, when the program carries
// it; kinds without a tool (and every variable) are drawn as a badge.
const char* const kToolIcons[kKinds] = {
    "line",  "box",     "ellipse", "text",  "price", "picture", "barcode", nullptr, "symbol",
    "table", "arctext", nullptr,   nullptr, nullptr, nullptr,   nullptr,   nullptr, nullptr};

// A badge: the kind's mark on a rounded square, variables in blue, elements
// in grey.
QPixmap Badge(int kind)
{
    static const char* const marks[kKinds] = {"/", "\u25A1", "O", "T", "$", "P", "|", "OLE", "S",
                                              "#", "A",      "L", "#", "D", "%", "M", "GS",  "+"};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool variable = kind >= 11;
    painter.setPen(Qt::NoPen);
    painter.setBrush(variable ? QColor(0x2a, 0x6f, 0xc9) : QColor(0x70, 0x70, 0x70));
    painter.drawRoundedRect(QRectF(0.5, 0.5, kSize - 1, kSize - 1), 3, 3);
    const QString mark = QString::fromUtf8(marks[kind]);
    QFont font;
    font.setPixelSize(mark.size() > 1 ? 7 : 11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, mark);
    return pixmap;
}

} // namespace

QIcon NodeKindIcon(int kind)
{
    if (kind < 0 || kind >= kKinds)
        return {};
    if (const char* tool = kToolIcons[kind]) {
        const QString path = QStringLiteral(":/icons/%1.png").arg(QLatin1String(tool));
        if (QFile::exists(path))
            return QIcon(path);
    }
    return QIcon(Badge(kind));
}

QIcon DrawnButtonIcon(const std::function<void(QPainter& p, const QColor& ink)>& draw)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor ink(0x26, 0x32, 0x3c);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        draw(p, ink);
    }
    return QIcon(pixmap);
}
