#include "SignData.h"

#include "AppContext.h"
#include "ElementList.h"
#include "FileName.h"
#include "Helpers.h"
#include "Messages.h"
#include "TextExport.h"
#include "UndoHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const char* const kDamagedSign =
    "The sign \"%1\" is damaged or is not a sign, and cannot be opened.";
const char* const kCannotOpen = "Unable to open file %1";
const char* const kCannotSave =
    "The sign could not be saved as \"%1\" (%2). The file on disk has not been changed.";

// Without the database library a sign can still be read: its database block
// is read in full, the link cannot be made again, and the user decides
// whether the sign loads without it.
void SerializeDatabaseBlock(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << DWORD(0); // not linked
        App().StepProgress();
        return;
    }
    const int version = App().fileVersion;
    const DWORD connected = ar.ReadDWord();
    if (connected) {
        const int kind = version >= 105 ? ar.ReadInt() : 0;
        int type = ar.ReadInt();
        const QString source = ar.ReadString();
        if (version >= 265 && version <= 299)
            ar.ReadDWord();
        ar.ReadString(); // table
        if (version >= 310) {
            ar.ReadString(); // custom view query
            ar.ReadString(); // custom view name
        }
        ar.ReadString(); // key field
        // Old type numbers, brought to the current numbering: only the
        // delimited-text type (12) has more fields.
        if (version < 250 && type >= 7)
            type -= 1;
        if (version < 260 && type >= 7) {
            if (type <= 10)
                type = 13;
            else if (type <= 14)
                type -= 4;
            else
                type -= 3;
        }
        if (version < 320 && type != 13) {
            if (type >= 8 && type <= 11)
                type = 7;
            else if (type >= 12)
                type -= 4;
        }
        if (type == 12) {
            ar.ReadByte();
            ar.ReadDWord();
            ar.ReadDWord();
            const DWORD fields = ar.ReadDWord();
            if (fields > DWORD(ar.BytesRemaining() / 2))
                throw CArchiveException(CArchiveException::endOfFile, "archive: bad field count");
            for (DWORD i = 0; i < fields; ++i) {
                ar.ReadString();
                ar.ReadString();
            }
        }
        if (version >= 230)
            ar.ReadDWord();
        if (version >= 330)
            ar.ReadDWord();
        if (version >= 320)
            ar.ReadDWord();
        if (version >= 263)
            ar.ReadBytes(7);
        const int id = kind == 0 ? IDS_CANNOT_RECREATE_DATA_LINK : IDS_CANNOT_REOPEN_DATA_STORE;
        if (AppMessageBox(FormatStringId(id, {source}), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            throw CUserException();
        App().loadOutcome = kind == 0 ? 1 : 2;
    }
    App().StepProgress();
}

void CallPart(SignPart part, CArchive& ar)
{
    const auto& hook = SignHooks().parts[part].serialize;
    if (hook)
        hook(ar);
    else if (part == SIGN_PART_DATABASE)
        SerializeDatabaseBlock(ar);
}

template <class F> void CallHook(const F& hook)
{
    if (hook)
        hook();
}

// Closes the progress window however the frame ends.
class CProgressScope
{
public:
    CProgressScope(int captionId, int high)
    {
        if (SignHooks().openProgress)
            m_window = SignHooks().openProgress(captionId, high);
        m_previous = App().progress;
        if (m_window)
            App().progress = m_window.get();
    }
    ~CProgressScope() { App().progress = m_previous; }

private:
    std::unique_ptr<CProgressSeam> m_window;
    CProgressSeam* m_previous = nullptr;
};

QString FolderOf(const QString& path)
{
    const QString folder = CFileName(path).GetFolder(true);
    return folder;
}

} // namespace

CSignHooks& SignHooks()
{
    static CSignHooks hooks;
    return hooks;
}

CSignSettings& TheSignSettings()
{
    return App().Get<CSignSettings>();
}

