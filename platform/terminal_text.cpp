#include "platform/terminal_text.h"

namespace platform {

std::string escapeControls(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    const auto escapeByte = [&shown](char c) {
        static constexpr char hex[] = "0123456789abcdef";
        const auto byte = static_cast<unsigned char>(c);
        shown += {'\\', 'x', hex[byte >> 4], hex[byte & 0xF]};
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte == '\\') {
            shown += "\\\\";
        } else if (byte == '\n') {
            shown += "\\n";
        } else if (byte == '\t') {
            shown += "\\t";
        } else if (byte == '\r') {
            shown += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            escapeByte(text[i]);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            // U+0080 to U+009F: a terminal reading UTF-8 takes some of them (U+009B) as an escape.
            escapeByte(text[i]);
            escapeByte(text[++i]);
        } else {
            shown += text[i];
        }
    }
    return shown;
}

} // namespace platform
