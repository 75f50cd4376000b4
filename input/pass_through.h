#pragma once

// Pass-through flag and WS_EX_TRANSPARENT always change together, here and nowhere else.
void SetPassThrough(bool on);
// If pass-through is on, switches it off (which repaints the toolbar); otherwise does nothing.
// Callers repaint the toolbar themselves afterwards where their command calls for it.
void LeavePassThrough();
