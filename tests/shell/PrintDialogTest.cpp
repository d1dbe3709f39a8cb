// File > Print and the sign's own dialogs, driven through the main frame's
// commands: the Print dialog's ranges and destinations, the sheet-reuse
// warning and its setting, signs printed to PDF files that are read back,
// the print queue, Print Setup, Properties and Header and Footer.
#include "PdfSupport.h"
#include "MainFrame.h"

#include "AppContext.h"
#include "Box.h"
#include "ElementList.h"
#include "HeaderFooterDlg.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Paper.h"
#include "PaperStockDlg.h"
#include "PrintQueue.h"
#include "PrintSetupDlg.h"
#include "PrintSignDlg.h"
#include "Printer.h"
#include "SheetReuseWarningDlg.h"
#include "ShellTestSupport.h"
#include "SignApp.h"
#include "TestSupport.h"
#include "ui/SignPropertiesDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

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

// The black box drawn in every cell.
const CRect kBox(100, 100, 500, 1000);

constexpr int kDpi = 50;

QImage RenderPage(const QString& pdf, int page)
{
    return RenderPdfPage(pdf, page, kDpi);
}

int Px(int tmm)
{
    return qRound(tmm * kDpi / 254.0);
}

// Which cells of a 3 x 2 page carry ink, row by row: "001/111".
std::string CellPattern(const QImage& image)
{
    if (image.isNull())
        return "<no page>";
    const CPaperStock stock = GridStock(3, 2);
    std::string pattern;
    for (int cell = 0; cell < 6; ++cell) {
        if (cell == 3)
            pattern += '/';
        const CPoint o = stock.CellOrigin(cell);
        const QPoint centre(Px(o.x + kBox.CenterPoint().x), Px(o.y + kBox.CenterPoint().y));
        pattern += qGray(image.pixel(centre)) < 128 ? '1' : '0';
    }
    return pattern;
}

std::vector<std::string> PagePatterns(const QString& pdf)
{
    std::vector<std::string> patterns;
    const int pages = PdfPageCount(pdf);
    for (int page = 1; page <= pages; ++page)
        patterns.push_back(CellPattern(RenderPage(pdf, page)));
    return patterns;
}

