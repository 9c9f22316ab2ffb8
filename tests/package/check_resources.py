#!/usr/bin/env python3
"""Checks the resources that Orvane.exe carries: the icon file drawn at build time (two
16-colour images, 32 x 32 and 16 x 16), and the dialog templates, the event log's message table,
icon group and version block as the resource compiler reads them back out of the executable.
Usage: check_resources.py WINDRES ORVANE_EXE ORVANE_ICO EXPECTED_RC"""
import struct
import subprocess
import sys


def check_icon(path):
    data = open(path, 'rb').read()
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    problems = []
    if (reserved, kind, count) != (0, 1, 2):
        return [f'icon directory: reserved {reserved}, type {kind}, {count} images; '
                'expected 0, 1 (icon), 2']
    sizes = []
    for i in range(count):
        width, height, colours, _, planes, bits, length, offset = struct.unpack_from(
            '<BBBBHHII', data, 6 + 16 * i)
        sizes.append((width, height))
        if (colours, planes, bits) != (16, 1, 4):
            problems.append(f'image {i}: {colours} colours, {planes} planes, {bits} bits')
        header, dib_width, dib_height, dib_planes, dib_bits = struct.unpack_from(
            '<IiiHH', data, offset)
        if (header, dib_width, dib_height, dib_planes, dib_bits) != (40, width, 2 * height, 1, 4):
            problems.append(f'image {i}: DIB header {header} {dib_width}x{dib_height} '
                            f'{dib_planes} planes {dib_bits} bits')
        if offset + length > len(data):
            problems.append(f'image {i} runs past the end of the file')
    if sizes != [(32, 32), (16, 16)]:
        problems.append(f'image sizes {sizes}, expected 32x32 and 16x16')
    return problems


def resources_text(windres, exe):
    text = subprocess.run([windres, '-i', exe, '-J', 'coff', '-O', 'rc'], check=True,
                          capture_output=True, text=True).stdout
    start = text.index('/* Type: dialog')
    end = text.index('/* Type: 24')  # the manifest: checked by Windows when it loads
    return text[start:end]


def main():
    windres, exe, ico, expected_path = sys.argv[1:5]
    problems = check_icon(ico)
    actual = resources_text(windres, exe)
    expected = open(expected_path).read()
    if actual != expected:
        import difflib
        problems.append('resources differ from ' + expected_path + ':\n' + ''.join(
            difflib.unified_diff(expected.splitlines(True), actual.splitlines(True),
                                 'expected', 'Orvane.exe')))
    for problem in problems:
        print('FAIL:', problem)
    if not problems:
        print('icon directory and resources as expected')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
