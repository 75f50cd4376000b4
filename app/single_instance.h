#pragma once
#include "app/platform.h"

// Creates the named single-instance mutex, owned by this thread, into `mutex`. False when another
// instance holds it: the mutex exists already, or it exists but this process may not open it (a
// first instance running elevated), which fails with ERROR_ACCESS_DENIED instead. `mutex` is then
// null. A mutex that cannot be made for any other reason does not stop the program.
bool ClaimSingleInstance(const wchar_t* name, HANDLE& mutex);
