#include "SystemCallbacks.h"

#include "AppContext.h"
#include "ListCtrlEx.h"
#include "LogFont.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "Seams.h"

#include <QFont>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QRawFont>

#include <algorithm>
#include <new>

QIcon FaceKindIcon(int picture)
{
    // Three 14 x 14 pictures: "T" twice for TrueType, "O" for OpenType
    // PostScript, a plain "a" for other scalable faces.
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    switch (picture) {
    case 0:
        painter.setPen(QColor(0, 0, 128));
        painter.drawText(QRect(0, 0, 10, 12), Qt::AlignCenter, QStringLiteral("T"));
        painter.setPen(QColor(128, 128, 128));
        painter.drawText(QRect(4, 2, 10, 12), Qt::AlignCenter, QStringLiteral("T"));
        break;
    case 2:
        painter.setPen(QColor(0, 96, 0));
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("O"));
        break;
    default:
        painter.setPen(QColor(128, 0, 0));
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("a"));
        break;
    }
    return QIcon(pixmap);
}

QList<QIcon> FaceKindIcons()
{
    return {FaceKindIcon(0), FaceKindIcon(1), FaceKindIcon(2)};
}

int FontFaceListProc(const CFaceVariant& variant, CListCtrlEx* list)
{
    if (!list || variant.kind == CFaceVariant::Raster || variant.face.isEmpty())
        return 1;
    if (const int row = list->FindItemText(variant.face); row >= 0) {
        if (variant.kind != CFaceVariant::TrueType)
            return 1;
        list->DeleteItem(row); // made again below, as TrueType
    }
    DWORD data = variant.data | 0x02; // scalable
    int picture = 1;
    if (variant.kind == CFaceVariant::TrueType)
        picture = 0;
    else if (variant.kind == CFaceVariant::OpenTypePostScript) {
        data |= 0x04 | 0x02;
        picture = 2;
    }
    list->InsertIconItem(picture, variant.face, qint64(data));
    return 1;
}

std::vector<CFaceVariant> EnumerateFaceVariants()
{
    std::vector<CFaceVariant> variants;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family) || family.startsWith(QLatin1Char('@')))
            continue;
        CFaceVariant variant;
        // A family installed from several foundries is listed once, by its
        // own name ("Nimbus Sans [urw]" is "Nimbus Sans").
        QString name = family;
        const qsizetype foundry = name.indexOf(QStringLiteral(" ["));
        if (foundry > 0 && name.endsWith(QLatin1Char(']')))
            name.truncate(foundry);
        variant.face = CLogFont::FitFaceName(name);
        if (!QFontDatabase::isSmoothlyScalable(family)) {
            variant.kind = CFaceVariant::Raster;
        } else {
            // The outlines tell the kind: TrueType glyphs live in "glyf",
            // PostScript ones in "CFF " (or "CFF2").
            QFont font(family);
            font.setPixelSize(32);
            const QRawFont raw = QRawFont::fromFont(font);
            if (!raw.fontTable("glyf").isEmpty())
                variant.kind = CFaceVariant::TrueType;
            else if (!raw.fontTable("CFF ").isEmpty() || !raw.fontTable("CFF2").isEmpty())
                variant.kind = CFaceVariant::OpenTypePostScript;
            else
                variant.kind = CFaceVariant::Device;
        }
        // The metrics' pitch-and-family byte keeps its TrueType bit; the
        // scalable bit is the list's to add.
        variant.data = CLogFont::EnumerateFace(variant.face) & ~DWORD(0x06);
        if (variant.kind == CFaceVariant::TrueType)
            variant.data |= 0x04;
        variants.push_back(variant);
    }
    return variants;
}

void PrepareFaceList(CListCtrlEx* list, QWidget* window)
{
    list->RemoveAll();
    list->SetImageList(FaceKindIcons(), QSize(14, 14));
    list->InsertFullWidthColumn(window ? window : list);
    // The one column keeps the list's width as the list is resized.
    list->horizontalHeader()->setStretchLastSection(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->SetCompactRows();
}

void FillFaceList(CListCtrlEx* list)
{
    if (!list)
        return;
    if (list->columnCount() == 0)
        PrepareFaceList(list);
    list->setRowCount(0);
    const bool sorting = list->isSortingEnabled();
    list->setSortingEnabled(false);
    for (const CFaceVariant& variant : EnumerateFaceVariants())
        FontFaceListProc(variant, list);
    list->sortItems(0, Qt::AscendingOrder);
    list->setSortingEnabled(sorting);
}

int SelectFaceInList(CListCtrlEx* list, const QString& face)
{
    if (!list || face.isEmpty())
        return -1;
    int row = list->FindItemText(face);
    if (row < 0)
        row = list->FindItemText(face, Qt::CaseInsensitive);
    if (row < 0) {
        // A face the printer lacks still shows, first in the list, with the
        // picture its data word tells.
        const DWORD data = CLogFont::EnumerateFace(face);
        list->InsertIconItem((data & 0x04) ? 0 : 1, face, qint64(data));
        row = 0;
    }
    list->SelectItem(row);
    return row;
}

int FontSizeEnumProc(const CFaceVariant& variant, std::vector<int>& heights)
{
    if (variant.weight == 700 || variant.italic)
        return 1;
    try {
        heights.push_back(int(variant.height));
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY); // "Insufficient memory"; the list goes on without it
    }
    return 1;
}

QStringList FaceSizeItems(const CLogFont& font)
{
    QStringList items = font.GetSizeListItems();
    items.removeDuplicates();
    return items;
}

int LoadProgressCallback(int percent, void* /*userData*/)
{
    if (CProgressSeam* progress = App().progress)
        progress->SetPos(std::clamp(percent, 0, 100));
    return 1;
}
