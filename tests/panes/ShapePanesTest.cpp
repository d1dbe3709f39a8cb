#include "AppContext.h"
#include "ArcText.h"
#include "Box.h"
#include "DC.h"
#include "ElementList.h"
#include "Image.h"
#include "Line.h"
#include "MacroScript.h"
#include "MacroScriptDlg.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "ResourceIds.h"
#include "ScriptPage.h"
#include "ScriptStore.h"
#include "Paper.h"
#include "PriceField.h"
#include "SettingsView.h"
#include "ShapeViews.h"
#include "ShellParts.h"
#include "Symbol.h"
#include "TestSupport.h"
#include "Text.h"
#include "UndoHistory.h"
#include "VariableDialogs.h"
#include "VariableList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A view that maps tenths of a millimetre 1:1 and counts repaint requests.
class CRecordingView : public CViewSeam
{
public:
    CPoint LPtoDP(CPoint p) const override { return p; }
    CPoint DPtoLP(CPoint p) const override { return p; }
    CSize LPtoDPSize(CSize s) const override { return s; }
    CSize DPtoLPSize(CSize s) const override { return s; }
    void InvalidateRect(const CRect&, bool) override { ++invalidations; }
    int invalidations = 0;
};

class ShapePanesTest : public ::testing::Test
{
protected:
    ShapePanesTest()
    {
        EnsureWidgetApp();
        RegisterAllClasses();
        RegisterPanes();
        context.currentView = &view;
        frame = std::make_unique<CMainFrame>();
        frame->resize(1000, 800);
        oldChooser = CColourSwatch::ColourChooser();
    }
    ~ShapePanesTest() override
    {
        CColourSwatch::ColourChooser() = oldChooser;
        frame.reset();
        context.currentView = nullptr;
    }

    CLine* AddLine(CPoint start, CPoint end)
    {
        auto* line = new CLine;
        line->m_name = QStringLiteral("Line%1").arg(++count);
        line->SetPoints(nullptr, start, end);
        TheElementList().AddTail(line);
        return line;
    }
    template <class T> T* AddShape(CRect rect)
    {
        auto* shape = new T;
        shape->m_name = QStringLiteral("Shape%1").arg(++count);
        shape->SetBounds(nullptr, rect);
        TheElementList().AddTail(shape);
        return shape;
    }
    template <class T> T* Find(int id) const
    {
        return frame->PropertyPane()->findChild<T*>(QStringLiteral("id%1").arg(id));
    }
    // Types into a field as the user does: the old text selected and replaced.
    void Type(int id, const QString& text)
    {
        auto* field = Find<QLineEdit>(id);
        ASSERT_NE(field, nullptr) << id;
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        // Key events that carry their text, as a keyboard of any language
        // sends them (QTest's key clicks know only ASCII).
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &release);
        }
    }
    void Select(CElement* element)
    {
        ASSERT_TRUE(frame->SwitchElementView(element));
        frame->Document().SetModifiedFlag(false);
        view.invalidations = 0;
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CRecordingView view;
    std::unique_ptr<CMainFrame> frame;
    CColourSwatch::Chooser oldChooser;
    int count = 0;
};

TEST_F(ShapePanesTest, EachElementTypeGetsItsPane)
{
    CElement* line = AddLine(CPoint(0, 0), CPoint(100, 0));
    CElement* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    CElement* ellipse = AddShape<CEllipse>(CRect(0, 0, 100, 50));
    struct Case
    {
        CElement* element;
        const char* paneClass;
        int formId;
        bool corners;
    };
    const Case cases[] = {{line, "CLineView", 369, false},
                          {box, "CBoxView", 370, true},
                          {ellipse, "CBoxView", 370, false},
                          {nullptr, "CSettingsView", 361, false}};
    for (const Case& c : cases) {
        ASSERT_TRUE(frame->SwitchElementView(c.element)) << c.paneClass;
        QWidget* pane = frame->PropertyPane();
        EXPECT_STREQ(pane->metaObject()->className(), c.paneClass);
        EXPECT_EQ(pane->objectName(), QStringLiteral("id%1").arg(c.formId));
        if (c.formId == 370) {
            EXPECT_EQ(Find<QComboBox>(1009)->isVisibleTo(pane), c.corners) << c.paneClass;
            EXPECT_EQ(Find<QRadioButton>(1386)->isEnabled(), false) << "no printer offers it";
        }
    }
}

