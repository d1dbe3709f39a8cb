// A text from the first click to the printed page, as a user makes it in
// the designer: selected on the canvas, its rich words typed in the pane
// (and one made italic in the Rich Text Editor), numbered as a list on the
// Effects page, its spelling checked with Edit > Spelling, and printed to
// a PDF file that is read back.
#include "AppContext.h"
#include "BulletArray.h"
#include "Commands.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Mivant.h"
#include "PaneParts.h"
#include "PdfSupport.h"
#include "PrintSignDlg.h"
#include "RichTextDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "SpellDlg.h"
#include "TestSupport.h"
#include "Text.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const char kStockLibrary[] =
    "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner "
    "Radius,Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch]\r\n"
    "Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0\r\n";

// Answers every modal dialog of a type that shows, until stopped.
template <class T> class CAnswer
{
public:
    explicit CAnswer(std::function<void(T*)> action) : m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                ++m_answered;
                m_action(dialog);
            }
        });
        m_timer.start(5);
    }
    int Answered() const { return m_answered; }

private:
    std::function<void(T*)> m_action;
    QTimer m_timer;
    int m_answered = 0;
};

QString Output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

class TextFlowTest : public CDesignerFixture
{
protected:
    TextFlowTest()
    {
        QFile stock(home.FilePath("Stock.zel"));
        if (stock.open(QIODevice::WriteOnly))
            stock.write(kStockLibrary);
        stock.close();
        FrameHooks().chooseFile = [this](QWidget*, const CFileChoice&) { return chosenPath; };
        if (StartDesigner(QSize(1400, 1000)) && view)
            view->FullSize();
    }
    ~TextFlowTest() override { FrameHooks().chooseFile = nullptr; }

    void Command(int id)
    {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(id);
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    QWidget* Page(int index) const
    {
        auto* tabs = frame->PropertyPane()->findChild<QTabWidget*>(QStringLiteral("id1092"));
        EXPECT_NE(tabs, nullptr);
        if (!tabs)
            return nullptr;
        tabs->setCurrentIndex(index);
        return tabs->widget(index);
    }
    template <class T> T* Find(QWidget* page, int id) const
    {
        T* w = page ? page->findChild<T*>(QStringLiteral("id%1").arg(id)) : nullptr;
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }

    QString chosenPath;
};

TEST_F(TextFlowTest, RichBulletedTextIsTypedCheckedAndPrinted)
{
    ASSERT_NE(view, nullptr);
    // A text placed with the tool; a click beside it lets it go, a click on
    // it selects it again and shows its pane.
    Command(ID_TOOL_TEXT);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(200, 300));
    ASSERT_EQ(TheElementList().GetCount(), 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(1500, 2000));
    ASSERT_EQ(view->Selection().Primary(), nullptr);
    auto* text = dynamic_cast<CText*>(TheElementList().GetAt(0));
    ASSERT_NE(text, nullptr);
    const CRect placed = text->m_bounds;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Dp((placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2));
    ASSERT_EQ(view->Selection().Primary(), text);
    ASSERT_STREQ(frame->PropertyPane()->metaObject()->className(), "CTextView");

