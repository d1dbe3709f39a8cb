#include "BarcodeStyle.h"

#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "MessageBox.h"
#include "Messages.h"
#include "SignApp.h"
#include "TextExport.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

struct Preset
{
    const char* name;
    const char* description;
    int family;
    float xDimension;
    int ratio;
    float printGain;
};

// The built-in styles, in the order the list holds them.
constexpr Preset kPresets[] = {
    {"Standard", "15 mil X Dimension, Nominal 3:1 ratio (ideal for use on laser printers)", 1,
     0.015f, 300, 0.0017f},
    {"High density", "7.5 mil X Dimension, Nominal 3:1 ratio", 1, 0.0075f, 300, 0.0017f},
    {"Low density", "20 mil X Dimension, Nominal 3:1 ratio", 1, 0.02f, 300, 0.0017f},
    {"2:1 Low density", "15 mil X Dimension, Nominal 2:1 ratio", 1, 0.015f, 200, 0.0017f},
    {"AIAG / Odette", "13.3 mil X Dimension, Nominal 3:1 ratio", 1, 0.0133333f, 300, 0.0017f},
    {"ITF-14 62.5%", "0.64mm nominal element width, 2.5:1 ratio", 1, 0.0250984f, 250, 0.0017f},
    {"ITF-14 70%", "0.71mm nominal element width, 2.5:1 ratio", 1, 0.0281102f, 250, 0.0017f},
    {"ITF-14 80%", "0.81mm nominal element width, 2.5:1 ratio", 1, 0.0321259f, 250, 0.0017f},
    {"ITF-14 90%", "0.91mm nominal element width, 2.5:1 ratio", 1, 0.0361417f, 250, 0.0f},
    {"ITF-14 100%", "1.02mm nominal element width, 2.5:1 ratio", 1, 0.0401574f, 250, 0.0017f},
    {"ITF-14 110%", "1.12mm nominal element width, 2.5:1 ratio", 1, 0.0441732f, 250, 0.0017f},
    {"ITF-14 120%", "1.22mm nominal element width, 2.5:1 ratio", 1, 0.0481889f, 250, 0.0017f},
    {"EAN 100%", "Nominal 100%", 3, 0.01299f, 300, 0.0f},
    {"EAN 80%", "Nominal 80%", 3, 0.01039f, 300, 0.0f},
    {"EAN 120%", "Nominal 120%", 3, 0.01559f, 300, 0.0f},
    {"EAN 150%", "Nominal 150%", 3, 0.01949f, 300, 0.0f},
    {"EAN 175%", "Nominal 175%", 3, 0.02274f, 300, 0.0f},
    {"EAN 200%", "Nominal 200%", 3, 0.02598f, 300, 0.0f},
    {"Standard", "13 mil X Dimension (standard for Code128)", 2, 0.0133333f, 300, 0.0f},
    {"High density", "7.5 mil X Dimension", 2, 0.0075f, 300, 0.0f},
    {"Low density", "20 mil X Dimension", 2, 0.02f, 300, 0.0f},
    {"EAN-128 25%", "0.25mm nominal bar width", 2, 0.00635f, 300, 0.0f},
    {"EAN-128 40%", "0.4mm nominal bar width", 2, 0.01016f, 300, 0.0f},
    {"EAN-128 50%", "0.5mm nominal bar width", 2, 0.0127f, 300, 0.0f},
    {"EAN-128 60%", "0.6mm nominal bar width", 2, 0.01524f, 300, 0.0f},
    {"EAN-128 80%", "0.8mm nominal bar width", 2, 0.02032f, 300, 0.0f},
    {"EAN-128 100%", "1mm nominal bar width", 2, 0.0254f, 300, 0.0f},
    {"EAN-128 120%", "1.2mm nominal bar width", 2, 0.03048f, 300, 0.0f},
    {"Standard", "Dimensions are set by symbology specification", 0, 0.0f, 0, 0.0f},
};

