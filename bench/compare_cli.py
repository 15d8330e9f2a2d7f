#!/usr/bin/env python3
"""Times strataview-cli --json against the tools a user would otherwise reach for,
on the same corpus files, in one run: one process per file, then one process for
a whole batch of files (the way a script runs them), with the JSON output's size
per field against the window-tree JSON.

usage: compare_cli.py STRATAVIEW_CLI [CORPUS_DIR] [--rounds N]
"""
import argparse
import json
import os
import shutil
import subprocess
import time

# Peer tools and the corpus folders each of them reads.
PEERS = {
    'hachoir-metadata': (['hachoir-metadata', '--quiet'], None),
    'exiftool -v3': (['exiftool', '-v3'], None),
    'pngcheck -v': (['pngcheck', '-v'], ['png']),
    'tiffdump': (['tiffdump'], ['tiff']),
    'giftext': (['giftext'], ['gif']),
    'lha l': (['lha', 'l'], ['lzh']),
    'cabextract -l': (['cabextract', '-l'], ['cab']),
}


def files_of(corpus, folders):
    names = folders or sorted(d for d in os.listdir(corpus) if os.path.isdir(os.path.join(corpus, d)))
    return [os.path.join(corpus, d, f) for d in names if os.path.isdir(os.path.join(corpus, d))
            for f in sorted(os.listdir(os.path.join(corpus, d)))]


def per_file_ms(command, files, rounds):
    best = None
    for _ in range(rounds):
        start = time.perf_counter()
        for path in files:
            subprocess.run(command + [path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           stdin=subprocess.DEVNULL, timeout=120)
        elapsed = (time.perf_counter() - start) * 1000 / len(files)
        best = elapsed if best is None else min(best, elapsed)
    return best


# Peers given a whole batch of files in one process, with the target ratio.
BATCHES = {
    'pngcheck -v': (['pngcheck', '-v'], ['png'], 1),
    'tiffdump': (['tiffdump'], ['tiff'], 1),
    'exiftool -v3': (['exiftool', '-v3'], None, 30),
}


def batch_run(command, files, rounds):
    """Best time in ms of one process over all files, and the bytes it wrote."""
    best, written = None, 0
    for _ in range(rounds):
        start = time.perf_counter()
        out = subprocess.run(command + files, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             stdin=subprocess.DEVNULL, timeout=1200).stdout
        elapsed = (time.perf_counter() - start) * 1000
        best, written = (elapsed, len(out)) if best is None or elapsed < best else (best, written)
    return best, written


def fields_in(json_lines):
    """The schema-2 nodes in the CLI's JSON lines."""
    def count(node):
        return 1 + sum(count(child) for child in node.get('children', []))
    return sum(count(item) for line in json_lines.splitlines() for item in json.loads(line)['items'])


def json_size_per_field(cli, files):
    new = subprocess.run([cli, '--json'] + files, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    old = subprocess.run([cli, '--json-tree'] + files, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    fields = fields_in(new)
    return fields, len(new) / fields, len(old) / fields


def startup_ms(cli, rounds):
    """What a process pays before and for choosing a plug-in: starting, discovering
    the plug-ins (each loaded for its info record), offering a file to all of them."""
    runs = 200
    cases = {'start (--version)': ['--version'], 'discovery (--plugins)': ['--plugins'],
             'no plug-in accepts': ['--json', os.path.abspath(__file__)]}
    result = {}
    for name, args in cases.items():
        best = None
        for _ in range(rounds):
            start = time.perf_counter()
            for _ in range(runs):
                subprocess.run([cli] + args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            elapsed = (time.perf_counter() - start) * 1000 / runs
            best = elapsed if best is None else min(best, elapsed)
        result[name] = best
    return result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('cli')
    parser.add_argument('corpus', nargs='?', default=os.path.join(os.path.dirname(__file__), '..', '..', 'shared',
                                                                   'corpus'))
    parser.add_argument('--rounds', type=int, default=3)
    args = parser.parse_args()
    for name, ms in startup_ms(args.cli, args.rounds).items():
        print(f'{name:<24} {ms:6.2f} ms per process')
    print(f'{"tool":<18} {"files":>5} {"peer ms/file":>13} {"ours ms/file":>13} {"peer/ours":>10}')
    for name, (command, folders) in PEERS.items():
        if shutil.which(command[0]) is None:
            print(f'{name:<18} (not installed)')
            continue
        files = files_of(args.corpus, folders)
        peer = per_file_ms(command, files, args.rounds)
        ours = per_file_ms([args.cli, '--json'], files, args.rounds)
        print(f'{name:<18} {len(files):>5} {peer:>13.2f} {ours:>13.2f} {peer / ours:>10.1f}')
    print()
    print('one process over a batch of files:')
    print(f'{"tool":<18} {"files":>5} {"peer ms":>9} {"ours ms":>9} {"peer/ours":>10} {"target":>7} '
          f'{"peer bytes":>11} {"ours bytes":>11}')
    for name, (command, folders, target) in BATCHES.items():
        if shutil.which(command[0]) is None:
            print(f'{name:<18} (not installed)')
            continue
        files = files_of(args.corpus, folders)
        peer, peer_bytes = batch_run(command, files, args.rounds)
        ours, ours_bytes = batch_run([args.cli, '--json'], files, args.rounds)
        print(f'{name:<18} {len(files):>5} {peer:>9.1f} {ours:>9.1f} {peer / ours:>10.2f} {target:>6}x '
              f'{peer_bytes:>11} {ours_bytes:>11}')
    fields, new, old = json_size_per_field(args.cli, files_of(args.corpus, None))
    print(f'JSON bytes per field over {fields} fields: {new:.0f} (--json), {old:.0f} (--json-tree), '
          f'ratio {new / old:.2f}')


if __name__ == '__main__':
    main()
