// Arc text and symbols as a user makes them in the designer: placed with the
// Insert commands, edited in their panes, saved, opened again and printed to
// a PDF that is read back.
#include "AppContext.h"
#include "ArcText.h"
#include "Box.h"
#include "Commands.h"
#include "DesignView.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "ElementView.h"
#include "ListCtrlEx.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "OleObject.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PrintSignDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbol.h"
#include "SymbolSelectDlg.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Runs the action on the first modal dialog of type T that shows while the
// object lives (once).
const char kStockLibrary[] =
    "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner "
    "Radius,Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch]\r\n"
    "Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0\r\n";

constexpr int kPdfDpi = 150;

class ArcSymbolPaneTest : public ::testing::Test
{
protected:
    ArcSymbolPaneTest()
    {
        EnsureWidgetApp();
        RegisterPanes();
        QFile stock(home.FilePath("Stock.zel"));
        stock.open(QIODevice::WriteOnly);
        stock.write(kStockLibrary);
        stock.close();
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice&) { return chosenPath; };
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        if (app.InitInstance({"tabrel"}))
            frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
        if (frame) {
            frame->resize(1400, 1000);
            frame->show();
            view = qobject_cast<CDesignView*>(frame->Canvas());
        }
        if (view)
            view->FullSize();
    }
    ~ArcSymbolPaneTest() override
    {
        if (frame)
            frame->Document().SetModifiedFlag(false);
        app.ExitInstance();
        FrameHooks() = CFrameHooks();
    }

    QPoint Dp(int x, int y) const
    {
        const CPoint p = view->LPtoDP(CPoint(x, y));
        return QPoint(p.x, p.y);
    }
    QWidget* Surface() const { return view->viewport(); }
    void Drag(int x0, int y0, int x1, int y1)
    {
        QTest::mousePress(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(x0, y0));
        for (const QPoint& p : {Dp((x0 + x1) / 2, (y0 + y1) / 2), Dp(x1, y1)}) {
            QMouseEvent move(QEvent::MouseMove, p, Surface()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(Surface(), &move);
        }
        QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(x1, y1));
    }
    void Click(int x, int y)
    {
        QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, Dp(x, y));
    }
    void Command(int id)
    {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(id);
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    template <class T> T* Find(int id) const
    {
        T* w = frame->PropertyPane()->findChild<T*>(QStringLiteral("id%1").arg(id));
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }
    // Types into a pane field as the user does: the old text replaced.
    void Type(int id, const QString& text)
    {
        auto* field = Find<QLineEdit>(id);
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
    void TypeSize(const QString& text)
    {
        auto* size = Find<QComboBox>(1040);
        ASSERT_NE(size, nullptr);
        size->lineEdit()->setFocus();
        size->lineEdit()->selectAll();
        QTest::keyClick(size->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(size->lineEdit(), text);
    }
    // Moves a combo box to the item as a user does with the keyboard.
    void Choose(int id, int index)
    {
        auto* combo = Find<QComboBox>(id);
        ASSERT_NE(combo, nullptr);
        combo->setFocus();
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
    }
    void Tick(int id)
    {
        auto* box = Find<QAbstractButton>(id);
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    bool InInsertMenu(int id) const
    {
        for (QAction* menu : frame->menuBar()->actions()) {
            if (menu->text() == QStringLiteral("&Insert") && menu->menu())
                return menu->menu()->actions().contains(frame->Action(id));
        }
        return false;
    }
    // File > Print to a PDF file; the Print dialog is answered.
    void PrintToFile(const QString& pdf)
    {
        chosenPath = pdf;
        CAnswer<CPrintSignDlg> print([](CPrintSignDlg* dialog) {
            dialog
                ->findChild<QComboBox*>(QStringLiteral("id%1").arg(CPrintSignDlg::IDC_DESTINATION))
                ->setCurrentIndex(CPrintSignDlg::DEST_FILE);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(IDOK)),
                              Qt::LeftButton);
        });
        Command(ID_FILE_PRINT);
        EXPECT_TRUE(print.Answered());
        EXPECT_EQ(PdfPageCount(pdf), 1) << messages.LastText().toStdString();
    }
    // The page point of a sign point, in pixels of the rendered page.
    QPointF PagePixel(double x, double y) const
    {
        const CPoint o = ThePaper().Current()->LabelOrigin(0, false);
        return QPointF((o.x + x) * kPdfDpi / 254.0, (o.y + y) * kPdfDpi / 254.0);
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CSignApp app;
    CMainFrame* frame = nullptr;
    CDesignView* view = nullptr;
    QString chosenPath;
};

// --- arc text ----------------------------------------------------------------

TEST_F(ArcSymbolPaneTest, ArcTextIsDrawnEditedInItsPaneAndPrintedOnItsCircle)
{
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(InInsertMenu(ID_TOOL_ARC_TEXT));
    Command(ID_TOOL_ARC_TEXT);
    // A flat drag makes a square of its width.
    Drag(200, 200, 800, 400);
    auto* arc = dynamic_cast<CArcText*>(view->Selection().Primary());
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->m_square, CRect(200, 200, 800, 800));
    EXPECT_EQ(arc->m_radius, 300);
    EXPECT_EQ(frame->PropertyPane()->objectName(), "id389");

    // Radius typed in millimetres rounds to the nearest tenth.
    struct
    {
        const char* typed;
        int radius;
    } const radii[] = {{"12.34", 123}, {"12.36", 124}, {"25", 250}};
    for (const auto& r : radii) {
        Type(1110, QString::fromLatin1(r.typed));
        EXPECT_EQ(arc->m_radius, r.radius) << r.typed;
    }
    Type(1002, "55");
    Type(1005, "60");
    EXPECT_EQ(arc->m_centreX, 550);
    EXPECT_EQ(arc->m_centreY, 600);
    EXPECT_EQ(arc->m_square, CRect(300, 350, 800, 850));

    // A start angle of 360 is refused (what was typed before it stands);
    // 0 is taken.
    Type(1029, "360");
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(arc->m_startAngle, 36);
    messages.Clear();
    Type(1029, "0");
    EXPECT_EQ(arc->m_startAngle, 0);
    EXPECT_EQ(messages.Count(), 0);

    Choose(1177, ARC_ALIGN_START);
    EXPECT_EQ(arc->m_alignment, ARC_ALIGN_START);
    Choose(1541, ARC_ANTICLOCKWISE);
    Choose(1541, ARC_CLOCKWISE);
    EXPECT_EQ(arc->m_direction, ARC_CLOCKWISE);

    auto* text = Find<QPlainTextEdit>(1049);
    ASSERT_NE(text, nullptr);
    text->setFocus();
    text->selectAll();
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::keyClicks(text, "FRESH FRUIT");
    EXPECT_EQ(arc->m_sampleText, "FRESH FRUIT");
    EXPECT_EQ(arc->GetText(), "FRESH FRUIT");

    // A point size typed as it stands, then the style.
    TypeSize("10.5");
    EXPECT_EQ(arc->m_font.FormatPointSize(), "10.5");
    TypeSize("14");
    const int height = arc->m_font.GetHeight();
    EXPECT_EQ(arc->m_font.FormatPointSize(), "14");
    Choose(1039, 3);
    EXPECT_EQ(arc->m_font.GetLogFont().lfWeight, 700);
    EXPECT_EQ(arc->m_font.GetLogFont().lfItalic, 1);
    EXPECT_EQ(arc->m_font.GetHeight(), height);

    // Spelling before print belongs to typed data only.
    auto* spell = Find<QCheckBox>(1274);
    ASSERT_NE(spell, nullptr);
    EXPECT_FALSE(spell->isEnabled());
    auto* kind = Find<QComboBox>(1000);
    ASSERT_NE(kind, nullptr);
    Choose(1000, kind->findData(SOURCE_KEYBOARD));
    ASSERT_EQ(arc->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_TRUE(spell->isEnabled());
    Tick(1274);
    EXPECT_TRUE(arc->IsSpellCheckForced());
    Choose(1000, kind->findData(SOURCE_FIXED));
    ASSERT_EQ(arc->m_dataSource, SOURCE_FIXED);
    EXPECT_FALSE(spell->isEnabled());
    EXPECT_FALSE(spell->isChecked());
    EXPECT_TRUE(frame->Document().IsModified());

    // Printed: every dark pixel lies on the ring the text was laid on, and
    // the text runs clockwise from the right-hand side of the circle.
    const QString pdf = home.FilePath("arc.pdf");
    PrintToFile(pdf);
    const QImage page = RenderPdfPage(pdf, 1, kPdfDpi);
    ASSERT_FALSE(page.isNull());
    const QPointF centre = PagePixel(arc->m_centreX, arc->m_centreY);
    const double px = kPdfDpi / 254.0;
    const double outer = arc->m_radius * px + 3;
    const double inner = (arc->m_radius - arc->m_font.GetHeight()) * px - 3;
    int ink = 0;
    int offRing = 0;
    int lowerRight = 0;
    int upperHalf = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) >= 128)
                continue;
            ++ink;
            const double dx = x + 0.5 - centre.x();
            const double dy = y + 0.5 - centre.y();
            const double r = std::hypot(dx, dy);
            if (r > outer || r < inner)
                ++offRing;
            if (dx > 0 && dy > 0)
                ++lowerRight;
            if (dy < -arc->m_radius * px * 0.2)
                ++upperHalf;
        }
    }
    EXPECT_GT(ink, 500);
    EXPECT_EQ(offRing, 0);
    EXPECT_GT(lowerRight, ink / 2);
    EXPECT_EQ(upperHalf, 0);
}

