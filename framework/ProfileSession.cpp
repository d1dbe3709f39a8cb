#include "ProfileSession.h"

#include "AppContext.h"
#include "Messages.h"
#include "SignApp.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryFile>

const char* const CProfileSession::kCannotWrite =
    "Your settings could not be saved to %1.\n\n"
    "The disk may be full or the file may be read-only. The file was left as it was.";
const char* const CProfileSession::kDamaged =
    "The settings file %1 is damaged and could not be read completely.\n\n"
    "The program goes on with the settings it could read. The file is left as it is: "
    "settings changed in this session are not saved to it.";

namespace {

const QString kOrganisation = QStringLiteral("Corvane");

// The files of the running session. A change of the program title (or of
// the profile folder, in tests) opens the files afresh.
struct SessionState
{
    int depth = 0;
    QString title;
    std::unique_ptr<QSettings> files[2]; // own, shared
    bool changed[2] = {false, false};
};

SessionState& Session()
{
    static SessionState state;
    return state;
}

// What the user has been told in this program run, by file.
struct CProfileMessagesShown
{
    QSet<QString> damaged;
    QSet<QString> cannotWrite;
};

// The reader's verdict on each file as it was when read: whether it could
// be read completely. The profile reader keeps a file it parsed for later
// opens in the process and reports a fault only to the object that parsed
// it, so a file is judged once, by a reading of its own, and the verdict
// kept while the file stays as it was.
struct Verdict
{
    qint64 size = -1;
    QDateTime modified;
    bool damaged = false;
};

QHash<QString, Verdict>& Verdicts()
{
    static QHash<QString, Verdict> verdicts;
    return verdicts;
}

// Whether the file cannot be read completely: it cannot be opened, its text
// is not UTF-8 (the reader would replace what it cannot decode), or the
// reader finds a fault in it, reading it afresh from a copy of its own.
bool ReaderFindsFault(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/tabrel-profile-XXXXXX.ini"));
    if (!copy.open())
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 16);
        if (block.isEmpty())
            return file.error() != QFileDevice::NoError;
        if (copy.write(block) != block.size())
            return false;
        [[maybe_unused]] const QString text = decoder(block);
    }
    [[maybe_unused]] const QString rest = decoder(QByteArray());
    if (decoder.hasError())
        return true;
    copy.close();
    // The reader parses the sections as they are asked for: all of them.
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    settings.allKeys();
    return settings.status() == QSettings::FormatError;
}

void Tell(QSet<QString>& told, const char* text, const QString& path)
{
    if (told.contains(path))
        return;
    told.insert(path);
    AppMessageBox(FormatPlaceholders(QString::fromLatin1(text), {QDir::toNativeSeparators(path)}),
                  MB_OK | MB_ICONEXCLAMATION);
}

bool IsDamaged(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const auto it = Verdicts().constFind(path);
    if (it != Verdicts().constEnd() && it->size == info.size() &&
        it->modified == info.lastModified())
        return it->damaged;
    const bool damaged = ReaderFindsFault(path);
    Verdicts().insert(path, {info.size(), info.lastModified(), damaged});
    return damaged;
}

// Judges a file just opened, and tells the user once about a damaged one.
void CheckRead(QSettings& settings)
{
    const QString path = settings.fileName();
    if (IsDamaged(path))
        Tell(App().Get<CProfileMessagesShown>().damaged, CProfileSession::kDamaged, path);
}

// Writes the session's changed files.
bool FlushFiles()
{
    SessionState& state = Session();
    bool written = true;
    for (int i = 0; i < 2; ++i) {
        if (!state.changed[i] || !state.files[i])
            continue;
        state.changed[i] = false;
        written = CProfileSession::Write(*state.files[i]) && written;
    }
    return written;
}

} // namespace

CProfileSession::CProfileSession()
{
    ++Session().depth;
}

CProfileSession::~CProfileSession()
{
    SessionState& state = Session();
    if (state.depth == 1) {
        Flush();
        for (auto& file : state.files)
            file.reset();
    }
    --state.depth;
}

bool CProfileSession::Flush()
{
    return FlushFiles();
}

QSettings* CProfileSession::SessionFile(bool shared)
{
    SessionState& state = Session();
    if (state.depth == 0)
        return nullptr;
    const QString title = CSignApp::GetProgramTitle();
    if (title != state.title) {
        FlushFiles();
        for (auto& file : state.files)
            file.reset();
        state.title = title;
    }
    std::unique_ptr<QSettings>& file = state.files[shared ? 1 : 0];
    if (!file)
        file = OpenFile(shared);
    return file.get();
}

std::unique_ptr<QSettings> CProfileSession::OpenFile(bool shared)
{
    auto settings =
        std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganisation,
                                    shared ? QString() : CSignApp::GetProgramTitle());
    // A program's own sections must not show the shared file's keys.
    settings->setFallbacksEnabled(false);
    CheckRead(*settings);
    return settings;
}

bool CProfileSession::MayWrite(QSettings& settings)
{
    if (!IsDamaged(settings.fileName()))
        return true;
    Tell(App().Get<CProfileMessagesShown>().damaged, kDamaged, settings.fileName());
    return false;
}

void CProfileSession::MarkChanged(bool shared)
{
    Session().changed[shared ? 1 : 0] = true;
}

namespace {

int& WriteCount()
{
    static int count = 0;
    return count;
}

} // namespace

int CProfileSession::FilesWritten()
{
    return WriteCount();
}

bool CProfileSession::Write(QSettings& settings)
{
    ++WriteCount();
    settings.sync();
    if (settings.status() == QSettings::NoError) {
        // What the writer wrote, the reader reads.
        const QFileInfo info(settings.fileName());
        if (info.exists())
            Verdicts().insert(settings.fileName(), {info.size(), info.lastModified(), false});
        return true;
    }
    Tell(App().Get<CProfileMessagesShown>().cannotWrite, kCannotWrite, settings.fileName());
    return false;
}

void CSignApp::SetProfileFolderForTests(const QString& folder)
{
    SessionState& state = Session();
    if (state.depth > 0) {
        state.title.clear(); // the next use opens the files of the new folder
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}
