#include "cli/decode_command.h"

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <sys/stat.h>
#include <variant>

#include "batch/decode_file.h"
#include "batch/decoding_key.h"
#include "batch/drive_check.h"
#include "batch/messages.h"
#include "batch/paths.h"
#include "cli/command_line.h"
#include "cli/decode_jobs.h"
#include "cli/error_messages.h"
#include "cli/escaped_text.h"
#include "cli/progress_bar.h"
#include "cli/source_list.h"

namespace vantrel::cli {
namespace {

using batch::FileOutcome;

// The table's status words, except that a rejection, an empty cell there,
// needs a word in a line of text. A failure adds the system's reason.
std::string ResultText(const batch::FileResult& result)
{
    switch (result.outcome) {
    case FileOutcome::Rejected: return "Rejected";
    case FileOutcome::Stopped: return "Stopped";
    default: break;
    }
    std::string text(batch::StatusWord(result.outcome));
    if (!result.reason.empty()) text += ": " + EscapedText(result.reason);
    return text;
}

// The hint goes on a line of its own without the name, as with every tool.
void ReportUsage(std::ostream& err, const std::string& text)
{
    PrintMessage(err, text);
    err << "Try '" << CommandName << " --help'.\n";
}

// Why the folder of -o cannot take the outputs, or nothing when it can. It
// is used as it is: a missing folder, or a file, would fail every source.
std::optional<std::string> OutputFolderProblem(const std::string& folder)
{
    const std::string named = "the output folder " + EscapedText(folder);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return named + " does not exist";
        return "cannot use " + named + ": " + platform::SystemErrorText(errno);
    }
    if (!S_ISDIR(info.st_mode)) return named + " is not a folder";
    return std::nullopt;
}

// The key as typed, or why there is none. Interrupted: nothing to say.
struct TypedKey {
    std::optional<std::string> text;
    std::string problem;
    bool interrupted = false;
};

// source names where the key came from: "the key file F", "standard input".
TypedKey KeyFrom(const KeyRead& read, const std::string& source, const std::string& readWhat)
{
    switch (read.status) {
    case KeyRead::Status::Read: return {read.line, {}};
    case KeyRead::Status::TooLong:
        return {{}, source + " has a first line longer than " + std::to_string(KeyReadLimit) + " bytes, the most a key may have"};
    case KeyRead::Status::Failed: return {{}, "cannot read " + readWhat + ": " + read.error};
    case KeyRead::Status::Interrupted: return {{}, {}, true};
    }
    return {};
}

// Why the key's code page cannot be used, or nothing when it can. named:
// it came from --key-encoding, not from the locale.
std::optional<std::string> KeyEncodingProblem(const std::string& name, bool named)
{
    const std::string which = (named ? "--key-encoding " : "the locale's key code page ") + EscapedText(name);
    switch (batch::KindOfEncoding(name)) {
    case batch::EncodingKind::SingleByte:
    case batch::EncodingKind::WindowsDoubleByte: return std::nullopt;
    case batch::EncodingKind::MultiByte:
        return which + ": not a single-byte encoding; the key's code page has one byte for each character, or is "
                       "one of the Windows double-byte code pages CP932, CP936, CP949 and CP950";
    case batch::EncodingKind::Unknown: break;
    }
    return which + ": not an encoding that iconv knows ('iconv -l' lists them, without suffixes such as //TRANSLIT)";
}

// Said after "Decoding key is not correct!" when the length was not the reason.
std::string KeyTextProblem(batch::KeyInCodePage::Fault fault, const std::string& textCharset, const std::string& codePage)
{
    if (fault == batch::KeyInCodePage::Fault::NotText) return "the key is not valid " + EscapedText(textCharset) + " text";
    return "the key has a character that " + EscapedText(codePage) +
           " cannot hold; --key-encoding NAME names the code page the files were enciphered in";
}

TypedKey ReadTypedKey(const CommandOptions& options, const CommandStreams& streams, const CommandServices& services)
{
    if (options.key) return {*options.key, {}};
    if (options.keyFile && *options.keyFile == "-") {
        return KeyFrom(ReadKeyLine(streams.inFd, services.interrupted), "standard input", "the key from standard input");
    }
    if (options.keyFile) {
        const std::string file = "the key file " + EscapedText(*options.keyFile);
        return KeyFrom(ReadKeyFile(*options.keyFile, services.interrupted), file, file);
    }
    if (services.promptKey) return KeyFrom(services.promptKey(), "the typed key", "the key from the terminal");
    return {{}, "no key: give --key-file FILE, or --key-file - to read it from standard input"};
}

// Result lines go to standard output; when it cannot take them (closed,
// full), that is said once on standard error and the command ends with 1.
class ResultLines {
public:
    explicit ResultLines(const CommandStreams& streams) : streams_(streams) {}

