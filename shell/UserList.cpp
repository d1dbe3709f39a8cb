#include "UserList.h"

#include "AppContext.h"
#include "ProfileSession.h"
#include "SignApp.h"
#include "ui/LoginDlg.h"

namespace {

const QString kUsersSection = QStringLiteral("Admin/Users");

// A missing value reads as a null text, an empty one as an empty text.
QString SharedValue(const QString& section, const char* key)
{
    return CSignApp::GetProfileString(section, QString::fromLatin1(key), QString(), true);
}

} // namespace

void CUserList::Load()
{
    m_users.clear();
    m_current = -1;
    // The whole table from one reading of the shared file.
    const CProfileSession session;
    m_logOnEnabled =
        CSignApp::GetProfileInt(kUsersSection, QStringLiteral("access"), 0, true) != 0 ? 1 : 0;

    for (int i = 0; i < kMaxUsers; ++i) {
        const QString section = kUsersSection + QStringLiteral("/User%1").arg(i);
        const QString name = SharedValue(section, "name");
        const QString password = SharedValue(section, "password");
        const QString access = SharedValue(section, "access");
        // A user key exists when it holds any of its values.
        if (name.isNull() && password.isNull() && access.isNull())
            break;
        CUser user;
        user.name = name.isNull() ? QString("") : name;
        user.password = password.isNull() ? QString("") : password;
        // A level the programs do not know gives the least rights.
        user.access = CSignApp::GetProfileInt(section, QStringLiteral("access"), 0, true);
        if (user.access < 0 || user.access > kNoDesignerAccess)
            user.access = kNoDesignerAccess;
        m_users.push_back(user);
    }
    if (m_users.empty())
        m_logOnEnabled = 0;

    App().currentUserName = [this] { return GetCurrentUserName(); };
}

BOOL CUserList::LogOn(BOOL logOff, QWidget* parent)
{
    if (!m_logOnEnabled)
        return TRUE;
    CLoginDlg dialog(*this, logOff != 0, parent);
    if (dialog.exec() != QDialog::Accepted)
        return FALSE;
    SetCurrentUser(dialog.GetUserIndex());
    return TRUE;
}

CUserList::LogOnCheck CUserList::Check(const QString& name, const QString& password,
                                       int* index) const
{
    for (std::size_t i = 0; i < m_users.size(); ++i) {
        const CUser& user = m_users[i];
        if (user.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // Only the first user of the name can log on.
        if (user.password.compare(password, Qt::CaseInsensitive) != 0)
            return InvalidPassword;
        if (m_checkDesignerAccess && user.access == kNoDesignerAccess)
            return NoAccessRights;
        if (index)
            *index = static_cast<int>(i);
        return Accepted;
    }
    return UnknownUser;
}

QString CUserList::GetCurrentUserName() const
{
    const CUser* user = GetCurrentUser();
    return user ? user->name : QString();
}

const CUser* CUserList::GetCurrentUser() const
{
    if (m_current < 0 || m_current >= static_cast<int>(m_users.size()))
        return nullptr;
    return &m_users[std::size_t(m_current)];
}

void CUserList::SetCurrentUser(int index)
{
    m_current = index >= 0 && index < static_cast<int>(m_users.size()) ? index : -1;
}

CUserList& CUserList::Current()
{
    return App().Get<CUserList>();
}
