# -*- coding: utf-8 -*-
# Runs kyr7ctl with --json for one target and hands back its document. kyr7ctl
# does all the talking to the unit; the modules only read what it reports.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

# The options every module takes (documented in the kyr7ctl doc fragment).
COMMON_ARGS = dict(
    target=dict(type='str', required=True),
    kyr7ctl=dict(type='str', default='kyr7ctl'),
    log_dir=dict(type='path'),
    connect_timeout=dict(type='int'),
    modem_init=dict(type='str'),
    modem_dial=dict(type='str'),
)

# What every module returns of a target's part of the document.
TARGET_FIELDS = ('target', 'device', 'notes', 'log')


def _executable(module):
    given = module.params['kyr7ctl']
    if '/' in given:
        return given
    return module.get_bin_path(given, required=True)


def _common_options(params):
    options = []
    if params['log_dir']:
        options += ['--log-dir', params['log_dir']]
    if params['connect_timeout'] is not None:
        options += ['--connect-timeout', str(params['connect_timeout'])]
    if params['modem_init'] is not None:
        options += ['--init', params['modem_init']]
    if params['modem_dial'] is not None:
        options += ['--dial', params['modem_dial']]
    return options


def target_result(target):
    return dict((field, target.get(field)) for field in TARGET_FIELDS)


def run(module, command, options, files=(), explain=None):
    """Runs "kyr7ctl COMMAND --json OPTIONS -- FILES TARGET" and returns the
    target's object of the JSON document. A refused command line or file, or
    no document at all, fails the task with kyr7ctl's words."""
    argv = [_executable(module), command, '--json'] + _common_options(module.params) + list(options)
    # After "--" a target that starts with "-" is still an operand.
    argv += ['--'] + list(files) + [module.params['target']]
    rc, out, err = module.run_command(argv, errors='surrogate_then_replace')
    try:
        document = json.loads(out)
    except ValueError:
        document = None
    if not isinstance(document, dict):
        module.fail_json(msg='kyr7ctl gave no JSON document (exit status %d): %s' % (rc, (err or out).strip()),
                         rc=rc, cmd=argv, stderr=err)
    if document.get('error'):
        error = document['error']
        module.fail_json(msg=explain(error) if explain else error, rc=rc, cmd=argv, stderr=err)
    targets = document.get('targets') or []
    if len(targets) != 1:
        module.fail_json(msg='kyr7ctl reported %d targets for one' % len(targets), rc=rc, cmd=argv, stderr=err)
    return targets[0]


def fail_unless_ok(module, reported, result=None):
    """Fails the task with kyr7ctl's message when the target did not succeed."""
    if reported.get('ok'):
        return
    failed = dict(changed=False)
    failed.update(result or target_result(reported))
    failed['msg'] = reported.get('message') or reported.get('outcome') or 'kyr7ctl failed'
    module.fail_json(**failed)
