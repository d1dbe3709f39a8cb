#include "Paper.h"

#include "AppContext.h"
#include "Archive.h"
#include "Codec1252.h"
#include "FileName.h"
#include "Helpers.h"
#include "Messages.h"
#include "Printer.h"
#include "Rounding.h"
#include "SignApp.h"
#include "TextExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

IMPLEMENT_PERSISTENT(CPaper, CObject, 1)

std::function<QString(const QString& missingPath)> CPaper::s_locateMissingFile;

const char* const CPaper::kLibraryHeader =
    "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner Radius,"
    "Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch{,Selection Width,Selection "
    "Height,Background Image,Background Orientation}]";

namespace {

// Messages that the string table has no text for.
const char* const kRejectedStocksText =
    "Some paper stocks of the stock library cannot be used and were left out:\n\n%1";
const char* const kRejectedStockEntry = "\"%1\" in %2: %3";
const char* const kUnusableSignStockText =
    "The paper stock \"%1\" stored in this sign cannot be used: %2.\n\nThe sign cannot be opened.";
const char* const kReasonNoColumns = "it has no columns";
const char* const kReasonNoRows = "it has no rows";
const char* const kReasonPageSize = "its page width and height must be at least 0.1 mm";
const char* const kReasonLabelSize = "its label width and height must be at least 0.1 mm";
const char* const kReasonOutOfRange = "its sizes are out of range";
const char* const kReasonNoName = "it has no name";
const char* const kReasonFieldsSlipped =
    "its numbers are not where they belong (a comma in a text?)";
const char* const kReasonTextHasComma = "its name holds a comma or a line break";
const char* const kMoreRejects = "... and %1 more";
const char* const kLibraryUnread = "The paper stock library \"%1\" cannot be read: %2.";
const char* const kUserLibraryUnread =
    "Your paper stock library \"%1\" cannot be read whole: %2. It is left as it is, and "
    "changes to your paper stocks are not saved into it in this session.";
const char* const kOldLibraryUnread =
    "The old paper stock library \"%1\" cannot be read whole: %2. It is left as it is.";
const char* const kOldLibraryNotSaved =
    "The stocks of the old paper stock library \"%1\" cannot be saved, so it is kept.";
const char* const kUnreadCutShort = "it ends in the middle of a line (was it cut short?)";
const char* const kUnreadLines = "%1 of its lines are not paper stocks that can be used";
const char* const kUnreadNoHeader = "its first line is not the library's header";
const char* const kUnreadDamaged = "it is damaged or cut short";
const char* const kUnreadRejected = "some of its stocks cannot be used";
const char* const kUserLibraryNotSaved =
    "The changes to your paper stocks cannot be saved: \"%1\" could not be read whole when "
    "the program started (%2), and it is left as it is.";
const char* const kUserLibraryWriteFailed =
    "Your paper stocks cannot be saved to \"%1\": %2. The file is left as it was.";
const char* const kUserLibraryRemoveFailed =
    "Your paper stock library \"%1\" cannot be deleted: %2.";

// Bounds that no real stock comes near; within them no sum or product of
// the grid's fields overflows 32 bits.
constexpr int kMaxLength = 1000000; // tenths of a millimetre: 100 m
constexpr int kMaxPitch = 1000000;  // hundredths: 10 m
constexpr int kMaxCells = 1000;     // columns, and rows

// The most refused stocks that a message names; the rest are counted.
constexpr int kMaxListedRejects = 20;

constexpr int kFieldsShort = 15; // Category to Vert Pitch
constexpr int kFieldsLong = 19;  // with selection, picture and its orientation

QString Tr(const char* text)
{
    return QString::fromUtf8(text);
}

bool HasLineBreakOrComma(const QString& text)
{
    for (const QChar c : text) {
        if (c == u',' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

// A numeric field as the C library's atoi reads it: leading blanks, a sign
// and the digits that follow, clamped to 32 bits; an empty or blank field
// is 0. A field that has text but no leading number is not a number (the
// fields of the line have slipped), and gives nothing.
std::optional<int> ParseNumber(const QString& field)
{
    qsizetype i = 0;
    while (i < field.size() && (field[i] == u' ' || field[i] == u'\t'))
        ++i;
    if (i == field.size())
        return 0;
    bool negative = false;
    if (field[i] == u'+' || field[i] == u'-') {
        negative = field[i] == u'-';
        ++i;
    }
    if (i == field.size() || field[i] < u'0' || field[i] > u'9')
        return std::nullopt;
    long long value = 0;
    for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
        if (value <= std::numeric_limits<int>::max() + 1LL)
            value = value * 10 + (field[i].unicode() - u'0');
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

// Times ten, saturating at the ends of 32 bits (old files keep pitches in
// tenths of a millimetre).
int TimesTen(int value)
{
    return static_cast<int>(std::clamp<qint64>(qint64(value) * 10, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

// The fields that decide nothing about the grid, brought into the range that
// the rest of the program expects: continuous and the outline 0 or 1, the
// corner radius and the printer form no longer than any stock, a picture
// turned by a quarter turn.
void BringIntoRange(CPaperStock& s)
{
    s.continuous = s.continuous != 0 ? 1 : 0;
    s.type = s.type == 1 ? 1 : 0;
    s.cornerRadius = std::clamp(s.cornerRadius, 0, kMaxLength);
    s.selectionWidth = std::clamp(s.selectionWidth, 0, kMaxLength);
    s.selectionHeight = std::clamp(s.selectionHeight, 0, kMaxLength);
    switch (s.backgroundOrientation) {
    case 0:
    case 90:
    case 180:
    case 270:
        break;
    default:
        s.backgroundOrientation = 0;
        break;
    }
}

// A picture path as held: "/" separators, a leading "./" resolved against
// the program folder.
QString ResolvePicturePath(const QString& stored)
{
    if (stored.isEmpty())
        return stored;
    return CSignApp::ResolveRelativePicture(stored);
}

// Asks for a picture that is not there. Returns the path to use: the one
// chosen, else the one given when it is to be kept (a library's picture may
// be on a share that is not mounted yet), else an empty one to go on without
// the picture.
QString LocateMissingPicture(const QString& path, bool* relocated, bool keepMissing = false)
{
    *relocated = false;
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QString kept = keepMissing ? path : QString();
    if (!CPaper::s_locateMissingFile)
        return kept;
    const QString chosen = CPaper::s_locateMissingFile(path);
    if (chosen.isEmpty())
        return kept;
    *relocated = true;
    return NormalizeStoredPath(chosen, QString());
}

// The picture path as a sign stores it.
QString PicturePathToStore(const QString& path)
{
    if (path.isEmpty())
        return path;
    if (App().packageExport)
        return App().packagePicturePrefix + CFileName(path).GetFileTitle(true);
    if (App().general.storeRelativePaths) {
        const QString held = NormalizeStoredPath(path, QString());
        if (QDir::isAbsolutePath(held)) {
            const QString relative =
                QDir(CSignApp::GetProgramFolder()).relativeFilePath(QDir::cleanPath(held));
            if (!relative.isEmpty() && !QDir::isAbsolutePath(relative))
                return QStringLiteral("./") + relative;
        }
    }
    return path;
}

enum class LineVerdict
{
    stock,    // a stock was read
    skipped,  // not a stock line: passed over without a word
    rejected, // a stock that cannot be used: reported
};

// Reads one line of a library file (without its line end).
LineVerdict ParseLibraryLine(const QString& line, CPaperStock& stock, QString& reason)
{
    const QStringList fields = line.split(u',');
    if (fields.size() < kFieldsShort)
        return LineVerdict::skipped;

    stock = CPaperStock();
    stock.category = fields[0];
    stock.name = fields[1];

    int* const numbers[] = {&stock.pageWidth,    &stock.pageHeight,  &stock.continuous,
                            &stock.topMargin,    &stock.leftMargin,  &stock.type,
                            &stock.cornerRadius, &stock.labelWidth,  &stock.columns,
                            &stock.horzPitch,    &stock.labelHeight, &stock.rows,
                            &stock.vertPitch};
    for (int i = 0; i < 13; ++i) {
        const std::optional<int> value = ParseNumber(fields[2 + i]);
        if (!value) {
            reason = Tr(kReasonFieldsSlipped);
            return LineVerdict::rejected;
        }
        *numbers[i] = *value;
    }

    if (fields.size() == kFieldsShort) {
        stock.selectionWidth = stock.pageWidth;
        stock.selectionHeight = stock.pageHeight;
    } else {
        // The selection width must be followed by the height.
        if (fields.size() == kFieldsShort + 1)
            return LineVerdict::skipped;
        const std::optional<int> width = ParseNumber(fields[15]);
        const std::optional<int> height = ParseNumber(fields[16]);
        std::optional<int> orientation = 0;
        if (fields.size() > 17)
            stock.backgroundImage = fields[17];
        if (fields.size() > 18)
            orientation = ParseNumber(fields[18]);
        // Fields beyond the nineteenth are not ours and are passed over.
        if (!width || !height || !orientation) {
            reason = Tr(kReasonFieldsSlipped);
            return LineVerdict::rejected;
        }
        stock.selectionWidth = *width;
        stock.selectionHeight = *height;
        stock.backgroundOrientation = *orientation;
    }

    if (stock.name.isEmpty()) {
        reason = Tr(kReasonNoName);
        return LineVerdict::rejected;
    }
    // A lone carriage return inside a text could not be written back.
    if (!stock.FitsLibraryLine()) {
        reason = Tr(kReasonTextHasComma);
        return LineVerdict::rejected;
    }
    BringIntoRange(stock);
    reason = stock.UnusableReason();
    return reason.isEmpty() ? LineVerdict::stock : LineVerdict::rejected;
}

QString FileTitle(const QString& path)
{
    return CFileName(path).GetFileTitle(true);
}

} // namespace

struct CPaper::LoadReport
{
    QStringList rejects; // the first few, named
    qsizetype moreRejects = 0;
    QStringList notes; // files not read whole

    void Reject(const QString& name, const QString& path, const QString& reason)
    {
        if (rejects.size() < kMaxListedRejects)
            rejects << FormatMessageText(Tr(kRejectedStockEntry), {name, FileTitle(path), reason});
        else
            ++moreRejects;
    }
    void Note(const char* text, const QString& path, const QString& why)
    {
        notes << FormatMessageText(Tr(text), {FileTitle(path), why});
    }
    // One message for everything.
    void Show() const
    {
        QStringList parts;
        if (!rejects.isEmpty()) {
            QString list = rejects.join(u'\n');
            if (moreRejects > 0)
                list += u'\n' + Tr(kMoreRejects).arg(moreRejects);
            parts << FormatPlaceholders(Tr(kRejectedStocksText), {list});
        }
        parts << notes;
        if (!parts.isEmpty())
            AppMessageBox(parts.join(QStringLiteral("\n\n")), MB_OK | MB_ICONEXCLAMATION);
    }
};

namespace {

CPaperStock DefaultStock()
{
    CPaperStock stock;
    stock.category = QStringLiteral("Standard");
    stock.name = QStringLiteral("A4");
    stock.pageWidth = stock.labelWidth = stock.selectionWidth = 2100;
    stock.pageHeight = stock.labelHeight = stock.selectionHeight = 2970;
    stock.columns = stock.rows = 1;
    stock.builtIn = 1;
    return stock;
}

// One line of "Stock2.zel", without its line end. A picture path that a
// line cannot hold is left out.
QString LibraryLine(const CPaperStock& s)
{
    QStringList fields{s.category, s.name};
    for (int value :
         {s.pageWidth, s.pageHeight, s.continuous, s.topMargin, s.leftMargin, s.type,
          s.cornerRadius, s.labelWidth, s.columns, s.horzPitch, s.labelHeight, s.rows, s.vertPitch})
        fields << QString::number(value);
    const QString image = HasLineBreakOrComma(s.backgroundImage) ? QString() : s.backgroundImage;
    if (!image.isEmpty() || s.selectionWidth != s.pageWidth || s.selectionHeight != s.pageHeight) {
        fields << QString::number(s.selectionWidth) << QString::number(s.selectionHeight) << image
               << QString::number(s.backgroundOrientation);
    }
    return fields.join(u',');
}

// Writes the user stocks, replacing the file only once all of it is
// written; false with the reason when it cannot be.
bool WriteUserLibrary(const QString& path, const std::vector<const CPaperStock*>& stocks,
                      QString* error = nullptr)
{
    QString text = QString::fromLatin1(CPaper::kLibraryHeader) + QStringLiteral("\r\n");
    for (const CPaperStock* stock : stocks) {
        // A category or name with a comma cannot be read back, nor a stock
        // without a name; such a stock (which only a sign can bring) stays
        // out of the file.
        if (stock->name.isEmpty() || HasLineBreakOrComma(stock->category) ||
            HasLineBreakOrComma(stock->name))
            continue;
        text += LibraryLine(*stock) + QStringLiteral("\r\n");
    }
    const QByteArray bytes = ToWindows1252(text);
    QSaveFile file(path);
    const auto fail = [&] {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return fail();
        written += n;
    }
    if (!file.flush())
        return fail();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

// CPaperStock -------------------------------------------------------------

CPoint CPaperStock::CellOrigin(int index) const
{
    const int across = std::max(columns, 1);
    const qint64 column = index % across;
    const qint64 row = index / across;
    return CPoint(leftMargin + HmmToTmm(column * horzPitch), topMargin + HmmToTmm(row * vertPitch));
}

CPoint CPaperStock::LabelOrigin(qint64 position, bool landscape) const
{
    const qint64 p = std::max<qint64>(position, 0);
    const int across = std::max(1, columns);
    const int down = std::max(1, rows);
    if (landscape) {
        const int bottomMargin =
            pageHeight - labelHeight - topMargin - HmmToTmm(qint64(rows - 1) * vertPitch);
        return CPoint(HmmToTmm((p % down) * vertPitch) + bottomMargin,
                      HmmToTmm(((p / down) % across) * horzPitch) + leftMargin);
    }
    return CPoint(HmmToTmm((p % across) * horzPitch) + leftMargin,
                  HmmToTmm(((p / across) % down) * vertPitch) + topMargin);
}

QString CPaperStock::UnusableReason() const
{
    if (columns < 1)
        return Tr(kReasonNoColumns);
    if (rows < 1)
        return Tr(kReasonNoRows);
    if (pageWidth < 1 || pageHeight < 1)
        return Tr(kReasonPageSize);
    if (labelWidth < 1 || labelHeight < 1)
        return Tr(kReasonLabelSize);
    const auto within = [](int value, int bound) { return value >= -bound && value <= bound; };
    const bool inRange = columns <= kMaxCells && rows <= kMaxCells &&
                         within(pageWidth, kMaxLength) && within(pageHeight, kMaxLength) &&
                         within(labelWidth, kMaxLength) && within(labelHeight, kMaxLength) &&
                         within(leftMargin, kMaxLength) && within(topMargin, kMaxLength) &&
                         within(horzPitch, kMaxPitch) && within(vertPitch, kMaxPitch);
    if (!inRange)
        return Tr(kReasonOutOfRange);
    return QString();
}

bool CPaperStock::FitsLibraryLine() const
{
    return !HasLineBreakOrComma(category) && !HasLineBreakOrComma(name) &&
           !HasLineBreakOrComma(backgroundImage);
}

// CPaper ------------------------------------------------------------------

CPaper::CPaper() = default;

CPaper::~CPaper()
{
    RemoveAllStocks();
}

QString CPaper::BuiltInLibraryPath()
{
    return CSignApp::GetProgramFolder(true) + QStringLiteral("Stock.zel");
}

QString CPaper::UserLibraryPath()
{
    return CSignApp::GetProgramFolder(true) + QStringLiteral("Stock2.zel");
}

QString CPaper::OldLibraryPath()
{
    return CSignApp::GetProgramFileName(QStringLiteral(".plf"));
}

void CPaper::Init(const QString& lastPaperName)
{
    // A library that opens but yields no stock is treated as no library, so
    // that a current stock always exists.
    if (!LoadStockLibrary() || m_library.empty())
        PutStock(DefaultStock());
    if (!SelectStock(lastPaperName) && !SelectStock(QStringLiteral("A4")))
        SelectStock(m_library.begin()->first);
}

BOOL CPaper::LoadStockLibrary()
{
    LoadReport report;
    m_userLibraryUnread.clear();
    const BOOL builtInRead = ReadLibraryFile(BuiltInLibraryPath(), 1, report);
    const BOOL userRead = ReadLibraryFile(UserLibraryPath(), 0, report);
    // What the library holds now is what the user's file holds.
    m_userStocksChanged = false;

    BOOL imported = FALSE;
    const QString oldLibrary = OldLibraryPath();
    if (QFileInfo::exists(oldLibrary)) {
        const qsizetype rejectsBefore = report.rejects.size() + report.moreRejects;
        imported = ImportLibraryFile(oldLibrary, report);
        const bool whole = imported && report.rejects.size() + report.moreRejects == rejectsBefore;
        if (imported && !whole)
            report.Note(kOldLibraryUnread, oldLibrary, Tr(kUnreadRejected));
        // The old file goes only once all of its stocks are safe in
        // "Stock2.zel"; the ones it gave are saved at exit all the same.
        if (whole) {
            std::vector<const CPaperStock*> userStocks;
            for (const auto& [name, stock] : m_library) {
                if (stock->builtIn == 0)
                    userStocks.push_back(stock.get());
            }
            if (userStocks.empty()) {
                QFile::remove(oldLibrary);
            } else if (m_userLibraryUnread.isEmpty() &&
                       WriteUserLibrary(UserLibraryPath(), userStocks)) {
                m_userStocksChanged = false;
                QFile::remove(oldLibrary);
            } else {
                report.Note(kOldLibraryNotSaved, oldLibrary, QString());
            }
        }
    }

    report.Show();
    return builtInRead || userRead || imported;
}

BOOL CPaper::ReadLibraryFile(const QString& path, int builtIn, LoadReport& report)
{
    const bool userLibrary = builtIn == 0;
    QFile file(path);
    if (!file.exists())
        return FALSE;
    const auto unread = [&](const QString& why) {
        if (userLibrary) {
            m_userLibraryUnread = why;
            report.Note(kUserLibraryUnread, path, why);
        } else {
            report.Note(kLibraryUnread, path, why);
        }
    };
    if (!file.open(QIODevice::ReadOnly)) {
        unread(file.errorString());
        return FALSE;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        unread(file.errorString());
        return FALSE;
    }
    file.close();
    const QString text = FromWindows1252(bytes);

    // Lines that were there but gave no stock: a user library with such
    // lines is left as it is, so that nothing of it is lost.
    qsizetype unreadLines = 0;
    bool headerMissing = false;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (i == 0) {
            // The header (after the byte order mark an editor may have put
            // there); a file without one starts with a stock.
            if (line.startsWith(QStringLiteral("\u00EF\u00BB\u00BF")))
                line.remove(0, 3);
            if (line.startsWith(u'[') || line.isEmpty())
                continue;
            headerMissing = true;
        }
        CPaperStock stock;
        QString reason;
        switch (ParseLibraryLine(line, stock, reason)) {
        case LineVerdict::skipped:
            if (!line.trimmed().isEmpty())
                ++unreadLines;
            continue;
        case LineVerdict::rejected:
            ++unreadLines;
            report.Reject(stock.name, path, reason);
            continue;
        case LineVerdict::stock:
            break;
        }
        bool relocated = false;
        stock.backgroundImage =
            LocateMissingPicture(ResolvePicturePath(stock.backgroundImage), &relocated, true);
        stock.builtIn = builtIn;
        PutStock(stock);
    }

    if (userLibrary) {
        QString why;
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            why = Tr(kUnreadCutShort);
        else if (unreadLines > 0)
            why = Tr(kUnreadLines).arg(unreadLines);
        else if (headerMissing)
            why = Tr(kUnreadNoHeader);
        if (!why.isEmpty())
            unread(why);
    }
    return TRUE;
}

BOOL CPaper::ImportLibraryFile(const QString& path)
{
    LoadReport report;
    const BOOL result = ImportLibraryFile(path, report);
    report.Show();
    return result;
}

BOOL CPaper::ImportLibraryFile(const QString& path, LoadReport& report)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.Note(kOldLibraryUnread, path, file.errorString());
        return FALSE;
    }
    try {
        CArchive ar(&file, CArchive::load);
        const DWORD version = ar.ReadDWord();
        const DWORD count = version >= 103 ? ar.ReadDWord() : version;
        for (DWORD i = 0; i < count; ++i) {
            CPaperStock stock;
            ar >> stock.name;
            stock.pageWidth = ar.ReadInt();
            stock.pageHeight = ar.ReadInt();
            stock.continuous = version >= 264 ? ar.ReadInt() : 0;
            stock.topMargin = ar.ReadInt();
            stock.leftMargin = ar.ReadInt();
            stock.labelWidth = ar.ReadInt();
            stock.columns = ar.ReadInt();
            stock.horzPitch = ar.ReadInt();
            stock.labelHeight = ar.ReadInt();
            stock.rows = ar.ReadInt();
            stock.vertPitch = ar.ReadInt();
            if (version < 110) {
                stock.horzPitch = TimesTen(stock.horzPitch);
                stock.vertPitch = TimesTen(stock.vertPitch);
            }
            stock.category = QStringLiteral("Custom");
            stock.builtIn = 0;
            stock.selectionWidth = stock.pageWidth;
            stock.selectionHeight = stock.pageHeight;
            BringIntoRange(stock);

            if (m_library.contains(stock.name))
                continue;
            QString reason = stock.name.isEmpty() ? Tr(kReasonNoName) : stock.UnusableReason();
            if (reason.isEmpty() && !stock.FitsLibraryLine())
                reason = Tr(kReasonTextHasComma);
            if (!reason.isEmpty()) {
                report.Reject(stock.name, path, reason);
                continue;
            }
            PutStock(stock);
        }
    } catch (const CArchiveException&) {
        report.Note(kOldLibraryUnread, path, Tr(kUnreadDamaged));
        return FALSE;
    }
    return TRUE;
}

BOOL CPaper::SaveUserStocks()
{
    if (!m_userStocksChanged)
        return TRUE;
    const QString path = UserLibraryPath();
    if (!m_userLibraryUnread.isEmpty()) {
        AppMessageBox(FormatMessageText(Tr(kUserLibraryNotSaved), {path, m_userLibraryUnread}),
                      MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    std::vector<const CPaperStock*> userStocks;
    for (const auto& [name, stock] : m_library) {
        if (stock->builtIn == 0)
            userStocks.push_back(stock.get());
    }
    if (userStocks.empty()) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            AppMessageBox(
                FormatMessageText(Tr(kUserLibraryRemoveFailed), {path, file.errorString()}),
                MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
        m_userStocksChanged = false;
        return TRUE;
    }
    QString error;
    if (!WriteUserLibrary(path, userStocks, &error)) {
        AppMessageBox(FormatMessageText(Tr(kUserLibraryWriteFailed), {path, error}),
                      MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_userStocksChanged = false;
    return TRUE;
}

CPaperStock* CPaper::PutStock(const CPaperStock& stock)
{
    auto it = m_library.find(stock.name);
    if (stock.builtIn == 0 || (it != m_library.end() && it->second->builtIn == 0))
        m_userStocksChanged = true;
    if (it != m_library.end()) {
        *it->second = stock; // the record stays where it is: it may be current
        return it->second.get();
    }
    auto record = std::make_unique<CPaperStock>(stock);
    CPaperStock* added = record.get();
    m_library.emplace(stock.name, std::move(record));
    return added;
}

BOOL CPaper::SetStock(const CPaperStock& stock)
{
    if (stock.name.isEmpty() || !stock.FitsLibraryLine() || !stock.IsUsable())
        return FALSE;
    PutStock(stock);
    return TRUE;
}

BOOL CPaper::GetStock(const QString& name, CPaperStock& stock) const
{
    if (name.isEmpty()) {
        if (!m_current)
            return FALSE;
        stock = *m_current;
        return TRUE;
    }
    const auto it = m_library.find(name);
    if (it == m_library.end())
        return FALSE;
    stock = *it->second;
    return TRUE;
}

BOOL CPaper::DeleteStock(const QString& name)
{
    const auto it = m_library.find(name);
    if (it == m_library.end() || it->second.get() == m_current)
        return FALSE;
    if (it->second->builtIn == 0)
        m_userStocksChanged = true;
    m_library.erase(it);
    return TRUE;
}

void CPaper::RemoveAllStocks()
{
    m_current = nullptr;
    m_library.clear();
}

BOOL CPaper::SelectStock(const QString& name, const QString& sourceName)
{
    const auto it = m_library.find(name);
    if (it == m_library.end())
        return FALSE;
    m_current = it->second.get();
    const CPaperStock& stock = *m_current;

    const double extent = stock.labelWidth + stock.labelHeight;
    const int large = RoundHalfUp(extent * 0.02);
    const int small = RoundHalfUp(extent * 0.01);
    m_viewSpacingLarge = CSize(large, large);
    m_viewSpacingSmall = CSize(small, small);

    CPrinter& printer = ThePrinter();
    printer.SelectFormForStock(stock);
    if (!sourceName.isEmpty())
        printer.SelectPaperSource(sourceName);
    if (!stock.backgroundImage.isEmpty()) {
        const bool turned = stock.backgroundOrientation == 90 || stock.backgroundOrientation == 270;
        printer.SetOrientation(turned ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    }
    return TRUE;
}

void CPaper::FillCategoryCombo(QStringList& items) const
{
    items.clear();
    QSet<QString> listed;
    for (const auto& [name, stock] : m_library) {
        if (!listed.contains(stock->category)) {
            listed.insert(stock->category);
            items << stock->category;
        }
    }
}

void CPaper::FillStockList(QStringList& items, const QString& category) const
{
    items.clear();
    for (const auto& [name, stock] : m_library) {
        if (stock->category == category)
            items << stock->name;
    }
}

QStringList CPaper::StockNames() const
{
    QStringList names;
    for (const auto& [name, stock] : m_library)
        names << name;
    return names;
}

const CPaperStock& CPaper::Stock() const
{
    if (m_current)
        return *m_current;
    static const CPaperStock fallback = DefaultStock();
    return fallback;
}

bool CPaper::IsLandscape() const
{
    CPrinter& printer = ThePrinter();
    return printer.EnsurePrinter() && printer.IsLandscape();
}

QString CPaper::GetPaperName() const
{
    return Stock().name;
}

int CPaper::GetSignWidth()
{
    return IsLandscape() ? Stock().labelHeight : Stock().labelWidth;
}

int CPaper::GetSignHeight()
{
    return IsLandscape() ? Stock().labelWidth : Stock().labelHeight;
}

int CPaper::GetPageWidth()
{
    return IsLandscape() ? Stock().pageHeight : Stock().pageWidth;
}

int CPaper::GetPageHeight()
{
    return IsLandscape() ? Stock().pageWidth : Stock().pageHeight;
}

namespace {

int RightMargin(const CPaperStock& s)
{
    return s.pageWidth - s.labelWidth - s.leftMargin -
           CPaperStock::HmmToTmm(qint64(s.columns - 1) * s.horzPitch);
}

int BottomMargin(const CPaperStock& s)
{
    return s.pageHeight - s.labelHeight - s.topMargin -
           CPaperStock::HmmToTmm(qint64(s.rows - 1) * s.vertPitch);
}

QString FormatLength(int tmm)
{
    double value = tmm * 0.1;
    if (App().general.displayUnits == 1) {
        MmToInches(value);
        return QString::number(value, 'f', 2);
    }
    return QString::number(value, 'f', 1);
}

} // namespace

int CPaper::GetRightMargin() const
{
    return RightMargin(Stock());
}

int CPaper::GetBottomMargin() const
{
    return BottomMargin(Stock());
}

QString CPaper::FormatSignWidth()
{
    return FormatLength(GetSignWidth());
}

QString CPaper::FormatSignHeight()
{
    return FormatLength(GetSignHeight());
}

QString CPaper::FormatLabelsPerPage() const
{
    return QString::number(Stock().LabelsPerSheet());
}

CRect CPaper::PrintableRectFor(const CPaperStock& s, bool landscape, CRect p)
{
    const int signWidth = landscape ? s.labelHeight : s.labelWidth;
    const int signHeight = landscape ? s.labelWidth : s.labelHeight;
    const int pageWidth = landscape ? s.pageHeight : s.pageWidth;
    const int pageHeight = landscape ? s.pageWidth : s.pageHeight;
    const int rightMargin = RightMargin(s);
    const int bottomMargin = BottomMargin(s);

    // The printable area is taken as centred on the page across the paper's
    // feed direction.
    if (!landscape)
        p.OffsetRect((pageWidth - p.Width()) / 2 - p.left, 0);
    else
        p.OffsetRect(0, (pageHeight - p.Height()) / 2 - p.top);

    CRect r(0, 0, signWidth, signHeight);
    if (!landscape) {
        r.left += p.left - s.leftMargin;
        r.top += p.top - s.topMargin;
        r.right += p.right - s.pageWidth + rightMargin;
        r.bottom += p.bottom - s.pageHeight + bottomMargin;
    } else {
        r.left += p.left - bottomMargin;
        r.top += p.top - s.leftMargin;
        r.right += p.right - s.pageHeight + s.topMargin;
        r.bottom += p.bottom - s.pageWidth + rightMargin;
    }
    return CRect::Intersect(r, CRect(0, 0, signWidth, signHeight));
}

CRect CPaper::GetPrintableRect()
{
    const bool landscape = IsLandscape();
    CPrinter& printer = ThePrinter();
    printer.EnsurePrinter();
    return PrintableRectFor(Stock(), landscape, printer.GetPrintableArea());
}

void CPaper::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const CPaperStock& s = Stock();
        ar << s.category << s.name;
        for (int value :
             {s.pageWidth, s.pageHeight, s.continuous, s.topMargin, s.leftMargin, s.type,
              s.cornerRadius, s.labelWidth, s.columns, s.horzPitch, s.labelHeight, s.rows,
              s.vertPitch, s.builtIn, s.selectionWidth, s.selectionHeight})
            ar << DWORD(value);
        ar << PicturePathToStore(s.backgroundImage) << DWORD(s.backgroundOrientation);
        return;
    }

    const int version = App().fileVersion;
    CPaperStock s;
    if (version >= 300)
        ar >> s.category;
    ar >> s.name;
    s.pageWidth = ar.ReadInt();
    s.pageHeight = ar.ReadInt();
    s.continuous = version >= 264 ? ar.ReadInt() : 0;
    s.topMargin = ar.ReadInt();
    s.leftMargin = ar.ReadInt();
    if (version >= 300) {
        s.type = ar.ReadInt();
        s.cornerRadius = ar.ReadInt();
    }
    s.labelWidth = ar.ReadInt();
    s.columns = ar.ReadInt();
    s.horzPitch = ar.ReadInt();
    s.labelHeight = ar.ReadInt();
    s.rows = ar.ReadInt();
    s.vertPitch = ar.ReadInt();
    if (version < 110) {
        s.horzPitch = TimesTen(s.horzPitch);
        s.vertPitch = TimesTen(s.vertPitch);
    }

    const auto known = m_library.find(s.name);
    if (version < 300) {
        if (known != m_library.end()) {
            s = *known->second;
        } else {
            s.category = QStringLiteral("Custom");
            s.builtIn = 0;
            s.selectionWidth = s.pageWidth;
            s.selectionHeight = s.pageHeight;
        }
    } else {
        s.builtIn = ar.ReadInt();
        s.selectionWidth = ar.ReadInt();
        s.selectionHeight = ar.ReadInt();
        if (version >= 400) {
            ar >> s.backgroundImage;
            s.backgroundOrientation = ar.ReadInt();
        }
        // A sign never decides which stocks are built in: a stock the library
        // knows keeps its standing, and one it does not is the user's.
        s.builtIn = known != m_library.end() ? known->second->builtIn : 0;
    }
    BringIntoRange(s);

    const QString reason = s.UnusableReason();
    if (!reason.isEmpty()) {
        AppMessageBox(FormatMessageText(Tr(kUnusableSignStockText), {s.name, reason}),
                      MB_OK | MB_ICONEXCLAMATION);
        throw CUserException();
    }

    // A picture the user does not find now stays named: the sign keeps it
    // when it is saved again.
    bool relocated = false;
    s.backgroundImage =
        LocateMissingPicture(ResolvePicturePath(s.backgroundImage), &relocated, true);
    if (relocated)
        App().loadOutcome = 3;

    PutStock(s);
    SelectStock(s.name);
}

void CPaper::WriteXml(CTextExportFile& file) const
{
    const CPaperStock& s = Stock();
    const auto n = [](int value) { return QString::number(value); };
    file.WriteString(QStringLiteral("<paper>\n\n"));
    file.WriteString(QStringLiteral("  <page units=\"TMM\" width=\"%1\" height=\"%2\"/>\n")
                         .arg(n(s.pageWidth), n(s.pageHeight)));
    file.WriteString(QStringLiteral("  <margins units=\"TMM\" left=\"%1\" top=\"%2\"/>\n")
                         .arg(n(s.leftMargin), n(s.topMargin)));
    file.WriteString(
        QStringLiteral("  <sign units=\"TMM\" type=\"%1\" corner-radius=\"%2\" width=\"%3\" "
                       "height=\"%4\"/>\n")
            .arg(n(s.type), n(s.cornerRadius), n(s.labelWidth), n(s.labelHeight)));
    file.WriteString(
        QStringLiteral("  <layout rows=\"%1\" columns=\"%2\"/>\n").arg(n(s.rows), n(s.columns)));
    file.WriteString(QStringLiteral("  <pitch units=\"HMM\" horizontal=\"%1\" vertical=\"%2\"/>\n")
                         .arg(n(s.horzPitch), n(s.vertPitch)));
    file.WriteString(QStringLiteral("\n</paper>\n\n"));
}

CPaper& ThePaper()
{
    return App().Get<CPaper>();
}
