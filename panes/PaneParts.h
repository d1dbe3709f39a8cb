// Registers the property panes with the main frame's pane switch.
#pragma once

void RegisterPanes();
