#!/usr/bin/env bash
# Fails when the folders of src/ include each other in a cycle. Every line
# `#include "<folder>/..."` in a file of src/<from>/ is an arrow <from> -> <folder>; the arrows
# must form no loop. On a loop it prints the folders of the loop and, for each arrow of it, a file
# that makes it. With -v it prints the folder graph too.
set -euo pipefail
cd "$(dirname "$0")/../src"
grep -rE --include='*.h' --include='*.cpp' --include='*.c' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[A-Za-z0-9_]+/' . |
    python3 -c '
import re, sys
verbose = sys.argv[1:] == ["-v"]
graph, where = {}, {}
for line in sys.stdin:
    path, _, text = line.partition(":")
    src = path.split("/")[1]
    dst = re.search(r"\"([^/]+)/", text).group(1)
    if src != dst:
        graph.setdefault(src, set()).add(dst)
        where.setdefault((src, dst), path[2:])
if verbose:
    for src in sorted(graph):
        print(src, "->", " ".join(sorted(graph[src])))
state, stack = {}, []
def visit(node):
    state[node] = 1
    stack.append(node)
    for nxt in sorted(graph.get(node, ())):
        if state.get(nxt) == 1:
            loop = stack[stack.index(nxt):] + [nxt]
            print("include cycle between the folders of src/:", " -> ".join(loop), file=sys.stderr)
            for a, b in zip(loop, loop[1:]):
                print(f"  {a} -> {b}: src/{where[(a, b)]}", file=sys.stderr)
            sys.exit(1)
        if nxt not in state:
            visit(nxt)
    stack.pop()
    state[node] = 2
for node in sorted(graph):
    if node not in state:
        visit(node)
print("no include cycle between the folders of src/")
' "$@"
