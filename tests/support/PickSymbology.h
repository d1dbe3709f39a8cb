// The barcode type dialog answered as the user answers it.
#pragma once

#include "ControlById.h"
#include "SelectBarcodeTypeDlg.h"

#include <QListWidget>
#include <QTest>

// Picks a symbology in the open type dialog by clicking its entry, and OK.
inline void PickSymbology(CSelectBarcodeTypeDlg* dlg, int id)
{
    auto* list = Control<QListWidget>(dlg, 1089);
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        if (item->data(Qt::UserRole).toInt() != id)
            continue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(item).center());
        break;
    }
    EXPECT_EQ(dlg->SelectedId(), id);
    dlg->accept();
}
