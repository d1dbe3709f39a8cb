// An environment variable changed for the life of a test or fixture.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// An environment variable set for the life of the object, then put back as
// it was (set to its old value, or removed). Made with a name only, it keeps
// the variable as it is until Set. Setting TZ also resets the C library's
// idea of local time, on the way in and on the way out.
class CScopedEnv
{
public:
    explicit CScopedEnv(const char* name)
        : m_name(name), m_old(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name))
    {
    }
    CScopedEnv(const char* name, const QByteArray& value) : CScopedEnv(name) { Set(value); }
    ~CScopedEnv()
    {
        if (m_wasSet)
            qputenv(m_name.constData(), m_old);
        else
            qunsetenv(m_name.constData());
        TimeZoneChanged();
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

    void Set(const QByteArray& value)
    {
        qputenv(m_name.constData(), value);
        TimeZoneChanged();
    }

private:
    void TimeZoneChanged() const
    {
        if (m_name == "TZ")
            tzset();
    }

    QByteArray m_name;
    QByteArray m_old;
    bool m_wasSet;
};
