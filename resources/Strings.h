// The string table: the numbered texts of messages, captions and prompts
// shared by both programs.
#pragma once

#include <QString>

#include <vector>

// The text of a string-table entry; empty when the table has no such id.
QString LoadStringId(int id);
bool HasStringId(int id);

// Every id in the table, in table order (ascending).
std::vector<int> AllStringIds();
