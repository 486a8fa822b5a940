'use strict';
// Writes the calendar tables and the test fixtures.
//
//   node gen.js [--out DIR]
//
// DIR defaults to the repository root; the files go to DIR/data/ and
// DIR/tests/fixtures/. Output is deterministic: re-running reproduces it
// byte for byte.

const fs = require('fs');
const path = require('path');
const { Solar } = require('lunar-javascript');
const Astronomy = require('astronomy-engine');
const {
  SPAN, FIRST_YEAR, LAST_YEAR, CALENDAR_COLUMNS, ymd, termsOfYear,
  calendarRows, toCsv,
} = require('./lib');

// ---------------------------------------------------------------------------
// Equation of time

const EOT_FIRST_YEAR = 1890;
const EOT_LAST_YEAR = 2020;
// Mean local time 12:00 at 120° E is 04:00 UT, i.e. 12:00 China Standard Time.
const EOT_OBSERVER = new Astronomy.Observer(30, 120, 0);

function isLeapYear(y) {
  return (y % 4 === 0 && y % 100 !== 0) || y % 400 === 0;
}

const DAYS_IN_MONTH = [31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31];

// Apparent minus mean solar time, in seconds, at 12:00 mean time at 120° E.
function equationOfTimeSeconds(y, m, d) {
  const time = Astronomy.MakeTime(new Date(Date.UTC(y, m - 1, d, 4, 0, 0)));
  const ha = Astronomy.HourAngle(Astronomy.Body.Sun, time, EOT_OBSERVER);
  // Apparent solar time is HA + 12 h; mean solar time is 12 h.
  let e = ((ha + 12) % 24) - 12;
  if (e <= -12) e += 24;
  return e * 3600;
}

function roundHalfAwayFromZero(x) {
  return Math.sign(x) * Math.round(Math.abs(x));
}

function equationOfTimeRows() {
  const rows = [];
  for (let m = 1; m <= 12; m++) {
    for (let d = 1; d <= DAYS_IN_MONTH[m - 1]; d++) {
      let sum = 0;
      let count = 0;
      for (let y = EOT_FIRST_YEAR; y <= EOT_LAST_YEAR; y++) {
        if (m === 2 && d === 29 && !isLeapYear(y)) continue;
        sum += equationOfTimeSeconds(y, m, d);
        count++;
      }
      const e = roundHalfAwayFromZero(sum / count);
      const min = Math.trunc(e / 60);
      const sec = min !== 0 ? Math.abs(e) - 60 * Math.abs(min) : e;
      // `+ 0` turns a negative zero into 0 so it prints as "0".
      rows.push({ mon: m, day: d, min: min + 0, sec: sec + 0 });
    }
  }
  return rows;
}

// ---------------------------------------------------------------------------
// Lunar month fixture: walks lunar-javascript's day-by-day conversion.

function lunarMonthStarts() {
  // Step back from the first day of the range to the start of its lunar month.
  let s = Solar.fromYmd(FIRST_YEAR, 1, 1);
  while (s.getLunar().getDay() !== 1) s = s.next(-1);
  const end = ymd(LAST_YEAR, 12, 31);
  const rows = [];
  for (; s.toYmd() <= end; s = s.next(1)) {
    const l = s.getLunar();
    if (l.getDay() !== 1) continue;
    rows.push({
      date: s.toYmd(),
      lunar_year: l.getYear(),
      month: Math.abs(l.getMonth()),
      leap: l.getMonth() < 0 ? 1 : 0,
    });
  }
  return rows;
}

// ---------------------------------------------------------------------------
// Four pillars fixture

