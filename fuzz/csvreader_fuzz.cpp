// Feeds arbitrary bytes to the CSV line reader and checks what it hands out.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "csvreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *f = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (!f) return 0;
    size_t consumed = 0;
    while (char *line = CsvReadLine(f)) {
        size_t length = strlen(line);
        consumed += length + 1;
        if (consumed > size + 1) abort();   // more text than the input held
        int count = CsvFieldCount();
        if (count < 0 || (length > 0 && count == 0)) abort();
        size_t fieldBytes = 0;
        for (int i = 0; i < count; ++i) {
            const char *field = CsvGetField(i);
            if (!field) abort();
            fieldBytes += strlen(field);
        }
        if (fieldBytes > length) abort();   // unescaping only ever shortens
        if (CsvGetField(count) || CsvGetField(-1)) abort();
    }
    if (CsvLastReadFailed()) abort();   // a memory stream neither errs nor runs out here
    fclose(f);
    CsvReaderReset();
    return 0;
}
