#!/usr/bin/python
# -*- coding: utf-8 -*-
# Keeps a KYR7 unit's configuration in a file, with "kyr7ctl fetch".

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
module: kyr7_backup
short_description: Keep a KYR7 encoder's configuration in a file
description:
  - Fetches the unit's whole configuration with C(kyr7ctl fetch) into a configuration file (C(.kyr7)), the file kyr7ctl,
    KYR7Set and kyr7sim read.
  - C(changed) is true only when what the unit holds differs from the file already there. Comment lines (the unit's identity
    and the time of the fetch) do not count, nor do LF against CR LF line ends; an unchanged file is left as it was.
  - A changed file is replaced at once (written beside it and renamed), so it is never seen half written.
  - In check mode the configuration is fetched and compared, and nothing is written.
version_added: 1.7.0
author: KYR7Set developers
extends_documentation_fragment:
  - kyr7.encoder.kyr7ctl
options:
  dest:
    description:
      - The file to keep the configuration in, on the host where the task runs. Missing folders on the way are made.
      - An existing folder, or a path ending in C(/), gets a file named after the target as kyr7ctl names it
        (C(lan_10.0.0.7.kyr7)).
    type: path
    required: true
'''

EXAMPLES = r'''
- name: Back up each unit into its site's folder
  kyr7.encoder.kyr7_backup:
    target: "{{ kyr7_target }}"
    dest: "/srv/kyr7/backups/{{ kyr7_site }}/{{ inventory_hostname }}.kyr7"

- name: Back up a unit behind a jump host, on the jump host
  kyr7.encoder.kyr7_backup:
    target: serial:/dev/ttyUSB0
    dest: /var/backups/kyr7/
  delegate_to: jump-north
'''

RETURN = r'''
dest:
  description: The file the configuration is kept in.
  returned: always
  type: str
  sample: /srv/kyr7/backups/north/north-enc1.kyr7
unit:
  description: The unit as fetched (see the kyr7_facts module); C(ID), C(SerialNumber), C(Software), C(Rev), C(ProgramCount),
    C(limits), C(network) and C(programs).
  returned: success
  type: dict
  sample: {"ID": "KYR7", "SerialNumber": "12345", "Software": "36-47215-01", "Rev": "G", "ProgramCount": 2}
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
from ansible_collections.kyr7.encoder.plugins.module_utils.config_text import same_configuration

# A file this large is no configuration file; it is replaced, not compared.
LARGEST_FILE = 16 << 20


def read_bytes(path, limit=None):
    with open(path, 'rb') as f:
        return f.read() if limit is None else f.read(limit)


def main():
    argument_spec = dict(kyr7ctl.COMMON_ARGS)
    argument_spec.update(dest=dict(type='path', required=True))
    module = AnsibleModule(argument_spec=argument_spec, supports_check_mode=True)

    # Fetched into the module's own folder first: the unit's configuration is
    # compared before anything at dest is touched.
    target = kyr7ctl.run(module, 'fetch', ['-o', module.tmpdir + '/'])
    kyr7ctl.fail_unless_ok(module, target)
    fetched = target.get('file')
    dest = module.params['dest']
    if os.path.isdir(dest) or dest.endswith('/'):
        dest = os.path.join(dest, os.path.basename(fetched))

    result = kyr7ctl.target_result(target)
    result.update(dest=dest, unit=target.get('unit'))
    new = read_bytes(fetched)
    old = None
    if os.path.exists(dest) and not os.path.isfile(dest):
        module.fail_json(msg='%s is neither a file nor a folder' % dest, changed=False, **result)
    if os.path.exists(dest):
        try:
            old = read_bytes(dest, LARGEST_FILE + 1)
        except (IOError, OSError) as error:
            module.fail_json(msg='cannot read %s: %s' % (dest, error.strerror or error), changed=False, **result)
    result['changed'] = old is None or not same_configuration(old, new)
    if result['changed'] and module._diff:
        result['diff'] = dict(before=(old or b'').decode('latin-1'), after=new.decode('latin-1'),
                              before_header=dest, after_header=module.params['target'])
    if result['changed'] and not module.check_mode:
        folder = os.path.dirname(os.path.abspath(dest))
        try:
            if not os.path.isdir(folder):
                os.makedirs(folder)
        except (IOError, OSError) as error:
            result['changed'] = False
            module.fail_json(msg='cannot make the folder %s: %s' % (folder, error.strerror or error), **result)
        module.atomic_move(fetched, dest)
    result['msg'] = ('%s %s' % ('would write' if module.check_mode else 'wrote', dest) if result['changed']
                     else '%s unchanged' % dest)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
