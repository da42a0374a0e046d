#include "KeySequencePlayer.h"

#include "Afx.h"

HHOOK KeySequencePlayer::s_hook = nullptr;
uint16_t KeySequencePlayer::s_keys[KeySequencePlayer::kMaxKeys] = {};
int KeySequencePlayer::s_position = -1;
bool KeySequencePlayer::s_keyDown = false;
KeySequencePlayer::Guard KeySequencePlayer::s_guard = nullptr;

namespace {
HHOOK InstallJournalPlayback(HOOKPROC proc)
{
    return SetWindowsHookExW(WH_JOURNALPLAYBACK, proc, AfxGetInstanceHandle(), 0);
}

KeySequencePlayer::Installer g_installer = InstallJournalPlayback;
}

void KeySequencePlayer::SetInstallerForTest(Installer installer)
{
    g_installer = installer ? installer : InstallJournalPlayback;
}

bool KeySequencePlayer::Start(const uint16_t* keys, int count, Guard guard)
{
    Stop();
    s_guard = guard;
    for (int i = 0; i < kMaxKeys; ++i)
        s_keys[i] = (i < count && i < kMaxKeys - 1) ? keys[i] : 0;
    s_position = -1;
    s_keyDown = false;
    s_hook = g_installer(Play);
    return s_hook != nullptr;
}

void KeySequencePlayer::Stop()
{
    if (s_hook)
        UnhookWindowsHookEx(s_hook);
    s_hook = nullptr;
}

LRESULT CALLBACK KeySequencePlayer::Play(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(s_hook, code, wParam, lParam);
    if (code != HC_GETNEXT && code != HC_SKIP)
        return 0;
    if (s_position < 0) {
        s_position = 0;
        s_keyDown = true;
        if (code == HC_SKIP)
            return 0;
    }
    if (code == HC_GETNEXT) {
        auto* event = reinterpret_cast<EVENTMSG*>(lParam);
        // A key typed into another program's window could do anything there:
        // the rest of the sequence is dropped, and the event asked for now carries no key.
        const bool refused = s_keyDown && s_guard && !s_guard();
        if (refused) {
            s_keys[s_position] = 0;
            s_keyDown = false;
        }
        if (event) {
            UINT key = s_keys[s_position];
            event->message = s_keyDown ? WM_KEYDOWN : WM_KEYUP;
            event->paramL = key;
            event->paramH = MapVirtualKeyW(key, 0);
            event->time = GetTickCount();
            event->hwnd = nullptr;
        }
        if (refused)
            Stop();
        return 0;
    }
    if (s_keyDown) {
        s_keyDown = false;
    } else {
        ++s_position;
        s_keyDown = true;
        if (s_position >= kMaxKeys || s_keys[s_position] == 0) {
            s_position = kMaxKeys - 1;   // keep later stray requests inside the list
            Stop();
        }
    }
    return 0;
}
