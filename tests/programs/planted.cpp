// A library that must never run: planted beside the launcher under system libraries' names,
// it leaves NAME.dll.ran beside itself the moment it is loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*)
{
    char path[MAX_PATH + 4] = {};
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameA(self, path, MAX_PATH) < MAX_PATH)
        CloseHandle(CreateFileA(lstrcatA(path, ".ran"), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}
