// Ctrl-C as a request to stop: the first SIGINT sets a flag that the converter polls; a second
// one ends the program at once, as usual.
#pragma once

void InstallInterruptHandler();
bool InterruptRequested();
