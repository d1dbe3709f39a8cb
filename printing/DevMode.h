// The printer settings block as signs store it: the single-byte Windows
// DEVMODE, a public part of dmSize bytes (156 for the layout written here)
// followed by dmDriverExtra bytes that belong to the printer driver. Every
// number is little-endian.
//
// Blocks read from signs may come from old drivers with a shorter public
// part, or may be damaged. Every access is therefore checked against the
// block's real length: a field beyond the block reads as 0 and a write beyond
// it is ignored. The driver-private area is reached only through the
// bounds-checked helpers; when dmSize + dmDriverExtra claims more bytes than
// the block holds, the area is clamped to what exists.
#pragma once

#include "PrinterDevices.h"
#include "Types.h"

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QPrinter;

// dmFields bits.
enum : DWORD
{
    DM_ORIENTATION = 0x00000001,
    DM_PAPERSIZE = 0x00000002,
    DM_PAPERLENGTH = 0x00000004,
    DM_PAPERWIDTH = 0x00000008,
    DM_SCALE = 0x00000010,
    DM_COPIES = 0x00000100,
    DM_DEFAULTSOURCE = 0x00000200,
    DM_PRINTQUALITY = 0x00000400,
    DM_COLOR = 0x00000800,
    DM_DUPLEX = 0x00001000,
    DM_YRESOLUTION = 0x00002000,
    DM_TTOPTION = 0x00004000,
    DM_COLLATE = 0x00008000,
    DM_FORMNAME = 0x00010000,
};

enum : short
{
    DMCOLLATE_FALSE = 0,
    DMCOLLATE_TRUE = 1,
};

class CDevMode
{
public:
    // Byte offsets of the public fields.
    enum Offset : int
    {
        offDeviceName = 0, // 32 bytes
        offLayoutVersion = 32,
        offDriverVersion = 34,
        offSize = 36,
        offDriverExtra = 38,
        offFields = 40,
        offOrientation = 44,
        offPaperSize = 46,
        offPaperLength = 48,
        offPaperWidth = 50,
        offScale = 52,
        offCopies = 54,
        offDefaultSource = 56,
        offPrintQuality = 58,
        offColor = 60,
        offDuplex = 62,
        offYResolution = 64,
        offTTOption = 66,
        offCollate = 68,
        offFormName = 70, // 32 bytes
        offLogPixels = 102,
        offBitsPerPel = 104,
        offPelsWidth = 108,
        offPelsHeight = 112,
        offDisplayFlags = 116,
        offDisplayFrequency = 120,
        offICMMethod = 124,
        offICMIntent = 128,
        offMediaType = 132,
        offDitherType = 136,
        offReserved1 = 140,
        offReserved2 = 144,
        offPanningWidth = 148,
        offPanningHeight = 152,
    };
    static constexpr int kPublicSize = 156;
    static constexpr WORD kLayoutVersion = 0x401;
    static constexpr int kNameBytes = 32; // device and form names, with their NUL

    // An empty block: no settings.
    CDevMode() = default;
    explicit CDevMode(QByteArray block) : m_block(std::move(block)) {}

    // A fresh block with the printer's defaults: portrait, its default paper
    // size, one copy, collated, automatic paper source, its resolution.
    // Empty for an unknown printer.
    static CDevMode ForPrinter(const QString& printerName);

    bool IsEmpty() const { return m_block.isEmpty(); }
    const QByteArray& Block() const { return m_block; }
    int BlockSize() const { return static_cast<int>(m_block.size()); }
    bool operator==(const CDevMode&) const = default;

    // The bytes the block claims (dmSize + dmDriverExtra), never more than it
    // holds.
    int StoredSize() const;
    // Whether the header is present and dmSize + dmDriverExtra fits the block.
    bool IsWellFormed() const;
    // Drops bytes beyond dmSize + dmDriverExtra.
    void TrimToStoredSize();

    // Checked little-endian access at any offset.
    WORD GetWord(int offset) const;
    void SetWord(int offset, WORD value);
    DWORD GetDWord(int offset) const;
    void SetDWord(int offset, DWORD value);
    short GetShort(int offset) const { return static_cast<short>(GetWord(offset)); }
    void SetShort(int offset, short value) { SetWord(offset, static_cast<WORD>(value)); }
    // A NUL-terminated Windows-1252 text in a field of kNameBytes bytes;
    // SetText keeps at most 31 characters and clears the rest of the field.
    QString GetText(int offset) const;
    void SetText(int offset, const QString& text);

