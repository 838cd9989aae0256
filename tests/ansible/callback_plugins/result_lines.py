# A stdout callback for the collection test: one line per task result and one
# per host of the recap, for the test to look for:
#   unit1 | Set the caption language | changed | state=verified | verification=verified
#   recap unit1 ok=1 changed=1 failed=0
from __future__ import absolute_import, division, print_function

__metaclass__ = type

from ansible.plugins.callback import CallbackBase

DOCUMENTATION = '''
name: result_lines
type: stdout
short_description: one line per task result, for the collection test
description: One line per task result and one per host of the recap.
'''


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = 'stdout'
    CALLBACK_NAME = 'result_lines'

    def _line(self, result, outcome):
        data = result._result
        words = [result._host.get_name(), result._task.get_name(), outcome]
        if 'state' in data:
            words.append('state=%s' % data['state'])
        if data.get('verification'):
            words.append('verification=%s' % data['verification'].get('result'))
        diff = data.get('diff')
        for d in diff if isinstance(diff, list) else [diff] if diff else []:
            if d.get('after'):
                words.append('after=%s' % d['after'].replace('\n', '\\n'))
        if data.get('msg'):
            words.append('msg=%s' % data['msg'])
        self._display.display(' | '.join(words))

    def v2_runner_on_ok(self, result):
        self._line(result, 'changed' if result._result.get('changed') else 'ok')

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self._line(result, 'failed')

    def v2_runner_on_skipped(self, result):
        self._line(result, 'skipped')

    def v2_runner_on_unreachable(self, result):
        self._line(result, 'unreachable')

    def v2_playbook_on_stats(self, stats):
        for host in sorted(stats.processed):
            s = stats.summarize(host)
            self._display.display('recap %s ok=%d changed=%d failed=%d' % (host, s['ok'], s['changed'], s['failures']))
