// The panes of the two-dimensional symbols, met as a user meets them: each
// symbol placed with the barcode tool in the designer's real main frame,
// its Format group edited, the symbol made anew and the sign marked
// modified; the printed sign read back by a barcode reader.
#include "AppContext.h"
#include "Barcode.h"
#include "Code128.h"
#include "Commands.h"
#include "DataMatrix.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "EditTextDlg.h"
#include "ElementList.h"
#include "GS1DataBar.h"
#include "GS1DataBarTypeDlg.h"
#include "ListCtrlEx.h"
#include "MainFrame.h"
#include "MatrixSymbolViews.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PickSymbology.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintSignDlg.h"
#include "SelectBarcodeTypeDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbology.h"
#include "TestSupport.h"
#include "UccEanData.h"
#include "UccEanDataDlg.h"
#include "Variable.h"
#include "VariableList.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

// The decoder gives its text as UTF-8.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <functional>

namespace {

void Type(QLineEdit* edit, const QString& text)
{
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Chooses an entry of a list as the user does.
void Choose(QComboBox* combo, const QString& text)
{
    ASSERT_NE(combo, nullptr);
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// Clicks a radio button or check box on its indicator, where a click
// lands whatever the width of its column.
void Click(QAbstractButton* button)
{
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

class MatrixSymbolPaneTest : public CDesignerTest
{
protected:
    MatrixSymbolPaneTest() : CDesignerTest(QSize(1300, 1000), false) {}

    template <class T> T* Draw(int symbology, CPoint at = CPoint(150, 150))
    {
        CAnswer<CSelectBarcodeTypeDlg> type(
            [symbology](CSelectBarcodeTypeDlg* dlg) { PickSymbology(dlg, symbology); });
        frame->UpdateActionsNow();
        // A symbol placed in a kind of its own takes the kind offered first;
        // a GS1 symbol's data made with it holds a GTIN.
        CAnswer<CGS1DataBarTypeDlg> kind([](CGS1DataBarTypeDlg* dlg) { dlg->accept(); });
        CAnswer<CUccEanDataDlg> data([](CUccEanDataDlg* dlg) {
            if (dlg->AddButton()->isEnabled())
                dlg->AddEntry(1);
            dlg->accept();
        });
        frame->Action(ID_TOOL_BARCODE)->trigger();
        EXPECT_TRUE(type.Answered());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(at.x, at.y));
        EXPECT_EQ(view->Mode(), MODE_SELECT);
        return dynamic_cast<T*>(view->Selection().Primary());
    }

    // Runs one edit and checks that it reached the sign: the symbol is made
    // anew (its bitmap changes) and the sign is marked modified.
    void ExpectRedrawn(CBarcode* symbol, const char* what, const std::function<void()>& edit)
    {
        SCOPED_TRACE(what);
        frame->Document().SetModifiedFlag(false);
        const QImage before = symbol->m_bitmap;
        edit();
        EXPECT_TRUE(frame->Document().IsModified());
        EXPECT_FALSE(symbol->IsShowingInvalid());
        EXPECT_NE(symbol->m_bitmap, before) << "the symbol was not made anew";
    }

    // Prints the sign of fixed data through File > Print to a PDF file.
    void PrintSign(const QString& pdf)
    {
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        CAnswer<CPrintSignDlg> print([](CPrintSignDlg* dlg) {
            auto* where = Control<QComboBox>(dlg, CPrintSignDlg::IDC_DESTINATION);
            where->setCurrentIndex(where->findText(QStringLiteral("File")));
            Control<QSpinBox>(dlg, CPrintSignDlg::IDC_COPIES)->setValue(1);
            dlg->accept();
        });
        frame->UpdateActionsNow();
        frame->Action(ID_FILE_PRINT)->trigger();
        FrameHooks().chooseFile = nullptr;
        EXPECT_TRUE(print.Answered());
    }

    // Prints a sign that takes data through File > Print and the print
    // station, to the file the file chooser answers with.
    void PrintThroughStation()
    {
        frame->UpdateActionsNow();
        frame->Action(ID_FILE_PRINT)->trigger();
        CPrintCommands* commands = CPrintCommands::Of(frame);
        ASSERT_NE(commands, nullptr);
        ASSERT_TRUE(commands->IsStationOpen());
        CPrintBatchDlg* batch = commands->BatchDialog();
        ASSERT_NE(batch, nullptr);
        auto* destination = Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
        destination->setFocus();
        QTest::keyClick(destination, Qt::Key_Down);
        ASSERT_EQ(batch->Destination(), 1);
        Control<QSpinBox>(batch, CPrintBatchDlg::IDC_COPIES)->setValue(1);
        Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        auto* back = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
        back->click(); // ends the job: the file is written
        back->click(); // back to the design
    }

    // Reads the symbol where it lies on a page rendered at dpi, its quiet
    // zone and a margin around it.
    static ZXing::Result ReadOnPage(const QImage& page, int dpi, const CBarcode* symbol,
                                    ZXing::BarcodeFormat format)
    {
        const CPaperStock* stock = ThePaper().Current();
        const CPoint origin = stock ? stock->LabelOrigin(0, false) : CPoint(0, 0);
        CRect area = symbol->m_bounds;
        area.OffsetRect(origin.x, origin.y);
        area.InflateRect(60, 60, 60, 60);
        const QRect px(qRound(area.left * dpi / 254.0), qRound(area.top * dpi / 254.0),
                       qRound(area.Width() * dpi / 254.0), qRound(area.Height() * dpi / 254.0));
        const QImage part = page.copy(px.intersected(page.rect()));
        return ZXing::ReadBarcode(ZXing::ImageView(part.constBits(), part.width(), part.height(),
                                                   ZXing::ImageFormat::Lum,
                                                   int(part.bytesPerLine())),
                                  ZXing::DecodeHints().setFormats(format).setTryHarder(true));
    }
};

// PDF417: the two mode radios, the spins, the X dimension list and
// "Defaults", each stored in the element and the symbol drawn anew.
TEST_F(MatrixSymbolPaneTest, PDF417FormatEdits)
{
    ASSERT_NE(frame, nullptr);
    auto* pdf = Draw<CPDF417>(SYM_PDF417);
    ASSERT_NE(pdf, nullptr);
    QWidget* pane = Pane();
    ASSERT_STREQ(pane->metaObject()->className(), "CPDF417View");
    EXPECT_EQ(pane->objectName(), QStringLiteral("id385"));
    auto* aspect = Control<QRadioButton>(pane, 1404);
    auto* rowsMode = Control<QRadioButton>(pane, 1407);
    auto* limits = Control<QCheckBox>(pane, 1412);
    auto* rows = Control<QSpinBox>(pane, 1408);
    auto* columns = Control<QSpinBox>(pane, 1410);
    auto* levelMode = Control<QRadioButton>(pane, 1397);
    auto* level = Control<QSpinBox>(pane, 1398);
    auto* percent = Control<QSpinBox>(pane, 1395);
    auto* xDim = Control<QComboBox>(pane, 1126);
    ASSERT_TRUE(aspect && rowsMode && limits && rows && columns && levelMode && level && percent &&
                xDim);
    EXPECT_TRUE(aspect->isChecked());
    EXPECT_FALSE(rows->isEnabled());
    EXPECT_FALSE(level->isEnabled());
    EXPECT_EQ(Items(xDim), (QStringList{"7.50", "12.99", "20.00"}));
    EXPECT_EQ(xDim->currentText(), QStringLiteral("12.99"));

    ExpectRedrawn(pdf, "rows x columns", [&] {
        Click(rowsMode);
        EXPECT_TRUE(limits->isChecked());
        EXPECT_EQ(pdf->m_symbolType, 2u);
        EXPECT_TRUE(rows->isEnabled() && columns->isEnabled() && limits->isEnabled());
        columns->setValue(3);
        EXPECT_EQ(pdf->m_columnCount, 3u);
    });
    ExpectRedrawn(pdf, "exact rows and columns", [&] {
        Click(limits);
        EXPECT_EQ(pdf->m_symbolType, 1u);
        columns->setValue(5);
    });
    ExpectRedrawn(pdf, "error-correction level", [&] {
        Click(levelMode);
        EXPECT_TRUE(level->isEnabled());
        EXPECT_FALSE(percent->isEnabled());
        level->setValue(6);
        EXPECT_EQ(pdf->m_eccType, 1u);
        EXPECT_EQ(pdf->m_eccLevel, 6u);
    });
    ExpectRedrawn(pdf, "X dimension from the list", [&] {
        Choose(xDim, QStringLiteral("20.00"));
        EXPECT_EQ(pdf->m_xDimension, 2000u);
    });
    ExpectRedrawn(pdf, "typed X dimension", [&] {
        Type(xDim->lineEdit(), QStringLiteral("9.996"));
        EXPECT_EQ(pdf->m_xDimension, 1000u) << "hundredths, half up";
    });
    // A width of nothing, 0 or no number keeps the one in hand, untold.
    for (const char* typed : {"", "0", "-3", "x"}) {
        Type(xDim->lineEdit(), QString::fromLatin1(typed));
        EXPECT_EQ(pdf->m_xDimension, 1000u) << typed;
    }
    EXPECT_EQ(messages.Count(), 0);
    // Typed on key by key, "1500" is taken up to 150 mils; the last key
    // is refused with the range.
    Type(xDim->lineEdit(), QStringLiteral("1500"));
    EXPECT_EQ(pdf->m_xDimension, 15000u);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("0.01")))
        << messages.LastText().toStdString();
    // While the box reads out of range, no other value is written either.
    level->setValue(2);
    EXPECT_EQ(pdf->m_eccLevel, 6u);
    EXPECT_EQ(messages.Count(), 2);
    ExpectRedrawn(pdf, "defaults",
                  [&] { QTest::mouseClick(Control<QPushButton>(pane, 1413), Qt::LeftButton); });
    EXPECT_EQ(pdf->m_symbolType, 0u);
    EXPECT_EQ(pdf->m_aspectRatio, 102u);
    EXPECT_EQ(pdf->m_rowCount, 90u);
    EXPECT_EQ(pdf->m_columnCount, 30u);
    EXPECT_EQ(pdf->m_eccType, 0u);
    EXPECT_EQ(pdf->m_eccPercent, 10u);
    EXPECT_EQ(pdf->m_eccLevel, 3u);
    EXPECT_EQ(pdf->m_xDimension, 1299u);
    EXPECT_EQ(pdf->m_rowAspect, 3u);
    EXPECT_EQ(pdf->m_truncate, 0u);
    EXPECT_EQ(pdf->m_forceBinary, 0u);
    EXPECT_TRUE(aspect->isChecked());
    EXPECT_FALSE(limits->isChecked());
    EXPECT_FALSE(rows->isEnabled());

    // The pane of the element selected again shows what was stored.
    Click(rowsMode);
    ASSERT_TRUE(frame->SwitchElementView(pdf));
    pane = Pane();
    EXPECT_TRUE(Control<QRadioButton>(pane, 1407)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(pane, 1412)->isChecked());
    EXPECT_EQ(Control<QComboBox>(pane, 1126)->currentText(), QStringLiteral("12.99"));
}

// QR Code: level, mask and module width; the listed widths are whole
// printer dots.
TEST_F(MatrixSymbolPaneTest, QRCodeFormatEdits)
{
    ASSERT_NE(frame, nullptr);
    CBarcode::SetResolutionOverride(300);
    auto* qr = Draw<CQRCode>(SYM_QRCODE);
    ASSERT_NE(qr, nullptr);
    QWidget* pane = Pane();
    ASSERT_STREQ(pane->metaObject()->className(), "CQRCodeView");
    auto* level = Control<QComboBox>(pane, 1465);
    auto* mask = Control<QComboBox>(pane, 1162);
    auto* xDim = Control<QComboBox>(pane, 1126);
    ASSERT_TRUE(level && mask && xDim);
    EXPECT_EQ(mask->currentText(), QStringLiteral("Default"));
    EXPECT_EQ(Items(xDim),
              (QStringList{"6.67", "10.00", "16.67", "20.00", "26.67", "30.00", "36.67"}));

    ExpectRedrawn(qr, "level", [&] {
        Choose(level, QStringLiteral("High"));
        EXPECT_EQ(qr->m_level, 3);
    });
    ExpectRedrawn(qr, "mask 0", [&] {
        Choose(mask, QStringLiteral("0"));
        EXPECT_EQ(qr->m_mask, 0);
    });
    ExpectRedrawn(qr, "mask 7", [&] {
        Choose(mask, QStringLiteral("7"));
        EXPECT_EQ(qr->m_mask, 7);
    });
    Choose(mask, QStringLiteral("Default"));
    EXPECT_EQ(qr->m_mask, -1);
    ExpectRedrawn(qr, "typed width, snapped to dots", [&] {
        Type(xDim->lineEdit(), QStringLiteral("21"));
        EXPECT_NEAR(qr->m_moduleWidth, 20.0f, 1e-3);
    });
    ExpectRedrawn(qr, "listed width", [&] {
        Choose(xDim, QStringLiteral("36.67"));
        // Whole dots: eleven at 300 dpi.
        EXPECT_NEAR(qr->m_moduleWidth, 11 * 1000.0f / 300, 1e-3);
    });
    // Not a width: the module stays, while level and mask are written.
    Choose(level, QStringLiteral("Low"));
    const float width = qr->m_moduleWidth;
    Type(xDim->lineEdit(), QStringLiteral("0"));
    Choose(mask, QStringLiteral("2"));
    EXPECT_EQ(qr->m_moduleWidth, width);
    EXPECT_EQ(qr->m_mask, 2);
    EXPECT_EQ(qr->m_level, 0);
}

// Data Matrix: the X dimension list in whole printer dots, the type's
// switch of the format list, the size list.
TEST_F(MatrixSymbolPaneTest, DataMatrixFormatEdits)
{
    ASSERT_NE(frame, nullptr);
    CBarcode::SetResolutionOverride(300);
    auto* matrix = Draw<CDataMatrix>(SYM_DATAMATRIX);
    ASSERT_NE(matrix, nullptr);
    QWidget* pane = Pane();
    ASSERT_STREQ(pane->metaObject()->className(), "CDataMatrixView");
    EXPECT_EQ(pane->objectName(), QStringLiteral("id384"));
    auto* type = Control<QComboBox>(pane, 1465);
    auto* format = Control<QComboBox>(pane, 1162);
    auto* size = Control<QComboBox>(pane, 1466);
    auto* xDim = Control<QComboBox>(pane, 1126);
    ASSERT_TRUE(type && format && size && xDim);
    EXPECT_EQ(Items(xDim), (QStringList{"6.67", "13.33", "20.00", "30.00"}));
    EXPECT_EQ(type->currentText(), QStringLiteral("ECC-200"));
    EXPECT_EQ(format->currentText(), QStringLiteral("Auto"));
    EXPECT_FALSE(format->isEnabled());
    EXPECT_EQ(size->count(), 31);
    EXPECT_EQ(size->currentText(), QStringLiteral("Auto (smallest)"));
    EXPECT_EQ(size->itemText(1), QStringLiteral("10 x 10"));
    EXPECT_EQ(size->itemText(30), QStringLiteral("16 x 48"));

    ExpectRedrawn(matrix, "listed width", [&] {
        Choose(xDim, QStringLiteral("13.33"));
        EXPECT_EQ(matrix->m_xDimension, 1333u);
    });
    ExpectRedrawn(matrix, "fixed size", [&] {
        Choose(size, QStringLiteral("144 x 144"));
        EXPECT_EQ(matrix->m_rows, 144u);
        EXPECT_EQ(matrix->m_columns, 144u);
    });
    ExpectRedrawn(matrix, "typed width", [&] {
        Type(xDim->lineEdit(), QStringLiteral("6.67"));
        EXPECT_EQ(matrix->m_xDimension, 667u);
    });
    ExpectRedrawn(matrix, "ECC-100", [&] {
        Choose(type, QStringLiteral("ECC-100"));
        EXPECT_EQ(matrix->m_eccType, 8u);
        EXPECT_TRUE(format->isEnabled());
        EXPECT_EQ(format->currentText(), QStringLiteral("Full ASCII"));
        EXPECT_EQ(matrix->m_format, 5u);
        EXPECT_EQ(size->currentIndex(), 0);
        EXPECT_EQ(matrix->m_rows, 0u);
    });
    Choose(format, QStringLiteral("Binary"));
    EXPECT_EQ(matrix->m_format, 6u);
    Choose(type, QStringLiteral("ECC-200"));
    EXPECT_EQ(matrix->m_eccType, 26u);
    EXPECT_EQ(format->currentText(), QStringLiteral("Auto"));
    EXPECT_FALSE(format->isEnabled());
    EXPECT_EQ(matrix->m_format, 1u);
    EXPECT_EQ(matrix->m_rows, 0u);
    EXPECT_EQ(matrix->m_columns, 0u);
    EXPECT_FALSE(matrix->IsShowingInvalid());
}

// The shared groups of the three panes: the data typed or edited in the
// Edit Text dialog reaches the symbol, which then reads back; the length
// rule belongs to typed data only; position edits move the symbol.
TEST_F(MatrixSymbolPaneTest, DataPositionAndRulesOfEachPane)
{
    ASSERT_NE(frame, nullptr);
    struct Case
    {
        int symbology;
        ZXing::BarcodeFormat format;
    };
    const Case cases[] = {{SYM_PDF417, ZXing::BarcodeFormat::PDF417},
                          {SYM_DATAMATRIX, ZXing::BarcodeFormat::DataMatrix},
                          {SYM_QRCODE, ZXing::BarcodeFormat::QRCode}};
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.symbology);
        auto* symbol = Draw<CBarcode>(c.symbology, CPoint(100, 100 + 400 * row++));
        ASSERT_NE(symbol, nullptr);
        QWidget* pane = Pane();
        auto* data = Control<QLineEdit>(pane, 1049);
        ASSERT_NE(data, nullptr);
        ExpectRedrawn(symbol, "typed data", [&] {
            Type(data, QStringLiteral("Shelf 12"));
            EXPECT_EQ(symbol->m_data, QStringLiteral("Shelf 12"));
        });
        CAnswer<CEditTextDlg> editText([](CEditTextDlg* dlg) {
            EXPECT_EQ(dlg->Field()->toPlainText(), QStringLiteral("Shelf 12"));
            dlg->Field()->setPlainText(QStringLiteral("Aisle 4\nShelf 12"));
            dlg->accept();
        });
        ExpectRedrawn(symbol, "Edit Text",
                      [&] { QTest::mouseClick(Control<QPushButton>(pane, 1551), Qt::LeftButton); });
        ASSERT_TRUE(editText.Answered());
        EXPECT_TRUE(symbol->m_sampleData.startsWith(QStringLiteral("Aisle 4")));
        EXPECT_EQ(data->text(), symbol->m_sampleData);
        EXPECT_EQ(symbol->m_data, symbol->m_sampleData);
        // The symbol as drawn, in a quiet zone, reads back to its data.
        const QImage bitmap = symbol->m_bitmap.convertToFormat(QImage::Format_Grayscale8);
        QImage framed(bitmap.width() + 80, bitmap.height() + 80, QImage::Format_Grayscale8);
        framed.fill(255);
        for (int y = 0; y < bitmap.height(); ++y)
            memcpy(framed.scanLine(y + 40) + 40, bitmap.constScanLine(y), size_t(bitmap.width()));
        const auto read = ZXing::ReadBarcode(
            ZXing::ImageView(framed.constBits(), framed.width(), framed.height(),
                             ZXing::ImageFormat::Lum, int(framed.bytesPerLine())),
            ZXing::DecodeHints().setFormats(c.format));
        EXPECT_TRUE(read.isValid());
        EXPECT_EQ(QString::fromStdString(read.text()), symbol->m_data);

