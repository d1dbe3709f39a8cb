// What a new user of the designer meets first, through the real main frame:
// the keyboard after a file box, the menus' Alt keys, panes that follow
// what the menus and the source list change, a canvas whose zoom stays put
// while the pane beside it changes, a barcode placed with one click, the
// web menu item without a browser, and the picture boxes' folder.
#include "AppContext.h"
#include "Barcode.h"
#include "Box.h"
#include "Commands.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "ElementList.h"
#include "Image.h"
#include "ImageSelect.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneControls.h"
#include "PaneParts.h"
#include "PriceField.h"
#include "PriceFormatList.h"
#include "PriceFormatWizard.h"
#include "PrintSignDlg.h"
#include "SelectBarcodeTypeDlg.h"
#include "Selection.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbology.h"
#include "TestSupport.h"
#include "Text.h"
#include "ui/AboutDlg.h"
#include "ui/SignSelect.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWizard>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// The desktop has no program for web and mail addresses: the address is
// handed over and nothing takes it.
class CNoBrowser : public QObject
{
    Q_OBJECT

public:
    CNoBrowser()
    {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "NoProgram");
    }
    ~CNoBrowser() override
    {
        for (const char* scheme : {"http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
};

QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&')
                return text[i + 1].toUpper();
            ++i;
        }
    }
    return QChar();
}

// The parts of a widget that were painted, paint by paint.
class CPaintedRegion : public QObject
{
public:
    explicit CPaintedRegion(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    ~CPaintedRegion() override { m_widget->removeEventFilter(this); }
    const QRegion& Region() const { return m_region; }
    void Clear() { m_region = QRegion(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            m_region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QWidget* m_widget;
    QRegion m_region;
};

class FirstUseTest : public CDesignerStartTest
{
protected:
    template <class T> T* Pane(int id) const
    {
        QWidget* pane = frame->PropertyPane();
        return pane ? pane->findChild<T*>(QStringLiteral("id%1").arg(id)) : nullptr;
    }
    bool Activate()
    {
        frame->activateWindow();
        return QTest::qWaitForWindowActive(frame);
    }
};

} // namespace

// --- the keyboard --------------------------------------------------------------------

// Once the Save As box has closed, Ctrl+P prints without a click on the
// canvas first: the keyboard is back where it was before the box opened.
TEST_F(FirstUseTest, CtrlPWorksOnceTheSaveAsBoxHasClosed)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Activate());
    view->setFocus();
    const QString path = home.FilePath(QStringLiteral("poster.sgn"));
    CAnswer<CSignSelect> save([&path](CSignSelect* box) {
        box->selectFile(path);
        static_cast<QDialog*>(box)->accept();
    });
    ASSERT_TRUE(Command(ID_FILE_SAVE_AS));
    ASSERT_TRUE(save.Answered());
    ASSERT_EQ(frame->Document().GetPathName(), path);
    // Without a window manager nothing else hands the keyboard back.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == frame; }, 20000));
    EXPECT_EQ(QApplication::focusWidget(), view);

    bool asked = false;
    CAnswer<CPrintSignDlg> print([&asked](CPrintSignDlg* dialog) {
        asked = true;
        dialog->reject();
    });
    QWidget* keys = QApplication::focusWidget() ? QApplication::focusWidget() : frame;
    QTest::keyClick(keys, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked; }, 20000));
}

