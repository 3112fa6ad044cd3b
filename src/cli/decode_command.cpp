#include "cli/decode_command.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <variant>

#include "batch/decode_file.h"
#include "batch/decoding_key.h"
#include "batch/drive_check.h"
#include "batch/messages.h"
#include "batch/paths.h"
#include "cli/command_line.h"
#include "cli/key_input.h"
#include "cli/progress_bar.h"

namespace vantrel::cli {
namespace {

using batch::FileOutcome;

// The table's status words, except that a rejection, an empty cell there,
// needs a word in a line of text.
std::string_view ResultWord(FileOutcome outcome)
{
    switch (outcome) {
    case FileOutcome::Rejected: return "Rejected";
    case FileOutcome::Stopped: return "Stopped";
    default: return batch::StatusWord(outcome);
    }
}

void ReportUsage(std::ostream& err, const std::string& text)
{
    err << "vantrel-decode: " << text << "\nTry 'vantrel-decode --help'.\n";
}

std::variant<std::string, UsageError> TypedKey(const CommandOptions& options, const CommandStreams& streams,
                                               const CommandServices& services)
{
    if (options.key) return *options.key;
    if (options.keyFile) {
        std::optional<std::string> line;
        if (*options.keyFile == "-") {
            line = ReadFirstLine(streams.in);
        } else {
            std::ifstream file(*options.keyFile, std::ios::binary);
            if (!file) return UsageError{"cannot read the key file " + *options.keyFile};
            line = ReadFirstLine(file);
        }
        return line.value_or(std::string());
    }
    if (services.promptKey) {
        if (auto typed = services.promptKey()) return *typed;
        return std::string();
    }
    return UsageError{"no key: give --key-file FILE, or --key-file - to read it from standard input"};
}

class CommandObserver final : public batch::DecodeObserver {
public:
    CommandObserver(const CommandStreams& streams, const CommandServices& services, const std::string& source)
        : streams_(streams), services_(services), source_(source)
    {
    }
    ~CommandObserver() override
    {
        if (bar_) bar_->Clear();
    }

    void Started() override
    {
        if (streams_.errIsTerminal) bar_.emplace(streams_.err, std::string(batch::FileName(source_)));
    }
    bool Progress(double percent) override
    {
        if (bar_) bar_->Show(percent);
        return !services_.interrupted();
    }
    void Rejected() override
    {
        if (bar_) bar_->Clear();
        streams_.err << batch::WrongKeyMessage << '\n' << std::flush;
    }

private:
    const CommandStreams& streams_;
    const CommandServices& services_;
    const std::string& source_;
    std::optional<ProgressBar> bar_;
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
    if (options.help || options.version) {
        streams.out << (options.help ? HelpText() : VersionText());
        return AllDecoded;
    }

    const auto typed = TypedKey(options, streams, services);
    if (const auto* error = std::get_if<UsageError>(&typed)) {
        ReportUsage(streams.err, error->text);
        return CannotStart;
    }
    const std::optional<std::string> key = batch::AcceptKey(std::get<std::string>(typed));
    if (!key) {
        streams.err << batch::KeyNotCorrectMessage << '\n';
        return CannotStart;
    }
    if (const auto blocked = batch::FirstSourceNotAllowed(services.drives, options.sources, options.outputFolder.has_value())) {
        streams.err << batch::UploadFolderNotCorrectMessage << '\n'
                    << options.sources[*blocked] << ": not on a fixed disk; choose an output folder with -o DIR\n";
        return CannotStart;
    }

    batch::PrepareTables(*key);
    const batch::OutputPlacement placement{options.outputFolder};
    int status = AllDecoded;
    for (const std::string& source : options.sources) {
        if (services.interrupted()) {
            streams.out << source << '\t' << batch::NotDecodedStatus << "\t\n";
            continue;
        }
        batch::FileResult result;
        {
            CommandObserver observer(streams, services, source);
            result = batch::DecodeFile(services.files, source, placement, options.keyCheck, observer);
        }
        streams.out << source << '\t' << ResultWord(result.outcome) << '\t' << result.outputPath << '\n' << std::flush;
        if (result.outcome == FileOutcome::Stopped) status = Interrupted;
        else if (result.outcome != FileOutcome::Decoded && status == AllDecoded) status = SomeNotDecoded;
    }
    return status;
}

} // namespace vantrel::cli
