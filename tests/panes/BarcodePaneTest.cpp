// Barcodes as a user meets them in the designer's real main frame: the
// barcode tool with Select Barcode Type, the barcode pane with its
// symbology change, add-ons and styles, the Custom Barcode Style dialog's
// checks, and the printed sign read back by a barcode reader.
#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeParts.h"
#include "BarcodeStyleDlg.h"
#include "BarcodeView.h"
#include "Commands.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "EanUpc.h"
#include "ElementList.h"
#include "GS1DataBar.h"
#include "GS1DataBarTypeDlg.h"
#include "ListCtrlEx.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "PdfSupport.h"
#include "PickSymbology.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "PrintSignDlg.h"
#include "Printer.h"
#include "SelectBarcodeTypeDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "UccEanDataDlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

// The decoder gives its text as UTF-8.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <functional>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

void Type(QWidget* parent, int id, const QString& text)
{
    auto* edit = Control<QLineEdit>(parent, id);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void SaveShot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("TABREL_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name);
}

class BarcodePaneTest : public CDesignerTest
{
protected:
    BarcodePaneTest() : CDesignerTest(QSize(1300, 900), false) {}

    CBarcode* Primary() const { return dynamic_cast<CBarcode*>(view->Selection().Primary()); }

    // Draws a barcode with the tool: the type dialog, then a click.
    CBarcode* DrawBarcode(int symbology, CPoint at)
    {
        CAnswer<CSelectBarcodeTypeDlg> type(
            [symbology](CSelectBarcodeTypeDlg* dlg) { PickSymbology(dlg, symbology); });
        frame->UpdateActionsNow();
        frame->Action(ID_TOOL_BARCODE)->trigger();
        EXPECT_TRUE(type.Answered());
        EXPECT_EQ(view->Mode(), MODE_BARCODE_PLACE);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(at.x, at.y));
        EXPECT_EQ(view->Mode(), MODE_SELECT);
        return Primary();
    }

    // The pane's Change... with the symbology picked in the dialog.
    CBarcode* ChangeTo(int symbology)
    {
        CAnswer<CSelectBarcodeTypeDlg> type([symbology](CSelectBarcodeTypeDlg* dlg) {
            // The dialog opens on Code 39, whatever the element's symbology.
            EXPECT_EQ(dlg->SelectedId(), SYM_CODE39);
            PickSymbology(dlg, symbology);
        });
        // Change... is on the Barcode tab.
        Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(0);
        auto* change = Control<QPushButton>(Pane(), 1241);
        if (!change)
            return nullptr;
        change->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return type.Answered(); }, 10000));
        QApplication::processEvents();
        return Primary();
    }
};

