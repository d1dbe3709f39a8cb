// The settings block: byte layout, tolerance of short and damaged blocks,
// and the mapping to paper sizes and to a QPrinter.
#include "DevMode.h"

#include "PrinterDevices.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {

// A QPrinter needs an application object; the test program has no main of
// its own, so the first test that makes one creates it.
void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "printing_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

const QString kPdf = QString::fromLatin1(CPrinterDevices::kVirtualPrinterName);

int FormIndex(const QString& name)
{
    const QList<PrinterForm> forms = CPrinterDevices::Forms(kPdf);
    for (int i = 0; i < forms.size(); ++i) {
        if (forms[i].name == name)
            return i;
    }
    return -1;
}

int Byte(const CDevMode& dm, int offset)
{
    return static_cast<unsigned char>(dm.Block().at(offset));
}

int Word(const CDevMode& dm, int offset)
{
    return Byte(dm, offset) | (Byte(dm, offset + 1) << 8);
}

// A block of the given length with dmSize and dmDriverExtra set by hand.
CDevMode RawBlock(int length, int dmSize, int driverExtra)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(0x40 + i % 16);
    CDevMode dm(bytes);
    dm.SetSize(static_cast<WORD>(dmSize));
    dm.SetDriverExtra(static_cast<WORD>(driverExtra));
    return dm;
}

TEST(DevModeTest, FreshBlockForVirtualPrinterHasWindowsLayout)
{
    const CDevMode dm = CDevMode::ForPrinter(kPdf);
    ASSERT_EQ(dm.BlockSize(), 156);

    // Read straight from the bytes at the Windows offsets.
    EXPECT_EQ(dm.Block().left(11), QByteArray("Tabrel PDF\0", 11));
    EXPECT_EQ(Word(dm, 32), 0x401);  // layout version
    EXPECT_EQ(Word(dm, 36), 156);    // dmSize
    EXPECT_EQ(Word(dm, 38), 0);      // dmDriverExtra
    EXPECT_EQ(Word(dm, 40), 0xA70F); // dmFields, low word
    EXPECT_EQ(Word(dm, 42), 0x0001); // DM_FORMNAME
    EXPECT_EQ(Word(dm, 44), 1);      // portrait
    EXPECT_EQ(Word(dm, 46), FormIndex("A4") + 1);
    EXPECT_EQ(Word(dm, 48), 2970); // dmPaperLength
    EXPECT_EQ(Word(dm, 50), 2100); // dmPaperWidth
    EXPECT_EQ(Word(dm, 54), 1);    // dmCopies
    EXPECT_EQ(Word(dm, 56), 7);    // automatic source
    EXPECT_EQ(Word(dm, 58), 600);  // dmPrintQuality
    EXPECT_EQ(Word(dm, 64), 600);  // dmYResolution
    EXPECT_EQ(Word(dm, 68), 1);    // dmCollate
    EXPECT_EQ(dm.Block().mid(70, 3), QByteArray("A4\0", 3));
    EXPECT_EQ(dm.Block().mid(102), QByteArray(54, '\0'));

    EXPECT_TRUE(CDevMode::ForPrinter(QStringLiteral("No Such Printer")).IsEmpty());
}

TEST(DevModeTest, SettersWriteLittleEndianAtFieldOffsets)
{
    struct Case
    {
        const char* field;
        void (*set)(CDevMode&);
        int offset;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"orientation", [](CDevMode& d) { d.SetOrientation(2); }, 44, QByteArray("\x02\x00", 2)},
        {"paper size", [](CDevMode& d) { d.SetPaperSize(0x0102); }, 46, "\x02\x01"},
        {"paper length", [](CDevMode& d) { d.SetPaperLength(0x0304); }, 48, "\x04\x03"},
        {"paper width", [](CDevMode& d) { d.SetPaperWidth(0x0506); }, 50, "\x06\x05"},
        {"copies", [](CDevMode& d) { d.SetCopies(0x0708); }, 54, "\x08\x07"},
        {"default source", [](CDevMode& d) { d.SetDefaultSource(0x090A); }, 56, "\x0A\x09"},
        {"print quality", [](CDevMode& d) { d.SetPrintQuality(-4); }, 58, "\xFC\xFF"},
        {"y resolution", [](CDevMode& d) { d.SetYResolution(0x0B0C); }, 64, "\x0C\x0B"},
        {"collate", [](CDevMode& d) { d.SetCollate(1); }, 68, QByteArray("\x01\x00", 2)},
        {"fields", [](CDevMode& d) { d.SetFields(0x11223344); }, 40, "\x44\x33\x22\x11"},
        {"driver extra", [](CDevMode& d) { d.SetDriverExtra(0x0D0E); }, 38, "\x0E\x0D"},
        {"form name", [](CDevMode& d) { d.SetFormName(QStringLiteral("Env \u00E9")); }, 70,
         QByteArray("Env \xE9\0", 6)},
    };
    for (const Case& c : cases) {
        CDevMode dm(QByteArray(156, '\0'));
        c.set(dm);
        QByteArray expected(156, '\0');
        expected.replace(c.offset, c.bytes.size(), c.bytes);
        EXPECT_EQ(dm.Block(), expected) << c.field;
    }
}

