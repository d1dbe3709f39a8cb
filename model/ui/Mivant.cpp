#include "Mivant.h"

#include "LogFont.h"
#include "RichText.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

constexpr QChar kNbsp(0x00A0);

QColor ToQColor(COLORREF c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

COLORREF FromQColor(const QColor& c)
{
    return COLORREF(c.red()) | (COLORREF(c.green()) << 8) | (COLORREF(c.blue()) << 16);
}

bool IsWhite(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// "#RRGGBB", white space allowed after the "#", as the text element reads it.
bool ParseColourValue(const QString& value, COLORREF& colour)
{
    if (!value.startsWith(u'#'))
        return false;
    qsizetype i = 1;
    while (i < value.size() && IsWhite(value[i]))
        ++i;
    int rgb[3] = {0, 0, 0};
    for (int& component : rgb) {
        for (int digit = 0; digit < 2; ++digit, ++i) {
            const int v = i < value.size() ? QChar(value[i]).digitValue() : -1;
            const char16_t u = i < value.size() ? value[i].unicode() : 0;
            int hex = -1;
            if (u >= u'0' && u <= u'9')
                hex = v;
            else if (u >= u'a' && u <= u'f')
                hex = u - u'a' + 10;
            else if (u >= u'A' && u <= u'F')
                hex = u - u'A' + 10;
            if (hex < 0)
                return false;
            component = component * 16 + hex;
        }
    }
    colour = MakeRGB(rgb[0], rgb[1], rgb[2]);
    return true;
}

// The leading number of a size value, as the C library reads it; 0 when
// there is none.
double LeadingNumber(const QString& value)
{
    qsizetype i = 0;
    while (i < value.size() && IsWhite(value[i]))
        ++i;
    qsizetype end = i;
    if (end < value.size() && (value[end] == u'+' || value[end] == u'-'))
        ++end;
    bool dot = false;
    while (end < value.size() && (value[end].isDigit() || (!dot && value[end] == u'.'))) {
        dot = dot || value[end] == u'.';
        ++end;
    }
    bool ok = false;
    const double v = QStringView(value).mid(i, end - i).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

// The points a size value gives: absolute, or a percentage of the default
// size when it begins with a sign.
double SizePoints(const QString& value, double defaultPoints)
{
    const QString trimmed = value.trimmed();
    const double v = LeadingNumber(trimmed);
    double points = v;
    if (trimmed.startsWith(u'+') || trimmed.startsWith(u'-')) {
        const double share = std::abs(v) * defaultPoints / 100.0;
        points = v >= 0 ? defaultPoints + share : defaultPoints - share;
    }
    return std::clamp(points, 1.0, 1600.0);
}

// What the tags in effect at a place say.
struct MarkupState
{
    QString face;
    QString size;
    QString colour;
    COLORREF colourValue = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool super = false;
    bool sub = false;
};

QTextCharFormat FormatOf(const MarkupState& s, const CMarkupDefaults& d)
{
    QTextCharFormat f;
    f.setFontFamilies({s.face.isEmpty() ? d.face : s.face});
    f.setFontPointSize(s.size.isEmpty() ? d.points : SizePoints(s.size, d.points));
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setForeground(ToQColor(s.colourValue));
    f.setProperty(MARKUP_FACE, s.face);
    f.setProperty(MARKUP_SIZE, s.size);
    f.setProperty(MARKUP_COLOUR, s.colour);
    f.setProperty(MARKUP_SUPER, s.super);
    f.setProperty(MARKUP_SUB, s.sub);
    f.setVerticalAlignment(s.super ? QTextCharFormat::AlignSuperScript
                           : s.sub ? QTextCharFormat::AlignSubScript
                                   : QTextCharFormat::AlignNormal);
    return f;
}

MarkupState DefaultState(const CMarkupDefaults& d)
{
    MarkupState s;
    s.colourValue = d.colour;
    s.bold = d.bold;
    s.italic = d.italic;
    s.underline = d.underline;
    return s;
}

QFont DefaultFont(const CMarkupDefaults& d)
{
    QFont font(d.face);
    font.setPointSizeF(d.points);
    font.setWeight(d.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(d.italic);
    font.setUnderline(d.underline);
    return font;
}

// --- writing the mark-up ----------------------------------------------------------

// The attributes a stretch's tags set, in the order tags are opened.
enum Attribute : int
{
    ATTR_FACE,
    ATTR_SIZE,
    ATTR_COLOUR,
    ATTR_BOLD,
    ATTR_ITALIC,
    ATTR_UNDERLINE,
    ATTR_SUPER,
    ATTR_SUB,
    ATTR_COUNT
};

struct OpenTag
{
    int attribute = 0;
    QString value; // the font tags' value; "1" or "0" for the switches
};

// What a stretch needs open: for each attribute, the value, or an empty
// string when no tag is needed.
std::array<QString, ATTR_COUNT> Needs(const QTextCharFormat& f, const CMarkupDefaults& d)
{
    std::array<QString, ATTR_COUNT> needs;
    needs[ATTR_FACE] = f.property(MARKUP_FACE).toString();
    needs[ATTR_SIZE] = f.property(MARKUP_SIZE).toString();
    needs[ATTR_COLOUR] = f.property(MARKUP_COLOUR).toString();
    const auto flag = [](bool on, bool byDefault) {
        return on == byDefault ? QString() : QString(on ? u'1' : u'0');
    };
    needs[ATTR_BOLD] = flag(f.fontWeight() > QFont::Medium, d.bold);
    needs[ATTR_ITALIC] = flag(f.fontItalic(), d.italic);
    needs[ATTR_UNDERLINE] = flag(f.fontUnderline(), d.underline);
    const auto va = f.verticalAlignment();
    needs[ATTR_SUPER] =
        flag(f.property(MARKUP_SUPER).toBool() || va == QTextCharFormat::AlignSuperScript, false);
    needs[ATTR_SUB] =
        flag(f.property(MARKUP_SUB).toBool() || va == QTextCharFormat::AlignSubScript, false);
    return needs;
}

QString TagText(const OpenTag& tag, bool opening)
{
    static constexpr const char* kFontAttribute[] = {"face", "size", "colour"};
    static constexpr const char* kSwitch[] = {"b", "i", "u", "sup", "sub"};
    if (tag.attribute <= ATTR_COLOUR) {
        if (!opening)
            return QStringLiteral("</font>");
        return QStringLiteral("<font %1=\"%2\">")
            .arg(QLatin1StringView(kFontAttribute[tag.attribute]), tag.value);
    }
    // A switch turned on opens with its tag; one turned off (the default
    // has it on) opens with its closing tag.
    const bool on = tag.value == u'1';
    const QLatin1StringView name(kSwitch[tag.attribute - ATTR_BOLD]);
    return (on == opening ? QStringLiteral("<%1>") : QStringLiteral("</%1>")).arg(name);
}

} // namespace

void MarkupToDocument(const QString& markup, QTextDocument& document,
                      const CMarkupDefaults& defaults)
{
    document.clear();
    document.setDefaultFont(DefaultFont(defaults));

    // The model's own parser finds the tags and the plain text.
    CLogFont font;
    QString plain = markup;
    CRichText rich;
    rich.Parse(plain, 0, font, defaults.colour);
    const std::vector<CRichTag>& tags = rich.GetTags();

    QSet<int> nbsp;
    for (const CRichTag& tag : tags) {
        if (tag.BaseKind() == CRichTag::Nbsp)
            nbsp.insert(tag.position);
    }

    const MarkupState initial = DefaultState(defaults);
    MarkupState state = initial;
    std::vector<MarkupState> before(tags.size());
    const auto apply = [&](size_t index) {
        const CRichTag& tag = tags[index];
        const bool opening = tag.IsOpening();
        const BYTE kind = tag.BaseKind();
        const MarkupState* saved = nullptr;
        if (!opening && kind <= CRichTag::Colour && tag.match >= 0 && size_t(tag.match) < index)
            saved = &before[size_t(tag.match)];
        switch (kind) {
        case CRichTag::Face:
        case CRichTag::Size:
            if (opening) {
                before[index] = state;
                (kind == CRichTag::Face ? state.face : state.size) = tag.value;
            } else {
                // A closing font tag puts back the whole font of before.
                const MarkupState& b = saved ? *saved : initial;
                state.face = b.face;
                state.size = b.size;
                state.bold = b.bold;
                state.italic = b.italic;
                state.underline = b.underline;
            }
            break;
        case CRichTag::Colour:
            if (opening) {
                before[index] = state;
                state.colour = tag.value;
                ParseColourValue(tag.value, state.colourValue);
            } else {
                const MarkupState& b = saved ? *saved : initial;
                state.colour = b.colour;
                state.colourValue = b.colourValue;
            }
            break;
        case CRichTag::Bold:
            state.bold = opening;
            break;
        case CRichTag::Italic:
            state.italic = opening;
            break;
        case CRichTag::Underline:
            state.underline = opening;
            break;
        case CRichTag::Superscript:
            state.super = opening;
            break;
        case CRichTag::Subscript:
            state.sub = opening;
            break;
        default:
            break;
        }
    };

    QTextCursor cursor(&document);
    QTextCharFormat format = FormatOf(state, defaults);
    cursor.setBlockCharFormat(format);
    QString chunk;
    const auto flush = [&] {
        if (!chunk.isEmpty())
            cursor.insertText(chunk, format);
        chunk.clear();
    };
    size_t next = 0;
    qint64 count = 0;
    const auto tagsUpTo = [&](qint64 position) {
        bool changed = false;
        while (next < tags.size() && tags[next].position <= position) {
            if (tags[next].BaseKind() != CRichTag::Nbsp) {
                if (!changed)
                    flush();
                changed = true;
                apply(next);
            }
            ++next;
        }
        if (changed)
            format = FormatOf(state, defaults);
    };
    for (qsizetype i = 0; i < plain.size(); ++i) {
        tagsUpTo(count);
        const QChar c = plain[i];
        if (CRichText::IsLineBreak(c)) {
            if (i + 1 < plain.size() && CRichText::IsLineBreak(plain[i + 1]) && plain[i + 1] != c)
                ++i;
            flush();
            cursor.insertBlock(QTextBlockFormat(), format);
        } else {
            chunk += c == u' ' && nbsp.contains(int(count)) ? kNbsp : c;
        }
        ++count;
    }
    flush();
    document.setModified(false);
}

QString DocumentToMarkup(const QTextDocument& document, const CMarkupDefaults& defaults)
{
    QString out;
    std::vector<OpenTag> open;
    const auto closeFrom = [&](size_t depth) {
        while (open.size() > depth) {
            out += TagText(open.back(), false);
            open.pop_back();
        }
    };
    const auto text = [&](const QString& s) {
        for (QChar c : s) {
            if (c == kNbsp)
                out += QStringLiteral("&nbsp;");
            else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
                out += u'\n';
            else
                out += c;
        }
    };

    // A line break is written once the tags that end before it are closed
    // and before those that start after it open.
    int breaks = 0;
    bool firstBlock = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!firstBlock)
            ++breaks;
        firstBlock = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.text().isEmpty())
                continue;
            const auto needs = Needs(fragment.charFormat(), defaults);
            // Keep the open tags from the bottom up while they still hold.
            size_t keep = 0;
            while (keep < open.size() && needs[size_t(open[keep].attribute)] == open[keep].value)
                ++keep;
            closeFrom(keep);
            out += QString(breaks, u'\n');
            breaks = 0;
            for (int a = 0; a < ATTR_COUNT; ++a) {
                if (needs[size_t(a)].isEmpty())
                    continue;
                const bool isOpen = std::any_of(open.begin(), open.end(),
                                                [a](const OpenTag& t) { return t.attribute == a; });
                if (isOpen)
                    continue;
                open.push_back({a, needs[size_t(a)]});
                out += TagText(open.back(), true);
            }
            text(fragment.text());
        }
    }
    closeFrom(0);
    out += QString(breaks, u'\n');
    return out;
}

