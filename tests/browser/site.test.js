// The map site that krm map writes, run in headless Chromium: on the map
// service with the stand-in for its API, and on the tiles of the GSI (the
// default map) and of OpenStreetMap through Leaflet, with plain images for
// the tiles. The map is built from the script's values, both route replays
// run to their end for any number of points, can be paused at any moment and
// started again, lines never cross a recording break, and the line can be
// hidden and shown without replay: the same script on every map. Any file
// name links the files written.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');
const support = require('./support.js');

const STEP = 32;  // ms, the speed entry used throughout
const LONG = 60_000;  // more than any replay here takes

// The maps a site can be written for, with the options that choose them.
const maps = { google: ['--service', 'google'], gsi: [], osm: ['--service', 'osm'] };
const tileMaps = ['gsi', 'osm'];

const kinds = {
  // 120 points, route replay with a moving tail.
  tail: { fixture: 'nmea/gga-only.log', args: [] },
  // 230 points drawn in groups of 100: two groups and a remainder of 30.
  draw: { fixture: 'usr/three-trails.usr', args: ['--trail', 'TrailA', '--points', '230', '--keep-trail'] },
  noReplay: { fixture: 'nmea/gga-only.log', args: ['--no-replay', '--color', '0080ff', '--width', '5', '--opaque'] },
  noOverview: { fixture: 'nmea/gga-only.log', args: ['--no-overview'] },
};

// Generated logs of as many points, each replayed with a moving tail and
// drawn: fewer than the tail's three, fewer than a group of 100, multiples of
// 100, remainders.
const pointCounts = [2, 3, 50, 100, 230, 592, 600];
const replayArgs = { tail: [], draw: ['--keep-trail'] };
const bigCount = 200_000;

// A track whose recording broke twice: the golden script of the webmap tests
// in a site of the same track (usr/names.usr, trail Run).
const breaksScript = 'webmap/recording-breaks/track.js.golden';

// Names that an address would read otherwise: each must link the files written.
const oddNames = ['run #2 50%', 'a?b', 'tab\there', 'back\\slash', '鎌倉 散歩'];

// sites[map][kind]: the page to open and the values of its script.
const sites = {};

function addSite(map, kind, fixture, args, base) {
  const siteFolder = `${folder}/${map}/${kind}`;
  fs.mkdirSync(siteFolder, { recursive: true });
  const written = support.writeSite(siteFolder, fixture, [...args, ...maps[map]], base);
  const page = `${map}/${kind}/${encodeURIComponent(written.base)}.html`;
  sites[map][kind] = { map, page, values: support.scriptValues(written.script) };
  return siteFolder;
}

let folder;
let server;
let browser;

before(async () => {
  folder = support.temporaryFolder();
  const logs = `${folder}/logs`;
  fs.mkdirSync(logs);
  for (const count of [...pointCounts, bigCount]) support.writeLog(`${logs}/points-${count}.log`, count);
  for (const map of Object.keys(maps)) {
    sites[map] = {};
    for (const [kind, site] of Object.entries(kinds)) addSite(map, kind, site.fixture, site.args);
    for (const count of pointCounts) {
      for (const [replay, args] of Object.entries(replayArgs)) {
        addSite(map, `${replay}-${count}`, `${logs}/points-${count}.log`, args);
      }
    }
    for (const [replay, args] of Object.entries(replayArgs)) {
      const siteFolder = addSite(map, `breaks-${replay}`, 'usr/names.usr', ['--trail', 'Run', ...args]);
      const script = fs.readFileSync(path.join(__dirname, '../data', breaksScript));
      fs.writeFileSync(`${siteFolder}/names.js`, script);
      sites[map][`breaks-${replay}`].values = support.scriptValues(script.toString('utf8'));
    }
    oddNames.forEach((name, i) => addSite(map, `name-${i}`, 'nmea/gga-only.log', [], name));
  }
  for (const [replay, args] of Object.entries(replayArgs)) {
    addSite('gsi', `big-${replay}`, `${logs}/points-${bigCount}.log`, args);
  }
  server = await support.serveFolder(folder);
  browser = await support.launchChromium();
});

