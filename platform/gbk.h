// Conversion between the Chinese ANSI code page (GBK, as Windows' code page
// 936 has it) and UTF-8. Pattern files and the program's own texts are GBK
// bytes; they become UTF-8 only where a person sees them, and UTF-8 typed by
// the user becomes GBK before it is stored.
//
// Neither direction ever fails: bytes that are not GBK become U+FFFD on the
// way to UTF-8 (a lead byte with a valid trail byte counts as one bad
// character, any other bad byte as one), and characters that GBK cannot hold,
// or bytes that are not UTF-8, become '?' on the way to GBK. The functions are
// safe to call from several threads.
#pragma once

#include <string>
#include <string_view>

// GBK bytes -> UTF-8. ASCII passes unchanged; a lone lead byte at the end
// becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 -> GBK bytes. ASCII passes unchanged; every character GBK lacks and
// every malformed UTF-8 sequence gives one '?'.
std::string Utf8ToGbk(std::string_view utf8);
