#include "MessageBox.h"

#include <QStringList>

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

TEST(MessageBox, LongTextsAreShownElidedAndQuickly)
{
    CMessageResponder responder;
    const QString name(1 << 20, u'N');                                      // a 1 MB name
    const QString huge = QString(50 << 20, u'x') + QStringLiteral("\nend"); // one 50 MB line

    struct Case
    {
        const char* what;
        QString text;
    };
    const Case cases[] = {
        {"a short text is shown as it is", QStringLiteral("Cannot open \"a.sgn\".\n\nTry again.")},
        {"a long name in one line",
         QStringLiteral("The stock \"") + name + QStringLiteral("\" is bad.")},
        {"a 50 MB line", huge},
        {"many short lines", QStringLiteral("line\n").repeated(200000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        responder.Clear();
        AppMessageBox(c.text);
        ASSERT_EQ(responder.Count(), 1);
        const QString shown = responder.LastText();
        EXPECT_LE(shown.size(), kMaxMessageText);
        const auto lines = shown.split(u'\n');
        for (const QString& line : lines)
            EXPECT_LE(line.size(), kMaxMessageLine);
        if (c.text.size() <= kMaxMessageLine)
            EXPECT_EQ(shown, c.text);
        else // start and end are kept
            EXPECT_TRUE(shown.startsWith(c.text.left(10)) && shown.endsWith(c.text.right(3)))
                << shown.left(40).toStdString();
    }
}

TEST(MessageBox, ElidingKeepsStartAndEndAndNeverSplitsACharacter)
{
    EXPECT_EQ(ElideMiddle(QStringLiteral("short")), QStringLiteral("short"));
    const QString elided = ElideMiddle(QStringLiteral("abcdefghijklmnopqrstuvwxyz"), 10);
    EXPECT_EQ(elided, QStringLiteral("abcde\u2026wxyz"));

    // Characters beyond the basic plane take two code units: a cut never
    // leaves half of one.
    QString wide;
    for (int i = 0; i < 200; ++i)
        wide += QString::fromUcs4(U"\U0001F600");
    for (qsizetype max : {9, 10, 11, 100, 101}) {
        const QString cut = ElideMiddle(wide, max);
        EXPECT_LE(cut.size(), max);
        for (qsizetype i = 0; i < cut.size(); ++i) {
            if (cut[i].isHighSurrogate()) {
                EXPECT_TRUE(i + 1 < cut.size() && cut[i + 1].isLowSurrogate()) << max;
            } else if (cut[i].isLowSurrogate()) {
                EXPECT_TRUE(i > 0 && cut[i - 1].isHighSurrogate()) << max;
            }
        }
    }
}
