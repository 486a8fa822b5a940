// The window's fixed texts (UTF-8).
#pragma once

namespace paipan {

inline constexpr const char* kMainTitle = "晴川四柱八字排盘系统 Ver1.0 （免费版）";
// Open and Save put the chosen file's full path after this.
inline constexpr const char* kFileTitlePrefix = "晴川四柱八字排盘系统 Ver1.0 （免费版）：";
inline constexpr const char* kHelpTitle = "晴川四柱八字排盘系统 Ver1.0（免费版）：使用说明";
inline constexpr const char* kNewTitle = "未命名";
inline constexpr const char* kFileFilter = "文本文档(*.txt);;RTF文档(*.rtf);;所有文件(*.*)";
inline constexpr const char* kReadmeName = "Readme.txt";
inline constexpr const char* kReadmeMissing = "使用说明文档可能已经被移除，请与作者联系。";
inline constexpr const char* kReadmeMissingCaption = " 错误信息";
inline constexpr const char* kErrorCaption = "错误";
inline constexpr const char* kHintCaption = "提示";
// Open and Paste refuse a document larger than the result box takes
// (app/document_limits.h); one of the reasons below follows the prefix.
inline constexpr const char* kOpenTooLarge = "无法打开文件%1：文档太大，%2\n结果框中的内容保持不变。";
inline constexpr const char* kPasteTooLarge = "没有粘贴：粘贴后的文档太大，%1\n结果框中的内容保持不变。";
inline constexpr const char* kTooManyParagraphs = "有%1个段落，本程序最多能显示%2个段落。";
inline constexpr const char* kTooManyCharacters = "有%1个字符，本程序最多能显示%2个字符。";
inline constexpr const char* kParagraphTooLong = "其中一个段落有%1个字符，本程序能显示的段落最长%2个字符。";
inline constexpr const char* kTooManyRuns = "格式不同的文字段超过%1个，本程序最多能显示%1个。";
inline constexpr const char* kTooManyFonts = "字体表中的字体超过%1种，本程序最多能读取%1种。";
inline constexpr const char* kPdfFilter = "PDF文档(*.pdf)";
inline constexpr const char* kImageFilter = "PNG图片(*.png)";
inline constexpr const char* kPrintFailed = "无法打印：打印机无法使用。";
inline constexpr const char* kForumHint =
    "您需要点击一下程序帮助菜单下的“访问晴川网”或“访问晴川网论坛”的链接访问本站，"
    "就可以把程序排出的结果贴到论坛请论坛的预测师们帮你预测了！祝您使用愉快！"
    "点击“确定”按钮访问晴川网！";
inline constexpr const char* kForumHintCaption = "提示信息：";
// The daylight-saving notice's action under the result box.
inline constexpr const char* kStandardTimeAction = "按标准时间排盘（减1小时）";

// The result box's text when the program starts, one line each.
inline constexpr const char* kStartWelcome = "欢迎使用晴川四柱八字排盘系统 Ver1.0（免费版）！";
inline constexpr const char* kStartSites = "网站地址：%1 %2 ";
inline constexpr const char* kStartForum = "在线免费算命请访问晴川网论坛：%1";
inline constexpr const char* kAboutTitle = "关于晴川四柱八字排盘系统";
// 排盘 itself failed (not an input or data-file problem); the reason follows.
inline constexpr const char* kChartFailed = "排盘时出错：";
// After 按标准时间排盘: the shift (kShiftMinutes or kShiftHours) and the new
// clock date and time.
inline constexpr const char* kStandardTimeDone =
    "提示：已按标准时间排盘：出生时间已从夏令时的钟表时间减去%1，改为%2年%3月%4日%5时%6分。";
inline constexpr const char* kShiftMinutes = "%1分钟";
inline constexpr const char* kShiftHours = "%1小时";
// Open and Save: the file's name in quotes, then the reason where there is one.
inline constexpr const char* kFileUnreadable = "文件不存在或无法读取。";
inline constexpr const char* kFileTooLargeToOpen = "文件太大（超过64MB），不是本程序能打开的文档。";
inline constexpr const char* kFileReadError = "读取文件时出错：";
inline constexpr const char* kCannotOpen = "无法打开文件%1：%2";
inline constexpr const char* kNotRtf = "无法读取RTF文档%1：文件内容不是RTF格式。";
inline constexpr const char* kUnknownEnding =
    "文件%1没有保存：文件名必须以 .txt（纯文本）或 .rtf（RTF 文档）结尾，请重新保存并写上其中一种扩展名。";
inline constexpr const char* kCannotSave = "无法保存文件%1：%2\n文件没有保存，原有的同名文件保持不变。";

}  // namespace paipan
