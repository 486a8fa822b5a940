// The same births as paipan-cli --batch, through lunar-javascript: lunar
// date, four pillars, 纳音, 8 luck pillars with their 10 annual pillars, 胎元
// and 命宫. Prints "charts seconds" for the charts it made.
'use strict';
const fs = require('fs');
const { Solar } = require('lunar-javascript');

const births = fs.readFileSync(process.argv[2], 'utf8').trim().split('\n').map((l) => JSON.parse(l));
let sink = 0;
const start = process.hrtime.bigint();
for (const b of births) {
  const lunar = Solar.fromYmdHms(b.year, b.month, b.day, b.hour, b.minute, 0).getLunar();
  const ec = lunar.getEightChar();
  const parts = [lunar.toString(), ec.getYear(), ec.getMonth(), ec.getDay(), ec.getTime(),
    ec.getYearNaYin(), ec.getMonthNaYin(), ec.getDayNaYin(), ec.getTimeNaYin(), ec.getTaiYuan(), ec.getMingGong()];
  const luck = ec.getYun(b.sex === 'female' ? 0 : 1).getDaYun(9).slice(1);
  for (const d of luck) {
    parts.push(d.getGanZhi());
    for (const y of d.getLiuNian()) parts.push(y.getGanZhi());
  }
  sink += parts.join('').length;
}
const seconds = Number(process.hrtime.bigint() - start) / 1e9;
process.stdout.write(`${births.length} ${seconds} ${sink}\n`);
