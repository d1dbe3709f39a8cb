// Message boxes for string-table texts.
#pragma once

#include "MessageBox.h"
#include "ResourceIds.h"
#include "Strings.h"

#include <QString>
#include <initializer_list>

// Replaces %1 ... %9 in one pass; inserted texts are not scanned again.
QString FormatPlaceholders(const QString& text, std::initializer_list<QString> args);

// The same for the text of a message: each inserted text is cut to its start
// and end (ElideMiddle), so that a name read from a file cannot swamp it.
QString FormatMessageText(const QString& text, std::initializer_list<QString> args);

// The string-table text with its placeholders filled.
QString FormatStringId(int id, std::initializer_list<QString> args = {});

// Shows the text of a string-table entry; returns the button pressed.
int AppMessageBoxId(int id, unsigned style = MB_OK, int helpId = 0);

// Shows a string-table text with its placeholders filled, each inserted text
// elided as by FormatMessageText.
int AppMessageBoxIdArgs(int id, std::initializer_list<QString> args, unsigned style = MB_OK);
