#include "DataSourceMap.h"
#include "AppContext.h"
#include "DatabaseLink.h"
#include "Element.h"
#include "ElementList.h"
#include "MacroScript.h"
#include "Messages.h"
#include "ModelClasses.h"
#include "ResourceIds.h"
#include "ScriptStore.h"
#include "SignData.h"
#include "Table.h"
#include "TestSupport.h"
#include "Text.h"
#include "UndoHistory.h"
#include "Variable.h"
#include "VariableList.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QStringList* g_log = nullptr;

// An element that records what reaches it and shows it as its text.
class CLogElement : public CElement
{
public:
    CLogElement(const QString& name, int kind = SOURCE_FIXED, const QString& source = QString())
    {
        m_name = name;
        m_dataSource = kind;
        m_sourceName = source;
    }
    int GetTypeCode() const override { return TYPE_TEXT; }
    void SetDataText(const QString& text, int kind, const QString& sourceName, BOOL) override
    {
        m_text = text;
        if (g_log)
            g_log->append(
                QStringLiteral("%1<-%2:%3=%4").arg(m_name).arg(kind).arg(sourceName, text));
    }
    QString GetText() const override { return m_text; }
    void Reformat() override
    {
        if (g_log)
            g_log->append("layout " + m_name);
    }
    QString m_text;
};

// A variable whose inputs are set by the test; its value joins them.
class CLogVariable : public CVariable
{
public:
    CLogVariable(int type, const QString& name) : m_type(type) { m_name = name; }
    int GetTypeCode() const override { return m_type; }
    QString GetName() const override { return m_name; }
    int GetDataSources(std::vector<int>& kinds, QStringList& names) override
    {
        kinds.insert(kinds.end(), m_kinds.begin(), m_kinds.end());
        names += m_names;
        return int(m_kinds.size());
    }
    void SetSourceValue(const QString& value, int kind, const QString& sourceName, BOOL) override
    {
        m_value = "[" + value + "]";
        if (g_log)
            g_log->append(
                QStringLiteral("%1<-%2:%3=%4").arg(m_name).arg(kind).arg(sourceName, value));
    }
    QString GetValue() override { return m_value; }
    void Input(int kind, const QString& name)
    {
        m_kinds.push_back(kind);
        m_names << name;
    }
    int m_type;
    std::vector<int> m_kinds;
    QStringList m_names;
    QString m_value;
};

class DataSourceMapTest : public ::testing::Test
{
protected:
    void SetUp() override { g_log = &log; }
    void TearDown() override
    {
        g_log = nullptr;
        TheDataSourceMap().RemoveAll();
    }

    CLogElement* Element(const QString& name, int kind = SOURCE_KEYBOARD,
                         const QString& source = QString())
    {
        auto* element = new CLogElement(name, kind, source);
        TheElementList().AddTail(element);
        return element;
    }
    CLogVariable* Variable(int type, const QString& name)
    {
        auto* variable = new CLogVariable(type, name);
        TheVariableList().AddVariable(variable);
        return variable;
    }

    CAppContext context;
    QStringList log;
    CDataSourceMap& map = TheDataSourceMap();
};

TEST_F(DataSourceMapTest, InstallsItselfAsTheContextsDataPaths)
{
    EXPECT_EQ(App().dataPaths, &map);
}

