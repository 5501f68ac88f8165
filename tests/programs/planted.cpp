// A library that must never run: planted beside the launcher under the names of system
// libraries, it leaves NAME.dll.ran beside itself the moment it is loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*)
{
    char path[MAX_PATH + 4];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (reason == DLL_PROCESS_ATTACH && length > 0 && length < MAX_PATH) {
        lstrcpyA(path + length, ".ran");
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    }
    return TRUE;
}
