// The combination variable: the script made of its items, the generated
// script names, the values it gives, its sign record and its dialogs'
// effects on the variable.
#include "Combination.h"

#include "AppContext.h"
#include "Archive.h"
#include "Element.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ScriptStore.h"
#include "TextExport.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <gtest/gtest.h>

namespace {

using C = CCombination;

class CombinationTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterVariableSignParts(); }
    void TearDown() override { CCombination::s_dialog = nullptr; }

    static CCombination* AddCombination(const QString& name,
                                        const std::vector<std::pair<int, QString>>& items)
    {
        auto* combination = dynamic_cast<CCombination*>(
            TheVariableList().CreateVariable(VARIABLE_COMBINATION, name));
        EXPECT_NE(combination, nullptr);
        if (!combination)
            return nullptr;
        for (const auto& [kind, text] : items)
            combination->AddItem(kind, text);
        return combination;
    }

    static void AddElement(const QString& name)
    {
        auto* element = new CElement;
        element->m_name = name;
        TheElementList().AddTail(element);
    }

    static QByteArray Store()
    {
        QByteArray bytes;
        CArchive ar(&bytes, CArchive::store);
        TheVariableList().Serialize(ar);
        return bytes;
    }
    static void Load(QByteArray bytes)
    {
        TheVariableList().DeleteAll();
        CArchive ar(&bytes, CArchive::load);
        TheVariableList().Serialize(ar);
    }
    static CCombination* First()
    {
        return TheVariableList().GetCount() > 0
                   ? dynamic_cast<CCombination*>(TheVariableList().GetAt(0))
                   : nullptr;
    }

    CAppContext m_context;
    CMessageResponder m_messages;
};

TEST_F(CombinationTest, TheKindAndItsNames)
{
    CCombination* c = AddCombination("Label", {});
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->GetRuntimeClass()->m_className, "CCombination");
    EXPECT_EQ(c->GetTypeCode(), 17);
    EXPECT_EQ(c->GetTypeName(), "Combination");
    c->m_scriptName = "COMB004";
    // A source of the combination kind names the variable, not its script.
    EXPECT_EQ(c->GetName(), "Label");
    EXPECT_EQ(TheVariableList().FindVariable(VARIABLE_COMBINATION, "LABEL"), c);
}

