// Picture elements: the formats read, each processing step on pixels, the
// error codes and their messages, the stored-path rules, the record (its
// byte layout, version gates and damaged copies), turning, fitting, data
// links, undo copies, drawing and the decoded-file cache.
#include "Image.h"

#include "AppContext.h"
#include "DC.h"
#include "Damage.h"
#include "ElementDefaults.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "ModelClasses.h"
#include "SignApp.h"
#include "TestSupport.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <magick/api.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// 40 x 20 pixels: the left half red, the right half blue, one green pixel
// in the top-left corner.
QImage TwoColourImage()
{
    QImage image(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, x < 20 ? kRed : kBlue);
    return image;
}

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// A placeable Windows metafile: a frame of width x height units at so many
// units an inch, a red solid brush, then the given number of rectangles
// each covering the whole frame.
QByteArray Metafile(quint16 width, quint16 height, quint16 inch, int rectangles)
{
    QByteArray records;
    auto record = [&records](quint16 function, std::initializer_list<qint16> params) {
        const quint32 size = 3 + quint32(params.size());
        records.append(reinterpret_cast<const char*>(&size), 4);
        records.append(reinterpret_cast<const char*>(&function), 2);
        for (qint16 p : params)
            records.append(reinterpret_cast<const char*>(&p), 2);
    };
    record(0x020B, {0, 0});                                     // window origin
    record(0x020C, {qint16(height), qint16(width)});            // window extent
    record(0x02FC, {0, 0x00FF, 0, 0});                          // a red solid brush
    record(0x012D, {0});                                        // selected
    for (int i = 0; i < rectangles; ++i)
        record(0x041B, {qint16(height), qint16(width), 0, 0}); // the rectangle
    record(0x0000, {});
    QByteArray bytes;
    auto put16 = [&bytes](quint16 v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    auto put32 = [&bytes](quint32 v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    put32(0x9AC6CDD7);
    put16(0);
    for (quint16 v : {quint16(0), quint16(0), width, height})
        put16(v);
    put16(inch);
    put32(0);
    quint16 check = 0;
    for (int i = 0; i < 20; i += 2)
        check ^= quint16(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8));
    put16(check);
    put16(1);
    put16(9);
    put16(0x300);
    put32(quint32(18 + records.size()) / 2);
    put16(1);
    put32(8);
    put16(0);
    return bytes + records;
}

// Writes the image through GraphicsMagick in the named format.
bool WriteWithMagick(const QImage& source, const QString& path, const char* format)
{
    InitializeMagick(nullptr);
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    QByteArray pixels;
    for (int y = 0; y < rgb.height(); ++y)
        pixels.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    ExceptionInfo exception;
    GetExceptionInfo(&exception);
    Image* image = ConstituteImage(rgb.width(), rgb.height(), "RGB", CharPixel, pixels.constData(),
                                   &exception);
    bool ok = false;
    if (image) {
        ImageInfo* info = CloneImageInfo(nullptr);
        const QByteArray name = QByteArray(format) + ':' + QFile::encodeName(path);
        std::strncpy(image->filename, name.constData(), MaxTextExtent - 1);
        std::strncpy(info->filename, name.constData(), MaxTextExtent - 1);
        ok = WriteImage(info, image) == MagickPass && QFile::exists(path);
        DestroyImageInfo(info);
        DestroyImage(image);
    }
    DestroyExceptionInfo(&exception);
    return ok;
}

class PictureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApp();
        RegisterModelElementClasses();
        CPictureBitmap::ClearCache();
        PictureHooks() = CPictureHooks();
        ASSERT_TRUE(dir.isValid());
        pngPath = dir.filePath("two.png");
        ASSERT_TRUE(TwoColourImage().save(pngPath));
    }
    void TearDown() override
    {
        PictureHooks() = CPictureHooks();
        CPictureBitmap::ClearCache();
    }

    // A picture element holding the file, placed at the anchor.
    std::unique_ptr<CImage> Picture(const QString& path, CPoint anchor = CPoint(100, 200))
    {
        auto image = std::make_unique<CImage>();
        EXPECT_TRUE(image->LoadFile(nullptr, path));
        image->BeginCreate(nullptr, anchor.x, anchor.y);
        return image;
    }

    QByteArray Store(CImage& image)
    {
        QByteArray bytes;
        CArchive ar(&bytes, CArchive::store);
        image.Serialize(ar);
        ar.Flush();
        return bytes;
    }

    std::unique_ptr<CImage> Read(const QByteArray& bytes, int version = 514)
    {
        App().fileVersion = version;
        QByteArray copy = bytes;
        CArchive ar(&copy, CArchive::load);
        auto image = std::make_unique<CImage>();
        image->Serialize(ar);
        App().fileVersion = 514;
        return image;
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    QTemporaryDir dir;
    QString pngPath;
};

// --- formats -------------------------------------------------------------------

