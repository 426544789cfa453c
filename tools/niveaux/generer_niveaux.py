#!/usr/bin/env python3
"""Turns the ASCII maps of cartes/ into the level files the game reads.

Usage: python3 tools/niveaux/generer_niveaux.py [destination]
(destination defaults to fichiers/niveaux of the repository). The game and the test suite read
only the generated files; this script is for whoever edits the maps.

A map file holds comment lines (#! at the start), the line "niveau N", optionally the line
"retour ouvre <letters>" naming the locked doors already opened in the file loaded when the hero
comes back (their keys are gone from it too), then the line "carte" and the map, one text line
per board row. Legend:

  #  external wall (the border)       +  internal wall
  .  empty floor                      :  passage (walkable, drawn blank)
  @  closed door, opens on asking     *  collapsed rocks
  A..I  locked door needing key 1..9  a..i  key 1..9
  M  monster                          &  the Dungeon Guardian
  !  potion                           [  armor
  )  sword                            $  gold
  ?  parchment
  S  the hero entering the level going forward (the `g` file)
  R  the hero coming back from the next level (the `d` file)

Around the hero's start a block of 7 rows by 9 columns is written as already seen.
"""

import os
import sys

TYPES = {
    '.': 0, '#': 1, '+': 2, '@': 3, ':': 4, '*': 5, 'M': 7, '!': 8, '[': 9, ')': 10,
    '$': 11, '?': 13, '&': 14, 'S': 0, 'R': 0,
}
PORTE_CLE, CLE = 6, 12
DECALAGE_CLE = 6
VUE_LIGNES, VUE_COLONNES = 3, 4


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
    if (i, j) == (0, 0):
        return TYPES[car], niveau + 1
    if 'A' <= car <= 'I':
        if car in ouvertes:
            return 0, 0
        return PORTE_CLE, ord(car) - ord('A') + 1 + DECALAGE_CLE
    if 'a' <= car <= 'i':
        if car.upper() in ouvertes:
            return 0, 0
        return CLE, ord(car) - ord('a') + 1 + DECALAGE_CLE
    if car not in TYPES:
        sys.exit(f'unknown map character {car!r} at row {i}, column {j}')
    return TYPES[car], 0


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
    ici = os.path.dirname(os.path.abspath(__file__))
    destination = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ici, '..', '..', 'fichiers', 'niveaux')
    dossier = os.path.join(ici, 'cartes')
    for nom in sorted(os.listdir(dossier)):
        if not nom.endswith('.txt'):
            continue
        niveau, ouvertes, lignes = lire_carte(os.path.join(dossier, nom))
        ecrire_niveau(os.path.join(destination, f'niveau{niveau}g.txt'), niveau, lignes, 'S', '')
        if any('R' in l for l in lignes):
            ecrire_niveau(os.path.join(destination, f'niveau{niveau}d.txt'), niveau, lignes, 'R',
                          ouvertes)


if __name__ == '__main__':
    main()
