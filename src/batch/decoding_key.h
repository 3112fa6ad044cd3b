#pragma once
// The decoding key: the typed text's bytes in the key's code page
// (key_code_page.h), without the spaces and control characters around it,
// and at least ten of those bytes long.
#include <optional>
#include <string>
#include <string_view>

#include "batch/key_code_page.h"

namespace vantrel::batch {

inline constexpr std::size_t MinimumKeyLength = 10;

// Drops every leading and trailing byte 0 to 32. No second byte of a
// double-byte character is that low, so no character is ever cut.
std::string_view TrimKey(std::string_view typed);

struct AcceptedKey {
    // The key a run decodes with; nothing when it is refused ("Decoding key
    // is not correct!").
    std::optional<std::string> key;
    // Why, when the text itself was refused rather than its length.
    KeyInCodePage::Fault fault = KeyInCodePage::Fault::None;
};

// The key from the typed text, written in textCharset: its bytes in the
// code page codePage (ToKeyCodePage), trimmed, and at least
// MinimumKeyLength of them. The window and vantrel-decode both take it so.
AcceptedKey AcceptTypedKey(std::string_view text, const std::string& textCharset, const std::string& codePage);

// Builds the fixed table and then the user table from the key's first ten
// bytes; every run does this before its first file.
void PrepareTables(std::string_view key);

} // namespace vantrel::batch
