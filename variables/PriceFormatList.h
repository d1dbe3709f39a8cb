// The program's price formats: the built-in standard format made from the
// user's currency settings, the user's formats kept in the library file
// beside the program (".pff", shared by all signs), and the formats that an
// opened sign brought along.
#pragma once

#include "Object.h"
#include "PriceFormat.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

class CTextExportFile;
class QWidget;

class CPriceFormatList : public CObject
{
    DECLARE_PERSISTENT(CPriceFormatList)

public:
    // Builds the standard format from the system locale.
    CPriceFormatList();
    ~CPriceFormatList() override;
    CPriceFormatList(const CPriceFormatList&) = delete;
    CPriceFormatList& operator=(const CPriceFormatList&) = delete;

    static QString StandardFormatName() { return QStringLiteral("Standard Format"); }

    // The standard format as made from the locale items that the given
    // function answers (numbered as GetLocaleString's): the currency symbol,
    // the monetary separators, and the symbol after the amount when the
    // positive currency mode is 1 or 3.
    static CPriceFormat MakeStandardFormat(const std::function<QString(int item)>& localeString);

    CPriceFormat* GetStandardFormat() const { return m_standard; }
    int GetCount() const { return static_cast<int>(m_formats.size()); }

    // Stores a copy of the record under its name and returns the stored
    // format. A record of an existing name overwrites that format in place,
    // so pointers to it stay good. Null for an empty name, for the standard
    // format's name (the built-in format is never replaced), and when memory
    // runs out (after "Insufficient memory").
    CPriceFormat* AddFormat(const CPriceFormat& format);
    // The format of exactly that name (case counts), or null.
    CPriceFormat* FindFormat(const QString& name) const;
    // Removes and frees a format held by the list. False, with nothing
    // changed, for the standard format and for a record the list does not
    // hold.
    bool DeleteFormat(CPriceFormat* format);

    // The format names in list order; the standard format's only when asked.
    QStringList GetFormatNames(bool includeStandard) const;
    // Empty the control (a combo box or list box) and add the names.
    template <class Control> void FillComboBox(Control* combo, bool includeStandard) const
    {
        FillControl(combo, includeStandard);
    }
    template <class Control> void FillListBox(Control* list, bool includeStandard) const
    {
        FillControl(list, includeStandard);
    }

    // The price format dialogs, installed by the user interface. Each is
    // given a working copy and answers whether the user finished it with
    // Finish or OK. Without them the operations below act as if cancelled.
    struct Dialogs
    {
        std::function<bool(QWidget* parent, CPriceFormat& format)> wizard;
        std::function<bool(QWidget* parent, CPriceFormat& format)> propertySheet;
        // Picks a name from the list (with or without the standard format),
        // starting at the initial name.
        std::function<bool(QWidget* parent, const QString& initialName, bool includeStandard,
                           QString& chosenName)>
            select;
    };
    static Dialogs s_dialogs;

    // The wizard on a copy of the standard format; on Finish the copy is
    // added and the stored format returned.
    CPriceFormat* NewFormat(QWidget* parent);
    // The property sheet on a copy; on OK every field but the name is copied
    // back. True when the user pressed OK.
    bool EditFormat(QWidget* parent, CPriceFormat* format);
    // The chosen format, or null. With the standard format alone no dialog
    // is shown: the standard format is the answer when it may be chosen.
    CPriceFormat* SelectFormat(QWidget* parent, const QString& initialName, bool includeStandard);

    // Whether some price element of the sign refers to a format of that name;
    // installed by the price element. Without it no format counts as used.
    static std::function<bool(const QString& name)> s_isFormatUsed;
    bool IsFormatUsed(const QString& name) const;

    // The library file: the program's file name with ".pff". Loading sets
    // the path; a missing file leaves the standard format alone and shows
    // nothing. Loading stops at damaged data and at a record with an empty
    // name, keeping the records before it. A record named like the standard
    // format is skipped. True when the whole file was read. A file that is
    // there but cannot be read whole (no permission, damaged) is named in
    // one message with the reason, and is then left as it is: SaveLibrary
    // neither rewrites nor removes it in this session.
    bool LoadLibrary();
    // Writes every format but the standard one, or removes the file when
    // there are none. Nothing is written before the library has been loaded
    // (the path is not known and the user's file would be lost), nor after
    // it could not be read whole. When the file cannot be written whole
    // (a full disk) the file error is shown, the old file stays as it was
    // and the answer is false.
    bool SaveLibrary();
    const QString& GetLibraryPath() const { return m_libraryPath; }
    // The library file could not be read whole and is left as it is.
    bool IsLibraryKept() const { return m_libraryKept; }

    // The sign's copy of the formats that its price elements use, standard
    // format excepted. On reading, a format whose name the list holds
    // already keeps the list's settings.
    void Serialize(CArchive& ar) override;

    // The text-export block of one format.
    void WriteXml(CTextExportFile& file, const CPriceFormat& format) const;

private:
    template <class Control> void FillControl(Control* control, bool includeStandard) const
    {
        control->clear();
        for (const QString& name : GetFormatNames(includeStandard))
            control->addItem(name);
    }

    // The record count that starts the library file and the sign's block,
    // checked against the bytes that remain.
    static int ReadRecordCount(CArchive& ar, DWORD version);

    // Keyed by exact name; the order of the map is the order of the library
    // file, the sign and the dialogs' lists.
    std::map<QString, std::unique_ptr<CPriceFormat>> m_formats;
    CPriceFormat* m_standard = nullptr;
    QString m_libraryPath;
    bool m_libraryKept = false;
};

// The program's price format list.
CPriceFormatList& ThePriceFormatList();