// --- the control -------------------------------------------------------------------

CMivant::CMivant(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    layout->addLayout(bar);

    m_face = new QComboBox(this);
    m_face->setObjectName(QStringLiteral("face"));
    m_face->addItems(QFontDatabase::families());
    m_face->setEditable(true);
    m_face->setInsertPolicy(QComboBox::NoInsert);
    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("size"));
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    for (int points : {6, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        m_size->addItem(QString::number(points));
    bar->addWidget(m_face, 2);
    bar->addWidget(m_size, 1);

    const auto button = [this, bar](const char* name, const QString& caption, bool checkable) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1StringView(name));
        b->setText(caption);
        b->setCheckable(checkable);
        b->setFocusPolicy(Qt::NoFocus);
        bar->addWidget(b);
        return b;
    };
    m_bold = button("bold", tr("B"), true);
    m_italic = button("italic", tr("I"), true);
    m_underline = button("underline", tr("U"), true);
    m_super = button("superscript", tr("x²"), true);
    m_sub = button("subscript", tr("x₂"), true);
    m_colour = button("colour", tr("Colour..."), false);
    m_nbsp = button("nbsp", tr("Fixed Space"), false);
    m_bold->setShortcut(QKeySequence::Bold);
    m_italic->setShortcut(QKeySequence::Italic);
    m_underline->setShortcut(QKeySequence::Underline);
    m_nbsp->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Space));
    bar->addStretch(1);

    m_edit = new QTextEdit(this);
    m_edit->setObjectName(QStringLiteral("editor"));
    m_edit->setAcceptRichText(false); // pasted text comes as plain characters
    layout->addWidget(m_edit, 1);

    connect(m_bold, &QToolButton::clicked, this, [this](bool on) { ApplyBold(on); });
    connect(m_italic, &QToolButton::clicked, this, [this](bool on) { ApplyItalic(on); });
    connect(m_underline, &QToolButton::clicked, this, [this](bool on) { ApplyUnderline(on); });
    connect(m_super, &QToolButton::clicked, this, [this](bool on) { ApplySuperscript(on); });
    connect(m_sub, &QToolButton::clicked, this, [this](bool on) { ApplySubscript(on); });
    connect(m_nbsp, &QToolButton::clicked, this, [this] { InsertNbsp(); });
    connect(m_colour, &QToolButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(
            m_edit->currentCharFormat().foreground().color(), this, tr("Colour"));
        if (chosen.isValid())
            ApplyColour(FromQColor(chosen));
    });
    connect(m_face, &QComboBox::textActivated, this, [this](const QString& face) {
        if (!m_showing)
            ApplyFace(face);
    });
    const auto sizeChosen = [this](const QString& text) {
        bool ok = false;
        const double points = QLocale::c().toDouble(text.trimmed(), &ok);
        if (!m_showing && ok && points >= 1 && points <= 1600)
            ApplyPoints(points);
    };
    connect(m_size, &QComboBox::textActivated, this, sizeChosen);
    connect(m_size->lineEdit(), &QLineEdit::returnPressed, this,
            [this, sizeChosen] { sizeChosen(m_size->currentText()); });
    connect(m_edit, &QTextEdit::currentCharFormatChanged, this, [this] { ShowCursorFormat(); });
}

