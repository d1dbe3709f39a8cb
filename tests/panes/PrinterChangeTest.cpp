// The Sign Settings pane's printer "Change..." button opens Print Setup
// through the main frame, and the pane shows what was chosen.
#include "AppContext.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PaneParts.h"
#include "Paper.h"
#include "PrintSetupDlg.h"
#include "Printer.h"
#include "SettingsView.h"
#include "ShellParts.h"
#include "TestSupport.h"

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

} // namespace
