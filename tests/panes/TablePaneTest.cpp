// Tables in the designer as it starts: the table tool and Insert command,
// the table pane's edits (each undoable; a refused size or format says why
// and changes nothing), a double click that shows a cell's own pane, and a
// label with a photo and a table of text, price and barcode printed,
// saved and reopened unchanged.
#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeStyle.h"
#include "Commands.h"
#include "DataSourceMap.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "Grid.h"
#include "Image.h"
#include "ImageSelect.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PriceField.h"
#include "PrintSignDlg.h"
#include "PrintToPdf.h"
#include "SignApp.h"
#include "SignData.h"
#include "Table.h"
#include "TableView.h"
#include "TestSupport.h"
#include "Text.h"
#include "UndoHistory.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

// The decoder gives its text as UTF-8.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <set>

namespace {

// Three rows: a text, a price and a row kept for a barcode.
const char* const kShelfFormat = "<table>\n"
                                 "\t<tr height=\"30%\">\n"
                                 "\t\t<td type=\"3\" padding-horz=\"5%\"></td>\n"
                                 "\t</tr>\n"
                                 "\t<tr height=\"30%\">\n"
                                 "\t\t<td type=\"4\" padding-horz=\"5%\"></td>\n"
                                 "\t</tr>\n"
                                 "\t<tr>\n"
                                 "\t\t<td type=\"6\"></td>\n"
                                 "\t</tr>\n"
                                 "</table>";

QImage Photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, y < height / 4 ? qRgb(200, 0, 0) : qRgb(10, 20, 90 + x % 40));
    return image;
}

// A cell's print counts as ink a little lighter than the other tests do.
constexpr int kInk = 160;

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every cell element stands in the list once, in exactly one cell of a
// table that is listed too.
void ExpectCellsAccountedFor()
{
    const CElementList& list = TheElementList();
    for (CElement* element : list) {
        EXPECT_EQ(std::count(list.begin(), list.end(), element), 1);
        if (!element->m_ownedByTable)
            continue;
        auto* owner = dynamic_cast<CTable*>(element->m_ownerTable);
        ASSERT_NE(owner, nullptr);
        EXPECT_TRUE(list.Contains(owner));
        int holders = 0;
        for (const STableRow& row : owner->m_rows)
            for (const STableCell& cell : row.cells)
                holders += cell.element == element;
        EXPECT_EQ(holders, 1);
    }
}

CTable* FreeTable()
{
    for (CElement* element : TheElementList()) {
        if (element->GetTypeCode() == TYPE_TABLE && !element->m_ownedByTable)
            return static_cast<CTable*>(element);
    }
    return nullptr;
}

class TablePaneTest : public CDesignerCanvasTest
{
protected:
    ~TablePaneTest() override
    {
        CImageSelect::s_choose = nullptr;
        FrameHooks().chooseFile = nullptr;
    }

    void DoubleClick(int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QTest::mouseDClick(Surface(), Qt::LeftButton, keys, Dp(x, y));
    }
    // A table drawn with the tool from corner to corner; the selection.
    CTable* DrawTable(const CRect& r)
    {
        Command(ID_TOOL_TABLE);
        Drag(r.left, r.top, r.right, r.bottom);
        return dynamic_cast<CTable*>(view->Selection().Primary());
    }
    // The format typed into the pane, as the user would; Apply not pressed.
    void TypeFormat(const QString& text)
    {
        auto* field = Find<QPlainTextEdit>(1162);
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(field, Qt::Key_Return);
            QTest::keyClicks(field, lines[i]);
        }
    }
    void Apply() { Find<QPushButton>(1191)->click(); }
    // The table in the list now (Undo swaps in copies).
    CTable* Table() const { return FreeTable(); }
};