// No two items of a menu share an Alt key, so each key reaches its item:
// Alt+I, B arms the box tool; the Parts' own keys stand.
TEST_F(FirstUseTest, MenuAltKeysAreUniqueAndReachTheirCommands)
{
    ASSERT_TRUE(Start());
    frame->UpdateActionsNow();
    for (QAction* top : frame->menuBar()->actions()) {
        QMenu* menu = top->menu();
        // Undo and Duplicate keep the keys they have always had.
        if (!menu || top->text() == QLatin1String("&Edit"))
            continue;
        std::map<QChar, QString> taken;
        for (QAction* item : menu->actions()) {
            if (item->isSeparator() || !item->isVisible())
                continue;
            const QChar key = Mnemonic(item->text());
            if (key.isNull())
                continue;
            const auto [at, fresh] = taken.emplace(key, item->text());
            EXPECT_TRUE(fresh) << top->text().toStdString() << ": "
                               << at->second.toStdString() << " and "
                               << item->text().toStdString();
        }
    }
    const struct
    {
        int id;
        const char* text;
    } kept[] = {{ID_SIGN_PROPERTIES, "Proper&ties..."},
                {ID_VIEW_TOOLBAR, "&Main Toolbar"},
                {ID_TOOL_BOX, "&Box"},
                {ID_WEB_PAGE, "Corvane &Home Page"}};
    for (const auto& k : kept)
        EXPECT_EQ(frame->Action(k.id)->text(), QString::fromLatin1(k.text));

    ASSERT_TRUE(Activate());
    view->setFocus();
    QTest::keyClick(frame, Qt::Key_I, Qt::AltModifier);
    QMenu* insert = nullptr;
    QTRY_VERIFY((insert = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
    QTest::keyClick(insert, Qt::Key_B);
    QTRY_COMPARE(view->Mode(), int(MODE_BOX));
}

// In the price format wizard no two controls of a page share an Alt key
// with each other or with the wizard's buttons: "None" keeps Alt+N and Next
// has a key of its own.
TEST_F(FirstUseTest, PriceFormatWizardKeysAreUniqueOnEveryPage)
{
    ASSERT_TRUE(Start());
    int pages = 0;
    CAnswer<CPriceFormatWizard> wizard([&pages](CPriceFormatWizard* dialog) {
        for (;;) {
            ++pages;
            std::map<QChar, QString> taken;
            QList<QAbstractButton*> controls =
                dialog->currentPage()->findChildren<QAbstractButton*>();
            for (int which : {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton,
                              QWizard::CancelButton})
                controls << dialog->button(QWizard::WizardButton(which));
            for (QAbstractButton* control : controls) {
                if (!control || !control->isVisible())
                    continue;
                const QChar key = Mnemonic(control->text());
                if (key.isNull())
                    continue;
                const auto [at, fresh] = taken.emplace(key, control->text());
                EXPECT_TRUE(fresh) << dialog->currentPage()->objectName().toStdString() << ": "
                                   << at->second.toStdString() << " and "
                                   << control->text().toStdString();
            }
            if (dialog->currentPage()->objectName() == QLatin1String("pricePart0")) {
                EXPECT_EQ(Mnemonic(dialog->currentPage()->findChild<QRadioButton*>("none")->text()),
                          QChar(u'N'));
            }
            if (dialog->nextId() < 0)
                break;
            dialog->next();
        }
        dialog->reject();
    });
    ASSERT_TRUE(Command(ID_PRICE_FORMAT_NEW));
    ASSERT_TRUE(wizard.Answered());
    EXPECT_GT(pages, 5);
}

// --- panes that follow -----------------------------------------------------------------

// A price format made with New Format... is in the open price pane's list
// at once, and can be chosen there.
TEST_F(FirstUseTest, NewPriceFormatShowsInTheOpenPriceList)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Command(ID_TOOL_PRICE));
    Click(300, 300);
    auto* price = dynamic_cast<CPriceField*>(view->Selection().Primary());
    ASSERT_NE(price, nullptr);
    auto* formats = Pane<QComboBox>(1059);
    ASSERT_NE(formats, nullptr);
    const int before = formats->count();

    CAnswer<CPriceFormatWizard> wizard([](CPriceFormatWizard* dialog) {
        while (dialog->currentPage()->objectName() != QLatin1String("formatName"))
            dialog->next();
        auto* name = dialog->currentPage()->findChild<QLineEdit*>("name");
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("Deli"));
        dialog->button(QWizard::FinishButton)->click();
    });
    ASSERT_TRUE(Command(ID_PRICE_FORMAT_NEW));
    ASSERT_TRUE(wizard.Answered());
    ASSERT_NE(ThePriceFormatList().FindFormat(QStringLiteral("Deli")), nullptr);

    formats = Pane<QComboBox>(1059);
    ASSERT_NE(formats, nullptr);
    EXPECT_EQ(formats->count(), before + 1);
    const int deli = formats->findText(QStringLiteral("Deli"));
    ASSERT_GE(deli, 0);
    formats->setCurrentIndex(deli);
    emit formats->activated(deli);
    EXPECT_EQ(price->GetFormat().m_name, QStringLiteral("Deli"));
}

