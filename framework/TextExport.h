// The template text export: a Windows-1252 text file with CR LF line ends,
// and the one line form that its writers repeat.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

class CTextExportFile
{
public:
    // Writes to a file opened with Open().
    CTextExportFile() = default;
    // Appends to the given buffer instead; open from the start.
    explicit CTextExportFile(QByteArray* buffer) : m_buffer(buffer) {}
    ~CTextExportFile() { Close(); }
    CTextExportFile(const CTextExportFile&) = delete;
    CTextExportFile& operator=(const CTextExportFile&) = delete;

    // Creates or truncates the file; false when it cannot be opened.
    bool Open(const QString& path);
    bool IsOpen() const { return m_buffer != nullptr || m_file.isOpen(); }

    // Writes the text in Windows-1252 ('?' for what it lacks), every "\n"
    // as "\r\n". False when nothing is open or the write fails.
    bool WriteString(const QString& text);

    // Ends the output; false when buffered bytes could not be written.
    bool Close();

private:
    QFile m_file;
    QByteArray* m_buffer = nullptr;
};

// indent spaces, then <key="value"/> and a line feed; the value is passed
// through HtmlEscape.
QString ExportLine(int indent, const char* key, const QString& value);
// The same with a decimal number.
QString ExportLine(int indent, const char* key, int value);
