// The script editor page driven as the user does, inside the macro script
// variable's own dialogs.
#include "ScriptPage.h"
#include "MacroScript.h"
#include "MacroScriptDlg.h"
#include "VariableDialogs.h"

#include "AppContext.h"
#include "Element.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ScriptStore.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "script_page_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void WhenShown(std::function<void(CMacroScriptDlg*)> action)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<CMacroScriptDlg*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start(5);
}

QStringList Shown(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void TypeName(CScriptPage1* page, const QString& name)
{
    page->NameCombo()->lineEdit()->clear();
    QTest::keyClicks(page->NameCombo()->lineEdit(), name);
}

// Opens the name box's list and takes the entry with the given text, with
// the keys a user presses in the list.
void ChooseFromList(QComboBox* combo, const QString& name)
{
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    const int row = combo->findText(name);
    ASSERT_GE(row, 0) << name.toStdString();
    list->setCurrentIndex(list->model()->index(row, 0));
    QTest::keyClick(list, Qt::Key_Return);
}

class ScriptPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Application();
        RegisterVariableSignParts();
        InstallVariableDialogs();
    }
    void TearDown() override { CMacroScript::s_dialog = nullptr; }

    static void AddElement(const QString& name, int source)
    {
        auto* element = new CElement;
        element->m_name = name;
        element->m_dataSource = source;
        TheElementList().AddTail(element);
    }
    static CMacroScript* NewMacro()
    {
        return dynamic_cast<CMacroScript*>(
            TheVariableList().CreateVariable(VARIABLE_MACRO, "Macro"));
    }

    CAppContext m_context;
    CMessageResponder m_messages;
};

