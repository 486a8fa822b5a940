#!/usr/bin/python3
"""Plants one deliberate fault at a time in the sources, rebuilds and runs the
whole suite, and reports which faults the suite catches. The sources are put
back after every fault (also on Ctrl+C).

Usage: tools/fault-check.py [BUILD_DIR] [--only N,N,...]
(BUILD_DIR defaults to build; it must be configured with the tests on.)
"""
import os
import subprocess
import sys
import time

# (area, file, [(text, replacement), ...], what the fault does). Each text must
# occur in the file; its first occurrence is replaced.
FAULTS = [
    ("engine", "engine/ganzhi.h", [("Mod(year - 1864, 60)", "Mod(year - 1865, 60)")],
     "year pillar counted from the wrong 甲子 year"),
    ("engine", "engine/four_pillars.cpp", [("year{1881} / November / 26", "year{1881} / November / 27")],
     "day pillar counted from the wrong 甲子 day"),
    ("engine", "engine/four_pillars.cpp", [("(hour == 23 ? 1 : 0)", "(hour == 23 ? 0 : 0)")],
     "from 23:00 the day pillar does not turn"),
    ("engine", "engine/pillar_rules.h", [("((hour == 23 ? 0 : hour) + 1) / 2 % 12", "(hour == 23 ? 0 : hour) / 2 % 12")],
     "hour branches change on the even hour"),
    ("engine", "engine/pillar_rules.h", [("branch > 1 ? yearStem % 5", "branch > 2 ? yearStem % 5")],
     "寅 month stem taken from the year after"),
    ("engine", "engine/four_pillars.cpp", [("(mb + 3) % 12}", "(mb + 4) % 12}")],
     "conception pillar branch plus four"),
    ("engine", "engine/four_pillars.cpp", [("Mod(a + 3 - hourBranch, 12)", "Mod(a + 4 - hourBranch, 12)")],
     "life palace one branch on"),
    ("engine", "engine/four_pillars.cpp", [("forward ? step + 1 : -(step + 1)", "forward ? step + 3 : -(step + 1)")],
     "forward luck pillars skip two pillars"),
    ("engine", "engine/four_pillars.cpp", [("DayDifference(NextJieQi, InputTime) / 3", "DayDifference(NextJieQi, InputTime) / 4")],
     "forward luck start four days to a year"),
    ("engine", "engine/tables.cpp", [("{9, 7, 5},     // 丑", "{9, 5, 7},     // 丑")],
     "hidden stems of 丑 in the wrong order"),
    ("engine", "engine/tables.cpp", [("ChangShengZhi{11, 6, 2, 9, 2, 9, 5, 0, 8, 3}", "ChangShengZhi{11, 6, 2, 9, 2, 9, 5, 0, 8, 4}")],
     "wrong 长生 branch for 癸"),
    ("engine", "engine/tables.cpp", [("ssGuChen{2, 2, 5,", "ssGuChen{2, 3, 5,")],
     "wrong 孤辰 table entry"),
    ("engine", "engine/arithmetic.cpp", [("(eg - es + 5) % 5", "(es - eg + 5) % 5")],
     "ten deities counted the wrong way round"),
    ("engine", "engine/arithmetic.cpp", [("kwstr = GetZ(kw_z[0]) + GetZ(kw_z[1])", "kwstr = GetZ(kw_z[1]) + GetZ(kw_z[0])")],
     "void branches in the wrong order"),
    ("engine", "engine/arithmetic.cpp", [("== (yearStem + 1) % 2", "== yearStem % 2")],
     "luck direction reversed"),
    ("calendar", "calendar/solar_terms.cpp", [("std::tie(day, hour, minute) < std::tie", "std::tie(day, hour, minute) <= std::tie")],
     "a birth at the term's minute stays in the old month"),
    ("calendar", "calendar/solar_terms.cpp", [("const bool beforeOwn = InputTime < own.at;", "const bool beforeOwn = InputTime <= own.at;")],
     "the term at the birth minute counted as the next term"),
    ("calendar", "calendar/solar_terms.cpp", [("return {year - 1, before ? 11 : 12};", "return {year - 1, before ? 11 : 11};")],
     "January after 小寒 stays in the 子 month"),
    ("engine", "engine/datetime.cpp", [("padded && text.size() == 1", "padded && text.size() == 0")],
     "term times lose their leading zero"),
    ("calendar", "calendar/lunar_date.cpp", [("d = {row.Lmonth, d.day, true};", "d = {row.Lmonth, d.day, false};")],
     "the leap month entered after the jie day loses its 闰"),
    ("calendar", "calendar/lunar_date.cpp", [("if (n > 0) return {r.Lmonth, n, r.LeapFlag};\n    return {r.LeapFlag",
                                             "if (n > 0) return {r.Lmonth, n, false};\n    return {r.LeapFlag")],
     "leap mark dropped before the jie day"),
    ("calendar", "calendar/lunar_date.cpp", [("return month == 12 ? 1 : month + 1;", "return month == 12 ? 12 : month + 1;")],
     "the lunar year does not wrap after the twelfth month"),
    ("engine", "engine/luck_start.cpp", [("std::floor((q - years) * 12)", "std::floor((q - years) * 11)")],
     "luck start months counted eleven to the year"),
    ("engine", "engine/luck_start.cpp", [("std::chrono::hours{start.hours}", "std::chrono::hours{start.hours + 1}")],
     "handover an hour late"),
    ("calendar", "calendar/store.cpp", [("{month, month}, {1, days}, {0, 23}", "{month, month}, {1, 45}, {0, 23}")],
     "jie day checked against 45 instead of the month's length"),
    ("chart", "chart/chart_text.cpp", [('std::string(age < 10 ? " " : "")', 'std::string(age < 10 ? "" : "")')],
     "a one-digit first age loses its space"),
    ("chart", "chart/chart_text.cpp", [("YearPillarOf(years(i).startYear + r)", "YearPillarOf(years(i).startYear + r + 1)")],
     "annual pillars a year late"),
    ("chart", "chart/shensha.cpp", [("{&C::ssLuShen, Star::LuShen}", "{&C::ssLuShen, Star::TianYi}")],
     "禄神 printed as 天医"),
    ("engine", "engine/ganzhi.h", [("if (x < 1) x += 12;", "if (x < 0) x += 12;")],
     "void branches wrong for days whose branch index equals the stem's"),
    ("request", "chart/chart_text.cpp", [("&C::BZ_ny, NaYinRow, kGreen", "&C::BZ_ny, NaYinRow, kBrown")],
     "sound elements coloured brown"),
    ("request", "chart/solar_time.cpp", [("Sign(l >= 0)", "Sign(l > 0)")],
     "zero longitude shift shown with a minus sign"),
    ("request", "chart/solar_time.cpp", [("(c.degrees - meridian) * 60 + c.minutes) * 4", "(c.degrees - meridian) * 60 + c.minutes) * 5")],
     "longitude correction five seconds a minute of arc"),
    ("request", "chart/input_checks.cpp", [("true, kFirstYear, kLastYear,", "true, kFirstYear, kLastYear + 1,")],
     "the year after the span accepted"),
    ("request", "cli/compact_json.cpp", [('kLetter = "\\"\\\\btnfr"', 'kLetter = "\\"\\\\btnrf"')],
     "the batch's JSON writes \\f for \\r and \\r for \\f"),
    ("request", "cli/batch.cpp", [('answer["line"] = line;', 'answer["line"] = line + 1;')],
     "batch answers numbered from 2"),
    ("window", "render/chart_document.cpp", [("std::clamp(span.start + span.length, start, last)",
                                                  "std::clamp(span.start + span.length + 1, start, last)")],
     "every coloured run one character too long"),
    ("window", "render/chart_document.cpp", [("continue;  // the LF that follows", "{}  // the LF that follows"),
                                                 ("out.text.append(ch == u'\\r' ? QChar(u'\\n') : ch);", "out.text.append(ch);")],
     "CR left in the box's plain text"),
    ("window", "app/document_commands.cpp", [("fileName().right(3).toLower()", "fileName().right(3)")],
     "Save of .TXT in capitals writes nothing"),
    ("rtf", "rtf/rtf_reader.cpp", [('(t.word != "u" && t.word != "uc")', '(t.word != "u")')],
     "\\uc between two surrogate halves breaks the pair"),
    ("rtf", "rtf/rtf_reader.cpp", [("    if (chars.charSet == CharSet::Double) {\n        CjkProperties", "    if (chars.charSet == CharSet::Low) {\n        CjkProperties")],
     "CJK font and size of \\dbch runs ignored"),
    ("rtf", "rtf/rtf_reader.cpp", [('t.word == "fldrslt") {', 't.word == "fldrslt-") {')],
     "a field's visible text dropped"),
    ("rtf", "rtf/rtf_reader.cpp", [("if (!Group().chars.hidden) EmitBody(utf8);", "EmitBody(utf8);")],
     "hidden text shown"),
    ("rtf", "rtf/rtf_writer.cpp", [("""std::to_string(value) + "\\\\'3f";""", """std::to_string(value) + "?";""")],
     "fallback after \\uN written as a literal ?"),
    ("rtf", "rtf/rtf_writer.cpp", [('out += "\\\\plain\\\\dbch\\\\af" + font + "\\\\loch\\\\f" + font;', 'out += "\\\\plain\\\\f" + font;')],
     "CJK font not named for the runs"),
    ("rtf", "rtf/rtf_reader.cpp", [("""{"par", U'\\n'}""", """{"par", U' '}""")],
     "paragraph ends read as spaces"),
    ("rtf", "rtf/rtf_writer.cpp", [("""c == '\\\\' || c == '{' || c == '}'""", """c == '\\\\' || c == '}'""")],
     "an opening brace in the text written unescaped"),
]


