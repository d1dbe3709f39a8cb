#include "HeaderFooterDlg.h"
#include "PageLabels.h"

#include "AppContext.h"
#include "MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

void EnsureWidgetApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "printing_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

template <class W> W* Control(QWidget& dialog, int id)
{
    W* w = dialog.findChild<W*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

class HeaderFooterDlgTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureWidgetApp(); }
    void TearDown() override { CHeaderFooterDlg::s_chooseFont = nullptr; }

    CAppContext context;
    CMessageResponder messages;
};

TEST_F(HeaderFooterDlgTest, PrintCheckBoxEnablesItsItemOnly)
{
    CPageLabels& labels = ThePageLabels();
    labels.Item(CPageLabels::HEADER).print = 1;
    labels.Item(CPageLabels::HEADER).format = QStringLiteral("x::");
    CHeaderFooterDlg dlg(labels);

    const int headerIds[] = {1425, 1427, 1423, 1429, 1431};
    const int footerIds[] = {1426, 1428, 1424, 1430, 1432};
    for (int id : headerIds)
        EXPECT_TRUE(Control<QWidget>(dlg, id)->isEnabled()) << id;
    for (int id : footerIds)
        EXPECT_FALSE(Control<QWidget>(dlg, id)->isEnabled()) << id;

    Control<QCheckBox>(dlg, 1422)->click();
    Control<QCheckBox>(dlg, 1421)->click();
    for (int id : headerIds)
        EXPECT_FALSE(Control<QWidget>(dlg, id)->isEnabled()) << id;
    for (int id : footerIds)
        EXPECT_TRUE(Control<QWidget>(dlg, id)->isEnabled()) << id;
    EXPECT_TRUE(Control<QCheckBox>(dlg, 1421)->isEnabled());
}

TEST_F(HeaderFooterDlgTest, ShowsInchesAndKeepsAnUntouchedOffset)
{
    App().general.displayUnits = 1;
    CPageLabels& labels = ThePageLabels();
    labels.Item(CPageLabels::HEADER).offset = 254; // one inch
    labels.Item(CPageLabels::FOOTER).offset = 100; // 0.39 inches shown
    labels.Item(CPageLabels::HEADER).asFirstPage = 1;
    CHeaderFooterDlg dlg(labels);

    EXPECT_EQ(Control<QLineEdit>(dlg, 1423)->text(), QStringLiteral("1"));
    EXPECT_EQ(Control<QLineEdit>(dlg, 1424)->text(), QStringLiteral("0.39"));
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("headerUnits"))->text(),
              QStringLiteral("inches"));
    EXPECT_TRUE(Control<QRadioButton>(dlg, 1427)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dlg, 1426)->isChecked());

    // The footer's shown value is rounded; left alone it does not change the
    // stored offset. The header is typed anew: 2.5 inches = 63.5 mm.
    Control<QCheckBox>(dlg, 1421)->click();
    Control<QLineEdit>(dlg, 1429)->setText(QStringLiteral("$p::"));
    Control<QLineEdit>(dlg, 1423)->setText(QStringLiteral("2.5"));
    Control<QPushButton>(dlg, IDOK)->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_EQ(labels.Item(CPageLabels::HEADER).offset, 635);
    EXPECT_EQ(labels.Item(CPageLabels::FOOTER).offset, 100);
}

TEST_F(HeaderFooterDlgTest, RefusesOffsetsOutOfRange)
{
    struct Case
    {
        int units;
        const char* text;
        bool accepted;
        int offset;
    };
    const Case cases[] = {
        {0, "1500", true, 15000}, {0, "1500.1", false, 0}, {0, "-1", false, 0},
        {0, "abc", false, 0},     {0, "12.3", true, 123},  {1, "60", true, 15240},
        {1, "60.01", false, 0},
    };
    for (const Case& c : cases) {
        CAppContext fresh;
        App().general.displayUnits = c.units;
        CPageLabels& labels = ThePageLabels();
        labels.Item(CPageLabels::FOOTER).print = 1;
        labels.Item(CPageLabels::FOOTER).format = QStringLiteral("::$p");
        labels.Item(CPageLabels::FOOTER).offset = 77;
        messages.Clear();

        CHeaderFooterDlg dlg(labels);
        Control<QLineEdit>(dlg, 1424)->setText(QString::fromLatin1(c.text));
        Control<QLineEdit>(dlg, 1430)->setText(QStringLiteral("changed::"));
        dlg.accept();
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted) << c.text;
        EXPECT_EQ(messages.Count(), c.accepted ? 0 : 1) << c.text;
        if (c.accepted) {
            EXPECT_EQ(labels.Item(CPageLabels::FOOTER).offset, c.offset) << c.text;
        } else {
            // Refused: nothing written back.
            EXPECT_EQ(labels.Item(CPageLabels::FOOTER).offset, 77) << c.text;
            EXPECT_EQ(labels.Item(CPageLabels::FOOTER).format, QStringLiteral("::$p"));
            const QString limit = c.units ? QStringLiteral("60") : QStringLiteral("1500");
            if (QString::fromLatin1(c.text) != QStringLiteral("abc")) {
                EXPECT_TRUE(messages.LastText().contains(limit))
                    << messages.LastText().toStdString();
            }
        }
    }
}

