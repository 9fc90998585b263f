#!/usr/bin/env python3
"""Runs the fuzz check's compile lines, skipping those whose inputs have not changed since they
last passed. A line passes when clang accepts its source; its entry in the cache folder then names
every file the compilation read (clang's dependency list) with a digest of each, so the next run
repeats only the lines whose command, source or any header changed. A failed line leaves no entry.

    fuzz_check_run.py COMMANDS_FILE BUILD_DIR CACHE_DIR JOBS LOG ROOT

Paths under ROOT (the clone) are kept relative to it, so that another clone reuses the entries.
"""
import concurrent.futures
import hashlib
import os
import re
import shlex
import subprocess
import sys
import threading

digests = {}
digests_lock = threading.Lock()


def digest(path):
    with digests_lock:
        if path in digests:
            return digests[path]
    try:
        with open(path, 'rb') as handle:
            value = hashlib.sha256(handle.read()).hexdigest()
    except OSError:
        value = 'missing'
    with digests_lock:
        digests[path] = value
    return value


ROOT = '/'


def portable(text):
    """The text with the clone's folder written as @, wherever it stands as a whole path part."""
    return re.sub(re.escape(ROOT) + r'(?=[/\s=]|$)', '@', text)


def local(text):
    return ROOT + text[1:] if text.startswith('@/') else text


def entry_path(cache, command):
    key = hashlib.sha256(portable(command).encode()).hexdigest()
    return os.path.join(cache, key[:2], key)


def still_clean(entry):
    try:
        with open(entry, encoding='utf-8') as handle:
            lines = handle.read().splitlines()
    except OSError:
        return False
    if not lines:
        return False
    for line in lines:
        recorded, _, path = line.partition(' ')
        if digest(local(path)) != recorded:
            return False
    return True


def dependencies(depfile, build):
    """The files a make-style dependency list names, as absolute paths."""
    with open(depfile, encoding='utf-8') as handle:
        text = handle.read().replace('\\\n', ' ')
    _, _, names = text.partition(': ')
    paths = []
    for name in shlex.split(names.replace('\\ ', '\x00')):
        name = name.replace('\x00', ' ')
        paths.append(os.path.abspath(os.path.join(build, name)))
    return paths


def check(command, build, cache, index):
    entry = entry_path(cache, command)
    if still_clean(entry):
        return index, True, '', True
    depfile = os.path.abspath(os.path.join(build, 'fuzz-check-deps', f'{index}.d'))
    run = subprocess.run(f'{command} -MD -MF {shlex.quote(depfile)}', shell=True, cwd=build,
                         capture_output=True, text=True)
    if run.returncode != 0:
        return index, False, run.stdout + run.stderr, False
    try:
        lines = [f'{digest(path)} {portable(path)}' for path in dependencies(depfile, build)]
        os.makedirs(os.path.dirname(entry), exist_ok=True)
        temporary = f'{entry}.{os.getpid()}.{index}'
        with open(temporary, 'w', encoding='utf-8') as handle:
            handle.write('\n'.join(lines) + '\n')
        os.replace(temporary, entry)
    except OSError:
        pass  # the cache is only a saving; the line passed
    return index, True, run.stdout + run.stderr, False


def main(commands_file, build, cache, jobs, log, root):
    global ROOT
    ROOT = os.path.abspath(root).rstrip('/')
    with open(commands_file, encoding='utf-8') as handle:
        commands = [line for line in handle.read().splitlines() if line.strip()]
    os.makedirs(os.path.join(build, 'fuzz-check-deps'), exist_ok=True)
    failed, reused = 0, 0
    with open(log, 'w', encoding='utf-8') as out, \
            concurrent.futures.ThreadPoolExecutor(max_workers=int(jobs)) as pool:
        for index, passed, output, cached in pool.map(lambda item: check(item[1], build, cache, item[0]),
                                                      enumerate(commands)):
            out.write(output)
            failed += not passed
            reused += cached
    print(f'fuzz-check: {len(commands) - reused} compiled, {reused} unchanged since they passed')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:7]))