template <class W> W* Control(QWidget* dialog, int id)
{
    W* w = dialog->findChild<W*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

// Types a number into a spin box as a user would: select all, type.
void TypeNumber(QSpinBox* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

// Clicks a check box or radio button on its box, where a user clicks.
void Tick(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void Click(QWidget* dialog, int id)
{
    QTest::mouseClick(Control<QPushButton>(dialog, id), Qt::LeftButton);
}

class PrintDialogTest : public ::testing::Test
{
protected:
    PrintDialogTest()
    {
        EnsureWidgetApp();
        FrameHooks() = CFrameHooks();
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice& choice) {
            choices.push_back(choice);
            return chosenPath;
        };
        UseStock(GridStock(3, 2));
        auto* box = new CBox;
        box->SetBounds(nullptr, kBox);
        box->m_outlineColour = 0;
        box->m_fillInterior = TRUE;
        box->m_fillColour = 0;
        TheElementList().AddTail(box);
        frame = std::make_unique<CMainFrame>();
        frame->UpdateActionsNow();
    }
    ~PrintDialogTest() override
    {
        frame.reset();
        FrameHooks() = CFrameHooks();
        CPrinter::s_choosePrintFile = nullptr;
        CPrinter::s_openPrintWindow = nullptr;
    }

    static void UseStock(const CPaperStock& stock)
    {
        EXPECT_TRUE(ThePaper().SetStock(stock));
        EXPECT_TRUE(ThePaper().SelectStock(stock.name));
    }

    void InstallQueue(const QString& folder)
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                  QStringLiteral("Pellox"))
            .setValue(QStringLiteral("Location"), folder);
        ThePrintQueue().SetFolder(CPrintQueue::ReadFolderSetting());
    }

    // Runs File > Print; the action answers the Print dialog.
    void RunPrint(std::function<void(CPrintSignDlg*)> answer)
    {
        CAnswerDialog<CPrintSignDlg> print(std::move(answer));
        frame->Action(ID_FILE_PRINT)->trigger();
        EXPECT_TRUE(print.Answered());
    }

    // Fills the Print dialog and presses Print.
    static std::function<void(CPrintSignDlg*)> Answer(int destination, const QString& copies,
                                                      const QString& skip)
    {
        return [=](CPrintSignDlg* dialog) {
            Control<QComboBox>(dialog, CPrintSignDlg::IDC_DESTINATION)
                ->setCurrentIndex(destination);
            TypeNumber(Control<QSpinBox>(dialog, CPrintSignDlg::IDC_COPIES), copies);
            auto* skipBox = Control<QSpinBox>(dialog, CPrintSignDlg::IDC_SKIP);
            if (skipBox->isEnabled())
                TypeNumber(skipBox, skip);
            Click(dialog, IDOK);
        };
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    QString chosenPath;
    std::vector<CFileChoice> choices;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(PrintDialogTest, PrintIsOfferedInTheFileMenuAndOnTheToolbar)
{
    QAction* print = frame->Action(ID_FILE_PRINT);
    EXPECT_TRUE(print->isEnabled());
    EXPECT_EQ(print->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_TRUE(frame->MainToolBar()->actions().contains(print));
    for (int id : {ID_FILE_PRINT_SETUP, ID_SIGN_PROPERTIES, ID_HEADER_FOOTER})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
}

TEST_F(PrintDialogTest, RangesFollowTheStockAndRefuseWhatIsOutside)
{
    struct Case
    {
        int columns, rows;
        int skipMax;
        bool skipEnabled;
    };
    const Case cases[] = {{3, 2, 5, true}, {3, 8, 23, true}, {1, 1, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.columns * 10 + c.rows);
        UseStock(GridStock(c.columns, c.rows));
        RunPrint([&](CPrintSignDlg* dialog) {
            auto* copies = Control<QSpinBox>(dialog, CPrintSignDlg::IDC_COPIES);
            auto* skip = Control<QSpinBox>(dialog, CPrintSignDlg::IDC_SKIP);
            EXPECT_EQ(copies->minimum(), 1);
            EXPECT_EQ(copies->maximum(), 9999);
            EXPECT_EQ(copies->value(), 1);
            EXPECT_EQ(skip->minimum(), 0);
            EXPECT_EQ(skip->maximum(), c.skipMax);
            EXPECT_EQ(skip->value(), 0);
            EXPECT_EQ(skip->isEnabled(), c.skipEnabled);
            EXPECT_EQ(dialog->LabelsPerSheet(), c.columns * c.rows);

            // What lies outside cannot be typed: a fifth digit is refused.
            TypeNumber(copies, QStringLiteral("123456"));
            EXPECT_EQ(copies->value(), 1234);
            TypeNumber(skip, QString::number(c.skipMax + 1));
            EXPECT_LE(skip->value(), c.skipMax);
            Click(dialog, IDCANCEL);
        });
        messages.Clear();
    }
    EXPECT_TRUE(choices.empty()) << "nothing printed after Cancel";
}

TEST_F(PrintDialogTest, DestinationsOfferTheQueueOnlyWhenItIsThere)
{
    const auto items = [](CPrintSignDlg* dialog) {
        QStringList texts;
        auto* box = Control<QComboBox>(dialog, CPrintSignDlg::IDC_DESTINATION);
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    RunPrint([&](CPrintSignDlg* dialog) {
        EXPECT_EQ(items(dialog), QStringList({"Printer", "File"}));
        Click(dialog, IDCANCEL);
    });

    InstallQueue(home.FilePath(QStringLiteral("queue")));
    // A sign never saved cannot be queued.
    RunPrint([&](CPrintSignDlg* dialog) {
        EXPECT_EQ(items(dialog), QStringList({"Printer", "File", "Queue"}));
        auto* destination = Control<QComboBox>(dialog, CPrintSignDlg::IDC_DESTINATION);
        destination->setCurrentIndex(CPrintSignDlg::DEST_QUEUE);
        EXPECT_EQ(messages.LastText(), LoadStringId(IDS_SAVE_BEFORE_QUEUE));
        EXPECT_EQ(destination->currentIndex(), CPrintSignDlg::DEST_PRINTER);
        Click(dialog, IDCANCEL);
    });

    // A saved one can; the queue prints on fresh sheets, so there is no skip.
    frame->Document().SetPathName(home.FilePath(QStringLiteral("Shelf.sgn")));
    RunPrint([&](CPrintSignDlg* dialog) {
        auto* destination = Control<QComboBox>(dialog, CPrintSignDlg::IDC_DESTINATION);
        auto* skip = Control<QSpinBox>(dialog, CPrintSignDlg::IDC_SKIP);
        TypeNumber(skip, QStringLiteral("3"));
        destination->setCurrentIndex(CPrintSignDlg::DEST_QUEUE);
        EXPECT_EQ(destination->currentIndex(), CPrintSignDlg::DEST_QUEUE);
        EXPECT_EQ(skip->value(), 0);
        EXPECT_FALSE(skip->isEnabled());
        destination->setCurrentIndex(CPrintSignDlg::DEST_FILE);
        EXPECT_TRUE(skip->isEnabled());
        Click(dialog, IDCANCEL);
    });
}

TEST_F(PrintDialogTest, QueuedSignGoesIntoTheQueueFolder)
{
    const QString queue = home.FilePath(QStringLiteral("queue"));
    QDir().mkpath(queue);
    InstallQueue(queue);
    frame->Document().SetPathName(home.FilePath(QStringLiteral("Shelf.sgn")));
    RunPrint(Answer(CPrintSignDlg::DEST_QUEUE, QStringLiteral("7"), QString()));
    const QString job = QDir(queue).filePath(CPrintQueue::HostName() + QStringLiteral("0001"));
    EXPECT_TRUE(QFile::exists(job + QStringLiteral(".PJD")));
    EXPECT_TRUE(QFile::exists(job + QStringLiteral(".TXT")));
    QFile jobFile(job + QStringLiteral(".PJD"));
    ASSERT_TRUE(jobFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jobFile.readAll().endsWith("\r\n7"));
    EXPECT_TRUE(choices.empty()) << "no file asked for";
}

TEST_F(PrintDialogTest, SignPrintedToAFileFillsTheCellsAfterTheSkippedOnes)
{
    chosenPath = home.FilePath(QStringLiteral("Shelf.pdf"));
    CAnswerDialog<CSheetReuseWarningDlg> warning([](CSheetReuseWarningDlg* dialog) {
        Click(dialog, IDOK); // Yes
    });
    RunPrint(Answer(CPrintSignDlg::DEST_FILE, QStringLiteral("5"), QStringLiteral("2")));
    EXPECT_TRUE(warning.Answered());

    ASSERT_EQ(choices.size(), 1u);
    EXPECT_TRUE(choices[0].save);
    EXPECT_EQ(choices[0].title, QStringLiteral("Print to File"));
    EXPECT_EQ(choices[0].defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(PdfPageCount(chosenPath), 2);
    EXPECT_EQ(PagePatterns(chosenPath), std::vector<std::string>({"001/111", "100/000"}));
}

TEST_F(PrintDialogTest, VirtualPrinterAsksForItsFileAndWritesNothingWhenCancelled)
{
    // Printing to the printer, which is the virtual PDF printer here.
    const QString documents = home.FilePath(QStringLiteral("Output.pdf"));
    chosenPath.clear(); // the user cancels the file box
    RunPrint(Answer(CPrintSignDlg::DEST_PRINTER, QStringLiteral("2"), QStringLiteral("0")));
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].title, QStringLiteral("Print to File"));
    EXPECT_TRUE(choices[0].suggested.endsWith(QStringLiteral("Output.pdf")));
    EXPECT_FALSE(QFile::exists(choices[0].suggested)) << "nothing written when cancelled";

    chosenPath = home.FilePath(QStringLiteral("Printed"));
    RunPrint(Answer(CPrintSignDlg::DEST_PRINTER, QStringLiteral("2"), QStringLiteral("0")));
    EXPECT_EQ(PagePatterns(chosenPath + QStringLiteral(".pdf")),
              std::vector<std::string>({"110/000"}));
    (void)documents;
}

TEST_F(PrintDialogTest, WarningComesWithASkipUntilTheUserTurnsItOff)
{
    chosenPath = home.FilePath(QStringLiteral("Warned.pdf"));
    {
        // A skip of 0 never warns.
        CAnswerDialog<CSheetReuseWarningDlg> warning(
            [](CSheetReuseWarningDlg* dialog) { Click(dialog, IDCANCEL); });
        RunPrint(Answer(CPrintSignDlg::DEST_FILE, QStringLiteral("1"), QStringLiteral("0")));
        EXPECT_FALSE(warning.Answered());
        EXPECT_EQ(choices.size(), 1u);
    }
    {
        // No with "Don't warn me again": nothing printed, and never again.
        CAnswerDialog<CSheetReuseWarningDlg> warning([](CSheetReuseWarningDlg* dialog) {
            EXPECT_FALSE(Control<QCheckBox>(dialog, 1462)->isChecked());
            Tick(Control<QCheckBox>(dialog, 1462));
            EXPECT_TRUE(Control<QCheckBox>(dialog, 1462)->isChecked());
            Click(dialog, IDCANCEL);
        });
        RunPrint(Answer(CPrintSignDlg::DEST_FILE, QStringLiteral("1"), QStringLiteral("4")));
        EXPECT_TRUE(warning.Answered());
        EXPECT_EQ(choices.size(), 1u) << "No stops the print";
        EXPECT_EQ(
            CSignApp::GetProfileInt(QStringLiteral("Settings"), QStringLiteral("SkipDialog"), 1),
            0);
    }
    {
        CAnswerDialog<CSheetReuseWarningDlg> warning(
            [](CSheetReuseWarningDlg* dialog) { Click(dialog, IDCANCEL); });
        RunPrint(Answer(CPrintSignDlg::DEST_FILE, QStringLiteral("1"), QStringLiteral("4")));
        EXPECT_FALSE(warning.Answered());
        EXPECT_EQ(choices.size(), 2u);
        EXPECT_EQ(PagePatterns(chosenPath), std::vector<std::string>({"000/010"}));
    }
}

TEST_F(PrintDialogTest, PrintSetupChangesTheSignsPrinter)
{
    ASSERT_EQ(ThePrinter().GetOrientation(), DMORIENT_PORTRAIT);
    CAnswerDialog<CPrintSetupDlg> setup([](CPrintSetupDlg* dialog) {
        EXPECT_EQ(Control<QComboBox>(dialog, CPrintSetupDlg::IDC_PRINTER)->currentText(),
                  QStringLiteral("Tabrel PDF"));
        EXPECT_GT(Control<QComboBox>(dialog, CPrintSetupDlg::IDC_PAPER_SIZE)->count(), 1);
        EXPECT_GE(Control<QComboBox>(dialog, CPrintSetupDlg::IDC_PAPER_SOURCE)->count(), 1);
        EXPECT_TRUE(Control<QRadioButton>(dialog, CPrintSetupDlg::IDC_PORTRAIT)->isChecked());
        auto* size = Control<QComboBox>(dialog, CPrintSetupDlg::IDC_PAPER_SIZE);
        size->setCurrentIndex(size->findText(QStringLiteral("A5"), Qt::MatchStartsWith));
        Tick(Control<QRadioButton>(dialog, CPrintSetupDlg::IDC_LANDSCAPE));
        Click(dialog, IDOK);
    });
    frame->Action(ID_FILE_PRINT_SETUP)->trigger();
    ASSERT_TRUE(setup.Answered());
    EXPECT_EQ(ThePrinter().GetOrientation(), DMORIENT_LANDSCAPE);
    EXPECT_TRUE(ThePrinter().GetDevMode().FormName().startsWith(QStringLiteral("A5")));
    EXPECT_TRUE(frame->Document().IsModified());

    // Cancel changes nothing.
    CAnswerDialog<CPrintSetupDlg> cancelled([](CPrintSetupDlg* dialog) {
        Tick(Control<QRadioButton>(dialog, CPrintSetupDlg::IDC_PORTRAIT));
        Click(dialog, IDCANCEL);
    });
    frame->Action(ID_FILE_PRINT_SETUP)->trigger();
    EXPECT_EQ(ThePrinter().GetOrientation(), DMORIENT_LANDSCAPE);
}

TEST_F(PrintDialogTest, PropertiesShowTheFileAndEditTitleAuthorAndDescription)
{
    {
        CAnswerDialog<CSignPropertiesDlg> properties([](CSignPropertiesDlg* dialog) {
            EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("fileName"))->text(),
                      QStringLiteral("Untitled"));
            EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("version"))->isHidden());
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("title")), "Shelf");
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("author")), "Ann");
            dialog->findChild<QPlainTextEdit*>(QStringLiteral("description"))
                ->setPlainText(QStringLiteral("Two\nlines"));
            Click(dialog, IDOK);
        });
        frame->Action(ID_SIGN_PROPERTIES)->trigger();
        ASSERT_TRUE(properties.Answered());
    }
    CSignData& sign = frame->Document();
    EXPECT_EQ(sign.m_title, QStringLiteral("Shelf"));
    EXPECT_EQ(sign.m_author, QStringLiteral("Ann"));
    EXPECT_EQ(sign.m_description, QStringLiteral("Two\nlines"));
    EXPECT_TRUE(sign.IsModified());

    // A saved sign shows its file and the version that wrote it; Cancel keeps
    // the fields.
    const QString path = home.FilePath(QStringLiteral("Shelf.sgn"));
    ASSERT_TRUE(sign.OnSaveDocument(path));
    sign.SetPathName(path);
    sign.SetModifiedFlag(false);
    CAnswerDialog<CSignPropertiesDlg> properties([](CSignPropertiesDlg* dialog) {
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("fileName"))->text(),
                  QStringLiteral("Shelf.sgn"));
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("version"))->text(),
                  QStringLiteral("5.14"));
        EXPECT_FALSE(dialog->findChild<QLabel*>(QStringLiteral("version"))->isHidden());
        EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("fileSize"))
                        ->text()
                        .endsWith(QStringLiteral(" bytes")));
        dialog->findChild<QLineEdit*>(QStringLiteral("title"))->setText(QStringLiteral("X"));
        Click(dialog, IDCANCEL);
    });
    frame->Action(ID_SIGN_PROPERTIES)->trigger();
    ASSERT_TRUE(properties.Answered());
    EXPECT_EQ(sign.m_title, QStringLiteral("Shelf"));
    EXPECT_FALSE(sign.IsModified());
}

