#!/usr/bin/env python3
"""clang-tidy over the program's sources, in parallel.

Usage: scripts/tidy.py BUILD_DIR [--all]

In a developer's tree a file is checked again only when it, its compile command, one of the
project headers it includes (as the build's own dependency record lists them) or .clang-tidy
changed since it last came out clean. With --all (CI) every file is checked.
"""
import concurrent.futures
import hashlib
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCES = re.compile(r"^" + re.escape(ROOT) + r"/(app|core|ui)/.*\.cpp$")
FINDING = re.compile(r"(warning|error):")


def header_deps(build):
    """Object file -> project files it was compiled from, from ninja's dependency log."""
    out = subprocess.run(["ninja", "-C", build, "-t", "deps"], capture_output=True, text=True,
                         check=True).stdout
    deps, current = {}, None
    for line in out.splitlines():
        if line and not line.startswith(" "):
            current = line.split(":", 1)[0]
            deps[current] = []
        elif line.strip().startswith(ROOT + "/") and current is not None:
            deps[current].append(line.strip())
    return deps


def digest(paths, *texts):
    h = hashlib.sha256()
    for t in texts:
        h.update(t.encode())
        h.update(b"\0")
    for p in sorted(set(paths)):
        h.update(p.encode())
        try:
            with open(p, "rb") as f:
                h.update(f.read())
        except OSError:
            h.update(b"missing")
    return h.hexdigest()


def run_tidy(tidy, build, path):
    r = subprocess.run([tidy, "-p", build, "--quiet", path], capture_output=True, text=True)
    findings = sorted({l for l in r.stdout.splitlines() if FINDING.search(l)})
    if r.returncode != 0 and not findings:
        findings = [f"{path}: clang-tidy ended with {r.returncode}: {r.stderr.strip()[:400]}"]
    return path, findings


def main():
    build = os.path.abspath(sys.argv[1])
    check_all = "--all" in sys.argv[2:]
    tidy = next((t for t in ("clang-tidy", "clang-tidy-14")
                 if subprocess.run(["sh", "-c", f"command -v {t}"], capture_output=True).returncode == 0), None)
    if tidy is None:
        print("clang-tidy is not installed", file=sys.stderr)
        return 3
    with open(os.path.join(build, "compile_commands.json")) as f:
        commands = [c for c in json.load(f) if SOURCES.match(c["file"])]
    with open(os.path.join(ROOT, ".clang-tidy")) as f:
        config = f.read()
    deps = header_deps(build)
    record_path = os.path.join(build, "tidy-clean.json")
    try:
        with open(record_path) as f:
            record = json.load(f)
    except (OSError, ValueError):
        record = {}

    keys = {}
    for c in commands:
        output = c.get("output") or re.search(r"-o (\S+)", c["command"]).group(1)
        keys[c["file"]] = digest(deps.get(output, []) + [c["file"]], config, c["command"])
    todo = [p for p in sorted(keys) if check_all or record.get(p) != keys[p]]
    print(f"clang-tidy: checking {len(todo)} of {len(keys)} files")

    findings = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for path, found in pool.map(lambda p: run_tidy(tidy, build, p), todo):
            findings += found
            if found:
                record.pop(path, None)
            else:
                record[path] = keys[path]
    with open(record_path, "w") as f:
        json.dump(record, f, indent=0, sort_keys=True)
    for line in sorted(set(findings)):
        print(line)
    if findings:
        print(f"clang-tidy: {len(set(findings))} findings", file=sys.stderr)
        return 1
    print("clang-tidy: clean")
    return 0


if __name__ == "__main__":
    sys.exit(main())
