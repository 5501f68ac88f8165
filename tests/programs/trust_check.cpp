// trust_check ROOT.der FILE.exe: trusts the root for this user, prints WinVerifyTrust's answer for the file.
#include <windows.h>
#include <softpub.h>
#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    BYTE der[16384];
    DWORD size = 0;
    HANDLE file = argc == 3 ? CreateFileW(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL) : INVALID_HANDLE_VALUE;
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!ReadFile(file, der, sizeof(der), &size, NULL)
        || !CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der, size, CERT_STORE_ADD_REPLACE_EXISTING, NULL))
        return printf("usage: trust_check ROOT.der FILE.exe (error %lu)\n", GetLastError()), 2;
    WINTRUST_FILE_INFO info = { sizeof(info), argv[2], NULL, NULL };
    WINTRUST_DATA data = { sizeof(data), NULL, NULL, WTD_UI_NONE, WTD_REVOKE_NONE, WTD_CHOICE_FILE, { &info } };
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG result = WinVerifyTrust(NULL, &action, &data);
    printf("WinVerifyTrust: 0x%08lx\n", static_cast<unsigned long>(result));
    return result != 0;
}
