#include "PaneParts.h"

void RegisterPanes() {}
