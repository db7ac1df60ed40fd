// An outside opinion on a DXF file the tests wrote: Debian's python3-ezdxf, a
// strict reader, opens it and audits it. A file it refuses, or whose audit
// finds errors, would be refused by other programs too. Fixes the audit
// makes on its own are allowed.
//
// Without /usr/bin/python3 or ezdxf the audit is skipped; where the variable
// ZV_REQUIRE_EZDXF is 1 (tools/test.sh sets it) a missing reader is an error,
// so that a machine without the package cannot pass quietly.
//
//   DxfAuditResult audit = AuditDxfWithEzdxf(path);
//   if (audit.skipped) GTEST_SKIP() << audit.message;
//   EXPECT_TRUE(audit.ok) << audit.message;
//
// or simply EXPECT_DXF_AUDIT_OK(path), which reports a skip as a message.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/support/file_bytes.h"

struct DxfAuditResult {
  bool ok = false;       // ezdxf read the file and its audit found no error
  bool skipped = false;  // no ezdxf here (and it is not required): nothing was checked
  std::string message;   // what ezdxf said, or why nothing was checked
};

namespace dxf_audit_detail {

// Exit codes of the audit script.
inline constexpr int kClean = 0;
inline constexpr int kNoEzdxf = 3;
inline constexpr int kUnreadable = 4;
inline constexpr int kAuditErrors = 5;

// argv: the DXF file, the report file. The report gets what went wrong.
inline constexpr const char* kScript = R"PY(
import sys
report = open(sys.argv[2], "w", encoding="utf-8", errors="replace")
try:
    import ezdxf
except Exception as e:
    report.write("python3-ezdxf is not installed: %s" % e)
    sys.exit(3)
try:
    doc = ezdxf.readfile(sys.argv[1])
except Exception as e:
    report.write("ezdxf cannot read the file: %s: %s" % (type(e).__name__, e))
    sys.exit(4)
auditor = doc.audit()
if auditor.has_errors:
    for entry in auditor.errors:
        report.write("audit error %s: %s\n" % (entry.code, entry.message))
    sys.exit(5)
report.write("ezdxf %s: no audit errors, %d fixes" % (ezdxf.__version__, len(auditor.fixes)))
sys.exit(0)
)PY";

inline bool EzdxfRequired() {
  const char* value = ::getenv("ZV_REQUIRE_EZDXF");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

inline DxfAuditResult Missing(std::string why) {
  DxfAuditResult result;
  if (EzdxfRequired()) {
    result.message = why + " (ZV_REQUIRE_EZDXF=1: the audit is required)";
  } else {
    result.skipped = true;
    result.message = why + ": DXF audit skipped";
  }
  return result;
}

}  // namespace dxf_audit_detail

// Runs ezdxf's reader and audit on `path` (at most 60 seconds).
inline DxfAuditResult AuditDxfWithEzdxf(const std::string& path) {
  namespace d = dxf_audit_detail;
  const char* python = "/usr/bin/python3";
  if (::access(python, X_OK) != 0) return d::Missing("no /usr/bin/python3");

  std::string report = (std::filesystem::temp_directory_path() / "zv_dxf_audit_XXXXXX").string();
  int fd = ::mkstemp(report.data());
  if (fd < 0) return DxfAuditResult{false, false, "cannot make the audit's report file"};
  ::close(fd);

  DxfAuditResult result;
  ExternalProcess process;
  std::vector<CString> arguments = {CString("-c"), CString(d::kScript), CString(path), CString(report)};
  if (!process.Start(python, arguments, CString("/"))) {
    result.message = "cannot start /usr/bin/python3";
  } else if (process.Wait(60000, 20) != ExternalProcess::WaitResult::kExited) {
    process.Kill();
    result.message = "the DXF audit did not finish within 60 s";
  } else {
    std::string said = ReadFile(report);
    switch (process.ExitCode()) {
      case d::kClean:
        result.ok = true;
        result.message = said;
        break;
      case d::kNoEzdxf:
        result = d::Missing(said);
        break;
      default:
        result.message = said.empty() ? "the DXF audit failed with exit code " + std::to_string(process.ExitCode())
                                      : said;
        break;
    }
  }
  std::remove(report.c_str());
  return result;
}

// Expects `path` to pass the audit; a skip is noted in the test's output and
// passes.
#define EXPECT_DXF_AUDIT_OK(path)                                       \
  do {                                                                  \
    const DxfAuditResult zv_audit_ = AuditDxfWithEzdxf(path);           \
    if (zv_audit_.skipped) {                                            \
      std::printf("[  NOTE    ] %s\n", zv_audit_.message.c_str());      \
    } else {                                                            \
      EXPECT_TRUE(zv_audit_.ok) << (path) << ": " << zv_audit_.message; \
    }                                                                   \
  } while (0)
