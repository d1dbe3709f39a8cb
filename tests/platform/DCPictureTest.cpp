// Two-colour 1-bit pictures drawn through the device context: pixel for
// pixel on a raster device, whole device pixels per picture pixel when the
// device's resolution is a multiple of the picture's, and never lossy in a
// PDF (bands of repeated rows as rectangles, other pictures as 1-bit images).
#include "DC.h"

#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void EnsureApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// A 1-bit picture, index 1 black, from a rule for its black pixels.
template <typename Black> QImage Picture(int width, int height, Black black)
{
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, black(x, y) ? 1 : 0);
    }
    return image;
}

// Irregular dots: no two neighbouring rows alike.
QImage Speckles()
{
    return Picture(37, 23, [](int x, int y) { return (x * 7 + y * 13) % 5 == 0; });
}

// Bars of one to four pixels, the same on every row.
QImage Bars()
{
    return Picture(41, 30, [](int x, int) { return (x / 3 + x / 7) % 2 == 0; });
}

// Whether the device image shows the picture with each picture pixel as a
// scale x scale block from (left, top), and white around it.
::testing::AssertionResult ShowsPicture(const QImage& device, const QImage& picture, int left,
                                        int top, int scale)
{
    for (int y = top - 2; y < top + picture.height() * scale + 2; ++y) {
        for (int x = left - 2; x < left + picture.width() * scale + 2; ++x) {
            const int px = x - left;
            const int py = y - top;
            const bool inside =
                px >= 0 && py >= 0 && px < picture.width() * scale && py < picture.height() * scale;
            const bool black = inside && picture.pixelIndex(px / scale, py / scale) == 1;
            const QRgb got = device.pixel(x, y) & 0xFFFFFF;
            if (got != (black ? 0u : 0xFFFFFFu))
                return ::testing::AssertionFailure()
                       << "pixel " << x << ", " << y << " is " << std::hex << got;
        }
    }
    return ::testing::AssertionSuccess();
}

// What "pdfimages -list" says of each image: its bits per component and
// its encoding.
std::vector<std::pair<int, QString>> PdfImages(const QString& pdf)
{
    std::vector<std::pair<int, QString>> images;
    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!list.waitForFinished(60000))
        return images;
    for (const QString& line : QString::fromUtf8(list.readAllStandardOutput()).split(u'\n')) {
        const QStringList f = line.simplified().split(u' ');
        bool number = false;
        f.value(0).toInt(&number);
        if (number && f.size() >= 9)
            images.emplace_back(f[7].toInt(), f[8]);
    }
    return images;
}

} // namespace

TEST(DCPictureTest, OneBitPicturesLandOnWholeDevicePixels)
{
    EnsureApp();
    for (const QImage& picture : {Speckles(), Bars()}) {
        for (const int scale : {1, 2, 3}) {
            SCOPED_TRACE(scale);
            const int deviceDpi = 600;
            CImageDC dc(400, 300, deviceDpi, deviceDpi);
            dc.SetTenthsMmMapping(deviceDpi, deviceDpi);
            // 1.7 mm in: not on the picture's grid; the corner snaps to it.
            dc.DrawImageAt(picture, CPoint(17, 17), deviceDpi / scale, deviceDpi / scale);
            const int corner = int(std::lround(17 * deviceDpi / 254.0));
            const int snapped = (corner + scale / 2) / scale * scale;
            EXPECT_TRUE(ShowsPicture(dc.Image(), picture, snapped, snapped, scale));
        }
    }
}

TEST(DCPictureTest, OneBitPicturesReachAPdfLosslessly)
{
    EnsureApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case
    {
        const char* what;
        QImage picture;
        std::size_t images; // bands of repeated rows go out as rectangles
    };
    const QImage speckles = Speckles();
    QImage blackFirst = speckles;
    blackFirst.invertPixels();
    blackFirst.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const Case cases[] = {
        {"speckles, white first", speckles, 1},
        {"speckles, black first", blackFirst, 1},
        {"bars", Bars(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString pdf = dir.filePath(QString::fromLatin1(c.what) + QStringLiteral(".pdf"));
        {
            QPdfWriter writer(pdf);
            writer.setResolution(600);
            QPainter painter(&writer);
            CDC dc(&painter, true);
            dc.SetDeviceCaps(600, 600, CSize(writer.width(), writer.height()));
            dc.SetTenthsMmMapping();
            dc.DrawImageAt(c.picture, CPoint(100, 100), 300, 300);
        }
        const auto images = PdfImages(pdf);
        EXPECT_EQ(images.size(), c.images);
        for (const auto& [bits, encoding] : images) {
            EXPECT_EQ(bits, 1);
            EXPECT_NE(encoding, QStringLiteral("jpeg"));
        }
    }
}
