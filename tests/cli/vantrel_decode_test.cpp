// Runs the built vantrel-decode as a script would.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
    // redirections override those of stdin and stdout.
    Finished Run(const std::string& arguments, const std::string& input = "", const std::string& redirections = "") const
    {
        const std::string in = dir_.Write("stdin", input);
        const std::string command = environment_ + "'" + VANTREL_DECODE_BINARY + "' " + arguments + " <'" + in + "' >'" +
                                    dir_.At("stdout") + "' 2>'" + dir_.At("stderr") + "' " + redirections;
        const int raw = std::system(command.c_str());
        Finished finished;
        finished.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        finished.out = testing::TempFolder::Read(dir_.At("stdout"));
        finished.err = testing::TempFolder::Read(dir_.At("stderr"));
        return finished;
    }

    testing::TempFolder dir_{"vantrel-decode-bin"};
    std::string environment_; // assignments put before the command
};

TEST_F(VantrelDecodeTest, TellsItsVersionAndUsage)
{
    EXPECT_EQ(Run("--version").out, "vantrel-decode 1.6\n"
                                    "Copyright (c) 2026 The Vantrel developers\n"
                                    "License: MIT <https://opensource.org/license/mit>\n"
                                    "This is free software: you are free to change and redistribute it.\n"
                                    "There is NO WARRANTY, to the extent permitted by law.\n");
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
    EXPECT_EQ(wrong.err, "vantrel-decode: " + source + ": Wrong invalid key!\n");

    const Finished shortKey = Run("--key-file - '" + source + "'", "short\n");
    EXPECT_EQ(shortKey.status, 2);
    EXPECT_EQ(shortKey.err, "vantrel-decode: Decoding key is not correct!\n");
    EXPECT_EQ(dir_.FilesIn("in/Decript"), std::vector<std::string>{});
}

TEST_F(VantrelDecodeTest, TakesTheKeyInTheCodePageOfTheLocaleLanguage)
{
    ASSERT_TRUE(std::filesystem::exists(VANTREL_TEST_LOCALES "/ru_RU.UTF-8/LC_CTYPE")) << "built by the test_locales test";
    const std::string cp1251Key = testing::Cp1251Key;
    const auto stream = testing::CheckedStream(cp1251Key);
    const std::string source = dir_.Write("in/a.txt", stream.Encoded());
    const std::string typed = " --key-file '" + dir_.Write("key-utf8", "ключ-ключ1\n") + "' '" + source + "'";
    const std::string typedInCp1251 = " --key-file '" + dir_.Write("key-cp1251", cp1251Key + "\n") + "' '" + source + "'";
    const struct {
        std::string locale;
        std::string arguments;
        int status;
        std::string err;
    } cases[] = {
        {"ru_RU.UTF-8", typed, 0, ""},
        {"ru_RU.CP1251", typedInCp1251, 0, ""},
        {"en_US.UTF-8", "--key-encoding CP1251" + typed, 0, ""},
        {"C", "--key-encoding CP1251" + typed, 0, ""}, // ASCII cannot hold the key: read as UTF-8
        {"en_US.UTF-8", typed, 2,
         "vantrel-decode: Decoding key is not correct!\nvantrel-decode: the key has a character that CP1252 cannot hold; "
         "--key-encoding NAME names the code page the files were enciphered in\n"},
        {"C", "--key-encoding CP1251" + typedInCp1251, 2,
         "vantrel-decode: Decoding key is not correct!\nvantrel-decode: the key is not valid UTF-8 text\n"},
    };
    for (const auto& c : cases) {
        environment_ = "LOCPATH='" VANTREL_TEST_LOCALES "' LC_ALL=" + c.locale + " ";
        const Finished run = Run(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.locale << c.arguments;
        EXPECT_EQ(run.err, c.err) << c.locale << c.arguments;
    }
    EXPECT_EQ(dir_.FilesIn("in/Decript").size(), 4u);
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("in/Decript/a-dec.txt")), stream.Decoded());
}

