#include "PageLabels.h"

#include "AppContext.h"
#include "Archive.h"
#include "DC.h"
#include "ElementList.h"
#include "FileName.h"
#include "Helpers.h"
#include "Messages.h"
#include "TextExport.h"

#include <QByteArray>

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

IMPLEMENT_PERSISTENT(CPageLabels, CObject, 1)

std::function<std::time_t()> CPageLabels::s_now;

namespace {

constexpr double kDefaultPoints = 9.0;

bool ValidItem(int item)
{
    return item == CPageLabels::HEADER || item == CPageLabels::FOOTER;
}

// The time formatted as strftime does it in the process's locale (the
// user's: the application takes LC_TIME from the environment at start-up).
QString FormatTime(std::time_t when, const QString& format)
{
    if (format.isEmpty())
        return QString();
    std::tm local{};
    if (!localtime_r(&when, &local))
        return QString();
    const QByteArray fmt = format.toLocal8Bit();
    // strftime gives 0 both for a result that does not fit and for an empty
    // one, so the buffer grows a few times and then the result counts as empty.
    for (std::size_t size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        const std::size_t length = std::strftime(buffer.data(), size, fmt.constData(), &local);
        if (length > 0)
            return QString::fromLocal8Bit(buffer.data(), qsizetype(length));
    }
    return QString();
}

// The text between the "<" at open and the next ">"; false when the ">" is
// missing. end is set behind the ">".
bool BracketedText(const QString& text, qsizetype open, QString& inside, qsizetype& end)
{
    if (open >= text.size() || text[open] != QLatin1Char('<'))
        return false;
    const qsizetype close = text.indexOf(QLatin1Char('>'), open + 1);
    if (close < 0)
        return false;
    inside = text.mid(open + 1, close - open - 1);
    end = close + 1;
    return true;
}

// A label is printed when it is switched on and has a format; the dialog
// switches off one without a format, and a sign may still hold one.
bool Printed(const CPageLabelItem& item)
{
    return item.print && !item.format.isEmpty();
}

void CheckLoadedFont(const CLogFont& font)
{
    const LogFontFields& lf = font.GetLogFont();
    const auto inRange = [](LONG v) {
        return v >= -CLogFont::kMaxHeight && v <= CLogFont::kMaxHeight;
    };
    if (!inRange(lf.lfHeight) || !inRange(lf.lfWidth))
        throw CArchiveException(CArchiveException::generic, "archive: page label font size");
}

} // namespace

CPageLabels& ThePageLabels()
{
    return App().Get<CPageLabels>();
}

CPageLabels::CPageLabels()
{
    CLogFont font;
    font.SetHeight(font.PointsToHeight(kDefaultPoints));
    for (CPageLabelItem& item : m_items) {
        item.font = font;
        item.textColour = MakeRGB(0, 0, 0);
    }
}

CPageLabels::~CPageLabels() = default;

// --- codes ---------------------------------------------------------------------------

QString CPageLabels::GetItemText(int item, int part) const
{
    if (!ValidItem(item) || part < 0 || part > 2)
        return QString();
    const QString& format = Item(item).format;

    // Only a colon outside angle brackets separates, so that date and time
    // formats may hold colons.
    qsizetype first = -1;
    qsizetype second = -1;
    bool inBracket = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('<')) {
            inBracket = true;
        } else if (c == QLatin1Char('>')) {
            inBracket = false;
        } else if (c == QLatin1Char(':') && !inBracket) {
            if (first < 0) {
                first = i;
            } else {
                second = i;
                break;
            }
        }
    }

    QString source;
    switch (part) {
    case 0:
        if (first < 0)
            return QString();
        source = format.left(first);
        break;
    case 1:
        if (first < 0)
            return QString();
        source = format.mid(first + 1, (second < 0 ? format.size() : second) - first - 1);
        break;
    default:
        if (second < 0)
            return QString();
        source = format.mid(second + 1);
        break;
    }

    QString result;
    qsizetype pos = 0;
    while (pos < source.size()) {
        if (source[pos] == QLatin1Char('$')) {
            result += ExpandFormat(source, pos);
        } else {
            result += source[pos];
            ++pos;
        }
    }
    return result;
}