BOOL CMivant::SetPrinter(const QString& deviceName)
{
    m_printer = deviceName;
    return TRUE;
}

void CMivant::SetDefaultFont(const QString& face, int twentieths, int charSet, BOOL bold,
                             BOOL italic, BOOL underline)
{
    m_defaults.face = face;
    m_defaults.points = std::max(twentieths, 20) / 20.0;
    m_charSet = charSet;
    m_defaults.bold = bold != 0;
    m_defaults.italic = italic != 0;
    m_defaults.underline = underline != 0;
    Reload();
}

void CMivant::SetTextColour(COLORREF colour)
{
    m_defaults.colour = colour;
    Reload();
}

void CMivant::SetText(const QString& markup)
{
    m_markup = markup;
    Reload();
}

QString CMivant::GetText() const
{
    return DocumentToMarkup(*m_edit->document(), m_defaults);
}

BOOL CMivant::SetSize(int width, int height)
{
    m_edit->setMinimumSize(std::max(width, 0), std::max(height, 0));
    return TRUE;
}

void CMivant::Reload()
{
    // The defaults change how the text shows, not what it says: what the
    // user typed so far is kept.
    if (m_edit->document()->isModified())
        m_markup = DocumentToMarkup(*m_edit->document(), m_defaults);
    MarkupToDocument(m_markup, *m_edit->document(), m_defaults);
    QTextCursor cursor(m_edit->document());
    cursor.movePosition(QTextCursor::Start);
    m_edit->setTextCursor(cursor);
    ShowCursorFormat();
}

