#include "batch/code_page_text.h"

#include <array>
#include <bit>
#include <cerrno>
#include <iconv.h>

#include "batch/key_code_page.h"

namespace vantrel::batch {
namespace {

constexpr TextCodePage CodePages[] = {
    {"CP874", "Thai"},
    {"CP932", "Japanese"},
    {"CP936", "Chinese, Simplified"},
    {"CP949", "Korean"},
    {"CP950", "Chinese, Traditional"},
    {"CP1250", "Central European"},
    {"CP1251", "Cyrillic"},
    {"CP1252", "Western European"},
    {"CP1253", "Greek"},
    {"CP1254", "Turkish"},
    {"CP1255", "Hebrew"},
    {"CP1256", "Arabic"},
    {"CP1257", "Baltic"},
    {"CP1258", "Vietnamese"},
    {"UTF-8", "Unicode"},
};

constexpr char16_t Replacement = u'\uFFFD';
constexpr const char* Utf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Converts into a growing UTF-16 text through one iconv descriptor.
class ToUtf16 {
public:
    explicit ToUtf16(const std::string& codePage) : cd_(::iconv_open(Utf16, codePage.c_str())) {}
    ~ToUtf16()
    {
        if (IsOpen()) ::iconv_close(cd_);
    }
    ToUtf16(const ToUtf16&) = delete;
    ToUtf16& operator=(const ToUtf16&) = delete;

    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts from in on until it is used up or stops at a byte sequence it
    // cannot take; returns 0 or the errno of that stop (EILSEQ, EINVAL),
    // with in at the sequence.
    int Convert(const char*& in, std::size_t& inLeft, std::u16string& out)
    {
        for (;;) {
            char* inNext = const_cast<char*>(in);
            const std::size_t result = Step(&inNext, &inLeft, out);
            in = inNext;
            if (result != static_cast<std::size_t>(-1)) return 0;
            if (errno != E2BIG) return errno;
        }
    }

    // Writes out what a stateful code page still holds back (a letter that
    // waited for an accent), and begins afresh.
    void Flush(std::u16string& out)
    {
        while (Step(nullptr, nullptr, out) == static_cast<std::size_t>(-1) && errno == E2BIG) {
        }
    }

private:
    std::size_t Step(char** in, std::size_t* inLeft, std::u16string& out)
    {
        // Room for what a step can write: a character or two for every byte
        // still to come, and some to spare.
        const std::size_t used = out.size();
        out.resize(used + (inLeft ? *inLeft : 0) * 2 + 16);
        char* outNext = reinterpret_cast<char*>(out.data() + used);
        std::size_t outLeft = (out.size() - used) * sizeof(char16_t);
        const std::size_t result = ::iconv(cd_, in, inLeft, &outNext, &outLeft);
        const int error = errno;
        out.resize(out.size() - outLeft / sizeof(char16_t));
        errno = error;
        return result;
    }

    iconv_t cd_;
};

std::u16string ThroughIconv(ToUtf16& converter, std::string_view bytes, TextEnd end)
{
    std::u16string text;
    text.reserve(bytes.size() + 16);
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        const int stop = converter.Convert(in, inLeft, text);
        if (stop == 0) break;
        if (stop == EINVAL && end == TextEnd::Cut) break;
        // A byte that is no character, or begins none that is whole: what
        // came before it is written out first, then it shows as itself.
        converter.Flush(text);
        text.push_back(Replacement);
        ++in;
        --inLeft;
    }
    converter.Flush(text);
    return text;
}

// A code page of single bytes reads through a table of its 256 characters,
// many times faster than byte by byte through iconv. Letters that iconv
// would join with a following accent into one character stay two, which
// shows the same.
std::u16string ThroughTable(ToUtf16& converter, std::string_view bytes)
{
    std::array<char16_t, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        const char one = static_cast<char>(byte);
        const std::u16string character = ThroughIconv(converter, std::string_view(&one, 1), TextEnd::Whole);
        table[std::size_t(byte)] = character.size() == 1 ? character[0] : Replacement;
    }
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) text[i] = table[static_cast<unsigned char>(bytes[i])];
    return text;
}

} // namespace

std::span<const TextCodePage> TextCodePages()
{
    return CodePages;
}

std::optional<std::u16string> TextFromCodePage(std::string_view bytes, const std::string& codePage, TextEnd end)
{
    ToUtf16 converter(codePage);
    if (!converter.IsOpen()) return std::nullopt;
    if (KindOfEncoding(codePage) == EncodingKind::SingleByte) return ThroughTable(converter, bytes);
    return ThroughIconv(converter, bytes, end);
}

} // namespace vantrel::batch