QString Mils(float inches)
{
    return QString::number(double(inches * 1000.0f), 'f', 2);
}

void WriteStyleRecord(CArchive& ar, const CBarcodeStyle& style)
{
    ar << style.name << style.description << DWORD(style.family) << style.xDimension
       << DWORD(style.ratio) << style.printGain << DWORD(style.userDefined);
}

CBarcodeStyle ReadStyleRecord(CArchive& ar)
{
    CBarcodeStyle style;
    ar >> style.name >> style.description;
    style.family = ar.ReadInt();
    ar >> style.xDimension;
    style.ratio = ar.ReadInt();
    ar >> style.printGain;
    style.userDefined = ar.ReadInt() != 0 ? TRUE : FALSE;
    return style;
}

} // namespace

// --- one style ---------------------------------------------------------------

void CBarcodeStyle::WriteXml(CTextExportFile& file) const
{
    file.WriteString(
        QStringLiteral("    <x-dimension units=\"mil\" value=\"%1\"/>\n").arg(Mils(xDimension)));
    file.WriteString(
        QStringLiteral("    <ratio=\"%1:1\"/>\n").arg(QString::number(ratio * 0.01, 'f', 2)));
    file.WriteString(
        QStringLiteral("    <print-gain=\"mil\" value=\"%1\"/>\n").arg(Mils(printGain)));
}

QString CBarcodeStyle::Validate() const
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Please give the style a name.");
    if (!HasOwnGeometry())
        return QString();
    if (!(xDimension > 0.0f) || !std::isfinite(xDimension))
        return QStringLiteral("The X dimension must be greater than 0.");
    if (ratio < kMinRatio || ratio > kMaxRatio)
        return QStringLiteral("The ratio must be from %1:1 to %2:1.")
            .arg(kMinRatio / 100)
            .arg(kMaxRatio / 100);
    if (!(printGain >= 0.0f && printGain <= xDimension))
        return QStringLiteral("The print gain must be from 0 to the X dimension (%1 mil).")
            .arg(Mils(xDimension));
    return QString();
}

bool CBarcodeStyle::ClampToLimits()
{
    if (!HasOwnGeometry())
        return true;
    if (!(xDimension > 0.0f) || !std::isfinite(xDimension))
        return false;
    ratio = std::clamp(ratio, kMinRatio, kMaxRatio);
    if (!(printGain >= 0.0f)) // also NaN
        printGain = 0.0f;
    printGain = std::min(printGain, xDimension);
    return true;
}

// --- the list ----------------------------------------------------------------

CBarcodeStyleList& TheBarcodeStyleList()
{
    return App().Get<CBarcodeStyleList>();
}

CBarcodeStyleList::CBarcodeStyleList()
{
    for (const Preset& p : kPresets) {
        CBarcodeStyle style;
        style.name = QString::fromLatin1(p.name);
        style.description = QString::fromLatin1(p.description);
        style.family = p.family;
        style.xDimension = p.xDimension;
        style.ratio = p.ratio;
        style.printGain = p.printGain;
        m_styles.push_back(std::make_unique<CBarcodeStyle>(style));
    }
}

CBarcodeStyleList::~CBarcodeStyleList() = default;

CBarcodeStyle* CBarcodeStyleList::Add(const CBarcodeStyle& style)
{
    if (style.name.isEmpty())
        return nullptr;
    try {
        m_styles.push_back(std::make_unique<CBarcodeStyle>(style));
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return nullptr;
    }
    return m_styles.back().get();
}

CBarcodeStyle* CBarcodeStyleList::AddTyped(const CBarcodeStyle& style, QString& reason)
{
    reason = style.Validate();
    if (!reason.isEmpty())
        return nullptr;
    return Add(style);
}