// The picture pane's Formatting page enables its lists as soon as the
// picture's source changes.
TEST_F(FirstUseTest, PictureFormattingFollowsTheSourceAtOnce)
{
    ASSERT_TRUE(Start());
    const QString photo = home.FilePath(QStringLiteral("photo.png"));
    QImage picture(60, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(photo));
    // A text typed at print time, for the picture to follow.
    auto* text = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
    text->BeginCreate(view, 900, 900);
    text->SetTextFromLines(QStringLiteral("photo"));
    text->m_name = QStringLiteral("Picture name");
    text->SetDataSource(SOURCE_KEYBOARD, QString());

    CAnswer<CImageSelect> pick([&photo](CImageSelect* box) {
        box->selectFile(photo);
        box->accept();
    });
    ASSERT_TRUE(Command(ID_TOOL_PICTURE));
    ASSERT_TRUE(pick.Answered());
    Click(200, 200);
    ASSERT_NE(dynamic_cast<CImage*>(view->Selection().Primary()), nullptr);
    auto* type = Pane<QComboBox>(1000);
    ASSERT_NE(type, nullptr);
    auto* sizing = Pane<QComboBox>(1257);
    auto* horz = Pane<QComboBox>(1079);
    auto* prefix = Pane<QLineEdit>(1214);
    auto* suffix = Pane<QComboBox>(1215);
    ASSERT_TRUE(sizing && horz && prefix && suffix);
    auto* tabs = frame->PropertyPane()->findChild<CTab*>();
    ASSERT_NE(tabs, nullptr);

    // A kind chosen in the Type list on the Picture page, as the user picks
    // it; then the user turns to the Formatting page to see its lists.
    const auto choose = [type, tabs](int kind) {
        tabs->setCurrentIndex(0);
        const int index = type->findData(kind);
        type->setCurrentIndex(index);
        emit type->activated(index);
        tabs->setCurrentIndex(1);
    };
    tabs->setCurrentIndex(1);
    EXPECT_FALSE(sizing->isEnabled());

    choose(SOURCE_KEYBOARD); // "Selection"
    EXPECT_TRUE(sizing->isEnabled());
    EXPECT_TRUE(horz->isEnabled());
    EXPECT_FALSE(prefix->isEnabled());

    choose(SOURCE_ELEMENT);
    EXPECT_TRUE(prefix->isEnabled());
    EXPECT_TRUE(suffix->isEnabled());

    choose(SOURCE_FIXED);
    EXPECT_FALSE(sizing->isEnabled());
    EXPECT_FALSE(prefix->isEnabled());
}

// After a barcode was resized by a handle, every place where the drag
// showed something is painted again: the handles it started with and the
// outline it ended with, which the bars' own size may not cover.
TEST_F(FirstUseTest, ResizedBarcodeLeavesNoHandlesBehind)
{
    ASSERT_TRUE(Start());
    CAnswer<CSelectBarcodeTypeDlg> type([](CSelectBarcodeTypeDlg* dialog) {
        dialog->SelectSymbology(SYM_CODE39);
        dialog->accept();
    });
    ASSERT_TRUE(Command(ID_TOOL_BARCODE));
    ASSERT_TRUE(type.Answered());
    Click(300, 300);
    auto* barcode = dynamic_cast<CBarcode*>(view->Selection().Primary());
    ASSERT_NE(barcode, nullptr);
    QApplication::processEvents();

    CPaintedRegion painted(Surface());
    auto device = [this](const CRect& r) {
        const QPoint a = Dp(r.left, r.top);
        const QPoint b = Dp(r.right, r.bottom);
        return QRect(a, b).normalized();
    };
    // The right handle dragged out (the bars keep their width), then the
    // bottom one up.
    for (const int handle : {HANDLE_RIGHT, HANDLE_BOTTOM}) {
        SCOPED_TRACE(handle);
        QRegion handles;
        for (const CRect& h : barcode->m_handles)
            handles += device(h);
        const CRect h = barcode->m_handles[handle];
        const QPoint from = Dp(h.CenterPoint().x, h.CenterPoint().y);
        const QPoint to = handle == HANDLE_RIGHT ? from + QPoint(120, 0) : from - QPoint(0, 25);
        painted.Clear();
        QTest::mousePress(Surface(), Qt::LeftButton, Qt::NoModifier, from);
        for (const QPoint& p : {(from + to) / 2, to}) {
            QMouseEvent move(QEvent::MouseMove, p, Surface()->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(Surface(), &move);
        }
        QApplication::processEvents();
        const QRect outline = device(barcode->m_bounds);
        const QRegion sinceStart = painted.Region();
        painted.Clear();
        QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, to);
        QApplication::processEvents();
        EXPECT_TRUE((handles - sinceStart - painted.Region()).isEmpty())
            << "the handles the drag began with";
        EXPECT_TRUE((QRegion(outline) - painted.Region()).isEmpty()) << "the outline it ended with";
    }
}

