'use strict';
// Shared helpers for the calendar table generator, its verifier and its tests.
// All clock times are China Standard Time (UTC+8), the time lunar-javascript
// uses for its solar terms and new moons.

const fs = require('fs');
const path = require('path');
const { Solar, LunarMonth } = require('lunar-javascript');

// Jie (sectional) term opening each Gregorian month, January first.
const JIE_NAMES = ['小寒', '立春', '惊蛰', '清明', '立夏', '芒种',
  '小暑', '立秋', '白露', '寒露', '立冬', '大雪'];
// Zhongqi (mid-month) term of each Gregorian month. The term table of a lunar
// year keys this year's winter solstice as 'DONG_ZHI' ('冬至' there is the
// previous December's).
const ZHONGQI_NAMES = ['大寒', '雨水', '春分', '谷雨', '小满', '夏至',
  '大暑', '处暑', '秋分', '霜降', '小雪', 'DONG_ZHI'];

// The years the program charts, read from its one home in the C++ code.
function readSpan() {
  const header = fs.readFileSync(path.resolve(__dirname, '..', '..', 'engine', 'span.h'), 'utf8');
  const year = (name) => {
    const m = header.match(new RegExp(`${name}\\s*=\\s*(\\d+)`));
    if (!m) throw new Error(`engine/span.h has no ${name}`);
    return Number(m[1]);
  };
  return { first: year('kFirstYear'), last: year('kLastYear') };
}
const SPAN = readSpan();
// One year of rows either side of the span: a birth on the span's first day
// west of 120° is corrected into the December before it, and a birth on its
// last day needs the next year's 小寒 for its luck start.
const FIRST_YEAR = SPAN.first - 1;
const LAST_YEAR = SPAN.last + 1;

function pad2(n) {
  return (n < 10 ? '0' : '') + n;
}

function ymd(y, m, d) {
  return `${y}-${pad2(m)}-${pad2(d)}`;
}

function moment(solar) {
  return {
    year: solar.getYear(), month: solar.getMonth(), day: solar.getDay(),
    hour: solar.getHour(), minute: solar.getMinute(), second: solar.getSecond(),
  };
}

const termCache = new Map();

// The 12 jie and 12 zhongqi moments of Gregorian year y, indexed by month - 1.
// The lunar year that contains June of y holds every term from the previous
// December's 大雪 to the next March's 惊蛰, so all 24 terms of y are in it.
function termsOfYear(y) {
  if (termCache.has(y)) return termCache.get(y);
  const table = Solar.fromYmd(y, 6, 1).getLunar().getJieQiTable();
  const jie = [];
  const zhongqi = [];
  for (let m = 1; m <= 12; m++) {
    const j = moment(table[JIE_NAMES[m - 1]]);
    const z = moment(table[ZHONGQI_NAMES[m - 1]]);
    for (const [name, t] of [[JIE_NAMES[m - 1], j], [ZHONGQI_NAMES[m - 1], z]]) {
      if (t.year !== y || t.month !== m) {
        throw new Error(`term ${name} of ${y} falls on ${ymd(t.year, t.month, t.day)}, expected month ${m}`);
      }
    }
    jie.push(j);
    zhongqi.push(z);
  }
  const result = { jie, zhongqi };
  termCache.set(y, result);
  return result;
}

// The lunar month containing a Gregorian date, as lunar-javascript reckons it.
function lunarMonthOfSolar(solar) {
  const l = solar.getLunar();
  const lm = LunarMonth.fromYm(l.getYear(), l.getMonth());
  const first = Solar.fromJulianDay(lm.getFirstJulianDay());
  return {
    year: l.getYear(),
    month: Math.abs(l.getMonth()),
    leap: l.getMonth() < 0,
    day: l.getDay(),
    days: lm.getDayCount(),
    first: first.toYmd(),
    firstSolar: first,
  };
}

function lunarMonthOf(y, m, d) {
  return lunarMonthOfSolar(Solar.fromYmd(y, m, d));
}

// The lunar month that immediately precedes the given one.
function previousLunarMonth(info) {
  return lunarMonthOfSolar(info.firstSolar.next(-1));
}

const CALENDAR_COLUMNS = ['nian', 'JieqiMonth', 'JieqiDay', 'JieqiHour', 'JieqiMinute',
  'Lmonth', 'JieqiNDay', 'Ldays', 'LdaysA', 'LeapFlag',
  'ZhongqiDay', 'ZhongqiHour', 'ZhongqiMinute'];

// One row per Gregorian month from `fromYear`-01 to `toYear`-12.
function calendarRows(fromYear, toYear) {
  const rows = [];
  const prevJie = termsOfYear(fromYear - 1).jie[11];
  let prevMonth = lunarMonthOf(fromYear - 1, 12, prevJie.day);
  for (let y = fromYear; y <= toYear; y++) {
    const terms = termsOfYear(y);
    for (let m = 1; m <= 12; m++) {
      const jie = terms.jie[m - 1];
      const zq = terms.zhongqi[m - 1];
      const lm = lunarMonthOf(y, m, jie.day);
      const before = previousLunarMonth(lm);
      rows.push({
        nian: y,
        JieqiMonth: m,
        JieqiDay: jie.day,
        JieqiHour: jie.hour,
        JieqiMinute: jie.minute,
        Lmonth: lm.month,
        JieqiNDay: lm.day,
        Ldays: lm.days,
        LdaysA: before.first === prevMonth.first ? 0 : before.days,
        LeapFlag: lm.leap ? 1 : 0,
        ZhongqiDay: zq.day,
        ZhongqiHour: zq.hour,
        ZhongqiMinute: zq.minute,
      });
      prevMonth = lm;
    }
  }
  return rows;
}

function toCsv(columns, rows) {
  const lines = [columns.join(',')];
  for (const r of rows) lines.push(columns.map((c) => String(r[c])).join(','));
  return lines.join('\n') + '\n';
}

function parseCsv(text) {
  const lines = text.split('\n').filter((l) => l.length > 0);
  const columns = lines[0].split(',');
  return lines.slice(1).map((line) => {
    const cells = line.split(',');
    const row = {};
    columns.forEach((c, i) => {
      const v = cells[i];
      row[c] = /^-?\d+$/.test(v) ? Number(v) : v;
    });
    return row;
  });
}

module.exports = {
  JIE_NAMES, ZHONGQI_NAMES, SPAN, FIRST_YEAR, LAST_YEAR, CALENDAR_COLUMNS,
  pad2, ymd, termsOfYear, lunarMonthOf, lunarMonthOfSolar, previousLunarMonth,
  calendarRows, toCsv, parseCsv,
};
