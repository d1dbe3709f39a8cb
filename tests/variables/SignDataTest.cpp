#include "PdfSupport.h"
#include "SignData.h"
#include "AppContext.h"
#include "Box.h"
#include "ElementList.h"
#include "MacroScript.h"
#include "MessageBox.h"
#include "ModelClasses.h"
#include "PageLabels.h"
#include "Paper.h"
#include "Printer.h"
#include "ResourceIds.h"
#include "ScriptExpression.h"
#include "ScriptStore.h"
#include "SignApp.h"
#include "Strings.h"
#include "TestSupport.h"
#include "SmallDisk.h"
#include "Text.h"
#include "TextExport.h"
#include "VariableList.h"
#include "VariableParts.h"

#include "../model/TestElements.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

class SignDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        savedHooks = SignHooks();
        RegisterVariableSignParts();
        ThePaper().Init("A4");
        // a second stock to choose: two labels across an A4 sheet
        CPaperStock halves;
        ThePaper().GetStock(QString(), halves);
        halves.category = "Test";
        halves.name = "Halves";
        halves.builtIn = 0;
        halves.labelWidth = 1000;
        halves.columns = 2;
        halves.horzPitch = 10500;
        ThePaper().SetStock(halves);
    }
    void TearDown() override { SignHooks() = savedHooks; }

    QString Path(const QString& name) const { return home.FilePath(name); }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    CSignHooks savedHooks;
    CSignData doc;
};

CTestRect* AddRect(const QString& name, CRect r)
{
    return MakeRect(TheElementList(), name, r);
}

} // namespace

TEST_F(SignDataTest, ANewEmptySignStartsWithItsVersion)
{
    ASSERT_TRUE(doc.OnSaveDocument(Path("empty.sgn")));
    const QByteArray bytes = ReadFile(Path("empty.sgn"));
    // version 514, progress total 0, three empty strings, then the printer
    EXPECT_EQ(bytes.left(11).toHex(), QByteArray("0202000000000000000000"));
    EXPECT_EQ(App().fileVersion, 514);
}

