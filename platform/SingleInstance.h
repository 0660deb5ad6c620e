#pragma once

#include <string>

namespace fairholm {

// One running game per user and installation: the first instance holds an abstract
// local socket named after the user and the game's folder; a second start of the same
// user finds it taken, asks the first to raise its window, and exits. The socket's
// holder is checked (its user id): a name that another user took does not keep the game
// from starting, and only the same user's starts raise the window.
class SingleInstance {
public:
    explicit SingleInstance(const char* folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True unless another instance of this user runs (it has been asked to come to the
    // front).
    bool isFirst() const { return m_first; }

    // True when another start of this user asked this instance to come to the front
    // since the last call. Never blocks.
    bool raiseRequested();

    // The socket's name (without the abstract namespace's leading zero byte) for a user
    // and a folder.
    static std::string socketName(const char* folder, unsigned user);

private:
    int m_socket = -1;
    bool m_first = true;
};

}  // namespace fairholm
