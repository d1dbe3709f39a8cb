// "About Tabrel": the version, the legal notice and the reseller's text of
// the branding file. Web addresses in the text open in the desktop's
// browser, and only web and mail addresses ever do.
#pragma once

#include <QDialog>

class QTextBrowser;

class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr double kVersion = 5.14;

    explicit CAboutDlg(QWidget* parent = nullptr);

    QTextBrowser* AboutText() const { return m_text; }

private:
    QTextBrowser* m_text = nullptr;
};

// What became of an address handed to the desktop.
enum class EWebOpen
{
    Opened,   // the browser or mail program has it
    Refused,  // not a web or mail address: nothing was started
    NoBrowser // a web or mail address, but no program could be started for it
};

// Opens an address in the desktop's browser or mail program: only http,
// https and mailto addresses (a bare "www.example.com" is http); anything
// else (files, programs, other schemes) is refused.
EWebOpen OpenWebAddress(const QString& address);

// Tells the user why the address was not opened (nothing when it was).
void TellWebAddressNotOpened(const QString& address, EWebOpen outcome);

// Opens the address, and tells the user why when it cannot be opened: a
// refused address, or no browser to open it with. True when it was opened.
bool OpenWebAddressOrTell(const QString& address);

// The text with its web and mail addresses made into links, HTML-escaped.
QString LinkifyText(const QString& text);