TEST_F(SignDataTest, SaveAndLoadRoundTrip)
{
    doc.m_title = "Shelf \"edge\"";
    doc.m_author = "Anna";
    doc.m_description = "Two\r\nlines";
    CTestRect* box = AddRect("Box1", CRect(10, 20, 300, 400));
    box->SetDataSource(SOURCE_KEYBOARD, "");
    AddRect("Box2", CRect(5, 5, 50, 50));
    TheSignSettings().dataViewDocking = 3;
    TheSignSettings().columnWidths = {120, 80};
    ASSERT_TRUE(ThePaper().SelectStock("Halves"));
    ASSERT_TRUE(doc.OnSaveDocument(Path("sign.sgn")));
    EXPECT_FALSE(doc.IsModified());
    const QByteArray saved = ReadFile(Path("sign.sgn"));

    CSignData loaded;
    ThePaper().SelectStock("A4");
    ASSERT_TRUE(loaded.OnOpenDocument(Path("sign.sgn")));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(loaded.m_title, doc.m_title);
    EXPECT_EQ(loaded.m_author, "Anna");
    EXPECT_EQ(loaded.m_description, doc.m_description);
    ASSERT_EQ(TheElementList().GetCount(), 2);
    EXPECT_EQ(TheElementList().GetAt(0)->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_EQ(static_cast<CTestRect*>(TheElementList().GetAt(1))->m_rect, CRect(5, 5, 50, 50));
    EXPECT_EQ(ThePaper().GetPaperName(), "Halves");
    EXPECT_EQ(TheSignSettings().dataViewDocking, 3);
    EXPECT_EQ(TheSignSettings().columnWidths, (std::vector<DWORD>{120, 80}));
    EXPECT_EQ(loaded.GetPathName(), Path("sign.sgn"));

    // and it writes back byte for byte
    ASSERT_TRUE(loaded.OnSaveDocument(Path("again.sgn")));
    EXPECT_EQ(ReadFile(Path("again.sgn")), saved);
}

TEST_F(SignDataTest, VersionsOutsideTheReadRangeAreRefused)
{
    AddRect("Box1", CRect(0, 0, 10, 10));
    ASSERT_TRUE(doc.OnSaveDocument(Path("sign.sgn")));
    const QByteArray saved = ReadFile(Path("sign.sgn"));
    struct Case
    {
        DWORD version;
        bool loads;
    };
    // 519 shares the current layout; 102 and 520 are refused before anything
    for (const Case& c : {Case{102, false}, Case{520, false}, Case{519, true}, Case{0, false}}) {
        QByteArray bytes = saved;
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((c.version >> (8 * i)) & 0xFF);
        WriteFile(Path("v.sgn"), bytes);
        messages.Clear();
        CSignData d;
        EXPECT_EQ(d.OnOpenDocument(Path("v.sgn")) != 0, c.loads) << c.version;
        if (c.loads) {
            EXPECT_EQ(messages.Count(), 0);
            EXPECT_EQ(App().fileVersion, int(c.version));
        } else {
            ASSERT_EQ(messages.Count(), 1) << c.version;
            EXPECT_EQ(messages.LastText(), LoadStringId(IDS_UNSUPPORTED_TEMPLATE_VERSION));
            EXPECT_TRUE(TheElementList().IsEmpty());
        }
    }
}

TEST_F(SignDataTest, FrameGatesByVersion)
{
    // Parts that read nothing, so that the frame's own fields show.
    std::vector<int> seen;
    for (auto& part : SignHooks().parts)
        part.serialize = [&seen](CArchive&) { seen.push_back(App().fileVersion); };
    SignHooks().parts[SIGN_PART_VARIABLES].serialize = nullptr; // count of 0 read in place
    SignHooks().parts[SIGN_PART_DATABASE].serialize = nullptr;  // the block: DWORD 0

    struct Case
    {
        int version;
        bool titles, variables, docking, columns, pageLabels, preview;
    };
    const Case cases[] = {
        {103, false, false, false, false, false, false},
        {105, true, false, false, false, false, false},
        {110, true, true, true, false, false, false},
        {200, true, true, true, true, false, false},
        {250, true, true, true, true, true, false},
        {300, true, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        QByteArray bytes;
        {
            CArchive ar(&bytes, CArchive::store);
            ar << DWORD(c.version) << DWORD(0);
            if (c.titles)
                ar << QString("T") << QString("A") << QString("D");
            if (c.variables)
                ar.WriteCount(0);
            ar.WriteCount(0); // elements
            ar << DWORD(0);   // database
            if (c.docking)
                ar << DWORD(3);
            if (c.preview)
                ar << DWORD(1);
            if (c.columns) {
                ar << DWORD(0);
                ar.WritePlainArray(std::vector<DWORD>{7});
            }
        }
        WriteFile(Path("gate.sgn"), bytes);
        TheSignSettings().sheetPreview = 5; // kept unless the file has it
        seen.clear();
        CSignData d;
        ASSERT_TRUE(d.OnOpenDocument(Path("gate.sgn"))) << c.version;
        EXPECT_EQ(d.m_title, c.titles ? "T" : "") << c.version;
        EXPECT_EQ(TheSignSettings().dataViewDocking, c.docking ? 3 : 2) << c.version;
        EXPECT_EQ(TheSignSettings().sheetPreview, c.preview ? 1 : 5) << c.version;
        EXPECT_EQ(TheSignSettings().allColumns, c.columns ? 0 : 1) << c.version;
        EXPECT_EQ(TheSignSettings().columnWidths.size(), c.columns ? 1u : 0u) << c.version;
        // printer, paper, price formats, and page labels from 250 on
        EXPECT_EQ(seen.size(), c.pageLabels ? 4u : 3u) << c.version;
        for (int v : seen)
            EXPECT_EQ(v, c.version);
    }
}

TEST_F(SignDataTest, DamagedFilesEndTheLoadCleanly)
{
    AddRect("Box1", CRect(0, 0, 10, 10));
    AddRect("Box2", CRect(0, 0, 20, 20));
    doc.m_title = "Title";
    ASSERT_TRUE(doc.OnSaveDocument(Path("sign.sgn")));
    const QByteArray saved = ReadFile(Path("sign.sgn"));
    for (qsizetype n = 0; n < saved.size(); n += 3) {
        WriteFile(Path("cut.sgn"), saved.left(n));
        messages.Clear();
        CSignData d;
        EXPECT_FALSE(d.OnOpenDocument(Path("cut.sgn"))) << n;
        EXPECT_EQ(messages.Count(), 1) << n;
        EXPECT_TRUE(TheElementList().IsEmpty()) << n;
        EXPECT_TRUE(d.m_title.isEmpty());
    }
    // the empty sign that is left can be used and saved
    AddRect("Box3", CRect(0, 0, 5, 5));
    CSignData d;
    EXPECT_TRUE(d.OnSaveDocument(Path("after.sgn")));
}

TEST_F(SignDataTest, AFailedSaveKeepsTheOldFile)
{
    AddRect("Box1", CRect(0, 0, 10, 10));
    ASSERT_TRUE(doc.OnSaveDocument(Path("sign.sgn")));
    const QByteArray good = ReadFile(Path("sign.sgn"));

    // a part that fails halfway through the write
    SignHooks().parts[SIGN_PART_PAGE_LABELS].serialize = [](CArchive&) {
        throw CArchiveException(CArchiveException::writeFailed, "disk full");
    };
    AddRect("Box2", CRect(0, 0, 10, 10));
    messages.Clear();
    EXPECT_FALSE(doc.OnSaveDocument(Path("sign.sgn")));
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(ReadFile(Path("sign.sgn")), good);
    EXPECT_EQ(QDir(home.Path()).entryList({"sign.sgn*"}, QDir::Files).size(), 1);

    // a folder that does not exist
    messages.Clear();
    EXPECT_FALSE(doc.OnSaveDocument(Path("missing/sign.sgn")));
    EXPECT_EQ(messages.Count(), 1);
}

// On a full disk the save fails with a message, and the sign on disk and
// the folder are as they were.
TEST_F(SignDataTest, AFullDiskKeepsTheOldSign)
{
    CSmallDisk disk(256);
    if (!disk.Available())
        GTEST_SKIP() << disk.Why().toStdString();
    const QString path = disk.FilePath("sign.sgn");
    AddRect("Box1", CRect(0, 0, 10, 10));
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const QByteArray good = ReadFile(path);

    for (int i = 0; i < 3000; ++i)
        AddRect(QString("Box%1").arg(i + 2), CRect(0, 0, 10, 10))->m_prefix = QString(60, 'p');
    disk.Fill();
    messages.Clear();
    EXPECT_FALSE(doc.OnSaveDocument(path));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains("sign.sgn"));
    EXPECT_EQ(ReadFile(path), good);
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              QStringList({"sign.sgn"}));
}

