// The print loop on the virtual PDF printer: jobs that fill sheets of label
// stock, read back with poppler's pdfinfo and pdftoppm. Each sign is one
// filled black box, so a rendered page shows which cells were printed.
#include "PdfSupport.h"
#include "Printer.h"

#include "AppContext.h"
#include "Element.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "PageLabels.h"
#include "Paper.h"
#include "PrintLog.h"
#include "SignApp.h"
#include "SignData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The printer needs a GUI application; the test program has no main of its
// own, so the first test makes one.
void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "printing_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

// A sign's only element: a black box. It counts its drawings and can act
// on each one (a test cancels from here, as a click on Cancel would while
// the cell is being drawn).
class CInkBox : public CElement
{
public:
    explicit CInkBox(const CRect& bounds) { m_bounds = bounds; }
    void Draw(CDC* dc, const CRect&) override
    {
        ++draws;
        dc->FillSolidRect(m_bounds, 0);
        if (onDraw)
            onDraw(draws);
    }
    int draws = 0;
    std::function<void(int draws)> onDraw;
};

// A Printing window that records what it was shown and what became of it.
struct WindowLog
{
    QStringList lines;
    int opened = 0;
    int shows = 0;
    int hides = 0;
    int destroyed = 0;
    bool visible = false;
};

class CFakePrintWindow : public CPrintWindowSeam
{
public:
    explicit CFakePrintWindow(WindowLog& log) : m_log(log) { ++m_log.opened; }
    ~CFakePrintWindow() override
    {
        ++m_log.destroyed;
        m_log.visible = false;
    }
    void Show() override
    {
        ++m_log.shows;
        m_log.visible = true;
    }
    void Hide() override
    {
        ++m_log.hides;
        m_log.visible = false;
    }

private:
    WindowLog& m_log;
};

// A sheet of A4 with a grid of 60 x 120 mm cells, the first one 10 mm in
// and 20 mm down, 65 and 125 mm apart.
CPaperStock GridStock(int columns, int rows)
{
    CPaperStock s;
    s.category = QStringLiteral("Test");
    s.name = QStringLiteral("Grid %1 x %2").arg(columns).arg(rows);
    s.pageWidth = s.selectionWidth = 2100;
    s.pageHeight = s.selectionHeight = 2970;
    s.columns = columns;
    s.rows = rows;
    s.leftMargin = 100;
    s.topMargin = 200;
    s.labelWidth = 600;
    s.labelHeight = 1200;
    s.horzPitch = 6500;
    s.vertPitch = 12500;
    return s;
}

// The box drawn in every cell of the 3 x 2 stock.
const CRect kBox(100, 100, 500, 1000);

constexpr int kRenderDpi = 50;

// One page of a PDF as pdftoppm renders it at 50 dpi.
QImage RenderPage(const QString& pdf, int page)
{
    return RenderPdfPage(pdf, page, kRenderDpi);
}

// Tenths of a millimetre to pixels of a rendered page.
int Px(int tmm)
{
    return qRound(tmm * kRenderDpi / 254.0);
}

QRect PxRect(const CRect& r)
{
    return QRect(QPoint(Px(r.left), Px(r.top)), QPoint(Px(r.right) - 1, Px(r.bottom) - 1));
}

bool IsInk(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// The smallest rectangle around every dark pixel (null for a blank page).
QRect InkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (IsInk(image, x, y))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Which cells of a portrait 3 x 2 page carry the box, row by row: "100/000"
// is the first cell alone. Ink anywhere but on a box adds " +stray".
std::string CellPattern(const QImage& image)
{
    if (image.isNull())
        return "<no page>";
    const CPaperStock stock = GridStock(3, 2);
    std::string pattern;
    QRegion boxes;
    for (int cell = 0; cell < 6; ++cell) {
        if (cell == 3)
            pattern += '/';
        const CPoint origin = stock.CellOrigin(cell);
        const QRect box = PxRect(CRect(origin.x + kBox.left, origin.y + kBox.top,
                                       origin.x + kBox.right, origin.y + kBox.bottom));
        pattern += IsInk(image, box.center().x(), box.center().y()) ? '1' : '0';
        boxes += box.adjusted(-2, -2, 2, 2);
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (IsInk(image, x, y) && !boxes.contains(QPoint(x, y)))
                return pattern + " +stray";
        }
    }
    return pattern;
}

