#include "cli/decode_command.h"

#include "cli/command_line.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sstream>

#include "cli/escaped_text.h"
#include "cli/progress_bar.h"
#include "cli_fixture.h"
#include "engine/decode_stream.h"
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
        const CommandServices services{*fileSystem_, drives_, promptKey_, interrupted_, keyCodePage_, keyTextCharset_, *folders_};
        const int status = RunDecodeCommand(args, streams, services);
        if (in >= 0) ::close(in);
        return status;
    }

    testing::TempFolder dir_{"vantrel-cli"};
    platform::PosixFileSystem realFiles_;
    platform::testing::FaultInjectingFileSystem files_{realFiles_};
    // Runs with several jobs share the file system: the real one, which
    // keeps no record of its own.
    platform::FileSystem* fileSystem_ = &files_;
    const platform::FolderLister* folders_ = &platform::SystemFolderLister();
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
    EXPECT_EQ(err_.str(), "vantrel-decode: 2 files: 2 decoded, 0 rejected, 0 failed\n");
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
    EXPECT_EQ(err_.str(), "vantrel-decode: " + checked + ": Wrong invalid key!\nvantrel-decode: 3 files: 1 decoded, 1 rejected, 1 failed\n");
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
    const std::string longList = dir_.Write("long-list", source + std::string(1, '\0') + std::string(300'000, 'n'));
    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string err;
    } cases[] = {
        {{"-k", RightKey}, "", "vantrel-decode: no files to decode\n"},
        {{"--bogus", source}, "", "vantrel-decode: unknown option --bogus\n"},
        {{"--key=k", source}, "", "vantrel-decode: option --key is ambiguous; it may be --key-file, --key-encoding\n"},
        {{"--no-check=yes", source}, "", "vantrel-decode: --no-check takes no value\n"},
        {{"-rx", source}, "", "vantrel-decode: unknown option -x\n"},
        {{"-k", RightKey, source, "-ro"}, "", "vantrel-decode: -o needs a folder\n"},
        {{"-k", RightKey, source, "--files-fro"}, "", "vantrel-decode: --files-from needs a file name or -\n"},
        {{"-k", RightKey, "--jobs", "two", source}, "", "vantrel-decode: --jobs needs a number from 0 to 1024\n"},
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
        {{"-k", " 012345678 ", source}, "", "vantrel-decode: Decoding key is not correct!\n"},
        {{"--key-file", "-", source}, "", "vantrel-decode: Decoding key is not correct!\n"},
        {{"-k", RightKey, source, onStick}, "",
         "vantrel-decode: Upload folder is not correct!\nvantrel-decode: " + onStick + ": not on a fixed disk"},
        {{"-k", RightKey, source, "--key-encoding"}, "", "vantrel-decode: --key-encoding needs an encoding name\n"},
        {{"--key-encoding=", "-k", RightKey, source}, "", "vantrel-decode: --key-encoding needs an encoding name\n"},
        {{"--key-encoding", "UTF-8", "--key-file", "-", source}, RightKey,
         "vantrel-decode: --key-encoding UTF-8: not a single-byte encoding"},
        {{"--key-encoding=NO-SUCH", "-k", RightKey, source}, "", "vantrel-decode: --key-encoding NO-SUCH: not an encoding that iconv knows"},
        {{"--key-encoding", "CP1251//TRANSLIT", "-k", RightKey, source}, "",
         "vantrel-decode: --key-encoding CP1251//TRANSLIT: not an encoding that iconv knows"},
        {{"-k", "ключ-ключ1", source}, "",
         "vantrel-decode: Decoding key is not correct!\nvantrel-decode: the key has a character that CP1252 cannot hold;"},
        {{"--key-encoding", "CP1251", "-k", "ключ12345", source}, "", "vantrel-decode: Decoding key is not correct!\n"}, // 9 bytes
        {{"--key-encoding", "CP1251", "-k", "ключ-ключ\xff", source}, "",
         "vantrel-decode: Decoding key is not correct!\nvantrel-decode: the key is not valid UTF-8 text\n"},
        {{"-k", RightKey, "--files-from", dir_.At("no-list")}, "",
         "vantrel-decode: cannot read the file list " + dir_.At("no-list") + ": No such file or directory\n"},
        {{"-k", RightKey, "--files-from", "-"}, source + std::string("\0", 1),
         "vantrel-decode: the file list on standard input holds a NUL byte; give -0 if its names end with NUL\n"},
        {{"--key-file", "-", "--files-from", "-"}, "", "vantrel-decode: standard input cannot give both the key and the file list"},
        {{"-k", RightKey, "-0", source}, "", "vantrel-decode: -0 is for the names of a --files-from list\n"},
        {{"-k", RightKey, "-j", "two", source}, "", "vantrel-decode: -j needs a number from 0 to 1024\n"},
        {{"-k", RightKey, "--jobs=1025", source}, "", "vantrel-decode: --jobs needs a number from 0 to 1024\n"},
        {{"-k", RightKey, "--files-from", "-"}, onStick + "\n", "vantrel-decode: Upload folder is not correct!\nvantrel-decode: " + onStick + ":"},
        // The longest path the system takes passes, one byte more does not; blank lines count.
        {{"-k", RightKey, "--files-from", "-"}, source + "\n\n" + std::string(4096, 'n') + "\n" + std::string(4097, 'n'),
         "vantrel-decode: the file list on standard input: line 4 is longer than 4096 bytes, the longest path the system takes\n"},
        {{"-k", RightKey, "-0", "--files-from", longList}, "",
         "vantrel-decode: the file list " + longList + ": name 2 is longer than 4096 bytes, the longest path the system takes\n"},
        {{"-k", RightKey, "-o", dir_.At("no-such"), source}, "",
         "vantrel-decode: the output folder " + dir_.At("no-such") + " does not exist\n"},
        {{"-k", RightKey, "--output=" + source, source}, "", "vantrel-decode: the output folder " + source + " is not a folder\n"},
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
    // A byte order mark is no part of the key, nor of its length.
    EXPECT_EQ(Run({"--key-file", dir_.Write("key-at-limit", "\xef\xbb\xbf" + padded + "\n"), checked}), AllDecoded);
    promptKey_ = [] { return KeyRead{KeyRead::Status::Read, RightKey, {}, true}; };
    EXPECT_EQ(Run({checked}), AllDecoded);
    promptKey_ = [] { return KeyRead{KeyRead::Status::Read, WrongKey, {}, true}; };
    EXPECT_EQ(Run({checked}), SomeNotDecoded);
    EXPECT_EQ(dir_.FilesIn("in/Decript"),
              (std::vector<std::string>{"checked-dec(1).txt", "checked-dec(2).txt", "checked-dec(3).txt",
                                        "checked-dec(4).txt", "checked-dec(5).txt", "checked-dec.txt"}));
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
        {"CP1251", "UTF-8", {}, "\xef\xbb\xbf" + cyrillicKey + "\r\n"}, // as Notepad saves it
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

    // A double-byte key is its bytes: "日本日本日" is ten of them in CP932,
    // and a longer key counts with its first ten.
    const auto japanese = CheckedStream("\x93\xfa\x96\x7b\x93\xfa\x96\x7b\x93\xfa");
    const std::string japaneseSource = dir_.Write("ja/a.txt", japanese.Encoded());
    keyCodePage_ = "CP932";
    EXPECT_EQ(Run({"-k", "日本日本日", japaneseSource}), AllDecoded) << err_.str();
    keyCodePage_ = "CP1252";
    EXPECT_EQ(Run({"--key-encoding", "cp932", "-k", "日本日本日本", japaneseSource}), AllDecoded) << err_.str();
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("ja/Decript/a-dec(1).txt")), japanese.Decoded());
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