def run(cmd, cwd):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def check(root, build, number, fault):
    area, path, edits, what = fault
    full = os.path.join(root, path)
    if not os.path.exists(full):
        return "missing"
    with open(full, encoding="utf-8") as f:
        original = f.read()
    planted = original
    for text, replacement in edits:
        if text not in planted:
            return "missing"
        planted = planted.replace(text, replacement, 1)
    try:
        with open(full, "w", encoding="utf-8") as f:
            f.write(planted)
        if run(["cmake", "--build", build, "-j", str(os.cpu_count())], root) != 0:
            return "no-build"
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        rc = subprocess.run(["ctest", "--test-dir", build, "-j", str(os.cpu_count()), "--stop-on-failure"],
                            cwd=root, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        return "caught" if rc != 0 else "MISSED"
    finally:
        with open(full, "w", encoding="utf-8") as f:
            f.write(original)
        os.utime(full, None)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    args = sys.argv[1:]
    only = None
    if "--only" in args:
        i = args.index("--only")
        only = {int(n) for n in args[i + 1].split(",")}
        del args[i:i + 2]
    build = os.path.abspath(args[0] if args else os.path.join(root, "build"))
    caught = total = 0
    for number, fault in enumerate(FAULTS, 1):
        if only and number not in only:
            continue
        start = time.time()
        result = check(root, build, number, fault)
        total += 1
        caught += result == "caught"
        print(f"{number:2} {result:8} {fault[0]:8} {fault[1]}: {fault[3]} ({time.time() - start:.0f} s)", flush=True)
    run(["cmake", "--build", build, "-j", str(os.cpu_count())], root)  # back to the real sources
    print(f"caught {caught} of {total}")
    return 0 if caught == total else 1


if __name__ == "__main__":
    sys.exit(main())
