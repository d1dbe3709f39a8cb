// The sign's printer settings on the virtual PDF printer: the device
// context and printable area, the record stored in signs and every older
// layout, damaged records, the partner driver's block, forms and sources.
#include "Printer.h"

#include "AppContext.h"
#include "Archive.h"
#include "MessageBox.h"
#include "Paper.h"
#include "PrinterDevices.h"
#include "ResourceIds.h"
#include "Seams.h"
#include "Strings.h"
#include "TextExport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

const QString kPdf = QString::fromLatin1(CPrinterDevices::kVirtualPrinterName);

QByteArray Dw(DWORD v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
}

// A short archive string: one length byte, then the bytes.
QByteArray Str(const QByteArray& s)
{
    return QByteArray(1, static_cast<char>(s.size())) + s;
}

int FormIndex(const QString& name)
{
    const QList<PrinterForm> forms = CPrinterDevices::Forms(kPdf);
    for (int i = 0; i < forms.size(); ++i) {
        if (forms[i].name == name)
            return i;
    }
    return -1;
}

CDevMode PdfSettings(const QString& form, int orientation)
{
    CDevMode dm = CDevMode::ForPrinter(kPdf);
    dm.SetForm(FormIndex(form), CPrinterDevices::Forms(kPdf)[FormIndex(form)]);
    dm.SetOrientation(static_cast<short>(orientation));
    return dm;
}

// The sign's printer record as version 250 and later store it.
QByteArray Record(const QByteArray& block, const QByteArray& device, DWORD platformId,
                  std::optional<DWORD> storeFlag)
{
    QByteArray r = Dw(static_cast<DWORD>(block.size())) + block + Str("Tabrel PDF") + Str(device) +
                   Str("PDF:") + Dw(platformId);
    if (storeFlag)
        r += Dw(*storeFlag);
    return r;
}

// A settings block carrying the partner driver's block in its private area
// (8 bytes in), privateLength bytes of which exist.
struct PartnerLayout
{
    int driverExtra = 1019;
    int privateLength = 1019;
    WORD magic = 0xFCE2;
    QByteArray tag = "Tabrel/Ostrel Enabled";
};

CDevMode PartnerSettings(const PartnerLayout& p = {})
{
    QByteArray area(1100, '\0');
    area[8] = static_cast<char>(p.magic & 0xFF);
    area[9] = static_cast<char>(p.magic >> 8);
    area.replace(10, p.tag.size(), p.tag);
    const int data = 8 + 34;
    area[data + 0] = '\xAB';
    area[data + 261] = '\xCD';
    area[data + 262] = 20; // symbologies printed natively
    area[data + 300] = 71;
    area[data + 517] = 0x05; // rotations 0 and 180 degrees
    area[data + 518] = 0x00;
    CDevMode dm = CDevMode::ForPrinter(kPdf);
    dm.SetDriverExtra(static_cast<WORD>(p.driverExtra));
    return CDevMode(dm.Block() + area.left(p.privateLength));
}

class CountingProgress : public CProgressSeam
{
public:
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    void StepIt() override { ++steps; }
    void SetPos(int) override {}
    int steps = 0;
};

class PrinterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hadDefault = qEnvironmentVariableIsSet("TABREL_DEFAULT_PRINTER");
        m_savedDefault = qgetenv("TABREL_DEFAULT_PRINTER");
        qputenv("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
        m_app = std::make_unique<CAppContext>();
    }

    void TearDown() override
    {
        m_app.reset();
        if (m_hadDefault)
            qputenv("TABREL_DEFAULT_PRINTER", m_savedDefault);
        else
            qunsetenv("TABREL_DEFAULT_PRINTER");
    }

    static QByteArray Store()
    {
        QByteArray bytes;
        CArchive ar(&bytes, CArchive::store);
        ThePrinter().Serialize(ar);
        return bytes;
    }

    // Loads a record as a sign of that version would hold it; the whole
    // record must be read.
    static void Load(QByteArray bytes, int version)
    {
        App().fileVersion = version;
        CArchive ar(&bytes, CArchive::load);
        ThePrinter().Serialize(ar);
        EXPECT_EQ(ar.BytesRemaining(), 0) << "version " << version;
    }

    std::unique_ptr<CAppContext> m_app;
    CMessageResponder m_messages;

private:
    bool m_hadDefault = false;
    QByteArray m_savedDefault;
};

