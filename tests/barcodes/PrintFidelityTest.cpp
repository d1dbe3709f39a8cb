// Barcodes printed to PDF through the print loop and read back with
// poppler: nothing of a symbol is embedded lossily (a picture is 1-bit,
// never JPEG), its bars land on whole pixels of the page rendered at 300 and
// 600 dpi with exactly the widths of the symbol bitmap, and a run of labels
// whose data changes on every label shows each label's own data.

#include "BarcodeTestSupport.h"

#include "ElementList.h"
#include "ModelClasses.h"
#include "Paper.h"
#include "SignData.h"
#include "Text.h"
#include "VariableParts.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>

#include <vector>

using namespace barcode_test;

namespace {

// One line of "pdfimages -list": what a PDF image is and how it is stored.
struct PdfImage
{
    int width = 0;
    int height = 0;
    QString type;  // image, mask, smask, stencil
    QString color; // gray, rgb, ...
    int bpc = 0;
    QString encoding; // image (Flate), jpeg, jpx, ccitt, jbig2, ...
};

std::vector<PdfImage> ListImages(const QString& pdf)
{
    std::vector<PdfImage> images;
    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!list.waitForFinished(60000) || list.exitCode() != 0)
        return images;
    const QStringList lines = QString::fromUtf8(list.readAllStandardOutput()).split(u'\n');
    for (const QString& line : lines) {
        const QStringList f = line.simplified().split(u' ');
        // page num type width height color comp bpc enc ...
        bool number = false;
        f.value(0).toInt(&number);
        if (!number || f.size() < 9)
            continue;
        PdfImage image;
        image.type = f[2];
        image.width = f[3].toInt();
        image.height = f[4].toInt();
        image.color = f[5];
        image.bpc = f[7].toInt();
        image.encoding = f[8];
        images.push_back(image);
    }
    return images;
}

// A page of the PDF as poppler renders it, in grey levels.
QImage RenderPage(const QString& pdf, int page, int dpi)
{
    QProcess render;
    const QString prefix = pdf + QStringLiteral("-%1-%2").arg(page).arg(dpi);
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                  QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page),
                  QStringLiteral("-l"), QString::number(page), pdf, prefix});
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        return QImage();
    // A4 at 600 dpi is larger than Qt reads by default.
    QImageReader::setAllocationLimit(1024);
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// The runs of one colour (0 black, 1 white) along a line of pixels, from
// the first black pixel to the last; grey pixels are counted apart.
struct Scan
{
    std::vector<int> runs;
    int grey = 0;
};

template <typename Pixel> Scan ScanLine(int length, Pixel pixel)
{
    Scan scan;
    int first = 0;
    while (first < length && pixel(first) != 0)
        ++first;
    int last = length - 1;
    while (last >= first && pixel(last) != 0)
        --last;
    int colour = -1;
    for (int i = first; i <= last; ++i) {
        const int p = pixel(i);
        if (p != 0 && p != 255)
            ++scan.grey;
        const int c = p < 128 ? 0 : 1;
        if (c == colour) {
            ++scan.runs.back();
        } else {
            scan.runs.push_back(1);
            colour = c;
        }
    }
    return scan;
}

// The bars across the middle of a barcode's bar rectangle on a rendered
// page: along a row for upright symbols, down a column for turned ones.
Scan ScanPage(const QImage& page, const CBarcode& barcode, int dpi)
{
    const CRect r = barcode.m_barRect;
    const double px = dpi / 254.0;
    const bool upright = barcode.m_orientation == 0 || barcode.m_orientation == 180;
    const int from = int((upright ? r.left - 10 : r.top - 10) * px);
    const int to = int((upright ? r.right + 10 : r.bottom + 10) * px);
    const int across = int((upright ? (r.top + r.bottom) / 2 : (r.left + r.right) / 2) * px);
    return ScanLine(to - from, [&](int i) {
        const int x = upright ? from + i : across;
        const int y = upright ? across : from + i;
        if (!page.rect().contains(x, y))
            return 255;
        return int(page.constScanLine(y)[x]);
    });
}

// The same across the symbol bitmap itself, each pixel taken scale times.
Scan ScanBitmap(const CBarcode& barcode, int scale)
{
    const QImage& bits = barcode.m_bitmap;
    const bool upright = barcode.m_orientation == 0 || barcode.m_orientation == 180;
    const int length = upright ? bits.width() : bits.height();
    const int across = upright ? bits.height() / 2 : bits.width() / 2;
    Scan scan = ScanLine(length, [&](int i) {
        return bits.pixelIndex(upright ? i : across, upright ? across : i) == 1 ? 0 : 255;
    });
    for (int& run : scan.runs)
        run *= scale;
    return scan;
}

// A page rectangle (tenths of a millimetre) cut from a page image.
QImage Crop(const QImage& page, const CRect& tmm, int dpi)
{
    const double px = dpi / 254.0;
    const QRect area(QPoint(int(tmm.left * px), int(tmm.top * px)),
                     QPoint(int(tmm.right * px), int(tmm.bottom * px)));
    return page.copy(area.intersected(page.rect()));
}