TEST_F(DataSourceMapTest, KeysKeepElementsAndVariablesApart)
{
    struct Case
    {
        int kind;
        const char* name;
        const char* key;
    } cases[] = {
        {SOURCE_OPTION_LIST, "Size", "11SIZE"},
        {SOURCE_COMBINATION, "ab", "17AB"},
        {SOURCE_MACRO, "Total", "15TOTAL"},
        {SOURCE_ELEMENT, "Price", "PRICE"},
        {SOURCE_FIXED, "Price", ""},
        {SOURCE_KEYBOARD, "Price", ""},
        {SOURCE_DATABASE, "Price", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDataSourceMap::SourceKey(c.kind, c.name), QString(c.key)) << c.name << c.kind;

    // An element named Price and an option list named Price both get nodes.
    CLogElement* price = Element("Price");
    CLogVariable* list = Variable(VARIABLE_OPTION_LIST, "Price");
    Element("Shown", SOURCE_OPTION_LIST, "price");
    Element("Copy", SOURCE_ELEMENT, "PRICE");
    ASSERT_TRUE(map.Rebuild());
    EXPECT_EQ(map.GetNodeCount(), 4);
    EXPECT_EQ(map.GetDependentCount(price), 1);
    EXPECT_EQ(map.GetDependentCount(list), 1);
}

// Rebuilding, as saving and opening a sign do, is linear in the size of the
// sign: it sweeps the whole map for no element, where looking for each
// element in the whole list made a sign of 200,000 boxes take most of a
// minute to open (the time itself is measured in bench/,
// BM_RebuildDataSourceMap).
TEST_F(DataSourceMapTest, RebuildingGrowsWithTheSignNotItsSquare)
{
    for (const int elements : {5000, 40000}) {
        SCOPED_TRACE(elements);
        map.RemoveAll();
        TheElementList().DeleteAll();
        for (int i = 0; i < elements; ++i)
            Element(QStringLiteral("E%1").arg(i), i % 2 ? SOURCE_FIXED : SOURCE_KEYBOARD);
        const qint64 swept = map.GetNodesSwept();
        EXPECT_TRUE(map.Rebuild());
        EXPECT_EQ(map.GetNodeCount(), elements / 2);
        EXPECT_LE(map.GetNodesSwept() - swept, elements);
    }
    map.RemoveAll();
    TheElementList().DeleteAll();
}

TEST_F(DataSourceMapTest, FixedElementsGetNoNodeAndUnknownSourcesAreSkipped)
{
    CLogElement* fixed = Element("Fixed", SOURCE_FIXED);
    Element("Orphan", SOURCE_ELEMENT, "Nobody");
    CLogVariable* script = Variable(VARIABLE_MACRO, "Calc");
    script->Input(SOURCE_ELEMENT, "Missing");
    ASSERT_TRUE(map.Rebuild());
    EXPECT_EQ(map.FindNode(fixed), nullptr);
    EXPECT_EQ(map.GetNodeCount(), 2);
    EXPECT_TRUE(map.FindNode(script)->sources.empty());
}

// Typing into A, which feeds B and C; C feeds a combination that feeds D.
// The whole subtree of B comes before C, C's before the next.
TEST_F(DataSourceMapTest, ValuesPassDownDepthFirstInLinkOrder)
{
    CLogElement* a = Element("A");
    Element("B", SOURCE_ELEMENT, "A");
    Element("C", SOURCE_ELEMENT, "A");
    CLogVariable* comb = Variable(VARIABLE_COMBINATION, "Join");
    comb->Input(SOURCE_ELEMENT, "C");
    Element("D", SOURCE_COMBINATION, "Join");
    Element("E", SOURCE_ELEMENT, "B");
    ASSERT_TRUE(map.Rebuild());

    map.SetSourceValue(a, "x", SOURCE_KEYBOARD, "", TRUE);
    EXPECT_EQ(log, (QStringList{"A<-1:=x", "B<-10:A=x", "E<-10:B=x", "C<-10:A=x", "Join<-10:C=x",
                                "D<-9:Join=[x]"}));

    log.clear();
    map.PropagateVariable(comb);
    EXPECT_EQ(log, QStringList{"D<-9:Join=[x]"});

    log.clear();
    map.RefreshDependents(a);
    EXPECT_EQ(log, (QStringList{"layout A", "layout B", "layout E", "layout C", "layout D"}));
}

TEST_F(DataSourceMapTest, CirclesAreRefusedWhereverTheyClose)
{
    // A variable fed by itself, and one fed by an element it feeds through a
    // chain, are refused; the map keeps no link that closes a circle.
    CMessageResponder answers;
    CLogVariable* self = Variable(VARIABLE_MACRO, "Self");
    self->Input(SOURCE_MACRO, "Self");
    CLogVariable* loop = Variable(VARIABLE_MACRO, "Loop");
    Element("First", SOURCE_MACRO, "Loop");
    Element("Second", SOURCE_ELEMENT, "First");
    ASSERT_TRUE(map.Rebuild());
    EXPECT_EQ(map.GetDependentCount(self), 0);
    EXPECT_TRUE(map.CheckCircularPath(loop));

    loop->Input(SOURCE_ELEMENT, "Second");
    EXPECT_FALSE(map.CheckCircularPath(loop));
    EXPECT_FALSE(map.CheckCircularPath(self));
    EXPECT_FALSE(map.UpdateVariable(loop, "Loop"));
    EXPECT_TRUE(map.FindNode(loop)->sources.empty());

    // An element edited to take its own dependant is refused the same way.
    CElement* first = TheElementList().FindByName("First");
    first->m_dataSource = SOURCE_ELEMENT;
    first->m_sourceName = "Second";
    EXPECT_FALSE(map.UpdateElement(first, "First"));
    EXPECT_TRUE(map.FindNode(first)->sources.empty());
    EXPECT_EQ(answers.Count(), 4);
    for (const auto& message : answers.Messages())
        EXPECT_EQ(message.text, FormatStringId(IDS_CIRCULAR_DATA_PATH));

    // Even so, a value passed down ends.
    map.SetSourceValue(first, "v", SOURCE_KEYBOARD, "", TRUE);
    EXPECT_LE(log.size(), 3);
}

TEST_F(DataSourceMapTest, RenamesReachDependentElementsAndVariables)
{
    CLogElement* qty = Element("qty");
    CLogElement* shown = Element("Shown", SOURCE_ELEMENT, "qty");
    CLogVariable* script = Variable(VARIABLE_MACRO, "Calc");
    script->Input(SOURCE_ELEMENT, "qty");
    ASSERT_TRUE(map.Rebuild());
    ASSERT_EQ(map.GetDependentCount(qty), 2);

    // Changing case alone is a rename.
    qty->m_name = "Qty";
    EXPECT_TRUE(map.UpdateElement(qty, "qty"));
    EXPECT_EQ(shown->m_sourceName, "Qty");
    EXPECT_EQ(map.GetDependentCount(qty), 2);

    qty->m_name = "Count";
    EXPECT_TRUE(map.UpdateElement(qty, "Qty"));
    EXPECT_EQ(shown->m_sourceName, "Count");
    EXPECT_EQ(map.GetDependentCount(qty), 2);
    EXPECT_EQ(CDataSourceMap::SourceKey(SOURCE_ELEMENT, "Count"), "COUNT");

    // A renamed variable gives its dependants its new name too.
    CLogVariable* list = Variable(VARIABLE_OPTION_LIST, "Size");
    CLogElement* sized = Element("Sized", SOURCE_OPTION_LIST, "Size");
    map.Rebuild();
    list->m_name = "Fit";
    EXPECT_TRUE(map.UpdateVariable(list, "Size"));
    EXPECT_EQ(sized->m_sourceName, "Fit");
    EXPECT_EQ(map.GetDependentCount(list), 1);
    map.SetSourceValue(list, "M", SOURCE_KEYBOARD, "", TRUE);
    EXPECT_EQ(sized->m_text, "[M]");
}

TEST_F(DataSourceMapTest, RemovedNodesLeaveNothingBehind)
{
    CMessageResponder answers;
    CLogElement* a = Element("A");
    CLogElement* b = Element("B", SOURCE_ELEMENT, "A");
    CLogVariable* v = Variable(VARIABLE_MACRO, "V");
    v->Input(SOURCE_ELEMENT, "B");
    ASSERT_TRUE(map.Rebuild());

    EXPECT_FALSE(map.CanDeleteElement(a));
    EXPECT_EQ(answers.LastText(), FormatStringId(IDS_ELEMENT_IS_DATA_SOURCE, {"A"}));

    // B made fixed: its node goes, and neither A nor V keeps a pointer to it.
    b->m_dataSource = SOURCE_FIXED;
    map.UpdateElement(b, "B");
    EXPECT_EQ(map.FindNode(b), nullptr);
    EXPECT_EQ(map.GetDependentCount(a), 0);
    EXPECT_TRUE(map.FindNode(v)->sources.empty());
    EXPECT_TRUE(map.CanDeleteElement(a));
    map.SetSourceValue(a, "x", SOURCE_KEYBOARD, "", TRUE); // touches nothing freed
    EXPECT_EQ(log, QStringList{"A<-1:=x"});

    // Through the seam, as undo and the variable list do.
    CDataPathSeam* seam = App().dataPaths;
    seam->RemoveElement(a);
    seam->RemoveVariable(v);
    EXPECT_EQ(map.GetNodeCount(), 0);
}

TEST_F(DataSourceMapTest, EntryIsEnabledOnlyWhereTypingCanReachAnElement)
{
    Element("Typed");
    CElement* start = Element("Start", SOURCE_OPTION_LIST, "Only");
    start->m_startDataOnly = TRUE;
    CLogVariable* only = Variable(VARIABLE_OPTION_LIST, "Only");
    CLogVariable* used = Variable(VARIABLE_OPTION_LIST, "Used");
    Element("Plain", SOURCE_OPTION_LIST, "Used");
    CLogVariable* counter = Variable(VARIABLE_INCREMENTING, "Counter");
    Element("Counted", SOURCE_INCREMENTING, "Counter");
    CElement* copy = Element("Copy", SOURCE_ELEMENT, "Typed");
    ASSERT_TRUE(map.Rebuild());
    EXPECT_TRUE(map.IsEntryEnabled(TheElementList().FindByName("Typed")));
    EXPECT_FALSE(map.IsEntryEnabled(copy));
    EXPECT_FALSE(map.IsEntryEnabled(start));
    EXPECT_FALSE(map.IsEntryEnabled(only));
    EXPECT_TRUE(map.IsEntryEnabled(used));
    EXPECT_FALSE(map.IsEntryEnabled(counter));
}

TEST_F(DataSourceMapTest, DataTreeHasOneRootPerUnfedNode)
{
    Element("Alone");
    Element("Root");
    Element("Zed", SOURCE_ELEMENT, "Root");
    Element("Beta", SOURCE_ELEMENT, "Root");
    ASSERT_TRUE(map.Rebuild());
    QStringList items;
    map.WalkTree(
        [&](const QString& name, int, int depth) { items << QString(depth * 2, ' ') + name; });
    EXPECT_EQ(items, (QStringList{"Alone", "Root", "  Beta", "  Zed"}));
}

// Saving drops the variables that feed nothing; one that feeds only a
// variable that goes goes too; what feeds an element stays.
TEST_F(DataSourceMapTest, UnusedVariablesAreDroppedThroughTheMap)
{
    CLogVariable* used = Variable(VARIABLE_MACRO, "Used");
    Element("Shown", SOURCE_MACRO, "Used");
    CLogVariable* idle = Variable(VARIABLE_MACRO, "Idle");
    Variable(VARIABLE_COMBINATION, "Feeder");
    idle->Input(SOURCE_COMBINATION, "Feeder");
    ASSERT_TRUE(map.Rebuild());
    ASSERT_EQ(map.GetNodeCount(), 4);

    TheVariableList().RemoveUnusedVariables();
    ASSERT_EQ(TheVariableList().GetCount(), 1);
    EXPECT_EQ(TheVariableList().GetAt(0), used);
    EXPECT_EQ(map.GetNodeCount(), 2);
}

// A macro script takes an element by name: when the element is renamed the
// script's input follows, so values still reach it, also after the map is
// built again (as on the next load).
TEST_F(DataSourceMapTest, RenamedElementStillFeedsAScript)
{
    CLogElement* qty = Element("Qty");
    CLogElement* price = Element("Price");
    TheScriptStore().SetScriptText("TOTAL", "RETURN STR$(FLOAT(QTY) * PRICE#)");
    auto* script = new CMacroScript;
    script->m_name = "TOTAL";
    script->m_scriptName = "TOTAL";
    script->CompileFromStore();
    TheVariableList().AddVariable(script);
    CLogElement* total = Element("Total", SOURCE_MACRO, "TOTAL");
    ASSERT_TRUE(map.Rebuild());
    ASSERT_EQ(map.GetDependentCount(qty), 1);

    qty->m_name = "Count";
    EXPECT_TRUE(map.UpdateElement(qty, "Qty"));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(map.GetDependentCount(qty), 1) << pass;
        map.SetSourceValue(price, "2.5", SOURCE_KEYBOARD, "", TRUE);
        map.SetSourceValue(qty, QString::number(4 + pass), SOURCE_KEYBOARD, "", TRUE);
        EXPECT_TRUE(total->m_text.startsWith(pass == 0 ? "10.0" : "12.5"))
            << total->m_text.toStdString();
        ASSERT_TRUE(map.Rebuild());
    }
}

