// The macro script variable: inputs resolved to variables and elements,
// values flowing through the script, the sign record with the store
// reconciliation, and the text export.
#include "MacroScript.h"
#include "AppContext.h"
#include "Archive.h"
#include "Element.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ScriptStore.h"
#include "TextExport.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <QByteArray>

#include <string>

#include <gtest/gtest.h>

namespace {

class MacroScriptTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterVariableSignParts(); }
    void TearDown() override { CMacroScript::s_propagateValue = nullptr; }

    CMacroScript* AddMacro(const QString& scriptName, const QString& text)
    {
        TheScriptStore().SetScriptText(scriptName, text);
        auto* macro = static_cast<CMacroScript*>(
            TheVariableList().CreateVariable(VARIABLE_MACRO, QStringLiteral("V_") + scriptName));
        EXPECT_NE(macro, nullptr);
        macro->m_scriptName = scriptName;
        macro->CompileFromStore();
        return macro;
    }

    static void AddElement(const QString& name)
    {
        auto* element = new CElement;
        element->m_name = name;
        TheElementList().AddTail(element);
    }

    // The variable list written and read back into an emptied list.
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
    static CMacroScript* FirstMacro()
    {
        return TheVariableList().GetCount() > 0
                   ? dynamic_cast<CMacroScript*>(TheVariableList().GetAt(0))
                   : nullptr;
    }

    CAppContext m_context;
    CMessageResponder m_messages;
};

TEST_F(MacroScriptTest, InputsResolveToVariablesThenElements)
{
    CMacroScript* other = AddMacro(QStringLiteral("WIDTH"), QStringLiteral("RETURN \"10\""));
    AddElement(QStringLiteral("Width"));
    AddElement(QStringLiteral("Height"));
    CMacroScript* macro =
        AddMacro(QStringLiteral("AREA"),
                 QStringLiteral("RETURN STR$(VAL(WIDTH$) * VAL(HEIGHT$)) + MISSING$ + AREA$"));

    std::vector<int> kinds;
    QStringList names;
    EXPECT_EQ(macro->GetDataSources(kinds, names), 4);
    // AREA names this very script: a script never feeds itself.
    EXPECT_EQ(names, (QStringList{"AREA", "HEIGHT", "MISSING", "WIDTH"}));
    EXPECT_EQ(kinds, (std::vector<int>{-1, SOURCE_ELEMENT, -1, SOURCE_MACRO}));
    ASSERT_NE(other, nullptr);

    // Resolutions of inputs that stay are kept when the inputs are asked
    // again, even when the sign has changed meanwhile.
    macro->m_sourceKinds[2] = SOURCE_KEYBOARD;
    std::vector<int> again;
    QStringList againNames;
    macro->GetDataSources(again, againNames);
    EXPECT_EQ(again, (std::vector<int>{-1, SOURCE_ELEMENT, SOURCE_KEYBOARD, SOURCE_MACRO}));

    // Pairs already in the caller's arrays are not appended twice.
    EXPECT_EQ(macro->GetDataSources(again, againNames), 4);
}

TEST_F(MacroScriptTest, ValuesFlowThroughTheScript)
{
    AddElement(QStringLiteral("Price"));
    AddElement(QStringLiteral("Qty"));
    CMacroScript* macro =
        AddMacro(QStringLiteral("TOTAL"),
                 QStringLiteral("RETURN STR$(FLOAT(QTY) * PRICE#) + \" \" + DATE$(\"%Y\", 0)"));
    std::vector<int> kinds;
    QStringList names;
    macro->GetDataSources(kinds, names);

    macro->SetSourceValue(QStringLiteral("2.5"), SOURCE_ELEMENT, QStringLiteral("price"), FALSE);
    macro->SetSourceValue(QStringLiteral("4"), SOURCE_ELEMENT, QStringLiteral("QTY"), FALSE);
    // A value from another kind of source of the same name is not an input.
    macro->SetSourceValue(QStringLiteral("99"), SOURCE_KEYBOARD, QStringLiteral("QTY"), FALSE);
    EXPECT_TRUE(macro->GetValue().startsWith(QStringLiteral("10.000000 2")));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(MacroScriptTest, ResetValue)
{
    // Without inputs the script runs once and the value is passed on.
    CMacroScript* fixed = AddMacro(QStringLiteral("FIXED"), QStringLiteral("RETURN \"x\""));
    int propagated = 0;
    CMacroScript::s_propagateValue = [&](CVariable& v) {
        EXPECT_EQ(&v, fixed);
        ++propagated;
    };
    fixed->ResetValue();
    EXPECT_EQ(propagated, 1);
    EXPECT_EQ(fixed->GetValue(), QStringLiteral("x"));

    // An input that nothing supplies is reported, once per reset.
    CMacroScript* open = AddMacro(QStringLiteral("OPEN"), QStringLiteral("RETURN NOBODY$"));
    std::vector<int> kinds;
    QStringList names;
    open->GetDataSources(kinds, names);
    open->ResetValue();
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text,
              QStringLiteral("Insufficient data supplied to macro script \"OPEN\"\n"
                             "Output may contain errors!"));
    EXPECT_EQ(propagated, 1);
}