class PrintFidelityFixture : public BarcodeFixture
{
protected:
    void SetUp() override
    {
        BarcodeFixture::SetUp();
        savedHooks = SignHooks();
        RegisterModelElementClasses();
        RegisterVariableSignParts();
        RegisterBarcodeClasses();
        ThePaper().Init(QStringLiteral("A4"));
        ASSERT_TRUE(ThePaper().SelectStock(QStringLiteral("A4")));
    }
    void TearDown() override
    {
        SignHooks() = savedHooks;
        BarcodeFixture::TearDown();
    }

    CBarcode* AddBarcode(const char* className, const QString& data, CPoint origin,
                         int orientation = 0, int addOn = 0)
    {
        auto* barcode =
            dynamic_cast<CBarcode*>(TheElementList().CreateElement(QString::fromLatin1(className)));
        if (!barcode)
            return nullptr;
        barcode->SetAddOnDigits(addOn);
        barcode->m_showHumanReadable = TRUE;
        barcode->m_orientation = orientation;
        barcode->m_origin = origin;
        barcode->m_data = data;
        barcode->ComputeLayout();
        barcode->Regenerate();
        barcode->RecalcPosition(nullptr);
        return barcode;
    }

    CSignHooks savedHooks;
};

} // namespace

// Symbols made for 300 and 600 dpi printers, upright, upside down and
// turned, with an add-on, and the placeholder picture: in the PDF every
// image is 1-bit and none is JPEG; on pages rendered at the symbol's resolution and at whole
// multiples of it every bar has the bitmap's width times the multiple, with no grey pixel at any
// edge, and every symbol decodes.
TEST_F(PrintFidelityFixture, BarcodesReachThePdfLosslesslyWithBarsOnWholePixels)
{
    struct Symbol
    {
        const char* className;
        const char* data;
        int orientation;
        int addOn;
        ZXing::BarcodeFormat format;
        std::string decoded;
    };
    using F = ZXing::BarcodeFormat;
    const std::vector<Symbol> symbols = {
        {"CCode128Auto", "TAB0000001", 0, 0, F::Code128, "TAB0000001"},
        {"CCode128B", "Bars 42", 180, 0, F::Code128, "Bars 42"},
        {"CCode128Auto", "TURNED 123456", 90, 0, F::Code128, "TURNED 123456"},
        {"CEan13", "50123456789012", 0, 2, F::EAN13, "5012345678900 12"},
    };
    const CPoint origins[] = {{150, 150}, {1800, 700}, {1200, 1100}, {150, 1300}};

    for (const int symbolDpi : {300, 600}) {
        SCOPED_TRACE(symbolDpi);
        TheElementList().DeleteAll();
        CBarcode::SetResolutionOverride(symbolDpi);
        std::vector<CBarcode*> barcodes;
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            const Symbol& s = symbols[i];
            CBarcode* barcode = AddBarcode(s.className, QString::fromLatin1(s.data), origins[i],
                                           s.orientation, s.addOn);
            ASSERT_NE(barcode, nullptr) << s.className;
            ASSERT_FALSE(barcode->IsShowingInvalid()) << s.data;
            barcodes.push_back(barcode);
        }
        // The placeholder of data a symbol cannot carry, a picture of text.
        CBarcode* invalid = AddBarcode("CEan13", QStringLiteral("NOT DIGITS"), CPoint(1100, 2300));
        ASSERT_NE(invalid, nullptr);
        ASSERT_TRUE(invalid->IsShowingInvalid());

        CSignData sign;
        sign.m_title = QStringLiteral("Fidelity");
        const QString pdf = home.filePath(QStringLiteral("fidelity-%1.pdf").arg(symbolDpi));
        ASSERT_TRUE(ThePrinter().PrintSign(sign, 1, pdf, 0));
        ASSERT_TRUE(ThePrinter().EndJob());

        // Bars go out as rectangles on device pixels; whatever goes out as
        // an image must be 1-bit.
        const std::vector<PdfImage> images = ListImages(pdf);
        for (const PdfImage& image : images) {
            EXPECT_NE(image.encoding, QStringLiteral("jpeg")) << "a barcode was stored as JPEG";
            EXPECT_NE(image.encoding, QStringLiteral("jpx"));
            EXPECT_EQ(image.bpc, 1)
                << image.width << " x " << image.height << " " << image.color.toStdString();
        }

        for (const int renderDpi : {300, 600}) {
            if (renderDpi % symbolDpi != 0)
                continue; // a 600 dpi symbol cannot be exact on a 300 dpi page
            SCOPED_TRACE(renderDpi);
            const QImage page = RenderPage(pdf, 1, renderDpi);
            ASSERT_FALSE(page.isNull()) << "pdftoppm could not render the page";
            for (std::size_t i = 0; i < symbols.size(); ++i) {
                const Symbol& s = symbols[i];
                SCOPED_TRACE(s.data);
                const CBarcode& barcode = *barcodes[i];
                const Scan printed = ScanPage(page, barcode, renderDpi);
                EXPECT_EQ(printed.grey, 0) << "bar edges between pixels";
                const Scan expected = ScanBitmap(barcode, renderDpi / symbolDpi);
                EXPECT_EQ(printed.runs, expected.runs);

                CRect area = CRect::Union(barcode.m_bounds, barcode.m_barRect);
                area.InflateRect(60, 60, 60, 60);
                const Decoded decoded = Decode(Crop(page, area, renderDpi), s.format,
                                               s.addOn ? ZXing::EanAddOnSymbol::Require
                                                       : ZXing::EanAddOnSymbol::Ignore);
                EXPECT_EQ(decoded.text, s.decoded);
            }
        }
    }
}