TEST_F(PrinterTest, VirtualPrinterMeasuresAt600DpiOnTheWholePage)
{
    CPrinter& printer = ThePrinter();
    EXPECT_FALSE(App().printerDC);
    ASSERT_TRUE(printer.EnsurePrinter());
    // Fonts measure on the printer's device context once it exists.
    ASSERT_TRUE(App().printerDC);
    EXPECT_EQ(App().printerDC(), printer.GetDC());
    EXPECT_EQ(printer.GetDeviceName(), kPdf);
    EXPECT_EQ(printer.GetDriver(), kPdf);
    EXPECT_EQ(printer.GetPort(), QStringLiteral("PDF:"));
    EXPECT_EQ(printer.GetPixelsPerInchX(), 600);
    EXPECT_EQ(printer.GetPixelsPerInchY(), 600);
    EXPECT_TRUE(printer.m_driverDoesCopies);
    EXPECT_EQ(printer.GetOrientation(), DMORIENT_PORTRAIT);
    EXPECT_EQ(printer.GetPrintableArea(), CRect(0, 0, 2100, 2970));

    CDC* dc = printer.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(dc->IsPrinting());
    EXPECT_EQ(dc->GetPainter(), nullptr);
    EXPECT_EQ(dc->GetDeviceDpiX(), 600.0);
    EXPECT_EQ(dc->GetDeviceSizePx(), CSize(4961, 7016));
    // Tenths of a millimetre at the printer's resolution: 254 units an inch.
    EXPECT_EQ(dc->LPtoDP(CSize(254, 254)), CSize(600, 600));

    ASSERT_TRUE(printer.SetOrientation(DMORIENT_LANDSCAPE));
    EXPECT_TRUE(printer.IsLandscape());
    EXPECT_EQ(printer.GetPrintableArea(), CRect(0, 0, 2970, 2100));
    ASSERT_NE(printer.GetDC(), nullptr);
    EXPECT_EQ(printer.GetDC()->GetDeviceSizePx(), CSize(7016, 4961));
    EXPECT_EQ(App().printerDC(), printer.GetDC());

    printer.Reset(TRUE, DMORIENT_PORTRAIT);
    EXPECT_EQ(printer.GetOrientation(), DMORIENT_PORTRAIT);
    EXPECT_EQ(printer.GetDC()->GetDeviceSizePx(), CSize(4961, 7016));
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(PrinterTest, VirtualPrinterIsListedFirstWithItsForms)
{
    const QStringList names = CPrinterDevices::PrinterNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.front(), kPdf);
    EXPECT_EQ(CPrinterDevices::DefaultPrinterName(), kPdf);
    EXPECT_EQ(CPrinterDevices::FindPrinter(QStringLiteral("tabrel pdf")), kPdf);
    EXPECT_EQ(CPrinterDevices::FindPrinter(QStringLiteral("No Such Printer")), QString());

    const QList<PrinterForm> forms = CPrinterDevices::Forms(kPdf);
    const struct
    {
        const char* name;
        int widthUm, heightUm;
    } expected[] = {
        {"A0", 841000, 1189000},         {"A4", 210000, 297000},
        {"A6", 105000, 148000},          {"B4", 250000, 353000},
        {"B5", 176000, 250000},          {"Letter", 215900, 279400},
        {"Legal", 215900, 355600},       {"Executive", 184150, 266700},
        {"Tabloid", 279400, 431800},     {"Envelope DL", 110000, 220000},
        {"Envelope C4", 229000, 324000}, {"Envelope C6", 114000, 162000},
    };
    for (const auto& e : expected) {
        const int i = FormIndex(QString::fromLatin1(e.name));
        ASSERT_GE(i, 0) << e.name;
        EXPECT_EQ(forms[i].widthUm, e.widthUm) << e.name;
        EXPECT_EQ(forms[i].heightUm, e.heightUm) << e.name;
    }
    EXPECT_EQ(CPrinterDevices::DefaultFormIndex(kPdf), FormIndex("A4"));
}

