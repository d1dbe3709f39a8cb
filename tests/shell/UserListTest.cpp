#include "UserList.h"

#include "AppContext.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ShellTestSupport.h"
#include "SignApp.h"
#include "TestSupport.h"
#include "ui/LoginDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class UserListTest : public ::testing::Test
{
protected:
    UserListTest() { EnsureWidgetApp(); }

    // A user key of the shared profile; a null text leaves that value out.
    static void PutUser(int number, const char* name, const char* password, const char* access)
    {
        const QString section = QStringLiteral("Admin/Users/User%1").arg(number);
        if (name)
            CSignApp::WriteProfileString(section, "name", name, true);
        if (password)
            CSignApp::WriteProfileString(section, "password", password, true);
        if (access)
            CSignApp::WriteProfileString(section, "access", access, true);
    }
    static void PutSwitch(int value)
    {
        CSignApp::WriteProfileInt("Admin/Users", "access", value, true);
    }

    CUserList& Users(std::initializer_list<CUser> users)
    {
        int i = 0;
        for (const CUser& u : users) {
            PutUser(i++, qPrintable(u.name), qPrintable(u.password),
                    qPrintable(QString::number(u.access)));
        }
        PutSwitch(1);
        CUserList::Current().Load();
        return CUserList::Current();
    }

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
};

} // namespace

