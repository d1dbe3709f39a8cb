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

// Opens an address in the desktop's browser or mail program: only http,
// https and mailto addresses (a bare "www.example.com" is http); anything
// else (files, programs, other schemes) is refused. True when handed over.
bool OpenWebAddress(const QString& address);

// The text with its web and mail addresses made into links, HTML-escaped.
QString LinkifyText(const QString& text);
