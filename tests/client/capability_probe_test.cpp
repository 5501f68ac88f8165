// The probe of the client executable on real files, and its effect on the
// "Full screen" box of the real window.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "client/capability_probe.h"
#include "shell/launcher_state.h"
#include "support/client_support.h"
#include "support/test_support.h"

namespace {

const std::string kMarker = "Change display setting";
const size_t kRead = 65536;

std::string Bytes(size_t size, char fill = 'x')
{
    return std::string(size, fill);
}

std::string With(size_t offset, const std::string& piece, size_t total)
{
    std::string data = Bytes(offset) + piece;
    if (data.size() < total)
        data += Bytes(total - data.size());
    return data;
}

// True when nobody else holds the file: an exclusive open for everything succeeds.
bool NobodyHolds(const std::wstring& path, DWORD flags = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, NULL, OPEN_EXISTING, flags,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

int Probe(const std::wstring& path)
{
    return ClientSupportsDisplaySetting(Narrow(path).c_str());
}

// Handle leak check that works under Wine too (its handle count is a stub): both
// Windows and Wine hand out just-freed handle values first, so the values freed
// before a call all come back right after it only if the call kept no handle.
typedef std::set<HANDLE> HandleSlots;

HandleSlots TakeHandleSlots()
{
    HandleSlots slots;
    for (int i = 0; i < 16; ++i)
        slots.insert(CreateEventW(NULL, TRUE, FALSE, NULL));
    return slots;
}

HandleSlots FreeHandleSlots()
{
    HandleSlots slots = TakeHandleSlots();
    for (HANDLE slot : slots)
        CloseHandle(slot);
    return slots;
}

bool SlotsStillFree(const HandleSlots& freed)
{
    return FreeHandleSlots() == freed;
}

}  // namespace

TEST(ProbeFile, FileContentsTable)
{
    const struct {
        const char* name;
        std::string bytes;
        int expected;
    } cases[] = {
        { "marker in the middle", With(300, kMarker, 1000), 1 },
        { "marker at offset 0", kMarker + Bytes(50), 1 },
        { "marker ends the file", Bytes(5000) + kMarker, 1 },
        { "marker then a zero byte", Bytes(10) + kMarker + std::string(1, '\0') + Bytes(10), 1 },
        { "marker straddling the first two reads", With(65530, kMarker, 3 * kRead), 1 },
        { "marker ending the first read", With(kRead - 22, kMarker, 2 * kRead), 1 },
        { "marker with its last byte in the second read", With(kRead - 21, kMarker, 2 * kRead), 1 },
        { "marker with its first byte in the first read", With(kRead - 1, kMarker, 2 * kRead), 1 },
        { "marker starting the second read", With(kRead, kMarker, 2 * kRead), 1 },
        { "marker straddling the second and third reads", With(2 * kRead - 21, kMarker, 3 * kRead), 1 },
        { "marker near the end of a large file", Bytes(5 * kRead + 1000) + kMarker + Bytes(30), 1 },
        { "large file without marker", Bytes(5 * kRead + 1000) + "Change display settin" + Bytes(30), 0 },
        { "no marker", Bytes(4000), 0 },
        { "lower case", With(100, "change display setting", 300), 0 },
        { "UTF-16", With(100, std::string("C\0h\0a\0n\0g\0e\0 \0d\0i\0s\0p\0l\0a\0y\0 \0s\0e\0t\0t\0i\0n\0g\0", 44),
                         300), 0 },
        { "empty file", "", 0 },
        { "21 bytes of the marker", kMarker.substr(0, 21), 0 },
    };
    ScratchFolder folder(L"probe");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write(L"Main.exe", c.bytes);
        HandleSlots slots = FreeHandleSlots();
        EXPECT_EQ(Probe(folder.File(L"Main.exe")), c.expected);
        EXPECT_TRUE(SlotsStillFree(slots)) << "a handle was left open";
        EXPECT_TRUE(NobodyHolds(folder.File(L"Main.exe"))) << "the probe's handle was not closed";
        EXPECT_TRUE(DeleteFileW(folder.File(L"Main.exe").c_str()));
    }
}

TEST(ProbeFile, RealExecutablesTable)
{
    const struct {
        const wchar_t* program;
        int expected;
    } cases[] = {
        { L"stub_client.exe", 1 },
        { L"url_recorder.exe", 0 },
        { L"keepalive.exe", 0 },
    };
    ScratchFolder folder(L"probe-exe");
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.program));
        folder.CopyIn(TestBinary(c.program), L"Main.exe");
        ASSERT_NE(GetFileAttributesW(folder.File(L"Main.exe").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(Probe(folder.File(L"Main.exe")), c.expected);
        EXPECT_TRUE(NobodyHolds(folder.File(L"Main.exe")));
        EXPECT_TRUE(DeleteFileW(folder.File(L"Main.exe").c_str()));
    }
}

TEST(ProbeFile, MissingFileAndDirectoryGiveZero)
{
    ScratchFolder folder(L"probe-odd");
    HandleSlots slots = FreeHandleSlots();
    EXPECT_EQ(Probe(folder.File(L"Main.exe")), 0);
    EXPECT_TRUE(SlotsStillFree(slots));

    ASSERT_TRUE(CreateDirectoryW(folder.File(L"Main.exe").c_str(), NULL));
    // A marker inside the folder must not matter: the folder itself is no client.
    folder.Write(L"Main.exe\\Main.exe", kMarker);
    slots = FreeHandleSlots();
    EXPECT_EQ(Probe(folder.File(L"Main.exe")), 0);
    EXPECT_TRUE(SlotsStillFree(slots));
    EXPECT_TRUE(NobodyHolds(folder.File(L"Main.exe"), FILE_FLAG_BACKUP_SEMANTICS));
    EXPECT_TRUE(NobodyHolds(folder.File(L"Main.exe\\Main.exe")));
}

