// Zip packages: sign templates packed with the files they use (pictures, the
// paper's picture, the linked database and its schema file, chosen side
// files) so that a whole job moves to another machine, and such a package
// unpacked into a folder. The templates in a package name their files
// relative to the folder they are unpacked into.
//
// Both work without windows: the designer's Export and Import dialogs and
// the print front end call them.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The choices of an export.
struct CZipExportOptions
{
    bool pictures = true;
    bool databases = true;
    bool picturesToSubfolder = false;
    QString pictureSubfolder;
    bool databasesToSubfolder = false;
    QString databaseSubfolder;
    bool schemaFile = false;
    // Side files of the program's collections, packed in the package's root.
    bool paperDesigns = false;
    bool macroScripts = false;
    bool priceFormats = false;
    bool barcodeStyles = false;
    bool databaseFilters = false;
    bool serialNumbers = false;
    bool customDictionary = false;
};

struct CZipExportResult
{
    // The package was written (and replaced any file of that name).
    bool written = false;
    // Why nothing was written, when nothing was.
    QString error;
    // The names stored in the package, in order.
    QStringList stored;
    // What was left out, one line each: the file and the reason.
    QStringList omitted;
    bool Complete() const { return written && omitted.isEmpty(); }
};

struct CZipImportOptions
{
    bool overwrite = false; // replace files that are there already
    bool skipOlder = false; // ... unless the one there is newer
};

struct CZipImportResult
{
    // The package could be read at all.
    bool read = false;
    QString error;
    // The first sign template unpacked (or kept), full path; empty when none.
    QString firstSign;
    // Every file unpacked, full paths in package order.
    QStringList unpacked;
    // Files already in the folder that were left as they were.
    QStringList kept;
    // Entries that were not unpacked, one line each: the name and the reason.
    QStringList refused;
    bool Failed() const { return !read || !error.isEmpty() || !refused.isEmpty(); }
};

// Told the name of the file being packed or unpacked and how far the whole
// work is (0 to 1000).
using ZipProgress = std::function<void(const QString& name, int permille)>;

// A folder name typed for pictures or databases inside a package: "..",
// "/", "\" and ":" are taken out. ok is false (and the result empty) when
// the name is "." or "..", or nothing is left of it.
QString CleanPackageFolderName(const QString& name, bool* ok);

// Packs the templates (full paths, in order) into the package. Each template
// is read from its file into a context of its own, so the sign being edited,
// its unsaved changes and its undo history are not touched. The package is
// written beside its place and replaces an old one only when it was written
// whole. A template that cannot be read is left out with a message of its
// own.
CZipExportResult ExportZipPackage(const QString& packagePath, const QStringList& templates,
                                  const CZipExportOptions& options,
                                  const ZipProgress& progress = {});

// Unpacks the package into the folder (made when missing, one level). No
// file is ever written outside the folder: entries whose names climb out of
// it, are absolute or carry a drive letter, links, and names that come twice
// are refused and listed. When nothing was refused, the number sequences of
// the package are merged into the program's (sequences the program has keep
// their values).
CZipImportResult ImportZipPackage(const QString& packagePath, const QString& folder,
                                  const CZipImportOptions& options,
                                  const ZipProgress& progress = {});