TEST_F(MacroScriptTest, AnEndlessScriptIsStoppedAndTold)
{
    CMacroScript* loop =
        AddMacro(QStringLiteral("LOOP"), QStringLiteral("TOP: GOTO TOP\nRETURN 1"));
    loop->ResetValue();
    EXPECT_EQ(loop->GetValue(), QString());
    loop->SetSourceValue(QString(), SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(loop->GetValue(), QString());
    ASSERT_EQ(m_messages.Messages().size(), 1u); // once until the next reset
    EXPECT_EQ(m_messages.Messages()[0].text,
              QStringLiteral("Macro script \"LOOP\"\n") + ScriptTooManyStepsMessage());
}

TEST_F(MacroScriptTest, RecordRoundTrip)
{
    AddElement(QStringLiteral("Name"));
    CMacroScript* macro =
        AddMacro(QStringLiteral("Greet"), QStringLiteral("RETURN \"Hello \" + NAME$"));
    macro->m_prompt = QStringLiteral("Greeting");
    std::vector<int> kinds;
    QStringList names;
    macro->GetDataSources(kinds, names);
    const QByteArray bytes = Store();

    // Into a program whose store does not know the script: it is added.
    CAppContext fresh;
    CMessageResponder messages;
    Load(bytes);
    CMacroScript* loaded = FirstMacro();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_name, QStringLiteral("V_Greet"));
    EXPECT_EQ(loaded->m_prompt, QStringLiteral("Greeting"));
    EXPECT_EQ(loaded->GetName(), QStringLiteral("Greet"));
    EXPECT_EQ(loaded->m_inputNames, QStringList{QStringLiteral("NAME")});
    EXPECT_EQ(loaded->m_inputTypes, std::vector<int>{SCRIPT_TYPE_STRING});
    EXPECT_EQ(loaded->m_sourceNames, QStringList{QStringLiteral("NAME")});
    EXPECT_EQ(loaded->m_sourceKinds, std::vector<int>{SOURCE_ELEMENT});
    EXPECT_EQ(TheScriptStore().GetScriptText(QStringLiteral("Greet")),
              QStringLiteral("RETURN \"Hello \" + NAME$"));
    loaded->SetSourceValue(QStringLiteral("Ann"), SOURCE_ELEMENT, QStringLiteral("Name"), FALSE);
    EXPECT_EQ(loaded->GetValue(), QStringLiteral("Hello Ann"));
    EXPECT_TRUE(messages.Messages().empty());

    // Written again, the bytes are the same.
    EXPECT_EQ(Store(), bytes);
}

TEST_F(MacroScriptTest, ReconciliationWithTheStore)
{
    AddMacro(QStringLiteral("S"), QStringLiteral("RETURN \"sign\""));
    const QByteArray bytes = Store();
    const struct
    {
        const char* storeText;
        int answer; // 0: no question expected
        const char* storeAfter;
        const char* result; // null: the load is abandoned
    } cases[] = {
        {"RETURN \"sign\"", 0, "RETURN \"sign\"", "sign"},
        // Texts that differ in letter case only are different scripts.
        {"RETURN \"SIGN\"", IDYES, "RETURN \"sign\"", "sign"},
        {"RETURN \"SIGN\"", IDNO, "RETURN \"SIGN\"", "SIGN"},
        {"RETURN \"other\"", IDCANCEL, "RETURN \"other\"", nullptr},
    };
    for (const auto& c : cases) {
        CAppContext fresh;
        CMessageResponder messages;
        TheScriptStore().SetScriptText(QStringLiteral("S"), QString::fromUtf8(c.storeText));
        if (c.answer)
            messages.QueueAnswer(c.answer);
        bool abandoned = false;
        try {
            Load(bytes);
        } catch (const CUserException&) {
            abandoned = true;
        }
        EXPECT_EQ(abandoned, c.result == nullptr) << c.storeText;
        ASSERT_EQ(messages.Messages().size(), c.answer ? 1u : 0u) << c.storeText;
        if (c.answer) {
            EXPECT_EQ(messages.Messages()[0].text,
                      QStringLiteral("A macro script with the name 'S' already exists and is used "
                                     "on other templates. Do you wish to replace that script "
                                     "with the one used on this template ?"));
        }
        EXPECT_EQ(TheScriptStore().GetScriptText(QStringLiteral("S")).toStdString(),
                  std::string(c.storeAfter));
        if (c.result) {
            CMacroScript* loaded = FirstMacro();
            ASSERT_NE(loaded, nullptr);
            loaded->ResetValue();
            EXPECT_EQ(loaded->GetValue().toStdString(), std::string(c.result));
        }
    }
}

