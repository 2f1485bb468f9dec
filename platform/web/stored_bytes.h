// The best-score file's bytes as the text a page's storage holds: two lowercase hexadecimal
// digits a byte. Text that is not such a record gives nothing, which the game reads as having
// no best score yet, and so nothing the page stored can break its start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::web {

// The largest record the storage takes: the best-score file's 16 bytes.
constexpr std::size_t maxStoredBytes = 16;

std::string encodeStoredBytes(const std::vector<std::uint8_t>& bytes);

// The bytes, or nothing for text of odd length, with a character that is not a hexadecimal
// digit, or longer than maxStoredBytes bytes.
std::optional<std::vector<std::uint8_t>> decodeStoredBytes(std::string_view text);

} // namespace platform::web
