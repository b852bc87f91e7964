// The entry point of Nimbrel.scr: start-up decides, Windows carries it out.
#include <windows.h>

#include "app/startup.h"
#include "platform/win32/app_platform.h"
#include "platform/win32/application.h"
#include "platform/win32/saver_window.h"
#include "platform/win32/system_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    nimbrel::win32::CapturePlatformId();
    nimbrel::win32::Win32AppPlatform platform;
    // The command line in UTF-8, so that texts quoted in messages stay intact.
    int exitCode = nimbrel::RunProgram(platform, nimbrel::win32::CommandLineUtf8());
    nimbrel::win32::Application::Get().DestroyRemainingWindows();
    return exitCode;
}