// The file holds the marker; another handle decides whether the probe may open it.
TEST(ProbeFile, FileHeldByAnotherHandleTable)
{
    const struct {
        const char* name;
        DWORD access;
        DWORD share;
        int expected;
    } cases[] = {
        { "read, no sharing", GENERIC_READ, 0, 0 },
        { "write, sharing read", GENERIC_WRITE, FILE_SHARE_READ, 0 },
        { "write, sharing read and write", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0 },
        { "delete, sharing read and delete", DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, 0 },
        { "read and write, sharing everything", GENERIC_READ | GENERIC_WRITE,
          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0 },
        { "read, sharing read", GENERIC_READ, FILE_SHARE_READ, 1 },
        { "read, sharing read and write", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 1 },
    };
    ScratchFolder folder(L"probe-held");
    const std::wstring path = folder.File(L"Main.exe");
    folder.Write(L"Main.exe", With(70000, kMarker, 140000));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE other = CreateFileW(path.c_str(), c.access, c.share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        HandleSlots slots = FreeHandleSlots();
        EXPECT_EQ(Probe(path), c.expected);
        EXPECT_TRUE(SlotsStillFree(slots));
        CloseHandle(other);
        // Once the other handle is gone the same file is found, and nothing of the
        // probe's is left behind.
        EXPECT_EQ(Probe(path), 1);
        EXPECT_TRUE(NobodyHolds(path));
    }
}

// The probe as start-up runs it: on "Main.exe" in the current directory, from the
// posted WM_LAUNCHER_INIT, on a shown window with the panel already loaded.
namespace {

enum class Client { None, WithMarker, WithoutMarker, Directory, HeldExclusively };

struct ProbeEffectCase {
    const char* name;
    Client client;
    bool storeWindowMode;
    DWORD windowMode;
    bool expectEnabled;
    bool expectChecked;
};

void PrepareClient(const ScratchFolder& folder, Client client)
{
    switch (client) {
    case Client::None:
        break;
    case Client::WithMarker:
        folder.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe");
        break;
    case Client::WithoutMarker:
        folder.CopyIn(TestBinary(L"url_recorder.exe"), L"Main.exe");
        break;
    case Client::Directory:
        CreateDirectoryW(folder.File(L"Main.exe").c_str(), NULL);
        break;
    case Client::HeldExclusively:
        folder.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe");
        break;
    }
}

std::string ControlText(HWND control)
{
    char text[256] = "";
    GetWindowTextA(control, text, sizeof(text));
    return text;
}

}  // namespace

TEST(ProbeEffect, FullScreenBoxAfterLauncherInitTable)
{
    const ProbeEffectCase cases[] = {
        { "no client, WindowMode 0", Client::None, true, 0, false, true },
        { "no client, WindowMode 1", Client::None, true, 1, false, false },
        { "no client, nothing stored", Client::None, false, 0, false, false },
        { "client without marker, WindowMode 0", Client::WithoutMarker, true, 0, false, true },
        { "Main.exe is a folder, WindowMode 0", Client::Directory, true, 0, false, true },
        { "client held without read sharing, WindowMode 0", Client::HeldExclusively, true, 0, false, true },
        { "client with marker, WindowMode 0", Client::WithMarker, true, 0, true, true },
        { "client with marker, WindowMode 1", Client::WithMarker, true, 1, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteConfigKey();
        if (c.storeWindowMode)
            SetConfigDword("WindowMode", c.windowMode);
        ScratchFolder folder(L"probe-effect");
        PrepareClient(folder, c.client);
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.client == Client::HeldExclusively) {
            holder = CreateFileW(folder.File(L"Main.exe").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        }
        {
            ScopedCurrentDirectory here(folder.Path());
            ASSERT_TRUE(here.Moved());
            InProcessLauncher launcher;
            HWND box = launcher.Control(ID_FULLSCREEN);
            ASSERT_EQ(box, gLauncher.fullScreenCheck);
            RECT before;
            GetWindowRect(box, &before);
            ASSERT_TRUE(IsWindowEnabled(box));
            ASSERT_EQ(ControlText(box), "Full screen");

            launcher.RunDeferredInit();

            EXPECT_EQ(IsWindowEnabled(box) != FALSE, c.expectEnabled);
            EXPECT_EQ(ControlText(box), c.expectEnabled ? "Full screen" : "Full screen (needs client update)");
            EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), c.expectChecked ? BST_CHECKED : BST_UNCHECKED);
            RECT after;
            GetWindowRect(box, &after);
            EXPECT_TRUE(EqualRect(&before, &after)) << "the box keeps its position and size";
            // Only this box is affected.
            for (int id : { ID_RESOLUTION, ID_SOUND, ID_MUSIC, ID_VOLUME, ID_PLAY, ID_SITE_LINK })
                EXPECT_TRUE(IsWindowEnabled(launcher.Control(id))) << "control " << id;

            // Closing saves "WindowMode" from the box's kept check state, over
            // whatever the key holds by then.
            SetConfigDword("WindowMode", 7);
            launcher.Destroy();
            DWORD saved = 99;
            EXPECT_TRUE(GetConfigDword("WindowMode", &saved));
            EXPECT_EQ(saved, c.expectChecked ? 0u : 1u);
        }
        if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);
        if (c.client != Client::None) {
            DWORD flags = c.client == Client::Directory ? FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL;
            EXPECT_TRUE(NobodyHolds(folder.File(L"Main.exe"), flags));
        }
    }
    DeleteConfigKey();
}
