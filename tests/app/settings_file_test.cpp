// "kov.dat": the default font and the eight AAMA export options, read when
// the main window is built and written when it closes, byte for byte.
#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QApplication>

#include "app/piece_drawing.h"
#include "app/settings_file.h"
#include "model/settings.h"
#include "main_frame_fixture.h"
#include "res/command_ids.h"
#include "tests/support/file_bytes.h"

namespace {

// Little-endian fields, written by hand so that the layout is checked
// independently of the code that writes it.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& I32(int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(u >> (8 * i)));
    return *this;
  }
  Bytes& U8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  Bytes& Text(const std::string& s, size_t size) {
    for (size_t i = 0; i < size; ++i) b.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    return *this;
  }
};

// A font unlike the built-in one: 2 mm high, regular, underlined, the GBK
// face name 宋体.
const std::string kSongTi = "\xCB\xCE\xCC\xE5";
Bytes StoredFont() {
  Bytes f;
  f.I32(-80).I32(3).I32(900).I32(900).I32(400);
  f.U8(0).U8(1).U8(0).U8(134).U8(3).U8(2).U8(1).U8(0x22);
  f.Text(kSongTi, 32);
  return f;
}

// Options each unlike its default (defaults 1, 0, 0, 0, 1, 0, 1, 0).
const int32_t kStoredOptions[8] = {0, 1, 3, 1, 0, 1, 0, 1};
const int32_t kDefaultOptions[8] = {1, 0, 0, 0, 1, 0, 1, 0};

std::vector<uint8_t> StoredFile() {
  Bytes f = StoredFont();
  for (int32_t v : kStoredOptions) f.I32(v);
  return f.b;
}

std::vector<int32_t> Options() {
  return {g_AamaOptPieces,     g_AamaOptSizes,         g_AamaOptNotch,       g_AamaOptText,
          g_AamaOptGradeToRul, g_AamaOptControlPoints, g_AamaOptGradePoints, g_AamaOptDescAsName};
}

LOGFONT StoredLogFont() { return LOGFONT::FromBytes(StoredFont().b.data()); }

class SettingsFileTest : public MainFrameFixture {
 protected:
  void WriteHomeFile(const std::vector<uint8_t>& bytes) { WriteFile(HomeFile("kov.dat"), bytes); }
  std::vector<uint8_t> ReadHomeFile() { return ReadFile<std::vector<uint8_t>>(HomeFile("kov.dat")); }
};

TEST_F(SettingsFileTest, WithoutTheFileEverySettingHasItsDefault) {
  // Left-overs of an earlier run in this process must not survive.
  g_AamaOptNotch = 3;
  g_DefaultFont.lfHeight = -99;
  g_UnitMode = 1;
  g_PtnText1 = "x";
  g_CurrentPath = "/old";

  Frame();
  EXPECT_EQ(g_DefaultFont.ToBytes(), DefaultFontAtStartUp().ToBytes());
  EXPECT_EQ(g_DefaultFontInitial.ToBytes(), DefaultFontAtStartUp().ToBytes());
  EXPECT_EQ(Options(), std::vector<int32_t>(std::begin(kDefaultOptions), std::end(kDefaultOptions)));
  EXPECT_EQ(g_UnitMode, 3);
  EXPECT_EQ(g_UnitPrecision, 100);
  EXPECT_EQ(g_DefaultNotchType, 1);
  EXPECT_EQ(g_NotchSizeA, 35);
  EXPECT_EQ(g_NotchSizeB, 50);
  EXPECT_EQ(g_PtnText1, "&T &P&N");
  EXPECT_EQ(g_PtnText2, "&M &U");
  EXPECT_EQ(g_PtnDisplayFlag, 1);
  EXPECT_TRUE(g_CurrentPath.IsEmpty());
  EXPECT_EQ(g_DefaultFont.lfHeight, -40);
  EXPECT_EQ(g_DefaultFont.lfWeight, 700);
  EXPECT_EQ(g_DefaultFont.lfItalic, 1);
}

TEST_F(SettingsFileTest, ClosingWritesTheFontAndOptionsIn92Bytes) {
  CMainFrame& frame = Frame();
  g_DefaultFont = StoredLogFont();
  int32_t* options[8] = {&g_AamaOptPieces,     &g_AamaOptSizes,         &g_AamaOptNotch,       &g_AamaOptText,
                         &g_AamaOptGradeToRul, &g_AamaOptControlPoints, &g_AamaOptGradePoints, &g_AamaOptDescAsName};
  for (int i = 0; i < 8; ++i) *options[i] = kStoredOptions[i];

  EXPECT_TRUE(frame.close());
  const std::vector<uint8_t> written = ReadHomeFile();
  ASSERT_EQ(written.size(), 92u);
  EXPECT_EQ(written, StoredFile());
}