    QString DeviceName() const { return GetText(offDeviceName); }
    void SetDeviceName(const QString& name) { SetText(offDeviceName, name); }
    QString FormName() const { return GetText(offFormName); }
    void SetFormName(const QString& name) { SetText(offFormName, name); }
    WORD LayoutVersion() const { return GetWord(offLayoutVersion); }
    void SetLayoutVersion(WORD v) { SetWord(offLayoutVersion, v); }
    WORD DriverVersion() const { return GetWord(offDriverVersion); }
    void SetDriverVersion(WORD v) { SetWord(offDriverVersion, v); }
    WORD Size() const { return GetWord(offSize); }
    void SetSize(WORD v) { SetWord(offSize, v); }
    WORD DriverExtra() const { return GetWord(offDriverExtra); }
    void SetDriverExtra(WORD v) { SetWord(offDriverExtra, v); }
    DWORD Fields() const { return GetDWord(offFields); }
    void SetFields(DWORD v) { SetDWord(offFields, v); }
    void AddFields(DWORD bits) { SetFields(Fields() | bits); }
    short Orientation() const { return GetShort(offOrientation); }
    void SetOrientation(short v) { SetShort(offOrientation, v); }
    short PaperSize() const { return GetShort(offPaperSize); }
    void SetPaperSize(short v) { SetShort(offPaperSize, v); }
    short PaperLength() const { return GetShort(offPaperLength); }
    void SetPaperLength(short v) { SetShort(offPaperLength, v); }
    short PaperWidth() const { return GetShort(offPaperWidth); }
    void SetPaperWidth(short v) { SetShort(offPaperWidth, v); }
    short Copies() const { return GetShort(offCopies); }
    void SetCopies(short v) { SetShort(offCopies, v); }
    short DefaultSource() const { return GetShort(offDefaultSource); }
    void SetDefaultSource(short v) { SetShort(offDefaultSource, v); }
    short PrintQuality() const { return GetShort(offPrintQuality); }
    void SetPrintQuality(short v) { SetShort(offPrintQuality, v); }
    short YResolution() const { return GetShort(offYResolution); }
    void SetYResolution(short v) { SetShort(offYResolution, v); }
    short Collate() const { return GetShort(offCollate); }
    void SetCollate(short v) { SetShort(offCollate, v); }

    // The driver-private area: where it starts (dmSize, within the block)
    // and how many of its dmDriverExtra bytes exist.
    int PrivateOffset() const;
    int PrivateSize() const;
    // length bytes at offset into the private area; empty unless all of
    // them exist.
    QByteArray ReadPrivate(int offset, int length) const;
    // Writes the bytes at offset into the private area; nothing is written
    // (and false returned) unless all of them fit.
    bool WritePrivate(int offset, const QByteArray& bytes);

    // The paper size the block describes, for a printer with these forms:
    // the form named by dmFormName; else the standard size of the Windows
    // paper-size number (when dmPaperWidth/Length, if given, agree with it);
    // else the size dmPaperWidth x dmPaperLength; else the fallback.
    QPageSize PageSize(const QList<PrinterForm>& forms, const QPageSize& fallback) const;
    QPageLayout::Orientation PageOrientation() const;
    // Sets the paper fields for a form at that index of the printer's list:
    // dmPaperSize = index + 1, its name and size (tenths of a millimetre).
    void SetForm(int index, const PrinterForm& form);

    // Carries the settings to a QPrinter (paper, orientation, copies,
    // collation, resolution) and back. The printer itself is chosen with
    // CPrinterDevices::SetUpQPrinter.
    void ApplyTo(QPrinter& qprinter, const QList<PrinterForm>& forms) const;
    void ReadFrom(const QPrinter& qprinter, const QList<PrinterForm>& forms);

    // The standard paper size of a Windows paper-size number, or Custom.
    static QPageSize::PageSizeId PageSizeIdForPaperNumber(int paperSize);

private:
    bool Holds(int offset, int length) const
    {
        return offset >= 0 && length >= 0 && offset <= BlockSize() - length;
    }

    QByteArray m_block;
};
