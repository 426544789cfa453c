// A player in a real browser (Debian's chromium, headless, through its DevTools protocol):
// registers, logs in, makes a hero and walks, read from the terminal widget's text and in a
// screenshot; a second page watches the game live; closing the first page ends the game, which
// the calling test finds saved. Usage: node navigateur.js URL SCREENSHOT
'use strict';
const { chromium } = require('playwright-core');

const [url, capture] = process.argv.slice(2);
const ATTENTE_MS = 15000;

// The terminal widget's lines, as its buffer holds them.
const ecran = (page) => page.evaluate(() => {
  const b = terminal.buffer.active;
  return Array.from({ length: b.length }, (_, i) => b.getLine(i).translateToString(true)).join('\n');
});
// Looks at the screen until `vrai` holds of it.
async function attendre(page, vrai) {
  const fin = Date.now() + ATTENTE_MS;
  for (let e = await ecran(page); ; e = await ecran(page)) {
    if (vrai(e)) return e;
    if (Date.now() > fin) throw new Error('waited in vain; the screen:\n' + e);
    await page.waitForTimeout(50);
  }
}
async function jouer(page, touches, texte) {
  await page.keyboard.type(touches);
  return attendre(page, (e) => e.includes(texte));
}
// The hero's line and column on the board.
function heros(e) {
  const lignes = e.split('\n');
  const ligne = lignes.findIndex((l) => l.includes('☻'));
  return [ligne, ligne < 0 ? -1 : lignes[ligne].indexOf('☻')];
}
const ferme = (page) => page.waitForFunction(
  () => document.getElementById('etat').textContent.includes('closed'), null, { timeout: ATTENTE_MS });

(async () => {
  const navigateur = await chromium.launch({
    executablePath: process.env.KORVA_CHROMIUM,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const contexte = await navigateur.newContext({ viewport: { width: 1400, height: 900 } });
  const page = await contexte.newPage();
  await page.goto(url);
  await jouer(page, '', 'At a prompt, Ctrl-D goes back to the menu.');
  await jouer(page, '2', 'Account name:');
  await jouer(page, 'ayla\r', 'Password:');
  await jouer(page, 'secret1\r', 'The same password again:');
  await jouer(page, 'secret1\r', 'KORVA server - ayla');
  await page.keyboard.type('6');
  await ferme(page);
  await page.reload();
  await jouer(page, '', 'At a prompt, Ctrl-D goes back to the menu.');
  await jouer(page, '1', 'Account name:');
  await jouer(page, 'ayla\r', 'Password:');
  await jouer(page, 'secret1\r', 'KORVA server - ayla');
  await jouer(page, '1', 'Press any key to continue');
  await jouer(page, ' ', '3 : quit');
  await jouer(page, '1', 'Enter the name of your persona :');
  await jouer(page, 'Zed\r1\r', 'Here we are : Zed');
  const depart = heros(await jouer(page, ' ', ' q : save and quit'));
  let arrivee = depart;
  for (const fleche of ['ArrowRight', 'ArrowDown', 'ArrowLeft', 'ArrowUp']) {
    await page.keyboard.press(fleche);
    arrivee = heros(await attendre(page, (e) => e.includes(' q : save and quit')));
    if (arrivee.join() !== depart.join()) break;
  }
  if (depart[0] < 0 || Math.abs(arrivee[0] - depart[0]) + Math.abs(arrivee[1] - depart[1]) !== 1) {
    throw new Error(`the hero did not take one step: ${depart} to ${arrivee}\n` + await ecran(page));
  }
  await page.screenshot({ path: capture });

  // The page's list names the game in progress, with a link that watches it live.
  const regard = await contexte.newPage();
  await regard.goto(url);
  const lien = regard.locator('#en-cours a');
  await lien.waitFor({ timeout: ATTENTE_MS });
  const nom = await lien.textContent();
  if (!nom.startsWith('Zed (ayla), level 1')) throw new Error('listed as ' + nom);
  await regard.goto(new URL(await lien.getAttribute('href'), url).href);
  for (const fleche of [null, arrivee[1] > depart[1] ? 'ArrowLeft' : 'ArrowRight']) {
    if (fleche) await page.keyboard.press(fleche);
    const vu = await attendre(page, (e) => fleche === null || heros(e).join() !== arrivee.join());
    await attendre(regard, (e) => e === vu);
  }

  // Closing the page is a lost terminal: the game is saved, and the watch ends with it.
  await page.close();
  await ferme(regard);
  await navigateur.close();
  console.log('1 passed, 0 failed');
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
