#include "VariableList.h"
#include "AppContext.h"
#include "Messages.h"
#include "TextExport.h"

#include <gtest/gtest.h>

#include <map>
#include <new>
#include <set>

namespace {

// Calls of the variables' operations, as "name.Operation", in call order.
QStringList* g_log = nullptr;

void Log(const QString& name, const char* operation)
{
    if (g_log)
        g_log->append(name + u'.' + QLatin1String(operation));
}

// What the two test kinds share: every print-run operation is logged, and
// the sourcing answers can be set.
class CLoggingVariable : public CVariable
{
public:
    ~CLoggingVariable() override { Log(m_name, "Destroy"); }

    void ResetValue() override { Log(m_name, "ResetValue"); }
    BOOL PrepareForPrint() override
    {
        Log(m_name, "PrepareForPrint");
        return m_prepareResult;
    }
    void AdvanceAfterPrint() override { Log(m_name, "AdvanceAfterPrint"); }
    void EndPrintRun() override { Log(m_name, "EndPrintRun"); }
    BOOL IsKeyboardSourced() const override { return m_keyboard; }
    BOOL IsDatabaseSourced() const override { return m_database; }
    QString GetSourceFieldName() const override { return m_field; }
    void BreakDatabaseLink() override
    {
        m_database = FALSE;
        m_keyboard = TRUE;
    }

    BOOL m_prepareResult = TRUE;
    BOOL m_keyboard = FALSE;
    BOOL m_database = FALSE;
    QString m_field;
};

// Stands for an option list; its type code can be changed to stand for
// another kind, and it can answer to a source name other than its own name,
// as a macro script does.
class CTestOption : public CLoggingVariable
{
    DECLARE_PERSISTENT(CTestOption)
public:
    static CVariable* Make() { return new CTestOption; }

    int GetTypeCode() const override { return m_typeCode; }
    QString GetName() const override { return m_sourceName.isEmpty() ? m_name : m_sourceName; }
    void Serialize(CArchive& ar) override
    {
        CVariable::Serialize(ar);
        if (ar.IsStoring())
            ar << m_options;
        else
            ar >> m_options;
    }
    void WriteXml(CTextExportFile& file) override
    {
        file.WriteString(QStringLiteral("  <option-list>\n\n"));
        CVariable::WriteXml(file);
        file.WriteString(ExportLine(4, "options", m_options));
        file.WriteString(QStringLiteral("\n  </option-list>\n\n"));
    }

    int m_typeCode = VARIABLE_OPTION_LIST;
    QString m_sourceName;
    QString m_options;
};
IMPLEMENT_PERSISTENT(CTestOption, CVariable, 1)

// Stands for a date/time stamp: a longer record that steps the progress
// window twice.
class CTestStamp : public CLoggingVariable
{
    DECLARE_PERSISTENT(CTestStamp)
public:
    static CVariable* Make() { return new CTestStamp; }

    int GetTypeCode() const override { return VARIABLE_DATE_TIME; }
    int GetItemCount() const override { return 2; }
    void Serialize(CArchive& ar) override
    {
        CVariable::Serialize(ar);
        if (ar.IsStoring()) {
            ar << m_offset << m_field;
        } else {
            m_offset = ar.ReadInt();
            ar >> m_field;
        }
        App().StepProgress();
    }
    void WriteXml(CTextExportFile& file) override
    {
        file.WriteString(QStringLiteral("  <date-time-stamp>\n\n"));
        CVariable::WriteXml(file);
        file.WriteString(ExportLine(4, "offset", m_offset));
        file.WriteString(QStringLiteral("\n  </date-time-stamp>\n\n"));
    }

