// A path held as text, with the file-name operations the program needs.
// "/" is the separator inside the program; "\" is accepted as one wherever
// a separator is looked for, so stored Windows-style paths work too.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class CFileName
{
public:
    CFileName() = default;
    CFileName(const QString& path) : m_path(path) {}
    CFileName(const char* path) : m_path(QString::fromUtf8(path)) {}

    const QString& Path() const { return m_path; }
    operator const QString&() const { return m_path; }

    // The text after the last separator (all of it when there is none);
    // without the extension it is cut before its first '.'.
    QString GetFileTitle(bool withExtension = true) const;
    // From the first '.' of the whole path to the end, dot included; empty
    // when the path has no '.'.
    QString GetExtension() const;
    // The text before the last separator, with "/" appended when asked;
    // empty (nothing appended) when the path has no separator.
    QString GetFolder(bool trailingSeparator = false) const;
    // "*" and the text from the first '.' on, for a file-dialog filter; the
    // default filter when the path has no '.'.
    QString GetExtensionFilter(const QString& defaultFilter) const;
    // The path cut before its last '.' with the new extension (which brings
    // its own dot) appended; appended to the whole path when it has no '.'.
    QString ReplaceExtension(const QString& newExtension) const;

    // Whether the file (or folder) exists. The file name may hold the
    // wildcards '*' and '?'. With the system-folder flag the name is looked
    // for in $TABREL_SYSTEM_DIR instead; false when that is not set.
    bool Exists(bool inSystemFolder = false) const;

    // Fills the list with the path's components and returns their number.
    // A leading pair of separators (network share) or a single leading one
    // (root) is dropped without an entry; a leading drive "C:" is the first
    // entry. Two separators in a row give an empty entry; a trailing
    // separator gives none.
    int SplitPath(QStringList& parts) const;

    // Size in bytes of the first file found; 0 when none is found.
    qint64 GetFileSize() const;
    // The size in whole kilobytes rounded up, as "%dKB"; empty when the file
    // is not found.
    QString GetSizeText() const;
    // Last-write time of the file found; invalid when none is found.
    QDateTime GetLastWriteTime() const;
    // The last-write time as "dd/MM/yy hh:mm", local time; empty when the
    // file is not found.
    QString GetTimeText() const;

    // A shorter form for display: a run of folders after the first
    // separator is replaced by "..". The result may still be longer than
    // the maximum.
    QString GetAbbreviatedPath(int maxLength) const;

private:
    QString m_path;
};

// A path as stored in a file, made usable here: "\" becomes "/", and a
// leading "./" (or ".\") is resolved against the given folder when that is
// not empty.
QString NormalizeStoredPath(const QString& path, const QString& baseFolder);
