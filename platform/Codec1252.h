// Windows-1252, the single-byte encoding of every text stored in files.
#pragma once

#include <QByteArray>
#include <QString>

// Encodes a text; a character that Windows-1252 lacks becomes '?'.
QByteArray ToWindows1252(const QString& text);

// Decodes Windows-1252 bytes. The five unassigned bytes (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the control characters of the same number, so that
// every byte survives a round trip.
QString FromWindows1252(const char* data, qsizetype size);
inline QString FromWindows1252(const QByteArray& bytes)
{
    return FromWindows1252(bytes.constData(), bytes.size());
}

// The byte for one character, or '?' when the encoding lacks it.
char ToWindows1252Char(QChar c);
