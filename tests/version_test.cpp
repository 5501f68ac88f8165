// The file properties Windows shows for the launcher: its version resource as built.
#include "support.h"

TEST(Version, FilePropertiesAsBuilt)
{
    std::string exe = BuildFile("VelkoraLauncher.exe"), data(GetFileVersionInfoSizeA(exe.c_str(), NULL), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, data.size(), &data[0]));
    WORD* translation = NULL;
    UINT length = 0;
    EXPECT_TRUE(VerQueryValueA(&data[0], "\\VarFileInfo\\Translation", (void**)&translation, &length)
                && MAKELONG(translation[1], translation[0]) == 0x040904B0);
    const char* const fields[][2] = {
        { "ProductName", "Velkora Launcher" },        { "FileDescription", "Velkora Launcher" },
        { "FileVersion", VELKORA_VERSION },           { "ProductVersion", VELKORA_VERSION },
        { "OriginalFilename", "VelkoraLauncher.exe" }, { "CompanyName", VELKORA_COMPANY },
        { "LegalCopyright", VELKORA_COPYRIGHT },
    };
    for (const auto& field : fields) {
        char* value = NULL;
        std::string path = std::string("\\StringFileInfo\\040904B0\\") + field[0];
        EXPECT_TRUE(VerQueryValueA(&data[0], path.c_str(), (void**)&value, &length) && !strcmp(value, field[1]))
            << field[0] << ": " << (value ? value : "none");
    }
}
