#pragma once

namespace fairholm {

// One running game per user and installation: the first instance holds an abstract
// local socket named after the user and the game's folder; a second start finds it
// taken, asks the first to raise its window, and exits.
class SingleInstance {
public:
    explicit SingleInstance(const char* folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True for the first instance. False: another one runs and has been asked to come
    // to the front.
    bool isFirst() const { return m_socket >= 0; }

    // True when another start asked this instance to come to the front since the last
    // call. Never blocks.
    bool raiseRequested();

private:
    int m_socket = -1;
};

}  // namespace fairholm
