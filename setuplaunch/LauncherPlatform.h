#pragma once

#include <cstdint>

namespace fairholm {

// The few desktop system services the installer launcher uses. Each operation is a thin
// wrapper over one system call so that everything the launcher decides lives in
// SetupLauncher and can be exercised without Windows.
class LauncherPlatform {
public:
    virtual ~LauncherPlatform() = default;

    // Opens the application manager's registry key for reading and reads its default
    // value into `buffer`: `size` gives the buffer's capacity on entry and the number of
    // bytes stored on return. False when the key cannot be opened or the value cannot be
    // read (among others when it does not fit).
    virtual bool readManagerValue(char* buffer, uint32_t& size) = 0;

    // The launcher's own full path, written into `buffer` of `size` bytes, with the
    // module-path call's contract: the number of characters written (without the
    // terminator), `size` when the path was cut, 0 on failure.
    virtual uint32_t moduleFileName(char* buffer, uint32_t size) = 0;

    // Shows the error box (an error icon and a single OK button) and waits for it to close.
    virtual void showError(const char* text, const char* caption) = 0;

    // Replaces the current process by `program`, started with argument 0 `program` and
    // argument 1 `argument`. Returns only when the program could not be started.
    virtual void startOverlay(const char* program, const char* argument) = 0;
};

}  // namespace fairholm
