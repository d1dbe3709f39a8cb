#include "PriceFormatList.h"

#include "AppContext.h"
#include "Archive.h"
#include "Helpers.h"
#include "Messages.h"
#include "SignApp.h"
#include "TextExport.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <new>
#include <vector>

IMPLEMENT_PERSISTENT(CPriceFormatList, CObject, 1)

CPriceFormatList::Dialogs CPriceFormatList::s_dialogs;
std::function<bool(const QString&)> CPriceFormatList::s_isFormatUsed;

namespace {

void ReportFileError(const QString& path, const QString& reason)
{
    AppMessageBox(QStringLiteral("The file %1 could not be saved.\n%2").arg(path, reason));
}

void ReportUnreadLibrary(const QString& path, const QString& reason)
{
    AppMessageBox(QStringLiteral("Your price format library \"%1\" cannot be read whole: %2. "
                                 "It is left as it is, and changes to your price formats are "
                                 "not saved into it in this session.")
                      .arg(path, reason),
                  MB_ICONEXCLAMATION);
}

} // namespace

CPriceFormatList& ThePriceFormatList()
{
    return App().Get<CPriceFormatList>();
}

CPriceFormatList::CPriceFormatList()
{
    auto standard = std::make_unique<CPriceFormat>(MakeStandardFormat(GetLocaleString));
    m_standard = standard.get();
    m_formats.emplace(standard->m_name, std::move(standard));
}

CPriceFormatList::~CPriceFormatList() = default;

CPriceFormat
CPriceFormatList::MakeStandardFormat(const std::function<QString(int item)>& localeString)
{
    CPriceFormat format;
    format.m_name = StandardFormatName();
    format.m_partText[CPriceFormat::PART_PRIMARY_SYMBOL] = localeString(LOCALE_SCURRENCY);
    format.m_partText[CPriceFormat::PART_DECIMAL_SEPARATOR] = localeString(LOCALE_SMONDECIMALSEP);
    format.m_thousandsSeparator = localeString(LOCALE_SMONTHOUSANDSEP);
    // Positive currency modes 1 ("1$") and 3 ("1 $") put the symbol after.
    const int mode = localeString(LOCALE_ICURRENCY).trimmed().toInt();
    format.m_symbolAfterAmount = (mode == 1 || mode == 3) ? TRUE : FALSE;
    format.m_secondaryAlwaysShow = FALSE;
    format.m_secondaryNeverShow = FALSE;
    format.m_showPrimaryAmount = TRUE;
    format.m_showZeroSecondary = TRUE;
    return format;
}

// --- the list ---------------------------------------------------------------

CPriceFormat* CPriceFormatList::AddFormat(const CPriceFormat& format)
{
    if (format.m_name.isEmpty() || format.m_name == m_standard->m_name)
        return nullptr;
    const auto it = m_formats.find(format.m_name);
    if (it != m_formats.end()) {
        *it->second = format;
        return it->second.get();
    }
    try {
        auto copy = std::make_unique<CPriceFormat>(format);
        CPriceFormat* stored = copy.get();
        m_formats.emplace(format.m_name, std::move(copy));
        return stored;
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return nullptr;
    }
}

CPriceFormat* CPriceFormatList::FindFormat(const QString& name) const
{
    const auto it = m_formats.find(name);
    return it != m_formats.end() ? it->second.get() : nullptr;
}

bool CPriceFormatList::DeleteFormat(CPriceFormat* format)
{
    if (!format || format == m_standard)
        return false;
    const auto it = m_formats.find(format->m_name);
    if (it == m_formats.end() || it->second.get() != format)
        return false;
    m_formats.erase(it);
    return true;
}

QStringList CPriceFormatList::GetFormatNames(bool includeStandard) const
{
    QStringList names;
    for (const auto& [name, format] : m_formats) {
        if (includeStandard || format.get() != m_standard)
            names << name;
    }
    return names;
}

bool CPriceFormatList::IsFormatUsed(const QString& name) const
{
    return s_isFormatUsed && s_isFormatUsed(name);
}

// --- dialogs ----------------------------------------------------------------

CPriceFormat* CPriceFormatList::NewFormat(QWidget* parent)
{
    if (!s_dialogs.wizard)
        return nullptr;
    CPriceFormat working = *m_standard;
    if (!s_dialogs.wizard(parent, working))
        return nullptr;
    return AddFormat(working);
}

bool CPriceFormatList::EditFormat(QWidget* parent, CPriceFormat* format)
{
    if (!format || !s_dialogs.propertySheet)
        return false;
    CPriceFormat working = *format;
    if (!s_dialogs.propertySheet(parent, working))
        return false;
    working.m_name = format->m_name;
    *format = working;
    return true;
}

CPriceFormat* CPriceFormatList::SelectFormat(QWidget* parent, const QString& initialName,
                                             bool includeStandard)
{
    if (m_formats.empty())
        return nullptr;
    if (m_formats.size() == 1)
        return includeStandard ? m_standard : nullptr;
    if (!s_dialogs.select)
        return nullptr;
    QString chosen;
    if (!s_dialogs.select(parent, initialName, includeStandard, chosen))
        return nullptr;
    CPriceFormat* format = FindFormat(chosen);
    if (format == m_standard && !includeStandard)
        return nullptr;
    return format;
}

// --- files ------------------------------------------------------------------

int CPriceFormatList::ReadRecordCount(CArchive& ar, DWORD version)
{
    const int count = ar.ReadInt();
    if (count < 0)
        throw CArchiveException(CArchiveException::generic, "price formats: negative count");
    if (static_cast<qint64>(count) * CPriceFormat::MinRecordBytes(version) > ar.BytesRemaining())
        throw CArchiveException(CArchiveException::endOfFile, "price formats: count exceeds data");
    return count;
}

