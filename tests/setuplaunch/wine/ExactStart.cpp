// Starts a program with the exact command line held in FAIRHOLM_COMMAND_LINE (so that
// trailing spaces and letter case reach it unchanged), waits at most the given number of
// milliseconds (first argument, default 60000) and prints "exit=<code>". Prints
// "timeout" and ends the program when it runs too long; exit code 2 then, 3 when the
// program cannot be started.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    DWORD waitMillis = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 60000;
    DWORD length = GetEnvironmentVariableA("FAIRHOLM_COMMAND_LINE", nullptr, 0);
    if (length == 0) {
        std::printf("error=FAIRHOLM_COMMAND_LINE is not set\n");
        return 3;
    }
    std::vector<char> commandLine(length + 1, '\0');
    GetEnvironmentVariableA("FAIRHOLM_COMMAND_LINE", commandLine.data(), length + 1);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("error=cannot start (%lu)\n", GetLastError());
        return 3;
    }
    CloseHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, waitMillis) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        std::printf("timeout\n");
        return 2;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    std::printf("exit=%lu\n", code);
    std::fflush(stdout);
    return 0;
}
