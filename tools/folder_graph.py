#!/usr/bin/env python3
"""The floors of the code, drawn from the #include lines, and the build's target graph.

  tools/folder_graph.py                  writes docs/folders.svg
  tools/folder_graph.py --check          fails on an include arrow from a lower floor to a higher one,
                                         a folder holding files of two floors, a folder without a floor, or
                                         a docs/folders.svg that is not what the includes draw
  tools/folder_graph.py --targets BUILD  renders the target graph of a configured build folder (through
                                         cmake --graphviz; our product targets only) into docs/targets.svg;
                                         a .dot file that cmake --graphviz wrote does as well

A folder is the nearest directory with its own CMakeLists.txt (panels/led belongs to panels/). Arrows go
from the including folder to the folder of the header. Within a floor arrows may go either way (the
build's include folders keep the libraries apart); across floors they point down only.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Top-down. Every product folder sits on exactly one floor.
FLOORS = [
    ("window", "the main window's shell, dialogs and channel-editor pages (kv_app)", ["app", "app/pages"]),
    ("main link", "the main window's link side (kv_mainlink)", ["app/link"]),
    ("libraries", "protocol, transports, HID, response engine, control packs, plot",
     ["plot/editors", "controls", "styled", "panels", "plot", "editors/response", "link", "hid"]),
    ("platform", "objects, system, GUI", ["platform/gui", "platform/sys", "platform/core"]),
]

# Upward arrows known and due to go: reported, not failed. Keep it empty.
PENDING = set()

# Where the product targets sit, for the colours of the target graph.
TARGET_FLOORS = {
    "korvane-editor": "window", "kv_app": "window", "kv_mainlink": "main link",
    "kv_core": "platform", "kv_sys": "platform", "kv_hidsys": "platform", "kv_gui": "platform",
}
COLOURS = {"window": "#f6d5c8", "main link": "#f4e6b8", "libraries": "#cfe3f3", "platform": "#d6ecd2"}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
SOURCE_EXT = (".cpp", ".cc", ".h", ".inc")


def product_folders():
    return [f for _, _, fs in FLOORS for f in fs]


def floor_of(folder):
    for i, (_, _, folders) in enumerate(FLOORS):
        if folder in folders:
            return i
    return None


def owning_folder(path):
    """The nearest folder with a CMakeLists.txt that holds this file (relative to ROOT)."""
    d = os.path.dirname(path)
    while d and not os.path.exists(os.path.join(ROOT, d, "CMakeLists.txt")):
        d = os.path.dirname(d)
    return d


def scan(top_dirs):
    """Source files below the top folders and the project files each includes."""
    files = {}
    for top in top_dirs:
        for dirpath, dirnames, names in os.walk(os.path.join(ROOT, top)):
            dirnames[:] = [d for d in dirnames if not d.startswith("build")]
            for name in names:
                if name.endswith(SOURCE_EXT):
                    path = os.path.relpath(os.path.join(dirpath, name), ROOT)
                    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
                        text = f.read()
                    incs = []
                    for inc in INCLUDE.findall(text):
                        for cand in (inc, os.path.join(os.path.dirname(path), inc)):
                            if os.path.isfile(os.path.join(ROOT, cand)):
                                incs.append(os.path.normpath(cand))
                                break
                    files[path] = incs
    return files


def folder_edges(files):
    """(from, to) -> list of (file, header), between different folders."""
    edges = defaultdict(list)
    for path, incs in files.items():
        src = owning_folder(path)
        for inc in incs:
            dst = owning_folder(inc)
            if dst != src:
                edges[(src, dst)].append((path, inc))
    return edges


def check(files):
    problems, notes = [], []
    folders = {owning_folder(p) for p in files}
    for f in sorted(folders):
        if floor_of(f) is None:
            problems.append(f"{f}/ has no floor: give it one in FLOORS (tools/folder_graph.py)")
    upward = defaultdict(list)  # folder -> files of it that reach a higher floor
    for (src, dst), why in sorted(edges_of(files).items()):
        fs, fd = floor_of(src), floor_of(dst)
        if fs is None or fd is None or fd >= fs:
            continue
        text = f"{src}/ ({FLOORS[fs][0]}) -> {dst}/ ({FLOORS[fd][0]}): " + ", ".join(
            f"{a} includes {b}" for a, b in why[:3]) + (" ..." if len(why) > 3 else "")
        if (src, dst) in PENDING:
            notes.append("pending: " + text)
            continue
        problems.append("upward arrow " + text)
        upward[src].extend(a for a, _ in why)
    for folder, bad in sorted(upward.items()):
        own = [p for p in files if owning_folder(p) == folder and p.endswith((".cpp", ".cc"))]
        good = sorted(set(own) - set(bad))
        if good and bad:
            problems.append(f"{folder}/ holds two floors: {', '.join(sorted(set(bad))[:4])} reach above "
                            f"{FLOORS[floor_of(folder)][0]}, {', '.join(good[:2])} ... do not")
    return problems, notes


_edges_cache = {}


def edges_of(files):
    key = id(files)
    if key not in _edges_cache:
        _edges_cache[key] = folder_edges(files)
    return _edges_cache[key]


# --- drawing -------------------------------------------------------------------------------------------

def transitive_reduction(nodes, edges):
    succ = defaultdict(set)
    for a, b in edges:
        succ[a].add(b)

    def reach(start, skip):
        seen, stack = set(), [n for n in succ[start] if (start, n) != skip]
        while stack:
            n = stack.pop()
            if n in seen:
                continue
            seen.add(n)
            stack.extend(succ[n])
        return seen
    return [(a, b) for a, b in edges if b not in reach(a, (a, b))]


def layers(nodes, edges, group_of):
    """Rows top-down: groups in their order, and within a group by the longest path down inside it."""
    succ = defaultdict(set)
    for a, b in edges:
        if group_of[a] == group_of[b] and a != b:
            succ[a].add(b)
    depth = {}

    def down(n, trail=()):
        if n in depth:
            return depth[n]
        if n in trail:  # a cycle inside a group: flatten it
            return 0
        depth[n] = 1 + max((down(m, trail + (n,)) for m in succ[n]), default=-1)
        return depth[n]
    for n in nodes:
        down(n)
    rows = []
    for g in sorted({group_of[n] for n in nodes}):
        members = [n for n in nodes if group_of[n] == g]
        for d in range(max(depth[n] for n in members), -1, -1):
            row = sorted(n for n in members if depth[n] == d)
            if row:
                rows.append((g, row))
    return rows


def order_rows(rows, edges):
    """A few barycentre sweeps so that arrows cross less."""
    pos = {}
    for _, row in rows:
        for i, n in enumerate(row):
            pos[n] = i - (len(row) - 1) / 2
    nbrs = defaultdict(list)
    for a, b in edges:
        nbrs[a].append(b)
        nbrs[b].append(a)
    for _ in range(6):
        for _, row in rows:
            row.sort(key=lambda n: sum(pos[m] for m in nbrs[n]) / len(nbrs[n]) if nbrs[n] else pos[n])
            for i, n in enumerate(row):
                pos[n] = i - (len(row) - 1) / 2
    return rows


def svg(title, rows, edges, group_names, colour_of, label_of, notes=()):
    box_h, gap_y, pad = 34, 46, 20
    width_of = {n: 14 + 7.2 * len(label_of(n)) for _, row in rows for n in row}
    row_w = [sum(width_of[n] for n in row) + 24 * (len(row) - 1) for _, row in rows]
    legend_w = 190
    inner = max(row_w)
    W = int(max(inner + 2 * pad + legend_w, 2 * pad + max((6.2 * len(n) for n in notes), default=0)))
    xy = {}
    y = pad + 30
    group_span = {}
    for (g, row), w in zip(rows, row_w):
        x = pad + legend_w + (inner - w) / 2
        for n in row:
            xy[n] = (x, y)
            x += width_of[n] + 24
        top, bottom = group_span.get(g, (y, y))
        group_span[g] = (min(top, y), max(bottom, y + box_h))
        y += box_h + gap_y
    H = int(y - gap_y + pad + 18 * len(notes) + 10)
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}" viewBox="0 0 {W} {H}" '
           'font-family="DejaVu Sans, sans-serif" font-size="12">',
           '<defs><marker id="a" viewBox="0 0 10 10" refX="10" refY="5" markerWidth="9" markerHeight="9" markerUnits="userSpaceOnUse" '
           'orient="auto"><path d="M0,0 L10,5 L0,10 z" fill="#555"/></marker></defs>',
           f'<rect width="{W}" height="{H}" fill="white"/>',
           f'<text x="{pad}" y="{pad + 8}" font-size="15" font-weight="bold">{title}</text>']
    for g, (top, bottom) in sorted(group_span.items()):
        name, what = group_names[g]
        out.append(f'<rect x="{pad / 2}" y="{top - 10}" width="{W - pad}" height="{bottom - top + 20}" '
                   f'rx="6" fill="{COLOURS.get(name, "#eee")}" fill-opacity="0.35" stroke="#bbb"/>')
        out.append(f'<text x="{pad}" y="{top + 8}" font-weight="bold">{name}</text>')
        words, line, lines = what.split(), "", []
        for w in words:
            if len(line) + len(w) > 26:
                lines.append(line)
                line = ""
            line = (line + " " + w).strip()
        lines.append(line)
        for i, l in enumerate(lines):
            out.append(f'<text x="{pad}" y="{top + 24 + 13 * i}" font-size="10" fill="#444">{l}</text>')
    for a, b in edges:
        (xa, ya), (xb, yb) = xy[a], xy[b]
        ca, cb = xa + width_of[a] / 2, xb + width_of[b] / 2
        if ya == yb:
            y0 = ya + box_h
            out.append(f'<path d="M{ca},{y0} C{ca},{y0 + 30} {cb},{y0 + 30} {cb},{y0}" fill="none" '
                       'stroke="#555" marker-end="url(#a)"/>')
        elif yb > ya:
            out.append(f'<line x1="{ca}" y1="{ya + box_h}" x2="{cb}" y2="{yb}" stroke="#555" '
                       'marker-end="url(#a)"/>')
        else:  # upward: drawn red, so that it shows
            out.append(f'<line x1="{ca}" y1="{ya}" x2="{cb}" y2="{yb + box_h}" stroke="#c00" '
                       'stroke-width="2" marker-end="url(#a)"/>')
    for n, (x, y0) in xy.items():
        out.append(f'<rect x="{x}" y="{y0}" width="{width_of[n]}" height="{box_h}" rx="4" '
                   f'fill="{colour_of(n)}" stroke="#333"/>')
        out.append(f'<text x="{x + width_of[n] / 2}" y="{y0 + 21}" text-anchor="middle">{label_of(n)}</text>')
    for i, note in enumerate(notes):
        out.append(f'<text x="{pad}" y="{y - gap_y + pad + 18 * i + 8}" font-size="11" fill="#444">'
                   f'{note}</text>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def folder_picture(files):
    folders = sorted({owning_folder(p) for p in files} & set(product_folders()))
    edges = sorted(e for e in edges_of(files) if e[0] in folders and e[1] in folders)
    group = {f: floor_of(f) for f in folders}
    shown = transitive_reduction(folders, edges)
    rows = order_rows(layers(folders, edges, group), shown)
    names = {i: (n, w) for i, (n, w, _) in enumerate(FLOORS)}
    text = svg("Folders by floor: an arrow is an #include (implied arrows left out)", rows, shown, names,
               lambda f: COLOURS[FLOORS[group[f]][0]], lambda f: f + "/",
               notes=["Drawn by tools/folder_graph.py from the #include lines; "
                      "CTest Layering.FolderFloors fails on an upward arrow."])
    return text


def draw_targets(dot_path, path):
    label, edges = {}, []
    with open(dot_path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r'\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)"', line)
            if m:
                label[m.group(1)] = m.group(2).replace("\\n", "")
            m = re.match(r'\s*"(node\d+)"\s*->\s*"(node\d+)"', line)
            if m:
                edges.append((m.group(1), m.group(2)))

    def ours(name):
        return (name.startswith("kv_") or name == "korvane-editor") and "_resources" not in name and name not in (
            "kv_sim", "kv_testsupport", "kv_benchmarks", "kv_product", "kv_threaded_tests")
    nodes = sorted({label[n] for n in label if ours(label[n])})
    links = sorted({(label[a], label[b]) for a, b in edges
                    if a in label and b in label and ours(label[a]) and ours(label[b])})
    floor_names = [n for n, _, _ in FLOORS]

    def floor(t):
        return floor_names.index(TARGET_FLOORS.get(t, "libraries"))
    group = {t: floor(t) for t in nodes}
    shown = transitive_reduction(nodes, links)
    rows = order_rows(layers(nodes, links, group), shown)
    names = {i: (n, w) for i, (n, w, _) in enumerate(FLOORS)}
    text = svg("Targets: an arrow links a library (implied links left out)", rows, shown, names,
               lambda t: COLOURS[floor_names[group[t]]], lambda t: t,
               notes=["Drawn by tools/folder_graph.py --targets from cmake --graphviz (see docs/architecture.md)."])
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", action="store_true")
    ap.add_argument("--targets", metavar="BUILD|DOT")
    ap.add_argument("--out")
    args = ap.parse_args()
    if args.targets:
        out = args.out or os.path.join(ROOT, "docs", "targets.svg")
        if not os.path.isdir(args.targets):
            draw_targets(args.targets, out)
            return 0
        with tempfile.TemporaryDirectory() as tmp:
            dot = os.path.join(tmp, "targets.dot")
            subprocess.run(["cmake", "-S", ROOT, "-B", args.targets, "--graphviz=" + dot], check=True,
                           stdout=subprocess.DEVNULL)
            draw_targets(dot, out)
        return 0
    tops = sorted({f.split("/")[0] for f in product_folders()})
    files = scan(tops)
    picture = os.path.join(ROOT, "docs", "folders.svg")
    if args.check:
        problems, notes = check(files)
        with open(picture, encoding="utf-8") as f:
            if f.read() != folder_picture(files):
                problems.append("docs/folders.svg is out of date: run tools/folder_graph.py")
        for n in notes:
            print(n)
        for p in problems:
            print("error:", p)
        print(f"{len(files)} files, {len(edges_of(files))} folder arrows, {len(problems)} problems")
        return 1 if problems else 0
    with open(args.out or picture, "w", encoding="utf-8") as f:
        f.write(folder_picture(files))
    return 0


if __name__ == "__main__":
    sys.exit(main())
