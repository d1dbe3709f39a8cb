// Plugs the printing library's parts of a sign (printer settings, paper and
// page labels) into the sign template's file frame.
#pragma once

void RegisterPrintingSignParts();
