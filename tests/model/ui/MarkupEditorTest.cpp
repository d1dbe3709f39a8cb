// The rich-text editor: the mark-up taken into the editor's formatted runs
// and written back, the dialog's edits arriving in the text element, the
// Edit Text dialog and the font sample.
#include "AppContext.h"
#include "EditTextDlg.h"
#include "Mivant.h"
#include "RichTextDlg.h"
#include "TestSupport.h"
#include "Text.h"
#include "TextPreview.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class MarkupEditorTest : public ::testing::Test
{
protected:
    MarkupEditorTest() { EnsureWidgetApp(); }
    CTestHome home;
    CAppContext context;
};

// The format of the character at an index of the document's plain text.
QTextCharFormat FormatAt(const QTextDocument& doc, int index)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(index);
    cursor.setPosition(index + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

TEST_F(MarkupEditorTest, MarkupRoundTripsThroughTheEditorsRuns)
{
    struct Case
    {
        const char* markup;
        const char* back; // nullptr: the mark-up itself
        bool defaultBold; // the element's font is bold
    };
    const Case cases[] = {
        {"plain text", nullptr, false},
        {"", nullptr, false},
        {"<b>bold</b> text", nullptr, false},
        {"an <i>italic</i> word", nullptr, false},
        {"<u>under</u>lined", nullptr, false},
        {"E = mc<sup>2</sup>", nullptr, false},
        {"H<sub>2</sub>O", nullptr, false},
        {"<font face=\"Courier New\">mono</font> and sans", nullptr, false},
        {"<font size=\"18\">big</font>", nullptr, false},
        {"<font size=\"+50\">half again</font> as big", nullptr, false},
        {"<font size=\"-25\">smaller</font>", nullptr, false},
        {"<font colour=\"#FF0000\">red</font> then black", nullptr, false},
        // Nested runs, kept nested.
        {"<b>bold <i>both</i></b> none", nullptr, false},
        {"<font face=\"Times New Roman\">a<font size=\"20\">b</font>c</font>d", nullptr, false},
        {"<font colour=\"#00FF00\"><b><u>x</u></b></font>", nullptr, false},
        // Tags nested the other way come back in one fixed order.
        {"<i><b>x</b></i>", "<b><i>x</i></b>", false},
        // A colour closed while bold is still on: the bold outlives it.
        {"<font colour=\"#0000FF\">a<b>b</font>c</b>",
         "<font colour=\"#0000FF\">a<b>b</b></font><b>c</b>", false},
        // Closing a font tag puts back the font of before, bold included.
        {"<font size=\"12\"><b>x</font>y", "<font size=\"12\"><b>x</b></font>y", false},
        // Non-breaking spaces.
        {"a&nbsp;b", nullptr, false},
        {"x&nbsp;&nbsp;y z", nullptr, false},
        {"<b>&nbsp;</b>", nullptr, false},
        {"A&NBSP;B", "A&nbsp;B", false},
        // Line breaks become paragraphs and come back as LF.
        {"one\ntwo", nullptr, false},
        {"one<br>two", "one\ntwo", false},
        {"one\r\ntwo\n\nfour", "one\ntwo\n\nfour", false},
        {"<b>one\ntwo</b>", nullptr, false},
        {"<i>one</i>\n<b>two</b>\n\n<u>four</u>\n", nullptr, false},
        {"<i>one\n</i>two", "<i>one</i>\ntwo", false},
        // What is not a tag stays as typed.
        {"a < b", nullptr, false},
        {"< b >spaced< /b >", "<b>spaced</b>", false},
        {"<blink>x", nullptr, false},
        {"&amp; &nbsp", nullptr, false},
        // A bold default: unbolding is written with the closing tag first.
        {"a</b>b<b>c", nullptr, true},
        {"<b>all bold</b>", "all bold", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        CMarkupDefaults defaults;
        defaults.bold = c.defaultBold;
        QTextDocument document;
        MarkupToDocument(QString::fromUtf8(c.markup), document, defaults);
        EXPECT_EQ(DocumentToMarkup(document, defaults),
                  QString::fromUtf8(c.back ? c.back : c.markup));
    }
}

TEST_F(MarkupEditorTest, EachTagKindFormatsItsStretch)
{
    CMarkupDefaults defaults;
    defaults.face = QStringLiteral("Liberation Sans");
    defaults.points = 10;
    defaults.colour = MakeRGB(0, 0, 0);
    QTextDocument document;
    MarkupToDocument(QStringLiteral("<b>B</b><i>I</i><u>U</u><sup>P</sup><sub>D</sub>"
                                    "<font face=\"Liberation Serif\">F</font>"
                                    "<font size=\"+100\">S</font>"
                                    "<font colour=\"#102030\">C</font>&nbsp;N\nL"),
                     document, defaults);
    EXPECT_EQ(document.toRawText(), QString::fromUtf8("BIUPDFSC\u00a0N\u2029L"));
    EXPECT_EQ(document.blockCount(), 2);
    EXPECT_GT(FormatAt(document, 0).fontWeight(), QFont::Medium);
    EXPECT_LE(FormatAt(document, 1).fontWeight(), QFont::Medium);
    EXPECT_TRUE(FormatAt(document, 1).fontItalic());
    EXPECT_TRUE(FormatAt(document, 2).fontUnderline());
    EXPECT_EQ(FormatAt(document, 3).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(FormatAt(document, 4).verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(FormatAt(document, 5).fontFamilies().toStringList().value(0),
              QStringLiteral("Liberation Serif"));
    EXPECT_EQ(FormatAt(document, 4).fontFamilies().toStringList().value(0),
              QStringLiteral("Liberation Sans"));
    EXPECT_DOUBLE_EQ(FormatAt(document, 6).fontPointSize(), 20.0);
    EXPECT_DOUBLE_EQ(FormatAt(document, 7).fontPointSize(), 10.0);
    EXPECT_EQ(FormatAt(document, 7).foreground().color(), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(FormatAt(document, 9).foreground().color(), QColor(0, 0, 0));
}

// Formats set through the control's bar come back as tags.
TEST_F(MarkupEditorTest, FormatsSetInTheEditorBecomeTags)
{
    CMivant control;
    control.SetDefaultFont(QStringLiteral("Arial"), 240, 0, FALSE, FALSE, FALSE);
    control.SetTextColour(0);
    control.SetText(QStringLiteral("one two three four"));
    QTextEdit* editor = control.Editor();
    const auto select = [editor](int from, int to) {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    };
    select(0, 3);
    control.ApplyPoints(18);
    control.ApplyColour(MakeRGB(255, 0, 0));
    select(4, 7);
    control.ApplyFace(QStringLiteral("Courier New"));
    control.ApplySuperscript(true);
    select(8, 13);
    control.ApplyUnderline(true);
    control.ApplyItalic(true);
    // Choosing the default again takes the tag away.
    select(0, 1);
    control.ApplyPoints(12);
    select(14, 14);
    control.InsertNbsp();
    EXPECT_EQ(control.GetText(),
              QStringLiteral("<font colour=\"#FF0000\">o<font size=\"18\">ne</font></font> "
                             "<font face=\"Courier New\"><sup>two</sup></font> "
                             "<i><u>three</u></i> &nbsp;four"));
}

// The dialog loads the element's text and font, and OK puts the edited
// mark-up back into the element, whose runs then follow it.
TEST_F(MarkupEditorTest, EditInTheDialogArrivesInTheElementsRuns)
{
    CText text;
    text.SetSampleData(nullptr, QStringLiteral("Hello world"));
    CLogFont font = text.m_font;
    font.SetFaceName(QStringLiteral("Liberation Serif"));
    text.SetFont(nullptr, font);

    CRichTextDlg dialog(&text);
    bool answered = false;
    QTimer::singleShot(0, [&] {
        answered = true;
        CMivant* control = dialog.Control();
        EXPECT_EQ(control->Defaults().face, QStringLiteral("Liberation Serif"));
        QTextEdit* editor = control->Editor();
        EXPECT_EQ(editor->toPlainText(), QStringLiteral("Hello world"));
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(6);
        cursor.setPosition(11, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
        auto* bold = control->findChild<QToolButton*>(QStringLiteral("bold"));
        ASSERT_NE(bold, nullptr);
        QTest::mouseClick(bold, Qt::LeftButton);
        // Typing at the end goes on in the format there.
        cursor.movePosition(QTextCursor::End);
        editor->setTextCursor(cursor);
        QTest::keyClicks(editor, QStringLiteral("!"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_TRUE(answered);
    EXPECT_EQ(text.m_sampleText, QStringLiteral("Hello <b>world!</b>"));
    text.Refresh();
    EXPECT_EQ(text.GetText(), QStringLiteral("Hello world!"));
    const auto& runs = text.m_richText.GetRuns();
    ASSERT_GE(runs.size(), 2u); // and one from the closing tag at the end
    EXPECT_EQ(runs[0].GetFont().GetLogFont().lfWeight, 400);
    EXPECT_EQ(runs[1].start, 6);
    EXPECT_EQ(runs[1].GetFont().GetLogFont().lfWeight, 700);
    EXPECT_EQ(runs[1].GetFont().GetFaceName(), QStringLiteral("Liberation Serif"));
}

TEST_F(MarkupEditorTest, CancelLeavesTheElementsText)
{
    CText text;
    text.SetSampleData(nullptr, QStringLiteral("<i>kept</i>"));
    CRichTextDlg dialog(&text);
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(dialog.Control()->Editor(), QStringLiteral("more"));
        dialog.reject();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(text.m_sampleText, QStringLiteral("<i>kept</i>"));
}

TEST_F(MarkupEditorTest, EditTextDialogEditsOrOnlyShows)
{
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly);
        CEditTextDlg dialog;
        dialog.m_text = QStringLiteral("first\nsecond");
        dialog.m_readOnly = readOnly;
        QTimer::singleShot(0, [&] {
            QPlainTextEdit* field = dialog.Field();
            EXPECT_EQ(field->toPlainText(), QStringLiteral("first\nsecond"));
            EXPECT_EQ(field->isEnabled(), !readOnly);
            field->moveCursor(QTextCursor::End);
            QTest::keyClicks(field, QStringLiteral(" third"));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("id1")),
                              Qt::LeftButton);
        });
        ASSERT_EQ(dialog.exec(), QDialog::Accepted);
        EXPECT_EQ(dialog.m_text, readOnly ? QStringLiteral("first\nsecond")
                                          : QStringLiteral("first\nsecond third"));
    }
}

// The sample fills the area's height unless the face is too wide for its
// width, and stays centred vertically either way.
TEST_F(MarkupEditorTest, FontSampleIsScaledIntoItsArea)
{
    struct Case
    {
        int width;
        int height;
        bool heightBound;
    };
    const Case cases[] = {{400, 60, true}, {80, 60, false}, {200, 30, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        CTextPreviewFrame frame;
        frame.setMinimumSize(1, 1);
        frame.resize(c.width, c.height);
        CLogFont font;
        font.SetFaceName(QStringLiteral("Liberation Sans"));
        frame.SetSampleFont(font);
        ASSERT_NE(frame.Preview(), nullptr);
        EXPECT_EQ(frame.Preview()->GetText(), QStringLiteral("AaBbYyZz"));
        QImage image = frame.grab().toImage();
        (void)image;
        const CRect area = frame.Preview()->GetPreviewArea();
        EXPECT_EQ(area, CRect(10, 4, c.width - 10, c.height - 4));
        const CRect drawn = frame.Preview()->GetDrawnRect();
        ASSERT_GT(drawn.Width(), 0);
        EXPECT_EQ(drawn.left, 10);
        EXPECT_LE(drawn.Width(), area.Width());
        EXPECT_LE(drawn.Height(), area.Height());
        if (c.heightBound)
            EXPECT_NEAR(drawn.Height(), area.Height(), 1);
        else
            EXPECT_NEAR(drawn.Width(), area.Width(), 1);
        const int above = drawn.top - area.top;
        const int below = area.bottom - drawn.bottom;
        EXPECT_LE(std::abs(above - below), 1);
        // Something was painted inside the drawn rectangle.
        bool ink = false;
        for (int y = drawn.top; y < drawn.bottom && !ink; ++y)
            for (int x = drawn.left; x < drawn.right && !ink; ++x)
                ink = qGray(image.pixel(x, y)) < 128;
        EXPECT_TRUE(ink);
    }
}

} // namespace