TEST_F(TablePaneTest, TheToolDrawsATableOfOneCellThatItsPaneShows)
{
    ASSERT_NE(view, nullptr);
    // Offered on the Insert menu.
    QAction* tool = frame->Action(ID_TOOL_TABLE);
    bool onInsertMenu = false;
    for (QAction* menu : frame->menuBar()->actions()) {
        if (menu->text() == "&Insert" && menu->menu())
            onInsertMenu = menu->menu()->actions().contains(tool);
    }
    EXPECT_TRUE(onInsertMenu);

    Command(ID_TOOL_TABLE);
    EXPECT_EQ(view->Mode(), MODE_TABLE);
    frame->UpdateActionsNow();
    EXPECT_TRUE(tool->isChecked());
    // Escape puts the tool down; a click without a drag makes nothing.
    QTest::keyClick(Surface(), Qt::Key_Escape);
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    Command(ID_TOOL_TABLE);
    Click(300, 300);
    EXPECT_EQ(TheElementList().GetCount(), 0);

    CTable* table = DrawTable(CRect(100, 120, 600, 420));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->m_tableRect, CRect(100, 120, 600, 420));
    EXPECT_EQ(table->m_formatText, CTableFormat::DefaultText());
    ASSERT_EQ(table->m_rows.size(), 1u);
    ASSERT_EQ(table->m_rows[0].cells.size(), 1u);
    EXPECT_EQ(table->m_rows[0].cells[0].cellRect, CRect(100, 120, 600, 420));
    EXPECT_EQ(TheElementList().GetCount(), 1);
    EXPECT_TRUE(frame->Document().IsModified());

    auto* pane = qobject_cast<CTableView*>(frame->PropertyPane());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->objectName(), "id388");
    const struct
    {
        int id;
        const char* shown;
    } fields[] = {{1002, "10.0"}, {1005, "12.0"}, {1008, "50.0"}, {1007, "30.0"}};
    for (const auto& f : fields)
        EXPECT_EQ(Find<QLineEdit>(f.id)->text(), f.shown) << f.id;
    EXPECT_EQ(Find<QPlainTextEdit>(1162)->toPlainText(), CTableFormat::DefaultText());
    EXPECT_FALSE(Find<QPushButton>(1191)->isEnabled());
    // No name, print options or data source on a table's pane.
    EXPECT_EQ(Find<QLineEdit>(1050), nullptr);
    EXPECT_EQ(Find<QComboBox>(1000), nullptr);

    Command(ID_EDIT_UNDO);
    EXPECT_EQ(TheElementList().GetCount(), 0);

    // The corner drawn snaps to the grid while snapping is on.
    TheGrid().SetInterval(50, 50);
    TheGrid().SetSnapToGrid(true);
    table = DrawTable(CRect(100, 100, 583, 417));
    TheGrid().SetSnapToGrid(false);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->m_tableRect, CRect(100, 100, 600, 400));
}

TEST_F(TablePaneTest, PlaceAndSizeFollowThePaneAndUndoOneEditAtATime)
{
    ASSERT_NE(view, nullptr);
    CTable* table = DrawTable(CRect(100, 100, 500, 400));
    ASSERT_NE(table, nullptr);
    Type(1002, "20");
    EXPECT_EQ(table->m_tableRect, CRect(200, 100, 600, 400));
    // The cell goes with its table.
    EXPECT_EQ(table->m_rows[0].cells[0].cellRect, CRect(200, 100, 600, 400));
    Type(1008, "25.5");
    EXPECT_EQ(table->m_tableRect, CRect(200, 100, 455, 400));
    Type(1007, "10");
    EXPECT_EQ(table->m_tableRect, CRect(200, 100, 455, 200));

    // Below the least size: refused with the range, the table as it was.
    messages.Clear();
    Type(1008, "0.05");
    ASSERT_GE(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), QString("Please enter a number between %1 and %2.")
                                       .arg(QLocale().toString(0.1), QLocale().toString(1500)));
    EXPECT_EQ(table->m_tableRect, CRect(200, 100, 455, 200));

    // Undo takes back the height, then the width, then the place.
    const CRect steps[] = {CRect(200, 100, 455, 400), CRect(200, 100, 600, 400),
                           CRect(100, 100, 500, 400)};
    for (const CRect& r : steps) {
        Command(ID_EDIT_UNDO);
        ASSERT_NE(Table(), nullptr);
        EXPECT_EQ(Table()->m_tableRect, r);
        EXPECT_EQ(Table()->m_rows[0].cells[0].cellRect, r);
    }
    ExpectCellsAccountedFor();

    // In inches: 2 by 1 is 508 by 254 tenths; the least size is 0.01 inch.
    context.general.displayUnits = 1;
    table = Table();
    ASSERT_TRUE(frame->SwitchElementView(nullptr));
    ASSERT_TRUE(frame->SwitchElementView(table));
    EXPECT_EQ(Find<QLabel>(1019)->text(), "inches");
    EXPECT_EQ(Find<QLabel>(1022)->text(), "inches");
    Type(1008, "2");
    Type(1007, "1");
    EXPECT_EQ(table->m_tableRect.Width(), 508);
    EXPECT_EQ(table->m_tableRect.Height(), 254);
    messages.Clear();
    Type(1007, "0.005");
    EXPECT_EQ(messages.LastText(), QString("Please enter a number between %1 and %2.")
                                       .arg(QLocale().toString(0.01), QLocale().toString(60)));
    EXPECT_EQ(table->m_tableRect.Height(), 254);
}

