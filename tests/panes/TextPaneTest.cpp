// The text pane as a user meets it in the designer's real main frame: a
// text placed with the text tool, its words, font and size typed in the
// pane, the copy-fit range, the angle with the border rule, the data rules,
// the rich-text editor, and Undo of each edit.
#include "AppContext.h"
#include "Box.h"
#include "BulletArray.h"
#include "Commands.h"
#include "DesignView.h"
#include "DesignerTest.h"
#include "DialogAnswer.h"
#include "EditTextDlg.h"
#include "ElementList.h"
#include "ListCtrlEx.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "Mivant.h"
#include "PaneParts.h"
#include "RichTextDlg.h"
#include "SignApp.h"
#include "SignData.h"
#include "TestSupport.h"
#include "Text.h"
#include "TextPreview.h"
#include "TextView.h"
#include "UndoHistory.h"
#include "Variable.h"
#include "VariableList.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Answers the next modal dialog of a type with the action.
class TextPaneTest : public CDesignerFixture
{
protected:
    // The designer as it starts (after the test has chosen its settings).
    bool Start()
    {
        if (!StartDesigner(QSize(1300, 1000)))
            return false;
        if (view)
            view->FullSize();
        return view != nullptr;
    }

    void Command(int id)
    {
        frame->UpdateActionsNow();
        QAction* action = frame->Action(id);
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    // A text placed with the text tool; the pane shows it afterwards.
    CText* PlaceText(int x, int y)
    {
        Command(ID_TOOL_TEXT);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, Dp(x, y));
        return dynamic_cast<CText*>(view->Selection().Primary());
    }
    // Selects an element with a click on it.
    void ClickOn(CElement* element)
    {
        const CRect r = element->m_bounds;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          Dp((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    CText* Listed() const { return dynamic_cast<CText*>(TheElementList().GetAt(0)); }
    QWidget* Pane() const { return frame->PropertyPane(); }
    // A page of the pane, made current as a click on its tab does.
    QWidget* Page(int index) const
    {
        auto* tabs = Pane()->findChild<QTabWidget*>(QStringLiteral("id1092"));
        EXPECT_NE(tabs, nullptr);
        if (!tabs)
            return nullptr;
        tabs->setCurrentIndex(index);
        return tabs->widget(index);
    }
    template <class T> T* Find(QWidget* page, int id) const
    {
        T* w = page ? page->findChild<T*>(QStringLiteral("id%1").arg(id)) : nullptr;
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }
    void Type(QWidget* page, int id, const QString& text)
    {
        auto* field = Find<QLineEdit>(page, id);
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
    void TypeInCombo(QWidget* page, int id, const QString& text)
    {
        auto* combo = Find<QComboBox>(page, id);
        ASSERT_NE(combo, nullptr);
        ASSERT_NE(combo->lineEdit(), nullptr);
        combo->lineEdit()->selectAll();
        QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(combo->lineEdit(), text);
    }
    void Choose(QWidget* page, int id, int index)
    {
        auto* combo = Find<QComboBox>(page, id);
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void ClickFace(QWidget* page, const QString& face)
    {
        auto* list = Find<CListCtrlEx>(page, 1164);
        ASSERT_NE(list, nullptr);
        const int row = list->FindItemText(face, Qt::CaseInsensitive);
        ASSERT_GE(row, 0) << face.toStdString();
        list->scrollToItem(list->item(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row, 0)).center());
    }
    void TypeText(const QString& text)
    {
        auto* field = Find<QPlainTextEdit>(Page(0), 1049);
        ASSERT_NE(field, nullptr);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        for (const QString& line : text.split(u'\n')) {
            if (line.data() != text.data() && !field->toPlainText().isEmpty())
                QTest::keyClick(field, Qt::Key_Return);
            QTest::keyClicks(field, line);
        }
    }
    void Undo() { Command(ID_EDIT_UNDO); }
    // Clicks a check box or radio button on its box, as the user does.
    void Click(QWidget* page, int id)
    {
        auto* button = Find<QAbstractButton>(page, id);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    }
};

TEST_F(TextPaneTest, TypedWordsFontAndSizeReachTheTextAndUndoTakesEachBack)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    ASSERT_STREQ(Pane()->metaObject()->className(), "CTextView");
    EXPECT_EQ(Pane()->objectName(), QStringLiteral("id371"));
    EXPECT_EQ(Find<QPlainTextEdit>(Page(0), 1049)->toPlainText(), QStringLiteral("Sample Text"));
    const QString face = text->m_font.GetFaceName();
    const LONG height = text->m_font.GetHeight();
    frame->Document().SetModifiedFlag(false);

    TypeText(QStringLiteral("Hello\nWorld"));
    EXPECT_EQ(text->m_sampleText, QStringLiteral("Hello\nWorld"));
    EXPECT_EQ(text->GetText(), QStringLiteral("Hello\nWorld"));
    EXPECT_EQ(text->m_lines.size(), 2u) << "a placed text's one line grows to the lines typed";
    EXPECT_EQ(text->m_lengthLimit, 12) << "a line break counts as two characters";
    EXPECT_TRUE(frame->Document().IsModified());

    ClickFace(Page(0), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(text->m_font.GetFaceName(), QStringLiteral("Liberation Serif"));
    auto* preview = Find<CTextPreviewFrame>(Page(0), 1178);
    ASSERT_NE(preview->Preview(), nullptr);
    EXPECT_EQ(preview->Preview()->m_font.GetFaceName(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(Find<QLabel>(Page(0), 1165)->text().left(22),
              QStringLiteral("This is a TrueType fon"));

    TypeInCombo(Page(0), 1040, QStringLiteral("24"));
    EXPECT_NEAR(text->m_font.HeightToPoints(), 24.0, 0.3);
    EXPECT_GT(text->m_font.GetHeight(), height);
    const int wide = text->m_textRect.Width();

    // Each control's edit is one step back.
    Undo();
    EXPECT_EQ(Listed()->m_font.GetHeight(), height);
    EXPECT_EQ(Listed()->m_font.GetFaceName(), QStringLiteral("Liberation Serif"));
    EXPECT_LT(Listed()->m_textRect.Width(), wide);
    Undo();
    EXPECT_EQ(Listed()->m_font.GetFaceName(), face);
    EXPECT_EQ(Listed()->GetText(), QStringLiteral("Hello\nWorld"));
    Undo();
    EXPECT_EQ(Listed()->GetText(), QStringLiteral("Sample Text"));
    ASSERT_EQ(TheElementList().GetCount(), 1);

    // The pane of the text selected again shows it as it is now.
    ClickOn(Listed());
    ASSERT_STREQ(Pane()->metaObject()->className(), "CTextView");
    EXPECT_EQ(Find<QPlainTextEdit>(Page(0), 1049)->toPlainText(), QStringLiteral("Sample Text"));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

TEST_F(TextPaneTest, CopyFitFrameAndSizeRange)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    QWidget* format = Page(1);
    ASSERT_TRUE(Find<QCheckBox>(format, 1209)->isChecked()) << "a placed text is one line long";
    EXPECT_FALSE(Find<QLineEdit>(format, 1007)->isEnabled());

    Click(format, 1173);
    EXPECT_TRUE(text->m_copyFit);
    EXPECT_EQ(text->m_maxLines, -1);
    EXPECT_FALSE(Find<QCheckBox>(format, 1209)->isChecked());
    EXPECT_TRUE(Find<QLineEdit>(format, 1007)->isEnabled());
    EXPECT_FALSE(Find<QComboBox>(Page(0), 1040)->isEnabled()) << "copy-fit chooses the size";

    format = Page(1);
    const int height = text->m_formatRect.Height();
    Type(format, 1008, QStringLiteral("80"));
    EXPECT_EQ(text->m_formatRect.Width(), 800);
    EXPECT_EQ(text->m_formatRect.Height(), height) << "only the width was typed";
    Type(format, 1007, QStringLiteral("30"));
    EXPECT_EQ(text->m_formatRect.Height(), 300);
    EXPECT_EQ(text->m_formatRect.Width(), 800);

    const int minBefore = text->m_minHeight;
    TypeInCombo(format, 1207, QStringLiteral("20"));
    const int max = text->m_maxHeight;
    EXPECT_NEAR(text->m_font.HeightToPoints(max), 20.0, 0.3);
    TypeInCombo(format, 1206, QStringLiteral("8"));
    const int min = text->m_minHeight;
    EXPECT_NEAR(text->m_font.HeightToPoints(min), 8.0, 0.3);
    EXPECT_GE(text->m_font.GetHeight(), min);
    EXPECT_LE(text->m_font.GetHeight(), max);
    // A minimum above the maximum is stored as the maximum.
    TypeInCombo(format, 1206, QStringLiteral("30"));
    EXPECT_EQ(text->m_minHeight, text->m_maxHeight);

    // Everything typed into the minimum is one step.
    // Line spacing: "Fixed" turns the percentage into lines per inch of
    // the font's line height, "Relative" turns them back, "Normal" is 100%.
    // (Copy-fit may size the font anew after each change: the line height
    // is the font's as it stands before the change.)
    const auto lineHeight = [text] {
        const CTextMetrics& tm = text->m_font.GetTextMetrics();
        return double(tm.tmHeight + tm.tmExternalLeading);
    };
    const double before = lineHeight();
    Choose(format, 1387, 2);
    EXPECT_EQ(text->m_lineSpaceMode, LINESPACE_PER_INCH);
    const int lpi = text->m_lineSpaceAmount;
    EXPECT_EQ(lpi, int(254.0 / before + 0.5));
    EXPECT_TRUE(Find<QSpinBox>(format, 1104)->isEnabled());
    const double fixedHeight = lineHeight();
    Choose(format, 1387, 1);
    EXPECT_EQ(text->m_lineSpaceAmount, int(254.0 / (lpi * fixedHeight) * 100.0 + 0.5));
    Choose(format, 1387, 0);
    EXPECT_EQ(text->m_lineSpaceAmount, 100);
    EXPECT_FALSE(Find<QSpinBox>(format, 1104)->isEnabled());
    // Back at "Normal" the spacing is as it was before: that step changed
    // nothing, so the first Undo takes back the minimum.
    Undo();
    EXPECT_EQ(Listed()->m_lineSpaceMode, LINESPACE_OWN);
    EXPECT_EQ(Listed()->m_lineSpaceAmount, 100);
    EXPECT_EQ(Listed()->m_minHeight, minBefore);
    EXPECT_EQ(Listed()->m_maxHeight, max);
    Undo();
    EXPECT_NE(Listed()->m_maxHeight, max);
    EXPECT_TRUE(Listed()->m_copyFit);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// An angle typed keystroke by keystroke never takes the border away: a
// turned text keeps its box with the border controls disabled, a full turn
// is no turn, and an angle out of range is refused.
TEST_F(TextPaneTest, AngleKeepsTheBorderAndDisablesItsControls)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    QWidget* effects = Page(2);
    Click(effects, 1211);
    ASSERT_NE(text->m_frameBox, nullptr);
    Type(effects, 1013, QStringLiteral("1.5"));
    EXPECT_EQ(text->m_frameBox->m_thickness, 15);
    Type(effects, 1106, QStringLiteral("2"));
    EXPECT_EQ(text->m_horzMargin, 20);
    EXPECT_EQ(text->m_frameBox->m_thickness, 15) << "a margin edit leaves the thickness";

    struct Case
    {
        const char* typed;
        int angle;    // shown and kept
        LONG stored;  // the font's orientation
        bool refused; // a message, nothing written
    };
    const Case cases[] = {
        {"90", 90, 2700, false},  {"45", 45, 3150, false}, {"360", 0, 0, false},
        {"270", 270, 900, false}, {"0", 0, 0, false},      {"400", 40, 3200, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        messages.Clear();
        Type(Page(0), 1029, QString::fromLatin1(c.typed));
        EXPECT_EQ(messages.Count(), c.refused ? 1 : 0);
        EXPECT_EQ(text->GetAngle(), c.angle);
        EXPECT_EQ(text->m_font.GetLogFont().lfOrientation, c.stored);
        ASSERT_NE(text->m_frameBox, nullptr) << "the border outlives every keystroke";
        EXPECT_EQ(text->m_frameBox->m_thickness, 15);
        effects = Page(2);
        const bool upright = c.angle == 0;
        EXPECT_EQ(Find<QCheckBox>(effects, 1211)->isEnabled(), upright);
        EXPECT_EQ(Find<QLineEdit>(effects, 1013)->isEnabled(), upright);
        EXPECT_EQ(Find<QLabel>(effects, 1256)->isVisibleTo(effects), !upright);
    }
    EXPECT_TRUE(messages.LastText().contains(QStringLiteral("between 0 and 360")))
        << messages.LastText().toStdString();

    // The angle typing is one step back; the margin and the thickness are
    // steps of their own.
    Undo();
    EXPECT_EQ(Listed()->GetAngle(), 0);
    ASSERT_NE(Listed()->m_frameBox, nullptr);
    EXPECT_EQ(Listed()->m_horzMargin, 20);
    Undo();
    EXPECT_EQ(Listed()->m_horzMargin, 0);
    EXPECT_EQ(Listed()->m_frameBox->m_thickness, 15);
    Undo();
    ASSERT_NE(Listed()->m_frameBox, nullptr);
    EXPECT_NE(Listed()->m_frameBox->m_thickness, 15);
    Undo();
    EXPECT_EQ(Listed()->m_frameBox, nullptr);
}

// The data rules of a keyboard text: the sample sets the length limit only
// while the length is unrestricted, and an emptied "Using" field keeps the
// padding character.
TEST_F(TextPaneTest, DataRulesKeepWhatTheUserChose)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    auto* type = Find<QComboBox>(Page(0), 1000);
    ASSERT_NE(type, nullptr);
    Choose(Page(0), 1000, type->findData(SOURCE_KEYBOARD));
    ASSERT_EQ(text->m_dataSource, SOURCE_KEYBOARD);

    QWidget* format = Page(1);
    EXPECT_TRUE(Find<QComboBox>(format, 1277)->isEnabled());
    Choose(format, 1277, 2); // Maximum
    EXPECT_EQ(Find<QLabel>(format, 1281)->text(), QStringLiteral("&Is"));
    EXPECT_FALSE(Find<QComboBox>(format, 1280)->isEnabled()) << "Maximum pads nothing";
    Type(format, 1278, QStringLiteral("4"));
    EXPECT_EQ(text->m_lengthLimit, 4);
    TypeText(QStringLiteral("A longer sample"));
    EXPECT_EQ(text->m_lengthLimit, 4) << "the rule's own length stays";

    format = Page(1);
    Choose(format, 1277, 1); // Fixed
    EXPECT_EQ(Find<QLabel>(format, 1281)->text(), QStringLiteral("&At"));
    Choose(format, 1280, 1); // pad on the left
    auto* padChar = Find<QLineEdit>(format, 1272);
    EXPECT_TRUE(padChar->isVisibleTo(format));
    Type(format, 1272, QStringLiteral("*"));
    EXPECT_EQ(text->m_paddingChar, BYTE('*'));
    padChar->setFocus();
    QTest::keyClick(padChar, Qt::Key_Backspace);
    EXPECT_EQ(padChar->text(), QString());
    EXPECT_EQ(text->m_paddingChar, BYTE('*')) << "an empty field takes no character";

    Choose(format, 1279, 2); // truncate on the right
    EXPECT_EQ(text->m_truncation, 2);
    Choose(format, 1277, 3); // Minimum
    EXPECT_EQ(text->m_truncation, 0);
    EXPECT_EQ(Find<QLabel>(format, 1281)->text(), QStringLiteral("&Is"));
    EXPECT_FALSE(Find<QComboBox>(format, 1279)->isEnabled());
    Choose(format, 1277, 0); // Unrestricted
    EXPECT_EQ(text->m_paddingMode, 0);
    EXPECT_FALSE(Find<QLineEdit>(format, 1278)->isVisibleTo(format));
    TypeText(QStringLiteral("abc"));
    EXPECT_EQ(text->m_lengthLimit, 3);
    // A keyboard text can ask for its spelling to be checked before print
    // (the dictionary is installed).
    format = Page(1);
    auto* spell = Find<QCheckBox>(format, 1274);
    EXPECT_TRUE(spell->isVisibleTo(format));
    EXPECT_TRUE(spell->isEnabled());
    Click(format, 1274);
    EXPECT_TRUE(text->m_forceSpellCheck);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// A date/time stamp chosen as the source sets the sample to what it
// stamps now.
TEST_F(TextPaneTest, DateStampSourceSetsTheSample)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    CVariable* stamp =
        TheVariableList().CreateVariable(VARIABLE_DATE_TIME, QStringLiteral("Today"));
    ASSERT_NE(stamp, nullptr);
    stamp->ResetValue();
    const QString value = stamp->GetValue();
    ASSERT_FALSE(value.isEmpty());
    auto* type = Find<QComboBox>(Page(0), 1000);
    Choose(Page(0), 1000, type->findData(SOURCE_DATE_TIME));
    EXPECT_EQ(text->m_dataSource, SOURCE_DATE_TIME);
    EXPECT_EQ(text->m_sourceName, QStringLiteral("Today"));
    // (The clock may have moved on in between.)
    stamp->ResetValue();
    const QString after = stamp->GetValue();
    EXPECT_TRUE(text->m_sampleText == value || text->m_sampleText == after)
        << text->m_sampleText.toStdString();
    EXPECT_EQ(Find<QPlainTextEdit>(Page(0), 1049)->toPlainText(), text->m_sampleText);
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}

// In inches, a coordinate typed goes in rounded half away from zero both
// ways, and only the coordinate typed is written.
TEST_F(TextPaneTest, InchesRoundBothWaysAndWriteOnlyTheFieldTyped)
{
    ASSERT_TRUE(Start());
    context.general.displayUnits = 1;
    CText* text = PlaceText(301, 403);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Find<QLabel>(Page(0), 1019)->text(), QStringLiteral("inches"));
    const int y = text->m_position.y;
    struct Case
    {
        const char* typed;
        int x;
    };
    const Case cases[] = {{"-0.01", -3}, {"0.01", 3}, {"-1.27", -323}, {"1.27", 323}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(Page(0), 1002, QString::fromLatin1(c.typed));
        EXPECT_EQ(text->m_position.x, c.x);
        EXPECT_EQ(text->m_position.y, y);
    }
    Type(Page(1), 1008, QStringLiteral("1")); // ignored while copy-fit is off
    EXPECT_EQ(text->m_position.y, y);
}

// The Rich Text Editor opened from the pane: a word made bold there comes
// back as mark-up in the Text field and as a bold run in the element.
TEST_F(TextPaneTest, RichTextEditorEditsTheText)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    CAnswer<CRichTextDlg> answer([](CRichTextDlg* dlg) {
        QTextEdit* editor = dlg->Control()->Editor();
        EXPECT_EQ(editor->toPlainText(), QStringLiteral("Sample Text"));
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(6, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
        QTest::mouseClick(dlg->Control()->findChild<QToolButton*>(QStringLiteral("bold")),
                          Qt::LeftButton);
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(Page(0), 1442), Qt::LeftButton);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(text->m_sampleText, QStringLiteral("<b>Sample</b> Text"));
    EXPECT_EQ(Find<QPlainTextEdit>(Page(0), 1049)->toPlainText(),
              QStringLiteral("<b>Sample</b> Text"));
    EXPECT_EQ(text->GetText(), QStringLiteral("Sample Text"));
    ASSERT_FALSE(text->m_richText.GetRuns().empty());
    EXPECT_EQ(text->m_richText.GetRuns()[0].GetFont().GetLogFont().lfWeight, 700);
    EXPECT_TRUE(frame->Document().IsModified());

    // The ">" button's Edit Text dialog edits the same words.
    CAnswer<CEditTextDlg> edit([](CEditTextDlg* dlg) {
        QPlainTextEdit* field = dlg->Field();
        EXPECT_EQ(field->toPlainText(), QStringLiteral("<b>Sample</b> Text"));
        field->moveCursor(QTextCursor::End);
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, QStringLiteral("more"));
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("id1")), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(Page(0), 1551), Qt::LeftButton);
    ASSERT_TRUE(edit.Answered());
    EXPECT_EQ(text->GetText(), QStringLiteral("Sample Text\nmore"));
    EXPECT_EQ(Find<QPlainTextEdit>(Page(0), 1049)->toPlainText(),
              QStringLiteral("<b>Sample</b> Text\nmore"));

    // Cancel leaves the text as it is.
    CAnswer<CRichTextDlg> cancel([](CRichTextDlg* dlg) {
        QTest::keyClicks(dlg->Control()->Editor(), QStringLiteral("zzz"));
        dlg->reject();
    });
    QTest::mouseClick(Find<QPushButton>(Page(0), 1442), Qt::LeftButton);
    ASSERT_TRUE(cancel.Answered());
    EXPECT_EQ(text->m_sampleText, QStringLiteral("<b>Sample</b> Text\nmore"));
}

// Bullets chosen on the Effects page: a numbered list with its style,
// prefix, suffix and start, and None taking the list away.
TEST_F(TextPaneTest, BulletsChosenInThePane)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    TypeText(QStringLiteral("one\ntwo\nthree"));
    QWidget* effects = Page(2);
    EXPECT_FALSE(Find<QComboBox>(effects, 1222)->isEnabled());
    Click(effects, 1219);
    auto* bullets = dynamic_cast<CBulletArray*>(text->m_bullets.get());
    ASSERT_NE(bullets, nullptr);
    EXPECT_TRUE(Find<QComboBox>(effects, 1222)->isEnabled());
    EXPECT_FALSE(Find<QSpinBox>(effects, 1216)->isEnabled());
    Choose(effects, 1222, 4); // I, II, III...
    Type(effects, 1215, QStringLiteral(")"));
    auto* start = Find<QSpinBox>(effects, 1213);
    start->setValue(4);
    EXPECT_EQ(Find<QLineEdit>(effects, 1223)->text(), QStringLiteral("IV"));
    bullets = dynamic_cast<CBulletArray*>(text->m_bullets.get());
    ASSERT_NE(bullets, nullptr);
    EXPECT_NE(bullets->GetFont().GetFaceName().compare(QStringLiteral("Tabrel Bullets"),
                                                       Qt::CaseInsensitive),
              0)
        << "numbers are not drawn in the bullet symbols";
    EXPECT_EQ(bullets->m_style, BULLET_UPPER_ROMAN);
    EXPECT_EQ(bullets->m_suffix, QStringLiteral(")"));
    EXPECT_EQ(bullets->m_startNumber, 4);
    EXPECT_EQ(
        bullets->GetItemTexts(),
        (std::vector<QString>{QStringLiteral("IV)"), QStringLiteral("V)"), QStringLiteral("VI)")}));
    // A numbered list stops at 99, a lettered one at 26, the symbol code
    // stays within 33 to 255.
    start->setValue(150);
    EXPECT_EQ(dynamic_cast<CBulletArray*>(text->m_bullets.get())->m_startNumber, 99);
    Choose(effects, 1222, 1);
    start->setValue(40);
    EXPECT_EQ(start->value(), 26);
    EXPECT_EQ(dynamic_cast<CBulletArray*>(text->m_bullets.get())->m_startNumber, 26);

    Click(effects, 1218); // Bullet
    EXPECT_EQ(dynamic_cast<CBulletArray*>(text->m_bullets.get())->m_style, BULLET_SYMBOL);
    auto* symbol = Find<QSpinBox>(effects, 1216);
    EXPECT_TRUE(symbol->isEnabled());
    symbol->setValue(300);
    EXPECT_EQ(dynamic_cast<CBulletArray*>(text->m_bullets.get())->m_bulletChar, 255);
    symbol->setValue(0);
    EXPECT_EQ(dynamic_cast<CBulletArray*>(text->m_bullets.get())->m_bulletChar, 33);

    Click(effects, 1220);
    EXPECT_EQ(text->m_bullets, nullptr);
    Undo();
    ASSERT_NE(Listed()->m_bullets, nullptr);
}

} // namespace

// The text pane's face lists (the font's and the bullets') show the kind of
// each face by its picture, each face once; a TrueType face chosen there
// prints the standard way, as its note says.
TEST_F(TextPaneTest, FaceListsShowEachFacesKind)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    for (int page : {0, 2}) {
        SCOPED_TRACE(page);
        auto* list = Find<CListCtrlEx>(Page(page), 1164);
        ASSERT_NE(list, nullptr);
        ASSERT_GT(list->ItemCount(), 1);
        EXPECT_EQ(list->columnCount(), 1);
        QStringList names;
        for (int row = 0; row < list->ItemCount(); ++row) {
            const QString name = list->CellText(row, 0);
            EXPECT_FALSE(list->item(row, 0)->icon().isNull()) << name.toStdString();
            const int picture = list->ItemImage(row);
            EXPECT_TRUE(picture >= 0 && picture <= 2) << name.toStdString();
            names << name;
        }
        EXPECT_EQ(names.removeDuplicates(), 0);
    }

    auto* faces = Find<CListCtrlEx>(Page(0), 1164);
    const int serif = faces->FindItemText(QStringLiteral("Liberation Serif"));
    ASSERT_GE(serif, 0);
    EXPECT_EQ(faces->ItemImage(serif), 0) << "TrueType outlines";
    ClickFace(Page(0), QStringLiteral("Liberation Serif"));
    ASSERT_EQ(text->m_font.GetFaceName(), QStringLiteral("Liberation Serif"));
    EXPECT_FALSE(text->m_nativePrint) << "a TrueType face prints the standard way";
    EXPECT_TRUE(Find<QRadioButton>(Page(0), 1287)->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(Page(0), 1287)->isEnabled());
    EXPECT_EQ(Find<QLabel>(Page(0), 1165)->text().left(22),
              QStringLiteral("This is a TrueType fon"));
}

// Each length rule chosen in the text pane stores the length the pane
// shows, and the pane opened again shows what the element holds.
TEST_F(TextPaneTest, LengthRulesStoreTheLengthShown)
{
    ASSERT_TRUE(Start());
    CText* text = PlaceText(300, 400);
    ASSERT_NE(text, nullptr);
    TypeText(QStringLiteral("ABCDE"));
    Choose(Page(0), 1000, Find<QComboBox>(Page(0), 1000)->findData(SOURCE_KEYBOARD));
    ASSERT_EQ(text->m_dataSource, SOURCE_KEYBOARD);
    struct Case
    {
        int rule;
        const char* typed; // the length typed after choosing the rule, if any
        int stored;
    };
    const Case cases[] = {{1, nullptr, 5}, {2, nullptr, 5}, {3, nullptr, 5},
                          {1, "8", 8},     {2, "3", 3},     {3, "12", 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        QWidget* format = Page(1);
        Choose(format, 1277, 0);
        Choose(format, 1277, c.rule);
        if (c.typed)
            Type(format, 1278, QString::fromLatin1(c.typed));
        EXPECT_EQ(text->m_lengthConstraint, c.rule);
        EXPECT_EQ(Find<QLineEdit>(format, 1278)->text(), QString::number(c.stored));
        EXPECT_EQ(text->m_lengthLimit, c.stored);

        frame->SwitchElementView(nullptr);
        ASSERT_TRUE(frame->SwitchElementView(text));
        format = Page(1);
        EXPECT_EQ(Find<QComboBox>(format, 1277)->currentIndex(), c.rule);
        EXPECT_EQ(Find<QLineEdit>(format, 1278)->text(), QString::number(c.stored));
    }
    // Fixed at 3, cut on the right and padded on the left with "*": the
    // data the text shows follows the rule.
    QWidget* format = Page(1);
    Choose(format, 1277, 1);
    Type(format, 1278, QStringLiteral("3"));
    Choose(format, 1279, 2);
    EXPECT_EQ(text->m_lengthLimit, 3);
    EXPECT_EQ(text->m_truncation, 2);
    EXPECT_EQ(text->GetText(), QStringLiteral("ABC"));
    EXPECT_EQ(messages.Count(), 0) << messages.LastText().toStdString();
}
