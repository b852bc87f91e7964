// Ending the saver: counting input against the threshold, and the exit
// request that asks the system's password library before the window closes.
#include "saver/main_form.h"

#include "settings/errors.h"

namespace nimbrel {

std::string PasswordLibraryPath(std::string_view systemDirectory)
{
    std::string path(systemDirectory);
    if (!path.empty() && !path.ends_with('\\')) path += '\\';
    path += kPasswordCheckLibrary;
    return path;
}

void TMainForm::FormMouseMove()
{
    // The counter is left as it is on a request: when the window stays, the
    // next move in the same Timer1 period asks again at once.
    if (run_.MouseMoveCount > run_.CloseMouseMove && closesOnInput_) {
        RequestExit();
    } else {
        run_.MouseMoveCount = static_cast<std::uint8_t>(run_.MouseMoveCount + 1);
    }
}

void TMainForm::FormKeyDown()
{
    if (closesOnInput_) RequestExit();
}

void TMainForm::FormClick()
{
    if (closesOnInput_) RequestExit();
}

void TMainForm::RequestExit()
{
    run_.AnimationActive = false;

    // The NT family keeps the screen-saver password to itself.
    if (platform_.PlatformId() == kPlatformWin32Nt) {
        platform_.CloseWindow();
        return;
    }

    RegistryDword usePassword;
    {
        const std::unique_ptr<RegistryKey> key = platform_.OpenCurrentUserKey(kDesktopKeyPath);
        if (!key) {
            platform_.CloseWindow();
            return;
        }
        usePassword = key->ReadDword(kUsePasswordValue);
    }
    // A value that cannot be read leaves the picture standing and the window
    // open; every later input asks again.
    switch (usePassword.Result) {
    case RegistryDword::Status::Read: break;
    case RegistryDword::Status::NotRead: throw Error(FormatErrorMessage(kRegistryReadFailed, kUsePasswordValue));
    case RegistryDword::Status::WrongType: throw Error(FormatErrorMessage(kRegistryWrongType, kUsePasswordValue));
    }
    if (usePassword.Value == 0) {
        platform_.CloseWindow();
        return;
    }

    platform_.ShowCursor(CursorStep::Show);
    VerifyPassword();
    platform_.ShowCursor(CursorStep::Hide);
    run_.AnimationActive = true;
}

void TMainForm::VerifyPassword()
{
    // The library is only ever loaded by its full path: a bare name would let
    // the program's own folder supply a library that answers for the system.
    // Without a system directory it counts as a library that cannot be loaded.
    const std::string systemDirectory = platform_.SystemDirectory();
    const std::unique_ptr<PasswordLibrary> library =
        systemDirectory.empty() ? nullptr
                                : platform_.LoadPasswordLibrary(PasswordLibraryPath(systemDirectory));
    // Without the library, or without its function, nothing can check the
    // password; refusing to close would leave the user no way out at all.
    if (!library) {
        platform_.CloseWindow();
        return;
    }
    const std::optional<std::uint32_t> answer = library->VerifyScreenSavePwd();
    // Only the low byte of the answer counts.
    if (!answer || (*answer & 0xFFu) != 0) platform_.CloseWindow();
}

} // namespace nimbrel
