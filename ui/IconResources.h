// The program's icons by resource id: IDI_MAIN (16, 32 and 48 pixels) and IDI_TRAY (16 pixels).
#pragma once

#include <QIcon>

// An empty icon for an id the program has no picture for.
QIcon LoadIconResource(int id);
