'use strict';
// Tests of the generated tables against facts that do not come from the
// generator's own code path: published dates, closed-form pillar arithmetic,
// an independent equation-of-time formula, and cross-checks between files
// built by different routes through lunar-javascript.
//
//   node --test test.js            (reads the files in the repository)
//   CALENDAR_GEN_ROOT=DIR node --test test.js

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('fs');
const path = require('path');
const { parseCsv, SPAN, FIRST_YEAR, LAST_YEAR } = require('./lib');
const { lunarFromRows } = require('./verify');

const ROOT = process.env.CALENDAR_GEN_ROOT || path.resolve(__dirname, '..', '..');
const read = (rel) => fs.readFileSync(path.join(ROOT, rel), 'utf8');
const load = (rel) => parseCsv(read(rel));

const calendar = load('data/calendar.csv');
const eot = load('data/equation_of_time.csv');
const months = load('tests/fixtures/lunar_months.csv');
const births = load('tests/fixtures/eightchar.csv');
const calByKey = new Map(calendar.map((r) => [r.nian * 100 + r.JieqiMonth, r]));

// Days since 1970-01-01 of a Gregorian date.
const dayNumber = (y, m, d) => Date.UTC(y, m - 1, d) / 86400000;
const parseDate = (s) => s.split('-').map(Number);

// The lunar month (row of lunar_months.csv) containing Gregorian (y, m, d).
function monthContaining(y, m, d) {
  const n = dayNumber(y, m, d);
  let lo = 0;
  let hi = months.length - 1;
  while (lo < hi) {
    const mid = (lo + hi + 1) >> 1;
    if (dayNumber(...parseDate(months[mid].date)) <= n) lo = mid; else hi = mid - 1;
  }
  return lo;
}
const monthLength = (i) => dayNumber(...parseDate(months[i + 1].date)) - dayNumber(...parseDate(months[i].date));

test('file layout: headers, LF line ends, row counts', () => {
  for (const rel of ['data/calendar.csv', 'data/equation_of_time.csv',
    'tests/fixtures/lunar_months.csv', 'tests/fixtures/eightchar.csv']) {
    const text = read(rel);
    assert.ok(!text.includes('\r'), `${rel} has CR characters`);
    assert.ok(text.endsWith('\n'));
  }
  assert.equal(read('data/calendar.csv').split('\n')[0],
    'nian,JieqiMonth,JieqiDay,JieqiHour,JieqiMinute,Lmonth,JieqiNDay,Ldays,LdaysA,LeapFlag,ZhongqiDay,ZhongqiHour,ZhongqiMinute');
  assert.equal(calendar.length, (LAST_YEAR - FIRST_YEAR + 1) * 12);
  assert.equal(eot.length, 366);
  assert.equal(births.length, 418);
  calendar.forEach((r, i) => {
    assert.equal(r.nian, FIRST_YEAR + Math.floor(i / 12));
    assert.equal(r.JieqiMonth, (i % 12) + 1);
  });
});

test('calendar: published solar term moments (UTC+8)', () => {
  const jie = (y, m) => { const r = calByKey.get(y * 100 + m); return [r.JieqiDay, r.JieqiHour, r.JieqiMinute]; };
  const zq = (y, m) => { const r = calByKey.get(y * 100 + m); return [r.ZhongqiDay, r.ZhongqiHour, r.ZhongqiMinute]; };
  assert.deepEqual(jie(1990, 2), [4, 10, 14]); // 立春 1990
  assert.deepEqual(jie(2000, 2), [4, 20, 40]); // 立春 2000
  assert.deepEqual(jie(2020, 2), [4, 17, 3]); // 立春 2020
  assert.deepEqual(zq(2020, 12), [21, 18, 2]); // 冬至 2020
  assert.deepEqual(zq(2020, 6), [21, 5, 43]); // 夏至 2020
  // Near the ends of the span, from a second ephemeris: astronomy-engine
  // 2.1.19 (VSOP87 with its own ΔT), the Sun at apparent longitude 315°
  // (立春) and 285° (小寒), in UTC+8: 1801-01-06 01:30:23, 1801-02-04
  // 13:28:07, 2099-02-03 21:09:28. astro.js compares every term.
  assert.deepEqual(jie(1801, 1), [6, 1, 30]); // 小寒 1801
  assert.deepEqual(jie(1801, 2), [4, 13, 28]); // 立春 1801
  assert.deepEqual(jie(2099, 2), [3, 21, 9]); // 立春 2099
});

