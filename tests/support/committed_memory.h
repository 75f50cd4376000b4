#pragma once
#include <cstddef>

// The process's private committed memory as Windows counts it: every committed page, touched or not.
// Wine's own counters report only the pages touched, so a layer that is freshly allocated, or handed
// on and replaced, would seem to change the process's size.
size_t CommittedPrivateBytes();
