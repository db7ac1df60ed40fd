// What the native open dialog shows of a pattern file before it is opened:
// the description stored in the file's header. Only the header is looked at;
// the pieces are read afterwards by the native reader.
//
// The flat layouts keep the style's header texts right after the 90-byte
// header, as int32-counted strings; the fourth of them is the description.
// The archive layout keeps it among the counted strings after its own
// header block. Files older than the description have none to show.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text.h"

// The most of a file the preview ever reads. A header that runs on past it
// (in a file that is longer) is treated as cut short: the preview never reads
// a large file through for one line of text.
inline constexpr size_t kPreviewReadLimit = 256 * 1024;

enum class PreviewOutcome {
  kNotNative,        // the first word names no native layout: nothing changes
  kNoDescription,    // an archive file from before descriptions: nothing changes
  kCutShort,         // the header ends, or a count runs past its end: nothing changes
  kKeepDescription,  // a flat file from before descriptions: the preview is redrawn,
                     // the description shown before stays
  kNewDescription,   // `description` is shown
};

struct PreviewHeader {
  PreviewOutcome outcome = PreviewOutcome::kNotNative;
  CString description;  // GBK bytes as stored; kNewDescription only

  // Whether the dialog redraws its preview and shows a description.
  bool ShowsPreview() const {
    return outcome == PreviewOutcome::kKeepDescription || outcome == PreviewOutcome::kNewDescription;
  }
};

// Reads the description from the first bytes of a native pattern file
// (`headerBytes`: the whole file, or its first kPreviewReadLimit bytes).
// Every count is checked against the bytes left; nothing is allocated beyond
// what the bytes hold.
PreviewHeader ReadPreviewHeader(std::string_view headerBytes);

// The first kPreviewReadLimit bytes of the file at `path` (all of a shorter
// file); false when it cannot be opened or read.
bool ReadPreviewBytes(const CString& path, std::string& bytes);
