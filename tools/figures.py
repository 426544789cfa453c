#!/usr/bin/env python3
"""Writes a measured figure into doc/figures.md, the one file where the figures the tools
measure stand: nobody pastes them by hand, so they never go stale unseen.

Usage:
    python3 tools/figures.py SECTION COMMAND...   runs COMMAND, shows its output, and writes
                                                  that output as the section SECTION
    python3 tools/figures.py tests                counts the tests against the code, as the
                                                  house counts them, and writes that section
    python3 tools/figures.py bench FILE.json      turns korva_bench's JSON output into its table

Each section stands between the lines "<!-- SECTION -->" and "<!-- /SECTION -->", headed with
the date, the commit and the command that measured it. Exit status: the command's.
"""

import datetime
import json
import os
import re
import subprocess
import sys

ICI = os.path.dirname(os.path.abspath(__file__))
DEPOT = os.path.normpath(os.path.join(ICI, '..'))
FIGURES = os.path.join(DEPOT, 'doc', 'figures.md')
# Comment-only lines, by file ending, which the count leaves out with blank lines.
COMMENTAIRES = {'.cpp': '//', '.hpp': '//', '.h': '//', '.js': '//', '.mjs': '//', '.ts': '//',
                '.py': '#', '.sh': '#'}


def ecrire_section(section, corps, commande):
    texte = open(FIGURES, encoding='utf-8').read() if os.path.exists(FIGURES) else ''
    debut, fin = f'<!-- {section} -->', f'<!-- /{section} -->'
    commit = subprocess.run(['git', '-C', DEPOT, 'rev-parse', '--short', 'HEAD'],
                            capture_output=True, text=True).stdout.strip() or 'no commit'
    date = datetime.date.today().isoformat()
    bloc = (f'{debut}\n_Measured on {date} at commit {commit} by `{commande}`._\n\n'
            f'{corps.rstrip()}\n{fin}')
    motif = re.compile(re.escape(debut) + '.*?' + re.escape(fin), re.S)
    texte = motif.sub(lambda _: bloc, texte) if motif.search(texte) else texte + '\n' + bloc + '\n'
    open(FIGURES, 'w', encoding='utf-8').write(texte)


def lignes_de_code(*dossiers):
    fichiers = subprocess.run(['git', '-C', DEPOT, 'ls-files', '--', *dossiers],
                              capture_output=True, text=True).stdout.split()
    total = 0
    for f in fichiers:
        marque = COMMENTAIRES.get(os.path.splitext(f)[1])
        if marque is None:
            continue
        with open(os.path.join(DEPOT, f), errors='replace') as lu:
            total += sum(1 for l in lu if l.strip() and not l.strip().startswith(marque))
    return total


def taille_des_tests():
    code, tests = lignes_de_code('src'), lignes_de_code('tests', 'fuzz')
    return (f'{tests:,} lines of tests (`tests/`, `fuzz/`) for {code:,} lines of code (`src/`): '
            f'{100 * tests // code}%, against a third at most. Transcripts and golden data are '
            'data, not code.\n')


def table_du_banc(chemin):
    # Named by family and argument, without the iteration count Google Benchmark adds.
    mesures = {b['name'].split('/iterations')[0]: b for b in json.load(open(chemin))['benchmarks']}
    lignes = ['| Walk | Bytes per step, median | Worst step | Prefix-code turn | '
              'Writes per turn, at most | Whole redraw, per turn |', '|---|---|---|---|---|---|']
    for niveau in (1, 5):
        m = mesures[f'marche/level{niveau}']
        lignes.append(f'| level {niveau} | ' + ' | '.join(
            f'{m[c]:,.0f}' for c in ('step_bytes_median', 'step_bytes_worst',
                                     'prefix_turn_bytes_worst', 'writes_per_turn_max',
                                     'full_redraw_step_bytes_median')) + ' |')
    lignes.append('')
    for niveau in (1, 5):
        pas = mesures[f'diff_d_un_pas/level{niveau}']
        lignes.append(f'One step\'s differences computed on level {niveau}: '
                      f'{pas["real_time"]:.1f} {pas["time_unit"].replace("us", "µs")}.')
    return '\n'.join(lignes) + '\n'


def main(arguments):
    if arguments == ['tests']:
        ecrire_section('tests', taille_des_tests(), 'python3 tools/figures.py tests')
        return 0
    if len(arguments) == 2 and arguments[0] == 'bench':
        ecrire_section('bench', table_du_banc(arguments[1]), 'make bench')
        return 0
    if len(arguments) < 2:
        sys.exit(__doc__)
    section, commande = arguments[0], arguments[1:]
    # Shown as it comes (a run of the mutants takes an hour); its progress lines are not kept.
    gardees = []
    with subprocess.Popen(commande, stdout=subprocess.PIPE, text=True) as fait:
        for ligne in fait.stdout:
            sys.stdout.write(ligne)
            sys.stdout.flush()
            if not re.match(r'(\[\d+/\d+\]|Building the unbroken game)', ligne):
                gardees.append(ligne)
    # The mutants' share is worth writing down when it falls short too: it says what to mend.
    if fait.returncode == 0 or section == 'mutants':
        ecrire_section(section, ''.join(gardees).strip('\n') + '\n',
                       ' '.join(os.path.relpath(c, DEPOT) if os.path.isabs(c) else c
                                for c in commande))
    return fait.returncode


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