    // The words, with their mark-up, typed line by line.
    auto* field = Find<QPlainTextEdit>(Page(0), 1049);
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, QStringLiteral("<b>Fresh</b> aples"));
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClicks(field, QStringLiteral("Ripe pears"));
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClicks(field, QStringLiteral("<font colour=\"#C00000\">Sweet</font> plums"));
    EXPECT_EQ(text->GetText(), QStringLiteral("Fresh aples\nRipe pears\nSweet plums"));

    // "pears" made italic in the Rich Text Editor.
    CAnswer<CRichTextDlg> editor([](CRichTextDlg* dialog) {
        QTextEdit* edit = dialog->Control()->Editor();
        QTextCursor found = edit->document()->find(QStringLiteral("pears"));
        ASSERT_FALSE(found.isNull());
        edit->setTextCursor(found);
        QTest::mouseClick(dialog->Control()->findChild<QToolButton*>(QStringLiteral("italic")),
                          Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(Page(0), 1442), Qt::LeftButton);
    ASSERT_EQ(editor.Answered(), 1);
    EXPECT_EQ(text->m_sampleText, QStringLiteral("<b>Fresh</b> aples\nRipe <i>pears</i>\n"
                                                 "<font colour=\"#C00000\">Sweet</font> plums"));

    // A numbered list: "1." in front of each line.
    QWidget* effects = Page(2);
    auto* list = Find<QRadioButton>(effects, 1219);
    QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier, QPoint(6, list->height() / 2));
    auto* suffix = Find<QLineEdit>(effects, 1215);
    suffix->setFocus();
    QTest::keyClicks(suffix, QStringLiteral("."));
    auto* bullets = dynamic_cast<CBulletArray*>(text->m_bullets.get());
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(
        bullets->GetItemTexts(),
        (std::vector<QString>{QStringLiteral("1."), QStringLiteral("2."), QStringLiteral("3.")}));

    // Edit > Spelling: the misspelt word is changed in the dialog.
    {
        int shown = 0;
        CAnswer<CSpellDlg> spelling([&shown](CSpellDlg* dialog) {
            ++shown;
            if (dialog->NotFound()->text() != QStringLiteral("aples")) {
                ADD_FAILURE() << dialog->NotFound()->text().toStdString();
                dialog->reject();
                return;
            }
            QLineEdit* change = dialog->ChangeTo();
            change->setFocus();
            change->selectAll();
            QTest::keyClick(change, Qt::Key_Delete);
            QTest::keyClicks(change, QStringLiteral("apples"));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("id1241")),
                              Qt::LeftButton);
        });
        messages.Clear();
        Command(ID_SPELLING);
        EXPECT_EQ(shown, 1);
    }
    EXPECT_EQ(messages.LastText(), QStringLiteral("The spelling check is complete"));
    EXPECT_EQ(text->GetText(), QStringLiteral("Fresh apples\nRipe pears\nSweet plums"));
    EXPECT_TRUE(text->m_sampleText.startsWith(QStringLiteral("<b>Fresh</b> apples\n")));
    // The pane shows the corrected words, so typing on keeps them.
    field = Find<QPlainTextEdit>(Page(0), 1049);
    EXPECT_TRUE(field->toPlainText().contains(QStringLiteral("apples")));
    field->moveCursor(QTextCursor::End);
    QTest::keyClicks(field, QStringLiteral("!"));
    EXPECT_EQ(text->GetText(), QStringLiteral("Fresh apples\nRipe pears\nSweet plums!"));

    // File > Print to a PDF file, read back.
    const QString pdf = home.FilePath("fruit.pdf");
    chosenPath = pdf;
    CAnswer<CPrintSignDlg> print([](CPrintSignDlg* dialog) {
        dialog->findChild<QComboBox*>(QStringLiteral("id%1").arg(CPrintSignDlg::IDC_DESTINATION))
            ->setCurrentIndex(CPrintSignDlg::DEST_FILE);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(IDOK)),
                          Qt::LeftButton);
    });
    Command(ID_FILE_PRINT);
    ASSERT_EQ(print.Answered(), 1);
    ASSERT_EQ(PdfPageCount(pdf), 1) << messages.LastText().toStdString();
    const QString words =
        Output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* expected : {"1.", "Fresh apples", "2.", "Ripe pears", "3.", "Sweet plums!"})
        EXPECT_TRUE(words.contains(QLatin1StringView(expected))) << expected << "\n"
                                                                 << words.toStdString();
    EXPECT_FALSE(words.contains(QStringLiteral("aples")));
    EXPECT_FALSE(words.contains(QStringLiteral("<b>")));
    // The bold and italic runs print in their own faces.
    const QString fonts = Output(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("Bold"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("Italic"))) << fonts.toStdString();
    // The red word is red on the page.
    const QImage page = RenderPdfPage(pdf, 1, 100);
    ASSERT_FALSE(page.isNull());
    bool red = false;
    for (int y = 0; y < page.height() / 3 && !red; ++y)
        for (int x = 0; x < page.width() / 2 && !red; ++x) {
            const QColor c = page.pixelColor(x, y);
            red = c.red() > 150 && c.green() < 80 && c.blue() < 80;
        }
    EXPECT_TRUE(red);
}

} // namespace
