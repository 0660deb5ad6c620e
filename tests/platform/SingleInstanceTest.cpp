// One game per user and installation, and no other user can keep it from starting.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "platform/SingleInstance.h"

using namespace fairholm;

namespace {

std::string folder(const char* what) {
    return "/tmp/fairholm-instance-test-" + std::to_string(::getpid()) + "-" + what + "/";
}

}  // namespace

TEST(SingleInstance, ASecondStartOfTheSameUserRaisesTheFirst) {
    const std::string here = folder("same");
    SingleInstance first(here.c_str());
    EXPECT_TRUE(first.isFirst());
    EXPECT_FALSE(first.raiseRequested());
    {
        SingleInstance second(here.c_str());
        EXPECT_FALSE(second.isFirst());
    }
    EXPECT_TRUE(first.raiseRequested());
    EXPECT_FALSE(first.raiseRequested());               // once per start
    SingleInstance elsewhere(folder("other").c_str());  // another installation
    EXPECT_TRUE(elsewhere.isFirst());
}

TEST(SingleInstance, ANameTakenByAnotherUserDoesNotStopTheGame) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs root to play the other user";
    }
    const std::string here = folder("taken");
    const std::string name = SingleInstance::socketName(here.c_str(), static_cast<unsigned>(::getuid()));
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t squatter = ::fork();
    ASSERT_GE(squatter, 0);
    if (squatter == 0) {
        // Another local user binds this user's name first.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(3);
        }
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, name.data(), name.size());
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        if (::bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(s, 4) != 0) {
            ::_exit(4);
        }
        char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(ready[1], &byte, 1);
        n = ::read(release[0], &byte, 1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    {
        SingleInstance game(here.c_str());
        EXPECT_TRUE(game.isFirst());
    }
    [[maybe_unused]] ssize_t n = ::write(release[1], &byte, 1);
    int status = 0;
    ::waitpid(squatter, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (int fd : {ready[0], ready[1], release[0], release[1]}) {
        ::close(fd);
    }
}
