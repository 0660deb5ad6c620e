#include "platform/ConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fairholm {

ConfigFile::Status ConfigFile::read(const std::string& path, size_t maxBytes, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Unreadable;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Status::Unreadable;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        ::close(fd);
        return Status::TooLarge;
    }
    // The file may grow while it is read: one byte more than allowed is enough to tell.
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ::close(fd);
            text.clear();
            return Status::Unreadable;
        }
        if (got == 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > maxBytes) {
            ::close(fd);
            text.clear();
            return Status::TooLarge;
        }
    }
    ::close(fd);
    return Status::Read;
}

std::string ConfigFile::describe(Status status, size_t maxBytes) {
    switch (status) {
        case Status::Read:
            return "read";
        case Status::Missing:
            return "not there";
        case Status::TooLarge:
            return maxBytes % 1024 == 0 ? "larger than " + std::to_string(maxBytes / 1024) + " KiB"
                                        : "larger than " + std::to_string(maxBytes) + " bytes";
        case Status::Unreadable:
            return "cannot be read";
    }
    return "cannot be read";
}

}  // namespace fairholm
