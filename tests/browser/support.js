// What the browser tests share: writing a site with krm, serving it, and
// opening it in headless Chromium with the stand-in for the map API in place
// of the map service, and plain images in place of the tiles of the tile maps.
'use strict';

const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { chromium } = require('playwright-core');

const repository = path.resolve(__dirname, '../..');
const fakeMapApi = fs.readFileSync(path.join(__dirname, 'fake-map-api.js'), 'utf8');
const mapServicePrefix = 'http://maps.google.com/maps?';

// The tile servers of the maps that krm map --service gsi|osm draws on.
const tileServers = {
  gsi: 'https://cyberjapandata.gsi.go.jp/xyz/std/',
  osm: 'https://tile.openstreetmap.org/',
};

// The krm program under test, given by the test command.
function krmProgram() {
  const krm = process.env.KRM;
  if (!krm) throw new Error('set KRM to the krm program to test');
  return krm;
}

// Writes the site of a track file (a fixture of tests/data, or an absolute
// path) into the folder with krm map and returns the base name and the
// script's text. The page is named after the track, or base + '.html'.
function writeSite(folder, fixture, args, base = path.basename(fixture).replace(/\.[^.]*$/, '')) {
  const input = path.join(folder, path.basename(fixture));
  if (input !== fixture) fs.copyFileSync(path.resolve(repository, 'tests/data', fixture), input);
  const run = spawnSync(krmProgram(), ['map', input, '-o', path.join(folder, base + '.html'), '--force', ...args], {
    encoding: 'utf8',
    env: { ...process.env, TZ: 'Asia/Tokyo', LC_ALL: 'C.UTF-8' },
  });
  assert.equal(run.status, 0, `krm map ${fixture} ${args.join(' ')}: ${run.stderr}`);
  return { base, script: fs.readFileSync(path.join(folder, base + '.js'), 'utf8') };
}

// Writes an NMEA log of count GGA fixes: rows of 1000 points going north,
// each row a little east of the last, so that every point is another.
function writeLog(file, count) {
  const minutes = (degrees, width) => {
    const whole = Math.floor(degrees);
    return String(whole).padStart(width, '0') + ((degrees - whole) * 60).toFixed(4).padStart(7, '0');
  };
  const lines = [];
  for (let i = 0; i < count; i++) {
    const latitude = 35.6 + (i % 1000) * 0.0001;
    const longitude = 139.7 + Math.floor(i / 1000) * 0.001 + (i % 1000) * 0.00001;
    const second = i % 86400;
    const time = [second / 3600, (second / 60) % 60, second % 60].map((n) => String(Math.floor(n)).padStart(2, '0')).join('');
    const body = `GPGGA,${time}.00,${minutes(latitude, 2)},N,${minutes(longitude, 3)},E,1,08,0.9,40.0,M,39.4,M,,`;
    let sum = 0;
    for (const c of body) sum ^= c.charCodeAt(0);
    lines.push(`$${body}*${sum.toString(16).toUpperCase().padStart(2, '0')}`);
  }
  fs.writeFileSync(file, lines.join('\n') + '\n');
}

// The values the script holds: the kept points and the line and view parameters.
function scriptValues(script) {
  const pair = (name) => {
    const match = script.match(new RegExp(`var ${name} = new GLatLng\\((-?[\\d.]+), (-?[\\d.]+)\\);`));
    return [Number(match[1]), Number(match[2])];
  };
  const points = [...script.matchAll(/\tpoints\.push\(new GLatLng\((-?[\d.]+), (-?[\d.]+)\)\);/g)].map((m) => [
    Number(m[1]),
    Number(m[2]),
  ]);
  // The kept points that start a recording segment, by index.
  const segmentStarts = [];
  let index = -1;
  for (const line of script.split('\r\n')) {
    if (line.startsWith('\tpoints.push(')) index++;
    if (line === '\tpoints[points.length-1].segmentStart = true;') segmentStarts.push(index);
  }
  return {
    points,
    segmentStarts,
    color: script.match(/var lineColor = "(#[0-9a-f]{6})";/)[1],
    width: Number(script.match(/var lineWidth = (\d);/)[1]),
    opacity: Number(script.match(/var lineTrans = ([\d.]+);/)[1]),
    midPoint: pair('midPoint'),
    minPoint: pair('minPoint'),
    maxPoint: pair('maxPoint'),
  };
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = crcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

// A 256 × 256 PNG of one colour with a darker edge, so that a screenshot
// shows where the tiles meet.
function plainTile([red, green, blue]) {
  const size = 256;
  const rows = Buffer.alloc(size * (1 + size * 3));
  for (let y = 0; y < size; y++) {
    const row = y * (1 + size * 3);  // each row starts with filter type 0
    for (let x = 0; x < size; x++) {
      const edge = x === 0 || y === 0 ? 0.8 : 1;
      rows.set([red * edge, green * edge, blue * edge].map(Math.round), row + 1 + x * 3);
    }
  }
  const chunk = (type, data) => {
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const typed = Buffer.concat([Buffer.from(type, 'ascii'), data]);
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(typed));
    return Buffer.concat([length, typed, crc]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header.set([8, 2, 0, 0, 0], 8);  // 8 bits, truecolour, no interlace
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header),
    chunk('IDAT', zlib.deflateSync(rows)),
    chunk('IEND', Buffer.alloc(0)),
  ]);
}

