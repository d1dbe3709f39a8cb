// Edit > Spelling in the designer, driven through the main frame's command
// with the real American English dictionary: the unknown-word dialog's
// steps, the selection checked first, Cancel, and a machine without a
// dictionary; in the print station, the Spelling button over the typed
// texts and the check that printing makes first, and its print key.
#include "MainFrame.h"

#include "AppContext.h"
#include "DataCtrl.h"
#include "DataView.h"
#include "DesignView.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Preferences.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "Printer.h"
#include "SignApp.h"
#include "SpellDlg.h"
#include "SpellOCX.h"
#include "TestSupport.h"
#include "Text.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr int kIgnore = 1239;
constexpr int kIgnoreAll = 1240;
constexpr int kChange = 1241;
constexpr int kChangeAll = 1242;
constexpr int kAdd = 1243;
constexpr int kCancel = 2;

// One answer in the unknown-word dialog: the word it must show, the text
// typed into "Change To" (null: left as offered) and the button pressed.
struct CSpellAnswer
{
    QString word;
    QString changeTo;
    int button;
};

// Answers every unknown-word dialog that shows, step by step, as a user
// would: checks the word shown, types the replacement, clicks the button.
// A dialog beyond the answers given is cancelled and noted.
class CSpellDialogDriver
{
public:
    explicit CSpellDialogDriver(std::vector<CSpellAnswer> answers) : m_answers(std::move(answers))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Step(); });
        m_timer.start(5);
    }

    QStringList wordsShown;
    QStringList firstSuggestions; // the "Change To" text offered with each word
    int unexpected = 0;

    bool Done() const { return m_next == m_answers.size(); }

private:
    void Step()
    {
        auto* dialog = qobject_cast<CSpellDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        wordsShown << dialog->NotFound()->text();
        firstSuggestions << dialog->ChangeTo()->text();
        if (m_next >= m_answers.size()) {
            ++unexpected;
            QTest::mouseClick(Button(dialog, kCancel), Qt::LeftButton);
            return;
        }
        const CSpellAnswer& answer = m_answers[m_next++];
        EXPECT_EQ(dialog->NotFound()->text(), answer.word);
        if (!answer.changeTo.isNull()) {
            QLineEdit* field = dialog->ChangeTo();
            field->setFocus();
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Delete);
            QTest::keyClicks(field, answer.changeTo);
        }
        QTest::mouseClick(Button(dialog, answer.button), Qt::LeftButton);
    }
    static QPushButton* Button(QWidget* dialog, int id)
    {
        auto* button = dialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
        EXPECT_NE(button, nullptr) << id;
        return button;
    }

    std::vector<CSpellAnswer> m_answers;
    size_t m_next = 0;
    QTimer m_timer;
};

class SpellingTest : public ::testing::Test
{
protected:
    SpellingTest()
    {
        EnsureWidgetApp();
        app.frameTemplate = CSignApp::DesignerFrameTemplate();
        if (app.InitInstance({"tabrel"}))
            frame = qobject_cast<CMainFrame*>(app.GetMainWindow());
        if (frame) {
            frame->show();
            view = qobject_cast<CDesignView*>(frame->Canvas());
        }
    }
    ~SpellingTest() override
    {
        if (frame)
            frame->Document().SetModifiedFlag(false);
        app.ExitInstance();
    }

    CText* AddText(const QString& sample, int y)
    {
        auto* text = static_cast<CText*>(TheElementList().CreateElement("CText"));
        text->m_position = CPoint(100, y);
        text->m_formatRect = CRect(100, y, 100, y);
        text->SetSampleData(nullptr, sample);
        return text;
    }

    void RunSpelling()
    {
        frame->UpdateActionsNow();
        QAction* spelling = frame->Action(ID_SPELLING);
        ASSERT_TRUE(spelling->isEnabled());
        EXPECT_EQ(spelling->shortcut(), QKeySequence(Qt::Key_F7));
        spelling->trigger();
    }

