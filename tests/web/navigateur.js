// A player in a real browser (Debian's chromium, headless, through its DevTools protocol), on a
// page served over TLS with a certificate of the test's own: the page reloaded a hundred times
// leaves no lobby behind; registers, logs in, makes a hero (a slip in each name mended with
// Backspace) and steps right on the tests' first level, read from the terminal widget's text
// and in a screenshot, on a board as large as a 1366x768 window's height allows; Ctrl-C asks
// the game's question, whose 'Y' saves the step; a second page watches the game live; closing
// the first page ends the game, which the calling test finds saved where the hero last stood,
// and which the second page's lists, never reloaded, then show ended, among its account's
// games, to watch again. A page opened at another address is told the server's; on a narrow
// window, its lists stand below the board.
// Usage: node navigateur.js URL SCREENSHOT SERVICE_PID
'use strict';
const fs = require('fs');
const path = require('path');
const { chromium } = require('playwright-core');

const [url, capture, service] = process.argv.slice(2);
const ATTENTE_MS = 15000;
const RECHARGEMENTS = 100;

// The terminal widget's lines, as its buffer holds them.
const ecran = (page) => page.evaluate(() => {
  const b = terminal.buffer.active;
  return Array.from({ length: b.length }, (_, i) => b.getLine(i).translateToString(true)).join('\n');
});
// Asks `quoi` until `vrai` holds of its answer.
async function attendre(quoi, vrai) {
  const fin = Date.now() + ATTENTE_MS;
  for (let e = await quoi(); ; e = await quoi()) {
    if (vrai(e)) return e;
    if (Date.now() > fin) throw new Error('waited in vain; saw:\n' + e);
    await new Promise((r) => setTimeout(r, 50));
  }
}
// Types each step's keys, a key between brackets pressed, then waits for its text.
async function jouer(page, etapes) {
  for (const [touches, texte] of etapes) {
    for (const t of touches.split(/(\[[\w+]+\])/)) {
      await (t.startsWith('[') ? page.keyboard.press(t.slice(1, -1)) : page.keyboard.type(t));
    }
    await attendre(() => ecran(page), (e) => e.includes(texte));
  }
}
// The service's lobbies: those of its children that run korva-serveur (its one thread starts
// them all). A process may end while it is looked at.
const lire = (chemin) => { try { return fs.readFileSync(chemin, 'utf8'); } catch { return ''; } };
const lobbies = () => lire(`/proc/${service}/task/${service}/children`).split(' ')
  .filter((p) => p && lire(`/proc/${p}/comm`) === 'korva-serveur\n').length;
// The hero's column on the board, in the line of the first level where he starts.
const heros = (e) => e.split('\n')[2].indexOf('☻');
// The terminal's own measure of its cells and screen, and where the lists stand.
const mesure = (page) => page.evaluate(() => [terminal._core._renderService.dimensions.css,
  document.getElementById('listes').getBoundingClientRect()]);
const ferme = (page) => page.waitForFunction(
  () => document.getElementById('etat').textContent.includes('closed'), null, { timeout: ATTENTE_MS });

