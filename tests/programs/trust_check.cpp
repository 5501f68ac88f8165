// trust_check ROOT.der FILE.exe: trusts the root for this user; exits with WinVerifyTrust's answer for the file (1: no root).
#include <windows.h>
#include <softpub.h>

int wmain(int argc, wchar_t** argv)
{
    BYTE der[16384];
    DWORD size = 0;
    bool trusted = argc == 3 && ReadFile(CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL), der, sizeof(der), &size, NULL)
                   && CertAddEncodedCertificateToSystemStoreW(L"Root", der, size);
    WINTRUST_FILE_INFO info = { sizeof(info), trusted ? argv[2] : NULL, NULL, NULL };
    WINTRUST_DATA data = { sizeof(data), NULL, NULL, WTD_UI_NONE, WTD_REVOKE_NONE, WTD_CHOICE_FILE, { &info } };
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    return trusted ? WinVerifyTrust(NULL, &action, &data) : 1;
}