    int m_offset = 0;
};
IMPLEMENT_PERSISTENT(CTestStamp, CVariable, 1)

// A persistent class that is not a variable.
class CTestNotVariable : public CObject
{
    DECLARE_PERSISTENT(CTestNotVariable)
public:
    void Serialize(CArchive&) override {}
};
IMPLEMENT_PERSISTENT(CTestNotVariable, CObject, 1)

CVariable* MakeOutOfMemory()
{
    throw std::bad_alloc();
}

CVariable* MakeNothing()
{
    return nullptr;
}

// A data-path map reduced to who feeds whom.
class CFakeDataPaths : public CDataPathSeam
{
public:
    void Feed(const CObject* source, const CObject* dependent)
    {
        m_feeds[source].insert(dependent);
    }

    void AddElement(CObject*) override {}
    void RemoveElement(CObject*) override {}
    int GetDependentCount(const CObject* object) const override
    {
        const auto it = m_feeds.find(object);
        return it == m_feeds.end() ? 0 : static_cast<int>(it->second.size());
    }
    void RemoveVariable(CObject* variable) override
    {
        removed.push_back(static_cast<CVariable*>(variable)->m_name);
        m_feeds.erase(variable);
        for (auto& [source, dependents] : m_feeds)
            dependents.erase(variable);
    }

    QStringList removed;

private:
    std::map<const CObject*, std::set<const CObject*>> m_feeds;
};

class CCountingProgress : public CProgressSeam
{
public:
    int steps = 0;
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void StepIt() override { ++steps; }
    void SetPos(int) override {}
};

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// A short framework string: length byte, then the bytes.
QByteArray Str(const char* text)
{
    const QByteArray bytes(text);
    return char(bytes.size()) + bytes;
}

class VariableListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log = &log;
        m_previousOption =
            CVariableList::RegisterVariableType(VARIABLE_OPTION_LIST, &CTestOption::Make);
        m_previousStamp =
            CVariableList::RegisterVariableType(VARIABLE_DATE_TIME, &CTestStamp::Make);
    }
    void TearDown() override
    {
        CVariableList::RegisterVariableType(VARIABLE_OPTION_LIST, m_previousOption);
        CVariableList::RegisterVariableType(VARIABLE_DATE_TIME, m_previousStamp);
        CVariableList::s_removeGeneratedScript = nullptr;
        g_log = nullptr;
    }

    CTestOption* Option(const QString& name, CVariableList* target = nullptr)
    {
        return static_cast<CTestOption*>(
            (target ? *target : list).CreateVariable(VARIABLE_OPTION_LIST, name));
    }
    CTestStamp* Stamp(const QString& name, CVariableList* target = nullptr)
    {
        return static_cast<CTestStamp*>(
            (target ? *target : list).CreateVariable(VARIABLE_DATE_TIME, name));
    }
    static QStringList Names(const CVariableList& variables)
    {
        QStringList names;
        for (const CVariable* v : variables)
            names << v->m_name;
        return names;
    }

    // Three variables of two classes; the second option list repeats a class.
    QByteArray StoredList()
    {
        QByteArray bytes;
        {
            CVariableList source;
            CTestOption* size = Option("Size", &source);
            size->m_prompt = "Pick";
            size->m_dataEntryIndex = 2;
            size->m_options = "S|M";
            CTestStamp* best = Stamp("Best before", &source);
            best->m_offset = -3;
            best->m_field = "Qty";
            Option("Colour", &source);
            CArchive ar(&bytes, CArchive::store);
            source.Serialize(ar);
        }
        log.clear(); // the source list's destruction
        return bytes;
    }

    QStringList log; // outlives the context, whose list destroys variables
    CAppContext context;
    CMessageResponder messages;
    CVariableList& list = TheVariableList();

private:
    CVariableList::Creator m_previousOption = nullptr;
    CVariableList::Creator m_previousStamp = nullptr;
};

} // namespace

// --- data-source kinds -------------------------------------------------------------

