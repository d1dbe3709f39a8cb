#include "OptionList.h"

#include "AppContext.h"
#include "Helpers.h"
#include "Seams.h"
#include "TextExport.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_PERSISTENT(COptionList, CVariable, 1)

std::function<bool(QWidget*, COptionList&, bool)> COptionList::s_dialog;

namespace {

// A database type id of an older sign in today's numbering.
DWORD ConvertedType(DWORD type, int version, QString& dataSource)
{
    if (version < 250 && type >= 7)
        --type;
    if (version < 260 && type >= 7) {
        if (type <= 10) {
            const qsizetype slash =
                std::max(dataSource.lastIndexOf(u'\\'), dataSource.lastIndexOf(u'/'));
            const QString folder = slash >= 0 ? dataSource.left(slash) : QString();
            dataSource = QStringLiteral("SourceType=DBF;SourceDB=%1;Driver={Microsoft Visual "
                                        "FoxPro Driver}")
                             .arg(folder);
            return 13;
        }
        type -= type <= 14 ? 4 : 3;
    }
    if (version < 320) {
        if (type >= 8 && type <= 11)
            type = 7;
        else if (type >= 12)
            type -= 4;
    }
    return type;
}

void ReadStringArray(CArchive& ar, QStringList& list)
{
    const DWORD count = ar.ReadCount(1);
    list.clear();
    list.reserve(qsizetype(count));
    for (DWORD i = 0; i < count; ++i)
        list.append(ar.ReadString());
}

void WriteStringArray(CArchive& ar, const QStringList& list)
{
    ar.WriteCount(DWORD(list.size()));
    for (const QString& text : list)
        ar << text;
}

} // namespace

// --- the link's block --------------------------------------------------------

bool COptionListLink::operator==(const COptionListLink& o) const
{
    return connected == o.connected && linkKind == o.linkKind && databaseType == o.databaseType &&
           dataSource == o.dataSource && tableName == o.tableName && viewQuery == o.viewQuery &&
           viewName == o.viewName && keyField == o.keyField && textDelimiter == o.textDelimiter &&
           textFileType == o.textFileType && textHeader == o.textHeader &&
           textFields == o.textFields && firstFieldIsCopyQuantity == o.firstFieldIsCopyQuantity &&
           storeCopyQuantity == o.storeCopyQuantity && excelHeader == o.excelHeader &&
           std::memcmp(delimiters, o.delimiters, sizeof delimiters) == 0;
}

void COptionListLink::Serialize(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        ar << connected;
        if (!connected)
            return;
        ar << linkKind << databaseType << dataSource << tableName << viewQuery << viewName
           << keyField;
        if (databaseType == kTextType) {
            ar << textDelimiter << textFileType << textHeader;
            ar << DWORD(textFields.size() / 2);
            for (const QString& text : textFields)
                ar << text;
        }
        ar << firstFieldIsCopyQuantity << storeCopyQuantity << excelHeader;
        ar.Write(delimiters, sizeof delimiters);
        return;
    }
    *this = COptionListLink();
    connected = ar.ReadDWord() != 0 ? 1 : 0;
    if (!connected)
        return;
    linkKind = version >= 105 ? ar.ReadDWord() : 0;
    linkKind = linkKind == 1 ? 1 : 0;
    DWORD type = ar.ReadDWord();
    dataSource = ar.ReadString();
    if (version >= 265 && version <= 299)
        ar.ReadDWord();
    tableName = ar.ReadString();
    if (version >= 310) {
        viewQuery = ar.ReadString();
        viewName = ar.ReadString();
    }
    keyField = ar.ReadString();
    databaseType = ConvertedType(type, version, dataSource);
    if (databaseType == kTextType) {
        textDelimiter = ar.ReadByte();
        textFileType = ar.ReadDWord();
        textHeader = ar.ReadDWord();
        // Each declared column holds two strings of one byte at least.
        const DWORD count = ar.ReadDWord();
        if (qint64(count) * 2 > ar.BytesRemaining())
            throw CArchiveException(CArchiveException::endOfFile, "archive: too many columns");
        for (DWORD i = 0; i < count; ++i) {
            textFields << ar.ReadString();
            textFields << ar.ReadString();
        }
    }
    if (version >= 230)
        firstFieldIsCopyQuantity = ar.ReadDWord();
    if (version >= 330)
        storeCopyQuantity = ar.ReadDWord();
    if (version >= 320)
        excelHeader = ar.ReadDWord();
    if (version >= 263)
        ar.Read(delimiters, sizeof delimiters);
}