        Type(Control<QLineEdit>(pane, 1002), QStringLiteral("30"));
        EXPECT_EQ(symbol->m_origin.x, 300);

        // Fixed data has no rules; typed data may keep a length; data from
        // elsewhere is cut or padded but keeps no length.
        auto* length = Control<QComboBox>(pane, 1277);
        auto* truncate = Control<QComboBox>(pane, 1279);
        auto* pad = Control<QComboBox>(pane, 1280);
        EXPECT_FALSE(length->isEnabled());
        EXPECT_FALSE(truncate->isEnabled());
        auto* source = Control<QComboBox>(pane, 1000);
        const int keyboard = source->findData(SOURCE_KEYBOARD);
        source->setCurrentIndex(keyboard);
        emit source->activated(keyboard);
        EXPECT_EQ(symbol->m_dataSource, SOURCE_KEYBOARD);
        EXPECT_TRUE(length->isEnabled());
        EXPECT_FALSE(truncate->isEnabled());
        Choose(length, QStringLiteral("Maximum"));
        EXPECT_EQ(symbol->m_lengthConstraint, 2);
        EXPECT_EQ(symbol->m_lengthLimit, Control<QLineEdit>(pane, 1278)->text().toInt())
            << "the rule keeps the length it shows";
        EXPECT_GT(symbol->m_lengthLimit, 0);
        EXPECT_TRUE(truncate->isEnabled());
        EXPECT_FALSE(pad->isEnabled());
        EXPECT_TRUE(Control<QLineEdit>(pane, 1278)->isVisible());

