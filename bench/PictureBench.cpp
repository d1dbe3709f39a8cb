// Printing a run of labels that each carry a photo: 240 labels (ten A4
// sheets of 3 x 8) with a 1200 x 800 photo of about 50 x 33 mm, given to
// every label as data the way a record run gives it, printed to a PDF in one
// job. The "decodes" counter shows the photo is decoded once for the run.
// Beside it, labels with a QR Code, a name and a small picture: the code and
// the name change on every label, the picture stays; the run fails when the
// QR Codes of its first and last page do not read back as their labels'.
#include "AppContext.h"
#include "Barcode.h"
#include "BenchSupport.h"
#include "ElementList.h"
#include "Image.h"
#include "LabelRun.h"
#include "MessageBox.h"
#include "Paper.h"
#include "Printer.h"
#include "ShellParts.h"
#include "SignData.h"
#include "Text.h"
#include "TestSupport.h"

#include <QFile>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

QImage Photo()
{
    QImage image(1200, 800, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 7 + y) % 256, (y * 3) % 256, (x ^ y) % 256);
    }
    return image;
}

void BM_PrintPhotoLabels(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    RegisterAllClasses();
    const int count = int(state.range(0));
    const QString photo = home.FilePath("photo.jpg");
    Photo().save(photo, "JPEG", 90);
    quint64 decodes = 0;
    for (auto _ : state) {
        CAppContext context;
        CMessageResponder messages;
        CPictureBitmap::ClearCache();
        ThePaper().Init("A4");
        bench::UseLabelSheet();
        CSignData sign;
        sign.m_title = "Photo labels";
        auto* picture = static_cast<CImage*>(TheElementList().CreateElement("CImage"));
        const quint64 before = CPictureBitmap::DecodeCount();
        picture->LoadFile(nullptr, photo);
        picture->BeginCreate(nullptr, 20, 20);
        picture->m_pictureRect = CRect(20, 20, 520, 353);
        picture->m_frameRect = picture->m_pictureRect;
        picture->m_dataSource = SOURCE_KEYBOARD;
        const QString out = home.FilePath("photos.pdf");
        CPrinter& printer = ThePrinter();
        BOOL ok = printer.BeginJob(sign, 1, out);
        for (int i = 1; i <= count && ok; ++i) {
            picture->SetDataText(photo, SOURCE_KEYBOARD, QString(), TRUE);
            ok = printer.PrintSign(sign, 1, out, 0);
        }
        ok = printer.EndJob() && ok;
        if (!ok || messages.Count() > 0)
            state.SkipWithError("printing failed");
        decodes = CPictureBitmap::DecodeCount() - before;
        state.counters["bytes"] = double(QFile(out).size());
    }
    state.counters["decodes"] = double(decodes);
    // Seconds per label ("2.9m" is 2.9 ms).
    state.counters["per_label"] =
        benchmark::Counter(double(count) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrintPhotoLabels)->Arg(240)->Unit(benchmark::kMillisecond)->Iterations(1);

// What the QR Code of label i holds.
QString QrData(int i)
{
    return QStringLiteral("https://example.com/p/") + bench::LabelCode(i);
}

void BM_PrintQrPictureLabels(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    RegisterAllClasses();
    const int count = int(state.range(0));
    const QString photo = home.FilePath("logo.png");
    Photo().scaled(300, 200).save(photo, "PNG");
    for (auto _ : state) {
        CAppContext context;
        CMessageResponder messages;
        CPictureBitmap::ClearCache();
        ThePaper().Init("A4");
        bench::UseLabelSheet();
        CSignData sign;
        sign.m_title = "QR labels";
        auto* picture = static_cast<CImage*>(TheElementList().CreateElement("CImage"));
        picture->LoadFile(nullptr, photo);
        picture->BeginCreate(nullptr, 420, 30);
        picture->m_pictureRect = CRect(420, 30, 660, 190);
        picture->m_frameRect = picture->m_pictureRect;
        auto* name = static_cast<CText*>(TheElementList().CreateElement("CText"));
        name->BeginCreate(nullptr, 40, 30);
        name->m_dataSource = SOURCE_KEYBOARD;
        auto* qr = static_cast<CBarcode*>(TheElementList().CreateElement("CQRCode"));
        qr->m_dataSource = SOURCE_KEYBOARD;
        qr->m_origin = CPoint(60, 120);
        const auto fill = [&](int i) {
            name->SetDataText(bench::LabelName(i), SOURCE_KEYBOARD, QString(), TRUE);
            qr->SetDataText(QrData(i), SOURCE_KEYBOARD, QString(), TRUE);
        };
        fill(1);
        qr->RecalcPosition(nullptr);
        const QString out = home.FilePath("qr.pdf");
        CPrinter& printer = ThePrinter();
        BOOL ok = printer.BeginJob(sign, 1, out);
        for (int i = 1; i <= count && ok; ++i) {
            fill(i);
            ok = printer.PrintSign(sign, 1, out, 0);
        }
        ok = printer.EndJob() && ok;
        if (!ok || messages.Count() > 0)
            state.SkipWithError("printing failed");
        state.counters["bytes"] = double(QFile(out).size());
        state.PauseTiming();
        const bool decoded = bench::LabelsDecode(out, count, bench::Symbols::QrCode, QrData);
        state.ResumeTiming();
        if (ok && !decoded)
            state.SkipWithError("the printed QR Codes do not read back");
    }
    state.counters["per_label"] =
        benchmark::Counter(double(count) * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrintQrPictureLabels)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