// A run of labels on a 3 x 8 sheet, the name and the code given before each
// label as the print loop's caller does: every label's symbol decodes to its
// own code, on the first sheet and on the next.
TEST_F(PrintFidelityFixture, EveryLabelOfARunShowsItsOwnData)
{
    CPaperStock stock;
    ThePaper().GetStock(QString(), stock);
    stock.category = QStringLiteral("Test");
    stock.name = QStringLiteral("70 x 37");
    stock.builtIn = 0;
    stock.columns = 3;
    stock.rows = 8;
    stock.labelWidth = 700;
    stock.labelHeight = 370;
    stock.horzPitch = 7000;
    stock.vertPitch = 3700;
    stock.leftMargin = 0;
    stock.topMargin = 5;
    ThePaper().SetStock(stock);
    ASSERT_TRUE(ThePaper().SelectStock(stock.name));

    auto* name = dynamic_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
    ASSERT_NE(name, nullptr);
    name->BeginCreate(nullptr, 40, 30);
    CBarcode* code = AddBarcode("CCode128Auto", QStringLiteral("TAB0000000"), CPoint(100, 140));
    ASSERT_NE(code, nullptr);
    code->m_height = 100;
    code->Regenerate();
    code->RecalcPosition(nullptr);
    const CRect codeArea = CRect::Union(code->m_bounds, code->m_barRect);

    const auto codeOf = [](int i) {
        return QStringLiteral("TAB%1").arg(i, 7, 10, QLatin1Char('0'));
    };
    constexpr int kLabels = 30; // a full sheet and part of the next
    CSignData sign;
    sign.m_title = QStringLiteral("Run");
    const QString pdf = home.filePath(QStringLiteral("run.pdf"));
    ASSERT_TRUE(ThePrinter().BeginJob(sign, 1, pdf));
    for (int i = 1; i <= kLabels; ++i) {
        name->SetDataText(QStringLiteral("Product %1").arg(i), SOURCE_KEYBOARD, QString(), TRUE);
        code->SetDataText(codeOf(i), SOURCE_KEYBOARD, QString(), TRUE);
        ASSERT_TRUE(ThePrinter().PrintSign(sign, 1, pdf, 0));
    }
    ASSERT_TRUE(ThePrinter().EndJob());

    const int dpi = 300;
    for (int pageNumber = 1; pageNumber <= 2; ++pageNumber) {
        const QImage page = RenderPage(pdf, pageNumber, dpi);
        ASSERT_FALSE(page.isNull());
        const int onPage = pageNumber == 1 ? 24 : kLabels - 24;
        for (int cell = 0; cell < onPage; ++cell) {
            const int label = (pageNumber - 1) * 24 + cell + 1;
            SCOPED_TRACE(label);
            CRect area = codeArea;
            area.OffsetRect(700 * (cell % 3), 5 + 370 * (cell / 3));
            area.InflateRect(60, 40, 60, 40);
            const Decoded decoded = Decode(Crop(page, area, dpi), ZXing::BarcodeFormat::Code128);
            EXPECT_EQ(decoded.text, codeOf(label).toStdString());
        }
    }
}

// Giving a barcode the data it already shows keeps the symbol it has (the
// next copy of a label costs nothing); other data, or another resolution,
// makes a new one.
TEST_F(PrintFidelityFixture, TheSymbolIsMadeAgainOnlyWhenDataOrResolutionChange)
{
    CBarcode* barcode = AddBarcode("CCode128Auto", QStringLiteral("TAB0000001"), CPoint(100, 100));
    ASSERT_NE(barcode, nullptr);
    const auto give = [barcode](const char* data) {
        barcode->SetDataText(QString::fromLatin1(data), SOURCE_KEYBOARD, QString(), TRUE);
        return barcode->m_bitmap.cacheKey();
    };
    const qint64 first = give("TAB0000001");
    EXPECT_EQ(give("TAB0000001"), first) << "the same data made the symbol again";

    const qint64 second = give("TAB0000002");
    EXPECT_NE(second, first);
    const Decoded decoded =
        Decode(WithQuietZone(barcode->m_bitmap, 40), ZXing::BarcodeFormat::Code128);
    EXPECT_EQ(decoded.text, "TAB0000002");

    CBarcode::SetResolutionOverride(300);
    EXPECT_NE(give("TAB0000002"), second) << "a symbol for another resolution was kept";
    EXPECT_EQ(barcode->m_bitmapDpi, CSize(300, 300));
}