TEST_F(SignDataTest, ResetKeepsPaperAndEmptiesTheRest)
{
    AddRect("Box1", CRect(0, 0, 10, 10));
    ThePaper().SelectStock("Halves");
    TheSignSettings().dataViewDocking = 3;
    TheSignSettings().columnWidths = {1};
    doc.m_title = "x";
    doc.DeleteContents();
    EXPECT_TRUE(TheElementList().IsEmpty());
    EXPECT_TRUE(doc.m_title.isEmpty());
    EXPECT_EQ(TheSignSettings().dataViewDocking, 2);
    EXPECT_TRUE(TheSignSettings().columnWidths.empty());
    EXPECT_EQ(ThePaper().GetPaperName(), "Halves");
}

TEST_F(SignDataTest, AMacroScriptTravelsWithTheSign)
{
    // A sign whose box shows a macro script over the box's typed text.
    CTestRect* box = AddRect("Name", CRect(0, 0, 100, 100));
    box->SetDataSource(SOURCE_KEYBOARD, "");
    CTestRect* shown = AddRect("Shown", CRect(0, 200, 100, 300));
    shown->SetDataSource(SOURCE_MACRO, "Greeting");
    TheScriptStore().SetScriptText("Greeting", "RETURN \"Dear \" + UCASE$(NAME$)");
    CVariable* variable = TheVariableList().CreateVariable(VARIABLE_MACRO, "Greeting");
    ASSERT_NE(variable, nullptr);
    auto* macro = static_cast<CMacroScript*>(variable);
    macro->m_scriptName = "Greeting";
    macro->CompileFromStore();
    std::vector<int> kinds;
    QStringList names;
    macro->GetDataSources(kinds, names);
    ASSERT_TRUE(doc.OnSaveDocument(Path("greeting.sgn")));

    // Opened where the store does not know the script: the sign brings it.
    TheScriptStore().RemoveAll();
    CSignData loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(Path("greeting.sgn")));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    EXPECT_EQ(TheScriptStore().GetScriptText("Greeting"), "RETURN \"Dear \" + UCASE$(NAME$)");
    EXPECT_EQ(TheVariableList().CountOfType(VARIABLE_MACRO), 1);
    CVariable* found = TheVariableList().FindVariable(VARIABLE_MACRO, "greeting");
    ASSERT_NE(found, nullptr);
    std::vector<int> loadedKinds;
    QStringList loadedNames;
    EXPECT_EQ(found->GetDataSources(loadedKinds, loadedNames), 1);
    EXPECT_EQ(loadedKinds, std::vector<int>{SOURCE_ELEMENT});
    found->SetSourceValue("ann", SOURCE_ELEMENT, "Name", FALSE);
    EXPECT_EQ(found->GetValue(), "Dear ANN");
}

