#include "PictureBitmap.h"

#include "MessageBox.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryFile>
#include <QTransform>

#include <magick/api.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <list>
#include <utility>

namespace {

quint64 s_decodeCount = 0;

PictureStatusCallback& StatusCallback()
{
    static PictureStatusCallback callback;
    return callback;
}

// Reports the percentage of rows done to the status callback, each
// percentage once.
class CRowStatus
{
public:
    explicit CRowStatus(int rows) : m_rows(std::max(rows, 1)) { Report(0); }
    void Row(int done)
    {
        if (StatusCallback())
            Report(int(qint64(done) * 100 / m_rows));
    }
    void Report(int percent)
    {
        if (percent == m_last || !StatusCallback())
            return;
        m_last = percent;
        StatusCallback()(percent);
    }

private:
    int m_rows;
    int m_last = -1;
};

// --- decoding -----------------------------------------------------------------

// The largest file handed to GraphicsMagick whole.
constexpr qint64 kMaxMagickFileBytes = 512LL * 1024 * 1024;

void EnsureMagick()
{
    static const bool ready = [] {
        InitializeMagick(nullptr);
        // Failures come back as results and are reported by the program's
        // own messages: the library itself says nothing.
        SetErrorHandler([](const ExceptionType, const char*, const char*) {});
        SetWarningHandler([](const ExceptionType, const char*, const char*) {});
        SetMagickResourceLimit(PixelsResource, kMaxPicturePixels);
        SetMagickResourceLimit(WidthResource, 100000);
        SetMagickResourceLimit(HeightResource, 100000);
        SetMagickResourceLimit(ThreadsResource, 1);
        return true;
    }();
    (void)ready;
}

// The GraphicsMagick coder for a file, from its extension or its first
// bytes; null for a file that is not one of the formats taken through it.
// Only these coders ever see a file: none of them runs another program or
// reads other files.
const char* MagickFormatFor(const QString& path, const QByteArray& head)
{
    static const struct
    {
        const char* extension;
        const char* coder;
    } byExtension[] = {
        {"pcx", "PCX"}, {"dcx", "DCX"},  {"psd", "PSD"},   {"tga", "TGA"},
        {"ras", "SUN"}, {"pct", "PICT"}, {"pict", "PICT"}, {"wmf", "WMF"},
        {"pcd", "PCD"}, {"fpx", "FPX"},  {"ico", "ICON"},  {"cur", "ICON"},
    };
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const auto& entry : byExtension) {
        if (extension == QLatin1String(entry.extension))
            return entry.coder;
    }
    if (head.startsWith("8BPS"))
        return "PSD";
    if (head.size() >= 4 && quint8(head[0]) == 0x0A && quint8(head[1]) <= 5 && quint8(head[2]) <= 1)
        return "PCX";
    if (head.startsWith(QByteArray("\xB1\x68\xDE\x3A", 4)))
        return "DCX";
    if (head.startsWith(QByteArray("\x59\xA6\x6A\x95", 4)))
        return "SUN";
    if (head.startsWith(QByteArray("\xD7\xCD\xC6\x9A", 4)))
        return "WMF";
    return nullptr;
}

// Metafiles are drawn, not decoded: what drawing one costs is bounded
// before it is drawn. Its picture holds no more pixels than this...
constexpr qint64 kMaxMetafilePixels = 8'000'000;
// ... and its records, each of which may cover the whole picture, cover no
// more pixels than this in all: a metafile of too many is drawn smaller.
constexpr double kMaxMetafileWork = 1.0e9;
// A metafile that would have to be drawn at less than this share of the
// size its pixels allow is refused: it holds more drawing than a picture.
constexpr double kMinMetafileScale = 0.25;
// The resolution metafiles are drawn at, the printer's.
constexpr double kMetafileDpi = 600;

