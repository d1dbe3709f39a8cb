// The data-entry pane of print time, through the designer's real main
// frame: a row for every typed value in data-entry order, values typed into
// every kind of row reaching the sign, values refused by the elements' data
// rules with their messages, and Print All over a price list of fifty
// records printed to a PDF that is read back label by label.
#include "AppContext.h"
#include "DataCtrl.h"
#include "DataSourceMap.h"
#include "DataView.h"
#include "DatabaseLink.h"
#include "DateTime.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "EditTextDlg.h"
#include "ElementList.h"
#include "Image.h"
#include "ImageSelect.h"
#include "IncNumber.h"
#include "LabelStock.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "OptionList.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PriceCalculation.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "Printer.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbol.h"
#include "TestSupport.h"
#include "Text.h"
#include "VariableList.h"
#include "ui/ProgressDlg.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <class W> W* Control(QWidget* parent, int id)
{
    return parent ? parent->findChild<W*>(QStringLiteral("id%1").arg(id)) : nullptr;
}

class DataEntryPaneTest : public CDesignerFixture
{
protected:
    DataEntryPaneTest() { WriteLabelStockLibrary(home); }
    ~DataEntryPaneTest() override
    {
        FrameHooks().chooseFile = nullptr;
        CImageSelect::s_choose = nullptr;
    }

    bool Start()
    {
        if (!StartDesigner(QSize(1200, 860)))
            return false;
        // The user's window is the active one: the rows take the focus.
        frame->activateWindow();
        if (!QTest::qWaitForWindowActive(frame))
            return false;
        ThePaper().SelectStock(QStringLiteral("Labels 3x8"));
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice&) { return pdf; };
        return true;
    }

    CText* Text(const QString& name, int kind, const QString& source, int y, int index = 0)
    {
        auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
        text->BeginCreate(nullptr, 20, y);
        text->m_name = name;
        text->m_prompt = name + QStringLiteral(":");
        text->m_maxLines = 1;
        text->m_dataEntryIndex = index;
        text->m_useSampleData = 0;
        text->SetDataSource(kind, source);
        return text;
    }
    template <class V> V* Variable(const QString& name, int index)
    {
        auto* variable = new V;
        variable->m_name = name;
        variable->m_dataEntryIndex = index;
        TheVariableList().AddVariable(variable);
        return variable;
    }

    // Print from the frame: the print station and its data-entry pane.
    CDataView* OpenStation()
    {
        frame->UpdateActionsNow();
        EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT));
        CPrintCommands* commands = CPrintCommands::Of(frame);
        if (!commands || !commands->IsStationOpen())
            return nullptr;
        auto* view = commands->DataView();
        EXPECT_EQ(frame->DataView(), view);
        return view;
    }
    CPrintBatchDlg* Batch() const { return CPrintCommands::Of(frame)->BatchDialog(); }
    // The print bar prints to the file pdf from now on.
    void PrintToFile()
    {
        auto* destination = Control<QComboBox>(Batch(), CPrintBatchDlg::IDC_DESTINATION);
        ASSERT_NE(destination, nullptr);
        destination->setCurrentIndex(1);
        ASSERT_EQ(Batch()->Destination(), 1);
    }
    void PressPrint(int count = 1)
    {
        auto* batch = Control<QSpinBox>(Batch(), CPrintBatchDlg::IDC_BATCH);
        ASSERT_NE(batch, nullptr);
        batch->setValue(count);
        Control<QPushButton>(Batch(), CPrintBatchDlg::IDC_PRINT)->click();
    }
    // Return: ejects a partly printed sheet, then leaves the station.
    void Leave()
    {
        auto* back = Control<QPushButton>(Batch(), CPrintBatchDlg::IDC_RETURN);
        back->click();
        if (CPrintCommands::Of(frame)->IsStationOpen())
            back->click();
        EXPECT_FALSE(CPrintCommands::Of(frame)->IsStationOpen());
    }

    static void Type(QWidget* edit, const QString& text)
    {
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(edit))
            line->selectAll();
        QTest::keyClicks(edit, text);
    }

    QString pdf = home.FilePath("labels.pdf");
};

