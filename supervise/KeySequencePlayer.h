// Plays a short key sequence into the window that has the focus, each key only
// while its guard allows, through a journal playback hook. The platform asks
// the hook for one event at a time (get-next) and moves it on (skip); the
// state is process-wide, as the hook is.
#pragma once
#include <windows.h>
#include <cstdint>

class KeySequencePlayer {
public:
    using Installer = HHOOK (*)(HOOKPROC proc);
    // Asked before each key: may it be typed into the window that has the focus now?
    using Guard = bool (*)();
    static constexpr int kMaxKeys = 10;   // the list ends at the first key code 0

    // Loads the keys and installs the hook, replacing an unfinished sequence.
    // False when the hook cannot be installed (recent systems refuse it).
    // When the guard refuses a key, the sequence ends there, that key untyped.
    static bool Start(const uint16_t* keys, int count, Guard guard = nullptr);
    // Removes an unfinished sequence's hook.
    static void Stop();
    static bool Running() { return s_hook != nullptr; }

    // The hook procedure; the platform calls it, tests call it directly.
    static LRESULT CALLBACK Play(int code, WPARAM wParam, LPARAM lParam);

    // Test seam: installs the hook in place of SetWindowsHookExW; null restores it.
    static void SetInstallerForTest(Installer installer);

private:
    static HHOOK s_hook;
    static uint16_t s_keys[kMaxKeys];
    static int s_position;      // -1: no request seen yet
    static bool s_keyDown;      // the pending event is the key-down of the current key
    static Guard s_guard;
};