// The dialog's checks, typed into the dialog that the pane's New... opens on
// a Code 39 barcode (family of the ratio codes).
TEST_F(BarcodePaneTest, CustomStyleDialogChecksWhatIsTyped)
{
    ASSERT_NE(frame, nullptr);
    CBarcode* barcode = DrawBarcode(SYM_CODE39, CPoint(100, 100));
    ASSERT_NE(barcode, nullptr);
    struct Case
    {
        const char* name;
        const char* x;
        const char* ratio;
        const char* gain;
        const char* refusal; // empty: accepted
    };
    const Case cases[] = {
        {"", "15", "3", "1.7", "Invalid or non-unique style name"},
        {"Standard", "15", "3", "1.7", "Invalid or non-unique style name"},
        {"Wide", "abc", "3", "1.7", "The X dimension must be greater than 0."},
        {"Wide", "0", "3", "1.7", "The X dimension must be greater than 0."},
        {"Wide", "15", "0.5", "1.7", "The ratio must be from 1:1 to 100:1."},
        {"Wide", "15", "x", "1.7", "The ratio must be from 1:1 to 100:1."},
        {"Wide", "15", "1e300", "1.7", "The ratio must be from 1:1 to 100:1."},
        {"Wide", "15", "3", "-1", "The print gain must be from 0 to the X dimension"},
        {"Wide", "15", "3", "20", "The print gain must be from 0 to the X dimension"},
        {"Wide", "15", "3", "", "The print gain must be from 0 to the X dimension"},
        {"Wide", "25", "2.5", "1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.x + " " + c.ratio + " " + c.gain);
        const int before = TheBarcodeStyleList().GetCount();
        messages.Clear();
        bool stayedOpen = false;
        CAnswer<CBarcodeStyleDlg> answer([&](CBarcodeStyleDlg* dlg) {
            // A new style: its name is typed, its ratio is offered.
            EXPECT_TRUE(Control<QLineEdit>(dlg, 1050)->isEnabled());
            EXPECT_TRUE(Control<QLineEdit>(dlg, 1375)->isEnabled());
            Type(dlg, 1050, QString::fromLatin1(c.name));
            Type(dlg, 1126, QString::fromLatin1(c.x));
            Type(dlg, 1375, QString::fromLatin1(c.ratio));
            Type(dlg, 1270, QString::fromLatin1(c.gain));
            QTest::keyClick(dlg, Qt::Key_Return);
            stayedOpen = dlg->isVisible();
            if (stayedOpen)
                dlg->reject();
        });
        Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);
        Control<QPushButton>(Pane(), 1538)->click();
        ASSERT_TRUE(answer.Answered());
        const bool refused = c.refusal[0] != 0;
        EXPECT_EQ(stayedOpen, refused);
        if (refused) {
            ASSERT_EQ(messages.Count(), 1);
            EXPECT_TRUE(messages.LastText().startsWith(QString::fromLatin1(c.refusal)))
                << messages.LastText().toStdString();
            EXPECT_EQ(TheBarcodeStyleList().GetCount(), before);
            EXPECT_EQ(barcode->m_styleName, QStringLiteral("Standard"));
        } else {
            EXPECT_EQ(messages.Count(), 0);
            ASSERT_EQ(TheBarcodeStyleList().GetCount(), before + 1);
            EXPECT_EQ(barcode->m_styleName, QStringLiteral("Wide"));
            ASSERT_NE(barcode->m_style, nullptr);
            EXPECT_TRUE(barcode->m_style->userDefined);
            EXPECT_EQ(barcode->m_style->ratio, 250);
            EXPECT_FLOAT_EQ(barcode->m_style->xDimension, 0.025f);
            EXPECT_EQ(Control<QComboBox>(Pane(), 1039)->currentText(), QStringLiteral("Wide"));
            EXPECT_TRUE(Control<QPushButton>(Pane(), 1537)->isEnabled());
            EXPECT_TRUE(frame->Document().IsModified());
        }
    }
    // Editing the user's style keeps its name and draws its barcodes anew.
    const WORD narrowBefore = barcode->m_elementWidths[0];
    CAnswer<CBarcodeStyleDlg> edit([](CBarcodeStyleDlg* dlg) {
        EXPECT_FALSE(Control<QLineEdit>(dlg, 1050)->isEnabled());
        EXPECT_EQ(Control<QLineEdit>(dlg, 1126)->text(), QStringLiteral("25.00"));
        EXPECT_EQ(Control<QLineEdit>(dlg, 1375)->text(), QStringLiteral("2.50"));
        Type(dlg, 1126, QStringLiteral("50"));
        dlg->accept();
    });
    Control<QPushButton>(Pane(), 1537)->click();
    ASSERT_TRUE(edit.Answered());
    EXPECT_EQ(barcode->m_style->name, QStringLiteral("Wide"));
    EXPECT_FLOAT_EQ(barcode->m_style->xDimension, 0.05f);
    EXPECT_EQ(barcode->m_elementWidths[0], 2 * narrowBefore);

    // "Wide" in another family is a name of its own.
    CBarcode* code128 = ChangeTo(SYM_CODE128_AUTO);
    ASSERT_NE(code128, nullptr);
    CAnswer<CBarcodeStyleDlg> other([](CBarcodeStyleDlg* dlg) {
        // Module codes have no ratio.
        EXPECT_FALSE(Control<QLineEdit>(dlg, 1375)->isEnabled());
        Type(dlg, 1050, QStringLiteral("Wide"));
        dlg->accept();
    });
    Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);
    Control<QPushButton>(Pane(), 1538)->click();
    ASSERT_TRUE(other.Answered());
    EXPECT_EQ(code128->m_styleName, QStringLiteral("Wide"));
    EXPECT_EQ(code128->m_style->family, FAMILY_CODE128);
    EXPECT_EQ(code128->m_style->ratio, 300) << "kept from the style it was made from";
}

