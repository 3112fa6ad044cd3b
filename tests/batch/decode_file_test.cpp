#include "batch/decode_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <csignal>
#include <gtest/gtest.h>
#include <grp.h>
#include <iostream>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "batch/decoding_key.h"
#include "platform/posix_file_system.h"
#include "platform/testing/fault_injecting_file_system.h"
#include "platform/testing/passthrough_mount.h"
#include "testing/encipher.h"

namespace vantrel::batch {
namespace {

namespace fs = std::filesystem;
using engine::testing::CheckPair;
using engine::testing::EncodedStreamBuilder;

constexpr std::string_view RightKey = "K3Y-0F-TEN";
constexpr std::string_view WrongKey = "NOT THE KEY";

// A source with a key-check block that only the right key passes (a wrong
// key fails all five pairs) and an enciphered region.
EncodedStreamBuilder Fixture()
{
    EncodedStreamBuilder stream(engine::testing::TableForKey(RightKey));
    stream.Plain("Report\n").CheckBlock({{"ALPHA"}, {"BRAVO"}, {"CHARLIE"}, {"DELTA"}, {"ECHO"}});
    stream.Plain("\nplain text, ").Region("ATTACK AT 0600/EAST").Plain(" end.\n");
    return stream;
}

struct RecordingObserver final : DecodeObserver {
    int started = 0;
    int rejected = 0;
    std::vector<double> progress;
    std::function<bool(double)> keepGoing = [](double) { return true; };
    std::function<void()> onRejected = [] {};