QString CPageLabels::ExpandFormat(const QString& text, qsizetype& pos) const
{
    if (pos < 0 || pos >= text.size()) {
        pos = text.size();
        return QString();
    }
    const qsizetype start = pos;
    // Unknown or incomplete: the "$" alone, and what follows is copied.
    const auto plainDollar = [&]() {
        pos = start + 1;
        return QStringLiteral("$");
    };
    if (start + 1 >= text.size())
        return plainDollar();

    const QChar code = text[start + 1].toLower();
    const qsizetype after = start + 2;
    switch (code.unicode()) {
    case 'p':
        pos = after;
        return QString::number(m_pageNumber);
    case 'd':
    case 't': {
        QString format = code == QLatin1Char('d') ? QStringLiteral("%x") : QStringLiteral("%X");
        pos = after;
        if (after < text.size() && text[after] == QLatin1Char('<')) {
            qsizetype end = 0;
            if (!BracketedText(text, after, format, end))
                return plainDollar();
            pos = end;
        }
        return FormatTime(s_now ? s_now() : std::time(nullptr), format);
    }
    case 'f':
        pos = after;
        return CFileName(m_signPath).GetFileTitle(true);
    case 'w':
        pos = after;
        return m_signPath;
    case 'u':
        pos = after;
        return App().currentUserName ? App().currentUserName() : QString();
    case 'e': {
        // "$e<" and at least a name character and the ">".
        if (after >= text.size() || text[after] != QLatin1Char('<') ||
            text.size() - (after + 1) < 2)
            return plainDollar();
        QString name;
        qsizetype end = 0;
        if (!BracketedText(text, after, name, end) || name.isEmpty())
            return plainDollar();
        const CElement* element = TheElementList().FindByName(name);
        if (!element)
            return plainDollar();
        pos = end;
        return element->GetText();
    }
    default:
        return plainDollar();
    }
}

// --- text objects --------------------------------------------------------------------

BOOL CPageLabels::CreateTextItems(int item, COLORREF colour)
{
    if (!ValidItem(item))
        return FALSE;
    DeleteTextItems(item);
    CPageLabelItem& it = Item(item);
    try {
        for (auto& text : it.texts) {
            // The texts borrow the item's font, which lives as long as they do.
            text = std::make_unique<CTextBase>(&it.font);
            text->SetColour(colour);
        }
    } catch (const std::bad_alloc&) {
        DeleteTextItems(item);
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY);
        return FALSE;
    }
    return TRUE;
}

void CPageLabels::DeleteTextItems(int item)
{
    if (!ValidItem(item))
        return;
    for (auto& text : Item(item).texts)
        text.reset();
}

// --- drawing -------------------------------------------------------------------------

void CPageLabels::DrawItems(CDC* dc, const CRect& printableArea)
{
    const qint64 width = printableArea.Width();
    const qint64 height = printableArea.Height();

    const int saved = dc->SaveDC();
    dc->SetTenthsMmMapping();
    dc->SetWindowOrg(-printableArea.left, -printableArea.top);

    for (int i = HEADER; i <= FOOTER; ++i) {
        CPageLabelItem& item = Item(i);
        if (!Printed(item) || (item.asFirstPage && m_pageNumber > 1))
            continue;
        if (!item.texts[0] || !item.texts[1] || !item.texts[2]) {
            if (!CreateTextItems(i, item.textColour))
                continue;
        }

        const qint64 offset = std::clamp(item.offset, -kMaxStoredOffset, kMaxStoredOffset);
        const qint64 y = i == HEADER ? offset : height - offset - item.font.GetHeight();

        dc->SelectFont(item.font.GetDrawingFont());
        dc->SetTextColor(item.textColour);
        for (int part = 0; part < 3; ++part) {
            CTextBase& text = *item.texts[std::size_t(part)];
            text.SetText(GetItemText(i, part));
            text.RecalcKerning(); // the font may have changed since the last page
            const qint64 w = (qint64(text.GetTextWidth()) + 5) / 10;
            qint64 x = 0;
            if (part == 1)
                x = (width - w) / 2;
            else if (part == 2)
                x = width - w;
            text.SetOrigin(int(std::clamp<qint64>(x, INT_MIN / 2, INT_MAX / 2)),
                           int(std::clamp<qint64>(y, INT_MIN / 2, INT_MAX / 2)));
            text.Draw(dc);
        }
    }

    dc->RestoreDC(saved);
}