TEST_F(HeaderFooterDlgTest, OkWritesBackAndCancelDoesNot)
{
    CPageLabels& labels = ThePageLabels();
    labels.Item(CPageLabels::FOOTER).print = 1;
    labels.Item(CPageLabels::FOOTER).format = QStringLiteral("::$p");
    labels.CreateTextItems(CPageLabels::FOOTER, 0);

    CFontChoice seen;
    CHeaderFooterDlg::s_chooseFont = [&](QWidget*, const CFontChoice& initial) {
        seen = initial;
        QFont chosen(QStringLiteral("Liberation Serif"));
        chosen.setPointSizeF(14);
        chosen.setWeight(QFont::Bold);
        chosen.setItalic(true);
        return std::optional<CFontChoice>(CFontChoice{chosen, MakeRGB(0, 128, 0)});
    };

    {
        CHeaderFooterDlg dlg(labels);
        Control<QCheckBox>(dlg, 1421)->click();
        Control<QRadioButton>(dlg, 1427)->click();
        Control<QLineEdit>(dlg, 1423)->setText(QStringLiteral("12.5"));
        Control<QLineEdit>(dlg, 1429)->setText(QStringLiteral("Price list::$d<%d.%m.%Y>"));
        Control<QPushButton>(dlg, 1431)->click();
        // Print checked but the format emptied: stored as not printed.
        Control<QLineEdit>(dlg, 1430)->clear();
        Control<QPushButton>(dlg, IDCANCEL)->click();
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    EXPECT_EQ(labels.Item(CPageLabels::HEADER).print, 0);
    EXPECT_EQ(labels.Item(CPageLabels::HEADER).font.GetFaceName(), QStringLiteral("Arial"));
    EXPECT_EQ(labels.Item(CPageLabels::FOOTER).format, QStringLiteral("::$p"));

    CHeaderFooterDlg dlg(labels);
    Control<QCheckBox>(dlg, 1421)->click();
    Control<QRadioButton>(dlg, 1427)->click();
    Control<QLineEdit>(dlg, 1423)->setText(QStringLiteral("12.5"));
    Control<QLineEdit>(dlg, 1429)->setText(QStringLiteral("Price list::$d<%d.%m.%Y>"));
    Control<QPushButton>(dlg, 1431)->click();
    EXPECT_NEAR(seen.font.pointSizeF(), 9.0, 0.15);
    EXPECT_EQ(seen.colour, COLORREF(0));
    Control<QLineEdit>(dlg, 1430)->clear();
    Control<QPushButton>(dlg, IDOK)->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);

    const CPageLabelItem& header = labels.Item(CPageLabels::HEADER);
    EXPECT_EQ(header.print, 1);
    EXPECT_EQ(header.asFirstPage, 1);
    EXPECT_EQ(header.offset, 125);
    EXPECT_EQ(header.format, QStringLiteral("Price list::$d<%d.%m.%Y>"));
    EXPECT_EQ(header.font.GetFaceName(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(header.font.GetLogFont().lfWeight, 700);
    EXPECT_EQ(header.font.GetLogFont().lfItalic, 1);
    EXPECT_NEAR(header.font.HeightToPoints(), 14.0, 0.15);
    EXPECT_EQ(header.textColour, MakeRGB(0, 128, 0));
    ASSERT_TRUE(header.texts[0]);
    EXPECT_EQ(header.texts[0]->GetColour(), MakeRGB(0, 128, 0));

    const CPageLabelItem& footer = labels.Item(CPageLabels::FOOTER);
    EXPECT_EQ(footer.print, 0);
    EXPECT_TRUE(footer.format.isEmpty());
    EXPECT_FALSE(footer.texts[0]);
}

TEST_F(HeaderFooterDlgTest, FontDialogRoundTripKeepsTheFont)
{
    // The face stands in for "Arial"; taking the seeded font back unchanged
    // keeps the record's face and size.
    CPageLabels& labels = ThePageLabels();
    const CLogFont before = labels.Item(CPageLabels::HEADER).font;
    const CLogFont after = CHeaderFooterDlg::FromQFont(CHeaderFooterDlg::ToQFont(before), before);
    EXPECT_EQ(after.GetLogFont(), before.GetLogFont());
}

} // namespace

// The Printing window -------------------------------------------------------------

#include "Paper.h"
#include "PrintAbortDlg.h"
#include "Printer.h"
#include "SignApp.h"
#include "SignData.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

void EnsurePrintWindowApp()
{
    if (QCoreApplication::instance())
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "printing_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

// The Printing windows that exist now.
QList<CPrintAbortDlg*> PrintWindows()
{
    QList<CPrintAbortDlg*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<CPrintAbortDlg*>(widget))
            windows << window;
    }
    return windows;
}