// mulberry32: small, well-known 32-bit PRNG; fixed seed keeps the draw stable.
function mulberry32(seed) {
  let a = seed >>> 0;
  return function next() {
    a = (a + 0x6D2B79F5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const BIRTH_SEED = 0x5EED8C4A;
const RANDOM_BIRTHS = 400;

function addMinutes(b, minutes) {
  const t = new Date(Date.UTC(b[0], b[1] - 1, b[2], b[3], b[4]) + minutes * 60000);
  return [t.getUTCFullYear(), t.getUTCMonth() + 1, t.getUTCDate(), t.getUTCHours(), t.getUTCMinutes()];
}

function deliberateBirths() {
  const births = [
    [1949, 10, 1, 12, 0],
    [2000, 1, 7, 12, 0],
    [1900, 1, 1, 12, 0],
    [2000, 1, 6, 23, 30],
    [1990, 2, 4, 10, 13],
    [1990, 2, 4, 10, 14],
    // Late-evening births: the day pillar moves to the next day from 23:00.
    [1900, 1, 31, 23, 10],
    [1931, 9, 18, 23, 0],
    [1949, 10, 1, 23, 0],
    [1984, 2, 4, 23, 59],
    [2000, 2, 4, 23, 45],
    [2010, 12, 31, 23, 20],
    // The ends of the span.
    [1800, 1, 1, 0, 5],
    [1800, 1, 1, 12, 0],
    [2100, 2, 4, 12, 0],
    [2100, 12, 31, 23, 59],
  ];
  // A jie term that falls late in the evening: one minute either side of it.
  outer:
  for (let y = 1960; y <= 2020; y++) {
    const jie = termsOfYear(y).jie;
    for (let m = 1; m <= 12; m++) {
      const t = jie[m - 1];
      if (t.hour === 23 && t.minute >= 1 && t.minute <= 58) {
        births.push([y, m, t.day, 23, t.minute - 1]);
        births.push([y, m, t.day, 23, t.minute + 1]);
        break outer;
      }
    }
  }
  return births;
}

function randomBirths() {
  const rand = mulberry32(BIRTH_SEED);
  const first = [SPAN.first, 1, 1, 0, 0];
  const span = (Date.UTC(SPAN.last, 11, 31, 23, 59) - Date.UTC(SPAN.first, 0, 1, 0, 0)) / 60000 + 1;
  const births = [];
  for (let i = 0; i < RANDOM_BIRTHS; i++) {
    births.push(addMinutes(first, Math.floor(rand() * span)));
  }
  return births;
}

const EIGHTCHAR_COLUMNS = ['year', 'month', 'day', 'hour', 'minute', 'sex',
  'year_gz', 'month_gz', 'day_gz', 'hour_gz',
  'luck1', 'luck2', 'luck3', 'luck4', 'luck5', 'luck6', 'luck7', 'luck8',
  'jie_same_minute'];

function eightCharRow(birth, sex) {
  const [year, month, day, hour, minute] = birth;
  const lunar = Solar.fromYmdHms(year, month, day, hour, minute, 0).getLunar();
  const ec = lunar.getEightChar();
  ec.setSect(1); // from 23:00 on, the next day's day pillar
  const luck = ec.getYun(sex).getDaYun(9);
  if (luck[0].getGanZhi() !== '') throw new Error('expected a pre-luck entry first');
  const row = {
    year, month, day, hour, minute, sex,
    year_gz: ec.getYear(),
    month_gz: ec.getMonth(),
    day_gz: ec.getDay(),
    hour_gz: ec.getTime(),
  };
  for (let i = 1; i <= 8; i++) row['luck' + i] = luck[i].getGanZhi();
  const jie = termsOfYear(year).jie[month - 1];
  row.jie_same_minute = (jie.day === day && jie.hour === hour && jie.minute === minute) ? 1 : 0;
  for (const c of EIGHTCHAR_COLUMNS) {
    if (typeof row[c] === 'string' && row[c].length !== 2) {
      throw new Error(`bad gan-zhi ${c}=${row[c]} for ${birth.join(' ')}`);
    }
  }
  return row;
}

function eightCharRows() {
  const births = deliberateBirths().concat(randomBirths());
  return births.map((b, i) => eightCharRow(b, i % 2 === 0 ? 1 : 0));
}

// ---------------------------------------------------------------------------

function parseArgs(argv) {
  let out = path.resolve(__dirname, '..', '..');
  for (let i = 0; i < argv.length; i++) {
    if (argv[i] === '--out' && i + 1 < argv.length) {
      out = path.resolve(argv[++i]);
    } else {
      throw new Error(`unknown argument ${argv[i]}; usage: node gen.js [--out DIR]`);
    }
  }
  return out;
}

function write(root, rel, text) {
  const file = path.join(root, rel);
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, text);
  const rows = text.split('\n').length - 2;
  console.log(`${rel}: ${rows} rows`);
}

function main() {
  const root = parseArgs(process.argv.slice(2));
  write(root, 'data/calendar.csv',
    toCsv(CALENDAR_COLUMNS, calendarRows(FIRST_YEAR, LAST_YEAR)));
  write(root, 'data/equation_of_time.csv',
    toCsv(['mon', 'day', 'min', 'sec'], equationOfTimeRows()));
  write(root, 'tests/fixtures/lunar_months.csv',
    toCsv(['date', 'lunar_year', 'month', 'leap'], lunarMonthStarts()));
  write(root, 'tests/fixtures/eightchar.csv',
    toCsv(EIGHTCHAR_COLUMNS, eightCharRows()));
}

if (require.main === module) main();

module.exports = { equationOfTimeSeconds, mulberry32 };
