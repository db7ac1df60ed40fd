#!/usr/bin/env python3
"""Checks that no #include "..." crosses a layer of the program the wrong way.

The layers, from the bottom up, and what a file in each may not include:

  files in                     may not include
  ---------------------------  --------------------------------------------------
  platform/ (and platform/qt/) model/ formats/ imports/ app/ design/ res/
                               (the bottom layer: only platform/ itself)
  res/                         model/ formats/ imports/ app/ design/
  design/geometry/             anything but platform/ and design/geometry/
  model/                       formats/ imports/ app/, and design/ other than
                               design/geometry/ (the rest of design/ builds on model/)
  design/ (other than geometry) formats/ imports/ app/
  formats/, imports/           app/
  everything but tests/        tests/
  everything but bench/        bench/
  everything but fuzz/         fuzz/

tests/ may include every layer; bench/ and fuzz/ may include every layer but
tests/, except that bench/ may include tests/design_writer/ (the writer of
design files, which the benchmarks use to make their inputs: the program
itself writes none). The standard and third-party headers (#include <...>) are not looked at.

An include is looked for next to the including file first, then at the top of
the tree, as the compiler does; one found in neither place is taken as a path
from the top. Folders named build* at the top and hidden folders are skipped.

Usage: check_layers.py [--root DIR]   (DIR defaults to the repository holding
this script). Prints each offending file:line with the rule it breaks and
exits with 1 when there is any; exits with 0 otherwise.
"""

import argparse
import os
import posixpath
import re
import sys

SOURCE_EXTENSIONS = (".h", ".hpp", ".hh", ".inl", ".c", ".cc", ".cpp", ".cxx")

INCLUDE_LINE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


class Rule:
    """Files under `files` (and not under any of `except_files`) may not include
    a path under any of `forbidden`, unless it is also under one of `allowed`.
    A `forbidden` of None forbids everything but `allowed`."""

    def __init__(self, files, forbidden, allowed=(), except_files=(), text=""):
        self.files = files
        self.forbidden = forbidden
        self.allowed = allowed
        self.except_files = except_files
        self.text = text

    def applies_to(self, path):
        return under(path, self.files) and not any(under(path, e) for e in self.except_files)

    def breaks(self, target):
        if any(under(target, a) for a in self.allowed):
            return False
        if self.forbidden is None:
            return True
        return any(under(target, f) for f in self.forbidden)


def under(path, folder):
    return path == folder or path.startswith(folder + "/")


RULES = [
    Rule("platform", ["model", "formats", "imports", "app", "design", "res"],
         text="platform/ is the bottom layer and includes only platform/"),
    Rule("res", ["model", "formats", "imports", "app", "design"],
         text="res/ includes only platform/ and res/"),
    Rule("design/geometry", None, allowed=["platform", "design/geometry"],
         text="design/geometry/ includes only platform/ and design/geometry/"),
    Rule("model", ["formats", "imports", "app", "design"], allowed=["design/geometry"],
         text="model/ includes nothing of formats/, imports/, app/, nor of design/ but design/geometry/"),
    Rule("design", ["formats", "imports", "app"], except_files=["design/geometry"],
         text="design/ includes nothing of formats/, imports/, app/"),
    Rule("formats", ["app"], text="formats/ includes nothing of app/"),
    Rule("imports", ["app"], text="imports/ includes nothing of app/"),
]
# Folders that only their own files may include.
PRIVATE_FOLDERS = ["tests", "bench", "fuzz"]
# Parts of a private folder that another folder may include as well.
SHARED_PARTS = {"tests": {"bench": ["tests/design_writer"]}}


def rules_for(path):
    rules = [r for r in RULES if r.applies_to(path)]
    for folder in PRIVATE_FOLDERS:
        if not under(path, folder):
            allowed = [part for user, parts in SHARED_PARTS.get(folder, {}).items() if under(path, user)
                       for part in parts]
            rules.append(Rule("", [folder], allowed=allowed, text="only %s/ includes %s/" % (folder, folder)))
    return rules


def source_files(root):
    for folder, dirs, files in os.walk(root):
        at_top = os.path.samefile(folder, root)
        dirs[:] = sorted(d for d in dirs
                         if not d.startswith(".") and not (at_top and d.startswith("build")))
        for name in sorted(files):
            if name.endswith(SOURCE_EXTENSIONS):
                yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def resolve(root, including, include):
    """The include as a path from the top of the tree."""
    beside = posixpath.normpath(posixpath.join(posixpath.dirname(including), include))
    if os.path.isfile(os.path.join(root, beside)):
        return beside
    return posixpath.normpath(include)


def check(root):
    """Returns the offences as (file, line, include, rule text), and the number of files read."""
    offences = []
    count = 0
    for path in source_files(root):
        count += 1
        rules = rules_for(path)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, start=1):
                match = INCLUDE_LINE.match(line)
                if not match:
                    continue
                target = resolve(root, path, match.group(1))
                for rule in rules:
                    if rule.breaks(target):
                        offences.append((path, number, match.group(1), rule.text))
                        break
    return offences, count


def main(argv):
    parser = argparse.ArgumentParser(description="Checks the include layers of the source tree.")
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                        help="top of the tree to check (default: this repository)")
    args = parser.parse_args(argv)
    if not os.path.isdir(args.root):
        print("check_layers: no folder %s" % args.root, file=sys.stderr)
        return 2
    offences, count = check(args.root)
    for path, number, include, text in offences:
        print('%s:%d: #include "%s": %s' % (path, number, include, text))
    if offences:
        print("check_layers: %d include(s) cross a layer the wrong way" % len(offences))
        return 1
    print("check_layers: %d files, no include crosses a layer the wrong way" % count)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