TEST(DataSourceKinds, ComboOrderTextsAndTypeCodes)
{
    CAppContext context;
    EXPECT_EQ(SourceComboKinds(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 9, 7, 10}));
    EXPECT_EQ(SourceComboTexts(),
              QStringList({"Fixed", "Keyboard", "Database", "Option List", "Incrementing Number",
                           "Date/Time Stamp", "Price Calculation", "Combination", "Macro Script",
                           "Another Element"}));
    for (int kind : SourceComboKinds())
        EXPECT_FALSE(DataSourceKindName(kind).isEmpty()) << kind;
    // The GS1 kind is set by the barcode dialogs only; it has no combo text.
    for (int kind : {int(SOURCE_GS1), -1, 11})
        EXPECT_TRUE(DataSourceKindName(kind).isEmpty()) << kind;

    for (int kind = -1; kind <= 11; ++kind) {
        const bool variable = kind >= 3 && kind <= 9;
        EXPECT_EQ(IsVariableSourceKind(kind), variable) << kind;
        EXPECT_EQ(VariableTypeForSourceKind(kind), variable ? kind + 8 : -1) << kind;
        if (variable) {
            EXPECT_EQ(SourceKindForVariableType(kind + 8), kind);
        }
    }
    for (int code : {-1, 0, 10, 18})
        EXPECT_EQ(SourceKindForVariableType(code), -1) << code;
}

TEST(DataSourceKinds, OldSignsAreRenumbered)
{
    struct Case
    {
        int version, stored, kind;
    };
    const Case cases[] = {
        {320, 7, 7},  {320, 8, 10}, {320, 9, 11}, {329, 8, 10}, {330, 8, 8},
        {350, 9, 10}, {399, 9, 10}, {350, 7, 7},  {400, 9, 9},  {514, 8, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RenumberStoredSourceKind(c.stored, c.version), c.kind)
            << c.version << " " << c.stored;
}

// --- the base class ----------------------------------------------------------------

TEST(Variable, BaseRecordAndOperations)
{
    CAppContext context;
    CCountingProgress progress;
    context.progress = &progress;

    CVariable variable;
    EXPECT_TRUE(variable.m_name.isEmpty());
    EXPECT_TRUE(variable.m_prompt.isEmpty());
    EXPECT_EQ(variable.m_dataEntryIndex, 0);
    EXPECT_EQ(variable.GetTypeCode(), -1);
    EXPECT_EQ(variable.GetItemCount(), 1);
    EXPECT_EQ(variable.PrepareForPrint(), TRUE);
    std::vector<int> kinds{2};
    QStringList names{"Qty"};
    EXPECT_EQ(variable.GetDataSources(kinds, names), 0);
    EXPECT_EQ(kinds.size(), 1u); // nothing appended, nothing lost
    EXPECT_EQ(names.size(), 1);

    variable.m_name = "Ab";
    variable.m_prompt = "P";
    variable.m_dataEntryIndex = 0x01020304;
    CVariable copy(variable);
    EXPECT_EQ(copy.GetName(), "Ab");
    EXPECT_EQ(copy.m_prompt, "P");
    EXPECT_EQ(copy.m_dataEntryIndex, 0x01020304);

    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        variable.Serialize(ar);
    }
    EXPECT_EQ(bytes, Str("Ab") + Str("P") + Hex("04030201"));
    CVariable loaded;
    {
        CArchive ar(&bytes, CArchive::load);
        loaded.Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), 0);
    }
    EXPECT_EQ(loaded.m_name, "Ab");
    EXPECT_EQ(loaded.m_prompt, "P");
    EXPECT_EQ(loaded.m_dataEntryIndex, 0x01020304);
    EXPECT_EQ(progress.steps, 2); // once each way
}

// --- creation and ownership ----------------------------------------------------------

