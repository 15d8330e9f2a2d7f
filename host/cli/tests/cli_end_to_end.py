#!/usr/bin/env python3
"""strataview-cli end to end: JSON over the whole corpus, text lines, errors and exit codes,
stored states, dump layout, conveniences.

usage: cli_end_to_end.py STRATAVIEW_CLI CORPUS_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

CLI = sys.argv[1] if len(sys.argv) > 1 else 'strataview-cli'
CORPUS = sys.argv[2] if len(sys.argv) > 2 else '../shared/corpus'
SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', '..', 'samples', 'sample.bmp')


def run(*args, env=None, **kw):
    return subprocess.run([CLI, *args], capture_output=True, env=env, timeout=600, **kw)


def corpus(name):
    path = os.path.join(CORPUS, name)
    if not os.path.exists(path):
        raise unittest.SkipTest(f'no corpus file {path}')
    return path


def nodes(node):
    yield node
    for child in node.get('children', []):
        yield from nodes(child)


def find(record, name):
    return next(n for item in record['items'] for n in nodes(item) if n.get('name') == name)


class Case(unittest.TestCase):
    def setUp(self):
        self.config = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, XDG_CONFIG_HOME=self.config.name, LANG='C')
        self.tmp = tempfile.mkdtemp()

    def tearDown(self):
        self.config.cleanup()
        shutil.rmtree(self.tmp)

    def json_lines(self, *args, env=None):
        result = run('--json', *args, env=env or self.env)
        return result, [json.loads(line) for line in result.stdout.decode('utf-8').splitlines()]


class Json(Case):
    def test_every_corpus_file_gives_one_schema_2_line(self):
        if not os.path.isdir(CORPUS):
            self.skipTest(f'no corpus at {CORPUS}')
        files = sorted(os.path.join(d, f) for d, _, fs in os.walk(CORPUS) for f in fs if not f.endswith('.tsv'))
        result, records = self.json_lines(*files)
        self.assertEqual(len(records), len(files))
        failures = 0
        for path, record in zip(files, records):
            self.assertEqual(record['schema'], 2)
            self.assertEqual(record['file'], path)
            self.assertEqual(record['size'], os.path.getsize(path))
            self.assertEqual(record['ok'], record['error'] is None, path)
            failures += not record['ok']
            if not record['ok']:
                self.assertIn(record['error']['kind'], ('unsupported', 'analysis', 'stream'), path)
            if record['ok'] or 'fault' in record:
                self.assertEqual(record['items'][0]['kind'], 'root', path)
                self.assertEqual(record['items'][0]['name'], os.path.basename(path))
            for node in (n for item in record['items'] for n in nodes(item)):
                self.assertFalse(node.get('children') == [] or node.get('values') == [], path)
                for value in node.get('values', []):
                    self.assertIsInstance(value['value'], str if value['type'] == 'text' else (int, float, type(None)))
        self.assertEqual(result.returncode, 1 if failures else 0)
        self.assertIn(b'analysed,', result.stderr.splitlines()[-1])

    def test_typed_values_of_a_bitmap(self):
        _, [record] = self.json_lines(SAMPLE)
        self.assertTrue(record['ok'])
        self.assertEqual(record['plugin'], 'Voltane.hpi')
        self.assertEqual((find(record, 'BITMAPFILEHEADER')['offset'], find(record, 'BITMAPFILEHEADER')['size']), (0, 14))
        self.assertEqual(find(record, 'bfType'), {
            'name': 'bfType', 'kind': 'field', 'offset': 0, 'size': 2,
            'values': [{'type': 'unsigned', 'width': 2, 'value': 19778, 'display': '0x4d42(19778)', 'comment': "'BM'"}]})
        self.assertEqual(find(record, 'biWidth')['values'][0]['value'], 16)
        self.assertNotIn('\r', record['report'])
        self.assertIn('Voltane.hpi file report\n', record['report'])

    def test_old_tree_shape_stays_available(self):
        record = json.loads(run('--json-tree', SAMPLE, env=self.env).stdout)
        root = record['items'][0]
        self.assertEqual((root['text'], root['image']), ('sample.bmp', 0))
        header = root['children'][0]
        self.assertEqual((header['text'], header['offset'], header['size']), ('BITMAPFILEHEADER', 0, 14))
        tree = run('--tree', SAMPLE, env=self.env).stdout.decode().splitlines()
        self.assertEqual(tree[4:9], ['    bfType', '      0x00000000', '      0x00000002(2)', "      0x4d42(19778) 'BM'",
                                     '    bfSize'])

    def test_messages_are_english_with_the_local_text_beside(self):
        env = dict(self.env, LANG='ja_JP.UTF-8')
        _, [missing] = self.json_lines(os.path.join(self.tmp, 'none.bmp'), env=env)
        self.assertEqual(missing['error']['kind'], 'io')
        self.assertEqual(missing['error']['message'], 'No such file or directory')
        self.assertIsNone(missing['size'])
        text = os.path.join(self.tmp, 'plain.txt')
        with open(text, 'w') as f:
            f.write('nothing to see\n')
        _, [unsupported] = self.json_lines('--lang', 'ja', text, env=env)
        self.assertEqual(unsupported['error']['kind'], 'unsupported')
        self.assertEqual(unsupported['error']['message'], 'No plug-in available for loaded file!')
        self.assertNotEqual(unsupported['error']['message_local'], unsupported['error']['message'])
        damaged = corpus('zip/libzip-testfile-truncated.zip')
        _, [failed] = self.json_lines('--lang=ja', damaged, env=env)
        self.assertEqual(failed['error']['kind'], 'analysis')
        self.assertTrue(failed['error']['message'].isascii(), failed['error']['message'])

    def test_coverage_names_the_bytes_no_item_explains(self):
        _, [junk] = self.json_lines(corpus('zip/go-test-trailing-junk.zip'))
        self.assertEqual(junk['coverage']['unexplained'], [[junk['size'] - 14, 14]])
        self.assertEqual(junk['coverage']['explained'], junk['size'] - 14)
        _, [clean] = self.json_lines(corpus('png/pngsuite-basn0g08.png'))
        self.assertEqual(clean['coverage'], {'explained': clean['size'], 'unexplained': [], 'past_end': [],
                                             'overlaps': []})
        _, [off] = self.json_lines('--no-coverage', corpus('png/pngsuite-basn0g08.png'))
        self.assertNotIn('coverage', off)

    def test_plugin_list_as_json(self):
        _, plugins = self.json_lines('--plugins')
        self.assertIn('Voltane.hpi', [p['plugin'] for p in plugins])
        self.assertTrue(all(p['enabled'] is False for p in plugins))


class Text(Case):
    def test_one_line_per_field_in_aligned_columns(self):
        out = run(SAMPLE, env=self.env).stdout.decode()
        self.assertIn("    bfType                 @0x00000000 +2        0x4d42(19778) 'BM'\n", out)
        self.assertIn('  BITMAPFILEHEADER         @0x00000000 +14\n', out)
        self.assertIn('    bfType                 @0 +2 ', run('--offsets=dec', SAMPLE, env=self.env).stdout.decode())
        shallow = run('--max-depth', '1', SAMPLE, env=self.env).stdout.decode().splitlines()
        self.assertEqual([line for line in shallow if line.startswith('    ')], [])
        self.assertIn('  BITMAPFILEHEADER         @0x00000000 +14', shallow)

    def test_fewer_lines_than_the_tree(self):
        png = corpus('png/imagemagick-input_16.png')
        lines = run(png, env=self.env).stdout.count(b'\n')
        tree = run('--tree', png, env=self.env).stdout.count(b'\n')
        self.assertLess(lines * 3, tree)

    def test_control_characters_never_reach_the_terminal(self):
        for args in ([corpus('lzh/lhasa-regression-badterm.lzh')], ['--tree', corpus('lzh/lhasa-regression-badterm.lzh')],
                     [corpus('png/pngsuite-ct1n0g04.png')], ['--report', corpus('png/pngsuite-ct1n0g04.png')]):
            out = run(*args, env=self.env).stdout
            self.assertIsNone(re.search(rb'[\x00-\x08\x0b-\x1f\x7f]', out), args)
        out = run(corpus('lzh/lhasa-regression-badterm.lzh'), env=self.env).stdout.decode()
        self.assertIn('\\x1b]2;', out)
        named = os.path.join(self.tmp, 'bad\x1b]2;title\x07.bmp')
        shutil.copy(SAMPLE, named)
        result = run(named, os.path.join(self.tmp, 'gone\x1b.bmp'), env=self.env)
        self.assertNotIn(b'\x1b', result.stdout + result.stderr)

    def test_root_shows_a_utf8_file_name(self):
        named = os.path.join(self.tmp, '日本語.bmp')
        shutil.copy(SAMPLE, named)
        self.assertEqual(run(named, env=self.env).stdout.decode().splitlines()[0], '日本語.bmp')
        self.assertEqual(run('--tree', named, env=self.env).stdout.decode().splitlines()[0], '日本語.bmp')
        _, [record] = self.json_lines(named)
        self.assertEqual(record['items'][0]['name'], '日本語.bmp')

    def test_report_lines_end_in_lf(self):
        out = run('--report', SAMPLE, env=self.env).stdout
        self.assertIn(b'Voltane.hpi file report\n', out)
        self.assertNotIn(b'\r', out)


class Errors(Case):
    def test_each_refusal_names_its_reason(self):
        fifo = os.path.join(self.tmp, 'fifo')
        os.mkfifo(fifo)
        cases = {os.path.join(self.tmp, 'none.bmp'): 'No such file or directory', self.tmp: 'Is a directory',
                 fifo: 'not a regular file (FIFO)', '/dev/null': 'not a regular file (device)'}
        for path, reason in cases.items():
            result = run(path, env=self.env)
            self.assertEqual(result.returncode, 1, path)
            self.assertIn(f'{path}: {reason}', result.stderr.decode(), path)
            self.assertNotIn(b'No plug-in available', result.stderr, path)
        if os.geteuid() != 0:
            locked = os.path.join(self.tmp, 'locked.bmp')
            shutil.copy(SAMPLE, locked)
            os.chmod(locked, 0)
            self.assertIn(b'Permission denied', run(locked, env=self.env).stderr)

    def test_recursion_goes_on_past_a_folder_it_cannot_read(self):
        # A path longer than the system allows cannot be listed, even by root.
        fd = os.open(self.tmp, os.O_RDONLY)
        os.mkdir('a', dir_fd=fd)
        deep = os.open('a', os.O_RDONLY, dir_fd=fd)
        for _ in range(20):
            os.mkdir('d' * 250, dir_fd=deep)
            below = os.open('d' * 250, os.O_RDONLY, dir_fd=deep)
            os.close(deep)
            deep = below
        os.close(deep)
        os.close(fd)
        os.mkdir(os.path.join(self.tmp, 'b'))
        shutil.copy(SAMPLE, os.path.join(self.tmp, 'b', 'sample.bmp'))
        result = run('-r', self.tmp, env=self.env)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b'File name too long', result.stderr)
        self.assertIn(b'bfType', result.stdout)

    def test_summary_quiet_and_usage_errors(self):
        text = os.path.join(self.tmp, 'plain.txt')
        with open(text, 'w') as f:
            f.write('nothing\n')
        result = run(SAMPLE, text, env=self.env)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode().splitlines()[-1],
                         'strataview-cli: 1 analysed, 1 not analysed (1 unsupported)')
        quiet = run('-q', '--json', text, env=self.env)
        self.assertEqual((quiet.stdout, quiet.stderr, quiet.returncode), (b'', b'', 1))
        for args in (['--bogus'], [], ['--dump=5:18446744073709551615', SAMPLE], ['--dump=zz', SAMPLE]):
            usage = run(*args, env=self.env)
            self.assertEqual(usage.returncode, 2, args)
            self.assertEqual(len(usage.stderr.splitlines()), 2, args)
            self.assertEqual(usage.stdout, b'', args)

    def test_write_errors_and_stream_order(self):
        with open('/dev/full', 'w') as full:
            result = subprocess.run([CLI, SAMPLE], stdout=full, stderr=subprocess.PIPE, env=self.env, timeout=60)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b'write error', result.stderr)
        both = subprocess.run([CLI, SAMPLE, os.path.join(self.tmp, 'none.bmp'), SAMPLE], stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, env=self.env, timeout=60).stdout.decode()
        for line in both.splitlines():
            self.assertTrue(line.startswith(('strataview-cli: ', '== ', ' ', 'sample.bmp')), line)

    def test_states_change_in_order_all_or_nothing(self):
        self.assertIn(b'Voltane.hpi\tdisabled', run('--plugins', env=self.env).stdout)
        self.assertEqual(run('--enabled-only', SAMPLE, env=self.env).returncode, 1)
        self.assertEqual(run('--disable', 'all', '--enable', 'Voltane.hpi', env=self.env).returncode, 0)
        listing = run('--plugins', env=self.env).stdout
        self.assertIn(b'Voltane.hpi\tenabled', listing)
        self.assertIn(b'Pendrix.hpi\tdisabled', listing)
        self.assertEqual(run('--enabled-only', SAMPLE, env=self.env).returncode, 0)
        with open(os.path.join(self.config.name, 'strataview', 'plugins')) as stored:
            self.assertEqual(stored.read(), 'Voltane.hpi=1\n')
        self.assertEqual(run('--enable', 'all', '--disable', 'Nothing.hpi', env=self.env).returncode, 1)
        self.assertIn(b'Pendrix.hpi\tdisabled', run('--plugins', env=self.env).stdout, 'nothing applied')
        blocked = dict(self.env, XDG_CONFIG_HOME=SAMPLE)  # a file where the folder should be
        failed = run('--enable', 'all', env=blocked)
        self.assertEqual(failed.returncode, 1)
        self.assertIn(b'could not be saved', failed.stderr)


class Partial(Case):
    def test_a_damaged_file_shows_what_was_found_and_where_it_stopped(self):
        damaged = corpus('zip/libzip-testfile-truncated.zip')
        result, [record] = self.json_lines(damaged)
        self.assertEqual(result.returncode, 1)
        self.assertFalse(record['ok'])
        self.assertEqual(record['error']['kind'], 'analysis')
        fault = record['fault']
        self.assertEqual(fault['message'], record['error']['message'])
        faults = [n for n in nodes(record['items'][0]) if n['kind'] == 'fault']
        self.assertEqual(faults[-1]['name'], fault['message'])
        self.assertEqual(faults[-1]['offset'], fault['offset'])
        self.assertGreater(len(list(nodes(record['items'][0]))), 10)
        text = run(damaged, env=self.env)
        lines = text.stdout.decode().splitlines()
        self.assertIn('FAULT: ' + fault['message'], lines[-1])
        self.assertIn(f'@0x{fault["offset"]:08x}', lines[-1])
        self.assertEqual(text.stderr.decode(),
                         f'strataview-cli: {damaged}: {fault["message"]} (at offset {fault["offset"]})\n')


class Conveniences(Case):
    def test_standard_input_and_a_forced_plugin(self):
        with open(SAMPLE, 'rb') as f:
            result = run('--json', '-', stdin=f, env=self.env)
        record = json.loads(result.stdout)
        self.assertEqual((record['file'], record['ok'], record['items'][0]['name']), ('-', True, '-'))
        self.assertEqual(run('--plugin', 'Voltane.hpi', SAMPLE, env=self.env).returncode, 0)
        self.assertEqual(json.loads(run('--json', '--plugin=Pendrix.hpi', SAMPLE, env=self.env).stdout)['error']['kind'],
                         'unsupported')
        self.assertEqual(run('--plugin', 'Nothing.hpi', SAMPLE, env=self.env).returncode, 2)
        self.assertEqual(run(f'--plugin-dir={os.path.dirname(CLI)}', SAMPLE, env=self.env).returncode, 0)

    def test_dump_lines_start_at_the_offset(self):
        out = run('--tree', '--dump=16:20', SAMPLE, env=self.env).stdout.decode().splitlines()
        self.assertEqual(out[-3], '  ADDRESS : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +a +b +c +d +e +f 0123456789abcdef ')
        self.assertEqual(out[-2], '0x00000010: 00 00 10 00 00 00 10 00 00 00 01 00 04 00 00 00 ................')
        self.assertEqual(out[-1], '0x00000020: 00 00 80 00                                     ....')
        odd = run('--dump=010:3', SAMPLE, env=self.env).stdout.decode().splitlines()
        self.assertEqual(odd[-1], '0x0000000a: 76 00 00                                        v..', 'decimal, not octal')
        past = run('--dump=240:100', SAMPLE, env=self.env)
        self.assertEqual(past.returncode, 0)
        self.assertIn(b'past the end of the file (246 bytes)', past.stderr)
        self.assertTrue(past.stdout.decode().splitlines()[-1].startswith('0x000000f0: '))

    def test_dump_streams_a_large_file_in_little_memory(self):
        big = os.path.join(self.tmp, 'big.bin')
        with open(big, 'wb') as f:
            f.truncate(1 << 32)  # sparse: 4 GiB of zeros
        limit = 'ulimit -v 600000; exec "$0" "$@"'
        proc = subprocess.Popen(['sh', '-c', limit, CLI, '--dump', big], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                env=self.env)
        first = proc.stdout.readline() + proc.stdout.readline()
        proc.kill()
        _, errors = proc.communicate()
        if b'AddressSanitizer' in errors:
            self.skipTest('the sanitizer build reserves more address space than the limit')
        self.assertIn(b'0x0000000000000000: 00 00', first)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1])
