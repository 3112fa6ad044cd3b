#include "cli/decode_command.h"

#include <cerrno>
#include <ostream>
#include <variant>

#include "batch/decode_file.h"
#include "batch/decoding_key.h"
#include "batch/drive_check.h"
#include "batch/messages.h"
#include "batch/paths.h"
#include "cli/command_line.h"
#include "cli/escaped_text.h"
#include "cli/progress_bar.h"

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

void ReportUsage(std::ostream& err, const std::string& text)
{
    err << "vantrel-decode: " << text << "\nTry 'vantrel-decode --help'.\n";
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
    case batch::EncodingKind::SingleByte: return std::nullopt;
    case batch::EncodingKind::MultiByte:
        return which + ": not a single-byte encoding; the key's code page has one byte for each character";
    case batch::EncodingKind::Unknown: break;
    }
    return which + ": not an encoding that iconv knows ('iconv -l' lists them, without suffixes such as //TRANSLIT)";
}

// Said after "Decoding key is not correct!" when the length was not the reason.
std::string KeyTextProblem(batch::KeyInCodePage::Fault fault, const std::string& textCharset, const std::string& codePage)
{
    if (fault == batch::KeyInCodePage::Fault::NotText) return "the key is not valid " + EscapedText(textCharset) + " text\n";
    return "the key has a character that " + EscapedText(codePage) +
           " cannot hold; --key-encoding NAME names the code page the files were enciphered in\n";
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

    void Write(const std::string& source, const std::string& result, const std::string& output)
    {
        Put(EscapedText(source) + '\t' + result + '\t' + EscapedText(output) + '\n');
    }
    void Put(const std::string& text)
    {
        errno = 0;
        streams_.out << text << std::flush;
        if (streams_.out || failed_) return;
        const int code = errno != 0 ? errno : EIO;
        failed_ = true;
        streams_.err << "vantrel-decode: cannot write the results to standard output: "
                     << platform::SystemErrorText(code) << '\n'
                     << std::flush;
    }
    bool Failed() const { return failed_; }

private:
    const CommandStreams& streams_;
    bool failed_ = false;
};

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
        if (streams_.errIsTerminal) bar_.emplace(streams_.err, batch::FileName(source_));
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

    const TypedKey typed = ReadTypedKey(options, streams, services);
    if (typed.interrupted) return Interrupted;
    if (!typed.text) {
        ReportUsage(streams.err, typed.problem);
        return CannotStart;
    }
    const batch::KeyInCodePage inCodePage = batch::ToKeyCodePage(*typed.text, services.keyTextCharset, codePage);
    const bool convertible = inCodePage.fault == batch::KeyInCodePage::Fault::None;
    const std::optional<std::string> key = convertible ? batch::AcceptKey(inCodePage.bytes) : std::nullopt;
    if (!key) {
        streams.err << batch::KeyNotCorrectMessage << '\n';
        if (!convertible) streams.err << KeyTextProblem(inCodePage.fault, services.keyTextCharset, codePage);
        return CannotStart;
    }
    if (const auto blocked = batch::FirstSourceNotAllowed(services.drives, options.sources, options.outputFolder.has_value())) {
        streams.err << batch::UploadFolderNotCorrectMessage << '\n'
                    << EscapedText(options.sources[*blocked])
                    << ": not on a fixed disk; choose an output folder with -o DIR\n";
        return CannotStart;
    }

    batch::PrepareTables(*key);
    const batch::OutputPlacement placement{options.outputFolder};
    int status = AllDecoded;
    for (const std::string& source : options.sources) {
        if (services.interrupted()) {
            lines.Write(source, std::string(batch::NotDecodedStatus), {});
            continue;
        }
        batch::FileResult result;
        {
            CommandObserver observer(streams, services, source);
            result = batch::DecodeFile(services.files, source, placement, options.keyCheck, observer);
        }
        lines.Write(source, ResultText(result), result.outputPath);
        if (result.outcome == FileOutcome::Stopped) status = Interrupted;
        else if (result.outcome != FileOutcome::Decoded && status == AllDecoded) status = SomeNotDecoded;
    }
    if (lines.Failed() && status == AllDecoded) status = SomeNotDecoded;
    return status;
}

} // namespace vantrel::cli