        symbol->m_dataSource = SOURCE_DATABASE;
        symbol->m_sourceName = QStringLiteral("Shelf");
        frame->SwitchElementView(nullptr);
        ASSERT_TRUE(frame->SwitchElementView(symbol));
        pane = Pane();
        EXPECT_FALSE(Control<QComboBox>(pane, 1277)->isEnabled());
        EXPECT_FALSE(Control<QLineEdit>(pane, 1278)->isVisible());
        EXPECT_TRUE(Control<QComboBox>(pane, 1279)->isEnabled());
        EXPECT_TRUE(Control<QComboBox>(pane, 1280)->isEnabled());
        symbol->m_dataSource = SOURCE_FIXED;
        symbol->m_sourceName.clear();
    }
}

// The GS1 panes: no data box and no rules; the source is a GS1 data
// variable made or edited from the pane, in the mode its symbol allows.
TEST_F(MatrixSymbolPaneTest, GS1DataMatrixTakesItsDataFromANewGS1Variable)
{
    ASSERT_NE(frame, nullptr);
    auto* matrix = Draw<CDataMatrix>(SYM_GS1_DATAMATRIX);
    ASSERT_NE(matrix, nullptr);
    QWidget* pane = Pane();
    ASSERT_STREQ(pane->metaObject()->className(), "CGS1DMatrixView");
    EXPECT_EQ(pane->objectName(), QStringLiteral("id390"));
    EXPECT_EQ(pane->findChild<QLineEdit*>(QStringLiteral("id1049")), nullptr);
    EXPECT_EQ(pane->findChild<QComboBox*>(QStringLiteral("id1277")), nullptr);
    EXPECT_EQ(Control<QComboBox>(pane, 1465)->currentText(), QStringLiteral("ECC-200"));
    ExpectRedrawn(matrix, "listed width", [&] {
        Choose(Control<QComboBox>(pane, 1126), Control<QComboBox>(pane, 1126)->itemText(3));
    });

    // Cancelled, nothing is left behind.
    const int variables = TheVariableList().GetCount();
    const QString data = matrix->m_data;
    const QString made = matrix->m_sourceName; // the data the tool made with it
    CAnswer<CUccEanDataDlg> cancel([](CUccEanDataDlg* dlg) { dlg->reject(); });
    QTest::mouseClick(Control<QPushButton>(pane, 1137), Qt::LeftButton);
    ASSERT_TRUE(cancel.Answered());
    EXPECT_EQ(TheVariableList().GetCount(), variables);
    EXPECT_EQ(matrix->m_data, data);
    EXPECT_EQ(matrix->m_dataSource, SOURCE_GS1);
    EXPECT_EQ(matrix->m_sourceName, made);

    // Confirmed with a GTIN and a lot, the symbol carries their element string.
    CAnswer<CUccEanDataDlg> make([](CUccEanDataDlg* dlg) {
        dlg->AddEntry(1);
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "09501101530003");
        dlg->AddEntry(10);
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "LOT9");
        dlg->accept();
    });
    ExpectRedrawn(matrix, "new data source",
                  [&] { QTest::mouseClick(Control<QPushButton>(pane, 1137), Qt::LeftButton); });
    ASSERT_TRUE(make.Answered());
    EXPECT_EQ(TheVariableList().GetCount(), variables + 1);
    EXPECT_EQ(matrix->m_dataSource, SOURCE_GS1);
    auto* gs1 = FindGS1Data(SOURCE_GS1, matrix->m_sourceName);
    ASSERT_NE(gs1, nullptr);
    EXPECT_EQ(Control<QLabel>(pane, 1001)->text(), matrix->m_sourceName);
    EXPECT_EQ(matrix->m_data, QStringLiteral("0109501101530003"
                                             "10LOT9"));

    // Edited, the symbol follows.
    CAnswer<CUccEanDataDlg> edit([](CUccEanDataDlg* dlg) {
        ASSERT_EQ(dlg->List()->topLevelItemCount(), 2);
        dlg->List()->setCurrentItem(dlg->List()->topLevelItem(1));
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "LOT10");
        dlg->accept();
    });
    ExpectRedrawn(matrix, "edited data source",
                  [&] { QTest::mouseClick(Control<QPushButton>(pane, 1004), Qt::LeftButton); });
    ASSERT_TRUE(edit.Answered());
    EXPECT_EQ(matrix->m_data, QStringLiteral("0109501101530003"
                                             "10LOT10"));

    // Made anew for the same element, the new data takes a name of its own
    // and the symbol follows it, not the first.
    const QString first = matrix->m_sourceName;
    CAnswer<CUccEanDataDlg> again([](CUccEanDataDlg* dlg) {
        dlg->AddEntry(1);
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "04012345123456");
        dlg->accept();
    });
    QTest::mouseClick(Control<QPushButton>(pane, 1137), Qt::LeftButton);
    ASSERT_TRUE(again.Answered());
    EXPECT_NE(matrix->m_sourceName, first);
    EXPECT_EQ(TheVariableList().GetCount(), variables + 2);
    auto* second = FindGS1Data(SOURCE_GS1, matrix->m_sourceName);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetBarcodeData(), QStringLiteral("0104012345123456"));
    EXPECT_EQ(matrix->m_data, QStringLiteral("0104012345123456"));
}

