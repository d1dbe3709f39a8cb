// Puts the variables library's dialogs in place of the variables' dialog
// operations; the program calls it once at start-up.
#pragma once

void InstallVariableDialogs();