// The Title a PDF reader shows for the file (pdfinfo).
QString PdfTitle(const QString& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(20000))
        return QStringLiteral("(pdfinfo failed)");
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    for (const QString& line : out.split(u'\n')) {
        if (line.startsWith(QStringLiteral("Title:")))
            return line.mid(6).trimmed();
    }
    return QString();
}

TEST_F(PrintDialogTest, ASavedSignPrintsToAFileBesideItTitledAfterIt)
{
    QDir(home.FilePath(QString())).mkpath(QStringLiteral("signs"));
    const QString folder = home.FilePath(QStringLiteral("signs"));
    const QString path = QDir(folder).filePath(QStringLiteral("apples.sgn"));
    CSignData& sign = frame->Document();
    ASSERT_TRUE(sign.OnSaveDocument(path));
    sign.SetPathName(path);
    sign.SetModifiedFlag(false);

    // Save As starts on the sign itself.
    chosenPath.clear();
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(QFileInfo(choices[0].suggested).absoluteFilePath(), path);

    // Print to File, from the Print dialog and from the virtual printer,
    // proposes its file in the sign's folder; the PDF is titled with the
    // sign's file name until the sign has a title of its own.
    struct Case
    {
        int destination;
        QString title;
        QString expectedTitle;
    };
    const Case cases[] = {
        {CPrintSignDlg::DEST_FILE, QString(), QStringLiteral("apples")},
        {CPrintSignDlg::DEST_PRINTER, QStringLiteral("Fresh Apples"),
         QStringLiteral("Fresh Apples")},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        choices.clear();
        sign.m_title = c.title;
        chosenPath = home.FilePath(QStringLiteral("out%1.pdf").arg(++run));
        CAnswerDialog<CSheetReuseWarningDlg> warning(
            [](CSheetReuseWarningDlg* dialog) { Click(dialog, IDOK); });
        RunPrint(Answer(c.destination, QStringLiteral("1"), QStringLiteral("0")));
        ASSERT_EQ(choices.size(), 1u);
        EXPECT_EQ(QFileInfo(choices[0].suggested).absolutePath(), folder);
        ASSERT_EQ(PdfPageCount(chosenPath), 1);
        EXPECT_EQ(PdfTitle(chosenPath), c.expectedTitle);
    }
}

