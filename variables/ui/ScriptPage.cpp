#include "ScriptPage.h"

#include "MacroScript.h"
#include "MessageBox.h"
#include "ScriptEngine.h"
#include "ScriptStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

struct CScriptPage1::Item
{
    const char* list;
    const char* inserted; // null: the list text
    const char* description;
};

namespace {

using Item = CScriptPage1::Item;

struct Group
{
    const char* name;
    std::vector<Item> items;
};

struct Category
{
    const char* name;
    std::vector<Group> groups;
};

// The placeholders of inserted texts are marked « and ».
const std::vector<Category>& Catalogue()
{
    static const std::vector<Category> catalogue = {
        {"Operators",
         {{"arithmetic",
           {{"+", nullptr, "addition"},
            {"-", nullptr, "subtraction"},
            {"/", nullptr, "division"},
            {"*", nullptr, "multiplication"},
            {"MOD", nullptr, "modulo remainder"}}},
          {"string", {{"+", nullptr, "concatenate strings"}}},
          {"logical", {{"AND", nullptr, "logical AND"}, {"OR", nullptr, "logical OR"}}},
          {"conditional",
           {{"<", nullptr, "less than"},
            {"<=", nullptr, "less than or equal"},
            {">", nullptr, "greater than"},
            {">=", nullptr, "greater than or equal"},
            {"=", nullptr, "equal"},
            {"<>", nullptr, "not equal"}}}}},
        {"Functions",
         {{"integer",
           {{"ASC", "ASC(«string»)", "ASCII value of first character in «string»"},
            {"LEN", "LEN(«string»)", "number of characters in «string»"},
            {"VAL", "VAL(«string»)", "numerical equivalent of «string» as an integer value"},
            {"INT", "INT(«float»)", "integer value of «float»"},
            {"INSTR", "INSTR(«string1»,«string2»)",
             "search for «string2» in «string1» - returns -1 if cannot find «string2» in "
             "«string1», otherwise returns the character position of «string2» in «string1»"},
            {"INSTR", "INSTR(«string1»,«string2»,«integer»)",
             "search for «string2» in «string1» starting at position «integer» - returns -1 if "
             "cannot find «string2» in «string1», otherwise returns the character position of "
             "«string2» in «string1»"}}},
          {"floating point",
           {{"FVAL", "FVAL(«string»)",
             "numerical equivalent of «string» as a floating point value"},
            {"FLOAT", "FLOAT(«integer»)", "floating point value of «integer»"}}},
          {"string",
           {{"CHR$", "CHR$(«integer»)", "character corresponding to ASCII value of «integer»"},
            {"STR$", "STR$(«integer»)", "convert «integer» to string representation"},
            {"LEFT$", "LEFT$(«string»,«integer»)",
             "returns «integer» characters from left end of «string»"},
            {"RIGHT$", "RIGHT$(«string»,«integer»)",
             "returns «integer» characters from right end of «string»"},
            {"MID$", "MID$(«string»,«integer1»,«integer2»)",
             "returns «integer2» characters from «string» starting at position «integer1»"},
            {"MID$", "MID$(«string»,«integer»)",
             "returns all remaining characters from «string» starting from position «integer»"},
            {"UCASE$", "UCASE$(«string»)", "convert «string» to uppercase"},
            {"LCASE$", "LCASE$(«string»)", "convert «string» to lowercase"},
            {"LTRIM$", "LTRIM$(«string»)", "trim leading spaces from «string»"},
            {"RTRIM$", "RTRIM$(«string»)", "trim trailing spaces from «string»"},
            {"TRIM$", "TRIM$(«string»)", "trim leading and trailing spaces from «string»"}}},
          {"date & time",
           {{"TIME$", "TIME$(«string»)",
             "returns the current time according to the format specification «string»"},
            {"DATE$", "DATE$(«string»)",
             "returns the current date according to the format specification «string»"}}},
          {"checksum",
           {{"CSUM$", "CSUM$(«integer»,«string»)",
             "returns the check characters for the data in «string» according to the algorithm "
             "selected by «integer» - see the on-line help for available algorithms"}}}}},
        {"Expressions",
         {{"conditional",
           {{"IF...THEN", "IF «expression» THEN «statement»", "single line conditional statement"},
            {"IF...THEN...ENDIF", "IF «expression» THEN «statement_list» ENDIF",
             "compound conditional statement"},
            {"IF...THEN...ELSE...ENDIF",
             "IF «expression» THEN «statement_list» ELSE «statement_list» ENDIF",
             "compound conditional statement with ELSE clause"}}},
          {"loop",
           {{"FOR...TO...NEXT",
             "FOR «integer_variable=expression» TO «expression» «statement_list» NEXT "
             "«integer_variable»",
             "repeat «statement_list» for each value of «integer_variable»"}}},
          {"branch",
           {{"GOTO", "GOTO «label:»",
             "jump to statement following label (note - labels are denoted by a ':' suffix)"}}}}},
    };
    return catalogue;
}

const char* const kVariableGroups[] = {"integer", "floating point", "string"};
const char* const kVariableSuffixes[] = {"", "#", "$"};

constexpr char16_t kOpen = u'\u00ab';
constexpr char16_t kClose = u'\u00bb';

// Begins with a letter and goes on with letters, digits or "_".
bool IsScriptName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        const bool digit = c >= u'0' && c <= u'9';
        if (!(letter || (i > 0 && (digit || c == u'_'))))
            return false;
    }
    return true;
}