// Every kind of row in data-entry order, and a value typed or chosen in
// each reaching the element or variable it feeds and what that feeds.
TEST_F(DataEntryPaneTest, EveryKindOfPromptTakesItsValue)
{
    ASSERT_TRUE(Start());
    // An option list listed first with the index of the first element: the
    // element rows come before the variable rows, and the sort keeps it so.
    auto* size = Variable<COptionList>("Size", 2);
    size->m_prompt = "Size?";
    size->m_options = QStringList{"Small", "Large"};
    Variable<COptionList>("Unused", 0)->m_options = QStringList{"x"};
    auto* count = Variable<CIncNumber>("Count", 7);
    count->m_startSource = SOURCE_KEYBOARD;
    count->m_startName = "start";
    count->m_startPrompt = "Start at";
    count->m_limitSource = SOURCE_KEYBOARD;
    count->m_limitName = "limit";
    count->m_limitPrompt = "Stop at";
    auto* sale = Variable<CPriceCalculation>("Sale", 8);
    sale->m_type = CPriceCalculation::CALC_DISCOUNTED_PRICE;
    sale->m_inputs[0].sourceKind = SOURCE_KEYBOARD;
    sale->m_inputs[0].sourceName = "source0";
    sale->m_inputs[0].prompt = "Price";
    sale->m_inputs[1].data = "20";
    auto* when = Variable<CDateTime>("When", 9);
    when->m_format = "%Y-%m-%d";
    when->m_allowAdditional = TRUE;
    when->m_additionalSource = CDateTime::ADDITIONAL_KEYBOARD;
    when->m_prompt = "Days ahead";

    CText* second = Text("Second", SOURCE_KEYBOARD, QString(), 20, 5);
    CText* first = Text("First", SOURCE_KEYBOARD, QString(), 60, 2);
    CText* sizeText = Text("SizeText", SOURCE_OPTION_LIST, "Size", 100);
    CText* countText = Text("CountText", SOURCE_INCREMENTING, "Count", 140);
    CText* saleText = Text("SaleText", SOURCE_PRICE_CALC, "Sale", 180);
    Text("WhenText", SOURCE_DATE_TIME, "When", 220);
    auto* mark = static_cast<CSymbol*>(TheElementList().CreateElement("CSymbol"));
    mark->BeginCreate(nullptr, 400, 20);
    mark->m_name = "Mark";
    mark->m_prompt = "Mark";
    mark->m_dataEntryIndex = 10;
    mark->SetDataSource(SOURCE_KEYBOARD, QString());
    auto* photo = static_cast<CImage*>(TheElementList().CreateElement("CImage"));
    photo->m_name = "Photo";
    photo->m_prompt = "Photo";
    photo->m_dataEntryIndex = 11;
    photo->SetDataSource(SOURCE_KEYBOARD, QString());
    CText* notes = Text("Notes", SOURCE_KEYBOARD, QString(), 260, 12);
    notes->m_maxLines = -1;
    notes->m_prompt = "Notes\nfor the label";

    CDataView* view = OpenStation();
    ASSERT_NE(view, nullptr);
    CDataCtrl* panel = view->Panel();
    const QStringList prompts{
        "First:", "Size?",      "Second:", "Start at", "Stop at",
        "Price",  "Days ahead", "Mark",    "Photo",    "Notes\nfor the label"};
    ASSERT_EQ(panel->RowCount(), prompts.size());
    for (int i = 0; i < panel->RowCount(); ++i) {
        auto* label = Control<QLabel>(panel, 1000 + i);
        ASSERT_NE(label, nullptr) << i;
        EXPECT_EQ(label->text(), prompts[i]) << i;
    }
    // The two rows of the counter both take its one index.
    EXPECT_EQ(panel->Row(3).owner, count);
    EXPECT_EQ(panel->Row(4).owner, count);
    EXPECT_EQ(panel->Row(3).partName, "start");
    EXPECT_EQ(panel->Row(4).partName, "limit");
    // The controls of each kind: combo boxes for the option list and the
    // symbol, Select and Clear for the picture, a many-line edit with its
    // ">" button for the text of many lines.
    EXPECT_NE(Control<QComboBox>(panel, 5001), nullptr);
    EXPECT_EQ(Control<QLineEdit>(panel, 2001), nullptr);
    EXPECT_NE(Control<QComboBox>(panel, 5007), nullptr);
    EXPECT_NE(Control<QPushButton>(panel, 3008), nullptr);
    EXPECT_NE(Control<QPushButton>(panel, 4008), nullptr);
    EXPECT_FALSE(Control<QLineEdit>(panel, 2008)->isEnabled());
    EXPECT_NE(Control<QPlainTextEdit>(panel, 2009), nullptr);
    EXPECT_NE(Control<QPushButton>(panel, 6009), nullptr);
    // The first row has the focus.
    EXPECT_TRUE(Control<QLineEdit>(panel, 2000)->hasFocus());

    Type(Control<QLineEdit>(panel, 2000), "Hello");
    EXPECT_EQ(first->GetText(), "Hello");
    Type(Control<QLineEdit>(panel, 2002), "World");
    EXPECT_EQ(second->GetText(), "World");
    Control<QComboBox>(panel, 5001)->setCurrentIndex(1);
    EXPECT_EQ(sizeText->GetText(), "Large");
    Type(Control<QLineEdit>(panel, 2003), "5");
    EXPECT_EQ(count->m_startValue, "5");
    EXPECT_EQ(countText->GetText(), "5");
    Type(Control<QLineEdit>(panel, 2004), "9");
    EXPECT_EQ(count->m_limitValue, "9");
    Type(Control<QLineEdit>(panel, 2005), "10.00");
    EXPECT_EQ(sale->m_inputs[0].data, "10.00");
    EXPECT_EQ(sale->GetValue(), "8.00");
    EXPECT_EQ(saleText->GetText(), "8.00");
    Type(Control<QLineEdit>(panel, 2006), "3");
    EXPECT_EQ(when->m_additionalDays, 3);
    auto* symbols = Control<QComboBox>(panel, 5007);
    symbols->setCurrentIndex(symbols->findText("A"));
    EXPECT_EQ(mark->GetText(), "A");
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString path = home.FilePath("photo.png");
    ASSERT_TRUE(picture.save(path));
    CImageSelect::s_choose = [path](QWidget*, bool) { return path; };
    Control<QPushButton>(panel, 3008)->click();
    EXPECT_EQ(photo->GetText(), path);
    EXPECT_EQ(Control<QLineEdit>(panel, 2008)->text(), path);
    Control<QPushButton>(panel, 4008)->click();
    EXPECT_EQ(photo->GetText(), "");
    auto* many = Control<QPlainTextEdit>(panel, 2009);
    many->setFocus();
    QTest::keyClicks(many, "one");
    QTest::keyClick(many, Qt::Key_Return);
    QTest::keyClicks(many, "two");
    EXPECT_EQ(notes->GetText(), "one\ntwo");
    // ">" edits the text in the Edit Text dialog.
    CAnswer<CEditTextDlg> longer([](CEditTextDlg* dlg) {
        EXPECT_EQ(dlg->Field()->toPlainText(), "one\ntwo");
        dlg->Field()->setPlainText("three\nfour");
        dlg->accept();
    });
    Control<QPushButton>(panel, 6009)->click();
    ASSERT_TRUE(longer.Answered());
    EXPECT_EQ(notes->GetText(), "three\nfour");
    EXPECT_EQ(many->toPlainText(), "three\nfour");
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    // The sign prints with what was typed.
    PrintToFile();
    PressPrint();
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    // Restart starts data entry afresh: the rows show the sign's values.
    Control<QPushButton>(Batch(), CPrintBatchDlg::IDC_RESTART)->click();
    EXPECT_EQ(Control<QComboBox>(view->Panel(), 5001)->currentIndex(), 0);
    Leave();
    ASSERT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(CellText(pdf, 1, 0).left(15), "WorldHelloLarge");
    // Back in the design, the elements show their design data again.
    EXPECT_EQ(frame->DataView(), nullptr);
}

