// The paper and printing roads as a user takes them through the designer's
// real main frame: the Sign Settings pane, the paper dialogs, the canvas
// tools, the print station and the printed file.
#include "AppContext.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PaperDesignDlg.h"
#include "PaperStockDlg.h"
#include "SignApp.h"
#include "TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <map>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Runs the action on the first modal dialog of type T that shows while the
// object lives (once).
template <class T> class CAnswer
{
public:
    explicit CAnswer(std::function<void(T*)> action) : m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_answered = true;
                m_action(dialog);
            }
        });
        m_timer.start(5);
    }
    bool Answered() const { return m_answered; }

private:
    std::function<void(T*)> m_action;
    QTimer m_timer;
    bool m_answered = false;
};

template <class W> W* Control(QWidget* parent, int id)
{
    W* w = parent->findChild<W*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

void Type(QWidget* dialog, int id, const QString& text)
{
    auto* edit = Control<QLineEdit>(dialog, id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// The built-in library of the tests: a plain page and a sheet of 3 x 8
// labels.
const char kStockLibrary[] =
    "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner "
    "Radius,Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch]\r\n"
    "Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0\r\n"
    "Labels,Labels 3x8,2100,2970,0,129,72,0,20,635,3,6600,339,8,3390\r\n";

class PrintingFlowTest : public ::testing::Test
{
protected:
    PrintingFlowTest()
    {
        EnsureWidgetApp();
        RegisterPanes();
        QFile file(home.FilePath("Stock.zel"));
        file.open(QIODevice::WriteOnly);
        file.write(kStockLibrary);
    }

    // Starts the designer as a user does; the frame is the real one.
    CMainFrame* Start(CSignApp& app)
    {
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        if (!app.InitInstance({"tabrel"}))
            return nullptr;
        return qobject_cast<CMainFrame*>(app.GetMainWindow());
    }

    CTestHome home;
    CMessageResponder messages;
};

// A stock designed from the Sign Settings pane goes into "Stock2.zel" when
// the program ends, and is there, and the sign's paper, when it starts again.
TEST_F(PrintingFlowTest, StockDesignedThroughThePaneOutlivesARestart)
{
    {
        CAppContext context;
        CSignApp app;
        CMainFrame* frame = Start(app);
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(ThePaper().StockCount(), 2);

        CAnswer<CPaperDesignDlg> design([](CPaperDesignDlg* dlg) {
            Control<QComboBox>(dlg, 1498)->setEditText(QStringLiteral("Shelf"));
            Control<QLineEdit>(dlg, 1050)->setText(QStringLiteral("Shelf talker"));
            Type(dlg, 1144, "90");
            Type(dlg, 1145, "50.5");
            Type(dlg, 1148, "210");
            Type(dlg, 1139, "297");
            Type(dlg, 1140, "10");
            Type(dlg, 1141, "12.5");
            Type(dlg, 1143, "2");
            Type(dlg, 1142, "5");
            Type(dlg, 1146, "5");
            Type(dlg, 1147, "3");
            Control<QPushButton>(dlg, 1)->click();
        });
        CAnswer<CPaperStockDlg> choose([](CPaperStockDlg* dlg) {
            Control<QPushButton>(dlg, CPaperStockDlg::IDC_NEW)->click();
            // The new stock is the one shown and chosen.
            EXPECT_EQ(Control<QListWidget>(dlg, 1136)->currentItem()->text(), "Shelf talker");
            Control<QPushButton>(dlg, 1)->click();
        });
        auto* change = Control<QPushButton>(frame->PropertyPane(), 1526);
        ASSERT_NE(change, nullptr);
        change->click();
        EXPECT_TRUE(choose.Answered());
        EXPECT_TRUE(design.Answered());
        EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
        EXPECT_EQ(ThePaper().GetPaperName(), "Shelf talker");
        // The pane shows the new stock.
        EXPECT_EQ(Control<QLabel>(frame->PropertyPane(), 1528)->text(), "Shelf talker");
        EXPECT_EQ(Control<QLabel>(frame->PropertyPane(), 1138)->text(), "10");
        EXPECT_TRUE(frame->Document().IsModified());
        frame->Document().SetModifiedFlag(false);
        app.ExitInstance();
    }
    QFile saved(home.FilePath("Stock2.zel"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_TRUE(
        text.contains("Shelf,Shelf talker,2100,2970,0,125,100,0,0,900,2,9500,505,5,5350\r\n"))
        << text.toStdString();

    {
        CAppContext context;
        CSignApp app;
        ASSERT_NE(Start(app), nullptr);
        EXPECT_EQ(ThePaper().GetPaperName(), "Shelf talker");
        CPaperStock stock;
        ASSERT_TRUE(ThePaper().GetStock(QStringLiteral("Shelf talker"), stock));
        EXPECT_EQ(stock.category, "Shelf");
        EXPECT_EQ(stock.builtIn, 0);
        EXPECT_EQ(stock.labelWidth, 900);
        EXPECT_EQ(stock.labelHeight, 505);
        EXPECT_EQ(stock.horzPitch, 9500);
        EXPECT_EQ(stock.vertPitch, 5350);
        EXPECT_EQ(stock.topMargin, 125);
        EXPECT_EQ(stock.LabelsPerSheet(), 10);
        app.ExitInstance();
    }
}

} // namespace
