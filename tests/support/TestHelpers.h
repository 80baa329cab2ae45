// Helpers for driving real windows under test: pumping, waiting on conditions,
// answering dialogs, starting programs.
#pragma once
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/WinApp.h"
#include "support/Seam.h"

// Dispatches every pending message the way the modal loop does (through the
// PreTranslateMessage chain). Returns FALSE when a WM_QUIT was taken.
bool PumpPending();

// Pumps until the condition holds or the time runs out; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// Posts a key press (down and up) to a window and pumps it through. With ctrl,
// the thread's keyboard state holds Ctrl down meanwhile, as accelerators look at it.
void PressKey(HWND target, UINT key, bool alt = false, bool ctrl = false);

// Reads a menu item's state by command.
UINT MenuState(HMENU menu, UINT command);

// The UTF-8 text of a Shift-JIS byte string, for readable failure messages.
std::string Utf8(const std::string& sjis);

std::string WindowText(HWND window);

// Waits, from another thread, until a dialog that has appeared has finished its
// initialisation; false when its thread never came back to its messages.
bool WaitDialogReady(HWND dialog);

// The button drawn as a dialog's default, which Enter presses (a message box's
// DM_GETDEFID does not follow MB_DEFBUTTON2 everywhere); 0 when none is.
int DrawnDefaultButton(HWND dialog);

// Watches, on a thread of its own and for as long as it lives, for the dialogs
// (message boxes or any #32770 window) of this process captioned `caption`, or,
// for a system dialog whose caption is the system's, owned by `owner`. Each is
// answered in turn with the next of `buttons` (0: Enter, the default button) or
// handed to `steps` once ready; dialogs beyond them are cancelled and counted,
// so an unexpected dialog fails a test instead of hanging it.
class DialogAnswerer {
public:
    struct Box {
        std::string text;  // its static controls' texts, joined by "\n" (Shift-JIS)
        int defaultButton = 0;
        HWND owner = nullptr;
    };
    using Steps = std::function<void(HWND dialog)>;

    DialogAnswerer(std::string caption, std::vector<int> buttons);
    DialogAnswerer(std::string caption, Steps steps);
    DialogAnswerer(HWND owner, int button);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Waits (pumping this thread) until a dialog was answered or the time ran out.
    bool WaitAnswered(DWORD timeoutMs = 15000);
    bool Answered() const { return !Boxes().empty(); }
    std::vector<Box> Boxes() const;

private:
    static DWORD WINAPI Watch(LPVOID self);
    HWND Find() const;
    std::string m_caption;
    HWND m_owner = nullptr;
    std::vector<int> m_buttons;
    Steps m_steps;
    mutable std::mutex m_mutex;
    std::vector<Box> m_boxes;
    volatile LONG m_stop = 0;
    HANDLE m_thread = nullptr;
};

// Runs `action` while the boxes captioned with the program's name are answered
// in turn with `buttons`, waiting for the first one a while; what they said.
std::vector<DialogAnswerer::Box> Answering(const std::function<void()>& action, std::vector<int> buttons = {IDOK});

// One clipboard format's block as it stands, terminating zero included.
struct ClipboardBlock {
    bool present = false;
    std::string bytes;
};
ClipboardBlock ReadClipboard(UINT format);

// The application name every message box carries as caption.
std::string AppCaption();

// Stands in for the shell while it lives, recording what the program asks it to open.
struct ShellCall {
    HWND owner;
    std::string verb, file;
    bool hasParameters, hasDirectory;
    int show;
};
class ShellRecorder : ScopedSeam<ShellExecuteFunction> {
public:
    ShellRecorder();
    static std::vector<ShellCall>& Calls();
};

// A path of the source tree as Windows (or Wine's Z: drive) sees it.
std::string SourcePath(const std::string& relative);
// The folder of this test program, with its trailing backslash.
std::string ProgramFolderOfTest();
// The built program, one folder above the tests.
std::string BuiltProgram();
// Surveys start the built program as their link reader.
void UseProgramAsLinkReader();
// The link readers of this test program that are running now.
int ReadersRunning();

// A program the test starts; at the end its window is asked to close, and the
// process is ended when it does not.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::string& arguments = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Pumps until the process shows a window whose title holds `title` (any
    // titled window when it is empty); nullptr when it never does.
    HWND WaitForWindow(const std::string& title = "", DWORD timeoutMs = 20000) const;
    bool Ended(DWORD timeoutMs) const;

private:
    PROCESS_INFORMATION m_process = {};
};