TEST_F(ScriptPageTest, WritingTestingAndSavingANewScript)
{
    AddElement("Weight", SOURCE_KEYBOARD);
    TheScriptStore().SetScriptText("Taken", "RETURN 1");
    CMacroScript* macro = NewMacro();
    ASSERT_NE(macro, nullptr);
    bool ran = false;
    WhenShown([&](CMacroScriptDlg* dlg) {
        CScriptPage1* page = dlg->Page();
        EXPECT_EQ(dlg->FinishButton()->text(), "Finish");
        EXPECT_EQ(Shown(page->GroupList()),
                  (QStringList{"Operators", "Functions", "Expressions", "Variables"}));
        EXPECT_EQ(Shown(page->SubGroupList()),
                  (QStringList{"arithmetic", "string", "logical", "conditional"}));
        EXPECT_TRUE(page->NameCombo()->isEnabled());
        EXPECT_EQ(page->NameCombo()->currentText(), QString());
        EXPECT_FALSE(page->SaveButton()->isEnabled());
        EXPECT_FALSE(page->TestButton()->isEnabled());
        EXPECT_FALSE(page->UndoButton()->isEnabled());

        // The catalogue: choosing an item shows what it inserts and means.
        page->GroupList()->setCurrentRow(1);
        EXPECT_EQ(Shown(page->SubGroupList()),
                  (QStringList{"integer", "floating point", "string", "date & time", "checksum"}));
        page->SubGroupList()->setCurrentRow(0);
        page->ItemList()->setCurrentRow(4);
        EXPECT_TRUE(page->InsertButton()->isEnabled());
        EXPECT_TRUE(page->Description()->text().startsWith(
            QString::fromUtf8("INSTR(«string1»,«string2»)  :  search for")));
        EXPECT_TRUE(page->Description()->text().contains("returns -1 if cannot find"));

        // The sign's data-linked elements, with the suffix of the type.
        page->GroupList()->setCurrentRow(3);
        EXPECT_EQ(Shown(page->SubGroupList()),
                  (QStringList{"integer", "floating point", "string"}));
        page->SubGroupList()->setCurrentRow(2);
        EXPECT_EQ(Shown(page->ItemList()), QStringList{"Weight$"});

        // Insert a function, then type over its placeholder: clicking in it
        // takes all of it.
        QTest::keyClicks(page->Editor(), "RETURN ");
        page->GroupList()->setCurrentRow(1);
        page->SubGroupList()->setCurrentRow(2);
        page->ItemList()->setCurrentRow(6); // UCASE$
        QTest::mouseClick(page->InsertButton(), Qt::LeftButton);
        EXPECT_EQ(page->Editor()->toPlainText(), QString::fromUtf8("RETURN UCASE$(«string»)"));
        QTextCursor cursor = page->Editor()->textCursor();
        cursor.setPosition(17); // inside «string»
        page->Editor()->setTextCursor(cursor);
        EXPECT_EQ(page->Editor()->textCursor().selectedText(), QString::fromUtf8("«string»"));
        page->GroupList()->setCurrentRow(3);
        page->SubGroupList()->setCurrentRow(2);
        page->ItemList()->setCurrentRow(0);
        QTest::mouseClick(page->InsertButton(), Qt::LeftButton);
        EXPECT_EQ(page->Editor()->toPlainText(), "RETURN UCASE$(Weight$)");
        EXPECT_TRUE(page->TestButton()->isEnabled());
        EXPECT_TRUE(page->UndoButton()->isEnabled());
        EXPECT_FALSE(page->SaveButton()->isEnabled()); // no name yet

        QTest::mouseClick(page->TestButton(), Qt::LeftButton);
        EXPECT_EQ(m_messages.LastText(), "Macro script OK");

        // Names: refused when not a name or taken; spaces around are dropped.
        struct Case
        {
            const char* typed;
            const char* message;
        } cases[] = {
            {"2Price", "Invalid script name.\nAlphanumeric plus underscore only."},
            {"Price 2", "Invalid script name.\nAlphanumeric plus underscore only."},
            {"Taken", "A macro script with this name already exists."},
        };
        for (const Case& c : cases) {
            m_messages.Clear();
            TypeName(page, c.typed);
            EXPECT_TRUE(page->SaveButton()->isEnabled());
            QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
            EXPECT_EQ(m_messages.LastText(), c.message) << c.typed;
            EXPECT_FALSE(page->IsSaved());
        }

        // Leaving with unsaved changes asks; No stays on the page.
        m_messages.Clear();
        m_messages.QueueAnswer(IDNO);
        QTest::mouseClick(dlg->FinishButton(), Qt::LeftButton);
        EXPECT_EQ(m_messages.LastText(), "Save changes to script ?");
        EXPECT_TRUE(dlg->isVisible());

        TypeName(page, "  Price_2 ");
        m_messages.Clear();
        m_messages.QueueAnswer(IDYES);
        ran = true;
        QTest::mouseClick(dlg->FinishButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(macro->DoNewDialog(nullptr));
    EXPECT_TRUE(ran);
    EXPECT_EQ(TheScriptStore().GetScriptText("Price_2"), "RETURN UCASE$(Weight$)");
    EXPECT_EQ(macro->m_scriptName, "Price_2");
    EXPECT_EQ(macro->m_name, "Macro");
    EXPECT_EQ(macro->m_sourceKinds, std::vector<int>{SOURCE_ELEMENT});
    macro->SetSourceValue("kg", SOURCE_ELEMENT, "Weight", FALSE);
    EXPECT_EQ(macro->GetValue(), "KG");
}

TEST_F(ScriptPageTest, EditingAScriptKeepsItsName)
{
    TheScriptStore().SetScriptText("Total", "RETURN \"a\"");
    CMacroScript* macro = NewMacro();
    macro->m_scriptName = "Total";
    macro->CompileFromStore();
    WhenShown([&](CMacroScriptDlg* dlg) {
        CScriptPage1* page = dlg->Page();
        EXPECT_EQ(dlg->windowTitle(), "Macro Script Properties");
        // Without data-linked elements there is no "Variables" group.
        EXPECT_EQ(Shown(page->GroupList()), (QStringList{"Operators", "Functions", "Expressions"}));
        EXPECT_FALSE(page->NameCombo()->isEnabled());
        EXPECT_EQ(page->NameCombo()->currentText(), "Total");
        EXPECT_EQ(page->Editor()->toPlainText(), "RETURN \"a\"");
        EXPECT_TRUE(page->IsSaved());

        // A compile error is shown with its line, and nothing is saved.
        page->Editor()->selectAll();
        QTest::keyClicks(page->Editor(), "RETURN \"b\" +");
        m_messages.Clear();
        QTest::mouseClick(page->TestButton(), Qt::LeftButton);
        ASSERT_EQ(m_messages.Count(), 1);
        EXPECT_NE(m_messages.LastText(), "Macro script OK");
        EXPECT_TRUE(m_messages.LastText().contains("RETURN \"b\" +"));
        QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
        EXPECT_EQ(TheScriptStore().GetScriptText("Total"), "RETURN \"a\"");

        QTest::keyClicks(page->Editor(), " \"c\"");
        QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
        EXPECT_TRUE(page->IsSaved());
        EXPECT_FALSE(page->SaveButton()->isEnabled());
        m_messages.Clear();
        QTest::mouseClick(dlg->FinishButton(), Qt::LeftButton); // saved: no question
        EXPECT_EQ(m_messages.Count(), 0);
    });
    EXPECT_TRUE(macro->DoEditDialog(nullptr));
    EXPECT_EQ(macro->m_scriptName, "Total");
    EXPECT_EQ(TheScriptStore().GetScriptText("Total"), "RETURN \"b\" + \"c\"");
    macro->ResetValue();
    EXPECT_EQ(macro->GetValue(), "bc");
}

// In a new script, choosing a stored name loads its text to start from;
// Undo takes back the last edit.
TEST_F(ScriptPageTest, ChoosingAStoredScriptAndUndo)
{
    TheScriptStore().SetScriptText("Base", "RETURN 1");
    CMacroScript* macro = NewMacro();
    WhenShown([&](CMacroScriptDlg* dlg) {
        CScriptPage1* page = dlg->Page();
        ChooseFromList(page->NameCombo(), "Base");
        EXPECT_EQ(page->Editor()->toPlainText(), "RETURN 1");
        EXPECT_FALSE(page->IsSaved()); // a new script is not saved yet
        EXPECT_FALSE(page->TestButton()->isEnabled());
        page->Editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(page->Editor(), "0");
        EXPECT_EQ(page->Editor()->toPlainText(), "RETURN 10");
        ASSERT_TRUE(page->UndoButton()->isEnabled());
        QTest::mouseClick(page->UndoButton(), Qt::LeftButton);
        EXPECT_EQ(page->Editor()->toPlainText(), "RETURN 1");
        dlg->reject();
    });
    EXPECT_FALSE(macro->DoNewDialog(nullptr));
    EXPECT_EQ(macro->m_scriptName, QString());
    EXPECT_EQ(m_messages.Count(), 0);
}

// Typing the name of a stored script names the new one; it does not load
// the stored text over what the user has written. Only a choice from the
// list does.
TEST_F(ScriptPageTest, TypingAStoredNameKeepsTheWrittenScript)
{
    TheScriptStore().SetScriptText("Taken", "RETURN 1");
    TheScriptStore().SetScriptText("Other", "RETURN 3");
    CMacroScript* macro = NewMacro();
    bool ran = false;
    WhenShown([&](CMacroScriptDlg* dlg) {
        CScriptPage1* page = dlg->Page();
        QTest::keyClicks(page->Editor(), "RETURN 2");
        for (const char* typed : {"Taken", "Other", "Taken"}) {
            TypeName(page, typed);
            QTest::keyClick(page->NameCombo()->lineEdit(), Qt::Key_Return);
            EXPECT_EQ(page->Editor()->toPlainText(), "RETURN 2") << typed;
            EXPECT_EQ(page->NameCombo()->currentText(), typed);
            EXPECT_TRUE(page->TestButton()->isEnabled()) << typed;
        }
        // Saving under the typed name is refused, and the stored script stays.
        m_messages.Clear();
        QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
        EXPECT_EQ(m_messages.LastText(), "A macro script with this name already exists.");
        EXPECT_EQ(TheScriptStore().GetScriptText("Taken"), "RETURN 1");
        EXPECT_EQ(page->Editor()->toPlainText(), "RETURN 2");

        // Chosen from the list, the stored script is loaded to start from.
        ChooseFromList(page->NameCombo(), "Other");
        EXPECT_EQ(page->NameCombo()->currentText(), "Other");
        EXPECT_EQ(page->Editor()->toPlainText(), "RETURN 3");
        EXPECT_FALSE(page->TestButton()->isEnabled());
        ran = true;
        dlg->reject();
    });
    EXPECT_FALSE(macro->DoNewDialog(nullptr));
    EXPECT_TRUE(ran);
    EXPECT_EQ(TheScriptStore().GetScriptText("Taken"), "RETURN 1");
    EXPECT_EQ(TheScriptStore().GetScriptText("Other"), "RETURN 3");
}

TEST_F(ScriptPageTest, TheScriptComboSelectsByPrefix)
{
    CScriptStore& store = TheScriptStore();
    QComboBox combo;
    combo.addItem("left over");
    EXPECT_EQ(FillScriptCombo(store, &combo, "x"), 0);
    EXPECT_EQ(combo.count(), 0);
    store.SetScriptText("Alpha", "RETURN 1");
    store.SetScriptText("Beta", "RETURN 2");
    store.SetScriptText("Bravo", "RETURN 3");
    EXPECT_EQ(FillScriptCombo(store, &combo, "br"), 3);
    EXPECT_EQ(combo.currentText(), "Bravo");
    FillScriptCombo(store, &combo, "zz");
    EXPECT_EQ(combo.currentIndex(), 0);
}

} // namespace
