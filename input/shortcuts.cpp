#include "input/shortcuts.h"
// PLACEHOLDER
void HandleShortcutKey(WPARAM) {}
void HandleHotkey(WPARAM) {}
