// The page's terminal, joined to the lobby (or, with ?watch=GAME, to a game watched live) by a
// WebSocket, and the server's lists beside it.
'use strict';

// What the page and korva-web say to each other, as src/web/protocole.hpp writes it down, under
// the same names: keys go as binary messages, the terminal's size as a text message, the screen
// comes back as binary messages.
const CHEMIN_JEU = '/play';
const CHEMIN_REGARD = '/watch';
const PARAMETRE_REGARD = 'game';
const MOT_TAILLE = 'size';
const CHEMIN_ETAT = '/status.json';
const CHAMP_CLASSEMENT = 'ranking';
const CHAMP_GAGNEES = 'won';
const CHAMP_EN_COURS = 'playing';
const CHAMP_COMPTE = 'account';
const CHAMP_HEROS = 'hero';
const CHAMP_SCORE = 'score';
const CHAMP_FIN = 'ended';
const CHAMP_NIVEAU = 'level';
const CHAMP_REGARD = 'watch';

const LIGNES = 50;
const COLONNES = 110;
const POLICE_ESSAI = 20; // the font measured, then shrunk or grown to fit the window
const POLICE_MIN = 4;
const POLICE_MAX = 28;
const RAFRAICHIR_MS = 10000;

const regardee = new URLSearchParams(location.search).get('watch');
const etat = document.getElementById('etat');
const conteneur = document.getElementById('terminal');
const terminal = new Terminal({
  rows: LIGNES, cols: COLONNES, fontSize: POLICE_ESSAI, scrollback: 0,
  disableStdin: regardee !== null, fontFamily: 'DejaVu Sans Mono, monospace',
  theme: { background: '#000000', black: '#000000' }, // the game's black, as a console's
});
terminal.open(conteneur);

// The whole screen of the game stays in view: the font follows the room it has.
function ajuster() {
  const ecran = conteneur.querySelector('.xterm-screen').getBoundingClientRect();
  const echelle = Math.min(conteneur.clientWidth / ecran.width,
                           conteneur.clientHeight / ecran.height);
  const taille = Math.floor(terminal.options.fontSize * echelle);
  terminal.options.fontSize = Math.max(POLICE_MIN, Math.min(POLICE_MAX, taille));
}
ajuster();
window.addEventListener('resize', ajuster);

const adresse = (location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host +
  (regardee === null ? CHEMIN_JEU
    : CHEMIN_REGARD + '?' + PARAMETRE_REGARD + '=' + encodeURIComponent(regardee));
const ws = new WebSocket(adresse);
ws.binaryType = 'arraybuffer';
const encodeur = new TextEncoder();
const taille = () => ws.send(MOT_TAILLE + ' ' + terminal.rows + ' ' + terminal.cols);
ws.onopen = () => {
  etat.textContent = regardee === null ? 'Connected.' : 'Watching a game live.';
  taille();
  terminal.focus();
};
ws.onmessage = (message) => terminal.write(new Uint8Array(message.data));
ws.onclose = () => { etat.textContent = 'The connection is closed: reload the page to come back.'; };
terminal.onData((touches) => {
  if (ws.readyState === WebSocket.OPEN) {
    ws.send(encodeur.encode(touches));
  }
});
terminal.onResize(() => ws.readyState === WebSocket.OPEN && taille());

function element(balise, texte, lien) {
  const e = document.createElement(balise);
  if (lien) {
    const a = document.createElement('a');
    a.href = lien;
    a.target = '_blank';
    a.textContent = texte;
    e.appendChild(a);
  } else {
    e.textContent = texte;
  }
  return e;
}

function remplir(id, elements, ligne) {
  const liste = document.getElementById(id);
  liste.replaceChildren(...elements.map(ligne));
  if (elements.length === 0) {
    liste.appendChild(element('li', 'none yet'));
  }
}

async function rafraichir() {
  try {
    const reponse = await fetch(CHEMIN_ETAT, {cache: 'no-store'});
    const s = await reponse.json();
    remplir('en-cours', s[CHAMP_EN_COURS], (p) => element('li',
      `${p[CHAMP_HEROS]} (${p[CHAMP_COMPTE]}), level ${p[CHAMP_NIVEAU]}, ` +
      `score ${p[CHAMP_SCORE]}: watch`, '/?watch=' + encodeURIComponent(p[CHAMP_REGARD])));
    remplir('gagnees', s[CHAMP_GAGNEES], (p) => element('li',
      `${p[CHAMP_HEROS]} (${p[CHAMP_COMPTE]}), ${new Date(p[CHAMP_FIN] * 1000).toLocaleString()}`));
    remplir('classement', s[CHAMP_CLASSEMENT],
      (r) => element('li', `${r[CHAMP_HEROS]} ${r[CHAMP_SCORE]}`));
  } catch (e) {
    // the lists wait for the next try
  }
}
rafraichir();
setInterval(rafraichir, RAFRAICHIR_MS);