TEST_F(MatrixSymbolPaneTest, GS1DataBarFormat)
{
    ASSERT_NE(frame, nullptr);
    auto* bar = Draw<CGS1DataBar>(SYM_GS1_DATABAR);
    ASSERT_NE(bar, nullptr);
    QWidget* pane = Pane();
    ASSERT_STREQ(pane->metaObject()->className(), "CGS1DataBarView");
    auto* type = Control<QComboBox>(pane, 1554);
    auto* xDim = Control<QComboBox>(pane, 1126);
    auto* separator = Control<QComboBox>(pane, 1007);
    auto* segments = Control<QComboBox>(pane, 1143);
    auto* human = Control<QCheckBox>(pane, 1198);
    ASSERT_TRUE(type && xDim && separator && segments && human);
    bar->SetDataBarType(0);
    frame->SwitchElementView(nullptr);
    ASSERT_TRUE(frame->SwitchElementView(bar));
    pane = Pane();
    type = Control<QComboBox>(pane, 1554);
    xDim = Control<QComboBox>(pane, 1126);
    separator = Control<QComboBox>(pane, 1007);
    segments = Control<QComboBox>(pane, 1143);
    human = Control<QCheckBox>(pane, 1198);
    EXPECT_FALSE(segments->isEnabled());

    struct Case
    {
        const char* kind;
        int stored;
        bool humanReadable;
        bool segmentsOn;
    };
    const Case kinds[] = {{"Stacked", 3, false, false},
                          {"Limited", 5, true, false},
                          {"Expanded", 6, true, true},
                          {"Omnidirectional", 1, true, false}};
    for (const Case& c : kinds) {
        ExpectRedrawn(bar, c.kind, [&] { Choose(type, QString::fromLatin1(c.kind)); });
        EXPECT_EQ(bar->GetDataBarType(), c.stored) << c.kind;
        EXPECT_EQ(bool(bar->m_showHumanReadable), c.humanReadable) << c.kind;
        EXPECT_EQ(human->isChecked(), c.humanReadable) << c.kind;
        EXPECT_EQ(segments->isEnabled(), c.segmentsOn) << c.kind;
    }
    ExpectRedrawn(bar, "typed width", [&] { Type(xDim->lineEdit(), QStringLiteral("7.5")); });
    EXPECT_NEAR(bar->m_xDimension, 0.0075f, 1e-7);
    ExpectRedrawn(bar, "separator", [&] { Choose(separator, QStringLiteral("x10")); });
    EXPECT_EQ(bar->m_heightFactor, 10);
    Choose(type, QStringLiteral("Expanded"));
    Choose(segments, QStringLiteral("22"));
    EXPECT_EQ(bar->m_setting, 22u);
    Choose(segments, QStringLiteral("4"));
    EXPECT_EQ(bar->m_setting, 4u);
    frame->SwitchElementView(nullptr);
    ASSERT_TRUE(frame->SwitchElementView(bar));
    EXPECT_EQ(Control<QComboBox>(Pane(), 1126)->currentText(), QStringLiteral("7.50"));
    EXPECT_EQ(Control<QComboBox>(Pane(), 1143)->currentText(), QStringLiteral("4"));

    // The data dialog keeps a GTIN alone except for Expanded.
    for (const char* kind : {"Expanded", "Omnidirectional"}) {
        Choose(Control<QComboBox>(Pane(), 1554), QString::fromLatin1(kind));
        bool alone = false;
        CAnswer<CUccEanDataDlg> look([&](CUccEanDataDlg* dlg) {
            alone = !dlg->AddButton()->isEnabled();
            dlg->reject();
        });
        QTest::mouseClick(Control<QPushButton>(Pane(), 1137), Qt::LeftButton);
        ASSERT_TRUE(look.Answered()) << kind;
        EXPECT_EQ(alone, QByteArray(kind) != "Expanded") << kind;
    }
}

