// Data-source kinds and the variable base class. An element, or an input of
// a variable, takes its content from a source named by a kind and, for most
// kinds, a source name; kinds 3 to 9 name a variable of the sign, whose type
// code is the kind plus 8.
#pragma once

#include "Archive.h"
#include "Element.h"
#include "Object.h"
#include "Types.h"

#include <QString>
#include <QStringList>
#include <vector>

class CTextExportFile;
class QWidget;

// Type codes of the variable kinds.
enum VariableType : int
{
    VARIABLE_NONE = -1,
    VARIABLE_OPTION_LIST = 11,
    VARIABLE_INCREMENTING = 12,
    VARIABLE_DATE_TIME = 13,
    VARIABLE_PRICE_CALC = 14,
    VARIABLE_MACRO = 15,
    VARIABLE_GS1 = 16,
    VARIABLE_COMBINATION = 17,
};

constexpr int kFirstVariableType = VARIABLE_OPTION_LIST;
constexpr int kLastVariableType = VARIABLE_COMBINATION;

// Whether the kind names a variable (3 to 9).
constexpr bool IsVariableSourceKind(int kind)
{
    return kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION;
}

// The type code of the variable that a source kind names, else -1.
constexpr int VariableTypeForSourceKind(int kind)
{
    return IsVariableSourceKind(kind) ? kind + 8 : VARIABLE_NONE;
}

// The source kind that names a variable of the type code, else -1.
constexpr int SourceKindForVariableType(int typeCode)
{
    return typeCode >= kFirstVariableType && typeCode <= kLastVariableType ? typeCode - 8 : -1;
}

// A source kind as stored by a sign of the given file version, in today's
// numbering: below 330 kinds 8 and above gain 2, from 330 to 399 kinds 9 and
// above gain 1.
constexpr int RenumberStoredSourceKind(int kind, int fileVersion)
{
    if (fileVersion < 330)
        return kind >= 8 ? kind + 2 : kind;
    if (fileVersion < 400)
        return kind >= 9 ? kind + 1 : kind;
    return kind;
}

// The text that the "Source" combo boxes show for a kind; empty for the GS1
// kind (it has no entry) and for unknown kinds.
QString DataSourceKindName(int kind);

// The kinds in the order the "Source" combo boxes list them (Combination
// before Macro Script; no GS1 entry), and their texts in that order.
const std::vector<int>& SourceComboKinds();
QStringList SourceComboTexts();

// The base of every variable kind: a named object of the sign that produces
// a value for elements and for other variables.
class CVariable : public CObject
{
    DECLARE_PERSISTENT(CVariable)

public:
    CVariable();
    CVariable(const CVariable& other) = default;
    CVariable& operator=(const CVariable& other) = default;
    ~CVariable() override;

    // The common record: name, prompt, data-entry index. Each kind's own
    // record calls this first. Steps the progress window once.
    void Serialize(CArchive& ar) override;

    // --- virtual operations, in their fixed order ---------------------------
    // 11 to 17 for the kinds; -1 here.
    virtual int GetTypeCode() const;
    // The name by which a source of this kind names the variable.
    virtual QString GetName() const;
    // Display name of the kind.
    virtual QString GetTypeName() const;
    // Progress steps that Serialize takes.
    virtual int GetItemCount() const;
    // The kind's wizard for a new variable; TRUE when the user finished it.
    virtual BOOL DoNewDialog(QWidget* parent);
    // Appends the kinds and names of the variable's own inputs; returns how
    // many it appended.
    virtual int GetDataSources(std::vector<int>& kinds, QStringList& names);
    // The kind's property sheet; TRUE when the user confirmed it.
    virtual BOOL DoEditDialog(QWidget* parent);
    // Kept in its place in the order; no kind uses it.
    virtual void Reserved();
    // A source delivered a value.
    virtual void SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                                BOOL refresh);
    virtual QString GetValue();
    // Takes start values from the sources when data entry or a print run
    // begins.
    virtual void ResetValue();
    // Before each printed sign; FALSE stops printing.
    virtual BOOL PrepareForPrint();
    // After each printed sign.
    virtual void AdvanceAfterPrint();
    // The print run has ended.
    virtual void EndPrintRun();
    // The text-export lines common to every kind; each kind's writer opens
    // its own tag, calls this, adds its own lines and closes the tag.
    virtual void WriteXml(CTextExportFile& file);
    // Whether an input is typed at data entry.
    virtual BOOL IsKeyboardSourced() const;
    // Whether an input comes from a database field, and which field.
    virtual BOOL IsDatabaseSourced() const;
    virtual QString GetSourceFieldName() const;
    // The stored or database text of the input.
    virtual QString GetStoredData(BOOL flag);
    // Turns a database-fed input back into a typed one.
    virtual void BreakDatabaseLink();
    // A print job begins; a job that is cancelled or fails prints nothing,
    // and DiscardPrintJob takes back what the variable advanced since.
    virtual void BeginPrintJob();
    virtual void DiscardPrintJob();

    // --- fields, in declaration order ---------------------------------------
    QString m_name;
    // Shown beside the variable's row when a value is typed at data entry.
    QString m_prompt;
    // The place of the variable's row in the data-entry pane.
    int m_dataEntryIndex = 0;
};