TEST_F(SettingsFileTest, TheFileIsReadWhenTheWindowIsBuilt) {
  WriteHomeFile(StoredFile());
  Frame();
  EXPECT_EQ(g_DefaultFont.ToBytes(), StoredLogFont().ToBytes());
  EXPECT_EQ(Options(), std::vector<int32_t>(std::begin(kStoredOptions), std::end(kStoredOptions)));
  // The label texts keep the built-in font until the font command is used.
  EXPECT_EQ(g_DefaultFontInitial.ToBytes(), DefaultFontAtStartUp().ToBytes());
}

TEST_F(SettingsFileTest, A64ByteFileSetsTheFontAndTheFirstOptionOnly) {
  std::vector<uint8_t> file = StoredFile();
  file.resize(64);
  WriteHomeFile(file);
  Frame();
  EXPECT_EQ(g_DefaultFont.ToBytes(), StoredLogFont().ToBytes());
  std::vector<int32_t> expected(std::begin(kDefaultOptions), std::end(kDefaultOptions));
  expected[0] = kStoredOptions[0];
  EXPECT_EQ(Options(), expected);
}

TEST_F(SettingsFileTest, EveryCutOfTheFileTakesOnlyItsWholeFields) {
  const std::vector<uint8_t> full = StoredFile();
  for (size_t n = 0; n <= full.size(); ++n) {
    SCOPED_TRACE(n);
    RestoreDefaultSettings();
    // Exactly n bytes on the heap: a read past them is caught.
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    DecodeSettingsFile(cut.data(), cut.size());
    const LOGFONT want = n >= 60 ? StoredLogFont() : DefaultFontAtStartUp();
    EXPECT_EQ(g_DefaultFont.ToBytes(), want.ToBytes());
    const std::vector<int32_t> options = Options();
    for (size_t k = 0; k < 8; ++k) {
      EXPECT_EQ(options[k], n >= 64 + 4 * k ? kStoredOptions[k] : kDefaultOptions[k]) << "option " << k;
    }
  }
}

TEST_F(SettingsFileTest, StoredValuesAreMadeSafe) {
  struct Case {
    int option;
    int32_t stored;
    int32_t taken;
  };
  const Case kCases[] = {
      {0, 7, 1},       {0, -1, 0},       {1, 2, 1},         {2, 3, 3},       {2, 4, 3},
      {2, -2, 0},      {3, INT_MAX, 1},  {4, INT_MIN, 0},   {5, 1, 1},       {6, 100, 1},
      {7, -100, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "option " << c.option << " stored " << c.stored);
    RestoreDefaultSettings();
    Bytes f = StoredFont();
    for (int k = 0; k < 8; ++k) f.I32(k == c.option ? c.stored : kDefaultOptions[k]);
    DecodeSettingsFile(f.b.data(), f.b.size());
    EXPECT_EQ(Options()[static_cast<size_t>(c.option)], c.taken);
  }

  // A face name that fills its 32 bytes without an end is cut to 31.
  Bytes f;
  f.I32(-40).I32(0).I32(0).I32(0).I32(700).Text("", 8).Text(std::string(32, 'M'), 32);
  DecodeSettingsFile(f.b.data(), f.b.size());
  EXPECT_EQ(std::string(g_DefaultFont.lfFaceName), std::string(31, 'M'));
}

TEST_F(SettingsFileTest, ALongerFileGivesItsFirst92Bytes) {
  std::vector<uint8_t> file = StoredFile();
  file.resize(200, 0x7F);
  WriteHomeFile(file);
  Frame();
  EXPECT_EQ(g_DefaultFont.ToBytes(), StoredLogFont().ToBytes());
  EXPECT_EQ(Options(), std::vector<int32_t>(std::begin(kStoredOptions), std::end(kStoredOptions)));
}

TEST_F(SettingsFileTest, AWindowWhoseFileCannotBeWrittenStillCloses) {
  const std::string missing = home_ + "/no/such/folder";
  setenv("ZVAAMA_HOME", missing.c_str(), 1);
  CMainFrame& frame = Frame();
  EXPECT_TRUE(frame.close());
  EXPECT_FALSE(frame.isVisible());
  EXPECT_FALSE(std::ifstream(missing + "/kov.dat").good());
}

TEST_F(SettingsFileTest, TheChosenFontComesBackAtTheNextStart) {
  CMainFrame& first = Frame();
  LOGFONT chosen = g_DefaultFont;
  chosen.lfHeight = -24;
  prompts_.ChooseFont(chosen);
  first.RunCommand(ID_VIEW_DEFAULT_FONT);
  const auto stored = g_DefaultFont.ToBytes();
  ASSERT_NE(stored, DefaultFontAtStartUp().ToBytes());
  first.close();
  frame_.reset();

  Frame();
  EXPECT_EQ(g_DefaultFont.ToBytes(), stored);
  EXPECT_EQ(g_DefaultFontInitial.ToBytes(), DefaultFontAtStartUp().ToBytes());
}

}  // namespace
