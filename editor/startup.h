// Program start-up.
#pragma once

// Gives the two list text colours the system's window-text colour. Runs during
// static initialisation, so LoadSettings finds these defaults to keep or write.
void InitDefaultTextColours(void);