// The records of a Windows metafile, counted as the library reads them (up
// to the end record, or to the first record that does not fit); -1 when the
// file has no metafile header.
qint64 CountMetafileRecords(const QByteArray& data)
{
    const auto u16 = [&data](qsizetype at) {
        return quint16(quint8(data[at]) | quint8(data[at + 1]) << 8);
    };
    const auto u32 = [&](qsizetype at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    qsizetype pos = 0;
    if (data.size() >= 22 && u32(0) == 0x9AC6CDD7u)
        pos = 22; // the placeable header
    if (pos + 18 > data.size())
        return -1;
    const quint16 type = u16(pos);
    const quint16 headerWords = u16(pos + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return -1;
    pos += 18;
    qint64 records = 0;
    while (pos + 6 <= data.size()) {
        const quint32 words = u32(pos);
        const quint16 function = u16(pos + 4);
        if (function == 0 || words < 3 || qint64(words) * 2 > data.size() - pos)
            break;
        ++records;
        pos += qsizetype(words) * 2;
    }
    return records;
}

// Reads the data with the coder: from memory, or for the coders that read
// only from a named file, from a copy under a name of ours, so that nothing
// in the user's file name is ever taken as an instruction.
Image* ReadWithMagick(ImageInfo* info, const QByteArray& data, const char* coder,
                      ExceptionInfo* exception)
{
    Image* decoded = info->ping ? PingBlob(info, data.constData(), size_t(data.size()), exception)
                                : BlobToImage(info, data.constData(), size_t(data.size()), exception);
    if (decoded || exception->severity == ResourceLimitError)
        return decoded;
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/tabrel-picture-XXXXXX"));
    if (copy.open() && copy.write(data) == data.size() && copy.flush()) {
        const QByteArray name = QByteArray(coder) + ':' + QFile::encodeName(copy.fileName());
        if (name.size() < MaxTextExtent) {
            DestroyExceptionInfo(exception);
            GetExceptionInfo(exception);
            std::strncpy(info->filename, name.constData(), MaxTextExtent - 1);
            decoded = info->ping ? PingImage(info, exception) : ReadImage(info, exception);
        }
    }
    return decoded;
}

// The resolution to draw a metafile at: the printer's, lowered so that its
// picture and the drawing of its records stay within bounds. 0 for a
// metafile that cannot be measured (damaged), -1 for one that holds more
// drawing than can be drawn.
double MetafileDensity(const QByteArray& data)
{
    const qint64 records = CountMetafileRecords(data);
    if (records < 0)
        return 0;
    ExceptionInfo exception;
    GetExceptionInfo(&exception);
    ImageInfo* info = CloneImageInfo(nullptr);
    if (!info) {
        DestroyExceptionInfo(&exception);
        return 0;
    }
    std::strncpy(info->magick, "WMF", MaxTextExtent - 1);
    info->affirm = MagickTrue;
    info->ping = MagickTrue;
    CloneString(&info->density, QByteArray::number(kMetafileDpi).constData());
    double density = 0;
    if (Image* measured = ReadWithMagick(info, data, "WMF", &exception)) {
        const double pixels = double(measured->columns) * double(measured->rows);
        if (pixels > 0) {
            const double sizeScale = std::min(1.0, std::sqrt(kMaxMetafilePixels / pixels));
            const double workScale =
                std::min(1.0, std::sqrt(kMaxMetafileWork / (pixels * double(std::max<qint64>(records, 1)))));
            density = workScale < sizeScale * kMinMetafileScale
                          ? -1
                          : kMetafileDpi * std::min(sizeScale, workScale);
        }
        DestroyImageList(measured);
    }
    DestroyImageInfo(info);
    DestroyExceptionInfo(&exception);
    return density;
}

int DecodeWithMagick(const QString& path, QImage& image)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PICTURE_READ_ERROR;
    if (file.size() > kMaxMagickFileBytes)
        return PICTURE_TOO_LARGE;
    const QByteArray head = file.peek(16);
    const char* coder = MagickFormatFor(path, head);
    if (!coder)
        return PICTURE_UNKNOWN_FORMAT;
    const QByteArray data = file.read(kMaxMagickFileBytes + 1);
    if (data.size() > kMaxMagickFileBytes)
        return PICTURE_TOO_LARGE;
    if (data.isEmpty())
        return PICTURE_DAMAGED;

    EnsureMagick();
    // A metafile is drawn at the printer's resolution, or lower where its
    // size or its drawing asks for more than a picture may cost.
    const bool metafile = std::strcmp(coder, "WMF") == 0;
    double density = 0;
    if (metafile) {
        density = MetafileDensity(data);
        if (density < 0)
            return PICTURE_TOO_COMPLEX;
        if (density == 0)
            return PICTURE_DAMAGED;
    }
    ExceptionInfo exception;
    GetExceptionInfo(&exception);
    ImageInfo* info = CloneImageInfo(nullptr);
    if (!info) {
        DestroyExceptionInfo(&exception);
        return PICTURE_NO_MEMORY;
    }
    // The coder is named, never guessed from a file name or its content.
    std::strncpy(info->magick, coder, MaxTextExtent - 1);
    info->affirm = MagickTrue;
    if (metafile)
        CloneString(&info->density, QByteArray::number(density, 'f', 3).constData());
    info->subimage = 0;
    info->subrange = 1;
    Image* decoded = ReadWithMagick(info, data, coder, &exception);
    int result = PICTURE_OK;
    if (!decoded || decoded->columns == 0 || decoded->rows == 0) {
        result = exception.severity == ResourceLimitError ? PICTURE_TOO_LARGE : PICTURE_DAMAGED;
    } else if (qint64(decoded->columns) * qint64(decoded->rows) > kMaxPicturePixels ||
               (metafile && qint64(decoded->columns) * qint64(decoded->rows) >
                                kMaxMetafilePixels + kMaxMetafilePixels / 8)) {
        result = PICTURE_TOO_LARGE;
    } else {
        QImage out(int(decoded->columns), int(decoded->rows), QImage::Format_ARGB32);
        if (out.isNull()) {
            result = PICTURE_NO_MEMORY;
        } else {
            // Row by row: the image's lines may be padded.
            for (int y = 0; y < out.height() && result == PICTURE_OK; ++y) {
                if (DispatchImage(decoded, 0, y, decoded->columns, 1, "BGRA", CharPixel,
                                  out.scanLine(y), &exception) != MagickPass)
                    result = PICTURE_DAMAGED;
            }
            if (result == PICTURE_OK) {
                if (!decoded->matte)
                    out = out.convertToFormat(QImage::Format_RGB32);
                image = out;
            }
        }
    }
    if (decoded)
        DestroyImageList(decoded);
    DestroyImageInfo(info);
    DestroyExceptionInfo(&exception);
    return result;
}

// Brings a decoded image into one of the formats the processing works on.
QImage Normalised(QImage image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_Grayscale8:
        return image;
    case QImage::Format_Grayscale16:
        return image.convertToFormat(QImage::Format_Grayscale8);
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                             : QImage::Format_RGB32);
    }
}