TEST_F(ShapePanesTest, EllipseNeverOffersNativePrinting)
{
    NativeShapeOffer() = [](int) { return true; };
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    box->m_nativePrint = TRUE;
    CEllipse* ellipse = AddShape<CEllipse>(CRect(0, 0, 100, 50));
    ellipse->m_nativePrint = TRUE;
    Select(box);
    EXPECT_TRUE(Find<QRadioButton>(1386)->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(1386)->isChecked());
    Select(ellipse);
    EXPECT_FALSE(Find<QRadioButton>(1386)->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(1287)->isChecked());
    NativeShapeOffer() = nullptr;
}

TEST_F(ShapePanesTest, TypedLengthsAreStoredInTenthsOfAMillimetre)
{
    struct Case
    {
        int units;
        int field;
        const char* typed;
        int tenths;
        const char* shown; // the field's text afterwards
    };
    // 1002 X, 1005 Y, 1008 width, 1013 outline thickness.
    const Case cases[] = {
        {0, 1002, "12.3", 123, "12.3"},   {0, 1005, ".5", 5, "0.5"},
        {0, 1002, "-7.25", -73, "-7.25"}, {0, 1008, "40", 400, "40"},
        {1, 1002, "1", 254, "1"},         {1, 1005, "-0.39", -99, "-0.39"},
        {1, 1013, "0.04", 10, "0.04"},    {1, 1008, "2.5", 635, "2.5"},
    };
    for (const Case& c : cases) {
        context.general.displayUnits = c.units;
        CBox* box = AddShape<CBox>(CRect(100, 100, 300, 200));
        Select(box);
        Type(c.field, QString::fromLatin1(c.typed));
        const CRect r = box->GetPointRect();
        int stored = 0;
        switch (c.field) {
        case 1002:
            stored = r.left;
            break;
        case 1005:
            stored = r.top;
            break;
        case 1008:
            stored = r.Width();
            break;
        default:
            stored = box->m_thickness;
            break;
        }
        EXPECT_EQ(stored, c.tenths) << c.typed << " in field " << c.field;
        EXPECT_EQ(Find<QLineEdit>(c.field)->text(), QString::fromLatin1(c.shown));
        EXPECT_TRUE(frame->Document().IsModified()) << c.typed;
        EXPECT_GT(view.invalidations, 0) << c.typed;
        if (c.field != 1008) {
            EXPECT_EQ(r.Width(), c.field == 1013 ? 200 : 200) << "the size stays";
        }
    }
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(ShapePanesTest, UnitLabelsAndShownValuesFollowTheDisplayUnit)
{
    struct Case
    {
        int units;
        int left;
        const char* shownX;
        const char* unit;
    };
    const Case cases[] = {{0, 100, "10.0", "mm"},       {1, 100, "0.39", "inches"},
                          {1, -100, "-0.39", "inches"}, {1, -99, "-0.39", "inches"},
                          {1, 99, "0.39", "inches"},    {0, -5, "-0.5", "mm"}};
    for (const Case& c : cases) {
        context.general.displayUnits = c.units;
        Select(AddShape<CBox>(CRect(c.left, 0, c.left + 50, 50)));
        EXPECT_EQ(Find<QLineEdit>(1002)->text(), QString::fromLatin1(c.shownX)) << c.left;
        EXPECT_EQ(Find<QLabel>(1019)->text(), QString::fromLatin1(c.unit));
    }
}

TEST_F(ShapePanesTest, ApplyingTheShownInchValueAgainNeverMovesAnElement)
{
    context.general.displayUnits = 1;
    for (int left : {-99, -100, -37, -254, 37, 99}) {
        CBox* box = AddShape<CBox>(CRect(left, 0, left + 50, 50));
        Select(box);
        Type(1002, Find<QLineEdit>(1002)->text());
        const int settled = box->GetPointRect().left;
        for (int i = 0; i < 3; ++i) {
            Type(1002, Find<QLineEdit>(1002)->text());
            EXPECT_EQ(box->GetPointRect().left, settled) << left << " edit " << i;
        }
        // The shown value is the magnitude's, so it settles within a
        // rounding step of where it was and symmetric about zero.
        EXPECT_LE(std::abs(settled - left), 1) << left;
    }
    EXPECT_EQ(PaneUnits::FromDisplay(-0.39), -PaneUnits::FromDisplay(0.39));
    EXPECT_EQ(PaneUnits::ToDisplay(-37), -PaneUnits::ToDisplay(37));
}

TEST_F(ShapePanesTest, BoxPaneRefusesANegativeSize)
{
    CBox* box = AddShape<CBox>(CRect(100, 100, 300, 200));
    Select(box);
    for (int field : {1008, 1007}) {
        messages.Clear();
        Type(field, QStringLiteral("-5"));
        EXPECT_EQ(box->GetPointRect(), CRect(100, 100, 300, 200)) << field;
        EXPECT_EQ(messages.Count(), 1) << field;
    }
    EXPECT_FALSE(frame->Document().IsModified());
}

TEST_F(ShapePanesTest, OutOfRangeAndHalfTypedValuesWriteNothing)
{
    CBox* box = AddShape<CBox>(CRect(100, 100, 300, 200));
    Select(box);
    struct Case
    {
        const char* typed;
        int messages;
    };
    const Case cases[] = {{"", 0}, {"-", 0}, {"abc", 0}, {"1500.1", 1}, {"-2000", 1}};
    for (const Case& c : cases) {
        messages.Clear();
        auto* field = Find<QLineEdit>(1002);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        if (*c.typed) {
            field->setText(QString::fromLatin1(c.typed).chopped(1));
            QTest::keyClicks(field, QString::fromLatin1(c.typed).right(1));
        }
        EXPECT_EQ(box->GetPointRect().left, 100) << c.typed;
        EXPECT_EQ(messages.Count(), c.messages) << c.typed;
    }
}

TEST_F(ShapePanesTest, LinePaneDerivesLengthAndAngleAndMovesTheEnd)
{
    CLine* line = AddLine(CPoint(0, 0), CPoint(100, -100));
    Select(line);
    EXPECT_EQ(Find<QLineEdit>(1028)->text(), QStringLiteral("14.1"));
    EXPECT_EQ(Find<QLineEdit>(1029)->text(), QStringLiteral("315"));

    Type(1024, QStringLiteral("5"));
    Type(1025, QStringLiteral("5"));
    EXPECT_EQ(line->m_start, CPoint(50, 50));
    Type(1028, QStringLiteral("20"));
    Type(1029, QStringLiteral("90"));
    EXPECT_EQ(line->m_end, CPoint(50, 250));
    EXPECT_EQ(Find<QLineEdit>(1026)->text(), QStringLiteral("5.0"));
    EXPECT_EQ(Find<QLineEdit>(1027)->text(), QStringLiteral("25.0"));

    context.general.displayUnits = 1;
    Select(line);
    Type(1013, QStringLiteral("0.04"));
    EXPECT_EQ(line->m_thickness, 10);
    EXPECT_TRUE(frame->Document().IsModified());
}

// Every pane that turns its element takes whole degrees from 0 to its
// maximum; a value beyond it is refused with the same range message and
// leaves the element and the sign as they were.
TEST_F(ShapePanesTest, AnglesOfEveryPaneTakeWholeDegreesWithinTheirRange)
{
    struct Case
    {
        const char* pane;
        std::function<CElement*()> make;
        std::function<int(const CElement*)> angle;
        int maximum;
    };
    const Case cases[] = {
        {"text", [] { return new CText; },
         [](const CElement* e) { return static_cast<const CText*>(e)->GetAngle(); }, 360},
        {"price", [] { return new CPriceField; },
         [](const CElement* e) { return static_cast<const CPriceField*>(e)->GetAngle(); }, 360},
        {"picture", [] { return new CImage; },
         [](const CElement* e) { return static_cast<const CImage*>(e)->m_angle / 100; }, 360},
        {"symbol", [] { return new CSymbol; },
         [](const CElement* e) { return static_cast<const CSymbol*>(e)->GetAngle(); }, 360},
        {"arc text", [] { return new CArcText; },
         [](const CElement* e) { return static_cast<const CArcText*>(e)->m_startAngle; }, 359},
    };
    for (const Case& c : cases) {
        CElement* element = c.make();
        element->m_name = QStringLiteral("Turned%1").arg(++count);
        TheElementList().AddTail(element);
        Select(element);
        const int before = c.angle(element);
        messages.Clear();
        for (const char* unfinished : {"", "-"})
            Type(1029, QString::fromLatin1(unfinished));
        // Only the last keystroke makes the number: what it grew from was
        // never typed.
        auto* field = Find<QLineEdit>(1029);
        const QString beyond = QString::number(c.maximum + 1);
        field->setText(beyond.chopped(1));
        QTest::keyClicks(field, beyond.right(1));
        EXPECT_EQ(messages.Count(), 1) << c.pane;
        EXPECT_EQ(messages.LastText(),
                  QStringLiteral("Please enter a number between 0 and %1.").arg(c.maximum))
            << c.pane;
        EXPECT_EQ(c.angle(element), before) << c.pane;
        EXPECT_FALSE(frame->Document().IsModified()) << c.pane;

        messages.Clear();
        Type(1029, QStringLiteral("45"));
        EXPECT_EQ(c.angle(element), 45) << c.pane;
        EXPECT_EQ(messages.Count(), 0) << c.pane;
        EXPECT_TRUE(frame->Document().IsModified()) << c.pane;
        // The field shows the element's angle again after a drag.
        field->setText(QString());
        frame->RefreshPaneValues();
        EXPECT_EQ(field->text(), QStringLiteral("45")) << c.pane;
    }
}

TEST_F(ShapePanesTest, ColourChoiceRedrawsTheElementAndMarksTheSign)
{
    CLine* line = AddLine(CPoint(0, 0), CPoint(100, 0));
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    struct Case
    {
        CElement* element;
        int button;
        std::function<COLORREF()> stored;
    };
    const Case cases[] = {
        {line, 1036, [line] { return line->m_colour; }},
        {box, 1015, [box] { return box->m_outlineColour; }},
        {box, 1016, [box] { return box->m_fillColour; }},
    };
    for (const Case& c : cases) {
        Select(c.element);
        const COLORREF before = c.stored();
        CColourSwatch::ColourChooser() = [](QWidget*, COLORREF&) { return false; };
        QTest::mouseClick(Find<QPushButton>(c.button), Qt::LeftButton);
        EXPECT_EQ(c.stored(), before) << "cancelled " << c.button;
        EXPECT_FALSE(frame->Document().IsModified()) << c.button;

        CColourSwatch::ColourChooser() = [](QWidget*, COLORREF& colour) {
            colour = MakeRGB(200, 10, 20);
            return true;
        };
        Find<QPushButton>(c.button)->click();
        EXPECT_EQ(c.stored(), MakeRGB(200, 10, 20)) << c.button;
        EXPECT_GT(view.invalidations, 0) << c.button;
        EXPECT_TRUE(frame->Document().IsModified()) << c.button;
    }
}

TEST_F(ShapePanesTest, FillBoxShowsAndHidesTheFillSwatch)
{
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    box->m_fillInterior = FALSE;
    Select(box);
    QWidget* pane = frame->PropertyPane();
    EXPECT_FALSE(Find<QWidget>(1017)->isVisibleTo(pane));
    EXPECT_FALSE(Find<QPushButton>(1016)->isVisibleTo(pane));
    Find<QCheckBox>(1203)->click();
    EXPECT_TRUE(box->m_fillInterior);
    EXPECT_TRUE(Find<QWidget>(1017)->isVisibleTo(pane));
    EXPECT_TRUE(Find<QPushButton>(1016)->isVisibleTo(pane));
    EXPECT_TRUE(frame->Document().IsModified());

    // Square corners disable the radius; rounded ones enable it.
    auto* corner = Find<QComboBox>(1009);
    auto* radius = Find<QWidget>(1110);
    const int styles[] = {CORNER_SQUARE, CORNER_ROUNDED};
    for (int style : styles) {
        corner->setCurrentIndex(style);
        emit corner->activated(style);
        EXPECT_EQ(box->m_cornerType, style);
        EXPECT_EQ(radius->isEnabled(), style != CORNER_SQUARE);
    }
}

TEST_F(ShapePanesTest, NameIsCheckedAtEachKeystroke)
{
    CLine* line = AddLine(CPoint(0, 0), CPoint(100, 0));
    CBox* other = AddShape<CBox>(CRect(0, 0, 10, 10));
    other->m_name = QStringLiteral("Taken");
    Select(line);
    const QString old = line->m_name;
    Type(1050, QStringLiteral("taken"));
    EXPECT_EQ(line->m_name.compare(QStringLiteral("Taken"), Qt::CaseInsensitive) == 0, false);
    EXPECT_GE(messages.Count(), 1);
    messages.Clear();
    Type(1050, QStringLiteral("Rule_2"));
    EXPECT_EQ(line->m_name, QStringLiteral("Rule_2"));
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_TRUE(frame->Document().IsModified());
}

// The sign stores names in Windows-1252: a name with a letter the file
// cannot hold is refused as the name rule refuses any bad name (it used to
// come back from the file as "?a"), and one it can hold is saved and read
// back as typed.
TEST_F(ShapePanesTest, NamesAreThoseTheSignFileCanStore)
{
    CLine* line = AddLine(CPoint(0, 0), CPoint(100, 0));
    const QString other = AddShape<CBox>(CRect(0, 0, 10, 10))->m_name;
    Select(line);
    const QString old = line->m_name;
    for (const QString& name :
         {QStringLiteral("\u03A9a"), QStringLiteral("\u0416a"), QStringLiteral("\u4E2D\u6587")}) {
        SCOPED_TRACE(name.toStdString());
        messages.Clear();
        Type(1050, name);
        EXPECT_EQ(line->m_name, old);
        EXPECT_EQ(messages.LastText(), "Invalid or non-unique element name");
    }
    EXPECT_FALSE(frame->Document().IsModified());
    messages.Clear();
    const QString kept = QStringLiteral("\u0160koda_\u00C9t\u00E9_\u0178");
    Type(1050, kept);
    EXPECT_EQ(line->m_name, kept);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();

    // Saved and opened again through the File menu, the name is as typed.
    const QString path = home.FilePath(QStringLiteral("names.sgn"));
    FrameHooks().chooseFile = [&](QWidget*, const CFileChoice&) { return path; };
    frame->UpdateActionsNow();
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_SAVE_AS));
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_OPEN));
    FrameHooks().chooseFile = nullptr;
    EXPECT_EQ(frame->Document().GetPathName(), path);
    ASSERT_EQ(TheElementList().GetCount(), 2);
    EXPECT_EQ(TheElementList().GetAt(0)->m_name, kept);
    EXPECT_EQ(TheElementList().GetAt(1)->m_name, other);
}

