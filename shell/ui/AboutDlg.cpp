#include "ui/AboutDlg.h"

#include "Branding.h"
#include "ResourceIds.h"
#include "Strings.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

bool OpenWebAddress(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return false;
    // A bare host is a web address; a path is never taken for one.
    QUrl url(trimmed, QUrl::StrictMode);
    if (url.scheme().isEmpty() && trimmed.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        url = QUrl(QStringLiteral("http://") + trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
         scheme != QLatin1String("mailto")))
        return false;
    if (scheme != QLatin1String("mailto") && url.host().isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
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
            [](const QUrl& url) { OpenWebAddress(url.toString()); });
    layout->addWidget(m_text);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
