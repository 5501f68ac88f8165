#include "base/launcher_text.h"

#include "base/launcher_state.h"

struct LanguageSearch {
    LANGID wanted;
    LANGID found;
};

static BOOL CALLBACK MatchLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param)
{
    LanguageSearch* search = (LanguageSearch*)param;
    if (PRIMARYLANGID(language) == PRIMARYLANGID(search->wanted))
        search->found = language;
    return language != search->wanted;
}

// Chinese has two tables under one primary language: each region takes the script its
// players read, Traditional in Taiwan, Hong Kong and Macau, Simplified elsewhere, and a
// variant named by its script alone (zh-Hant, zh-Hans) goes by that script.
static LANGID ChineseTableLanguage(LANGID wanted)
{
    switch (SUBLANGID(wanted)) {
    case SUBLANG_CHINESE_TRADITIONAL:
    case SUBLANG_CHINESE_HONGKONG:
    case SUBLANG_CHINESE_MACAU:
    case SUBLANGID(LANG_CHINESE_TRADITIONAL):
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
    default:
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    }
}

// The tables' languages are listed rather than asked for one by one: asked for a
// language it lacks, the resource loader may answer with any other table.
void ChooseTextLanguage()
{
#ifdef VELKORA_LANGUAGE
    LANGID wanted = VELKORA_LANGUAGE;
#else
    LANGID wanted = GetUserDefaultUILanguage();
#endif
    if (PRIMARYLANGID(wanted) == LANG_CHINESE)
        wanted = ChineseTableLanguage(wanted);
    LanguageSearch search = { wanted, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US) };
    EnumResourceLanguagesW(NULL, (LPCWSTR)RT_STRING, MAKEINTRESOURCEW(IDS_PLAY / 16 + 1), MatchLanguage,
                           (LONG_PTR)&search);
    gLauncher.textLanguage = search.found;
}

const wchar_t* LauncherText(UINT id, wchar_t* buffer, int capacity)
{
    buffer[0] = L'\0';
    HRSRC block = FindResourceExW(NULL, (LPCWSTR)RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), gLauncher.textLanguage);
    HGLOBAL loaded = block ? LoadResource(NULL, block) : NULL;
    const WCHAR* entry = loaded ? (const WCHAR*)LockResource(loaded) : NULL;
    if (!entry)
        return buffer;
    // A block holds sixteen strings, each its length followed by that many characters.
    for (UINT skip = id % 16; skip > 0; --skip)
        entry += 1 + *entry;
    int length = *entry < capacity ? *entry : capacity - 1;
    CopyMemory(buffer, entry + 1, length * sizeof(WCHAR));
    buffer[length] = L'\0';
    return buffer;
}