// GS1-128: style, height and human-readable text on the pane; its data
// from a GS1 data variable made there.
TEST_F(MatrixSymbolPaneTest, GS1128PaneEditsHeightTextAndSource)
{
    ASSERT_NE(frame, nullptr);
    auto* barcode = Draw<CBarcode>(SYM_GS1_128);
    ASSERT_NE(barcode, nullptr);
    QWidget* pane = Pane();
    ASSERT_STREQ(pane->metaObject()->className(), "CUccEanView");
    EXPECT_EQ(pane->objectName(), QStringLiteral("id386"));
    EXPECT_EQ(pane->findChild<QLineEdit*>(QStringLiteral("id1049")), nullptr);
    auto* style = Control<QComboBox>(pane, 1039);
    ASSERT_NE(style, nullptr);
    EXPECT_GT(style->count(), 0);
    EXPECT_EQ(style->currentText(), barcode->m_styleName);
    EXPECT_FALSE(Control<QPushButton>(pane, 1537)->isEnabled()) << "a stock style";
    // GS1-128 always has its check digit: the box shows it, fixed.
    EXPECT_FALSE(Control<QCheckBox>(pane, 1201)->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(pane, 1201)->isChecked());

    ExpectRedrawn(barcode, "height", [&] {
        Type(Control<QLineEdit>(pane, 1007), QStringLiteral("20"));
        EXPECT_EQ(barcode->m_height, 200);
    });
    auto* human = Control<QCheckBox>(pane, 1198);
    auto* face = Control<CListCtrlEx>(pane, 1164);
    ASSERT_TRUE(human && face);
    const bool shown = barcode->m_showHumanReadable;
    Click(human);
    EXPECT_EQ(bool(barcode->m_showHumanReadable), !shown);
    EXPECT_EQ(face->isEnabled(), !shown);
    if (shown)
        Click(human);
    EXPECT_TRUE(barcode->m_showHumanReadable);
    Choose(Control<QComboBox>(pane, 1539), QStringLiteral("Bold"));
    EXPECT_EQ(barcode->m_texts[0].GetFont().GetLogFont().lfWeight, 700);
    EXPECT_TRUE(frame->Document().IsModified());

    CAnswer<CUccEanDataDlg> make([](CUccEanDataDlg* dlg) {
        dlg->AddEntry(1);
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "09501101530003");
        dlg->accept();
    });
    ExpectRedrawn(barcode, "new data source",
                  [&] { QTest::mouseClick(Control<QPushButton>(pane, 1137), Qt::LeftButton); });
    ASSERT_TRUE(make.Answered());
    EXPECT_EQ(barcode->m_dataSource, SOURCE_GS1);
    EXPECT_NE(FindGS1Data(SOURCE_GS1, barcode->m_sourceName), nullptr);
    EXPECT_EQ(barcode->m_sampleData, QStringLiteral("0109501101530003"));
}