    // Written out by the next Flush(): the lines of a million files not
    // reached after an interruption, each written on its own, would hold
    // the command up for seconds.
    void Write(const std::string& source, const std::string& result, const std::string& output)
    {
        line_.clear();
        AppendEscapedText(line_, source);
        line_ += '\t';
        line_ += result;
        line_ += '\t';
        AppendEscapedText(line_, output);
        line_ += '\n';
        errno = 0;
        streams_.out.write(line_.data(), static_cast<std::streamsize>(line_.size()));
        NoteFailure();
    }
    void Put(const std::string& text)
    {
        errno = 0;
        streams_.out << text;
        NoteFailure();
        Flush();
    }
    void Flush()
    {
        errno = 0;
        streams_.out << std::flush;
        NoteFailure();
    }
    bool Failed() const { return failed_; }

private:
    void NoteFailure()
    {
        if (streams_.out || failed_) return;
        const int code = errno != 0 ? errno : EIO;
        failed_ = true;
        PrintMessage(streams_.err, "cannot write the results to standard output: " + platform::SystemErrorText(code));
    }

    const CommandStreams& streams_;
    std::string line_; // kept for the next line's bytes
    bool failed_ = false;
};

// The names to decode before folders are opened up: the FILE arguments,
// with each --files-from list's names where the list stands among them.
enum class Gathered { Complete, Failed, Interrupted };

Gathered GatherNames(const CommandOptions& options, const CommandStreams& streams, const CommandServices& services,
                     std::vector<std::string>& names)
{
    const char separator = options.nulSeparated ? '\0' : '\n';
    std::size_t given = 0;
    for (const CommandOptions::FileList& list : options.fileLists) {
        names.insert(names.end(), options.sources.begin() + static_cast<std::ptrdiff_t>(given),
                     options.sources.begin() + static_cast<std::ptrdiff_t>(list.afterSources));
        given = list.afterSources;
        const bool fromInput = list.name == "-";
        ListRead read = fromInput ? ReadNameList(streams.inFd, separator, services.interrupted)
                                  : ReadNameListFile(list.name, separator, services.interrupted);
        const std::string named = "the file list " + EscapedText(list.name);
        switch (read.status) {
        case ListRead::Status::Read:
            names.insert(names.end(), std::make_move_iterator(read.names.begin()),
                         std::make_move_iterator(read.names.end()));
            break;
        case ListRead::Status::HoldsNul:
            ReportUsage(streams.err, (fromInput ? "the file list on standard input" : named) +
                                         " holds a NUL byte; give -0 if its names end with NUL");
            return Gathered::Failed;
        case ListRead::Status::NameTooLong:
            ReportUsage(streams.err, (fromInput ? "the file list on standard input" : named) + ": " +
                                         (options.nulSeparated ? "name " : "line ") + std::to_string(read.entry) +
                                         " is longer than " + std::to_string(LongestListedName) +
                                         " bytes, the longest path the system takes");
            return Gathered::Failed;
        case ListRead::Status::Failed:
            ReportUsage(streams.err,
                        "cannot read " + (fromInput ? "the file list from standard input" : named) + ": " + read.error);
            return Gathered::Failed;
        case ListRead::Status::Interrupted: return Gathered::Interrupted;
        }
    }
    names.insert(names.end(), options.sources.begin() + static_cast<std::ptrdiff_t>(given), options.sources.end());
    return Gathered::Complete;
}

// Sizes for the progress bar, measured before the first file starts; a
// source that cannot be measured counts as empty, and so does every source
// after an interruption, which no file will start after.
std::vector<std::uint64_t> MeasuredSizes(std::span<const std::string> sources, const std::function<bool()>& interrupted)
{
    std::vector<std::uint64_t> sizes(sources.size(), 0);
    for (std::size_t i = 0; i < sources.size() && !interrupted(); ++i) {
        const std::string& source = sources[i];
        struct stat info {};
        if (::stat(source.c_str(), &info) == 0 && S_ISREG(info.st_mode)) sizes[i] = static_cast<std::uint64_t>(info.st_size);
    }
    return sizes;
}

// Prints what the jobs report, counts the outcomes and draws the bar.
class RunReport final : public JobsListener {
public:
    RunReport(const CommandStreams& streams, std::span<const std::string> sources, ResultLines& lines)
        : streams_(streams), sources_(sources), lines_(lines)
    {
        if (streams.errIsTerminal) bar_.emplace(streams.err, streams.errColumns, streams.errTakesEscapes);
    }

    void Rejected(std::size_t index) override
    {
        ClearBar();
        PrintFileMessage(streams_.err, sources_[index], batch::WrongKeyMessage);
    }

    void Finished(std::size_t index, const std::optional<batch::FileResult>& result) override
    {
        // Standard output may be the same terminal.
        ClearBar();
        const std::string& source = sources_[index];
        if (!result) {
            lines_.Write(source, std::string(batch::NotDecodedStatus), {});
            ++notDecoded_;
            return;
        }
        lines_.Write(source, ResultText(*result), result->outputPath);
        switch (result->outcome) {
        case FileOutcome::Decoded: ++decoded_; break;
        case FileOutcome::Rejected: ++rejected_; break;
        case FileOutcome::Stopped: ++notDecoded_; break;
        default: ++failed_; break;
        }
    }

