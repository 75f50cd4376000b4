#include "app/single_instance.h"

bool ClaimSingleInstance(const wchar_t* name, HANDLE& mutex) {
    mutex = CreateMutexW(nullptr, TRUE, name);
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return true;
    if (mutex) CloseHandle(mutex);
    mutex = nullptr;
    return false;
}
