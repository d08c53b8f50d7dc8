#include "app/CommandLine.h"
#include "core/TestTree.h"

#include <gtest/gtest.h>

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
    TTempDir dir;
    WriteFile(dir.File("t"), "x");
    EXPECT_TRUE(IsSwitch("/t"));
    EXPECT_FALSE(IsSwitch(dir.File("t")));
}