// --- the cache of decoded files -------------------------------------------------

struct CacheEntry
{
    QString key;
    QImage image;
    qint64 bytes = 0;
    // PICTURE_OK, or why the file could not be decoded: a file that fails
    // fails once, not again for every label that shows it.
    int result = PICTURE_OK;
};

// What a failure counts for in the cache's size.
constexpr qint64 kFailureBytes = 4096;

constexpr qint64 kCacheBytes = 384LL * 1024 * 1024;

class CDecodedCache
{
public:
    static CDecodedCache& Instance()
    {
        static CDecodedCache cache;
        return cache;
    }

    bool Find(const QString& key, QImage& image, int& result)
    {
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->key == key) {
                image = it->image;
                result = it->result;
                m_entries.splice(m_entries.begin(), m_entries, it);
                return true;
            }
        }
        return false;
    }

    void Add(const QString& key, const QImage& image, int result = PICTURE_OK)
    {
        const qint64 bytes = result == PICTURE_OK ? image.sizeInBytes() : kFailureBytes;
        if (bytes > kCacheBytes)
            return;
        m_entries.push_front({key, result == PICTURE_OK ? image : QImage(), bytes, result});
        m_bytes += bytes;
        while (m_bytes > kCacheBytes && !m_entries.empty()) {
            m_bytes -= m_entries.back().bytes;
            m_entries.pop_back();
        }
    }

    void Clear()
    {
        m_entries.clear();
        m_bytes = 0;
    }

