// Prices as a user meets them in the designer's real main frame: the Price
// tool, the price pane's two tabs, the "Price Font - Advanced" dialog, and
// the Prices menu with the price format wizard, the edit sheet and Select
// Price Format.
#include "AppContext.h"
#include "Commands.h"
#include "ControlById.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "ElementView.h"
#include "ListCtrlEx.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "PriceField.h"
#include "PriceFontDlg.h"
#include "PriceFormatList.h"
#include "PriceFormatWizard.h"
#include "PriceSample.h"
#include "PriceSampleWnd.h"
#include "PriceView.h"
#include "SelectPriceFormatDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

namespace {

using P = CPriceFormat;

template <class W> W* Named(QWidget* parent, const char* name)
{
    W* w = parent ? parent->findChild<W*>(QString::fromLatin1(name)) : nullptr;
    EXPECT_NE(w, nullptr) << "control " << name;
    return w;
}

void TypeInto(QLineEdit* edit, const QString& text)
{
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Type(QWidget* parent, int id, const QString& text)
{
    TypeInto(Control<QLineEdit>(parent, id), text);
}

// With TABREL_SHOTS set, a picture of the widget for the record.
void SaveShot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("TABREL_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name);
}

// A face clicked in a face list, as the user picks it.
void ClickFace(CListCtrlEx* list, int row)
{
    ASSERT_GE(row, 0);
    QTableWidgetItem* item = list->item(row, 0);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
}

void Choose(QComboBox* combo, int index)
{
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class PricePaneTest : public CDesignerTest
{
protected:
    PricePaneTest() : CDesignerTest(QSize(1300, 900), false) {}

    CPriceField* Primary() const { return dynamic_cast<CPriceField*>(view->Selection().Primary()); }
    bool Run(int id)
    {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(id);
        if (!action || !action->isEnabled())
            return false;
        action->trigger();
        return true;
    }

    // The Price tool, then a click on the canvas.
    CPriceField* PlacePrice(CPoint at)
    {
        EXPECT_TRUE(Run(ID_TOOL_PRICE));
        EXPECT_EQ(view->Mode(), MODE_PRICE_PLACE);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(at.x, at.y));
        EXPECT_EQ(view->Mode(), MODE_SELECT);
        return Primary();
    }

    // A format added as the wizard would, without the wizard.
    CPriceFormat* AddFormat(const QString& name, const QString& symbol)
    {
        CPriceFormat f = *ThePriceFormatList().GetStandardFormat();
        f.m_name = name;
        f.SetPartText(P::PART_PRIMARY_SYMBOL, symbol);
        f.SetPartText(P::PART_DECIMAL_SEPARATOR, ".");
        return ThePriceFormatList().AddFormat(f);
    }
};

// --- the tool and the Text tab ---------------------------------------------------

TEST_F(PricePaneTest, ThePriceToolPlacesAPriceAndItsPaneEditsIt)
{
    ASSERT_NE(frame, nullptr);
    CPriceField* price = PlacePrice(CPoint(300, 300));
    ASSERT_NE(price, nullptr);
    EXPECT_EQ(TheElementList().GetCount(), 1);
    EXPECT_EQ(price->m_units, "12"); // the sample 12.34
    EXPECT_EQ(price->m_hundredths, "34");
    EXPECT_TRUE(frame->Document().IsModified());
    auto* pane = qobject_cast<CPriceView*>(Pane());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(Control<QLineEdit>(pane, 1051)->text(), "12");
    EXPECT_EQ(Control<QLineEdit>(pane, 1052)->text(), "34");
    // A price never prints natively.
    EXPECT_FALSE(Control<QRadioButton>(pane, 1386)->isEnabled());

    // The sample amounts: the secondary keeps two characters.
    Type(pane, 1051, "249");
    Type(pane, 1052, "123");
    EXPECT_EQ(price->m_units, "249");
    EXPECT_EQ(price->m_hundredths, "12");
    EXPECT_EQ(price->Part(P::PART_PRIMARY_AMOUNT).GetText(), "249");
    EXPECT_EQ(price->Part(P::PART_SECONDARY_AMOUNT).GetText(), "12");

    // The angle turns all five parts.
    Type(pane, 1029, "45");
    EXPECT_EQ(price->GetAngle(), 45);
    for (int i = 0; i < CPriceField::kPartCount; ++i)
        EXPECT_EQ(price->Part(i).GetFont().GetLogFont().lfOrientation, 3150) << i;
    // Out of range: refused with a message, the angle stays.
    messages.Clear();
    Type(pane, 1029, "-5");
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(price->GetAngle(), 45);

    // The source block: the price takes its data from the keyboard, and
    // "Combination" is offered as on every pane with data.
    auto* type = Control<QComboBox>(pane, 1000);
    ASSERT_NE(type, nullptr);
    EXPECT_GE(type->findText("Combination"), 0);
    Choose(type, type->findData(SOURCE_KEYBOARD));
    EXPECT_EQ(price->m_dataSource, SOURCE_KEYBOARD);

    // X moves the price.
    const int placedX = price->m_position.x;
    Type(pane, 1002, "50");
    EXPECT_EQ(price->m_position.x, 500);

    // Undo takes back the last edit first, and the element stays selected
    // with its pane.
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    auto* undone = dynamic_cast<CPriceField*>(TheElementList().GetAt(0));
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->m_position.x, placedX);
    EXPECT_EQ(undone->GetAngle(), 45);
}

TEST_F(PricePaneTest, TheTypefaceShowsTheElementsFaceEvenWhenItIsNotInstalled)
{
    ASSERT_NE(frame, nullptr);
    // New prices are in "Arial", which this machine lacks (another face
    // stands in for it when drawn).
    ASSERT_FALSE(CElementView::PrinterFaces().contains("Arial"));
    CPriceField* price = PlacePrice(CPoint(300, 300));
    ASSERT_NE(price, nullptr);
    ASSERT_EQ(price->Part(P::PART_PRIMARY_AMOUNT).GetFont().GetFaceName(), "Arial");
    auto* pane = qobject_cast<CPriceView*>(Pane());
    ASSERT_NE(pane, nullptr);
    auto* faces = Control<CListCtrlEx>(pane, 1164);
    ASSERT_NE(faces, nullptr);
    EXPECT_EQ(faces->SelectedItem(), 0);
    EXPECT_EQ(faces->FindItemText("Arial"), 0);

    // Another face, then Arial again from the list: each is taken.
    ClickFace(faces, faces->FindItemText("Liberation Mono"));
    EXPECT_EQ(price->Part(P::PART_PRIMARY_AMOUNT).GetFont().GetFaceName(), "Liberation Mono");
    ClickFace(faces, faces->FindItemText("Arial"));
    EXPECT_EQ(price->Part(P::PART_PRIMARY_AMOUNT).GetFont().GetFaceName(), "Arial");

    // Selected again later, the pane still lists the face once.
    frame->SwitchElementView(nullptr);
    frame->SwitchElementView(price);
    pane = qobject_cast<CPriceView*>(Pane());
    ASSERT_NE(pane, nullptr);
    faces = Control<CListCtrlEx>(pane, 1164);
    EXPECT_EQ(faces->CellText(faces->SelectedItem(), 0), "Arial");
    int arial = 0;
    for (int i = 0; i < faces->ItemCount(); ++i)
        arial += faces->CellText(i, 0) == "Arial" ? 1 : 0;
    EXPECT_EQ(arial, 1);
}

TEST_F(PricePaneTest, SingleTypefaceAndTheAdvancedFontDialog)
{
    ASSERT_NE(frame, nullptr);
    // A format without a primary symbol: the font dialog's first part is
    // the primary amount.
    CPriceFormat* plain = AddFormat("Plain", "");
    CPriceField* price = PlacePrice(CPoint(300, 300));
    ASSERT_NE(price, nullptr);
    price->SetFormat(nullptr, plain);
    frame->SwitchElementView(price);
    auto* pane = qobject_cast<CPriceView*>(Pane());
    ASSERT_NE(pane, nullptr);
    auto* single = Control<QCheckBox>(pane, 1197);
    auto* advanced = Control<QPushButton>(pane, 1196);
    ASSERT_TRUE(single && advanced);
    // New prices have one typeface: Advanced... waits.
    EXPECT_TRUE(single->isChecked());
    EXPECT_FALSE(advanced->isEnabled());

    // With Single Typeface cleared, a face changes only the size of the
    // primary amount, not the parts' typefaces.
    single->click();
    EXPECT_TRUE(advanced->isEnabled());
    auto* faces = Control<CListCtrlEx>(pane, 1164);
    const int courier = faces->FindItemText("Liberation Mono");
    ASSERT_GE(courier, 0);
    const QString before = price->Part(0).GetFont().GetFaceName();
    ClickFace(faces, courier);
    for (int i = 0; i < CPriceField::kPartCount; ++i)
        EXPECT_EQ(price->Part(i).GetFont().GetFaceName(), before) << i;

    // The advanced dialog: Bold on the secondary amount only.
    bool sawFirst = false;
    CAnswer<CPriceFontDlg> answer([&](CPriceFontDlg* dlg) {
        Named<QPushButton>(dlg, "first")->click();
        sawFirst = dlg->CurrentPart() == P::PART_PRIMARY_AMOUNT;
        // The part's face shows, though this machine lacks it.
        auto* typeface = Named<CListCtrlEx>(dlg, "typeface");
        ASSERT_NE(typeface, nullptr);
        ASSERT_EQ(typeface->selectedItems().size(), 1);
        EXPECT_EQ(typeface->CellText(typeface->SelectedItem(), 0), before);
        // Each face with the picture of its kind: Liberation Serif has
        // TrueType outlines.
        const int serif = typeface->FindItemText("Liberation Serif");
        ASSERT_GE(serif, 0);
        EXPECT_EQ(typeface->ItemImage(serif), 0);
        for (int row = 0; row < typeface->ItemCount(); ++row)
            EXPECT_FALSE(typeface->item(row, 0)->icon().isNull())
                << typeface->CellText(row, 0).toStdString();
        EXPECT_EQ(Named<QLabel>(dlg, "partName")->text(), "Primary Amount");
        EXPECT_FALSE(Named<QPushButton>(dlg, "apply")->isEnabled());
        Named<QPushButton>(dlg, "next")->click(); // the separator
        Named<QPushButton>(dlg, "next")->click(); // the secondary amount
        EXPECT_EQ(dlg->CurrentPart(), P::PART_SECONDARY_AMOUNT);
        auto* style = Named<QComboBox>(dlg, "style");
        Choose(style, 2); // Bold
        EXPECT_TRUE(Named<QPushButton>(dlg, "apply")->isEnabled());
        Named<QPushButton>(dlg, "apply")->click();
        EXPECT_FALSE(Named<QPushButton>(dlg, "apply")->isEnabled());
        EXPECT_EQ(dlg->Sample().Part(3).GetFont().GetStyleIndex(), 2);
        SaveShot(dlg, "price-font-advanced.png");
        dlg->accept();
    });
    const int height = price->Part(1).GetFont().GetHeight();
    advanced->click();
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(sawFirst);
    EXPECT_EQ(price->Part(3).GetFont().GetStyleIndex(), 2);
    EXPECT_EQ(price->Part(1).GetFont().GetStyleIndex(), 0);
    // The element keeps its own size, not the sample's fitted one.
    EXPECT_EQ(price->Part(1).GetFont().GetHeight(), height);
    EXPECT_FALSE(price->HasUniformTypeface());

    // Cancelled, the dialog changes nothing.
    CAnswer<CPriceFontDlg> cancel([](CPriceFontDlg* dlg) {
        Choose(Named<QComboBox>(dlg, "style"), 3);
        dlg->reject();
    });
    advanced->click();
    ASSERT_TRUE(cancel.Answered());
    EXPECT_EQ(price->Part(1).GetFont().GetStyleIndex(), 0);

    // Single Typeface again: every part in one face and style.
    single->click();
    EXPECT_FALSE(advanced->isEnabled());
    EXPECT_TRUE(price->HasUniformTypeface());
}

// --- the Formatting tab ---------------------------------------------------------------

TEST_F(PricePaneTest, FormattingTabEnablesWhatAppliesAndEditsTheFrame)
{
    ASSERT_NE(frame, nullptr);
    CPriceField* price = PlacePrice(CPoint(300, 300));
    ASSERT_NE(price, nullptr);
    auto* pane = qobject_cast<CPriceView*>(Pane());
    ASSERT_NE(pane, nullptr);
    Control<QTabWidget>(pane, 1092)->setCurrentIndex(1);
    auto* view = Control<QPushButton>(pane, 1185);
    auto* height = Control<QLineEdit>(pane, 1007);
    auto* width = Control<QLineEdit>(pane, 1008);
    auto* vert = Control<QComboBox>(pane, 1080);
    // Only the standard format: nothing to view.
    EXPECT_FALSE(view->isEnabled());
    EXPECT_FALSE(height->isEnabled());
    EXPECT_FALSE(width->isEnabled());

    struct Case
    {
        bool copyFit;
        int horz;
        bool widthOn;
        bool heightOn;
    };
    const Case cases[] = {
        {false, 1, true, false}, // centred: the width counts, the height not
        {false, 2, true, false},
        {false, 0, false, false},
        {true, 0, true, true},
    };
    for (const Case& c : cases) {
        auto* fit = Control<QCheckBox>(pane, 1173);
        if (fit->isChecked() != c.copyFit)
            fit->click();
        Choose(Control<QComboBox>(pane, 1079), c.horz);
        EXPECT_EQ(width->isEnabled(), c.widthOn) << c.copyFit << c.horz;
        EXPECT_EQ(height->isEnabled(), c.heightOn) << c.copyFit << c.horz;
        EXPECT_EQ(vert->isEnabled(), c.copyFit) << c.copyFit << c.horz;
        EXPECT_EQ(price->m_copyFit != 0, c.copyFit);
        EXPECT_EQ(price->m_horzJustify, c.horz);
    }
    // A frame of 80 x 30 mm, copy-fitted: the price grows into it.
    Type(pane, 1008, "80");
    Type(pane, 1007, "30");
    SaveShot(frame, "price-pane-formatting.png");
    EXPECT_EQ(price->m_formatRect.Width(), 800);
    EXPECT_EQ(price->m_formatRect.Height(), 300);
    EXPECT_GT(price->m_layoutRect.Height(), 200);
    EXPECT_LE(price->m_layoutRect.Height(), 300);

    // The cross-out's controls appear with it.
    auto* pattern = Control<QComboBox>(pane, 1058);
    EXPECT_FALSE(pattern->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(pane, 1048)->isVisibleTo(pane));
    Control<QCheckBox>(pane, 1057)->click();
    EXPECT_TRUE(price->m_crossOut);
    EXPECT_TRUE(pattern->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(pane, 1048)->isVisibleTo(pane));
    Choose(pattern, 2);
    Type(pane, 1013, ".5");
    EXPECT_EQ(price->m_crossOutPattern, CROSS_OUT_BOTH);
    EXPECT_EQ(price->Stroke(0).m_thickness, 5);
    EXPECT_EQ(price->Stroke(1).m_thickness, 5);

    // Colours: a chosen colour reaches every part, a cancelled one nothing.
    CColourSwatch::Chooser saved = CColourSwatch::ColourChooser();
    bool pick = true;
    CColourSwatch::ColourChooser() = [&pick](QWidget*, COLORREF& colour) {
        colour = MakeRGB(0, 0, 255);
        return pick;
    };
    Control<QPushButton>(pane, 1044)->click();
    for (int i = 0; i < CPriceField::kPartCount; ++i)
        EXPECT_EQ(price->Part(i).GetColour(), MakeRGB(0, 0, 255)) << i;
    EXPECT_FALSE(Control<QPushButton>(pane, 1046)->isVisibleTo(pane));
    Control<QCheckBox>(pane, 1204)->click();
    EXPECT_TRUE(Control<QPushButton>(pane, 1046)->isVisibleTo(pane));
    pick = false;
    Control<QPushButton>(pane, 1046)->click();
    EXPECT_EQ(price->m_backgroundColour, MakeRGB(255, 255, 255));
    CColourSwatch::ColourChooser() = saved;
    EXPECT_TRUE(price->m_colouredBackground);

    // Selected again, the price keeps its pane on the tab it was showing.
    auto* tabs = Control<QTabWidget>(pane, 1092);
    ASSERT_TRUE(frame->SwitchElementView(price));
    EXPECT_EQ(Pane(), pane);
    EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(PricePaneTest, ViewChoosesTheFormatInSelectPriceFormat)
{
    ASSERT_NE(frame, nullptr);
    AddFormat("Deli", "EUR");
    CPriceField* price = PlacePrice(CPoint(300, 300));
    ASSERT_NE(price, nullptr);
    auto* pane = qobject_cast<CPriceView*>(Pane());
    ASSERT_NE(pane, nullptr);
    Control<QTabWidget>(pane, 1092)->setCurrentIndex(1);
    auto* view = Control<QPushButton>(pane, 1185);
    ASSERT_TRUE(view->isEnabled());

    // Cancel changes nothing.
    CAnswer<CSelectPriceFormatDlg> cancel([](CSelectPriceFormatDlg* dlg) {
        // The dialog opens on the element's format.
        EXPECT_EQ(dlg->ChosenName(), "Standard Format");
        dlg->reject();
    });
    view->click();
    ASSERT_TRUE(cancel.Answered());
    EXPECT_EQ(price->GetFormatName(), "Standard Format");

    // A double-click chooses.
    CAnswer<CSelectPriceFormatDlg> choose([](CSelectPriceFormatDlg* dlg) {
        auto* list = Named<QListWidget>(dlg, "formats");
        const QList<QListWidgetItem*> deli = list->findItems("Deli", Qt::MatchExactly);
        ASSERT_EQ(deli.size(), 1);
        list->setCurrentItem(deli.front());
        EXPECT_EQ(dlg->ChosenName(), "Deli");
        // The sample draws with the chosen format.
        EXPECT_EQ(dlg->findChild<CPriceSampleWnd*>() != nullptr, true);
        emit list->itemDoubleClicked(deli.front());
    });
    view->click();
    ASSERT_TRUE(choose.Answered());
    EXPECT_EQ(price->GetFormatName(), "Deli");
    EXPECT_EQ(price->Part(P::PART_PRIMARY_SYMBOL).GetText(), "EUR");
    EXPECT_EQ(Control<QComboBox>(pane, 1059)->currentText(), "Deli");
}

// --- the Prices menu ---------------------------------------------------------------------

TEST_F(PricePaneTest, TheWizardMakesANewFormatAndRefusesBadInput)
{
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->Action(ID_PRICE_FORMAT_EDIT)->isEnabled());
    bool done = false;
    CAnswer<CPriceFormatWizard> answer([&](CPriceFormatWizard* wizard) {
        const auto page = [wizard] { return wizard->currentPage(); };
        const auto next = [wizard] { wizard->button(QWizard::NextButton)->click(); };
        // Primary symbol: typed, and a suffix.
        EXPECT_EQ(page()->objectName(), "pricePart0");
        EXPECT_EQ(Named<QCheckBox>(page(), "always")->text(), "&Prefix");
        Named<QRadioButton>(page(), "symbolOn")->click();
        TypeInto(Named<QLineEdit>(page(), "symbol"), "GBP");
        // The size's arrows sit whole beside it and step it by one.
        {
            auto* size = Named<QLineEdit>(page(), "size");
            auto* arrows = Named<QWidget>(page(), "upDown");
            ASSERT_NE(arrows, nullptr);
            EXPECT_GE(arrows->width(), arrows->minimumSizeHint().width());
            EXPECT_GE(arrows->height(), arrows->minimumSizeHint().height());
            const QString before = size->text();
            auto* up = Named<QToolButton>(arrows, "up");
            auto* down = Named<QToolButton>(arrows, "down");
            ASSERT_TRUE(up && down);
            // 100 % is the most: up stops there.
            EXPECT_EQ(before, "100");
            QTest::mouseClick(down, Qt::LeftButton);
            EXPECT_EQ(size->text(), "99");
            QTest::mouseClick(up, Qt::LeftButton);
            QTest::mouseClick(up, Qt::LeftButton);
            EXPECT_EQ(size->text(), before);
        }
        Named<QCheckBox>(page(), "never")->click();
        EXPECT_FALSE(Named<QCheckBox>(page(), "always")->isChecked());
        next();
        // Thousands separator: its page has no size.
        EXPECT_EQ(page()->objectName(), "pricePart5");
        EXPECT_FALSE(Named<QLineEdit>(page(), "size")->isVisibleTo(page()));
        Named<QRadioButton>(page(), "symbolOn")->click();
        TypeInto(Named<QLineEdit>(page(), "symbol"), ",");
        next();
        EXPECT_EQ(page()->objectName(), "pricePart2");
        next();
        // Secondary amount: 5 % is refused, 50 % also sizes the separator.
        EXPECT_EQ(page()->objectName(), "pricePart3");
        messages.Clear();
        TypeInto(Named<QLineEdit>(page(), "size"), "5");
        next();
        EXPECT_EQ(page()->objectName(), "pricePart3");
        EXPECT_EQ(messages.Count(), 1);
        TypeInto(Named<QLineEdit>(page(), "size"), "50");
        Choose(Named<QComboBox>(page(), "alignment"), P::ALIGN_TOP);
        SaveShot(wizard, "price-wizard-secondary.png");
        Named<QCheckBox>(page(), "onlyIfNonZero")->click();
        next();
        // Secondary symbol: typing one hides the primary amount.
        EXPECT_EQ(page()->objectName(), "pricePart4");
        auto* showPrimary = Named<QCheckBox>(page(), "showPrimary");
        EXPECT_TRUE(showPrimary->isChecked());
        // "None" is chosen and the symbol waits until the symbol is chosen.
        EXPECT_FALSE(Named<QLineEdit>(page(), "symbol")->isEnabled());
        Named<QRadioButton>(page(), "symbolOn")->click();
        EXPECT_TRUE(Named<QLineEdit>(page(), "symbol")->isEnabled());
        TypeInto(Named<QLineEdit>(page(), "symbol"), "p");
        EXPECT_FALSE(showPrimary->isChecked());
        EXPECT_FALSE(showPrimary->isEnabled());
        TypeInto(Named<QLineEdit>(page(), "symbol"), "");
        EXPECT_TRUE(showPrimary->isChecked());
        EXPECT_TRUE(showPrimary->isEnabled());
        next();
        // The name: empty or taken stays on the page.
        EXPECT_EQ(page()->objectName(), "formatName");
        for (const char* refused : {"", "Standard Format"}) {
            messages.Clear();
            TypeInto(Named<QLineEdit>(page(), "name"), refused);
            wizard->button(QWizard::FinishButton)->click();
            EXPECT_EQ(page()->objectName(), "formatName") << refused;
            EXPECT_EQ(messages.LastText(), "Invalid or non-unique price format name");
        }
        TypeInto(Named<QLineEdit>(page(), "name"), "Sterling");
        wizard->button(QWizard::FinishButton)->click();
        done = true;
    });
    ASSERT_TRUE(Run(ID_PRICE_FORMAT_NEW));
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(done);
    const CPriceFormat* made = ThePriceFormatList().FindFormat("Sterling");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetPartText(P::PART_PRIMARY_SYMBOL), "GBP");
    EXPECT_TRUE(made->m_symbolAfterAmount);
    EXPECT_EQ(made->m_thousandsSeparator, ",");
    EXPECT_EQ(made->GetRatioPercent(P::PART_SECONDARY_AMOUNT), 50);
    EXPECT_EQ(made->GetRatioPercent(P::PART_DECIMAL_SEPARATOR), 50);
    EXPECT_EQ(made->GetPartAlignment(P::PART_DECIMAL_SEPARATOR), P::ALIGN_TOP);
    EXPECT_FALSE(made->m_showZeroSecondary);
    EXPECT_TRUE(made->m_showPrimaryAmount);
    EXPECT_TRUE(made->GetPartText(P::PART_SECONDARY_SYMBOL).isEmpty());
    frame->UpdateActionsNow();
    EXPECT_TRUE(frame->Action(ID_PRICE_FORMAT_EDIT)->isEnabled());

