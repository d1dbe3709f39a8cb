#include "Branding.h"

#include "AppContext.h"
#include "Codec1252.h"
#include "Messages.h"
#include "SignApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <algorithm>
#include <climits>

namespace {

// Leading blanks, a sign and decimal digits as far as they go; 0 when no
// digit follows. Values beyond 32 bits are clamped.
int LeadingNumber(const QString& text)
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
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), 1LL << 31);
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The file's lines without their line ends; a final line end makes no
// empty line of its own.
QList<QString> SplitLines(const QString& text)
{
    QList<QString> lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

} // namespace

const char* const CBranding::kCannotRead =
    "The branding file %1 could not be read: %2\n\nThe program starts without it.";

bool CBranding::Read(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (why)
            *why = file.errorString();
        return false;
    }
    // A few settings and an About text: a file far beyond that is not one.
    if (file.size() > kMaxFileSize) {
        if (why)
            *why = QStringLiteral("the file is too large.");
        return false;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize || file.error() != QFileDevice::NoError) {
        if (why)
            *why = bytes.size() > kMaxFileSize ? QStringLiteral("the file is too large.")
                                               : file.errorString();
        return false;
    }
    Parse(bytes);
    return true;
}

bool CBranding::ReadAtStartUp(const QString& path)
{
    if (!QFileInfo::exists(path))
        return false;
    QString why;
    if (Read(path, &why))
        return true;
    AppMessageBox(
        FormatPlaceholders(QString::fromLatin1(kCannotRead), {QDir::toNativeSeparators(path), why}),
        MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CBranding::Parse(const QByteArray& bytes)
{
    const QList<QString> lines = SplitLines(FromWindows1252(bytes));
    const QString webMenuKey = QStringLiteral("[WebMenuText]=");
    const QString webUrlKey = QStringLiteral("[WebURL]=");
    const QString paperKey = QStringLiteral("[DefaultPaper]=");
    const QString explorerKey = QStringLiteral("[ShowExplorer]=");
    const QString aboutKey = QStringLiteral("[HelpAboutText]=");

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(webMenuKey))
            webMenuText = line.mid(webMenuKey.size(), kMaxLineText);
        if (line.startsWith(webUrlKey))
            webURL = line.mid(webUrlKey.size(), kMaxAddress);
        if (line.startsWith(paperKey))
            defaultPaper = line.mid(paperKey.size(), kMaxLineText);
        if (line.startsWith(explorerKey))
            showExplorer = LeadingNumber(line.mid(explorerKey.size())) != 0 ? 1 : 0;
        if (line.startsWith(aboutKey)) {
            QString text = line.mid(aboutKey.size());
            for (++i; i < lines.size(); ++i)
                text += QStringLiteral("\r\n") + lines[i];
            aboutText = text;
        }
    }
}

QString CBranding::FilePath()
{
    return CSignApp::GetProgramFolder(true) + QString::fromLatin1(kFileName);
}

QString CBranding::StartPaper() const
{
    return defaultPaper.isEmpty() ? QStringLiteral("A4") : defaultPaper;
}

CBranding& CBranding::Current()
{
    return App().Get<CBranding>();
}
