#!/usr/bin/env python3
"""The manual page orvane(1) and the README's Linux switch table name the same switches.

Each line of the table (the first block of the README's "Orvane on Linux") names one switch;
each entry of the manual page's SWITCHES section names one switch with its aliases (HELP,
--help, -h). Both must list the same switches, and an alias that the README gives must be the
manual page's too.
Usage: CheckManualPage.py README.md orvane.1
"""
import re
import sys


def switch_of(word):
    # PRINTER=<n|ID> and PRINTER=n|ID are the one switch PRINTER=.
    return word.split("=")[0] + "=" if "=" in word else word


def readme_switches(text):
    section = text.split("\n## Orvane on Linux\n", 1)[1].split("\n## ", 1)[0]
    table = section.split("```", 2)[1]
    switches = {}
    for line in table.strip().splitlines():
        column = re.split(r"\s{2,}", line.strip())[0]
        words = [w.strip(",") for w in column.split()[1:] if w != "..."]
        switches.setdefault(switch_of(words[0]), set()).update(w for w in words if w.startswith("-"))
    return switches


def manual_switches(text):
    section = text.split(".SH SWITCHES", 1)[1].split("\n.SH ", 1)[0]
    switches = {}
    for entry in section.split(".TP\n")[1:]:
        tag = entry.splitlines()[0]
        tag = re.sub(r"^\.B[IR]? ", "", tag)
        tag = re.sub(r"\\f[BIRP]", "", tag).replace("\\-", "-").replace('"', "")
        words = [w.strip(",") for w in tag.split() if w.strip(",")]
        switches[switch_of(words[0])] = {w for w in words if w.startswith("-")}
    return switches


def main():
    with open(sys.argv[1], encoding="utf-8") as readme, open(sys.argv[2], encoding="utf-8") as man:
        table, manual = readme_switches(readme.read()), manual_switches(man.read())
    faults = [f"the README lists {s}, the manual page does not" for s in sorted(table.keys() - manual.keys())]
    faults += [f"the manual page lists {s}, the README does not" for s in sorted(manual.keys() - table.keys())]
    for switch in sorted(table.keys() & manual.keys()):
        faults += [f"the README gives {switch} the alias {a}, the manual page does not"
                   for a in sorted(table[switch] - manual[switch])]
    if not table or faults:
        print("FAIL: " + ("; ".join(faults) or "no switches found in the README"), file=sys.stderr)
        return 1
    print(f"the manual page and the README name the same {len(table)} switches")
    return 0


sys.exit(main())
