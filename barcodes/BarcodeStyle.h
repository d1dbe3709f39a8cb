// Barcode styles: named module geometries (x-dimension, wide-to-narrow ratio,
// print gain) in families that match the symbology table. One list holds the
// built-in presets and the user's own styles, which live in the ".cbs" side
// file in the program folder. Also the last-used barcode settings that new
// barcode elements start from.
#pragma once

#include "LogFontFields.h"
#include "Types.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CArchive;
class CTextExportFile;

class CBarcodeStyle
{
public:
    QString name;         // unique within a family
    QString description;  // shown in the style dialogs
    int family = 0;       // StyleFamily
    float xDimension = 0; // narrow module width, inches
    int ratio = 0;        // wide-to-narrow ratio in hundredths (300 = 3:1)
    float printGain = 0;  // inches added to every space
    BOOL userDefined = FALSE;

    bool operator==(const CBarcodeStyle&) const = default;

    // The limits of a style's geometry, for every family but the postal
    // one, whose dimensions the symbology fixes: an X dimension above 0, a
    // ratio of at least 1:1 and a print gain from 0 up to the X dimension.
    static constexpr int kMinRatio = 100;
    static constexpr int kMaxRatio = 10000;
    bool HasOwnGeometry() const { return family != 0; }
    // Why a style typed in the style dialog cannot be kept (it also needs a
    // name), or an empty text when it can.
    QString Validate() const;
    // Brings a style read from a file within the limits: the ratio and the
    // gain are clamped; FALSE, and the style is to be left out, when the X
    // dimension is not above 0.
    bool ClampToLimits();

    // The three style lines of the template text export.
    void WriteXml(CTextExportFile& file) const;
};

class CBarcodeStyleList
{
public:
    // The built-in presets, in their fixed order.
    CBarcodeStyleList();
    ~CBarcodeStyleList();
    CBarcodeStyleList(const CBarcodeStyleList&) = delete;
    CBarcodeStyleList& operator=(const CBarcodeStyleList&) = delete;

    // Appends a copy; null for a style without a name, or (after the
    // "Insufficient memory" message) when memory runs out.
    CBarcodeStyle* Add(const CBarcodeStyle& style);
    // Appends a style the user typed when CBarcodeStyle::Validate finds
    // nothing wrong with it; else null, with the reason in reason.
    CBarcodeStyle* AddTyped(const CBarcodeStyle& style, QString& reason);
    // The first style of exactly this name (case-sensitive) and family; else
    // the family's first style; else null.
    CBarcodeStyle* Find(const QString& name, int family) const;
    // The names of the family's styles in list order: what a style combo box
    // lists.
    QStringList StyleNames(int family) const;

    // Appends the user styles of the program's ".cbs" file; a missing file
    // is skipped without a word. Ratio and gain are clamped to the limits. A
    // file that is there but cannot be read whole (no permission, damaged,
    // a style without an X dimension) is named in one message with the
    // reason; the styles read before the damage stay, and the file is left
    // as it is: saving does not write over it in this session.
    void Load();
    // Writes the user styles to it; writes nothing at all when there is none.
    // FALSE (after a message) when the file cannot be written whole, the old
    // file then left as it was; FALSE without a word for a file kept as it
    // is because it could not be read.
    BOOL Save() const;
    // The same with a file of the caller's choice.
    void LoadFrom(const QString& path);
    BOOL SaveTo(const QString& path) const;
    static QString FilePath();
    // A style file that could not be read whole, kept as it is; empty when
    // there is none.
    const QString& KeptFile() const { return m_keptFile; }

    // The style record inside a barcode element of a sign. Storing writes
    // the style (an empty one of the family when there is none); loading
    // reads one and adds it to the list unless the family already has a
    // style of exactly that name or it has no X dimension (ratio and gain
    // are clamped to the limits).
    void SerializeStyle(CArchive& ar, const CBarcodeStyle* style, int family);

    int GetCount() const { return static_cast<int>(m_styles.size()); }
    CBarcodeStyle* GetAt(int index) const { return m_styles[std::size_t(index)].get(); }

    static constexpr DWORD kFileVersion = 514;

private:
    std::vector<std::unique_ptr<CBarcodeStyle>> m_styles;
    QString m_keptFile;
};

// The application's barcode style list.
CBarcodeStyleList& TheBarcodeStyleList();

// The last-used barcode settings ("BarcodePreferences" in the profile). A
// value of -1 means "the symbology's own".
struct CBarcodePreferences
{
    CBarcodePreferences();

    LogFontFields font; // the human-readable text font
    int type = -1;      // symbology id; -1 none chosen
    QString style;
    int height = -1;
    int calcChecksum = -1;
    int showHuman = -1;
    int showChecksum = -1;
    int horzJustify = 1;
    int vertJustify = 0;

    // The profile values, each with its default.
    void Load();
    void Save() const;

    static CBarcodePreferences& Current();

    // The face the human-readable text is designed for.
    static constexpr const char* kDesignFace = "Tabrel OCRB";
    // The font of new barcode texts: the preference font, with a monospace
    // face standing in for the design face when that is not installed.
    LogFontFields DefaultFont() const;
    // The face to use for a stored face name: the design face is replaced
    // by "Liberation Mono" (else "DejaVu Sans Mono") when it is not
    // installed, with a warning the first time; other names pass unchanged.
    static QString UsableFace(const QString& face);
};