CBarcodeStyle* CBarcodeStyleList::Find(const QString& name, int family) const
{
    CBarcodeStyle* first = nullptr;
    for (const auto& style : m_styles) {
        if (style->family != family)
            continue;
        if (style->name == name)
            return style.get();
        if (!first)
            first = style.get();
    }
    return first;
}

QStringList CBarcodeStyleList::StyleNames(int family) const
{
    QStringList names;
    for (const auto& style : m_styles) {
        if (style->family == family)
            names.append(style->name);
    }
    return names;
}

QString CBarcodeStyleList::FilePath()
{
    return CSignApp::GetProgramFileName(QStringLiteral(".cbs"));
}

void CBarcodeStyleList::Load()
{
    LoadFrom(FilePath());
}

BOOL CBarcodeStyleList::Save() const
{
    return SaveTo(FilePath());
}

void CBarcodeStyleList::LoadFrom(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return;
    // The user has a style file: whatever keeps it from being read whole is
    // said once, and the file is kept as it is.
    const auto keep = [this, &path](const QString& reason) {
        m_keptFile = path;
        AppMessageBox(QStringLiteral("Your barcode style file \"%1\" cannot be read whole: %2. "
                                     "It is left as it is, and changes to your barcode styles "
                                     "are not saved into it in this session.")
                          .arg(path, reason),
                      MB_ICONEXCLAMATION);
    };
    if (!file.open(QIODevice::ReadOnly)) {
        keep(file.errorString());
        return;
    }
    CArchive ar(&file, CArchive::load);
    ar.SetFilePath(path);
    if (file.error() != QFileDevice::NoError) {
        keep(file.errorString());
        return;
    }
    QString reason;
    try {
        ar.ReadDWord(); // the format version says nothing yet
        const DWORD count = ar.ReadDWord();
        for (DWORD i = 0; i < count; ++i) {
            CBarcodeStyle style = ReadStyleRecord(ar);
            if (!style.ClampToLimits()) {
                // left out; the rest is read on
                if (reason.isEmpty())
                    reason = QStringLiteral("the style \"%1\" has no X dimension")
                                 .arg(ElideMiddle(style.name));
                continue;
            }
            if (!Add(style)) {
                reason = style.name.isEmpty() ? QStringLiteral("a style has no name")
                                              : QStringLiteral("not enough memory");
                break;
            }
        }
    } catch (const CArchiveException&) {
        // The styles read so far stay.
        reason = QStringLiteral("the file is damaged");
    }
    if (!reason.isEmpty())
        keep(reason);
}

BOOL CBarcodeStyleList::SaveTo(const QString& path) const
{
    if (!m_keptFile.isEmpty() && QFileInfo(path) == QFileInfo(m_keptFile))
        return FALSE;
    std::vector<const CBarcodeStyle*> user;
    for (const auto& style : m_styles) {
        if (style->userDefined)
            user.push_back(style.get());
    }
    if (user.empty())
        return TRUE;

    // Written beside the old file and put in its place only when every byte
    // reached the disk.
    QSaveFile file(path);
    QString error;
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        try {
            CArchive ar(&file, CArchive::store);
            ar << kFileVersion << DWORD(user.size());
            for (const CBarcodeStyle* style : user)
                WriteStyleRecord(ar, *style);
            ar.Flush();
        } catch (const CArchiveException&) {
            error = file.errorString();
        }
        if (error.isEmpty() && file.commit())
            return TRUE;
        if (error.isEmpty())
            error = file.errorString();
        file.cancelWriting();
    } else {
        error = file.errorString();
    }
    AppMessageBox(QStringLiteral("The file %1 could not be saved.\n%2").arg(path, error));
    return FALSE;
}

void CBarcodeStyleList::SerializeStyle(CArchive& ar, const CBarcodeStyle* style, int family)
{
    if (ar.IsStoring()) {
        CBarcodeStyle none;
        none.family = family;
        WriteStyleRecord(ar, style ? *style : none);
        return;
    }
    CBarcodeStyle loaded = ReadStyleRecord(ar);
    const CBarcodeStyle* known = Find(loaded.name, loaded.family);
    if (known && known->name == loaded.name)
        return;
    if (loaded.ClampToLimits())
        Add(loaded);
}

