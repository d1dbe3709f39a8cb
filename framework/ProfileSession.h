// The per-user profile files, opened once for a run of reads or writes.
//
// Outside a session every profile read or write opens its file afresh, and
// every write is put on disk at once. While a session lives, each file (the
// program's own and the shared one) is parsed once, when it is first needed,
// and written once, when the outermost session ends: loading or saving a
// whole table of settings is then linear in the size of the profile.
// Sessions nest; only the outermost one writes.
//
// Every write is checked: when a file could not be written (a full disk, a
// read-only file) the old file stays as it was and the user is told once.
// A file the profile reader could not read completely (a line or section it
// cannot parse) is never written: what it holds beyond the readable part
// would be lost. The user is told once which file it is.
#pragma once

#include <QString>
#include <memory>

class QSettings;

class CProfileSession
{
public:
    CProfileSession();
    // The outermost session writes what changed (see Flush).
    ~CProfileSession();
    CProfileSession(const CProfileSession&) = delete;
    CProfileSession& operator=(const CProfileSession&) = delete;

    // Writes the files changed in the session so far; FALSE when one could
    // not be written (the user has been told).
    bool Flush();

    // --- the profile layer's own use ---------------------------------------

    // The open file of the running session (opened on first use), or null
    // when no session runs.
    static QSettings* SessionFile(bool shared);
    // A file opened afresh, for a read or write outside a session.
    static std::unique_ptr<QSettings> OpenFile(bool shared);
    // Whether the file may take writes: FALSE for a file that could not be
    // read completely (the user is told once).
    static bool MayWrite(QSettings& settings);
    // Notes a change to the session's file, written when the session ends.
    static void MarkChanged(bool shared);
    // Puts the file on disk and checks that it was written; FALSE (and the
    // user told once) when it was not.
    static bool Write(QSettings& settings);
    // How many times a profile file was put on disk in this process: each
    // write outside a session, and each file a session wrote.
    static int FilesWritten();

    // The messages, with the file's path in place of %1.
    static const char* const kCannotWrite;
    static const char* const kDamaged;
};
