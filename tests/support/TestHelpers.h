// Helpers for driving real windows under test: pumping, waiting on conditions,
// answering message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>
#include <string>

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

// Waits, from another thread, until a dialog that has appeared has finished its
// initialisation; false when its thread never came back to its messages.
bool WaitDialogReady(HWND dialog);

// The button drawn as a dialog's default, which Enter presses (a message box's
// DM_GETDEFID does not follow MB_DEFBUTTON2 everywhere); 0 when none is.
int DrawnDefaultButton(HWND dialog);

// Watches, on a thread of its own, for the next dialog (a message box or any
// #32770 window) of this process whose caption equals `caption`, remembers its
// texts and presses the button `buttonId` (0: presses Enter, the default button).
class DialogAnswerer {
public:
    DialogAnswerer(std::string caption, int buttonId, DWORD timeoutMs = 15000);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Waits (pumping this thread) until the dialog was answered or the time ran out.
    bool WaitAnswered(DWORD timeoutMs = 15000);
    bool Answered() const { return m_answered != 0; }
    // The texts of the dialog's static controls, joined by "\n" (Shift-JIS).
    std::string Text() const { return m_text; }
    // The default button the dialog reported (DM_GETDEFID), 0 when none.
    int DefaultButton() const { return m_defaultButton; }
    HWND Owner() const { return m_owner; }

private:
    static DWORD WINAPI Watch(LPVOID self);
    std::string m_caption;
    int m_buttonId;
    DWORD m_timeoutMs;
    HANDLE m_thread = nullptr;
    volatile LONG m_answered = 0;
    std::string m_text;
    int m_defaultButton = 0;
    HWND m_owner = nullptr;
};

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
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;
    static std::vector<ShellCall>& Calls();
};

// The folder of this test program, with its trailing backslash.
std::string ProgramFolderOfTest();
// Surveys start the built program as their link reader (beside the tests' folder).
void UseProgramAsLinkReader();
// The link readers of this test program that are running now.
int ReadersRunning();