CSignData::CSignData() = default;
CSignData::~CSignData() = default;

void CSignData::Serialize(CArchive& ar)
{
    CAppContext& app = App();
    CSignHooks& hooks = SignHooks();
    CSignSettings& settings = TheSignSettings();
    CElementList& elements = TheElementList();
    app.signFolder = FolderOf(ar.GetFilePath());

    if (ar.IsStoring()) {
        app.fileVersion = kFileVersion;
        ar << DWORD(kFileVersion);
        const int total = elements.GetProgressWeight() +
                          (hooks.variableItemCount ? hooks.variableItemCount() : 0);
        ar << DWORD(total);
        ar << m_title << m_author << m_description;
        CProgressScope progress(IDS_SAVING_TEMPLATE, total + 4);
        CallPart(SIGN_PART_PRINTER, ar);
        CallPart(SIGN_PART_PAPER, ar);
        CallPart(SIGN_PART_PRICE_FORMATS, ar);
        CallHook(hooks.removeUnusedVariables);
        if (hooks.parts[SIGN_PART_VARIABLES].serialize)
            hooks.parts[SIGN_PART_VARIABLES].serialize(ar);
        else
            ar.WriteCount(0); // an empty variable list
        elements.Serialize(ar);
        CallPart(SIGN_PART_DATABASE, ar);
        ar << DWORD(settings.dataViewDocking) << DWORD(settings.sheetPreview)
           << DWORD(settings.allColumns);
        ar.WritePlainArray(settings.columnWidths);
        CallPart(SIGN_PART_PAGE_LABELS, ar);
        return;
    }

    const DWORD version = ar.ReadDWord();
    if (version < DWORD(kOldestVersion) || version > DWORD(kNewestVersion)) {
        AppMessageBoxId(IDS_UNSUPPORTED_TEMPLATE_VERSION, MB_ICONERROR);
        throw CUserException();
    }
    app.fileVersion = int(version);
    const DWORD total = ar.ReadDWord();
    if (version >= 105)
        ar >> m_title >> m_author >> m_description;
    CProgressScope progress(IDS_LOADING_TEMPLATE, int(std::min<DWORD>(total, 1000000)) + 4);
    CallPart(SIGN_PART_PRINTER, ar);
    CallPart(SIGN_PART_PAPER, ar);
    CallPart(SIGN_PART_PRICE_FORMATS, ar);
    if (version >= 110) {
        if (hooks.parts[SIGN_PART_VARIABLES].serialize) {
            hooks.parts[SIGN_PART_VARIABLES].serialize(ar);
        } else if (ar.ReadCount(2) != 0) {
            throw CArchiveException(CArchiveException::badClass,
                                    "archive: variables not supported");
        }
    }
    elements.Serialize(ar);
    CallPart(SIGN_PART_DATABASE, ar);
    if (version < 240 && hooks.isDataStore && hooks.isDataStore())
        CallHook(hooks.addStoreColumnsForOptionLists);
    if (version >= 110)
        settings.dataViewDocking = ar.ReadInt();
    if (version >= 300)
        settings.sheetPreview = ar.ReadInt();
    if (version >= 200) {
        settings.allColumns = ar.ReadInt();
        settings.columnWidths.clear();
        ar.ReadPlainArray(settings.columnWidths);
    }
    if (version >= 250)
        CallPart(SIGN_PART_PAGE_LABELS, ar);
    CallHook(hooks.rebuildDataPaths);
}

void CSignData::DeleteContents()
{
    CSignHooks& hooks = SignHooks();
    m_title.clear();
    m_author.clear();
    m_description.clear();
    CallHook(hooks.disconnectDatabase);
    CallHook(hooks.clearDataPaths);
    CSignSettings& settings = TheSignSettings();
    settings.dataViewDocking = 2;
    settings.allColumns = 1;
    settings.columnWidths.clear();
    TheUndoHistory().Clear();
    CallHook(hooks.removeCombinationScripts);
    TheElementList().DeleteAll();
    CallHook(hooks.deleteAllVariables);
    m_modified = false;
}