void COptionListLink::WriteXml(CTextExportFile& file) const
{
    // The same block as the sign's own database link writes.
    QString text = QStringLiteral("<database>\n\n");
    if (connected) {
        text += QStringLiteral("  <link-type=\"%1\"/>\n").arg(linkKind);
        text += QStringLiteral("  <file-type=\"%1\"/>\n").arg(databaseType);
        text += QStringLiteral("  <file=\"%1\"/>\n").arg(dataSource);
        if (!tableName.isEmpty())
            text += QStringLiteral("  <table=\"%1\"/>\n").arg(HtmlEscape(tableName));
        else
            text += QStringLiteral("  <custom-view=\"%1\"/>\n").arg(viewQuery);
        text += QStringLiteral("  <primary-key=\"%1\"/>\n").arg(HtmlEscape(keyField));
    }
    if (databaseType == kTextType) {
        text += QStringLiteral("\n  <text-schema>\n\n");
        text += QStringLiteral("    <delimiter=\"%1\"/>\n")
                    .arg(HtmlEscape(QString(QChar::fromLatin1(char(textDelimiter)))));
        text += QStringLiteral("    <file-type=\"%1\"/>\n").arg(textFileType);
        text += QStringLiteral("    <header=\"%1\"/>\n").arg(textHeader);
        for (qsizetype i = 0; i + 1 < textFields.size(); i += 2)
            text += QStringLiteral("    <field%1 name=\"%2\" type=\"%3\"/>\n")
                        .arg(i / 2 + 1)
                        .arg(HtmlEscape(textFields[i]), HtmlEscape(textFields[i + 1]));
        text += QStringLiteral("    <first-field-is-copy-quantity=\"%1\"/>\n")
                    .arg(firstFieldIsCopyQuantity);
        text += QStringLiteral("\n  </text-schema>\n");
    }
    if (connected) {
        const auto ch = [](BYTE c) { return HtmlEscape(QString(QChar::fromLatin1(char(c)))); };
        text += QStringLiteral("\n  <SQL>\n\n");
        for (int i = 0; i < 2; ++i) {
            text += QStringLiteral("    <name-delimiter%1=\"%2\"/>\n")
                        .arg(i + 1)
                        .arg(ch(delimiters[i]));
            text += QStringLiteral("    <string-delimiter%1=\"%2\"/>\n")
                        .arg(i + 1)
                        .arg(ch(delimiters[2 + i]));
            text += QStringLiteral("    <date-delimiter%1=\"%2\"/>\n")
                        .arg(i + 1)
                        .arg(ch(delimiters[4 + i]));
        }
        text += QStringLiteral("    <wildcard=\"%1\"/>\n").arg(ch(delimiters[6]));
        text += QStringLiteral("\n  </SQL>\n");
    }
    text += QStringLiteral("\n</database>\n\n");
    file.WriteString(text);
}

// --- the option list ---------------------------------------------------------

COptionList::COptionList() = default;
COptionList::~COptionList() = default;

void COptionList::Serialize(CArchive& ar)
{
    CVariable::Serialize(ar);
    const int version = App().fileVersion;
    if (ar.IsStoring()) {
        WriteStringArray(ar, m_options);
        ar << m_separateData;
        WriteStringArray(ar, m_dataValues);
        m_link.Serialize(ar, version);
        ar << m_selectionField << m_dataField;
        return;
    }
    ReadStringArray(ar, m_options);
    m_separateData = ar.ReadDWord() != 0 ? TRUE : FALSE;
    ReadStringArray(ar, m_dataValues);
    m_link = COptionListLink();
    m_selectionField.clear();
    m_dataField.clear();
    if (version >= 250) {
        m_link.Serialize(ar, version);
        ar >> m_selectionField >> m_dataField;
    }
    m_currentValue.clear();
}

