// Opening the help: which HTML Help calls OpenHelpTopic makes, in which order,
// on which path, recorded in place of hhctrl.ocx; and the platform's viewer on
// the help file built beside the test program (which page it shows cannot be read
// back from Wine's viewer without its browser, so the recorder checks the topic).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "appstate.h"
#include "help.h"
#include "support/beside.h"

namespace {

constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kDisplayToc = 0x0001;
constexpr UINT kInitialize = 0x001C;
constexpr DWORD kCookie = 0x5A17;
const HWND kViewer = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x4242));

struct Call {
    HWND caller;
    bool hasFile;
    std::string file;
    UINT command;
    DWORD_PTR data;
};

std::vector<Call> Calls;
bool ViewerOpens = true;

HWND WINAPI RecordHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    Calls.push_back({caller, file != nullptr, file ? file : "", command, data});
    if (command == kInitialize) {
        *reinterpret_cast<DWORD *>(data) = kCookie;
        return NULL;
    }
    return ViewerOpens ? kViewer : NULL;
}

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        lstrcpynA(savedDirectory_, ProgramDirectory, MAX_PATH);
        lstrcpynA(ProgramDirectory, "C:\\Tarnlog Test", MAX_PATH);
        HelpCookie = 0;
        HelpWindow = NULL;
        Calls.clear();
        ViewerOpens = true;
        SetHtmlHelpProc(RecordHtmlHelp);
    }
    void TearDown() override {
        SetHtmlHelpProc(nullptr);
        lstrcpynA(ProgramDirectory, savedDirectory_, MAX_PATH);
        HelpCookie = 0;
        HelpWindow = NULL;
    }

private:
    char savedDirectory_[MAX_PATH] = "";
};

TEST_F(Help, FirstOpeningInitialisesThenShowsThePage) {
    struct Case {
        const char *topic;
        UINT command;
        const char *path;
    } cases[] = {
        {nullptr, kDisplayToc, "C:\\Tarnlog Test\\VORN CSV Log Editor.chm::/start.htm"},
        {kHelpConfigTopic, kDisplayTopic,
         "C:\\Tarnlog Test\\VORN CSV Log Editor.chm::/12_ConfiguringVORNCSVLogEditor.htm"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        HelpCookie = 0;
        HelpWindow = NULL;
        Calls.clear();

        EXPECT_EQ(OpenHelpTopic(NULL, c.topic), 1);

        ASSERT_EQ(Calls.size(), 2u);
        EXPECT_EQ(Calls[0].command, kInitialize);
        EXPECT_FALSE(Calls[0].hasFile);
        EXPECT_EQ(Calls[0].data, reinterpret_cast<DWORD_PTR>(&HelpCookie));
        EXPECT_EQ(Calls[1].command, c.command);
        EXPECT_TRUE(Calls[1].hasFile);
        EXPECT_EQ(Calls[1].file, c.path);
        EXPECT_EQ(Calls[1].data, 0u);
        EXPECT_EQ(HelpCookie, kCookie);
        EXPECT_EQ(HelpWindow, kViewer);
    }
}

TEST_F(Help, LaterOpeningsKeepTheCookieAndDoNotInitialiseAgain) {
    ASSERT_EQ(OpenHelpTopic(NULL, kHelpConfigTopic), 1);
    Calls.clear();
    HelpWindow = NULL;

    EXPECT_EQ(OpenHelpTopic(NULL, nullptr), 1);

    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].command, kDisplayToc);
    EXPECT_EQ(HelpCookie, kCookie);
    EXPECT_EQ(HelpWindow, kViewer);
}

TEST_F(Help, AViewerThatDoesNotOpenIsReportedAndForgotten) {
    HelpWindow = kViewer;
    ViewerOpens = false;

    EXPECT_EQ(OpenHelpTopic(NULL, kHelpConfigTopic), 0);

    EXPECT_EQ(HelpWindow, static_cast<HWND>(NULL));
    EXPECT_EQ(HelpCookie, kCookie);
}