after(async () => {
  await browser?.close();
  await server?.close();
  if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

// Opens a site from the local server, or from another address of the sites'
// folder; at the end of the test no script error may have happened and
// nothing but that address, the map service and the tile servers may have
// been asked. On a tile map every polyline the script asks for is recorded,
// as the stand-in records its own, and the test starts once the tiles are
// shown.
async function openSite(t, site, siteAddress = server.url) {
  const opened = await support.openSite(browser, siteAddress, site.page);
  t.after(async () => {
    assert.deepEqual(opened.errors, [], 'script errors');
    assert.deepEqual(opened.refused, [], 'requests outside the site');
    await opened.context.close();
  });
  if (site.map !== 'google') {
    await opened.page.evaluate(() => {
      const Polyline = window.GPolyline;
      window.madeLines = [];
      window.GPolyline = function (points, ...style) {
        try {
          const line = new Polyline(points, ...style);
          window.madeLines.push({ points: points.length, first: [points[0]?.lat(), points[0]?.lng()] });
          return line;
        } catch (error) {
          window.madeLines.push({ refused: error.message });
          throw error;
        }
      };
    });
    await opened.page.waitForFunction(() => {
      const tiles = [...document.querySelectorAll('img.leaflet-tile')];
      return tiles.length > 0 && tiles.every((tile) => tile.classList.contains('leaflet-tile-loaded'));
    });
    await opened.page.clock.runFor(500);  // the tiles fade in
  }
  return opened;
}

const open = async (t, site) => (await openSite(t, site)).page;
const start = (page) => page.click('input[value="描画開始"]');

// Moves the page's clock on a step at a time until the condition holds in the page.
async function runUntil(page, condition) {
  for (let step = 0; step < 10_000; step++) {
    if (await page.evaluate(condition)) return;
    await page.clock.runFor(STEP);
  }
  assert.fail(`never came: ${condition}`);
}

// The captions of the panel's buttons.
const buttons = (page) => page.evaluate(() => [...document.querySelectorAll('#controler input')].map((b) => b.value));
const globals = (page) => page.evaluate(() => ({ Drawflag, startflag, stopStatus, count1, count2, LineNum }));

// The polylines the script asked for, in order: their number of points and
// first point, or why the map refused to make them.
async function madeLines(page) {
  const made = await page.evaluate(() => window.madeLines);
  if (made) return made;
  return (await support.mapCalls(page))
    .filter((c) => c.call === 'GPolyline')
    .map((c) => (c.refused ? { refused: c.refused } : { points: c.points, first: c.first }));
}

// The polylines the map refused to make. (Removing an overlay that was
// never made is refused too, but always inside the script's try.)
const refusedLines = async (page) => (await madeLines(page)).filter((l) => l.refused).map((l) => l.refused);

function assertWholeLine(lines, site) {
  assert.equal(lines.length, 1, 'one line on the map');
  assert.deepEqual(lines[0].points, site.values.points, 'the line holds exactly the kept points');
}

function screenshot(page, site, name) {
  return page.screenshot({ path: support.screenshotPath(`${site.map}-${name}`) });
}

describe('setMap on the map service', () => {
  for (const [kind, overview] of [['tail', true], ['noOverview', false]]) {
    test(`builds the map and shows one line (overview ${overview ? 'on' : 'off'})`, async (t) => {
      const site = sites.google[kind];
      const page = await open(t, site);
      const calls = await support.mapCalls(page);
      const expected = ['GMap', 'GLargeMapControl', 'addControl', 'GMapTypeControl', 'addControl', 'GScaleControl',
        'addControl', 'setMapType'];
      if (overview) expected.push('GOverviewMapControl', 'addControl');
      expected.push('GLatLngBounds', 'getBoundsZoomLevel', 'setCenter', 'GPolyline', 'addOverlay');
      assert.deepEqual(calls.map((c) => c.call), expected);

      const { values } = site;
      const zoom = calls.find((c) => c.call === 'getBoundsZoomLevel');
      assert.deepEqual([zoom.south, zoom.west, zoom.north, zoom.east], [...values.minPoint, ...values.maxPoint]);
      const centre = calls.find((c) => c.call === 'setCenter');
      assert.deepEqual([centre.lat, centre.lng, centre.zoom], [...values.midPoint, zoom.result]);
      assert.ok(zoom.result > 10, 'a track of a few hundred metres is shown close up');
      for (const [lat, lng] of values.points) {
        assert.ok(lat >= values.minPoint[0] && lat <= values.maxPoint[0] && lng >= values.minPoint[1] && lng <= values.maxPoint[1]);
      }

      const lines = await support.shownLines(page);
      assertWholeLine(lines, site);
      assert.deepEqual([lines[0].color, lines[0].weight, lines[0].opacity], ['#ff0000', 3, 0.7]);
    });
  }

  test('draws with the colour, width and opacity of the settings', async (t) => {
    const page = await open(t, sites.google.noReplay);
    const lines = await support.shownLines(page);
    assertWholeLine(lines, sites.google.noReplay);
    assert.deepEqual([lines[0].color, lines[0].weight, lines[0].opacity], ['#0080ff', 5, 1]);
  });
});

// What a tile map shows after setMap: its own tiles, the controls, the view
// fitted to the track's bounds, and the line drawn by Leaflet.
async function tileMapView(page, site) {
  return page.evaluate(([southWest, northEast]) => {
    const m = map.leaflet;
    const span = (zoom) => {
      const a = m.project(L.latLng(southWest), zoom);
      const b = m.project(L.latLng(northEast), zoom);
      return [Math.abs(b.x - a.x), Math.abs(b.y - a.y)];
    };
    const shown = m.getPixelBounds();
    const corners = [m.project(L.latLng(southWest)), m.project(L.latLng(northEast))];
    const overview = document.querySelector('#map .leaflet-control-container .leaflet-container');
    const mainPane = document.querySelector('#map > .leaflet-map-pane > .leaflet-overlay-pane');
    const attribution = document.querySelector('#map > .leaflet-control-container .leaflet-control-attribution');
    return {
      zoom: m.getZoom(),
      maxZoom: m.getMaxZoom(),
      size: [m.getSize().x, m.getSize().y],
      spanAtZoom: span(m.getZoom()),
      spanCloser: span(m.getZoom() + 1),
      centre: [m.getCenter().lat, m.getCenter().lng],
      // The bounds lie in the view, to the pixel (the centre is the middle of
      // the degrees, not of the projected bounds).
      boundsShown: corners.every((p) => p.x >= shown.min.x - 1 && p.x <= shown.max.x + 1 && p.y >= shown.min.y - 1 && p.y <= shown.max.y + 1),
      paths: [...mainPane.querySelectorAll('path')].map((path) => ({
        stroke: path.getAttribute('stroke'),
        width: path.getAttribute('stroke-width'),
        opacity: path.getAttribute('stroke-opacity'),
        drawn: path.getAttribute('d').length > 0,
      })),
      zoomControl: document.querySelectorAll('#map .leaflet-control-zoom').length,
      scale: document.querySelectorAll('#map .leaflet-control-scale').length,
      attribution: attribution.textContent,
      attributionLinks: [...attribution.querySelectorAll('a')].map((a) => a.href),
      overviewTile: overview?.querySelector('img.leaflet-tile')?.src ?? null,
    };
  }, [site.values.minPoint, site.values.maxPoint]);
}

// The zoom of a tile's address (…/{z}/{x}/{y}.png).
const tileZoom = (url) => Number(url.match(/\/(\d+)\/\d+\/\d+\.png$/)[1]);

const tileAttributions = {
  gsi: { text: '国土地理院', link: 'https://maps.gsi.go.jp/development/ichiran.html' },
  osm: { text: '© OpenStreetMap contributors', link: 'https://www.openstreetmap.org/copyright' },
};

for (const map of tileMaps) {
  describe(`setMap on the ${map} tiles`, () => {
    test('shows its tiles with their attribution, the controls and one Leaflet polyline', async (t) => {
      const site = sites[map].tail;
      const opened = await openSite(t, site);
      const { page } = opened;
      const view = await tileMapView(page, site);

      const lines = await support.shownLines(page);
      assertWholeLine(lines, site);
      assert.deepEqual([lines[0].color, lines[0].weight, lines[0].opacity], ['#ff0000', 3, 0.7]);
      assert.deepEqual(view.paths, [{ stroke: '#ff0000', width: '3', opacity: '0.7', drawn: true }]);

      assert.equal(view.zoomControl, 1);
      assert.equal(view.scale, 1);
      assert.ok(view.attribution.includes(tileAttributions[map].text), view.attribution);
      assert.ok(view.attributionLinks.includes(tileAttributions[map].link));

      // Every tile from the map's own server: the main map's and, four zoom
      // levels out, the overview's.
      assert.ok(opened.tiles.length > 0);
      assert.deepEqual(opened.tiles.filter((url) => !url.startsWith(support.tileServers[map])), []);
      assert.deepEqual(new Set(opened.tiles.map(tileZoom)), new Set([view.zoom - 4, view.zoom]));
      assert.equal(tileZoom(view.overviewTile), view.zoom - 4, 'the overview map');
      await screenshot(page, site, 'tiles');

      // A click on the overview moves the map there, at the same zoom.
      const centres = () => page.evaluate(() => {
        const overview = document.querySelector('#map .leaflet-control-container .leaflet-container');
        return [map.leaflet.getCenter(), overview.getBoundingClientRect()];
      });
      const [before, box] = await centres();
      await page.mouse.click(box.left + 10, box.top + 10);
      await page.clock.runFor(1000);  // the pan
      const [moved] = await centres();
      assert.ok(moved.lat > before.lat && moved.lng < before.lng, 'to the north-west');
      assert.deepEqual(await tileMapView(page, site).then((v) => v.zoom), view.zoom);

      // GUnload (the page's unload) takes the maps down.
      await page.evaluate(() => GUnload());
      assert.equal(await page.evaluate(() => document.querySelector('#map').children.length), 0);
    });

    test('works from the folder opened in the browser', async (t) => {
      const site = sites[map].noReplay;
      const opened = await openSite(t, site, `file://${folder}/`);
      assertWholeLine(await support.shownLines(opened.page), site);
      assert.ok(opened.tiles.length > 0, 'only the tiles come from outside the folder');
    });

    // A walk of a few hundred metres and a drive of a few kilometres.
    for (const kind of ['tail', 'draw']) {
      test(`fits the view to the bounds of the track (${kind} site)`, async (t) => {
        const site = sites[map][kind];
        const view = await tileMapView(await open(t, site), site);
        assert.deepEqual(view.centre, site.values.midPoint);
        assert.equal(view.maxZoom, { gsi: 18, osm: 19 }[map]);
        assert.ok(view.zoom > 10, 'a track of a few kilometres at most is shown close up');
        assert.ok(view.spanAtZoom[0] <= view.size[0] && view.spanAtZoom[1] <= view.size[1], 'the bounds fit');
        assert.ok(view.zoom === view.maxZoom || view.spanCloser[0] > view.size[0] || view.spanCloser[1] > view.size[1],
          'one zoom closer they would not');
        assert.ok(view.boundsShown, 'the whole track is in the view');
      });
    }

    test('draws with the colour, width and opacity of the settings, and the overview only when it is on', async (t) => {
      const cases = [
        { kind: 'noReplay', path: { stroke: '#0080ff', width: '5', opacity: '1' }, overview: true },
        { kind: 'noOverview', path: { stroke: '#ff0000', width: '3', opacity: '0.7' }, overview: false },
      ];
      for (const { kind, path, overview } of cases) {
        const site = sites[map][kind];
        const opened = await openSite(t, site);
        const view = await tileMapView(opened.page, site);
        assertWholeLine(await support.shownLines(opened.page), site);
        assert.deepEqual(view.paths, [{ ...path, drawn: true }]);
        const zooms = overview ? [view.zoom - 4, view.zoom] : [view.zoom];
        assert.deepEqual(new Set(opened.tiles.map(tileZoom)), new Set(zooms), 'the tiles of the map and of its overview');
        assert.equal(view.overviewTile === null, !overview, 'an overview map only when it is on');
        await screenshot(opened.page, site, `tiles-${kind}`);
      }
    });
  });
}

for (const map of Object.keys(maps)) {
  describe(`tail replay (trackLine) on ${map}`, () => {
    // The tails made, each as the index of its first point among the kept points.
    async function tailStarts(page, points) {
      const index = new Map(points.map((point, i) => [point.join(), i]));
      return (await madeLines(page)).filter((l) => l.points === 3).map((l) => index.get(l.first.join()));
    }
    const everyStart = (points) => points.slice(2).map((_, i) => i);

    test('moves a three-point tail over every point, then shows the whole line again', async (t) => {
      const site = sites[map].tail;
      const page = await open(t, site);
      const points = site.values.points;
      await page.click('input[value="描画開始"]');
      assert.deepEqual((await support.shownLines(page)).map((l) => l.points), [points.slice(0, 3)], 'the line gives way to the tail');
      await page.clock.runFor(10 * STEP);
      assert.deepEqual((await support.shownLines(page)).map((l) => l.points), [points.slice(10, 13)]);
      assert.equal((await globals(page)).Drawflag, true);

      // The last tail, then the end: one second later the whole line.
      await page.clock.runFor((points.length - 13) * STEP);
      assert.deepEqual((await support.shownLines(page)).map((l) => l.points), [points.slice(-3)]);
      assert.equal((await globals(page)).Drawflag, false, 'the replay has ended');
      await page.clock.runFor(1000);
      assertWholeLine(await support.shownLines(page), site);
      assert.deepEqual(await tailStarts(page, points), everyStart(points), 'one tail per step, in order');

      // It can run again.
      await page.click('input[value="描画開始"]');
      await page.clock.runFor(LONG);
      assertWholeLine(await support.shownLines(page), site);
    });

    test('停止 pauses and 再開 resumes', async (t) => {
      const site = sites[map].tail;
      const page = await open(t, site);
      const points = site.values.points;
      await page.click('input[value="描画開始"]');
      await page.clock.runFor(40 * STEP);
      await page.click('input[value="停止"]');
      assert.deepEqual(await buttons(page), ['描画開始', '再開']);
      const paused = await support.shownLines(page);
      const pausedAt = (await globals(page)).count2;
      await screenshot(page, site, 'tail-replay-paused');
      await page.clock.runFor(5000);
      assert.deepEqual(await support.shownLines(page), paused, 'nothing moves while paused');
      assert.equal((await globals(page)).count2, pausedAt);

      await page.click('input[value="再開"]');
      assert.deepEqual(await buttons(page), ['描画開始', '停止']);
      await page.clock.runFor(STEP);
      assert.notDeepEqual(await support.shownLines(page), paused, 'the tail moves on');
      await page.clock.runFor(LONG);
      assertWholeLine(await support.shownLines(page), site);
      assert.deepEqual(await tailStarts(page, points), everyStart(points), 'no tail skipped or repeated');
    });

  });

  describe(`draw replay (drawLine) on ${map}`, () => {
    test('draws two groups of 100 and the remainder, then shows the whole line again', async (t) => {
      const site = sites[map].draw;
      const page = await open(t, site);
      const points = site.values.points;
      assert.equal(points.length, 230);
      const lengths = async () => (await support.shownLines(page)).map((l) => l.points.length);

      await page.click('input[value="描画開始"]');
      assert.deepEqual(await lengths(), [0], 'the line gives way to the first group');
      await page.clock.runFor(50 * STEP);
      assert.deepEqual((await support.shownLines(page)).map((l) => l.points), [points.slice(0, 50)]);

      // A group ends with the first point of the next, so that the line has no gap.
      await page.clock.runFor(60 * STEP);
      const second = await support.shownLines(page);
      assert.deepEqual(second[0].points, points.slice(0, 101));
      assert.deepEqual(second[1].points, points.slice(100, 100 + second[1].points.length));
      assert.equal((await globals(page)).LineNum, 1);

      await page.clock.runFor(110 * STEP);
      const third = await support.shownLines(page);
      assert.deepEqual(third.map((l) => l.points), [points.slice(0, 101), points.slice(100, 201), points.slice(200, 200 + third[2].points.length)]);
      assert.equal((await globals(page)).LineNum, 2);
      await screenshot(page, site, 'draw-replay-remainder');

      await page.clock.runFor(LONG);
      assertWholeLine(await support.shownLines(page), site);
      assert.deepEqual(await globals(page).then((g) => [g.Drawflag, g.startflag, g.stopStatus]), [false, false, false]);
    });

    test('停止 pauses and 再開 resumes', async (t) => {
      const site = sites[map].draw;
      const page = await open(t, site);
      await page.click('input[value="描画開始"]');
      await page.clock.runFor(150 * STEP);
      await page.click('input[value="停止"]');
      assert.deepEqual(await buttons(page), ['描画開始', '再開']);
      const paused = await support.shownLines(page);
      await screenshot(page, site, 'draw-replay-paused');
      await page.clock.runFor(5000);
      assert.deepEqual(await support.shownLines(page), paused, 'nothing moves while paused');

      await page.click('input[value="再開"]');
      assert.deepEqual(await buttons(page), ['描画開始', '停止']);
      await page.clock.runFor(STEP);
      assert.notDeepEqual(await support.shownLines(page), paused, 'the drawing goes on');
      await page.clock.runFor(LONG);
      assertWholeLine(await support.shownLines(page), site);
    });
  });

  describe(`replays of any length on ${map}`, () => {
    for (const replay of Object.keys(replayArgs)) {
      test(`the ${replay} replay ends, brings the whole line back and runs again, for ${pointCounts.join(', ')} points`, async (t) => {
        for (const count of pointCounts) {
          await t.test(`${count} points`, async (t) => {
            const site = sites[map][`${replay}-${count}`];
            assert.equal(site.values.points.length, count);
            const page = await open(t, site);
            await support.recordLines(page, true);
            for (const run of [1, 2]) {
              await page.evaluate(() => window.replayRecord.splice(0));
              await start(page);
              await page.clock.runFor(LONG);
              assert.deepEqual(await globals(page).then((g) => [g.Drawflag, g.startflag, g.stopStatus]), [false, false, false]);
              assertWholeLine(await support.shownLines(page), site);
              // The lines shown after each step of the replay, as numbers of points.
              const steps = (await page.evaluate(() => window.replayRecord)).filter((r) => r.running).map((r) => r.lines);
              if (replay === 'tail') {
                assert.equal(steps.length, Math.max(count - 2, 1), `run ${run}: one step per tail`);
                assert.ok(steps.every((lines) => lines.length === 1 && lines[0] === Math.min(count, 3)), `run ${run}: tails`);
              } else {
                const drawn = steps.map((lines) => lines.reduce((sum, n) => sum + n, 0));
                assert.ok(drawn.every((n, i) => i === 0 || n >= drawn[i - 1]), `run ${run}: the drawn line never shrinks`);
                // Each group of 100 ends with the first point of the next.
                const groups = Math.max(Math.ceil((count - 1) / 100), 1);
                assert.equal(drawn.at(-1), count + groups - 1, `run ${run}: every point drawn`);
              }
            }
            assert.deepEqual(await refusedLines(page), [], 'no line refused');
          });
        }
      });
    }
  });

  describe(`the end of a replay on ${map}`, () => {
    for (const replay of Object.keys(replayArgs)) {
      test(`${replay} replay: a restart during the end process leaves one line`, async (t) => {
        const site = sites[map][replay];
        const page = await open(t, site);
        await start(page);
        await runUntil(page, () => !Drawflag);
        await page.clock.runFor(500);  // half of the end process's second
        await start(page);
        assert.equal((await globals(page)).Drawflag, true, 'the new replay runs');
        await page.clock.runFor(LONG);
        assertWholeLine(await support.shownLines(page), site);
        await page.clock.runFor(LONG);
        assertWholeLine(await support.shownLines(page), site);
      });

      test(`${replay} replay: 停止 holds ${replay === 'draw' ? 'the final wait and ' : ''}the end process until 再開`, async (t) => {
        const site = sites[map][replay];
        const page = await open(t, site);
        const hold = async (where) => {
          await page.clock.runFor(500);
          await page.click('input[value="停止"]');
          assert.deepEqual(await buttons(page), ['描画開始', '再開'], where);
          const held = await support.shownLines(page);
          await start(page);  // waits for 再開
          await page.clock.runFor(5000);
          assert.deepEqual(await support.shownLines(page), held, `${where}: nothing moves while paused`);
          assert.deepEqual(await buttons(page), ['描画開始', '再開'], where);
          await page.click('input[value="再開"]');
          assert.deepEqual(await buttons(page), ['描画開始', '停止'], where);
        };
        await start(page);
        if (replay === 'draw') {
          // The whole drawing stays a second before the end process.
          await runUntil(page, () => LineNum === roopCount - 1 && count1 === divData[LineNum].length);
          await hold('the final wait');
        }
        await runUntil(page, () => !Drawflag);
        await hold('the end process');
        assertWholeLine(await support.shownLines(page), site);
        assert.deepEqual(await globals(page).then((g) => [g.Drawflag, g.startflag, g.stopStatus]), [false, false, false]);

        // The next replay runs from its first click, with its button at 停止.
        await start(page);
        await page.clock.runFor(10 * STEP);
        assert.deepEqual(await buttons(page), ['描画開始', '停止']);
        assert.deepEqual(await globals(page).then((g) => [g.Drawflag, g.stopStatus]), [true, false]);
        await page.clock.runFor(LONG);
        assertWholeLine(await support.shownLines(page), site);
      });
    }
  });

  describe(`recording breaks on ${map}`, () => {
    // The kept points cut at the segment starts.
    const segmentsOf = ({ points, segmentStarts }) =>
      [0, ...segmentStarts].map((first, i) => points.slice(first, [...segmentStarts, points.length][i]));
    // The breaks a line draws across: the point before a segment start, then the start.
    const joins = (line, { points, segmentStarts }) =>
      segmentStarts.filter((s) => line.some((p, i) => i > 0 && p.join() === points[s].join() && line[i - 1].join() === points[s - 1].join()));

    for (const replay of Object.keys(replayArgs)) {
      test(`the whole line, its removal and the ${replay} replay draw one line per segment`, async (t) => {
        const site = sites[map][`breaks-${replay}`];
        const segments = segmentsOf(site.values);
        assert.equal(segments.length, 3);
        const page = await open(t, site);
        const shown = async () => (await support.shownLines(page)).map((l) => l.points);
        assert.deepEqual(await shown(), segments);
        await page.evaluate(() => map.removeOverlay(dispLineObj));
        assert.deepEqual(await shown(), []);
        await page.evaluate(() => displayLine());

        await support.recordLines(page);
        await start(page);
        await page.clock.runFor(LONG);
        const record = await page.evaluate(() => window.replayRecord);
        assert.ok(record.filter((r) => r.running).length >= site.values.points.length - 2, 'a line after every step');
        for (const { lines } of record) {
          for (const line of lines) assert.deepEqual(joins(line, site.values), [], 'no line across a break');
        }
        assert.deepEqual(await shown(), segments);
        assert.deepEqual(await refusedLines(page), []);
        await screenshot(page, site, `breaks-${replay}`);
      });
    }
  });

  describe(`file names on ${map}`, () => {
    test('a page of any name loads every file it links, from the server and from the folder', async (t) => {
      for (const [i, name] of oddNames.entries()) {
        for (const address of [server.url, `file://${folder}/`]) {
          await t.test(`${JSON.stringify(name)} from ${address.slice(0, 7)}`, async (t) => {
            const site = sites[map][`name-${i}`];
            const page = (await openSite(t, site, address)).page;
            assertWholeLine(await support.shownLines(page), site);  // the script and the map's scripts
            const width = await page.evaluate(() => getComputedStyle(document.getElementById('map')).width);
            assert.equal(width, '640px', 'the style sheet');
          });
        }
      }
    });
  });

  describe(`without route replay on ${map}`, () => {
    test('消去 hides the line and 描画 shows it again', async (t) => {
      const site = sites[map].noReplay;
      const page = await open(t, site);
      assert.deepEqual(await buttons(page), ['消去']);
      assert.equal(await page.locator('#Speed').count(), 0, 'no speed list');
      await screenshot(page, site, 'no-replay');
      for (let round = 0; round < 2; round++) {
        await page.click('input[value="消去"]');
        assert.deepEqual(await buttons(page), ['描画']);
        assert.deepEqual(await support.shownLines(page), []);
        await page.click('input[value="描画"]');
        assert.deepEqual(await buttons(page), ['消去']);
        assertWholeLine(await support.shownLines(page), site);
      }
    });
  });
}

describe('a long track', () => {
  for (const replay of Object.keys(replayArgs)) {
    test(`the ${replay} replay of ${bigCount} points takes at most 2,000 steps`, async (t) => {
      const site = sites.gsi[`big-${replay}`];
      const page = await open(t, site);
      await support.recordLines(page, true);
      await start(page);
      await page.clock.runFor(2 * LONG);
      const running = (await page.evaluate(() => window.replayRecord)).filter((r) => r.running);
      const steps = new Set(running.map((r) => r.time)).size;
      assert.ok(steps <= 2000 && steps > 1900, `${steps} steps`);
      const last = running.at(-1).lines;
      assert.deepEqual(last, replay === 'tail' ? [3] : [...Array(19).fill(10201), 6200], 'the replay reaches the end');
      const whole = await page.evaluate(() => window.replayRecord.at(-1).lines);
      assert.deepEqual(whole, [bigCount], 'the whole line is back');
      assert.deepEqual(await refusedLines(page), []);
    });
  }
});
