// The searches of paipan-bench-pillars through lunar-javascript's
// Solar.fromBaZi, which searches from a base year to the current year and
// needs all four pillars: a search with the year open runs it for each of
// the twelve year pillars the month allows, one of day and hour for each
// of the 720 year and month pairs that can stand together.
// Usage: node from-bazi.js SEARCHES_FILE BASE_YEAR  (prints the medians)
'use strict';
const fs = require('fs');
const { Solar, LunarUtil } = require('lunar-javascript');

const lines = fs.readFileSync(process.argv[2], 'utf8').trim().split('\n').map((l) => l.split(' '));
const baseYear = Number(process.argv[3]);
const GAN = '甲乙丙丁戊己庚辛壬癸', ZHI = '子丑寅卯辰巳午未申酉戌亥';
const pairs = [];
for (let i = 0; i < 60; i++) pairs.push(GAN[i % 10] + ZHI[i % 12]);

function monthsOf(year) {  // the twelve month pillars of a year stem (五虎遁)
  const stem = GAN.indexOf(year[0]);
  return [2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1].map((b, i) => GAN[((stem % 5) * 2 + 2 + i) % 10] + ZHI[b]);
}
const yearsOf = (month) => pairs.filter((y) => monthsOf(y).includes(month));

function time(count, search) {
  const ms = [];
  let found = 0;
  for (let i = 0; i < count; i++) {
    const start = process.hrtime.bigint();
    found += search(lines[i]);
    ms.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  ms.sort((a, b) => a - b);
  return `median ${ms[Math.floor(count / 2)].toFixed(3)} ms over ${count} searches (${(found / count).toFixed(1)} found each)`;
}

const four = ([y, m, d, h, sect]) => Solar.fromBaZi(y, m, d, h, Number(sect), baseYear).length;
const three = ([, m, d, h, sect]) => yearsOf(m).reduce((n, y) => n + four([y, m, d, h, sect]), 0);
const two = ([, , d, h, sect]) =>
  pairs.reduce((n, y) => n + monthsOf(y).reduce((k, m) => k + four([y, m, d, h, sect]), 0), 0);

console.log(`lunar-javascript four pillars      : ${time(300, four)}`);
console.log(`lunar-javascript three (year open) : ${time(40, three)}`);
console.log(`lunar-javascript two (day and hour): ${time(3, two)}`);
void LunarUtil;