TEST_F(Help, TheLongestProgramFolderGivesThePathInFull) {
    std::string folder = "C:\\" + std::string(MAX_PATH - 4, 'd');
    ASSERT_EQ(folder.size(), 259u);
    lstrcpynA(ProgramDirectory, folder.c_str(), MAX_PATH);

    EXPECT_EQ(OpenHelpTopic(NULL, kHelpConfigTopic), 1);

    ASSERT_EQ(Calls.size(), 2u);
    EXPECT_EQ(Calls[1].file, folder + "\\VORN CSV Log Editor.chm::/12_ConfiguringVORNCSVLogEditor.htm");
    EXPECT_EQ(Calls[1].file.size(), 259u + 61u);
}

// The window asked for, not whichever window of the program is active.
TEST_F(Help, TheViewerBelongsToTheWindowItIsOpenedFor) {
    HWND windows[2];
    for (HWND &window : windows) {
        window = CreateWindowExA(0, "STATIC", "Help owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, NULL,
                                 NULL, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, static_cast<HWND>(NULL));
    }
    SetActiveWindow(windows[1]);
    ASSERT_EQ(GetActiveWindow(), windows[1]);

    EXPECT_EQ(OpenHelpTopic(windows[0], nullptr), 1);

    ASSERT_EQ(Calls.size(), 2u);
    EXPECT_EQ(Calls[0].caller, windows[0]);
    EXPECT_EQ(Calls[1].caller, windows[0]);
    for (HWND window : windows) DestroyWindow(window);
}

// The real HTML Help of the platform on the help file built beside this program.
class RealViewer : public ::testing::Test {
protected:
    void SetUp() override {
        lstrcpynA(savedDirectory_, ProgramDirectory, MAX_PATH);
        SetHtmlHelpProc(nullptr);
        HelpCookie = 0;
        HelpWindow = NULL;
    }
    void TearDown() override {
        if (HelpWindow && IsWindow(HelpWindow)) DestroyWindow(HelpWindow);
        HelpWindow = NULL;
        HelpCookie = 0;
        lstrcpynA(ProgramDirectory, savedDirectory_, MAX_PATH);
    }
    static void UseFolder(const std::string &folder) { lstrcpynA(ProgramDirectory, folder.c_str(), MAX_PATH); }

private:
    char savedDirectory_[MAX_PATH] = "";
};

BOOL CALLBACK FindTree(HWND window, LPARAM found) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, WC_TREEVIEWA) != 0) return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The titles of the top level of the viewer's contents tree.
std::vector<std::string> ContentsTitles(HWND viewer) {
    HWND tree = NULL;
    EnumChildWindows(viewer, FindTree, reinterpret_cast<LPARAM>(&tree));
    std::vector<std::string> titles;
    if (!tree) return titles;
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
        char text[128] = "";
        TVITEMA data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = sizeof text;
        if (TreeView_GetItem(tree, &data)) titles.push_back(text);
    }
    return titles;
}

TEST_F(RealViewer, OpensTheHelpFileBesideTheProgram) {
    std::string folder = Beside("");
    folder.pop_back();
    UseFolder(folder);

    for (const char *topic : {kHelpConfigTopic, static_cast<const char *>(nullptr)}) {
        SCOPED_TRACE(topic ? topic : "contents");
        ASSERT_EQ(OpenHelpTopic(NULL, topic), 1);
        ASSERT_TRUE(IsWindow(HelpWindow));
        EXPECT_TRUE(IsWindowVisible(HelpWindow));
        char name[64] = "", title[128] = "";
        GetClassNameA(HelpWindow, name, sizeof name);
        GetWindowTextA(HelpWindow, title, sizeof title);
        EXPECT_STREQ(name, "HH Parent");
        // The title and the contents come from the compiled file itself.
        EXPECT_STREQ(title, "VORN CSV Log Editor Help");
        std::vector<std::string> titles = ContentsTitles(HelpWindow);
        ASSERT_FALSE(titles.empty());
        EXPECT_EQ(titles.front(), "VORN CSV Log Editor Help");
        EXPECT_NE(std::find(titles.begin(), titles.end(), "Configuring VORN CSV Log Editor"), titles.end());
    }
}

TEST_F(RealViewer, AFolderWithoutTheHelpFileOpensNoViewer) {
    UseFolder("C:\\no such folder");

    EXPECT_EQ(OpenHelpTopic(NULL, kHelpConfigTopic), 0);
    EXPECT_EQ(HelpWindow, static_cast<HWND>(NULL));
    EXPECT_EQ(FindWindowA("HH Parent", nullptr), static_cast<HWND>(NULL));
}

}  // namespace