private:
    std::list<CacheEntry> m_entries; // most recently used first
    qint64 m_bytes = 0;
};

// --- processing helpers -----------------------------------------------------------

using Lut = std::array<uchar, 256>;

// Applies the table to the colour channels, leaving transparency alone.
void ApplyLut(QImage& image, const Lut& lut)
{
    CRowStatus status(image.height());
    if (image.format() == QImage::Format_Grayscale8) {
        for (int y = 0; y < image.height(); ++y) {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x)
                line[x] = lut[line[x]];
            status.Row(y + 1);
        }
        return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba(lut[qRed(p)], lut[qGreen(p)], lut[qBlue(p)], qAlpha(p));
        }
        status.Row(y + 1);
    }
}

uchar Clamp255(double v)
{
    return uchar(std::clamp(int(std::lround(v)), 0, 255));
}

} // namespace

// --- messages ---------------------------------------------------------------------

QString PictureErrorMessage(int code, const QString& path)
{
    const QString name = ElideMiddle(path);
    switch (code) {
    case -15:
    case -14:
    case -12:
    case -9:
    case -7:
    case -4:
    case 50:
        return QStringLiteral("Unsupported picture format %1").arg(name);
    case PICTURE_TOO_COMPLEX:
        return QStringLiteral("Unsupported picture format %1: it holds more drawing than a "
                              "picture can be made of")
            .arg(name);
    case -6:
    case 2:
        return QStringLiteral("Unable to find file %1").arg(name);
    case -3:
    case -1:
        return QStringLiteral("Insufficient memory");
    default:
        return QStringLiteral("Picture processing error %1").arg(std::abs(qint64(code)));
    }
}

void ShowPictureError(int code, const QString& path)
{
    AppMessageBox(PictureErrorMessage(code, path), MB_OK | MB_ICONEXCLAMATION);
}

int DecodePictureFile(const QString& path, QImage& image)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return PICTURE_NOT_FOUND;
    // A device or a pipe is no picture file (and could be read for ever).
    if (!info.isFile())
        return PICTURE_UNKNOWN_FORMAT;
    if (!info.isReadable())
        return PICTURE_READ_ERROR;
    ++s_decodeCount;

    QImageReader reader(path);
    reader.setAutoTransform(false);
    if (reader.canRead()) {
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
            return PICTURE_TOO_LARGE;
        QImage decoded;
        if (reader.read(&decoded) && !decoded.isNull()) {
            image = Normalised(decoded);
            return image.isNull() ? PICTURE_NO_MEMORY : PICTURE_OK;
        }
        // A format Qt recognised but could not decode may still be one
        // that GraphicsMagick reads (a PCX-like header, say).
        QImage other;
        if (DecodeWithMagick(path, other) == PICTURE_OK) {
            image = Normalised(other);
            return PICTURE_OK;
        }
        return reader.error() == QImageReader::InvalidDataError ? PICTURE_DAMAGED
                                                                : PICTURE_UNKNOWN_FORMAT;
    }
    QImage other;
    const int result = DecodeWithMagick(path, other);
    if (result == PICTURE_OK)
        image = Normalised(other);
    return result;
}

// --- the bitmap -------------------------------------------------------------------

PictureStatusCallback CPictureBitmap::SetStatusCallback(PictureStatusCallback callback)
{
    return std::exchange(StatusCallback(), std::move(callback));
}

void CPictureBitmap::SetImage(const QImage& image)
{
    m_image = image.isNull() ? QImage() : Normalised(image);
    // The same picture again (a label run loading its file for every label
    // gets the cached one): the picture made for the device stays, so the
    // device is handed the very same image and a PDF keeps it once.
    if (m_image.isNull() || m_image.cacheKey() != m_deviceKey) {
        m_device = QImage();
        m_deviceSize = QSize();
    }
}

