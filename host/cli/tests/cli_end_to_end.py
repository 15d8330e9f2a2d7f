#!/usr/bin/env python3
"""strataview-cli end to end: JSON over the whole corpus, exit codes, stored states, dump layout.

usage: cli_end_to_end.py STRATAVIEW_CLI CORPUS_DIR
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

CLI = sys.argv[1] if len(sys.argv) > 1 else 'strataview-cli'
CORPUS = sys.argv[2] if len(sys.argv) > 2 else '../shared/corpus'
SAMPLE = os.path.join(os.path.dirname(__file__), '..', '..', '..', 'samples', 'sample.bmp')


def run(*args, env=None):
    return subprocess.run([CLI, *args], capture_output=True, env=env, timeout=600)


def ranges(node):
    """Yields every (text, offset, size) of a node and its descendants that has a range."""
    if 'offset' in node:
        yield node['text'], node['offset'], node['size']
    for child in node['children']:
        yield from ranges(child)


class EndToEnd(unittest.TestCase):
    def setUp(self):
        self.config = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, XDG_CONFIG_HOME=self.config.name, LANG='C')

    def tearDown(self):
        self.config.cleanup()

    def test_every_corpus_file_gives_one_valid_json_line(self):
        if not os.path.isdir(CORPUS):
            self.skipTest(f'no corpus at {CORPUS}')
        files = sorted(os.path.join(d, f) for d, _, fs in os.walk(CORPUS) for f in fs if not f.endswith('.tsv'))
        result = run('--json', *files, env=self.env)
        lines = result.stdout.decode('utf-8').splitlines()
        self.assertEqual(len(lines), len(files))
        failures = 0
        for path, line in zip(files, lines):
            record = json.loads(line)
            self.assertEqual(record['file'], path)
            self.assertEqual(record['size'], os.path.getsize(path))
            self.assertEqual(record['ok'], record['error'] is None, path)
            failures += not record['ok']
            if record['ok']:
                self.assertEqual(len(record['items']), 1, path)
                self.assertEqual(record['items'][0]['text'], os.path.basename(path))
        self.assertEqual(result.returncode, 1 if failures else 0)

    def test_bmp_headers_and_fields_carry_offsets_and_sizes(self):
        record = json.loads(run('--json', SAMPLE, env=self.env).stdout)
        self.assertTrue(record['ok'])
        self.assertEqual(record['plugin'], 'Voltane.hpi')
        found = {text: (offset, size) for text, offset, size in ranges(record['items'][0])}
        self.assertEqual(found['BITMAPFILEHEADER'], (0, 14))
        self.assertEqual(found['bfOffBits'], (10, 4))
        self.assertEqual(found['Image Data'], (118, 128))
        self.assertIn('Voltane.hpi file report', record['report'])

    def test_exit_codes_and_errors_name_the_file(self):
        missing = run('/no/such/file.bmp', SAMPLE, env=self.env)
        self.assertEqual(missing.returncode, 1)
        self.assertIn(b'/no/such/file.bmp', missing.stderr)
        self.assertIn(b'sample.bmp', missing.stdout, 'the other file is still analysed')
        self.assertEqual(run('--bogus', env=self.env).returncode, 2)
        self.assertEqual(run(env=self.env).returncode, 2)
        help_text = run('--help', env=self.env)
        self.assertEqual(help_text.returncode, 0)
        self.assertIn(b'--enabled-only', help_text.stdout)

    def test_enable_and_disable_round_trip_through_the_store(self):
        self.assertIn(b'Voltane.hpi\tdisabled', run('--plugins', env=self.env).stdout)
        self.assertEqual(run('--enabled-only', SAMPLE, env=self.env).returncode, 1)
        run('--enable', 'all', env=self.env)
        self.assertIn(b'Voltane.hpi\tenabled', run('--plugins', env=self.env).stdout)
        self.assertEqual(run('--enabled-only', SAMPLE, env=self.env).returncode, 0)
        with open(os.path.join(self.config.name, 'strataview', 'plugins')) as stored:
            self.assertIn('Voltane.hpi=1', stored.read())
        run('--disable', 'Voltane.hpi', env=self.env)
        self.assertIn(b'Voltane.hpi\tdisabled', run('--plugins', env=self.env).stdout)
        self.assertEqual(run('--enable', 'Nothing.hpi', env=self.env).returncode, 1)

    def test_dump_lines_align_with_the_header(self):
        out = run('--dump=16:20', SAMPLE, env=self.env).stdout.decode().splitlines()
        self.assertEqual(out[-3], '  ADDRESS : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +a +b +c +d +e +f 0123456789abcdef ')
        self.assertEqual(out[-2], '0x00000010: 00 00 10 00 00 00 10 00 00 00 01 00 04 00 00 00 ................')
        self.assertTrue(out[-1].startswith('0x00000020:'))
        chars = out[-3].index('0123456789abcdef')
        self.assertEqual(out[-1][chars - 1], ' ')
        self.assertEqual(len(out[-1]), chars + 16)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1])
