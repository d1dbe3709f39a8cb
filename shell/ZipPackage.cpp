#include "ZipPackage.h"

#include "AppContext.h"
#include "BarcodeStyle.h"
#include "DatabaseLink.h"
#include "Element.h"
#include "ElementList.h"
#include "FilterList.h"
#include "Image.h"
#include "Paper.h"
#include "PriceFormatList.h"
#include "ScriptStore.h"
#include "SequenceStore.h"
#include "SignApp.h"
#include "SignData.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <zip.h>

#include <memory>
#include <vector>

namespace {

const QString kSchemaFileName = QStringLiteral("SCHEMA.INI");

// What a package may unpack to: deflate packs no tighter than about 1,030
// to 1, so a package that would unpack to more than this multiple of its
// size (its entries sharing their data, say) is damaged or hostile.
constexpr qint64 kUnpackRatio = 1100;
// Small packages may unpack to this much whatever their size.
constexpr qint64 kUnpackAllowance = 16LL << 20;
// No entry is unpacked beyond this size.
constexpr qint64 kMaxEntryBytes = 2LL << 30;
// Unpacking leaves at least this much of the disk free.
constexpr qint64 kFreeSpaceReserve = 1LL << 20;

QString Megabytes(qint64 bytes)
{
    return QString::number((bytes + (1 << 20) - 1) >> 20);
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// --- export --------------------------------------------------------------------

struct CPackageEntry
{
    QString source; // the file to pack
    QString stored; // its name in the package
};

// The package being gathered: every stored name once.
class CPackageList
{
public:
    explicit CPackageList(CZipExportResult& result) : m_result(result) {}

    // A file the templates use. One that is missing, or whose name another
    // file already takes in the same folder of the package, is left out and
    // listed; the same file twice is packed once.
    void AddFile(const QString& source, const QString& subfolder)
    {
        if (source.isEmpty())
            return;
        const QFileInfo info(source);
        if (!info.isFile()) {
            m_result.omitted << QStringLiteral("%1: the file was not found").arg(Native(source));
            return;
        }
        const QString stored = Join(subfolder, info.fileName());
        const QString key = stored.toLower();
        const QString canonical = info.canonicalFilePath();
        if (const auto it = m_sources.constFind(key); it != m_sources.constEnd()) {
            if (*it != canonical)
                m_result.omitted << QStringLiteral(
                                        "%1: another file of the same name is packed as %2")
                                        .arg(Native(source), stored);
            return;
        }
        m_sources.insert(key, canonical);
        m_entries.push_back({info.absoluteFilePath(), stored});
    }

    // A side file of the program: packed when it is there.
    void AddSideFile(const QString& source)
    {
        if (QFileInfo(source).isFile())
            AddFile(source, QString());
    }

    // A rewritten template stored under its own name; two templates of the
    // same name from different folders are both packed, the later one under
    // a name made unique.
    void AddTemplate(const QString& temporary, const QString& name)
    {
        QString stored = name;
        const QFileInfo info(name);
        for (int n = 2; m_sources.contains(stored.toLower()); ++n)
            stored =
                QStringLiteral("%1 (%2).%3").arg(info.completeBaseName()).arg(n).arg(info.suffix());
        m_sources.insert(stored.toLower(), temporary);
        m_entries.push_back({temporary, stored});
    }

    const std::vector<CPackageEntry>& Entries() const { return m_entries; }

private:
    static QString Join(const QString& subfolder, const QString& name)
    {
        return subfolder.isEmpty() ? name : subfolder + u'/' + name;
    }

    CZipExportResult& m_result;
    std::vector<CPackageEntry> m_entries;
    QHash<QString, QString> m_sources; // stored name (lower case) to source
};

// Sets the package mode of the context while a template is written.
class CPackageModeScope
{
public:
    CPackageModeScope(const QString& picturePrefix, const QString& databasePrefix)
    {
        CAppContext& app = App();
        app.packageExport = true;
        app.packagePicturePrefix = picturePrefix;
        app.packageDatabasePrefix = databasePrefix;
    }
    ~CPackageModeScope()
    {
        CAppContext& app = App();
        app.packageExport = false;
        app.packagePicturePrefix.clear();
        app.packageDatabasePrefix.clear();
    }
};

QString Prefix(bool toSubfolder, const QString& subfolder)
{
    return toSubfolder && !subfolder.isEmpty() ? QStringLiteral(".\\") + subfolder + u'\\'
                                               : QStringLiteral(".\\");
}

// The schema file of a data file's folder, in any letter case.
QString SchemaFileOf(const QString& dataFile)
{
    const QDir folder = QFileInfo(dataFile).absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        if (name.compare(kSchemaFileName, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    return QString();
}

// Reads one template in a context of its own, writes it for the package
// into the temporary folder and adds it with the files it uses. The
// program's own context, with the sign being edited, stays as it is.
void PackTemplate(const QString& path, const CZipExportOptions& options,
                  const QString& pictureFolder, const QString& databaseFolder,
                  const QTemporaryDir& temporary, int index, CPackageList& list,
                  CZipExportResult& result)
{
    const CAppContext& program = App();
    CAppContext scratch;
    scratch.general = program.general;
    scratch.currentUserName = program.currentUserName;
    auto document = std::make_unique<CSignData>();
    if (!QFileInfo(path).isFile() || !document->OnOpenDocument(path)) {
        result.omitted << QStringLiteral("%1: the sign could not be read").arg(Native(path));
        return;
    }

    const QString rewritten = temporary.filePath(QStringLiteral("Tb%1.sgn").arg(index));
    {
        CPackageModeScope mode(Prefix(options.picturesToSubfolder, pictureFolder),
                               Prefix(options.databasesToSubfolder, databaseFolder));
        if (!document->OnSaveDocument(rewritten)) {
            result.omitted << QStringLiteral("%1: the sign could not be written for the package")
                                  .arg(Native(path));
            return;
        }
    }
    list.AddTemplate(rewritten, QFileInfo(path).fileName());

    const QString pictures = options.picturesToSubfolder ? pictureFolder : QString();
    if (options.pictures) {
        for (CElement* element : TheElementList()) {
            if (element->GetTypeCode() == TYPE_PICTURE)
                list.AddFile(static_cast<CImage*>(element)->m_filePath, pictures);
        }
    }
    // The paper's picture goes where the template names it.
    if (const CPaperStock* stock = ThePaper().Current())
        list.AddFile(stock->backgroundImage, pictures);

    if (options.databases) {
        const CDatabaseLink& link = TheDatabaseLink();
        const QString data = link.m_dataSource;
        if (link.m_linkKind >= 0 && link.m_typeId != kDatabaseTypeConnectionString &&
            !data.isEmpty()) {
            const QString folder = options.databasesToSubfolder ? databaseFolder : QString();
            list.AddFile(data, folder);
            if (options.schemaFile && link.m_typeId == kDatabaseTypeText) {
                const QString schema = SchemaFileOf(data);
                if (!schema.isEmpty())
                    list.AddFile(schema, folder);
            }
        }
    }
    document.reset();
}

struct CProgressState
{
    const ZipProgress* progress;
    QString name;
};

void ZipProgressCallback(zip_t*, double fraction, void* data)
{
    auto* state = static_cast<CProgressState*>(data);
    if (*state->progress)
        (*state->progress)(state->name, int(fraction * 1000));
}

QString ZipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// --- import --------------------------------------------------------------------

// The entry's name as a path inside the folder, or empty with the reason
// why it may not be unpacked.
QString SafeEntryPath(const QString& name, QString* reason)
{
    QString path = name;
    path.replace(u'\\', u'/');
    if (path.isEmpty()) {
        *reason = QStringLiteral("the entry has no name");
        return QString();
    }
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            *reason = QStringLiteral("the name holds control characters");
            return QString();
        }
    }
    if (path.startsWith(u'/')) {
        *reason = QStringLiteral("the name is an absolute path");
        return QString();
    }
    if (path.size() >= 2 && path[1] == u':' && path[0].isLetter()) {
        *reason = QStringLiteral("the name carries a drive letter");
        return QString();
    }
    if (path.contains(u':')) {
        *reason = QStringLiteral("the name holds a colon");
        return QString();
    }
    QStringList kept;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            *reason = QStringLiteral("the name climbs out of the folder");
            return QString();
        }
        if (part != QLatin1String("."))
            kept << part;
    }
    return kept.join(u'/');
}

