#include "SignReaderTarget.h"

#include "AppContext.h"
#include "ArcText.h"
#include "Barcode.h"
#include "BarcodeParts.h"
#include "Box.h"
#include "DC.h"
#include "DateTime.h"
#include "ElementList.h"
#include "IncNumber.h"
#include "Line.h"
#include "LogFont.h"
#include "MessageBox.h"
#include "OptionList.h"
#include "ModelClasses.h"
#include "PageLabels.h"
#include "Paper.h"
#include "PriceCalculation.h"
#include "Printer.h"
#include "SignApp.h"
#include "SignData.h"
#include "Symbol.h"
#include "Text.h"
#include "VariableList.h"
#include "VariableParts.h"

#include "../model/TestElements.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <memory>
#include <new>

namespace {

QTemporaryDir* g_home = nullptr;

// The program measures its fonts with one provider for its whole run; each
// input here has an application context of its own, and this hands them the
// one long-lived provider, so that faces are loaded once as in the program.
class CProcessFontMetrics : public CFontMetricsProvider
{
public:
    bool Measure(const LogFontFields& lf, CFontMeasures& out) override
    {
        return Shared().Measure(lf, out);
    }
    bool GetTextMetrics(const LogFontFields& lf, CTextMetrics& out) override
    {
        return Shared().GetTextMetrics(lf, out);
    }
    CFaceInfo EnumerateFace(const QString& face) override { return Shared().EnumerateFace(face); }

private:
    static CPrinterFontMetrics& Shared()
    {
        static CPrinterFontMetrics* shared = new CPrinterFontMetrics;
        return *shared;
    }
};

void UseProcessFontMetrics()
{
    CFontMetricsProvider::Install(std::make_unique<CProcessFontMetrics>());
}

// Screen pixels per millimetre as the tests set them, and the printer's.
constexpr double kScreenDpi = 4 * 25.4;
constexpr double kPrinterDpi = 600;
// The picture each element is drawn into: enough to hold the start of any
// element at either resolution.
constexpr int kPicturePx = 192;

void DrawEverything()
{
    CElementList& list = TheElementList();
    for (CElement* element : list)
        element->RecalcPosition(nullptr);
    for (double dpi : {kScreenDpi, kPrinterDpi}) {
        // each element on its own, with its top-left corner in the picture
        for (CElement* element : list) {
            CImageDC dc(kPicturePx, kPicturePx, dpi, dpi);
            dc.SetTenthsMmMapping();
            CRect bounds = element->m_bounds;
            bounds.NormalizeRect();
            dc.SetWindowOrg(bounds.left, bounds.top);
            element->Draw(&dc, bounds);
        }
        // and the whole sign as the canvas draws it
        CImageDC dc(kPicturePx, kPicturePx, dpi, dpi);
        dc.SetTenthsMmMapping();
        list.Draw(&dc, CRect(-100000, -100000, 100000, 100000));
    }
}

} // namespace

void PrepareSignReading()
{
    if (g_home)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TABREL_DEFAULT_PRINTER", "Tabrel PDF");
    qputenv("TABREL_PX_PER_MM", "4");
    // The folder goes with the process: a test run leaves no folder behind.
    static QTemporaryDir home;
    g_home = &home;
    qputenv("TABREL_HOME", g_home->path().toUtf8());
    CSignApp::SetProfileFolderForTests(g_home->path());
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "sign_reader";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    RegisterModelElementClasses();
    RegisterVariableSignParts();
    RegisterBarcodeClasses();
}

QString UseSign(CSignData& document, bool print)
{
    DrawEverything();
    const QDir home(g_home->path());
    document.WriteXml(home.filePath(QStringLiteral("used.txt")));
    const QString path = home.filePath(QStringLiteral("used.sgn"));
    QFile::remove(path);
    if (!document.OnSaveDocument(path))
        return QStringLiteral("the sign read could not be saved");

    // What the program wrote, it reads back.
    CSignData reopened;
    if (!reopened.OnOpenDocument(path))
        return QStringLiteral("the sign saved could not be read back");
    DrawEverything();
    if (print) {
        const QString pdf = home.filePath(QStringLiteral("used.pdf"));
        ThePrinter().PrintSign(reopened, 1, pdf, 0);
        ThePrinter().EndJob();
        QFile::remove(pdf);
    }
    reopened.DeleteContents();
    return QString();
}

SignOutcome ReadSignBytes(const std::uint8_t* data, std::size_t size, SignUse use)
{
    PrepareSignReading();
    CAppContext context;
    UseProcessFontMetrics();
    CMessageResponder messages; // every question answered with its default
    ThePaper().Init("A4");
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    SignOutcome outcome;
    CSignData document;
    CArchive ar(&bytes, CArchive::load);
    try {
        document.Serialize(ar);
        outcome.read = true;
    } catch (const CArchiveException&) {
    } catch (const CUserException&) {
    } catch (const std::bad_alloc&) {
    }
    if (outcome.read && use != SignUse::ReadOnly)
        outcome.problem = UseSign(document, use == SignUse::Print);
    document.DeleteContents();
    return outcome;
}

