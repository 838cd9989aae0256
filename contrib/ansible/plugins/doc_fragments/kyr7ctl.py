# -*- coding: utf-8 -*-
# The options every module of the collection takes: the unit, and how kyr7ctl reaches it.

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
options:
  target:
    description:
      - The unit, as kyr7ctl takes it.
      - C(lan:ADDRESS) or C(lan:ADDRESS:PORT) (an IPv4 address, or a serial number for the host name C(KYR7-NUMBER); TCP port 1080 unless given),
        C(serial:DEVICE) (C(COMn) or a device path such as C(/dev/ttyUSB0), 9600 baud),
        or C(modem:DEVICE:NUMBER) (a modem on DEVICE that dials NUMBER).
      - Usually the host's C(kyr7_target) variable.
    type: str
    required: true
  kyr7ctl:
    description:
      - The kyr7ctl program on the host where the task runs, by name (looked up in the PATH) or by path.
    type: str
    default: kyr7ctl
  log_dir:
    description:
      - The folder for the conversation logs, on the host where the task runs.
      - Without it kyr7ctl writes them to C(~/.local/share/KYR7Setup/logs/kyr7ctl) of the user the task runs as.
    type: path
  connect_timeout:
    description:
      - "Seconds a LAN connection attempt is given before it fails with C(LAN Error: Connection timed out) (1 to 3600; kyr7ctl's default is 6)."
    type: int
  modem_init:
    description:
      - Modem initialisation commands for a C(modem:) target, separated by C(|).
      - Without it kyr7ctl takes INIT from KYR7Set's connection settings of the user the task runs as.
    type: str
  modem_dial:
    description:
      - The modem's dial command for a C(modem:) target, to which the number is appended.
      - Without it kyr7ctl takes DIAL from KYR7Set's connection settings of the user the task runs as.
    type: str
notes:
  - Each task runs kyr7ctl with C(--json) on the host where it runs, the controller (a local connection) or a site's jump host (C(delegate_to)),
    and reads its document; kyr7ctl must be installed there.
  - Tasks of different hosts run at once, each in its own kyr7ctl. Two inventory hosts that name one unit reach it in two conversations at once;
    give each unit one host.
'''
