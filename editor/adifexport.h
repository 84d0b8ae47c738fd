// The log as an ADIF 3.0.4 file: the stored fields of every contact, what the
// tokens of its notes say (reports, frequency, name, mode, locators), the band
// from the frequency, default reports by mode, and the locators of the summits
// from the summits database.
#pragma once

// Writes the whole list to path, then opens the file with the configured
// ADIF_Editor, if any. 1 when the whole file was written, else 0; an existing
// file of that name is replaced only by a complete export.
int ExportAdif(const char *path);

// The ADIF band of a frequency in MHz ("20m", "70cm", ...), or the empty text
// outside every band; a new heap text (the caller frees it), NULL when memory
// runs out.
char *FrequencyToBand(float frequency);

// "599" for the modes DV, DATA and RTTY and those beginning with CW or PSK
// (ignoring case), else "59"; a new heap text, NULL when memory runs out.
char *GetDefaultReport(const char *mode);

// The usual frequency of the band a frequency lies in (a second one for FM);
// other values unchanged.
float GetBandDefaultFrequency(float frequency, const char *mode);
