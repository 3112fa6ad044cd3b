#include "cli/decode_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>

#include "cli/escaped_text.h"
#include "cli_fixture.h"
#include "platform/posix_file_system.h"
#include "platform/testing/fake_drive_kinds.h"
#include "platform/testing/fault_injecting_file_system.h"

namespace vantrel::cli {
namespace {

using testing::CheckedStream;
using testing::RightKey;
using testing::WrongKey;

class DecodeCommandTest : public ::testing::Test {
protected:
    // input is standard input; closedInput runs the command without one.
    int Run(std::vector<std::string> args, const std::string& input = "", bool closedInput = false)
    {
        const int in = closedInput ? -1 : ::open(dir_.Write("stdin", input).c_str(), O_RDONLY | O_CLOEXEC);
        const CommandStreams streams{in, out_, err_, errIsTerminal_};
        const CommandServices services{files_, drives_, promptKey_, interrupted_, keyCodePage_, keyTextCharset_};
        const int status = RunDecodeCommand(args, streams, services);
        if (in >= 0) ::close(in);
        return status;
    }

    testing::TempFolder dir_{"vantrel-cli"};
    platform::PosixFileSystem realFiles_;
    platform::testing::FaultInjectingFileSystem files_{realFiles_};
    platform::testing::FakeDriveKinds drives_;
    std::function<KeyRead()> promptKey_;
    std::function<bool()> interrupted_ = [] { return false; };
    bool errIsTerminal_ = false;
    std::string keyCodePage_ = "CP1252";
    std::string keyTextCharset_ = "UTF-8";
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
                              missing + "\tCannot open: No such file or directory\t\n");
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
    const std::string longKey = dir_.Write("long-key", std::string(5000, 'k'));
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
        {{"--key-file", dir_.At("no-key-here"), source}, "",
         "vantrel-decode: cannot read the key file " + dir_.At("no-key-here") + ": No such file or directory\n"},
        {{"--key-file", dir_.At("in"), source}, "", "vantrel-decode: cannot read the key file " + dir_.At("in") + ": Is a directory\n"},
        {{"--key-file", "-", source}, std::string(4097, 'k') + "\n",
         "vantrel-decode: standard input has a first line longer than 4096 bytes, the most a key may have\n"},
        {{"--key-file", longKey, source}, "",
         "vantrel-decode: the key file " + longKey + " has a first line longer than 4096 bytes, the most a key may have\n"},
        {{"-k", " 012345678 ", source}, "", "Decoding key is not correct!\n"},
        {{"--key-file", "-", source}, "", "Decoding key is not correct!\n"},
        {{"-k", RightKey, source, onStick}, "", "Upload folder is not correct!\n" + onStick + ": not on a fixed disk"},
        {{"-k", RightKey, source, "--key-encoding"}, "", "vantrel-decode: --key-encoding needs an encoding name\n"},
        {{"--key-encoding=", "-k", RightKey, source}, "", "vantrel-decode: --key-encoding needs an encoding name\n"},
        {{"--key-encoding", "UTF-8", "--key-file", "-", source}, RightKey,
         "vantrel-decode: --key-encoding UTF-8: not a single-byte encoding"},
        {{"--key-encoding=NO-SUCH", "-k", RightKey, source}, "", "vantrel-decode: --key-encoding NO-SUCH: not an encoding that iconv knows"},
        {{"--key-encoding", "CP1251//TRANSLIT", "-k", RightKey, source}, "",
         "vantrel-decode: --key-encoding CP1251//TRANSLIT: not an encoding that iconv knows"},
        {{"-k", "ключ-ключ1", source}, "", "Decoding key is not correct!\nthe key has a character that CP1252 cannot hold;"},
        {{"--key-encoding", "CP1251", "-k", "ключ12345", source}, "", "Decoding key is not correct!\n"}, // 9 bytes
        {{"--key-encoding", "CP1251", "-k", "ключ-ключ\xff", source}, "",
         "Decoding key is not correct!\nthe key is not valid UTF-8 text\n"},
    };
    for (const auto& c : cases) {
        out_.str("");
        err_.str("");
        EXPECT_EQ(Run(c.args, c.input), CannotStart) << c.err;
        EXPECT_TRUE(err_.str().starts_with(c.err)) << err_.str();
        EXPECT_EQ(out_.str(), "");
    }
    err_.str("");
    EXPECT_EQ(Run({"--key-file", "-", source}, "", true), CannotStart);
    EXPECT_EQ(err_.str(), "vantrel-decode: cannot read the key from standard input: Bad file descriptor\n"
                          "Try 'vantrel-decode --help'.\n");
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
    // The longest first line a key may have: the limit itself, blanks around the key.
    const std::string padded = std::string(4096 - 10, ' ') + RightKey;

    EXPECT_EQ(Run({"--key-file", keyFile, checked}), AllDecoded);
    EXPECT_EQ(Run({"--key-file=-", checked}, std::string("  ") + RightKey + "\n" + WrongKey + "\n"), AllDecoded);
    EXPECT_EQ(Run({"--key-file", dir_.Write("key-at-limit", padded + "\n" + std::string(9000, 'x'))}, ""), CannotStart);
    EXPECT_EQ(Run({"--key-file", dir_.Write("key-at-limit", padded + "\n"), checked}), AllDecoded);
    EXPECT_EQ(Run({"--key-file", dir_.Write("key-at-limit", padded), checked}), AllDecoded);
    promptKey_ = [] { return KeyRead{KeyRead::Status::Read, RightKey, {}, true}; };
    EXPECT_EQ(Run({checked}), AllDecoded);
    promptKey_ = [] { return KeyRead{KeyRead::Status::Read, WrongKey, {}, true}; };
    EXPECT_EQ(Run({checked}), SomeNotDecoded);
    EXPECT_EQ(dir_.FilesIn("in/Decript"),
              (std::vector<std::string>{"checked-dec(1).txt", "checked-dec(2).txt", "checked-dec(3).txt",
                                        "checked-dec(4).txt", "checked-dec.txt"}));
    promptKey_ = [] { return KeyRead{KeyRead::Status::Interrupted, {}, {}, false}; };
    out_.str("");
    err_.str("");
    EXPECT_EQ(Run({checked}), Interrupted);
    EXPECT_EQ(out_.str() + err_.str(), "");
}

