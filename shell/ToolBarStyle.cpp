#include "ToolBarStyle.h"

#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// Everything the background of a toolbar depends on.
QString BackgroundKey(const QStyleOptionToolBar& bar, const QWidget* widget, qreal ratio)
{
    const bool inMainWindow =
        widget && qobject_cast<const QMainWindow*>(widget->parentWidget()) != nullptr;
    return QStringLiteral("tabrel-toolbar:%1x%2@%3:%4:%5:%6:%7:%8:%9")
        .arg(bar.rect.width())
        .arg(bar.rect.height())
        .arg(ratio)
        .arg(uint(bar.state))
        .arg(bar.palette.cacheKey())
        .arg(int(bar.toolBarArea))
        .arg(int(bar.positionOfLine) * 16 + int(bar.positionWithinLine))
        .arg(int(bar.features) * 4096 + bar.lineWidth * 64 + bar.midLineWidth)
        .arg(inMainWindow ? 1 : 0);
}

} // namespace

CToolBarStyle::CToolBarStyle(QStyle* base) : QProxyStyle(base) {}

void CToolBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const
{
    const auto* bar = element == CE_ToolBar ? qstyleoption_cast<const QStyleOptionToolBar*>(option)
                                            : nullptr;
    // A huge toolbar (a hostile geometry) is not worth keeping.
    if (!bar || !painter || bar->rect.isEmpty() || bar->rect.width() > 8192 ||
        bar->rect.height() > 8192) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QString key = BackgroundKey(*bar, widget, ratio);
    QPixmap background;
    if (!QPixmapCache::find(key, &background)) {
        background = QPixmap(bar->rect.size() * ratio);
        background.setDevicePixelRatio(ratio);
        background.fill(Qt::transparent);
        QStyleOptionToolBar atOrigin(*bar);
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        QPainter into(&background);
        QProxyStyle::drawControl(element, &atOrigin, &into, widget);
        into.end();
        QPixmapCache::insert(key, background);
    }
    painter->drawPixmap(bar->rect.topLeft(), background);
}

void CToolBarStyle::Install()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        qobject_cast<CToolBarStyle*>(QApplication::style()))
        return;
    // The application deletes the style it replaces: the proxy goes over a
    // copy of it.
    QApplication::setStyle(new CToolBarStyle(QStyleFactory::create(QApplication::style()->name())));
}
