# What the collection's modules do with configuration files as text: inline
# settings written as lines kyr7ctl reads, settings put over a file, backups
# compared without their comment lines, and changes shown as a diff.
import importlib.util
import os
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
PATH = os.path.join(HERE, '..', '..', 'contrib', 'ansible', 'plugins', 'module_utils', 'config_text.py')
spec = importlib.util.spec_from_file_location('config_text', PATH)
config_text = importlib.util.module_from_spec(spec)
spec.loader.exec_module(config_text)


class SettingsWrittenAsGiven(unittest.TestCase):
    def test_each_value_is_one_line_exactly_as_given(self):
        rows = [
            # value as given, line written
            ('fra', b'Language608F1=fra\n'),
            ('0x61', b'Language608F1=0x61\n'),
            ('', b'Language608F1=\n'),
            (' fra ', b'Language608F1= fra \n'),
            ('say "hi"', b'Language608F1=say "hi"\n'),
            ("it's", b"Language608F1=it's\n"),
            ('a=b', b'Language608F1=a=b\n'),
            ('; not a comment', b'Language608F1=; not a comment\n'),
            ('$(rm -rf /)', b'Language608F1=$(rm -rf /)\n'),
            ('caf\u00e9', b'Language608F1=caf\xe9\n'),
        ]
        for value, line in rows:
            with self.subTest(value=value):
                settings = {'CAPPGM1': {'Language608F1': value}}
                self.assertEqual(config_text.settings_problems(settings), [])
                self.assertEqual(config_text.settings_text(settings), b'[CAPPGM1]\n' + line)

    def test_sections_and_names_keep_their_order(self):
        settings = {'LAN3': {'StreamType': '0x0010', 'Did': '0x51'}, 'CAPPGM1': {'Language608F1': 'fra'}}
        self.assertEqual(config_text.settings_text(settings),
                         b'[LAN3]\nStreamType=0x0010\nDid=0x51\n[CAPPGM1]\nLanguage608F1=fra\n')

    def test_what_cannot_be_written_is_refused_and_named(self):
        rows = [
            # settings, words the refusal must carry
            ({'CAPPGM1': {'Language608F1': 'fra\nSAVE'}}, 'CAPPGM1.Language608F1: the value has a line break'),
            ({'CAPPGM1': {'Language608F1': 'fra\r'}}, 'line break'),
            ({'LAN3': {'Did': 97}}, 'LAN3.Did: 97 is not text'),
            ({'KYR': {'DHCP': False}}, 'KYR.DHCP: False is not text'),
            ({'PGM1': {'Rate': 29.97}}, 'not text'),
            ({'PGM1': {'Rate': None}}, 'not text'),
            ({'PGM1': {'Rate': ['a']}}, 'not text'),
            ({'CAPPGM1': {'Language608F1': '\u20ac'}}, 'Latin-1 only'),
            ({'CAPPGM1': {'Language608F1=x': 'fra'}}, 'is not a setting name'),
            ({'CAPPGM1': {'Language 608': 'fra'}}, 'is not a setting name'),
            ({'CAPPGM1]\n[KYR': {'IpNum': '1.2.3.4'}}, 'is not a section name'),
            ({'': {'IpNum': '1.2.3.4'}}, 'is not a section name'),
            ({'CAPPGM1': 'fra'}, 'give a mapping of names and values'),
            (['CAPPGM1'], 'must be a mapping'),
        ]
        for settings, words in rows:
            with self.subTest(settings=settings):
                problems = config_text.settings_problems(settings)
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(words, problems[0])

    def test_every_problem_is_named_at_once(self):
        problems = config_text.settings_problems({'LAN3': {'Did': 97, 'SDid': 1}, 'CAPPGM1': {'x y': 'fra'}})
        self.assertEqual(len(problems), 3)