TEST_F(TablePaneTest, ApplyTakesAValidFormatAndKeepsTheCellsItLeavesAlone)
{
    ASSERT_NE(view, nullptr);
    CTable* table = DrawTable(CRect(100, 100, 700, 500));
    ASSERT_NE(table, nullptr);
    auto* apply = Find<QPushButton>(1191);

    // Typing alone changes nothing but turns Apply on.
    TypeFormat(QString::fromUtf8(kShelfFormat));
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_EQ(table->m_rows.size(), 1u);
    EXPECT_EQ(table->m_formatText, CTableFormat::DefaultText());

    Apply();
    EXPECT_FALSE(apply->isEnabled());
    ASSERT_EQ(table->m_rows.size(), 3u);
    EXPECT_EQ(table->m_formatText, QString::fromUtf8(kShelfFormat));
    auto* text = dynamic_cast<CText*>(table->m_rows[0].cells[0].element);
    ASSERT_NE(text, nullptr);
    EXPECT_NE(dynamic_cast<CPriceField*>(table->m_rows[1].cells[0].element), nullptr);
    EXPECT_EQ(table->m_rows[2].cells[0].element, nullptr);
    EXPECT_EQ(TheElementList().GetCount(), 3);
    text->SetSampleData(nullptr, QStringLiteral("Basil"));

    // New heights and a new type for the last row only: the text cell keeps
    // its element and what it holds; the last row gets a box.
    QString resized = QString::fromUtf8(kShelfFormat);
    resized.replace("height=\"30%\"", "height=\"20%\"");
    resized.replace("type=\"6\"", "type=\"1\"");
    TypeFormat(resized);
    Apply();
    ASSERT_EQ(table->m_rows.size(), 3u);
    EXPECT_EQ(table->m_rows[0].cells[0].element, text);
    EXPECT_EQ(text->GetSampleData(), "Basil");
    EXPECT_EQ(table->m_rows[0].computedHeight, 80);
    EXPECT_EQ(table->m_rows[2].cells[0].element->GetTypeCode(), TYPE_BOX);
    ExpectCellsAccountedFor();

    // A format that does not parse: message 63208, saying what is wrong and
    // where; nothing changes, the typed text stays and Apply stays on.
    struct Refused
    {
        QString format;
        QString detail;
    };
    const Refused refused[] = {
        {QStringLiteral("<table border=1>\n  <tr>\n    <td>A</td>\n  </tr>\n</table>"),
         QStringLiteral("Line 1, column 1: \"<table>\" expected, found \"<table border=1>\".")},
        {QStringLiteral("<table>\n  <tr>\n    <td>A</td>\n  </tr>\n</table>"),
         QStringLiteral("Line 3, column 8: A cell holds nothing and closes at once, \"<td></td>\" "
                        "expected, found \">A</td>\".")},
        {QStringLiteral("<table>\n<tr height=\"0%\">\n<td></td></tr></table>"),
         QStringLiteral("Line 2, column 5: A row's height needs a per cent above 0 in quotes, such "
                        "as \"40%\", found \"height=\"0%\">\".")},
        {QStringLiteral("<table>\n<tr><td></td></tr>\n<td></td></table>"),
         QStringLiteral("Line 3, column 1: \"<tr>\" or \"</table>\" expected, found \"<td>\".")},
        {QStringLiteral("<table><tr><td width=\"60%\"></td><td width=\"50%\"></td></tr>"
                        "</table>"),
         QStringLiteral("The cell widths of row 1 add up to more than 100%.")},
        {QStringLiteral("<table><tr>"), QStringLiteral("\"<td>\" or \"</tr>\" expected at the end "
                                                       "of the text.")},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.format.toStdString());
        messages.Clear();
        TypeFormat(r.format);
        Apply();
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_EQ(messages.LastText(), "Error in table format specification.\n\n" + r.detail);
        EXPECT_EQ(messages.Messages()[0].style & 0xF0u, unsigned(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(table->m_formatText, resized);
    EXPECT_EQ(table->m_rows[0].cells[0].element, text);
    EXPECT_TRUE(Find<QPlainTextEdit>(1162)->toPlainText().contains("<table><tr>"));
    EXPECT_TRUE(apply->isEnabled());

    // Undo brings back each applied format with its cells.
    Command(ID_EDIT_UNDO);
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Table()->m_formatText, QString::fromUtf8(kShelfFormat));
    EXPECT_EQ(Table()->m_rows[2].cells[0].element, nullptr);
    EXPECT_EQ(Table()->m_rows[0].cells[0].element->GetSampleData(), "Basil");
    ExpectCellsAccountedFor();
    Command(ID_EDIT_UNDO);
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Table()->m_formatText, CTableFormat::DefaultText());
    EXPECT_EQ(TheElementList().GetCount(), 1);
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Table()->m_rows.size(), 3u);
    EXPECT_EQ(TheElementList().GetCount(), 3);
    ExpectCellsAccountedFor();
}

