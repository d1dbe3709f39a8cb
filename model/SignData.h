// The sign template document: title, author and description, and the file
// frame that writes and reads every part of a sign in one fixed order. The
// parts that live in higher libraries (printer settings, paper, price
// formats, variables, database link, page labels) plug into the frame through
// the hooks below; each library installs its own.
#pragma once

#include "Archive.h"
#include "Seams.h"
#include "Types.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class CTextExportFile;

// The parts of a sign that other libraries write, in file order.
enum SignPart : int
{
    SIGN_PART_PRINTER,
    SIGN_PART_PAPER,
    SIGN_PART_PRICE_FORMATS,
    SIGN_PART_VARIABLES,
    SIGN_PART_DATABASE,
    SIGN_PART_PAGE_LABELS,
    SIGN_PART_COUNT
};

struct CSignPartHooks
{
    std::function<void(CArchive&)> serialize;
    std::function<void(CTextExportFile&)> writeXml;
};

struct CSignHooks
{
    std::array<CSignPartHooks, SIGN_PART_COUNT> parts;

    // Variables.
    std::function<int()> variableItemCount;
    std::function<void()> removeUnusedVariables;
    std::function<void()> removeCombinationScripts;
    std::function<void()> deleteAllVariables;
    // While a sign prints (TRUE) the elements fed by variables show the
    // values the variables compute from their inputs; afterwards (FALSE)
    // they show their own sample again.
    std::function<void(BOOL printing)> showVariableData;
    // Database link and data paths.
    std::function<bool()> isDataStore;
    std::function<void()> addStoreColumnsForOptionLists;
    std::function<void()> disconnectDatabase;
    std::function<void()> clearDataPaths;
    std::function<void()> rebuildDataPaths;
    // The progress window of loading and saving (caption string id, range).
    std::function<std::unique_ptr<CProgressSeam>(int captionId, int high)> openProgress;
};

// The hooks in force. Libraries fill them once at start-up.
CSignHooks& SignHooks();

// Values of the current sign that the file frame stores.
struct CSignSettings
{
    int dataViewDocking = 2; // 2 or 3
    int sheetPreview = 0;    // the print station shows the whole sheet
    int allColumns = 1;      // the record grid shows every column
    std::vector<DWORD> columnWidths;
    QString lastSaveFolder;
};

CSignSettings& TheSignSettings();

class CSignData
{
public:
    static constexpr int kFileVersion = 514;
    static constexpr int kOldestVersion = 103;
    static constexpr int kNewestVersion = 519;

    CSignData();
    ~CSignData();

    QString m_title;
    QString m_author;
    QString m_description;

    // The file frame: writes or reads the whole sign.
    void Serialize(CArchive& ar);
    // Resets the sign (File New, and before every load).
    void DeleteContents();
    // Loads a sign; FALSE (after telling the user) when it cannot be read,
    // and the sign is then empty and usable.
    BOOL OnOpenDocument(const QString& path);
    // Saves to the path; the file on disk is replaced only when the whole
    // sign was written. FALSE after telling the user.
    BOOL OnSaveDocument(const QString& path);
    // Writes the text export; FALSE when the file cannot be created.
    BOOL WriteXml(const QString& path);
    void WriteXml(CTextExportFile& file);

    const QString& GetPathName() const { return m_pathName; }
    void SetPathName(const QString& path) { m_pathName = path; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

private:
    void ApplyLoadOutcome();

    QString m_pathName;
    bool m_modified = false;
};
