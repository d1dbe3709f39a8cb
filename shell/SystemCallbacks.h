// Small free functions that the font lists, the picture loader and sorted
// list controls call back. None keeps state of its own.
#pragma once

#include "LogFont.h"
#include "Types.h"

#include <QIcon>
#include <QString>
#include <QStringList>

#include <vector>

class CListCtrlEx;
class QWidget;

// The picture of a face list row: 0 TrueType, 1 other scalable, 2 OpenType
// PostScript.
QIcon FaceKindIcon(int picture);

// The three face kind pictures, in picture number order, for a face list's
// image list.
QList<QIcon> FaceKindIcons();

// Adds the variant's face to a face list: raster faces are left out, a
// face appears once, and a TrueType variant replaces a row another kind of
// variant made before. Each row carries the face's data word (the item
// data) and its picture number (the item image). Always 1: go on.
int FontFaceListProc(const CFaceVariant& variant, CListCtrlEx* list);

// The installed faces, one variant each, as the font enumeration reports
// them (families private to the system left out).
std::vector<CFaceVariant> EnumerateFaceVariants();

// Makes a face list of a report list: one full-width column with no
// caption, the face kind pictures, single selection, one line a row.
void PrepareFaceList(CListCtrlEx* list, QWidget* window = nullptr);

// Fills a face list from the installed faces through FontFaceListProc,
// sorted by name.
void FillFaceList(CListCtrlEx* list);

// Selects a face in a face list (its name compared without regard to case),
// putting a face the list lacks at the top, so that a stored face always
// shows. The row, or -1 for an empty name.
int SelectFaceInList(CListCtrlEx* list, const QString& face);

// The sizes of one face's variants for the font record's list of allowed
// sizes: bold (weight exactly 700) and italic variants are skipped. Always 1.
// Start-up installs it as the font record's size callback.
int FontSizeEnumProc(const CFaceVariant& variant, std::vector<int>& heights);

// The point sizes a size list offers for a font's face: the usual ones for
// a scalable face, else its allowed heights (the sizes FontSizeEnumProc
// kept), each once.
QStringList FaceSizeItems(const CLogFont& font);

// The picture library's progress while it processes a picture: sets the
// progress window, if one shows, to the percentage. Always 1: the library
// goes on. The reading hooks install it for the picture steps.
int LoadProgressCallback(int percent, void* userData);

// Ascending order of item data for sorted lists: below 0, 0 or above 0.
// Compared, not subtracted, so that data far apart cannot overflow.
inline int CompareItemData(long long data1, long long data2, long long /*sortData*/)
{
    return (data1 > data2) - (data1 < data2);
}