// --- last-used settings ------------------------------------------------------

CBarcodePreferences::CBarcodePreferences()
{
    font.lfHeight = 36;
    font.lfWeight = 400;
    font.lfOutPrecision = 4;
    font.lfPitchAndFamily = 2;
    font.lfFaceName = QString::fromLatin1(kDesignFace);
}

CBarcodePreferences& CBarcodePreferences::Current()
{
    return App().Get<CBarcodePreferences>();
}

void CBarcodePreferences::Load()
{
    const QString section = QStringLiteral("BarcodePreferences");
    const CBarcodePreferences defaults;
    font = defaults.font;
    CSignApp::GetProfileFont(section, font);
    type = CSignApp::GetProfileInt(section, QStringLiteral("Type"), defaults.type);
    style = CSignApp::GetProfileString(section, QStringLiteral("Style"), defaults.style);
    height = CSignApp::GetProfileInt(section, QStringLiteral("Height"), defaults.height);
    calcChecksum =
        CSignApp::GetProfileInt(section, QStringLiteral("CalcChecksum"), defaults.calcChecksum);
    showHuman = CSignApp::GetProfileInt(section, QStringLiteral("ShowHuman"), defaults.showHuman);
    showChecksum =
        CSignApp::GetProfileInt(section, QStringLiteral("ShowChecksum"), defaults.showChecksum);
    horzJustify =
        CSignApp::GetProfileInt(section, QStringLiteral("HorzJustify"), defaults.horzJustify);
    vertJustify =
        CSignApp::GetProfileInt(section, QStringLiteral("VertJustify"), defaults.vertJustify);
}

void CBarcodePreferences::Save() const
{
    const QString section = QStringLiteral("BarcodePreferences");
    CSignApp::WriteProfileFont(section, font);
    CSignApp::WriteProfileInt(section, QStringLiteral("Type"), type);
    CSignApp::WriteProfileString(section, QStringLiteral("Style"), style);
    CSignApp::WriteProfileInt(section, QStringLiteral("Height"), height);
    CSignApp::WriteProfileInt(section, QStringLiteral("CalcChecksum"), calcChecksum);
    CSignApp::WriteProfileInt(section, QStringLiteral("ShowHuman"), showHuman);
    CSignApp::WriteProfileInt(section, QStringLiteral("ShowChecksum"), showChecksum);
    CSignApp::WriteProfileInt(section, QStringLiteral("HorzJustify"), horzJustify);
    CSignApp::WriteProfileInt(section, QStringLiteral("VertJustify"), vertJustify);
}

LogFontFields CBarcodePreferences::DefaultFont() const
{
    LogFontFields lf = font;
    lf.lfFaceName = UsableFace(lf.lfFaceName);
    return lf;
}

QString CBarcodePreferences::UsableFace(const QString& face)
{
    const QString design = QString::fromLatin1(kDesignFace);
    if (face.compare(design, Qt::CaseInsensitive) != 0)
        return face;
    // Asked for every barcode text read; the font database is asked once.
    static const bool designInstalled = QFontDatabase::hasFamily(CDC::SubstituteFaceName(design));
    if (designInstalled)
        return face;
    static const QString standIn =
        QFontDatabase::hasFamily(QStringLiteral("Liberation Mono")) ||
                !QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Mono"))
            ? QStringLiteral("Liberation Mono")
            : QStringLiteral("DejaVu Sans Mono");
    static bool warned = false;
    if (!warned) {
        warned = true;
        qWarning("Barcode font \"%s\" is not installed; the monospace \"%s\" stands in for it",
                 qPrintable(design), qPrintable(standIn));
    }
    return standIn;
}
