// What the file entry points of the readers do with the report of a read:
// keep it as the last one, for tools that tell where a refused file went
// wrong, then show its message to the user. Kept before the message shows,
// so a prompt answered from a script already finds it.
#pragma once

#include "res/resources.h"

// The last report a reader's entry point kept; a default one before any.
template <typename Report>
Report& LastReportOf() {
  static Report report;
  return report;
}

// Keeps `report` as the last one, shows its message (none when 0) and gives
// its outcome.
template <typename Report>
auto KeepAndShowReport(const Report& report) {
  LastReportOf<Report>() = report;
  if (report.messageId != 0) ShowFailureMessage(report.messageId);
  return report.outcome;
}
