// What the tests of the everyday variables share: a fixed clock in UTC, the
// archive record of a variable, and the bytes a record is made of.
#pragma once

#include "Archive.h"
#include "ScopedEnv.h"
#include "TextExport.h"
#include "Variable.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <ostream>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Local time is UTC and names of months and days are English, so that
// texts of dates are the same everywhere; both as they were afterwards.
class CUtcAndCLocale
{
public:
    CUtcAndCLocale()
    {
        if (const char* old = std::setlocale(LC_TIME, nullptr))
            m_oldTimeLocale = old;
        std::setlocale(LC_TIME, "C");
    }
    ~CUtcAndCLocale() { std::setlocale(LC_TIME, m_oldTimeLocale.c_str()); }
    CUtcAndCLocale(const CUtcAndCLocale&) = delete;
    CUtcAndCLocale& operator=(const CUtcAndCLocale&) = delete;

private:
    CScopedEnv m_tz{"TZ", "UTC"};
    std::string m_oldTimeLocale = "C";
};

inline std::time_t UtcTime(int year, int month, int day, int hour = 12, int minute = 0)
{
    return std::time_t(QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc())
                           .toSecsSinceEpoch());
}

// The bytes of a record, built the way the archive lays them out.
class CRecordBytes
{
public:
    CRecordBytes& Int(qint32 v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes.append(char((quint32(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    CRecordBytes& Byte(int v)
    {
        m_bytes.append(char(v));
        return *this;
    }
    CRecordBytes& Double(double v)
    {
        quint64 u = 0;
        std::memcpy(&u, &v, sizeof u);
        for (int i = 0; i < 8; ++i)
            m_bytes.append(char((u >> (8 * i)) & 0xFF));
        return *this;
    }
    // A short string: its length in one byte, then its characters.
    CRecordBytes& Str(const char* s)
    {
        m_bytes.append(char(std::strlen(s)));
        m_bytes.append(s);
        return *this;
    }
    // A count of a list or an array.
    CRecordBytes& Count(int n)
    {
        m_bytes.append(char(n & 0xFF));
        m_bytes.append(char((n >> 8) & 0xFF));
        return *this;
    }
    const QByteArray& Bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

inline QByteArray Stored(CVariable& variable)
{
    QByteArray bytes;
    CArchive ar(&bytes, CArchive::store);
    variable.Serialize(ar);
    ar.Flush();
    return bytes;
}

inline void Load(CVariable& variable, QByteArray bytes)
{
    CArchive ar(&bytes, CArchive::load);
    variable.Serialize(ar);
}

inline QString Exported(CVariable& variable)
{
    QByteArray bytes;
    {
        CTextExportFile file(&bytes);
        variable.WriteXml(file);
    }
    return QString::fromLatin1(bytes);
}
