#pragma once
// What reaches a window besides the message a test sends: the default procedure answers many messages
// with 0, as the program's own handlers do, and tells itself apart only by what it sends on (the
// window menu, closing). Records the messages sent to a window on this thread while it lives.
#include <vector>

#include "app/platform.h"

class SentMessages {
public:
    explicit SentMessages(HWND window);
    ~SentMessages();
    bool Saw(UINT message) const;

private:
    HHOOK hook;
};
