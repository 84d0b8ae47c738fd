#!/usr/bin/env python3
"""Checks the built help file with chmls: the start page and the configuration
topic the programs open are inside, it opens on the start page, every page the
contents name is inside, and no page links to one that is missing."""
import re
import subprocess
import sys
import tempfile
from pathlib import Path

START = "start.htm"
CONFIG_TOPIC = "12_ConfiguringVORNCSVLogEditor.htm"


def chmls(*args):
    run = subprocess.run(["chmls", *args], capture_output=True, text=True, errors="replace")
    if run.returncode != 0:
        sys.exit(f"chmls {' '.join(args)} failed ({run.returncode}): {run.stderr}")
    return run.stdout


def main():
    chm = sys.argv[1]
    failures = []
    names = {line.strip().lstrip("/") for line in chmls("-n", "list", chm).splitlines()
             if line.startswith("/")}
    for topic in (START, CONFIG_TOPIC, "contents.hhc"):
        if topic not in names:
            failures.append(f"{topic} is not in the help file")

    system = chmls("printsystem", chm)
    if not re.search(r"Default topic from \[options\]\s*:\s*" + re.escape(START), system):
        failures.append("the default topic is not " + START)

    with tempfile.TemporaryDirectory() as out:
        chmls("extractall", chm, out)
        root = Path(out)
        contents = (root / "contents.hhc").read_text(errors="replace") if (root / "contents.hhc").exists() else ""
        listed = re.findall(r'name="Local" value="([^"]+)"', contents, re.I)
        for topic in (START, CONFIG_TOPIC):
            if topic not in listed:
                failures.append(f"the contents do not list {topic}")
        start = (root / START).read_text(errors="replace") if (root / START).exists() else ""
        for topic in listed:
            if topic not in names:
                failures.append(f"the contents name {topic}, which is not in the help file")
            if topic != START and f'href="{topic}"' not in start:
                failures.append(f"the start page does not link to {topic}")
        for page in sorted(root.glob("*.htm")):
            text = page.read_text(errors="replace")
            if not re.search(r"<title>[^<]+</title>", text, re.I):
                failures.append(f"{page.name} has no title")
            for target in re.findall(r'(?:href|src)="([^"#:]+)"', text, re.I):
                if target not in names:
                    failures.append(f"{page.name} links to {target}, which is not in the help file")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print(f"{len(names)} entries checked in {chm}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
