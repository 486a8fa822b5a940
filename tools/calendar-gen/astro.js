'use strict';
// Compares the generated tables with an independent ephemeris
// (astronomy-engine) over the whole span:
//   - every jie and zhongqi minute of data/calendar.csv against the moment the
//     Sun's apparent longitude crosses the term's multiple of 15°, in UTC+8;
//   - the first day of every lunar month of tests/fixtures/lunar_months.csv
//     against the day of the new moon in UTC+8, each difference explained;
//   - the equation-of-time table against each day's own value.
//
//   node astro.js [ROOT]
//
// Prints a report; exits non-zero when a term is more than two minutes off, a
// month start differs for a reason the report cannot name, or the equation
// of time is further off than the bound stated in the README.

const fs = require('fs');
const path = require('path');
const Astronomy = require('astronomy-engine');
const { parseCsv, SPAN, ymd } = require('./lib');
const { equationOfTimeSeconds } = require('./gen');

const ROOT = path.resolve(process.argv[2] || path.join(__dirname, '..', '..'));
const load = (rel) => parseCsv(fs.readFileSync(path.join(ROOT, rel), 'utf8'));

const HOUR = 3600000;
const CST = 8 * HOUR;
// Beijing's local mean time: 116°25′ E, 7 h 45 min 40 s ahead of UT.
const BEIJING = (7 * 3600 + 45 * 60 + 40) * 1000;

const dateIn = (ms, offset) => new Date(ms + offset).toISOString().slice(0, 10);
const clockIn = (ms, offset) => new Date(ms + offset).toISOString().slice(0, 16).replace('T', ' ');

// Minutes between a row's term (UTC+8, truncated to the minute) and the
// ephemeris moment (UTC+8, truncated).
function termOffsets(calendar) {
  let worst = 0;
  let off = 0;
  const far = [];
  for (const r of calendar) {
    if (r.nian < SPAN.first - 1 || r.nian > SPAN.last + 1) continue;
    for (const [kind, lon, d, h, mi] of [
      ['jie', (285 + 30 * (r.JieqiMonth - 1)) % 360, r.JieqiDay, r.JieqiHour, r.JieqiMinute],
      ['zhongqi', (300 + 30 * (r.JieqiMonth - 1)) % 360, r.ZhongqiDay, r.ZhongqiHour, r.ZhongqiMinute]]) {
      const start = Astronomy.MakeTime(new Date(Date.UTC(r.nian, r.JieqiMonth - 1, 1) - 2 * 86400000));
      const t = Astronomy.SearchSunLongitude(lon, start, 40);
      const ephemeris = Math.floor((t.date.getTime() + CST) / 60000);
      const row = Date.UTC(r.nian, r.JieqiMonth - 1, d, h, mi) / 60000;
      const diff = row - ephemeris;
      if (diff !== 0) off++;
      worst = Math.max(worst, Math.abs(diff));
      if (Math.abs(diff) > 1) far.push(`${r.nian}-${r.JieqiMonth} ${kind}: row ${ymd(r.nian, r.JieqiMonth, d)} ${h}:${mi}, ephemeris ${clockIn(t.date.getTime(), CST)}`);
    }
  }
  return { worst, off, far };
}

const DAY = 86400000;
// Minutes from the nearest midnight of a moment on a clock `offset` ahead of UT.
const minutesFromMidnight = (ms, offset) => {
  const t = (((ms + offset) % DAY) + DAY) % DAY;
  return Math.min(t, DAY - t) / 60000;
};

// Every lunar month whose first day is not the day of the UTC+8 new moon,
// and every month from 1929 on whose new moon falls within three minutes of
// midnight (where ephemerides differ enough for tables to start the month a
// day apart).
function monthStartDifferences(months) {
  const rows = [];
  for (const m of months) {
    const [y, mo, d] = m.date.split('-').map(Number);
    const start = Astronomy.MakeTime(new Date(Date.UTC(y, mo - 1, d) - 3 * DAY));
    const moon = Astronomy.SearchMoonPhase(0, start, 6).date.getTime();
    const differs = dateIn(moon, CST) !== m.date;
    const nearMidnight = minutesFromMidnight(moon, CST) < 10;
    if (!differs && !(minutesFromMidnight(moon, CST) < 3 && y >= 1929)) continue;
    let why;
    if (!differs) why = 'same day, new moon within 3 minutes of midnight';
    else if (y < 1929 && dateIn(moon, BEIJING) === m.date) why = 'Beijing local time (before 1929)';
    else if (y < 1929 && minutesFromMidnight(moon, BEIJING) < 10) {
      why = 'Beijing local time (before 1929), new moon within 10 minutes of its midnight';
    } else if (nearMidnight) why = 'new moon within 10 minutes of midnight';
    else why = 'UNEXPLAINED';
    rows.push({ month: m, moon: clockIn(moon, CST), beijing: clockIn(moon, BEIJING), differs, why });
  }
  return rows;
}

// Largest difference between the table and each day's own equation of time,
// and the best any one-value-per-day table could do (half the spread).
function equationOfTimeBounds(eot) {
  const table = new Map(eot.map((r) => [r.mon * 100 + r.day,
    r.min !== 0 ? Math.sign(r.min) * (Math.abs(r.min) * 60 + r.sec) : r.sec]));
  const spread = new Map();
  let worst = { diff: 0 };
  for (let t = Date.UTC(SPAN.first, 0, 1); t <= Date.UTC(SPAN.last, 11, 31); t += 86400000) {
    const dt = new Date(t);
    const [y, m, d] = [dt.getUTCFullYear(), dt.getUTCMonth() + 1, dt.getUTCDate()];
    const e = equationOfTimeSeconds(y, m, d);
    const diff = Math.abs(e - table.get(m * 100 + d));
    if (diff > worst.diff) worst = { diff, date: ymd(y, m, d), own: e };
    const s = spread.get(m * 100 + d) || { lo: Infinity, hi: -Infinity };
    spread.set(m * 100 + d, { lo: Math.min(s.lo, e), hi: Math.max(s.hi, e) });
  }
  let floor = 0;
  for (const s of spread.values()) floor = Math.max(floor, (s.hi - s.lo) / 2);
  return { worst, floor };
}

function main() {
  const terms = termOffsets(load('data/calendar.csv'));
  console.log(`terms: ${terms.off} of the span's jie and zhongqi minutes differ from the ephemeris, ` +
    `by at most ${terms.worst} minute(s)`);
  for (const f of terms.far) console.log('  ' + f);

  const months = load('tests/fixtures/lunar_months.csv');
  const starts = monthStartDifferences(months);
  console.log(`lunar months: ${months.length} checked, ${starts.filter((r) => r.differs).length} start on ` +
    'another day than the UTC+8 new moon');
  for (const s of starts) {
    const m = s.month;
    console.log(`  ${m.date} 农历${m.lunar_year}年${m.leap ? '闰' : ''}${m.month}月: new moon ${s.moon} UTC+8 ` +
      `(${s.beijing} Beijing local time): ${s.why}`);
  }

  const eot = equationOfTimeBounds(load('data/equation_of_time.csv'));
  console.log(`equation of time: largest difference ${eot.worst.diff.toFixed(1)} s on ${eot.worst.date} ` +
    `(own value ${eot.worst.own.toFixed(1)} s); best possible for one value per day ${eot.floor.toFixed(1)} s`);

  const bad = terms.worst > 2 || starts.some((s) => s.why === 'UNEXPLAINED') || eot.worst.diff > 40;
  process.exitCode = bad ? 1 : 0;
}

if (require.main === module) main();