TEST_F(ShapePanesTest, PrintOptionsWriteTheFlags)
{
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    Select(box);
    Find<QRadioButton>(1133)->click();
    EXPECT_TRUE(box->m_notPrinted);
    EXPECT_FALSE(box->m_nativePrint);
    Find<QRadioButton>(1287)->click();
    EXPECT_FALSE(box->m_notPrinted);
    EXPECT_TRUE(frame->Document().IsModified());
}

TEST_F(ShapePanesTest, SourceTypeChangesAndRefusals)
{
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    Select(box);
    auto* type = Find<QComboBox>(1000);
    EXPECT_EQ(type->count(), 9) << "no Combination on the box pane";
    EXPECT_EQ(type->findText(QStringLiteral("Combination")), -1);

    // No element has a data source: "Another Element" is refused.
    const int another = type->findData(SOURCE_ELEMENT);
    type->setCurrentIndex(another);
    emit type->activated(another);
    EXPECT_EQ(box->m_dataSource, SOURCE_FIXED);
    EXPECT_EQ(type->currentData().toInt(), SOURCE_FIXED);
    EXPECT_EQ(messages.Count(), 1);

    const int keyboard = type->findData(SOURCE_KEYBOARD);
    type->setCurrentIndex(keyboard);
    emit type->activated(keyboard);
    EXPECT_EQ(box->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_TRUE(Find<QLineEdit>(1072)->isEnabled());
    // "Data must be entered" clears and disables "Use the sample".
    auto* must = Find<QCheckBox>(1263);
    auto* sample = Find<QCheckBox>(1265);
    sample->setChecked(true);
    must->click();
    EXPECT_TRUE(box->m_mustEnterData);
    EXPECT_FALSE(box->m_useSampleData);
    EXPECT_FALSE(sample->isEnabled());
}

TEST_F(ShapePanesTest, AMacroSourceListsTheStoresScripts)
{
    TheScriptStore().SetScriptText(QStringLiteral("Beta"), QStringLiteral("RETURN \"b\""));
    TheScriptStore().SetScriptText(QStringLiteral("Alpha"), QStringLiteral("RETURN \"a\""));
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    Select(box);
    auto* type = Find<QComboBox>(1000);
    auto* names = Find<QComboBox>(1001);
    const int macro = type->findData(SOURCE_MACRO);
    type->setCurrentIndex(macro);
    emit type->activated(macro);

    // The sign has no macro script variable yet: the store's scripts are
    // listed, and the one chosen gets a variable that runs it.
    ASSERT_EQ(box->m_dataSource, SOURCE_MACRO);
    QStringList listed;
    for (int i = 0; i < names->count(); ++i)
        listed << names->itemText(i);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(box->m_sourceName, names->currentText());
    const int beta = names->findText(QStringLiteral("Beta"));
    names->setCurrentIndex(beta);
    emit names->activated(beta);
    EXPECT_EQ(box->m_sourceName, QStringLiteral("Beta"));
    auto* variable =
        dynamic_cast<CMacroScript*>(TheVariableList().FindVariable(VARIABLE_MACRO, "Beta"));
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable->m_scriptName, QStringLiteral("Beta"));
    variable->ResetValue(); // as a print or data entry starts
    EXPECT_EQ(variable->GetValue(), QStringLiteral("b"));
    EXPECT_EQ(messages.Count(), 0);

    // Selected again, the pane shows the element's own script.
    Select(nullptr);
    Select(box);
    EXPECT_EQ(Find<QComboBox>(1001)->currentText(), QStringLiteral("Beta"));
}

