// A side file of the program that holds one map of names to texts (number
// sequences, macro scripts, named filters, custom views): "Tabrel" with the
// file's own extension in the program folder. A file that cannot be read
// whole is said once and kept as it is for the session: nothing is written
// over it and it is never removed. Writing goes through QSaveFile, so an
// old file is replaced only by a whole new one.
#pragma once

#include "Archive.h"

#include <QString>

class CStringMapFile
{
public:
    // What the messages call the file and its entries.
    struct Texts
    {
        const char* extension; // ".sns"
        const char* what;      // "number sequences": "Your number sequences file ..."
        const char* entry;     // "number sequence": "number sequence 3 has no name"
        const char* lastEntry; // "number sequence": "... data after its last number sequence"
        // What a kept file means for the session; empty: "changes to your
        // <what> are not saved into it".
        const char* keptMeans = "";
        // Whether a name of blanks only counts as no name.
        bool trimNames = false;
    };

    explicit CStringMapFile(const Texts& texts) : m_texts(texts) {}

    // Reads the program's own file, or the file of that name in the folder,
    // into the map (entries before damage are kept). A missing file is an
    // empty map. True when the whole file was read.
    bool Load(CStringMap& map, const QString& folder = QString());
    // Writes the map, or removes the file when the map is empty. Nothing is
    // written before the file has been loaded, nor over a kept file. A
    // failure is shown and the old file stays.
    bool Save(const CStringMap& map);

    const QString& FilePath() const { return m_filePath; }
    bool IsFileKept() const { return m_fileKept; }

private:
    Texts m_texts;
    QString m_filePath;
    bool m_fileKept = false;
};
