#!/usr/bin/python3
"""Differential run: two builds of tenso-eval on the same random files and option texts must agree
on every byte of standard output and standard error and on the exit status.

usage: bench/differential.py [--old PATH | --base COMMIT] [--new PATH] [--cases N] [--seed S]

Without --old, the commit BASE (default: where this branch left main) is exported into a scratch
folder and its tenso-eval built there (ccache makes a repeated build quick). --new defaults to
build/src/cli/tenso-eval. The files are valid curves, broken ones, huge and tiny numbers, odd
separators and line ends, quoted fields, long lines around the reader's 64 KiB buffer, files above
1 MiB, empty and binary files; each case runs one to five of them with random option texts.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build_old(base, scratch):
    src, build = os.path.join(scratch, 'src'), os.path.join(scratch, 'build')
    os.makedirs(src)
    archive = subprocess.run(['git', '-C', ROOT, 'archive', base], check=True, stdout=subprocess.PIPE).stdout
    subprocess.run(['tar', '-x', '-C', src], input=archive, check=True)
    launcher = ['-DCMAKE_CXX_COMPILER_LAUNCHER=ccache'] if shutil.which('ccache') else []
    subprocess.run(['cmake', '-S', src, '-B', build, '-G', 'Ninja', '-DTENSO_BUILD_TESTS=OFF',
                    '-DTENSO_BUILD_BENCHMARKS=OFF'] + launcher, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', build, '--target', 'tenso-eval'], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build, 'src', 'cli', 'tenso-eval')


# --- random data files -------------------------------------------------------------------------

def number(r):
    kind = r.random()
    if kind < 0.70:
        return '%.*f' % (r.randrange(0, 5), r.uniform(-50, 5000))
    if kind < 0.78:
        return str(r.randrange(-100000, 100000))
    if kind < 0.84:
        return '%.*e' % (r.randrange(0, 8), r.uniform(-1, 1) * 10 ** r.randrange(-45, 45))
    if kind < 0.88:
        return r.choice(['1e39', '-3.5E+38', '3.4028235e38', '3.40282357e38', '1e400', '-1e-400', '1e-46',
                         '0.0', '-0', '+7', '.5', '5.', '9007199254740993', '12345678901234567890',
                         '0.000000000000000000012345', '4.9e-324', '1.7976931348623157e308'])
    if kind < 0.91:
        return r.choice(['1'] * 3 + ['9']) * r.randrange(15, 30) + r.choice(['', '.5', '.25'])
    if kind < 0.93:
        return '0.' + '0' * r.randrange(0, 30) + str(r.randrange(1, 10 ** 9))
    if kind < 0.96:
        return r.choice(['abc', 'N/A', '1.2.3', '1e', '1e+', '-', '+', '.', 'e5', '1,5', '--1', '0x10', '&H10',
                         '1 2', 'inf', 'nan', '1d5', '12abc'])
    return '"%s"' % r.choice(['12.5', ' 3 ', 'text', 'a,b', '', '1e3'])


def curve_values(r, n):
    # a rise, a serrated plateau and a hardening part, so that many files evaluate fully
    e, rel = 0.2 + r.random() * 0.02, 250 + r.random() * 100
    out = []
    for i in range(1, n + 1):
        x = i * 10.0 if i <= 200 else 2000 + (i - 200) * 110.0
        if e * x < rel:
            y = e * x
        elif i < 600:
            y = rel + 6 * (i % 13) / 13  # a tooth every 13 records
        else:
            y = rel + 6 + (i - 600) * 0.05
        out.append((x, y))
    return out


def data_file(r, path):
    kind = r.random()
    ends = r.choice(['\r\n'] * 6 + ['\n', '\r', 'mixed'])

    def end():
        return r.choice(['\r\n', '\n', '\r']) if ends == 'mixed' else ends

    header = ''.join('header %d, with, commas "q"%s' % (k, end()) for k in range(r.choice([5, 5, 5, 0, 1, 3, 7])))
    if kind < 0.05:
        text = ''
    elif kind < 0.08:
        text = bytes(r.randrange(256) for _ in range(r.randrange(1, 5000))).decode('latin-1')
    elif kind < 0.11:
        text = header
    else:
        n = r.choice([3, 10, 60, 200, 500, 1999, 2000, 2001, 2500]) if r.random() < 0.5 else r.randrange(1, 2100)
        columns = r.choice([2, 2, 2, 3, 1, 4])
        sep = r.choice([',', ',', ', ', ' ', '  ', '\t', ' ,', 'mixed'])
        damage = r.choice([0, 0, 0, 0, 0.0005, 0.002, 0.02])  # of the lines, a field replaced or lost
        lines = []
        for x, y in curve_values(r, n):
            fields = ['%.1f' % x, '%.3f' % y] + ['%.2f' % (y * 0.0785)] * (columns - 2)
            fields = fields[:columns]
            if r.random() < damage * 4:
                fields[r.randrange(len(fields))] = number(r)
            if r.random() < damage:
                fields.pop()
            if r.random() < damage:
                fields.append('')
            s = sep if sep != 'mixed' else None
            line = ''
            for k, f in enumerate(fields):
                if k:
                    line += s if s is not None else r.choice([',', ' ', ', ', '\t', ' , '])
                line += f
            if r.random() < damage * 2:
                line = ' ' * r.randrange(1, 4) + line
            lines.append(line)
        if r.random() < 0.05:  # a long line somewhere, often around the 64 KiB buffer edge
            at = r.randrange(len(lines))
            lines.insert(at, r.choice(['x', '1', ' ', ',']) * r.choice([65536 - 40, 70000, 200000, 1024, 1025]))
        text = header + ''.join(l + end() for l in lines)
        if r.random() < 0.1:
            text += r.choice(['', '\r\n', '   \r\n\r\n', '\n\n\n', ' \t ', ',', ',\r\n'])
        if r.random() < 0.03:
            text += ('  \r\n' if r.random() < 0.5 else 'x' * 80 + '\r\n') * 20000  # beyond 1 MiB
    with open(path, 'w', newline='', encoding='latin-1') as fh:
        fh.write(text)


def option_texts(r):
    def whole():
        return r.choice(['1', '2', '3', '0', '-1', '2.5', '3.5', '1e1', ' 2 ', 'abc', '', '&H2', '40000', '99999'])

    opts = []
    if r.random() < 0.3:
        opts += ['--skip', r.choice(['5', '5', '0', '3', '7', '-2', 'x', '1e2', '5.5', '&HFF', '40000'])]
    if r.random() < 0.2:
        opts += ['--x-column', whole()]
    if r.random() < 0.2:
        opts += ['--y-column', whole()]
    for name in ('--x-coefficient', '--y-coefficient'):
        if r.random() < 0.15:
            opts += [name, r.choice(['1', '0.001', '-1', '0', '1e30', '3.4e38', '2', 'x', '1e-40'])]
    for name in ('--x-max', '--y-max'):
        if r.random() < 0.1:
            opts += [name, r.choice(['0', '1000', '500', '-5', '1e39', 'x', ''])]
    for name, choices in (('--start', ['20', '1', '0', '60', '2001', '-3', '15.5']),
                          ('--end', ['60', '20', '2000', '2001', '3', '100']),
                          ('--offset', ['2000', '0', '-100', '1e9', 'x', '0.2'])):
        if r.random() < 0.15:
            opts += [name, r.choice(choices)]
    if r.random() < 0.3:
        opts += ['--method', r.choice(['both', 'tangent', 'secant'])]
    opts += ['--format', r.choice(['json', 'csv'])]
    return opts


def run(binary, args, cwd):
    p = subprocess.run([binary] + args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120,
                       env=dict(os.environ, QT_QPA_PLATFORM='offscreen'))
    return p.returncode, p.stdout, p.stderr.replace(binary.encode(), b'tenso-eval')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--old')
    ap.add_argument('--base')
    ap.add_argument('--new', default=os.path.join(ROOT, 'build', 'src', 'cli', 'tenso-eval'))
    ap.add_argument('--cases', type=int, default=3000)
    ap.add_argument('--seed', type=int, default=1)
    a = ap.parse_args()

    scratch = tempfile.mkdtemp(prefix='tenso-differential-')
    try:
        old = a.old
        if not old:
            base = a.base or subprocess.run(['git', '-C', ROOT, 'merge-base', 'HEAD', 'main'], check=True,
                                            stdout=subprocess.PIPE, text=True).stdout.strip()
            print('building tenso-eval of %s in %s' % (base, scratch), flush=True)
            old = build_old(base, scratch)
        work = os.path.join(scratch, 'cases')
        os.makedirs(work)
        r = random.Random(a.seed)
        pool = []
        for k in range(60):  # a pool of files, remade now and then
            pool.append('f%02d.dat' % k)
            data_file(r, os.path.join(work, pool[-1]))
        differences = 0
        files_run = 0
        for case in range(a.cases):
            if case % 50 == 0:
                for name in r.sample(pool, 10):
                    data_file(r, os.path.join(work, name))
            names = [r.choice(pool + ['missing.dat', '.']) for _ in range(r.choice([1, 1, 1, 2, 3, 5]))]
            args = option_texts(r) + names
            files_run += len(names)
            got_old, got_new = run(old, args, work), run(a.new, args, work)
            if got_old != got_new:
                differences += 1
                keep = os.path.join(ROOT, 'build', 'differential-case-%d' % case)
                shutil.rmtree(keep, ignore_errors=True)
                shutil.copytree(work, keep)
                print('case %d differs: %s (files kept in %s)' % (case, ' '.join(args), keep), flush=True)
                print('  exit %s vs %s' % (got_old[0], got_new[0]))
                if differences >= 5:
                    break
        print('%d cases (%d file evaluations), %d differing' % (case + 1, files_run, differences))
        return 1 if differences else 0
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