int CPictureBitmap::Load(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) {
        Free();
        return PICTURE_NOT_FOUND;
    }
    const QString key = info.absoluteFilePath() + QLatin1Char('\n') + QString::number(info.size()) +
                        QLatin1Char('\n') +
                        QString::number(info.lastModified().toMSecsSinceEpoch());
    QImage image;
    int cached = PICTURE_OK;
    if (CDecodedCache::Instance().Find(key, image, cached)) {
        if (cached != PICTURE_OK) {
            Free();
            return cached;
        }
        SetImage(image);
        return PICTURE_OK;
    }
    const int result = DecodePictureFile(path, image);
    if (result != PICTURE_OK) {
        // A file that cannot be read now may be readable once it is there
        // or readable: only what its content decides is kept.
        if (result != PICTURE_NOT_FOUND && result != PICTURE_READ_ERROR &&
            result != PICTURE_NO_MEMORY)
            CDecodedCache::Instance().Add(key, QImage(), result);
        Free();
        return result;
    }
    CDecodedCache::Instance().Add(key, image);
    SetImage(image);
    return PICTURE_OK;
}

void CPictureBitmap::Free()
{
    SetImage(QImage());
}

QSize CPictureBitmap::TurnedSize(QSize size, int hundredths)
{
    const int angle = ((hundredths % 36000) + 36000) % 36000;
    if (angle % 18000 == 0)
        return size;
    if (angle % 9000 == 0)
        return size.transposed();
    QTransform turn;
    turn.rotate(angle / 100.0);
    const QRectF box = turn.mapRect(QRectF(0, 0, size.width(), size.height()));
    return QSize(std::max(1, int(std::ceil(box.width() - 1e-6))),
                 std::max(1, int(std::ceil(box.height() - 1e-6))));
}

QSizeF CPictureBitmap::TurnedSizeF(QSize size, int hundredths)
{
    const int angle = ((hundredths % 36000) + 36000) % 36000;
    if (angle % 18000 == 0)
        return QSizeF(size);
    if (angle % 9000 == 0)
        return QSizeF(size.transposed());
    QTransform turn;
    turn.rotate(angle / 100.0);
    return turn.mapRect(QRectF(0, 0, size.width(), size.height())).size();
}

int CPictureBitmap::Rotate(int hundredths)
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    const int angle = ((hundredths % 36000) + 36000) % 36000;
    if (angle == 0)
        return PICTURE_OK;
    // Qt turns in one call: the work is reported as begun and done.
    CRowStatus status(m_image.height());
    QImage result;
    if (angle % 9000 == 0) {
        result = m_image.transformed(QTransform().rotate(angle / 100.0));
    } else {
        const QSize turned = TurnedSize(m_image.size(), angle);
        const int w = turned.width();
        const int h = turned.height();
        if (qint64(w) * h > kMaxPicturePixels)
            return PICTURE_TOO_LARGE;
        const bool alpha = m_image.hasAlphaChannel();
        result = QImage(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (result.isNull())
            return PICTURE_NO_MEMORY;
        result.fill(QColor(255, 255, 255));
        QPainter painter(&result);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(w / 2.0, h / 2.0);
        painter.rotate(angle / 100.0);
        painter.drawImage(QPointF(-m_image.width() / 2.0, -m_image.height() / 2.0), m_image);
        painter.end();
        if (m_image.format() == QImage::Format_Grayscale8)
            result = result.convertToFormat(QImage::Format_Grayscale8);
    }
    if (result.isNull())
        return PICTURE_NO_MEMORY;
    status.Report(100);
    SetImage(result);
    return PICTURE_OK;
}

int CPictureBitmap::Resize(int width, int height)
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    if (width <= 0 || height <= 0)
        return PICTURE_BAD_VALUE;
    if (qint64(width) * height > kMaxPicturePixels)
        return PICTURE_TOO_LARGE;
    // Qt resamples in one call: the work is reported as begun and done.
    CRowStatus status(height);
    const QImage result =
        m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (result.isNull())
        return PICTURE_NO_MEMORY;
    status.Report(100);
    SetImage(result);
    return PICTURE_OK;
}