void CSignData::ApplyLoadOutcome()
{
    switch (App().loadOutcome) {
    case 1:
        TheElementList().BreakDataLinks();
        CallHook(SignHooks().rebuildDataPaths);
        m_modified = true;
        break;
    case 2:
    case 3:
        m_modified = true;
        break;
    default:
        break;
    }
}

BOOL CSignData::OnOpenDocument(const QString& path)
{
    DeleteContents();
    App().loadOutcome = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        AppMessageBox(FormatPlaceholders(kCannotOpen, {QDir::toNativeSeparators(path)}),
                      MB_ICONEXCLAMATION);
        return FALSE;
    }
    CArchive ar(&file, CArchive::load);
    ar.SetFilePath(path);
    try {
        Serialize(ar);
    } catch (const CUserException&) {
        DeleteContents(); // the user has been told
        return FALSE;
    } catch (const CArchiveException&) {
        DeleteContents();
        AppMessageBox(FormatPlaceholders(kDamagedSign, {QFileInfo(path).fileName()}),
                      MB_ICONEXCLAMATION);
        return FALSE;
    } catch (const std::bad_alloc&) {
        DeleteContents();
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY, MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_pathName = path;
    m_modified = false;
    ApplyLoadOutcome();
    return TRUE;
}

BOOL CSignData::OnSaveDocument(const QString& path)
{
    // The archive goes to a temporary file beside the sign, which replaces
    // the sign only when everything was written.
    QSaveFile file(path);
    QString error;
    if (file.open(QIODevice::WriteOnly)) {
        try {
            CArchive ar(&file, CArchive::store);
            ar.SetFilePath(path);
            Serialize(ar);
            ar.Flush();
        } catch (const CArchiveException&) {
            error = file.errorString();
        } catch (const CUserException&) {
            file.cancelWriting();
            return FALSE;
        }
        if (error.isEmpty() && file.commit()) {
            m_pathName = path;
            m_modified = false;
            return TRUE;
        }
        if (error.isEmpty())
            error = file.errorString();
        file.cancelWriting();
    } else {
        error = file.errorString();
    }
    AppMessageBox(FormatPlaceholders(kCannotSave, {QDir::toNativeSeparators(path), error}),
                  MB_ICONEXCLAMATION);
    return FALSE;
}

void CSignData::WriteXml(CTextExportFile& file)
{
    CSignHooks& hooks = SignHooks();
    file.WriteString(QStringLiteral("<template>\n\n"));
    file.WriteString(QStringLiteral("  <version=\"") +
                     QString::number(kFileVersion / 100.0, 'f', 2) + QStringLiteral("\"/>\n"));
    file.WriteString(ExportLine(2, "title", m_title));
    file.WriteString(ExportLine(2, "author", m_author));
    file.WriteString(ExportLine(2, "description", m_description) + QStringLiteral("\n"));
    auto part = [&](SignPart p) {
        if (hooks.parts[p].writeXml)
            hooks.parts[p].writeXml(file);
    };
    part(SIGN_PART_PRINTER);
    part(SIGN_PART_PAPER);
    TheElementList().WriteXml(file);
    part(SIGN_PART_VARIABLES);
    if (hooks.parts[SIGN_PART_DATABASE].writeXml)
        part(SIGN_PART_DATABASE);
    else
        file.WriteString(QStringLiteral("<database>\n\n\n</database>\n\n"));
    part(SIGN_PART_PAGE_LABELS);
    file.WriteString(QStringLiteral("</template>\n"));
}

BOOL CSignData::WriteXml(const QString& path)
{
    CTextExportFile file;
    if (!file.Open(path))
        return FALSE;
    WriteXml(file);
    return file.Close() ? TRUE : FALSE;
}
