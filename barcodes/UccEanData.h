// The GS1 data variable: an ordered list of application identifier entries,
// each with fixed text or another element's value, turned into the element
// string a GS1 symbol encodes (through a generated macro script, so the
// data follows the elements it is made of at print time) and into the line
// people read, each identifier in brackets before its data.
#pragma once

#include "MacroScript.h"

#include <functional>
#include <memory>
#include <vector>

class CUccSubString
{
public:
    // Data-source kinds an entry's data can come from.
    static constexpr int kFixed = 0;
    static constexpr int kElement = 10;

    int m_ai = 1;
    int m_sourceKind = kFixed;
    QString m_sourceName;
    QString m_prompt;
    QString m_value;
    QString m_currentValue;
    QString m_prefix;
    QString m_suffix;
    int m_decimals = 0;
    BOOL m_appendCheckDigit = FALSE;
};

// Owns its entries; a copy copies every entry.
class CUccSubStringArray
{
public:
    CUccSubStringArray() = default;
    CUccSubStringArray(const CUccSubStringArray& other) { *this = other; }
    CUccSubStringArray& operator=(const CUccSubStringArray& other);

    int GetSize() const { return static_cast<int>(m_entries.size()); }
    CUccSubString& operator[](int i) { return *m_entries[std::size_t(i)]; }
    const CUccSubString& operator[](int i) const { return *m_entries[std::size_t(i)]; }
    CUccSubString& Add(const CUccSubString& entry);
    void RemoveAt(int i);
    void RemoveAll() { m_entries.clear(); }

private:
    std::vector<std::unique_ptr<CUccSubString>> m_entries;
};

class CUccEanData : public CMacroScript
{
    DECLARE_PERSISTENT(CUccEanData)

public:
    CUccEanData();
    CUccEanData(const CUccEanData& other);
    CUccEanData& operator=(const CUccEanData& other);
    ~CUccEanData() override;

    static CVariable* Make() { return new CUccEanData; }

    // The macro script record, then the entries.
    void Serialize(CArchive& ar) override;
    int GetTypeCode() const override;
    // A GS1 symbol names the variable by its own name.
    QString GetName() const override;
    QString GetTypeName() const override;
    BOOL DoNewDialog(QWidget* parent) override;
    BOOL DoEditDialog(QWidget* parent) override;
    // The GS1 Barcode Data dialog on the entries; forcedAI 1 keeps a GTIN
    // alone (DataBar other than Expanded), -1 lets the user choose.
    BOOL DoNewDialog(QWidget* parent, int forcedAI);
    BOOL DoEditDialog(QWidget* parent, int forcedAI);
    // Every entry fed by that element takes the value; then the script's
    // input of that name.
    void SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                        BOOL refresh) override;
    void EndPrintRun() override;

    // The script whose result is the barcode data at print time.
    QString BuildScript() const;
    // The element string of the entries' values ("%1" separators, "%%" for a
    // percent sign in a value).
    QString GetBarcodeData() const;
    // Each identifier in brackets before its current value.
    QString GetHumanReadable() const;
    // Makes the script, takes a "GS1_n" name for it when the variable has
    // none yet, stores and compiles it. FALSE (nothing changed) when the
    // script does not compile.
    bool Build();
    // The first "GS1_n" from 1 up that the script store does not hold.
    static QString FreeScriptName();

    // The dialog, installed by the user interface: edits the entries and
    // answers whether the user confirmed them.
    static std::function<bool(QWidget* parent, CUccSubStringArray& entries, int forcedAI)>
        s_dialog;

    CUccSubStringArray m_entries;
    // Set on the variable whose script it made or read: only that one takes
    // the script out of the store when it goes (never a working copy).
    bool m_ownsScript = false;
};

// The GS1 data variable a symbol of that data-source kind and name takes
// its data from, or null.
CUccEanData* FindGS1Data(int sourceKind, const QString& name);

void RegisterGS1DataVariable();