TEST_F(DecodeCommandTest, TheKeyIsTakenInTheCodePageOfTheLocaleOrTheOneNamed)
{
    const std::string cyrillicKey = "ключ-ключ1";
    const auto stream = CheckedStream(testing::Cp1251Key);
    const std::string source = dir_.Write("in/a.txt", stream.Encoded());
    const struct {
        std::string codePage;
        std::string charset;
        std::vector<std::string> args;
        std::string keyFileBytes;
    } cases[] = {
        {"CP1251", "UTF-8", {"-k", cyrillicKey}, ""},
        {"CP1252", "UTF-8", {"--key-encoding", "CP1251", "-k", cyrillicKey}, ""},
        {"CP1251", "KOI8-R", {}, "\xcb\xcc\xc0\xde-\xcb\xcc\xc0\xde" "1\n"},
        {"CP1251", "CP1251", {}, std::string(testing::Cp1251Key) + "\n"},
    };
    for (const auto& c : cases) {
        keyCodePage_ = c.codePage;
        keyTextCharset_ = c.charset;
        std::vector<std::string> args = c.args;
        if (args.empty()) args = {"--key-file", dir_.Write("key", c.keyFileBytes)};
        args.push_back(source);
        err_.str("");
        EXPECT_EQ(Run(args), AllDecoded) << c.codePage << " " << c.charset << ": " << err_.str();
    }
    EXPECT_EQ(dir_.FilesIn("in/Decript").size(), std::size(cases));
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("in/Decript/a-dec.txt")), stream.Decoded());
    // Any other bytes are another key, which the check fields reject.
    keyTextCharset_ = "UTF-8";
    EXPECT_EQ(Run({"--key-encoding", "KOI8-R", "-k", cyrillicKey, source}), SomeNotDecoded);
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

TEST_F(DecodeCommandTest, FailuresSayWhyAndTheNextFileStillDecodes)
{
    const std::string next = dir_.Write("in/next.txt", "n");
    const std::string big = dir_.Write("in/big.txt", std::string(400'000, 'b'));
    const struct {
        std::function<void(platform::testing::InjectedFaults&)> inject;
        std::string source;
        std::string result;
    } cases[] = {
        {[](auto&) {}, dir_.At("in"), "Cannot open: Is a directory"},
        {[](auto& f) { f.writeFailsAfter = 1000; }, big, "Write error: No space left on device"},
        {[](auto& f) { f.readFailsAfter = 1000; }, big, "Read error: Input/output error"},
        {[](auto& f) { f.writeThrowsAfter = 1000; }, big, "Decode error: Cannot allocate memory"},
    };
    for (const auto& c : cases) {
        files_.faults = {};
        c.inject(files_.faults);
        out_.str("");
        EXPECT_EQ(Run({"-k", RightKey, c.source, next}), SomeNotDecoded);
        const std::string nextLine = next + "\tDecoded\t" + dir_.At("in/Decript/next-dec") ;
        EXPECT_TRUE(out_.str().starts_with(c.source + "\t" + c.result + "\t\n" + nextLine)) << out_.str();
    }
    EXPECT_EQ(dir_.FilesIn("in/Decript").size(), std::size(cases)); // one per run, all of "next"
}

TEST_F(DecodeCommandTest, NamesAreEscapedInResultLinesAndTheProgressBar)
{
    const std::string name = "a\tb\nc\x1b[31m\\\xff.txt";
    const std::string source = dir_.Write("in/" + name, "x");
    errIsTerminal_ = true;

    EXPECT_EQ(Run({"-k", RightKey, source}), AllDecoded);

    const std::string escaped = "a\\tb\\nc\\x1b[31m\\\\\\xff";
    EXPECT_EQ(out_.str(), dir_.At("in/") + escaped + ".txt\tDecoded\t" + dir_.At("in/Decript/") + escaped + "-dec.txt\n");
    EXPECT_NE(err_.str().find("\r" + escaped + ".txt [#"), std::string::npos) << err_.str();
    EXPECT_EQ(dir_.FilesIn("in/Decript"), std::vector<std::string>{name.substr(0, name.size() - 4) + "-dec.txt"});
}

TEST(EscapedText, KeepsPrintableTextAndValidUtf8AndEscapesTheRestReversibly)
{
    const struct {
        std::string bytes;
        std::string printed;
    } cases[] = {
        {"report 2024 (final).txt", "report 2024 (final).txt"},
        {"Отчёт—★.txt", "Отчёт—★.txt"},
        {"tab\tline\nback\\slash", "tab\\tline\\nback\\\\slash"},
        {std::string("nul\0bel\a esc\x1b del\x7f", 18), "nul\\x00bel\\x07 esc\\x1b del\\x7f"},
        {"\xc2\x9b" "1m", "\\xc2\\x9b1m"},             // C1 control CSI
        {"\xff\xfe", "\\xff\\xfe"},                   // never valid
        {"\xc0\xaf", "\\xc0\\xaf"},                   // overlong "/"
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},       // surrogate
        {"\xe2\x82", "\\xe2\\x82"},                   // cut short
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"}, // beyond U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(EscapedText(c.bytes), c.printed) << c.printed;
}

} // namespace
} // namespace vantrel::cli