// A colour for each map's tiles: green for the GSI, sand for OpenStreetMap.
const tileImages = { gsi: plainTile([214, 232, 206]), osm: plainTile([242, 239, 233]) };

// Serves the files of a folder on a local port.
async function serveFolder(folder) {
  const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css' };
  const server = http.createServer((request, response) => {
    const name = path.join(folder, decodeURIComponent(new URL(request.url, 'http://localhost').pathname));
    if (!name.startsWith(folder) || !fs.existsSync(name) || !fs.statSync(name).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': types[path.extname(name)] || 'application/octet-stream' });
    response.end(fs.readFileSync(name));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

function launchChromium() {
  // Playwright starts the browser with a fresh profile folder of its own.
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [
      '--headless',
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
  });
}

// Opens a page of the site in a context of its own, with the page's timers
// on a clock that only the test moves on (page.clock.runFor); an error in a
// timer's code makes runFor fail. The map service's script is answered by
// the stand-in and every tile by a plain image (tiles lists the addresses
// asked for); every other request outside the local server is refused and
// remembered. errors collects script errors, console errors and files that
// failed to load.
async function openSite(browser, serverUrl, pagePath) {
  const context = await browser.newContext({ viewport: { width: 800, height: 600 } });
  const errors = [];
  const refused = [];
  const tiles = [];
  await context.route('**/*', (route) => {
    const url = route.request().url();
    if (url.startsWith(mapServicePrefix)) {
      return route.fulfill({ status: 200, contentType: 'text/javascript', body: fakeMapApi });
    }
    const tileMap = Object.keys(tileServers).find((name) => url.startsWith(tileServers[name]));
    if (tileMap) {
      tiles.push(url);
      return route.fulfill({ status: 200, contentType: 'image/png', body: tileImages[tileMap] });
    }
    if (url.startsWith(serverUrl)) return route.continue();
    refused.push(url);
    return route.abort();
  });
  // Time stands still but for the test's runFor.
  await context.clock.install({ time: 0 });
  await context.clock.pauseAt(1000);
  const page = await context.newPage();
  page.on('pageerror', (error) => errors.push(String(error)));
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('requestfailed', (request) => errors.push(`${request.url()}: ${request.failure().errorText}`));
  page.on('response', (response) => {
    if (response.status() >= 400) errors.push(`${response.url()}: ${response.status()}`);
  });
  await page.goto(serverUrl + pagePath, { waitUntil: 'load' });
  // The speed entry of 32 ms.
  if ((await page.locator('#Speed').count()) > 0) await page.selectOption('#Speed', '32');
  return { context, page, errors, refused, tiles };
}

// The calls the stand-in recorded, without the many GLatLng constructions.
async function mapCalls(page) {
  return page.evaluate(() => window.mapApi.calls.filter((c) => c.call !== 'GLatLng'));
}

// The lines on the map now, in the order they were first shown: from the
// stand-in's record, or on a tile map the polylines among the layers of the
// Leaflet map (the page's map object holds it as map.leaflet).
async function shownLines(page) {
  return page.evaluate(() => {
    if (window.mapApi) return window.mapApi.shownLines();
    const lines = [];
    map.leaflet.eachLayer((layer) => {
      if (!(layer instanceof L.Polyline)) return;
      const { color, weight, opacity } = layer.options;
      lines.push({ points: layer.getLatLngs().map((point) => [point.lat, point.lng]), color, weight, opacity });
    });
    return lines;
  });
}

// Records, after every line the script puts on the map, the time on the
// page's clock, whether a replay is running, and the lines shown (their
// points, or with lengthsOnly their numbers of points); window.replayRecord.
async function recordLines(page, lengthsOnly = false) {
  await page.evaluate((lengthsOnly) => {
    const shown = () => {
      const lines = [];
      const add = (points) => lines.push(lengthsOnly ? points.length : points);
      if (window.mapApi) {
        for (const line of window.mapApi.shownLines()) add(line.points);
      } else {
        map.leaflet.eachLayer((layer) => {
          if (layer instanceof L.Polyline) add(layer.getLatLngs().map((point) => [point.lat, point.lng]));
        });
      }
      return lines;
    };
    window.replayRecord = [];
    const addOverlay = map.addOverlay;
    map.addOverlay = function (overlay) {
      const result = addOverlay.call(this, overlay);
      window.replayRecord.push({ time: Date.now(), running: Drawflag, lines: shown() });
      return result;
    };
  }, lengthsOnly);
}

// Where a person can look at the screenshots; not part of the repository.
function screenshotPath(name) {
  const folder = process.env.SCREENSHOT_DIR || path.join(repository, 'build/browser-screenshots');
  fs.mkdirSync(folder, { recursive: true });
  return path.join(folder, name + '.png');
}

function temporaryFolder() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'krm-browser-'));
}

module.exports = {
  launchChromium,
  mapCalls,
  openSite,
  recordLines,
  screenshotPath,
  scriptValues,
  serveFolder,
  shownLines,
  temporaryFolder,
  tileServers,
  writeLog,
  writeSite,
};
