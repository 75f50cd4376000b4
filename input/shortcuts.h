#pragma once
#include "app/platform.h"

// Keyboard shortcuts of WM_KEYDOWN and WM_SYSKEYDOWN (Alt is not examined).
void HandleShortcutKey(WPARAM key);
void HandleHotkey(WPARAM id);
