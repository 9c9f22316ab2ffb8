#!/usr/bin/env python3
"""Reads the dialog templates and icons out of a resource script and writes them as a C++
header for the simulated machine, so the unit tests run the dialogs the executable carries.
Anything inside a dialog that this script does not understand stops the build rather than
being left out.
Usage: rc_templates.py RESOURCE_SCRIPT HEADER"""
import re
import sys

# Controls written `KEYWORD "text", id, x, y, width, height [, style [, extended style]]`.
TEXT_CONTROLS = {'LTEXT', 'CTEXT', 'RTEXT', 'PUSHBUTTON', 'DEFPUSHBUTTON', 'PUSHBOX', 'GROUPBOX',
                 'RADIOBUTTON', 'AUTORADIOBUTTON', 'CHECKBOX', 'AUTOCHECKBOX', 'STATE3',
                 'AUTO3STATE', 'ICON'}
# Controls written `KEYWORD id, x, y, width, height [, style [, extended style]]`.
ID_CONTROLS = {'EDITTEXT', 'COMBOBOX', 'LISTBOX', 'SCROLLBAR'}
# Static text starts a new group unless its style says `NOT WS_GROUP`.
GROUP_BY_DEFAULT = {'LTEXT', 'CTEXT', 'RTEXT'}
DIALOG_OPTIONS = {'STYLE', 'EXSTYLE', 'CAPTION', 'FONT', 'MENU', 'CLASS', 'LANGUAGE',
                  'CHARACTERISTICS', 'VERSION'}


class RcError(Exception):
    pass


def strip_comment(line):
    """The line without a // comment (outside strings)."""
    in_string = False
    for i, ch in enumerate(line):
        if ch == '"':
            in_string = not in_string
        elif not in_string and line.startswith('//', i):
            return line[:i]
    return line


def split_arguments(text):
    """Comma-separated arguments; strings keep their quotes."""
    arguments, current, in_string = [], '', False
    for ch in text:
        if ch == '"':
            in_string = not in_string
        if ch == ',' and not in_string:
            arguments.append(current.strip())
            current = ''
        else:
            current += ch
    if in_string:
        raise RcError(f'unterminated string in: {text}')
    arguments.append(current.strip())
    return arguments


def rc_string(token):
    """The text of an RC string token ("" stands for a quote)."""
    if len(token) < 2 or token[0] != '"' or token[-1] != '"':
        raise RcError(f'expected a string, found: {token}')
    return token[1:-1].replace('""', '"')


