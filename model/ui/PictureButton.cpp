#include "PictureButton.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

CPictureButton::CPictureButton(QWidget* parent) : QPushButton(parent)
{
    Init();
}

CPictureButton::CPictureButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    Init();
}

void CPictureButton::Init()
{
    setAttribute(Qt::WA_Hover);
    SetDefaultColours(false);
    connect(this, &QPushButton::clicked, this, &CPictureButton::OnClicked);
}

int CPictureButton::SetIcon(const QString& inPath, int outKind)
{
    QIcon in;
    if (!inPath.isEmpty()) {
        const QPixmap picture(inPath);
        if (!picture.isNull())
            in = QIcon(picture);
    }
    return SetIconHandles(in, QIcon(), outKind);
}

int CPictureButton::SetIconHandles(const QIcon& in, const QIcon& out, int outKind)
{
    m_in = QIcon();
    m_out = QIcon();
    if (in.isNull()) {
        update();
        return OK;
    }
    if (in.availableSizes().isEmpty() && in.pixmap(16, 16).isNull())
        return BAD_ICON;
    m_in = in;
    if (outKind == kOutGrey || outKind == kOutDarker) {
        const QSize size = in.availableSizes().value(0, QSize(32, 32));
        QImage image = in.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = line[x];
                if (outKind == kOutGrey) {
                    const int g = qGray(p);
                    line[x] = qRgba(g, g, g, qAlpha(p));
                } else {
                    line[x] =
                        qRgba(qRed(p) * 3 / 4, qGreen(p) * 3 / 4, qBlue(p) * 3 / 4, qAlpha(p));
                }
            }
        }
        m_out = QIcon(QPixmap::fromImage(image));
    } else {
        m_out = out;
    }
    updateGeometry();
    update();
    return OK;
}

int CPictureButton::SetFlat(bool flat, bool repaint)
{
    m_flatMode = flat;
    if (!flat)
        m_hover = false;
    if (repaint)
        update();
    return OK;
}

int CPictureButton::SetAlign(int align, bool repaint)
{
    if (align < ICON_LEFT || align > ICON_OVERLAP)
        return BAD_ALIGN;
    m_align = align;
    if (repaint)
        update();
    return OK;
}

int CPictureButton::SetPressedStyle(int style, bool repaint)
{
    if (style == 0) {
        m_pressedDx = 1;
        m_pressedDy = 1;
    } else if (style == 1) {
        m_pressedDx = 0;
        m_pressedDy = 2;
    } else {
        return BAD_PRESSED_STYLE;
    }
    m_pressedStyle = style;
    if (repaint)
        update();
    return OK;
}

int CPictureButton::SetCheck(bool checked, bool repaint)
{
    if (!m_checkBoxMode)
        return OK;
    m_checked = checked;
    if (repaint)
        update();
    return OK;
}

void CPictureButton::SetCheckBoxMode(bool on)
{
    m_checkBoxMode = on;
    if (!on)
        m_checked = false;
    update();
}

int CPictureButton::SetDefaultColours(bool repaint)
{
    const QPalette pal = QApplication::palette();
    m_backIn = m_backOut = m_backFocus = pal.color(QPalette::Button);
    m_textIn = m_textOut = m_textFocus = pal.color(QPalette::ButtonText);
    if (repaint)
        update();
    return OK;
}

void CPictureButton::SetColours(QColor backIn, QColor textIn, QColor backOut, QColor textOut,
                                QColor backFocus, QColor textFocus)
{
    m_backIn = backIn;
    m_textIn = textIn;
    m_backOut = backOut;
    m_textOut = textOut;
    m_backFocus = backFocus;
    m_textFocus = textFocus;
    update();
}

bool CPictureButton::IsPressedLook() const
{
    return m_checkBoxMode ? (isDown() || m_checked) : isDown();
}

QIcon CPictureButton::CurrentIcon() const
{
    const bool pressed = IsPressedLook();
    const bool useOut = !m_out.isNull() && (m_checkBoxMode ? !pressed : (!pressed && !m_hover));
    return useOut ? m_out : m_in;
}

QSize CPictureButton::sizeHint() const
{
    const QFontMetrics fm(font());
    const QSize icon = m_in.isNull() ? QSize() : m_in.availableSizes().value(0, QSize(32, 32));
    const QSize textSize = text().isEmpty() ? QSize() : fm.size(Qt::TextShowMnemonic, text());
    int w = 0;
    int h = 0;
    if (m_align == ICON_ABOVE) {
        w = std::max(icon.width(), textSize.width());
        h = icon.height() + textSize.height() + (text().isEmpty() ? 0 : m_marginY);
    } else if (m_align == ICON_OVERLAP) {
        w = std::max(icon.width(), textSize.width());
        h = std::max(icon.height(), textSize.height());
    } else {
        w = icon.width() + textSize.width() + (text().isEmpty() ? 0 : m_marginX);
        h = std::max(icon.height(), textSize.height());
    }
    return QSize(w + 2 * m_marginX + 8, h + 2 * m_marginY + 6);
}

void CPictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette pal = palette();
    QRect rect = this->rect();
    const bool pressed = IsPressedLook();
    const bool focused = hasFocus();
    const bool disabled = !isEnabled();

    // Background, with the black frame of a focused or default button.
    if (!m_flatMode && (focused || isDefault())) {
        painter.setPen(Qt::black);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        rect.adjust(1, 1, -1, -1);
    }
    const QColor back = (m_hover || pressed) ? m_backIn : focused ? m_backFocus : m_backOut;
    painter.fillRect(rect, back);

    // Border.
    const QColor light = pal.color(QPalette::Light);
    const QColor mid = pal.color(QPalette::Mid);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor shadow = pal.color(QPalette::Shadow);
    const QRect r = rect.adjusted(0, 0, -1, -1);
    if (pressed && m_flatMode) {
        if (m_drawBorder) {
            painter.setPen(dark);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(light);
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
    } else if (pressed) {
        painter.setPen(dark);
        painter.drawRect(r);
    } else if (!m_flatMode) {
        painter.setPen(light);
        painter.drawLine(r.bottomLeft(), r.topLeft());
        painter.drawLine(r.topLeft(), r.topRight());
        painter.setPen(mid.lighter(130));
        painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.topLeft() + QPoint(1, 1));
        painter.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
        painter.setPen(shadow);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        painter.setPen(dark);
        painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
        painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
    } else if (m_hover && m_drawBorder) {
        painter.setPen(light);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(dark);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }

    // Icon and caption placed by the alignment.
    QRect content = rect.adjusted(m_marginX, m_marginY, -m_marginX, -m_marginY);
    if (pressed && !m_checkBoxMode)
        content.translate(m_pressedDx, m_pressedDy);
    const QIcon icon = CurrentIcon();
    const QSize iconSize =
        icon.isNull() ? QSize()
                      : icon.availableSizes().value(0, QSize(32, 32)).boundedTo(content.size());
    QRect textRect = content;
    if (!icon.isNull()) {
        QRect iconRect(QPoint(), iconSize);
        const bool hasText = !text().isEmpty();
        switch (m_align) {
        case ICON_ABOVE:
            iconRect.moveTopLeft(
                QPoint(content.center().x() - iconSize.width() / 2,
                       hasText ? content.top() : content.center().y() - iconSize.height() / 2));
            textRect.setTop(iconRect.bottom() + 1);
            break;
        case ICON_RIGHT:
            iconRect.moveTopLeft(QPoint(hasText ? content.right() - iconSize.width() + 1
                                                : content.center().x() - iconSize.width() / 2,
                                        content.center().y() - iconSize.height() / 2));
            textRect.setRight(iconRect.left() - 1);
            break;
        case ICON_OVERLAP:
            iconRect.moveCenter(content.center());
            break;
        default:
            iconRect.moveTopLeft(
                QPoint(hasText ? content.left() : content.center().x() - iconSize.width() / 2,
                       content.center().y() - iconSize.height() / 2));
            textRect.setLeft(iconRect.right() + 1);
            break;
        }
        icon.paint(&painter, iconRect, Qt::AlignCenter, disabled ? QIcon::Disabled : QIcon::Normal);
    }
    if (!text().isEmpty()) {
        const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
        if (disabled) {
            painter.setPen(light);
            painter.drawText(textRect.translated(1, 1), flags, text());
            painter.setPen(dark);
        } else {
            painter.setPen((m_hover || pressed) ? m_textIn : focused ? m_textFocus : m_textOut);
        }
        painter.drawText(textRect, flags, text());
    }
    if ((!m_flatMode || m_drawFlatFocus) && focused) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = this->rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CPictureButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    if (m_flatMode && !m_hover && !(QApplication::mouseButtons() & Qt::LeftButton)) {
        m_hover = true;
        update();
    }
}

void CPictureButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    CancelHover();
}

void CPictureButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    CancelHover();
}

void CPictureButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        // A disabled button gives the focus on to the next control.
        if (hasFocus()) {
            if (QWidget* next = nextInFocusChain(); next && next != this)
                next->setFocus(Qt::TabFocusReason);
            else if (parentWidget())
                parentWidget()->setFocus();
        }
        CancelHover();
    } else if (event->type() == QEvent::PaletteChange) {
        SetDefaultColours(true);
    }
}

void CPictureButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click acts as a second click.
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers());
    mousePressEvent(&press);
}

void CPictureButton::CancelHover()
{
    if (m_flatMode && m_hover) {
        m_hover = false;
        update();
    }
}

void CPictureButton::OnClicked()
{
    setFocus(Qt::MouseFocusReason);
    if (m_checkBoxMode) {
        m_checked = !m_checked;
        update();
    }
}
