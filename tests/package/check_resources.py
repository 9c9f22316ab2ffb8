#!/usr/bin/env python3
"""Checks the resources that Orvane.exe carries: the icon file drawn at build time (two
16-colour images, 32 x 32 and 16 x 16), the dialog templates, the event log's message table, icon
group and version block as the resource compiler reads them back out of the executable, and the
manifest's settings that Windows would pass over without a word if they stood in the wrong place.
Usage: check_resources.py WINDRES ORVANE_EXE ORVANE_ICO EXPECTED_RC"""
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

MANIFEST = {'asm3': 'urn:schemas-microsoft-com:asm.v3',
            'compat': 'urn:schemas-microsoft-com:compatibility.v1',
            'ws2005': 'http://schemas.microsoft.com/SMI/2005/WindowsSettings',
            'ws2016': 'http://schemas.microsoft.com/SMI/2016/WindowsSettings'}
# Windows Vista, 7, 8, 8.1 and 10/11.
SUPPORTED_OS = {'{e2011457-1546-43c5-a5fe-008deee3d3f0}', '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}',
                '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}', '{1f676c76-80e1-4239-95bb-83d0f6d0da78}',
                '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'}


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
    """The templates, icon group and version block as rc text, and the manifest's XML."""
    text = subprocess.run([windres, '-i', exe, '-J', 'coff', '-O', 'rc'], check=True,
                          capture_output=True, text=True).stdout
    start = text.index('/* Type: dialog')
    end = text.index('/* Type: 24')
    manifest = ''.join(line.replace('""', '"').replace('\\n', '\n')
                       for line in re.findall(r'^\s*"(.*)"$', text[end:], re.M))
    return text[start:end], manifest


def check_manifest(manifest):
    root = ElementTree.fromstring(manifest)
    found = {e.get('Id') for e in root.iterfind(
        'compat:compatibility/compat:application/compat:supportedOS', MANIFEST)}
    problems = [] if found == SUPPORTED_OS else [f'supportedOS: {sorted(found)}']
    settings = 'asm3:application/asm3:windowsSettings/'
    for setting, expected in (('ws2005:dpiAware', 'true/pm'),
                              ('ws2016:dpiAwareness', 'PerMonitorV2, PerMonitor')):
        value = root.findtext(settings + setting, namespaces=MANIFEST)
        if value != expected:
            problems.append(f'manifest {setting}: {value!r}, expected {expected!r}')
    return problems


def main():
    windres, exe, ico, expected_path = sys.argv[1:5]
    problems = check_icon(ico)
    actual, manifest = resources_text(windres, exe)
    problems += check_manifest(manifest)
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
