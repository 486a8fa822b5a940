'use strict';
// Checks that the monthly rows of data/calendar.csv are enough to recover the
// lunar date of every day, using the same rules as the C++ calendar code, and
// compares each day with lunar-javascript's own Gregorian-to-lunar conversion.
//
//   node verify.js [path/to/calendar.csv]
//
// Exits non-zero when any day disagrees.

const fs = require('fs');
const path = require('path');
const { Solar } = require('lunar-javascript');
const { parseCsv, SPAN } = require('./lib');

// The span's days and the month either side of it (a corrected time may
// cross into them).
const FROM = [SPAN.first - 1, 12, 1];
const TO = [SPAN.last + 1, 1, 31];

function loadRows(file) {
  const byKey = new Map();
  for (const r of parseCsv(fs.readFileSync(file, 'utf8'))) {
    byKey.set(r.nian * 100 + r.JieqiMonth, r);
  }
  return byKey;
}

function neighbourKey(y, m, step) {
  let mm = m + step;
  let yy = y;
  if (mm === 0) { mm = 12; yy--; }
  if (mm === 13) { mm = 1; yy++; }
  return yy * 100 + mm;
}

// The lunar date of Gregorian (y, m, ri) from the month rows; `c` counts the
// rule branches taken.
function lunarFromRows(rows, y, m, ri, c) {
  const row = rows.get(y * 100 + m);
  if (!row) throw new Error(`no row for ${y}-${m}`);
  let n = row.JieqiNDay + (ri - row.JieqiDay);
  const afterJie = ri > row.JieqiDay;
  const rule = afterJie ? 'A' : row.LdaysA === 0 ? 'B' : 'C';
  const dateOf = (ny, leap, day) => ({ year: ny > m ? y - 1 : y, month: ny, leap, day });
  // Inside the row's own lunar month: its number and leap mark.
  if (afterJie ? n <= row.Ldays : n > 0) {
    c[`${rule}_same`]++;
    return dateOf(row.Lmonth, row.LeapFlag === 1, n);
  }
  if (rule === 'A') {
    c.A_next++;
    const ny = row.Lmonth === 12 ? 1 : row.Lmonth + 1;
    const next = rows.get(neighbourKey(y, m, 1));
    if (next.Lmonth >= ny) return dateOf(ny, false, n - row.Ldays);
    c.A_next_leap++;
    return dateOf(next.Lmonth, true, n - row.Ldays);
  }
  if (rule === 'B') {
    c.B_prev++;
    const prev = rows.get(neighbourKey(y, m, -1));
    return dateOf(prev.Lmonth, prev.LeapFlag === 1, n + prev.Ldays);
  }
  c.C_back++;
  if (row.LeapFlag === 1) c.C_back_from_leap++;
  const ny = row.LeapFlag === 1 ? row.Lmonth : row.Lmonth === 1 ? 12 : row.Lmonth - 1;
  return dateOf(ny, false, n + row.LdaysA);
}

function main() {
  const file = process.argv[2] || path.resolve(__dirname, '..', '..', 'data', 'calendar.csv');
  const rows = loadRows(file);
  const c = {
    A_same: 0, A_next: 0, A_next_leap: 0, B_same: 0, B_prev: 0,
    C_same: 0, C_back: 0, C_back_from_leap: 0, C_back_into_leap: 0,
  };
  const end = Solar.fromYmd(...TO).toYmd();
  let days = 0;
  const mismatches = [];
  for (let s = Solar.fromYmd(...FROM); s.toYmd() <= end; s = s.next(1)) {
    days++;
    const before = c.C_back;
    const got = lunarFromRows(rows, s.getYear(), s.getMonth(), s.getDay(), c);
    const l = s.getLunar();
    const want = { year: l.getYear(), month: Math.abs(l.getMonth()), leap: l.getMonth() < 0, day: l.getDay() };
    if (c.C_back > before && want.leap) c.C_back_into_leap++;
    if (got.year !== want.year || got.month !== want.month || got.leap !== want.leap || got.day !== want.day) {
      mismatches.push(`${s.toYmd()}: rows give ${JSON.stringify(got)}, lunar-javascript ${JSON.stringify(want)}`);
    }
  }
  console.log(`days checked: ${days} (${Solar.fromYmd(...FROM).toYmd()} .. ${end})`);
  console.log('A  after the jie day, same lunar month:        ' + c.A_same);
  console.log('A  after the jie day, next lunar month:        ' + c.A_next + ` (of which leap: ${c.A_next_leap})`);
  console.log('B  up to the jie day, same lunar month:        ' + c.B_same);
  console.log('B  up to the jie day, previous row\'s month:    ' + c.B_prev);
  console.log('C  up to the jie day, same lunar month:        ' + c.C_same);
  console.log('C  up to the jie day, stepped back one month:  ' + c.C_back +
    ` (from a leap month: ${c.C_back_from_leap}; landing in a leap month: ${c.C_back_into_leap})`);
  console.log(`mismatches: ${mismatches.length}`);
  for (const m of mismatches) console.log('  ' + m);
  process.exitCode = mismatches.length === 0 ? 0 : 1;
}

if (require.main === module) main();

module.exports = { lunarFromRows, loadRows };