test('calendar: field ranges', () => {
  for (const r of calendar) {
    assert.ok(r.JieqiDay >= 3 && r.JieqiDay <= 9, `jie day ${r.nian}-${r.JieqiMonth}`);
    assert.ok(r.ZhongqiDay >= 18 && r.ZhongqiDay <= 24, `zhongqi day ${r.nian}-${r.JieqiMonth}`);
    assert.ok(r.JieqiHour >= 0 && r.JieqiHour <= 23 && r.JieqiMinute >= 0 && r.JieqiMinute <= 59);
    assert.ok(r.Lmonth >= 1 && r.Lmonth <= 12);
    assert.ok(r.Ldays === 29 || r.Ldays === 30);
    assert.ok(r.JieqiNDay >= 1 && r.JieqiNDay <= r.Ldays);
    assert.ok(r.LdaysA === 0 || r.LdaysA === 29 || r.LdaysA === 30);
    assert.ok(r.LeapFlag === 0 || r.LeapFlag === 1);
  }
});

test('calendar lunar fields agree with the day-by-day lunar month walk', () => {
  let skipped = 0;
  for (let i = 0; i < calendar.length; i++) {
    const r = calendar[i];
    const k = monthContaining(r.nian, r.JieqiMonth, r.JieqiDay);
    const mo = months[k];
    const where = `${r.nian}-${r.JieqiMonth}`;
    assert.equal(r.Lmonth, mo.month, where);
    assert.equal(r.LeapFlag, mo.leap, where);
    assert.equal(r.JieqiNDay, dayNumber(r.nian, r.JieqiMonth, r.JieqiDay) - dayNumber(...parseDate(mo.date)) + 1, where);
    assert.equal(r.Ldays, monthLength(k), where);
    if (i === 0) { skipped++; continue; }
    const p = calendar[i - 1];
    const pk = monthContaining(p.nian, p.JieqiMonth, p.JieqiDay);
    assert.equal(r.LdaysA, pk === k - 1 ? 0 : monthLength(k - 1), where);
  }
  assert.equal(skipped, 1);
});

test('lunar months: published new-year dates and leap months', () => {
  const byDate = new Map(months.map((m) => [m.date, m]));
  const expectMonth = (date, year, month, leap) => {
    const m = byDate.get(date);
    assert.ok(m, `no lunar month starts on ${date}`);
    assert.deepEqual([m.lunar_year, m.month, m.leap], [year, month, leap], date);
  };
  // Spring Festival dates.
  expectMonth('1900-01-31', 1900, 1, 0);
  expectMonth('1912-02-18', 1912, 1, 0);
  expectMonth('1949-01-29', 1949, 1, 0);
  expectMonth('1976-01-31', 1976, 1, 0);
  expectMonth('2000-02-05', 2000, 1, 0);
  expectMonth('2020-01-25', 2020, 1, 0);
  expectMonth('2022-02-01', 2022, 1, 0);
  expectMonth('1800-01-25', 1800, 1, 0);
  expectMonth('1850-02-12', 1850, 1, 0);
  expectMonth('2100-02-09', 2100, 1, 0);
  expectMonth('2033-12-22', 2033, 11, 1); // the "2033 problem": 闰十一月
  // Leap months.
  expectMonth('1995-09-25', 1995, 8, 1);
  expectMonth('2001-05-23', 2001, 4, 1);
  expectMonth('2012-05-21', 2012, 4, 1);
  expectMonth('2017-07-23', 2017, 6, 1);
  expectMonth('2020-05-23', 2020, 4, 1);
});

test('lunar months: sequence is well formed and covers the span and a year either side', () => {
  assert.ok(months[0].date < `${FIRST_YEAR}-01-01`);
  assert.ok(months[1].date > `${FIRST_YEAR}-01-01`);
  assert.ok(months[months.length - 1].date <= `${LAST_YEAR}-12-31`);
  for (let i = 1; i < months.length; i++) {
    const a = months[i - 1];
    const b = months[i];
    const len = monthLength(i - 1);
    assert.ok(len === 29 || len === 30, `${a.date} length ${len}`);
    if (b.leap) {
      assert.deepEqual([b.lunar_year, b.month, a.leap], [a.lunar_year, a.month, 0], b.date);
    } else if (a.month === 12) {
      assert.deepEqual([b.lunar_year, b.month], [a.lunar_year + 1, 1], b.date);
    } else {
      assert.deepEqual([b.lunar_year, b.month], [a.lunar_year, a.month + 1], b.date);
    }
  }
  // Seven leap months in every 19 years on average.
  const leaps = months.filter((m) => m.leap).length;
  assert.ok(Math.abs(leaps - (LAST_YEAR - FIRST_YEAR + 1) * 7 / 19) < 3, `leap months: ${leaps}`);
});