// --- symbols -------------------------------------------------------------------

TEST_F(ArcSymbolPaneTest, SelectSymbolListsTheCharacters33To124WhateverTheFace)
{
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(InInsertMenu(ID_TOOL_SYMBOL));
    QStringList expected;
    for (int code = 33; code <= 124; ++code)
        expected << QString(QChar(code));
    bool checked = false;
    CAnswer<CSymbolSelectDlg> select([&](CSymbolSelectDlg* dialog) {
        auto* faces = dialog->findChild<CListCtrlEx*>(QStringLiteral("symbolFonts"));
        auto* characters = dialog->findChild<QComboBox*>(QStringLiteral("symbolCharacters"));
        auto* ascii = dialog->findChild<QLabel*>(QStringLiteral("asciiReadout"));
        auto* decimal = dialog->findChild<QLabel*>(QStringLiteral("decimalReadout"));
        ASSERT_TRUE(faces && characters && ascii && decimal);
        // It opens on the default symbol face; every face shows the picture
        // of its kind.
        ASSERT_GE(faces->SelectedItem(), 0);
        EXPECT_EQ(faces->CellText(faces->SelectedItem(), 0), "Tabrel Symbol 1");
        for (int row = 0; row < faces->ItemCount(); ++row)
            EXPECT_FALSE(faces->item(row, 0)->icon().isNull())
                << faces->CellText(row, 0).toStdString();
        for (const QString& face :
             {QStringLiteral("Liberation Serif"), QStringLiteral("Liberation Mono")}) {
            const int row = faces->FindItemText(face);
            ASSERT_GE(row, 0) << face.toStdString();
            faces->scrollToItem(faces->item(row, 0));
            QTest::mouseClick(faces->viewport(), Qt::LeftButton, {},
                              faces->visualItemRect(faces->item(row, 0)).center());
            QStringList listed;
            for (int i = 0; i < characters->count(); ++i)
                listed << characters->itemText(i);
            EXPECT_EQ(listed, expected);
            EXPECT_EQ(characters->currentIndex(), 0);
            EXPECT_EQ(characters->font().family(), face);
        }
        characters->setFocus();
        QTest::keyClick(characters, Qt::Key_Down);
        QTest::keyClick(characters, Qt::Key_Down);
        EXPECT_EQ(ascii->text(), "#");
        EXPECT_EQ(decimal->text(), "35");
        checked = true;
        dialog->accept();
    });
    Command(ID_TOOL_SYMBOL);
    ASSERT_TRUE(select.Answered());
    EXPECT_TRUE(checked);
    // The symbol waits for the click that places it.
    auto* pending = dynamic_cast<CSymbol*>(view->PendingElement());
    ASSERT_NE(pending, nullptr);
    EXPECT_EQ(pending->GetSampleData(), "#");
    EXPECT_EQ(pending->TextBase().GetFont().GetFaceName(), "Liberation Mono");
    Click(400, 400);
    EXPECT_EQ(view->Selection().Primary(), pending);
    EXPECT_EQ(pending->TextBase().GetOrigin(), CPoint(400, 400));

    // Cancel places nothing.
    CAnswer<CSymbolSelectDlg> cancel([](CSymbolSelectDlg* dialog) { dialog->reject(); });
    Command(ID_TOOL_SYMBOL);
    EXPECT_TRUE(cancel.Answered());
    EXPECT_EQ(view->PendingElement(), nullptr);
    EXPECT_EQ(TheElementList().GetCount(), 1);
}

