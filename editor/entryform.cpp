#include "entryform.h"

#include "msgdialog.h"
#include "resource.h"
#include "settings.h"
#include "strutil.h"

namespace {

// The entries a combo offers: the user's list when it has any, else the defaults.
struct ComboSource {
    const char *entries;   // slots of slotSize characters
    int slotSize;
    int count;
    bool skipEmpty;        // the defaults leave unused slots empty
};

// A stored count is trusted no further than the list's slots.
int Capped(int count, int slots) { return count < slots ? count : slots; }

void FillCombo(HWND dialog, int id, const ComboSource &source, const char *select, const char *tip) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int selected = 0;
    for (int slot = 0, position = 0; slot < source.count; ++slot) {
        const char *entry = source.entries + slot * source.slotSize;
        if (source.skipEmpty && !entry[0]) continue;
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        // The same case rule as the log's own spelling of bands and modes.
        if (select && StrCompareNoCase(entry, select) == 0) selected = position;
        ++position;
    }
    SendMessageA(combo, CB_SETCURSEL, selected, 0);
    if (EditorSettings.UseToolTips) AddToolTip(id, dialog, "", tip);
}

}  // namespace

void FillBandCombo(HWND dialog, const char *select) {
    const ComboSource source = EditorSettings.UserBandCount > 0
        ? ComboSource{&EditorSettings.UserBands[0][0], kUserBandSize,
                      Capped(EditorSettings.UserBandCount, kUserBandSlots), false}
        : ComboSource{&DefaultBands[0][0], kUserBandSize, kUserBandSlots, true};
    FillCombo(dialog, IDC_BAND, source, select, "Select operating band");
}

void FillModeCombo(HWND dialog, const char *select) {
    const ComboSource source = EditorSettings.UserModeCount > 0
        ? ComboSource{&EditorSettings.UserModes[0][0], kUserModeSize,
                      Capped(EditorSettings.UserModeCount, kUserModeSlots), false}
        : ComboSource{&DefaultModes[0][0], kUserModeSize, kUserModeSlots, true};
    FillCombo(dialog, IDC_MODE, source, select, "Select operating mode");
}

void FillMyCallCombo(HWND dialog, const char *select) {
    static const char noCall[kMyCallSize] = "NOCALL";
    const ComboSource source = EditorSettings.MyCallCount > 0
        ? ComboSource{&EditorSettings.MyCall[0][0], kMyCallSize,
                      Capped(EditorSettings.MyCallCount, kMyCallSlots), false}
        : ComboSource{noCall, kMyCallSize, 1, false};
    FillCombo(dialog, IDC_MY_CALL, source, select, "Select your callsign");
}
