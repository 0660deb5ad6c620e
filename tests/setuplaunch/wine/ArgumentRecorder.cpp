// Stands in for the device application manager in the launcher's tests: writes its raw
// command line and its parsed arguments to the file named by FAIRHOLM_RECORD (or
// "recorded.txt" beside itself), then ends with exit code 0 (see holdUntilReleased).
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string recordPath() {
    char buffer[MAX_PATH * 4];
    DWORD length = GetEnvironmentVariableA("FAIRHOLM_RECORD", buffer, sizeof buffer);
    if (length > 0 && length < sizeof buffer) {
        return std::string(buffer, length);
    }
    length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, length < sizeof buffer ? length : 0);
    size_t separator = path.find_last_of("\\/");
    path.resize(separator == std::string::npos ? 0 : separator + 1);
    return path + "recorded.txt";
}

bool writeFile(const std::string& path, const std::string& text) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

// When FAIRHOLM_HOLD names a file, keeps running until that file exists (at most 90 s),
// so that a test can see whether the program that started this one has ended meanwhile.
void holdUntilReleased() {
    char release[MAX_PATH * 4];
    DWORD length = GetEnvironmentVariableA("FAIRHOLM_HOLD", release, sizeof release);
    if (length == 0 || length >= sizeof release) {
        return;
    }
    for (int i = 0; i < 900 && GetFileAttributesA(release) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(100);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string text = "commandline=";
    text += GetCommandLineA();
    text += "\nargc=" + std::to_string(__argc) + "\n";
    for (int i = 0; i < __argc; ++i) {
        text += "argv" + std::to_string(i) + "=" + __argv[i] + "\n";
    }
    // Written beside the final name and then renamed, so that a reader never sees half a record.
    std::string path = recordPath();
    std::string partial = path + ".part";
    if (!writeFile(partial, text) || !MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return 1;
    }
    holdUntilReleased();
    return 0;
}