// The script text of a list of items, or the reason it cannot be made.
TEST_F(CombinationTest, ScriptTextOfTheItems)
{
    struct Case
    {
        const char* what;
        std::vector<std::pair<int, QString>> items;
        const char* text;   // null: no script
        const char* reason; // part of the reason
    } cases[] = {
        {"element, text and code",
         {{C::ITEM_ELEMENT, "Price"}, {C::ITEM_TEXT, "kg"}, {C::ITEM_CHARACTER, "32"}},
         "RETURN Price$ + \"kg\" + CHR$(32)",
         nullptr},
        {"quotes and backslashes are escaped",
         {{C::ITEM_TEXT, "5\" \\ 6"}},
         "RETURN \"5\\\" \\\\ 6\"",
         nullptr},
        {"codes are written as numbers",
         {{C::ITEM_CHARACTER, " 065 "}},
         "RETURN CHR$(65)",
         nullptr},
        {"code 0 and code 255",
         {{C::ITEM_CHARACTER, "0"}, {C::ITEM_CHARACTER, "255"}},
         "RETURN CHR$(0) + CHR$(255)",
         nullptr},
        {"unknown kinds add nothing",
         {{7, "x"}, {C::ITEM_TEXT, "a"}, {9, "y"}, {C::ITEM_TEXT, "b"}},
         "RETURN \"a\" + \"b\"",
         nullptr},
        {"no items", {}, nullptr, "no items"},
        {"only unknown kinds", {{5, "x"}}, nullptr, "no items"},
        {"code above 255", {{C::ITEM_CHARACTER, "256"}}, nullptr, "0 to 255"},
        {"negative code", {{C::ITEM_CHARACTER, "-1"}}, nullptr, "0 to 255"},
        {"code not a number", {{C::ITEM_CHARACTER, "A"}}, nullptr, "0 to 255"},
        {"code an expression", {{C::ITEM_CHARACTER, "1)+CHR$(2"}}, nullptr, "0 to 255"},
        {"empty code", {{C::ITEM_CHARACTER, ""}}, nullptr, "0 to 255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCombination combination;
        for (const auto& [kind, text] : c.items)
            combination.AddItem(kind, text);
        QString text;
        QString reason;
        const bool made = combination.MakeScriptText(text, reason);
        EXPECT_EQ(made, c.text != nullptr);
        if (c.text)
            EXPECT_EQ(text, QString::fromUtf8(c.text));
        else
            EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
    }
}

TEST_F(CombinationTest, ValuesJoinElementsTextsAndCharacters)
{
    AddElement("Price");
    AddElement("Unit");
    CCombination* c = AddCombination("Label", {{C::ITEM_ELEMENT, "Price"},
                                               {C::ITEM_TEXT, " per \"kg\" \\ "},
                                               {C::ITEM_CHARACTER, "65"},
                                               {C::ITEM_ELEMENT, "Unit"}});
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->Build());
    EXPECT_EQ(c->m_scriptName, "COMB000");
    EXPECT_EQ(c->m_inputNames, (QStringList{"PRICE", "UNIT"}));
    EXPECT_EQ(c->m_sourceKinds, (std::vector<int>{SOURCE_ELEMENT, SOURCE_ELEMENT}));
    c->SetSourceValue("1.99", SOURCE_ELEMENT, "Price", FALSE);
    c->SetSourceValue("each", SOURCE_ELEMENT, "UNIT", FALSE);
    EXPECT_EQ(c->GetValue(), "1.99 per \"kg\" \\ Aeach");

    // Free texts and codes alone give their value at once.
    CCombination* fixed = AddCombination("Fixed", {{C::ITEM_TEXT, "x"}, {C::ITEM_CHARACTER, "33"}});
    ASSERT_TRUE(fixed->Build());
    EXPECT_EQ(fixed->GetValue(), "x!");
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(CombinationTest, GeneratedScriptNames)
{
    CScriptStore& store = TheScriptStore();
    store.SetScriptText("COMB000", "RETURN 0");
    store.SetScriptText("COMB001", "RETURN 1");
    store.SetScriptText("comb002", "RETURN 2"); // names keep their case
    EXPECT_EQ(CCombination::FreeScriptName(), "COMB002");

    CCombination* c = AddCombination("A", {{C::ITEM_TEXT, "a"}});
    ASSERT_TRUE(c->Build());
    EXPECT_EQ(c->m_scriptName, "COMB002");
    EXPECT_EQ(store.GetScriptText("COMB002"), "RETURN \"a\"");
    EXPECT_EQ(store.GetScriptText("COMB001"), "RETURN 1");

    // Built again it keeps its name.
    c->AddItem(C::ITEM_TEXT, "b");
    ASSERT_TRUE(c->Build());
    EXPECT_EQ(c->m_scriptName, "COMB002");
    EXPECT_EQ(store.GetScriptText("COMB002"), "RETURN \"a\" + \"b\"");

    // Past a thousand the numbers grow a digit.
    for (int i = 0; i < 1000; ++i)
        store.SetScriptText(QString("COMB%1").arg(i, 3, 10, QChar('0')), "RETURN 1");
    EXPECT_EQ(CCombination::FreeScriptName(), "COMB1000");
}

// A list that gives no script keeps the previous script in the store and in
// use, and says why.
TEST_F(CombinationTest, AFailedBuildIsToldAndChangesNothing)
{
    AddElement("Price");
    CCombination* c = AddCombination("Label", {{C::ITEM_TEXT, "ok"}});
    ASSERT_TRUE(c->Build());
    ASSERT_EQ(c->GetValue(), "ok");

    struct Case
    {
        const char* what;
        std::pair<int, QString> item;
    } cases[] = {
        {"a code that is no number", {C::ITEM_CHARACTER, "x"}},
        {"an element name that is no script name", {C::ITEM_ELEMENT, "Two words"}},
    };
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.what);
        m_messages.Clear();
        c->AddItem(bad.item.first, bad.item.second);
        EXPECT_FALSE(c->Build());
        ASSERT_EQ(m_messages.Count(), 1);
        EXPECT_TRUE(m_messages.LastText().contains("\"Label\""));
        EXPECT_EQ(TheScriptStore().GetScriptText("COMB000"), "RETURN \"ok\"");
        c->ResetValue();
        EXPECT_EQ(c->GetValue(), "ok");
        ASSERT_TRUE(c->RemoveItem(c->GetItemCountOfList() - 1));
    }

    // A new combination that cannot be built stores nothing.
    m_messages.Clear();
    CCombination* empty = AddCombination("Empty", {});
    EXPECT_FALSE(empty->Build());
    EXPECT_EQ(empty->m_scriptName, QString());
    EXPECT_EQ(TheScriptStore().GetCount(), 1);
    EXPECT_EQ(m_messages.Count(), 1);
}

TEST_F(CombinationTest, RecordRoundTrip)
{
    AddElement("Price");
    CCombination* c = AddCombination(
        "Label", {{C::ITEM_ELEMENT, "Price"}, {C::ITEM_TEXT, "k\"g"}, {C::ITEM_CHARACTER, "32"}});
    c->m_prompt = "Prompt";
    ASSERT_TRUE(c->Build());
    const QByteArray bytes = Store();

    // Into a program whose store does not hold the script.
    {
        CAppContext fresh;
        CMessageResponder messages;
        AddElement("Price");
        Load(bytes);
        CCombination* loaded = First();
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->m_name, "Label");
        EXPECT_EQ(loaded->m_prompt, "Prompt");
        EXPECT_EQ(loaded->m_scriptName, "COMB000");
        EXPECT_EQ(loaded->m_itemKinds, c->m_itemKinds);
        EXPECT_EQ(loaded->m_itemTexts, c->m_itemTexts);
        EXPECT_EQ(TheScriptStore().GetScriptText("COMB000"),
                  "RETURN Price$ + \"k\\\"g\" + CHR$(32)");
        loaded->SetSourceValue("3", SOURCE_ELEMENT, "Price", FALSE);
        EXPECT_EQ(loaded->GetValue(), "3k\"g ");
        EXPECT_EQ(Store(), bytes);
        EXPECT_EQ(messages.Count(), 0);
    }

    // Into a program whose store holds another script under that generated
    // name (another sign's): nothing is asked, the store's script stays, and
    // the sign's script is kept under a fresh name.
    {
        CAppContext fresh;
        CMessageResponder messages;
        TheScriptStore().SetScriptText("COMB000", "RETURN \"other\"");
        Load(bytes);
        CCombination* loaded = First();
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(messages.Count(), 0);
        EXPECT_EQ(TheScriptStore().GetScriptText("COMB000"), "RETURN \"other\"");
        EXPECT_EQ(loaded->m_scriptName, "COMB001");
        EXPECT_EQ(TheScriptStore().GetScriptText("COMB001"),
                  "RETURN Price$ + \"k\\\"g\" + CHR$(32)");
    }
}