BOOL CPageLabels::DrawPageLabels(CDC* dc, const CRect& printableArea,
                                 const std::function<BOOL()>& newPage)
{
    if (!dc)
        return FALSE;

    // A first page of its own only for a label that is printed at all: a
    // label switched off, or one with nothing to print, must not cost a blank
    // sheet.
    bool ownFirstPage = false;
    for (const CPageLabelItem& item : m_items)
        ownFirstPage = ownFirstPage || (Printed(item) && item.asFirstPage);
    ownFirstPage = ownFirstPage && m_pageNumber == 1;

    DrawItems(dc, printableArea);
    ++m_pageNumber;
    // Without a way to end the page (nothing is printed page by page) the
    // first page's labels stay where they are.
    if (!ownFirstPage || !newPage)
        return TRUE;
    if (!newPage())
        return FALSE;
    DrawItems(dc, printableArea);
    ++m_pageNumber;
    return TRUE;
}

// --- archive and export --------------------------------------------------------------

void CPageLabels::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        for (CPageLabelItem& item : m_items) {
            ar << DWORD(item.print) << DWORD(item.asFirstPage) << DWORD(item.offset);
            ar << item.format;
            item.font.Serialize(ar);
            ar << DWORD(item.textColour);
        }
        App().StepProgress();
        return;
    }

    // Everything is read before anything changes, so that a damaged sign
    // leaves the labels as they were.
    struct Loaded
    {
        BOOL print = 0;
        BOOL asFirstPage = 0;
        int offset = 0;
        QString format;
        CLogFont font;
        COLORREF colour = 0;
    };
    std::array<Loaded, 2> loaded;
    for (Loaded& l : loaded) {
        l.print = ar.ReadDWord() != 0 ? TRUE : FALSE;
        l.asFirstPage = ar.ReadDWord() != 0 ? TRUE : FALSE;
        l.offset = ar.ReadInt();
        if (l.offset < -kMaxStoredOffset || l.offset > kMaxStoredOffset)
            throw CArchiveException(CArchiveException::generic, "archive: page label offset");
        l.format = ar.ReadString();
        l.font.Serialize(ar);
        CheckLoadedFont(l.font);
        l.colour = ar.ReadDWord();
    }

    for (int i = HEADER; i <= FOOTER; ++i) {
        Loaded& l = loaded[std::size_t(i)];
        CPageLabelItem& item = Item(i);
        DeleteTextItems(i);
        item.print = l.print;
        item.asFirstPage = l.asFirstPage;
        item.offset = l.offset;
        item.format = l.format;
        item.font = l.font;
        item.textColour = l.colour;
        if (item.print)
            CreateTextItems(i, item.textColour);
    }
    App().StepProgress();
}

void CPageLabels::WriteXml(CTextExportFile& file) const
{
    file.WriteString(QStringLiteral("<page-labels>\n\n"));
    for (int i = HEADER; i <= FOOTER; ++i) {
        const CPageLabelItem& item = Item(i);
        const QString tag = i == HEADER ? QStringLiteral("header") : QStringLiteral("footer");
        file.WriteString(QStringLiteral("  <%1>\n\n").arg(tag));
        file.WriteString(QStringLiteral("    <print=\"%1\"/>\n").arg(item.print));
        file.WriteString(QStringLiteral("    <first-page-only=\"%1\"/>\n").arg(item.asFirstPage));
        file.WriteString(
            QStringLiteral("    <offset units=\"TMM\" value=\"%1\"/>\n").arg(item.offset));
        file.WriteString(QStringLiteral("    <format=\"%1\"/>\n").arg(HtmlEscape(item.format)));
        file.WriteString(
            QStringLiteral("    <text-colour=\"%1\"/>\n").arg(ColourToHtml(item.textColour)));
        file.WriteString(QStringLiteral("\n  </%1>\n\n").arg(tag));
    }
    file.WriteString(QStringLiteral("</page-labels>\n\n"));
}
