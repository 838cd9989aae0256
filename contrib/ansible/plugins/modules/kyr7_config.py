#!/usr/bin/python
# -*- coding: utf-8 -*-
# Brings a KYR7 unit to a configuration with "kyr7ctl apply".

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
module: kyr7_config
short_description: Bring a KYR7 encoder to a configuration
description:
  - Takes the settings of a configuration file (C(src)) and/or of inline C(settings) over the unit's and saves them,
    with C(kyr7ctl apply); the unit keeps every setting neither gives.
  - The unit's software is checked first; a unit this software may not set up is refused and nothing is saved.
  - After the save the settings are read back (C(verify)); a unit that does not hold what was sent fails the task.
  - C(changed) is true only when a setting was saved with another value than the unit held. A run that changes
    nothing reports C(changed=false), so a second run of a play reports no change.
  - In check mode kyr7ctl runs its dry run (C(apply --dry-run)), which retrieves the configuration, sends nothing
    else and reports what would change. With C(--diff) the changes are shown as configuration file lines.
version_added: 1.7.0
author: KYR7Set developers
extends_documentation_fragment:
  - kyr7.encoder.kyr7ctl
options:
  src:
    description:
      - A configuration file (C(.kyr7)) on the host where the task runs, as kyr7ctl fetches it or with some settings only.
      - Every line kyr7ctl cannot take exactly as written fails the task, naming the line; no unit is contacted then.
    type: path
  settings:
    description:
      - "Settings to take, as a mapping of sections (C(KYR), C(PGM1), C(CAPPGM1), C(LAN3), ...) to mappings of setting names and values,
        for example C({CAPPGM1: {Language608F1: fra}})."
      - Values are text, passed exactly as given, in the unit's own forms (C("0x61"), C("0x00100000"), C("9600")).
        Quote numbers in YAML, since YAML reads C(0x61) as 97 and C(010) as 8; a value that is not text is refused,
        and so is one with a line break or with characters outside Latin-1.
      - With C(src), a setting given in both is taken from C(settings).
    type: dict
  changed_only:
    description:
      - Send only the settings that differ from what the unit holds (C(--changed-only)). The unit ends holding what a full save
        leaves, and with nothing to change nothing is saved.
      - When false, every setting is sent as KYR7Set's "Save and Exit" sends it (a full save), and saved even when no value
        changes; the task still reports no change then.
    type: bool
    default: true
  with_network:
    description:
      - Take the network settings (IpNum, Broadcast, Netmask, Gateway, DHCP) of C(src) or C(settings) too. Without it the
        unit keeps its own, and the result lists them under C(kept).
      - A LAN unit given another address is not read back, since it is no longer where it was reached.
    type: bool
    default: false
  skip_unwritable:
    description:
      - Save even when the settings include some a save cannot write (a setting of a free stream, FileName on a stream that is
        not constant data, ...). They are listed under C(not_written).
      - Without it such settings fail the task and nothing is saved; in check mode too, as the run would fail.
    type: bool
    default: false
  verify:
    description:
      - Read the settings back after the save and compare them with what was sent.
    type: bool
    default: true
  verify_timeout:
    description:
      - Seconds to keep trying to reconnect for the read-back, as a unit may refuse connections for a while after storing
        (0 to 3600; kyr7ctl's default is 60).
    type: int
notes:
  - At least one of C(src) and C(settings) is required.
  - C(src) is read on the host where the task runs; copy it there first when the task is delegated to a jump host.
'''

EXAMPLES = r'''
- name: Captions in French on program 1
  kyr7.encoder.kyr7_config:
    target: "{{ kyr7_target }}"
    settings:
      CAPPGM1:
        Language608F1: fra

- name: A replacement unit set up from the backup of the old one, with the data ID of LAN3 changed
  kyr7.encoder.kyr7_config:
    target: lan:10.0.0.20
    src: /srv/kyr7/backups/north/north-enc1.kyr7
    settings:
      LAN3:
        Did: "0x51"

- name: Through the site's jump host, over a modem line
  kyr7.encoder.kyr7_config:
    target: modem:/dev/ttyUSB0:5551234
    modem_init: "ATZ|ATE0"
    settings:
      CAPPGM2:
        Language608F1: spa
  delegate_to: jump-north
'''

RETURN = r'''
state:
  description: How kyr7ctl ended (unchanged, would_change, saved, verified, not_verified, refused or failed).
  returned: always
  type: str
  sample: verified
outcome:
  description: The outcome as kyr7ctl's summary says it.
  returned: always
  type: str
  sample: saved and verified; 1 settings changed
changes:
  description: The settings the save changed (in check mode, would change).
  returned: always
  type: list
  elements: dict
  sample: [{"section": "CAPPGM1", "name": "Language608F1", "before": "eng", "after": "fra"}]
not_written:
  description: The given settings a save cannot write, each with its value and the reason.
  returned: always
  type: list
  elements: dict
kept:
  description: The given settings the unit keeps its own value of (its identity, detected video formats and, without C(with_network), network settings).
  returned: always
  type: list
  elements: dict
verification:
  description: The read-back, with C(result) (verified, mismatch, not_run or failed), C(checked), C(mismatches) and C(message).
  returned: always
  type: dict
  sample: {"result": "verified", "checked": 403, "mismatches": [], "message": null}
saved:
  description: Whether the unit was told to save (a full save saves even when nothing changes).
  returned: always
  type: bool
notes:
  description: Further lines of kyr7ctl's summary (warnings, settings not held or not written).
  returned: always
  type: list
  elements: str
target:
  description: The target as given.
  returned: always
  type: str
device:
  description: What the target reaches (C(tcp:HOST:PORT), or C(tty:) and the device).
  returned: always
  type: str
log:
  description: The conversation log on the host where the task ran.
  returned: always
  type: str
'''

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.kyr7.encoder.plugins.module_utils import kyr7ctl
from ansible_collections.kyr7.encoder.plugins.module_utils.config_text import (diff_texts, line_count,
                                                                                named_after_origin, over_file,
                                                                                settings_problems)

SAVED = ('saved', 'verified', 'not_verified')

# kyr7ctl reads no larger file either.
LARGEST_FILE = 16 << 20


def configuration_file(module):
    """The file for kyr7ctl: src itself, or a file written from src and the
    inline settings. Returns its path and a function that names its lines
    after where they came from."""
    settings = module.params['settings']
    src = module.params['src']
    problems = settings_problems(settings or {})
    if problems:
        module.fail_json(msg='settings: ' + '; '.join(problems), problems=problems)
    if settings is None:
        return src, None
    data, src_lines = b'', 0
    if src:
        try:
            with open(src, 'rb') as given:
                data = given.read(LARGEST_FILE + 1)
        except (IOError, OSError) as error:
            module.fail_json(msg='cannot read %s: %s' % (src, error.strerror or error))
        if len(data) > LARGEST_FILE:
            module.fail_json(msg='%s: larger than 16 MiB: not a configuration file' % src)
        src_lines = line_count(data)
    path = os.path.join(module.tmpdir, 'settings.kyr7')
    with open(path, 'wb') as out:
        out.write(over_file(data, settings))
    return path, lambda message: named_after_origin(message, path, settings, src, src_lines)


def apply_options(module):
    params = module.params
    options = []
    for flag, name in (('--dry-run', None), ('--changed-only', 'changed_only'), ('--with-network', 'with_network'),
                       ('--skip-unwritable', 'skip_unwritable')):
        if (module.check_mode if name is None else params[name]):
            options.append(flag)
    if not module.check_mode:
        if not params['verify']:
            options.append('--no-verify')
        elif params['verify_timeout'] is not None:
            options += ['--verify-timeout', str(params['verify_timeout'])]
    return options


def main():
    argument_spec = dict(kyr7ctl.COMMON_ARGS)
    argument_spec.update(
        src=dict(type='path'),
        settings=dict(type='dict'),
        changed_only=dict(type='bool', default=True),
        with_network=dict(type='bool', default=False),
        skip_unwritable=dict(type='bool', default=False),
        verify=dict(type='bool', default=True),
        verify_timeout=dict(type='int'),
    )
    module = AnsibleModule(argument_spec=argument_spec, required_one_of=[('src', 'settings')],
                           supports_check_mode=True)

    path, explain = configuration_file(module)
    target = kyr7ctl.run(module, 'apply', apply_options(module), files=[path], explain=explain)

    changes = target.get('changes') or []
    state = target.get('state')
    result = kyr7ctl.target_result(target)
    not_written = target.get('not_written') or []
    result.update(state=state, outcome=target.get('outcome'), changes=changes, not_written=not_written,
                  kept=target.get('kept') or [], verification=target.get('verification') or {},
                  saved=state in SAVED, changed=bool(changes) and state in SAVED + ('would_change',))
    if module._diff and changes:
        before, after = diff_texts(changes)
        result['diff'] = dict(before=before, after=after, before_header='%s (held)' % module.params['target'],
                              after_header='%s (%s)' % (module.params['target'],
                                                        'would hold' if module.check_mode else 'saved'))
    kyr7ctl.fail_unless_ok(module, target, result)
    if module.check_mode and not_written and not module.params['skip_unwritable']:
        # The dry run only lists them; the run itself would be refused.
        module.fail_json(msg='would be refused: %d of the settings given cannot be written by a save (see '
                             'not_written); nothing would be saved (skip_unwritable saves the rest)' % len(not_written),
                         **result)
    result['msg'] = target.get('outcome')
    module.exit_json(**result)


if __name__ == '__main__':
    main()
