// Installs the price format dialogs (the wizard, the edit sheet and Select
// Price Format) behind the price format list's operations.
#pragma once

void InstallPriceDialogs();
