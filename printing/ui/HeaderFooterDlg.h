// The "Header and Footer" dialog: edits the page labels' two items (print
// flag, first-page-only, offset, format, font and colour) on a working copy
// and writes them back on OK.
#pragma once

#include "LogFont.h"
#include "Types.h"

#include <QDialog>
#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class CPageLabels;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the Font... button asks for and gets back.
struct CFontChoice
{
    QFont font;
    COLORREF colour = 0;
};

class CHeaderFooterDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 296
    };
    // Control ids, header and footer.
    enum : int
    {
        IDC_PRINT_HEADER = 1421,
        IDC_PRINT_FOOTER = 1422,
        IDC_OFFSET_HEADER = 1423,
        IDC_OFFSET_FOOTER = 1424,
        IDC_EVERY_PAGE_HEADER = 1425,
        IDC_EVERY_PAGE_FOOTER = 1426,
        IDC_FIRST_PAGE_HEADER = 1427,
        IDC_FIRST_PAGE_FOOTER = 1428,
        IDC_FORMAT_HEADER = 1429,
        IDC_FORMAT_FOOTER = 1430,
        IDC_FONT_HEADER = 1431,
        IDC_FONT_FOOTER = 1432,
    };

    // The largest offsets the dialog takes.
    static constexpr double kMaxOffsetMm = 1500.0;
    static constexpr double kMaxOffsetInches = 60.0;

    explicit CHeaderFooterDlg(CPageLabels& labels, QWidget* parent = nullptr);
    ~CHeaderFooterDlg() override;

    // Answers the Font... buttons: given the item's font and colour, returns
    // the chosen ones, or nothing when the user cancelled. Empty: the font
    // dialog with a colour button. Tests install their own.
    using FontChooser =
        std::function<std::optional<CFontChoice>(QWidget* parent, const CFontChoice& initial)>;
    static FontChooser s_chooseFont;

    // The item's font as the font dialog is seeded with it (em size in points).
    static QFont ToQFont(const CLogFont& font);
    // The font record after the font dialog: face, weight, italic, underline,
    // strike-out and size from the chosen font; the face name stays as it was
    // when the chosen family is the one it already stood for.
    static CLogFont FromQFont(const QFont& chosen, const CLogFont& previous);

    // The working copy's font and colour of an item (0 header, 1 footer).
    const CLogFont& WorkingFont(int item) const { return m_work[std::size_t(item)].font; }
    COLORREF WorkingColour(int item) const { return m_work[std::size_t(item)].colour; }

    // Checks the offsets and writes everything back; stays open when an
    // offset is refused.
    void accept() override;

private:
    struct Controls
    {
        QCheckBox* print = nullptr;
        QRadioButton* everyPage = nullptr;
        QRadioButton* firstPage = nullptr;
        QButtonGroup* pages = nullptr;
        QLineEdit* offset = nullptr;
        QLabel* units = nullptr;
        QLineEdit* format = nullptr;
        QPushButton* font = nullptr;
        QString shownOffset; // the offset text as first shown
    };
    struct Working
    {
        CLogFont font;
        COLORREF colour = 0;
    };

    QWidget* BuildItem(int item, const QString& title);
    void UpdateEnabled(int item);
    void OnFont(int item);
    // The offset in tenths of a millimetre; false (after telling the user)
    // when the text is not a number in range.
    bool ReadOffset(int item, int& offset);

    CPageLabels& m_labels;
    bool m_inches = false;
    std::array<Controls, 2> m_controls;
    std::array<Working, 2> m_work;
};

// Shows the dialog for the application's page labels; TRUE when it ended
// with OK (the labels are then already changed).
BOOL EditHeaderFooter(QWidget* parent);