TEST_F(VantrelDecodeTest, ResultLinesThatCannotBeWrittenAreReportedWithStatusOne)
{
    const auto stream = testing::CheckedStream();
    const std::string source = dir_.Write("in/a.txt", stream.Encoded());
    const std::string key = dir_.Write("key", std::string(testing::RightKey) + "\n");
    const struct {
        const char* redirect;
        const char* reason;
    } cases[] = {{">/dev/full", "No space left on device"}, {">&-", "Bad file descriptor"}};
    for (const auto& c : cases) {
        const Finished run = Run("--key-file '" + key + "' '" + source + "'", "", c.redirect);
        EXPECT_EQ(run.status, 1) << c.redirect;
        EXPECT_EQ(run.err, std::string("vantrel-decode: cannot write the results to standard output: ") + c.reason + "\n");
    }
    // The files were decoded all the same, and no result line went astray into one.
    EXPECT_EQ(dir_.FilesIn("in/Decript"), (std::vector<std::string>{"a-dec(1).txt", "a-dec.txt"}));
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("in/Decript/a-dec(1).txt")), stream.Decoded());
    EXPECT_EQ(Run("--help", "", ">/dev/full").status, 1);

    // A reader that went away (| head) is the same: the command is not
    // killed halfway through a file, it decodes on and says so.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        const int err = ::open(dir_.At("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        ::execl(VANTREL_DECODE_BINARY, VANTREL_DECODE_BINARY, "--key-file", key.c_str(), source.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("stderr")),
              "vantrel-decode: cannot write the results to standard output: Broken pipe\n");
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("in/Decript/a-dec(2).txt")), stream.Decoded());
}

TEST_F(VantrelDecodeTest, AClosedStandardInputIsNotAWrongKey)
{
    const std::string source = dir_.Write("in/a.txt", "x");
    const Finished run = Run("--key-file - '" + source + "'", "", "<&-");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "vantrel-decode: cannot read the key from standard input: Bad file descriptor\n"
                       "Try 'vantrel-decode --help'.\n");
}