// --- the canvas's zoom -------------------------------------------------------------------

// In whole-sign view the zoom is fitted to the window and the sign; the
// pane beside the canvas may change its width as elements are chosen
// without moving the sheet, and a resize begun as the pane changes comes
// out as dragged.
TEST_F(FirstUseTest, WholeSignZoomStaysWhileThePaneChanges)
{
    ASSERT_TRUE(Start());
    // A tall window: the sheet's width sets the zoom.
    frame->resize(1000, 1400);
    QApplication::processEvents();
    ASSERT_TRUE(Command(ID_VIEW_WHOLE_SIGN));
    ASSERT_TRUE(Command(ID_TOOL_BOX));
    Drag(200, 200, 500, 400);
    auto* box = dynamic_cast<CBox*>(view->Selection().Primary());
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Command(ID_TOOL_TEXT));
    Click(200, 700);
    auto* text = dynamic_cast<CText*>(view->Selection().Primary());
    ASSERT_NE(text, nullptr);
    ASSERT_TRUE(Command(ID_TOOL_PRICE));
    Click(700, 700);
    ASSERT_NE(dynamic_cast<CPriceField*>(view->Selection().Primary()), nullptr);

    const int percent = view->ZoomPercent();
    const CPoint origin = view->ViewportOrigin();
    std::set<int> widths;
    for (const CPoint at : {CPoint(350, 300), CPoint(720, 720), CPoint(210, 710), CPoint(1500, 2500)}) {
        Click(at.x, at.y);
        QApplication::processEvents();
        widths.insert(Surface()->width());
        EXPECT_EQ(view->ZoomPercent(), percent);
        EXPECT_EQ(view->ViewportOrigin(), origin);
    }
    EXPECT_GT(widths.size(), 1u) << "the panes differ in width";

    // The box's corner dragged while the text is the pane's element: the
    // pane switches to the box's as the drag begins.
    Click(350, 300);
    Click(210, 710, Qt::ControlModifier);
    ASSERT_EQ(frame->ShownElement(), text);
    ASSERT_EQ(view->Selection().GetCount(), 2);
    const CRect r = CSelection::PositionRect(box);
    const CRect h = box->m_handles[HANDLE_BOTTOM_RIGHT];
    const QPoint from = Dp(h.CenterPoint().x, h.CenterPoint().y);
    const CSize step = view->LPtoDPSize(CSize(100, 50));
    DragDevice(from, from + QPoint(step.cx, step.cy));
    EXPECT_EQ(frame->ShownElement(), box);
    const CRect now = CSelection::PositionRect(box);
    EXPECT_NEAR(now.Width(), r.Width() + 100, 3);
    EXPECT_NEAR(now.Height(), r.Height() + 50, 3);

    // The window: fitted anew.
    frame->resize(800, 1400);
    QApplication::processEvents();
    EXPECT_LT(view->ZoomPercent(), percent);
}

// --- placing a barcode -------------------------------------------------------------------

