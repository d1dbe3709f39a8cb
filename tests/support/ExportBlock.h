// The lines every element writes first in the text export: its name, its
// data source and its data rules, each at its default but the prompt (given
// as the export escapes it) and the padding character.
#pragma once

#include <QByteArray>

inline QByteArray ElementExportBlock(const QByteArray& name, const QByteArray& prompt,
                                     int paddingChar = 0)
{
    return "    <name=\"" + name +
           "\"/>\r\n"
           "    <data-source=\"0\"/>\r\n"
           "    <source-name=\"\"/>\r\n"
           "    <data-entry-index=\"0\"/>\r\n"
           "    <prompt=\"" +
           prompt +
           "\"/>\r\n"
           "    <not-printed=\"0\"/>\r\n"
           "    <database-read-only=\"1\"/>\r\n"
           "    <start-data-only=\"0\"/>\r\n"
           "    <must-enter-data=\"0\"/>\r\n"
           "    <use-sample-data=\"1\"/>\r\n"
           "    <filter-type=\"0\"/>\r\n"
           "    <filter-list=\"\"/>\r\n"
           "    <case-coercion=\"0\"/>\r\n"
           "    <prefix=\"\"/>\r\n"
           "    <suffix=\"\"/>\r\n"
           "    <length-constraint=\"0\"/>\r\n"
           "    <length-limit=\"-1\"/>\r\n"
           "    <truncation=\"0\"/>\r\n"
           "    <padding-mode=\"0\"/>\r\n"
           "    <padding-char=\"" +
           QByteArray::number(paddingChar) +
           "\"/>\r\n"
           "    <native-print=\"0\"/>\r\n";
}