// What the Formatting tab offers follows the symbology: an optional check
// digit can be switched and then shown, a fixed one is shown as the
// symbology has it; the human-readable font reaches every text part.
TEST_F(BarcodePaneTest, FormattingFollowsTheSymbology)
{
    ASSERT_NE(frame, nullptr);
    CBarcode* barcode = DrawBarcode(SYM_CODE39, CPoint(100, 100));
    ASSERT_NE(barcode, nullptr);
    Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);
    auto* calc = Control<QCheckBox>(Pane(), 1201);
    auto* include = Control<QCheckBox>(Pane(), 1199);
    if (barcode->m_calculateCheck)
        calc->click();
    EXPECT_FALSE(barcode->m_calculateCheck);
    EXPECT_TRUE(calc->isEnabled());
    EXPECT_FALSE(include->isEnabled());
    EXPECT_FALSE(include->isChecked());
    calc->click();
    EXPECT_TRUE(barcode->m_calculateCheck);
    EXPECT_TRUE(include->isEnabled());
    if (!include->isChecked())
        include->click();
    EXPECT_TRUE(barcode->m_showCheck);
    EXPECT_TRUE(barcode->m_humanReadable.contains(barcode->m_checkChars));
    // The note on the face: the outline faces installed draw alike on the
    // screen and the printer.
    EXPECT_EQ(Control<QLabel>(Pane(), 1165)->text(),
              QStringLiteral("This is a TrueType font. This same font will be used on both your "
                             "screen and your printer."));

    // The font: size and style for all four parts.
    auto* size = Control<QComboBox>(Pane(), 1040);
    size->setFocus();
    size->lineEdit()->selectAll();
    QTest::keyClicks(size->lineEdit(), QStringLiteral("14"));
    QTest::keyClick(size->lineEdit(), Qt::Key_Return);
    auto* style = Control<QComboBox>(Pane(), 1539);
    style->setCurrentIndex(2);
    emit style->activated(2);
    for (const CTextBase& part : barcode->m_texts) {
        EXPECT_NEAR(part.GetFont().HeightToPoints(), 14.0, 0.5);
        EXPECT_EQ(part.GetFont().GetLogFont().lfWeight, 700);
    }

    CBarcode* ean = ChangeTo(SYM_EAN13);
    ASSERT_NE(ean, nullptr);
    calc = Control<QCheckBox>(Pane(), 1201);
    include = Control<QCheckBox>(Pane(), 1199);
    EXPECT_FALSE(calc->isEnabled());
    EXPECT_TRUE(calc->isChecked());
    EXPECT_FALSE(include->isEnabled());
    EXPECT_TRUE(include->isChecked());
    // With fixed data every data rule is off and shows none.
    for (int id : {1076, 1078, 1277})
        EXPECT_FALSE(Control<QComboBox>(Pane(), id)->isEnabled()) << id;
}

// A symbology chosen in the preferences is placed without the dialog.
TEST_F(BarcodePaneTest, PreferredSymbologyIsPlacedWithoutAsking)
{
    ASSERT_NE(frame, nullptr);
    CBarcodePreferences::Current().type = SYM_CODE93;
    CAnswer<CSelectBarcodeTypeDlg> none([](CSelectBarcodeTypeDlg* dlg) { dlg->reject(); });
    frame->UpdateActionsNow();
    frame->Action(ID_TOOL_BARCODE)->trigger();
    EXPECT_FALSE(none.Answered());
    ASSERT_EQ(view->Mode(), MODE_BARCODE_PLACE);
    // Leaving the tool before the click places nothing.
    frame->Action(ID_TOOL_SELECT)->trigger();
    EXPECT_EQ(TheElementList().GetCount(), 0);
    frame->Action(ID_TOOL_BARCODE)->trigger();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(200, 200));
    ASSERT_NE(Primary(), nullptr);
    EXPECT_EQ(Primary()->GetSymbologyId(), SYM_CODE93);
    EXPECT_EQ(TheElementList().GetCount(), 1);
}

