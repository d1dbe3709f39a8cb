#include "SignApp.h"

#include "AppContext.h"
#include "FileName.h"
#include "ProfileSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <memory>

namespace {

QString& ProgramTitle()
{
    static QString title = QStringLiteral("Tabrel");
    return title;
}

// Runs the reader on the profile file: the session's when one runs, else
// one opened for this read.
template <class Read> auto WithProfile(bool shared, Read read)
{
    if (QSettings* settings = CProfileSession::SessionFile(shared))
        return read(*settings);
    const auto settings = CProfileSession::OpenFile(shared);
    return read(*settings);
}

// Runs the writer on the profile file: in a session the change is written
// when the session ends; otherwise at once. FALSE when the file may not be
// written (it could not be read completely) or the write failed.
template <class Put> bool WriteProfile(bool shared, Put put)
{
    QSettings* settings = CProfileSession::SessionFile(shared);
    std::unique_ptr<QSettings> own;
    if (!settings) {
        own = CProfileSession::OpenFile(shared);
        settings = own.get();
    }
    if (!CProfileSession::MayWrite(*settings))
        return false;
    put(*settings);
    if (!own) {
        CProfileSession::MarkChanged(shared);
        return true;
    }
    return CProfileSession::Write(*settings);
}

QString KeyPath(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

// The stored text, or a null string when the key is missing. A value that
// the INI reader took for a list (unquoted commas) is joined again.
QString ReadText(const QString& section, const QString& key, bool shared)
{
    const QVariant value = WithProfile(
        shared, [&](QSettings& settings) { return settings.value(KeyPath(section, key)); });
    if (!value.isValid())
        return QString();
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    QString text = value.toString();
    if (text.isNull())
        text = QStringLiteral("");
    return text;
}

bool WriteValue(const QString& section, const QString& key, const QVariant& value, bool shared)
{
    return WriteProfile(
        shared, [&](QSettings& settings) { settings.setValue(KeyPath(section, key), value); });
}

// Leading blanks, an optional sign and decimal digits, as far as they go;
// 0 when no digit follows. Values beyond 32 bits are clamped.
LONG ParseLeadingLong(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value <= std::numeric_limits<LONG>::max() + 1LL)
            value = value * 10 + (text[i].unicode() - u'0');
    }
    if (negative)
        value = -value;
    value = std::clamp<long long>(value, std::numeric_limits<LONG>::min(),
                                  std::numeric_limits<LONG>::max());
    return static_cast<LONG>(value);
}

bool IsWritableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return !folder.isEmpty() && info.isDir() && info.isWritable();
}

QString ExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return self.exists() ? QFileInfo(self.canonicalFilePath()).absolutePath() : QString();
}

QString StripTrailingSeparators(QString folder)
{
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    return folder;
}

template <class T>
void ReadFontField(const QString& section, const char* key, T& field, bool shared)
{
    field = static_cast<T>(CSignApp::GetProfileInt(section, QString::fromLatin1(key),
                                                   static_cast<int>(field), shared));
}

} // namespace

void CSignApp::SetProgramTitle(const QString& title)
{
    ProgramTitle() = title;
}

QString CSignApp::GetProgramTitle()
{
    return ProgramTitle();
}

