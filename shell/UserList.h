// The optional user table that restricts who may start the programs. It is
// kept outside the programs, in the shared profile, and only read here:
//
//   [Admin/Users]          "access"  non-zero: users must log on
//   [Admin/Users/User0]    "name", "password", "access"
//   [Admin/Users/User1]    ...
//
// User keys are read from number 0 up to the first that is missing (at
// most kMaxUsers). Log-on is required only when the switch is set and at
// least one user exists. A user of access level 2 may use the print front
// end but not the designer; a level other than 0, 1 or 2 reads as 2. The
// shared file is read once for the whole table; a damaged one is reported
// by the profile layer (see ProfileSession.h) and what could be read of it
// is used.
#pragma once

#include "Types.h"

#include <QString>
#include <vector>

class QWidget;

struct CUser
{
    QString name;
    QString password;
    int access = 0;
};

class CUserList
{
public:
    static constexpr int kNoDesignerAccess = 2;
    static constexpr int kMaxUsers = 1000000;

    enum LogOnCheck
    {
        Accepted,
        UnknownUser,
        InvalidPassword,
        NoAccessRights,
    };

    // Reads the table (replacing what was read before) and makes the
    // application context's user-name hook answer from this list.
    void Load();

    // At start-up (logOff FALSE) or from the Log Off command (TRUE, the
    // dialog's Cancel then reads "Shut Down"): TRUE at once when log-on is
    // not required; otherwise the "User Login" dialog, TRUE when a user
    // logged on. On Cancel the current user stays as it was.
    BOOL LogOn(BOOL logOff, QWidget* parent = nullptr);

    // The rules of the dialog's OK: the first user of the name (case
    // ignored), the password (case ignored), then the access level when
    // designer access is checked. The user's index when accepted.
    LogOnCheck Check(const QString& name, const QString& password, int* index = nullptr) const;

    // The logged-on user's name; empty when nobody is logged on.
    QString GetCurrentUserName() const;
    const CUser* GetCurrentUser() const;
    void SetCurrentUser(int index);

    BOOL IsLogOnEnabled() const { return m_logOnEnabled; }
    const std::vector<CUser>& Users() const { return m_users; }

    // The designer refuses access level 2; the print front end does not.
    void SetCheckDesignerAccess(bool check) { m_checkDesignerAccess = check; }
    bool ChecksDesignerAccess() const { return m_checkDesignerAccess; }

    static CUserList& Current();

private:
    BOOL m_logOnEnabled = 0;
    std::vector<CUser> m_users;
    int m_current = -1;
    bool m_checkDesignerAccess = true;
};
