// Every data file of the program folder, replaced in turn by an empty, a truncated, a
// random and an absurdly large (sparse, 2 GB) file: the headless game still starts,
// plays and ends, as it does when a file is missing, and within seconds (no file is
// read whole when it is larger than its kind of data can be).
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/CommandOutput.h"

namespace fs = std::filesystem;

namespace {

const char* const dataFiles[] = {"golf.bin",    "f10.bin",     "f13.bin",   "f16.bin",   "help.txt",
                                 "arrow",       "music",       "swing",     "hit",       "incup",
                                 "water",       "holes_1-3",   "holes_4-6", "holes_7-9", "holes_10-12",
                                 "holes_13-15", "holes_16-18", "greenvale"};

// Help, a new game, a swing, the map, the club menu and back to the menu.
const char* const script =
    "at 1500 char H\nat 1900 key down\nat 2100 key action\nat 2600 char N\nat 5000 key '5'\n"
    "at 6000 key '5'\nat 20000 key '7'\nat 20500 key '1'\nat 21000 key '9'\nat 22000 key '1'\n"
    "at 22400 key down\nat 22800 key action\nat 23500 key back\nat 24500 stop\n";

std::vector<char> slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(HostileFiles, EveryDataFileEmptyTruncatedRandomOrHugeStillPlays) {
    const fs::path program = fs::path(FAIRHOLM_HEADLESS).parent_path();
    if (!fs::exists(program / "golf.bin") || !fs::exists(program / "holes_1-3")) {
        GTEST_SKIP() << "the data files are not built";
    }
    const std::string base = "fairholm-hostile-" + std::to_string(::getpid());
    const fs::path dir = fs::temp_directory_path() / base;
    const fs::path scriptFile = fs::temp_directory_path() / (base + ".script");
    std::ofstream(scriptFile) << script;
    std::mt19937 random(20261209);
    for (const char* name : dataFiles) {
        const std::vector<char> original = slurp(program / name);  // the state file has none
        for (const char* variant : {"empty", "truncated", "random", "huge"}) {
            fs::remove_all(dir);
            fs::create_directories(dir);
            for (const char* other : dataFiles) {
                if (fs::exists(program / other) && std::string(other) != "greenvale") {
                    fs::copy_file(program / other, dir / other);
                }
            }
            fs::remove(dir / name);
            {
                std::ofstream out(dir / name, std::ios::binary);
                const std::string kind = variant;
                if (kind == "truncated") {
                    out.write(original.data(), static_cast<std::streamsize>(original.size() / 2));
                } else if (kind == "random") {
                    const size_t size = original.empty() ? 6 : original.size();
                    for (size_t i = 0; i < size; ++i) {
                        out.put(static_cast<char>(random()));
                    }
                }
            }
            if (std::string(variant) == "huge") {
                fs::resize_file(dir / name, uintmax_t{2} << 30);
            }
            const std::string command = "timeout 10 " + std::string(FAIRHOLM_HEADLESS) + " --quiet --data " +
                                        dir.string() + " --script " + scriptFile.string() + " 2>&1";
            int status = -1;
            const std::string output = fairholm::testing::commandOutput(command, status);
            EXPECT_EQ(status, 0) << name << " " << variant << ":\n" << output;
            // The script ran to its end and left the game in the main menu.
            EXPECT_NE(output.find("end time=245"), std::string::npos) << name << " " << variant << ":\n"
                                                                      << output;
        }
    }
    fs::remove_all(dir);
    fs::remove(scriptFile);
}