void CMivant::Merge(const QTextCharFormat& format)
{
    m_edit->mergeCurrentCharFormat(format);
    m_edit->document()->setModified(true);
    ShowCursorFormat();
}

void CMivant::ApplyFace(const QString& face)
{
    QTextCharFormat f;
    const bool plain = face.compare(m_defaults.face, Qt::CaseInsensitive) == 0;
    f.setFontFamilies({face});
    f.setProperty(MARKUP_FACE, plain ? QString() : CLogFont::FitFaceName(face));
    Merge(f);
}

void CMivant::ApplyPoints(double points)
{
    QTextCharFormat f;
    f.setFontPointSize(points);
    f.setProperty(MARKUP_SIZE, points == m_defaults.points ? QString() : QString::number(points));
    Merge(f);
}

void CMivant::ApplyColour(COLORREF colour)
{
    QTextCharFormat f;
    f.setForeground(ToQColor(colour));
    f.setProperty(MARKUP_COLOUR, colour == m_defaults.colour
                                     ? QString()
                                     : ToQColor(colour).name(QColor::HexRgb).toUpper());
    Merge(f);
}

void CMivant::ApplyBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    Merge(f);
}

void CMivant::ApplyItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    Merge(f);
}

void CMivant::ApplyUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    Merge(f);
}