(async () => {
  const navigateur = await chromium.launch({
    executablePath: process.env.KORVA_CHROMIUM,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const contexte = await navigateur.newContext({ viewport: { width: 1366, height: 768 },
                                                 ignoreHTTPSErrors: true });
  const page = await contexte.newPage();
  await page.goto(url);
  const accueil = ['', 'At a prompt, Ctrl-D goes back to the menu.'];
  await jouer(page, [accueil]);
  await attendre(lobbies, (n) => n === 1);
  // Each reload waits for the lobby it left to end, as a player's next click would: a loaded
  // machine then never holds more of one address's connections than a player makes.
  for (let i = 0; i < RECHARGEMENTS; ++i) {
    await page.reload();
    await jouer(page, [accueil]);
    await attendre(lobbies, (n) => n === 1);
  }
  await attendre(lobbies, (n) => n === 1);
  await jouer(page, [['2', 'Account name:'], ['aylx[Backspace]a\r', 'Password:'],
    ['secret1\r', 'The same password again:'], ['secret1\r', 'KORVA server - ayla'], ['q', '']]);
  await ferme(page);
  await page.reload();
  await jouer(page, [accueil, ['1', 'Account name:'], ['ayla\r', 'Password:'],
    ['secret1\r', 'KORVA server - ayla'], ['1', 'Press any key to continue'], [' ', '3 : quit'],
    ['1', 'Enter the name of your persona :'], ['Zex[Backspace]d\r1\r', 'Here we are : Zed'],
    [' ', ' q : save and quit']]);
  const depart = heros(await ecran(page));
  await page.keyboard.press('ArrowRight');
  await attendre(() => ecran(page), (e) => depart > 0 && heros(e) === depart + 1);
  await page.screenshot({ path: capture });
  // The terminal's cells, as it measures them: 50 lines in the window's 768 pixels are 15 whole
  // pixels at most, and the board takes them, the lists standing in the room left beside it;
  // folded, they leave it as it is.
  const [cellules, listes] = await mesure(page);
  if (cellules.cell.height < 15 || cellules.canvas.height > 768 ||
      listes.left < cellules.canvas.width) {
    throw new Error('laid out as ' + JSON.stringify([cellules, listes]));
  }
  await page.click('#plier');
  const [pliees, cachees] = await mesure(page);
  if (pliees.cell.height !== cellules.cell.height || cachees.width !== 0) {
    throw new Error('folded as ' + JSON.stringify([pliees, cachees]));
  }
  // Ctrl-C reaches the game, which asks; 'Y' saves, and the game loaded again stands there.
  await jouer(page, [['[Control+C]', 'Back-up of your game Y/N ? :'], ['Y', '3 : quit'],
    ['2', '1 : Zed'], ['1\r', ' q : save and quit']]);
  await attendre(() => ecran(page), (e) => heros(e) === depart + 1);

  // The page's list names the game in progress, with a link that watches it live.
  const regard = await contexte.newPage();
  await regard.goto(url);
  const lien = regard.locator('#en-cours a');
  await lien.waitFor({ timeout: ATTENTE_MS });
  const listee = await regard.locator('#en-cours li').textContent();
  if (!listee.startsWith('Zed (ayla), level 1, score 0, active: watch')) {
    throw new Error('listed as ' + listee);
  }
  // Its recording written three minutes ago: the list says it idle since, as soon as it knows.
  const films = path.join(path.dirname(capture), 'serveur/comptes/ayla/fichiers/enregistrements');
  const avant = new Date(Date.now() - 3 * 60000);
  fs.readdirSync(films).forEach((f) => fs.utimesSync(path.join(films, f), avant, avant));
  await regard.locator('#en-cours li', { hasText: 'score 0, idle 3 min: watch' })
    .waitFor({ timeout: ATTENTE_MS });
  await regard.goto(new URL(await lien.getAttribute('href'), url).href);
  if (!(await regard.evaluate(() => terminal.options.disableStdin))) throw new Error('watch types');
  for (const [fleche, colonne] of [[null, depart + 1], ['ArrowLeft', depart]]) {
    if (fleche) await page.keyboard.press(fleche);
    const vu = await attendre(() => ecran(page), (e) => heros(e) === colonne);
    await attendre(() => ecran(regard), (e) => e === vu);
  }

  // Closing the page is a lost terminal: the game is saved, and the watch ends with it. The
  // game leaves the games in progress and heads the latest games; its account's name shows its
  // two games, and the first game's recording plays it again in a page's terminal.
  await page.close();
  await ferme(regard);
  await regard.waitForFunction(
    () => !document.getElementById('en-cours').textContent.includes('Zed'), null,
    { timeout: ATTENTE_MS });
  await regard.locator('#classement li', { hasText: /^Zed \(ayla\) 0$/ })
    .waitFor({ timeout: ATTENTE_MS });
  await regard.locator('#dernieres li', { hasText: /^Zed \(ayla\), magician, hangup on level 1, / })
    .locator('button').click({ timeout: ATTENTE_MS });
  const siennes = regard.locator('#parties-compte li');
  await siennes.nth(1).filter({ hasText: /^Zed, magician, saved on level 1, score 0, / })
    .waitFor({ timeout: ATTENTE_MS });
  const [film] = await Promise.all([contexte.waitForEvent('page'),
    siennes.nth(1).locator('a').click()]);
  await film.waitForLoadState();
  await attendre(() => ecran(film), (e) => e.includes('Back-up of your game Y/N ? :'));
  // A replay takes its keys (Space, + and -, q); a live watch, none.
  if (await film.evaluate(() => terminal.options.disableStdin)) throw new Error('replay deaf');
  await ferme(film);
  // A game of the account's ended since: the list shown takes it in at once.
  fs.appendFileSync(path.join(path.dirname(capture), 'serveur/parties.txt'),
    'account=ayla\thero=Ned\tclass=priest\toutcome=killed\tlevel=2\tscore=7\tgold=1\t' +
    'turns=1\tstart=2026-01-01T00:00:00Z\tend=2026-01-01T00:00:00Z\trecording=\n');
  await siennes.first().filter({ hasText: /^Ned, priest, killed on level 2, score 7, / })
    .waitFor({ timeout: ATTENTE_MS });

  // A page opened at another address than the server's is told which to open. On a narrow
  // window, the board takes its whole width, and the lists stand below it.
  const ailleurs = await contexte.newPage();
  await ailleurs.goto(url.replace('127.0.0.1', 'localhost'));
  await ailleurs.waitForFunction((a) => document.getElementById('etat').textContent.includes(a),
    url, { timeout: ATTENTE_MS });
  await ailleurs.setViewportSize({ width: 800, height: 1000 });
  await attendre(async () => JSON.stringify(await mesure(ailleurs)), (m) => {
    const [etroit, dessous] = JSON.parse(m);
    return etroit.canvas.width >= 790 && etroit.canvas.width <= 800 && dessous.height > 0 &&
      dessous.top >= etroit.canvas.height;
  });
  await navigateur.close();
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