int COptionList::GetTypeCode() const
{
    return VARIABLE_OPTION_LIST;
}

QString COptionList::GetTypeName() const
{
    return QStringLiteral("Option List");
}

BOOL COptionList::DoNewDialog(QWidget* parent)
{
    COptionList working(*this);
    if (!s_dialog || !s_dialog(parent, working, true))
        return FALSE;
    *this = working;
    ResetValue();
    return TRUE;
}

BOOL COptionList::DoEditDialog(QWidget* parent)
{
    COptionList working(*this);
    if (!s_dialog || !s_dialog(parent, working, false))
        return FALSE;
    *this = working;
    ResetValue();
    return TRUE;
}

int COptionList::GetDataSources(std::vector<int>& kinds, QStringList& names)
{
    if (IsLinked()) {
        kinds.push_back(SOURCE_DATABASE);
        names << m_dataField;
    } else {
        kinds.push_back(SOURCE_KEYBOARD);
        names << QString();
    }
    return 1;
}

void COptionList::ReadColumns(QStringList& selections, QStringList& data) const
{
    selections.clear();
    data.clear();
    CDataLinkSeam* link = App().dataLink;
    if (!link)
        return;
    selections = link->GetColumnValues(m_selectionField);
    const QString dataField = m_separateData ? m_dataField : m_selectionField;
    data = dataField == m_selectionField ? selections : link->GetColumnValues(dataField);
}

void COptionList::SetSourceValue(const QString& value, int, const QString&, BOOL)
{
    if (IsLinked()) {
        QStringList selections;
        QStringList data;
        ReadColumns(selections, data);
        const qsizetype at = selections.indexOf(value);
        if (at >= 0 && at < data.size())
            m_currentValue = data[at];
        return;
    }
    const qsizetype at = m_options.indexOf(value);
    if (at >= 0)
        m_currentValue = at < m_dataValues.size() ? m_dataValues[at] : m_options[at];
}

QString COptionList::GetValue()
{
    return m_currentValue;
}

void COptionList::ResetValue()
{
    if (IsLinked()) {
        QStringList selections;
        QStringList data;
        ReadColumns(selections, data);
        m_currentValue = data.isEmpty() ? QString() : data.first();
        return;
    }
    m_currentValue = m_dataValues.isEmpty() ? QString() : m_dataValues.first();
}

void COptionList::EndPrintRun() {}

QStringList COptionList::FillOptionCombo() const
{
    if (!IsLinked())
        return m_options;
    QStringList selections;
    QStringList data;
    ReadColumns(selections, data);
    return selections;
}

QString COptionList::OptionForValue() const
{
    if (IsLinked()) {
        QStringList selections;
        QStringList data;
        ReadColumns(selections, data);
        const qsizetype at = data.indexOf(m_currentValue);
        return at >= 0 && at < selections.size() ? selections[at] : QString();
    }
    const qsizetype at = m_dataValues.indexOf(m_currentValue);
    return at >= 0 && at < m_options.size() ? m_options[at] : QString();
}

void COptionList::WriteXml(CTextExportFile& file)
{
    file.WriteString(QStringLiteral("  <option-list>\n\n"));
    CVariable::WriteXml(file);
    const QString line = QStringLiteral("    <option=\"%1\" data=\"%2\"/>\n");
    if (IsLinked()) {
        m_link.WriteXml(file);
        file.WriteString(
            line.arg(m_selectionField, m_separateData ? m_dataField : m_selectionField));
    } else {
        for (qsizetype i = 0; i < m_options.size(); ++i) {
            const QString data =
                m_separateData && i < m_dataValues.size() ? m_dataValues[i] : m_options[i];
            file.WriteString(line.arg(m_options[i], data));
        }
    }
    file.WriteString(QStringLiteral("\n  </option-list>\n\n"));
}
