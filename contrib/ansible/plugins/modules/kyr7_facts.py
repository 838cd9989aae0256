#!/usr/bin/python
# -*- coding: utf-8 -*-
# What a KYR7 unit is and carries, as facts, from "kyr7ctl fetch".

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
module: kyr7_facts
short_description: A KYR7 encoder's identity, software, video formats and modules as facts
description:
  - Retrieves the unit's configuration with C(kyr7ctl fetch) and sets the fact C(kyr7) to the unit as kyr7ctl reports it,
    as KYR7Set shows it, and returns it as C(unit) too.
  - Nothing on the unit changes; the configuration is read and the unit left with EXIT.
version_added: 1.7.0
author: KYR7Set developers
extends_documentation_fragment:
  - kyr7.encoder.kyr7ctl
'''

EXAMPLES = r'''
- name: Learn what each unit is
  kyr7.encoder.kyr7_facts:
    target: "{{ kyr7_target }}"

- name: Units whose software is not the current one
  ansible.builtin.debug:
    msg: "{{ inventory_hostname }} runs {{ kyr7.Software }} rev. {{ kyr7.Rev }}"
  when: kyr7.Rev != "G"

- name: The modules of program 1
  ansible.builtin.debug:
    msg: "{{ kyr7.programs[0].modules | map(attribute='type') | list }}"
'''

RETURN = r'''
ansible_facts:
  description: Facts for the host.
  returned: success
  type: complex
  contains:
    kyr7:
      description: The unit, as the C(unit) return value.
      type: dict
unit:
  description: The unit as kyr7ctl reports it.
  returned: success
  type: complex
  contains:
    ID:
      description: The product's identity.
      type: str
      sample: KYR7
    SerialNumber:
      description: The unit's serial number.
      type: str
      sample: "12345"
    Software:
      description: The software's part number.
      type: str
      sample: 36-47215-01
    Rev:
      description: The revision letter.
      type: str
      sample: G
    ProgramCount:
      description: The programs the unit carries (1 or 2).
      type: int
      sample: 2
    limits:
      description: How many streams of each kind the unit takes (C(TransparentStreams), C(CaptionStreams), C(BfStreams),
        C(ConstantStreams), C(BridgingStreams)).
      type: dict
    network:
      description: The unit's C(IpNum), C(Netmask), C(Gateway), C(Broadcast) and C(DHCP).
      type: dict
    programs:
      description: Per program, C(program) (1 or 2), C(video) (C(detected), C(detected_name), C(requested), C(requested_name))
        and C(modules) in slot order, each with C(type) (C(Caption Module) ...), C(stream_type), C(streams) and C(source).
      type: list
      elements: dict
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

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.kyr7.encoder.plugins.module_utils import kyr7ctl


def main():
    module = AnsibleModule(argument_spec=dict(kyr7ctl.COMMON_ARGS), supports_check_mode=True)
    # The file fetched goes to the module's own folder, which goes with it.
    target = kyr7ctl.run(module, 'fetch', ['-o', module.tmpdir + '/'])
    kyr7ctl.fail_unless_ok(module, target)
    unit = target.get('unit')
    result = kyr7ctl.target_result(target)
    result.update(changed=False, unit=unit, ansible_facts=dict(kyr7=unit))
    module.exit_json(**result)


if __name__ == '__main__':
    main()
