#include "ui/AboutDlg.h"

#include "Branding.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "Strings.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

EWebOpen OpenWebAddress(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return EWebOpen::Refused;
    // A bare host is a web address; a path is never taken for one.
    QUrl url(trimmed, QUrl::StrictMode);
    if (url.scheme().isEmpty() && trimmed.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        url = QUrl(QStringLiteral("http://") + trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
         scheme != QLatin1String("mailto")))
        return EWebOpen::Refused;
    if (scheme != QLatin1String("mailto") && url.host().isEmpty())
        return EWebOpen::Refused;
    return QDesktopServices::openUrl(url) ? EWebOpen::Opened : EWebOpen::NoBrowser;
}

void TellWebAddressNotOpened(const QString& address, EWebOpen outcome)
{
    const QString shown = address.trimmed().left(200);
    if (outcome == EWebOpen::Refused)
        AppMessageBox(QCoreApplication::translate(
                          "CAboutDlg", "The address %1 cannot be opened: only web and mail "
                                       "addresses are.")
                          .arg(shown),
                      MB_OK | MB_ICONEXCLAMATION);
    else if (outcome == EWebOpen::NoBrowser)
        AppMessageBox(QCoreApplication::translate(
                          "CAboutDlg", "The address %1 could not be opened: no web browser or "
                                       "mail program could be started.")
                          .arg(shown),
                      MB_OK | MB_ICONEXCLAMATION);
}

bool OpenWebAddressOrTell(const QString& address)
{
    const EWebOpen outcome = OpenWebAddress(address);
    TellWebAddressNotOpened(address, outcome);
    return outcome == EWebOpen::Opened;
}

QString LinkifyText(const QString& text)
{
    static const QRegularExpression address(
        QStringLiteral(R"((https?://|mailto:|www\.)[^\s<>"']+)"),
        QRegularExpression::CaseInsensitiveOption);
    QString html;
    qsizetype from = 0;
    auto it = address.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        html += text.mid(from, match.capturedStart() - from).toHtmlEscaped();
        QString target = match.captured();
        // Sentence punctuation after an address is not part of it.
        while (!target.isEmpty() && QStringLiteral(".,;:)!?").contains(target.back()))
            target.chop(1);
        QString href = target;
        if (href.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
            href.prepend(QStringLiteral("http://"));
        html += QStringLiteral("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), target.toHtmlEscaped());
        from = match.capturedStart() + target.size();
    }
    html += text.mid(from).toHtmlEscaped();
    html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return html;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(LoadStringId(IDS_ABOUT_CAPTION));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    layout->addLayout(top);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("id1152"));
    QIcon icon = windowIcon();
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("applications-graphics"));
    picture->setPixmap(icon.pixmap(48, 48));
    top->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);

    auto* version = new QLabel(QStringLiteral("%1 %2").arg(LoadStringId(IDS_VERSION)).arg(kVersion, 0, 'f', 2), this);
    version->setObjectName(QStringLiteral("id1065"));
    top->addWidget(version, 0, 1);
    auto* legal = new QLabel(LoadStringId(IDS_LEGAL_NOTICE), this);
    legal->setObjectName(QStringLiteral("id1316"));
    legal->setWordWrap(true);
    top->addWidget(legal, 1, 1);
    top->addWidget(new QLabel(tr("Pictures are read with Qt and GraphicsMagick; two-dimensional "
                                 "symbols are encoded with libzint."),
                              this),
                   2, 1);

    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("id1460"));
    m_text->setReadOnly(true);
    m_text->setOpenLinks(false);
    const QString about = CBranding::Current().aboutText;
    m_text->setHtml(LinkifyText(about));
    m_text->setVisible(!about.isEmpty());
    connect(m_text, &QTextBrowser::anchorClicked, this,
            [](const QUrl& url) {
                // The text's links are web and mail addresses only; a link
                // that no browser takes is told.
                const QString address = url.toString();
                if (const EWebOpen outcome = OpenWebAddress(address); outcome == EWebOpen::NoBrowser)
                    TellWebAddressNotOpened(address, outcome);
            });
    layout->addWidget(m_text);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