TEST_F(SignDataTest, ALinkThatCannotBeMadeAgainIsTheUsersChoice)
{
    CTestRect* box = AddRect("Box1", CRect(0, 0, 10, 10));
    box->SetDataSource(SOURCE_DATABASE, "Price");
    ASSERT_TRUE(doc.OnSaveDocument(Path("sign.sgn")));
    QByteArray bytes = ReadFile(Path("sign.sgn"));
    // Replace the unlinked database block (DWORD 0 before the docking mode)
    // by a linked one: kind 0, type 1, a source, table, view, key and flags.
    QByteArray block;
    {
        CArchive ar(&block, CArchive::store);
        ar << DWORD(1) << DWORD(0) << DWORD(1) << QString("/data/stock.mdb") << QString("Items")
           << QString() << QString() << QString("Code") << DWORD(0) << DWORD(0) << DWORD(0);
        ar.Write("[]''##%", 7);
    }
    const QByteArray tail = QByteArray::fromHex("00000000"
                                                "02000000"
                                                "00000000"
                                                "01000000");
    const qsizetype at = bytes.lastIndexOf(tail);
    ASSERT_GT(at, 0);
    bytes.replace(at, 4, block);
    WriteFile(Path("linked.sgn"), bytes);

    messages.QueueAnswer(IDNO);
    CSignData refused;
    EXPECT_FALSE(refused.OnOpenDocument(Path("linked.sgn")));
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().contains("/data/stock.mdb"));

    messages.QueueAnswer(IDYES);
    CSignData accepted;
    ASSERT_TRUE(accepted.OnOpenDocument(Path("linked.sgn")));
    EXPECT_TRUE(accepted.IsModified());
    EXPECT_EQ(TheElementList().GetAt(0)->m_dataSource, SOURCE_KEYBOARD);
    EXPECT_EQ(TheElementList().GetAt(0)->m_sourceName, "Price");
}

TEST_F(SignDataTest, TextExport)
{
    doc.m_title = "Say \"hi\"\r\nnow";
    QByteArray out;
    {
        CTextExportFile file(&out);
        doc.WriteXml(file);
    }
    EXPECT_TRUE(out.startsWith("<template>\r\n\r\n  <version=\"5.14\"/>\r\n"));
    EXPECT_TRUE(out.contains("  <title=\"Say &quot;hi&quot;<br>now\"/>\r\n"));
    EXPECT_TRUE(out.contains("<printer>"));
    EXPECT_TRUE(out.contains("<paper>"));
    EXPECT_TRUE(out.contains("<elements>"));
    EXPECT_TRUE(out.contains("<database>\r\n\r\n\r\n</database>"));
    EXPECT_TRUE(out.endsWith("</template>\r\n"));
}

