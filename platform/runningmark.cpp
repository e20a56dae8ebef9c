#include "platform/runningmark.h"

#include <windows.h>

void RunningMark::hold()
{
    // Never closed: Windows closes it as the process ends, however it ends.
    CreateMutexW(nullptr, FALSE, L"" BUFREX_APP_ID);
}
