// The main frame's settings block and the settings file "kov.dat".
//
// The settings block is the set of process-wide switches that readers,
// writers, piece operations and drawing read. The main frame sets all of them
// once, at start-up; afterwards only the default text font and the eight AAMA
// export options change (through the default-font command and the AAMA export
// options dialog), and only they are kept between runs, in "kov.dat" in the
// program's folder.
//
// The variables of the settings block are declared in model/settings.h, where
// the readers and writers find them too.
//
// "kov.dat" is exactly 92 bytes, little-endian, without a header:
//   0   60  the default font (LOGFONT in its stored layout, height in model units)
//   60   4  g_AamaOptPieces        pieces: 0 work area only, 1 all
//   64   4  g_AamaOptSizes         sizes: 0 all, 1 base size only
//   68   4  g_AamaOptNotch         notches: 0 notch, 1 mark, 2 none, 3 bump
//   72   4  g_AamaOptText          texts: 0 as they are, 1 English characters only
//   76   4  g_AamaOptGradeToRul    0 or 1
//   80   4  g_AamaOptControlPoints 0 or 1
//   84   4  g_AamaOptGradePoints   0 or 1
//   88   4  g_AamaOptDescAsName    0 or 1
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/settings.h"
#include "platform/geometry_types.h"
#include "platform/text.h"

inline constexpr size_t kSettingsFileSize = 92;
inline constexpr const char* kSettingsFileName = "kov.dat";

// The 92 bytes of "kov.dat" for the current default font and AAMA options.
std::array<uint8_t, kSettingsFileSize> EncodeSettingsFile();

// Takes the default font and the AAMA options from the first `count` bytes of
// a settings file. A field is taken only when all of its bytes are there, so
// a short file leaves the fields beyond its end as they were; bytes past 92
// are ignored. The file is not trusted: the face name is always terminated,
// and each AAMA option is clamped to its valid range (a pieces option of 7
// becomes 1, a notch option of -2 becomes 0).
void DecodeSettingsFile(const uint8_t* bytes, size_t count);

// "kov.dat" in the program's folder.
CString SettingsFilePath();

// Reads the settings file at `path` into the default font and the AAMA
// options. FALSE, with nothing changed, when it cannot be opened.
bool ReadSettingsFile(const CString& path);

// Replaces the settings file at `path` with the current default font and
// AAMA options: either all 92 bytes are written or the old file stays as it
// was. FALSE when it could not be written.
bool WriteSettingsFile(const CString& path);
