# -*- coding: utf-8 -*-
# The few things the modules do with configuration files as text: write inline
# settings as "[SECTION]" and "name=value" lines, put them over a file, compare
# two fetched files without their comment lines, and show changes as a diff.
# Which settings exist and what their values may be is kyr7ctl's business: it
# reads the file written here and names every line it cannot take.
#
# Plain Python without Ansible, so that it can be tested on its own.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import re

# Section and setting names are letters, digits and "_" alone, so that a name
# can never carry a "=", a "]" or a line break into the file.
NAME = re.compile(r'^[A-Za-z0-9_]+$')


def settings_problems(settings):
    """Why the settings cannot be written as given, one line each (none: they can)."""
    if not isinstance(settings, dict):
        return ['settings must be a mapping of sections to mappings of names and values']
    problems = []
    for section, names in settings.items():
        if not isinstance(section, str) or not NAME.match(section):
            problems.append('section %r is not a section name (letters, digits and "_")' % (section,))
            continue
        if not isinstance(names, dict):
            problems.append('%s: give a mapping of names and values, not %r' % (section, names))
            continue
        for name, value in names.items():
            where = '%s.%s' % (section, name)
            if not isinstance(name, str) or not NAME.match(name):
                problems.append('%s: %r is not a setting name (letters, digits and "_")' % (section, name))
            elif not isinstance(value, str):
                # YAML reads 0x61 as 97, 010 as 8, no as false: only the text
                # as written is the value meant.
                problems.append('%s: %r is not text; quote the value as the unit writes it '
                                '(YAML changes unquoted numbers, yes/no and the like)' % (where, value))
            elif '\r' in value or '\n' in value:
                problems.append('%s: the value has a line break, which would make it two lines' % where)
            else:
                try:
                    value.encode('latin-1')
                except UnicodeEncodeError:
                    problems.append('%s: %r has characters the unit cannot hold (Latin-1 only)' % (where, value))
    return problems


def _key(section, name):
    return section.strip().upper(), name.upper()


def settings_text(settings):
    """The settings as configuration file lines (Latin-1 bytes), in the order given."""
    out = []
    for section, names in settings.items():
        if not names:
            continue
        out.append('[%s]\n' % section)
        for name, value in names.items():
            out.append('%s=%s\n' % (name, value))
    return ''.join(out).encode('latin-1')


def _lines(data):
    """The lines of a file's bytes, without their LF or CR LF."""
    lines = data.split(b'\n')
    if lines and lines[-1] == b'':
        lines.pop()
    return [line[:-1] if line.endswith(b'\r') else line for line in lines]


def line_count(data):
    return len(_lines(data))


def over_file(data, settings):
    """A file's bytes with the inline settings taking the place of its own.

    A line of the file that gives a setting the inline settings also give
    becomes a comment (sections and names in any letter case, as kyr7ctl reads
    them), so that the file's lines keep their numbers; the inline settings
    follow the file. Everything else is kept as it was.
    """
    given = set(_key(section, name) for section, names in settings.items() for name in names)
    kept = []
    section = None
    for line in _lines(data):
        stripped = line.strip()
        if stripped.startswith(b'[') and stripped.endswith(b']'):
            section = stripped[1:-1].decode('latin-1')
        elif section is not None and b'=' in line and not stripped.startswith(b';'):
            name = line.split(b'=', 1)[0].decode('latin-1')
            if _key(section, name) in given:
                line = b'; ' + line
        kept.append(line + b'\n')
    return b''.join(kept) + settings_text(settings)


def without_comments(data):
    """The lines of a file that say something: comment lines (the fetch time
    stamp among them) and the line end style do not count."""
    return [line for line in _lines(data) if not line.lstrip().startswith(b';')]


def same_configuration(a, b):
    return without_comments(a) == without_comments(b)


def diff_texts(changes):
    """Before and after texts of the changes kyr7ctl reports, as file lines
    grouped by section in the order reported."""
    before, after = [], []
    sections = []
    by_section = {}
    for change in changes:
        section = change.get('section', '')
        if section not in by_section:
            by_section[section] = []
            sections.append(section)
        by_section[section].append(change)
    for section in sections:
        before.append('[%s]\n' % section)
        after.append('[%s]\n' % section)
        for change in by_section[section]:
            before.append('%s=%s\n' % (change.get('name', ''), change.get('before', '')))
            after.append('%s=%s\n' % (change.get('name', ''), change.get('after', '')))
    return ''.join(before), ''.join(after)


def _setting_lines(settings):
    """What each line settings_text writes gives, in its order."""
    labels = []
    for section, names in settings.items():
        if names:
            labels.append('[%s]' % section)
            labels.extend('%s.%s' % (section, name) for name in names)
    return labels


def named_after_origin(message, path, settings, src=None, src_lines=0):
    """kyr7ctl's words about the file written by over_file, with each line it
    names called after where it came from: src's own line numbers (they are
    kept), or the inline setting written there."""
    labels = _setting_lines(settings)

    def origin(match):
        if match.group(1) is None:
            return '%s and settings:' % src if src else 'settings:'
        number = int(match.group(1))
        if src and number <= src_lines:
            return '%s:%d:' % (src, number)
        index = number - src_lines - 1
        return 'settings %s:' % labels[index] if 0 <= index < len(labels) else 'settings:'
    return re.sub(re.escape(path) + r'(?::(\d+))?:', origin, message)