TEST_F(TablePaneTest, DoubleClickShowsTheCellsPaneWhoseEditsUndoInTheirCell)
{
    ASSERT_NE(view, nullptr);
    CTable* table = DrawTable(CRect(100, 100, 700, 400));
    ASSERT_NE(table, nullptr);
    TypeFormat(QStringLiteral("<table><tr><td type=\"3\"></td><td type=\"9\"></td></tr></table>"));
    Apply();
    ASSERT_EQ(table->m_rows[0].cells.size(), 2u);
    auto* nested = dynamic_cast<CTable*>(table->m_rows[0].cells[1].element);
    ASSERT_NE(nested, nullptr);
    ASSERT_TRUE(nested->SetFormat(QStringLiteral(
        "<table><tr><td type=\"3\"></td></tr><tr><td type=\"2\"></td></tr></table>")));
    nested->Layout(nullptr);

    // The text cell: its own pane, the cell framed in red.
    DoubleClick(200, 250);
    CElement* cell = table->m_rows[0].cells[0].element;
    ASSERT_STREQ(frame->PropertyPane()->metaObject()->className(), "CTextView");
    EXPECT_EQ(frame->ShownElement(), cell);
    EXPECT_TRUE(table->m_rows[0].cells[0].highlighted);

    // Its edits reach the cell; Undo puts the earlier cell back in its
    // place in the table.
    auto* field = Find<QPlainTextEdit>(1049);
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, "Thyme");
    EXPECT_EQ(cell->GetSampleData(), "Thyme");
    Command(ID_EDIT_UNDO);
    ASSERT_EQ(FreeTable(), table);
    CElement* restored = table->m_rows[0].cells[0].element;
    ASSERT_NE(restored, nullptr);
    EXPECT_NE(restored, cell);
    EXPECT_EQ(restored->GetSampleData(), "Sample Text");
    EXPECT_EQ(restored->m_ownerTable, table);
    ExpectCellsAccountedFor();
    Command(ID_EDIT_REDO);
    EXPECT_EQ(table->m_rows[0].cells[0].element->GetSampleData(), "Thyme");
    ExpectCellsAccountedFor();

    // Moved in its own pane, a cell stays where its table puts it.
    Click(110, 110);
    DoubleClick(200, 250);
    ASSERT_STREQ(frame->PropertyPane()->metaObject()->className(), "CTextView");
    Type(1002, "50");
    auto* moved = dynamic_cast<CText*>(table->m_rows[0].cells[0].element);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->m_position, table->m_rows[0].cells[0].innerRect.TopLeft());

    // Over the nested table: its own pane; with Ctrl, its cell's. Clicked
    // (and so moved by nothing), the table keeps its nested table in place.
    Click(600, 250);
    EXPECT_EQ(nested->m_tableRect, CRect(400, 100, 700, 400));
    EXPECT_EQ(nested->m_rows[1].cells[0].cellRect, CRect(400, 250, 700, 400));
    ASSERT_EQ(view->Selection().Primary(), table);
    DoubleClick(600, 350);
    EXPECT_EQ(frame->ShownElement(), nested);
    EXPECT_NE(qobject_cast<CTableView*>(frame->PropertyPane()), nullptr);
    EXPECT_FALSE(table->m_rows[0].cells[0].highlighted) << "the former cell lost its mark";
    Click(600, 250);
    DoubleClick(600, 350, Qt::ControlModifier);
    EXPECT_EQ(frame->ShownElement(), nested->m_rows[1].cells[0].element);
    EXPECT_STREQ(frame->PropertyPane()->metaObject()->className(), "CBoxView");
    // Outside the table a double click shows no cell.
    Click(800, 500);
    DoubleClick(800, 500);
    EXPECT_EQ(frame->ShownElement(), nullptr);
}