namespace {

// The dark pixels of a rectangle given in tenths of a millimetre.
int InkIn(const QImage& page, const CRect& tmm, int dpi)
{
    int ink = 0;
    const double px = dpi / 254.0;
    for (int y = int(tmm.top * px); y < int(tmm.bottom * px) && y < page.height(); ++y)
        for (int x = int(tmm.left * px); x < int(tmm.right * px) && x < page.width(); ++x)
            ink += qGray(page.pixel(x, y)) < 128;
    return ink;
}

} // namespace

TEST_F(SignDataTest, ASignOfShapesAndTextIsSavedReopenedAndPrinted)
{
    RegisterModelElementClasses();
    ASSERT_TRUE(ThePaper().SelectStock("Halves")); // two labels across an A4 sheet
    auto* box = static_cast<CBox*>(TheElementList().CreateElement("CBox"));
    ASSERT_NE(box, nullptr);
    box->SetBounds(nullptr, CRect(100, 100, 900, 500));
    box->SetFill(nullptr, TRUE, 0); // a solid black block
    CElement* ellipse = TheElementList().CreateElement("CEllipse");
    ellipse->SetBounds(nullptr, CRect(100, 700, 900, 1200));
    CElement* line = TheElementList().CreateElement("CLine");
    line->SetBounds(nullptr, CRect(100, 1500, 900, 1510));
    // a rich text copy-fitted into the lower half of the label
    auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
    ASSERT_NE(text, nullptr);
    text->SetBounds(nullptr, CRect(100, 1700, 900, 2700));
    text->SetSampleData(nullptr, "<b>Apples</b> 1.99\nper kg");
    const int fittedHeight = text->m_font.GetHeight();
    EXPECT_GT(fittedHeight, 47); // grown to fill its frame
    ThePageLabels().Item(CPageLabels::FOOTER).print = 1;
    ThePageLabels().Item(CPageLabels::FOOTER).format = "Shelf:$p:";
    ThePageLabels().CreateTextItems(CPageLabels::FOOTER, 0);
    doc.m_title = "Shapes";
    ASSERT_TRUE(doc.OnSaveDocument(Path("shapes.sgn")));

    CSignData loaded;
    ThePaper().SelectStock("A4");
    ASSERT_TRUE(loaded.OnOpenDocument(Path("shapes.sgn")));
    ASSERT_EQ(TheElementList().GetCount(), 4);
    auto* reread = DynamicDowncast<CText>(TheElementList().GetAt(3));
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->m_font.GetHeight(), fittedHeight);
    EXPECT_EQ(reread->GetSampleData(), "<b>Apples</b> 1.99\nper kg");
    EXPECT_EQ(ThePaper().GetPaperName(), "Halves");
    EXPECT_EQ(ThePageLabels().Item(CPageLabels::FOOTER).format, "Shelf:$p:");
    EXPECT_STREQ(TheElementList().GetAt(1)->GetRuntimeClass()->m_className, "CEllipse");

    const QString pdf = Path("shapes.pdf");
    ThePageLabels().m_pageNumber = 1;
    ASSERT_TRUE(ThePrinter().PrintSign(loaded, 3, pdf, 0));
    ASSERT_TRUE(ThePrinter().EndJob());
    const int dpi = 50;
    const QImage first = RenderPdfPage(pdf, 1, dpi);
    const QImage second = RenderPdfPage(pdf, 2, dpi);
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    // The black block of each label: both cells of page 1, the left of page 2.
    const CRect block(120, 120, 880, 480);
    const CRect right = CRect(block.left + 1050, block.top, block.right + 1050, block.bottom);
    const int full = InkIn(first, block, dpi);
    EXPECT_GT(full, 0);
    EXPECT_GE(InkIn(first, right, dpi), full * 9 / 10);
    EXPECT_GE(InkIn(second, block, dpi), full * 9 / 10);
    EXPECT_EQ(InkIn(second, right, dpi), 0);
    // the text's ink lies inside its frame
    EXPECT_GT(InkIn(first, CRect(100, 1700, 900, 2700), dpi), 0);
    // the footer sits at the bottom of each page
    EXPECT_GT(InkIn(first, CRect(0, 2800, 2100, 2970), dpi), 0);
}

