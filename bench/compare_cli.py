#!/usr/bin/env python3
"""Times strataview-cli --json against the tools a user would otherwise reach for,
one process per file, on the same corpus files, in one run.

usage: compare_cli.py STRATAVIEW_CLI [CORPUS_DIR] [--rounds N]
"""
import argparse
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


if __name__ == '__main__':
    main()
