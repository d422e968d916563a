#!/usr/bin/env python3
"""Checks the #include lines under src/ against the layer table of docs/architecture.md.

The table (the first one whose header is "Folder | May include") lists, for each
folder of src/, the folders its files may include besides their own. An include
of another folder that its row does not list fails, as does a folder of src/
with no row, a table whose rows include each other in a circle, and a QtWidgets
header anywhere but ui/ and main.cpp.

  check-layers.py [--doc docs/architecture.md] [--src src] [--widgets-dir DIR]
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# The windows and the desktop program's main() are the only users of QtWidgets.
WIDGETS_ROWS = {"ui", "main.cpp"}


def read_table(doc_path):
    """Returns {folder: the folders it may include}."""
    allowed = {}
    in_table = False
    with open(doc_path, encoding="utf-8") as doc:
        for line in doc:
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if not in_table:
                if len(cells) == 2 and cells[0] == "Folder" and cells[1] == "May include":
                    in_table = True
                continue
            if not line.lstrip().startswith("|"):
                break
            if set(cells[0]) <= set("-: "):
                continue  # the line under the header
            name = cells[0].strip("`/ ")
            targets = {t.strip("`/ ") for t in cells[1].split(",")} if len(cells) > 1 else set()
            allowed[name] = {t for t in targets if t and t != "nothing"}
    if not allowed:
        sys.exit(f"{doc_path}: no table headed 'Folder | May include'")
    return allowed


def find_cycle(allowed):
    """A list of folders that include each other in a circle, or None."""
    state = {}

    def visit(node, path):
        state[node] = "open"
        for target in sorted(allowed.get(node, ())):
            if state.get(target) == "open":
                return path[path.index(target):] + [target] if target in path else [node, target]
            if target not in state:
                cycle = visit(target, path + [target])
                if cycle:
                    return cycle
        state[node] = "done"
        return None

    for node in sorted(allowed):
        if node not in state:
            cycle = visit(node, [node])
            if cycle:
                return cycle
    return None


def widgets_headers(widgets_dir):
    if widgets_dir and os.path.isdir(widgets_dir):
        return set(os.listdir(widgets_dir))
    return set()


def source_files(src_root):
    for folder, _, files in os.walk(src_root):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                yield os.path.join(folder, name)


def owner(src_root, path):
    """The table row a source file belongs to: its folder, or its name at the top."""
    return os.path.relpath(path, src_root).split(os.sep)[0]


def check(doc_path, src_root, widgets_dir):
    allowed = read_table(doc_path)
    problems = []
    cycle = find_cycle(allowed)
    if cycle:
        problems.append(f"{doc_path}: the table lets folders include each other: {' -> '.join(cycle)}")
    widgets = widgets_headers(widgets_dir)
    folders = {d for d in os.listdir(src_root) if os.path.isdir(os.path.join(src_root, d))}
    for path in source_files(src_root):
        row = owner(src_root, path)
        relative = os.path.relpath(path, src_root)
        if row not in allowed:
            problems.append(f"{relative}: '{row}' has no row in the table of {doc_path}")
            continue
        with open(path, encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                bracket, target = match.groups()
                if bracket == "<":
                    header = target.split("/")[-1]
                    if row not in WIDGETS_ROWS and (target.startswith("QtWidgets") or header in widgets):
                        problems.append(f"{relative}:{number}: QtWidgets header <{target}> outside ui/ and main.cpp")
                    continue
                first = target.split("/")[0]
                if "/" not in target or first not in folders or first == row:
                    continue
                if first not in allowed[row]:
                    problems.append(f"{relative}:{number}: {row} may not include {first} ({target})")
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.dirname(here)
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--doc", default=os.path.join(root, "docs", "architecture.md"))
    parser.add_argument("--src", default=os.path.join(root, "src"))
    parser.add_argument("--widgets-dir", default="",
                        help="the QtWidgets include folder; its header names are refused outside ui/ and main.cpp")
    args = parser.parse_args()
    problems = check(args.doc, args.src, args.widgets_dir)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) break the layers of {args.doc}")
        return 1
    print("Every include runs down the layer table.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