// The three symbols edited in their panes, saved, opened again and printed
// through File > Print: each reads back from the printed page.
TEST_F(MatrixSymbolPaneTest, EditedSymbolsSavedReopenedAndPrinted)
{
    ASSERT_NE(frame, nullptr);
    auto* qr = Draw<CQRCode>(SYM_QRCODE, CPoint(100, 100));
    ASSERT_NE(qr, nullptr);
    Type(Control<QLineEdit>(Pane(), 1049), QStringLiteral("Aisle 7 / Bay 3"));
    Choose(Control<QComboBox>(Pane(), 1465), QStringLiteral("High"));
    Choose(Control<QComboBox>(Pane(), 1162), QStringLiteral("3"));

    auto* matrix = Draw<CDataMatrix>(SYM_DATAMATRIX, CPoint(600, 100));
    ASSERT_NE(matrix, nullptr);
    Type(Control<QLineEdit>(Pane(), 1049), QStringLiteral("LOT 4711"));
    Choose(Control<QComboBox>(Pane(), 1466), QStringLiteral("24 x 24"));

    auto* pdf417 = Draw<CPDF417>(SYM_PDF417, CPoint(100, 600));
    ASSERT_NE(pdf417, nullptr);
    Type(Control<QLineEdit>(Pane(), 1049), QStringLiteral("Pallet 12 of 40"));
    Click(Control<QRadioButton>(Pane(), 1407));
    Control<QSpinBox>(Pane(), 1410)->setValue(4);
    ASSERT_EQ(pdf417->m_columnCount, 4u);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    QString chosen = home.FilePath("symbols.sgn");
    FrameHooks().chooseFile = [&chosen](QWidget*, const CFileChoice&) { return chosen; };
    auto command = [this](int id) {
        frame->UpdateActionsNow();
        frame->Action(id)->trigger();
    };
    command(ID_FILE_SAVE_AS);
    ASSERT_TRUE(QFile::exists(chosen));
    command(ID_FILE_NEW);
    command(ID_FILE_OPEN);
    ASSERT_EQ(TheElementList().GetCount(), 3);
    auto* reopenedQr = dynamic_cast<CQRCode*>(TheElementList().GetAt(0));
    auto* reopenedMatrix = dynamic_cast<CDataMatrix*>(TheElementList().GetAt(1));
    auto* reopenedPdf = dynamic_cast<CPDF417*>(TheElementList().GetAt(2));
    ASSERT_TRUE(reopenedQr && reopenedMatrix && reopenedPdf);
    EXPECT_EQ(reopenedQr->m_level, 3);
    EXPECT_EQ(reopenedQr->m_mask, 3);
    EXPECT_EQ(reopenedMatrix->m_rows, 24u);
    EXPECT_EQ(reopenedPdf->m_symbolType, 2u);
    EXPECT_EQ(reopenedPdf->m_columnCount, 4u);

    chosen = home.FilePath("symbols.pdf");
    CAnswer<CPrintSignDlg> print([](CPrintSignDlg* dlg) {
        auto* where = Control<QComboBox>(dlg, CPrintSignDlg::IDC_DESTINATION);
        where->setCurrentIndex(where->findText(QStringLiteral("File")));
        Control<QSpinBox>(dlg, CPrintSignDlg::IDC_COPIES)->setValue(1);
        dlg->accept();
    });
    command(ID_FILE_PRINT);
    FrameHooks().chooseFile = nullptr;
    ASSERT_TRUE(print.Answered());
    ASSERT_EQ(PdfPageCount(chosen), 1);
    const QImage page = RenderPdfPage(chosen, 1, 300).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(page.isNull());
    if (!qEnvironmentVariableIsEmpty("TABREL_SHOTS"))
        page.save(qEnvironmentVariable("TABREL_SHOTS") + QStringLiteral("/symbols-page.png"));
    // Each symbol is looked for around its place on the page (the reader
    // does not find a small Data Matrix beside other symbols on a whole
    // page).
    const CPaperStock* stock = ThePaper().Current();
    const CPoint origin = stock ? stock->LabelOrigin(0, false) : CPoint(0, 0);
    struct Expected
    {
        CBarcode* symbol;
        ZXing::BarcodeFormat format;
        const char* text;
    };
    for (const Expected& e :
         {Expected{reopenedQr, ZXing::BarcodeFormat::QRCode, "Aisle 7 / Bay 3"},
          Expected{reopenedMatrix, ZXing::BarcodeFormat::DataMatrix, "LOT 4711"},
          Expected{reopenedPdf, ZXing::BarcodeFormat::PDF417, "Pallet 12 of 40"}}) {
        const CPoint at = e.symbol->m_origin + origin;
        const QImage part =
            page.copy(QRect(qRound(at.x * 300 / 254.0) - 60, qRound(at.y * 300 / 254.0) - 60,
                            e.format == ZXing::BarcodeFormat::PDF417 ? 900 : 280, 280));
        const ZXing::Result result =
            ZXing::ReadBarcode(ZXing::ImageView(part.constBits(), part.width(), part.height(),
                                                ZXing::ImageFormat::Lum, int(part.bytesPerLine())),
                               ZXing::DecodeHints().setFormats(e.format));
        EXPECT_TRUE(result.isValid()) << e.text;
        EXPECT_EQ(QString::fromStdString(result.text()), QString::fromLatin1(e.text));
    }
}

