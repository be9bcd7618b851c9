#!/usr/bin/env python3
"""Checks that the subsystem folders depend on each other one way only, in
both what their files include and what CMakeLists.txt links, and, given a
native build folder, that zvbundle links only the bundle, tools and
foundation libraries.

    check_layers.py SOURCE_DIR [NATIVE_BUILD_DIR]
"""
import os
import re
import subprocess
import sys

# What each folder may use. Together the entries form the one-way graph
# host -> slideshow, graphics, audio, ui, net -> bundle -> foundation.
ALLOWED = {
    "foundation": set(),
    "bundle": {"foundation"},
    "graphics": {"bundle", "foundation"},
    "audio": {"bundle", "foundation"},
    "net": {"bundle", "foundation"},
    "slideshow": {"graphics", "bundle", "foundation"},
    "ui": {"graphics", "audio", "net", "bundle", "foundation"},
    "host": {"slideshow", "graphics", "audio", "ui", "net", "bundle", "foundation"},
    "reporter": {"ui", "net", "bundle", "foundation"},
    "tools": {"bundle", "foundation"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/')
LINK = re.compile(r"zv_link\(\s*zv_([a-z_]+)((?:\s+[A-Za-z0-9_:]+)*)\s*\)")


def include_edges(source):
    """(folder, used folder, file) for every include of another folder."""
    for folder in ALLOWED:
        path = os.path.join(source, folder)
        for root, _, files in os.walk(path):
            for name in files:
                if not name.endswith((".h", ".cpp")):
                    continue
                with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
                    for line in f:
                        match = INCLUDE.match(line)
                        if match and match.group(1) != folder and match.group(1) in ALLOWED:
                            yield folder, match.group(1), os.path.join(folder, name)


def link_edges(source):
    with open(os.path.join(source, "CMakeLists.txt"), encoding="utf-8") as f:
        text = f.read()
    for match in LINK.finditer(text):
        for used in match.group(2).split():
            if used.startswith("zv_") and used[3:] in ALLOWED:
                yield match.group(1), used[3:], "CMakeLists.txt"


def find_cycle(edges):
    """A list of folders forming a cycle, or None."""
    graph = {}
    for a, b, _ in edges:
        graph.setdefault(a, set()).add(b)
    state = {}

    def visit(node, path):
        state[node] = "open"
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt] if nxt in path else path + [nxt]
            if nxt not in state:
                found = visit(nxt, path + [nxt])
                if found:
                    return found
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


def zvbundle_libraries(build):
    out = subprocess.run(["ninja", "-C", build, "-t", "commands", "tools/zvbundle"],
                         capture_output=True, text=True, check=True).stdout
    link = out.strip().splitlines()[-1]
    return sorted(set(re.findall(r"libzv_([a-z_]+)\.a", link)))


def main():
    source = sys.argv[1]
    problems = []
    edges = list(include_edges(source)) + list(link_edges(source))
    for folder, used, where in edges:
        if used not in ALLOWED[folder]:
            problems.append("%s uses %s (%s)" % (folder, used, where))
    cycle = find_cycle(edges)
    if cycle:
        problems.append("cycle: " + " -> ".join(cycle))
    if len(sys.argv) > 2:
        libraries = zvbundle_libraries(sys.argv[2])
        extra = [lib for lib in libraries if lib not in ("bundle", "tools", "foundation")]
        if extra:
            problems.append("zvbundle links " + ", ".join(extra))
        print("zvbundle links: " + ", ".join(libraries))
    for problem in problems:
        print(problem)
    print("%d dependencies between folders checked, %d problems" % (len(edges), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
