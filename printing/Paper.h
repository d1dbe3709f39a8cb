// Paper stocks: the page a sign is printed on and its grid of label cells,
// the library of every known stock (built-in "Stock.zel", the user's
// "Stock2.zel" and the one-off import of an old ".plf" archive), and the
// current stock that the open sign uses.
#pragma once

#include "Object.h"
#include "Types.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

class CArchive;
class CTextExportFile;

// One stock. Lengths in tenths of a millimetre; the two pitches in
// hundredths (left edge of one column or row to the next one's).
struct CPaperStock
{
    QString category;
    QString name;
    int pageWidth = 0;
    int pageHeight = 0;
    int continuous = 0; // 1 for roll stock
    int topMargin = 0;
    int leftMargin = 0;
    int type = 0; // sign outline: 0 rectangular, 1 elliptical
    int cornerRadius = 0;
    int labelWidth = 0;
    int columns = 0;
    int horzPitch = 0;
    int labelHeight = 0;
    int rows = 0;
    int vertPitch = 0;
    int builtIn = 0;        // 1 for stocks of "Stock.zel"; only 0 is written back
    int selectionWidth = 0; // the printer form to select
    int selectionHeight = 0;
    QString backgroundImage;       // empty for none
    int backgroundOrientation = 0; // 0, 90, 180 or 270

    bool operator==(const CPaperStock&) const = default;

    // Hundredths to tenths of a millimetre: (x + 5) / 10, truncating.
    static int HmmToTmm(qint64 hmm) { return static_cast<int>((hmm + 5) / 10); }

    int LabelsPerSheet() const { return rows * columns; }
    // Top-left corner of label cell i, counting across first, then down.
    CPoint CellOrigin(int index) const;
    // The top-left corner, from the page's top-left corner, of the cell at
    // a print position (cells used since the job began; it wraps with every
    // sheet), as the print loop places signs: across the row first, then
    // down; in landscape along the stock's rows, starting from the edge that
    // is the portrait page's bottom. The sheet preview places its cells with
    // it too.
    CPoint LabelOrigin(qint64 position, bool landscape) const;

    // Why the stock cannot be printed on (no columns or rows, a page or
    // label that is not at least 1 long, sizes beyond any real stock);
    // empty when it can.
    QString UnusableReason() const;
    bool IsUsable() const { return UnusableReason().isEmpty(); }
    // Whether category, name and picture path can stand in a line of a
    // library file (none holds a comma or a line break).
    bool FitsLibraryLine() const;
};

class CPaper : public CObject
{
    DECLARE_PERSISTENT(CPaper)

public:
    CPaper();
    ~CPaper() override;
    CPaper(const CPaper&) = delete;
    CPaper& operator=(const CPaper&) = delete;

    // At start-up: loads the library (the single stock "A4" when it yields
    // none) and selects the named stock, else "A4", else the first.
    void Init(const QString& lastPaperName);
    // Reads "Stock.zel" and "Stock2.zel" and imports an old ".plf" library.
    // TRUE when a library file could be opened or the import succeeded.
    // Stocks that cannot be used are left out, and they and every file that
    // could not be read (whole) are named in one message. A "Stock2.zel"
    // that could not be read whole is never written over or deleted
    // afterwards, and an old library is deleted only once all of its stocks
    // are safe in "Stock2.zel".
    BOOL LoadStockLibrary();
    // Imports an old archive-format library; TRUE when it was read to the end.
    BOOL ImportLibraryFile(const QString& path);
    // Writes the user stocks to "Stock2.zel", or deletes it when none remain,
    // when they changed since they were read or last saved. FALSE after a
    // message when that cannot be done: the file could not be written whole
    // (the old one is then left as it was) or it could not be read whole at
    // start-up (it is left as it is).
    BOOL SaveUserStocks();

    // Adds a copy of the stock or overwrites the one of that name. FALSE,
    // changing nothing, when a text holds a comma or a line break or the
    // stock cannot be used.
    BOOL SetStock(const CPaperStock& stock);
    // An empty name means the current stock.
    BOOL GetStock(const QString& name, CPaperStock& stock) const;
    // FALSE when there is no such stock or it is the current one.
    BOOL DeleteStock(const QString& name);
    void RemoveAllStocks();
    // Makes the stock current and prepares the printer for it; FALSE (and
    // nothing changed) for an unknown name.
    BOOL SelectStock(const QString& name, const QString& sourceName = QString());

    // Every category once, in library order.
    void FillCategoryCombo(QStringList& items) const;
    // The names of the stocks of one category (case-sensitive), in order.
    void FillStockList(QStringList& items, const QString& category) const;

    QString GetPaperName() const;
    // As seen on the page: swapped in landscape.
    int GetSignWidth();
    int GetSignHeight();
    int GetPageWidth();
    int GetPageHeight();
    // The margins beyond the last column and row, from the stock's fields.
    int GetRightMargin() const;
    int GetBottomMargin() const;
    QString FormatSignWidth();
    QString FormatSignHeight();
    QString FormatLabelsPerPage() const;
    // The part of the sign that the printer can print in every label cell.
    CRect GetPrintableRect();
    // The same for a given stock, orientation and printable area of the
    // page (tenths of a millimetre from the page's top-left corner).
    static CRect PrintableRectFor(const CPaperStock& stock, bool landscape, CRect printable);

    void Serialize(CArchive& ar) override;
    void WriteXml(CTextExportFile& file) const;

    const CPaperStock* Current() const { return m_current; }
    int StockCount() const { return static_cast<int>(m_library.size()); }
    // Names in library order.
    QStringList StockNames() const;

    // Grid spacings of the design view, set for each selected stock.
    CSize m_viewSpacingLarge{100, 100};
    CSize m_viewSpacingSmall{40, 40};

    // Asked for a picture that cannot be found: returns the path to use
    // instead, or an empty text to go on with the picture missing (its path
    // is kept). Unset means going on without asking.
    static std::function<QString(const QString& missingPath)> s_locateMissingFile;

    static const char* const kLibraryHeader;
    static QString BuiltInLibraryPath();
    static QString UserLibraryPath();
    static QString OldLibraryPath();

private:
    // Puts the stock into the library without the checks of SetStock.
    CPaperStock* PutStock(const CPaperStock& stock);
    // What loading found to tell the user: stocks left out, files not read.
    struct LoadReport;
    // Reads one library file; FALSE when it cannot be opened. Stocks that
    // cannot be used are added to the report.
    BOOL ReadLibraryFile(const QString& path, int builtIn, LoadReport& report);
    BOOL ImportLibraryFile(const QString& path, LoadReport& report);
    const CPaperStock& Stock() const;
    bool IsLandscape() const;

    // Keyed by name, sorted by the names' UTF-16 code units (so case
    // matters): this order is the line order of "Stock2.zel", the order of
    // the category and stock lists, and decides which stock is the first.
    std::map<QString, std::unique_ptr<CPaperStock>> m_library;
    CPaperStock* m_current = nullptr; // a record of the library
    // The user's stocks differ from what "Stock2.zel" holds.
    bool m_userStocksChanged = false;
    // Why "Stock2.zel" could not be read whole; it is then left as it is.
    QString m_userLibraryUnread;
};

// The sign's paper.
CPaper& ThePaper();
