// "GS1 Barcode Data" and "GS1 Application Identifiers" driven as a user
// does, through the GS1 data variable's own dialog road.

#include "AppContext.h"
#include "BarcodeParts.h"
#include "Code128.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ScriptStore.h"
#include "TestSupport.h"
#include "UccEanData.h"
#include "UccEanDataDlg.h"
#include "VariableList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

template <class Dialog> void WhenShown(std::function<void(Dialog*)> action)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start(5);
}

class GS1DataDlgTest : public ::testing::Test
{
protected:
    GS1DataDlgTest()
    {
        EnsureWidgetApp();
        RegisterBarcodeClasses();
        InstallGS1DataDialogs(); // as the program does at start-up
    }
    ~GS1DataDlgTest() override { CUccEanData::s_dialog = nullptr; }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
};

} // namespace

TEST_F(GS1DataDlgTest, ANewGS1DataIsMadeEntryByEntry)
{
    auto* data = dynamic_cast<CUccEanData*>(
        TheVariableList().CreateVariable(VARIABLE_GS1, QStringLiteral("Pallet")));
    ASSERT_NE(data, nullptr);
    bool ran = false;
    WhenShown<CUccEanDataDlg>([&](CUccEanDataDlg* dlg) {
        EXPECT_EQ(dlg->List()->topLevelItemCount(), 0);
        EXPECT_FALSE(dlg->DeleteButton()->isEnabled());
        // Every control carries its number, as in every dialog.
        for (int id : {1219, 1243, 1515, 1168, 1170, 1000, 1001, 1132, 1072, 1254, 1178, 1521, 1522,
                       1238, 1214, 1215, 1201})
            EXPECT_NE(dlg->findChild<QWidget*>(QStringLiteral("id%1").arg(id)), nullptr) << id;
        // Add... picks from the table: 01, then 10.
        for (const char* ai : {"01", "10"}) {
            WhenShown<CGS1AISelectDlg>([ai](CGS1AISelectDlg* select) {
                EXPECT_FALSE(select->OkButton()->isEnabled());
                const auto found =
                    select->List()->findItems(QString::fromLatin1(ai), Qt::MatchExactly, 0);
                ASSERT_EQ(found.size(), 1);
                select->List()->setCurrentItem(found[0]);
                EXPECT_TRUE(select->OkButton()->isEnabled());
                QTest::mouseClick(select->OkButton(), Qt::LeftButton);
            });
            QTest::mouseClick(dlg->AddButton(), Qt::LeftButton);
        }
        ASSERT_EQ(dlg->List()->topLevelItemCount(), 2);
        EXPECT_EQ(dlg->List()->topLevelItem(0)->text(1), QStringLiteral("GTIN"));
        // The new entry is selected; "Down" is off on the last row.
        EXPECT_TRUE(dlg->UpButton()->isEnabled());
        EXPECT_FALSE(dlg->DownButton()->isEnabled());
        EXPECT_FALSE(dlg->CheckDigitBox()->isEnabled()); // 10 has no check digit
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "LOT-9");
        // Back to the GTIN: its check digit is computed.
        dlg->List()->setCurrentItem(dlg->List()->topLevelItem(0));
        EXPECT_FALSE(dlg->UpButton()->isEnabled());
        EXPECT_TRUE(dlg->CheckDigitBox()->isEnabled());
        EXPECT_FALSE(dlg->DecimalsEdit()->isEnabled());
        dlg->SampleEdit()->selectAll();
        QTest::keyClicks(dlg->SampleEdit(), "0950110153000");
        dlg->CheckDigitBox()->click();
        // With no data-linked element, "Another Element" is refused.
        const int another = dlg->TypeCombo()->findData(CUccSubString::kElement);
        dlg->TypeCombo()->setCurrentIndex(another);
        emit dlg->TypeCombo()->activated(another);
        EXPECT_EQ(messages.LastText(),
                  QStringLiteral("No variable elements from which to source data."));
        EXPECT_EQ(dlg->TypeCombo()->currentData().toInt(), CUccSubString::kFixed);
        ran = true;
        dlg->accept();
    });
    ASSERT_TRUE(data->DoNewDialog(nullptr));
    ASSERT_TRUE(ran);
    EXPECT_EQ(data->GetBarcodeData(), QStringLiteral("0109501101530003"
                                                     "10LOT-9"));
    EXPECT_EQ(data->m_scriptName, QStringLiteral("GS1_1"));
    EXPECT_TRUE(TheScriptStore().Contains(QStringLiteral("GS1_1")));

    // A GS1-128 fed by it shows the line people read.
    CUccEan128 symbol;
    symbol.SetDataSource(SOURCE_GS1, QStringLiteral("Pallet"));
    EXPECT_EQ(symbol.m_humanReadable, QStringLiteral("(01)09501101530003(10)LOT-9"));

    // Edited: the order changed and a weight with three decimals added; a
    // decimal-point digit of 7 is refused until it is put right.
    WhenShown<CUccEanDataDlg>([&](CUccEanDataDlg* dlg) {
        QTest::mouseClick(dlg->DownButton(), Qt::LeftButton); // 01 below 10
        EXPECT_EQ(dlg->List()->topLevelItem(1)->text(0), QStringLiteral("01"));
        WhenShown<CGS1AISelectDlg>([](CGS1AISelectDlg* select) {
            const auto found =
                select->List()->findItems(QStringLiteral("310"), Qt::MatchExactly, 0);
            ASSERT_EQ(found.size(), 1);
            select->List()->setCurrentItem(found[0]);
            QTest::mouseClick(select->OkButton(), Qt::LeftButton);
        });
        QTest::mouseClick(dlg->AddButton(), Qt::LeftButton);
        EXPECT_TRUE(dlg->DecimalsEdit()->isEnabled());
        EXPECT_EQ(dlg->DecimalsEdit()->text(), QStringLiteral("3"));
        dlg->DecimalsEdit()->selectAll();
        QTest::keyClicks(dlg->DecimalsEdit(), "7");
        messages.Clear();
        dlg->accept();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(messages.Count(), 1);
        dlg->DecimalsEdit()->selectAll();
        QTest::keyClicks(dlg->DecimalsEdit(), "2");
        dlg->accept();
    });
    ASSERT_TRUE(data->DoEditDialog(nullptr));
    EXPECT_EQ(data->GetBarcodeData(), QStringLiteral("10LOT-9%10109501101530003"
                                                     "3102123456"));
    EXPECT_EQ(data->m_scriptName, QStringLiteral("GS1_1"));

    // Cancelled: nothing changes.
    WhenShown<CUccEanDataDlg>([](CUccEanDataDlg* dlg) {
        QTest::mouseClick(dlg->DeleteButton(), Qt::LeftButton);
        dlg->reject();
    });
    EXPECT_FALSE(data->DoEditDialog(nullptr));
    EXPECT_EQ(data->m_entries.GetSize(), 3);
}

TEST_F(GS1DataDlgTest, ADataBarOtherThanExpandedKeepsOneGtin)
{
    CUccEanData data;
    WhenShown<CUccEanDataDlg>([](CUccEanDataDlg* dlg) {
        ASSERT_EQ(dlg->List()->topLevelItemCount(), 1);
        EXPECT_EQ(dlg->List()->topLevelItem(0)->text(0), QStringLiteral("01"));
        EXPECT_FALSE(dlg->AddButton()->isEnabled());
        EXPECT_FALSE(dlg->DeleteButton()->isEnabled());
        EXPECT_FALSE(dlg->UpButton()->isEnabled());
        EXPECT_FALSE(dlg->DownButton()->isEnabled());
        dlg->accept();
    });
    ASSERT_TRUE(data.DoNewDialog(nullptr, 1));
    EXPECT_EQ(data.GetBarcodeData(), QStringLiteral("0101234567812342"));
}
