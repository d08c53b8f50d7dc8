// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CommandLine.h"
#include "core/TestTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace quillo;
using namespace quillo::test;

TEST(CommandLine, SwitchesAndTheFile) {
    TCommandLine c = ParseCommandLine({"-t", "/home/u/plan.qlp", "extra"});
    EXPECT_TRUE(c.TraySwitch);
    EXPECT_EQ(c.File, std::optional<std::string>("/home/u/plan.qlp")); // an absolute path is no switch
    c = ParseCommandLine({"/home/u/plan.qlp", "/T"});
    EXPECT_TRUE(c.TraySwitch); // after the file too
    c = ParseCommandLine({"-tx", "-x"});
    EXPECT_FALSE(c.TraySwitch);
    EXPECT_FALSE(c.File);
    EXPECT_TRUE(c.HasArguments);
    c = ParseCommandLine({""});
    EXPECT_EQ(c.File, std::optional<std::string>("")); // an empty argument is a file argument
    EXPECT_FALSE(ParseCommandLine({}).HasArguments);
    EXPECT_TRUE(IsSwitch("/t"));
    EXPECT_FALSE(IsSwitch("/tmp/t")); // a second "/": a path
}

TEST(CommandLine, ASingleSlashNameThatExistsIsAFileNotASwitch) {
    // Only a file standing in the root folder has a path like a switch.
    const std::string path = "/quillo-switch-test-" + std::to_string(::getpid());
    if (!std::ofstream(path)) GTEST_SKIP() << "the root folder cannot be written here";
    const bool isSwitch = IsSwitch(path);
    const TCommandLine c = ParseCommandLine({path});
    std::remove(path.c_str());
    EXPECT_FALSE(isSwitch);
    EXPECT_EQ(c.File, std::optional<std::string>(path));
    EXPECT_TRUE(IsSwitch(path)); // gone again: now it reads as a switch
}