TEST_F(PrinterTest, MissingDefaultPrinterReportsNoPrinterData)
{
    qputenv("TABREL_DEFAULT_PRINTER", "No Such Printer");
    CPrinter& printer = ThePrinter();
    EXPECT_FALSE(printer.EnsurePrinter());
    ASSERT_EQ(m_messages.Count(), 1);
    EXPECT_EQ(m_messages.LastText(), LoadStringId(IDS_NO_PRINTER_DATA));
    EXPECT_EQ(printer.GetDC(), nullptr);
    EXPECT_TRUE(printer.GetDevMode().IsEmpty());

    CPaperStock stock;
    stock.selectionWidth = 2100;
    stock.selectionHeight = 2970;
    EXPECT_FALSE(printer.SelectFormForStock(stock));
    EXPECT_FALSE(printer.SelectPrinterByName(QStringLiteral("No Such Printer")));

    // Choosing a printer that exists recovers.
    EXPECT_TRUE(printer.SelectPrinterByName(QStringLiteral("tabrel pdf")));
    printer.Reset(TRUE);
    EXPECT_EQ(printer.GetDeviceName(), kPdf);
    EXPECT_NE(printer.GetDC(), nullptr);
}

TEST_F(PrinterTest, StoresTheSignRecordByteForByte)
{
    CountingProgress progress;
    App().progress = &progress;
    CPrinter& printer = ThePrinter();
    ASSERT_TRUE(printer.SetOrientation(DMORIENT_LANDSCAPE));
    const QByteArray block = printer.GetDevMode().Block();
    ASSERT_EQ(block.size(), 156);

    const QByteArray expected =
        Dw(156) + block + Str("Tabrel PDF") + Str("Tabrel PDF") + Str("PDF:") + Dw(2) + Dw(1);
    EXPECT_EQ(Store(), expected);
    EXPECT_EQ(progress.steps, 1);

    App().general.storePrinterSettings = 0;
    EXPECT_EQ(Store().right(4), Dw(0));
    App().progress = nullptr;
}

TEST_F(PrinterTest, CurrentRecordsApplyTheirSettings)
{
    CDevMode stored = PdfSettings("Letter", DMORIENT_LANDSCAPE);
    stored.SetCopies(4);
    const struct
    {
        int version;
        bool hasFlag;
    } versions[] = {{514, true}, {420, true}, {419, false}, {300, false}, {250, false}};
    for (const auto& v : versions) {
        ThePrinter().Reset(TRUE);
        const QByteArray record = Record(stored.Block(), "Tabrel PDF", 2,
                                         v.hasFlag ? std::optional<DWORD>(1) : std::nullopt);
        Load(record, v.version);
        EXPECT_EQ(ThePrinter().GetDevMode(), stored) << v.version;
        EXPECT_EQ(ThePrinter().GetPrintableArea(), CRect(0, 0, 2794, 2159)) << v.version;
        ASSERT_NE(ThePrinter().GetDC(), nullptr);
        EXPECT_EQ(ThePrinter().GetDC()->GetDeviceSizePx(), CSize(6600, 5100)) << v.version;
    }
    EXPECT_EQ(m_messages.Count(), 0);

    // Stored again, the record comes back as it was read.
    App().fileVersion = 514;
    EXPECT_EQ(Store(), Record(stored.Block(), "Tabrel PDF", 2, 1));
}