bool IsInside(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

// Makes the folders of a relative path inside the base (which exists), one
// by one, and checks that none of them leads elsewhere. The folder's full
// path, or empty when it may not be used.
QString MakeInnerFolder(const QString& base, const QString& relative)
{
    QString current = base;
    for (const QString& part : relative.split(u'/', Qt::SkipEmptyParts)) {
        const QString next = current + u'/' + part;
        const QFileInfo info(next);
        if (info.isSymLink())
            return QString();
        if (!info.exists() && !QDir(current).mkdir(part))
            return QString();
        if (!QFileInfo(next).isDir())
            return QString();
        current = next;
    }
    const QString canonical = QFileInfo(current).canonicalFilePath();
    return IsInside(canonical, base) ? canonical : QString();
}

bool IsLink(zip_t* archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

bool IsSign(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("sgn"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString CleanPackageFolderName(const QString& name, bool* ok)
{
    QString clean = name.trimmed();
    if (clean == QLatin1String(".") || clean == QLatin1String("..")) {
        *ok = false;
        return QString();
    }
    clean.remove(QStringLiteral(".."));
    clean.remove(u'/');
    clean.remove(u'\\');
    clean.remove(u':');
    clean = clean.trimmed();
    *ok = !clean.isEmpty() && clean != QLatin1String(".");
    return *ok ? clean : QString();
}

CZipExportResult ExportZipPackage(const QString& packagePath, const QStringList& templates,
                                  const CZipExportOptions& options, const ZipProgress& progress)
{
    CZipExportResult result;
    bool ok = true;
    QString pictureFolder, databaseFolder;
    if (options.pictures && options.picturesToSubfolder) {
        pictureFolder = CleanPackageFolderName(options.pictureSubfolder, &ok);
        if (!ok) {
            result.error = QStringLiteral("\"%1\" cannot be the pictures' folder.")
                               .arg(options.pictureSubfolder);
            return result;
        }
    }
    if (options.databases && options.databasesToSubfolder) {
        databaseFolder = CleanPackageFolderName(options.databaseSubfolder, &ok);
        if (!ok) {
            result.error = QStringLiteral("\"%1\" cannot be the database's folder.")
                               .arg(options.databaseSubfolder);
            return result;
        }
    }

    // The templates rewritten for the package wait in the system's
    // temporary folder, which goes with everything in it.
    QTemporaryDir temporary(QDir(QDir::tempPath()).filePath(QStringLiteral("TabrelXXXXXX")));
    if (!temporary.isValid()) {
        result.error =
            QStringLiteral("No temporary folder could be made: %1").arg(temporary.errorString());
        return result;
    }

    CPackageList list(result);
    int index = 0;
    for (const QString& path : templates) {
        if (progress)
            progress(QFileInfo(path).fileName(), 0);
        PackTemplate(QFileInfo(path).absoluteFilePath(), options, pictureFolder, databaseFolder,
                     temporary, ++index, list, result);
    }

    // Side files of the program's collections, saved first so that the
    // package holds what the program holds now.
    if (options.paperDesigns)
        list.AddSideFile(CPaper::UserLibraryPath());
    if (options.macroScripts) {
        SaveScriptStore();
        list.AddSideFile(CSignApp::GetProgramFileName(QStringLiteral(".mss")));
    }
    if (options.priceFormats) {
        ThePriceFormatList().SaveLibrary();
        list.AddSideFile(CSignApp::GetProgramFileName(QStringLiteral(".pff")));
    }
    if (options.barcodeStyles) {
        TheBarcodeStyleList().Save();
        list.AddSideFile(CSignApp::GetProgramFileName(QStringLiteral(".cbs")));
    }
    if (options.databaseFilters) {
        SaveFilterFile();
        list.AddSideFile(CSignApp::GetProgramFileName(QStringLiteral(".flf")));
    }
    if (options.serialNumbers) {
        SaveSequenceStore();
        list.AddSideFile(CSignApp::GetProgramFileName(QStringLiteral(".sns")));
    }
    if (options.customDictionary)
        list.AddSideFile(CSignApp::GetProgramFileName(QStringLiteral(".dic")));

    if (list.Entries().empty()) {
        result.error = QStringLiteral("There is nothing to pack.");
        return result;
    }

    // libzip writes the package beside its place and puts it there when it
    // is closed; an old package is replaced only then.
    int code = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(packagePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        result.error = ZipErrorText(code);
        return result;
    }
    for (const CPackageEntry& entry : list.Entries()) {
        zip_source_t* source =
            zip_source_file(archive, QFile::encodeName(entry.source).constData(), 0, -1);
        const QByteArray name = entry.stored.toUtf8();
        if (!source || zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            result.error = QString::fromUtf8(zip_strerror(archive));
            zip_discard(archive);
            result.stored.clear();
            return result;
        }
        result.stored << entry.stored;
    }
    CProgressState state{&progress, QFileInfo(packagePath).fileName()};
    zip_register_progress_callback_with_state(archive, 0.01, ZipProgressCallback, nullptr, &state);
    if (zip_close(archive) != 0) {
        result.error = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        result.stored.clear();
        return result;
    }
    result.written = true;
    return result;
}

CZipImportResult ImportZipPackage(const QString& packagePath, const QString& folder,
                                  const CZipImportOptions& options, const ZipProgress& progress)
{
    CZipImportResult result;
    QDir target(folder);
    if (!target.exists() && !QDir().mkdir(folder)) {
        result.error = QStringLiteral("The folder \"%1\" could not be made.").arg(Native(folder));
        return result;
    }
    const QString base = QFileInfo(folder).canonicalFilePath();
    if (base.isEmpty()) {
        result.error = QStringLiteral("The folder \"%1\" cannot be used.").arg(Native(folder));
        return result;
    }

    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(packagePath).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        result.error = ZipErrorText(code);
        return result;
    }
    result.read = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);

    // What the package says it unpacks to is weighed before anything is
    // written: against what a package of its size can hold, each entry
    // against the largest file unpacked, and all of it against the room
    // left in the folder. What is then unpacked is held to what was said.
    const qint64 packageBytes = QFileInfo(packagePath).size();
    const qint64 limit = kUnpackAllowance + std::max<qint64>(packageBytes, 0) * kUnpackRatio;
    const QString shownPackage = Native(packagePath);
    qint64 declared = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            continue;
        if (stat.size > zip_uint64_t(kMaxEntryBytes)) {
            result.error = QStringLiteral("The package \"%1\" is not unpacked: its file \"%2\" "
                                          "would take %3 MB, more than the %4 MB a file may.")
                               .arg(shownPackage, QString::fromUtf8(stat.name ? stat.name : ""),
                                    Megabytes(qint64(std::min<zip_uint64_t>(stat.size, 1ULL << 60))),
                                    Megabytes(kMaxEntryBytes));
            zip_close(archive);
            return result;
        }
        declared += qint64(stat.size);
    }
    if (declared > limit) {
        result.error = QStringLiteral("The package \"%1\" is not unpacked: its files would take "
                                      "%2 MB, more than a package of its size can hold (it is "
                                      "damaged).")
                           .arg(shownPackage, Megabytes(declared));
        zip_close(archive);
        return result;
    }
    const QStorageInfo disk(base);
    const qint64 available = disk.isValid() ? disk.bytesAvailable() : -1;
    if (available >= 0 && declared > available - kFreeSpaceReserve) {
        result.error = QStringLiteral("The package \"%1\" is not unpacked: its files would take "
                                      "%2 MB, and only %3 MB are free in \"%4\".")
                           .arg(shownPackage, Megabytes(declared),
                                Megabytes(std::max<qint64>(available, 0)), Native(folder));
        zip_close(archive);
        return result;
    }
    qint64 unpackedBytes = 0;

    QSet<QString> seen;
    std::vector<char> buffer(64 * 1024);
    for (zip_int64_t i = 0; i < count && result.error.isEmpty(); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0 || !stat.name) {
            result.refused << QStringLiteral("entry %1: %2")
                                  .arg(i + 1)
                                  .arg(QString::fromUtf8(zip_strerror(archive)));
            continue;
        }
        const QString name = QString::fromUtf8(stat.name);
        const auto refuse = [&](const QString& reason) {
            result.refused << QStringLiteral("%1: %2").arg(name, reason);
        };
        QString reason;
        const QString relative = SafeEntryPath(name, &reason);
        if (relative.isEmpty() && !reason.isEmpty()) {
            refuse(reason);
            continue;
        }
        if (IsLink(archive, zip_uint64_t(i))) {
            refuse(QStringLiteral("links are not unpacked"));
            continue;
        }
        const bool isFolder = name.endsWith(u'/') || name.endsWith(u'\\');
        if (relative.isEmpty())
            continue; // the package's own root
        if (isFolder) {
            if (MakeInnerFolder(base, relative).isEmpty())
                refuse(QStringLiteral("the folder could not be made inside the target"));
            continue;
        }
        if (seen.contains(relative)) {
            refuse(QStringLiteral("the package holds this name twice"));
            continue;
        }
        seen.insert(relative);

        const qsizetype slash = relative.lastIndexOf(u'/');
        const QString parent = slash < 0 ? base : MakeInnerFolder(base, relative.left(slash));
        if (parent.isEmpty()) {
            refuse(QStringLiteral("its folder could not be made inside the target"));
            continue;
        }
        const QString path = parent + u'/' + relative.mid(slash + 1);
        if (progress)
            progress(relative, count > 0 ? int(i * 1000 / count) : 0);
        const QFileInfo existing(path);
        if (existing.isSymLink() || (existing.exists() && !existing.isFile())) {
            refuse(QStringLiteral("something that is not a plain file has that name"));
            continue;
        }
        if (existing.exists()) {
            const bool newer = (stat.valid & ZIP_STAT_MTIME) &&
                               existing.lastModified().toSecsSinceEpoch() > qint64(stat.mtime);
            if (!options.overwrite || (options.skipOlder && newer)) {
                result.kept << path;
                if (result.firstSign.isEmpty() && IsSign(path))
                    result.firstSign = path;
                continue;
            }
        }

        zip_file_t* entry = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (!entry) {
            refuse(QString::fromUtf8(zip_strerror(archive)));
            continue;
        }
        QSaveFile file(path);
        file.setDirectWriteFallback(false);
        bool good = file.open(QIODevice::WriteOnly);
        const bool sized = stat.valid & ZIP_STAT_SIZE;
        zip_uint64_t total = 0;
        QString failure = good ? QString() : file.errorString();
        while (good) {
            const zip_int64_t got = zip_fread(entry, buffer.data(), buffer.size());
            if (got < 0) {
                failure = QString::fromUtf8(zip_file_strerror(entry));
                good = false;
                break;
            }
            if (got == 0)
                break;
            total += zip_uint64_t(got);
            if (sized && total > stat.size) {
                failure = QStringLiteral("the entry is longer than the package says");
                good = false;
                break;
            }
            // An entry that does not say its size is held to what is left.
            unpackedBytes += got;
            if (unpackedBytes > limit || qint64(total) > kMaxEntryBytes) {
                failure = QStringLiteral("the package unpacks to more than it can hold");
                result.error = QStringLiteral("The package \"%1\" unpacks to more than a "
                                              "package of its size can hold (it is damaged): "
                                              "unpacking stopped.")
                                   .arg(shownPackage);
                good = false;
                break;
            }
            if (file.write(buffer.data(), got) != got) {
                failure = file.errorString();
                good = false;
            }
        }
        zip_fclose(entry);
        if (good && sized && total != stat.size) {
            failure = QStringLiteral("the entry is shorter than the package says");
            good = false;
        }
        if (!good || !file.commit()) {
            if (failure.isEmpty())
                failure = file.errorString();
            file.cancelWriting();
            refuse(failure);
            continue;
        }
        if (stat.valid & ZIP_STAT_MTIME)
            QFile(path).setFileTime(QDateTime::fromSecsSinceEpoch(qint64(stat.mtime)),
                                    QFileDevice::FileModificationTime);
        result.unpacked << path;
        if (result.firstSign.isEmpty() && IsSign(path))
            result.firstSign = path;
    }
    zip_close(archive);
    if (progress)
        progress(QString(), 1000);

    // The package's number sequences join the program's: one the program
    // has keeps its own value.
    if (!result.Failed()) {
        CSequenceStore packed;
        const QString sequences =
            QFileInfo(CSignApp::GetProgramFileName(QStringLiteral(".sns"))).fileName();
        if (QFileInfo(QDir(base).filePath(sequences)).isFile() && packed.Load(base))
            TheSequenceStore().Merge(packed.Map());
    }
    return result;
}
