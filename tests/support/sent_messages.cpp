#include "support/sent_messages.h"

#include <algorithm>

namespace {

HWND watched = nullptr;
std::vector<UINT> seen;

LRESULT CALLBACK RecordSent(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == watched) seen.push_back(sent->message);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

SentMessages::SentMessages(HWND window) {
    watched = window;
    seen.clear();
    hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordSent, nullptr, GetCurrentThreadId());
}

SentMessages::~SentMessages() {
    UnhookWindowsHookEx(hook);
    watched = nullptr;
}

bool SentMessages::Saw(UINT message) const { return std::find(seen.begin(), seen.end(), message) != seen.end(); }