// An element that stops running a script lets its variable go once nothing
// else uses it, whether another script or another kind of source is chosen.
TEST_F(ShapePanesTest, AScriptNoLongerUsedLeavesTheSign)
{
    TheScriptStore().SetScriptText(QStringLiteral("Alpha"), QStringLiteral("RETURN \"a\""));
    TheScriptStore().SetScriptText(QStringLiteral("Beta"), QStringLiteral("RETURN \"b\""));
    CBox* first = AddShape<CBox>(CRect(0, 0, 100, 50));
    CBox* second = AddShape<CBox>(CRect(0, 100, 100, 150));
    auto choose = [&](CBox* box, int kind, const QString& name) {
        Select(box);
        auto* type = Find<QComboBox>(1000);
        const int at = type->findData(kind);
        type->setCurrentIndex(at);
        emit type->activated(at);
        if (!name.isEmpty()) {
            auto* names = Find<QComboBox>(1001);
            const int n = names->findText(name);
            ASSERT_GE(n, 0) << name.toStdString();
            names->setCurrentIndex(n);
            emit names->activated(n);
        }
    };
    auto has = [](const char* name) {
        return TheVariableList().FindVariable(VARIABLE_MACRO, QString::fromLatin1(name)) != nullptr;
    };

    choose(first, SOURCE_MACRO, QStringLiteral("Alpha"));
    choose(second, SOURCE_MACRO, QStringLiteral("Alpha"));
    ASSERT_TRUE(has("Alpha"));

    // Another script: Alpha stays while the second box still runs it.
    choose(first, SOURCE_MACRO, QStringLiteral("Beta"));
    EXPECT_TRUE(has("Alpha"));
    EXPECT_TRUE(has("Beta"));
    // Another kind of source: the last user of Alpha leaves, and so does Alpha.
    choose(second, SOURCE_KEYBOARD, QString());
    EXPECT_EQ(second->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_FALSE(has("Alpha"));
    // Another script for the only user of Beta: Beta goes, Alpha comes back.
    choose(first, SOURCE_MACRO, QStringLiteral("Alpha"));
    EXPECT_FALSE(has("Beta"));
    EXPECT_TRUE(has("Alpha"));
    choose(first, SOURCE_FIXED, QString());
    EXPECT_EQ(TheVariableList().GetCount(), 0);
    EXPECT_EQ(messages.Count(), 0);
}

// With no script in the store, choosing Macro Script opens the new-script
// wizard; Finish gives the element the new script, Cancel refuses the choice.
TEST_F(ShapePanesTest, AMacroSourceWithoutScriptsMakesOneThroughTheWizard)
{
    InstallVariableDialogs(); // as the program does at start-up
    struct Restore
    {
        ~Restore() { CMacroScript::s_dialog = nullptr; }
    } restore;
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    Select(box);
    auto* type = Find<QComboBox>(1000);
    const int macro = type->findData(SOURCE_MACRO);
    auto whenShown = [](std::function<void(CMacroScriptDlg*)> action) {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, action] {
            if (auto* dlg = qobject_cast<CMacroScriptDlg*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                action(dlg);
            }
        });
        timer->start(5);
    };

    // Cancelled: the choice is refused and no variable is left behind.
    whenShown([](CMacroScriptDlg* dlg) { dlg->reject(); });
    type->setCurrentIndex(macro);
    emit type->activated(macro);
    EXPECT_EQ(box->m_dataSource, SOURCE_FIXED);
    EXPECT_EQ(type->currentData().toInt(), SOURCE_FIXED);
    EXPECT_EQ(TheVariableList().GetCount(), 0);

    // Finished: the script is stored and runs for the box.
    whenShown([](CMacroScriptDlg* dlg) {
        QTest::keyClicks(dlg->Page()->Editor(), "RETURN \"made\"");
        dlg->Page()->NameCombo()->lineEdit()->clear();
        QTest::keyClicks(dlg->Page()->NameCombo()->lineEdit(), "Made");
        QTest::mouseClick(dlg->Page()->SaveButton(), Qt::LeftButton);
        QTest::mouseClick(dlg->FinishButton(), Qt::LeftButton);
    });
    type->setCurrentIndex(macro);
    emit type->activated(macro);
    EXPECT_EQ(box->m_dataSource, SOURCE_MACRO);
    EXPECT_EQ(box->m_sourceName, QStringLiteral("Made"));
    EXPECT_EQ(Find<QComboBox>(1001)->currentText(), QStringLiteral("Made"));
    EXPECT_EQ(TheScriptStore().GetScriptText(QStringLiteral("Made")), QStringLiteral("RETURN \"made\""));
    CVariable* variable = TheVariableList().FindVariable(VARIABLE_MACRO, QStringLiteral("Made"));
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(TheVariableList().GetCount(), 1);
    variable->ResetValue();
    EXPECT_EQ(variable->GetValue(), QStringLiteral("made"));

    // "Edit..." opens the same script's properties.
    bool edited = false;
    whenShown([&](CMacroScriptDlg* dlg) {
        edited = dlg->Page()->Editor()->toPlainText() == QStringLiteral("RETURN \"made\"");
        dlg->reject();
    });
    QTest::mouseClick(Find<QPushButton>(1004), Qt::LeftButton);
    EXPECT_TRUE(edited);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