TEST_F(PictureTest, ReadsEveryCommonFormatAndTheGraphicsMagickOnes)
{
    const QImage source = TwoColourImage();
    struct Case
    {
        const char* file;
        const char* qtFormat; // written by Qt, or
        const char* gmFormat; // written by GraphicsMagick
        int tolerance;        // lossy formats differ a little
    } cases[] = {
        {"a.png", "png", nullptr, 0},  {"a.jpg", "jpeg", nullptr, 40}, {"a.bmp", "bmp", nullptr, 0},
        {"a.tif", "tiff", nullptr, 0}, {"a.gif", nullptr, "GIF", 0},   {"a.pcx", nullptr, "PCX", 0},
        {"a.tga", nullptr, "TGA", 0},  {"a.ras", nullptr, "SUN", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dir.filePath(c.file);
        if (c.qtFormat) {
            QImageWriter writer(path, c.qtFormat);
            ASSERT_TRUE(writer.write(source)) << writer.errorString().toStdString();
        } else {
            ASSERT_TRUE(WriteWithMagick(source, path, c.gmFormat));
        }
        CPictureBitmap bitmap;
        ASSERT_EQ(bitmap.Load(path), PICTURE_OK);
        ASSERT_EQ(bitmap.Size(), QSize(40, 20));
        EXPECT_TRUE(Near(bitmap.Image().pixel(5, 10), kRed, c.tolerance));
        EXPECT_TRUE(Near(bitmap.Image().pixel(34, 10), kBlue, c.tolerance));
    }
    // A Windows metafile (drawn through libwmf): a red rectangle 100 x 50
    // units of 1/1440 inch, drawn at the printer's 600 dpi.
    const QString wmf = dir.filePath("a.wmf");
    {
        QByteArray records;
        auto record = [&records](quint16 function, std::initializer_list<qint16> params) {
            const quint32 size = 3 + quint32(params.size());
            records.append(reinterpret_cast<const char*>(&size), 4);
            records.append(reinterpret_cast<const char*>(&function), 2);
            for (qint16 p : params)
                records.append(reinterpret_cast<const char*>(&p), 2);
        };
        record(0x020B, {0, 0});            // window origin
        record(0x020C, {50, 100});         // window extent
        record(0x02FC, {0, 0x00FF, 0, 0}); // a red solid brush
        record(0x012D, {0});               // selected
        record(0x041B, {50, 100, 0, 0});   // the rectangle
        record(0x0000, {});
        QByteArray bytes;
        auto put16 = [&bytes](quint16 v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
        auto put32 = [&bytes](quint32 v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
        put32(0x9AC6CDD7);
        put16(0);
        for (quint16 v : {0, 0, 100, 50})
            put16(v);
        put16(1440);
        put32(0);
        quint16 check = 0;
        for (int i = 0; i < 20; i += 2)
            check ^= quint16(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8));
        put16(check);
        put16(1);
        put16(9);
        put16(0x300);
        put32(quint32(18 + records.size()) / 2);
        put16(1);
        put32(8);
        put16(0);
        bytes += records;
        QFile file(wmf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    CPictureBitmap metafile;
    ASSERT_EQ(metafile.Load(wmf), PICTURE_OK);
    EXPECT_NEAR(metafile.Width(), 42, 2);
    EXPECT_NEAR(metafile.Height(), 21, 2);
    EXPECT_TRUE(Near(metafile.Image().pixel(metafile.Width() / 2, metafile.Height() / 2),
                     qRgb(255, 0, 0), 0));

    // A PCX file under another name is still found by its first bytes.
    const QString renamed = dir.filePath("pcx-without-extension");
    ASSERT_TRUE(QFile::copy(dir.filePath("a.pcx"), renamed));
    CPictureBitmap bitmap;
    EXPECT_EQ(bitmap.Load(renamed), PICTURE_OK);
    EXPECT_EQ(bitmap.Size(), QSize(40, 20));
}

TEST_F(PictureTest, ErrorCodesGiveTheirMessages)
{
    const struct
    {
        int code;
        const char* message;
    } cases[] = {
        {-15, "Unsupported picture format f.x"},
        {-14, "Unsupported picture format f.x"},
        {-12, "Unsupported picture format f.x"},
        {-9, "Unsupported picture format f.x"},
        {-7, "Unsupported picture format f.x"},
        {-4, "Unsupported picture format f.x"},
        {50, "Unsupported picture format f.x"},
        {-6, "Unable to find file f.x"},
        {2, "Unable to find file f.x"},
        {-3, "Insufficient memory"},
        {-1, "Insufficient memory"},
        {-13, "Picture processing error 13"},
        {7, "Picture processing error 7"},
        {-10, "Picture processing error 10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureErrorMessage(c.code, "f.x"), QString::fromUtf8(c.message)) << c.code;

    // What real files give.
    const QString garbage = dir.filePath("garbage.png");
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is not a picture at all, only words");
    file.close();
    const QString empty = dir.filePath("empty.bmp");
    QFile(empty).open(QIODevice::WriteOnly);
    const struct
    {
        QString path;
        QString message;
    } files[] = {
        {dir.filePath("missing.png"), "Unable to find file " + dir.filePath("missing.png")},
        {garbage, "Unsupported picture format " + garbage},
        {empty, "Unsupported picture format " + empty},
        {dir.path(), "Unable to find file " + dir.path()},
        {"/dev/zero", "Unsupported picture format /dev/zero"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.path.toStdString());
        messages.Clear();
        CImage image;
        EXPECT_FALSE(image.LoadFile(nullptr, f.path));
        EXPECT_FALSE(image.m_bitmap.IsAllocated());
        EXPECT_TRUE(image.m_filePath.isEmpty());
        ASSERT_EQ(messages.Count(), 1);
        EXPECT_EQ(messages.LastText(), f.message);
    }
}

// A metafile is drawn no larger than a picture may be, and one that holds
// more drawing than that is refused with the reason, once: loading it again
// (a run of labels) does not draw it again.
TEST_F(PictureTest, MetafilesAreDrawnWithinBoundsAndRefusedBeyondThem)
{
    const auto write = [this](const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    };
    // A page of 8.5 x 11 inches: drawn smaller than at 600 dpi, but whole.
    const QString page = write("page.wmf", Metafile(12240, 15840, 1440, 1));
    CPictureBitmap bitmap;
    ASSERT_EQ(bitmap.Load(page), PICTURE_OK);
    EXPECT_LE(qint64(bitmap.Width()) * bitmap.Height(), 9'000'000);
    EXPECT_GE(bitmap.Width(), 2000);
    EXPECT_NEAR(double(bitmap.Height()) / bitmap.Width(), 11.0 / 8.5, 0.01);
    EXPECT_TRUE(Near(bitmap.Image().pixel(bitmap.Width() / 2, bitmap.Height() / 2),
                     qRgb(255, 0, 0), 0));

    // An inch square of 300 rectangles is drawn as it is.
    const QString small = write("small.wmf", Metafile(1440, 1440, 1440, 300));
    ASSERT_EQ(bitmap.Load(small), PICTURE_OK);
    EXPECT_NEAR(bitmap.Width(), 600, 2);

    // A page of 2,000 rectangles each covering it: 28 kilobytes that would
    // cover sixty thousand million pixels.
    const QByteArray heavy = Metafile(12240, 15840, 1440, 2000);
    ASSERT_LT(heavy.size(), 30000);
    const QString busy = write("busy.wmf", heavy);
    const quint64 before = CPictureBitmap::DecodeCount();
    for (int label = 0; label < 3; ++label)
        EXPECT_EQ(bitmap.Load(busy), PICTURE_TOO_COMPLEX);
    EXPECT_FALSE(bitmap.IsAllocated());
    EXPECT_EQ(CPictureBitmap::DecodeCount(), before + 1);
    EXPECT_EQ(PictureErrorMessage(PICTURE_TOO_COMPLEX, busy),
              "Unsupported picture format " + busy +
                  ": it holds more drawing than a picture can be made of");
    messages.Clear();
    CImage image;
    EXPECT_FALSE(image.LoadFile(nullptr, busy));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_TRUE(messages.LastText().startsWith("Unsupported picture format " + busy + ": "));
}

TEST_F(PictureTest, DamagedPictureFilesAreRefusedSafely)
{
    const QImage source = TwoColourImage();
    const QString seeds[] = {"seed.png", "seed.bmp", "seed.gif", "seed.pcx", "seed.ras",
                             "seed.wmf"};
    ASSERT_TRUE(source.save(dir.filePath(seeds[0])));
    ASSERT_TRUE(source.save(dir.filePath(seeds[1])));
    ASSERT_TRUE(WriteWithMagick(source, dir.filePath(seeds[2]), "GIF"));
    ASSERT_TRUE(WriteWithMagick(source, dir.filePath(seeds[3]), "PCX"));
    ASSERT_TRUE(WriteWithMagick(source, dir.filePath(seeds[4]), "SUN"));
    {
        // A metafile of a few rectangles on an inch square.
        QFile wmf(dir.filePath(seeds[5]));
        ASSERT_TRUE(wmf.open(QIODevice::WriteOnly));
        wmf.write(Metafile(1440, 1440, 1440, 3));
    }
    std::mt19937 rng(23);
    for (const QString& seed : seeds) {
        QFile in(dir.filePath(seed));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray good = in.readAll();
        for (int i = 0; i < 60; ++i) {
            const QString path = dir.filePath(QStringLiteral("damaged-%1-%2").arg(i).arg(seed));
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(DamagedCopy(good, rng));
            out.close();
            CPictureBitmap bitmap;
            const int result = bitmap.Load(path);
            if (result == PICTURE_OK) {
                EXPECT_GT(bitmap.Width(), 0);
                EXPECT_LE(qint64(bitmap.Width()) * bitmap.Height(), kMaxPicturePixels);
            } else {
                EXPECT_FALSE(bitmap.IsAllocated());
            }
        }
    }
}

TEST_F(PictureTest, APictureIsDecodedOnceHoweverOftenItIsLoaded)
{
    const quint64 before = CPictureBitmap::DecodeCount();
    CPictureBitmap a, b, c;
    ASSERT_EQ(a.Load(pngPath), PICTURE_OK);
    ASSERT_EQ(b.Load(pngPath), PICTURE_OK);
    auto image = Picture(pngPath);
    ASSERT_TRUE(image->Rebuild(nullptr));
    EXPECT_EQ(CPictureBitmap::DecodeCount(), before + 1);

    // A file written anew is read anew.
    QImage changed = TwoColourImage();
    changed.setPixel(0, 0, 0xFF00FF00);
    const QString other = dir.filePath("changed.png");
    ASSERT_TRUE(changed.save(other));
    ASSERT_EQ(c.Load(other), PICTURE_OK);
    EXPECT_EQ(CPictureBitmap::DecodeCount(), before + 2);
    EXPECT_EQ(c.Image().pixel(0, 0), 0xFF00FF00);

    // Drawn smaller than its pixels, the picture is resampled once per size.
    const QImage& first = a.ForDevice(QSize(20, 10), true);
    const qint64 key = first.cacheKey();
    EXPECT_EQ(first.size(), QSize(20, 10));
    EXPECT_EQ(a.ForDevice(QSize(20, 10), true).cacheKey(), key);
    // The same file loaded again (as every label of a data run does) hands
    // the device the very same picture.
    ASSERT_EQ(a.Load(pngPath), PICTURE_OK);
    EXPECT_EQ(a.ForDevice(QSize(20, 10), true).cacheKey(), key);
    // Drawn larger, it is handed over as it is.
    EXPECT_EQ(a.ForDevice(QSize(80, 40), true).cacheKey(), a.Image().cacheKey());
}

// --- processing ------------------------------------------------------------------

TEST_F(PictureTest, EachProcessingStepChangesThePixels)
{
    CPictureBitmap bitmap;
    ASSERT_EQ(bitmap.Load(pngPath), PICTURE_OK);

    // A quarter turn clockwise: the red left half is now on top.
    CPictureBitmap turned = bitmap;
    ASSERT_EQ(turned.Rotate(9000), PICTURE_OK);
    EXPECT_EQ(turned.Size(), QSize(20, 40));
    EXPECT_EQ(turned.Image().pixel(10, 5), kRed);
    EXPECT_EQ(turned.Image().pixel(10, 34), kBlue);
    // Half a turn: red on the right.
    CPictureBitmap half = bitmap;
    ASSERT_EQ(half.Rotate(18000), PICTURE_OK);
    EXPECT_EQ(half.Image().pixel(34, 10), kRed);
    // Three quarters the same as a quarter turn back.
    CPictureBitmap back = bitmap;
    ASSERT_EQ(back.Rotate(-9000), PICTURE_OK);
    EXPECT_EQ(back.Image().pixel(10, 34), kRed);
    // An eighth of a turn grows the bitmap and fills its corners white.
    CPictureBitmap eighth = bitmap;
    ASSERT_EQ(eighth.Rotate(4500), PICTURE_OK);
    EXPECT_EQ(eighth.Size(), CPictureBitmap::TurnedSize(QSize(40, 20), 4500));
    EXPECT_GT(eighth.Width(), 40);
    EXPECT_EQ(eighth.Image().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);

    CPictureBitmap inverted = bitmap;
    ASSERT_EQ(inverted.Invert(), PICTURE_OK);
    EXPECT_EQ(inverted.Image().pixel(5, 5) & 0xFFFFFF, 0x00FFFFu);

    CPictureBitmap grey = bitmap;
    EXPECT_FALSE(grey.IsGrey());
    ASSERT_EQ(grey.Greyscale(), PICTURE_OK);
    EXPECT_TRUE(grey.IsGrey());
    EXPECT_EQ(qRed(grey.Image().pixel(5, 5)), qGray(kRed));
    EXPECT_EQ(qRed(grey.Image().pixel(34, 5)), qGray(kBlue));

    CPictureBitmap resized = bitmap;
    ASSERT_EQ(resized.Resize(80, 10), PICTURE_OK);
    EXPECT_EQ(resized.Size(), QSize(80, 10));
    EXPECT_EQ(resized.Image().pixel(2, 5), kRed);
    EXPECT_EQ(resized.Resize(0, 10), PICTURE_BAD_VALUE);

    // Brightness, contrast and gamma on a mid grey of 100.
    QImage midGrey(4, 4, QImage::Format_RGB32);
    midGrey.fill(qRgb(100, 100, 100));
    const struct
    {
        const char* step;
        int (CPictureBitmap::*apply)(int);
        int value;
        int expected;
    } tones[] = {
        {"brightness up", &CPictureBitmap::Brightness, 200, 151},
        {"brightness down", &CPictureBitmap::Brightness, -1000, 0},
        {"brightness full", &CPictureBitmap::Brightness, 1000, 255},
        {"contrast flat", &CPictureBitmap::Contrast, -1000, 128},
        {"contrast half", &CPictureBitmap::Contrast, -500, 114},
        {"contrast up", &CPictureBitmap::Contrast, 500, 72},
        {"contrast threshold", &CPictureBitmap::Contrast, 1000, 0},
        {"gamma lighter", &CPictureBitmap::Gamma, 200, 160},
        {"gamma darker", &CPictureBitmap::Gamma, 50, 39},
        {"gamma unchanged", &CPictureBitmap::Gamma, 100, 100},
    };
    for (const auto& t : tones) {
        SCOPED_TRACE(t.step);
        CPictureBitmap tone;
        tone.SetImage(midGrey);
        ASSERT_EQ((tone.*t.apply)(t.value), PICTURE_OK);
        EXPECT_EQ(qRed(tone.Image().pixel(1, 1)), t.expected);
        EXPECT_EQ(qBlue(tone.Image().pixel(1, 1)), t.expected);
    }
    CPictureBitmap outOfRange;
    outOfRange.SetImage(midGrey);
    EXPECT_EQ(outOfRange.Gamma(0), PICTURE_BAD_VALUE);
    EXPECT_EQ(outOfRange.Brightness(1001), PICTURE_BAD_VALUE);

    CPictureBitmap transparent = bitmap;
    ASSERT_EQ(transparent.SetTransparentColour(MakeRGB(0, 0, 255)), PICTURE_OK);
    EXPECT_EQ(qAlpha(transparent.Image().pixel(34, 5)), 0);
    EXPECT_EQ(qAlpha(transparent.Image().pixel(5, 5)), 255);

    CPictureBitmap none;
    EXPECT_EQ(none.Invert(), PICTURE_NO_BITMAP);
    EXPECT_EQ(none.Rotate(9000), PICTURE_NO_BITMAP);
}

TEST_F(PictureTest, AdjustmentsAreAppliedAfreshOnEveryLoad)
{
    auto image = Picture(pngPath);
    image->m_inverted = 1;
    image->m_greyScaled = 1;
    image->m_brightness = 200;
    ASSERT_TRUE(image->Rebuild(nullptr));
    const QRgb once = image->m_bitmap.Image().pixel(5, 5);
    // Red inverted is cyan (0, 255, 255); grey of that, then brighter.
    EXPECT_EQ(qRed(once), std::min(255, qGray(qRgb(0, 255, 255)) + 51));
    EXPECT_EQ(image->m_inverted, 1);
    // Saved and read back, the picture is inverted exactly once.
    auto copy = Read(Store(*image));
    EXPECT_EQ(copy->m_inverted, 1);
    EXPECT_EQ(copy->m_bitmap.Image().pixel(5, 5), once);
    // Reloading again gives the same picture, not one inverted back.
    ASSERT_TRUE(copy->Rebuild(nullptr));
    EXPECT_EQ(copy->m_bitmap.Image().pixel(5, 5), once);

    // A file that is grey already needs no conversion and loads.
    QImage grey(8, 8, QImage::Format_Grayscale8);
    grey.fill(90);
    const QString greyPath = dir.filePath("grey.png");
    ASSERT_TRUE(grey.save(greyPath));
    auto greyImage = Picture(greyPath);
    greyImage->m_greyScaled = 1;
    messages.Clear();
    EXPECT_TRUE(greyImage->Rebuild(nullptr));
    EXPECT_EQ(messages.Count(), 0);
    // Asked to grey it again by hand, nothing happens and nothing is said.
    EXPECT_FALSE(greyImage->GreyscalePicture(nullptr));
    EXPECT_EQ(messages.Count(), 0);
}

// --- geometry --------------------------------------------------------------------

TEST_F(PictureTest, NaturalSizeFollowsThePrinterAndTheSignClampsIt)
{
    // 40 x 20 pixels at 600 dpi: 1.69 x 0.85 mm.
    auto image = Picture(pngPath, CPoint(100, 200));
    EXPECT_EQ(image->NaturalSize(), CSize(17, 8));
    EXPECT_EQ(image->m_pictureRect, CRect(100, 200, 117, 208));
    EXPECT_EQ(image->m_designFilePath, pngPath);

    // A sign too small for it keeps the aspect ratio while it shrinks.
    QImage big(600, 300, QImage::Format_RGB32);
    big.fill(kRed);
    const QString bigPath = dir.filePath("big.png");
    ASSERT_TRUE(big.save(bigPath));
    PictureHooks().signSize = [] { return CSize(200, 500); };
    auto clamped = Picture(bigPath, CPoint(50, 10));
    EXPECT_EQ(clamped->m_pictureRect, CRect(50, 10, 200, 85));
    // A frame beyond the sign's corner is cut to the sign in each direction.
    auto outside = Picture(bigPath, CPoint(300, 600));
    EXPECT_EQ(outside->m_pictureRect.Width(), 200);
    EXPECT_EQ(outside->m_pictureRect.Height(), 127);
}

TEST_F(PictureTest, AZeroHeightNeverDividesTheAspectRules)
{
    PictureHooks().signSize = [] { return CSize(100, 100); };
    CImage image;
    ASSERT_TRUE(image.LoadFile(nullptr, pngPath));
    // A rectangle of no height past the sign's edge.
    image.m_pictureRect = CRect(10, 10, 500, 10);
    image.Reload(nullptr);
    EXPECT_LE(image.m_pictureRect.right, 100);

    image.m_pictureRect = CRect(50, 20, 400, 20);
    image.BeginCreate(nullptr, 50, 20);
    EXPECT_GE(image.m_pictureRect.Width(), 0);

    // Fitting a bitmap that has no pixels, or into no height.
    CImage emptyBitmap;
    emptyBitmap.FitInRect(nullptr, CRect(0, 0, 100, 100));
    EXPECT_EQ(emptyBitmap.m_pictureRect, CRect());
    image.FitInRect(nullptr, CRect(0, 0, 100, 0));
    EXPECT_EQ(image.m_pictureRect.Height(), 0);
    // The size rules with a frame of no height and a picture of no size.
    for (int sizing = 0; sizing <= 3; ++sizing) {
        SCOPED_TRACE(sizing);
        emptyBitmap.m_sizeConstraint = sizing;
        emptyBitmap.SetBounds(nullptr, CRect(0, 0, 50, 0));
        image.m_sizeConstraint = sizing;
        image.SetBounds(nullptr, CRect(0, 0, 50, 0));
        EXPECT_LE(image.m_pictureRect.Height(), 0);
    }
}

TEST_F(PictureTest, TurningKeepsTheScaleAndGrowsFromTheAnchor)
{
    auto image = Picture(pngPath, CPoint(100, 200));
    image->m_pictureRect = CRect(100, 200, 500, 400); // 10 units a pixel
    image->RotateFrame(nullptr, 9000);
    EXPECT_EQ(image->m_angle, 9000);
    EXPECT_EQ(image->m_orientation, 1);
    // 200 wide and 400 high, to the left of the anchor.
    EXPECT_EQ(image->m_pictureRect, CRect(-100, 200, 100, 600));
    EXPECT_EQ(image->m_bitmap.Size(), QSize(20, 40));
    image->RotateFrame(nullptr, 9000);
    EXPECT_EQ(image->m_pictureRect, CRect(-300, 0, 100, 200));
    image->RotateFrame(nullptr, 9000);
    EXPECT_EQ(image->m_pictureRect, CRect(100, -200, 300, 200));
    image->RotateFrame(nullptr, 9000);
    EXPECT_EQ(image->m_angle, 0);
    EXPECT_EQ(image->m_pictureRect, CRect(100, 200, 500, 400));
    EXPECT_EQ(image->m_bitmap.Image().pixel(5, 5), kRed);

    // 359 degrees and 2 more make 1 degree; a turn back goes below zero
    // and comes out positive.
    image->RotateFrame(nullptr, 35900);
    image->RotateFrame(nullptr, 200);
    EXPECT_EQ(image->m_angle, 100);
    image->RotateFrame(nullptr, -9100);
    EXPECT_EQ(image->m_angle, 27000);
    EXPECT_EQ(image->m_orientation, 3);

    // The Rotate command turns by the preference's step.
    App().general.rotationAngle = 1.5707963267948966;
    image->Rotate(nullptr);
    EXPECT_EQ(image->m_angle, 35999);
}

TEST_F(PictureTest, ANegativeStoredAngleIsTurnedForwardsAndApplied)
{
    auto image = Picture(pngPath);
    QByteArray bytes = Store(*image);
    // The angle follows the path, the anchor and the rectangle.
    CElement common;
    QByteArray head;
    {
        CArchive ar(&head, CArchive::store);
        common.m_name = image->m_name;
        image->CElement::Serialize(ar);
        ar << CImage::StoredPath(image->m_filePath);
        ar.Flush();
    }
    const qsizetype at = head.size() + 8 + 16;
    const qint32 minusQuarter = -9000;
    bytes.replace(at, 4, reinterpret_cast<const char*>(&minusQuarter), 4);
    auto read = Read(bytes);
    EXPECT_EQ(read->m_angle, 27000);
    EXPECT_EQ(read->m_orientation, 3);
    // The bitmap is turned as its frame is: red, the left half, at the bottom.
    ASSERT_EQ(read->m_bitmap.Size(), QSize(20, 40));
    EXPECT_EQ(read->m_bitmap.Image().pixel(10, 34), kRed);
}

TEST_F(PictureTest, HandlesFollowTheAspectRule)
{
    auto image = Picture(pngPath);
    image->m_maintainAspect = 1;
    EXPECT_TRUE(image->KeepsAspectRatio());
    for (int h = 0; h < 8; ++h)
        EXPECT_EQ(image->IsHandleEnabled(h) != 0, h % 2 == 0) << h;
    image->m_maintainAspect = 0;
    for (int h = 0; h < 8; ++h)
        EXPECT_TRUE(image->IsHandleEnabled(h)) << h;
}

TEST_F(PictureTest, SizeRulesFitTheFrame)
{
    // 40 x 20 pixels shown at 10 units a pixel by the printer's resolution.
    App().printerDC = [] {
        static CDC dc;
        dc.SetDeviceCaps(25.4, 25.4, CSize(1000, 1000));
        return &dc;
    };
    auto image = Picture(pngPath, CPoint(0, 0));
    ASSERT_EQ(image->NaturalSize(), CSize(400, 200));
    const struct
    {
        int sizing, horz, vert;
        CRect frame;
        CRect expected;
    } cases[] = {
        {SIZING_NATURAL, 0, 0, CRect(0, 0, 100, 100), CRect(0, 0, 400, 200)},
        {SIZING_STRETCH, 0, 0, CRect(0, 0, 100, 100), CRect(0, 0, 100, 100)},
        {SIZING_REDUCE_TO_FIT, 0, 0, CRect(0, 0, 100, 100), CRect(0, 0, 100, 50)},
        {SIZING_REDUCE_TO_FIT, 0, 0, CRect(0, 0, 1000, 1000), CRect(0, 0, 400, 200)},
        {SIZING_FIT_KEEP_ASPECT, 0, 0, CRect(0, 0, 1000, 1000), CRect(0, 0, 1000, 500)},
        {SIZING_FIT_KEEP_ASPECT, 1, 1, CRect(0, 0, 1000, 1000), CRect(0, 250, 1000, 750)},
        {SIZING_FIT_KEEP_ASPECT, 2, 2, CRect(0, 0, 1000, 100), CRect(800, 0, 1000, 100)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizing * 100 + c.horz * 10 + c.vert);
        image->m_horzJustify = c.horz;
        image->m_vertJustify = c.vert;
        image->SetBounds(nullptr, c.frame);
        image->m_sizeConstraint = c.sizing;
        // SetBounds fits by keeping the aspect; the other rules run on data.
        image->m_frameRect = c.frame;
        image->m_dataSource = SOURCE_KEYBOARD;
        image->m_designFilePath = "another.png";
        image->SetDataText(pngPath, SOURCE_KEYBOARD, QString(), FALSE);
        EXPECT_EQ(image->m_pictureRect, c.expected);
    }
    App().printerDC = nullptr;
}

// --- paths and records -------------------------------------------------------------

TEST_F(PictureTest, StoredPathRules)
{
    const QString program = CSignApp::GetProgramFolder(true);
    const struct
    {
        const char* name;
        bool relative;
        bool package;
        QString path;
        QString stored;
    } writes[] = {
        {"full by default", false, false, program + "pics/a.png", program + "pics/a.png"},
        {"relative inside the program folder", true, false, program + "pics/a.png",
         ".\\pics\\a.png"},
        {"full outside it", true, false, "/elsewhere/a.png", "/elsewhere/a.png"},
        {"package folder and name", false, true, "/elsewhere/deep/a.png", "PKG\\a.png"},
        {"empty stays empty", true, false, QString(), QString()},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.name);
        App().general.storeRelativePaths = w.relative;
        App().packageExport = w.package;
        App().packagePicturePrefix = "PKG\\";
        EXPECT_EQ(CImage::StoredPath(w.path), w.stored);
    }
    App().packageExport = false;
    App().general.storeRelativePaths = 0;

    const struct
    {
        QString stored;
        QString resolved;
    } reads[] = {
        {".\\a.png", program + "a.png"},
        {".\\pics\\a.png", program + "pics/a.png"},
        {"./pics/a.png", program + "pics/a.png"},
        {"..\\a.png", "../a.png"},
        {"C:\\Pictures\\a.png", "C:/Pictures/a.png"},
        {"/srv/pictures/a.png", "/srv/pictures/a.png"},
        {"a.png", "a.png"},
        {QString(), QString()},
    };
    for (const auto& r : reads)
        EXPECT_EQ(CImage::ResolveStoredPath(r.stored), r.resolved) << r.stored.toStdString();

    // A picture kept in the program folder is stored relative and found
    // again from there.
    const QString inside = program + "inside.png";
    ASSERT_TRUE(TwoColourImage().save(inside));
    auto image = Picture(inside);
    App().general.storeRelativePaths = 1;
    const QByteArray bytes = Store(*image);
    EXPECT_TRUE(bytes.contains(".\\inside.png"));
    EXPECT_FALSE(bytes.contains(program.toUtf8()));
    App().general.storeRelativePaths = 0;
    auto read = Read(bytes);
    EXPECT_EQ(read->m_filePath, inside);
    EXPECT_TRUE(read->m_bitmap.IsAllocated());
    QFile::remove(inside);
}

TEST_F(PictureTest, TheRecordHoldsEveryFieldInItsPlace)
{
    auto image = Picture(pngPath, CPoint(100, 200));
    image->m_pictureRect = CRect(100, 200, 300, 300);
    image->m_angle = 0;
    image->m_sizeConstraint = 2;
    image->m_maintainAspect = 0;
    image->m_fastPrint = 0;
    image->m_horzJustify = 1;
    image->m_vertJustify = 2;
    image->m_brightness = -40;
    image->m_contrast = 30;
    image->m_gammaCorrection = 150;
    image->m_transparency = 1;
    image->m_transparentColour = MakeRGB(1, 2, 3);
    QByteArray bytes = Store(*image);

    CArchive ar(&bytes, CArchive::load);
    CElement common;
    common.Serialize(ar);
    EXPECT_EQ(ar.ReadString(), pngPath);
    EXPECT_EQ(ar.ReadInt(), 100);
    EXPECT_EQ(ar.ReadInt(), 200);
    const int rect[4] = {ar.ReadInt(), ar.ReadInt(), ar.ReadInt(), ar.ReadInt()};
    EXPECT_EQ(CRect(rect[0], rect[1], rect[2], rect[3]), CRect(100, 200, 300, 300));
    const int expected[] = {0, 0, 0, 0};
    for (int v : expected)
        EXPECT_EQ(ar.ReadInt(), v); // angle, resampled, inverted, grey-scaled
    EXPECT_EQ(ar.ReadString(), pngPath);
    const DWORD rest[] = {2, 0, 0, 1, 2, DWORD(-40), 30, 150, 1, MakeRGB(1, 2, 3)};
    for (DWORD v : rest)
        EXPECT_EQ(ar.ReadDWord(), v);
    EXPECT_THROW(ar.ReadByte(), CArchiveException);

    auto read = Read(bytes);
    EXPECT_EQ(read->m_pictureRect, image->m_pictureRect);
    EXPECT_EQ(read->m_frameRect, image->m_pictureRect);
    EXPECT_EQ(read->m_gammaCorrection, 150);
    EXPECT_EQ(read->m_transparentColour, MakeRGB(1, 2, 3));
    EXPECT_EQ(Store(*read), bytes);
}

TEST_F(PictureTest, OlderRecordsLackTheLaterFields)
{
    CImagePreferences::Current().constrainStretching = 0;
    CImagePreferences::Current().fastPrint = 1;
    // The fields after the size constraint, in file order, with the
    // version that brought each.
    const struct
    {
        int since;
        DWORD value;
    } later[] = {{104, 1},   {250, 0},   {110, 2}, {110, 1},       {250, 100},
                 {250, 200}, {250, 300}, {260, 1}, {260, 0x123456}};
    for (int version : {103, 104, 110, 250, 260}) {
        SCOPED_TRACE(version);
        QByteArray bytes;
        {
            // The common record as each version has it.
            {
                CArchive ar(&bytes, CArchive::store);
                if (version < 110) {
                    ar << QString("Picture1") << DWORD(0) << DWORD(0) << QString("Picture1")
                       << QString() << DWORD(1) << DWORD(0);
                } else {
                    CElement common;
                    common.Serialize(ar);
                }
                ar.Flush();
            }
            if (version >= 110 && version < 240)
                bytes.chop(4); // no native-print flag yet
            QByteArray own;
            CArchive ar(&own, CArchive::store);
            ar << pngPath << CPoint(5, 6) << CRect(5, 6, 25, 16) << DWORD(0) << DWORD(0) << DWORD(0)
               << DWORD(0) << pngPath << DWORD(1);
            for (const auto& field : later) {
                if (version >= field.since)
                    ar << field.value;
            }
            ar << DWORD(0xDEADBEEF);
            ar.Flush();
            bytes += own;
        }
        App().fileVersion = version;
        CArchive ar(&bytes, CArchive::load);
        CImage read;
        read.Serialize(ar);
        App().fileVersion = 514;
        EXPECT_EQ(ar.ReadDWord(), 0xDEADBEEFu);
        EXPECT_EQ(read.m_sizeConstraint, 1);
        EXPECT_EQ(read.m_maintainAspect, version >= 104 ? 1 : 0);
        EXPECT_EQ(read.m_fastPrint, version >= 250 ? 0 : 1);
        EXPECT_EQ(read.m_horzJustify, version >= 110 ? 2 : 0);
        EXPECT_EQ(read.m_vertJustify, version >= 110 ? 1 : 0);
        EXPECT_EQ(read.m_brightness, version >= 250 ? 100 : 0);
        EXPECT_EQ(read.m_contrast, version >= 250 ? 200 : 0);
        EXPECT_EQ(read.m_gammaCorrection, version >= 250 ? 300 : 100);
        EXPECT_EQ(read.m_transparency, version >= 260 ? 1 : 0);
        EXPECT_EQ(read.m_transparentColour, version >= 260 ? 0x123456u : 0xFFFFFFu);
    }
}

TEST_F(PictureTest, DamagedRecordsAreReadSafely)
{
    auto image = Picture(pngPath);
    image->m_angle = 4500;
    image->m_transparency = 1;
    const QByteArray good = Store(*image);
    std::mt19937 rng(5);
    for (int i = 0; i < 400; ++i) {
        QByteArray bad = DamagedCopy(good, rng);
        App().fileVersion = 514;
        CArchive ar(&bad, CArchive::load);
        CImage read;
        try {
            read.Serialize(ar);
        } catch (const CArchiveException&) {
            continue;
        } catch (const CUserException&) {
            continue;
        }
        EXPECT_GE(read.m_angle, 0);
        EXPECT_LT(read.m_angle, 36000);
        EXPECT_GE(read.m_sizeConstraint, 0);
        EXPECT_LE(read.m_sizeConstraint, 3);
        EXPECT_GE(read.m_horzJustify, 0);
        EXPECT_LE(read.m_horzJustify, 2);
        EXPECT_GE(read.m_gammaCorrection, 1);
        EXPECT_LE(read.m_gammaCorrection, 500);
        EXPECT_LE(std::abs(read.m_brightness), 1000);
        EXPECT_LE(std::abs(read.m_contrast), 1000);
        EXPECT_EQ(read.m_transparentColour & 0xFF000000u, 0u);
        // Whatever was read draws without harm.
        CImageDC dc(50, 50);
        read.Draw(&dc, CRect(0, 0, 500, 500));
    }
}

TEST_F(PictureTest, AMissingFileIsLocatedOrEndsTheReading)
{
    auto image = Picture(pngPath);
    const QByteArray bytes = Store(*image);
    const QString moved = dir.filePath("moved.png");
    ASSERT_TRUE(QFile::rename(pngPath, moved));
    CPictureBitmap::ClearCache();

    // Without anyone to ask, the element keeps its path and is named once.
    messages.Clear();
    auto kept = Read(bytes);
    EXPECT_EQ(kept->m_filePath, pngPath);
    EXPECT_FALSE(kept->m_bitmap.IsAllocated());
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(Store(*kept), bytes);

    // The file chosen in its place is used, and the sign counts as changed.
    QString asked;
    PictureHooks().locateMissingFile = [&](const QString& missing, bool&) {
        asked = missing;
        return moved;
    };
    App().loadOutcome = 0;
    auto located = Read(bytes);
    EXPECT_EQ(asked, pngPath);
    EXPECT_EQ(located->m_filePath, moved);
    EXPECT_TRUE(located->m_bitmap.IsAllocated());
    EXPECT_EQ(App().loadOutcome, 3);

    // Abort ends the reading of the whole sign.
    PictureHooks().locateMissingFile = [](const QString&, bool& abort) {
        abort = true;
        return QString();
    };
    EXPECT_THROW(Read(bytes), CUserException);
}

// --- copies, texts, data and drawing -------------------------------------------------

TEST_F(PictureTest, UndoCopiesKeepTheClassAndThePicture)
{
    auto image = Picture(pngPath);
    image->m_brightness = 100;
    std::unique_ptr<CElement> copy(CloneElement(image.get()));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetRuntimeClass(), RUNTIME_CLASS(CImage));
    auto* picture = static_cast<CImage*>(copy.get());
    EXPECT_EQ(picture->m_brightness, 100);
    EXPECT_EQ(picture->m_bitmap.Image(), image->m_bitmap.Image());

    CBackground background;
    ASSERT_TRUE(background.LoadFile(nullptr, pngPath));
    std::unique_ptr<CElement> backgroundCopy(CloneElement(&background));
    ASSERT_NE(backgroundCopy, nullptr);
    EXPECT_EQ(backgroundCopy->GetRuntimeClass(), RUNTIME_CLASS(CBackground));
    EXPECT_EQ(backgroundCopy->GetTypeCode(), TYPE_PICTURE);
    EXPECT_EQ(backgroundCopy->GetTypeName(), "Picture");

    // After an undo the copy reads its file again.
    picture->ReleaseCachedData();
    EXPECT_FALSE(picture->m_bitmap.IsAllocated());
    picture->ResetState(nullptr);
    EXPECT_TRUE(picture->m_bitmap.IsAllocated());
}

TEST_F(PictureTest, BackgroundsTurnWithTheStockAndFitTheSign)
{
    // Ten units a pixel by the printer's resolution.
    App().printerDC = [] {
        static CDC dc;
        dc.SetDeviceCaps(25.4, 25.4, CSize(1000, 1000));
        return &dc;
    };
    PictureHooks().signSize = [] { return CSize(1000, 1000); };
    PictureHooks().backgroundOrientation = [] { return 180; };
    PictureHooks().pageOrientation = [] { return 1; };
    CBackground background;
    ASSERT_TRUE(background.LoadFile(nullptr, pngPath));
    EXPECT_EQ(background.m_bitmap.Image().pixel(34, 10), kRed);
    background.FitToPage(nullptr);
    // 2:1 fills the width and is centred down the sign.
    EXPECT_EQ(background.m_pictureRect, CRect(0, 250, 1000, 750));
    background.UpdateForPaper(nullptr);
    EXPECT_EQ(background.m_bitmap.Size(), QSize(20, 40));
    EXPECT_EQ(background.m_pictureRect, CRect(250, 0, 750, 1000));
    App().printerDC = nullptr;
}

TEST_F(PictureTest, TextExportListsTheSettings)
{
    auto image = Picture(pngPath, CPoint(100, 200));
    image->m_angle = 9050;
    image->m_transparentColour = MakeRGB(0x12, 0x34, 0x56);
    QByteArray out;
    {
        CTextExportFile file(&out);
        image->WriteXml(file);
    }
    const QString text = QString::fromLatin1(out);
    EXPECT_TRUE(text.startsWith("  <picture>\r\n\r\n"));
    EXPECT_TRUE(text.endsWith("\r\n  </picture>\r\n\r\n"));
    const QString lines[] = {
        "    <file=\"" + pngPath + "\"/>",
        "    <position units=\"TMM\" x=\"100\" y=\"200\"/>",
        "    <angle=\"90\"/>",
        "    <size units=\"TMM\" width=\"17\" height=\"8\"/>",
        "    <justification horizontal=\"0\" vertical=\"0\"/>",
        "    <gamma-correction=\"100\"/>",
        "    <transparent-colour=\"#123456\"/>",
    };
    qsizetype at = 0;
    for (const QString& line : lines) {
        const qsizetype found = text.indexOf(line + "\r\n", at);
        EXPECT_GE(found, at) << line.toStdString();
        at = std::max(at, found);
    }
}

TEST_F(PictureTest, DataLinkedPicturesLoadTheirFilePerValue)
{
    const QString second = dir.filePath("second.bmp");
    QImage blue(10, 10, QImage::Format_RGB32);
    blue.fill(kBlue);
    ASSERT_TRUE(blue.save(second));
    auto image = Picture(pngPath, CPoint(0, 0));
    image->m_dataSource = SOURCE_DATABASE;
    image->m_prefix = dir.path() + "\\";
    image->m_suffix = ".bmp";
    image->m_frameRect = image->m_pictureRect;
    image->m_sizeConstraint = SIZING_STRETCH;
    image->SetDataText("second", SOURCE_DATABASE, QString(), FALSE);
    EXPECT_EQ(image->m_filePath, second);
    EXPECT_EQ(image->m_bitmap.Image().pixel(1, 1), kBlue);

    // The design file in other letters keeps the design frame.
    image->m_dataSource = SOURCE_KEYBOARD;
    image->m_designFilePath = pngPath.toUpper();
    image->m_frameRect = CRect(0, 0, 77, 33);
    image->SetDataText(pngPath, SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(image->m_pictureRect, CRect(0, 0, 77, 33));

    // An empty value leaves no picture, and nothing is drawn.
    image->SetDataText(QString(), SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_TRUE(image->IsEmpty());
    CImageDC dc(100, 100);
    image->Draw(&dc, CRect(0, 0, 100, 100));
    for (int y = 0; y < 100; y += 5)
        for (int x = 0; x < 100; x += 5)
            ASSERT_EQ(dc.Image().pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);

    // A missing data file is named, and the picture is left out.
    messages.Clear();
    image->SetDataText(dir.filePath("none.png"), SOURCE_KEYBOARD, QString(), FALSE);
    EXPECT_EQ(messages.Count(), 1);

    // Data entry over: the design picture comes back in its frame.
    image->m_designFilePath = pngPath;
    image->m_dataSource = SOURCE_DATABASE;
    image->SetDataText("second", SOURCE_DATABASE, QString(), FALSE);
    ASSERT_EQ(image->m_filePath, second);
    image->EndDataEntry();
    EXPECT_EQ(image->m_filePath, pngPath);
    EXPECT_EQ(image->m_pictureRect, CRect(0, 0, 77, 33));
    EXPECT_EQ(image->m_bitmap.Size(), QSize(40, 20));
}

TEST_F(PictureTest, DrawsThePictureInItsRectangle)
{
    auto image = Picture(pngPath, CPoint(0, 0));
    image->m_pictureRect = CRect(20, 10, 60, 30);
    CImageDC dc(100, 100);
    image->Draw(&dc, CRect(0, 0, 100, 100));
    const QImage& out = dc.Image();
    EXPECT_EQ(out.pixel(25, 20), kRed);
    EXPECT_EQ(out.pixel(55, 20), kBlue);
    EXPECT_EQ(out.pixel(10, 20) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(out.pixel(25, 35) & 0xFFFFFF, 0xFFFFFFu);

    // A transparent colour lets the page show through.
    image->m_transparency = 1;
    image->m_transparentColour = MakeRGB(0, 0, 255);
    ASSERT_TRUE(image->Rebuild(nullptr));
    CImageDC clear(100, 100);
    image->Draw(&clear, CRect(0, 0, 100, 100));
    EXPECT_EQ(clear.Image().pixel(25, 20), kRed);
    EXPECT_EQ(clear.Image().pixel(55, 20) & 0xFFFFFF, 0xFFFFFFu);
}

} // namespace
