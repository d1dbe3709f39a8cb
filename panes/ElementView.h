// The base of every property pane: the banner, the link to the pane's
// element, and the controls that recur on many panes (name, print options,
// the data-source block, lengths in the display unit, colour).
#pragma once

#include "Element.h"
#include "LogFont.h"
#include "PaneControls.h"

#include <QGroupBox>
#include <QWidget>
#include <functional>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// The pane's hold on its element. It names the element by its address and
// its undo identity and finds it in the sign's element list on every use, so
// once the element is deleted, or swapped for a copy by Undo or Redo, the
// handle is empty instead of dangling.
class CDataSourceBlock;

class CElementHandle
{
public:
    CElementHandle() = default;
    explicit CElementHandle(CElement* element);
    CElement* Get() const;
    template <class T> T* As() const { return dynamic_cast<T*>(Get()); }
    bool WasSet() const { return m_element != nullptr; }
    void Reset() { m_element = nullptr; }

private:
    CElement* m_element = nullptr;
    mutable quint64 m_identity = 0;
};

// Lengths shown in panes: tenths of a millimetre to millimetres (1 decimal)
// or inches (2 decimals) and back, by the grid's display unit. Negative
// values round as their magnitude does, so a shown value applied again
// gives the same tenths.
namespace PaneUnits {
bool Inches();
double ToDisplay(int tenths);
int FromDisplay(double value);
QString Format(int tenths);
QString Format(double displayValue);
// The unit's name for the labels next to length fields.
QString UnitName();
// Reads a typed number in the user's locale or the C locale.
bool Parse(const QString& text, double& value);
} // namespace PaneUnits

// What a typed length is checked against.
enum LengthKind : int
{
    LENGTH_POSITION, // -1500..1500 mm, -60..60 in
    LENGTH_SIZE,     // 0..1500 mm, 0..60 in
};

namespace PaneBuild {
// A labelled control on a grid row; returns the label.
QLabel* AddRow(QGridLayout* grid, int row, const QString& label, QWidget* control,
               int labelId = 0);
// A length field with its unit label on a grid row. While active() holds,
// the callback gets the stored tenths of a millimetre of a typed value that
// scans and is in range; an emptied field applies nothing, and a leading
// "." becomes "0.".
QLineEdit* AddLengthField(QGridLayout* grid, int row, const QString& label, int id,
                          int unitLabelId, LengthKind kind, std::function<bool()> active,
                          std::function<void(int)> apply);
} // namespace PaneBuild

// A pane's bracket around an edit made in one of its blocks: begin returns
// the element to edit (null while the pane is being filled or once the
// element has gone) and keeps its state for Undo; end applies the rules to
// the data, redraws the element and marks the sign modified. modified marks
// the sign alone, for an edit of something the element only points to.
struct CPaneEdits
{
    std::function<CElement*(QObject* control)> begin;
    std::function<void(CElement* element)> end;
    std::function<void()> modified;
};

class CElementView : public QWidget
{
    Q_OBJECT

public:
    // The element may be null (the sign settings pane); formId names the
    // pane ("id<form>") and title goes into the banner.
    CElementView(CElement* element, int formId, const QString& title, QWidget* parent = nullptr);
    ~CElementView() override;

    // Copies the element's geometry back into the controls (after a drag
    // on the canvas).
    virtual void UpdateFromElement() {}
    // Re-reads the sign settings (the sign settings pane only).
    virtual void UpdateSettings() {}

    // The element, or null once it has left the sign.
    CElement* Element() const;
    template <class T> T* ElementAs() const { return dynamic_cast<T*>(Element()); }
    // True once the element the pane was made for has gone.
    bool IsElementGone() const;

    // Called after every pane edit: the sign is marked modified. Panes
    // inside the main frame mark its document; tests and other hosts can
    // listen here as well.
    static std::function<void()>& ModifiedHook();

    // The faces the font lists offer: the printer's, sorted.
    static QStringList PrinterFaces();

signals:
    // An edit reached the element.
    void elementEdited();

protected:
    // The form below the banner that the pane fills.
    QVBoxLayout* Form() const { return m_form; }
    bool IsLoading() const { return m_loading; }
    void SetLoading(bool loading) { m_loading = loading; }

    // Starts an edit: null while the pane is being filled or once the
    // element has gone. The element's state is kept for Undo: the pane's
    // opening kept the state before the first edit, and typing on in the
    // same control adds no further step.
    CElement* BeginUndoStep(QObject* control);
    // Ends an edit: the element redraws and the sign is marked modified.
    void ElementEdited(CElement* element);
    void MarkModified();
    // Runs the connection wizard over the sign's link; true when the sign
    // was linked to a database (and marked modified).
    bool LinkSignToDatabase();
    // Shows a line in place of the form once the element has gone.
    void ShowElementGone();
    bool event(QEvent* event) override;

    // --- shared blocks -------------------------------------------------------
    // A labelled control on a grid row; returns the label.
    QLabel* AddRow(QGridLayout* grid, int row, const QString& label, QWidget* control,
                   int labelId = 0);
    // The element name (1050), validated at each keystroke.
    QGroupBox* AddNameBlock();
    // Standard 1287, Native 1386 and Do Not Print 1133.
    QGroupBox* AddPrintOptions(bool nativeOffered);
    // The bracket of a pane whose edits keep no Undo step of their own:
    // edits reach the element while the pane is not being filled, and
    // each redraws it and marks the sign.
    CPaneEdits DirectEdits();
    // The data-source block; withCombination offers "Combination" too.
    QGroupBox* AddSourceBlock(bool withCombination);
    // A length field: the callback gets the stored tenths of a millimetre of
    // a typed value that scans and is in range.
    QLineEdit* AddLengthField(QGridLayout* grid, int row, const QString& label, int id,
                              int unitLabelId, LengthKind kind, std::function<void(int)> apply);
    void SetLength(QLineEdit* field, int tenths);
    // A colour swatch (swatchId) with its "Select..." button (buttonId);
    // after a choice the callback writes the colour and the pane redraws.
    CColourSwatch* AddColourRow(QGridLayout* grid, int row, const QString& label, int swatchId,
                                int buttonId, COLORREF* colour,
                                std::function<void(COLORREF)> apply);
    // Copies the name, print options and source block from the element.
    void LoadCommonBlocks(CElement* element, bool nativeOffered);

    QLabel* m_banner = nullptr;

private:
    void OnNameEdited(const QString& text);
    void OnPrintOption();

    CElementHandle m_handle;
    QWidget* m_body = nullptr;
    QLabel* m_goneLabel = nullptr;
    QVBoxLayout* m_form = nullptr;
    bool m_loading = true;
    int m_undoSteps = 0;
    QObject* m_undoControl = nullptr;

    QLineEdit* m_nameEdit = nullptr;
    QRadioButton* m_standard = nullptr;
    QRadioButton* m_native = nullptr;
    QRadioButton* m_noPrint = nullptr;
    CDataSourceBlock* m_source = nullptr;
    std::vector<CColourSwatch*> m_swatches;
};