test('calendar rows reproduce the lunar date of sample days', () => {
  const c = new Proxy({}, { get: (o, k) => o[k] || 0, set: (o, k, v) => { o[k] = v; return true; } });
  // Every 7th day across the range; verify.js runs the full day-by-day check.
  for (let n = dayNumber(SPAN.first - 1, 12, 1); n <= dayNumber(SPAN.last + 1, 1, 31); n += 7) {
    const t = new Date(n * 86400000);
    const [y, m, d] = [t.getUTCFullYear(), t.getUTCMonth() + 1, t.getUTCDate()];
    const mo = months[monthContaining(y, m, d)];
    const got = lunarFromRows(calByKey, y, m, d, c);
    assert.deepEqual([got.year, got.month, got.leap ? 1 : 0, got.day],
      [mo.lunar_year, mo.month, mo.leap, n - dayNumber(...parseDate(mo.date)) + 1], `${y}-${m}-${d}`);
  }
});

// --- equation of time -------------------------------------------------------

const rad = (x) => x * Math.PI / 180;
const deg = (x) => x * 180 / Math.PI;
const norm360 = (x) => ((x % 360) + 360) % 360;

// Equation of time in seconds after Meeus, Astronomical Algorithms ch. 25/28
// (low-accuracy solar coordinates), at Julian day jd.
function meeusEquationOfTime(jd) {
  const T = (jd - 2451545.0) / 36525;
  const L0 = norm360(280.46646 + 36000.76983 * T + 0.0003032 * T * T);
  const M = rad(357.52911 + 35999.05029 * T - 0.0001537 * T * T);
  const C = (1.914602 - 0.004817 * T - 0.000014 * T * T) * Math.sin(M)
    + (0.019993 - 0.000101 * T) * Math.sin(2 * M) + 0.000289 * Math.sin(3 * M);
  const omega = rad(125.04 - 1934.136 * T);
  const lambda = rad(L0 + C - 0.00569 - 0.00478 * Math.sin(omega));
  const eps0 = 23 + 26 / 60 + (21.448 - 46.815 * T) / 3600;
  const eps = rad(eps0 + 0.00256 * Math.cos(omega));
  const alpha = norm360(deg(Math.atan2(Math.cos(eps) * Math.sin(lambda), Math.cos(lambda))));
  const Lm = rad(280.4665 + 36000.7698 * T);
  const Lp = rad(218.3165 + 481267.8813 * T);
  const dpsi = (-17.2 * Math.sin(omega) - 1.32 * Math.sin(2 * Lm)
    - 0.23 * Math.sin(2 * Lp) + 0.21 * Math.sin(2 * omega)) / 3600;
  let E = L0 - 0.0057183 - alpha + dpsi * Math.cos(eps);
  E = ((E + 180) % 360 + 360) % 360 - 180;
  return E * 240; // 1 degree = 4 minutes of time
}

const eotSeconds = (r) => (r.min !== 0 ? Math.sign(r.min) * (Math.abs(r.min) * 60 + r.sec) : r.sec);

test('equation of time: Meeus example 28.b (1992-10-13 0h TD, +13m42.7s)', () => {
  assert.ok(Math.abs(meeusEquationOfTime(2448908.5) - (13 * 60 + 42.7)) < 2);
});

test('equation of time: row format', () => {
  let i = 0;
  for (let m = 1; m <= 12; m++) {
    for (let d = 1; d <= [31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][m - 1]; d++) {
      const r = eot[i++];
      assert.deepEqual([r.mon, r.day], [m, d]);
      if (r.min !== 0) assert.ok(r.sec >= 0 && r.sec <= 59);
      else assert.ok(Math.abs(r.sec) <= 59);
      assert.ok(Math.abs(r.min) <= 16);
    }
  }
});

test('equation of time: matches an independent formula averaged over 1890..2020', () => {
  let worst = 0;
  for (const r of eot) {
    let sum = 0;
    let count = 0;
    for (let y = 1890; y <= 2020; y++) {
      const leap = (y % 4 === 0 && y % 100 !== 0) || y % 400 === 0;
      if (r.mon === 2 && r.day === 29 && !leap) continue;
      // 12:00 at UTC+8 is 04:00 UT; mean time at 120° E is then 12:00.
      sum += meeusEquationOfTime(2440587.5 + dayNumber(y, r.mon, r.day) + 4 / 24);
      count++;
    }
    worst = Math.max(worst, Math.abs(eotSeconds(r) - sum / count));
  }
  assert.ok(worst < 2, `largest difference ${worst.toFixed(2)} s`);
});