    // A cancelled wizard adds nothing.
    CAnswer<CPriceFormatWizard> cancel([](CPriceFormatWizard* wizard) { wizard->reject(); });
    const int count = ThePriceFormatList().GetCount();
    ASSERT_TRUE(Run(ID_PRICE_FORMAT_NEW));
    ASSERT_TRUE(cancel.Answered());
    EXPECT_EQ(ThePriceFormatList().GetCount(), count);
}

TEST_F(PricePaneTest, EditingAFormatRedrawsItsPricesAndAUsedFormatIsNotDeleted)
{
    ASSERT_NE(frame, nullptr);
    CPriceFormat* deli = AddFormat("Deli", "EUR");
    AddFormat("Spare", "X");
    CPriceField* price = PlacePrice(CPoint(300, 300));
    ASSERT_NE(price, nullptr);
    price->SetFormat(nullptr, deli);
    frame->Document().SetModifiedFlag(false);

    // Edit: Select Price Format (without the standard one), then the sheet.
    CAnswer<CSelectPriceFormatDlg> select([](CSelectPriceFormatDlg* dlg) {
        auto* list = Named<QListWidget>(dlg, "formats");
        EXPECT_TRUE(list->findItems("Standard Format", Qt::MatchExactly).isEmpty());
        list->setCurrentItem(list->findItems("Deli", Qt::MatchExactly).front());
        dlg->accept();
    });
    bool edited = false;
    CAnswer<CPriceFormatSheet> sheet([&](CPriceFormatSheet* dlg) {
        // Only the sheet was waiting: the select dialog has gone.
        QWidget* symbolPage = dlg->Tabs()->widget(0);
        TypeInto(Named<QLineEdit>(symbolPage, "symbol"), "EUR ");
        // A size that fails its check keeps the sheet open.
        dlg->Tabs()->setCurrentIndex(3);
        QWidget* secondary = dlg->Tabs()->widget(3);
        TypeInto(Named<QLineEdit>(secondary, "size"), "200");
        messages.Clear();
        dlg->accept();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(messages.Count(), 1);
        TypeInto(Named<QLineEdit>(secondary, "size"), "60");
        dlg->accept();
        edited = !dlg->isVisible();
    });
    ASSERT_TRUE(Run(ID_PRICE_FORMAT_EDIT));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sheet.Answered(); }, 10000));
    ASSERT_TRUE(select.Answered());
    ASSERT_TRUE(sheet.Answered());
    EXPECT_TRUE(edited);
    EXPECT_EQ(deli->GetPartText(P::PART_PRIMARY_SYMBOL), "EUR ");
    EXPECT_EQ(deli->GetRatioPercent(P::PART_SECONDARY_AMOUNT), 60);
    // The price drawn with it shows the new symbol at once.
    EXPECT_EQ(price->Part(P::PART_PRIMARY_SYMBOL).GetText(), "EUR ");
    EXPECT_EQ(price->Part(P::PART_SECONDARY_AMOUNT).GetFont().GetHeight(),
              int(price->Part(P::PART_PRIMARY_AMOUNT).GetFont().GetHeight() * 0.6 + 0.5));
    EXPECT_TRUE(frame->Document().IsModified());

    // Delete: a used format is refused, an unused one asked about.
    struct Case
    {
        const char* name;
        int answer;
        const char* message;
        bool gone;
    };
    const Case cases[] = {
        {"Deli", IDYES, "Price format in use - deletion not permitted", false},
        {"Spare", IDNO, "OK to delete price format Spare ?", false},
        {"Spare", IDYES, "OK to delete price format Spare ?", true},
    };
    for (const Case& c : cases) {
        messages.Clear();
        messages.QueueAnswer(c.answer);
        CAnswer<CSelectPriceFormatDlg> pick([&c](CSelectPriceFormatDlg* dlg) {
            auto* list = Named<QListWidget>(dlg, "formats");
            list->setCurrentItem(list->findItems(c.name, Qt::MatchExactly).front());
            dlg->accept();
        });
        ASSERT_TRUE(Run(ID_PRICE_FORMAT_DELETE)) << c.name;
        ASSERT_TRUE(pick.Answered());
        EXPECT_EQ(messages.LastText(), c.message);
        EXPECT_EQ(ThePriceFormatList().FindFormat(c.name) == nullptr, c.gone) << c.name;
    }
}

