// The bullets or item numbers in front of the paragraphs of a text element.
// The text decides which lines begin a bulleted paragraph and where they
// start; the list makes one short text per item (a bullet character, or a
// number or letter between a prefix and a suffix), sizes its font relative
// to the text, measures the widest item for the text's indent and draws the
// items with its own font and colour.
//
// Units: positions, offset and indent in tenths of a millimetre; the size in
// per cent of the text's font height.
#pragma once

#include "Text.h"

#include <QString>

#include <vector>

enum BulletStyle : int
{
    BULLET_SYMBOL = 0,
    BULLET_DECIMAL = 1,
    BULLET_LOWER_LETTER = 2,
    BULLET_UPPER_LETTER = 3,
    BULLET_LOWER_ROMAN = 4,
    BULLET_UPPER_ROMAN = 5,
};

class CBulletArray : public CTextBullets
{
    DECLARE_PERSISTENT(CBulletArray)

public:
    // The longest prefix or suffix a list keeps: every item repeats them.
    static constexpr int kMaxAffixLength = 255;

    // Font, colour, bullet character, offset and size from the settings for
    // new bullet lists; bullet style, first number 1, no prefix or suffix,
    // no items.
    CBulletArray();
    CBulletArray(const CBulletArray& other) = default;
    CBulletArray& operator=(const CBulletArray& other) = default;
    ~CBulletArray() override;

    // The text of one item without prefix and suffix: the bullet character
    // (style 0), the number in decimal (1), a letter "a" to "z" (2, 3; the
    // number clamped to 1..26) or a roman numeral (4, 5; clamped to 1..99).
    // Styles 3 and 5 in upper case; a style out of range counts as 0.
    static QString FormatItemNumber(qint64 number, int style, BYTE bulletChar);
    QString FormatNumber(qint64 number, int style) const;

    // --- the text element's side --------------------------------------------
    CTextBullets* Clone() const override;
    BOOL Layout(int count, const std::vector<CPoint>* positions, int textHeight) override;
    int GetIndent() const override { return m_indent; }
    void Clear() override;
    void RotateItems(CPoint centre, int degrees) override;
    void DrawItems(CDC* dc) override;
    CBulletSettings GetSettings() const override;
    // Moves every item by the amount.
    void Offset(int dx, int dy);

    void Serialize(CArchive& ar) override;

    // Items laid out last: their texts and where each is drawn.
    const std::vector<QString>& GetItemTexts() const { return m_itemTexts; }
    const std::vector<CPoint>& GetPositions() const { return m_positions; }

    // --- settings, in stored order ----------------------------------------
    int m_style = BULLET_SYMBOL;
    BYTE m_bulletChar = 0;
    QString m_prefix;
    int m_startNumber = 1;
    QString m_suffix;
    int m_offset = 0; // between the bullet column and the text
    int m_size = 100; // bullet font height, per cent of the text's

private:
    int m_count = 0;
    std::vector<CPoint> m_positions;
    BOOL m_recompute = 1;
    std::vector<QString> m_itemTexts;
    int m_indent = 0;
};

// Makes the bullet list known to the text element.
void RegisterBulletArray();