// Arrays of different lengths in a damaged record are cut to the shorter.
TEST_F(CombinationTest, DamagedItemArraysAreMadeParallel)
{
    CCombination* c = AddCombination("Label", {{C::ITEM_TEXT, "a"}, {C::ITEM_TEXT, "b"}});
    ASSERT_TRUE(c->Build());
    c->m_itemTexts.removeLast(); // two kinds, one text
    const QByteArray bytes = Store();
    Load(bytes);
    CCombination* loaded = First();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_itemKinds, std::vector<WORD>{C::ITEM_TEXT});
    EXPECT_EQ(loaded->m_itemTexts, QStringList{"a"});

    // Cut short anywhere, the record raises a file error and no more.
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        CAppContext fresh;
        CMessageResponder messages;
        QByteArray part = bytes.left(cut);
        CArchive ar(&part, CArchive::load);
        EXPECT_THROW(TheVariableList().Serialize(ar), CArchiveException) << cut;
    }
}

TEST_F(CombinationTest, TextExportIsTheMacroScriptBlock)
{
    CCombination* c = AddCombination("Label", {{C::ITEM_TEXT, "<x>"}});
    ASSERT_TRUE(c->Build());
    QByteArray bytes;
    {
        CTextExportFile file(&bytes);
        c->WriteXml(file);
    }
    EXPECT_EQ(bytes.toStdString(), std::string("  <macro-script>\r\n\r\n"
                                               "    <name=\"Label\"/>\r\n"
                                               "    <data-entry-index=\"0\"/>\r\n"
                                               "    <prompt=\"\"/>\r\n"
                                               "    <name=\"COMB000\"/>\r\n"
                                               "    <script=\"RETURN &quot;&lt;x&gt;&quot;\"/>\r\n"
                                               "\r\n  </macro-script>\r\n\r\n"));
}

// The dialogs work on a copy; OK builds, Cancel changes nothing. Editing
// keeps the script name.
TEST_F(CombinationTest, DialogsWorkOnACopy)
{
    CCombination* c = AddCombination("Label", {});
    int shown = 0;
    CCombination::s_dialog = [&](QWidget*, CCombination& working) {
        ++shown;
        EXPECT_NE(&working, c);
        EXPECT_EQ(working.m_name, "Label");
        working.AddItem(C::ITEM_TEXT, QString::number(shown));
        return shown != 2; // the second is cancelled
    };
    EXPECT_TRUE(c->DoNewDialog(nullptr));
    EXPECT_EQ(c->m_scriptName, "COMB000");
    EXPECT_EQ(c->GetValue(), "1");

    EXPECT_FALSE(c->DoEditDialog(nullptr));
    EXPECT_EQ(c->m_itemTexts, QStringList{"1"});

    TheScriptStore().SetScriptText("COMB001", "RETURN 0");
    EXPECT_TRUE(c->DoEditDialog(nullptr));
    EXPECT_EQ(c->m_itemTexts, (QStringList{"1", "3"}));
    EXPECT_EQ(c->m_scriptName, "COMB000");
    EXPECT_EQ(TheScriptStore().GetScriptText("COMB000"), "RETURN \"1\" + \"3\"");
    EXPECT_EQ(c->GetValue(), "13");

    // Without a dialog nothing happens.
    CCombination::s_dialog = nullptr;
    EXPECT_FALSE(c->DoEditDialog(nullptr));
    EXPECT_EQ(shown, 3);
}

// Closing a sign takes its combinations' scripts out of the store, and only
// those.
TEST_F(CombinationTest, ClosingASignRemovesTheGeneratedScripts)
{
    CCombination* c = AddCombination("Label", {{C::ITEM_TEXT, "a"}});
    ASSERT_TRUE(c->Build());
    TheScriptStore().SetScriptText("Mine", "RETURN 1");
    TheVariableList().RemoveCombinationScripts();
    TheVariableList().DeleteAll();
    EXPECT_FALSE(TheScriptStore().Contains("COMB000"));
    EXPECT_TRUE(TheScriptStore().Contains("Mine"));
}

} // namespace