// The price pane's typefaces are the rows of the shared face list: each
// face once, with the picture of its kind; a TrueType face chosen there
// says so.
TEST_F(PricePaneTest, TypefacesShowEachFacesKind)
{
    ASSERT_NE(frame, nullptr);
    CPriceField* price = PlacePrice(CPoint(300, 300));
    ASSERT_NE(price, nullptr);
    auto* pane = qobject_cast<CPriceView*>(Pane());
    ASSERT_NE(pane, nullptr);
    auto* faces = Control<CListCtrlEx>(pane, 1164);
    ASSERT_NE(faces, nullptr);
    EXPECT_EQ(faces->columnCount(), 1);
    QStringList names;
    for (int i = 0; i < faces->ItemCount(); ++i) {
        const QString name = faces->CellText(i, 0);
        EXPECT_FALSE(faces->item(i, 0)->icon().isNull()) << name.toStdString();
        const int picture = faces->ItemImage(i);
        EXPECT_TRUE(picture >= 0 && picture <= 2) << name.toStdString();
        names << name;
    }
    EXPECT_EQ(names.removeDuplicates(), 0);
    const int serif = faces->FindItemText("Liberation Serif");
    ASSERT_GE(serif, 0);
    EXPECT_EQ(faces->ItemImage(serif), 0) << "TrueType outlines";
    ClickFace(faces, serif);
    EXPECT_EQ(price->Part(P::PART_PRIMARY_AMOUNT).GetFont().GetFaceName(), "Liberation Serif");
    EXPECT_EQ(Control<QLabel>(pane, 1165)->text().left(22), "This is a TrueType fon");
}

} // namespace
