// Writes the synthetic test content into the folder given on the command line.
#include <cstdio>

#include "tests/support/TestContent.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_content DIR\n");
        return 2;
    }
    return fairholm::testing::TestContent::write(argv[1]) ? 0 : 1;
}