test('equation of time: extremes in mid-February and early November', () => {
  const secs = eot.map(eotSeconds);
  const lo = eot[secs.indexOf(Math.min(...secs))];
  const hi = eot[secs.indexOf(Math.max(...secs))];
  assert.equal(lo.mon, 2);
  assert.ok(lo.day >= 10 && lo.day <= 14);
  assert.ok(Math.min(...secs) > -15 * 60 && Math.min(...secs) < -14 * 60);
  assert.equal(hi.mon, 11);
  assert.ok(hi.day >= 1 && hi.day <= 5);
  assert.ok(Math.max(...secs) > 16 * 60 && Math.max(...secs) < 17 * 60);
});

// --- four pillars -------------------------------------------------------------

const GAN = '甲乙丙丁戊己庚辛壬癸';
const ZHI = '子丑寅卯辰巳午未申酉戌亥';
const gz = (i) => GAN[((i % 60) + 60) % 60 % 10] + ZHI[((i % 60) + 60) % 60 % 12];
const gzIndex = (s) => {
  for (let i = 0; i < 60; i++) if (gz(i) === s) return i;
  throw new Error(`not a gan-zhi: ${s}`);
};

// Minutes since 1970 of a wall-clock time, for ordering births against terms.
const minuteOf = (y, m, d, h, mi) => Date.UTC(y, m - 1, d, h, mi) / 60000;
const jieMinute = (y, m) => {
  const r = calByKey.get(y * 100 + m);
  return minuteOf(y, m, r.JieqiDay, r.JieqiHour, r.JieqiMinute);
};

test('four pillars: fixed cases', () => {
  const find = (y, m, d, h, mi) => births.find((b) => b.year === y && b.month === m && b.day === d && b.hour === h && b.minute === mi);
  const pillars = (b) => [b.year_gz, b.month_gz, b.day_gz, b.hour_gz];
  assert.deepEqual(pillars(find(1949, 10, 1, 12, 0)), ['己丑', '癸酉', '甲子', '庚午']);
  assert.deepEqual(pillars(find(2000, 1, 7, 12, 0)).slice(2), ['甲子', '庚午']);
  assert.deepEqual(pillars(find(2000, 1, 6, 23, 30)).slice(2), ['甲子', '甲子']);
  assert.equal(find(1990, 2, 4, 10, 13).year_gz, '己巳');
  assert.equal(find(1990, 2, 4, 10, 14).year_gz, '庚午');
  assert.equal(births.filter((b) => b.jie_same_minute === 1).length >= 1, true);
  births.forEach((b, i) => assert.equal(b.sex, i % 2 === 0 ? 1 : 0));
});

test('four pillars: every row agrees with closed-form pillar arithmetic', () => {
  let checked = 0;
  for (const b of births) {
    const where = `${b.year}-${b.month}-${b.day} ${b.hour}:${b.minute}`;
    const t = minuteOf(b.year, b.month, b.day, b.hour, b.minute);
    // Day: 2000-01-07 (day 10963 since 1970) is 甲子; from 23:00 the next day.
    const dayIdx = dayNumber(b.year, b.month, b.day) - 10963 + (b.hour >= 23 ? 1 : 0);
    assert.equal(b.day_gz, gz(dayIdx), where);
    // Hour: 子 from 23:00, stem from the day stem (五鼠遁).
    const hz = Math.floor((b.hour + 1) / 2) % 12;
    assert.equal(b.hour_gz, GAN[((((dayIdx % 10) + 10) % 10) % 5 * 2 + hz) % 10] + ZHI[hz], where);
    if (b.jie_same_minute === 1) continue; // whole minutes cannot order these
    // Year: turns at 立春; 1984 is 甲子.
    const y = t >= jieMinute(b.year, 2) ? b.year : b.year - 1;
    assert.equal(b.year_gz, gz(y - 1984), where);
    // Month: the last jie at or before the birth; 寅 month opens at 立春.
    let jy = b.year;
    let jm = b.month;
    if (t < jieMinute(jy, jm)) { jm--; if (jm === 0) { jm = 12; jy--; } }
    const branch = (jm + 12) % 12; // Jan 丑, Feb 寅, ..., Dec 子
    const monthsFromYin = (branch - 2 + 12) % 12;
    const yinStem = ((((y - 1984) % 10) + 10) % 10 % 5 * 2 + 2) % 10; // 五虎遁
    assert.equal(b.month_gz, GAN[(yinStem + monthsFromYin) % 10] + ZHI[branch], where);
    // Luck pillars step from the month pillar; forward for a yang year stem
    // with a male, or a yin one with a female.
    const yang = ((((y - 1984) % 10) + 10) % 10) % 2 === 0;
    const step = (yang === (b.sex === 1)) ? 1 : -1;
    const mi = gzIndex(b.month_gz);
    for (let k = 1; k <= 8; k++) assert.equal(b['luck' + k], gz(mi + step * k), `${where} luck${k}`);
    checked++;
  }
  assert.ok(checked >= 400);
});
