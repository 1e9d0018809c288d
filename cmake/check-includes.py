#!/usr/bin/env python3
"""Checks the project's includes against cmake/include_rules.txt.

Every quoted #include of a tracked C/C++ file is resolved (from the project root, beside the
including file, or from tests/ for test code) to the folder it lives in. The check fails on an
include the rules do not allow, on an include that names no file, and on any cycle between
folders in the includes as written.
"""
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def read_rules(path):
    rules, generated = {}, set()
    for number, line in enumerate(path.read_text().splitlines(), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        folder, sep, allowed = line.partition(":")
        if not sep:
            sys.exit(f"{path}:{number}: expected 'folder: folders'")
        if folder == "generated":
            generated.update(allowed.split())
        else:
            rules[folder.strip()] = set(allowed.split())
    return rules, generated


def tracked_sources():
    names = subprocess.run(["git", "ls-files", "*.h", "*.cpp", "*.c", "*.rc"], cwd=ROOT,
                           check=True, capture_output=True, text=True).stdout.split()
    return [pathlib.Path(name) for name in names]


def folder_of(path, rules):
    """The ruled folder a file belongs to (its own folder), or None when unruled."""
    folder = path.parent.as_posix()
    return folder if folder in rules else None


def find_cycle(edges):
    state, stack = {}, []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for target in sorted(edges.get(node, ())):
            if state.get(target) == "open":
                return stack[stack.index(target):] + [target]
            if target not in state:
                cycle = visit(target)
                if cycle:
                    return cycle
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            cycle = visit(node)
            if cycle:
                return cycle
    return None


def main():
    rules, generated = read_rules(ROOT / "cmake" / "include_rules.txt")
    problems, edges, checked = [], {}, 0
    for source in tracked_sources():
        checked += 1
        text = (ROOT / source).read_text(errors="replace")
        for match in INCLUDE.finditer(text):
            name = match.group(1)
            line = text.count("\n", 0, match.start()) + 1
            if name in generated:
                continue
            candidates = [pathlib.Path(name), source.parent / name, pathlib.Path("tests") / name]
            target = next((c for c in candidates if (ROOT / c).is_file()), None)
            if target is None:
                problems.append(f"{source}:{line}: includes {name}, which is no file")
                continue
            target = pathlib.Path(*(ROOT / target).resolve().relative_to(ROOT).parts)
            mine, theirs = source.parent.as_posix(), target.parent.as_posix()
            if mine == theirs:
                continue
            edges.setdefault(mine, set()).add(theirs)
            ruled = folder_of(source, rules)
            if ruled is not None and theirs not in rules[ruled]:
                problems.append(f"{source}:{line}: {ruled}/ may not include {target}")
    cycle = find_cycle(edges)
    if cycle:
        problems.append("folders include each other: " + " -> ".join(cycle))
    for problem in problems:
        print(problem)
    print(f"include check: {checked} files, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
