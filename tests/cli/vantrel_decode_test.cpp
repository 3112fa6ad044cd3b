// Runs the built vantrel-decode as a script would.
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "cli_fixture.h"

namespace vantrel::cli {
namespace {

struct Finished {
    int status = -1;
    std::string out, err;
};

class VantrelDecodeTest : public ::testing::Test {
protected:
    // arguments are passed to the shell as written; stdin comes from input.
    Finished Run(const std::string& arguments, const std::string& input = "") const
    {
        const std::string in = dir_.Write("stdin", input);
        const std::string command = std::string("'") + VANTREL_DECODE_BINARY + "' " + arguments + " <'" + in + "' >'" +
                                    dir_.At("stdout") + "' 2>'" + dir_.At("stderr") + "'";
        const int raw = std::system(command.c_str());
        Finished finished;
        finished.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        finished.out = testing::TempFolder::Read(dir_.At("stdout"));
        finished.err = testing::TempFolder::Read(dir_.At("stderr"));
        return finished;
    }

    testing::TempFolder dir_{"vantrel-decode-bin"};
};

TEST_F(VantrelDecodeTest, TellsItsVersionAndUsage)
{
    EXPECT_EQ(Run("--version").out, "vantrel-decode 1.6\n");
    const Finished help = Run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vantrel-decode [--no-check] [-o DIR] [--key-file FILE|-] FILE...\n"));
    EXPECT_EQ(Run("").status, 2);
}

TEST_F(VantrelDecodeTest, DecodesWithTheKeyFromStandardInput)
{
    const auto stream = testing::CheckedStream();
    const std::string source = dir_.Write("in/a.txt", stream.Encoded());

    const Finished run = Run("--key-file - '" + source + "'", std::string(testing::RightKey) + "\n");

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, source + "\tDecoded\t" + dir_.At("in/Decript/a-dec.txt") + "\n");
    EXPECT_EQ(run.err, ""); // no progress bar: standard error is a file here
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("in/Decript/a-dec.txt")), stream.Decoded());
}

TEST_F(VantrelDecodeTest, ExitsWithOneForAWrongKeyAndTwoForAShortOne)
{
    const std::string source = dir_.Write("in/a.txt", testing::CheckedStream().Encoded());

    const Finished wrong = Run("--key-file - '" + source + "'", std::string(testing::WrongKey) + "\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.out, source + "\tRejected\t\n");
    EXPECT_EQ(wrong.err, "Wrong invalid key!\n");

    const Finished shortKey = Run("--key-file - '" + source + "'", "short\n");
    EXPECT_EQ(shortKey.status, 2);
    EXPECT_EQ(shortKey.err, "Decoding key is not correct!\n");
    EXPECT_EQ(dir_.FilesIn("in/Decript"), std::vector<std::string>{});
}

} // namespace
} // namespace vantrel::cli