QByteArray MakeSeedSign()
{
    PrepareSignReading();
    CAppContext context;
    UseProcessFontMetrics();
    ThePaper().Init("A4");
    CSignData document;
    document.m_title = "Seed";
    document.m_author = "Tests";
    CElementList& list = TheElementList();
    CTestRect* box = MakeRect(list, "Box1", CRect(10, 20, 300, 400));
    box->SetDataSource(SOURCE_KEYBOARD, "");
    box->m_prefix = "$";
    auto* line = new CTestLine;
    line->m_name = "Line1";
    line->m_to = CPoint(100, 0);
    list.AddTail(line);
    for (const char* cls : {"CBox", "CEllipse", "CLine"}) {
        CElement* shape = list.CreateElement(cls);
        if (shape)
            shape->SetBounds(nullptr, CRect(50, 60, 250, 160));
    }
    // text with runs of several fonts, in a frame
    if (auto* text = dynamic_cast<CText*>(list.CreateElement("CText"))) {
        text->m_position = CPoint(100, 300);
        text->m_formatRect = CRect(100, 300, 700, 500);
        text->SetSampleData(nullptr, QStringLiteral("<b>Big</b> <font size=\"+50\">sale</font>\n"
                                                    "<i>now</i> <font face=\"Courier New\">"
                                                    "only</font><sup>99</sup>"));
        CBox frame;
        text->SetFrameBox(&frame);
        // Copy-fit is left to the mutations that switch it on: its search
        // measures the text a dozen times, too slow for every input.
        text->Reformat(nullptr, TRUE);
    }
    // barcodes of both families, with their texts
    const struct
    {
        const char* cls;
        const char* data;
    } codes[] = {{"CEan13", "501234567890"}, {"CCode128B", "Tabrel 42"}};
    int top = 600;
    for (const auto& code : codes) {
        if (auto* barcode = dynamic_cast<CBarcode*>(list.CreateElement(code.cls))) {
            barcode->m_data = barcode->m_sampleData = QString::fromLatin1(code.data);
            barcode->m_origin = CPoint(100, top);
            barcode->Regenerate();
            barcode->RecalcPosition(nullptr);
            top = barcode->m_bounds.bottom + 100;
        }
    }
    // text along a small circle, and a symbol turned a quarter
    if (auto* arc = dynamic_cast<CArcText*>(list.CreateElement("CArcText"))) {
        arc->SetSampleData(nullptr, QStringLiteral("Round"));
        arc->SetBounds(nullptr, CRect(800, 100, 1000, 300));
    }
    if (auto* symbol = dynamic_cast<CSymbol*>(list.CreateElement("CSymbol"))) {
        symbol->SetSampleData(nullptr, QStringLiteral("#"));
        symbol->SetAngle(nullptr, 90);
        symbol->BeginCreate(nullptr, 900, 500);
    }
    // the everyday variables, a counter feeding a text
    CVariableList& variables = TheVariableList();
    if (auto* number = dynamic_cast<CIncNumber*>(
            variables.CreateVariable(VARIABLE_INCREMENTING, QStringLiteral("No")))) {
        number->m_startValue = QStringLiteral("A9");
        number->m_style = CIncNumber::STYLE_ALPHANUMERIC;
        number->m_limitAction = CIncNumber::LIMIT_RESTART;
        number->m_limitValue = QStringLiteral("B2");
    }
    if (auto* stamp = dynamic_cast<CDateTime*>(
            variables.CreateVariable(VARIABLE_DATE_TIME, QStringLiteral("Packed")))) {
        stamp->m_format = QStringLiteral("%d %B %U");
        stamp->m_offsetDays = 3;
    }
    if (auto* calc = dynamic_cast<CPriceCalculation*>(
            variables.CreateVariable(VARIABLE_PRICE_CALC, QStringLiteral("Offer")))) {
        calc->m_type = CPriceCalculation::CALC_DISCOUNTED_PRICE;
        calc->m_inputs[0] = {SOURCE_ELEMENT, QStringLiteral("Box1"), QString(), QString()};
        calc->m_inputs[1].data = QStringLiteral("20");
    }
    if (auto* options = dynamic_cast<COptionList*>(
            variables.CreateVariable(VARIABLE_OPTION_LIST, QStringLiteral("Size")))) {
        options->m_options = {QStringLiteral("Small"), QStringLiteral("Large")};
        options->m_dataValues = {QStringLiteral("S"), QStringLiteral("L")};
        options->m_separateData = TRUE;
    }
    if (auto* counted = dynamic_cast<CText*>(list.CreateElement("CText"))) {
        counted->m_position = CPoint(100, 1300);
        counted->SetSampleData(nullptr, QStringLiteral("1"));
        counted->SetDataSource(SOURCE_INCREMENTING, QStringLiteral("No"));
    }
    ThePageLabels().Item(CPageLabels::HEADER).print = 1;
    ThePageLabels().Item(CPageLabels::HEADER).format = "$f:Page $p:$d<%Y>";
    TheSignSettings().columnWidths = {10, 20};
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    document.Serialize(ar);
    return bytes;
}