TEST_F(DecodeCommandTest, AnInterruptWhileAFolderIsReadEndsTheCommandWithoutResults)
{
    for (int i = 0; i < 5000; ++i) dir_.Write("in/" + std::to_string(i) + ".txt", ""); // more than one look's worth
    bool signalled = false;
    int looks = 0;
    const platform::PosixFolderLister lister([&] {
        signalled = signalled || ++looks == 2; // the signal comes while the folder is read
        return signalled;
    });
    folders_ = &lister;
    interrupted_ = [&] { return signalled; };

    EXPECT_EQ(Run({"-r", "-k", RightKey, dir_.At("in")}), Interrupted);

    EXPECT_EQ(out_.str() + err_.str(), "");
    EXPECT_EQ(looks, 2); // the folder was given up, not read to its end
    EXPECT_EQ(dir_.FilesIn("in").size(), 5000u);
}

TEST_F(DecodeCommandTest, DrawsAProgressBarOnlyOnATerminal)
{
    const std::string source = dir_.Write("in/a.txt", std::string(1000, 'a'));
    EXPECT_EQ(Run({"-k", RightKey, source}), AllDecoded);
    EXPECT_EQ(err_.str(), "");

    errIsTerminal_ = true;
    EXPECT_EQ(Run({"-k", RightKey, source}), AllDecoded);
    EXPECT_NE(err_.str().find("\ra.txt [####################] 100%  1/1 files  1000/1000 B"), std::string::npos)
        << err_.str();
    EXPECT_TRUE(err_.str().ends_with("\r\033[K")); // the bar is gone afterwards

    err_.str("");
    fileSystem_ = &realFiles_;
    EXPECT_EQ(Run({"-j", "2", "-k", RightKey, source, dir_.Write("in/b.txt", std::string(3000, 'b'))}), AllDecoded);
    EXPECT_NE(err_.str().find("] 100%  2/2 files  3.9/3.9 KiB"), std::string::npos) << err_.str();
    EXPECT_TRUE(err_.str().ends_with("\r\033[Kvantrel-decode: 2 files: 2 decoded, 0 rejected, 0 failed\n"));
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

TEST_F(DecodeCommandTest, TakesNamesFromListsWhereTheyStandAmongTheFiles)
{
    const std::string a = dir_.Write("in/a.txt", "a"), b = dir_.Write("in/b.txt", "b"), c = dir_.Write("in/c.txt", "c");
    const std::string list = dir_.Write("list", "\n" + b + "\n\n" + c); // blank lines, no last line end
    const std::string odd = dir_.Write("in/new\nline\t.txt", "n");

    EXPECT_EQ(Run({"-k", RightKey, c, "--files-from", list, a}), AllDecoded);
    EXPECT_EQ(Run({"-k", RightKey, "-0", "--files-from=-"}, std::string("\0", 1) + odd + std::string("\0\0", 2) + a),
              AllDecoded);
    EXPECT_EQ(Run({"-k", RightKey, "--files-from", dir_.Write("empty-list", "\n\n")}), AllDecoded);

    const auto line = [&](const std::string& source, const std::string& output) {
        return source + "\tDecoded\t" + dir_.At("in/Decript/" + output) + "\n";
    };
    EXPECT_EQ(out_.str(), line(c, "c-dec.txt") + line(b, "b-dec.txt") + line(c, "c-dec(1).txt") + line(a, "a-dec.txt") +
                              line(dir_.At("in/new\\nline\\t.txt"), "new\\nline\\t-dec.txt") + line(a, "a-dec(1).txt"));
    EXPECT_EQ(err_.str(), "vantrel-decode: 4 files: 4 decoded, 0 rejected, 0 failed\n"
                          "vantrel-decode: 2 files: 2 decoded, 0 rejected, 0 failed\n"
                          "vantrel-decode: 0 files: 0 decoded, 0 rejected, 0 failed\n");
}

// Lists every folder but one.
class ListerWithAnUnreadableFolder final : public platform::FolderLister {
public:
    explicit ListerWithAnUnreadableFolder(std::string unreadable) : unreadable_(std::move(unreadable)) {}
    std::optional<std::vector<platform::FolderEntry>> List(const std::string& folder) const override
    {
        if (folder == unreadable_) return std::nullopt;
        return real_.List(folder);
    }

private:
    std::string unreadable_;
    platform::PosixFolderLister real_;
};

TEST_F(DecodeCommandTest, WithRAFolderStandsForTheTextFilesUnderIt)
{
    for (const char* name : {"top/b.txt", "top/A.TXT", "top/sub/c.txt", "top/notes.md", "top/.hidden/h.txt",
                             "top/sub/.h.txt", "top/locked/l.txt"})
        dir_.Write(name, "x");
    const std::string list = dir_.Write("list", dir_.At("top/sub") + "\n");
    drives_.notFixed = {dir_.At("top/sub")};
    const ListerWithAnUnreadableFolder lister(dir_.At("top/locked"));
    folders_ = &lister;

    EXPECT_EQ(Run({"-r", "-k", RightKey, dir_.At("top"), "--files-from", list}), CannotStart);
    EXPECT_EQ(err_.str(), "vantrel-decode: Upload folder is not correct!\nvantrel-decode: " + dir_.At("top/sub/c.txt") +
                              ": not on a fixed disk; choose an output folder with -o DIR\n");

    err_.str("");
    dir_.Write("out/.keep", "");
    EXPECT_EQ(Run({"-r", "-k", RightKey, "-o", dir_.At("out"), dir_.At("top"), "--files-from", list}), SomeNotDecoded);
    const auto line = [&](const char* source, const char* output) {
        return dir_.At(source) + "\tDecoded\t" + dir_.At(output) + "\n";
    };
    EXPECT_EQ(out_.str(), line("top/A.TXT", "out/A-dec.txt") + line("top/b.txt", "out/b-dec.txt") +
                              line("top/sub/c.txt", "out/c-dec.txt") + line("top/sub/c.txt", "out/c-dec(1).txt"));
    EXPECT_EQ(err_.str(), "vantrel-decode: cannot read the folder " + dir_.At("top/locked") + "; its files are left out\n"
                          "vantrel-decode: 4 files: 4 decoded, 0 rejected, 0 failed\n");
}

TEST_F(DecodeCommandTest, WithRTheOutputsOfEarlierRunsAreNoSources)
{
    dir_.Write("top/a.txt", "a");
    dir_.Write("top/sub/b.txt", "b");
    std::filesystem::create_directory(dir_.At("top/out"));
    const std::string out = dir_.At("top/sub/../out"); // inside the tree, named another way
    for (const bool toOut : {false, false, true, true}) {
        std::vector<std::string> command{"-r", "-k", RightKey, dir_.At("top")};
        if (toOut) command.insert(command.end(), {"-o", out});
        EXPECT_EQ(Run(command), AllDecoded) << err_.str();
    }
    EXPECT_EQ(dir_.FilesIn("top/Decript"), (std::vector<std::string>{"a-dec(1).txt", "a-dec.txt"}));
    EXPECT_EQ(dir_.FilesIn("top/sub/Decript"), (std::vector<std::string>{"b-dec(1).txt", "b-dec.txt"}));
    EXPECT_EQ(dir_.FilesIn("top/out"),
              (std::vector<std::string>{"a-dec(1).txt", "a-dec.txt", "b-dec(1).txt", "b-dec.txt"}));

    // A "Decript" folder named itself is walked as any other.
    EXPECT_EQ(Run({"-r", "-k", RightKey, dir_.At("top/Decript")}), AllDecoded);
    EXPECT_EQ(dir_.FilesIn("top/Decript/Decript"), (std::vector<std::string>{"a-dec(1)-dec.txt", "a-dec-dec.txt"}));
}

// The same sources with one job and with three: each line in input order,
// as soon as the lines before it are known.
TEST_F(DecodeCommandTest, SeveralJobsGiveTheResultsOfOne)
{
    fileSystem_ = &realFiles_;
    std::vector<std::string> sources;
    for (int i = 0; i < 8; ++i) {
        const std::string name = "in/" + std::to_string(i) + ".txt";
        if (i % 3 == 1) {
            sources.push_back(dir_.At(name)); // missing
        } else if (i % 3 == 2) {
            sources.push_back(dir_.Write(name, "plain " + std::to_string(i)));
        } else {
            // Checked; the first takes longest.
            sources.push_back(dir_.Write(name, CheckedStream().Plain(std::string(i == 0 ? 3'000'000 : i, 'p')).Encoded()));
        }
    }
    const auto rejected = [&](std::size_t i) { return "vantrel-decode: " + sources[i] + ": Wrong invalid key!\n"; };
    // Rejections are said as they happen: with several jobs, in any order.
    const auto sortedLines = [](const std::string& text) {
        std::multiset<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.insert(line);
        return lines;
    };
    const struct {
        const char* key;
        std::string messages;
    } cases[] = {
        {RightKey, "vantrel-decode: 8 files: 5 decoded, 0 rejected, 3 failed\n"},
        {WrongKey, rejected(0) + rejected(3) + rejected(6) + "vantrel-decode: 8 files: 2 decoded, 3 rejected, 3 failed\n"},
    };
    for (const auto& c : cases) {
        std::string lines[2], folders[2];
        for (const int jobs : {1, 3}) {
            const std::string out = folders[jobs / 3] = dir_.At(std::string("out-") + c.key + "-" + std::to_string(jobs));
            std::filesystem::create_directories(out);
            std::vector<std::string> args = {"-j", std::to_string(jobs), "-k", c.key, "-o", out};
            args.insert(args.end(), sources.begin(), sources.end());
            out_.str("");
            err_.str("");
            EXPECT_EQ(Run(args), SomeNotDecoded);
            EXPECT_EQ(sortedLines(err_.str()), sortedLines(c.messages)) << jobs;
            EXPECT_TRUE(err_.str().ends_with("3 failed\n")) << err_.str();
            lines[jobs / 3] = out_.str();
            for (std::size_t at = 0; (at = lines[jobs / 3].find(out, at)) != std::string::npos;)
                lines[jobs / 3].replace(at, out.size(), "OUT");
        }
        EXPECT_EQ(lines[1], lines[0]);
        for (const std::string& name : dir_.FilesIn(folders[0]))
            EXPECT_TRUE(testing::TempFolder::Read(folders[0] + "/" + name) == testing::TempFolder::Read(folders[1] + "/" + name))
                << name;
        std::istringstream text(lines[0]);
        for (std::string line; const std::string& source : sources) {
            std::getline(text, line);
            EXPECT_TRUE(line.starts_with(source + "\t")) << line;
        }
    }
}

TEST_F(DecodeCommandTest, SameNamedSourcesUnderSeveralJobsGetNamesOfTheirOwn)
{
    fileSystem_ = &realFiles_;
    std::vector<std::string> args = {"-j", "4", "-k", RightKey, "-o", dir_.At("out")};
    for (int i = 0; i < 12; ++i) args.push_back(dir_.Write("in/" + std::to_string(i) + "/same.txt", std::to_string(i)));
    dir_.Write("out/same-dec(3).txt", "taken");

    EXPECT_EQ(Run(args), AllDecoded);

    std::istringstream lines(out_.str());
    std::set<std::string> outputs;
    for (std::string line; std::getline(lines, line);) {
        const std::string source = line.substr(0, line.find('\t'));
        const std::string output = line.substr(line.rfind('\t') + 1);
        EXPECT_EQ(testing::TempFolder::Read(output), testing::TempFolder::Read(source)) << line;
        outputs.insert(output);
    }
    EXPECT_EQ(outputs.size(), 12u);
    EXPECT_EQ(dir_.FilesIn("out").size(), 13u);
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("out/same-dec(3).txt")), "taken");
}

