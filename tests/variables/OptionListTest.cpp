// The option list: the value it delivers, typed or from a database, and its
// record with the link's block.
#include "OptionList.h"

#include "AppContext.h"
#include "EverydayVariablesSupport.h"
#include "MessageBox.h"
#include "Seams.h"
#include "VariableParts.h"

#include <gtest/gtest.h>

namespace {

class CTableLink : public CDataLinkSeam
{
public:
    QHash<QString, QStringList> columns;
    int GetLinkKind() const override { return 0; }
    QString GetFieldValue(const QString& field) override { return columns.value(field).value(0); }
    int GetStoreRecordCount() override { return 0; }
    bool TableHasColumn(const QString& name) override { return columns.contains(name); }
    QStringList GetColumnValues(const QString& field) override { return columns.value(field); }
};

class OptionListTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterVariableSignParts(); }
    CAppContext context;
    CMessageResponder messages;
};

} // namespace

TEST_F(OptionListTest, TheValueIsThePickedTextOrItsData)
{
    struct Case
    {
        BOOL separate;
        const char* picked;
        const char* expected;
    };
    const Case cases[] = {
        {FALSE, "Small", "Small"}, {TRUE, "Small", "S"},
        {TRUE, "Large", "L"},      {TRUE, "large", "S"}, // no option matches: the value stays
        {TRUE, "", "S"},
    };
    for (const Case& c : cases) {
        COptionList list;
        list.m_options = {"Small", "Large"};
        list.m_dataValues = c.separate ? QStringList{"S", "L"} : list.m_options;
        list.m_separateData = c.separate;
        list.ResetValue();
        list.SetSourceValue(QString::fromLatin1(c.picked), SOURCE_KEYBOARD, QString(), TRUE);
        EXPECT_EQ(list.GetValue(), QString::fromLatin1(c.expected)) << c.picked;
    }
    COptionList list;
    list.m_options = {"Small", "Large"};
    list.m_dataValues = {"S", "L"};
    list.m_separateData = TRUE;
    list.SetSourceValue("Large", SOURCE_KEYBOARD, QString(), TRUE);
    EXPECT_EQ(list.OptionForValue(), "Large");
    EXPECT_EQ(list.FillOptionCombo(), (QStringList{"Small", "Large"}));
    std::vector<int> kinds;
    QStringList names;
    EXPECT_EQ(list.GetDataSources(kinds, names), 1);
    EXPECT_EQ(kinds, std::vector<int>{SOURCE_KEYBOARD});

    // An empty list gives an empty value.
    COptionList none;
    none.m_currentValue = "old";
    none.ResetValue();
    EXPECT_EQ(none.GetValue(), "");
}

TEST_F(OptionListTest, AListFromADatabaseTable)
{
    CTableLink link;
    link.columns["Size"] = {"Small", "Large"};
    link.columns["Code"] = {"S1", "L1"};
    context.dataLink = &link;
    COptionList list;
    list.m_link.connected = 1;
    list.m_selectionField = "Size";
    list.m_dataField = "Code";
    list.m_separateData = TRUE;
    EXPECT_EQ(list.FillOptionCombo(), (QStringList{"Small", "Large"}));
    list.ResetValue();
    EXPECT_EQ(list.GetValue(), "S1");
    list.SetSourceValue("Large", SOURCE_DATABASE, "Code", TRUE);
    EXPECT_EQ(list.GetValue(), "L1");
    EXPECT_EQ(list.OptionForValue(), "Large");
    std::vector<int> kinds;
    QStringList names;
    list.GetDataSources(kinds, names);
    EXPECT_EQ(kinds, std::vector<int>{SOURCE_DATABASE});
    EXPECT_EQ(names, QStringList{"Code"});
    context.dataLink = nullptr;
}

TEST_F(OptionListTest, RecordWithTheLinksBlockAndOlderSigns)
{
    COptionList typed;
    typed.m_name = "Size";
    typed.m_options = {"Small", "Large"};
    typed.m_dataValues = {"S", "L"};
    typed.m_separateData = TRUE;
    const QByteArray expected = CRecordBytes()
                                    .Str("Size")
                                    .Str("")
                                    .Int(0)
                                    .Count(2)
                                    .Str("Small")
                                    .Str("Large")
                                    .Int(1)
                                    .Count(2)
                                    .Str("S")
                                    .Str("L")
                                    .Int(0) // not connected: the block ends
                                    .Str("")
                                    .Str("")
                                    .Bytes();
    EXPECT_EQ(Stored(typed).toHex(), expected.toHex());
    COptionList loaded;
    Load(loaded, expected);
    EXPECT_EQ(Stored(loaded), expected);

    // A linked list keeps its link's whole block, a text source's columns
    // too.
    COptionList linked;
    linked.m_name = "Size";
    linked.m_link.connected = 1;
    linked.m_link.databaseType = COptionListLink::kTextType;
    linked.m_link.dataSource = "/data/sizes.csv";
    linked.m_link.tableName = "sizes#csv";
    linked.m_link.keyField = "Id";
    linked.m_link.textDelimiter = ';';
    linked.m_link.textFields = {"Id", "Integer", "Size", "Char"};
    linked.m_link.delimiters[0] = '[';
    linked.m_selectionField = "Size";
    linked.m_dataField = "Size";
    const QByteArray linkedBytes = Stored(linked);
    COptionList again;
    Load(again, linkedBytes);
    EXPECT_TRUE(again.m_link == linked.m_link);
    EXPECT_EQ(again.m_selectionField, "Size");
    EXPECT_EQ(Stored(again), linkedBytes);
    // Its text export carries the link's block and the two fields.
    const QString exported = Exported(linked);
    EXPECT_TRUE(exported.contains("  <table=\"sizes#csv\"/>\r\n")) << exported.toStdString();
    EXPECT_TRUE(exported.contains("    <field2 name=\"Size\" type=\"Char\"/>\r\n"));
    EXPECT_TRUE(exported.contains("    <name-delimiter1=\"[\"/>\r\n"));
    EXPECT_TRUE(exported.contains("</database>\r\n\r\n    <option=\"Size\" data=\"Size\"/>\r\n"));
    // A column count beyond the file is refused, not allocated.
    QByteArray cut = linkedBytes;
    const qsizetype count = cut.indexOf(QByteArray::fromHex("02000000024964"));
    ASSERT_GT(count, 0);
    cut[count + 3] = char(0x7F);
    COptionList refused;
    EXPECT_THROW(Load(refused, cut), CArchiveException);

    // Before version 250 the record ends after the data values.
    App().fileVersion = 249;
    COptionList old;
    Load(old, expected.left(expected.size() - 3));
    EXPECT_EQ(old.m_options, (QStringList{"Small", "Large"}));
    EXPECT_FALSE(old.IsLinked());
    EXPECT_TRUE(old.m_selectionField.isEmpty());
    App().fileVersion = 514;

    EXPECT_EQ(Exported(typed), "  <option-list>\r\n\r\n"
                               "    <name=\"Size\"/>\r\n"
                               "    <data-entry-index=\"0\"/>\r\n"
                               "    <prompt=\"\"/>\r\n"
                               "    <option=\"Small\" data=\"S\"/>\r\n"
                               "    <option=\"Large\" data=\"L\"/>\r\n"
                               "\r\n  </option-list>\r\n\r\n");
}