TEST_F(MacroScriptTest, OlderSignsRenumberSourceKinds)
{
    CMacroScript* macro = AddMacro(QStringLiteral("K"), QStringLiteral("RETURN A$ + B$ + C$"));
    std::vector<int> kinds;
    QStringList names;
    macro->GetDataSources(kinds, names);
    const struct
    {
        int version;
        int stored;
        int loaded;
    } cases[] = {
        {320, 8, 10},
        {320, 7, 7},
        {350, 9, 10},
        {350, 8, 8},
        {350, 7, 7},
        {514, 9, 9},
        // A kind that names no source is unresolved.
        {514, 11, -1},
        {514, 77, -1},
        {320, 9, -1},
        {514, -1, -1},
    };
    for (const auto& c : cases) {
        macro->m_sourceKinds = {c.stored, c.stored, c.stored};
        const QByteArray bytes = Store();
        CAppContext fresh;
        App().fileVersion = c.version;
        Load(bytes);
        CMacroScript* loaded = FirstMacro();
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->m_sourceKinds, std::vector<int>(3, c.loaded))
            << c.version << " " << c.stored;
    }
}

TEST_F(MacroScriptTest, DamagedRecordsAreBroughtIntoRange)
{
    CMacroScript* macro = AddMacro(QStringLiteral("D"), QStringLiteral("RETURN A$ + B$"));
    std::vector<int> kinds;
    QStringList names;
    macro->GetDataSources(kinds, names);
    // Arrays of unequal lengths: the input names lead.
    macro->m_inputTypes = {SCRIPT_TYPE_STRING};
    macro->m_sourceNames = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    macro->m_sourceKinds = {};
    QByteArray bytes = Store();
    {
        CAppContext fresh;
        Load(bytes);
        CMacroScript* loaded = FirstMacro();
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->m_inputTypes.size(), 2u);
        EXPECT_EQ(loaded->m_sourceNames.size(), 2);
        EXPECT_EQ(loaded->m_sourceKinds, (std::vector<int>{-1, -1}));
        loaded->SetSourceValue(QStringLiteral("x"), -1, QStringLiteral("A"), FALSE);
        loaded->GetValue();
    }
    // Cut short anywhere, the load fails as an archive error, never a crash.
    for (qsizetype size = 0; size < bytes.size(); ++size) {
        CAppContext fresh;
        CMessageResponder messages;
        try {
            Load(bytes.left(size));
        } catch (const CArchiveException&) {
        }
    }
}

TEST_F(MacroScriptTest, TextExport)
{
    CMacroScript* macro = AddMacro(QStringLiteral("X"), QStringLiteral("RETURN \"<a & b>\""));
    macro->m_name = QStringLiteral("Var");
    QByteArray bytes;
    {
        CTextExportFile file(&bytes);
        macro->WriteXml(file);
    }
    EXPECT_EQ(bytes.toStdString(),
              std::string("  <macro-script>\r\n\r\n"
                          "    <name=\"Var\"/>\r\n"
                          "    <data-entry-index=\"0\"/>\r\n"
                          "    <prompt=\"\"/>\r\n"
                          "    <name=\"X\"/>\r\n"
                          "    <script=\"RETURN &quot;&lt;a &amp; b&gt;&quot;\"/>\r\n"
                          "\r\n  </macro-script>\r\n\r\n"));
}

TEST_F(MacroScriptTest, CopiesCompileFromTheStore)
{
    CMacroScript* macro = AddMacro(QStringLiteral("C"), QStringLiteral("RETURN \"one\""));
    std::vector<int> kinds;
    QStringList names;
    macro->GetDataSources(kinds, names);
    CMacroScript copy(*macro);
    TheScriptStore().SetScriptText(QStringLiteral("C"), QStringLiteral("RETURN \"two\""));
    CMacroScript assigned;
    assigned = *macro;
    copy.ResetValue();
    assigned.ResetValue();
    EXPECT_EQ(copy.GetValue(), QStringLiteral("one"));
    EXPECT_EQ(assigned.GetValue(), QStringLiteral("two"));
    EXPECT_EQ(assigned.m_name, macro->m_name);

    // A variable made by script name compiles and resolves at once.
    CMacroScript byName(QStringLiteral("C"));
    EXPECT_EQ(byName.GetName(), QStringLiteral("C"));
    byName.ResetValue();
    EXPECT_EQ(byName.GetValue(), QStringLiteral("two"));
}

} // namespace
