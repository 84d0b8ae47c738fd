// The editor's message dialog and tool tips on the real dialog template, answered
// as a user would: a click, Enter, Escape or the close box.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appstate.h"
#include "gui/harness.h"
#include "msgdialog_win.h"
#include "resource.h"
#include "settings.h"

namespace {

class MessageDialog : public ::testing::Test {
protected:
    void SetUp() override { ResetEditorState(); }
    void TearDown() override { ResetEditorState(); }
};

struct FlagsCase {
    UINT flags;
    std::vector<int> buttons;   // visible, in id order
    int focus;
    bool icon;
    Answer answer;
    int result;
};

TEST_F(MessageDialog, ButtonsFocusIconAndAnswerFollowTheFlags) {
    const FlagsCase cases[] = {
        {MB_OK, {IDOK}, IDOK, false, {Press::Enter}, IDOK},
        {MB_OK, {IDOK}, IDOK, false, {Press::Escape}, IDCANCEL},
        {MB_OK | MB_ICONHAND, {IDOK}, IDOK, true, {Press::Button, IDOK}, IDOK},
        {MB_OKCANCEL | MB_ICONASTERISK, {IDOK, IDCANCEL}, IDOK, true, {Press::CloseBox}, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, false, {Press::Enter}, IDCANCEL},
        {MB_OKCANCEL | MB_ICONEXCLAMATION, {IDOK, IDCANCEL}, IDOK, true, {Press::Button, IDOK}, IDOK},
        {MB_YESNOCANCEL | MB_ICONEXCLAMATION, {IDCANCEL, IDYES, IDNO}, IDYES, true, {Press::Button, IDCANCEL},
         IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, {IDCANCEL, IDYES, IDNO}, IDNO, false, {Press::Enter}, IDNO},
        {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDYES, true, {Press::Enter}, IDYES},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, true, {Press::Enter}, IDNO},
        {MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, true, {Press::Button, IDYES}, IDYES},
        // Escape and the close box end with Cancel even where no Cancel button shows.
        {MB_YESNO, {IDYES, IDNO}, IDYES, false, {Press::Escape}, IDCANCEL},
        {MB_ABORTRETRYIGNORE, {}, 0, false, {Press::CloseBox}, IDCANCEL},
    };
    for (const FlagsCase &c : cases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags));
        AnswerModals({c.answer});
        const int result = ShowMessageDialog(nullptr, "Keep the log?", "VORN CSV Log Editor", c.flags);
        EXPECT_EQ(result, c.result);
        const auto seen = TakeSeenModals();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_FALSE(seen[0].systemBox);
        EXPECT_EQ(seen[0].caption, "VORN CSV Log Editor");
        EXPECT_EQ(seen[0].text, "Keep the log?");
        EXPECT_EQ(seen[0].buttons, c.buttons);
        if (c.focus) {
            EXPECT_EQ(seen[0].focusId, c.focus);
        }
        EXPECT_EQ(seen[0].iconShown, c.icon);
    }
}

TEST_F(MessageDialog, ButtonsCarryToolTipsOnlyWhenTheyAreSwitchedOn) {
    using Tips = std::vector<std::pair<int, std::string>>;
    AnswerModals({{Press::Button, IDNO, ShotPath("message_dialog.bmp")}});
    ShowMessageDialog(nullptr, "Save the log?\nIt has unsaved changes.", "VORN CSV Log Editor",
                      MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(TakeSeenModals().at(0).tips, (Tips{{IDCANCEL, "Cancel"}, {IDYES, "Yes"}, {IDNO, "No"}}));

    EditorSettings.UseToolTips = 0;
    AnswerModals({{Press::Button, IDOK}});
    ShowMessageDialog(nullptr, "Done", "VORN CSV Log Editor", MB_OKCANCEL);
    EXPECT_TRUE(TakeSeenModals().at(0).tips.empty());
}

TEST_F(MessageDialog, ADialogWithoutIconAfterOneWithAnIconShowsNone) {
    AnswerModals({{Press::Enter}, {Press::Enter}});
    ShowMessageDialog(nullptr, "First", "VORN CSV Log Editor", MB_OK | MB_ICONEXCLAMATION);
    ShowMessageDialog(nullptr, "Second", "VORN CSV Log Editor", MB_OK);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].iconShown);
    EXPECT_FALSE(seen[1].iconShown);
}

// Asked from inside the outer dialog's loop, as a log-off question would be.
void CALLBACK AskInner(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND outer = FindWindowA("#32770", "Outer");
    AnswerModals({{Press::Enter}});
    EXPECT_EQ(ShowMessageDialog(outer, "Inner", "Inner", MB_OK), IDOK);
    // Back in the outer dialog: its texts and icon are the ones it draws again.
    EXPECT_STREQ(MessageCaption, "Outer");
    EXPECT_STREQ(MessageText, "Keep the log?");
    EXPECT_EQ(MessageIcon, LoadIconA(nullptr, IDI_EXCLAMATION));
    AnswerModals({{Press::Button, IDNO}});
}

