#include "ModelClasses.h"

#include "ArcText.h"
#include "Box.h"
#include "BulletArray.h"
#include "Image.h"
#include "Line.h"
#include "OleObject.h"
#include "Symbol.h"
#include "Table.h"
#include "Text.h"
#include "UndoHistory.h"

void RegisterModelElementClasses()
{
    // Naming the class records here links their classes into every program
    // that registers them, so the factory and the archive find them by name.
    static const CRuntimeClass* const classes[] = {
        RUNTIME_CLASS(CLine),
        RUNTIME_CLASS(CBox),
        RUNTIME_CLASS(CEllipse),
        RUNTIME_CLASS(CText),
        RUNTIME_CLASS(CArcText),
        RUNTIME_CLASS(CSymbol),
        RUNTIME_CLASS(COleObject),
        RUNTIME_CLASS(CImage),
        RUNTIME_CLASS(CBackground),
        RUNTIME_CLASS(CBulletArray),
        RUNTIME_CLASS(CTable),
    };
    (void)classes;

    RegisterElementCopy(TYPE_LINE, &CopyLineElement);
    RegisterElementCopy(TYPE_BOX, &CopyBoxElement);
    // An ellipse is copied as a box and made an ellipse.
    RegisterElementCopy(TYPE_ELLIPSE, &CopyEllipseElement);
    RegisterElementCopy(TYPE_TEXT, &CopyTextElement);
    RegisterElementCopy(TYPE_ARC_TEXT, &CopyArcTextElement);
    RegisterElementCopy(TYPE_SYMBOL, &CopySymbolElement);
    RegisterElementCopy(TYPE_OLE, &CopyOleObjectElement);
    RegisterElementCopy(TYPE_PICTURE, &CopyImageElement);
    RegisterBulletArray();
    CTable::RegisterWithElementList();
}
