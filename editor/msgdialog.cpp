// The editor's message dialog and the tool tips every dialog attaches to its
// controls: one module, as the dialog's buttons carry tool tips of their own.
#include "msgdialog_win.h"

#include <commctrl.h>

#include <initializer_list>

#include "appstate.h"
#include "resource.h"
#include "settings.h"

// The portable modules ask with these numbers; they must be the platform's.
static_assert(kMessageBoxIconError == MB_ICONERROR && kMessageBoxIconQuestion == MB_ICONQUESTION &&
              kMessageBoxIconWarning == MB_ICONWARNING && kMessageBoxIconWarning == MB_ICONEXCLAMATION &&
              kMessageBoxYesNo == MB_YESNO && kAnswerNo == IDNO);

const char *MessageCaption = nullptr;
const char *MessageText = nullptr;
HICON MessageIcon = nullptr;

int ShowMessageDialog(HWND owner, const char *text, const char *caption, UINT flags) {
    // The dialog is modal, so the caller's texts outlive it: showing them without
    // copies leaves no allocation that could fail and answer for the user.
    // A question may open while another one waits (a log-off during a question):
    // the outer dialog gets its texts and icon back for its repaints.
    const char *outerCaption = MessageCaption, *outerText = MessageText;
    HICON outerIcon = MessageIcon;
    MessageCaption = caption;
    MessageText = text;
    const INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_MESSAGE), owner, MessageDlgProc, static_cast<LPARAM>(flags));
    MessageCaption = outerCaption;
    MessageText = outerText;
    MessageIcon = outerIcon;
    if (result > 0) return static_cast<int>(result);
    // No dialog: ask through the system's box. Callers read anything but their
    // "go ahead" answer as "don't", so when even that fails, answer Cancel.
    const int answer = MessageBoxA(owner, text, caption, flags & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK));
    return answer > 0 ? answer : IDCANCEL;
}

namespace {

void ShowButton(HWND dialog, int id, const char *tip) {
    ShowWindow(GetDlgItem(dialog, id), SW_SHOW);
    if (EditorSettings.UseToolTips) AddToolTip(id, dialog, "", tip);
}

void FocusButton(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

void InitMessageDialog(HWND dialog, UINT flags) {
    if (AppIcon) SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon));
    SetWindowTextA(dialog, MessageCaption);
    SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, MessageText);
    for (int id : {IDCANCEL, IDOK, IDYES, IDNO, IDC_MESSAGE_ICON}) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);

    const bool secondIsDefault = (flags & MB_DEFMASK) == MB_DEFBUTTON2;
    switch (flags & MB_TYPEMASK) {
    case MB_OK:
        ShowButton(dialog, IDOK, "Ok");
        FocusButton(dialog, IDOK);
        break;
    case MB_OKCANCEL:
        ShowButton(dialog, IDOK, "Ok");
        ShowButton(dialog, IDCANCEL, "Cancel");
        FocusButton(dialog, secondIsDefault ? IDCANCEL : IDOK);
        break;
    case MB_YESNOCANCEL:
        ShowButton(dialog, IDYES, "Yes");
        ShowButton(dialog, IDNO, "No");
        ShowButton(dialog, IDCANCEL, "Cancel");
        FocusButton(dialog, secondIsDefault ? IDNO : IDYES);
        break;
    case MB_YESNO:
        ShowButton(dialog, IDYES, "Yes");
        ShowButton(dialog, IDNO, "No");
        FocusButton(dialog, secondIsDefault ? IDNO : IDYES);
        break;
    default:
        break;
    }

    const UINT icon = flags & MB_ICONMASK;
    switch (icon) {
    case MB_ICONHAND: MessageIcon = LoadIconA(nullptr, IDI_HAND); break;
    case MB_ICONQUESTION: MessageIcon = LoadIconA(nullptr, IDI_QUESTION); break;
    case MB_ICONEXCLAMATION: MessageIcon = LoadIconA(nullptr, IDI_EXCLAMATION); break;
    case MB_ICONASTERISK: MessageIcon = LoadIconA(nullptr, IDI_ASTERISK); break;
    default: MessageIcon = nullptr; break;
    }
    if (MessageIcon) {
        ShowWindow(GetDlgItem(dialog, IDC_MESSAGE_ICON), SW_SHOW);
        MessageBeep(icon);
    }
}

}  // namespace

