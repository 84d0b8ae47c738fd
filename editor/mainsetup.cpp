#include "mainsetup.h"

#include <commctrl.h>

#include <cstring>

#include "settings.h"

int InsertLogColumns(HWND listView) {
    for (int i = 0; i < kLogColumnCount; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = EditorSettings.ColumnWidths[i];
        column.pszText = const_cast<char *>(ColumnTitles[i]);
        column.cchTextMax = static_cast<int>(strlen(ColumnTitles[i]));
        column.iSubItem = i;
        if (SendMessageA(listView, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)) == -1)
            return 0;
    }
    return 1;
}
