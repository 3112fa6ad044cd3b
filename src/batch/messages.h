#pragma once
// The texts a run shows: messages in the error box (or on the command line's
// standard error) and the status words of the file table.
#include <string_view>

namespace vantrel::batch {

inline constexpr std::string_view KeyNotCorrectMessage = "Decoding key is not correct!";
inline constexpr std::string_view UploadFolderNotCorrectMessage = "Upload folder is not correct!";
inline constexpr std::string_view WrongKeyMessage = "Wrong invalid key!";

inline constexpr std::string_view NotDecodedStatus = "Not decoded";
inline constexpr std::string_view DecodingStatus = "Decoding";
inline constexpr std::string_view DecodedStatus = "Decoded";
inline constexpr std::string_view RejectedStatus = ""; // the row is emptied
inline constexpr std::string_view CannotOpenStatus = "Cannot open";
inline constexpr std::string_view ReadErrorStatus = "Read error";
inline constexpr std::string_view WriteErrorStatus = "Write error";
inline constexpr std::string_view DecodeErrorStatus = "Decode error";

// Reasons of failures that the system has no words for.
inline constexpr std::string_view ShrankReason = "File shrank while being read";
inline constexpr std::string_view UnknownFailureReason = "Unknown error";
// The tool tip of a rejected row, whose status is empty.
inline constexpr std::string_view RejectedReason = "The key check proved the key wrong for this file";

} // namespace vantrel::batch