TEST_F(ArcSymbolPaneTest, SymbolIsEditedInItsPaneSavedOpenedAgainAndPrinted)
{
    ASSERT_NE(view, nullptr);
    CAnswer<CSymbolSelectDlg> select([](CSymbolSelectDlg* dialog) {
        auto* faces = dialog->findChild<CListCtrlEx*>(QStringLiteral("symbolFonts"));
        ASSERT_GE(faces->SelectItemText(QStringLiteral("Liberation Sans")), 0);
        dialog->accept();
    });
    Command(ID_TOOL_SYMBOL);
    ASSERT_TRUE(select.Answered());
    Click(300, 300);
    auto* symbol = dynamic_cast<CSymbol*>(view->Selection().Primary());
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->GetSampleData(), "!");
    EXPECT_EQ(frame->PropertyPane()->objectName(), "id387");

    // The list: the 92 characters, the symbol's own selected.
    auto* list = Find<QListWidget>(1219);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 92);
    EXPECT_EQ(list->item(0)->text(), "!");
    EXPECT_EQ(list->item(91)->text(), "|");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(Find<QLabel>(1502)->text(), "33");
    // Choosing "L" makes it the symbol's character.
    QListWidgetItem* ell = list->item('L' - 33);
    list->scrollToItem(ell);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(ell).center());
    EXPECT_EQ(symbol->GetSampleData(), "L");
    EXPECT_EQ(symbol->GetText(), "L");
    EXPECT_EQ(Find<QLabel>(1501)->text(), "L");
    EXPECT_EQ(Find<QLabel>(1502)->text(), "76");

    // "Native (Fastest)" is never offered.
    EXPECT_FALSE(Find<QRadioButton>(1386)->isEnabled());

    // Angles: 360 is taken (as upright), 361 refused.
    Type(1029, "361");
    EXPECT_EQ(messages.Count(), 1);
    messages.Clear();
    Type(1029, "360");
    EXPECT_EQ(symbol->GetAngle(), 0);
    EXPECT_EQ(messages.Count(), 0);
    Type(1029, "90");
    EXPECT_EQ(symbol->GetAngle(), 90);

    // A size beyond what the face allows is brought to the largest it does.
    TypeSize("5000");
    EXPECT_EQ(symbol->TextBase().GetFont().GetHeight(), CLogFont::kMaxHeight);
    EXPECT_NE(Find<QComboBox>(1040)->currentText(), "5000");
    TypeSize("36");
    EXPECT_EQ(symbol->TextBase().GetFont().FormatPointSize(), "36");

    // The background colour shows only while it is asked for, and keeps
    // its colour when it is not.
    auto* swatch = Find<QWidget>(1045);
    ASSERT_NE(swatch, nullptr);
    EXPECT_FALSE(swatch->isVisible());
    Tick(1204);
    EXPECT_TRUE(symbol->m_colouredBackground);
    EXPECT_TRUE(swatch->isVisible());
    EXPECT_TRUE(Find<QLabel>(1205)->isVisible());
    const COLORREF background = symbol->m_backgroundColour;
    Tick(1204);
    EXPECT_FALSE(symbol->m_colouredBackground);
    EXPECT_FALSE(swatch->isVisible());
    EXPECT_EQ(symbol->m_backgroundColour, background);

    Type(1002, "40");
    Type(1005, "50");
    EXPECT_EQ(symbol->TextBase().GetOrigin(), CPoint(400, 500));
    const CRect frameRect = symbol->Frame();

    // Saved, a new sign started, and the saved one opened again.
    const QString path = home.FilePath("symbol.sgn");
    chosenPath = path;
    Command(ID_FILE_SAVE_AS);
    ASSERT_TRUE(QFile::exists(path)) << messages.LastText().toStdString();
    Command(ID_FILE_NEW);
    EXPECT_EQ(TheElementList().GetCount(), 0);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(TheElementList().GetCount(), 1) << messages.LastText().toStdString();
    auto* opened = dynamic_cast<CSymbol*>(TheElementList().GetAt(0));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->GetSampleData(), "L");
    EXPECT_EQ(opened->GetAngle(), 90);
    EXPECT_EQ(opened->TextBase().GetFont().FormatPointSize(), "36");
    EXPECT_EQ(opened->Frame(), frameRect);
    const CRect bounds = opened->m_bounds;

    // Printed: the "L" turned a quarter clockwise lies in its bounds, its
    // stem along the top and its foot down the left.
    const QString pdf = home.FilePath("symbol.pdf");
    PrintToFile(pdf);
    const QImage page = RenderPdfPage(pdf, 1, kPdfDpi);
    ASSERT_FALSE(page.isNull());
    const QPointF topLeft = PagePixel(bounds.left, bounds.top);
    const QPointF bottomRight = PagePixel(bounds.right, bounds.bottom);
    int inside = 0;
    int outside = 0;
    double sx = 0, sy = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) >= 128)
                continue;
            if (x + 1 >= topLeft.x() && x <= bottomRight.x() + 1 && y + 1 >= topLeft.y() &&
                y <= bottomRight.y() + 1) {
                ++inside;
                sx += x + 0.5;
                sy += y + 0.5;
            } else {
                ++outside;
            }
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
    const QPointF middle = (topLeft + bottomRight) / 2;
    EXPECT_LT(sx / inside, middle.x());
    EXPECT_LT(sy / inside, middle.y());
}

