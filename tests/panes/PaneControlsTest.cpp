#include "PaneControls.h"

#include "ResourceIds.h"
#include "TestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PaneControlsTest : public ::testing::Test
{
protected:
    PaneControlsTest() { EnsureWidgetApp(); }
};

QIcon RedIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

TEST_F(PaneControlsTest, PictureButtonSettersRefuseValuesOutOfRange)
{
    CPictureButton button(QStringLiteral("Print"));
    struct Case
    {
        const char* what;
        int result;
        int expected;
    };
    const Case cases[] = {
        {"align 4", button.SetAlign(4), CPictureButton::BAD_ALIGN},
        {"align -1", button.SetAlign(-1), CPictureButton::BAD_ALIGN},
        {"pressed style 2", button.SetPressedStyle(2), CPictureButton::BAD_PRESSED_STYLE},
        {"align 1", button.SetAlign(1), CPictureButton::OK},
        {"pressed style 1", button.SetPressedStyle(1), CPictureButton::OK},
        {"align 3", button.SetAlign(3), CPictureButton::OK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, c.expected) << c.what;
    // The refused values left the last accepted ones in place.
    EXPECT_EQ(button.Align(), CPictureButton::ICON_OVERLAP);
    EXPECT_EQ(button.PressedStyle(), 1);
}

TEST_F(PaneControlsTest, PictureButtonIconsAndCheckMode)
{
    CPictureButton button(QStringLiteral("Go"));
    EXPECT_EQ(button.SetIcon(QStringLiteral(":/no/such/icon.png")), CPictureButton::OK);
    EXPECT_FALSE(button.HasIcon()) << "a missing picture leaves no icon";

    EXPECT_EQ(button.SetIconHandles(RedIcon(), QIcon(), CPictureButton::kOutGrey),
              CPictureButton::OK);
    EXPECT_TRUE(button.HasIcon());
    ASSERT_TRUE(button.HasOutIcon());
    // The grey copy shows in the normal state.
    const QImage normal = button.CurrentIcon().pixmap(16, 16).toImage();
    const QRgb p = normal.pixel(8, 8);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));

    // Outside check-box mode SetCheck does nothing; inside it, clicks flip.
    button.SetCheck(true);
    EXPECT_FALSE(button.GetCheck());
    button.SetCheckBoxMode(true);
    button.resize(80, 30);
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(button.GetCheck());
    // Checked, the button looks pressed and shows the in icon.
    EXPECT_EQ(QColor(button.CurrentIcon().pixmap(16, 16).toImage().pixel(8, 8)), QColor(Qt::red));
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.GetCheck());
    // Painting in every state must not fail.
    for (int align = 0; align <= 3; ++align) {
        button.SetAlign(align);
        button.SetFlat(align % 2 == 0);
        EXPECT_FALSE(button.grab().isNull());
    }
}

TEST_F(PaneControlsTest, PictureButtonDoubleClickGivesTwoClicks)
{
    CPictureButton button(QStringLiteral("Next"));
    button.resize(80, 30);
    button.show();
    QSignalSpy clicks(&button, &QPushButton::clicked);
    // What the system sends for a double click: press, release, double
    // click, release.
    const QPoint at(10, 10);
    QTest::mousePress(&button, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), button.mapToGlobal(QPointF(at)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &dbl);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, at);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(PaneControlsTest, DisablingTheFocusedButtonMovesTheFocusOn)
{
    QWidget window;
    auto* first = new CPictureButton(QStringLiteral("A"), &window);
    auto* second = new QPushButton(QStringLiteral("B"), &window);
    window.show();
    QApplication::setActiveWindow(&window);
    first->setFocus();
    ASSERT_TRUE(first->hasFocus());
    first->setEnabled(false);
    EXPECT_TRUE(second->hasFocus());
}

TEST_F(PaneControlsTest, ColourSwatchStoresAChosenColourAndKeepsItOnCancel)
{
    QWidget owner;
    QWidget swatchControl(&owner);
    COLORREF colour = MakeRGB(1, 2, 3);
    CColourSwatch unattached;
    EXPECT_FALSE(unattached.ChooseColour()) << "nothing attached";

    CColourSwatch swatch;
    swatch.Attach(&swatchControl, &owner, &colour);
    auto old = CColourSwatch::ColourChooser();
    COLORREF offered = 0;
    CColourSwatch::ColourChooser() = [&](QWidget*, COLORREF& c) {
        offered = c;
        return false;
    };
    EXPECT_FALSE(swatch.ChooseColour());
    EXPECT_EQ(offered, MakeRGB(1, 2, 3)) << "the current colour is preselected";
    EXPECT_EQ(colour, MakeRGB(1, 2, 3));

    CColourSwatch::ColourChooser() = [](QWidget*, COLORREF& c) {
        c = MakeRGB(0, 128, 255);
        return true;
    };
    EXPECT_TRUE(swatch.ChooseColour());
    EXPECT_EQ(colour, MakeRGB(0, 128, 255));
    CColourSwatch::ColourChooser() = old;

    // The control shows the colour.
    swatchControl.resize(20, 10);
    const QImage image = swatchControl.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(10, 5)), QColor(0, 128, 255));
}

