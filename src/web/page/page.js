// The page's terminal, joined by a WebSocket to the lobby (with ?watch=GAME to a game watched
// live, with ?replay=GAME to a game ended watched again), and the server's lists beside it,
// pushed to the page as they change.
'use strict';

// What the page and korva-web say to each other, as src/web/protocole.hpp writes it down, under
// the same names.
const CHEMIN_JEU = '/play';
const CHEMIN_REGARD = '/watch';
const CHEMIN_REJEU = '/replay';
const PARAMETRE_REGARD = 'game';
const MOT_TAILLE = 'size';
const CHEMIN_EVENEMENTS = '/events';
const CHEMIN_PARTIES = '/games.json';
const PARAMETRE_COMPTE = 'account';
const CHEMIN_ORIGINES = '/origins.json';
const CHAMP_CLASSEMENT = 'ranking';
const CHAMP_GAGNEES = 'won';
const CHAMP_DERNIERES = 'latest';
const CHAMP_EN_COURS = 'playing';
const CHAMP_PARTIES = 'games';
const CHAMP_COMPTE = 'account';
const CHAMP_HEROS = 'hero';
const CHAMP_CLASSE = 'class';
const CHAMP_ISSUE = 'outcome';
const CHAMP_SCORE = 'score';
const CHAMP_FIN = 'ended';
const CHAMP_NIVEAU = 'level';
const CHAMP_INACTIF = 'idle';
const CHAMP_REGARD = 'watch';
const CHAMP_REJEU = 'replay';

const LIGNES = 50;
const COLONNES = 110;
const POLICE_MIN = 4; // the font's bounds, in pixels, and the halvings of the search between
const POLICE_MAX = 64;
const RECHERCHES = 12;
const PANNEAU_MIN = 260; // the room, in pixels, the lists need to stand beside the terminal
const REPRISE_MIN_MS = 1000; // the pushes' connection, tried again after a wait that doubles
const REPRISE_MAX_MS = 60000;
const MINUTE = 60;

const question = new URLSearchParams(location.search);
const regardee = question.get('watch');
const rejouee = question.get('replay');
const etat = document.getElementById('etat');
const conteneur = document.getElementById('terminal');
const listes = document.getElementById('listes');
const plier = document.getElementById('plier');
const terminal = new Terminal({
  rows: LIGNES, cols: COLONNES, fontSize: POLICE_MIN, scrollback: 0,
  disableStdin: regardee !== null, fontFamily: 'DejaVu Sans Mono, monospace',
  theme: { background: '#000000', black: '#000000' }, // the game's black, as a console's
});
terminal.open(conteneur);

function montrer(ouvertes) {
  listes.hidden = !ouvertes;
  plier.textContent = ouvertes ? 'Hide lists' : 'Lists';
  plier.setAttribute('aria-expanded', String(ouvertes));
}
plier.onclick = () => {
  montrer(listes.hidden);
  terminal.focus(); // the keys go on to the game
};

// The game's whole screen in the whole window, as large as it fits: the largest font whose
// cells, as the terminal measures them, hold 110 columns and 50 lines. The lists take the room
// it leaves beside it or below it, whichever is larger; where that is too little, they fold
// behind a button, and open over the terminal.
function ajuster() {
  const ecran = conteneur.querySelector('.xterm-screen');
  const tient = (taille) => {
    terminal.options.fontSize = taille;
    return ecran.offsetWidth <= innerWidth && ecran.offsetHeight <= innerHeight;
  };
  let petite = POLICE_MIN;
  let grande = POLICE_MAX;
  for (let i = 0; i < RECHERCHES; ++i) {
    const milieu = (petite + grande) / 2;
    [petite, grande] = tient(milieu) ? [milieu, grande] : [petite, milieu];
  }
  tient(petite);
  const cote = innerWidth - ecran.offsetWidth;
  const dessous = innerHeight - ecran.offsetHeight;
  // Where the lists begin, across the window's `taille`, when `libre` is left them.
  const debut = (taille, libre) => Math.max(0, taille - Math.max(libre, PANNEAU_MIN));
  const [gauche, haut] = cote >= dessous ? [debut(innerWidth, cote), 0]
    : [0, debut(innerHeight, dessous)];
  listes.style.left = gauche + 'px';
  listes.style.top = plier.style.top = haut + 'px';
  montrer(Math.max(cote, dessous) >= PANNEAU_MIN);
}
ajuster();
window.addEventListener('resize', ajuster);

// What the page says of its connection, where the lists are, opened so that it is read; with
// the addresses to open instead, if any.
function dire(texte, liens = []) {
  etat.replaceChildren(texte);
  liens.forEach((lien, i) => etat.append(i === 0 ? ' ' : ' or ', element('a', lien, lien, false)));
  montrer(true);
}

