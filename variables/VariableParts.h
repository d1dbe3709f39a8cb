// Plugs the variables library's parts of a sign (price formats and
// variables), and those of the libraries below it, into the sign template's
// file frame.
#pragma once

void RegisterVariableSignParts();