// After the type box's OK, one click on the canvas places the barcode.
TEST_F(FirstUseTest, BarcodeIsPlacedWithOneClickAfterTheTypeBox)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Activate());
    CAnswer<CSelectBarcodeTypeDlg> type([](CSelectBarcodeTypeDlg* dialog) {
        dialog->SelectSymbology(SYM_CODE39);
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("id1"));
        if (ok)
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            dialog->accept();
    });
    QToolButton* tool = nullptr;
    for (QToolButton* button : frame->DrawToolBar()->findChildren<QToolButton*>()) {
        if (button->defaultAction() == frame->Action(ID_TOOL_BARCODE))
            tool = button;
    }
    ASSERT_NE(tool, nullptr);
    QTest::mouseClick(tool, Qt::LeftButton);
    QTRY_VERIFY(type.Answered());
    QTRY_COMPARE(view->Mode(), int(MODE_BARCODE_PLACE));
    const int count = TheElementList().GetCount();
    Click(400, 400);
    EXPECT_EQ(TheElementList().GetCount(), count);
    EXPECT_NE(dynamic_cast<CBarcode*>(view->Selection().Primary()), nullptr);
    EXPECT_EQ(view->Mode(), int(MODE_SELECT));
}

// --- the web menu item -------------------------------------------------------------------

// Without a browser the user is told so, not that the address is refused;
// an address that is refused is still named as such; the About box's links
// tell the same.
TEST_F(FirstUseTest, HomePageWithoutABrowserSaysSo)
{
    ASSERT_TRUE(Start());
    CNoBrowser none;
    FrameHooks().webAddress = QStringLiteral("https://shop.example/");
    ASSERT_TRUE(Command(ID_WEB_PAGE));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("no web browser")))
        << messages.LastText().toStdString();
    EXPECT_FALSE(messages.LastText().contains(QStringLiteral("only web and mail")));

    FrameHooks().webAddress = QStringLiteral("file:///etc/passwd");
    ASSERT_TRUE(Command(ID_WEB_PAGE));
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("only web and mail")));
    FrameHooks().webAddress.clear();

    CAnswer<CAboutDlg> about([](CAboutDlg* dialog) {
        emit dialog->AboutText()->anchorClicked(QUrl(QStringLiteral("https://shop.example/help")));
        dialog->accept();
    });
    ASSERT_TRUE(Command(ID_APP_ABOUT));
    ASSERT_TRUE(about.Answered());
    ASSERT_EQ(messages.Count(), 3);
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("no web browser")));
}

// --- the picture folder ------------------------------------------------------------------

// Insert > Picture... opens in the last-used picture folder of the profile,
// and the folder of the picture chosen is the one kept for next time.
TEST_F(FirstUseTest, PictureBoxStartsInAndKeepsTheLastPictureFolder)
{
    QDir(home.Path()).mkpath(QStringLiteral("shelf/photos"));
    QDir(home.Path()).mkpath(QStringLiteral("offers"));
    const QString photos = home.FilePath(QStringLiteral("shelf/photos"));
    const QString offers = home.FilePath(QStringLiteral("offers"));
    const QString photo = QDir(offers).filePath(QStringLiteral("apple.png"));
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(photo));
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Corvane"),
              QStringLiteral("Tabrel"))
        .setValue(QStringLiteral("paths/LastImage"), photos);
    ASSERT_TRUE(Start());

    QString opened;
    CAnswer<CImageSelect> choose([&](CImageSelect* box) {
        opened = box->directory().absolutePath();
        box->setDirectory(offers);
        box->selectFile(photo);
        box->accept();
    });
    ASSERT_TRUE(Command(ID_TOOL_PICTURE));
    ASSERT_TRUE(choose.Answered());
    EXPECT_EQ(opened, photos);
    Click(300, 300);
    ASSERT_NE(dynamic_cast<CImage*>(view->Selection().Primary()), nullptr);

    QString again;
    CAnswer<CImageSelect> second([&again](CImageSelect* box) {
        again = box->directory().absolutePath();
        box->reject();
    });
    ASSERT_TRUE(Command(ID_TOOL_PICTURE));
    ASSERT_TRUE(second.Answered());
    EXPECT_EQ(again, offers);

    Stop();
    const QString kept = QSettings(QSettings::IniFormat, QSettings::UserScope,
                                   QStringLiteral("Corvane"), QStringLiteral("Tabrel"))
                             .value(QStringLiteral("paths/LastImage"))
                             .toString();
    EXPECT_EQ(QDir::cleanPath(kept), offers);
}

#include "FirstUseTest.moc"