// The add-on radios of an EAN-13: adding puts the add-on's digits after the
// data, switching cuts the old ones first, and None cuts them only when the
// data really ends in the add-on.
TEST_F(BarcodePaneTest, AddOnsAddedAndRemoved)
{
    ASSERT_NE(frame, nullptr);
    DrawBarcode(SYM_CODE39, CPoint(100, 100));
    CBarcode* ean = ChangeTo(SYM_EAN13);
    ASSERT_NE(ean, nullptr);
    ASSERT_EQ(ean->GetSymbologyId(), SYM_EAN13);
    Type(Pane(), 1049, QStringLiteral("501234567890"));
    EXPECT_EQ(ean->m_data, QStringLiteral("501234567890"));
    frame->Document().SetModifiedFlag(false);
    struct Step
    {
        int radio;
        const char* data;
        int addOn;
    };
    const Step steps[] = {
        {1392, "50123456789012345", 5},
        {1391, "50123456789012", 2},
        {1220, "501234567890", 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.radio);
        Control<QRadioButton>(Pane(), s.radio)->click();
        EXPECT_EQ(ean->m_sampleData, QString::fromLatin1(s.data));
        EXPECT_EQ(ean->m_data, QString::fromLatin1(s.data));
        EXPECT_EQ(Control<QLineEdit>(Pane(), 1049)->text(), QString::fromLatin1(s.data));
        EXPECT_EQ(ean->GetAddOnDigits(), s.addOn);
        EXPECT_FALSE(ean->IsShowingInvalid());
        EXPECT_TRUE(frame->Document().IsModified());
    }
    // Data the add-on never took (too short for symbol and add-on) keeps
    // every character when the add-on goes.
    Control<QRadioButton>(Pane(), 1392)->click();
    Type(Pane(), 1049, QStringLiteral("5012345678"));
    EXPECT_TRUE(ean->IsShowingInvalid());
    Control<QRadioButton>(Pane(), 1220)->click();
    EXPECT_EQ(ean->m_data, QStringLiteral("5012345678"));
    EXPECT_EQ(ean->GetAddOnDigits(), 0);
    // A symbology without add-ons offers none.
    CBarcode* code39 = ChangeTo(SYM_CODE39);
    ASSERT_NE(code39, nullptr);
    EXPECT_FALSE(Control<QRadioButton>(Pane(), 1392)->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>(Pane(), 1220)->isChecked());
}

