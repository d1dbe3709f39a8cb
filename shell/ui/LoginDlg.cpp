#include "LoginDlg.h"

#include "Messages.h"
#include "UserList.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The padlock beside the fields.
QPixmap LoginPicture()
{
    const qreal ratio = 2.0;
    QPixmap pixmap(QSize(48, 48) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Shackle.
    p.setPen(QPen(QColor(0x5a, 0x63, 0x70), 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(15, 24);
    shackle.lineTo(15, 15);
    shackle.arcTo(QRectF(15, 5, 18, 18), 180, -180);
    shackle.lineTo(33, 24);
    p.drawPath(shackle);
    // Body.
    QLinearGradient body(0, 22, 0, 45);
    body.setColorAt(0, QColor(0xf2, 0xb6, 0x3c));
    body.setColorAt(1, QColor(0xc9, 0x85, 0x12));
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x0a), 1.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(8, 22, 32, 23), 4, 4);
    // Keyhole.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x30, 0x05));
    p.drawEllipse(QPointF(24, 31), 3.2, 3.2);
    p.drawRect(QRectF(22.8, 32, 2.4, 7));
    return pixmap;
}

} // namespace

CLoginDlg::CLoginDlg(const CUserList& users, bool logOff, QWidget* parent)
    : QDialog(parent), m_users(users)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("User Login"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("id%1").arg(IDB_LOGIN));
    picture->setPixmap(LoginPicture());
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("id%1").arg(IDC_USER_NAME));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("id%1").arg(IDC_PASSWORD));
    m_password->setEchoMode(QLineEdit::Password);
    m_userName->setMinimumWidth(200);

    auto* form = new QFormLayout;
    auto* nameLabel = new QLabel(tr("&User Name:"), this);
    nameLabel->setBuddy(m_userName);
    auto* passwordLabel = new QLabel(tr("&Password:"), this);
    passwordLabel->setBuddy(m_password);
    form->addRow(nameLabel, m_userName);
    form->addRow(passwordLabel, m_password);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("id1"));
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("id2"));
    if (logOff)
        cancel->setText(LoadStringId(IDS_SHUT_DOWN));
    connect(buttons, &QDialogButtonBox::accepted, this, &CLoginDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLoginDlg::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(8);
    top->addLayout(form, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
    m_userName->setFocus();
}

void CLoginDlg::accept()
{
    int index = -1;
    switch (m_users.Check(m_userName->text(), m_password->text(), &index)) {
    case CUserList::Accepted:
        m_userIndex = index;
        QDialog::accept();
        return;
    case CUserList::UnknownUser:
        AppMessageBoxId(IDS_UNKNOWN_USER, MB_OK);
        m_userName->clear();
        m_password->clear();
        m_userName->setFocus();
        return;
    case CUserList::InvalidPassword:
        AppMessageBoxId(IDS_INVALID_PASSWORD, MB_OK);
        m_password->clear();
        m_password->setFocus();
        return;
    case CUserList::NoAccessRights:
        AppMessageBoxId(IDS_NO_ACCESS_RIGHTS, MB_OK | MB_ICONSTOP);
        m_userName->clear();
        m_password->clear();
        m_userName->setFocus();
        return;
    }
}