    void Started() override { ++started; }
    bool Progress(double percent) override
    {
        progress.push_back(percent);
        return keepGoing(percent);
    }
    void Rejected() override
    {
        ++rejected;
        onRejected();
    }
};

class DecodeFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vantrel-batch-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        PrepareTables(RightKey);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& relative, const std::string& bytes) const
    {
        const fs::path path = dir_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::vector<std::string> FilesIn(const fs::path& folder)
    {
        std::vector<std::string> names;
        if (fs::exists(folder)) {
            for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    FileResult Decode(const std::string& source, const OutputPlacement& placement = {}, bool keyCheck = true)
    {
        return DecodeFile(files_, source, placement, keyCheck, observer_);
    }

    fs::path dir_;
    platform::PosixFileSystem real_;
    platform::testing::FaultInjectingFileSystem files_{real_};
    RecordingObserver observer_;
};

TEST_F(DecodeFileTest, DecodesIntoANewDecriptFolderBesideTheSource)
{
    const EncodedStreamBuilder stream = Fixture();
    const std::string source = Write("logs/report.txt", stream.Encoded());

    const FileResult result = Decode(source);

    EXPECT_EQ(result.outcome, FileOutcome::Decoded);
    EXPECT_EQ(result.outputPath, (dir_ / "logs/Decript/report-dec.txt").string());
    EXPECT_EQ(Read(result.outputPath), stream.Decoded());
    EXPECT_EQ(Read(source), stream.Encoded());
    EXPECT_EQ(observer_.started, 1);
    EXPECT_EQ(observer_.rejected, 0);
    ASSERT_FALSE(observer_.progress.empty());
    EXPECT_EQ(observer_.progress.back(), 100.0);
    EXPECT_EQ(StatusWord(result.outcome), "Decoded");
}

TEST_F(DecodeFileTest, NamesOutputsAfterTheSourceAndNeverReusesANameWithOrWithoutUnnamedFiles)
{
    for (bool unnamedRefused : {false, true}) {
        SCOPED_TRACE(unnamedRefused ? "under a temporary name" : "unnamed");
        fs::remove_all(dir_);
        files_.faults.unnamedRefused = unnamedRefused;
        files_.created.clear();
        files_.unnamedFolders.clear();
        const std::string twoDots = Write("in/report.2024.txt", "a");
        const std::string noDot = Write("in/report", "b");
        for (int run = 0; run < 3; ++run) {
            ASSERT_EQ(Decode(twoDots).outcome, FileOutcome::Decoded);
            ASSERT_EQ(Decode(noDot).outcome, FileOutcome::Decoded);
        }
        const std::string out = (dir_ / "in/Decript/").string();
        EXPECT_EQ(files_.created,
                  (std::vector<std::string>{out + "report.2024-dec.txt", out + "report-dec.txt",
                                            out + "report.2024-dec(1).txt", out + "report-dec(1).txt",
                                            out + "report.2024-dec(2).txt", out + "report-dec(2).txt"}));
        EXPECT_EQ(Read(out + "report-dec.txt"), "b");
        EXPECT_EQ(files_.unnamedFolders.empty(), unnamedRefused);
    }
}

TEST_F(DecodeFileTest, SameNamesFromTwoFoldersShareAChosenFolderInTurn)
{
    fs::create_directories(dir_ / "out");
    const std::string first = Write("one/notes.txt", "first");
    const std::string second = Write("two/notes.txt", "second");
    const OutputPlacement chosen{(dir_ / "out/").string()}; // ends with "/": not doubled

    const FileResult a = Decode(first, chosen);
    const FileResult b = Decode(second, chosen);

    EXPECT_EQ(a.outputPath, (dir_ / "out/notes-dec.txt").string());
    EXPECT_EQ(b.outputPath, (dir_ / "out/notes-dec(1).txt").string());
    EXPECT_EQ(Read(b.outputPath), "second");
    EXPECT_FALSE(fs::exists(dir_ / "one/Decript")); // nothing made beside the sources
}

TEST_F(DecodeFileTest, ANameTakenBetweenTheLookAndTheNamingIsSkipped)
{
    for (bool unnamedRefused : {false, true}) {
        SCOPED_TRACE(unnamedRefused ? "under a temporary name" : "unnamed");
        fs::remove_all(dir_);
        files_.faults.unnamedRefused = unnamedRefused;
        const std::string source = Write("src/a.txt", "mine");
        const std::string squatter = (dir_ / "src/Decript/a-dec.txt").string();
        files_.faults.beforeNaming = [&](const std::string& path) {
            if (path == squatter && !fs::exists(squatter)) std::ofstream(squatter) << "theirs";
        };

        const FileResult result = Decode(source);

        EXPECT_EQ(result.outcome, FileOutcome::Decoded);
        EXPECT_EQ(result.outputPath, (dir_ / "src/Decript/a-dec(1).txt").string());
        EXPECT_EQ(Read(squatter), "theirs");
        EXPECT_EQ(Read(result.outputPath), "mine");
    }
}

TEST_F(DecodeFileTest, AFolderInTheWayOfANameIsSkippedToo)
{
    const std::string source = Write("src/a.txt", "x");
    fs::create_directories(dir_ / "src/Decript/a-dec.txt");
    EXPECT_EQ(Decode(source).outputPath, (dir_ / "src/Decript/a-dec(1).txt").string());
}

TEST_F(DecodeFileTest, TheRightKeyPassesTheCheck)
{
    const EncodedStreamBuilder stream = Fixture();
    const std::string source = Write("k/a.txt", stream.Encoded());
    EXPECT_EQ(Decode(source).outcome, FileOutcome::Decoded);
}

TEST_F(DecodeFileTest, AWrongKeyIsToldWhileTheOutputIsOpenAndLeavesNothing)
{
    const EncodedStreamBuilder stream = Fixture();
    const std::string source = Write("k/a.txt", stream.Encoded());
    PrepareTables(WrongKey);
    std::vector<std::string> outputsWhileTold{"not told"};
    observer_.onRejected = [&] { outputsWhileTold = FilesIn(dir_ / "k/Decript"); };

    const FileResult result = Decode(source);

    EXPECT_EQ(result.outcome, FileOutcome::Rejected);
    EXPECT_EQ(result.outputPath, "");
    EXPECT_EQ(observer_.rejected, 1);
    // Still open, but unnamed: a name only ever stands for a complete output.
    EXPECT_EQ(outputsWhileTold, std::vector<std::string>{});
    EXPECT_EQ(files_.unnamedFolders.size(), 1u);
    EXPECT_EQ(FilesIn(dir_ / "k/Decript"), std::vector<std::string>{});
    EXPECT_EQ(Read(source), stream.Encoded());
    EXPECT_EQ(StatusWord(result.outcome), "");
}

TEST_F(DecodeFileTest, WithoutTheCheckAnyKeyDecodes)
{
    const std::string source = Write("k/a.txt", Fixture().Encoded());
    PrepareTables(WrongKey);
    EXPECT_EQ(Decode(source, {}, false).outcome, FileOutcome::Decoded);
    EXPECT_EQ(observer_.rejected, 0);
}

TEST_F(DecodeFileTest, AnEmptySourceGivesAnEmptyOutputAndNoProgress)
{
    const FileResult result = Decode(Write("e/empty.txt", ""));
    EXPECT_EQ(result.outcome, FileOutcome::Decoded);
    EXPECT_EQ(Read(result.outputPath), "");
    EXPECT_TRUE(observer_.progress.empty());
}

TEST_F(DecodeFileTest, EveryFailureIsNamedWithItsReasonAndLeavesNoOutput)
{
    using platform::testing::InjectedFaults;
    const std::string content = Fixture().Encoded() + std::string(300'000, 'x'); // more than one chunk
    const struct {
        const char* name;
        std::function<void(InjectedFaults&, const std::string& source)> inject;
        FileOutcome outcome;
        const char* word;
        const char* reason;
        bool started;
    } cases[] = {
        {"cannot open", [](InjectedFaults& f, const std::string& s) { f.cannotOpen = {s}; }, FileOutcome::CannotOpen,
         "Cannot open", "Permission denied", false},
        {"read error at the start", [](InjectedFaults& f, const std::string&) { f.readFailsAfter = 0; },
         FileOutcome::ReadError, "Read error", "Input/output error", true},
        {"read error midway", [](InjectedFaults& f, const std::string&) { f.readFailsAfter = 270'000; },
         FileOutcome::ReadError, "Read error", "Input/output error", true},
        {"disk full", [](InjectedFaults& f, const std::string&) { f.writeFailsAfter = 100'000; },
         FileOutcome::WriteError, "Write error", "No space left on device", true},
        {"failing close", [](InjectedFaults& f, const std::string&) { f.closeFails = true; }, FileOutcome::WriteError,
         "Write error", "Input/output error", true},
        {"no Decript folder", [](InjectedFaults& f, const std::string&) { f.createFolderFails = true; },
         FileOutcome::WriteError, "Write error", "Read-only file system", true},
        {"no output", [](InjectedFaults& f, const std::string&) { f.createFails = true; }, FileOutcome::WriteError,
         "Write error", "Read-only file system", true},
        {"out of memory midway", [](InjectedFaults& f, const std::string&) { f.writeThrowsAfter = 100'000; },
         FileOutcome::DecodeError, "Decode error", "Cannot allocate memory", true},
        {"no name for the finished output", [](InjectedFaults& f, const std::string&) { f.publishFails = true; },
         FileOutcome::WriteError, "Write error", "Input/output error", true},
    };
    for (bool unnamedRefused : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.name << (unnamedRefused ? ", under a temporary name" : ""));
            fs::remove_all(dir_);
            const std::string source = Write("f/a.txt", content);
            files_.faults = {};
            files_.faults.unnamedRefused = unnamedRefused;
            c.inject(files_.faults, source);
            observer_ = {};

            const FileResult result = Decode(source);

            EXPECT_EQ(result.outcome, c.outcome);
            EXPECT_EQ(StatusWord(result.outcome), c.word);
            EXPECT_EQ(result.reason, c.reason);
            EXPECT_EQ(result.outputPath, "");
            EXPECT_EQ(observer_.started, c.started ? 1 : 0);
            EXPECT_EQ(FilesIn(dir_ / "f/Decript"), std::vector<std::string>{});
            if (c.outcome == FileOutcome::CannotOpen) {
                EXPECT_FALSE(fs::exists(dir_ / "f/Decript"));
            }
            EXPECT_EQ(Read(source), content);
        }
    }
}

TEST_F(DecodeFileTest, ASourceThatShrinksWhileReadIsAReadErrorAndOneThatGrowsDecodesAsRead)
{
    const std::string content(3'000'000, 'v');
    for (bool shrink : {true, false}) {
        SCOPED_TRACE(shrink ? "shrinks" : "grows");
        fs::remove_all(dir_);
        const std::string source = Write("s/a.txt", content);
        bool changed = false;
        observer_ = {};
        observer_.keepGoing = [&](double) {
            if (!changed) {
                if (shrink) fs::resize_file(source, content.size() / 2);
                else std::ofstream(source, std::ios::app) << "tail";
                changed = true;
            }
            return true;
        };

        const FileResult result = Decode(source);

        EXPECT_EQ(result.outcome, shrink ? FileOutcome::ReadError : FileOutcome::Decoded);
        EXPECT_EQ(result.reason, shrink ? "File shrank while being read" : "");
        EXPECT_EQ(FilesIn(dir_ / "s/Decript"), shrink ? std::vector<std::string>{} : std::vector<std::string>{"a-dec.txt"});
        if (!shrink) {
            EXPECT_EQ(Read(result.outputPath), content + "tail");
        }
    }
}

TEST_F(DecodeFileTest, OutputsAreNoMoreOpenThanTheirSources)
{
    const mode_t saved = ::umask(022);
    for (bool unnamedRefused : {false, true}) {
        files_.faults.unnamedRefused = unnamedRefused;
        for (fs::perms source : {fs::perms(0600), fs::perms(0644), fs::perms(04755)}) {
            fs::remove_all(dir_);
            const std::string path = Write("p/a.txt", "private");
            fs::permissions(path, source);
            const FileResult result = Decode(path);
            ASSERT_EQ(result.outcome, FileOutcome::Decoded);
            // Read and write bits only, less the umask.
            EXPECT_EQ(fs::status(result.outputPath).permissions(), source & fs::perms(0644))
                << std::oct << int(source) << (unnamedRefused ? ", under a temporary name" : "");
        }
    }
    ::umask(saved);
}

// The user decodes 0640 sources, one of a group they are in and one of a
// group they are not in: the first output takes its source's group, the
// other is its owner's alone, never readable by the user's own group.
TEST_F(DecodeFileTest, OutputsKeepTheirSourcesGroupOrNoneAtAll)
{
    if (::geteuid() != 0) GTEST_SKIP() << "giving a child process groups of its own takes root";
    constexpr uid_t user = 61'234;
    constexpr gid_t primary = 61'235, shared = 61'236, foreign = 61'237;
    const struct {
        gid_t source;
        gid_t output;
        fs::perms permissions;
    } cases[] = {{shared, shared, fs::perms(0640)}, {foreign, primary, fs::perms(0600)}};
    for (bool unnamedRefused : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << "source group " << c.source << (unnamedRefused ? ", under a temporary name" : ""));
            fs::remove_all(dir_);
            const std::string source = Write("g/a.txt", "for the group only");
            ASSERT_EQ(::chown((dir_ / "g").c_str(), user, primary), 0);
            ASSERT_EQ(::chown(source.c_str(), user, c.source), 0);
            fs::permissions(source, fs::perms(0640));

            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                const gid_t groups[] = {primary, shared};
                if (::setgroups(2, groups) != 0 || ::setgid(primary) != 0 || ::setuid(user) != 0) ::_exit(2);
                ::umask(022);
                files_.faults.unnamedRefused = unnamedRefused;
                ::_exit(DecodeFile(files_, source, {}, true, observer_).outcome == FileOutcome::Decoded ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

            const std::string output = (dir_ / "g/Decript/a-dec.txt").string();
            struct stat info {};
            ASSERT_EQ(::stat(output.c_str(), &info), 0);
            EXPECT_EQ(info.st_gid, c.output);
            EXPECT_EQ(fs::status(output).permissions(), c.permissions);
            EXPECT_EQ(Read(output), "for the group only");
        }
    }
}

// A child decodes a large source and is killed with SIGKILL midway: no
// output may be left under any name, on a disk, in memory or on a share
// without unnamed files (where one hidden temporary file is left).
TEST_F(DecodeFileTest, AProcessKilledMidwayLeavesNoOutput)
{
    const std::string unique = "vantrel-kill-" + std::to_string(::getpid());
    for (const std::string place : {"disk", "tmpfs", "share"}) {
        SCOPED_TRACE(place);
        const fs::path base = place == "tmpfs" ? fs::path("/dev/shm") : fs::temp_directory_path();
        if (!fs::is_directory(base)) continue; // no tmpfs here
        if (place == "share" && !platform::testing::PassthroughMount::Unavailable().empty()) {
            std::cout << "[   SKIP   ] the share: " << platform::testing::PassthroughMount::Unavailable() << '\n';
            continue;
        }
        fs::remove_all(base / unique);
        fs::create_directories(base / unique);
        fs::path folder = base / unique;
        std::optional<platform::testing::PassthroughMount> share;
        if (place == "share") {
            fs::create_directories(base / unique / "backing");
            fs::create_directories(base / unique / "share");
            share.emplace(base / unique / "backing", base / unique / "share");
            ASSERT_EQ(share->Failure(), "");
            folder = base / unique / "share";
        }
        const std::string source = (folder / "big.txt").string();
        std::ofstream(source, std::ios::binary) << std::string(8'000'000, 'k');
        int midway[2];
        ASSERT_EQ(::pipe(midway), 0);

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            struct Midway final : DecodeObserver {
                int fd;
                bool Progress(double percent) override
                {
                    if (percent > 30.0) {
                        ::write(fd, "m", 1);
                        ::pause(); // until killed
                    }
                    return true;
                }
            } observer;
            observer.fd = midway[1];
            DecodeFile(real_, source, {}, true, observer);
            ::_exit(0);
        }
        char got = 0;
        ASSERT_EQ(::read(midway[0], &got, 1), 1);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(midway[0]);
        ::close(midway[1]);

        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_TRUE(fs::is_directory(folder / "Decript")); // it got as far as its folder
        const std::vector<std::string> left = FilesIn(folder / "Decript");
        EXPECT_LE(left.size(), share ? 1u : 0u);
        for (const std::string& name : left) EXPECT_TRUE(name.starts_with(".vantrel-")) << name;
        share.reset();
        fs::remove_all(base / unique);
    }
}

TEST_F(DecodeFileTest, AChosenFolderThatDoesNotExistIsAWriteError)
{
    const std::string source = Write("s/a.txt", "x");
    const FileResult result = Decode(source, {(dir_ / "nowhere").string()});
    EXPECT_EQ(result.outcome, FileOutcome::WriteError);
    EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
}

TEST_F(DecodeFileTest, StoppingMidwayLeavesNoOutput)
{
    const std::string content(3'000'000, 'y');
    const std::string source = Write("big/a.txt", content);
    observer_.keepGoing = [](double percent) { return percent < 20.0; };

    const FileResult result = Decode(source);

    EXPECT_EQ(result.outcome, FileOutcome::Stopped);
    EXPECT_EQ(StatusWord(result.outcome), "Not decoded");
    EXPECT_GE(observer_.progress.back(), 20.0);
    EXPECT_LT(observer_.progress.back(), 100.0);
    EXPECT_EQ(FilesIn(dir_ / "big/Decript"), std::vector<std::string>{});
    EXPECT_EQ(Read(source), content);
}

TEST_F(DecodeFileTest, SourcesBeyondTwoGibibytesReportTrueProgress)
{
    const std::string source = Write("huge/a.txt", "");
    const std::int64_t size = (std::int64_t{3} << 30) + 5; // sparse: nothing is written
    fs::resize_file(source, static_cast<std::uintmax_t>(size));
    observer_.keepGoing = [](double) { return false; };

    EXPECT_EQ(Decode(source).outcome, FileOutcome::Stopped);

    ASSERT_EQ(observer_.progress.size(), 1u);
    const double bytesDone = observer_.progress.front() * static_cast<double>(size) / 100.0;
    EXPECT_GT(bytesDone, 0.0);
    EXPECT_LT(bytesDone, 64.0 * 1024 * 1024);
    EXPECT_EQ(FilesIn(dir_ / "huge/Decript"), std::vector<std::string>{});
}

} // namespace
} // namespace vantrel::batch