QString LineOf(QWidget& window, int id)
{
    const auto* label = window.findChild<QLabel*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(label, nullptr) << "control " << id;
    return label ? label->text() : QString();
}

class PrintWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsurePrintWindowApp();
        ASSERT_TRUE(m_home.isValid());
        for (const char* name : {"TABREL_HOME", "TABREL_DEFAULT_PRINTER"})
            m_saved.push_back(
                {name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        qputenv("TABREL_HOME", QFile::encodeName(m_home.path()));
        qputenv("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
        CSignApp::SetProfileFolderForTests(m_home.filePath(QStringLiteral("profile")));
        m_app = std::make_unique<CAppContext>();
    }

    void TearDown() override
    {
        m_app.reset();
        CPrinter::s_openPrintWindow = nullptr;
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    QTemporaryDir m_home;
    CMessageResponder m_messages;
    std::unique_ptr<CAppContext> m_app;

private:
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

TEST_F(PrintWindowTest, ShowsTheThreeLinesAndCancelOnlyRaisesTheFlag)
{
    CPrinter printer;
    CPrintAbortDlg window(QStringLiteral("Shelf labels"), QStringLiteral("Office laser"),
                          QStringLiteral("on office-laser"));
    window.m_printer = &printer;
    window.Show();

    EXPECT_EQ(window.windowTitle(), CSignApp::GetProgramTitle());
    EXPECT_EQ(LineOf(window, CPrintAbortDlg::IDC_DOCUMENT_NAME), QStringLiteral("Shelf labels"));
    EXPECT_EQ(LineOf(window, CPrintAbortDlg::IDC_PRINTER_NAME), QStringLiteral("Office laser"));
    EXPECT_EQ(LineOf(window, CPrintAbortDlg::IDC_PORT_OR_FILE), QStringLiteral("on office-laser"));

    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("id%1").arg(IDCANCEL));
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_TRUE(printer.m_cancel);
    EXPECT_FALSE(ThePrinter().m_cancel);
    // The window stays until the job ends, whatever the user does to it.
    EXPECT_TRUE(window.isVisible());
    printer.m_cancel = FALSE;
    window.reject();
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(printer.m_cancel);
}

TEST_F(PrintWindowTest, CancelledJobLeavesNeitherWindowNorFile)
{
    InstallPrintWindow();
    CPrinter& printer = ThePrinter();
    CSignData document;
    document.m_title = QStringLiteral("Shelf labels");
    const QString pdf = m_home.filePath(QStringLiteral("cancelled.pdf"));

    ASSERT_TRUE(printer.PrintSign(document, 2, pdf, 0));
    // Between signs the window is hidden, not gone.
    ASSERT_EQ(PrintWindows().size(), 1);
    CPrintAbortDlg* window = PrintWindows().front();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(LineOf(*window, CPrintAbortDlg::IDC_PRINTER_NAME), QStringLiteral("Tabrel PDF"));
    EXPECT_EQ(LineOf(*window, CPrintAbortDlg::IDC_PORT_OR_FILE), "to " + pdf);

    window->findChild<QPushButton*>(QStringLiteral("id%1").arg(IDCANCEL))->click();
    EXPECT_FALSE(printer.PrintSign(document, 2, pdf, 0));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(printer.EndJob());
    EXPECT_TRUE(PrintWindows().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(pdf));

    // A job that fails to start closes its window at once.
    const QString unwritable = m_home.filePath(QStringLiteral("no/dir/x.pdf"));
    EXPECT_FALSE(printer.PrintSign(document, 1, unwritable, 0));
    EXPECT_TRUE(PrintWindows().isEmpty());
}

} // namespace