int CPictureBitmap::Invert()
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    QImage image = m_image;
    CRowStatus status(image.height());
    if (image.format() == QImage::Format_Grayscale8) {
        for (int y = 0; y < image.height(); ++y) {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x)
                line[x] = uchar(255 - line[x]);
            status.Row(y + 1);
        }
    } else {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] ^= 0x00FFFFFF;
            status.Row(y + 1);
        }
    }
    SetImage(image);
    return PICTURE_OK;
}

bool CPictureBitmap::IsGrey() const
{
    return IsAllocated() && m_image.isGrayscale();
}

int CPictureBitmap::Greyscale()
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    // Grey by the usual weights (11 red, 16 green, 5 blue in 32), so that
    // a picture greys the same whatever its format.
    const bool alpha = m_image.hasAlphaChannel();
    const QImage source = m_image.convertToFormat(QImage::Format_ARGB32);
    QImage image(source.size(), alpha ? QImage::Format_ARGB32 : QImage::Format_Grayscale8);
    if (source.isNull() || image.isNull())
        return PICTURE_NO_MEMORY;
    CRowStatus status(image.height());
    for (int y = 0; y < image.height(); ++y) {
        status.Row(y);
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* to = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const int g = qGray(from[x]);
            if (alpha)
                reinterpret_cast<QRgb*>(to)[x] = qRgba(g, g, g, qAlpha(from[x]));
            else
                to[x] = uchar(g);
        }
    }
    status.Report(100);
    SetImage(image);
    return PICTURE_OK;
}

int CPictureBitmap::Brightness(int value)
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    if (value < -1000 || value > 1000)
        return PICTURE_BAD_VALUE;
    Lut lut;
    for (int i = 0; i < 256; ++i)
        lut[size_t(i)] = Clamp255(i + value * 255.0 / 1000.0);
    QImage image = m_image;
    ApplyLut(image, lut);
    SetImage(image);
    return PICTURE_OK;
}

int CPictureBitmap::Contrast(int value)
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    if (value < -1000 || value > 1000)
        return PICTURE_BAD_VALUE;
    const double factor = value <= 0 ? (1000.0 + value) / 1000.0
                                     : (value >= 1000 ? 255.0 : 1000.0 / (1000.0 - value));
    Lut lut;
    for (int i = 0; i < 256; ++i)
        lut[size_t(i)] = Clamp255(128.0 + (i - 128.0) * factor);
    QImage image = m_image;
    ApplyLut(image, lut);
    SetImage(image);
    return PICTURE_OK;
}

int CPictureBitmap::Gamma(int value)
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    if (value < 1 || value > 500)
        return PICTURE_BAD_VALUE;
    const double exponent = 100.0 / value;
    Lut lut;
    for (int i = 0; i < 256; ++i)
        lut[size_t(i)] = Clamp255(255.0 * std::pow(i / 255.0, exponent));
    QImage image = m_image;
    ApplyLut(image, lut);
    SetImage(image);
    return PICTURE_OK;
}

int CPictureBitmap::SetTransparentColour(COLORREF colour)
{
    if (!IsAllocated())
        return PICTURE_NO_BITMAP;
    QImage image = m_image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return PICTURE_NO_MEMORY;
    const QRgb key = qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)) & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
        }
    }
    SetImage(image);
    return PICTURE_OK;
}

const QImage& CPictureBitmap::ForDevice(QSize devicePixels, bool smooth) const
{
    if (!IsAllocated() || devicePixels.isEmpty() ||
        (devicePixels.width() >= m_image.width() && devicePixels.height() >= m_image.height()))
        return m_image;
    if (m_device.isNull() || m_deviceSize != devicePixels || m_deviceSmooth != smooth ||
        m_deviceKey != m_image.cacheKey()) {
        m_device = m_image.scaled(devicePixels, Qt::IgnoreAspectRatio,
                                  smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
        m_deviceSize = devicePixels;
        m_deviceSmooth = smooth;
        m_deviceKey = m_image.cacheKey();
        if (m_device.isNull())
            return m_image;
    }
    return m_device;
}

quint64 CPictureBitmap::DecodeCount()
{
    return s_decodeCount;
}

void CPictureBitmap::ClearCache()
{
    CDecodedCache::Instance().Clear();
}