    // A text typed at print time, in the print station that Print opens.
    CText* EnterDataEntry(bool forceCheck)
    {
        CText* text = AddText("Price", 100);
        text->m_name = QStringLiteral("Product");
        text->SetDataSource(SOURCE_KEYBOARD, QString());
        text->m_forceSpellCheck = forceCheck ? TRUE : FALSE;
        frame->UpdateActionsNow();
        frame->Action(ID_FILE_PRINT)->trigger();
        return frame->IsDataEntryMode() ? text : nullptr;
    }
    CDataView* Data() const { return qobject_cast<CDataView*>(frame->DataView()); }
    // The text's row: a multi-line edit.
    QPlainTextEdit* Row() const
    {
        return Data() ? Data()->Panel()->findChild<QPlainTextEdit*>(QStringLiteral("id2000"))
                      : nullptr;
    }
    QString RowText() const { return Row() ? Row()->toPlainText() : QString(); }
    void TypeIntoRow(const QString& typed)
    {
        QPlainTextEdit* row = Row();
        ASSERT_NE(row, nullptr);
        row->setFocus();
        row->selectAll();
        QTest::keyClick(row, Qt::Key_Delete);
        QTest::keyClicks(row, typed);
        Data()->Panel()->FlushPending();
    }
    // The print bar prints to a PDF file.
    CPrintBatchDlg* PrintBarToFile(const QString& pdf)
    {
        CPrintBatchDlg* batch = CPrintCommands::Of(frame)->BatchDialog();
        if (!batch)
            return nullptr;
        FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
        auto* destination = batch->findChild<QComboBox*>(
            QStringLiteral("id%1").arg(CPrintBatchDlg::IDC_DESTINATION));
        destination->setFocus();
        QTest::keyClick(destination, Qt::Key_Down);
        FrameHooks().chooseFile = nullptr;
        return batch->Destination() == 1 ? batch : nullptr;
    }
    static void ClickPrint(CPrintBatchDlg* batch)
    {
        batch->findChild<QPushButton*>(QStringLiteral("id%1").arg(CPrintBatchDlg::IDC_PRINT))
            ->click();
    }

    QStringList MessageTexts() const
    {
        QStringList texts;
        for (const auto& m : messages.Messages())
            texts << m.text;
        return texts;
    }

    CTestHome home;
    CMessageResponder messages;
    CAppContext context;
    CSignApp app;
    CMainFrame* frame = nullptr;
    CDesignView* view = nullptr;
};

const QString kComplete = QStringLiteral("The spelling check is complete");

} // namespace

TEST_F(SpellingTest, WholeSignWithChangeChangeAllAndAdd)
{
    ASSERT_NE(frame, nullptr);
    CText* first = AddText("Teh cat saw teh Zorblax", 100);
    CText* second = AddText("teh <b>dog</b> barked", 300);
    CText* clean = AddText("Nothing wrong here", 500);
    frame->Document().SetModifiedFlag(false);

    {
        CSpellDialogDriver driver({
            {"Teh", "The", kChange},
            {"teh", "the", kChangeAll},
            {"Zorblax", QString(), kAdd},
        });
        RunSpelling();
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(driver.unexpected, 0) << driver.wordsShown.join(",").toStdString();
        // The first suggestion stands ready in "Change To".
        EXPECT_FALSE(driver.firstSuggestions.value(0).isEmpty());
    }

    EXPECT_EQ(first->GetSampleData(), "The cat saw the Zorblax");
    EXPECT_EQ(first->GetText(), "The cat saw the Zorblax");
    // Change All reached the next text without asking; its mark-up stayed.
    EXPECT_EQ(second->GetSampleData(), "the <b>dog</b> barked");
    EXPECT_EQ(clean->GetSampleData(), "Nothing wrong here");
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_EQ(MessageTexts(), QStringList{kComplete});

    // The added word is in the user's list beside the program, and known
    // to a checker that starts afresh.
    QFile list(CSignApp::GetProgramFileName(".dic"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), "Zorblax\n");
    {
        CAppContext restarted;
        CSpellOCX& checker = CSpellOCX::Current();
        ASSERT_TRUE(checker.Create(CSpellSettings{}));
        EXPECT_TRUE(checker.Speller().IsKnown("Zorblax"));
    }

    // Change All holds for the rest of the sign: a later check mends
    // without asking.
    messages.Clear();
    CText* later = AddText("teh end", 700);
    frame->Document().SetModifiedFlag(false);
    {
        CSpellDialogDriver none({});
        RunSpelling();
        EXPECT_TRUE(none.wordsShown.isEmpty());
    }
    EXPECT_EQ(later->GetSampleData(), "the end");
    EXPECT_TRUE(frame->Document().IsModified());

    // A new sign starts afresh; an ignored word leaves the text and the
    // sign as they were.
    frame->NewSign();
    messages.Clear();
    CText* fresh = AddText("teh end", 100);
    frame->Document().SetModifiedFlag(false);
    CSpellDialogDriver ignoring({{"teh", QString(), kIgnore}});
    RunSpelling();
    EXPECT_TRUE(ignoring.Done());
    EXPECT_EQ(fresh->GetSampleData(), "teh end");
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_EQ(MessageTexts(), QStringList{kComplete});
}

