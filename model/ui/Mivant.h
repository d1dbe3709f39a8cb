// The rich-text editing control of the "Rich Text Editor" dialog: a
// QTextEdit with a small formatting bar, loaded from and read back as the
// text element's mark-up by our own conversion between the mark-up's tags
// and QTextCharFormat runs (never through QTextEdit's HTML).
//
// The conversion is exposed on its own (MarkupToDocument and
// DocumentToMarkup) so that it can be checked without the control.
#pragma once

#include "Types.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QTextCharFormat;
class QTextDocument;
class QTextEdit;
class QToolButton;

// What unmarked text shows in: the default font and colour.
struct CMarkupDefaults
{
    QString face = QStringLiteral("Arial");
    double points = 12.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    COLORREF colour = 0;
};

// Character-format properties that keep the mark-up's own values, so that a
// relative size ("+50") or a colour as typed comes back as it was written.
enum MarkupProperty : int
{
    MARKUP_FACE = 0x100100,   // QString: the face of a face tag
    MARKUP_SIZE = 0x100101,   // QString: the value of a size tag
    MARKUP_COLOUR = 0x100102, // QString: the value of a colour tag
    MARKUP_SUPER = 0x100103,  // bool: inside a superscript tag
    MARKUP_SUB = 0x100104,    // bool: inside a subscript tag
};

// Fills the document with the mark-up's text, each stretch formatted as the
// tags in effect there say; a non-breaking space becomes U+00A0 and every
// line break a new paragraph.
void MarkupToDocument(const QString& markup, QTextDocument& document,
                      const CMarkupDefaults& defaults);
// The mark-up of the document: tags wherever a stretch's format differs
// from the defaults, properly nested, "&nbsp;" for U+00A0 and LF between
// paragraphs.
QString DocumentToMarkup(const QTextDocument& document, const CMarkupDefaults& defaults);

class CMivant : public QWidget
{
    Q_OBJECT

public:
    explicit CMivant(QWidget* parent = nullptr);

    // Lays the text out for the printer (the name is kept; the editor
    // shows on the screen). Always TRUE.
    BOOL SetPrinter(const QString& deviceName);
    // Size in twentieths of a point; the character set is kept as given.
    void SetDefaultFont(const QString& face, int twentieths, int charSet, BOOL bold, BOOL italic,
                        BOOL underline);
    void SetTextColour(COLORREF colour);
    void SetText(const QString& markup);
    QString GetText() const;
    // Resizes the editing area. Always TRUE.
    BOOL SetSize(int width, int height);

    QTextEdit* Editor() const { return m_edit; }
    const CMarkupDefaults& Defaults() const { return m_defaults; }
    QString PrinterName() const { return m_printer; }

    // The formatting bar's operations on the selection (or on what is typed
    // next): each sets one attribute.
    void ApplyFace(const QString& face);
    void ApplyPoints(double points);
    void ApplyColour(COLORREF colour);
    void ApplyBold(bool on);
    void ApplyItalic(bool on);
    void ApplyUnderline(bool on);
    void ApplySuperscript(bool on);
    void ApplySubscript(bool on);
    // A non-breaking space at the cursor.
    void InsertNbsp();

private:
    void Merge(const QTextCharFormat& format);
    void ShowCursorFormat();
    void Reload();

    QTextEdit* m_edit = nullptr;
    QComboBox* m_face = nullptr;
    QComboBox* m_size = nullptr;
    QToolButton* m_bold = nullptr;
    QToolButton* m_italic = nullptr;
    QToolButton* m_underline = nullptr;
    QToolButton* m_super = nullptr;
    QToolButton* m_sub = nullptr;
    QToolButton* m_colour = nullptr;
    QToolButton* m_nbsp = nullptr;
    CMarkupDefaults m_defaults;
    QString m_printer;
    QString m_markup;
    int m_charSet = 0;
    bool m_showing = false;
};