TEST_F(UserListTest, TableAsItIsRead)
{
    struct Key
    {
        int number;
        const char* name; // null: the value is missing
        const char* password;
        const char* access;
    };
    struct Case
    {
        const char* what;
        int logOnSwitch; // -1: no "Users" key at all
        std::vector<Key> keys;
        bool enabled;
        std::vector<CUser> expected;
    };
    const Case cases[] = {
        {"no user table", -1, {}, false, {}},
        {"the switch without user 0", 1, {{1, "Orphan", "pw", "0"}}, false, {}},
        {"users 0 and 2 without 1",
         1,
         {{0, "Ann", "Secret", "1"}, {2, "Cy", "x", "0"}},
         true,
         {{"Ann", "Secret", 1}}},
        {"keys that lack values",
         1,
         {{0, nullptr, nullptr, "2"}, {1, "Dee", nullptr, nullptr}},
         true,
         {{"", "", 2}, {"Dee", "", 0}}},
        {"switch off", 0, {{0, "Ann", "Secret", "0"}}, false, {{"Ann", "Secret", 0}}},
        {"access that is not a number", 1, {{0, "Ann", "", "admin"}}, true, {{"Ann", "", 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTestHome caseHome;
        if (c.logOnSwitch >= 0)
            PutSwitch(c.logOnSwitch);
        for (const Key& k : c.keys)
            PutUser(k.number, k.name, k.password, k.access);
        CUserList& users = CUserList::Current();
        users.Load();
        EXPECT_EQ(users.IsLogOnEnabled() != 0, c.enabled);
        ASSERT_EQ(users.Users().size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(users.Users()[i].name, c.expected[i].name);
            EXPECT_EQ(users.Users()[i].password, c.expected[i].password);
            EXPECT_EQ(users.Users()[i].access, c.expected[i].access);
        }
    }
}

TEST_F(UserListTest, LogOnRules)
{
    CUserList& users = Users({
        {"Ann", "Secret", 0},
        {"ann", "other", 0}, // same name: never reached
        {"Bob", "pw", CUserList::kNoDesignerAccess},
        {"Cy", "", 1},
    });
    struct Case
    {
        const char* name;
        const char* password;
        bool designer;
        CUserList::LogOnCheck expected;
        int index;
    };
    const Case cases[] = {
        {"Ann", "Secret", true, CUserList::Accepted, 0},
        {"ANN", "sECRET", true, CUserList::Accepted, 0}, // case ignored on both
        {"ann", "other", true, CUserList::InvalidPassword, -1},
        {"Ann", "Secret ", true, CUserList::InvalidPassword, -1},
        {" Ann", "Secret", true, CUserList::UnknownUser, -1},
        {"Zed", "Secret", true, CUserList::UnknownUser, -1},
        {"", "", true, CUserList::UnknownUser, -1},
        {"bob", "PW", true, CUserList::NoAccessRights, -1},
        {"bob", "PW", false, CUserList::Accepted, 2}, // the print front end lets him in
        {"bob", "no", false, CUserList::InvalidPassword, -1},
        {"Cy", "", true, CUserList::Accepted, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 / %2 / %3").arg(c.name, c.password).arg(c.designer).toStdString());
        users.SetCheckDesignerAccess(c.designer);
        int index = -1;
        EXPECT_EQ(users.Check(c.name, c.password, &index), c.expected);
        EXPECT_EQ(index, c.index);
    }
}

TEST_F(UserListTest, DialogStaysOpenOnAWrongEntry)
{
    CUserList& users = Users({{"Ann", "Secret", 0}, {"Bob", "pw", 2}});
    struct Case
    {
        const char* name;
        const char* password;
        int message; // 0: none, the dialog closes
        const char* nameAfter;
        const char* passwordAfter;
        QWidget* (*focus)(CLoginDlg&);
    };
    const auto nameEdit = [](CLoginDlg& d) -> QWidget* { return d.UserNameEdit(); };
    const auto passwordEdit = [](CLoginDlg& d) -> QWidget* { return d.PasswordEdit(); };
    const Case cases[] = {
        {"Zed", "Secret", IDS_UNKNOWN_USER, "", "", nameEdit},
        {"Ann", "wrong", IDS_INVALID_PASSWORD, "Ann", "", passwordEdit},
        {"Bob", "pw", IDS_NO_ACCESS_RIGHTS, "", "", nameEdit},
        {"ann", "SECRET", 0, "ann", "SECRET", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.Clear();
        CLoginDlg dialog(users, false);
        dialog.show();
        dialog.UserNameEdit()->setText(c.name);
        dialog.PasswordEdit()->setText(c.password);
        dialog.findChild<QPushButton*>("id1")->click();
        EXPECT_EQ(dialog.UserNameEdit()->text(), c.nameAfter);
        EXPECT_EQ(dialog.PasswordEdit()->text(), c.passwordAfter);
        if (c.message) {
            ASSERT_EQ(messages.Count(), 1);
            EXPECT_EQ(messages.LastText(), LoadStringId(c.message));
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(dialog.focusWidget(), c.focus(dialog));
            EXPECT_EQ(dialog.GetUserIndex(), -1);
        } else {
            EXPECT_EQ(messages.Count(), 0);
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.GetUserIndex(), 0);
        }
    }
}

TEST_F(UserListTest, NoAccessIsAStopMessage)
{
    CUserList& users = Users({{"Bob", "pw", 2}});
    CLoginDlg dialog(users, false);
    dialog.UserNameEdit()->setText("Bob");
    dialog.PasswordEdit()->setText("pw");
    dialog.accept();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Messages()[0].style & MB_ICONMASK, unsigned(MB_ICONSTOP));
}

TEST_F(UserListTest, LogOnAndLogOff)
{
    CUserList& users = Users({{"Ann", "Secret", 0}, {"Bob", "pw", 0}});
    EXPECT_EQ(App().currentUserName(), "") << "nobody before a log-on";

    {
        CAnswerDialog<CLoginDlg> answer([](CLoginDlg* d) {
            EXPECT_EQ(d->findChild<QPushButton*>("id2")->text(), "Cancel");
            d->UserNameEdit()->setText("bob");
            d->PasswordEdit()->setText("PW");
            d->accept();
        });
        EXPECT_TRUE(users.LogOn(FALSE));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(App().currentUserName(), "Bob") << "the stored spelling of the name";

    // Log Off: Cancel reads "Shut Down" and leaves the user as it was.
    {
        CAnswerDialog<CLoginDlg> answer([](CLoginDlg* d) {
            EXPECT_EQ(d->findChild<QPushButton*>("id2")->text(), LoadStringId(IDS_SHUT_DOWN));
            d->reject();
        });
        EXPECT_FALSE(users.LogOn(TRUE));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(users.GetCurrentUserName(), "Bob");
}

TEST_F(UserListTest, LogOnNotRequired)
{
    PutUser(0, "Ann", "Secret", "0"); // users but no switch
    CUserList& users = CUserList::Current();
    users.Load();
    CAnswerDialog<QDialog> watch([](QDialog* d) { d->reject(); });
    EXPECT_TRUE(users.LogOn(FALSE));
    EXPECT_TRUE(users.LogOn(TRUE));
    QApplication::processEvents();
    EXPECT_FALSE(watch.Answered());
    EXPECT_EQ(users.GetCurrentUserName(), "");
}
