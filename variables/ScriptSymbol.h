// A name of a macro script: a variable (integer, string or floating) or a
// label.
#pragma once

#include "ScriptToken.h"

#include <QString>

struct CScriptSymbol
{
    // Upper case, with its "$" or "#" suffix; a label without its ":".
    QString m_name;
    QString m_valueText;
    // 37 integer, 39 string, 40 floating point, 58 label.
    int m_type = SCRIPT_TYPE_INTEGER;
    // For a label the index of the statement that follows it.
    int m_intValue = 0;
    double m_floatValue = 0.0;
    // Set while the script only reads the name: the value comes from outside.
    bool m_input = true;
};
