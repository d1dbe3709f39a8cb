// The faces the programs carry with them ("Tabrel bullets"), for machines
// that have no face of that kind installed.
#pragma once

// Makes the carried faces known to the font database: done once, as soon as
// a GUI application exists, before any face is looked up (the device
// context's face substitution calls it). FALSE while there is no GUI
// application.
bool RegisterShippedFaces();