TEST_F(SpellingTest, SelectionFirstThenTheRestWhenAsked)
{
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(view, nullptr);
    CText* other = AddText("Qzxvq before", 100);
    CText* chosen = AddText("Plenty of qwibble", 300);
    view->Selection().AddElement(chosen);

    struct Case
    {
        int answer; // to "continue with the rest?"
        QStringList words;
    };
    const Case cases[] = {
        {IDNO, {"qwibble"}},
        {IDYES, {"qwibble", "Qzxvq"}},
    };
    for (const Case& c : cases) {
        messages.Clear();
        messages.QueueAnswer(c.answer);
        std::vector<CSpellAnswer> answers;
        for (const QString& word : c.words)
            answers.push_back({word, QString(), kIgnore});
        CSpellDialogDriver driver(answers);
        RunSpelling();
        EXPECT_EQ(driver.wordsShown, c.words);
        EXPECT_EQ(MessageTexts(),
                  (QStringList{LoadStringId(IDS_CONTINUE_SPELLING_CHECK), kComplete}));
    }
    EXPECT_EQ(other->GetSampleData(), "Qzxvq before");
    EXPECT_EQ(chosen->GetSampleData(), "Plenty of qwibble");
}

TEST_F(SpellingTest, CancelStopsTheCheckAndChangesNothing)
{
    ASSERT_NE(frame, nullptr);
    CText* first = AddText("Teh first", 100);
    CText* second = AddText("Qzxvq second", 300);
    frame->Document().SetModifiedFlag(false);

    CSpellDialogDriver driver({{"Teh", "The", kCancel}});
    RunSpelling();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(driver.wordsShown, QStringList{"Teh"}) << "the second text is not checked";
    EXPECT_EQ(first->GetSampleData(), "Teh first");
    EXPECT_EQ(second->GetSampleData(), "Qzxvq second");
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_TRUE(messages.Messages().empty()) << MessageTexts().join("|").toStdString();
}

TEST_F(SpellingTest, WithoutADictionarySpellingSaysItIsUnavailable)
{
    ASSERT_NE(frame, nullptr);
    // No dictionary in the program folder nor in the folders hunspell is
    // told to search.
    QTemporaryDir empty;
    const QByteArray oldDicPath = qgetenv("DICPATH");
    const bool hadDicPath = qEnvironmentVariableIsSet("DICPATH");
    qputenv("DICPATH", empty.path().toLocal8Bit());
    CText* text = AddText("Teh words", 100);
    frame->Document().SetModifiedFlag(false);

    CSpellDialogDriver driver({});
    RunSpelling();
    if (hadDicPath)
        qputenv("DICPATH", oldDicPath);
    else
        qunsetenv("DICPATH");

    EXPECT_TRUE(driver.wordsShown.isEmpty());
    const QStringList texts = MessageTexts();
    ASSERT_EQ(texts.size(), 1) << texts.join("|").toStdString();
    EXPECT_TRUE(texts.front().contains("unavailable")) << texts.front().toStdString();
    EXPECT_FALSE(texts.contains(kComplete));
    EXPECT_EQ(text->GetSampleData(), "Teh words");
    EXPECT_FALSE(frame->Document().IsModified());
}

TEST_F(SpellingTest, DictionaryChosenInThePreferencesChecksTheNextRun)
{
    ASSERT_NE(frame, nullptr);
    QTemporaryDir folder;
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(folder.filePath("mine.aff"), "SET UTF-8\n");
    write(folder.filePath("mine.dic"), "2\nteh\nwords\n");
    CText* text = AddText("teh words", 100);

    CSpellPreferences& prefs = CSpellPreferences::Current();
    const QString standard = prefs.dictionary;
    struct Case
    {
        QString dictionary;
        QStringList words;
    };
    const Case cases[] = {
        {standard, {"teh"}},
        {folder.filePath("mine.dic"), {}},
        {standard, {"teh"}},
    };
    for (const Case& c : cases) {
        prefs.dictionary = c.dictionary;
        messages.Clear();
        std::vector<CSpellAnswer> answers;
        for (const QString& word : c.words)
            answers.push_back({word, QString(), kIgnore});
        CSpellDialogDriver driver(answers);
        RunSpelling();
        EXPECT_EQ(driver.wordsShown, c.words) << c.dictionary.toStdString();
        EXPECT_EQ(MessageTexts(), QStringList{kComplete});
    }
    EXPECT_EQ(text->GetSampleData(), "teh words");
}