// A duplicated or pasted table's cells take names of their own, so a
// linked cell of the first table keeps its place in the data paths.
TEST_F(TablePaneTest, CopiedTablesCellsTakeNamesOfTheirOwn)
{
    ASSERT_NE(view, nullptr);
    CTable* table = DrawTable(CRect(100, 100, 500, 300));
    ASSERT_NE(table, nullptr);
    TypeFormat(QStringLiteral("<table><tr><td type=\"3\"></td><td type=\"1\"></td></tr></table>"));
    Apply();
    CElement* cell = table->m_rows[0].cells[0].element;
    ASSERT_NE(cell, nullptr);
    cell->m_dataSource = SOURCE_KEYBOARD;
    ASSERT_TRUE(TheDataSourceMap().Rebuild());
    ASSERT_NE(TheDataSourceMap().FindNode(cell), nullptr);

    for (int id : {ID_EDIT_DUPLICATE, ID_EDIT_PASTE}) {
        SCOPED_TRACE(id);
        Click(110, 110);
        ASSERT_EQ(view->Selection().Primary(), table);
        if (id == ID_EDIT_PASTE)
            Command(ID_EDIT_COPY);
        const int before = TheElementList().GetCount();
        Command(id);
        ASSERT_EQ(TheElementList().GetCount(), before + 3);
        std::set<QString> names;
        for (CElement* element : TheElementList())
            names.insert(element->m_name.toUpper());
        EXPECT_EQ(int(names.size()), TheElementList().GetCount());
        const CDataSourceNode* node = TheDataSourceMap().FindNode(cell);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->owner, cell);
        ExpectCellsAccountedFor();
    }
}

