#!/usr/bin/env python3
"""Every relative link of the documentation leads somewhere.

Reads README.md, CONTRIBUTING.md, docs/*.md and the rigs' READMEs (tests/*/README.md). Each
link or image that is not a URL must name a file or folder of the checkout, and its #anchor a
heading (as the forge makes anchors of headings) of the Markdown file it leads to. Links inside
code are not links. Usage: CheckDocLinks.py SOURCE_DIR
"""
import functools
import pathlib
import re
import sys

INLINE = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^ {0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s|$)")
FENCE = re.compile(r"^ {0,3}(```|~~~)")
HEADING = re.compile(r"^ {0,3}#{1,6}\s+(.*?)\s*#*\s*$")


def prose_lines(text, blank_code=True):
    """The lines outside fenced code, with inline code spans blanked unless asked not to."""
    fenced = False
    for line in text.splitlines():
        if FENCE.match(line):
            fenced = not fenced
            continue
        if not fenced:
            yield re.sub(r"`[^`]*`", "``", line) if blank_code else line


@functools.cache
def anchors(path):
    """The anchors the forge gives the headings of a Markdown file, numbered when repeated."""
    seen, found = {}, set()
    for line in prose_lines(path.read_text(encoding="utf-8"), blank_code=False):
        heading = HEADING.match(line)
        if not heading:
            continue
        title = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", heading.group(1))
        slug = re.sub(r"[^\w\- ]", "", title.lower()).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        found.add(slug if count == 0 else f"{slug}-{count}")
    return found


def faults_of(source, root):
    faults, links = [], 0
    text = source.read_text(encoding="utf-8")
    raw_lines = text.splitlines()
    prose = list(prose_lines(text))
    # A link's text may run over a line's end, so links are looked for in the joined prose.
    targets = INLINE.findall("\n".join(prose))
    targets += [m.group(1) for m in map(REFERENCE.match, prose) if m]
    for target in targets:
        if re.match(r"^[a-zA-Z][a-zA-Z0-9+.-]*:", target):
            continue  # a URL (https:, mailto:): not ours to check offline
        links += 1
        path_part, _, anchor = target.partition("#")
        where = source if not path_part else (source.parent / path_part)
        number = next((i + 1 for i, raw in enumerate(raw_lines) if target in raw), 0)
        name = f"{source.relative_to(root)}:{number}: {target}"
        if not where.exists():
            faults.append(f"{name}: no such file")
        elif root.resolve() not in where.resolve().parents and where.resolve() != root.resolve():
            faults.append(f"{name}: outside the checkout")
        elif anchor and where.suffix == ".md" and anchor not in anchors(where):
            faults.append(f"{name}: no heading with the anchor #{anchor}")
    return faults, links


def main():
    root = pathlib.Path(sys.argv[1])
    sources = [root / "README.md", root / "CONTRIBUTING.md"]
    sources += sorted((root / "docs").glob("*.md")) + sorted(root.glob("tests/*/README.md"))
    missing = [str(s.relative_to(root)) for s in sources if not s.exists()]
    if missing:
        print("FAIL: missing " + ", ".join(missing), file=sys.stderr)
        return 1
    faults, links = [], 0
    for source in sources:
        more_faults, more_links = faults_of(source, root)
        faults += more_faults
        links += more_links
    if faults or links == 0:
        print("FAIL:\n" + ("\n".join(faults) or "no relative links found"), file=sys.stderr)
        return 1
    print(f"{links} relative links in {len(sources)} files lead somewhere")
    return 0


sys.exit(main())