class SettingsOverAFile(unittest.TestCase):
    SRC = (b'; fetched\r\n'
           b'[KYR]\r\n'
           b'IpNum=10.0.0.7\r\n'
           b'[ cappgm1 ]\r\n'
           b'language608f1=eng\r\n'
           b'Language608F2=eng\r\n'
           b'[LAN3]\r\n'
           b'Did=0x61')

    def test_the_inline_setting_takes_the_place_of_the_files_and_the_lines_keep_their_numbers(self):
        out = config_text.over_file(self.SRC, {'CAPPGM1': {'Language608F1': 'fra'}})
        self.assertEqual(out.split(b'\n'), [
            b'; fetched', b'[KYR]', b'IpNum=10.0.0.7', b'[ cappgm1 ]', b'; language608f1=eng', b'Language608F2=eng',
            b'[LAN3]', b'Did=0x61', b'[CAPPGM1]', b'Language608F1=fra', b''])
        self.assertEqual(config_text.line_count(self.SRC), 8)

    def test_a_setting_of_another_section_with_the_same_name_stays(self):
        out = config_text.over_file(b'[CAPPGM2]\nLanguage608F1=eng\n', {'CAPPGM1': {'Language608F1': 'fra'}})
        self.assertEqual(out, b'[CAPPGM2]\nLanguage608F1=eng\n[CAPPGM1]\nLanguage608F1=fra\n')

    def test_a_file_alone_or_settings_alone(self):
        self.assertEqual(config_text.over_file(b'[LAN3]\nDid=0x61\n', {}), b'[LAN3]\nDid=0x61\n')
        self.assertEqual(config_text.over_file(b'', {'LAN3': {'Did': '0x51'}}), b'[LAN3]\nDid=0x51\n')

    def test_kyr7ctls_words_name_the_line_where_it_came_from(self):
        tmp = '/tmp/ansible-moduletmp-1/settings.kyr7'
        settings = {'CAPPGM1': {'Language608F1': 'fra'}, 'LAN3': {'StreamType': '0x0010', 'Did': '0x'}}
        rows = [
            # message, src, its lines, the message as the user reads it
            (tmp + ':5: Did: "0x" is not a hexadecimal byte', 'src.kyr7', 8,
             'src.kyr7:5: Did: "0x" is not a hexadecimal byte'),
            (tmp + ':10: Language608F1 given twice', 'src.kyr7', 8,
             'settings CAPPGM1.Language608F1: Language608F1 given twice'),
            (tmp + ':5: Did: "0x" is not a hexadecimal byte', None, 0,
             'settings LAN3.Did: Did: "0x" is not a hexadecimal byte'),
            (tmp + ':3: unknown section [LAN3]', None, 0, 'settings [LAN3]: unknown section [LAN3]'),
            (tmp + ':99: out of the blue', None, 0, 'settings: out of the blue'),
            (tmp + ': gives no setting', None, 0, 'settings: gives no setting'),
            (tmp + ': gives no setting', 'src.kyr7', 0, 'src.kyr7 and settings: gives no setting'),
            (tmp + ':1: a\n' + tmp + ':12: b', 'src.kyr7', 8, 'src.kyr7:1: a\nsettings LAN3.StreamType: b'),
        ]
        for message, src, lines, named in rows:
            with self.subTest(message=message):
                self.assertEqual(config_text.named_after_origin(message, tmp, settings, src, lines), named)


class BackupsComparedWithoutComments(unittest.TestCase):
    FETCHED = (b'; KYR7 12345, software 36-47215-01 rev. G\n'
               b'; fetched from lan:10.0.0.7 on 2026-01-01T10:00:00 by kyr7ctl 1.7.0\n'
               b'[CAPPGM1]\nLanguage608F1=eng\n')

    def test_what_counts_as_the_same_configuration(self):
        rows = [
            ('another time stamp', b'; KYR7 12345, software 36-47215-01 rev. G\n'
             b'; fetched from lan:10.0.0.7 on 2027-05-05T11:11:11 by kyr7ctl 1.8.0\n'
             b'[CAPPGM1]\nLanguage608F1=eng\n', True),
            ('no comments at all', b'[CAPPGM1]\nLanguage608F1=eng\n', True),
            ('CR LF line ends', b'; fetched\r\n[CAPPGM1]\r\nLanguage608F1=eng\r\n', True),
            ('no last line end', b'[CAPPGM1]\nLanguage608F1=eng', True),
            ('another value', b'[CAPPGM1]\nLanguage608F1=fra\n', False),
            ('a value that differs only by a space', b'[CAPPGM1]\nLanguage608F1=eng \n', False),
            ('a setting more', b'[CAPPGM1]\nLanguage608F1=eng\nLanguage608F2=eng\n', False),
            ('a setting less', b'[CAPPGM1]\n', False),
            ('a value that starts with ";"', b'[CAPPGM1]\nLanguage608F1=;eng\n', False),
            ('empty', b'', False),
        ]
        for name, other, same in rows:
            with self.subTest(name):
                self.assertEqual(config_text.same_configuration(self.FETCHED, other), same)
                self.assertEqual(config_text.same_configuration(other, self.FETCHED), same)


class ChangesAsADiff(unittest.TestCase):
    def test_changes_are_grouped_by_section_in_the_order_reported(self):
        changes = [
            {'section': 'LAN3', 'name': 'StreamType', 'before': '0x0000', 'after': '0x0010'},
            {'section': 'CAPPGM1', 'name': 'Language608F1', 'before': 'eng', 'after': 'fra'},
            {'section': 'LAN3', 'name': 'Did', 'before': '0x00', 'after': '0x61'},
        ]
        before, after = config_text.diff_texts(changes)
        self.assertEqual(before, '[LAN3]\nStreamType=0x0000\nDid=0x00\n[CAPPGM1]\nLanguage608F1=eng\n')
        self.assertEqual(after, '[LAN3]\nStreamType=0x0010\nDid=0x61\n[CAPPGM1]\nLanguage608F1=fra\n')

    def test_no_change_no_text(self):
        self.assertEqual(config_text.diff_texts([]), ('', ''))


if __name__ == '__main__':
    unittest.main()
