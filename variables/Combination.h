// The combination variable: joins the values of data-linked elements, free
// texts and single characters into one text. The list of pieces becomes a
// one-line macro script, kept in the macro script store under a generated
// name; from then on the variable works as a macro script variable.
#pragma once

#include "MacroScript.h"

#include <QStringList>

#include <functional>
#include <vector>

class CCombination : public CMacroScript
{
    DECLARE_PERSISTENT(CCombination)

public:
    // What an item of the list is.
    enum ItemKind : WORD
    {
        ITEM_ELEMENT = 0,   // the name of a data-linked element
        ITEM_TEXT = 1,      // a free text
        ITEM_CHARACTER = 2, // a character code, 0 to 255
    };

    CCombination();
    CCombination(const CCombination& other);
    CCombination& operator=(const CCombination& other);
    ~CCombination() override;

    static CVariable* Make() { return new CCombination; }

    // The macro script record, then the item kinds (WORD array) and the item
    // texts (string array).
    void Serialize(CArchive& ar) override;

    int GetTypeCode() const override;
    // The variable's own name: a source of the combination kind names the
    // variable, not its generated script.
    QString GetName() const override;
    QString GetTypeName() const override;
    // The "Combination" dialog on a new combination of this variable's name;
    // on OK it is copied here and built. TRUE on OK.
    BOOL DoNewDialog(QWidget* parent) override;
    // The dialog on a copy; on OK it is copied back and built again under its
    // script name. TRUE on OK.
    BOOL DoEditDialog(QWidget* parent) override;

    // The one-line script of the items: "RETURN " and the items joined by
    // " + ". False, with the reason, for an empty list and for a character
    // code that is not a number from 0 to 255.
    bool MakeScriptText(QString& text, QString& reason) const;
    // Makes the script, compiles it and stores it under the script name,
    // taking the first free generated name when the variable has none yet.
    // A script that does not compile, or no free name, is reported and
    // changes nothing: the previous script stays in the store and in use.
    bool Build();

    // "COMB000", "COMB001", ...: the first name the store does not hold, or
    // empty when there is none below the limit.
    static QString FreeScriptName();
    // How the dialog's list shows an item.
    static QString ItemDisplayText(int kind, const QString& text);

    void AddItem(int kind, const QString& text);
    bool RemoveItem(int index);
    int GetItemCountOfList() const { return int(m_itemKinds.size()); }

    // The "Combination" dialog, installed by the user interface: edits the
    // working copy and answers whether the user pressed OK. Without it the
    // dialogs act as if cancelled.
    static std::function<bool(QWidget* parent, CCombination& working)> s_dialog;

    // Parallel arrays: the kind and the text of each item.
    std::vector<WORD> m_itemKinds;
    QStringList m_itemTexts;

protected:
    // A generated name of another sign's script: this sign's text is kept
    // under a fresh generated name, so nothing is asked and nothing of the
    // store is overwritten.
    void ResolveScriptClash(const QString& loadedText) override;
};