QPushButton* Button(const QString& text, int id, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("id%1").arg(id));
    return button;
}

} // namespace

int FillScriptCombo(const CScriptStore& store, QComboBox* combo, const QString& select)
{
    combo->clear();
    if (store.GetCount() == 0)
        return 0;
    for (const auto& pair : store.Scripts().Pairs())
        combo->addItem(pair.first);
    int index = 0;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(select, Qt::CaseInsensitive)) {
            index = i;
            break;
        }
    }
    combo->setCurrentIndex(index);
    return store.GetCount();
}

CScriptPage1::CScriptPage1(CMacroScript& variable, const QStringList& linkedElements,
                           QWidget* parent)
    : QWidget(parent), m_variable(variable), m_linked(linkedElements)
{
    setObjectName(QStringLiteral("id%1").arg(kDialogId));
    setWindowTitle(tr("Script"));
    m_name = new QComboBox(this);
    m_name->setObjectName(QStringLiteral("id1366"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_save = Button(tr("&Save"), 1362, this);
    const auto list = [this](int id) {
        auto* l = new QListWidget(this);
        l->setObjectName(QStringLiteral("id%1").arg(id));
        return l;
    };
    m_groups = list(1490);
    m_subGroups = list(1491);
    m_items = list(1492);
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("id1072"));
    m_description->setWordWrap(true);
    m_insert = Button(tr("Insert"), 1493, this);
    m_test = Button(tr("Test"), 1494, this);
    m_undo = Button(tr("Undo"), 1495, this);
    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("id1104"));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(tr("S&cript :"), this);
    nameLabel->setBuddy(m_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(m_save);
    auto* language = new QGroupBox(tr("Language"), this);
    auto* grid = new QGridLayout(language);
    grid->addWidget(new QLabel(tr("Group"), language), 0, 0);
    grid->addWidget(new QLabel(tr("Sub-Group"), language), 0, 1);
    grid->addWidget(new QLabel(tr("Item"), language), 0, 2);
    grid->addWidget(m_groups, 1, 0);
    grid->addWidget(m_subGroups, 1, 1);
    grid->addWidget(m_items, 1, 2);
    grid->addWidget(m_description, 2, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_insert);
    buttons->addWidget(m_test);
    buttons->addWidget(m_undo);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(language);
    layout->addLayout(buttons);
    layout->addWidget(m_editor, 1);

    for (const Category& category : Catalogue())
        m_groups->addItem(QString::fromUtf8(category.name));
    if (!m_linked.isEmpty())
        m_groups->addItem(tr("Variables"));
    m_groups->setCurrentRow(0);
    OnGroupChanged();

    FillScriptCombo(TheScriptStore(), m_name, variable.m_scriptName);
    if (!variable.m_scriptName.isEmpty()) {
        m_newScript = false;
        m_name->setCurrentText(variable.m_scriptName);
        m_name->setEnabled(false);
        m_editor->setPlainText(GetScriptText(variable.m_scriptName));
        m_saved = true;
    } else {
        m_name->setCurrentIndex(-1);
        m_name->setEditText(QString());
    }
    m_save->setEnabled(false);
    m_undo->setEnabled(false);
    m_test->setEnabled(false);
    m_insert->setEnabled(false);

    connect(m_groups, &QListWidget::currentRowChanged, this, &CScriptPage1::OnGroupChanged);
    connect(m_subGroups, &QListWidget::currentRowChanged, this, &CScriptPage1::OnSubGroupChanged);
    connect(m_items, &QListWidget::currentRowChanged, this, &CScriptPage1::OnItemChanged);
    connect(m_items, &QListWidget::itemDoubleClicked, this, &CScriptPage1::OnInsert);
    connect(m_insert, &QPushButton::clicked, this, &CScriptPage1::OnInsert);
    connect(m_test, &QPushButton::clicked, this, &CScriptPage1::OnTest);
    connect(m_save, &QPushButton::clicked, this, &CScriptPage1::Save);
    connect(m_undo, &QPushButton::clicked, this, [this] {
        m_editor->undo();
        m_editor->setFocus();
    });
    connect(m_editor, &QPlainTextEdit::textChanged, this, &CScriptPage1::OnTextChanged);
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this,
            &CScriptPage1::OnSelectionChanged);
    connect(m_editor, &QPlainTextEdit::selectionChanged, this, &CScriptPage1::OnSelectionChanged);
    connect(m_name, &QComboBox::editTextChanged, this, &CScriptPage1::OnNameEdited);
    connect(m_name, &QComboBox::activated, this, &CScriptPage1::OnNameChosen);
    // The box also reports a choice when typing ends (Return, or the focus
    // leaving) on a text that matches a stored name. Typing names the new
    // script; only a name chosen from the list loads its text, so a typed
    // name never replaces what the user has written.
    QObject::disconnect(m_name->lineEdit(), SIGNAL(editingFinished()), m_name, nullptr);
}