TEST_F(VariableListTest, CreatesOnlyRegisteredTypeCodes)
{
    struct Case
    {
        int code;
        const char* className; // null: nothing is made
    };
    const Case cases[] = {
        {VARIABLE_OPTION_LIST, "CTestOption"},
        {VARIABLE_DATE_TIME, "CTestStamp"},
        {VARIABLE_INCREMENTING, nullptr}, // a kind not registered
        {VARIABLE_GS1, nullptr},
        {10, nullptr},
        {18, nullptr},
        {-1, nullptr},
        {0, nullptr},
    };
    // Kinds other tests of the program may have registered are taken out
    // for this test and put back after it.
    const CVariableList::Creator incrementing =
        CVariableList::RegisterVariableType(VARIABLE_INCREMENTING, nullptr);
    const CVariableList::Creator gs1 = CVariableList::RegisterVariableType(VARIABLE_GS1, nullptr);
    int expectedCount = 0;
    for (const Case& c : cases) {
        CVariable* v = list.CreateVariable(c.code, "V" + QString::number(c.code));
        if (!c.className) {
            EXPECT_EQ(v, nullptr) << c.code;
            continue;
        }
        EXPECT_NE(v, nullptr) << c.code;
        if (!v)
            continue;
        EXPECT_STREQ(v->GetRuntimeClass()->m_className, c.className);
        EXPECT_EQ(v->m_name, "V" + QString::number(c.code));
        EXPECT_EQ(list.GetAt(list.GetCount() - 1), v); // at the tail
        ++expectedCount;
    }
    CVariableList::RegisterVariableType(VARIABLE_INCREMENTING, incrementing);
    CVariableList::RegisterVariableType(VARIABLE_GS1, gs1);
    EXPECT_EQ(list.GetCount(), expectedCount);
    EXPECT_EQ(messages.Count(), 0);

    // Codes outside the variable kinds cannot be registered.
    EXPECT_EQ(CVariableList::RegisterVariableType(18, &CTestOption::Make), nullptr);
    EXPECT_EQ(list.CreateVariable(18, "X"), nullptr);
}

TEST_F(VariableListTest, CreationFailuresLeaveTheListAlone)
{
    Option("Keep");
    CVariableList::RegisterVariableType(VARIABLE_PRICE_CALC, &MakeOutOfMemory);
    CVariableList::RegisterVariableType(VARIABLE_MACRO, &MakeNothing);

    EXPECT_EQ(list.CreateVariable(VARIABLE_PRICE_CALC, "Tax"), nullptr);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.LastText(), "Insufficient memory");
    EXPECT_EQ(list.CreateVariable(VARIABLE_MACRO, "Script"), nullptr);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(Names(list), QStringList{"Keep"});

    CVariableList::RegisterVariableType(VARIABLE_PRICE_CALC, nullptr);
    CVariableList::RegisterVariableType(VARIABLE_MACRO, nullptr);
}

TEST_F(VariableListTest, OwnsItsVariablesOnce)
{
    CTestOption* a = Option("A");
    Stamp("B");
    Option("C");
    EXPECT_FALSE(list.AddVariable(nullptr));
    EXPECT_FALSE(list.AddVariable(a)); // already listed: would be deleted twice
    EXPECT_EQ(list.GetCount(), 3);

    CTestOption outsider;
    outsider.m_name = "Outsider";
    EXPECT_FALSE(list.RemoveVariable(&outsider));
    EXPECT_TRUE(log.isEmpty()); // nothing deleted

    EXPECT_TRUE(list.RemoveVariable(a));
    EXPECT_EQ(log, QStringList{"A.Destroy"});
    EXPECT_EQ(Names(list), QStringList({"B", "C"}));

    log.clear();
    list.DeleteAll();
    EXPECT_EQ(log, QStringList({"B.Destroy", "C.Destroy"})); // head first
    EXPECT_TRUE(list.IsEmpty());
    log.clear();
}

// --- searches ------------------------------------------------------------------------