// The cell patterns of every page of a PDF.
std::vector<std::string> PagePatterns(const QString& pdf)
{
    std::vector<std::string> patterns;
    const int pages = PdfPageCount(pdf);
    for (int page = 1; page <= pages; ++page)
        patterns.push_back(CellPattern(RenderPage(pdf, page)));
    return patterns;
}

struct LogRow
{
    int quantity = 0;
    int copies = 0;
    std::string printer;
    bool operator==(const LogRow&) const = default;
};

void PrintTo(const LogRow& row, std::ostream* os)
{
    *os << "{" << row.quantity << ", " << row.copies << ", " << row.printer << "}";
}

// The print log's rows, oldest first.
std::vector<LogRow> LogRows()
{
    std::vector<LogRow> rows;
    if (!QFileInfo::exists(CPrintLog::GetDatabasePath()))
        return rows;
    const QString name = QStringLiteral("PrintLoopTestReader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(CPrintLog::GetDatabasePath());
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral(
            "SELECT \"Quantity\", \"Copies\", \"Printer\" FROM \"PrintLog\" ORDER BY rowid")));
        while (q.next())
            rows.push_back(
                {q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString().toStdString()});
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

class PrintLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        ASSERT_TRUE(m_home.isValid());
        Save("TABREL_HOME");
        Save("TABREL_DEFAULT_PRINTER");
        qputenv("TABREL_HOME", QFile::encodeName(m_home.path()));
        qputenv("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
        CSignApp::SetProfileFolderForTests(m_home.filePath(QStringLiteral("profile")));
        m_app = std::make_unique<CAppContext>();

        m_document.m_title = QStringLiteral("Shelf labels");
        m_document.SetPathName(m_home.filePath(QStringLiteral("Shelf.tsg")));
        UseStock(GridStock(3, 2));
        m_box = new CInkBox(kBox);
        TheElementList().AddTail(m_box);
    }

    void TearDown() override
    {
        m_app.reset();
        CPrinter::s_openPrintWindow = nullptr;
        CPrinter::s_submitQueue = nullptr;
        CPrinter::s_choosePrintFile = nullptr;
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    static void UseStock(const CPaperStock& stock)
    {
        ASSERT_TRUE(ThePaper().SetStock(stock));
        ASSERT_TRUE(ThePaper().SelectStock(stock.name));
    }

    // Print logging in mode 1, as an administrator sets it.
    static void LogJobs()
    {
        CSignApp::WriteProfileInt(QStringLiteral("Admin/Print Logging"), QStringLiteral("mode"), 1,
                                  true);
        ThePrintLog().LoadSettings();
        ASSERT_EQ(ThePrintLog().GetMode(), CPrintLog::LogJobs);
    }

    void OpenFakeWindows()
    {
        CPrinter::s_openPrintWindow = [this](const QString& document, const QString& printer,
                                             const QString& thirdLine) {
            m_window.lines = {document, printer, thirdLine};
            return std::make_unique<CFakePrintWindow>(m_window);
        };
    }

    QString Output(const QString& name) const { return m_home.filePath(name); }

    // One print run as the Print command makes it: PrintSign, then EndJob.
    void PrintRun(int copies, int skip, const QString& file)
    {
        EXPECT_TRUE(ThePrinter().PrintSign(m_document, copies, file, skip));
        EXPECT_TRUE(ThePrinter().EndJob());
    }

    QTemporaryDir m_home;
    CMessageResponder m_messages;
    std::unique_ptr<CAppContext> m_app;
    CSignData m_document;
    CInkBox* m_box = nullptr; // owned by the element list
    WindowLog m_window;

private:
    void Save(const char* name)
    {
        m_saved.push_back({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
    }
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

} // namespace

// Filling sheets -----------------------------------------------------------------

TEST_F(PrintLoopTest, EightCopiesFillOneSheetAndLeaveTheSecondOpenUntilTheJobEnds)
{
    CPrinter& printer = ThePrinter();
    const QString pdf = Output(QStringLiteral("eight.pdf"));

    ASSERT_TRUE(printer.PrintSign(m_document, 8, pdf, 0));
    EXPECT_TRUE(printer.m_jobOpen);
    EXPECT_EQ(printer.m_labelPosition, 8);
    EXPECT_TRUE(printer.IsSheetStarted());
    EXPECT_EQ(m_box->draws, 8);

    ASSERT_TRUE(printer.EndJob());
    EXPECT_FALSE(printer.m_jobOpen);
    EXPECT_FALSE(printer.IsSheetStarted());
    EXPECT_EQ(printer.m_labelPosition, 0);
    EXPECT_EQ(PagePatterns(pdf), (std::vector<std::string>{"111/111", "110/000"}));
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(PrintLoopTest, CopiesAndSkippedCellsDecideThePages)
{
    struct Case
    {
        int copies;
        int skip;
        std::vector<std::string> pages;
    };
    const Case cases[] = {
        {1, 0, {"100/000"}},
        {6, 0, {"111/111"}},
        {7, 0, {"111/111", "100/000"}},
        {4, 2, {"001/111"}},
        // Only the first sheet has cells in use already.
        {5, 4, {"000/011", "111/000"}},
        {9, 3, {"000/111", "111/111"}},
        // Beyond the sheet, the skip stops at its last cell.
        {2, 9, {"000/001", "100/000"}},
        {2, -3, {"110/000"}},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.copies) + " copies, skip " + std::to_string(c.skip));
        const QString pdf = Output(QStringLiteral("run%1.pdf").arg(++run));
        PrintRun(c.copies, c.skip, pdf);
        EXPECT_EQ(PagePatterns(pdf), c.pages);
    }
}

TEST_F(PrintLoopTest, NoCopiesLeaveNoFile)
{
    const QString pdf = Output(QStringLiteral("none.pdf"));
    PrintRun(0, 0, pdf);
    EXPECT_EQ(m_box->draws, 0);
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(PrintLoopTest, TheBoxLandsInsideItsCell)
{
    struct Case
    {
        const char* what;
        int orientation;
        int skip;
        CPoint cell; // the cell's corner on the page as seen
    };
    // The stock's bottom margin: 297 mm less 20 mm above, one pitch of
    // 125 mm and the 120 mm cell.
    const int bottomMargin = 320;
    const Case cases[] = {
        {"portrait, cell 0", DMORIENT_PORTRAIT, 0, {100, 200}},
        {"portrait, cell 4", DMORIENT_PORTRAIT, 4, {750, 1450}},
        // Along the stock's rows from the portrait page's bottom edge.
        {"landscape, cell 0", DMORIENT_LANDSCAPE, 0, {bottomMargin, 100}},
        {"landscape, cell 3", DMORIENT_LANDSCAPE, 3, {bottomMargin + 1250, 750}},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool landscape = c.orientation == DMORIENT_LANDSCAPE;
        ASSERT_TRUE(ThePrinter().SetOrientation(c.orientation));
        // The sign is turned with the page.
        const CRect box = landscape ? CRect(100, 100, 1000, 500) : kBox;
        m_box->m_bounds = box;
        const QString pdf = Output(QStringLiteral("cell%1.pdf").arg(++run));
        PrintRun(1, c.skip, pdf);
        const QImage page = RenderPage(pdf, 1);
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(page.width() > page.height(), landscape);

        const QRect want = PxRect(CRect(c.cell.x + box.left, c.cell.y + box.top,
                                        c.cell.x + box.right, c.cell.y + box.bottom));
        const QRect ink = InkBounds(page);
        EXPECT_LE(std::abs(ink.left() - want.left()), 1) << ink.left() << " vs " << want.left();
        EXPECT_LE(std::abs(ink.top() - want.top()), 1) << ink.top() << " vs " << want.top();
        EXPECT_LE(std::abs(ink.right() - want.right()), 1) << ink.right() << " vs " << want.right();
        EXPECT_LE(std::abs(ink.bottom() - want.bottom()), 1)
            << ink.bottom() << " vs " << want.bottom();
    }
}

TEST_F(PrintLoopTest, AnotherSignContinuesOnThePartlyFilledSheet)
{
    CPrinter& printer = ThePrinter();
    const QString pdf = Output(QStringLiteral("records.pdf"));

    ASSERT_TRUE(printer.PrintSign(m_document, 2, pdf, 1));
    EXPECT_EQ(printer.m_labelPosition, 3);
    // A later sign of the run passes the same skip, as the batch does for
    // every record; the sheet it starts is a fresh one and is filled from
    // its first cell.
    ASSERT_TRUE(printer.PrintSign(m_document, 4, pdf, 1));
    EXPECT_EQ(printer.m_labelPosition, 7);
    ASSERT_TRUE(printer.EndJob());

    EXPECT_EQ(PagePatterns(pdf), (std::vector<std::string>{"011/111", "100/000"}));
}

TEST_F(PrintLoopTest, HeaderOnAFirstPageOfItsOwnComesBeforeTheSheets)
{
    CPageLabelItem& header = ThePageLabels().Item(CPageLabels::HEADER);
    header.print = 1;
    header.asFirstPage = 1;
    header.format = QStringLiteral("Shelf labels::");
    ThePageLabels().m_pageNumber = 1;
    const QString pdf = Output(QStringLiteral("titled.pdf"));

    PrintRun(7, 1, pdf);
    // The title page has the header alone; the skip is for the first sheet.
    EXPECT_EQ(PagePatterns(pdf),
              (std::vector<std::string>{"000/000 +stray", "011/111", "110/000"}));
}

TEST_F(PrintLoopTest, PdfOutputMakesEveryCopyItselfOnAOneLabelStock)
{
    UseStock(GridStock(1, 1));
    CPrinter& printer = ThePrinter();
    ASSERT_TRUE(printer.m_driverDoesCopies); // the settings block offers copies
    const QString pdf = Output(QStringLiteral("single.pdf"));

    PrintRun(3, 0, pdf);
    EXPECT_EQ(m_box->draws, 3);
    EXPECT_EQ(printer.GetDevMode().Copies(), 1);
    EXPECT_EQ(PdfPageCount(pdf), 3);
}

// Label cells ------------------------------------------------------------------------

TEST_F(PrintLoopTest, LabelOriginFollowsRowsInPortraitAndColumnsInLandscape)
{
    CPaperStock stock = GridStock(3, 2);
    stock.horzPitch = 6505; // 650.5 mm rounds up
    stock.vertPitch = 12504;
    UseStock(stock);
    const int bottomMargin = ThePaper().GetBottomMargin();
    struct Case
    {
        int orientation;
        int position;
        CPoint origin;
    };
    const Case cases[] = {
        {DMORIENT_PORTRAIT, 0, {100, 200}},
        {DMORIENT_PORTRAIT, 2, {100 + 1301, 200}},
        {DMORIENT_PORTRAIT, 4, {100 + 651, 200 + 1250}},
        {DMORIENT_PORTRAIT, 6, {100, 200}},          // the next sheet
        {DMORIENT_PORTRAIT, 11, {100 + 1301, 1450}}, // its last cell
        {DMORIENT_LANDSCAPE, 0, {bottomMargin, 100}},
        {DMORIENT_LANDSCAPE, 1, {bottomMargin + 1250, 100}},
        {DMORIENT_LANDSCAPE, 2, {bottomMargin, 100 + 651}},
        {DMORIENT_LANDSCAPE, 5, {bottomMargin + 1250, 100 + 1301}},
        {DMORIENT_LANDSCAPE, 7, {bottomMargin + 1250, 100}},
    };
    CPrinter& printer = ThePrinter();
    for (const Case& c : cases) {
        SCOPED_TRACE("orientation " + std::to_string(c.orientation) + ", position " +
                     std::to_string(c.position));
        ASSERT_TRUE(printer.SetOrientation(c.orientation));
        printer.m_labelPosition = c.position;
        const CPoint origin = printer.GetLabelOrigin();
        EXPECT_EQ(origin.x, c.origin.x);
        EXPECT_EQ(origin.y, c.origin.y);
    }
    printer.m_labelPosition = 0;
}

// Ending jobs -------------------------------------------------------------------

TEST_F(PrintLoopTest, EndJobWithNothingOpenSubmitsThePendingQueueJob)
{
    CPrinter& printer = ThePrinter();
    EXPECT_TRUE(printer.EndJob());

    int submitted = 0;
    BOOL answer = FALSE;
    CPrinter::s_submitQueue = [&] {
        ++submitted;
        return answer;
    };
    EXPECT_FALSE(printer.EndJob());
    answer = TRUE;
    EXPECT_TRUE(printer.EndJob());
    EXPECT_EQ(submitted, 2);

    // With a job open, EndJob ends the job and leaves the queue alone.
    ASSERT_TRUE(printer.PrintSign(m_document, 1, Output(QStringLiteral("q.pdf")), 0));
    EXPECT_TRUE(printer.EndJob());
    EXPECT_EQ(submitted, 2);
}

TEST_F(PrintLoopTest, EndJobWithPageMakesEverySheetAFileOfItsOwn)
{
    App().general.endJobWithPage = TRUE;
    LogJobs();
    OpenFakeWindows();
    CPrinter& printer = ThePrinter();
    const QString pdf = Output(QStringLiteral("sheets.pdf"));

    ASSERT_TRUE(printer.PrintSign(m_document, 6, pdf, 0));
    // The full sheet ended its job, and its window.
    EXPECT_FALSE(printer.m_jobOpen);
    EXPECT_EQ(m_window.opened, 1);
    EXPECT_EQ(m_window.destroyed, 1);
    ASSERT_TRUE(printer.PrintSign(m_document, 8, pdf, 0));
    EXPECT_TRUE(printer.IsSheetStarted());
    EXPECT_EQ(m_window.lines.value(2).toStdString(),
              "to " + Output(QStringLiteral("sheets-3.pdf")).toStdString());
    ASSERT_TRUE(printer.EndJob());
    EXPECT_EQ(m_window.opened, m_window.destroyed);

    EXPECT_EQ(PagePatterns(pdf), (std::vector<std::string>{"111/111"}));
    EXPECT_EQ(PagePatterns(Output(QStringLiteral("sheets-2.pdf"))),
              (std::vector<std::string>{"111/111"}));
    EXPECT_EQ(PagePatterns(Output(QStringLiteral("sheets-3.pdf"))),
              (std::vector<std::string>{"110/000"}));
    EXPECT_FALSE(QFileInfo::exists(Output(QStringLiteral("sheets-4.pdf"))));
    // One row per sheet; each sign counts in the job that was open when it
    // was done.
    EXPECT_EQ(LogRows(), (std::vector<LogRow>{{0, 6, "File"}, {0, 8, "File"}, {1, 8, "File"}}));

    // A new run writes its first sheet under the plain name again.
    QFile::remove(pdf);
    PrintRun(1, 0, pdf);
    EXPECT_EQ(PdfPageCount(pdf), 1);
}

TEST_F(PrintLoopTest, CancelStopsAfterTheCellAndDiscardsTheJob)
{
    LogJobs();
    CPrinter& printer = ThePrinter();
    CPrintWindowSeam* window = nullptr;
    CPrinter::s_openPrintWindow = [&](const QString& document, const QString& device,
                                      const QString& thirdLine) {
        m_window.lines = {document, device, thirdLine};
        auto opened = std::make_unique<CFakePrintWindow>(m_window);
        window = opened.get();
        return opened;
    };
    m_box->onDraw = [&](int draws) {
        if (draws == 8)
            window->Cancel();
    };
    const QString pdf = Output(QStringLiteral("cancelled.pdf"));

    EXPECT_FALSE(printer.PrintSign(m_document, 12, pdf, 0));
    EXPECT_EQ(m_box->draws, 8);
    EXPECT_TRUE(printer.m_cancel);
    EXPECT_TRUE(printer.m_jobOpen); // until EndJob
    EXPECT_FALSE(m_window.visible);
    EXPECT_EQ(m_window.destroyed, 0);

    EXPECT_TRUE(printer.EndJob());
    EXPECT_FALSE(printer.m_jobOpen);
    EXPECT_EQ(m_window.destroyed, 1);
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(LogRows().empty());

    // The next job starts with the flag cleared and is logged.
    m_box->onDraw = nullptr;
    PrintRun(2, 0, pdf);
    EXPECT_FALSE(printer.m_cancel);
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(LogRows(), (std::vector<LogRow>{{1, 2, "File"}}));
}

// The Printing window names the job and is up only while a sign prints,
// from the first time the loop lets the windows run (by the job's
// thousandth cell at the latest): a job done before that never brings it
// up, since it could neither have been drawn nor have taken a Cancel.
TEST_F(PrintLoopTest, PrintingWindowNamesTheJobAndIsUpOnlyWhileItsSignPrints)
{
    OpenFakeWindows();
    CPrinter& printer = ThePrinter();
    int drawnWithWindow = 0;
    m_box->onDraw = [&](int) {
        if (m_window.visible)
            ++drawnWithWindow;
    };
    const QString pdf = Output(QStringLiteral("window.pdf"));

    // Two cells: the windows run after them only on a machine slow enough
    // for the loop's time limit, and then for the second cell at most.
    ASSERT_TRUE(printer.PrintSign(m_document, 2, pdf, 0));
    EXPECT_LE(m_window.shows, 1);
    EXPECT_LE(drawnWithWindow, 1);
    EXPECT_FALSE(m_window.visible);
    EXPECT_EQ(m_window.lines, (QStringList{QStringLiteral("Shelf labels"),
                                           QStringLiteral("Tabrel PDF"), "to " + pdf}));

    // 1,050 cells more in the same job: up once, for at least the last
    // fifty, and down again.
    const int showsBefore = m_window.shows;
    drawnWithWindow = 0;
    ASSERT_TRUE(printer.PrintSign(m_document, 1050, pdf, 0));
    EXPECT_EQ(m_window.shows, showsBefore + 1);
    EXPECT_GE(drawnWithWindow, 50);
    EXPECT_FALSE(m_window.visible);
    EXPECT_EQ(m_window.opened, 1);
    EXPECT_EQ(m_window.destroyed, 0);
    ASSERT_TRUE(printer.EndJob());
    EXPECT_EQ(m_window.destroyed, 1);
}

TEST_F(PrintLoopTest, AFileThatCannotBeWrittenFailsToStartAndLeavesNothingOpen)
{
    LogJobs();
    OpenFakeWindows();
    CPrinter& printer = ThePrinter();
    const QString pdf = Output(QStringLiteral("no/such/folder/out.pdf"));

    EXPECT_FALSE(printer.PrintSign(m_document, 3, pdf, 0));
    EXPECT_FALSE(printer.m_jobOpen);
    EXPECT_EQ(m_box->draws, 0);
    EXPECT_EQ(m_messages.LastText().toStdString(), "Failed to start printing.");
    EXPECT_EQ(m_window.opened, 1);
    EXPECT_EQ(m_window.destroyed, 1);
    EXPECT_TRUE(printer.EndJob());
    EXPECT_TRUE(LogRows().empty());
}

TEST_F(PrintLoopTest, VirtualPrinterAsksForTheFileOncePerRun)
{
    CPrinter& printer = ThePrinter();
    QStringList suggestions;
    QString answer;
    CPrinter::s_choosePrintFile = [&](const QString& suggested) {
        suggestions << suggested;
        return answer;
    };

    // Cancelling the choice ends it quietly.
    EXPECT_FALSE(printer.PrintSign(m_document, 1, QString(), 0));
    EXPECT_FALSE(printer.m_jobOpen);
    EXPECT_EQ(m_messages.Count(), 0);
    ASSERT_EQ(suggestions.size(), 1);
    EXPECT_EQ(QFileInfo(suggestions[0]).fileName().toStdString(), "Output.pdf");

    App().general.endJobWithPage = TRUE;
    answer = Output(QStringLiteral("chosen.pdf"));
    PrintRun(7, 0, QString());
    EXPECT_EQ(suggestions.size(), 2);
    EXPECT_EQ(PdfPageCount(answer), 1);
    EXPECT_EQ(PdfPageCount(Output(QStringLiteral("chosen-2.pdf"))), 1);
}

TEST_F(PrintLoopTest, PrintLogThatNeverAnswersDoesNotHoldPrintingUp)
{
    LogJobs();
    OpenFakeWindows();
    // Another program's connection to the log: the test's own.
    const QString name = QStringLiteral("PrintLoopTestOther");
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(CPrintLog::GetDatabasePath());
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(
            q.exec(QStringLiteral("CREATE TABLE \"PrintLog\" (\"User\" TEXT, \"Time\" TEXT, "
                                  "\"Template\" TEXT, \"Quantity\" INTEGER, "
                                  "\"Copies\" INTEGER, \"Printer\" TEXT)")));
        struct Case
        {
            const char* what;
            QStringList block;   // run on the other connection before the job
            QStringList unblock; // and after it
        };
        const Case cases[] = {
            {"a trigger that never ends",
             {QStringLiteral("CREATE TRIGGER \"Forever\" AFTER INSERT ON \"PrintLog\" BEGIN "
                             "SELECT count(*) FROM (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                             "SELECT x + 1 FROM c) SELECT x FROM c); END")},
             {QStringLiteral("DROP TRIGGER \"Forever\"")}},
            {"a lock held by another program",
             {QStringLiteral("BEGIN EXCLUSIVE"),
              QStringLiteral("INSERT INTO \"PrintLog\" (\"Copies\") VALUES (99)")},
             {QStringLiteral("ROLLBACK")}},
        };
        int expectedRows = 0;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            m_messages.Clear();
            for (const QString& statement : c.block)
                ASSERT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();

            // Two jobs: each done (the log gives up on its own), the failure shown once.
            for (int job = 0; job < 2; ++job) {
                const QString pdf = Output(QStringLiteral("%1-%2.pdf").arg(expectedRows).arg(job));
                PrintRun(1, 0, pdf);
                EXPECT_EQ(PdfPageCount(pdf), 1);
            }
            EXPECT_EQ(m_messages.Count(), 1);
            EXPECT_EQ(ThePrintLog().PendingRows(), 2);

            // Once the log answers again, the next job writes all three rows.
            for (const QString& statement : c.unblock)
                ASSERT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();
            PrintRun(1, 0, Output(QStringLiteral("after.pdf")));
            expectedRows += 3;
            EXPECT_EQ(ThePrintLog().PendingRows(), 0);
            EXPECT_EQ(LogRows().size(), size_t(expectedRows));
            EXPECT_EQ(m_messages.Count(), 1);
        }
    }
    QSqlDatabase::removeDatabase(name);
}
