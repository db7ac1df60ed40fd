// Numbers in files are written and read the same way under every locale: a
// user with a decimal-comma locale still writes "1.5000". Parsing follows the
// C runtime's atof and atoi, which the file formats were read with.
#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/process.h"
#include "platform/text.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// The C runtime keeps (and never frees) a copy of LOCPATH each time it loads a
// locale by name from there; that is its memory, not ours.
class IgnoreRuntimeLeaks {
 public:
  IgnoreRuntimeLeaks() {}  // not trivial, so that a scoped object is never "unused"

 private:
#if defined(__SANITIZE_ADDRESS__)
  __lsan::ScopedDisabler disabler_;
#endif
};

namespace fs = std::filesystem;

struct DoubleCase {
  std::string text;
  double value;
};

TEST(ParseDouble, ReadsLikeAtof) {
  const DoubleCase kCases[] = {
      {"  -1.5e2xyz", -150.0},
      {"", 0.0},
      {"abc", 0.0},
      {"+7", 7.0},
      {"2147483648", 2147483648.0},
      {"1.5.3", 1.5},
      {"1e", 1.0},
      {"1e+", 1.0},
      {".5", 0.5},
      {"-.5e-1", -0.05},
      {"\t\r\n 3", 3.0},
      {"1,5", 1.0},  // a comma ends the number, whatever the locale
      {"- 5", 0.0},
      {"inf", 0.0},  // the old runtime knew no words for numbers
      {"0x10", 0.0},
      {"12.3456\n", 12.3456},
      // Leading zeros make a short number long; it must still read whole.
      {std::string(500, '0') + "1.5", 1.5},
      {"0." + std::string(600, '0') + "1", 0.0},
  };
  for (const DoubleCase& c : kCases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    EXPECT_DOUBLE_EQ(ParseDouble(c.text), c.value);
  }
}

TEST(ParseWholeNumber, TakesOnlyATextThatIsOneNumber) {
  struct Case {
    std::string text;
    std::optional<double> value;
  };
  const Case kCases[] = {
      {"12", 12.0},         {" -3.5 ", -3.5},    {".5", 0.5},          {"+1e3", 1000.0},     {"5.", 5.0},
      {"1E-2\t", 0.01},     {"", std::nullopt},  {"  ", std::nullopt}, {"abc", std::nullopt}, {"nan", std::nullopt},
      {"inf", std::nullopt}, {"1.2.3", std::nullopt}, {"12mm", std::nullopt}, {"1e", std::nullopt},
      {".", std::nullopt},   {"- 5", std::nullopt}, {"1,5", std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const std::optional<double> got = ParseWholeNumber(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value());
    if (got) {
      EXPECT_DOUBLE_EQ(*got, *c.value);
    }
  }
}

struct IntCase {
  const char* text;
  int value;
};

TEST(ParseInt, ReadsLikeAtoiAndClampsToInt32) {
  const IntCase kCases[] = {
      {"  -1.5e2xyz", -1},
      {"", 0},
      {"abc", 0},
      {"+7", 7},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {"99999999999999999999999", INT_MAX},
      {"-99999999999999999999999", INT_MIN},
      {" 42abc", 42},
      {"- 5", 0},
      {"0010", 10},
      {"\t\n999\r\n", 999},
      {"1e3", 1},
  };
  for (const IntCase& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseInt(c.text), c.value);
  }
}

TEST(FormatNumberText, FormatsAnyLength) {
  EXPECT_EQ(FormatNumberText("%.4f", 1.5), "1.5000");
  EXPECT_EQ(FormatNumberText("%d,%d", -3, 4), "-3,4");
  const std::string long_text(300, 'z');
  EXPECT_EQ(FormatNumberText("%s%.1f", long_text.c_str(), 2.25), long_text + "2.2");
}

// ---------------------------------------------------------------------------
// Under a decimal-comma locale. Qt sets the process locale from the
// environment, so a German user's program runs with "1,5000" as printf's idea
// of 1.5. The machine may have no such locale installed: then one is built
// from the system's locale sources into a private folder.