def cpp_string(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


def cpp_id(token):
    if token == 'IDC_STATIC':
        return '-1'
    if not re.fullmatch(r'-?\d+|[A-Za-z_]\w*', token):
        raise RcError(f'unexpected control ID: {token}')
    return token


def style_flags(expression):
    """The style names an expression sets, and those it clears with NOT."""
    set_flags, cleared = set(), set()
    for term in expression.split('|'):
        words = term.split()
        if len(words) == 2 and words[0] == 'NOT':
            cleared.add(words[1])
        elif words:
            set_flags.add(' '.join(words))
    return set_flags, cleared


def parse_control(statement):
    """(id, text, radio, starts a group) of one control statement."""
    keyword, _, rest = statement.partition(' ')
    arguments = split_arguments(rest)
    if keyword in TEXT_CONTROLS:
        if len(arguments) < 6:
            raise RcError(f'too few arguments: {statement}')
        text, control_id, style = rc_string(arguments[0]), arguments[1], ''
        if len(arguments) > 6:
            style = arguments[6]
        radio = keyword == 'AUTORADIOBUTTON'
    elif keyword in ID_CONTROLS:
        if len(arguments) < 5:
            raise RcError(f'too few arguments: {statement}')
        text, control_id, style = '', arguments[0], arguments[5] if len(arguments) > 5 else ''
        radio = False
    elif keyword == 'CONTROL':
        if len(arguments) < 8:
            raise RcError(f'too few arguments: {statement}')
        text, control_id, style = rc_string(arguments[0]), arguments[1], arguments[3]
        radio = 'BS_AUTORADIOBUTTON' in style_flags(style)[0]
    else:
        raise RcError(f'unknown control statement: {statement}')
    set_flags, cleared = style_flags(style)
    starts_group = 'WS_GROUP' in set_flags or (keyword in GROUP_BY_DEFAULT and
                                               'WS_GROUP' not in cleared)
    return cpp_id(control_id), text, radio, starts_group


def parse(lines):
    dialogs, icons = [], []
    i = 0
    while i < len(lines):
        words = lines[i].split()
        if len(words) >= 2 and words[1] == 'ICON':
            icons.append(cpp_id(words[0]))
        if len(words) < 2 or words[1] not in ('DIALOG', 'DIALOGEX'):
            i += 1
            continue
        dialog = {'id': cpp_id(words[0]), 'caption': '', 'visible': False, 'controls': []}
        i += 1
        while i < len(lines) and lines[i].split()[0] not in ('BEGIN', '{'):
            option, _, value = lines[i].partition(' ')
            if option not in DIALOG_OPTIONS:
                raise RcError(f'unknown dialog option: {lines[i]}')
            if option == 'CAPTION':
                dialog['caption'] = rc_string(value.strip())
            elif option == 'STYLE':
                dialog['visible'] = 'WS_VISIBLE' in style_flags(value)[0]
            i += 1
        # A statement goes on over the next line when it ends with a comma or an or-bar, or
        # when the next line starts with an or-bar.
        statements = []
        i += 1
        while i < len(lines) and lines[i] not in ('END', '}'):
            keyword = lines[i].split()[0]
            if keyword in TEXT_CONTROLS | ID_CONTROLS | {'CONTROL'}:
                statements.append(lines[i])
            elif statements and (statements[-1].endswith((',', '|')) or lines[i][0] == '|'):
                statements[-1] += ' ' + lines[i]
            else:
                raise RcError(f'unknown control statement: {lines[i]}')
            i += 1
        if i == len(lines):
            raise RcError(f'dialog {dialog["id"]} has no END')
        group = 0
        for statement in statements:
            control_id, text, radio, starts_group = parse_control(statement)
            group += 1 if starts_group else 0
            dialog['controls'].append((control_id, text, radio, group))
        dialogs.append(dialog)
        i += 1
    if not dialogs:
        raise RcError('no DIALOG or DIALOGEX in the script')
    return dialogs, icons


def header(script, dialogs, icons):
    out = [f'// Made at build time by rc_templates.py from {script}. Do not edit.',
           '#pragma once', '', '#include "gui/resources/resource.h"',
           '#include "platform/sim/SimWindows.h"', '', '#include <utility>', '#include <vector>',
           '', 'namespace rc {', '',
           'inline const std::vector<std::pair<int, sim::DialogTemplate>> kDialogs = {']
    for dialog in dialogs:
        out.append(f'    {{{dialog["id"]},')
        out.append(f'     {{{cpp_string(dialog["caption"])}, '
                   f'{"true" if dialog["visible"] else "false"}, {{')
        for control_id, text, radio, group in dialog['controls']:
            out.append(f'         {{{control_id}, {cpp_string(text)}, '
                       f'{"true" if radio else "false"}, {group}}},')
        out.append('     }}},')
    out += ['};', '', f'inline const std::vector<int> kIcons = {{{", ".join(icons)}}};', '',
            '} // namespace rc', '']
    return '\n'.join(out)


def main():
    script, output = sys.argv[1:3]
    lines = [strip_comment(line).strip() for line in open(script, encoding='utf-8')]
    try:
        dialogs, icons = parse([line for line in lines if line])
    except RcError as error:
        print(f'{script}: {error}', file=sys.stderr)
        return 1
    with open(output, 'w') as file:
        file.write(header(script.rsplit('/', 1)[-1], dialogs, icons))
    return 0


if __name__ == '__main__':
    sys.exit(main())
