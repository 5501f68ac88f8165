// The window and its nine controls where the screen shows them, at the display's scale,
// with their texts in the player's display language (Wine takes it from LC_ALL; a child
// started from here keeps ours), each whole in the space its control gives it.
#include "shell/main_window.h"
#include "support.h"

// Pixels to spare beside a control's text in the launcher's font: a check box's square and
// gap (18 pixels at 96 DPI) and PLAY's frame (8) take their part.
static int Spare(HWND control)
{
    int id = GetDlgCtrlID(control);
    std::wstring text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, id == ID_PLAY ? gLauncher.fontLarge : gLauncher.fontNormal);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), text.size(), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT r;
    GetClientRect(control, &r);
    bool checkBox = (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    return r.right - size.cx - ScaleToDpi(checkBox ? 18 : id == ID_PLAY ? 8 : 0);
}

TEST(Window, LayoutAndTextsInThePlayersLanguage)
{
    // Id, x, y, width and height at 96 DPI; no height: the closed combo box's is the platform's.
    const int controls[][5] = {
        { 0, 34, 352, 96, 20 },  // "Resolution"
        { ID_RESOLUTION, 130, 350, 150, 0 },
        { ID_FULLSCREEN, 34, 388, 150, 22 },
        { ID_SOUND, 34, 416, 150, 22 },
        { ID_MUSIC, 194, 416, 120, 22 },
        { 0, 34, 448, 96, 20 },  // "Volume"
        { ID_VOLUME, 130, 446, 150, 26 },
        { ID_PLAY, 34, 490, 246, 52 },
        { ID_SITE_LINK, 34, 550, 246, 26 },
    };
    // Texts in the panel's order, the relabelled box (widened: it must fit), then the warning.
    const wchar_t* english = L"Resolution|Full screen|Sound effects|Music|Volume|PLAY|Full screen (needs client update)|Velkora: Main.exe not found.\n\nPut the launcher in the same folder as the game.";
    const std::pair<const char*, const wchar_t*> cases[] = {
        { "C.", english },
        { "ja_", english },  // no table: English
        { "de_", L"Auflösung|Vollbild|Soundeffekte|Musik|Lautstärke|SPIELEN|Vollbild (Client-Update nötig)|" L"Velkora: Main.exe wurde nicht gefunden.\n\nLege den Launcher in den Ordner des Spiels." },
        { "fr_", L"Résolution|Plein écran|Effets sonores|Musique|Volume|JOUER|Plein écran (client obsolète)|" L"Velkora: Main.exe introuvable.\n\nPlacez le lanceur dans le dossier du jeu." },
        { "es_", L"Resolución|Pantalla entera|Sonidos|Música|Volumen|JUGAR|Pantalla entera (cliente obsoleto)|" L"Velkora: No se encontró Main.exe.\n\nColoca el launcher en la carpeta del juego." },
        { "pt_", L"Resolução|Tela cheia|Efeitos sonoros|Música|Volume|JOGAR|Tela cheia (atualize o cliente)|" L"Velkora: Main.exe não encontrado.\n\nColoque o launcher na pasta do jogo." },
        { "pl_", L"Ekran|Pełny ekran|Efekty dźwięku|Muzyka|Głośność|GRAJ|Pełny ekran (zaktualizuj klienta)|" L"Velkora: Nie znaleziono pliku Main.exe.\n\nUmieść launcher w folderze gry." },
        { "ru_", L"Экран|Полный экран|Звуки|Музыка|Громкость|ИГРАТЬ|Полный экран (нужен патч)|" L"Velkora: Файл Main.exe не найден.\n\nПоместите лаунчер в папку с игрой." },
        { "tr_", L"Çözünürlük|Tam ekran|Ses efektleri|Müzik|Ses düzeyi|OYNA|Tam ekran (istemciyi güncelle)|" L"Velkora: Main.exe bulunamadı.\n\nBaşlatıcıyı oyunun klasörüne koyun." },
    };
    std::string locale = getenv("LC_ALL") ? getenv("LC_ALL") : "C.UTF-8";
    const wchar_t* expected = NULL;
    for (const auto& c : cases)
        expected = locale.rfind(c.first, 0) == 0 ? c.second : expected;
    ASSERT_TRUE(expected) << "no texts for LC_ALL=" << locale;
    UseSystemDpi();
    CreateLauncherFonts();
    const int dpi = gLauncher.dpi;
    auto height = [](HFONT font) { LOGFONTA f = {}; return GetObjectA(font, sizeof(f), &f) ? f.lfHeight : 0; };
    EXPECT_TRUE(height(gLauncher.fontNormal) == -MulDiv(14, dpi, 96) && height(gLauncher.fontLarge) == -MulDiv(24, dpi, 96));
    std::string folder = Stage({ "stand_in.exe=Main.exe" });
    // Without it beside the launcher, a client elsewhere on the PATH must not be started.
    SetEnvironmentVariableA("PATH", (Stage({ "stand_in.exe=Main.exe" }) + ";" + getenv("PATH")).c_str());
    Launcher launcher(folder);
    RECT outer, frame = { 0, 0, MulDiv(900, dpi, 96), MulDiv(600, dpi, 96) };
    AdjustWindowRect(&frame, kMainWindowStyle, FALSE);
    GetWindowRect(launcher.window, &outer);
    // Centred on the screen, its client area the scaled 900x600 (or it would be elsewhere).
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    std::wstring shown;
    HWND child = GetWindow(launcher.window, GW_CHILD);
    for (const int* c : controls) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, launcher.window, (POINT*)&r, 2);
        int at[5] = { GetDlgCtrlID(child), r.left, r.top, r.right - r.left, c[4] ? r.bottom - r.top : 0 };
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(at[i], i ? MulDiv(c[i], dpi, 96) : c[0]) << "control " << c[0] << " at " << c[1] << "/" << i;
        if (c[0] != ID_RESOLUTION && c[0] < ID_VOLUME) {
            shown += WindowText(child) + L"|";
            EXPECT_GE(Spare(child), 0) << testing::PrintToString(WindowText(child)) << " at " << dpi << " DPI";
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    // Probed, the client is free: a patcher may rewrite or delete it. Without it, probed
    // again: the box relabelled and widened; PLAY: the warning.
    std::string client = folder + "\\Main.exe";
    HANDLE file = CreateFileA(client.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_TRUE(file != INVALID_HANDLE_VALUE && CloseHandle(file) && DeleteFileA(client.c_str()));
    SendTo(launcher.window, WM_LAUNCHER_INIT);
    HWND box = launcher.Control(ID_FULLSCREEN);
    EXPECT_GE(Spare(box), 0) << dpi << " DPI";
    shown += WindowText(box) + L"|" + AnswerWarning(launcher);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(launcher.Close(), 0u);
    ShutdownLauncher();
}