// A user draws a barcode, types its data, walks it through symbologies in
// the pane (the data stays), undoes an edit and prints the sign; the printed
// page reads back.
TEST_F(BarcodePaneTest, DrawnPickedThroughSymbologiesAndPrinted)
{
    ASSERT_NE(frame, nullptr);
    // The type dialog: Code 39 first, a live preview of the entry chosen.
    CAnswer<CSelectBarcodeTypeDlg> look([](CSelectBarcodeTypeDlg* dlg) {
        EXPECT_EQ(dlg->SelectedId(), SYM_CODE39);
        ASSERT_NE(dlg->Preview(), nullptr);
        EXPECT_EQ(dlg->Preview()->GetSymbologyId(), SYM_CODE39);
        EXPECT_FALSE(Control<QCheckBox>(dlg, 1386)->isEnabled()) << "no printer draws it";
        dlg->resize(600, 360);
        auto* list = Control<QListWidget>(dlg, 1089);
        EXPECT_TRUE(list->findItems(QStringLiteral("Code39 ASCII"), Qt::MatchExactly).isEmpty());
        list->setCurrentItem(list->findItems(QStringLiteral("UPC-A"), Qt::MatchExactly)[0]);
        EXPECT_EQ(dlg->Preview()->GetSymbologyId(), SYM_UPCA);
        EXPECT_FALSE(dlg->Preview()->IsShowingInvalid());
        SaveShot(dlg, QStringLiteral("select-barcode-type.png"));
        dlg->reject();
    });
    frame->UpdateActionsNow();
    frame->Action(ID_TOOL_BARCODE)->trigger();
    ASSERT_TRUE(look.Answered());
    EXPECT_EQ(view->Mode(), MODE_SELECT) << "Cancel places nothing";
    EXPECT_EQ(TheElementList().GetCount(), 0);

    CBarcode* barcode = DrawBarcode(SYM_CODE128_AUTO, CPoint(150, 200));
    ASSERT_NE(barcode, nullptr);
    EXPECT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(barcode->m_origin, CPoint(150, 200));
    EXPECT_TRUE(frame->Document().IsModified());
    ASSERT_STREQ(Pane()->metaObject()->className(), "CBarcodeView");
    EXPECT_EQ(Pane()->objectName(), QStringLiteral("id381"));
    EXPECT_EQ(Control<QLabel>(Pane(), 1181)->text(), QStringLiteral("Code128 - Auto"));

    frame->Document().SetModifiedFlag(false);
    Type(Pane(), 1049, QStringLiteral("TABREL42"));
    EXPECT_EQ(barcode->m_data, QStringLiteral("TABREL42"));
    EXPECT_TRUE(frame->Document().IsModified());
    // The orientation is its own edit, and Undo takes it back alone.
    auto* orientation = Control<QComboBox>(Pane(), 1012);
    orientation->setCurrentIndex(1);
    emit orientation->activated(1);
    EXPECT_EQ(barcode->m_orientation, 90);
    frame->UpdateActionsNow();
    frame->Action(ID_EDIT_UNDO)->trigger();
    ASSERT_EQ(TheElementList().GetCount(), 1);
    auto* undone = dynamic_cast<CBarcode*>(TheElementList().GetAt(0));
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->m_orientation, 0);
    EXPECT_EQ(undone->m_data, QStringLiteral("TABREL42"));
    ASSERT_TRUE(frame->SwitchElementView(undone));
    view->Selection().AddElement(undone);

    // Through the pane's Change..., each symbology in turn; the data stays
    // and the pane follows the symbology.
    std::vector<int> symbologies;
    for (int id = 0; id < kSymbologyCount; ++id) {
        if (GetSymbology(id).listed && BarcodeClassName(id) && CBarcodeView::EditsSymbology(id) &&
            id != SYM_CODE128_AUTO)
            symbologies.push_back(id);
    }
    EXPECT_GE(symbologies.size(), 20u);
    symbologies.push_back(SYM_CODE39);
    for (int id : symbologies) {
        SCOPED_TRACE(id);
        CBarcode* changed = ChangeTo(id);
        ASSERT_NE(changed, nullptr);
        EXPECT_EQ(changed->GetSymbologyId(), id);
        EXPECT_EQ(changed->m_sampleData, QStringLiteral("TABREL42"));
        EXPECT_EQ(changed->m_origin, CPoint(150, 200));
        EXPECT_EQ(TheElementList().GetCount(), 1);
        ASSERT_STREQ(Pane()->metaObject()->className(), "CBarcodeView");
        EXPECT_EQ(Control<QLineEdit>(Pane(), 1049)->text(), QStringLiteral("TABREL42"));
        EXPECT_EQ(Control<QLabel>(Pane(), 1181)->text(),
                  QString::fromLatin1(GetSymbology(id).name));
        // The postal codes have no height, style or human-readable line to
        // edit.
        Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);
        const bool postal = GetSymbology(id).family == FAMILY_POSTAL;
        EXPECT_EQ(Control<QLineEdit>(Pane(), 1007)->isEnabled(), !postal);
        EXPECT_EQ(Control<QPushButton>(Pane(), 1538)->isEnabled(), !postal);
        EXPECT_EQ(Control<QCheckBox>(Pane(), 1198)->isEnabled(), !postal);
    }
    CBarcode* code39 = Primary();
    ASSERT_NE(code39, nullptr);
    // A barcode fed by a data path keeps its symbology.
    code39->m_dataSource = SOURCE_KEYBOARD;
    messages.Clear();
    frame->UpdateActionsNow();
    frame->Action(ID_CHANGE_SYMBOLOGY)->trigger();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(),
              QStringLiteral("Symbology change not permitted for variable barcodes."));
    EXPECT_EQ(Primary(), code39);
    code39->m_dataSource = SOURCE_FIXED;
    EXPECT_FALSE(code39->IsShowingInvalid());
    // Code 39's check digit is optional: shown only once it is calculated.
    Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);
    SaveShot(Pane(), QStringLiteral("barcode-pane-formatting.png"));
    Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(0);
    SaveShot(Pane(), QStringLiteral("barcode-pane.png"));

    // Printed to a file through File > Print.
    const QString pdf = home.FilePath("barcode.pdf");
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    CAnswer<CPrintSignDlg> print([](CPrintSignDlg* dlg) {
        auto* where = Control<QComboBox>(dlg, CPrintSignDlg::IDC_DESTINATION);
        where->setCurrentIndex(where->findText(QStringLiteral("File")));
        Control<QSpinBox>(dlg, CPrintSignDlg::IDC_COPIES)->setValue(1);
        dlg->accept();
    });
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_PRINT)->trigger();
    ASSERT_TRUE(print.Answered());
    FrameHooks().chooseFile = nullptr;
    ASSERT_TRUE(QFile::exists(pdf));
    const QString prefix = pdf + QStringLiteral("-page");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                  QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
    ASSERT_TRUE(render.waitForFinished(60000));
    const QImage page =
        QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(page.isNull());
    const ZXing::ImageView image(page.constBits(), page.width(), page.height(),
                                 ZXing::ImageFormat::Lum, int(page.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39);
    const ZXing::Result result = ZXing::ReadBarcode(image, hints);
    ASSERT_TRUE(result.isValid());
    // The reader leaves Code 39's check character (when one is made) on.
    EXPECT_EQ(result.text(), (QStringLiteral("TABREL42") + code39->m_checkChars).toStdString());
}

} // namespace

