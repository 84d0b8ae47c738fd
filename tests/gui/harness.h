// Drives the editor's real windows under Wine: dialogs made from the program's
// own templates, a message pump for timers and keys, and an answerer that
// finds each modal dialog or message box when it opens, notes what it asked
// and presses the wanted button, so the code under test takes its real path.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A fresh start for every case: no editor key in the registry, default
// settings, no database connection, no windows of earlier cases, nothing queued
// for the answerer. AppInstance is this test program (it carries the resources).
void ResetEditorState();

// Runs the thread's messages for ms milliseconds (timers fire, dialog keys work).
void PumpMessages(int ms);
// Runs messages until done() holds or timeoutMs have passed; returns done().
bool PumpUntil(const std::function<bool()> &done, int timeoutMs);

// Creates dialog templateId of the program's resources modeless and shows it;
// proc NULL gives a procedure that handles nothing. The window is destroyed by
// the next ResetEditorState.
HWND OpenDialog(int templateId, DLGPROC proc = nullptr, LPARAM param = 0);

// The main window from its template, set up by the program's InitMainWindow
// from the settings as they stand, with a procedure that passes the list's
// custom-draw and column-click notifications to the list module and sizes the
// status bar. Sets MainWindow once created; NULL when the creation failed.
HWND OpenMainWindowHost();
// The main window as start-up makes it: the program's own procedure, MainWindow
// set once created; NULL when the creation failed. While it is open the pump
// runs every message through the program's loop step with its accelerators.
HWND OpenMainWindow();

// Holds Ctrl, Shift and Alt down in the thread's key state for the life of the
// guard, as GetKeyState and the accelerators read them.
class HeldKeys {
public:
    HeldKeys(bool ctrl, bool shift, bool alt = false);
    ~HeldKeys();
    HeldKeys(const HeldKeys &) = delete;
    HeldKeys &operator=(const HeldKeys &) = delete;

private:
    BYTE saved_[256] = {};
};

// The logo's three sites and the keys that choose them (Ctrl wins over Alt).
struct LogoSite {
    bool ctrl, alt;
    const char *site;
};
inline constexpr LogoSite kLogoSites[] = {
    {false, false, "https://spots.vorn-award.org/"},
    {true, false, "https://www.vorn-award.org/"},
    {false, true, "https://groups.io/g/vorn-award"},
    {true, true, "https://www.vorn-award.org/"},
};

// Presses key vk (down and up) on the focused control, with Ctrl and Shift held
// as asked, through the program's loop step with its accelerator table.
void PressKey(UINT vk, bool ctrl = false, bool shift = false);

// Whether a quit message has been posted since the last call (the pump notes
// one it meets); the message is taken.
bool TakeQuitPosted();

// Sets the user's short date and time formats for the life of the guard.
class UserFormats {
public:
    UserFormats(const char *shortDate, const char *timeFormat);
    ~UserFormats();
    UserFormats(const UserFormats &) = delete;
    UserFormats &operator=(const UserFormats &) = delete;

private:
    char savedDate_[96] = "";
    char savedTime_[96] = "";
};

// Texts as a user reads them.
std::string WindowTextOf(HWND window);
std::string ControlText(HWND dialog, int id);
std::string StatusPartText(int part);
std::string StatusPartTip(int part);

// A list view's rows as shown, top to bottom, each with the text of every column.
std::vector<std::vector<std::string>> ListRows(HWND list);
// The sort arrow of each header column: 1 up, 2 down, 0 none.
std::vector<int> HeaderArrows(HWND list);
// Clicks the header of a list view's column with the mouse (button down and up
// at its middle), as a user sorts by it.
void ClickColumnHeader(HWND list, int column);

// Where a screenshot of that name goes: in the folder TARN_SHOTS_DIR names, or
// empty when screenshots are off.
std::string ShotPath(const char *name);

// How the answerer ends a dialog.
enum class Press { Button, Enter, Escape, CloseBox };
struct Answer {
    Answer(Press how_, int buttonId_ = 0, std::string shotPath_ = {})
        : how(how_), buttonId(buttonId_), shotPath(std::move(shotPath_)) {}
    Press how;
    int buttonId;                    // for Press::Button
    std::string shotPath;            // when not empty, a screenshot is saved first
    std::string typed;               // typed into a file dialog's file-name field first
};

// A file dialog's answer as a user gives it: text typed into the file-name
// field, then the button pressed (IDOK: Save or Open).
Answer TypeAndPress(std::string text, int buttonId = IDOK);

// What the answerer saw of a dialog before it answered.
struct SeenDialog {
    bool systemBox = false;          // the platform's MessageBox, not the editor's own dialog
    bool unexpected = false;         // no answer was queued; it was closed with Escape
    std::string caption;
    std::string text;
    std::vector<int> buttons;        // visible buttons among 1..7, in id order
    int focusId = 0;                 // the control with the keyboard focus
    bool iconShown = false;
    std::vector<std::pair<int, std::string>> tips;   // control id and text of each tool tip
    // A common file dialog's proposal as it opened: the file-name field, the
    // folder shown, the file types offered and the one selected (0 based).
    bool fileDialog = false;
    std::string fileName;
    std::string folder;
    std::vector<std::string> fileTypes;
    int fileType = -1;
};

// Queues answers for the dialogs that open from now on, one each, in order.
void AnswerModals(std::vector<Answer> answers);
// The dialogs answered since the last call, in order.
std::vector<SeenDialog> TakeSeenModals();

// Tool tips attached to the controls of dialog: control id and text of each tool.
std::vector<std::pair<int, std::string>> ToolTipsOf(HWND dialog);
// The number of tool tip windows owned by dialog.
int ToolTipWindowCount(HWND dialog);

// Points this program's imports of function from dll (e.g. "msvcrt.dll") at
// replacement, so a test can make the platform or the runtime fail or record
// calls; returns what they pointed at before, 0 when there is no such import.
ULONG_PTR ReplaceImport(const char *dll, const char *function, ULONG_PTR replacement);