// GS1 symbols fed by the GS1 Barcode Data dialog and a QR Code beside them,
// printed through File > Print: each is read back from the page, the GS1
// ones as GS1 element strings.
TEST_F(MatrixSymbolPaneTest, GS1SymbolsFedByTheirDataArePrintedAndRead)
{
    ASSERT_NE(frame, nullptr);
    auto feed = [this](const char* gtin, const char* lot) {
        CAnswer<CUccEanDataDlg> make([gtin, lot](CUccEanDataDlg* dlg) {
            dlg->AddEntry(1);
            dlg->SampleEdit()->selectAll();
            QTest::keyClicks(dlg->SampleEdit(), QString::fromLatin1(gtin));
            dlg->AddEntry(10);
            dlg->SampleEdit()->selectAll();
            QTest::keyClicks(dlg->SampleEdit(), QString::fromLatin1(lot));
            dlg->accept();
        });
        QTest::mouseClick(Control<QPushButton>(Pane(), 1137), Qt::LeftButton);
        EXPECT_TRUE(make.Answered());
    };
    auto* gs1128 = Draw<CUccEan128>(SYM_GS1_128, CPoint(100, 100));
    ASSERT_NE(gs1128, nullptr);
    feed("09501101530003", "A-17");
    EXPECT_EQ(gs1128->m_humanReadable, QStringLiteral("(01)09501101530003(10)A-17"));
    auto* matrix = Draw<CDataMatrix>(SYM_GS1_DATAMATRIX, CPoint(100, 600));
    ASSERT_NE(matrix, nullptr);
    feed("04012345123456", "B9");
    auto* qr = Draw<CQRCode>(SYM_QRCODE, CPoint(900, 600));
    ASSERT_NE(qr, nullptr);
    Type(Control<QLineEdit>(Pane(), 1049), QStringLiteral("https://example.com/p/4711"));
    // DataBar: a GTIN alone (Omnidirectional), GTIN and lot (Expanded).
    auto* omni = Draw<CGS1DataBar>(SYM_GS1_DATABAR, CPoint(100, 1100));
    ASSERT_NE(omni, nullptr);
    {
        CAnswer<CUccEanDataDlg> make([](CUccEanDataDlg* dlg) {
            dlg->SampleEdit()->selectAll();
            QTest::keyClicks(dlg->SampleEdit(), QStringLiteral("09501101530003"));
            dlg->accept();
        });
        QTest::mouseClick(Control<QPushButton>(Pane(), 1137), Qt::LeftButton);
        EXPECT_TRUE(make.Answered());
    }
    auto* expanded = Draw<CGS1DataBar>(SYM_GS1_DATABAR, CPoint(100, 1500));
    ASSERT_NE(expanded, nullptr);
    Choose(Control<QComboBox>(Pane(), 1554), QStringLiteral("Expanded"));
    feed("04012345123456", "C-3");
    for (CGS1DataBar* bar : {omni, expanded})
        EXPECT_FALSE(bar->IsShowingInvalid());
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    // Saved and opened again, as a sign is printed another day.
    QString chosen = home.FilePath("gs1.sgn");
    FrameHooks().chooseFile = [&chosen](QWidget*, const CFileChoice&) { return chosen; };
    for (int id : {ID_FILE_SAVE_AS, ID_FILE_NEW, ID_FILE_OPEN}) {
        frame->UpdateActionsNow();
        frame->Action(id)->trigger();
    }
    ASSERT_EQ(TheElementList().GetCount(), 5);
    gs1128 = dynamic_cast<CUccEan128*>(TheElementList().GetAt(0));
    matrix = dynamic_cast<CDataMatrix*>(TheElementList().GetAt(1));
    qr = dynamic_cast<CQRCode*>(TheElementList().GetAt(2));
    omni = dynamic_cast<CGS1DataBar*>(TheElementList().GetAt(3));
    expanded = dynamic_cast<CGS1DataBar*>(TheElementList().GetAt(4));
    ASSERT_TRUE(gs1128 && matrix && qr && omni && expanded);

    // The sign takes data, so File > Print opens the print station.
    chosen = home.FilePath("gs1.pdf");
    PrintThroughStation();
    FrameHooks().chooseFile = nullptr;
    ASSERT_EQ(PdfPageCount(chosen), 1);
    struct Expected
    {
        CBarcode* symbol;
        ZXing::BarcodeFormat format;
        std::string text;
        bool gs1;
    };
    const Expected expected[] = {
        {gs1128, ZXing::BarcodeFormat::Code128, "010950110153000310A-17", true},
        {matrix, ZXing::BarcodeFormat::DataMatrix, "010401234512345610B9", true},
        {qr, ZXing::BarcodeFormat::QRCode, "https://example.com/p/4711", false},
        // The reader gives a DataBar's GTIN without its identifier, and an
        // Expanded symbol's element string with its identifiers in brackets.
        {omni, ZXing::BarcodeFormat::DataBar, "09501101530003", false},
        {expanded, ZXing::BarcodeFormat::DataBarExpanded, "(01)04012345123456(10)C-3", false}};
    for (int dpi : {300, 600}) {
        const QImage page =
            RenderPdfPage(chosen, 1, dpi).convertToFormat(QImage::Format_Grayscale8);
        ASSERT_FALSE(page.isNull());
        if (!qEnvironmentVariableIsEmpty("TABREL_SHOTS"))
            page.save(qEnvironmentVariable("TABREL_SHOTS") +
                      QStringLiteral("/gs1-page-%1.png").arg(dpi));
        for (const Expected& e : expected) {
            SCOPED_TRACE(testing::Message() << e.text << " at " << dpi << " dpi");
            const ZXing::Result result = ReadOnPage(page, dpi, e.symbol, e.format);
            ASSERT_TRUE(result.isValid());
            EXPECT_EQ(QString::fromStdString(result.text()).toStdString(), e.text);
            EXPECT_EQ(result.contentType() == ZXing::ContentType::GS1, e.gs1);
        }
    }
}

