// The single-instance check against real named mutexes: one made by an instance like this one, and
// one this process may not open, as an instance running elevated leaves it for a normal start.
#include <gtest/gtest.h>

#include <string>

#include "app/single_instance.h"

namespace {

// A mutex whose security grants nobody any access, so opening it by name is refused.
HANDLE CreateUnopenableMutex(const wchar_t* name) {
    static SECURITY_DESCRIPTOR descriptor;
    static ACL emptyDacl;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&emptyDacl, sizeof(emptyDacl), ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyDacl, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    return CreateMutexW(&attributes, TRUE, name);
}

std::wstring UniqueName(const wchar_t* what) {
    return L"Velquin.Test." + std::wstring(what) + L"." + std::to_wstring(GetCurrentProcessId());
}

TEST(SingleInstance, FirstClaimOwnsTheMutex) {
    const std::wstring name = UniqueName(L"First");
    HANDLE mutex = nullptr;
    ASSERT_TRUE(ClaimSingleInstance(name.c_str(), mutex));
    ASSERT_NE(mutex, nullptr);
    // Owned by this thread: releasing succeeds only for the owner.
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
}

struct HeldCase {
    const char* name;
    HANDLE (*hold)(const wchar_t* name);
};

TEST(SingleInstance, AMutexAlreadyHeldMeansAlreadyRunning) {
    const HeldCase cases[] = {
        {"held by an instance like this one",
         [](const wchar_t* name) { return CreateMutexW(nullptr, TRUE, name); }},
        {"held by an instance this one may not open", CreateUnopenableMutex},
    };
    int n = 0;
    for (const HeldCase& c : cases) {
        const std::wstring name = UniqueName(L"Held") + L"." + std::to_wstring(n++);
        HANDLE first = c.hold(name.c_str());
        ASSERT_NE(first, nullptr) << c.name;
        HANDLE second = reinterpret_cast<HANDLE>(1);
        EXPECT_FALSE(ClaimSingleInstance(name.c_str(), second)) << c.name;
        EXPECT_EQ(second, nullptr) << c.name;
        CloseHandle(first);
    }
}

}  // namespace