// A value that the element's rules refuse stops the print with the rule's
// message; nothing is printed and the counter does not move.
// A turned picture the user selects for each sign is turned again for each
// one printed, too often for a window: however large, it shows no progress
// window, when selected nor when printed.
TEST_F(DataEntryPaneTest, APictureOfThePrintDataShowsNoProgressWindow)
{
    ASSERT_TRUE(Start());
    auto* photo = static_cast<CImage*>(TheElementList().CreateElement("CImage"));
    photo->m_name = "Photo";
    photo->m_prompt = "Photo";
    photo->m_angle = 3000;
    photo->SetDataSource(SOURCE_KEYBOARD, QString());
    QImage picture(1200, 1000, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString path = home.FilePath("large.png");
    ASSERT_TRUE(picture.save(path));
    CImageSelect::s_choose = [path](QWidget*, bool) { return path; };
    CShownWatch<CProgressDlg> watch([](CProgressDlg*) {});

    CDataView* view = OpenStation();
    ASSERT_NE(view, nullptr);
    Control<QPushButton>(view->Panel(), 3000)->click();
    ASSERT_EQ(photo->GetText(), path);
    EXPECT_GT(photo->m_bitmap.Width(), 1200) << "the picture is turned";
    PrintToFile();
    PressPrint(2);
    EXPECT_EQ(ThePrinter().m_labelPosition, 2);
    EXPECT_EQ(watch.Count(), 0);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    Leave();
}

TEST_F(DataEntryPaneTest, RefusedValuesNameTheElementAndPrintNothing)
{
    ASSERT_TRUE(Start());
    CText* code = Text("Code", SOURCE_KEYBOARD, QString(), 20);
    auto* number = Variable<CIncNumber>("Number", 1);
    Text("NumberText", SOURCE_INCREMENTING, "Number", 100);

    struct Case
    {
        BOOL mustEnter;
        int constraint;
        int limit;
        const char* typed;
        const char* message;
    } cases[] = {
        {TRUE, 0, -1, "", "Data must be supplied for Code."},
        {FALSE, 2, 4, "ABCDEF", "Data for Code is too long ( max = 4 )."},
        {FALSE, 3, 4, "AB", "Data for Code is too short ( min = 4 )."},
        {FALSE, 1, 4, "ABC", "Data for Code is too short ( min = 4 )."},
        {FALSE, 1, 4, "ABCDE", "Data for Code is too long ( max = 4 )."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        code->m_mustEnterData = c.mustEnter;
        code->m_lengthConstraint = c.constraint;
        code->m_lengthLimit = c.limit;
        CDataView* view = OpenStation();
        ASSERT_NE(view, nullptr);
        PrintToFile();
        auto* edit = Control<QLineEdit>(view->Panel(), 2000);
        Type(edit, c.typed);
        if (QString(c.typed).isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        const QString before = number->GetValue();
        messages.Clear();
        PressPrint();
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_EQ(messages.LastText(), c.message);
        EXPECT_EQ(ThePrinter().m_labelPosition, 0);
        EXPECT_FALSE(ThePrinter().m_jobOpen);
        EXPECT_EQ(number->GetValue(), before);
        // The row keeps what was typed, for the user to mend.
        EXPECT_EQ(edit->text(), c.typed);
        Leave();
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

// Three signs with a field that must be typed for each: the first prints,
// the field is emptied after it, and the second is refused by name.
TEST_F(DataEntryPaneTest, MustEnterFieldIsAskedForAgainForEverySign)
{
    ASSERT_TRUE(Start());
    CText* code = Text("Code", SOURCE_KEYBOARD, QString(), 20);
    code->m_mustEnterData = TRUE;
    auto* number = Variable<CIncNumber>("Number", 1);
    Text("NumberText", SOURCE_INCREMENTING, "Number", 100);
    CDataView* view = OpenStation();
    ASSERT_NE(view, nullptr);
    PrintToFile();
    auto* edit = Control<QLineEdit>(view->Panel(), 2000);
    Type(edit, "XY-1");
    messages.Clear();
    PressPrint(3);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), "Data must be supplied for Code.");
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(code->GetText(), "");
    // The counter advanced for the one printed sign only.
    EXPECT_EQ(number->GetValue(), "2");
    Leave();
    ASSERT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(CellText(pdf, 1, 0), "XY-11");
    EXPECT_EQ(CellText(pdf, 1, 1), "");
}

// Print All over a price list of fifty records: one label per record; a
// record whose data is refused ends the run, and the user is told which.
class PrintAllTest : public DataEntryPaneTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(PrintAllTest, OneLabelPerRecordUpToARefusedOne)
{
    const int refused = GetParam(); // 0: none
    constexpr int kRecords = 50;
    QByteArray csv = "Name,Price\r\n";
    for (int i = 1; i <= kRecords; ++i)
        csv += (i == refused ? QByteArray() : "Item" + QByteArray::number(i)) + "," +
               QByteArray::number(i) + ".99\r\n";
    const QString data = home.FilePath("prices.csv");
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(csv);
    file.close();

    ASSERT_TRUE(Start());
    CDatabaseLink& link = TheDatabaseLink();
    link.SetDatabaseType(kDatabaseTypeText);
    link.m_textHeader = TRUE;
    ASSERT_TRUE(link.Connect(data, TRUE)) << messages.LastText().toStdString();
    link.m_linkKind = 0;
    ASSERT_TRUE(link.OpenTable("prices#csv")) << messages.LastText().toStdString();
    CText* name = Text("Name", SOURCE_DATABASE, "Name", 20);
    name->m_mustEnterData = TRUE;
    Text("Price", SOURCE_DATABASE, "Price", 120);
    auto* number = Variable<CIncNumber>("Number", 1);
    Text("NumberText", SOURCE_INCREMENTING, "Number", 220);

    CDataView* view = OpenStation();
    ASSERT_NE(view, nullptr);
    // The rows show the first record, read only.
    auto* nameRow = Control<QLineEdit>(view->Panel(), 2000);
    ASSERT_NE(nameRow, nullptr);
    EXPECT_EQ(nameRow->text(), "Item1");
    EXPECT_FALSE(nameRow->isEnabled());
    PrintToFile();
    messages.Clear();
    messages.SetDefaultAnswer(IDYES);
    frame->UpdateActionsNow();
    QAction* printAll = frame->Action(ID_RECORD_PRINT_ALL);
    ASSERT_TRUE(printAll->isEnabled());
    printAll->trigger();
    const int printed = refused ? refused - 1 : kRecords;
    if (refused) {
        ASSERT_EQ(messages.Count(), 3) << messages.LastText().toStdString();
        EXPECT_EQ(messages.Messages()[1].text, "Data must be supplied for Name.");
        EXPECT_TRUE(messages.LastText().startsWith(
            QStringLiteral("Print All stopped at record %1 of 50").arg(refused)))
            << messages.LastText().toStdString();
        // The rows show the refused record; the counter stands at its number.
        EXPECT_EQ(nameRow->text(), "");
        EXPECT_EQ(number->GetValue(), QString::number(refused));
    } else {
        ASSERT_EQ(messages.Count(), 1) << messages.LastText().toStdString();
    }
    EXPECT_EQ(messages.Messages()[0].text, "Print 50 signs ?");
    Leave();

    const int pages = (printed + 23) / 24;
    ASSERT_EQ(PdfPageCount(pdf), pages);
    // Each label is its own record's, with its own number; nothing after
    // the last printed one.
    for (int label : {0, 1, printed - 2, printed - 1, printed}) {
        const int page = label / 24 + 1;
        if (page > pages)
            continue;
        const QString text = CellText(pdf, page, label % 24);
        if (label < printed)
            EXPECT_EQ(text, QStringLiteral("Item%1%1.99%1").arg(label + 1)) << label;
        else
            EXPECT_EQ(text, "") << label;
    }
}

INSTANTIATE_TEST_SUITE_P(Records, PrintAllTest, ::testing::Values(0, 23), [](const auto& info) {
    return info.param ? std::string("RefusedRecord") : std::string("All");
});

} // namespace

namespace {

// Typing delivers each key at once but lays the sign out again only once,
// a second after the last key or when the row loses the focus; Switch
// Docking moves the pane, rows and bars, to the lower row and back.
TEST_F(DataEntryPaneTest, TypingRelaysOutOnceAndThePaneFollowsTheDocking)
{
    ASSERT_TRUE(Start());
    CText* first = Text("First", SOURCE_KEYBOARD, QString(), 20);
    Text("Second", SOURCE_KEYBOARD, QString(), 60);
    CDataView* view = OpenStation();
    ASSERT_NE(view, nullptr);
    CDataCtrl* panel = view->Panel();
    auto* edit = Control<QLineEdit>(panel, 2000);
    Type(edit, "abc");
    EXPECT_EQ(first->GetText(), "abc");
    EXPECT_TRUE(panel->Row(0).pending);
    EXPECT_TRUE(panel->Row(0).timer->isActive());
    EXPECT_EQ(panel->Row(0).timer->interval(), CDataCtrl::kRefreshMs);
    // Tabbing away lays out at once; no timer is left to fire.
    Control<QLineEdit>(panel, 2001)->setFocus();
    EXPECT_FALSE(panel->Row(0).pending);
    EXPECT_FALSE(panel->Row(0).timer->isActive());
    Type(edit, "abcd");
    ASSERT_TRUE(panel->Row(0).pending);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->Row(0).pending; }, 10000));
    EXPECT_EQ(first->GetText(), "abcd");

    // The lower row: the bars stand at the right of the rows.
    const int side = TheSignSettings().dataViewDocking;
    ASSERT_TRUE(frame->ExecuteCommand(ID_SWITCH_DOCKING));
    EXPECT_EQ(frame->DataView(), view);
    EXPECT_EQ(view->Docking(), side == 2 ? 3 : 2);
    QApplication::processEvents();
    // In the lower row the bars stand at the right of the rows, in the
    // right column below them.
    const QPoint bar = Batch()->mapTo(view, QPoint(0, 0));
    const QPoint rows = panel->mapTo(view, QPoint(0, 0));
    if (view->Docking() == 3)
        EXPECT_GT(bar.x(), rows.x());
    else
        EXPECT_GT(bar.y(), rows.y());
    ASSERT_TRUE(frame->ExecuteCommand(ID_SWITCH_DOCKING));
    EXPECT_EQ(view->Docking(), side);
    Leave();
}

} // namespace