TEST(DevModeTest, NamesAreCutToThirtyOneCharactersAndClearTheField)
{
    CDevMode dm(QByteArray(156, '\x55'));
    dm.SetDeviceName(QString(40, QLatin1Char('x')));
    EXPECT_EQ(dm.DeviceName(), QString(31, QLatin1Char('x')));
    EXPECT_EQ(dm.Block().at(31), '\0');
    EXPECT_EQ(dm.Block().at(32), '\x55'); // layout version untouched

    dm.SetFormName(QStringLiteral("A5"));
    EXPECT_EQ(dm.Block().mid(70, 32), QByteArray("A5").leftJustified(32, '\0'));
    EXPECT_EQ(dm.FormName(), QStringLiteral("A5"));
}

TEST(DevModeTest, FieldsBeyondAShortBlockReadZeroAndIgnoreWrites)
{
    // An old driver's block that ends inside dmPaperLength.
    CDevMode dm = RawBlock(49, 49, 0);
    const QByteArray before = dm.Block();
    EXPECT_EQ(dm.Orientation(), 0x4D4C); // bytes 44 and 45 exist
    EXPECT_EQ(dm.PaperLength(), 0);      // needs bytes 48 and 49
    EXPECT_EQ(dm.Copies(), 0);
    EXPECT_EQ(dm.FormName(), QString());
    dm.SetPaperLength(100);
    dm.SetCopies(2);
    dm.SetFormName(QStringLiteral("Letter"));
    dm.SetDWord(46, 1);
    EXPECT_EQ(dm.Block(), before);

    // A name field that the block cuts short reads up to the block's end.
    CDevMode cut(QByteArray("Abc", 3));
    EXPECT_EQ(cut.DeviceName(), QStringLiteral("Abc"));
    EXPECT_EQ(cut.Size(), 0);

    const CDevMode empty;
    EXPECT_EQ(empty.Fields(), 0u);
    EXPECT_EQ(empty.DeviceName(), QString());
    EXPECT_EQ(empty.StoredSize(), 0);
    EXPECT_EQ(empty.PrivateSize(), 0);
    EXPECT_TRUE(empty.ReadPrivate(0, 0).isEmpty());
    EXPECT_FALSE(empty.IsWellFormed());
}

TEST(DevModeTest, PrivateAreaIsClampedToTheBlock)
{
    struct Case
    {
        const char* what;
        int length, dmSize, driverExtra;
        int privateOffset, privateSize, storedSize;
        bool wellFormed;
    };
    const Case cases[] = {
        {"exact", 156 + 20, 156, 20, 156, 20, 176, true},
        {"extra bytes after the block", 200, 156, 20, 156, 20, 176, true},
        {"extra claims more than present", 200, 156, 600, 156, 44, 200, false},
        {"dmSize beyond the block", 156, 400, 10, 156, 0, 156, false},
        {"largest header values", 300, 0xFFFF, 0xFFFF, 300, 0, 300, false},
        {"small public part", 64 + 8, 64, 8, 64, 8, 72, true},
        {"dmSize inside the header", 156, 20, 0, 20, 0, 20, false},
    };
    for (const Case& c : cases) {
        CDevMode dm = RawBlock(c.length, c.dmSize, c.driverExtra);
        EXPECT_EQ(dm.PrivateOffset(), c.privateOffset) << c.what;
        EXPECT_EQ(dm.PrivateSize(), c.privateSize) << c.what;
        EXPECT_EQ(dm.StoredSize(), c.storedSize) << c.what;
        EXPECT_EQ(dm.IsWellFormed(), c.wellFormed) << c.what;

        // Reads and writes never leave the area that exists.
        const QByteArray before = dm.Block();
        EXPECT_EQ(dm.ReadPrivate(0, c.privateSize).size(), c.privateSize) << c.what;
        EXPECT_TRUE(dm.ReadPrivate(0, c.privateSize + 1).isEmpty()) << c.what;
        EXPECT_TRUE(dm.ReadPrivate(-1, 1).isEmpty()) << c.what;
        EXPECT_FALSE(dm.WritePrivate(c.privateSize, QByteArray(1, 'z'))) << c.what;
        EXPECT_FALSE(dm.WritePrivate(-1, QByteArray(1, 'z'))) << c.what;
        EXPECT_EQ(dm.Block(), before) << c.what;
    }

    CDevMode dm = RawBlock(156 + 20, 156, 20);
    EXPECT_TRUE(dm.WritePrivate(16, QByteArray("wxyz")));
    EXPECT_EQ(dm.Block().mid(172), QByteArray("wxyz"));
    EXPECT_EQ(dm.ReadPrivate(16, 4), QByteArray("wxyz"));
}

