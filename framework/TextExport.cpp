#include "TextExport.h"

#include "Codec1252.h"
#include "Helpers.h"

bool CTextExportFile::Open(const QString& path)
{
    Close();
    m_buffer = nullptr;
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool CTextExportFile::WriteString(const QString& text)
{
    QString lines = text;
    lines.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = ToWindows1252(lines);
    if (m_buffer) {
        m_buffer->append(bytes);
        return true;
    }
    if (!m_file.isOpen())
        return false;
    return m_file.write(bytes) == bytes.size();
}

bool CTextExportFile::Close()
{
    m_buffer = nullptr;
    if (!m_file.isOpen())
        return true;
    const bool flushed = m_file.flush();
    m_file.close();
    return flushed;
}

namespace {

QString LineStart(int indent, const char* key)
{
    return QString(qMax(indent, 0), u' ') + u'<' + QString::fromLatin1(key) + QStringLiteral("=\"");
}

} // namespace

QString ExportLine(int indent, const char* key, const QString& value)
{
    return LineStart(indent, key) + HtmlEscape(value) + QStringLiteral("\"/>\n");
}

QString ExportLine(int indent, const char* key, int value)
{
    return LineStart(indent, key) + QString::number(value) + QStringLiteral("\"/>\n");
}