TEST_F(ShapePanesTest, DeletedElementLeavesAnEmptyPane)
{
    CBox* box = AddShape<CBox>(CRect(0, 0, 100, 50));
    Select(box);
    QWidget* pane = frame->PropertyPane();
    auto* field = Find<QLineEdit>(1002);
    auto* colour = Find<QPushButton>(1015);
    ASSERT_TRUE(TheElementList().RemoveAndDelete(box));

    // Typing and choosing now reach nothing, and nothing fails.
    QTest::keyClicks(field, QStringLiteral("5"));
    CColourSwatch::ColourChooser() = [](QWidget*, COLORREF&) { return true; };
    colour->click();
    static_cast<CElementView*>(pane)->UpdateFromElement();
    EXPECT_FALSE(pane->grab().isNull());
    EXPECT_TRUE(static_cast<CElementView*>(pane)->IsElementGone());
    EXPECT_FALSE(field->isVisibleTo(pane)) << "the form went with the element";
    EXPECT_FALSE(frame->Document().IsModified());

    ASSERT_TRUE(frame->SwitchElementView(nullptr));
    EXPECT_STREQ(frame->PropertyPane()->metaObject()->className(), "CSettingsView");
}

TEST_F(ShapePanesTest, UndoneElementIsLetGoByItsPane)
{
    CLine* line = AddLine(CPoint(0, 0), CPoint(100, 0));
    Select(line); // records the snapshot that Undo swaps back in
    auto* pane = static_cast<CElementView*>(frame->PropertyPane());
    ASSERT_EQ(pane->Element(), line);
    Type(1024, QStringLiteral("5"));
    ASSERT_EQ(line->m_start, CPoint(50, 0));
    ASSERT_TRUE(TheUndoHistory().Undo(&view));
    EXPECT_EQ(pane->Element(), nullptr);
    Type(1024, QStringLiteral("3"));
    CElement* listed = TheElementList().GetAt(0);
    EXPECT_EQ(static_cast<CLine*>(listed)->m_start, CPoint(0, 0));
}