// Text beyond ASCII typed into the three two-dimensional symbols (the euro
// sign, accented letters, sharp s and a CJK character) is printed and read
// back as typed at 300 and 600 dpi, whatever character set the reader
// assumes without being told.
TEST_F(MatrixSymbolPaneTest, TextBeyondAsciiIsReadBackAsTyped)
{
    ASSERT_NE(frame, nullptr);
    const QString typed = QStringLiteral("Preis 5 € café Straße 日本");
    struct Placed
    {
        CBarcode* symbol;
        ZXing::BarcodeFormat format;
    };
    std::vector<Placed> placed;
    const struct
    {
        int symbology;
        ZXing::BarcodeFormat format;
        CPoint at;
    } cases[] = {{SYM_QRCODE, ZXing::BarcodeFormat::QRCode, CPoint(100, 100)},
                 {SYM_DATAMATRIX, ZXing::BarcodeFormat::DataMatrix, CPoint(700, 100)},
                 {SYM_PDF417, ZXing::BarcodeFormat::PDF417, CPoint(100, 700)}};
    for (const auto& c : cases) {
        auto* symbol = Draw<CBarcode>(c.symbology, c.at);
        ASSERT_NE(symbol, nullptr);
        auto* data = Control<QLineEdit>(Pane(), 1049);
        ASSERT_NE(data, nullptr);
        Type(data, QString());
        // Key by key, as a keyboard with these characters sends them.
        for (QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, data, Qt::Key_unknown, QString(c), Qt::NoModifier);
        EXPECT_EQ(symbol->m_data, typed);
        EXPECT_FALSE(symbol->IsShowingInvalid());
        placed.push_back({symbol, c.format});
    }
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    const QString pdf = home.FilePath("beyond-ascii.pdf");
    PrintSign(pdf);
    ASSERT_EQ(PdfPageCount(pdf), 1);
    for (int dpi : {300, 600}) {
        const QImage page = RenderPdfPage(pdf, 1, dpi).convertToFormat(QImage::Format_Grayscale8);
        ASSERT_FALSE(page.isNull());
        for (const Placed& p : placed) {
            SCOPED_TRACE(testing::Message()
                         << dpi << " dpi, symbology " << p.symbol->GetSymbologyId());
            const ZXing::Result result = ReadOnPage(page, dpi, p.symbol, p.format);
            ASSERT_TRUE(result.isValid());
            EXPECT_EQ(QString::fromStdString(result.text()).toStdString(), typed.toStdString());
        }
    }
}

// The barcode tool makes a GS1 symbol's GS1 data with it: cancelled,
// nothing is placed and no data is left; put down before its click, the
// data goes with it; placed, the symbol takes its data from the start.
// Edit Data Source... then reaches every symbol fed by that data.
TEST_F(MatrixSymbolPaneTest, BarcodeToolMakesTheGS1DataOfItsSymbol)
{
    ASSERT_NE(frame, nullptr);
    const int variables = TheVariableList().GetCount();
    auto arm = [this](int symbology, const std::function<void(CUccEanDataDlg*)>& answer) {
        CAnswer<CSelectBarcodeTypeDlg> type(
            [symbology](CSelectBarcodeTypeDlg* dlg) { PickSymbology(dlg, symbology); });
        CAnswer<CUccEanDataDlg> data(answer);
        frame->UpdateActionsNow();
        frame->Action(ID_TOOL_BARCODE)->trigger();
        EXPECT_TRUE(type.Answered());
        EXPECT_TRUE(data.Answered());
    };
    arm(SYM_GS1_DATAMATRIX, [](CUccEanDataDlg* dlg) { dlg->reject(); });
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    EXPECT_EQ(TheVariableList().GetCount(), variables);
    arm(SYM_GS1_128, [](CUccEanDataDlg* dlg) {
        dlg->AddEntry(1);
        dlg->accept();
    });
    ASSERT_EQ(view->Mode(), MODE_BARCODE_PLACE);
    EXPECT_EQ(TheVariableList().GetCount(), variables + 1);
    QTest::keyClick(view->viewport(), Qt::Key_Escape);
    EXPECT_EQ(view->Mode(), MODE_SELECT);
    EXPECT_EQ(TheVariableList().GetCount(), variables) << "the data went with the symbol";
    EXPECT_EQ(TheElementList().GetCount(), 0);

    arm(SYM_GS1_DATAMATRIX, [](CUccEanDataDlg* dlg) {
        dlg->AddEntry(1);
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "09501101530003");
        dlg->AddEntry(10);
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "LOT1");
        dlg->accept();
    });
    ASSERT_EQ(view->Mode(), MODE_BARCODE_PLACE);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(150, 150));
    auto* matrix = dynamic_cast<CDataMatrix*>(view->Selection().Primary());
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(TheVariableList().GetCount(), variables + 1);
    EXPECT_EQ(matrix->m_dataSource, SOURCE_GS1);
    CUccEanData* gs1 = FindGS1Data(SOURCE_GS1, matrix->m_sourceName);
    ASSERT_NE(gs1, nullptr);
    EXPECT_EQ(matrix->m_data, QStringLiteral("0109501101530003"
                                             "10LOT1"));
    EXPECT_FALSE(matrix->IsShowingInvalid());
    EXPECT_EQ(Control<QLabel>(Pane(), 1001)->text(), matrix->m_sourceName);

    // A copy is fed by the same data; editing it from one pane reaches both.
    frame->UpdateActionsNow();
    frame->Action(ID_EDIT_DUPLICATE)->trigger();
    ASSERT_EQ(TheElementList().GetCount(), 2);
    auto* copy = dynamic_cast<CDataMatrix*>(TheElementList().GetAt(1));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_sourceName, matrix->m_sourceName);
    const QImage before = copy->m_bitmap;
    CAnswer<CUccEanDataDlg> edit([](CUccEanDataDlg* dlg) {
        dlg->List()->setCurrentItem(dlg->List()->topLevelItem(1));
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "LOT2");
        dlg->accept();
    });
    QTest::mouseClick(Control<QPushButton>(Pane(), 1004), Qt::LeftButton);
    ASSERT_TRUE(edit.Answered());
    for (CDataMatrix* symbol : {matrix, copy}) {
        EXPECT_EQ(symbol->m_data, QStringLiteral("0109501101530003"
                                                 "10LOT2"));
        EXPECT_FALSE(symbol->IsShowingInvalid());
    }
    EXPECT_NE(copy->m_bitmap, before) << "the copy was not made anew";

    // Printed side by side, both symbols carry the edited data.
    copy->BeginMove(view);
    copy->TrackMove(view, 600, 0);
    copy->EndMove(view);
    const QString pdf = home.FilePath("edited.pdf");
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    PrintThroughStation();
    FrameHooks().chooseFile = nullptr;
    for (int dpi : {300, 600}) {
        const QImage page = RenderPdfPage(pdf, 1, dpi).convertToFormat(QImage::Format_Grayscale8);
        ASSERT_FALSE(page.isNull());
        for (CDataMatrix* symbol : {matrix, copy}) {
            SCOPED_TRACE(testing::Message() << symbol->m_origin.x << " at " << dpi << " dpi");
            const ZXing::Result result =
                ReadOnPage(page, dpi, symbol, ZXing::BarcodeFormat::DataMatrix);
            ASSERT_TRUE(result.isValid());
            EXPECT_EQ(result.text(), "010950110153000310LOT2");
        }
    }
}

} // namespace