    // After every batch of results, and at the end.
    void Progress(const JobsProgress& progress) override
    {
        lines_.Flush();
        if (!bar_ || !progress.current) return;
        bar_->Show(batch::FileName(sources_[*progress.current]),
                   {progress.filesDone, progress.files, progress.bytesDone, progress.bytes});
        if (progress.over) bar_->Clear();
    }

    // "N files: D decoded, R rejected, F failed[, S not decoded]"
    std::string Summary() const
    {
        std::string text = std::to_string(sources_.size()) + " files: " + std::to_string(decoded_) + " decoded, " +
                           std::to_string(rejected_) + " rejected, " + std::to_string(failed_) + " failed";
        if (notDecoded_ > 0) text += ", " + std::to_string(notDecoded_) + " not decoded";
        return text;
    }
    int Status() const
    {
        if (notDecoded_ > 0) return Interrupted;
        return rejected_ + failed_ > 0 ? SomeNotDecoded : AllDecoded;
    }

private:
    void ClearBar()
    {
        if (bar_) bar_->Clear();
    }

    const CommandStreams& streams_;
    std::span<const std::string> sources_;
    ResultLines& lines_;
    std::optional<ProgressBar> bar_;
    std::size_t decoded_ = 0;
    std::size_t rejected_ = 0;
    std::size_t failed_ = 0;
    std::size_t notDecoded_ = 0; // stopped, or not started after an interruption
};

} // namespace

int RunDecodeCommand(std::span<const std::string> args, const CommandStreams& streams, const CommandServices& services)
{
    const auto parsed = ParseCommandLine(args);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        ReportUsage(streams.err, error->text);
        return CannotStart;
    }
    const CommandOptions& options = std::get<CommandOptions>(parsed);
    ResultLines lines(streams);
    if (options.help || options.version) {
        lines.Put(options.help ? HelpText() : VersionText());
        return lines.Failed() ? SomeNotDecoded : AllDecoded;
    }

    const std::string codePage = options.keyEncoding.value_or(services.keyCodePage);
    if (const auto problem = KeyEncodingProblem(codePage, options.keyEncoding.has_value())) {
        ReportUsage(streams.err, *problem);
        return CannotStart;
    }
    if (options.outputFolder) {
        if (const auto problem = OutputFolderProblem(*options.outputFolder)) {
            ReportUsage(streams.err, *problem);
            return CannotStart;
        }
    }

    std::vector<std::string> names;
    switch (GatherNames(options, streams, services, names)) {
    case Gathered::Complete: break;
    case Gathered::Failed: return CannotStart;
    case Gathered::Interrupted: return Interrupted;
    }

    const TypedKey typed = ReadTypedKey(options, streams, services);
    if (typed.interrupted) return Interrupted;
    if (!typed.text) {
        ReportUsage(streams.err, typed.problem);
        return CannotStart;
    }
    const batch::AcceptedKey accepted = batch::AcceptTypedKey(*typed.text, services.keyTextCharset, codePage);
    if (!accepted.key) {
        std::string message(batch::KeyNotCorrectMessage);
        if (accepted.fault != batch::KeyInCodePage::Fault::None)
            message += "\n" + KeyTextProblem(accepted.fault, services.keyTextCharset, codePage);
        PrintMessage(streams.err, message);
        return CannotStart;
    }
    const std::string& key = *accepted.key;

    ExpandedSources expanded;
    if (options.recursive) {
        expanded = ExpandFolders(std::move(names), services.files, services.folders, options.outputFolder,
                                 services.interrupted);
        if (expanded.interrupted) return Interrupted;
    } else {
        expanded.files = std::move(names);
    }
    const std::vector<std::string>& sources = expanded.files;
    const batch::SourceCheck checked =
        batch::CheckSources(services.drives, sources, options.outputFolder.has_value(), services.interrupted);
    if (checked.interrupted) return Interrupted;
    if (const auto blocked = checked.notAllowed) {
        PrintMessage(streams.err, batch::UploadFolderNotCorrectMessage);
        PrintFileMessage(streams.err, sources[*blocked], "not on a fixed disk; choose an output folder with -o DIR");
        return CannotStart;
    }
    for (const std::string& folder : expanded.unreadableFolders)
        PrintMessage(streams.err, "cannot read the folder " + EscapedText(folder) + "; its files are left out");

    batch::PrepareTables(key);
    const std::vector<std::uint64_t> sizes =
        streams.errIsTerminal ? MeasuredSizes(sources, services.interrupted) : std::vector<std::uint64_t>{};
    const unsigned jobs = options.jobs == 0 ? std::min(ProcessorCount(), MaxJobs) : options.jobs;
    const JobsSetup setup{services.files, batch::OutputPlacement{options.outputFolder}, options.keyCheck, jobs,
                          services.interrupted};
    RunReport report(streams, sources, lines);
    if (const std::string failure = RunDecodeJobs(sources, sizes, setup, report); !failure.empty()) {
        PrintMessage(streams.err, "cannot start decoding: " + failure);
        return CannotStart;
    }
    if (sources.size() != 1) PrintMessage(streams.err, report.Summary());

    int status = report.Status();
    if (status == AllDecoded && (lines.Failed() || !expanded.unreadableFolders.empty())) status = SomeNotDecoded;
    return status;
}

} // namespace vantrel::cli