TEST_F(MessageDialog, AQuestionAskedDuringAnotherGivesTheOuterOneItsTextsAndIconBack) {
    SetTimer(nullptr, 0, 50, AskInner);
    EXPECT_EQ(ShowMessageDialog(nullptr, "Keep the log?", "Outer", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "Inner");
    EXPECT_FALSE(seen[0].iconShown);
    EXPECT_EQ(seen[1].caption, "Outer");
    EXPECT_TRUE(seen[1].iconShown);
}

HWND probedOwner;
bool ownerEnabledMeanwhile;

void CALLBACK ProbeOwner(HWND, UINT, UINT_PTR, DWORD) {
    if (FindWindowA("#32770", "Modal test")) ownerEnabledMeanwhile = IsWindowEnabled(probedOwner) != FALSE;
}

TEST_F(MessageDialog, IsModalToItsOwner) {
    probedOwner = OpenDialog(IDD_MAIN);
    ASSERT_NE(probedOwner, nullptr);
    ownerEnabledMeanwhile = true;
    AnswerModals({{Press::Enter}});
    // Look at the owner while the dialog runs, from inside its own loop.
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, ProbeOwner);
    EXPECT_EQ(ShowMessageDialog(probedOwner, "Question", "Modal test", MB_YESNO), IDYES);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(probedOwner));
}

TEST_F(MessageDialog, FallsBackToTheSystemBoxWhenTheDialogCannotBeMade) {
    // A module without the template: the question must still be asked, not answered for the user.
    AppInstance = GetModuleHandleA("kernel32.dll");
    AnswerModals({{Press::Button, IDNO}});
    EXPECT_EQ(ShowMessageDialog(nullptr, "Save changes?", "VORN CSV Log Editor", MB_YESNOCANCEL | MB_ICONQUESTION),
              IDNO);
    const auto seen = TakeSeenModals();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].systemBox);
    EXPECT_EQ(seen[0].caption, "VORN CSV Log Editor");
    EXPECT_EQ(seen[0].text, "Save changes?");
    EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
}

TEST_F(MessageDialog, AnswersCancelWhenNoBoxAtAllCanBeShown) {
    // An owner that is no window: neither the dialog nor the system box can be made.
    HWND gone = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(ShowMessageDialog(gone, "Save changes?", "VORN CSV Log Editor", MB_YESNO), IDCANCEL);
    EXPECT_TRUE(TakeSeenModals().empty());
}

class ToolTips : public MessageDialog {};

TEST_F(ToolTips, AreRefusedWithoutDialogTextOrControl) {
    HWND dialog = OpenDialog(IDD_MAIN);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(AddToolTip(0, dialog, nullptr, "tip"), nullptr);
    EXPECT_EQ(AddToolTip(IDC_HIS_CALL, nullptr, nullptr, "tip"), nullptr);
    EXPECT_EQ(AddToolTip(IDC_HIS_CALL, dialog, nullptr, nullptr), nullptr);
    EXPECT_EQ(AddToolTip(4711, dialog, nullptr, "tip"), nullptr);
    EXPECT_EQ(ToolTipWindowCount(dialog), 0);
}

// (Wine's tool tip does not report its title back, so the title is seen only on screen.)
TEST_F(ToolTips, CarryTextAndTimes) {
    EditorSettings.ToolTipDisplayTime = 0x10000 + 2500;   // only the low 16 bits count
    HWND dialog = OpenDialog(IDD_MAIN);
    HWND tip = AddToolTip(IDC_LOG_LIST, dialog, "Log Details", "Details of each QSO made");
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), dialog);
    EXPECT_EQ(ToolTipsOf(dialog), (std::vector<std::pair<int, std::string>>{{IDC_LOG_LIST, "Details of each QSO made"}}));
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 200);
    EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 420);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(ToolTips, OneControlKeepsOneToolTipHoweverOftenItIsAttached) {
    HWND dialog = OpenDialog(IDD_MAIN);
    HWND first = AddToolTip(IDC_BAND, dialog, "", "Select operating band");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(AddToolTip(IDC_BAND, dialog, "", "Select the band"), first);
    EXPECT_EQ(AddToolTip(IDC_BAND, dialog, "", "Select the band"), first);
    ASSERT_NE(AddToolTip(IDC_MODE, dialog, "", "Select operating mode"), nullptr);
    EXPECT_EQ(ToolTipWindowCount(dialog), 2);
    EXPECT_EQ(ToolTipsOf(dialog), (std::vector<std::pair<int, std::string>>{{IDC_BAND, "Select the band"},
                                                                           {IDC_MODE, "Select operating mode"}}));
}

TEST_F(ToolTips, AControlWhoseToolTipIsGoneGetsANewOne) {
    HWND dialog = OpenDialog(IDD_MAIN);
    HWND first = AddToolTip(IDC_BAND, dialog, "", "Select operating band");
    ASSERT_NE(first, nullptr);
    DestroyWindow(first);
    HWND second = AddToolTip(IDC_BAND, dialog, "", "Select the band");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(AddToolTip(IDC_BAND, dialog, "", "Select the band"), second);
    EXPECT_EQ(ToolTipWindowCount(dialog), 1);
    EXPECT_EQ(ToolTipsOf(dialog), (std::vector<std::pair<int, std::string>>{{IDC_BAND, "Select the band"}}));
}

}  // namespace