QString CSignApp::GetProgramFolder(bool trailingSeparator)
{
    QString folder = StripTrailingSeparators(qEnvironmentVariable("TABREL_HOME"));
    if (folder.isEmpty()) {
        folder = ExecutableFolder();
        if (!IsWritableFolder(folder)) {
            folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/Corvane/Tabrel");
            QDir().mkpath(folder);
        }
    }
    folder.replace(u'\\', u'/');
    if (trailingSeparator && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString CSignApp::GetProgramFileName(const QString& extensionWithDot)
{
    return GetProgramFolder(true) + QStringLiteral("Tabrel") + extensionWithDot;
}

QString CSignApp::ResolveRelativePicture(const QString& stored)
{
    const QString inProgram = NormalizeStoredPath(stored, GetProgramFolder(true));
    const QString& signFolder = App().signFolder;
    if (signFolder.isEmpty() || QFileInfo::exists(inProgram))
        return inProgram;
    const QString beside = NormalizeStoredPath(stored, signFolder);
    return QFileInfo::exists(beside) ? beside : inProgram;
}

int CSignApp::GetProfileInt(const QString& section, const QString& key, int defaultValue,
                            bool shared)
{
    const QString text = ReadText(section, key, shared).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : defaultValue;
}

bool CSignApp::WriteProfileInt(const QString& section, const QString& key, int value, bool shared)
{
    return WriteValue(section, key, QString::number(value), shared);
}

QString CSignApp::GetProfileString(const QString& section, const QString& key,
                                   const QString& defaultValue, bool shared)
{
    const QString text = ReadText(section, key, shared);
    return text.isNull() ? defaultValue : text;
}

bool CSignApp::WriteProfileString(const QString& section, const QString& key, const QString& value,
                                  bool shared)
{
    return WriteValue(section, key, value, shared);
}

LONG CSignApp::GetProfileLong(const QString& section, const QString& key, LONG defaultValue,
                              bool shared)
{
    const QString text = ReadText(section, key, shared);
    if (text.isEmpty())
        return defaultValue;
    return ParseLeadingLong(text);
}

bool CSignApp::WriteProfileLong(const QString& section, const QString& key, LONG value, bool shared)
{
    return WriteValue(section, key, QString::number(value), shared);
}

void CSignApp::GetProfileFont(const QString& section, LogFontFields& inOut, bool shared)
{
    // One file for the fourteen keys.
    const CProfileSession session;
    ReadFontField(section, "lfHeight", inOut.lfHeight, shared);
    ReadFontField(section, "lfWidth", inOut.lfWidth, shared);
    ReadFontField(section, "lfEscapement", inOut.lfEscapement, shared);
    ReadFontField(section, "lfOrientation", inOut.lfOrientation, shared);
    ReadFontField(section, "lfWeight", inOut.lfWeight, shared);
    ReadFontField(section, "lfItalic", inOut.lfItalic, shared);
    ReadFontField(section, "lfUnderline", inOut.lfUnderline, shared);
    ReadFontField(section, "lfStrikeOut", inOut.lfStrikeOut, shared);
    ReadFontField(section, "lfCharSet", inOut.lfCharSet, shared);
    ReadFontField(section, "lfOutPrecision", inOut.lfOutPrecision, shared);
    ReadFontField(section, "lfClipPrecision", inOut.lfClipPrecision, shared);
    ReadFontField(section, "lfQuality", inOut.lfQuality, shared);
    ReadFontField(section, "lfPitchAndFamily", inOut.lfPitchAndFamily, shared);
    inOut.lfFaceName =
        GetProfileString(section, QStringLiteral("lfFaceName"), inOut.lfFaceName, shared);
}

bool CSignApp::WriteProfileFont(const QString& section, const LogFontFields& font, bool shared)
{
    return WriteProfile(shared, [&](QSettings& settings) {
        settings.beginGroup(section);
        const auto put = [&](const char* key, int value) {
            settings.setValue(QString::fromLatin1(key), QString::number(value));
        };
        put("lfHeight", font.lfHeight);
        put("lfWidth", font.lfWidth);
        put("lfEscapement", font.lfEscapement);
        put("lfOrientation", font.lfOrientation);
        put("lfWeight", font.lfWeight);
        put("lfItalic", font.lfItalic);
        put("lfUnderline", font.lfUnderline);
        put("lfStrikeOut", font.lfStrikeOut);
        put("lfCharSet", font.lfCharSet);
        put("lfOutPrecision", font.lfOutPrecision);
        put("lfClipPrecision", font.lfClipPrecision);
        put("lfQuality", font.lfQuality);
        put("lfPitchAndFamily", font.lfPitchAndFamily);
        settings.setValue(QStringLiteral("lfFaceName"), font.lfFaceName);
        settings.endGroup();
    });
}
