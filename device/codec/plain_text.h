// Text from outside the program (a file's lines, a file name, a board's strings) made
// safe to quote in a one-line message for a terminal or a plain-text label.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx {

// `text` with every control character written out, so that nothing in it can move a
// terminal's cursor, change its colours or title, or break the message's line:
// \t, \n, \r for those three, \xHH for the rest of C0, for DEL and for a byte that is
// not part of valid UTF-8, \u0085 style for C1, for U+2028 and U+2029, and for the
// characters that are invisible or turn the text's direction (U+061C, U+200B to
// U+200F, U+202A to U+202E, U+2066 to U+2069, U+FEFF), so that what is quoted reads
// as it is stored. Everything
// else is kept as it is, "<b>" and backslashes included: the message is plain text,
// never markup. UTF-8 in, UTF-8 out.
std::string PlainText(std::string_view text);

// The code point of the valid UTF-8 sequence at text[at] and its length; length 0
// when the byte there starts none (a stray or cut sequence, an overlong form, a
// surrogate, a code point past Unicode).
struct Utf8Char {
    std::uint32_t CodePoint = 0;
    std::size_t Length = 0;
};
Utf8Char DecodeUtf8At(std::string_view text, std::size_t at);

// PlainText of at most the first `maxCodePoints` characters of `text`, never cutting
// one in two, with "..." after it when something was left out.
std::string PlainTextCut(std::string_view text, std::size_t maxCodePoints);

}  // namespace kx