namespace {

// The print bar stands where the user last put the data-entry pane: moved
// to the lower row with Switch Docking, it is there again, at the same
// place, the next time the sign is printed, and after the sign has been
// saved, another opened and this one opened again.
TEST_F(DataEntryPaneTest, ThePrintBarComesBackWhereItWasLastPlaced)
{
    ASSERT_TRUE(Start());
    Text("Item", SOURCE_KEYBOARD, QString(), 20);
    const auto barPlace = [this] {
        QApplication::processEvents();
        return QRect(Batch()->mapTo(frame, QPoint(0, 0)), Batch()->size());
    };
    const auto inLowerRow = [this] {
        auto* lowerRow = frame->findChild<QScrollArea*>(QStringLiteral("lowerRow"));
        return lowerRow && lowerRow->widget() == frame->DataView();
    };

    ASSERT_NE(OpenStation(), nullptr);
    const int side = TheSignSettings().dataViewDocking;
    const QRect first = barPlace();
    ASSERT_TRUE(Batch()->isVisible());
    ASSERT_TRUE(frame->ExecuteCommand(ID_SWITCH_DOCKING));
    const int moved = side == 2 ? 3 : 2;
    ASSERT_EQ(TheSignSettings().dataViewDocking, moved);
    const QRect placed = barPlace();
    ASSERT_NE(placed.topLeft(), first.topLeft()) << "Switch Docking moves the bar";
    EXPECT_EQ(placed.size(), first.size()) << "the bar is not squeezed in its new place";
    EXPECT_EQ(inLowerRow(), moved == 3);
    Leave();

    // Printed again: the same place.
    ASSERT_NE(OpenStation(), nullptr);
    ASSERT_TRUE(Batch()->isVisible());
    EXPECT_EQ(inLowerRow(), moved == 3);
    EXPECT_EQ(barPlace(), placed);
    Leave();

    // The place is kept with the sign: saved, another sign, this one again.
    const QString sign = home.FilePath("placed.sgn");
    FrameHooks().chooseFile = [sign](QWidget*, const CFileChoice&) { return sign; };
    frame->UpdateActionsNow();
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_SAVE));
    ASSERT_TRUE(QFile::exists(sign));
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_NEW));
    EXPECT_EQ(TheSignSettings().dataViewDocking, 2) << "a new sign docks at the side";
    ASSERT_TRUE(frame->OpenSign(sign));
    EXPECT_EQ(TheSignSettings().dataViewDocking, moved);
    FrameHooks().chooseFile = [this](QWidget*, const CFileChoice&) { return pdf; };
    ASSERT_NE(OpenStation(), nullptr);
    ASSERT_TRUE(Batch()->isVisible());
    EXPECT_EQ(inLowerRow(), moved == 3);
    EXPECT_EQ(barPlace(), placed);
    Leave();
}

} // namespace