TEST_F(PrinterTest, RecordWithoutStoredSettingsCarriesOnlyOrientation)
{
    const CDevMode stored = PdfSettings("Letter", DMORIENT_LANDSCAPE);
    Load(Record(stored.Block(), "Tabrel PDF", 2, 0), 420);
    const CDevMode& now = ThePrinter().GetDevMode();
    EXPECT_EQ(now.Orientation(), DMORIENT_LANDSCAPE);
    EXPECT_EQ(now.FormName(), QStringLiteral("A4"));
    EXPECT_EQ(ThePrinter().GetPrintableArea(), CRect(0, 0, 2970, 2100));
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(PrinterTest, RecordFromAnUnknownPrinterCarriesOnlyOrientation)
{
    const CDevMode stored = PdfSettings("Letter", DMORIENT_LANDSCAPE);
    Load(Record(stored.Block(), "HP LaserJet 4", 2, 1), 514);
    EXPECT_EQ(ThePrinter().GetDeviceName(), kPdf);
    EXPECT_EQ(ThePrinter().GetDevMode().Orientation(), DMORIENT_LANDSCAPE);
    EXPECT_EQ(ThePrinter().GetDevMode().FormName(), QStringLiteral("A4"));
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(PrinterTest, RecordThatCannotBeAppliedWarnsAndKeepsSettings)
{
    const CDevMode before = CDevMode::ForPrinter(kPdf);
    CDevMode claimsTooMuch = PdfSettings("Letter", DMORIENT_LANDSCAPE);
    claimsTooMuch.SetDriverExtra(600);
    CDevMode headerBeyondBlock = PdfSettings("Letter", DMORIENT_LANDSCAPE);
    headerBeyondBlock.SetSize(0xFFFF);

    const struct
    {
        const char* what;
        QByteArray record;
    } cases[] = {
        {"other platform",
         Record(PdfSettings("Letter", DMORIENT_LANDSCAPE).Block(), "Tabrel PDF", 1, std::nullopt)},
        {"driver extra beyond the block",
         Record(claimsTooMuch.Block(), "Tabrel PDF", 2, std::nullopt)},
        {"dmSize beyond the block",
         Record(headerBeyondBlock.Block(), "Tabrel PDF", 2, std::nullopt)},
        {"empty block", Record(QByteArray(), "Tabrel PDF", 2, std::nullopt)},
    };
    const QString warning =
        LoadStringId(IDS_PRINTER_SETTINGS_NOT_APPLIED).replace(QStringLiteral("%1"), kPdf) +
        LoadStringId(IDS_REVIEW_PRINTER_SETTINGS);
    for (const auto& c : cases) {
        ThePrinter().Reset(TRUE);
        m_messages.Clear();
        Load(c.record, 300);
        ASSERT_EQ(m_messages.Count(), 1) << c.what;
        EXPECT_EQ(m_messages.LastText(), warning) << c.what;
        EXPECT_EQ(m_messages.Messages().back().style & MB_ICONMASK, MB_ICONEXCLAMATION) << c.what;
        EXPECT_EQ(ThePrinter().GetDevMode(), before) << c.what;
        EXPECT_EQ(ThePrinter().GetPrintableArea(), CRect(0, 0, 2100, 2970)) << c.what;
    }
}

TEST_F(PrinterTest, OlderLayoutsSetOrientationAndPaper)
{
    // From 210 on: orientation, device, paper size, length, width, source.
    const QByteArray v240 = Dw(DMORIENT_LANDSCAPE) + Str("TABREL PDF") + Dw(1) + Dw(2794) +
                            Dw(2159) + Dw(CPrinterDevices::kAutoSelectBin);
    Load(v240, 240);
    const CDevMode& dm = ThePrinter().GetDevMode();
    EXPECT_EQ(dm.Orientation(), DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm.PaperSize(), 1);
    EXPECT_EQ(dm.PaperLength(), 2794);
    EXPECT_EQ(dm.PaperWidth(), 2159);
    EXPECT_EQ(dm.DefaultSource(), CPrinterDevices::kAutoSelectBin);
    EXPECT_EQ(dm.FormName(), QString());
    EXPECT_EQ(ThePrinter().GetPrintableArea(), CRect(0, 0, 2794, 2159));

    // Before 210 only the orientation was stored.
    ThePrinter().Reset(TRUE);
    Load(Dw(DMORIENT_LANDSCAPE), 200);
    EXPECT_EQ(ThePrinter().GetDevMode().Orientation(), DMORIENT_LANDSCAPE);
    EXPECT_EQ(ThePrinter().GetDevMode().FormName(), QStringLiteral("A4"));
    EXPECT_EQ(ThePrinter().GetPrintableArea(), CRect(0, 0, 2970, 2100));

    // Another printer that cannot be had: the orientation alone.
    ThePrinter().Reset(TRUE);
    Load(Dw(DMORIENT_LANDSCAPE) + Str("Old Printer") + Dw(1) + Dw(2794) + Dw(2159) + Dw(1), 210);
    EXPECT_EQ(ThePrinter().GetDevMode().Orientation(), DMORIENT_LANDSCAPE);
    EXPECT_EQ(ThePrinter().GetDevMode().PaperLength(), 2970);
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(PrinterTest, TruncatedOrHostileRecordsRaiseEndOfFile)
{
    const QByteArray block = CDevMode::ForPrinter(kPdf).Block();
    const QByteArray cases[] = {
        Dw(0xFFFFFFFFu) + block,
        Dw(0x7FFFFFFFu),
        Dw(157) + block,
        Record(block, "Tabrel PDF", 2, std::nullopt), // 514 expects the flag
        Dw(DMORIENT_LANDSCAPE) + Str("Tabrel PDF") + Dw(1),
    };
    const int versions[] = {514, 514, 514, 514, 240};
    for (int i = 0; i < 5; ++i) {
        ThePrinter().Reset(TRUE);
        App().fileVersion = versions[i];
        QByteArray bytes = cases[i];
        CArchive ar(&bytes, CArchive::load);
        try {
            ThePrinter().Serialize(ar);
            ADD_FAILURE() << "case " << i << " loaded";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << "case " << i;
        }
        EXPECT_EQ(ThePrinter().GetDevMode(), CDevMode::ForPrinter(kPdf)) << "case " << i;
    }
}

TEST_F(PrinterTest, OldDriverBlockWithShortPublicPartIsKept)
{
    // 64 bytes of public part, as an old driver wrote it: no form name.
    CDevMode old(CDevMode::ForPrinter(kPdf).Block().left(64));
    old.SetSize(64);
    old.SetOrientation(DMORIENT_LANDSCAPE);
    old.SetPaperSize(1);
    old.SetPaperWidth(2159);
    old.SetPaperLength(2794);
    Load(Record(old.Block(), "Tabrel PDF", 2, 1), 514);
    EXPECT_EQ(m_messages.Count(), 0);
    EXPECT_EQ(ThePrinter().GetDevMode(), old);
    EXPECT_EQ(ThePrinter().GetPrintableArea(), CRect(0, 0, 2794, 2159));
    EXPECT_EQ(Store(), Record(old.Block(), "Tabrel PDF", 2, 1));
}

TEST_F(PrinterTest, PartnerBlockIsRecognisedOnlyWhenWhole)
{
    const struct
    {
        const char* what;
        PartnerLayout layout;
        bool valid;
    } cases[] = {
        {"whole", {}, true},
        {"tag in capitals", {1019, 1019, 0xFCE2, "TABREL/OSTREL ENABLED"}, true},
        {"smallest area that holds it", {561, 561}, true},
        {"driver extra 552", {552, 1019}, false},
        {"553 bytes do not hold it 8 bytes in", {553, 553}, false},
        {"magic bytes swapped", {1019, 1019, 0xE2FC}, false},
        {"other tag", {1019, 1019, 0xFCE2, "Tabrel/Ostrel"}, false},
        {"tag without its end",
         {1019, 1019, 0xFCE2, QByteArray("Tabrel/Ostrel Enabled").leftJustified(32, 'X')},
         false},
        {"block cut short", {1019, 300}, false},
    };
    CPrinter& printer = ThePrinter();
    for (const auto& c : cases) {
        // A valid block first, so that a failed read must clear it.
        ASSERT_TRUE(printer.ReadPartnerBlock(PartnerSettings()));
        EXPECT_EQ(printer.ReadPartnerBlock(PartnerSettings(c.layout)), c.valid) << c.what;
        EXPECT_EQ(printer.m_partnerBlockPresent, c.valid) << c.what;
        EXPECT_EQ(printer.m_partnerBlock[0], c.valid ? 0xAB : 0) << c.what;
        EXPECT_EQ(printer.m_partnerBlock[261], c.valid ? 0xCD : 0) << c.what;
        EXPECT_EQ(printer.IsNativeBarcodeSupported(71), c.valid) << c.what;
    }
}

TEST_F(PrinterTest, PartnerBlockDeclaresNativeSymbologiesAndRotations)
{
    CPrinter& printer = ThePrinter();
    ASSERT_TRUE(printer.ReadPartnerBlock(PartnerSettings()));
    const struct
    {
        int symbology;
        bool native;
    } symbologies[] = {{20, true}, {71, true}, {21, false}, {0, false}, {276, false}, {-1, false}};
    for (const auto& s : symbologies)
        EXPECT_EQ(printer.IsNativeBarcodeSupported(s.symbology), s.native) << s.symbology;

    const struct
    {
        int quarterTurns;
        bool native;
    } rotations[] = {{0, true},  {1, false},  {2, true},   {3, false}, {34, true},
                     {32, true}, {-30, true}, {-1, false}, {16, false}};
    for (const auto& r : rotations)
        EXPECT_EQ(printer.IsNativeRotationSupported(r.quarterTurns), r.native) << r.quarterTurns;

    printer.Reset(FALSE);
    EXPECT_FALSE(printer.IsNativeBarcodeSupported(20));
    EXPECT_FALSE(printer.IsNativeRotationSupported(0));
}

TEST_F(PrinterTest, HostTagIsWrittenOnlyWhereItFits)
{
    CPrinter& printer = ThePrinter();
    ASSERT_TRUE(printer.SetApplicationPrinter(kPdf, PartnerSettings()));
    EXPECT_TRUE(printer.m_partnerBlockPresent);
    const CDevMode& dm = printer.GetDevMode();
    EXPECT_EQ(dm.BlockSize(), 156 + 1019);
    EXPECT_EQ(dm.ReadPrivate(1003, 16), QByteArray("Tabrel/Ostrel\0\0\0", 16));

    // A valid block in an area too short for the tag is left as it was.
    const CDevMode shortArea = PartnerSettings({700, 700});
    ASSERT_TRUE(printer.SetApplicationPrinter(kPdf, shortArea));
    EXPECT_TRUE(printer.m_partnerBlockPresent);
    EXPECT_EQ(printer.GetDevMode().Block(), shortArea.Block());
}

TEST_F(PrinterTest, StoredPartnerSettingsApplyAndAreWrittenBackUnchanged)
{
    const CDevMode stored = PartnerSettings();
    const QByteArray record = Record(stored.Block(), "Tabrel PDF", 2, 1);
    Load(record, 514);
    EXPECT_EQ(m_messages.Count(), 0);
    EXPECT_TRUE(ThePrinter().m_partnerBlockPresent);
    EXPECT_TRUE(ThePrinter().IsNativeBarcodeSupported(20));
    EXPECT_EQ(Store(), record);
}

TEST_F(PrinterTest, StockSelectionPicksTheMatchingForm)
{
    CPrinter& printer = ThePrinter();
    CPaperStock letter;
    letter.selectionWidth = 2159;
    letter.selectionHeight = 2794;
    ASSERT_TRUE(printer.SelectFormForStock(letter));
    const CDevMode& dm = printer.GetDevMode();
    EXPECT_EQ(dm.PaperSize(), FormIndex("Letter") + 1);
    EXPECT_EQ(dm.FormName(), QStringLiteral("Letter"));
    EXPECT_EQ(dm.PaperWidth(), 2159);
    EXPECT_EQ(dm.PaperLength(), 2794);
    EXPECT_EQ(printer.GetPrintableArea(), CRect(0, 0, 2159, 2794));
    EXPECT_EQ(printer.GetDC()->GetDeviceSizePx(), CSize(5100, 6600));

    const CDevMode before = dm;
    for (const CSize selection : {CSize(1234, 567), CSize(2794, 2159), CSize(2160, 2794)}) {
        CPaperStock other;
        other.selectionWidth = selection.cx;
        other.selectionHeight = selection.cy;
        EXPECT_FALSE(printer.SelectFormForStock(other)) << selection.cx << "x" << selection.cy;
        EXPECT_EQ(printer.GetDevMode(), before);
    }
}

TEST_F(PrinterTest, PaperSourceIsChosenByName)
{
    CPrinter& printer = ThePrinter();
    EXPECT_EQ(printer.GetPaperSourceName(), QStringLiteral("Automatically Select"));
    QStringList items{QStringLiteral("stale")};
    EXPECT_EQ(printer.FillPaperSourceCombo(items), 0);
    EXPECT_EQ(items, QStringList{QStringLiteral("Automatically Select")});

    printer.DevMode().SetDefaultSource(1);
    EXPECT_EQ(printer.GetPaperSourceName(), QString());
    EXPECT_TRUE(printer.SelectPaperSource(QStringLiteral("automatically select")));
    EXPECT_EQ(printer.GetDevMode().DefaultSource(), CPrinterDevices::kAutoSelectBin);
    EXPECT_FALSE(printer.SelectPaperSource(QStringLiteral("Tray 9")));
    EXPECT_EQ(printer.GetDevMode().DefaultSource(), CPrinterDevices::kAutoSelectBin);
}

TEST_F(PrinterTest, WritesItsTextExport)
{
    ThePrinter().SetOrientation(DMORIENT_LANDSCAPE);
    QByteArray out;
    {
        CTextExportFile file(&out);
        ThePrinter().WriteXml(file);
    }
    EXPECT_EQ(out, QByteArray("<printer>\r\n\r\n"
                              "  <driver=\"Tabrel PDF\"/>\r\n"
                              "  <device=\"Tabrel PDF\"/>\r\n"
                              "  <port=\"PDF:\"/>\r\n"
                              "  <orientation=\"2\"/>\r\n"
                              "\r\n</printer>\r\n\r\n"));
}

} // namespace
