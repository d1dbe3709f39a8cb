// The decoded bitmap of a picture element and the processing the element
// applies to it: turning, resampling, inversion, grey scale, brightness,
// contrast, gamma and the transparent colour.
//
// Files are decoded through QImageReader (with the image-format plugins)
// and, for the formats Qt cannot read (PCX, PSD, ...), through
// GraphicsMagick. Every decoded file is kept in a process-wide cache keyed
// by its path, size and modification time, so that a run of labels, an undo
// or a reload never decodes the same file twice.
//
// Each operation returns PICTURE_OK (1) or a negative error code; the codes
// and the messages they give are below.
#pragma once

#include "Types.h"

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

enum PictureResult : int
{
    PICTURE_OK = 1,
    // "Insufficient memory"
    PICTURE_NO_MEMORY = -1,
    PICTURE_TOO_LARGE = -3,
    // "Unsupported picture format"
    PICTURE_DAMAGED = -4,
    PICTURE_UNKNOWN_FORMAT = -9,
    // "Unsupported picture format", with the reason: a metafile that holds
    // more drawing than a picture may cost.
    PICTURE_TOO_COMPLEX = -16,
    // "Unable to find file"
    PICTURE_NOT_FOUND = -6,
    // "Picture processing error <n>"
    PICTURE_READ_ERROR = -10,
    PICTURE_BAD_VALUE = -11,
    PICTURE_NO_BITMAP = -13,
};

// The message of a failed picture operation; the path names the file.
QString PictureErrorMessage(int code, const QString& path);
// Shows that message.
void ShowPictureError(int code, const QString& path);

// Pictures with more pixels than this are refused as too large.
inline constexpr qint64 kMaxPicturePixels = 120'000'000;

// Told how far a long picture operation has come, in percent (0 to 100).
using PictureStatusCallback = std::function<void(int percent)>;

class CPictureBitmap
{
public:
    // The callback that inverting, grey-scaling and resampling report to;
    // returns the one it replaces.
    static PictureStatusCallback SetStatusCallback(PictureStatusCallback callback);

    bool IsAllocated() const { return !m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    QSize Size() const { return m_image.size(); }
    const QImage& Image() const { return m_image; }
    void SetImage(const QImage& image);

    // Decodes the file (or takes it from the cache).
    int Load(const QString& path);
    void Free();

    // Turns the picture clockwise by hundredths of a degree, growing the
    // bitmap to hold the result; the corners it uncovers are white. Whole
    // quarter turns are exact.
    int Rotate(int hundredths);
    // The size a picture of that size has once turned so.
    static QSize TurnedSize(QSize size, int hundredths);
    // The same without rounding up to whole pixels.
    static QSizeF TurnedSizeF(QSize size, int hundredths);
    // Resamples to the size in pixels (smoothly).
    int Resize(int width, int height);
    // Inverts every colour channel.
    int Invert();
    // Whether every pixel is a shade of grey.
    bool IsGrey() const;
    // Converts to 8-bit grey (keeping transparency).
    int Greyscale();
    // Brightness -1000..1000: adds value/1000 of the full scale to each
    // channel (1000 makes everything white, -1000 black).
    int Brightness(int value);
    // Contrast -1000..1000: each channel moves away from (or towards) the
    // middle grey 128 by a factor (1000 + value)/1000 below 0, so -1000 is
    // flat grey, and 1000/(1000 - value) above 0, so 1000 is a threshold
    // at 128.
    int Contrast(int value);
    // Gamma 1..500 in hundredths: channel = 255 x (channel/255)^(100/value);
    // 100 leaves the picture as it is, above 100 lightens the middle tones.
    int Gamma(int value);
    // Pixels of the colour become transparent.
    int SetTransparentColour(COLORREF colour);

    // The picture at a device size for drawing: a picture larger than the
    // device rectangle is resampled to it once and the result kept, so that
    // every further label at that size draws the same image; a smaller one
    // is returned as it is and scaled by the painter.
    const QImage& ForDevice(QSize devicePixels, bool smooth) const;

    // Files decoded since the program started (cache hits do not count).
    static quint64 DecodeCount();
    // Empties the decoded-file cache.
    static void ClearCache();

private:
    QImage m_image;
    mutable QImage m_device;
    mutable QSize m_deviceSize;
    mutable bool m_deviceSmooth = false;
    mutable qint64 m_deviceKey = 0;
};

// Decodes a picture file without the cache: QImageReader first, then
// GraphicsMagick. The image is in a 32-bit or 8-bit grey format.
int DecodePictureFile(const QString& path, QImage& image);
