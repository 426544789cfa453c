#!/usr/bin/env python3
"""Breaks the game one line at a time and tells which breaks the test suite catches.

Usage: python3 tools/mutants/mutants.py [--liste FILE] [--seulement TEXT] [--garder]
(`make mutants` runs it). Each break of tools/mutants/cassures.txt is a rule a player can
see, broken by a one-line change in src/. The script copies the repository's tracked files
into a scratch folder (build-mutants/), builds it once, then for each break: changes the
line, rebuilds, runs the suite, and puts the line back. A break is caught when some test
fails; one that no longer compiles is the list's fault, and counted apart. It ends with the share
caught and the list of survivors.

The list, tools/mutants/cassures.txt, holds one block per break:

    @ src/dungeon/resolution.cpp: a potion or key picked up stays on its cell
    - cible.typeCase = CASE_VIDE;
    + (the new text; an empty "+" line removes the line)

The "-" text must stand exactly once in the file (leading blanks ignored), or a line "= N"
picks its Nth place; a break whose text is no longer found so is reported as stale, so the
list keeps up with the code.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time

ICI = os.path.dirname(os.path.abspath(__file__))
DEPOT = os.path.normpath(os.path.join(ICI, '..', '..'))


def lire_cassures(chemin):
    cassures, courante = [], None
    with open(chemin, encoding='utf-8') as f:
        for numero, brute in enumerate(f, 1):
            ligne = brute.rstrip('\n')
            if ligne.startswith('@ '):
                fichier, _, raison = ligne[2:].partition(': ')
                courante = {'fichier': fichier, 'raison': raison, 'avant': None, 'apres': None,
                            'ligne': numero, 'place': 0}
                cassures.append(courante)
            elif ligne.startswith('- ') and courante:
                courante['avant'] = ligne[2:]
            elif ligne.startswith('= ') and courante:
                courante['place'] = int(ligne[2:])
            elif (ligne.startswith('+ ') or ligne == '+') and courante:
                courante['apres'] = ligne[2:]
            elif ligne.strip() and not ligne.startswith('#'):
                sys.exit(f'{chemin}:{numero}: unknown line {ligne!r}')
    for c in cassures:
        if c['avant'] is None or c['apres'] is None:
            sys.exit(f'{chemin}:{c["ligne"]}: a break needs a "-" line and a "+" line')
    return cassures


def lancer(commande, dossier, delai=None):
    try:
        r = subprocess.run(commande, cwd=dossier, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=delai)
        return r.returncode
    except subprocess.TimeoutExpired:
        return -1


def preparer(copie):
    fichiers = subprocess.run(['git', 'ls-files', '-z'], cwd=DEPOT, check=True,
                              stdout=subprocess.PIPE).stdout.decode().split('\0')
    suivis = set(filter(None, fichiers))
    # What the repository no longer holds leaves the copy too.
    for dossier, sous_dossiers, noms in os.walk(copie):
        if os.path.relpath(dossier, copie) == '.':
            sous_dossiers[:] = [d for d in sous_dossiers if d != 'build']
        for nom in noms:
            chemin = os.path.join(dossier, nom)
            if os.path.relpath(chemin, copie) not in suivis:
                os.remove(chemin)
    for relatif in suivis:
        source, cible = os.path.join(DEPOT, relatif), os.path.join(copie, relatif)
        if os.path.isfile(source):
            os.makedirs(os.path.dirname(cible), exist_ok=True)
            if not os.path.exists(cible) or open(source, 'rb').read() != open(cible, 'rb').read():
                shutil.copy(source, cible)  # a fresh time, so that the build sees it changed
    construction = os.path.join(copie, 'build')
    if lancer(['cmake', '-S', '.', '-B', 'build', '-DCMAKE_BUILD_TYPE=Release'], copie) != 0 or \
            lancer(['cmake', '--build', 'build', '-j', '2'], copie) != 0:
        sys.exit('the unbroken game does not build in ' + copie)
    if lancer(['ctest', '--test-dir', 'build', '-j', '2', '--timeout', '120'], copie) != 0:
        sys.exit('the unbroken game fails its tests in ' + copie)
    return construction


def essayer(copie, cassure):
    chemin = os.path.join(copie, cassure['fichier'])
    texte = open(chemin, encoding='utf-8').read()
    lignes = texte.split('\n')
    trouvees = [i for i, l in enumerate(lignes) if l.strip() == cassure['avant'].strip()]
    place = cassure['place']
    if (len(trouvees) != 1 and not place) or (place and len(trouvees) < place):
        return 'stale'
    i = trouvees[place - 1 if place else 0]
    retrait = lignes[i][:len(lignes[i]) - len(lignes[i].lstrip())]
    cassee = lignes[:i] + ([retrait + cassure['apres']] if cassure['apres'] else []) + lignes[i + 1:]
    try:
        open(chemin, 'w', encoding='utf-8').write('\n'.join(cassee))
        if lancer(['cmake', '--build', 'build', '-j', '2'], copie) != 0:
            return 'does not build'
        rc = lancer(['ctest', '--test-dir', 'build', '-j', '2', '--timeout', '60',
                     '--stop-on-failure'], copie, delai=900)
        return 'survived' if rc == 0 else 'caught'
    finally:
        open(chemin, 'w', encoding='utf-8').write(texte)
        os.utime(chemin)


def main():
    parametres = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parametres.add_argument('--liste', default=os.path.join(ICI, 'cassures.txt'))
    parametres.add_argument('--seulement', default='', help='only the breaks whose file or '
                            'reason holds this text')
    parametres.add_argument('--copie', default=os.path.join(DEPOT, 'build-mutants'))
    arguments = parametres.parse_args()
    cassures = [c for c in lire_cassures(arguments.liste)
                if arguments.seulement in c['fichier'] + c['raison']]
    os.makedirs(arguments.copie, exist_ok=True)
    print(f'Building the unbroken game in {arguments.copie} ...', flush=True)
    preparer(arguments.copie)
    resultats = {}
    for n, cassure in enumerate(cassures, 1):
        debut = time.time()
        verdict = essayer(arguments.copie, cassure)
        resultats.setdefault(verdict, []).append(cassure)
        print(f'[{n}/{len(cassures)}] {verdict:>14}  {cassure["fichier"]}: {cassure["raison"]}'
              f'  ({time.time() - debut:.0f} s)', flush=True)
    # Put the copy back as it was, so that the next run starts from a built, unbroken game.
    lancer(['cmake', '--build', 'build', '-j', '2'], arguments.copie)
    pris = len(resultats.get('caught', []))
    essayees = pris + len(resultats.get('survived', []))
    print()
    for verdict in ('survived', 'stale', 'does not build'):
        for c in resultats.get(verdict, []):
            print(f'{verdict}: {c["fichier"]}: {c["raison"]}  (list line {c["ligne"]})')
    part = 100.0 * pris / essayees if essayees else 0.0
    faux = len(resultats.get('stale', [])) + len(resultats.get('does not build', []))
    print(f'\n{pris} of {essayees} breaks caught ({part:.1f}%); '
          f'{faux} to mend in the list (stale or not building).')
    return 0 if part >= 95.0 and not faux else 1


if __name__ == '__main__':
    sys.exit(main())
