#include "support/client_support.h"

#include <shellapi.h>


const char* const kConfigValueNames[5] = { "Resolution", "WindowMode", "SoundOnOff", "MusicOnOff", "VolumeLevel" };

static bool GetEnvironment(const wchar_t* name, std::wstring* value)
{
    DWORD size = GetEnvironmentVariableW(name, NULL, 0);
    if (size == 0)
        return false;
    std::wstring buffer(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, &buffer[0], size);
    buffer.resize(length < size ? length : 0);
    *value = buffer;
    return true;
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name)
{
    hadValue_ = GetEnvironment(name, &oldValue_);
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name) : name_(name)
{
    hadValue_ = GetEnvironment(name, &oldValue_);
    SetEnvironmentVariableW(name, NULL);
}

ScopedEnvironment::~ScopedEnvironment()
{
    SetEnvironmentVariableW(name_.c_str(), hadValue_ ? oldValue_.c_str() : NULL);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::wstring& folder)
{
    DWORD size = GetCurrentDirectoryW(0, NULL);
    old_.assign(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, &old_[0]);
    old_.resize(length < size ? length : 0);
    moved_ = SetCurrentDirectoryW(folder.c_str()) != FALSE;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory()
{
    if (moved_)
        SetCurrentDirectoryW(old_.c_str());
}

static bool KeyExists(const std::wstring& path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

ScopedMachineRegistryValue::ScopedMachineRegistryValue(const std::wstring& keyPath, const std::wstring& value)
    : keyPath_(keyPath)
{
    // Find the outermost missing key on the way down, to remove exactly that later.
    for (size_t slash = keyPath.find(L'\\'); createdRoot_.empty(); slash = keyPath.find(L'\\', slash + 1)) {
        std::wstring prefix = keyPath.substr(0, slash);
        if (!KeyExists(prefix))
            createdRoot_ = prefix;
        if (slash == std::wstring::npos)
            break;
    }
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, NULL, NULL, &type, NULL, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::wstring old(size / sizeof(wchar_t) + 1, L'\0');
        size = (DWORD)(old.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key, NULL, NULL, &type, (BYTE*)&old[0], &size) == ERROR_SUCCESS) {
            old.resize(wcsnlen(old.c_str(), old.size()));
            oldValue_ = old;
            hadValue_ = true;
        }
    }
    ok_ = RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)value.c_str(),
                         (DWORD)((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
}

ScopedMachineRegistryValue::~ScopedMachineRegistryValue()
{
    if (!createdRoot_.empty()) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, createdRoot_.c_str());
        return;
    }
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)oldValue_.c_str(),
                       (DWORD)((oldValue_.size() + 1) * sizeof(wchar_t)));
    else
        RegDeleteValueW(key, NULL);
    RegCloseKey(key);
}

UrlHandlerRegistration::UrlHandlerRegistration(const std::wstring& command)
    : http_(L"Software\\Classes\\http\\shell\\open\\command", command),
      https_(L"Software\\Classes\\https\\shell\\open\\command", command)
{
}

std::wstring UrlHandlerRegistration::CommandFor(const std::wstring& program)
{
    return L"\"" + program + L"\" \"%1\"";
}

std::wstring FromUtf8(const std::string& text)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), NULL, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], size);
    return wide;
}

static std::string ReadWholeFile(const std::wstring& path)
{
    // Opened with full sharing: the writer may still hold it.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char chunk[4096];
    DWORD count = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &count, NULL) && count > 0)
        bytes.append(chunk, count);
    CloseHandle(file);
    return bytes;
}

static std::vector<std::string> SplitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::wstring> ReadUtf8Lines(const std::wstring& path)
{
    std::vector<std::wstring> lines;
    for (const std::string& line : SplitLines(ReadWholeFile(path)))
        lines.push_back(FromUtf8(line));
    return lines;
}

std::vector<StubRecord> ReadStubRecords(const std::wstring& path)
{
    std::vector<StubRecord> records;
    StubRecord current;
    for (const std::string& line : SplitLines(ReadWholeFile(path))) {
        if (line == "end") {
            records.push_back(current);
            current = StubRecord();
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string name = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (name == "module")
            current.module = FromUtf8(value);
        else if (name == "directory")
            current.directory = FromUtf8(value);
        else if (name == "commandline")
            current.commandLine = FromUtf8(value);
        else if (name == "show")
            current.show = value;
        for (int i = 0; i < 5; ++i) {
            if (name == kConfigValueNames[i])
                current.values[i] = value;
        }
    }
    return records;
}

std::wstring CanonicalPath(const std::wstring& path)
{
    wchar_t full[32768];
    DWORD length = GetFullPathNameW(path.c_str(), ARRAYSIZE(full), full, NULL);
    if (length == 0 || length >= ARRAYSIZE(full))
        return path;
    wchar_t longForm[32768];
    DWORD longLength = GetLongPathNameW(full, longForm, ARRAYSIZE(longForm));
    std::wstring result = (longLength > 0 && longLength < ARRAYSIZE(longForm)) ? longForm : full;
    while (result.size() > 3 && result.back() == L'\\')
        result.pop_back();
    return result;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return lstrcmpiW(CanonicalPath(a).c_str(), CanonicalPath(b).c_str()) == 0;
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine)
{
    std::vector<std::wstring> arguments;
    int count = 0;
    wchar_t** list = CommandLineToArgvW(commandLine.c_str(), &count);
    for (int i = 0; list && i < count; ++i)
        arguments.push_back(list[i]);
    LocalFree(list);
    return arguments;
}

std::wstring WindowTextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_NORMAL, 10000, &copied))
        return std::wstring();
    text.resize(copied < text.size() ? copied : 0);
    return text;
}

static BOOL CALLBACK CollectChild(HWND child, LPARAM lParam)
{
    MessageBoxContents* contents = (MessageBoxContents*)lParam;
    if (!IsWindowVisible(child))
        return TRUE;
    wchar_t className[64];
    GetClassNameW(child, className, ARRAYSIZE(className));
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (lstrcmpiW(className, L"Button") == 0) {
        contents->buttons.push_back(std::to_wstring(GetDlgCtrlID(child)) + L":" + WindowTextOf(child));
    } else if (lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        DWORD_PTR icon = 0;
        SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_NORMAL, 10000, &icon);
        if (icon)
            contents->hasIcon = true;
    }
    return TRUE;
}

MessageBoxContents ReadMessageBox(HWND box)
{
    MessageBoxContents contents;
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text)
        contents.text = WindowTextOf(text);
    contents.owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, CollectChild, (LPARAM)&contents);
    return contents;
}

void PressButton(HWND box, int id)
{
    HWND button = GetDlgItem(box, id);
    if (button)
        PostMessageW(button, BM_CLICK, 0, 0);
}