void CScriptPage1::OnGroupChanged()
{
    m_subGroups->clear();
    m_items->clear();
    m_description->clear();
    m_insert->setEnabled(false);
    const int group = m_groups->currentRow();
    const auto& catalogue = Catalogue();
    if (group >= 0 && std::size_t(group) < catalogue.size()) {
        for (const Group& g : catalogue[std::size_t(group)].groups)
            m_subGroups->addItem(QString::fromUtf8(g.name));
    } else if (group >= 0) {
        for (const char* name : kVariableGroups)
            m_subGroups->addItem(QString::fromUtf8(name));
    }
}

void CScriptPage1::OnSubGroupChanged()
{
    m_items->clear();
    m_description->clear();
    m_insert->setEnabled(false);
    const int group = m_groups->currentRow();
    const int sub = m_subGroups->currentRow();
    if (group < 0 || sub < 0)
        return;
    const auto& catalogue = Catalogue();
    if (std::size_t(group) < catalogue.size()) {
        const auto& groups = catalogue[std::size_t(group)].groups;
        if (std::size_t(sub) < groups.size()) {
            for (const Item& item : groups[std::size_t(sub)].items)
                m_items->addItem(QString::fromUtf8(item.list));
        }
    } else if (sub < 3) {
        for (const QString& name : m_linked)
            m_items->addItem(name + QString::fromUtf8(kVariableSuffixes[sub]));
    }
}

const CScriptPage1::Item* CScriptPage1::CurrentCatalogueItem() const
{
    const int group = m_groups->currentRow();
    const int sub = m_subGroups->currentRow();
    const int row = m_items->currentRow();
    const auto& catalogue = Catalogue();
    if (group < 0 || sub < 0 || row < 0 || std::size_t(group) >= catalogue.size())
        return nullptr;
    const auto& groups = catalogue[std::size_t(group)].groups;
    if (std::size_t(sub) >= groups.size() ||
        std::size_t(row) >= groups[std::size_t(sub)].items.size())
        return nullptr;
    return &groups[std::size_t(sub)].items[std::size_t(row)];
}

void CScriptPage1::OnItemChanged()
{
    m_insert->setEnabled(m_items->currentRow() >= 0);
    if (const Item* item = CurrentCatalogueItem()) {
        m_description->setText(QString::fromUtf8(item->inserted ? item->inserted : item->list) +
                               QStringLiteral("  :  ") + QString::fromUtf8(item->description));
    } else {
        // A variable of the sign: its name says it all.
        m_description->setText(m_items->currentItem() ? m_items->currentItem()->text() : QString());
    }
}

