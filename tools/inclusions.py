#!/usr/bin/env python3
"""Checks the #include "..." lines of src/: each folder includes only itself and the folders
below it, and no file reaches itself through the files it includes. A header and the sources
that implement it (the same name, or with _posix or _windows) are one file here, so that a
source including a header that comes back to its own is a circle too. Prints what it finds, one
line each; exit 1 when anything is found."""
import os, re, sys

COUCHES = ["records", "console", "files", "characters", "items", "dungeon", "game", "serveur", "web"]
racine = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
inclusion = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

def module(chemin):
    return re.sub(r"(_posix|_windows)?\.(hpp|cpp|h)$", "", chemin.replace(os.sep, "/"))

lignes, inclus = {}, {}
for dossier, _, fichiers in os.walk(racine):
    for f in fichiers:
        if f.endswith((".hpp", ".cpp", ".h")):
            chemin = os.path.relpath(os.path.join(dossier, f), racine)
            with open(os.path.join(racine, chemin), errors="replace") as texte:
                lignes[chemin] = inclusion.findall(texte.read())
            inclus.setdefault(module(chemin), set())
for chemin, liste in lignes.items():
    inclus[module(chemin)] |= {module(i) for i in liste} - {module(chemin)}

fautes = []
for fichier, liste in sorted(lignes.items()):
    couche = fichier.split(os.sep)[0]
    for i in liste:
        autre = i.split("/")[0]
        if couche in COUCHES and autre in COUCHES and COUCHES.index(autre) > COUCHES.index(couche):
            fautes.append("%s includes %s, of a folder above its own" % (fichier, i))

# A circle: a file found again on the way down from itself.
etat = {}
def descendre(fichier, pile):
    etat[fichier] = "en cours"
    for i in sorted(inclus.get(fichier, [])):
        if i not in inclus:
            continue
        if etat.get(i) == "en cours":
            fautes.append("a circle of includes: " + " -> ".join(pile[pile.index(i):] + [i]))
        elif i not in etat:
            descendre(i, pile + [i])
    etat[fichier] = "fini"

for fichier in sorted(inclus):
    if fichier not in etat:
        descendre(fichier, [fichier])

for faute in fautes:
    print(faute)
sys.exit(1 if fautes else 0)
