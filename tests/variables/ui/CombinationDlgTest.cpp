// The "Combination" dialog driven as the user does, through the combination
// variable's own dialog operations.
#include "CombinationDlg.h"
#include "Combination.h"
#include "VariableDialogs.h"

#include "AppContext.h"
#include "Element.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ScriptStore.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "combination_dialog_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs the action on the Combination dialog once it shows.
void WhenShown(std::function<void(CCombinationDlg*)> action)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<CCombinationDlg*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start(5);
}

void SelectElement(CCombinationDlg* dlg, const QString& name)
{
    const QList<QListWidgetItem*> found = dlg->ElementList()->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    dlg->ElementList()->setCurrentItem(found.first());
}

QStringList Shown(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

class CombinationDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Application();
        RegisterVariableSignParts();
        InstallVariableDialogs();
        AddElement("Price", SOURCE_KEYBOARD);
        AddElement("Unit", SOURCE_DATABASE);
        AddElement("Title", SOURCE_FIXED); // not data-linked
    }
    void TearDown() override { CCombination::s_dialog = nullptr; }

    static void AddElement(const QString& name, int source)
    {
        auto* element = new CElement;
        element->m_name = name;
        element->m_dataSource = source;
        TheElementList().AddTail(element);
    }

    CAppContext m_context;
    CMessageResponder m_messages;
};

TEST_F(CombinationDlgTest, ListingThePiecesAndConfirming)
{
    auto* c = dynamic_cast<CCombination*>(
        TheVariableList().CreateVariable(VARIABLE_COMBINATION, "Label"));
    ASSERT_NE(c, nullptr);
    bool checked = false;
    WhenShown([&](CCombinationDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Combination");
        EXPECT_EQ(Shown(dlg->ElementList()), (QStringList{"Price", "Unit"}));
        // Nothing chosen or typed, no items: only Cancel works.
        EXPECT_FALSE(dlg->AddButton()->isEnabled());
        EXPECT_FALSE(dlg->RemoveButton()->isEnabled());
        EXPECT_FALSE(dlg->OkButton()->isEnabled());

        // One click adds the element, the free text and the code, in that
        // order, and empties the choice and the edits.
        SelectElement(dlg, "Price");
        EXPECT_TRUE(dlg->AddButton()->isEnabled());
        QTest::keyClicks(dlg->FreeTextEdit(), " per \"kg\"");
        QTest::keyClicks(dlg->CodeEdit(), "3x2"); // only digits are taken
        EXPECT_EQ(dlg->CodeEdit()->text(), "32");
        QTest::mouseClick(dlg->AddButton(), Qt::LeftButton);
        EXPECT_EQ(Shown(dlg->ItemList()), (QStringList{"Price", " per \"kg\"", "CHR$(32)"}));
        EXPECT_TRUE(dlg->ElementList()->selectedItems().isEmpty());
        EXPECT_TRUE(dlg->FreeTextEdit()->text().isEmpty());
        EXPECT_TRUE(dlg->CodeEdit()->text().isEmpty());
        EXPECT_FALSE(dlg->AddButton()->isEnabled());
        EXPECT_TRUE(dlg->OkButton()->isEnabled());

        // A code above 255 is refused, and nothing of the click goes in.
        QTest::keyClicks(dlg->FreeTextEdit(), "x");
        QTest::keyClicks(dlg->CodeEdit(), "300");
        QTest::mouseClick(dlg->AddButton(), Qt::LeftButton);
        EXPECT_EQ(m_messages.Count(), 1);
        EXPECT_EQ(m_messages.LastText(), "The ASCII code must be a number from 0 to 255.");
        EXPECT_EQ(dlg->ItemList()->count(), 3);
        EXPECT_EQ(dlg->FreeTextEdit()->text(), "x");
        dlg->CodeEdit()->clear();
        dlg->FreeTextEdit()->clear();
        m_messages.Clear();

        SelectElement(dlg, "Unit");
        QTest::mouseClick(dlg->AddButton(), Qt::LeftButton);
        // Remove takes the chosen item out.
        dlg->ItemList()->setCurrentRow(2);
        EXPECT_TRUE(dlg->RemoveButton()->isEnabled());
        QTest::mouseClick(dlg->RemoveButton(), Qt::LeftButton);
        EXPECT_EQ(Shown(dlg->ItemList()), (QStringList{"Price", " per \"kg\"", "Unit"}));
        checked = true;
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(c->DoNewDialog(nullptr));
    EXPECT_TRUE(checked);
    EXPECT_EQ(c->m_scriptName, "COMB000");
    EXPECT_EQ(TheScriptStore().GetScriptText("COMB000"),
              "RETURN Price$ + \" per \\\"kg\\\"\" + Unit$");
    c->SetSourceValue("2", SOURCE_ELEMENT, "Price", FALSE);
    c->SetSourceValue("each", SOURCE_ELEMENT, "Unit", FALSE);
    EXPECT_EQ(c->GetValue(), "2 per \"kg\"each");
    EXPECT_EQ(m_messages.Count(), 0);

    // Editing shows the items and keeps the script name; Cancel changes
    // nothing.
    WhenShown([](CCombinationDlg* dlg) {
        EXPECT_EQ(Shown(dlg->ItemList()), (QStringList{"Price", " per \"kg\"", "Unit"}));
        dlg->ItemList()->setCurrentRow(0);
        QTest::mouseClick(dlg->RemoveButton(), Qt::LeftButton);
        dlg->reject();
    });
    EXPECT_FALSE(c->DoEditDialog(nullptr));
    EXPECT_EQ(c->m_itemTexts.size(), 3);

    WhenShown([](CCombinationDlg* dlg) {
        dlg->ItemList()->setCurrentRow(0);
        QTest::mouseClick(dlg->RemoveButton(), Qt::LeftButton);
        QTest::keyClicks(dlg->CodeEdit(), "33");
        QTest::mouseClick(dlg->AddButton(), Qt::LeftButton);
        EXPECT_EQ(Shown(dlg->ItemList()), (QStringList{" per \"kg\"", "Unit", "CHR$(33)"}));
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(c->DoEditDialog(nullptr));
    EXPECT_EQ(c->m_scriptName, "COMB000");
    EXPECT_EQ(TheScriptStore().GetScriptText("COMB000"),
              "RETURN \" per \\\"kg\\\"\" + Unit$ + CHR$(33)");
}

} // namespace