// The save's clean-up does not trust a map that an edit forgot to tell: a
// variable that an element takes is kept although the map never heard of
// the link.
TEST_F(DataSourceMapTest, SavingKeepsVariablesTheMapWasNotToldOf)
{
    RegisterDatabaseSignParts();
    CLogVariable* used = Variable(VARIABLE_MACRO, "Used");
    Variable(VARIABLE_MACRO, "Idle");
    Element("Shown", SOURCE_MACRO, "Used");
    ASSERT_EQ(map.GetDependentCount(used), 0);
    SignHooks().removeUnusedVariables();
    ASSERT_EQ(TheVariableList().GetCount(), 1);
    EXPECT_EQ(TheVariableList().GetAt(0), used);
    EXPECT_EQ(map.GetDependentCount(used), 1);
}

// When data entry begins, a text's data reaches the elements it feeds.
TEST_F(DataSourceMapTest, DataEntryOfATextPassesItsDataOn)
{
    EnsureGuiApp();
    auto* text = new CText;
    text->m_name = "Source";
    text->BeginCreate(nullptr, 20, 20);
    TheElementList().AddTail(text);
    text->SetDataSource(SOURCE_KEYBOARD, QString());
    text->SetSampleData(nullptr, "Fresh bread");
    CLogElement* copy = Element("Copy", SOURCE_ELEMENT, "Source");
    ASSERT_TRUE(map.Rebuild());
    text->BeginDataEntry();
    EXPECT_EQ(copy->m_text, "Fresh bread");
}