// Waits until the process sleeps in ppoll(), that is, waits for its key.
bool WaitsForInput(pid_t pid)
{
    const std::string syscall = "/proc/" + std::to_string(pid) + "/syscall";
    for (int tries = 0; tries < 1000; ++tries) {
        const std::string now = testing::TempFolder::Read(syscall);
        if (now.starts_with(std::to_string(SYS_ppoll) + " ")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Waits until the process has read more than 16 MiB, that is, reads on.
bool ReadsOn(pid_t pid)
{
    for (int tries = 0; tries < 1000; ++tries) {
        const std::string io = testing::TempFolder::Read("/proc/" + std::to_string(pid) + "/io");
        const std::size_t at = io.find("rchar: ");
        if (at != std::string::npos && std::stoull(io.substr(at + 7)) > (16u << 20)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The exit status of the process, or -1 when it has not ended within 20 s
// (it is killed then).
int ExitStatusWithin20Seconds(pid_t pid)
{
    int status = 0;
    for (int tries = 0; tries < 2000; ++tries) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

TEST_F(VantrelDecodeTest, NulSeparatedNamesFromFindReachSeveralJobsWhateverTheyHold)
{
    const auto stream = testing::CheckedStream();
    for (const char* name : {"in/new\nline.txt", "in/tab\there.txt", "in/latin1-\xe9.txt", "in/sub/plain.txt"})
        dir_.Write(name, stream.Encoded());
    const std::string key = dir_.Write("key", std::string(testing::RightKey) + "\n");

    const std::string command = "find '" + dir_.At("in") + "' -name '*.txt' -print0 | LC_ALL=C sort -z | '" +
                                VANTREL_DECODE_BINARY + "' -j 2 -0 --key-file '" + key + "' --files-from - >'" +
                                dir_.At("stdout") + "' 2>'" + dir_.At("stderr") + "'";
    const int raw = std::system(command.c_str());

    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0);
    const auto line = [&](const std::string& source, const std::string& output) {
        return dir_.At("in/" + source) + "\tDecoded\t" + dir_.At("in/" + output) + "\n";
    };
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("stdout")),
              line("latin1-\\xe9.txt", "Decript/latin1-\\xe9-dec.txt") + line("new\\nline.txt", "Decript/new\\nline-dec.txt") +
                  line("sub/plain.txt", "sub/Decript/plain-dec.txt") + line("tab\\there.txt", "Decript/tab\\there-dec.txt"));
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("stderr")), "vantrel-decode: 4 files: 4 decoded, 0 rejected, 0 failed\n");
    EXPECT_EQ(testing::TempFolder::Read(dir_.At("in/Decript/new\nline-dec.txt")), stream.Decoded());
}

TEST_F(VantrelDecodeTest, CtrlCTerminationAndHangUpEndTheReadingOfTheKeyOrTheList)
{
    const std::string source = dir_.Write("in/a.txt", "x");
    const struct {
        std::vector<const char*> args;
        bool endless; // input always ready instead of none coming
    } reads[] = {
        {{"--key-file", "-", source.c_str()}, false},
        {{"-k", testing::RightKey, "-0", "--files-from", "-"}, false},
        {{"-k", testing::RightKey, "-0", "--files-from", "-"}, true}, // /dev/zero: empty names without end
    };
    for (const auto& read : reads) {
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(signal);
            SCOPED_TRACE(read.endless ? "endless input" : read.args.front());
            int input[2];
            ASSERT_EQ(::pipe(input), 0);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::dup2(read.endless ? ::open("/dev/zero", O_RDONLY) : input[0], STDIN_FILENO);
                ::close(input[1]);
                const int out = ::open(dir_.At("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                const int err = ::open(dir_.At("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                ::dup2(out, STDOUT_FILENO);
                ::dup2(err, STDERR_FILENO);
                std::vector<const char*> argv = {VANTREL_DECODE_BINARY};
                argv.insert(argv.end(), read.args.begin(), read.args.end());
                argv.push_back(nullptr);
                ::execv(VANTREL_DECODE_BINARY, const_cast<char* const*>(argv.data()));
                ::_exit(127);
            }
            ::close(input[0]);
            EXPECT_TRUE(read.endless ? ReadsOn(child) : WaitsForInput(child));
            ::kill(child, signal);
            const int status = ExitStatusWithin20Seconds(child);
            ::close(input[1]); // held open until now: no end of input could end the wait instead

            EXPECT_EQ(status, 130);
            EXPECT_EQ(testing::TempFolder::Read(dir_.At("stdout")), "");
            EXPECT_EQ(testing::TempFolder::Read(dir_.At("stderr")), "");
        }
    }
    EXPECT_EQ(dir_.FilesIn("in"), std::vector<std::string>{"a.txt"});
}

// Reads what the terminal shows until `until` has appeared (or the other
// side is gone).
std::string ReadTerminal(int master, std::string shown, std::string_view until = {})
{
    char buffer[256];
    while (until.empty() || shown.find(until) == std::string::npos) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 10'000) <= 0) break;
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) break;
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    return shown;
}

TEST_F(VantrelDecodeTest, CtrlCAtThePromptEndsItsLineAndNothingMore)
{
    const std::string source = dir_.Write("in/a.txt", "x");
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(VANTREL_DECODE_BINARY, VANTREL_DECODE_BINARY, source.c_str(), nullptr);
        ::_exit(127);
    }
    const std::string prompt = ReadTerminal(master, {}, "Decoding key: ");
    ASSERT_TRUE(prompt.ends_with("Decoding key: ")) << prompt;
    ASSERT_TRUE(WaitsForInput(child));
    ASSERT_EQ(::write(master, "\x03", 1), 1); // the terminal turns it into SIGINT

    const std::string after = ReadTerminal(master, {});
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(master);

    EXPECT_EQ(after, "\r\n"); // the newline, as the terminal shows it
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
    EXPECT_EQ(dir_.FilesIn("in"), std::vector<std::string>{"a.txt"});
}

TEST_F(VantrelDecodeTest, NoEscapeSequencesReachADumbTerminal)
{
    const std::string source = dir_.Write("in/a.txt", std::string(1000, 'a'));
    const std::string key = dir_.Write("key", std::string(testing::RightKey) + "\n");
    const struct {
        const char* term; // null: not set
        bool escapes;
    } cases[] = {{"xterm", true}, {"dumb", false}, {nullptr, false}};
    for (const auto& c : cases) {
        int master = -1;
        const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
        ASSERT_GE(child, 0);
        if (child == 0) {
            c.term ? ::setenv("TERM", c.term, 1) : ::unsetenv("TERM");
            ::execl(VANTREL_DECODE_BINARY, VANTREL_DECODE_BINARY, "--key-file", key.c_str(), source.c_str(), nullptr);
            ::_exit(127);
        }
        const std::string shown = ReadTerminal(master, {});
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(master);

        const std::string term = c.term ? c.term : "(unset)";
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << term;
        EXPECT_NE(shown.find("a.txt [####################] 100%  1/1 files"), std::string::npos) << term << ": " << shown;
        EXPECT_EQ(shown.find('\033') != std::string::npos, c.escapes) << term << ": " << shown;
    }
}

} // namespace
} // namespace vantrel::cli