void CScriptPage1::OnInsert()
{
    if (m_items->currentRow() < 0)
        return;
    QString text;
    if (const Item* item = CurrentCatalogueItem())
        text = QString::fromUtf8(item->inserted ? item->inserted : item->list);
    else
        text = m_items->currentItem()->text();
    // One undoable step.
    m_editor->textCursor().insertText(text);
    m_editor->setFocus();
}

void CScriptPage1::OnTest()
{
    CScriptEngine engine;
    if (engine.Compile(m_editor->toPlainText())) {
        AppMessageBox(tr("Macro script OK"), MB_OK | MB_ICONINFORMATION);
    } else {
        AppMessageBox(engine.GetErrorText(), MB_OK | MB_ICONEXCLAMATION);
        m_editor->setFocus();
    }
}

void CScriptPage1::UpdateSave()
{
    m_save->setEnabled(!m_name->currentText().isEmpty() && !m_editor->toPlainText().isEmpty());
}

void CScriptPage1::OnTextChanged()
{
    UpdateSave();
    m_saved = false;
    m_undo->setEnabled(m_editor->document()->isUndoAvailable());
    m_test->setEnabled(true);
}

void CScriptPage1::OnNameEdited()
{
    UpdateSave();
}

void CScriptPage1::OnNameChosen(int index)
{
    if (index < 0)
        return;
    const QString name = m_name->itemText(index);
    const QSignalBlocker block(m_editor);
    m_editor->setPlainText(GetScriptText(name));
    m_saved = !m_newScript;
    m_test->setEnabled(false);
    m_undo->setEnabled(false);
    UpdateSave();
}

void CScriptPage1::OnSelectionChanged()
{
    // Touching a placeholder takes all of it, from « to », so that typing
    // replaces it.
    if (m_widening)
        return;
    const QString text = m_editor->toPlainText();
    QTextCursor cursor = m_editor->textCursor();
    qsizetype start = cursor.selectionStart();
    qsizetype end = cursor.selectionEnd();
    const qsizetype n = text.size();
    qsizetype newStart = -1;
    if (start < n && text[start] == kOpen) {
        newStart = start;
    } else {
        for (qsizetype i = start - 1; i >= 0; --i) {
            if (text[i] == kClose)
                break;
            if (text[i] == kOpen) {
                newStart = i;
                break;
            }
        }
    }
    qsizetype newEnd = -1;
    if (end > 0 && end <= n && text[end - 1] == kClose && end - 1 >= start) {
        newEnd = end;
    } else {
        for (qsizetype i = end; i < n; ++i) {
            if (text[i] == kOpen && i != newStart)
                break;
            if (text[i] == kClose) {
                newEnd = i + 1;
                break;
            }
        }
    }
    if (newStart < 0 || newEnd < 0 || newEnd <= newStart)
        return;
    if (newStart == start && newEnd == end)
        return;
    m_widening = true;
    cursor.setPosition(int(newStart));
    cursor.setPosition(int(newEnd), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_widening = false;
}

bool CScriptPage1::Save()
{
    const QString text = m_editor->toPlainText();
    CScriptEngine engine;
    if (!engine.Compile(text)) {
        AppMessageBox(engine.GetErrorText(), MB_OK | MB_ICONEXCLAMATION);
        m_editor->setFocus();
        return false;
    }
    const QString name = m_name->currentText().trimmed();
    if (!IsScriptName(name)) {
        AppMessageBox(tr("Invalid script name.\nAlphanumeric plus underscore only."),
                      MB_OK | MB_ICONEXCLAMATION);
        m_name->setFocus();
        return false;
    }
    if (m_newScript && TheScriptStore().Contains(name)) {
        AppMessageBox(tr("A macro script with this name already exists."),
                      MB_OK | MB_ICONEXCLAMATION);
        m_name->setFocus();
        return false;
    }
    TheScriptStore().SetScriptText(name, text);
    m_saved = true;
    m_save->setEnabled(false);
    // From now on the page edits the script it made, which keeps its name.
    m_newScript = false;
    m_name->setEnabled(false);
    m_variable.m_scriptName = name;
    m_variable.CompileFromStore();
    return true;
}

bool CScriptPage1::CanLeave()
{
    if (m_saved)
        return true;
    if (AppMessageBox(tr("Save changes to script ?"), MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return false;
    return Save();
}