TEST_F(ShapePanesTest, SettingsPaneShowsStockAndPrinter)
{
    context.general.displayUnits = 1;
    ASSERT_TRUE(frame->SwitchElementView(nullptr));
    auto* pane = qobject_cast<CSettingsView*>(frame->PropertyPane());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(Find<QLabel>(1019)->text(), QStringLiteral("inches"));
    EXPECT_EQ(Find<QLabel>(1144)->text(), ThePaper().FormatSignWidth());
    EXPECT_FALSE(Find<QLabel>(1529)->text().isEmpty());
    EXPECT_EQ(Find<QLabel>(1530)->text(), QStringLiteral("Label Stock"));

    messages.Clear();
    int changes = 0;
    CSettingsView::ChangePrinter() = [&changes](QWidget*) { return ++changes, true; };
    Find<QPushButton>(1527)->click();
    EXPECT_EQ(changes, 1);
    // The paper button starts the frame's paper command (its dialogs are
    // driven in PrintingFlowTest); nothing says it is missing.
    Find<QPushButton>(1526)->click();
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    CSettingsView::ChangePrinter() = nullptr;
}

// Pictures of each pane beside its element, for looking at; written only
// when TABREL_PANE_SHOTS names a folder.
TEST_F(ShapePanesTest, PanePictures)
{
    const QString folder = qEnvironmentVariable("TABREL_PANE_SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "TABREL_PANE_SHOTS not set";
    QDir().mkpath(folder);
    CLine* line = AddLine(CPoint(100, 300), CPoint(700, 100));
    line->SetThickness(nullptr, 20);
    line->m_colour = MakeRGB(200, 0, 0);
    CBox* box = AddShape<CBox>(CRect(100, 100, 700, 400));
    box->m_fillInterior = TRUE;
    box->m_fillColour = MakeRGB(255, 230, 150);
    box->m_cornerType = CORNER_ROUNDED;
    CEllipse* ellipse = AddShape<CEllipse>(CRect(100, 100, 700, 400));
    struct Shot
    {
        CElement* element;
        const char* file;
    };
    const Shot shots[] = {
        {line, "line"}, {box, "box"}, {ellipse, "ellipse"}, {nullptr, "settings"}};
    for (const Shot& s : shots) {
        ASSERT_TRUE(frame->SwitchElementView(s.element));
        QWidget* pane = frame->PropertyPane();
        pane->adjustSize();
        const QSize paneSize = pane->sizeHint().expandedTo(pane->size());
        QImage image(paneSize.width() + 420, std::max(paneSize.height(), 320),
                     QImage::Format_RGB32);
        image.fill(Qt::lightGray);
        QPainter painter(&image);
        painter.fillRect(QRect(10, 10, 400, 300), Qt::white);
        if (s.element) {
            painter.save();
            painter.translate(10, 10);
            painter.scale(0.5, 0.5);
            CDC dc(&painter);
            s.element->Draw(&dc, CRect(0, 0, 2000, 2000));
            painter.restore();
        }
        pane->render(&painter, QPoint(420, 0));
        painter.end();
        EXPECT_TRUE(image.save(folder + QStringLiteral("/%1.png").arg(QLatin1String(s.file))));
    }
}

} // namespace