// A stored character the list does not offer selects nothing: the pane
// shows it as it is and leaves it so.
TEST_F(ArcSymbolPaneTest, ACharacterOutsideTheListSelectsNothing)
{
    ASSERT_NE(view, nullptr);
    auto* symbol = new CSymbol;
    symbol->SetSampleData(nullptr, QStringLiteral("~"));
    symbol->BeginCreate(nullptr, 200, 200);
    ASSERT_TRUE(TheElementList().AddTail(symbol));
    Click(symbol->m_bounds.left + 2, symbol->m_bounds.top + 2);
    ASSERT_EQ(view->Selection().Primary(), symbol);
    auto* list = Find<QListWidget>(1219);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(Find<QLabel>(1501)->text(), "~");
    EXPECT_EQ(Find<QLabel>(1502)->text(), "126");
    EXPECT_EQ(symbol->GetSampleData(), "~");
    EXPECT_EQ(symbol->GetText(), "~");
}

// --- OLE objects ---------------------------------------------------------------

// A sign made on Windows with an OLE object among its elements, opened with
// File > Open: the object is left out with one message, and the elements,
// the paper and the rest of the sign are read as they were.
TEST_F(ArcSymbolPaneTest, ASignHoldingAnObjectOpensWithEverythingElse)
{
    ASSERT_NE(view, nullptr);
    const CRect objectRect(1111, 2222, 1333, 2444);
    QByteArray rectBytes;
    {
        CArchive ar(&rectBytes, CArchive::store);
        ar << objectRect;
    }
    for (const bool objectLast : {false, true}) {
        SCOPED_TRACE(objectLast ? "object last" : "object between");
        Command(ID_FILE_NEW);
        auto* box = new CBox;
        box->m_name = "Frame";
        box->SetBounds(nullptr, CRect(100, 100, 600, 400));
        ASSERT_TRUE(TheElementList().AddTail(box));
        auto* object = new COleObject;
        object->m_name = "Chart";
        object->m_position = objectRect;
        object->RecalcPosition(nullptr);
        auto* arc = new CArcText;
        arc->m_name = "Banner";
        arc->SetBounds(nullptr, CRect(700, 700, 1100, 1100));
        if (objectLast) {
            ASSERT_TRUE(TheElementList().AddTail(arc));
            ASSERT_TRUE(TheElementList().AddTail(object));
        } else {
            ASSERT_TRUE(TheElementList().AddTail(object));
            ASSERT_TRUE(TheElementList().AddTail(arc));
        }
        const QString path = home.FilePath("windows.sgn");
        chosenPath = path;
        Command(ID_FILE_SAVE_AS);

        // The object's own data, as the Windows program stored it after
        // the element's frame.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        const qsizetype at = bytes.indexOf(rectBytes);
        ASSERT_GT(at, 0);
        QByteArray item("\x01\x05\x00\x00\x02\x00\x00\x00", 8);
        for (int i = 0; i < 2000; ++i)
            item.append(char((i * 7919) >> 3));
        bytes.insert(at + rectBytes.size(), item);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        Command(ID_FILE_NEW);
        messages.Clear();
        Command(ID_FILE_OPEN);
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_TRUE(messages.LastText().contains("OLE object"));
        EXPECT_TRUE(messages.LastText().contains("left out"));
        ASSERT_EQ(TheElementList().GetCount(), 2);
        EXPECT_EQ(TheElementList().GetAt(0)->m_name, "Frame");
        EXPECT_EQ(TheElementList().GetAt(1)->m_name, "Banner");
        EXPECT_EQ(TheElementList().GetAt(1)->GetTypeCode(), TYPE_ARC_TEXT);
        EXPECT_EQ(ThePaper().GetPaperName(), "A4");
        EXPECT_EQ(frame->Document().GetPathName(), path);
        EXPECT_TRUE(frame->Document().IsModified());
        frame->Document().SetModifiedFlag(false);
    }
}

TEST_F(ArcSymbolPaneTest, ObjectsAreNeverOfferedForInsertion)
{
    ASSERT_NE(view, nullptr);
    frame->UpdateActionsNow();
    EXPECT_TRUE(InInsertMenu(ID_TOOL_OBJECT));
    EXPECT_FALSE(frame->Action(ID_TOOL_OBJECT)->isEnabled());
}

} // namespace