TEST_F(DecodeCommandTest, AnInterruptStopsEveryJobAndLeavesNoOutput)
{
    fileSystem_ = &realFiles_;
    std::vector<std::string> args = {"-j", "2", "-k", RightKey};
    // Several progress reports per file (one a chunk): no file gets through
    // the four checks before the interrupt.
    const std::string large(6 * engine::DefaultChunkSize, 'z');
    for (int i = 0; i < 4; ++i) args.push_back(dir_.Write("in/" + std::to_string(i) + ".txt", large));
    int asked = 0;
    interrupted_ = [&] { return ++asked > 4; };

    EXPECT_EQ(Run(args), Interrupted);

    const std::string out = out_.str();
    EXPECT_TRUE(out.starts_with(args[4] + "\tStopped\t\n" + args[5] + "\t")) << out;
    EXPECT_TRUE(out.ends_with(args[6] + "\tNot decoded\t\n" + args[7] + "\tNot decoded\t\n")) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 4);
    EXPECT_EQ(err_.str(), "vantrel-decode: 4 files: 0 decoded, 0 rejected, 0 failed, 4 not decoded\n");
    EXPECT_EQ(dir_.FilesIn("in/Decript"), std::vector<std::string>{});
}

TEST(ProgressBar, FitsTheTerminalAndCountsFilesAndBytes)
{
    const std::string longName(60, 'n');
    const struct {
        std::string name;
        BarCounts counts;
        int columns;
        std::string line;
    } cases[] = {
        {"a.txt", {0, 2, 0, 2048}, 80, "a.txt [                    ]   0%  0/2 files  0.0/2.0 KiB"},
        {"a.txt", {1, 4, 0, 0}, 80, "a.txt [#####               ]  25%  1/4 files  0/0 B"},
        {longName, {1, 2, 3ull << 29, 4ull << 30}, 80,
         "..." + longName.substr(0, 24) + " [#######             ]  37%  1/2 files  1.5/4.0 GiB"},
        {"a.txt", {1, 2, 500, 1000}, 40, "a.txt  50%  1/2 files  500/1000 B"},
    };
    for (const auto& c : cases) {
        std::ostringstream terminal;
        ProgressBar bar(terminal, c.columns);
        bar.Show(c.name, c.counts);
        bar.Show(c.name, c.counts); // unchanged: not drawn again
        EXPECT_EQ(terminal.str(), "\r" + c.line + "\033[K");
        EXPECT_LT(c.line.size(), static_cast<std::size_t>(c.columns));
    }

    // Where the terminal takes no escape sequences, spaces wipe what a
    // shorter line leaves of a longer one.
    std::ostringstream dumb;
    ProgressBar bar(dumb, 80, false);
    bar.Show(cases[0].name, cases[0].counts);
    bar.Show(cases[1].name, cases[1].counts);
    bar.Clear();
    const std::size_t shorter = cases[0].line.size() - cases[1].line.size();
    EXPECT_EQ(dumb.str(), "\r" + cases[0].line + "\r" + cases[1].line + std::string(shorter, ' ') + "\r" +
                              std::string(cases[1].line.size(), ' ') + "\r");
}

