// The reseller's branding file "OEM.zel" in the program folder: the text and
// address of the web menu item, the paper a new user starts with, whether
// the print front end shows its folder tree, and a text for the About box.
// Start-up reads it once; nothing writes it.
//
// The file is Windows-1252 text, one setting per line (CR LF or LF). A
// setting line starts with its key, exactly as written below and in the same
// case, and the value is the rest of the line as it stands. Lines that start
// with no key are ignored; a later line of the same key wins. The About text
// runs from its key to the end of the file: the lines after it are text, not
// settings, joined with CR LF.
#pragma once

#include <QByteArray>
#include <QString>

struct CBranding
{
    QString webMenuText;  // "[WebMenuText]=": empty keeps the menu item's own text
    QString webURL;       // "[WebURL]=": empty leaves the main window's built-in address
    QString defaultPaper; // "[DefaultPaper]=": empty means "A4"
    int showExplorer = 1; // "[ShowExplorer]=": 0 hides the browser's folder tree, else 1
    QString aboutText;    // "[HelpAboutText]=": empty hides the About box's field

    static constexpr const char* kFileName = "OEM.zel";

    // Reads the file; when it cannot be read (or is larger than any
    // branding file, kMaxFileSize) nothing changes and why says why. TRUE
    // when it was read.
    bool Read(const QString& path, QString* why = nullptr);
    // Start-up's reading: no file is no branding; a file that cannot be
    // read is reported (kCannotRead) and the program starts without it.
    bool ReadAtStartUp(const QString& path);
    // The settings of the file's bytes over the current values. Each value
    // is brought into range: the menu text and paper name at most
    // kMaxLineText characters, the address kMaxAddress, the folder-tree
    // switch 0 or 1.
    void Parse(const QByteArray& bytes);

    static constexpr qint64 kMaxFileSize = 1 << 20;
    static constexpr int kMaxLineText = 255;
    static constexpr int kMaxAddress = 2048;
    static const char* const kCannotRead;

    // "OEM.zel" in the program folder.
    static QString FilePath();
    // The paper a user without a last paper starts with.
    QString StartPaper() const;

    static CBranding& Current();
};
