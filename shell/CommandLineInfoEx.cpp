#include "CommandLineInfoEx.h"

namespace {

bool IsNoSplash(const QString& name)
{
    return name.compare(QLatin1String("nosplash"), Qt::CaseInsensitive) == 0;
}

} // namespace

void CCommandLineInfoEx::ParseParam(const QString& param, bool flag, bool last)
{
    CCommandLineInfo::ParseParam(param, flag, last);
    if (flag && IsNoSplash(param))
        showSplash = false;
}

bool CCommandLineInfoEx::IsSwitchName(const QString& name) const
{
    return IsNoSplash(name) || CCommandLineInfo::IsSwitchName(name);
}
