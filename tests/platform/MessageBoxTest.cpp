#include "MessageBox.h"

#include <gtest/gtest.h>

TEST(MessageBox, ResponderRecordsAndAnswersInTurn)
{
    CMessageResponder responder;
    responder.QueueAnswer(IDNO);
    EXPECT_EQ(AppMessageBox("first", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AppMessageBox("second", MB_YESNO), IDYES); // default button
    responder.SetDefaultAnswer(IDCANCEL);
    EXPECT_EQ(AppMessageBox("third", MB_OKCANCEL), IDCANCEL);
    ASSERT_EQ(responder.Count(), 3);
    EXPECT_EQ(responder.Messages()[0].text, "first");
    EXPECT_EQ(responder.Messages()[0].style, unsigned(MB_YESNO | MB_ICONQUESTION));
}

TEST(MessageBox, DefaultAnswersFollowTheStyle)
{
    struct Case
    {
        unsigned style;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},
        {MB_RETRYCANCEL, IDRETRY},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultMessageBoxAnswer(c.style), c.answer) << c.style;
}

TEST(MessageBox, NestedRespondersRestoreTheOuterOne)
{
    CMessageResponder outer;
    {
        CMessageResponder inner;
        AppMessageBox("inner");
        EXPECT_EQ(inner.Count(), 1);
    }
    AppMessageBox("outer");
    EXPECT_EQ(outer.Count(), 1);
    EXPECT_EQ(outer.LastText(), "outer");
}