TEST_F(SpellingTest, UnreadableUserDictionaryIsToldAndLeftAlone)
{
    ASSERT_NE(frame, nullptr);
    // Something that is no word list stands where the user's list belongs.
    const QString path = CSignApp::GetProgramFileName(".dic");
    ASSERT_TRUE(QDir().mkdir(path));
    CText* text = AddText("Teh Zorblax", 100);

    {
        CSpellDialogDriver driver({{"Teh", "The", kChange}, {"Zorblax", QString(), kAdd}});
        RunSpelling();
        EXPECT_TRUE(driver.Done());
    }
    const QStringList texts = MessageTexts();
    ASSERT_EQ(texts.size(), 3) << texts.join("|").toStdString();
    EXPECT_TRUE(texts[0].startsWith("Unable to read the user dictionary"))
        << texts[0].toStdString();
    EXPECT_TRUE(texts[1].startsWith("Unable to add \"Zorblax\"")) << texts[1].toStdString();
    EXPECT_EQ(texts[2], kComplete);
    EXPECT_EQ(text->GetSampleData(), "The Zorblax");
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// In the print station the tool bar's Spelling checks the typed texts, not
// the sign's fixed ones, and writes the corrections into the rows.
TEST_F(SpellingTest, PrintStationSpellingChecksTheTypedTexts)
{
    ASSERT_NE(frame, nullptr);
    CText* fixed = AddText("Qzxvq fixed", 400);
    CText* typed = EnterDataEntry(false);
    ASSERT_NE(typed, nullptr);
    TypeIntoRow("Teh shop");

    {
        CSpellDialogDriver driver({{"Teh", "The", kChange}});
        RunSpelling();
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(driver.wordsShown, QStringList{"Teh"}) << "only the typed text is checked";
    }
    EXPECT_EQ(RowText(), "The shop");
    EXPECT_EQ(typed->GetText(), "The shop");
    EXPECT_EQ(fixed->GetSampleData(), "Qzxvq fixed");
    EXPECT_EQ(MessageTexts(), QStringList{kComplete});
    frame->ExecuteCommand(ID_DATA_CANCEL);
    EXPECT_FALSE(frame->IsDataEntryMode());
}

// A typed text whose element asks for a check is checked when the print bar
// prints, before anything reaches the page: Cancel prints nothing, a
// correction is printed. A text that asks for none prints without a check.
TEST_F(SpellingTest, PrintingChecksTheTypedTextsThatAskForIt)
{
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(EnterDataEntry(true), nullptr);
    TypeIntoRow("Teh shop");
    const QString pdf = home.FilePath("station.pdf");
    CPrintBatchDlg* batch = PrintBarToFile(pdf);
    ASSERT_NE(batch, nullptr);

    {
        CSpellDialogDriver driver({{"Teh", QString(), kCancel}});
        ClickPrint(batch);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(driver.wordsShown, QStringList{"Teh"});
    }
    EXPECT_EQ(ThePrinter().m_labelPosition, 0);
    EXPECT_FALSE(ThePrinter().m_jobOpen);
    EXPECT_EQ(RowText(), "Teh shop");

    {
        CSpellDialogDriver driver({{"Teh", "The", kChange}});
        ClickPrint(batch);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    EXPECT_EQ(RowText(), "The shop");
    EXPECT_FALSE(MessageTexts().contains(kComplete)) << "printing tells no completed check";
    frame->ExecuteCommand(ID_DATA_CANCEL);
    EXPECT_FALSE(frame->IsDataEntryMode());
}

TEST_F(SpellingTest, PrintingATextThatAsksForNoCheckOpensNoDictionary)
{
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(EnterDataEntry(false), nullptr);
    TypeIntoRow("Teh shop");
    CPrintBatchDlg* batch = PrintBarToFile(home.FilePath("plain.pdf"));
    ASSERT_NE(batch, nullptr);
    CSpellDialogDriver driver({});
    ClickPrint(batch);
    EXPECT_TRUE(driver.wordsShown.isEmpty());
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    EXPECT_FALSE(CSpellOCX::Current().IsCreated());
    frame->ExecuteCommand(ID_DATA_CANCEL);
}

// Ctrl+P prints from the data-entry rows and from the print bar, once per
// press, as the bar's Print button does.
TEST_F(SpellingTest, CtrlPInTheRowsOrThePrintBarPrints)
{
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(EnterDataEntry(false), nullptr);
    TypeIntoRow("Plums");
    CPrintBatchDlg* batch = PrintBarToFile(home.FilePath("keys.pdf"));
    ASSERT_NE(batch, nullptr);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

    Row()->setFocus();
    QTest::keyClick(Row(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(ThePrinter().m_labelPosition, 1);
    EXPECT_EQ(RowText(), "Plums") << "the key types nothing into the row";

    auto* copies =
        batch->findChild<QWidget*>(QStringLiteral("id%1").arg(CPrintBatchDlg::IDC_COPIES));
    ASSERT_NE(copies, nullptr);
    // The printing window that came and went hands the activation back.
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    copies->setFocus();
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(ThePrinter().m_labelPosition, 2);
    EXPECT_TRUE(messages.Messages().empty()) << MessageTexts().join("|").toStdString();
    frame->ExecuteCommand(ID_DATA_CANCEL);
    frame->ExecuteCommand(ID_DATA_CANCEL);
    EXPECT_FALSE(frame->IsDataEntryMode());
}