namespace {

// Counts the times a scroll bar of the data-entry rows is shown or painted.
class RowsScrollBarWatch : public QObject
{
public:
    RowsScrollBarWatch() { qApp->installEventFilter(this); }
    ~RowsScrollBarWatch() override { qApp->removeEventFilter(this); }
    int shown = 0;
    int painted = 0;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Show && event->type() != QEvent::Paint)
            return false;
        auto* bar = qobject_cast<QScrollBar*>(object);
        if (!bar || bar->orientation() != Qt::Horizontal)
            return false;
        for (QObject* up = bar->parent(); up; up = up->parent()) {
            if (up->objectName() == QLatin1String("dataEntryScroll")) {
                ++(event->type() == QEvent::Show ? shown : painted);
                break;
            }
        }
        return false;
    }
};

// The pane opens as wide as its rows at the side of the frame: no
// horizontal scroll bar comes up, not even for the first paint. (One came
// up for a moment, since the rows were made while the pane still had the
// width of an empty one.)
TEST_F(DataEntryPaneTest, ThePaneOpensWithoutAFlashOfAScrollBar)
{
    ASSERT_TRUE(Start());
    Text("Item", SOURCE_KEYBOARD, QString(), 20);
    Text("Price", SOURCE_KEYBOARD, QString(), 60, 1);
    TheSignSettings().dataViewDocking = 2;
    frame->Canvas()->update();
    QApplication::processEvents();
    RowsScrollBarWatch watch;
    CDataView* view = OpenStation();
    ASSERT_NE(view, nullptr);
    auto* scroll = view->findChild<QScrollArea*>(QStringLiteral("dataEntryScroll"));
    ASSERT_NE(scroll, nullptr);
    frame->repaint();
    QApplication::processEvents();
    ASSERT_TRUE(view->isVisible());
    EXPECT_GE(scroll->viewport()->width(), view->Panel()->width());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    EXPECT_EQ(watch.shown, 0);
    EXPECT_EQ(watch.painted, 0);
    Leave();
}

} // namespace