// The data rules of a typed barcode: each length rule stores the length
// the pane shows, Minimum pads with the character given, Custom and Pad
// move the focus to their boxes, and the sign prints through the print
// station with the rule in force.
TEST_F(BarcodePaneTest, LengthRulesKeepTheLengthShownAndPrint)
{
    ASSERT_NE(frame, nullptr);
    CBarcode* code = DrawBarcode(SYM_CODE39, CPoint(150, 200));
    ASSERT_NE(code, nullptr);
    code->m_name = QStringLiteral("Code");
    Type(Pane(), 1049, QStringLiteral("TAB42"));
    auto* source = Control<QComboBox>(Pane(), 1000);
    const int keyboard = source->findData(SOURCE_KEYBOARD);
    source->setCurrentIndex(keyboard);
    emit source->activated(keyboard);
    ASSERT_EQ(code->m_dataSource, SOURCE_KEYBOARD);
    Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);

    auto* length = Control<QComboBox>(Pane(), 1277);
    auto* value = Control<QLineEdit>(Pane(), 1278);
    auto* pad = Control<QComboBox>(Pane(), 1280);
    auto* padChar = Control<QLineEdit>(Pane(), 1272);
    auto* filter = Control<QComboBox>(Pane(), 1076);
    ASSERT_TRUE(length && value && pad && padChar && filter);
    auto choose = [](QComboBox* combo, const QString& text) {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    for (const char* rule : {"Fixed", "Maximum", "Minimum"}) {
        SCOPED_TRACE(rule);
        choose(length, QString::fromLatin1(rule));
        EXPECT_EQ(code->m_lengthConstraint, length->currentIndex());
        EXPECT_EQ(value->text(), QStringLiteral("5")) << "the length of the data entered";
        EXPECT_EQ(code->m_lengthLimit, 5) << "the rule keeps the length it shows";
        EXPECT_EQ(frame->focusWidget(), value);
        choose(length, QStringLiteral("Unrestricted"));
    }
    // Minimum pads to the length typed, with the character typed.
    choose(length, QStringLiteral("Minimum"));
    Type(Pane(), 1278, QStringLiteral("8"));
    EXPECT_EQ(code->m_lengthLimit, 8);
    choose(pad, QStringLiteral("Left"));
    EXPECT_EQ(frame->focusWidget(), padChar);
    QTest::keyClicks(padChar, QStringLiteral("0"));
    EXPECT_EQ(code->m_paddingChar, BYTE('0'));
    EXPECT_EQ(code->m_data, QStringLiteral("000TAB42"));
    EXPECT_FALSE(code->IsShowingInvalid());
    choose(filter, QStringLiteral("Custom"));
    EXPECT_EQ(frame->focusWidget(), Control<QLineEdit>(Pane(), 1271));
    choose(filter, QStringLiteral("None"));
    // The pane shown again shows what the element holds.
    frame->SwitchElementView(nullptr);
    ASSERT_TRUE(frame->SwitchElementView(code));
    EXPECT_EQ(Control<QComboBox>(Pane(), 1277)->currentText(), QStringLiteral("Minimum"));
    EXPECT_EQ(Control<QLineEdit>(Pane(), 1278)->text(), QStringLiteral("8"));
    EXPECT_EQ(Control<QComboBox>(Pane(), 1280)->currentText(), QStringLiteral("Left"));
    EXPECT_EQ(Control<QLineEdit>(Pane(), 1272)->text(), QStringLiteral("0"));

    // At most 8 characters: the typed data prints and reads back.
    Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);
    choose(Control<QComboBox>(Pane(), 1277), QStringLiteral("Maximum"));
    EXPECT_EQ(code->m_lengthLimit, 8);
    EXPECT_EQ(code->m_data, QStringLiteral("TAB42"));
    const QString pdf = home.FilePath("rules.pdf");
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_PRINT)->trigger();
    CPrintCommands* commands = CPrintCommands::Of(frame);
    ASSERT_NE(commands, nullptr);
    ASSERT_TRUE(commands->IsStationOpen());
    CPrintBatchDlg* batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    Control<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION)->setCurrentIndex(1);
    ASSERT_EQ(batch->Destination(), 1);
    messages.Clear();
    Control<QPushButton>(batch, CPrintBatchDlg::IDC_PRINT)->click();
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    auto* back = Control<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    back->click();
    if (commands->IsStationOpen())
        back->click();
    FrameHooks().chooseFile = nullptr;
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QImage page = RenderPdfPage(pdf, 1, 300).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(page.isNull());
    const ZXing::Result result =
        ZXing::ReadBarcode(ZXing::ImageView(page.constBits(), page.width(), page.height(),
                                            ZXing::ImageFormat::Lum, int(page.bytesPerLine())),
                           ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::Code39));
    ASSERT_TRUE(result.isValid());
    EXPECT_EQ(result.text(), (QStringLiteral("TAB42") + code->m_checkChars).toStdString());
}