TEST_F(VariableListTest, FindVariableTakesTheFirstMatchOfTheTypeCode)
{
    CTestOption* optionDate = Option("Date");
    CTestStamp* upper = Stamp("DATE");
    Stamp("date");
    CTestOption* accented = Option("\u00C9tiquette");
    CTestOption* script = Option("Total");
    script->m_sourceName = "TOTAL_SCRIPT"; // answers to its script's name

    struct Case
    {
        int code;
        QString name;
        CVariable* found;
    };
    const Case cases[] = {
        {VARIABLE_DATE_TIME, "Date", upper}, // not the option list of that name
        {VARIABLE_OPTION_LIST, "DATE", optionDate},
        {VARIABLE_DATE_TIME, "date", upper}, // the earlier of two in list order
        {VARIABLE_DATE_TIME, "Dat", nullptr},
        {VARIABLE_PRICE_CALC, "Date", nullptr},
        {VARIABLE_OPTION_LIST, "\u00C9TIQUETTE", accented},
        // Only A-Z fold: an accented capital does not match its small letter.
        {VARIABLE_OPTION_LIST, "\u00E9tiquette", nullptr},
        {VARIABLE_OPTION_LIST, "total_script", script},
        {VARIABLE_OPTION_LIST, "Total", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.FindVariable(c.code, c.name), c.found)
            << c.code << " " << c.name.toStdString();

    EXPECT_EQ(list.CountOfType(VARIABLE_DATE_TIME), 2);
    EXPECT_EQ(list.CountOfType(VARIABLE_OPTION_LIST), 3);
    EXPECT_EQ(list.CountOfType(VARIABLE_MACRO), 0);
    EXPECT_TRUE(list.HasOptionList());
    list.RemoveVariable(optionDate);
    list.RemoveVariable(accented);
    list.RemoveVariable(script);
    EXPECT_FALSE(list.HasOptionList());
}

TEST_F(VariableListTest, FillComboBoxSelectsByPrefix)
{
    Option("Apple");
    Option("banana");
    Stamp("Bean");
    Option("Berry");

    struct Case
    {
        int code;
        QString name;
        QStringList items;
        int selected;
    };
    const QStringList options{"Apple", "banana", "Berry"};
    const Case cases[] = {
        {VARIABLE_OPTION_LIST, "b", options, 1},
        {VARIABLE_OPTION_LIST, "BER", options, 2},
        {VARIABLE_OPTION_LIST, "Berry", options, 2},
        {VARIABLE_OPTION_LIST, "Cherry", options, 0}, // no match: the first
        {VARIABLE_OPTION_LIST, "", options, 0},
        {VARIABLE_DATE_TIME, "x", {"Bean"}, 0},
        {VARIABLE_INCREMENTING, "Apple", {}, -1},
    };
    for (const Case& c : cases) {
        QStringList items{"stale"};
        int selected = 99;
        EXPECT_EQ(list.FillComboBox(items, selected, c.code, c.name), c.items.size());
        EXPECT_EQ(items, c.items) << c.name.toStdString();
        EXPECT_EQ(selected, c.selected) << c.name.toStdString();
    }
}

TEST_F(VariableListTest, KeyboardAndDatabaseSources)
{
    CTestOption* typed = Option("Typed");
    typed->m_keyboard = TRUE; // typed, but not a date/time stamp
    typed->m_field = "Qty";   // names a field without being fed by it
    CTestStamp* stamp = Stamp("Stamp");
    stamp->m_database = TRUE;
    stamp->m_field = "Qty";

    const QString qty = "QTY", price = "Price";
    EXPECT_FALSE(list.HasKeyboardDateTime());
    EXPECT_TRUE(list.HasDatabaseSource());
    EXPECT_TRUE(list.HasDatabaseSource(&qty));
    EXPECT_FALSE(list.HasDatabaseSource(&price));

    list.BreakDatabaseLinks();
    EXPECT_FALSE(stamp->m_database);
    EXPECT_TRUE(list.HasKeyboardDateTime());
    EXPECT_FALSE(list.HasDatabaseSource());
    EXPECT_FALSE(list.HasDatabaseSource(&qty));
}

// --- the print run -------------------------------------------------------------------

TEST_F(VariableListTest, PrintRunCallsTheVariablesInOrder)
{
    CFakeDataPaths map;
    context.dataPaths = &map;
    CElement element;
    CTestOption* a = Option("A");
    Stamp("B"); // feeds nothing: never prepared
    CTestStamp* c = Stamp("C");
    map.Feed(a, &element);
    map.Feed(c, a);

    // What the data-entry print driver does for two signs.
    list.ResetValues();
    for (int sign = 0; sign < 2; ++sign) {
        ASSERT_TRUE(list.UpdateForPrint());
        list.AdvanceAfterPrint();
    }
    list.EndPrintRun();
    list.ResetValues();

    const QStringList perSign{"A.PrepareForPrint", "C.PrepareForPrint", "A.AdvanceAfterPrint",
                              "B.AdvanceAfterPrint", "C.AdvanceAfterPrint"};
    QStringList expected{"A.ResetValue", "B.ResetValue", "C.ResetValue"};
    expected << perSign << perSign;
    expected << "A.EndPrintRun"
             << "B.EndPrintRun"
             << "C.EndPrintRun";
    expected << "A.ResetValue"
             << "B.ResetValue"
             << "C.ResetValue";
    EXPECT_EQ(log, expected);
}

TEST_F(VariableListTest, UpdateForPrintStopsAtTheFirstRefusal)
{
    CFakeDataPaths map;
    CElement element;
    CTestOption* a = Option("A");
    CTestOption* b = Option("B");
    CTestOption* c = Option("C");
    b->m_prepareResult = FALSE;
    c->m_prepareResult = FALSE;

    // Without a data-path map, and with a map in which nothing feeds
    // anything, nobody is asked.
    EXPECT_TRUE(list.UpdateForPrint());
    context.dataPaths = &map;
    EXPECT_TRUE(list.UpdateForPrint());
    EXPECT_TRUE(log.isEmpty());

    for (CVariable* v :
         {static_cast<CVariable*>(a), static_cast<CVariable*>(b), static_cast<CVariable*>(c)})
        map.Feed(v, &element);
    EXPECT_FALSE(list.UpdateForPrint());
    EXPECT_EQ(log, QStringList({"A.PrepareForPrint", "B.PrepareForPrint"}));
}

// --- clean-up ------------------------------------------------------------------------

TEST_F(VariableListTest, RemoveUnusedVariablesKeepsOnlyWhatFeedsSomething)
{
    CFakeDataPaths map;
    CElement element;
    CTestOption* a = Option("A"); // feeds an element
    CTestStamp* b = Stamp("B");   // feeds nothing
    CTestOption* c = Option("C"); // feeds only B
    CTestStamp* d = Stamp("D");   // feeds A
    map.Feed(a, &element);
    map.Feed(c, b);
    map.Feed(d, a);

    // Without a map nothing can be judged: nothing is lost.
    list.RemoveUnusedVariables();
    EXPECT_EQ(list.GetCount(), 4);

    context.dataPaths = &map;
    list.RemoveUnusedVariables();
    EXPECT_EQ(Names(list), QStringList({"A", "D"}));
    EXPECT_EQ(map.removed, QStringList({"B", "C"})); // each out of the map first
    EXPECT_EQ(log, QStringList({"B.Destroy", "C.Destroy"}));
    EXPECT_EQ(list.Find(d), 1);
    log.clear();
}

TEST_F(VariableListTest, RemoveCombinationScriptsGoesThroughTheInstalledHook)
{
    Option("Plain");
    CTestOption* first = Option("First");
    first->m_typeCode = VARIABLE_COMBINATION;
    Stamp("Stamp");
    CTestOption* second = Option("Second");
    second->m_typeCode = VARIABLE_COMBINATION;

    list.RemoveCombinationScripts(); // no hook installed: nothing to do

    QStringList removed;
    CVariableList::s_removeGeneratedScript = [&](CVariable& v) { removed << v.m_name; };
    list.RemoveCombinationScripts();
    EXPECT_EQ(removed, QStringList({"First", "Second"}));
    EXPECT_EQ(list.GetCount(), 4);
}

// --- the sign file -------------------------------------------------------------------

TEST_F(VariableListTest, ArchiveWritesEachClassOnceAndReadsBackPolymorphically)
{
    CCountingProgress progress;
    context.progress = &progress;
    const QByteArray bytes = StoredList();
    EXPECT_EQ(progress.steps, 4); // as GetItemCount promises: 1 + 2 + 1

    QByteArray expected = Hex("0300");                             // three entries
    expected += Hex("ffff 0100 0b00") + QByteArray("CTestOption"); // new class, index 1
    expected += Str("Size") + Str("Pick") + Hex("02000000") + Str("S|M");
    expected += Hex("ffff 0100 0a00") + QByteArray("CTestStamp"); // new class, index 3
    expected += Str("Best before") + Str("") + Hex("00000000") + Hex("fdffffff") + Str("Qty");
    expected += Hex("0180"); // 0x8000 | 1: the first class again
    expected += Str("Colour") + Str("") + Hex("00000000") + Str("");
    EXPECT_EQ(bytes.toHex(' '), expected.toHex(' '));

    progress.steps = 0;
    context.fileVersion = 400;
    {
        CArchive ar(const_cast<QByteArray*>(&bytes), CArchive::load);
        list.Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), 0);
    }
    EXPECT_EQ(progress.steps, 4);
    EXPECT_EQ(list.GetItemCount(), 4);
    ASSERT_EQ(Names(list), QStringList({"Size", "Best before", "Colour"}));
    auto* size = DynamicDowncast<CTestOption>(list.GetAt(0));
    auto* best = DynamicDowncast<CTestStamp>(list.GetAt(1));
    auto* colour = DynamicDowncast<CTestOption>(list.GetAt(2));
    ASSERT_TRUE(size && best && colour);
    EXPECT_EQ(size->m_prompt, "Pick");
    EXPECT_EQ(size->m_dataEntryIndex, 2);
    EXPECT_EQ(size->m_options, "S|M");
    EXPECT_EQ(best->m_offset, -3);
    EXPECT_EQ(best->m_field, "Qty");
    EXPECT_NE(size, colour);
}