INT_PTR CALLBACK MessageDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitMessageDialog(dialog, static_cast<UINT>(lParam));
        return FALSE;   // the focus is set already
    case WM_DRAWITEM: {
        auto *item = reinterpret_cast<DRAWITEMSTRUCT *>(lParam);
        if (wParam != IDC_MESSAGE_ICON || !MessageIcon) return FALSE;
        DrawIconEx(item->hDC, 0, 0, MessageIcon, 32, 32, 0, nullptr, DI_NORMAL);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL || id == IDYES || id == IDNO) EndDialog(dialog, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

int ShowEditorMessage(const char *text, unsigned flags) { return ShowMessageDialog(MainWindow, text, kProgramName, flags); }

namespace {

// A list view gets its mouse messages relayed by the message loop instead of a
// subclass: under Wine a subclassed list pays several times over for every
// message, which makes rebuilding a long log list take seconds.
bool RelaysMouse(HWND control) {
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, WC_LISTVIEWA) == 0;
}

TOOLINFOA ToolFor(HWND dialog, HWND control, const char *text) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | (RelaysMouse(control) ? 0 : TTF_SUBCLASS);
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.hinst = AppInstance;
    tool.lpszText = const_cast<char *>(text);
    return tool;
}

// The window property by which a control names the tool tip made for it.
constexpr char kToolTipProperty[] = "TarnlogToolTip";

// The tool tip of dialog that already serves control, or NULL. The property is
// checked against the tool tip itself, so a stale one is never taken.
HWND FindToolTip(HWND dialog, HWND control) {
    HWND tip = static_cast<HWND>(GetPropA(control, kToolTipProperty));
    if (!tip || !IsWindow(tip) || GetWindow(tip, GW_OWNER) != dialog) return nullptr;
    TOOLINFOA tool = ToolFor(dialog, control, nullptr);
    return SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)) ? tip : nullptr;
}

}  // namespace

HWND AddToolTip(int controlId, HWND dialog, const char *title, const char *text) {
    if (!dialog || !text || controlId == 0) return nullptr;
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return nullptr;

    // Dialogs refill some controls again and again: each control keeps one tool
    // tip, whose text follows the latest call.
    if (HWND existing = FindToolTip(dialog, control)) {
        TOOLINFOA tool = ToolFor(dialog, control, text);
        if (title) SendMessageA(existing, TTM_SETTITLEA, TTI_NONE, reinterpret_cast<LPARAM>(title));
        SendMessageA(existing, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        return existing;
    }

    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, dialog,
                               nullptr, AppInstance, nullptr);
    if (!tip) return nullptr;
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOA tool = ToolFor(dialog, control, text);
    if (title) SendMessageA(tip, TTM_SETTITLEA, TTI_NONE, reinterpret_cast<LPARAM>(title));
    if (!SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
        DestroyWindow(tip);
        return nullptr;
    }
    SetPropA(control, kToolTipProperty, tip);
    SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 420);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(200, 0));
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(EditorSettings.ToolTipDisplayTime & 0xFFFF, 0));
    return tip;
}

void RelayToolTipMouse(const MSG *msg) {
    if (msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST || !msg->hwnd) return;
    HWND tip = static_cast<HWND>(GetPropA(msg->hwnd, kToolTipProperty));
    if (!tip || !RelaysMouse(msg->hwnd)) return;
    HWND dialog = GetParent(msg->hwnd);
    if (FindToolTip(dialog, msg->hwnd) == tip)
        SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(const_cast<MSG *>(msg)));
}
