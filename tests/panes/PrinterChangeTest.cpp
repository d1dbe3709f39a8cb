// The Sign Settings pane's printer "Change..." button opens Print Setup
// through the main frame, and the pane shows what was chosen.
#include "AppContext.h"
#include "Barcode.h"
#include "BarcodeStyle.h"
#include "Commands.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PrintSetupDlg.h"
#include "Printer.h"
#include "SettingsView.h"
#include "ShellParts.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs the action on the Print Setup dialog once it shows modally.
class CSetupAnswer
{
public:
    explicit CSetupAnswer(std::function<void(CPrintSetupDlg*)> action) : m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<CPrintSetupDlg*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                ++answered;
                m_action(dialog);
            }
        });
        m_timer.start(5);
    }
    int answered = 0;

private:
    std::function<void(CPrintSetupDlg*)> m_action;
    QTimer m_timer;
};

TEST(PrinterChangeTest, ChangeButtonRunsPrintSetupAndThePaneFollows)
{
    EnsureWidgetApp();
    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    RegisterAllClasses();
    RegisterPanes();
    CSettingsView::ChangePrinter() = nullptr; // the frame's own command
    auto frame = std::make_unique<CMainFrame>();
    ASSERT_TRUE(frame->SwitchElementView(nullptr));
    ASSERT_NE(qobject_cast<CSettingsView*>(frame->PropertyPane()), nullptr);
    const auto label = [&](int id) {
        return frame->PropertyPane()->findChild<QLabel*>(QStringLiteral("id%1").arg(id))->text();
    };
    const QString portraitWidth = label(1144);

    CSetupAnswer setup([](CPrintSetupDlg* dialog) {
        auto* landscape = dialog->findChild<QRadioButton*>(
            QStringLiteral("id%1").arg(CPrintSetupDlg::IDC_LANDSCAPE));
        QTest::mouseClick(landscape, Qt::LeftButton, {}, QPoint(6, landscape->height() / 2));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(IDOK)),
                          Qt::LeftButton);
    });
    auto* change = frame->PropertyPane()->findChild<QPushButton*>(QStringLiteral("id1527"));
    ASSERT_NE(change, nullptr);
    QTest::mouseClick(change, Qt::LeftButton);

    EXPECT_EQ(setup.answered, 1);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(ThePrinter().GetOrientation(), DMORIENT_LANDSCAPE);
    EXPECT_TRUE(frame->Document().IsModified());
    // The pane shows the turned sign.
    EXPECT_EQ(label(1144), ThePaper().FormatSignWidth());
    EXPECT_NE(label(1144), portraitWidth);
    frame.reset();
}

// File > Print Setup tells the elements when the printer's settings change:
// a barcode laid out for a 300 dpi printer lays its bars on the dots of the
// printer now chosen (600 dpi). OK on the settings the sign already has
// leaves the sign as it was, unmodified.
TEST(PrinterChangeTest, PrintSetupFitsTheBarcodesToThePrinterAndMarksOnlyAChange)
{
    EnsureWidgetApp();
    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    RegisterAllClasses();
    RegisterPanes();
    auto frame = std::make_unique<CMainFrame>();
    frame->UpdateActionsNow();

    // The sign as it was laid out for a printer of 300 dots per inch.
    CBarcode::SetResolutionOverride(300);
    auto* barcode = dynamic_cast<CBarcode*>(TheElementList().CreateElement("CEan13"));
    ASSERT_NE(barcode, nullptr);
    barcode->m_data = barcode->m_sampleData = QStringLiteral("501234567890");
    barcode->BeginCreate(nullptr, 100, 100);
    CBarcode::SetResolutionOverride(0);
    ASSERT_NE(barcode->m_style, nullptr);
    const double xDimension = barcode->m_style->xDimension;
    const int module300 = barcode->m_elementWidths[0];
    EXPECT_LE(std::abs(module300 - xDimension * 300), 0.5);
    ASSERT_EQ(ThePrinter().GetPixelsPerInchX(), 600);
    frame->Document().SetModifiedFlag(false);

    const auto printSetup = [&](bool landscape) {
        CSetupAnswer setup([landscape](CPrintSetupDlg* dialog) {
            if (landscape) {
                auto* button = dialog->findChild<QRadioButton*>(
                    QStringLiteral("id%1").arg(CPrintSetupDlg::IDC_LANDSCAPE));
                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(IDOK)),
                              Qt::LeftButton);
        });
        QAction* action = frame->Action(ID_FILE_PRINT_SETUP);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled());
        action->trigger();
        EXPECT_EQ(setup.answered, 1);
    };

    // OK on what the sign has: nothing changes.
    printSetup(false);
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_EQ(barcode->m_elementWidths[0], module300);

    // Another orientation: the elements are told, the sign is modified.
    printSetup(true);
    EXPECT_EQ(ThePrinter().GetOrientation(), DMORIENT_LANDSCAPE);
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_LE(std::abs(barcode->m_elementWidths[0] - xDimension * 600), 0.5);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    frame->Document().SetModifiedFlag(false);
    frame.reset();
}

} // namespace
