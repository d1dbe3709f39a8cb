// The option list variable: at data entry the user picks one entry of a
// list, and the variable delivers the picked text or a separate data text
// that belongs to it. The list is typed in, or comes from a field of a
// database table.
#pragma once

#include "Variable.h"

#include <QByteArray>
#include <functional>

// The database block that an option list keeps for its own link: the link's
// settings as the sign's database block stores them, kept whole so that a
// sign is written back as it was read.
struct COptionListLink
{
    DWORD connected = 0;
    DWORD linkKind = 0;
    DWORD databaseType = 0;
    QString dataSource;
    QString tableName;
    QString viewQuery;
    QString viewName;
    QString keyField;
    BYTE textDelimiter = 0;
    DWORD textFileType = 0;
    DWORD textHeader = 0;
    QStringList textFields; // name and type name of each declared column
    DWORD firstFieldIsCopyQuantity = 0;
    DWORD storeCopyQuantity = 0;
    DWORD excelHeader = 0;
    BYTE delimiters[7] = {};

    // The text file type's id, whose block holds the declared columns.
    static constexpr DWORD kTextType = 12;

    void Serialize(CArchive& ar, int fileVersion);
    void WriteXml(CTextExportFile& file) const;
    bool operator==(const COptionListLink& other) const;
};

class COptionList : public CVariable
{
    DECLARE_PERSISTENT(COptionList)

public:
    COptionList();
    COptionList(const COptionList&) = default;
    COptionList& operator=(const COptionList&) = default;
    ~COptionList() override;

    static CVariable* Make() { return new COptionList; }

    // After the common record: options, separate data, data values; from
    // file version 250 on the link's block, the selection field and the data
    // field.
    void Serialize(CArchive& ar) override;

    int GetTypeCode() const override;
    QString GetTypeName() const override;
    BOOL DoNewDialog(QWidget* parent) override;
    BOOL DoEditDialog(QWidget* parent) override;
    int GetDataSources(std::vector<int>& kinds, QStringList& names) override;
    void SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                        BOOL refresh) override;
    QString GetValue() override;
    void ResetValue() override;
    void EndPrintRun() override;
    void WriteXml(CTextExportFile& file) override;

    // Whether the list comes from a database table.
    bool IsLinked() const { return m_link.connected != 0; }
    // The options to choose from, in order, and the index of the first.
    QStringList FillOptionCombo() const;
    // The option whose data is the current value; empty when none is.
    QString OptionForValue() const;

    // The pages, installed by the user interface: edit the working copy (as
    // a wizard when isNew) and answer whether the user finished.
    static std::function<bool(QWidget* parent, COptionList& working, bool isNew)> s_dialog;

    QStringList m_options;
    QStringList m_dataValues;
    BOOL m_separateData = 0;
    QString m_currentValue;
    COptionListLink m_link;
    QString m_selectionField;
    QString m_dataField;

private:
    // The selection and data columns of a linked list, read afresh.
    void ReadColumns(QStringList& selections, QStringList& data) const;
};