// The options taken, written out: "o=DIR kf=FILE k=KEY e=CODEPAGE r 0 nocheck j=N lists=L@i,... files=a,b,...".
std::string Taken(const CommandOptions& options)
{
    std::string text;
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : " ") + part; };
    if (options.outputFolder) add("o=" + *options.outputFolder);
    if (options.keyFile) add("kf=" + *options.keyFile);
    if (options.key) add("k=" + *options.key);
    if (options.keyEncoding) add("e=" + *options.keyEncoding);
    if (options.recursive) add("r");
    if (options.nulSeparated) add("0");
    if (!options.keyCheck) add("nocheck");
    if (options.jobs != 1) add("j=" + std::to_string(options.jobs));
    std::string lists, files;
    for (const auto& list : options.fileLists) lists += (lists.empty() ? "" : ",") + list.name + "@" + std::to_string(list.afterSources);
    for (const auto& file : options.sources) files += (files.empty() ? "" : ",") + file;
    if (!lists.empty()) add("lists=" + lists);
    if (!files.empty()) add("files=" + files);
    return text;
}

TEST(CommandLine, TakesOptionsAsEveryToolDoes)
{
    const struct {
        std::vector<std::string> args;
        std::string taken;
    } cases[] = {
        {{"-r0", "--files-from", "L", "-oout", "-j2", "a"}, "o=out r 0 j=2 lists=L@0 files=a"},
        {{"--key-f=K", "--out", "D", "--rec", "--no", "--key-e", "CP1251", "a"}, "o=D kf=K e=CP1251 r nocheck files=a"},
        {{"a", "--files-f", "L", "b", "-rj", "3", "-kK", "--files-from=-", "c"}, "k=K r j=3 lists=L@1,-@2 files=a,b,c"},
        {{"-k", "KEY", "--", "-r", "--help", "-", ""}, "k=KEY files=-r,--help,-,"},
        {{"-k", "-", "-o", "--", "--jobs=0", "-"}, "o=-- k=- j=0 files=-"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseCommandLine(c.args);
        ASSERT_TRUE(std::holds_alternative<CommandOptions>(parsed)) << c.taken << ": " << std::get<UsageError>(parsed).text;
        EXPECT_EQ(Taken(std::get<CommandOptions>(parsed)), c.taken);
    }
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
        // Invisible format characters: U+202E shows the text after it
        // backwards ("photo-\u202Egpj.exe" reads "photo-exe.jpg"); U+2066
        // isolates; U+200B, U+FEFF, U+00AD, U+061C, U+E0001 and U+13439
        // hide or join.
        {"photo-\xe2\x80\xae" "gpj.exe", "photo-\\xe2\\x80\\xaegpj.exe"},
        {"\xe2\x81\xa6x\xe2\x80\x8by\xef\xbb\xbfz\xc2\xad", "\\xe2\\x81\\xa6x\\xe2\\x80\\x8by\\xef\\xbb\\xbfz\\xc2\\xad"},
        {"\xd8\x9c\xf3\xa0\x80\x81\xf0\x93\x90\xb9", "\\xd8\\x9c\\xf3\\xa0\\x80\\x81\\xf0\\x93\\x90\\xb9"},
        // Their visible neighbours, and an unassigned code point, stay.
        {"\xe2\x80\x90\xc2\xae\xe2\x81\xa5", "\xe2\x80\x90\xc2\xae\xe2\x81\xa5"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapedText(c.bytes), c.printed) << c.printed;
}

} // namespace
} // namespace vantrel::cli
