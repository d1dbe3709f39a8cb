// Controls that the property panes and many dialogs share: an icon push
// button that can also act as a check box, a colour swatch bound to a colour
// field, a report list with a few conveniences, and the tab strip of the
// tabbed panes.
#pragma once

#include "ListCtrlEx.h"
#include "PictureButton.h"
#include "Types.h"

#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

// Shows a colour field in a control and lets the user choose it. The swatch
// paints the control whenever it paints; the owner writes the element and
// refreshes it after a choice.
class CColourSwatch : public QObject
{
    Q_OBJECT

public:
    // How a colour is chosen: true with the new colour, false when cancelled.
    // Tests replace it; by default the colour dialog asks the user.
    using Chooser = std::function<bool(QWidget* owner, COLORREF& colour)>;
    static Chooser& ColourChooser();

    CColourSwatch() = default;
    // Binds the swatch control, its owner and the colour it shows and edits.
    void Attach(QWidget* swatch, QWidget* owner, COLORREF* colour);
    // Points the swatch at another colour field (and repaints).
    void SetColourField(COLORREF* colour);
    bool IsAttached() const { return m_swatch && m_colour; }
    // Fills a widget with the colour, framed in the same colour.
    void PaintTo(QWidget* widget) const;
    // Asks for a colour; on OK stores it, repaints the owner and returns true.
    bool ChooseColour();
    QWidget* Swatch() const { return m_swatch; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_swatch;
    QPointer<QWidget> m_owner;
    COLORREF* m_colour = nullptr;
};

// COLORREF (0x00BBGGRR) to and from QColor.
QColor ColourFromRef(COLORREF colour);
COLORREF RefFromColour(const QColor& colour);

// The undo steps of a pane's edits. The element's state is kept before an
// edit that starts a step: the first of a run of edits in one control (an
// edit with no control is a run of its own). The pane's opening normally
// kept the state before the pane's first edit.
class CEditSteps
{
public:
    // Whether the edit about to be made in the control starts a step;
    // openingKept says whether the state before the first edit is kept.
    bool Starts(QObject* control, bool openingKept = true);
    // The edits made so far.
    int Count() const { return m_edits; }

private:
    QObject* m_last = nullptr;
    int m_edits = 0;
};

// A page of a tabbed pane: bound to its element at set-up, reloaded each
// time its tab becomes current.
class CPanePage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    virtual void Refresh(bool /*full*/) {}
    virtual void RefreshGeometry() {}
};

// The tab strip of the tabbed panes. Leaving a page disables it; entering
// one enables it and reloads it from the element.
class CTab : public QTabWidget
{
    Q_OBJECT

public:
    explicit CTab(QWidget* parent = nullptr);
    int AddPage(CPanePage* page, const QString& caption);
    CPanePage* Page(int index) const;
    // The first tab current again (a re-selected element).
    void ShowFirstPage();

private:
    void OnCurrentChanged(int index);
    int m_current = -1;
};

class CViewSeam;

// The wheel over a pane scrolls the pane. A box whose value the wheel steps
// (combo boxes, spin boxes, sliders) takes it only once the user has clicked
// or tabbed into it, so that a value passing under the pointer while the
// pane scrolls stays as it was. Applies to every such box below root; may
// be called again for boxes added since.
void KeepWheelForFocusedBoxes(QWidget* root);

// What every pane's form is built from: the canvas edits redraw on, groups
// of labelled rows, and controls named by their numbers ("id1049").
namespace PaneBuild {
CViewSeam* View();
// A titled group added to the form (or a page); returns its grid.
QGridLayout* AddGroup(QVBoxLayout* form, QWidget* parent, const QString& title);
inline QGridLayout* AddGroup(QVBoxLayout* page, const QString& title)
{
    return AddGroup(page, page->parentWidget(), title);
}
template <class T> T* Named(T* widget, int id)
{
    widget->setObjectName(QStringLiteral("id%1").arg(id));
    return widget;
}
inline QComboBox* Combo(QWidget* parent, int id, const QStringList& items)
{
    auto* combo = Named(new QComboBox(parent), id);
    combo->addItems(items);
    return combo;
}
// The orientation list (1012): the quarter turns 0, 90, 180 and 270
// degrees, in that order.
inline QComboBox* OrientationCombo(QWidget* parent)
{
    return Combo(parent, 1012,
                 {QStringLiteral("0°"), QStringLiteral("90°"), QStringLiteral("180°"),
                  QStringLiteral("270°")});
}
inline QSpinBox* Spin(QWidget* parent, int id, int low, int high)
{
    auto* spin = Named(new QSpinBox(parent), id);
    spin->setRange(low, high);
    return spin;
}
} // namespace PaneBuild