void CMivant::ApplySuperscript(bool on)
{
    QTextCharFormat f;
    f.setProperty(MARKUP_SUPER, on);
    f.setProperty(MARKUP_SUB, false);
    f.setVerticalAlignment(on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal);
    Merge(f);
}

void CMivant::ApplySubscript(bool on)
{
    QTextCharFormat f;
    f.setProperty(MARKUP_SUB, on);
    f.setProperty(MARKUP_SUPER, false);
    f.setVerticalAlignment(on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal);
    Merge(f);
}

void CMivant::InsertNbsp()
{
    m_edit->textCursor().insertText(QString(kNbsp));
    m_edit->document()->setModified(true);
}

void CMivant::ShowCursorFormat()
{
    m_showing = true;
    const QTextCharFormat f = m_edit->currentCharFormat();
    const QStringList families = f.fontFamilies().toStringList();
    m_face->setEditText(families.isEmpty() ? m_defaults.face : families.first());
    const double points = f.fontPointSize() > 0 ? f.fontPointSize() : m_defaults.points;
    m_size->setEditText(QString::number(points));
    m_bold->setChecked(f.fontWeight() > QFont::Medium);
    m_italic->setChecked(f.fontItalic());
    m_underline->setChecked(f.fontUnderline());
    m_super->setChecked(f.verticalAlignment() == QTextCharFormat::AlignSuperScript);
    m_sub->setChecked(f.verticalAlignment() == QTextCharFormat::AlignSubScript);
    m_showing = false;
}
