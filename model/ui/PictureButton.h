// The owner-drawn icon button that panes, dialogs and bars of both programs
// share: an icon with an optional caption, a flat or raised border, and a
// push-like check box mode.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPushButton>

// An owner-drawn push button with an icon and an optional caption. The "out"
// icon, when set, shows in the normal state and the "in" icon while the
// button is hovered or pressed (or always, when there is no out icon).
class CPictureButton : public QPushButton
{
    Q_OBJECT

public:
    // Results of the setters.
    enum Result : int
    {
        OK = 0,
        BAD_ICON = 1,
        BAD_ALIGN = 4,
        BAD_PRESSED_STYLE = 6,
    };
    // Where the icon stands relative to the caption.
    enum Align : int
    {
        ICON_LEFT = 0,
        ICON_ABOVE = 1,
        ICON_RIGHT = 2,
        ICON_OVERLAP = 3,
    };
    // Special out icons: a grey or a darker copy of the in icon.
    static constexpr int kOutGrey = -2;
    static constexpr int kOutDarker = -3;

    explicit CPictureButton(QWidget* parent = nullptr);
    explicit CPictureButton(const QString& caption, QWidget* parent = nullptr);

    // Icons by resource path; an empty out path means no out icon. A path
    // that names no picture leaves the button without an icon (result 0).
    int SetIcon(const QString& inPath, int outKind = 0);
    int SetIconHandles(const QIcon& in, const QIcon& out = QIcon(), int outKind = 0);
    int SetFlat(bool flat, bool repaint = true);
    int SetAlign(int align, bool repaint = true);
    // 0 moves icon and caption by (1, 1) while pressed, 1 by (0, 2).
    int SetPressedStyle(int style, bool repaint = true);
    // Only in check-box mode; elsewhere does nothing.
    int SetCheck(bool checked, bool repaint = true);
    bool GetCheck() const { return m_checkBoxMode && m_checked; }
    // Check-box mode: each click flips the check state.
    void SetCheckBoxMode(bool on);
    bool IsCheckBoxMode() const { return m_checkBoxMode; }
    int SetDefaultColours(bool repaint = true);
    // Background and text colours: in (hovered or pressed), out (normal),
    // focus (has the focus, neither hovered nor pressed).
    void SetColours(QColor backIn, QColor textIn, QColor backOut, QColor textOut, QColor backFocus,
                    QColor textFocus);

    int Align() const { return m_align; }
    int PressedStyle() const { return m_pressedStyle; }
    bool IsFlat() const { return m_flatMode; }
    bool HasIcon() const { return !m_in.isNull(); }
    bool HasOutIcon() const { return !m_out.isNull(); }
    bool IsHovering() const { return m_hover; }
    // The icon that a paint would draw now.
    QIcon CurrentIcon() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Init();
    void CancelHover();
    void OnClicked();
    bool IsPressedLook() const;

    QIcon m_in;
    QIcon m_out;
    int m_marginX = 3;
    int m_marginY = 3;
    int m_pressedDx = 1;
    int m_pressedDy = 1;
    int m_pressedStyle = 0;
    bool m_flatMode = true;
    bool m_hover = false;
    bool m_checkBoxMode = false;
    bool m_checked = false;
    int m_align = ICON_LEFT;
    bool m_drawBorder = true;
    bool m_drawFlatFocus = false;
    QColor m_backIn, m_textIn, m_backOut, m_textOut, m_backFocus, m_textFocus;
};