// A label with a photo and a table of three rows (a text, a price and a
// barcode in the last row) made as a user makes it, printed to PDF and read
// back, saved, reopened and saved again byte for byte the same.
TEST_F(TablePaneTest, APhotoAndATableOfTextPriceAndBarcodeArePrintedAndReopenedUnchanged)
{
    ASSERT_NE(view, nullptr);
    ASSERT_GE(ThePaper().GetSignWidth(), 1200);
    ASSERT_GE(ThePaper().GetSignHeight(), 700);

    // The photo.
    const QString photo = home.FilePath("photo.png");
    ASSERT_TRUE(Photo(600, 400).save(photo));
    CImageSelect::s_choose = [photo](QWidget*, bool) { return photo; };
    Command(ID_TOOL_PICTURE);
    Click(50, 50);
    auto* picture = dynamic_cast<CImage*>(view->Selection().Primary());
    ASSERT_NE(picture, nullptr);
    const CRect photoRect = picture->m_pictureRect;

    // The table with its format typed into its pane.
    const CRect tableRect(400, 50, 1150, 650);
    CTable* table = DrawTable(tableRect);
    ASSERT_NE(table, nullptr);
    TypeFormat(QString::fromUtf8(kShelfFormat));
    Apply();
    ASSERT_EQ(table->m_rows.size(), 3u);

    // The text and price cells filled in their own panes.
    const CRect textCell = table->m_rows[0].cells[0].cellRect;
    const CRect priceCell = table->m_rows[1].cells[0].cellRect;
    const CRect barcodeCell = table->m_rows[2].cells[0].cellRect;
    DoubleClick(textCell.CenterPoint().x, textCell.CenterPoint().y);
    auto* textField = Find<QPlainTextEdit>(1049);
    ASSERT_NE(textField, nullptr);
    textField->setFocus();
    textField->selectAll();
    QTest::keyClick(textField, Qt::Key_Delete);
    QTest::keyClicks(textField, "BASIL");
    Click(tableRect.left + 5, tableRect.top + 5);
    DoubleClick(priceCell.CenterPoint().x, priceCell.CenterPoint().y);
    ASSERT_STREQ(frame->PropertyPane()->metaObject()->className(), "CPriceView");
    Type(1051, "2");
    Type(1052, "49");
    auto* price = dynamic_cast<CPriceField*>(table->m_rows[1].cells[0].element);
    ASSERT_NE(price, nullptr);
    EXPECT_EQ(price->m_units, "2");

    // The barcode placed in the table's last row.
    CBarcodePreferences::Current().type = SYM_CODE39;
    Command(ID_TOOL_BARCODE);
    Click(barcodeCell.left + 30, barcodeCell.top + 30);
    auto* barcode = dynamic_cast<CBarcode*>(view->Selection().Primary());
    ASSERT_NE(barcode, nullptr);
    const QString data = barcode->m_data;
    ASSERT_FALSE(data.isEmpty());
    CRect symbol = barcode->m_bounds;
    symbol.NormalizeRect();
    EXPECT_TRUE(barcodeCell.PtInRect(symbol.TopLeft()));
    EXPECT_TRUE(barcodeCell.PtInRect(symbol.BottomRight()));
    ASSERT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    // Saved, printed and read back.
    QString chosen = home.FilePath("shelf.sgn");
    FrameHooks().chooseFile = [&chosen](QWidget*, const CFileChoice&) { return chosen; };
    Command(ID_FILE_SAVE_AS);
    const QByteArray saved = Bytes(chosen);
    ASSERT_FALSE(saved.isEmpty());

    const int dpi = 300;
    QImage page;
    ASSERT_NO_FATAL_FAILURE(PrintSignToPdf(frame, home.FilePath("shelf.pdf"), dpi, page));
    const CPoint origin = FirstLabelOrigin();
    const auto onPage = [origin](CRect r) {
        r.OffsetRect(origin.x, origin.y);
        return r;
    };
    EXPECT_GT(PageInk(page, onPage(photoRect), dpi, kInk), 1000) << "photo";
    EXPECT_GT(PageInk(page, onPage(textCell), dpi, kInk), 100) << "text cell";
    EXPECT_GT(PageInk(page, onPage(priceCell), dpi, kInk), 100) << "price cell";
    EXPECT_GT(PageInk(page, onPage(barcodeCell), dpi, kInk), 1000) << "barcode row";
    // The design outline of the table is not printed: beside the cells'
    // contents, under the table's right edge, the paper is clean.
    EXPECT_EQ(PageInk(page,
                      onPage(CRect(tableRect.right - 3, barcodeCell.top + 5, tableRect.right + 3,
                                   barcodeCell.bottom - 5)),
                      dpi, kInk),
              0);
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView image(grey.constBits(), grey.width(), grey.height(),
                                 ZXing::ImageFormat::Lum, int(grey.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39);
    const ZXing::Result result = ZXing::ReadBarcode(image, hints);
    ASSERT_TRUE(result.isValid());
    EXPECT_TRUE(QString::fromStdString(result.text()).startsWith(data));

    // Reopened: the same elements; saved again, the same bytes.
    Command(ID_FILE_NEW);
    EXPECT_EQ(TheElementList().GetCount(), 0);
    chosen = home.FilePath("shelf.sgn");
    Command(ID_FILE_OPEN);
    ASSERT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    CTable* reopened = FreeTable();
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->m_tableRect, tableRect);
    ASSERT_EQ(reopened->m_rows.size(), 3u);
    EXPECT_EQ(reopened->m_rows[0].cells[0].element->GetSampleData(), "BASIL");
    ExpectCellsAccountedFor();
    chosen = home.FilePath("shelf-again.sgn");
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(Bytes(chosen), saved);
}

} // namespace
