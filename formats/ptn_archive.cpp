#include "formats/ptn_archive.h"

#include <string>

#include "design/core/pattern_data.h"
#include "model/style.h"
#include "res/resource_ids.h"

namespace {

// From this data version on the file stores its computed pieces, which the
// loader reads into the style.
constexpr int32_t kFirstVersionWithStoredPieces = 150;

}  // namespace

int ReadPtnArchive(ArchiveReader& archive, int /*mode*/, PtnReadReport& report) {
  CPatternData data;
  if (!data.Load(archive)) {
    const DesignLoadFailure& failure = data.GetLoadFailure();
    if (failure.fault == DesignLoadFault::kCodeNotBuilt) {
      // Not damaged: a file of records this program cannot read yet, refused
      // like a file of a newer program.
      report = PtnReadReport{PtnReadResult::kRefused, IDS_NEWER_FILE_VERSION, failure.offset, failure.reason};
      return 0;
    }
    ClearStyle();
    report = PtnReadReport{PtnReadResult::kFailed, IDS_NOT_PTN_FILE, failure.offset, failure.reason};
    return 0;
  }
  const UINT warning = data.GetVersion() > kNewestDataVersion ? IDS_NEWER_FILE_VERSION : 0;
  if (data.GetPieceCount() <= 0) {
    // The stored pieces read with the design go too: a failed read leaves an
    // empty style.
    ClearStyle();
    report = PtnReadReport{PtnReadResult::kFailed, IDS_NO_PIECE_IN_FILE, archive.Position(), "no pattern record"};
    report.warningId = warning;
    return 0;
  }
  if (data.GetVersion() < kFirstVersionWithStoredPieces) {
    ClearStyle();
    report = PtnReadReport{PtnReadResult::kRefused, IDS_NEWER_FILE_VERSION, archive.Position(),
                           "pieces built from pattern records are not read yet"};
    return 0;
  }
  report = PtnReadReport{PtnReadResult::kSuccess, warning, archive.Position(), ""};
  return 1;
}
