#!/usr/bin/env python3
"""Turns the ASCII maps of cartes/ into the level files the game reads.

Usage: python3 tools/niveaux/generer_niveaux.py [destination]
       python3 tools/niveaux/generer_niveaux.py --legende
(destination defaults to fichiers/niveaux of the repository; --legende prints the maps' signs).
The game and the test suite read only the generated files; this script is for whoever edits the
maps.

A map file holds comment lines (#! at the start), the line "niveau N", optionally the line
"retour ouvre <letters>" naming the locked doors already opened in the file loaded when the hero
comes back (their keys are gone from it too), then the line "carte" and the map, one text line
per board row. Each kind of cell has the sign the game's table of kinds gives it
(src/records/sortes_cases.hpp, read here); a kind that carries a key number (locked doors and
keys) takes its sign for key 1 and the eight signs that follow it for keys 2 to 9. Besides:

  S  the hero entering the level going forward (the `g` file)
  R  the hero coming back from the next level (the `d` file), standing on floor

Around the hero's start a block of 7 rows by 9 columns is written as already seen.
"""

import os
import re
import sys

ICI = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(ICI, '..', '..', 'src', 'records', 'sortes_cases.hpp')
DECALAGE_CLE = 6
VUE_LIGNES, VUE_COLONNES = 3, 4
HEROS = 'SR'


def lire_table():
    """The kinds of the game's table: {sign: (code, name, carries a key number)}."""
    texte = open(TABLE, encoding='ascii').read()
    codes = {nom: int(code) for nom, code in
             re.findall(r'^inline constexpr int (\w+) = (\d+);', texte, re.M)}
    sortes = {}
    ligne = re.compile(r'^\s*\{(\w+),\s*"([^"]*)",\s*\'(?:[^\'\\]|\\x[0-9A-Fa-f]{2})\',\s*\w+,\s*'
                       r"'([^'\\])',\s*(?:true|false),\s*(?:true|false),\s*(true|false),", re.M)
    for nom, chose, signe, numero in ligne.findall(texte):
        if nom not in codes or signe in sortes or signe in HEROS:
            sys.exit(f'{TABLE}: the row of {nom} cannot be read')
        sortes[signe] = (codes[nom], chose, numero == 'true')
    if sorted(code for code, _, _ in sortes.values()) != list(range(len(sortes))):
        sys.exit(f'{TABLE}: the rows and the codes do not match')
    return sortes


SORTES = lire_table()


def sorte(car):
    """(code, key number) of a map sign; None for a sign of no kind."""
    for signe, (code, _, numero) in SORTES.items():
        if car == signe:
            return code, 1 if numero else 0
        if numero and 0 < ord(car) - ord(signe) < 9:
            return code, ord(car) - ord(signe) + 1
    return None


def lire_carte(chemin):
    niveau, ouvertes, lignes, dans_carte = None, '', [], False
    with open(chemin, encoding='ascii') as f:
        for brute in f:
            ligne = brute.rstrip('\n')
            if dans_carte:
                if ligne:
                    lignes.append(ligne)
            elif ligne.startswith('#!') or not ligne.strip():
                continue
            elif ligne.startswith('niveau '):
                niveau = int(ligne.split()[1])
            elif ligne.startswith('retour ouvre'):
                ouvertes = ''.join(ligne.split()[2:])
            elif ligne == 'carte':
                dans_carte = True
            else:
                sys.exit(f'{chemin}: unknown line {ligne!r}')
    if niveau is None or not lignes:
        sys.exit(f'{chemin}: no "niveau" line or no map')
    largeur = len(lignes[0])
    for i, ligne in enumerate(lignes):
        if len(ligne) != largeur:
            sys.exit(f'{chemin}: row {i} has {len(ligne)} columns, not {largeur}')
    return niveau, ouvertes, lignes


def cellule(car, niveau, i, j, heros, ouvertes):
    if car == heros:
        return 0, 1
    if car in HEROS:
        return 0, 0
    trouvee = sorte(car)
    if trouvee is None:
        sys.exit(f'unknown map character {car!r} at row {i}, column {j}')
    code, numero = trouvee
    if (i, j) == (0, 0):
        return code, niveau + 1
    if numero and numero in ouvertes:
        return 0, 0
    return code, numero + DECALAGE_CLE if numero else 0


def ecrire_niveau(chemin, niveau, lignes, heros, ouvertes):
    depart = [(i, l.index(heros)) for i, l in enumerate(lignes) if heros in l]
    if len(depart) != 1:
        sys.exit(f'{chemin}: the map needs exactly one {heros!r}')
    hi, hj = depart[0]
    sortie = [f'{len(lignes)}\n{len(lignes[0])}\n']
    for i, ligne in enumerate(lignes):
        for j, car in enumerate(ligne):
            type_case, statut = cellule(car, niveau, i, j, heros, ouvertes)
            vu = 1 if abs(i - hi) <= VUE_LIGNES and abs(j - hj) <= VUE_COLONNES else 0
            sortie.append(f'{{{type_case},{statut},{vu}}},')
        sortie.append('\n')
    with open(chemin, 'w', encoding='ascii', newline='\n') as f:
        f.write(''.join(sortie))


def main():
    if sys.argv[1:] == ['--legende']:
        for signe, (code, chose, numero) in SORTES.items():
            suite = f'{chr(ord(signe) + 1)} to {chr(ord(signe) + 8)}'
            fin = f' (key 1; {suite}: keys 2 to 9)' if numero else ''
            print(f'  {signe}  {code:2}  {chose}{fin}')
        return
    destination = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ICI, '..', '..', 'fichiers',
                                                                      'niveaux')
    dossier = os.path.join(ICI, 'cartes')
    for nom in sorted(os.listdir(dossier)):
        if not nom.endswith('.txt'):
            continue
        niveau, ouvertes, lignes = lire_carte(os.path.join(dossier, nom))
        ecrire_niveau(os.path.join(destination, f'niveau{niveau}g.txt'), niveau, lignes, 'S', set())
        if any('R' in l for l in lignes):
            numeros = {sorte(car)[1] for car in ouvertes}
            ecrire_niveau(os.path.join(destination, f'niveau{niveau}d.txt'), niveau, lignes, 'R',
                          numeros)


if __name__ == '__main__':
    main()
