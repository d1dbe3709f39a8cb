// The programs' command line: the standard switches and a sign to open,
// and "nosplash", which starts without the splash screen.
#pragma once

#include "CommandLineInfo.h"

class CCommandLineInfoEx : public CCommandLineInfo
{
public:
    void ParseParam(const QString& param, bool flag, bool last) override;

protected:
    bool IsSwitchName(const QString& name) const override;
};
