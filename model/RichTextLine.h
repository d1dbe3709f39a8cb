// One laid-out line of a text element: its characters, the font runs that
// apply to it and one text segment per run, each segment holding the characters
// of its run and borrowing that run's font record. The line puts the segments
// on a common baseline (super- and subscripts hang from or sit at the bottom
// of the segment before them), turns them with the text and draws each with
// its run's font and colour.
//
// The runs come from CRichText::GetRunsFrom at the line's first character,
// so their starts are relative to the line. The copies share the records
// with the rich text; the line keeps them alive for as long as it lives.
// A line given no runs draws with the application's default text font.
//
// Units: positions and heights in tenths of a millimetre, y down; widths
// from the segments in hundredths, rounded to tenths as (sum + 5) / 10.
#pragma once

#include "Object.h"
#include "RichText.h"
#include "TextBase.h"
#include "Types.h"

#include <QString>

#include <vector>

class CDC;

class CTextLines : public CObject
{
public:
    // Takes the runs, stores the text and cuts it into segments.
    explicit CTextLines(std::vector<CFontRun> runs, const QString& text = QString());
    CTextLines(const CTextLines& other) = default;
    CTextLines& operator=(const CTextLines& other) = default;
    ~CTextLines() override;

    // --- text ----------------------------------------------------------------
    // Cuts the text again: a segment starts at 0 and at every position from 1
    // to length - 1 where a run starts; an empty text has one empty segment with
    // the first run's font.
    void BuildSegments();
    // Returns the length held afterwards. With a single run the one segment
    // takes the text; otherwise the segments are cut again.
    int SetText(const QString& text);
    const QString& GetText() const { return m_text; }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    // Inserts before the position (-1, or past the end: appends). Appending
    // opens a new segment when a run starts at the new last character.
    void InsertChar(QChar c, int position = -1);
    // Keeps characters 0..last (none when last is below 0).
    void Truncate(int last);

    // --- runs and segments ---------------------------------------------------------
    // TRUE when a run starts exactly at the position; *run, when asked, is
    // that run.
    BOOL FindRunAt(int position, const CFontRun** run = nullptr) const;
    const std::vector<CFontRun>& GetRuns() const { return m_runs; }
    int GetSegmentCount() const { return static_cast<int>(m_segments.size()); }
    const CTextBase& GetSegment(int i) const { return m_segments[size_t(i)].text; }
    // Index in the line of the segment's first character.
    int GetSegmentStart(int i) const { return m_segments[size_t(i)].start; }
    // The run the segment is drawn with (run i for segment i as the line cuts them).
    const CFontRun& GetSegmentRun(int i) const { return m_runs[m_segments[size_t(i)].run]; }

    // --- measuring and layout ------------------------------------------------------
    // Width of the first count characters (-1: all), tenths of a millimetre:
    // each segment measured alone (no kerning across a run change).
    int GetWidth(int count = -1) const;
    // The largest cell height plus external leading among the segments' fonts.
    int GetHeight() const;
    // Clockwise degrees the line is turned by: from the first run's font.
    int GetAngle() const;
    // Places the segments from the origin (the top-left of the line's cell
    // before turning): normal segments share the baseline of the segment with the
    // largest font height, a superscript hangs from the top of the segment
    // before it, a subscript sits at its bottom; every segment's place is then
    // turned about the origin by the line's angle.
    void LayOut(CPoint origin);
    CPoint GetOrigin() const { return m_origin; }
    // Each segment with its run's font and colour; the context's font and text
    // colour are put back afterwards.
    void Draw(CDC* dc) const;

private:
    struct Segment
    {
        CTextBase text;
        int start = 0;  // index in the line of its first character
        size_t run = 0; // index in m_runs
    };

    int FindRunIndex(int position) const;
    Segment MakeSegment(const QString& text, size_t run, int start) const;

    CPoint m_origin;
    QString m_text;
    std::vector<CFontRun> m_runs;
    std::vector<Segment> m_segments;
};
