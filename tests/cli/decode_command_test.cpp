#include "cli/decode_command.h"

#include <gtest/gtest.h>
#include <sstream>

#include "cli_fixture.h"
#include "platform/posix_file_system.h"
#include "platform/testing/fake_drive_kinds.h"

namespace vantrel::cli {
namespace {

using testing::CheckedStream;
using testing::RightKey;
using testing::WrongKey;

class DecodeCommandTest : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args, const std::string& input = "")
    {
        in_.str(input);
        const CommandStreams streams{in_, out_, err_, errIsTerminal_};
        const CommandServices services{files_, drives_, promptKey_, interrupted_};
        return RunDecodeCommand(args, streams, services);
    }

    testing::TempFolder dir_{"vantrel-cli"};
    platform::PosixFileSystem files_;
    platform::testing::FakeDriveKinds drives_;
    std::function<std::optional<std::string>()> promptKey_;
    std::function<bool()> interrupted_ = [] { return false; };
    bool errIsTerminal_ = false;
    std::istringstream in_;
    std::ostringstream out_, err_;
};

TEST_F(DecodeCommandTest, DecodesEveryFileAndPrintsOneLineEach)
{
    const auto stream = CheckedStream();
    const std::string a = dir_.Write("in/a.txt", stream.Encoded());
    const std::string b = dir_.Write("in/b.2.txt", stream.Encoded());

    EXPECT_EQ(Run({"-k", RightKey, a, b}), AllDecoded);

    EXPECT_EQ(out_.str(), a + "\tDecoded\t" + dir_.At("in/Decript/a-dec.txt") + "\n" + b + "\tDecoded\t" +
                              dir_.At("in/Decript/b.2-dec.txt") + "\n");
    EXPECT_EQ(err_.str(), "");
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("in/Decript/a-dec.txt")), stream.Decoded());
}

TEST_F(DecodeCommandTest, RejectedAndFailedFilesMakeTheStatusOne)
{
    const std::string good = dir_.Write("in/good.txt", "plain");
    const std::string checked = dir_.Write("in/checked.txt", CheckedStream().Encoded());
    const std::string missing = dir_.At("in/missing.txt");

    EXPECT_EQ(Run({"-k", WrongKey, good, checked, missing}), SomeNotDecoded);

    EXPECT_EQ(out_.str(), good + "\tDecoded\t" + dir_.At("in/Decript/good-dec.txt") + "\n" + checked + "\tRejected\t\n" +
                              missing + "\tCannot open\t\n");
    EXPECT_EQ(err_.str(), "Wrong invalid key!\n");
    EXPECT_EQ(dir_.FilesIn("in/Decript"), std::vector<std::string>{"good-dec.txt"});
}

TEST_F(DecodeCommandTest, WithoutTheCheckAWrongKeyStillDecodes)
{
    const std::string checked = dir_.Write("in/checked.txt", CheckedStream().Encoded());
    EXPECT_EQ(Run({"--no-check", "-k", WrongKey, checked}), AllDecoded);
}

