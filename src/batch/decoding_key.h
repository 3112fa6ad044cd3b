#pragma once
// The decoding key: the typed text's bytes in the key's code page
// (key_code_page.h), without the spaces and control characters around it,
// and at least ten of those bytes long.
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::batch {

inline constexpr std::size_t MinimumKeyLength = 10;

// Drops every leading and trailing byte 0 to 32. No second byte of a
// double-byte character is that low, so no character is ever cut.
std::string_view TrimKey(std::string_view typed);

// The key a run decodes with, from the code-page bytes of the typed text,
// or nothing when they are too few ("Decoding key is not correct!").
std::optional<std::string> AcceptKey(std::string_view codePageBytes);

// Builds the fixed table and then the user table from the key's first ten
// bytes; every run does this before its first file.
void PrepareTables(std::string_view key);

} // namespace vantrel::batch
