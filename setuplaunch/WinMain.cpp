#include <windows.h>

#include "setuplaunch/SetupLauncher.h"
#include "setuplaunch/Win32LauncherPlatform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    fairholm::Win32LauncherPlatform platform;
    return fairholm::SetupLauncher(platform).run(commandLine);
}
