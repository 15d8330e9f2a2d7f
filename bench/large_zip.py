#!/usr/bin/env python3
"""Times strataview-cli --json on ZIP archives of many entries (those kavlore_bench
generates in the temporary folder), with its peak memory per item, and zipdetails
on the same archives.

usage: large_zip.py STRATAVIEW_CLI [ZIP...] [--zipdetails-max ENTRIES]
"""
import argparse
import os
import re
import shutil
import subprocess
import tempfile
import time


def timed(command):
    """Wall seconds, user and system seconds and peak resident kilobytes of one run."""
    with open(os.devnull, 'wb') as nowhere:
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=nowhere, stderr=nowhere)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
    if status != 0:
        raise SystemExit(f'{command[0]} failed on {command[-1]}')
    return wall, usage.ru_utime, usage.ru_stime, usage.ru_maxrss


def items_of(cli, path):
    """The number of items in the file's JSON line, counted as it streams by."""
    marker = b'{"text":'
    count, tail = 0, b''
    with subprocess.Popen([cli, '--json', path], stdout=subprocess.PIPE) as child:
        while chunk := child.stdout.read(1 << 22):
            block = tail + chunk
            count += block.count(marker)
            tail = block[-(len(marker) - 1):]
    return count


def entries_of(path):
    found = re.search(r'-(\d+)\.zip$', path)
    return int(found.group(1)) if found else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('cli')
    parser.add_argument('zips', nargs='*')
    parser.add_argument('--zipdetails-max', type=int, default=10000,
                        help='time zipdetails only on archives of at most this many entries (its time grows '
                             'faster than linearly: 100,000 entries take about an hour)')
    args = parser.parse_args()
    zips = args.zips or [os.path.join(tempfile.gettempdir(), f'kavlore-bench-{n}.zip') for n in (10000, 100000)]
    print(f'{"entries":>8} {"items":>10} {"wall s":>7} {"user s":>7} {"sys s":>6} {"peak MB":>8} '
          f'{"B/item":>7} {"zipdetails s":>13} {"ratio":>6}')
    for path in zips:
        if not os.path.exists(path):
            print(f'{path}: missing (run kavlore_bench first)')
            continue
        wall, user, system, peak_kb = min((timed([args.cli, '--json', path]) for _ in range(3)), key=lambda r: r[0])
        items = items_of(args.cli, path)
        entries = entries_of(path)
        peer = ''
        if shutil.which('zipdetails') and entries is not None and entries <= args.zipdetails_max:
            seconds = timed(['zipdetails', path])[0]
            peer = f'{seconds:>13.2f} {seconds / wall:>6.0f}'
        print(f'{entries or "?":>8} {items:>10} {wall:>7.2f} {user:>7.2f} {system:>6.2f} {peak_kb / 1024:>8.0f} '
              f'{peak_kb * 1024 / items:>7.1f} {peer}')


if __name__ == '__main__':
    main()
