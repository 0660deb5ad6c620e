#include "platform/sdl/SingleInstance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace fairholm {

namespace {

socklen_t instanceAddress(sockaddr_un& address, const char* folder) {
    uint32_t hash = 2166136261u;  // FNV-1a of the folder
    for (const char* c = folder; *c; ++c) {
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    }
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    // Abstract namespace (leading zero byte): nothing is left on disk after a crash.
    const int length = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1, "fairholm-%u-%08x",
                                     static_cast<unsigned>(::getuid()), hash);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(length));
}

}  // namespace

SingleInstance::SingleInstance(const char* folder) {
    sockaddr_un address;
    const socklen_t length = instanceAddress(address, folder);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        return;
    }
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(listener, 4) == 0) {
        m_socket = listener;
        return;
    }
    ::close(listener);
    // Another instance holds the name: tell it to come to the front.
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client >= 0) {
        if (::connect(client, reinterpret_cast<sockaddr*>(&address), length) == 0) {
            [[maybe_unused]] const ssize_t sent = ::send(client, "raise", 5, MSG_NOSIGNAL);
        }
        ::close(client);
    }
}

SingleInstance::~SingleInstance() {
    if (m_socket >= 0) {
        ::close(m_socket);
    }
}

bool SingleInstance::raiseRequested() {
    if (m_socket < 0) {
        return false;
    }
    bool requested = false;
    for (;;) {
        const int client = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            break;
        }
        requested = true;
        ::close(client);
    }
    return requested;
}

}  // namespace fairholm
