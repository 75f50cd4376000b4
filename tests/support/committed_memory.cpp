#include "support/committed_memory.h"

#include "app/platform.h"

size_t CommittedPrivateBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}