// A GS1 DataBar is placed in the kind picked in Select GS1 DataBar Type;
// Cancel places nothing.
TEST_F(BarcodePaneTest, DataBarIsPlacedInTheKindPicked)
{
    ASSERT_NE(frame, nullptr);
    CBarcodePreferences::Current().type = SYM_GS1_DATABAR;
    frame->UpdateActionsNow();
    {
        CAnswer<CGS1DataBarTypeDlg> cancel([](CGS1DataBarTypeDlg* dlg) { dlg->reject(); });
        frame->Action(ID_TOOL_BARCODE)->trigger();
        EXPECT_TRUE(cancel.Answered());
        EXPECT_NE(view->Mode(), MODE_BARCODE_PLACE);
    }
    CAnswer<CGS1DataBarTypeDlg> limited([](CGS1DataBarTypeDlg* dlg) {
        dlg->SelectIndex(CGS1DataBar::kLimited - 1);
        dlg->accept();
    });
    // Its GS1 data is made with it: a GTIN alone, for a kind other than
    // Expanded.
    bool gtinAlone = false;
    CAnswer<CUccEanDataDlg> data([&gtinAlone](CUccEanDataDlg* dlg) {
        gtinAlone = !dlg->AddButton()->isEnabled() && dlg->List()->topLevelItemCount() == 1;
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), QStringLiteral("09501101530003"));
        dlg->accept();
    });
    frame->Action(ID_TOOL_BARCODE)->trigger();
    ASSERT_EQ(view->Mode(), MODE_BARCODE_PLACE);
    ASSERT_TRUE(data.Answered());
    EXPECT_TRUE(gtinAlone);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(200, 200));
    auto* bar = dynamic_cast<CGS1DataBar*>(Primary());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetDataBarType(), CGS1DataBar::kLimited);
    EXPECT_FALSE(bar->IsShowingInvalid());
    EXPECT_EQ(bar->m_dataSource, SOURCE_GS1);
    EXPECT_EQ(bar->m_data, QStringLiteral("0109501101530003"));
    EXPECT_EQ(TheElementList().GetCount(), 1);
}