TEST_F(PaneControlsTest, ColourConversionKeepsTheComponents)
{
    const COLORREF ref = MakeRGB(10, 20, 30);
    EXPECT_EQ(ColourFromRef(ref), QColor(10, 20, 30));
    EXPECT_EQ(RefFromColour(QColor(10, 20, 30)), ref);
    EXPECT_EQ(ref, COLORREF(0x001E140A)) << "0x00BBGGRR";
}

TEST_F(PaneControlsTest, ListFindsSelectsAndFitsItsItems)
{
    CListCtrlEx list;
    EXPECT_EQ(list.InsertColumnId(0, 1, Qt::AlignLeft, 50), -1) << "no such string";
    EXPECT_EQ(list.columnCount(), 0);
    ASSERT_EQ(list.InsertColumnId(0, IDS_SOURCE_KEYBOARD, Qt::AlignLeft, 50), 0);

    // An empty list fits its column to the caption.
    const int caption =
        QFontMetrics(list.horizontalHeader()->font()).horizontalAdvance(QStringLiteral("Keyboard"));
    EXPECT_EQ(list.FitColumn(0, false), caption + 15);
    EXPECT_EQ(list.FitColumn(0, true), caption + 31);

    ASSERT_TRUE(list.SetCellText(0, 0, QStringLiteral("alpha")));
    ASSERT_TRUE(list.SetCellText(1, 0, QStringLiteral("a much longer item text")));
    EXPECT_FALSE(list.SetCellText(5, 1, QStringLiteral("x"))) << "no such row";
    EXPECT_GT(list.FitColumn(0, false), caption + 15);
    ASSERT_TRUE(list.InsertIconItem(-1, QStringLiteral("top"), 42));
    EXPECT_EQ(list.CellText(0, 0), QStringLiteral("top"));
    EXPECT_EQ(list.ItemData(0), 42);

    struct Case
    {
        int index;
        bool selected;
    };
    const Case cases[] = {{-1, false}, {3, false}, {0, true}, {2, true}};
    for (const Case& c : cases)
        EXPECT_EQ(list.SelectItem(c.index), c.selected) << c.index;
    EXPECT_EQ(list.FindItemText(QStringLiteral("alpha")), 1);
    EXPECT_EQ(list.FindItemText(QStringLiteral("Alpha")), -1) << "exact text only";
    EXPECT_EQ(list.SelectItemText(QStringLiteral("alpha")), 1);
    EXPECT_EQ(list.currentRow(), 1);

    list.RemoveAll();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columnCount(), 0);

    QWidget window;
    window.resize(204, 100);
    list.InsertTwoColumns(&window, IDS_LABEL_NAME, IDS_LABEL_FIELD);
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.columnWidth(0), 100);
    EXPECT_EQ(list.columnWidth(1), 100);
}

class CountingPage : public CPanePage
{
public:
    int refreshes = 0;
    void Refresh(bool) override { ++refreshes; }
};

TEST_F(PaneControlsTest, TabEnablesOnlyTheCurrentPageAndReloadsIt)
{
    CTab tab;
    auto* first = new CountingPage;
    auto* second = new CountingPage;
    tab.AddPage(first, QStringLiteral("Text"));
    tab.AddPage(second, QStringLiteral("Formatting"));
    EXPECT_EQ(first->refreshes, 1) << "the first page is entered once it exists";
    EXPECT_TRUE(first->isEnabled());
    EXPECT_FALSE(second->isEnabled());

    tab.setCurrentIndex(1);
    EXPECT_FALSE(first->isEnabled());
    EXPECT_TRUE(second->isEnabled());
    EXPECT_EQ(second->refreshes, 1);

    tab.ShowFirstPage();
    EXPECT_EQ(tab.currentIndex(), 0);
    EXPECT_EQ(first->refreshes, 2);
    EXPECT_FALSE(second->isEnabled());
}

// A run of edits in one control is one undo step; the pane's first edit
// starts one only when the opening kept nothing; an edit with no control is
// always a step of its own.
TEST(EditStepsTest, ARunOfEditsInOneControlIsOneStep)
{
    QObject a;
    QObject b;
    struct Edit
    {
        QObject* control;
        bool starts;
    };
    struct Case
    {
        bool openingKept;
        std::vector<Edit> edits;
    };
    const Case cases[] = {
        {true, {{&a, false}, {&a, false}, {&b, true}, {&b, false}, {&a, true}}},
        {false, {{&a, true}, {&a, false}, {&b, true}}},
        {true, {{&a, false}, {nullptr, true}, {nullptr, true}, {&a, true}}},
    };
    for (const Case& c : cases) {
        CEditSteps steps;
        int index = 0;
        for (const Edit& edit : c.edits) {
            EXPECT_EQ(steps.Starts(edit.control, c.openingKept), edit.starts)
                << "edit " << index << (c.openingKept ? " (opening kept)" : "");
            ++index;
        }
        EXPECT_EQ(steps.Count(), index);
    }
}

} // namespace