bool CPriceFormatList::LoadLibrary()
{
    m_libraryPath = CSignApp::GetProgramFileName(QStringLiteral(".pff"));
    m_libraryKept = false;
    QFile file(m_libraryPath);
    if (!file.exists())
        return false;
    // From here on the user has a library: whatever keeps it from being read
    // whole is said once, and the file is kept as it is.
    const auto keep = [this](const QString& reason) {
        m_libraryKept = true;
        ReportUnreadLibrary(m_libraryPath, reason);
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return keep(file.errorString());
    CArchive ar(&file, CArchive::load);
    ar.SetFilePath(m_libraryPath);
    if (file.error() != QFileDevice::NoError)
        return keep(file.errorString());
    try {
        const DWORD version = ar.ReadDWord();
        const int count = ReadRecordCount(ar, version);
        for (int i = 0; i < count; ++i) {
            CPriceFormat record;
            record.Read(ar, version);
            // The built-in format stays as the locale made it.
            if (record.m_name == m_standard->m_name)
                continue;
            if (record.m_name.isEmpty())
                return keep(QStringLiteral("price format %1 has no name").arg(i + 1));
            if (!AddFormat(record))
                return keep(QStringLiteral("not enough memory"));
        }
        // A library holds its records and nothing else: more data after the
        // last one (a count damaged to 0, say) would be lost by a rewrite.
        if (ar.BytesRemaining() > 0)
            return keep(QStringLiteral("it holds data after its last price format"));
    } catch (const CArchiveException&) {
        return keep(QStringLiteral("the file is damaged"));
    }
    return true;
}

bool CPriceFormatList::SaveLibrary()
{
    if (m_libraryPath.isEmpty() || m_libraryKept)
        return false;
    if (m_formats.size() < 2) {
        QFile old(m_libraryPath);
        if (!old.exists() || old.remove())
            return true;
        ReportFileError(m_libraryPath, old.errorString());
        return false;
    }

    // Written beside the old file and put in its place only when every byte
    // reached the disk.
    QSaveFile file(m_libraryPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        ReportFileError(m_libraryPath, file.errorString());
        return false;
    }
    QString error;
    try {
        CArchive ar(&file, CArchive::store);
        ar << CPriceFormat::kCurrentVersion << static_cast<int>(m_formats.size() - 1);
        for (const auto& [name, format] : m_formats) {
            if (format.get() != m_standard)
                format->Write(ar);
        }
        ar.Flush();
    } catch (const CArchiveException&) {
        error = file.errorString();
    }
    if (error.isEmpty() && file.commit())
        return true;
    if (error.isEmpty())
        error = file.errorString();
    file.cancelWriting();
    ReportFileError(m_libraryPath, error);
    return false;
}

void CPriceFormatList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        std::vector<const CPriceFormat*> used;
        for (const auto& [name, format] : m_formats) {
            if (format.get() != m_standard && IsFormatUsed(name))
                used.push_back(format.get());
        }
        ar << static_cast<int>(used.size());
        for (const CPriceFormat* format : used)
            format->Write(ar);
    } else {
        const DWORD version = static_cast<DWORD>(std::max(App().fileVersion, 0));
        const int count = ReadRecordCount(ar, version);
        for (int i = 0; i < count; ++i) {
            CPriceFormat record;
            record.Read(ar, version);
            // The library's format of that name wins over the sign's copy.
            if (FindFormat(record.m_name))
                continue;
            AddFormat(record);
        }
    }
    App().StepProgress();
}

// --- text export ------------------------------------------------------------

void CPriceFormatList::WriteXml(CTextExportFile& file, const CPriceFormat& format) const
{
    using P = CPriceFormat;
    // The texts go out as they are, like the rest of the format block.
    const auto text = [&format](int part) { return format.GetPartText(part); };
    const auto number = [](int value) { return QString::number(value); };

    file.WriteString(QStringLiteral("    <format>\n\n"));
    file.WriteString(QStringLiteral("        <primary-symbol symbol=\"%1\" ratio=\"%2\" "
                                    "alignment=\"%3\" suffix=\"%4\" always-show=\"%5\"/>\n")
                         .arg(text(P::PART_PRIMARY_SYMBOL),
                              number(format.GetRatioPercent(P::PART_PRIMARY_SYMBOL)),
                              number(format.GetPartAlignment(P::PART_PRIMARY_SYMBOL)),
                              number(format.m_symbolAfterAmount),
                              number(format.m_showPrimaryAmount)));
    file.WriteString(QStringLiteral("        <digit-separator=\"%1\">\n")
                         .arg(format.m_thousandsSeparator));
    file.WriteString(QStringLiteral("        <decimal-separator=\"%1\">\n")
                         .arg(text(P::PART_DECIMAL_SEPARATOR)));
    file.WriteString(QStringLiteral("        <secondary-amount ratio=\"%1\" alignment=\"%2\" "
                                    "never-show=\"%3\" always-show=\"%4\"/>\n")
                         .arg(number(format.GetRatioPercent(P::PART_SECONDARY_AMOUNT)),
                              number(format.GetPartAlignment(P::PART_SECONDARY_AMOUNT)),
                              number(format.m_secondaryNeverShow),
                              number(format.m_secondaryAlwaysShow)));
    file.WriteString(
        QStringLiteral("        <secondary-symbol symbol=\"%1\" ratio=\"%2\" alignment=\"%3\"/>\n")
            .arg(text(P::PART_SECONDARY_SYMBOL),
                 number(format.GetRatioPercent(P::PART_SECONDARY_SYMBOL)),
                 number(format.GetPartAlignment(P::PART_SECONDARY_SYMBOL))));
    file.WriteString(QStringLiteral("\n    </format>\n\n"));
}
