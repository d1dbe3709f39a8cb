// Headers and footers printed on each sheet, outside the signs: a line of
// three texts (left, centre, right) built from a format with $ codes.
#pragma once

#include "LogFont.h"
#include "Object.h"
#include "TextBase.h"

#include <QString>
#include <array>
#include <ctime>
#include <functional>
#include <memory>

class CArchive;
class CDC;
class CTextExportFile;

struct CPageLabelItem
{
    BOOL print = 0;
    BOOL asFirstPage = 0; // on a first page of its own only
    int offset = 0;       // tenths of a millimetre from the printable area's edge
    QString format;       // left:centre:right with $ codes
    CLogFont font;
    COLORREF textColour = 0;
    std::array<std::unique_ptr<CTextBase>, 3> texts; // only while print is set
};

class CPageLabels : public CObject
{
    DECLARE_PERSISTENT(CPageLabels)

public:
    enum
    {
        HEADER = 0,
        FOOTER = 1
    };

    CPageLabels();
    ~CPageLabels() override;
    CPageLabels(const CPageLabels&) = delete;
    CPageLabels& operator=(const CPageLabels&) = delete;

    QString GetItemText(int item, int part) const;
    // Expands the code that starts at pos (a '$') and moves pos behind it.
    QString ExpandFormat(const QString& text, qsizetype& pos) const;
    BOOL CreateTextItems(int item, COLORREF colour);
    void DeleteTextItems(int item);
    // Draws the labels at the start of a sheet on a printer DC whose
    // printable area (tenths of a millimetre from the page's top-left) is
    // given. When a label stands on a first page of its own, newPage ends
    // that page and starts the next (FALSE when it failed); without one, the
    // labels of the first page stay on it. Advances the page number once per
    // page drawn. FALSE when there is no DC or a new page failed.
    BOOL DrawPageLabels(CDC* dc, const CRect& printableArea, const std::function<BOOL()>& newPage);

    void Serialize(CArchive& ar) override;
    void WriteXml(CTextExportFile& file) const;

    CPageLabelItem& Item(int item) { return m_items[std::size_t(item)]; }
    const CPageLabelItem& Item(int item) const { return m_items[std::size_t(item)]; }

    int m_pageNumber = 1;
    // The sign's path for the $f and $w codes.
    QString m_signPath;

    // The time the $d and $t codes show; the current time when empty.
    // Tests set a fixed one.
    static std::function<std::time_t()> s_now;

    // Offsets beyond this (tenths of a millimetre, either way) are not read
    // from a sign: no page is 100 metres long.
    static constexpr int kMaxStoredOffset = 1000000;

private:
    // Draws the labels due on the current page number.
    void DrawItems(CDC* dc, const CRect& printableArea);

    std::array<CPageLabelItem, 2> m_items;
};

CPageLabels& ThePageLabels();