TEST_F(VariableListTest, SignsBeforeVersion110HoldNoList)
{
    const QByteArray bytes = StoredList();
    for (int version : {103, 109}) {
        context.fileVersion = version;
        CArchive ar(const_cast<QByteArray*>(&bytes), CArchive::load);
        list.Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), bytes.size()) << version;
        EXPECT_TRUE(list.IsEmpty()) << version;
    }
    context.fileVersion = 110;
    CArchive ar(const_cast<QByteArray*>(&bytes), CArchive::load);
    list.Serialize(ar);
    EXPECT_EQ(list.GetCount(), 3);
}

TEST_F(VariableListTest, TruncatedArchivesRaiseTheArchiveError)
{
    const QByteArray bytes = StoredList();
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        QByteArray cut = bytes.left(length);
        CVariableList loaded;
        CArchive ar(&cut, CArchive::load);
        EXPECT_THROW(loaded.Serialize(ar), CArchiveException) << length;
        // What was read before the error stays owned by the list.
        EXPECT_LE(loaded.GetCount(), 2) << length;
    }
    log.clear();
}

TEST_F(VariableListTest, HostileArchivesRaiseTheArchiveError)
{
    const QByteArray optionClass = Hex("ffff 0100 0b00") + QByteArray("CTestOption");
    const QByteArray sizeRecord = optionClass + Str("Size") + Str("") + Hex("00000000") + Str("");
    struct Case
    {
        const char* what;
        QByteArray bytes;
        CArchiveException::Cause cause;
        int keptVariables;
    };
    const Case cases[] = {
        {"count far beyond the data", Hex("ffff ffffff7f 0000"), CArchiveException::endOfFile, 0},
        {"unknown class", Hex("0100 ffff 0100 0400") + QByteArray("CNop"),
         CArchiveException::badClass, 0},
        {"class that is not a variable",
         Hex("0100 ffff 0100 1000") + QByteArray("CTestNotVariable"), CArchiveException::badClass,
         0},
        {"the list's own class", Hex("0100 ffff 0100 0d00") + QByteArray("CVariableList"),
         CArchiveException::badClass, 0},
        {"wrong schema", Hex("0100 ffff 0200 0b00") + QByteArray("CTestOption"),
         CArchiveException::badSchema, 0},
        {"overlong class name", Hex("0100 ffff 0100 ff00") + QByteArray(300, 'C'),
         CArchiveException::badClass, 0},
        {"name longer than the file", Hex("0100") + optionClass + Hex("ff ffff ffffff7f"),
         CArchiveException::endOfFile, 0},
        {"one variable listed twice", Hex("0200") + sizeRecord + Hex("0200"),
         CArchiveException::badIndex, 1},
        {"a class index taken as an object", Hex("0200") + sizeRecord + Hex("0100"),
         CArchiveException::badIndex, 1},
        {"object reference out of range", Hex("0100 0500"), CArchiveException::badIndex, 0},
        {"class reference out of range", Hex("0100 0580"), CArchiveException::badIndex, 0},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        CVariableList loaded;
        CArchive ar(&bytes, CArchive::load);
        try {
            loaded.Serialize(ar);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.what;
        }
        EXPECT_EQ(loaded.GetCount(), c.keptVariables) << c.what;
    }
    log.clear();

    // Empty entries carry nothing and are skipped, not listed.
    QByteArray withNulls = Hex("0300 0000") + sizeRecord + Hex("0000");
    CArchive ar(&withNulls, CArchive::load);
    list.Serialize(ar);
    EXPECT_EQ(Names(list), QStringList{"Size"});
}

