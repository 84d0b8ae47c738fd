// The settings load at start-up: fills EditorSettings from the editor's key
// once, before any window exists.
#pragma once

// Creates the key on the first start. Otherwise deletes the obsolete values,
// reads every setting and writes the missing ones back with their defaults,
// keeps the window on the screen, draws a logo when the stored number names
// none, warns about a missing ADIF editor or a bad locator, sets the home
// position, cuts over-long lists to their slots (warning about callsigns and
// bands) and rewrites ShortCalls and ShortRefs in their cleaned form.
void LoadSettings(void);