class CommaLocale : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    locale_name_ = FindOrBuildCommaLocale();
  }
  static void TearDownTestSuite() {
    if (!locale_folder_.empty()) {
      std::error_code ignored;
      fs::remove_all(locale_folder_, ignored);
    }
  }

  void SetUp() override {
    if (locale_name_.empty()) {
      GTEST_SKIP() << "no decimal-comma locale is installed and none could be built";
    }
    {
      IgnoreRuntimeLeaks runtime;
      ASSERT_NE(setlocale(LC_ALL, locale_name_.c_str()), nullptr);
    }
    // The trap is live: the C runtime itself now writes a comma.
    char probe[32];
    std::snprintf(probe, sizeof probe, "%.4f", 1.5);
    ASSERT_STREQ(probe, "1,5000");
  }
  void TearDown() override { setlocale(LC_ALL, "C"); }

  static std::string locale_name_;
  static std::string locale_folder_;

 private:
  static bool IsCommaLocale(const char* name) {
    IgnoreRuntimeLeaks runtime;
    locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr)) return false;
    const bool comma = std::string(nl_langinfo_l(RADIXCHAR, l)) == ",";
    freelocale(l);
    return comma;
  }

  static std::string FindOrBuildCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "ru_RU.UTF-8"}) {
      if (IsCommaLocale(name)) return name;
    }
    const char* kLocaledef = "/usr/bin/localedef";
    if (!fs::exists(kLocaledef) || !fs::exists("/usr/share/i18n/locales/de_DE")) return "";
    std::string pattern = (fs::temp_directory_path() / "zv_locale_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return "";
    locale_folder_ = pattern;
    ExternalProcess localedef;
    if (!localedef.Start(kLocaledef, {"-i", "de_DE", "-f", "UTF-8", CString(locale_folder_ + "/de_DE.UTF-8")},
                         CString(locale_folder_)) ||
        localedef.Wait(60000, 50) != ExternalProcess::WaitResult::kExited) {
      return "";
    }
    // The C runtime looks for locales in LOCPATH first; it stays set for the
    // rest of this test program, which loads no other locale by name.
    ::setenv("LOCPATH", locale_folder_.c_str(), 1);
    return IsCommaLocale("de_DE.UTF-8") ? "de_DE.UTF-8" : "";
  }
};

std::string CommaLocale::locale_name_;
std::string CommaLocale::locale_folder_;

TEST_F(CommaLocale, NumbersStillUseADecimalPoint) {
  EXPECT_EQ(FormatNumberText("%.4f", 1.5), "1.5000");
  CString text;
  text.Format("%.4f", -2.25);
  EXPECT_EQ(text, "-2.2500");
  EXPECT_DOUBLE_EQ(ParseDouble("1.5000"), 1.5);
  EXPECT_DOUBLE_EQ(ParseDouble("1,5000"), 1.0);
  EXPECT_EQ(ParseInt("1.5"), 1);
}

TEST_F(CommaLocale, ThreadLocaleIsLeftAsItWas) {
  // Formatting switches the thread to the C locale for the call only.
  locale_t comma;
  {
    IgnoreRuntimeLeaks runtime;
    comma = newlocale(LC_ALL_MASK, locale_name_.c_str(), static_cast<locale_t>(nullptr));
  }
  ASSERT_NE(comma, static_cast<locale_t>(nullptr));
  const locale_t previous = uselocale(comma);
  EXPECT_EQ(FormatNumberText("%.1f", 0.5), "0.5");
  char probe[32];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  EXPECT_STREQ(probe, "0,5");
  uselocale(previous);
  freelocale(comma);
}

TEST_F(CommaLocale, UtcTimesKeepEnglishNames) {
  EXPECT_EQ(FormatUtcTime(981173106, "%a %b %d"), "Sat Feb 03");
}

}  // namespace