// The human-readable text takes its face from the list of the printer's
// faces: a face clicked goes to all four text parts and the note says how
// it is drawn; a click beside the faces keeps the face chosen.
TEST_F(BarcodePaneTest, HumanReadableFaceIsPickedFromTheFaceList)
{
    ASSERT_NE(frame, nullptr);
    CBarcode* barcode = DrawBarcode(SYM_CODE39, CPoint(100, 100));
    ASSERT_NE(barcode, nullptr);
    Control<QTabWidget>(Pane(), 1092)->setCurrentIndex(1);
    auto* human = Control<QCheckBox>(Pane(), 1198);
    auto* faces = Control<CListCtrlEx>(Pane(), 1164);
    ASSERT_TRUE(human && faces);
    if (!barcode->m_showHumanReadable)
        human->click();
    ASSERT_TRUE(barcode->m_showHumanReadable);
    ASSERT_TRUE(faces->isEnabled());
    ASSERT_GE(faces->ItemCount(), 2);
    const QString before = barcode->m_texts[0].GetFont().GetFaceName();
    ASSERT_GE(faces->SelectedItem(), 0);
    const QString shown = faces->CellText(faces->SelectedItem(), 0);
    EXPECT_EQ(shown.compare(before, Qt::CaseInsensitive), 0);
    // Each face with the picture of its kind.
    for (int row = 0; row < faces->ItemCount(); ++row)
        EXPECT_FALSE(faces->item(row, 0)->icon().isNull()) << faces->CellText(row, 0).toStdString();

    int row = 0;
    while (row < faces->ItemCount() && faces->CellText(row, 0) == shown)
        ++row;
    QTableWidgetItem* other = faces->item(row, 0);
    const QString chosen = other->text();
    faces->scrollToItem(other);
    QTest::mouseClick(faces->viewport(), Qt::LeftButton, Qt::NoModifier,
                      faces->visualItemRect(other).center());
    EXPECT_EQ(faces->SelectedItem(), row);
    for (const CTextBase& part : barcode->m_texts)
        EXPECT_EQ(part.GetFont().GetFaceName(), chosen);
    const bool trueType = (CLogFont::EnumerateFace(chosen) & 0x04) != 0;
    EXPECT_EQ(Control<QLabel>(Pane(), 1165)->text(),
              trueType ? QStringLiteral("This is a TrueType font. This same font will be used on "
                                        "both your screen and your printer.")
                       : QStringLiteral("This is a printer font. The closest matching Windows "
                                        "font will be used on your screen."));
    EXPECT_TRUE(frame->Document().IsModified());

    // Ctrl+click takes the face out of the selection: it is selected again.
    QTest::mouseClick(faces->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      faces->visualItemRect(other).center());
    ASSERT_GE(faces->SelectedItem(), 0);
    EXPECT_EQ(faces->CellText(faces->SelectedItem(), 0), chosen);
    EXPECT_EQ(barcode->m_texts[0].GetFont().GetFaceName(), chosen);

    // Shown again, the pane selects the element's face.
    frame->SwitchElementView(nullptr);
    ASSERT_TRUE(frame->SwitchElementView(barcode));
    faces = Control<CListCtrlEx>(Pane(), 1164);
    ASSERT_TRUE(faces && faces->SelectedItem() >= 0);
    EXPECT_EQ(faces->CellText(faces->SelectedItem(), 0), chosen);
}
