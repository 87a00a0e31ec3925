#!/usr/bin/env python3
"""Fails when a file of a module under src/ includes a header of another
module that the module's CMake DEPS do not name, and names each such include.

A module is a folder src/<name>/ whose CMakeLists.txt calls
lw_module(<name> DEPS lw_a lw_b ...); the DEPS of every such call count.
"""
import re
import sys
from pathlib import Path

root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
src = root / "src"

call = re.compile(r"lw_module\(\s*(\w+)(.*?)\)", re.S)
include = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def declared(module_dir):
    text = (module_dir / "CMakeLists.txt").read_text()
    deps = set()
    for name, args in call.findall(text):
        if name != module_dir.name:
            sys.exit(f"{module_dir}/CMakeLists.txt: lw_module({name}) in the folder {module_dir.name}")
        words = args.split()
        keep = False
        for w in words:
            if w in ("DEPS", "LINUX_LIBS", "WIN32_LIBS"):
                keep = w == "DEPS"
            elif keep and w.startswith("lw_"):
                deps.add(w[3:])
    return deps


modules = {d.name: d for d in sorted(src.iterdir()) if (d / "CMakeLists.txt").is_file()}
deps = {name: declared(d) for name, d in modules.items()}
wrong = []
for name, d in modules.items():
    for unknown in sorted(deps[name] - modules.keys()):
        wrong.append(f"src/{name}/CMakeLists.txt: DEPS names lw_{unknown}, which is no module")
    for f in sorted(d.rglob("*")):
        if f.suffix not in (".cpp", ".h", ".in", ".inc"):
            continue
        for target in include.findall(f.read_text(errors="replace")):
            if target in modules and target != name and target not in deps[name]:
                wrong.append(f"{f.relative_to(root)}: includes {target}/ but lw_{name} has no DEPS lw_{target}")
if wrong:
    print("\n".join(wrong), file=sys.stderr)
    sys.exit(1)
print(f"includes: {len(modules)} modules include only what their DEPS name")
