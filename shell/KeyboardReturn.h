// Gives the keyboard back to the window that had it when a box of the
// program closes. A window manager does this; without one (a bare X server)
// the keyboard would stay with the desktop, so that the main window's
// shortcuts did nothing until the user clicked into it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

class CKeyboardReturn : public QObject
{
    Q_OBJECT

public:
    // Watches every box of the application while it lives.
    explicit CKeyboardReturn(QObject* parent);
    ~CKeyboardReturn() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct CReturn
    {
        QPointer<QWidget> box;
        QPointer<QWidget> window;
        QPointer<QWidget> focus;
    };
    void BoxShown(QWidget* box);
    void BoxHidden(QWidget* box);
    void GiveBack();

    std::vector<CReturn> m_open; // the boxes showing, with where the keyboard was
    CReturn m_pending;           // where the keyboard goes once the last box has gone
};