TEST(DevModeTest, WindowsPaperNumbersMapToStandardSizes)
{
    const struct
    {
        int number;
        QPageSize::PageSizeId id;
    } cases[] = {
        {1, QPageSize::Letter},      {3, QPageSize::Tabloid},
        {5, QPageSize::Legal},       {7, QPageSize::ExecutiveStandard},
        {8, QPageSize::A3},          {9, QPageSize::A4},
        {11, QPageSize::A5},         {12, QPageSize::JisB4},
        {13, QPageSize::JisB5},      {27, QPageSize::EnvelopeDL},
        {28, QPageSize::EnvelopeC5}, {30, QPageSize::EnvelopeC4},
        {31, QPageSize::EnvelopeC6}, {66, QPageSize::A2},
        {70, QPageSize::A6},         {0, QPageSize::Custom},
        {-3, QPageSize::Custom},     {256, QPageSize::Custom},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDevMode::PageSizeIdForPaperNumber(c.number), c.id) << c.number;
}

TEST(DevModeTest, PageSizeFromFormNameNumberOrDimensions)
{
    const QList<PrinterForm> forms = CPrinterDevices::Forms(kPdf);
    const QPageSize fallback(QPageSize::A4);

    CDevMode dm = CDevMode::ForPrinter(kPdf);
    dm.SetForm(FormIndex("Legal"), forms[FormIndex("Legal")]);
    EXPECT_EQ(dm.PageSize(forms, fallback).id(), QPageSize::Legal);

    // The form name wins over the paper number.
    dm.SetPaperSize(9);
    EXPECT_EQ(dm.PageSize(forms, fallback).id(), QPageSize::Legal);

    // Without a form name, a Windows number whose size agrees.
    dm.SetFormName(QString());
    dm.SetPaperSize(1);
    dm.SetPaperWidth(2159);
    dm.SetPaperLength(2794);
    EXPECT_EQ(dm.PageSize(forms, fallback).id(), QPageSize::Letter);

    // A number that contradicts the dimensions gives way to them.
    dm.SetPaperSize(8);
    dm.SetPaperWidth(1000);
    dm.SetPaperLength(1500);
    const QPageSize custom = dm.PageSize(forms, fallback);
    EXPECT_EQ(custom.id(), QPageSize::Custom);
    EXPECT_NEAR(custom.size(QPageSize::Millimeter).width(), 100.0, 0.01);
    EXPECT_NEAR(custom.size(QPageSize::Millimeter).height(), 150.0, 0.01);

    // An unknown number with no dimensions falls back.
    dm.SetPaperSize(256);
    dm.SetFields(dm.Fields() & ~DWORD(DM_PAPERWIDTH));
    EXPECT_EQ(dm.PageSize(forms, QPageSize(QPageSize::A5)).id(), QPageSize::A5);
}

TEST(DevModeTest, SettingsCarryToAQPrinterAndBack)
{
    EnsureApplication();
    const QList<PrinterForm> forms = CPrinterDevices::Forms(kPdf);
    CDevMode dm = CDevMode::ForPrinter(kPdf);
    dm.SetForm(FormIndex("Letter"), forms[FormIndex("Letter")]);
    dm.SetOrientation(2);
    dm.SetCopies(3);
    dm.SetCollate(DMCOLLATE_FALSE);

    QPrinter qprinter(QPrinter::HighResolution);
    CPrinterDevices::SetUpQPrinter(qprinter, kPdf);
    dm.ApplyTo(qprinter, forms);
    EXPECT_EQ(qprinter.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(qprinter.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(qprinter.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(qprinter.copyCount(), 3);
    EXPECT_FALSE(qprinter.collateCopies());
    EXPECT_EQ(qprinter.resolution(), 600);

    CDevMode back = CDevMode::ForPrinter(kPdf);
    back.ReadFrom(qprinter, forms);
    EXPECT_EQ(back, dm);

    // A size the printer does not list keeps its dimensions and its Windows
    // number, without a form name.
    qprinter.setPageSize(QPageSize(QPageSize::A7));
    back.ReadFrom(qprinter, forms);
    EXPECT_EQ(back.PaperSize(), QPageSize(QPageSize::A7).windowsId());
    EXPECT_EQ(back.FormName(), QString());
    EXPECT_EQ(back.PaperWidth(), 740);
    EXPECT_EQ(back.PaperLength(), 1050);
    EXPECT_EQ(back.PageSize(forms, QPageSize(QPageSize::A4)).id(), QPageSize::A7);
}

} // namespace
