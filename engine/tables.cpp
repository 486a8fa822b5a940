// The engine's symbol tables. Every table is 0-based; the star tables give,
// for a key stem or branch, the branch (or stem) that carries the star, -1
// where none does, 99 where no single branch applies (太极贵人 for 戊 and 己).
#include "engine/pillar_engine.h"

namespace paipan {
namespace {

template <std::size_t N>
std::array<std::string, N> Texts(const std::array<std::string_view, N>& names) {
    std::array<std::string, N> texts;
    for (std::size_t i = 0; i < N; ++i) texts[i] = names[i];
    return texts;
}

}  // namespace

PillarEngine::PillarEngine()
    : TianGan{Texts(kStemNames)},
      DiZhi{Texts(kBranchNames)},
      JieQiName{"小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
                "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"},
      NaYin{"海中金", "炉中火", "大林木", "路旁土", "剑锋金", "山头火", "涧下水", "城头土", "白腊金", "杨柳木",
            "泉中水", "屋上土", "霹雳火", "松柏木", "长流水", "砂中金", "山下火", "平地木", "壁上土", "金箔金",
            "覆灯火", "天河水", "大驿土", "钗钏金", "桑柘木", "大溪水", "沙中土", "天上火", "石榴木", "大海水"},
      // One-character stage names carry a U+3000 so every name is two wide.
      ChangSheng{"长生", "沐浴", "冠带", "临官", "帝旺", "衰　", "病　", "死　", "墓　", "绝　", "胎　", "养　"},
      NlDayName{"*",    "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
                "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十", "廿一",
                "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十"},
      NlMonthName{"*", "正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "十二"},
      // Star names padded with U+3000 to four characters; entry 40 stays empty
      // and 37 and 39 are the same name.
      ShenShaName{"孤辰　　", "寡宿　　", "血支　　", "元辰　　", "血刃　　", "天德贵人", "月德贵人",
                  "将星　　", "华盖　　", "驿马　　", "桃花　　", "亡神　　", "劫煞　　", "丧门　　",
                  "吊客　　", "勾绞煞　", "天乙贵人", "文昌贵人", "羊刃　　", "真桃花　", "正桃花　",
                  "红艳　　", "金舆　　", "流霞　　", "太极贵人", "福星贵人", "天厨贵人", "学堂　　",
                  "天医　　", "禄神　　", "披麻　　", "红鸾　　", "天喜　　", "灾煞　　", "勾煞　　",
                  "绞煞　　", "国印贵人", "空亡　　", "武曲星　", "空亡　　", ""},
      // Hidden stems in this slot order (丑 辰 巳 未 戌 do not list the main qi first).
      CangGan{{{9, -1, -1},   // 子 癸
               {9, 7, 5},     // 丑 癸 辛 己
               {0, 2, 4},     // 寅 甲 丙 戊
               {1, -1, -1},   // 卯 乙
               {4, 1, 9},     // 辰 戊 乙 癸
               {6, 2, 4},     // 巳 庚 丙 戊
               {3, 5, -1},    // 午 丁 己
               {1, 5, 3},     // 未 乙 己 丁
               {6, 8, 4},     // 申 庚 壬 戊
               {7, -1, -1},   // 酉 辛
               {7, 3, 4},     // 戌 辛 丁 戊
               {8, 0, -1}}},  // 亥 壬 甲
      // Branch of each stem's 长生: 甲亥 乙午 丙寅 丁酉 戊寅 己酉 庚巳 辛子 壬申 癸卯.
      ChangShengZhi{11, 6, 2, 9, 2, 9, 5, 0, 8, 3},
      // Keyed by branch.
      ssGuChen{2, 2, 5, 5, 5, 8, 8, 8, 11, 11, 11, 2},
      ssGuaSu{10, 10, 1, 1, 1, 4, 4, 4, 7, 7, 7, 10},
      ssZaiSha{6, 3, 0, 9, 6, 3, 0, 9, 6, 3, 0, 9},
      ssYuanChenA{7, 8, 9, 10, 11, 0, 1, 2, 3, 4, 5, 6},
      ssYuanChenB{5, 6, 7, 8, 9, 10, 11, 0, 1, 2, 3, 4},
      ssGouShaA{9, 10, 11, 0, 1, 2, 3, 4, 5, 6, 7, 8},
      ssJiaoShaA{3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1, 2},
      ssGouShaB{3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1, 2},
      ssJiaoShaB{9, 10, 11, 0, 1, 2, 3, 4, 5, 6, 7, 8},
      ssSangMen{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1},
      ssDiaoKe{10, 11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
      ssPiMa{9, 10, 11, 0, 1, 2, 3, 4, 5, 6, 7, 8},
      ssHongLuan{3, 2, 1, 0, 11, 10, 9, 8, 7, 6, 5, 4},
      ssTianXi{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11, 10},
      ssTianDeGan{-1, 6, 3, -1, 8, 7, -1, 0, 9, -1, 2, 1},  // entries are stems
      ssTianDeZhi{5, -1, -1, 8, -1, -1, 11, -1, -1, 2, -1, -1},
      ssYueDeGan{8, 6, 2, 0, 8, 6, 2, 0, 8, 6, 2, 0},  // entries are stems
      ssTianYi{11, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
      ssJiangXing{0, 9, 6, 3, 0, 9, 6, 3, 0, 9, 6, 3},
      ssHuaGai{4, 1, 10, 7, 4, 1, 10, 7, 4, 1, 10, 7},
      ssYiMa{2, 11, 8, 5, 2, 11, 8, 5, 2, 11, 8, 5},
      ssTaoHua{9, 6, 3, 0, 9, 6, 3, 0, 9, 6, 3, 0},
      ssWangShen{11, 8, 5, 2, 11, 8, 5, 2, 11, 8, 5, 2},
      ssJieSha{5, 2, 11, 8, 5, 2, 11, 8, 5, 2, 11, 8},
      // Keyed by stem.
      ssLuShen{2, 3, 5, 6, 5, 6, 8, 9, 11, 0},
      ssTianYiGuiA{1, 8, 9, 9, 1, 8, 1, 2, 3, 3},
      ssTianYiGuiB{7, 0, 11, 11, 7, 0, 7, 6, 5, 5},
      ssWenChang{5, 6, 8, 9, 8, 9, 11, 0, 2, 3},
      ssYangRen{3, 2, 6, 5, 6, 5, 9, 8, 0, 11},
      ssJinYu{4, 5, 7, 8, 7, 8, 10, 11, 1, 2},
      ssLiuXia{9, 10, 7, 8, 5, 6, 4, 3, 11, 2},
      ssTaiJiA{0, 6, 3, 9, 99, 99, 11, 2, 8, 5},
      ssTaiJiB{6, 0, 9, 3, 99, 99, 2, 11, 5, 8},
      ssFuXing{2, 1, 0, 9, 8, 7, 6, 5, 4, 3},
      ssTianChu{5, 6, 5, 6, 8, 9, 11, 0, 2, 3},
      ssXueTang{11, 6, 2, 9, 2, 9, 5, 0, 8, 3},
      ssGuoYin{10, 11, 1, 2, 3, 2, 4, 5, 7, 8} {}

}  // namespace paipan
