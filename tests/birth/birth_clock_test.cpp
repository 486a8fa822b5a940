// The clock of the birthplace: the zone files read on their own against the
// C library's reading of the same files, and the correction block of births
// abroad against corrections worked by hand from each zone's standard
// meridian (15° an hour of UTC offset; one arc-minute is 4 seconds of time).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "util/program_folder.h"
#include "birth/birth_clock.h"
#include "birth/notices.h"
#include "calendar/zone_file.h"

namespace paipan {
namespace {

// The C library's offset and summer flag at a UTC moment.
std::pair<long, int> Glibc(const std::string& zone, std::time_t utc) {
    setenv("TZ", (":" + zone).c_str(), 1);
    tzset();
    std::tm tm{};
    localtime_r(&utc, &tm);
    return {tm.tm_gmtoff, tm.tm_isdst};
}

TEST(ZoneFile, AgreesWithTheCLibraryFrom1800To2100) {
    const char* zones[] = {"Asia/Shanghai",     "Asia/Tokyo",       "America/Vancouver", "Asia/Kolkata",
                           "Asia/Kathmandu",    "Asia/Taipei",      "Asia/Hong_Kong",    "Europe/Dublin",
                           "Europe/London",     "Australia/Sydney", "America/St_Johns",  "Pacific/Auckland",
                           "America/Sao_Paulo", "Asia/Singapore"};
    for (const char* zone : zones) {
        const auto file = ZoneFile::Read(zone);
        ASSERT_TRUE(file) << zone;
        // Every 9 days and 7 hours or so, 1800 to 2100 (2037 on: the rule at the file's end).
        for (std::int64_t t = -5364662400; t < 4102444800; t += 803 * 1000 + 17) {
            const ZonePeriod p = file->At(t);
            EXPECT_EQ(std::make_pair(static_cast<long>(p.offset), p.dst ? 1 : 0), Glibc(zone, t)) << zone << " " << t;
            EXPECT_TRUE(p.begin <= t && t < p.end) << zone << " " << t;
        }
    }
    EXPECT_FALSE(ZoneFile::Read("Nowhere/Else"));
    EXPECT_FALSE(ZoneFile::Read("../zoneinfo/Asia/Tokyo"));
    EXPECT_FALSE(ZoneFile::Read("zone.tab"));
    EXPECT_FALSE(ZoneFile::Read("Asia"));  // a folder of zones (found by the fuzzer: it threw)
}

std::int64_t Utc(int y, int m, int d) { return MakeDateTime(y, m, d).time_since_epoch().count(); }

TEST(ZoneFile, StandardClockOfTheDay) {
    // Offsets from the tz database's own Zone lines (seconds east of UTC).
    // clang-format off
    const struct { const char* zone; int y, m, d; int offset; bool localMean; } cases[] = {
        // clang-format on
        {"Asia/Tokyo", 1990, 5, 8, 9 * 3600, false},
        {"Asia/Tokyo", 1880, 5, 8, 33539, true},              // LMT 9:18:59 until 1888
        {"America/Vancouver", 1990, 7, 1, -8 * 3600, false},  // summer time: still -8
        {"America/Vancouver", 2080, 7, 1, -8 * 3600, false},
        {"Asia/Kathmandu", 1985, 6, 1, 19800, false},  // +5:30 until 1986
        {"Asia/Kathmandu", 1987, 6, 1, 20700, false},  // +5:45 since
        {"Asia/Kathmandu", 1910, 6, 1, 20476, true},   // LMT 5:41:16 until 1920
        {"Asia/Taipei", 1940, 6, 1, 9 * 3600, false},  // Japanese time 1937-1945
        {"Asia/Taipei", 1950, 6, 1, 8 * 3600, false},
        {"Europe/Dublin", 2000, 1, 15, 0, false},  // winter flagged as the exception
        {"Europe/Dublin", 2000, 7, 15, 0, false},
        {"Europe/London", 1944, 7, 1, 0, false},  // double summer time
    };
    for (const auto& c : cases) {
        const StandardClock s = StandardClockAt(*ZoneFile::Read(c.zone), Utc(c.y, c.m, c.d));
        EXPECT_EQ(std::make_pair(s.offset, s.localMean), std::make_pair(c.offset, c.localMean)) << c.zone << c.y;
    }
}

// The correction block's lines 3 to 5 for a clock time, the equation of time
// taken as +3 min 33 s (its value on 8 May) so that the corrected time can be
// worked by hand too.
std::string Block(const std::string& zone, const std::string& place, int y, int d, int m) {
    ChartInput in = DefaultChartInput(y, 5, 8, 10, 0);
    in.zone = zone, in.zonePlace = place;
    in.longitude = std::to_string(d), in.longitudeMinutes = std::to_string(m);
    const auto clock = std::get<CheckedClock>(CheckChartInput(in));
    const std::string b = CorrectToTrueSolarTime(in, clock, 3, 33).block;
    const auto from = b.find("出生钟表时间");
    return b.substr(from, b.find("出生真太阳时") - from) + b.substr(b.find("实际出生时间"));
}

TEST(BirthClock, CorrectionsAbroadWorkedByHand) {
    const std::string at = "出生钟表时间＝1990年5月8日10时0分\r\n";
    const struct {
        std::string zone, place;
        int year, deg, min;
        std::string expected;
    } cases[] = {
        // 139°45'E on 135°E: +4°45' = +19 min; 10:00 + 19:00 + 3:33 = 10:22:33.
        {"Asia/Tokyo", "东京", 1990, 139, 45,
         at + "钟表时区＝东京时间（UTC+9，标准经线东经135°）\r\n出生地方时间＝出生钟表时间＋19分0秒\r\n"
              "实际出生时间＝1990年5月8日10时22分\r\n\r\n"},
        // 123°07'W (boxes -124 and 53) on 120°W: -3°07' = -12 min 28 s; 9:51:05.
        {"America/Vancouver", "", 1990, -124, 53,
         at + "钟表时区＝America/Vancouver（UTC-8，标准经线西经120°）\r\n出生地方时间＝出生钟表时间－12分28秒\r\n"
              "实际出生时间＝1990年5月8日9时51分\r\n\r\n"},
        // 88°22'E on 82°30'E: +5°52' = +23 min 28 s; 10:27:01.
        {"Asia/Kolkata", "加尔各答", 1990, 88, 22,
         at + "钟表时区＝加尔各答时间（UTC+5:30，标准经线东经82°30′）\r\n出生地方时间＝出生钟表时间＋23分28秒\r\n"
              "实际出生时间＝1990年5月8日10时27分\r\n\r\n"},
        // 85°19'E on 86°15'E: -56' = -3 min 44 s; 9:59:49.
        {"Asia/Kathmandu", "加德满都", 1990, 85, 19,
         at + "钟表时区＝加德满都时间（UTC+5:45，标准经线东经86°15′）\r\n出生地方时间＝出生钟表时间－3分44秒\r\n"
              "实际出生时间＝1990年5月8日9时59分\r\n\r\n"},
        // 121°34'E on 135°E under Japanese time: -13°26' = -53 min 44 s; 9:09:49.
        {"Asia/Taipei", "台北", 1940, 121, 34,
         "出生钟表时间＝1940年5月8日10时0分\r\n钟表时区＝台北时间（UTC+9，标准经线东经135°）\r\n"
         "出生地方时间＝出生钟表时间－53分44秒\r\n实际出生时间＝1940年5月8日9时9分\r\n\r\n"},
        // Before standard time the clock is the place's own mean time: no shift.
        {"Asia/Kathmandu", "加德满都", 1910, 85, 19,
         "出生钟表时间＝1910年5月8日10时0分\r\n钟表时区＝当地平太阳时（加德满都当时尚未采用标准时间）\r\n"
         "出生地方时间＝出生钟表时间＋0分0秒\r\n实际出生时间＝1910年5月8日10时3分\r\n\r\n"},
        // Named outright, taken as given: Urumqi's UTC+6, 87°38'E on 90°E.
        {"Asia/Urumqi", "", 1990, 87, 38,
         at + "钟表时区＝Asia/Urumqi（UTC+6，标准经线东经90°）\r\n出生地方时间＝出生钟表时间－9分28秒\r\n"
              "实际出生时间＝1990年5月8日9时54分\r\n\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Block(c.zone, c.place, c.year, c.deg, c.min), c.expected) << c.zone;
    // On UTC+8, and on China's clock in every year, the block is China's own.
    for (const auto& [zone, year] : {std::pair{"Asia/Taipei", 1950},
                                     {"Asia/Hong_Kong", 1990},
                                     {"Asia/Shanghai", 1890},
                                     {"Asia/Singapore", 2000},
                                     {"PRC", 1950}})
        EXPECT_EQ(Block(zone, "某地", year, 121, 34), Block("", "", year, 121, 34)) << zone;
}

TEST(BirthClock, TheZoneOfThePlaceNamed) {
    const auto file = ProgramFolder() / kGazetteerFileName;
    // clang-format off
    const struct { const char* place; const char* zone; const char* zonePlace; } cases[] = {
        {"东京", "Asia/Tokyo", "东京"},          {"加拿大 温哥华", "America/Vancouver", "温哥华"},
        {"乌鲁木齐", "Asia/Shanghai", "乌鲁木齐市"}, {"无此地名", "", ""},
        // clang-format on
        {"太平", "", ""},  // 阜新's district and 台中's: two zones, none decided
    };
    for (const auto& c : cases) {
        ChartInput in = DefaultChartInput(1990, 5, 8, 10, 0);
        in.place = c.place;
        SetClockOfNamedPlaces(in, file);
        EXPECT_EQ(std::make_pair(in.zone, in.zonePlace), std::make_pair(std::string(c.zone), std::string(c.zonePlace)))
            << c.place;
    }
    ChartInput given = DefaultChartInput(1990, 5, 8, 10, 0);
    given.place = "东京", given.zone = "Asia/Seoul";
    SetClockOfNamedPlaces(given, file);
    EXPECT_EQ(given.zone, "Asia/Seoul");  // named outright: taken as given
}

TEST(BirthClock, NoticesSayWhichClock) {
    ChartInput tokyo = DefaultChartInput(1990, 5, 8, 10, 0);
    tokyo.place = "东京", tokyo.zone = "Asia/Tokyo", tokyo.zonePlace = "东京";
    tokyo.longitude = "139", tokyo.longitudeMinutes = "45";
    const auto notices = ChartNoticeTexts(tokyo, {}, ProgramFolder());
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices[0],
              "提示：出生钟表时间按东京时间（UTC+9，标准经线东经135°）读取，出生地方时间从这条标准经线起算。");
    ChartInput taiping = DefaultChartInput(1990, 5, 8, 10, 0);
    taiping.place = "太平";
    const auto ambiguous = ChartNotices(taiping, {}, ProgramFolder());
    ASSERT_FALSE(ambiguous.empty());
    EXPECT_EQ(ambiguous[0].kind, NoticeKind::AmbiguousPlace);
    EXPECT_NE(ambiguous[0].text.find("辽宁省 阜新市 太平区"), std::string::npos) << ambiguous[0].text;
    EXPECT_NE(ambiguous[0].text.find("台湾省 台中市 太平区"), std::string::npos) << ambiguous[0].text;
    for (const auto& n : ChartNotices(DefaultChartInput(1990, 5, 8, 10, 0), {}, ProgramFolder()))
        EXPECT_NE(n.kind, NoticeKind::BirthClock);  // China's clock: nothing to say
}

}  // namespace
}  // namespace paipan
