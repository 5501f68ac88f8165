// Helpers of the game-client tests: the stand-in client's and the URL recorder's
// record files, environment and registry changes undone at the end, and the
// message boxes of another process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Sets an environment variable of this process (inherited by children started
// afterwards) and restores the old value at the end.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value);
    // Removes the variable until the end of the scope.
    explicit ScopedEnvironment(const wchar_t* name);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
    std::wstring oldValue_;
    bool hadValue_ = false;
};

// Makes a folder this process's current directory until the end of the scope.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::wstring& folder);
    ~ScopedCurrentDirectory();
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;
    bool Moved() const { return moved_; }

private:
    std::wstring old_;
    bool moved_ = false;
};

// Sets the default value of a key under HKEY_LOCAL_MACHINE (creating the key) and
// puts back what was there before, or removes what it created.
class ScopedMachineRegistryValue {
public:
    ScopedMachineRegistryValue(const std::wstring& keyPath, const std::wstring& value);
    ~ScopedMachineRegistryValue();
    ScopedMachineRegistryValue(const ScopedMachineRegistryValue&) = delete;
    ScopedMachineRegistryValue& operator=(const ScopedMachineRegistryValue&) = delete;
    bool Ok() const { return ok_; }

private:
    std::wstring keyPath_;
    // The outermost key that did not exist before: removed as a whole at the end.
    std::wstring createdRoot_;
    std::wstring oldValue_;
    bool hadValue_ = false;
    bool ok_ = false;
};

// Registers a program as the shell's handler of http and https URLs, the way the
// shell finds a browser (HKLM\Software\Classes; the per-user classes are ignored).
class UrlHandlerRegistration {
public:
    explicit UrlHandlerRegistration(const std::wstring& command);
    bool Ok() const { return http_.Ok() && https_.Ok(); }
    // The usual command line for a handler program: "program" "%1".
    static std::wstring CommandFor(const std::wstring& program);

private:
    ScopedMachineRegistryValue http_;
    ScopedMachineRegistryValue https_;
};

// One start of the stand-in client, as it wrote it down.
struct StubRecord {
    std::wstring module;
    std::wstring directory;
    std::wstring commandLine;
    std::string show;
    // Resolution, WindowMode, SoundOnOff, MusicOnOff, VolumeLevel: a number or "missing".
    std::string values[5];
};

extern const char* const kConfigValueNames[5];

// Complete records in the file, oldest first; none when it does not exist.
std::vector<StubRecord> ReadStubRecords(const std::wstring& path);
// The lines of a UTF-8 text file, without line ends.
std::vector<std::wstring> ReadUtf8Lines(const std::wstring& path);
std::wstring FromUtf8(const std::string& text);

// Full long form, for comparing paths written in different ways.
std::wstring CanonicalPath(const std::wstring& path);
bool SamePath(const std::wstring& a, const std::wstring& b);
// The command line split as a program's argv.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// Window text of another process's window, asked for by message.
std::wstring WindowTextOf(HWND window);
// What a message box shows, read from another process.
struct MessageBoxContents {
    std::wstring text;
    HWND owner = NULL;
    bool hasIcon = false;
    // Visible buttons as "id:caption".
    std::vector<std::wstring> buttons;
};
MessageBoxContents ReadMessageBox(HWND box);
// Presses a message box button without waiting for the owner's reaction.
void PressButton(HWND box, int id);