const base = (location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host;
const nomme = (chemin, nom) => chemin + '?' + PARAMETRE_REGARD + '=' + encodeURIComponent(nom);
const ws = new WebSocket(base + (regardee !== null ? nomme(CHEMIN_REGARD, regardee)
  : rejouee !== null ? nomme(CHEMIN_REJEU, rejouee) : CHEMIN_JEU));
ws.binaryType = 'arraybuffer';
const encodeur = new TextEncoder();
const taille = () => ws.send(MOT_TAILLE + ' ' + terminal.rows + ' ' + terminal.cols);
let ouverte = false;
ws.onopen = () => {
  ouverte = true;
  etat.textContent = regardee !== null ? 'Watching a game live.'
    : rejouee !== null ? 'Watching a game again: Space pauses, + and - change the speed, q ends.'
      : 'Connected.';
  taille();
  terminal.focus();
};
ws.onmessage = (message) => terminal.write(new Uint8Array(message.data));
ws.onclose = () => (ouverte ? dire('The connection is closed: reload the page to come back.')
  : refusee());
terminal.onData((touches) => {
  if (ws.readyState === WebSocket.OPEN) {
    ws.send(encodeur.encode(touches));
  }
});
terminal.onResize(() => ws.readyState === WebSocket.OPEN && taille());

// Refused before it opened: a page opened at an address the server does not take for its own
// (127.0.0.1 for localhost, say) is told the address to open, since reloading never helps.
async function refusee() {
  let origines = [];
  try {
    origines = await (await fetch(CHEMIN_ORIGINES, { cache: 'no-store' })).json();
  } catch (e) {
    // none known
  }
  if (origines.length > 0 && !origines.includes(location.origin)) {
    dire('This page is not at the server\'s address: open', origines.map((o) => o + '/'));
  } else {
    dire('The connection was refused (the server is full, or the game is over): try again later.');
  }
}

function element(balise, texte, lien, ailleurs = true) {
  const e = document.createElement(balise);
  e.textContent = texte;
  if (lien) {
    e.href = lien;
    e.target = ailleurs ? '_blank' : '_self';
  }
  return e;
}

function ligne(...morceaux) {
  const li = document.createElement('li');
  li.append(...morceaux);
  return li;
}

function remplir(id, elements, ecrire) {
  const liste = document.getElementById(id);
  liste.replaceChildren(...elements.map(ecrire));
  if (elements.length === 0) {
    liste.appendChild(ligne('none yet'));
  }
}

// An account's name, which shows its own games when clicked.
function compte(nom) {
  const bouton = element('button', nom);
  bouton.type = 'button';
  bouton.className = 'compte';
  bouton.onclick = () => montrerCompte(nom);
  return bouton;
}
const qui = (p) => [p[CHAMP_HEROS] + ' (', compte(p[CHAMP_COMPTE]), ')'];
const date = (secondes) => new Date(secondes * 1000).toLocaleString();
const inactif = (secondes) => (secondes < MINUTE ? 'active'
  : 'idle ' + Math.floor(secondes / MINUTE) + ' min');

// A game ended, with its recording to watch again while it is kept.
function finie(p, avecCompte) {
  const texte = `, ${p[CHAMP_CLASSE]}, ${p[CHAMP_ISSUE]} on level ${p[CHAMP_NIVEAU]}, ` +
    `score ${p[CHAMP_SCORE]}, ${date(p[CHAMP_FIN])}`;
  return ligne(...(avecCompte ? qui(p) : [p[CHAMP_HEROS]]), texte,
    ...(p[CHAMP_REJEU] === null ? []
      : [': ', element('a', 'watch again', '/?replay=' + encodeURIComponent(p[CHAMP_REJEU]))]));
}

let compteMontre = null;
async function montrerCompte(nom) {
  const hexa = Array.from(encodeur.encode(nom), (o) => o.toString(16).padStart(2, '0')).join('');
  try {
    const reponse = await fetch(CHEMIN_PARTIES + '?' + PARAMETRE_COMPTE + '=' + hexa,
      { cache: 'no-store' });
    const s = await reponse.json();
    compteMontre = nom;
    document.getElementById('titre-compte').textContent = 'Games of ' + nom;
    remplir('parties-compte', s[CHAMP_PARTIES], (p) => finie(p, false));
    document.getElementById('compte').hidden = false;
  } catch (e) {
    // shown at the next click
  }
}

function afficher(s) {
  remplir('en-cours', s[CHAMP_EN_COURS], (p) => ligne(...qui(p),
    `, level ${p[CHAMP_NIVEAU]}, score ${p[CHAMP_SCORE]}, ${inactif(p[CHAMP_INACTIF])}: `,
    element('a', 'watch', '/?watch=' + encodeURIComponent(p[CHAMP_REGARD]))));
  remplir('dernieres', s[CHAMP_DERNIERES], (p) => finie(p, true));
  remplir('gagnees', s[CHAMP_GAGNEES], (p) => finie(p, true));
  remplir('classement', s[CHAMP_CLASSEMENT], (r) => ligne(r[CHAMP_HEROS],
    ...(r[CHAMP_COMPTE] === undefined ? [] : [' (', compte(r[CHAMP_COMPTE]), ')']),
    ` ${r[CHAMP_SCORE]}`));
  if (compteMontre !== null) {
    montrerCompte(compteMontre);
  }
}

// The lists as the server pushes them, each time they change; tried again when it drops.
function suivre(attente) {
  const evenements = new WebSocket(base + CHEMIN_EVENEMENTS);
  evenements.onopen = () => { attente = REPRISE_MIN_MS; };
  evenements.onmessage = (message) => afficher(JSON.parse(message.data));
  evenements.onclose = () => setTimeout(() => suivre(Math.min(2 * attente, REPRISE_MAX_MS)),
    attente);
}
suivre(REPRISE_MIN_MS);
