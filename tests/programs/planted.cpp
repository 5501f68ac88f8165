// Planted beside the launcher under system libraries' names: once loaded, it leaves NAME.dll.ran.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*)
{
    char path[MAX_PATH + 4] = {};
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameA(self, path, MAX_PATH) < MAX_PATH)
        CloseHandle(CreateFileA(lstrcatA(path, ".ran"), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}