TEST_F(DecodeCommandTest, UsageKeyAndDriveErrorsDecodeNothing)
{
    const std::string source = dir_.Write("in/a.txt", "x");
    drives_.notFixed = {dir_.At("usb")};
    const std::string onStick = dir_.Write("usb/b.txt", "y");
    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string err;
    } cases[] = {
        {{"-k", RightKey}, "", "vantrel-decode: no files to decode\n"},
        {{"--bogus", source}, "", "vantrel-decode: unknown option --bogus\n"},
        {{"-k", RightKey, "--key-file", "-", source}, RightKey, "vantrel-decode: give the key either with --key-file or with -k\n"},
        {{source, "-o"}, "", "vantrel-decode: -o needs a folder\n"},
        {{"-k", RightKey, "-o", "", source}, "", "vantrel-decode: -o needs a folder\n"},
        {{source}, "", "vantrel-decode: no key: give --key-file FILE, or --key-file - to read it from standard input\n"},
        {{"--key-file", dir_.At("no-key-here"), source}, "", "vantrel-decode: cannot read the key file " + dir_.At("no-key-here") + "\n"},
        {{"-k", " 012345678 ", source}, "", "Decoding key is not correct!\n"},
        {{"--key-file", "-", source}, "", "Decoding key is not correct!\n"},
        {{"-k", RightKey, source, onStick}, "", "Upload folder is not correct!\n" + onStick + ": not on a fixed disk"},
    };
    for (const auto& c : cases) {
        out_.str("");
        err_.str("");
        EXPECT_EQ(Run(c.args, c.input), CannotStart) << c.err;
        EXPECT_TRUE(err_.str().starts_with(c.err)) << err_.str();
        EXPECT_EQ(out_.str(), "");
    }
    EXPECT_EQ(dir_.FilesIn("in"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(dir_.FilesIn("usb"), std::vector<std::string>{"b.txt"});
}

TEST_F(DecodeCommandTest, AChosenFolderLetsSourcesOffFixedDisksThrough)
{
    drives_.notFixed = {dir_.At("usb")};
    const std::string onStick = dir_.Write("usb/b.txt", "y");
    dir_.Write("out/.keep", "");
    EXPECT_EQ(Run({"-k", RightKey, "-o", dir_.At("out"), onStick}), AllDecoded);
    EXPECT_EQ(out_.str(), onStick + "\tDecoded\t" + dir_.At("out/b-dec.txt") + "\n");
}

TEST_F(DecodeCommandTest, TakesTheKeyFromAFileStandardInputOrThePrompt)
{
    const std::string checked = dir_.Write("in/checked.txt", CheckedStream().Encoded());
    const std::string keyFile = dir_.Write("key", std::string(RightKey) + "\r\nsecond line ignored\n");

    EXPECT_EQ(Run({"--key-file", keyFile, checked}), AllDecoded);
    EXPECT_EQ(Run({"--key-file=-", checked}, std::string("  ") + RightKey + "\n" + WrongKey + "\n"), AllDecoded);
    promptKey_ = [] { return std::optional<std::string>(RightKey); };
    EXPECT_EQ(Run({checked}), AllDecoded);
    promptKey_ = [] { return std::optional<std::string>(WrongKey); };
    EXPECT_EQ(Run({checked}), SomeNotDecoded);
    EXPECT_EQ(dir_.FilesIn("in/Decript"),
              (std::vector<std::string>{"checked-dec(1).txt", "checked-dec(2).txt", "checked-dec.txt"}));
}

TEST_F(DecodeCommandTest, AnInterruptStopsTheCurrentFileAndLeavesNoOutput)
{
    const std::string big = dir_.Write("in/big.txt", std::string(2'000'000, 'z'));
    const std::string next = dir_.Write("in/next.txt", "n");
    int asked = 0;
    interrupted_ = [&] { return ++asked > 2; };

    EXPECT_EQ(Run({"-k", RightKey, big, next}), Interrupted);

    EXPECT_EQ(out_.str(), big + "\tStopped\t\n" + next + "\tNot decoded\t\n");
    EXPECT_EQ(dir_.FilesIn("in/Decript"), std::vector<std::string>{});
}

TEST_F(DecodeCommandTest, DrawsAProgressBarOnlyOnATerminal)
{
    const std::string source = dir_.Write("in/a.txt", std::string(1000, 'a'));
    EXPECT_EQ(Run({"-k", RightKey, source}), AllDecoded);
    EXPECT_EQ(err_.str(), "");

    errIsTerminal_ = true;
    EXPECT_EQ(Run({"-k", RightKey, source}), AllDecoded);
    EXPECT_NE(err_.str().find("a.txt [##############################] 100%"), std::string::npos) << err_.str();
    EXPECT_TRUE(err_.str().ends_with("\r\033[K")); // the bar is gone afterwards
}

} // namespace
} // namespace vantrel::cli
