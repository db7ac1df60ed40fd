#!/usr/bin/env python3
"""Runs tools/check_layers.py on small trees made for each case and checks
which includes it refuses: every rule once broken and once kept."""

import os
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402

CHECKER = check_layers.__file__

# (including file, include line's path, should the checker refuse it)
CASES = [
    ("platform/dialog.h", "res/resources.h", True),
    ("platform/qt/qt_prompts.cpp", "model/style.h", True),
    ("platform/qt/qt_prompts.cpp", "platform/dialog.h", False),
    ("platform/text.cpp", "design/geometry/primitives.h", True),
    ("res/dialogs.cpp", "platform/dialog_template.h", False),
    ("res/dialogs.cpp", "app/app.h", True),
    ("design/geometry/segments.cpp", "platform/numbers.h", False),
    ("design/geometry/segments.cpp", "design/geometry/primitives.h", False),
    ("design/geometry/segments.cpp", "res/resource_ids.h", True),
    ("design/geometry/segments.cpp", "model/geometry.h", True),
    ("model/geometry.cpp", "design/geometry/primitives.h", False),
    ("model/geometry.cpp", "res/resource_ids.h", False),
    ("model/geometry.cpp", "formats/dxf_reader.h", True),
    ("model/items/text_item.cpp", "imports/gbk_import.h", True),
    ("model/geometry.cpp", "app/app.h", True),
    ("model/geometry.cpp", "design/core/design.h", True),
    ("design/core/design.cpp", "model/style.h", False),
    ("design/core/design.cpp", "formats/dxf_reader.h", True),
    ("formats/dxf_reader.cpp", "model/style.h", False),
    ("formats/dxf_reader.cpp", "app/main_frame.h", True),
    ("imports/iba_import.cpp", "formats/aama_reader.h", False),
    ("imports/iba_import.cpp", "app/main_frame.h", True),
    ("app/app.cpp", "imports/iba_import.h", False),
    ("app/app.cpp", "tests/support/temp_folder.h", True),
    ("fuzz/fuzz_support.cpp", "tests/support/temp_folder.h", True),
    ("bench/bench_support.cpp", "tests/support/temp_folder.h", True),
    ("bench/design_load_bench.cpp", "tests/design_writer/archive_writer.h", False),
    ("fuzz/fuzz_support.cpp", "tests/design_writer/archive_writer.h", True),
    ("bench/bench_support.cpp", "app/placement.h", False),
    ("model/style.cpp", "fuzz/fuzz_support.h", True),
    ("formats/dxf_reader.cpp", "bench/bench_support.h", True),
    ("tests/model/style_test.cpp", "app/app.h", False),
    ("tests/model/style_test.cpp", "tests/support/temp_folder.h", False),
    # Paths relative to the including file count where they lead.
    ("model/geometry.cpp", "../formats/dxf_reader.h", True),
    ("tests/model/qt/text_item_test.cpp", "../support/model_fixture.h", False),
]


def run_checker(root):
    return subprocess.run([sys.executable, CHECKER, "--root", root],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(text)


class CheckLayersTest(unittest.TestCase):
    def test_each_rule(self):
        for source, include, refused in CASES:
            with self.subTest(source=source, include=include), tempfile.TemporaryDirectory() as root:
                # The included file exists where the include leads.
                target = include
                if include.startswith("../"):
                    target = os.path.normpath(os.path.join(os.path.dirname(source), include))
                write(root, target, "#pragma once\n")
                write(root, source, '// a file\n#include <vector>\n\n#include "%s"\n' % include)
                offences, _ = check_layers.check(root)
                expected = [(source, 4, include)] if refused else []
                self.assertEqual([o[:3] for o in offences], expected, offences)

    def test_prints_every_offence_fails_and_skips_build_and_hidden_folders(self):
        with tempfile.TemporaryDirectory() as root:
            write(root, "platform/a.h", '#include "res/r.h"\n#include "platform/b.h"\n  #  include "model/m.h"\n')
            write(root, "build/asan/platform/c.h", '#include "res/r.h"\n')
            write(root, "build-fuzz/platform/c.h", '#include "res/r.h"\n')
            write(root, ".git/platform/c.h", '#include "res/r.h"\n')
            write(root, "platform/notes.txt", '#include "res/r.h"\n')
            result = run_checker(root)
            self.assertEqual(result.returncode, 1, result.stdout)
            offending = [line.split(":")[0:2] for line in result.stdout.splitlines() if ": #include" in line]
            self.assertEqual(offending, [["platform/a.h", "1"], ["platform/a.h", "3"]])

    def test_a_clean_tree_passes(self):
        with tempfile.TemporaryDirectory() as root:
            write(root, "platform/a.h", '#include "platform/b.h"\n#include <string>\n')
            write(root, "app/app.cpp", '#include "platform/a.h"\n#include "formats/f.h"\n')
            result = run_checker(root)
            self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