// A table's cells take their places in the data paths when the table comes
// into the sign and leave them when it goes, as Undo and Redo move it.
TEST_F(DataSourceMapTest, ATablesCellsComeAndGoWithItsTable)
{
    EnsureGuiApp();
    RegisterModelElementClasses();
    CLogElement* source = Element("A");
    auto* table = static_cast<CTable*>(TheElementList().CreateElement("CTable"));
    ASSERT_NE(table, nullptr);
    table->SetBounds(nullptr, CRect(0, 0, 600, 300));
    ASSERT_TRUE(
        table->SetFormat("<table><tr><td type=\"3\"></td><td type=\"1\"></td></tr></table>"));
    CElement* cell = table->m_rows[0].cells[0].element;
    cell->m_dataSource = SOURCE_ELEMENT;
    cell->m_sourceName = "A";
    ASSERT_TRUE(map.Rebuild());
    ASSERT_NE(map.FindNode(cell), nullptr);
    EXPECT_EQ(map.GetDependentCount(source), 1);

    CUndoHistory& history = TheUndoHistory();
    history.Record(UNDO_ADDED, table);
    ASSERT_TRUE(history.Undo(nullptr));
    EXPECT_FALSE(TheElementList().Contains(cell));
    EXPECT_EQ(map.FindNode(cell), nullptr);
    EXPECT_EQ(map.GetDependentCount(source), 0);
    map.SetSourceValue(source, "x", SOURCE_KEYBOARD, "", TRUE); // reaches no cell

    ASSERT_TRUE(history.Redo(nullptr));
    ASSERT_TRUE(TheElementList().Contains(cell));
    ASSERT_NE(map.FindNode(cell), nullptr);
    EXPECT_EQ(map.GetDependentCount(source), 1);
    history.Clear();
}

} // namespace
