#include "platform/SingleInstance.h"

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
    const std::string name = SingleInstance::socketName(folder, static_cast<unsigned>(::getuid()));
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    // Abstract namespace (leading zero byte): nothing is left on disk after a crash.
    const size_t length =
        name.size() < sizeof address.sun_path - 1 ? name.size() : sizeof address.sun_path - 1;
    std::memcpy(address.sun_path + 1, name.data(), length);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

// Whether the other end of a connected socket runs as this user.
bool peerIsThisUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

}  // namespace

std::string SingleInstance::socketName(const char* folder, unsigned user) {
    uint32_t hash = 2166136261u;  // FNV-1a of the folder
    for (const char* c = folder; *c; ++c) {
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    }
    char name[64];
    std::snprintf(name, sizeof name, "fairholm-%u-%08x", user, hash);
    return name;
}

SingleInstance::SingleInstance(const char* folder) {
    sockaddr_un address;
    const socklen_t length = instanceAddress(address, folder);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        return;  // no socket at all: play without the guard
    }
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(listener, 4) == 0) {
        m_socket = listener;
        return;
    }
    ::close(listener);
    // The name is taken: by this user's running game, or by someone else.
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client >= 0) {
        if (::connect(client, reinterpret_cast<sockaddr*>(&address), length) == 0 && peerIsThisUser(client)) {
            [[maybe_unused]] const ssize_t sent = ::send(client, "raise", 5, MSG_NOSIGNAL);
            m_first = false;
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
        requested = requested || peerIsThisUser(client);
        ::close(client);
    }
    return requested;
}

}  // namespace fairholm