namespace {

std::time_t MidMarch2026()
{
    return 1773576000; // 15 March 2026, 12:00 UTC
}

} // namespace

TEST_F(SignDataTest, ATextFedByAMacroScriptPrintsTheComputedValue)
{
    RegisterModelElementClasses();
    SetScriptClock(&MidMarch2026);
    // A typed text and a text whose data comes from a macro script over it
    // and the date.
    auto* typed = static_cast<CText*>(TheElementList().CreateElement("CText"));
    ASSERT_NE(typed, nullptr);
    typed->m_name = "Item";
    typed->SetBounds(nullptr, CRect(100, 100, 900, 400));
    typed->SetDataSource(SOURCE_KEYBOARD, "");
    typed->SetSampleData(nullptr, "pears");
    auto* shown = static_cast<CText*>(TheElementList().CreateElement("CText"));
    ASSERT_NE(shown, nullptr);
    shown->m_name = "Label";
    shown->SetBounds(nullptr, CRect(100, 600, 900, 900));
    shown->SetSampleData(nullptr, "sample");
    shown->SetDataSource(SOURCE_MACRO, "Stamp");
    TheScriptStore().SetScriptText("Stamp", "RETURN UCASE$(ITEM$) + \" \" + DATE$(\"%Y%m%d\", 0)");
    auto* macro =
        static_cast<CMacroScript*>(TheVariableList().CreateVariable(VARIABLE_MACRO, "Stamp"));
    ASSERT_NE(macro, nullptr);
    macro->m_scriptName = "Stamp";
    macro->CompileFromStore();
    std::vector<int> kinds;
    QStringList names;
    macro->GetDataSources(kinds, names);
    // A script without inputs: the date alone.
    auto* dated = static_cast<CText*>(TheElementList().CreateElement("CText"));
    ASSERT_NE(dated, nullptr);
    dated->m_name = "Dated";
    dated->SetBounds(nullptr, CRect(100, 1100, 900, 1400));
    dated->SetSampleData(nullptr, "sample");
    dated->SetDataSource(SOURCE_MACRO, "Year");
    TheScriptStore().SetScriptText("Year", "RETURN \"Y\" + DATE$(\"%Y\", 0)");
    auto* year =
        static_cast<CMacroScript*>(TheVariableList().CreateVariable(VARIABLE_MACRO, "Year"));
    ASSERT_NE(year, nullptr);
    year->m_scriptName = "Year";
    year->CompileFromStore();
    ASSERT_TRUE(doc.OnSaveDocument(Path("stamp.sgn")));

    CSignData loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(Path("stamp.sgn")));
    const QString pdf = Path("stamp.pdf");
    ASSERT_TRUE(ThePrinter().PrintSign(loaded, 1, pdf, 0));
    ASSERT_TRUE(ThePrinter().EndJob());
    SetScriptClock(nullptr);
    // The text wraps inside its frame as it needs.
    const QString text = PdfText(pdf).simplified();
    EXPECT_TRUE(text.contains("pears")) << text.toStdString();
    EXPECT_TRUE(text.contains("PEARS 20260315")) << text.toStdString();
    EXPECT_TRUE(text.contains("Y2026")) << text.toStdString();
    EXPECT_FALSE(text.contains("sample")) << text.toStdString();
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
    // Once printed, the text shows its own sample again.
    auto* reread = DynamicDowncast<CText>(TheElementList().GetAt(1));
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->GetText(), "sample");
}
