// The OLE object element: an object of another program embedded in or
// linked from a sign made on Windows. There is no OLE on this system, so no
// object can be created, shown or edited here. The element keeps its frame
// and draws as a labelled placeholder.
//
// A sign file stores the object's own data right after the element's frame
// in a form of the Windows object libraries, without its length. Reading
// passes over it to where the sign's next record begins and leaves the
// object out of the sign: the element list drops an element read this way
// and tells the user once, and everything else of the sign is read as usual.
#pragma once

#include "Element.h"

#include <QByteArray>
#include <QString>

class COleObject : public CElement
{
    DECLARE_PERSISTENT(COleObject)

public:
    static constexpr int kContextMenu = 315;

    COleObject();
    COleObject(const COleObject& other) = default;
    COleObject& operator=(const COleObject& other) = default;
    ~COleObject() override;

    void Serialize(CArchive& ar) override;

    void BeginCreate(CView* view, int x, int y) override;
    void RecalcPosition(CView* view) override;
    void Draw(CDC* dc, const CRect& clip) override;
    void ApplyTrackRect(CView* view) override;
    BOOL IsHandleEnabled(int handle) const override;
    int GetContextMenuId() const override;
    int GetTypeCode() const override;
    QString GetTypeName() const override;
    void WriteXml(CTextExportFile& file) override;
    BOOL EditObject() override;
    BOOL OpenObject() override;

    // True once the object's own data has been read past rather than read:
    // the element stands for nothing that can be kept.
    bool WasLeftOut() const { return m_leftOut; }

    // How many elements of the list being read follow the one being read;
    // the element list sets it so that a passed-over object knows whether
    // the next element or the rest of the sign follows it.
    static int& ElementsFollowing();

    // Where, from the start of the bytes, the record that follows an
    // object's data begins: the next element's class tag when elements
    // follow, else the sign's part after the element list. -1 when nothing
    // there reads as such a record.
    static qsizetype FindFollowingRecord(QByteArrayView bytes, const CArchive& ar,
                                         int elementsFollowing, int fileVersion);

    // --- fields, in declaration order ---------------------------------------
    BOOL m_notYetPlaced = 1;
    CRect m_position;

private:
    bool m_leftOut = false;
};

// The element copy for the OLE object type code; null for another element.
CElement* CopyOleObjectElement(const CElement& element);