TEST_F(PrintDialogTest, TheStockListSortsTheNumbersInNamesByValue)
{
    // Stocks stored in a muddled order, names differing in a number.
    for (const char* name : {"Grid 14 x 1", "Grid 2 x 1", "grid 21 x 1", "Grid 8 x 1",
                             "Grid 02 x 2", "Grid 2 x 10", "Grid 2 x 9"}) {
        CPaperStock stock = GridStock(1, 1);
        stock.name = QString::fromLatin1(name);
        ASSERT_TRUE(ThePaper().SetStock(stock));
    }
    QStringList shown;
    CAnswerDialog<CPaperStockDlg> choose([&shown](CPaperStockDlg* dialog) {
        Control<QComboBox>(dialog, 1498)->setCurrentText(QStringLiteral("Test"));
        auto* list = Control<QListWidget>(dialog, 1136);
        for (int row = 0; row < list->count(); ++row)
            shown << list->item(row)->text();
        // The stock in use is still the one selected.
        EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Grid 3 x 2"));
        dialog->reject();
    });
    frame->UpdateActionsNow();
    frame->Action(ID_PAPER_SELECT)->trigger();
    ASSERT_TRUE(choose.Answered());
    EXPECT_EQ(shown, QStringList({"Grid 2 x 1", "Grid 02 x 2", "Grid 2 x 9", "Grid 2 x 10",
                                  "Grid 3 x 2", "Grid 8 x 1", "Grid 14 x 1", "grid 21 x 1"}));
}

TEST_F(PrintDialogTest, HeaderAndFooterCommandOpensItsDialog)
{
    CAnswerDialog<CHeaderFooterDlg> labels([](CHeaderFooterDlg* dialog) {
        Tick(Control<QCheckBox>(dialog, CHeaderFooterDlg::IDC_PRINT_HEADER));
        QTest::keyClicks(Control<QLineEdit>(dialog, CHeaderFooterDlg::IDC_FORMAT_HEADER),
                         "Page $p::");
        Click(dialog, IDOK);
    });
    frame->Action(ID_HEADER_FOOTER)->trigger();
    ASSERT_TRUE(labels.Answered());
    EXPECT_TRUE(frame->Document().IsModified());
}

} // namespace
