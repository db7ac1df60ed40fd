#include "platform/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

#include "platform/text.h"

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD
constexpr char kUnencodable = '?';

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// One iconv descriptor per direction and thread: a descriptor carries
// conversion state and must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != kNoConverter) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != kNoConverter; }

  // Converts as much of `in` as it can into `out` (which must have room for
  // the whole result). Returns 0 when all was converted, else the errno that
  // stopped it; `in` and `out` are advanced past what was done.
  int Convert(std::string_view& in, char*& out, size_t& out_left) {
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    size_t rc = iconv(cd_, &src, &src_left, &out, &out_left);
    int err = rc == static_cast<size_t>(-1) ? errno : 0;
    in.remove_prefix(in.size() - src_left);
    if (err != 0) iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return err;
  }

 private:
  iconv_t cd_;
};

Converter& GbkDecoder() {
  thread_local Converter converter("UTF-8", "GBK");
  return converter;
}

Converter& GbkEncoder() {
  thread_local Converter converter("GBK", "UTF-8");
  return converter;
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool IsGbkTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0 when it
// is malformed (overlong forms, surrogates and values above U+10FFFF
// included) or cut short.
size_t Utf8SequenceLength(std::string_view s) {
  auto at = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
  auto cont = [&](size_t i) { return i < s.size() && (at(i) & 0xC0) == 0x80; };
  unsigned char b = static_cast<unsigned char>(s[0]);
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return cont(1) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    unsigned lo = b == 0xE0 ? 0xA0 : 0x80;
    unsigned hi = b == 0xED ? 0x9F : 0xBF;
    return at(1) >= lo && at(1) <= hi && cont(1) && cont(2) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    unsigned lo = b == 0xF0 ? 0x90 : 0x80;
    unsigned hi = b == 0xF4 ? 0x8F : 0xBF;
    return at(1) >= lo && at(1) <= hi && cont(1) && cont(2) && cont(3) ? 4 : 0;
  }
  return 0;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  // Every GBK byte gives at most three UTF-8 bytes: a double-byte character
  // lies in the Basic Multilingual Plane, and a bad byte gives U+FFFD.
  std::string result(gbk.size() * 3, '\0');
  char* out = result.data();
  size_t out_left = result.size();
  Converter& decoder = GbkDecoder();
  std::string_view in = gbk;
  while (!in.empty()) {
    unsigned char b = static_cast<unsigned char>(in[0]);
    if (!decoder.ok() && b < 0x80) {  // without a converter only ASCII gets through
      *out++ = in[0];
      --out_left;
      in.remove_prefix(1);
      continue;
    }
    int err = decoder.ok() ? decoder.Convert(in, out, out_left) : EILSEQ;
    if (err == 0 || err == E2BIG) break;
    // An undecodable byte, an unassigned pair of lead and trail byte, or a
    // lead byte without its trail byte at the end: one U+FFFD each.
    b = static_cast<unsigned char>(in[0]);
    size_t skip = 1;
    if (IsGbkLeadByte(b) && in.size() >= 2 && IsGbkTrailByte(static_cast<unsigned char>(in[1]))) skip = 2;
    for (char c : kReplacementUtf8) *out++ = c;
    out_left -= kReplacementUtf8.size();
    in.remove_prefix(skip);
  }
  result.resize(static_cast<size_t>(out - result.data()));
  return result;
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  // A GBK character never takes more bytes than its UTF-8 form, and a bad
  // sequence of one or more bytes gives one '?'.
  std::string result(utf8.size(), '\0');
  char* out = result.data();
  size_t out_left = result.size();
  Converter& encoder = GbkEncoder();
  auto put = [&](char c) {
    *out++ = c;
    --out_left;
  };

  std::string_view rest = utf8;
  while (!rest.empty()) {
    // The longest run of well-formed UTF-8 goes to the encoder in one call.
    size_t run = 0;
    while (run < rest.size()) {
      size_t n = Utf8SequenceLength(rest.substr(run));
      if (n == 0) break;
      run += n;
    }
    std::string_view chunk = rest.substr(0, run);
    while (!chunk.empty()) {
      if (!encoder.ok()) {  // without a converter only ASCII gets through
        put(static_cast<unsigned char>(chunk[0]) < 0x80 ? chunk[0] : kUnencodable);
        chunk.remove_prefix(Utf8SequenceLength(chunk));
        continue;
      }
      int err = encoder.Convert(chunk, out, out_left);
      if (err == 0 || err == E2BIG) break;
      // A character that GBK lacks (the chunk is well-formed, so nothing is
      // cut short).
      put(kUnencodable);
      chunk.remove_prefix(Utf8SequenceLength(chunk));
    }
    rest.remove_prefix(run);
    if (!rest.empty()) {  // a malformed byte
      put(kUnencodable);
      rest.remove_prefix(1);
    }
  }
  result.resize(static_cast<size_t>(out - result.data()));
  return result;
}
