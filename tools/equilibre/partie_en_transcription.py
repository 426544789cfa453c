#!/usr/bin/env python3
"""Writes tests/transcriptions/partie.txt, a whole game through the dungeon frozen in
tests/niveaux_figes (a copy of the shipped levels kept with the tests, so that redrawing the
shipped maps leaves the transcript alone), from the keys the balance tool plays for the first
seed whose careful hero of the class wins. After a change of the rules the game plays by, or of
the frozen copy (copied again from fichiers/niveaux on purpose):

    python3 tools/equilibre/partie_en_transcription.py 0         # the keys, a screen every 30
    KORVA_REGENERER=1 build/korva_tests --gtest_filter='*partie'
    python3 tools/equilibre/partie_en_transcription.py --elaguer # one screen a level, a save
    KORVA_REGENERER=1 build/korva_tests --gtest_filter='*partie'

then read the transcript before committing it. The first step needs build/korva_equilibre.
"""

import os
import re
import subprocess
import sys

ICI = os.path.dirname(os.path.abspath(__file__))
DEPOT = os.path.normpath(os.path.join(ICI, '..', '..'))
PARTIE = os.path.join(DEPOT, 'tests', 'transcriptions', 'partie.txt')
FLECHES = ('up', 'down', 'left', 'right')
PAR_LIGNE = 30  # reads on one input line of the transcript

ENTETE = '''# A whole game through the dungeon of tests/niveaux_figes, played as a careful {classe}:
# every monster in the way fought, everything within reach taken, potions drunk before the
# fights they help; a save, quitting and loading on the way into level 3; the victory screen;
# the registry at the end, which keeps the last save's score: a won game is not saved; the
# games log, a game quit then a game won. The keys are what the balance tool plays for the
# first seed that wins (korva_equilibre --niveaux tests/niveaux_figes --script {code}); the script
# tools/equilibre/partie_en_transcription.py writes them again.
seed {graine}
levels niveaux_figes
> . 1 "Hugo" "{code}"
---
> .
---
'''
CLASSES = ['warrior', 'magician', 'priest', 'crafty']


def jetons(script):
    """The script's reads, in the words of a recording (key CODE, up down left right, pause,
    line TEXT), as transcript tokens."""
    sortie = []
    for lu in script.splitlines():
        if not lu or lu.startswith('#'):
            continue
        mots = lu.split(' ', 1)
        if mots[0] in FLECHES:
            sortie.append(mots[0])
        elif mots[0] == 'pause':
            sortie.append('.')
        elif mots[0] == 'line':
            sortie.append('"' + mots[1] + '"')
        else:
            code = int(mots[1])
            sortie.append(chr(code) if 32 < code < 127 and chr(code) not in '"#*' else f'#{code}')
    return sortie


def ligne(morceau):
    """Runs of one token written once, with their count."""
    groupes = []
    for jeton in morceau:
        if groupes and groupes[-1][0] == jeton:
            groupes[-1][1] += 1
        else:
            groupes.append([jeton, 1])
    return '> ' + ' '.join(j if n == 1 else f'{j}*{n}' for j, n in groupes)


def ecrire(code):
    script = subprocess.run([os.path.join(DEPOT, 'build', 'korva_equilibre'), '--niveaux',
                             os.path.join(DEPOT, 'tests', 'niveaux_figes'), '--script', code],
                            check=True, stdout=subprocess.PIPE, text=True).stdout
    graine = re.match(r'# seed (\d+)', script).group(1)
    tous = jetons(script)
    texte = ENTETE.format(classe=CLASSES[int(code)], graine=graine, code=code)
    # The last key answers the victory screen: on a line of its own, so that the screen shows.
    for debut in range(0, len(tous) - 1, PAR_LIGNE):
        texte += ligne(tous[debut:min(debut + PAR_LIGNE, len(tous) - 1)]) + '\n---\n'
    texte += ligne(tous[-1:]) + '\n---\nexpect fichiers/personnages/joueurs.txt\nend\n'
    texte += 'expect fichiers/parties.txt\nend\n'
    open(PARTIE, 'w').write(texte)


def elaguer():
    """Keeps the sheet, the first board of each level, the victory and the menu after it;
    saves, quits and loads at the first board of level 3."""
    lignes = open(PARTIE).read().split('\n')
    sortie, niveaux = [], set()
    ecrans = [n for n, l in enumerate(lignes) if l.startswith('---')]
    for n, l in enumerate(lignes):
        if l.startswith(('|', '! ', '=== ')):
            continue
        if l.startswith('---'):
            fin = next((m for m in range(n + 1, len(lignes)) if not lignes[m].startswith('|')),
                       len(lignes))
            ecran = '\n'.join(lignes[n + 1:fin])
            niveau = re.search(r'Level : (\d)', ecran)
            nouveau = l.startswith('--- key') and niveau and niveau.group(1) not in niveaux
            if n in ecrans[:2] or n == ecrans[-1] or nouveau or 'CONGRATULATION' in ecran:
                sortie.append('---')
                if nouveau:
                    niveaux.add(niveau.group(1))
                    if niveau.group(1) == '3':
                        sortie += ['> s q N 2', '---', '> "1"', '---']
            continue
        sortie.append(l)
    open(PARTIE, 'w').write('\n'.join(sortie) + '\n')


if __name__ == '__main__':
    if sys.argv[1:] == ['--elaguer']:
        elaguer()
    elif len(sys.argv) == 2 and sys.argv[1] in ('0', '1', '2', '3'):
        ecrire(sys.argv[1])
    else:
        sys.exit(__doc__)
