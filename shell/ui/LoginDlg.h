// The "User Login" dialog: a user name and a password, checked against the
// user table on OK. A wrong entry is reported and the dialog stays open;
// Cancel (or "Shut Down" when opened from the Log Off command) gives up.
#pragma once

#include <QDialog>

class CUserList;
class QLineEdit;
class QPushButton;

class CLoginDlg : public QDialog
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 287,
        IDC_USER_NAME = 1317,
        IDC_PASSWORD = 1120,
        IDB_LOGIN = 289,
    };

    CLoginDlg(const CUserList& users, bool logOff, QWidget* parent = nullptr);

    // The user who logged on, once the dialog closed with OK; else -1.
    int GetUserIndex() const { return m_userIndex; }

    QLineEdit* UserNameEdit() const { return m_userName; }
    QLineEdit* PasswordEdit() const { return m_password; }

public slots:
    void accept() override;

private:
    const CUserList& m_users;
    QLineEdit* m_userName = nullptr;
    QLineEdit* m_password = nullptr;
    int m_userIndex = -1;
};