// --- text export ---------------------------------------------------------------------

TEST_F(VariableListTest, TextExportWritesEachVariableInListOrder)
{
    QByteArray empty;
    {
        CTextExportFile file(&empty);
        list.WriteXml(file);
    }
    EXPECT_EQ(empty, "<variables>\r\n\r\n</variables>\r\n\r\n");

    CTestOption* size = Option("Size \"L\" & <M>");
    size->m_prompt = "Pick\r\none";
    size->m_dataEntryIndex = 3;
    size->m_options = "S";
    CTestStamp* stamp = Stamp("Best");
    stamp->m_offset = -2;

    QByteArray bytes;
    {
        CTextExportFile file(&bytes);
        list.WriteXml(file);
    }
    const QByteArray expected = "<variables>\r\n\r\n"
                                "  <option-list>\r\n\r\n"
                                "    <name=\"Size &quot;L&quot; &amp; &lt;M&gt;\"/>\r\n"
                                "    <data-entry-index=\"3\"/>\r\n"
                                "    <prompt=\"Pick<br>one\"/>\r\n"
                                "    <options=\"S\"/>\r\n"
                                "\r\n  </option-list>\r\n\r\n"
                                "  <date-time-stamp>\r\n\r\n"
                                "    <name=\"Best\"/>\r\n"
                                "    <data-entry-index=\"0\"/>\r\n"
                                "    <prompt=\"\"/>\r\n"
                                "    <offset=\"-2\"/>\r\n"
                                "\r\n  </date-time-stamp>\r\n\r\n"
                                "</variables>\r\n\r\n";
    EXPECT_EQ(bytes, expected);
}
