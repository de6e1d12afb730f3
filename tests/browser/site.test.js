// The map site that krm map writes, run in headless Chromium with the
// stand-in for the map API: the map is built from the script's values, both
// route replays run to their end and can be paused, and the line can be
// hidden and shown without replay.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const { after, before, describe, test } = require('node:test');
const support = require('./support.js');

const STEP = 32;  // ms, the speed entry used throughout
const LONG = 60_000;  // more than any replay here takes

const sites = {
  // 120 points, route replay with a moving tail.
  tail: { fixture: 'nmea/gga-only.log', args: [] },
  // 230 points drawn in groups of 100: two groups and a remainder of 30.
  draw: { fixture: 'usr/three-trails.usr', args: ['--trail', 'TrailA', '--points', '230', '--keep-trail'] },
  noReplay: { fixture: 'nmea/gga-only.log', args: ['--no-replay', '--color', '0080ff', '--width', '5', '--opaque'] },
  noOverview: { fixture: 'nmea/gga-only.log', args: ['--no-overview'] },
  // Two kept points: fewer than the tail's three.
  twoPoints: { fixture: 'nmea/gga-only.log', args: ['--points', '2'] },
};

let folder;
let server;
let browser;

before(async () => {
  folder = support.temporaryFolder();
  for (const [name, site] of Object.entries(sites)) {
    const siteFolder = `${folder}/${name}`;
    fs.mkdirSync(siteFolder);
    const written = support.writeSite(siteFolder, site.fixture, site.args);
    site.page = `${name}/${written.base}.html`;
    site.values = support.scriptValues(written.script);
  }
  server = await support.serveFolder(folder);
  browser = await support.launchChromium();
});

after(async () => {
  await browser?.close();
  await server?.close();
  if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

// Opens a site; at the end of the test no script error may have happened and
// nothing but the local server and the map service may have been asked.
async function open(t, site) {
  const opened = await support.openSite(browser, server.url, site.page);
  t.after(async () => {
    assert.deepEqual(opened.errors, [], 'script errors');
    assert.deepEqual(opened.refused, [], 'requests outside the site');
    await opened.context.close();
  });
  return opened.page;
}

// The captions of the panel's buttons.
const buttons = (page) => page.evaluate(() => [...document.querySelectorAll('#controler input')].map((b) => b.value));
const globals = (page) => page.evaluate(() => ({ Drawflag, startflag, stopStatus, count1, count2, LineNum }));

// The polylines the stand-in refused to make. (Removing an overlay that was
// never made is refused too, but always inside the script's try.)
const refusedLines = async (page) =>
  (await support.mapCalls(page)).filter((c) => c.call === 'GPolyline' && c.refused).map((c) => c.refused);

function assertWholeLine(lines, site) {
  assert.equal(lines.length, 1, 'one line on the map');
  assert.deepEqual(lines[0].points, site.values.points, 'the line holds exactly the kept points');
}

describe('setMap', () => {
  for (const [name, overview] of [['tail', true], ['noOverview', false]]) {
    test(`builds the map and shows one line (overview ${overview ? 'on' : 'off'})`, async (t) => {
      const site = sites[name];
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
    const page = await open(t, sites.noReplay);
    const lines = await support.shownLines(page);
    assertWholeLine(lines, sites.noReplay);
    assert.deepEqual([lines[0].color, lines[0].weight, lines[0].opacity], ['#0080ff', 5, 1]);
  });
});

describe('tail replay (trackLine)', () => {
  // The tails made, each as the index of its first point among the kept points.
  async function tailStarts(page, points) {
    const index = new Map(points.map((point, i) => [point.join(), i]));
    return (await support.mapCalls(page))
      .filter((c) => c.call === 'GPolyline' && c.points === 3)
      .map((c) => index.get(c.first.join()));
  }
  const everyStart = (points) => points.slice(2).map((_, i) => i);

  test('moves a three-point tail over every point, then shows the whole line again', async (t) => {
    const site = sites.tail;
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
    const site = sites.tail;
    const page = await open(t, site);
    const points = site.values.points;
    await page.click('input[value="描画開始"]');
    await page.clock.runFor(40 * STEP);
    await page.click('input[value="停止"]');
    assert.deepEqual(await buttons(page), ['描画開始', '再開']);
    const paused = await support.shownLines(page);
    const pausedAt = (await globals(page)).count2;
    await page.screenshot({ path: support.screenshotPath('tail-replay-paused') });
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

describe('draw replay (drawLine)', () => {
  test('draws two groups of 100 and the remainder, then shows the whole line again', async (t) => {
    const site = sites.draw;
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
    await page.screenshot({ path: support.screenshotPath('draw-replay-remainder') });

    await page.clock.runFor(LONG);
    assertWholeLine(await support.shownLines(page), site);
    assert.deepEqual(await globals(page).then((g) => [g.Drawflag, g.startflag, g.stopStatus]), [false, false, false]);
  });

  // A fault of the script as written: the last step of the remainder group
  // reads one point past its end, so the polyline it asks for holds an
  // undefined point. The service refuses it (inside the script's try), the
  // group's line has already been removed, and the remainder vanishes for the
  // second before the end process brings the whole line back.
  test('KNOWN FAULT of the script: the remainder vanishes at its last step', async (t) => {
    const site = sites.draw;
    const page = await open(t, site);
    const points = site.values.points;
    await page.click('input[value="描画開始"]');
    // Groups of 102 and 102 steps, then 31 steps of the remainder.
    await page.clock.runFor((101 + 101 + 31) * STEP + 10);
    assert.deepEqual(await refusedLines(page), ['point 30 of a polyline is not a GLatLng']);
    assert.deepEqual((await support.shownLines(page)).map((l) => l.points), [points.slice(0, 101), points.slice(100, 201)]);
    await page.clock.runFor(2000);
    assertWholeLine(await support.shownLines(page), site);
  });

  test('停止 pauses and 再開 resumes', async (t) => {
    const site = sites.draw;
    const page = await open(t, site);
    await page.click('input[value="描画開始"]');
    await page.clock.runFor(150 * STEP);
    await page.click('input[value="停止"]');
    assert.deepEqual(await buttons(page), ['描画開始', '再開']);
    const paused = await support.shownLines(page);
    await page.screenshot({ path: support.screenshotPath('draw-replay-paused') });
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

describe('without route replay', () => {
  test('消去 hides the line and 描画 shows it again', async (t) => {
    const site = sites.noReplay;
    const page = await open(t, site);
    assert.deepEqual(await buttons(page), ['消去']);
    assert.equal(await page.locator('#Speed').count(), 0, 'no speed list');
    await page.screenshot({ path: support.screenshotPath('no-replay') });
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

// A fault of the script as written: the tail starts at the third point, so a
// site of fewer than three kept points (100 points at 1 % keep two) never
// reaches the end of the replay. The line is removed and never comes back,
// and the start button does nothing any more.
test('KNOWN FAULT of the script: a tail replay of two points never ends', async (t) => {
  const site = sites.twoPoints;
  const page = await open(t, site);
  assert.equal(site.values.points.length, 2);
  await page.click('input[value="描画開始"]');
  await page.clock.runFor(LONG);
  assert.deepEqual(await support.shownLines(page), []);
  assert.equal((await globals(page)).Drawflag, true, 'still "running"');
  assert.deepEqual(await refusedLines(page), ['point 2 of a polyline is not a GLatLng']);
  await page.click('input[value="描画開始"]');
  await page.clock.runFor(LONG);
  assert.deepEqual(await support.shownLines(page), []);
});
