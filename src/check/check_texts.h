#pragma once

#include "util/bilingual_text.h"

// The words of the pre-flight check. Patterns with "%" are printf formats filled with the same
// arguments, in the same order, in both languages.
namespace tvx::check_text {

// ---- Severities and the report's frame ----------------------------------------------------
inline constexpr BilingualText kError{"錯誤", "error"};
inline constexpr BilingualText kWarning{"警告", "warning"};
inline constexpr BilingualText kNote{"附註", "note"};
inline constexpr BilingualText kFixHead{"處理: ", "fix: "};
inline constexpr BilingualText kSummary{"錯誤 %d 個, 警告 %d 個, 附註 %d 個",
                                        "errors: %d, warnings: %d, notes: %d"};
inline constexpr BilingualText kMemoryLine{"記憶體: 使用 %llu / %llu Bytes",
                                           "memory: %llu of %llu bytes used"};
inline constexpr BilingualText kSemicolon{", ", "; "};

// ---- Roles ----------------------------------------------------------------------------------
inline constexpr BilingualText kRoleLibrary{"圖庫資源 %d", "library resource %d"};
inline constexpr BilingualText kRoleProtocol{"通訊協定 %s 的資源 (%s 記憶體)",
                                             "resource of the protocol %s (%s memory)"};
inline constexpr BilingualText kNoProtocol{"(無)", "(none)"};
inline constexpr BilingualText kRoleMonth{"月份圖, %s", "month picture, %s"};
inline constexpr BilingualText kRoleWeekday{"星期圖, %s", "weekday picture, %s"};
inline constexpr BilingualText kRoleStandbyLogo{"待機標誌圖", "standby logo"};
inline constexpr BilingualText kRoleArrow{"方向箭頭, %s", "direction arrow, %s"};
inline constexpr BilingualText kRoleMessage{"%s訊息, %s", "%s message, %s"};
inline constexpr BilingualText kRoleFloorCharacter{"樓層字元 %s", "floor character %s"};
inline constexpr BilingualText kRoleFloorPicture{"樓層編碼 %s 的圖", "picture of floor code %s"};
inline constexpr BilingualText kRoleVerticalBackground{"直式背景圖 %d", "vertical background %d"};
inline constexpr BilingualText kRoleHorizontalBackground{"橫式背景圖 %d",
                                                         "horizontal background %d"};
inline constexpr BilingualText kRoleFloorText{"樓層編碼 %s 的顯示文字",
                                              "display text of floor code %s"};
inline constexpr BilingualText kRoleBackgroundNumber{"樓層編碼 %s 的背景圖編號",
                                                     "background number of floor code %s"};
inline constexpr BilingualText kRolePictureLibrary{"圖庫檔", "picture library"};
inline constexpr BilingualText kRoleMemory{"記憶體", "memory"};

inline constexpr BilingualText kMonths[12] = {
    {"一月", "January"},   {"二月", "February"}, {"三月", "March"},      {"四月", "April"},
    {"五月", "May"},       {"六月", "June"},     {"七月", "July"},       {"八月", "August"},
    {"九月", "September"}, {"十月", "October"},  {"十一月", "November"}, {"十二月", "December"}};
inline constexpr BilingualText kWeekdays[7] = {
    {"星期一", "Monday"}, {"星期二", "Tuesday"},  {"星期三", "Wednesday"}, {"星期四", "Thursday"},
    {"星期五", "Friday"}, {"星期六", "Saturday"}, {"星期日", "Sunday"}};
inline constexpr BilingualText kArrows[4] = {{"上行第一張", "up, first picture"},
                                             {"上行第二張", "up, second picture"},
                                             {"下行第一張", "down, first picture"},
                                             {"下行第二張", "down, second picture"}};
// The English names of the lift-state rows; the Chinese ones are those of the lamp list.
inline constexpr const char* kMessagesInEnglish[10] = {
    "fire",        "earthquake", "alarm", "power failure", "overload",
    "maintenance", "full load",  "VIP",   "parking",       "independent service"};
inline constexpr BilingualText kMessageColumns[4] = {{"第一張中文圖", "first Chinese picture"},
                                                     {"第二張中文圖", "second Chinese picture"},
                                                     {"第一張英文圖", "first English picture"},
                                                     {"第二張英文圖", "second English picture"}};

// ---- Pictures -------------------------------------------------------------------------------
inline constexpr BilingualText kFileMissingStops{"檔案不存在, 製作會在此中止",
                                                 "the file does not exist; the build would stop"};
inline constexpr BilingualText kFileMissingLeftOut{
    "檔案不存在, 製作時此背景圖會被略過", "the file does not exist; the build leaves it out"};
inline constexpr BilingualText kFileMissingLogoOff{
    "檔案不存在, 待機標誌已關閉", "the file does not exist; the standby logo is switched off"};
inline constexpr BilingualText kUnreadable{"無法讀取檔案: %s", "the file cannot be read: %s"};
inline constexpr BilingualText kSlotStaysEmpty{"此位置會保留空白", "the slot would stay empty"};
inline constexpr BilingualText kBuildStops{"製作會中止", "the build would stop"};
inline constexpr BilingualText kNotBmpKind{"是 %s 圖檔, 製作只能讀取 BMP、PNG 與 JPEG",
                                           "is a %s picture; the build reads BMP, PNG and JPEG "
                                           "only"};
inline constexpr BilingualText kNotBmp{"不是 BMP、PNG 或 JPEG 圖檔",
                                       "is not a BMP, PNG or JPEG picture"};
inline constexpr BilingualText kPictureKind{"是 %s 圖檔", "is a %s picture"};
inline constexpr BilingualText kHeaderSize{
    "檔頭為 %u 位元組 (ImageMagick 與 GIMP 預設寫出的格式), 轉換器只接受 40 或 12 位元組檔頭的 "
    "BMP",
    "has a %u-byte header (the form ImageMagick and GIMP write by default); the converter takes "
    "BMPs with a 40- or 12-byte header only"};
inline constexpr BilingualText kBitCount{
    "是 %u 位元的 BMP, 轉換器只接受 24 位元的圖",
    "is a %u-bit BMP; the converter takes 24-bit pictures only"};
inline constexpr BilingualText kPlanes{"色彩平面數為 %u, 轉換器只接受 1",
                                       "has %u colour planes; the converter takes 1"};
inline constexpr BilingualText kCompressed{
    "是壓縮過的 BMP, 轉換器只接受未壓縮的圖",
    "is compressed; the converter takes uncompressed pictures only"};
inline constexpr BilingualText kOddWidth{
    "寬度為 %lld 點, 轉換器只接受偶數寬度",
    "is %lld pixels wide; the converter takes even widths only"};
inline constexpr BilingualText kSizeRule{
    "檔頭記載的大小與內容不符 (含調色盤的圖常見如此), 背景轉換器不接受",
    "the sizes in its header do not add up (as is common with a colour table); the background "
    "converter refuses it"};
inline constexpr BilingualText kMasks{"使用轉換器不認得的色彩遮罩",
                                      "uses colour masks the converter does not know"};
inline constexpr BilingualText kUnknownBits{"是 %u 位元的 BMP, 轉換器無法讀取",
                                            "is a %u-bit BMP, which the converter cannot read"};
inline constexpr BilingualText kDamaged{"檔案已損壞或不完整 (%s)", "is damaged or cut short (%s)"};
inline constexpr BilingualText kWrongSize{"大小為 %lld × %lld, 顯示器需要 %d × %d",
                                          "is %lld × %lld; the indicator expects %d × %d"};
inline constexpr BilingualText kTooLarge{"大小為 %lld × %lld, 超出 %d × %d 的畫面",
                                         "is %lld × %lld, larger than the %d × %d screen"};
inline constexpr BilingualText kTransparency{"含透明度, 轉換時會被捨棄",
                                             "has transparency, which the conversion drops"};
inline constexpr BilingualText kTransparencyOverBlack{
    "含透明度, 製作時會把它疊在黑色上", "has transparency; the build puts it over black"};
inline constexpr BilingualText kPrepared{"製作時會先轉成轉換器接受的格式",
                                         "the build turns it into a form its converter takes"};
inline constexpr BilingualText kMessageNotChosen{
    "此欄已啟用, 但沒有選擇圖檔, 訊息在此會顯示空白",
    "the column is in use but no picture is chosen; the message would show nothing there"};
inline constexpr BilingualText kDateNotChosen{
    "日期時間顯示已開啟, 但沒有選擇圖檔",
    "the date and time display is on but no picture is chosen"};
inline constexpr BilingualText kLogoNotChosen{
    "待機標誌已開啟, 但沒有選擇圖檔, 此位置會保留空白",
    "the standby logo is switched on but no picture is chosen; its slot would stay empty"};

inline constexpr BilingualText kFixExact{"請存成 %d × %d 的 24 位元 BMP (40 位元組檔頭, 不壓縮)",
                                         "save it as a 24-bit BMP of %d × %d (40-byte header, "
                                         "uncompressed)"};
inline constexpr BilingualText kFixAtMost{
    "請存成偶數寬度、不超過 %d × %d 的 24 位元 BMP (40 位元組檔頭, 不壓縮)",
    "save it as a 24-bit BMP of an even width and at most %d × %d (40-byte header, "
    "uncompressed)"};
inline constexpr BilingualText kFixMagick{
    ", 例如 ImageMagick: convert 原圖 -type TrueColor BMP3:新圖.bmp",
    "; in ImageMagick: convert IN -type TrueColor BMP3:OUT.bmp"};
inline constexpr BilingualText kFixMissing{"請選擇存在的圖檔, 或把圖檔放回此路徑",
                                           "choose a picture that exists, or put it back at this "
                                           "path"};
inline constexpr BilingualText kFixUnreadable{"請確認檔案可以讀取 (權限), 或選擇其他圖檔",
                                              "make the file readable, or choose another picture"};
inline constexpr BilingualText kFixResize{"請將圖改為 %d × %d", "resize it to %d × %d"};
inline constexpr BilingualText kFixShrink{"請將圖縮小到不超過 %d × %d",
                                          "shrink it to at most %d × %d"};
inline constexpr BilingualText kFixFlatten{"請把透明部分與背景合併後, 存成 24 位元 BMP",
                                           "flatten it onto a background and save it as a 24-bit "
                                           "BMP"};
inline constexpr BilingualText kFixMessageNotChosen{"請選擇圖檔, 或停用此欄",
                                                    "choose a picture, or take the column out of "
                                                    "use"};
inline constexpr BilingualText kFixDateNotChosen{"請選擇圖檔, 或關閉日期時間顯示",
                                                 "choose a picture, or switch the date and time "
                                                 "display off"};
inline constexpr BilingualText kFixLogoNotChosen{"請選擇標誌圖, 或關閉待機標誌",
                                                 "choose a logo picture, or switch the standby "
                                                 "logo off"};

// ---- Floor texts ----------------------------------------------------------------------------
inline constexpr BilingualText kCharacterMissing{
    "樓層文字 \"%s\" 需要 %s 的圖 %s, 樓層樣式 %s 中沒有, 顯示器會在此顯示空白",
    "the floor text \"%s\" needs the picture of %s, %s, which floor style %s lacks; the "
    "indicator would show a blank there"};
inline constexpr BilingualText kTwoByteCharacter{
    "\"%s\" 是一個兩位元組的 Big5 字, 顯示器會把它當作兩個字元 0x%02X 與 0x%02X, 各用各的圖",
    "\"%s\" is one Big5 character of two bytes; the indicator shows it as two characters, 0x%02X "
    "and 0x%02X, each from its own picture"};
inline constexpr BilingualText kNotBig5{
    "\"%s\" 含有不是 Big5 字的位元組 0x%02X, 顯示器的字集無法表示",
    "\"%s\" holds a byte that is no Big5 character, 0x%02X; the indicator's character set cannot "
    "hold it"};
inline constexpr BilingualText kFloorPictureMissing{
    "樓層文字 \"%s\" 指定的圖 %s 不在樓層樣式 %s 中, 製作時會取消此樓層的顯示",
    "the floor text \"%s\" names the picture %s, which floor style %s lacks; the build would "
    "cancel the text and the floor would show nothing"};
inline constexpr BilingualText kLeadingZero{"\"%s\" 開頭的 0 會被省略, 顯示為 \"%s\"",
                                            "the leading 0 of \"%s\" is dropped: shown as \"%s\""};
inline constexpr BilingualText kUpperCased{"\"%s\" 會以大寫顯示: \"%s\"",
                                           "\"%s\" is shown in capitals: \"%s\""};
inline constexpr BilingualText kUnusedCharacterMissing{
    "樓層樣式 %s 沒有 %s 的圖 %s; 沒有樓層文字使用它, 製作時略過",
    "floor style %s has no picture of %s, %s; no floor text uses it and the build leaves it out"};

inline constexpr BilingualText kFixAddCharacter{
    "請將 %s 加入樓層樣式資料夾 %s, 或改選有此字元的樓層樣式",
    "add %s to the floor style folder %s, or choose a "
    "floor style that has it"};
inline constexpr BilingualText kFixTwoBytes{
    "要顯示中文字, 請把它畫成一張圖, 並以三個字元以上的圖名作為樓層文字",
    "to show a Chinese character, draw it as a picture and enter the picture's name (three or "
    "more characters) as the floor text"};
inline constexpr BilingualText kFixBig5{"請改用 Big5 可表示的字元重新輸入",
                                        "enter the text again in characters Big5 can hold"};
inline constexpr BilingualText kFixFloorPicture{
    "請將 %s (偶數寬度、不超過 %d × %d 的 24 位元 BMP) 加入樓層樣式資料夾 %s, "
    "或把文字改為一或兩個字元",
    "add %s (a 24-bit BMP of an even width and at most %d × %d) to the floor style folder %s, or "
    "shorten the text to one or two characters"};

// ---- Background numbers ---------------------------------------------------------------------
inline constexpr BilingualText kNotANumber{
    "\"%s\" 不是數字, 製作時改用目前的編號 %d",
    "\"%s\" is not a number; the build uses the number in force instead, %d"};
inline constexpr BilingualText kOutOfRange{"%d 超出 0 到 127, 顯示器只取其低位元組 %d",
                                           "%d is outside 0 to 127; the indicator keeps only its "
                                           "low byte, %d"};
inline constexpr BilingualText kBackgroundEmpty{
    "直式背景圖清單的第 %d 列沒有圖, 此樓層會沒有背景圖",
    "row %d of the vertical background list holds no picture; the floor would show no "
    "background"};
inline constexpr BilingualText kFixBackgroundNumber{"請輸入 0 到 127 的背景圖編號",
                                                    "enter a background number from 0 to 127"};
inline constexpr BilingualText kFixBackgroundEmpty{
    "請在直式背景圖清單第 %d 列放入圖檔, 或改用其他編號",
    "put a picture into row %d of the vertical background list, or choose another number"};

// ---- Library and memory ---------------------------------------------------------------------
inline constexpr BilingualText kNoLibrary{
    "找不到圖庫檔或無法讀取, 製作時從圖庫複製的 %d 個資源都會是空白",
    "the picture library is missing or could not be read; the %d resources the build copies "
    "from it would all stay empty"};
inline constexpr BilingualText kLibrarySlotEmpty{"圖庫中沒有資源 %d, 此位置會保留空白",
                                                 "the library holds no resource %d; the slot "
                                                 "would stay empty"};
inline constexpr BilingualText kLibraryPastEnd{
    "圖庫中資源 %d 的資料超出檔案結尾, 此位置會保留空白",
    "the library's resource %d reaches beyond the end of its file; the slot would stay empty"};
inline constexpr BilingualText kLibraryOutOfRange{"圖庫編號 %d 超出範圍, 此位置會保留空白",
                                                  "library number %d is out of range; the slot "
                                                  "would stay empty"};
inline constexpr BilingualText kOutOfMemory{
    "需要 %llu Bytes, 但 %s 記憶體只有 %llu Bytes, 超出 %llu Bytes; 最大的是: ",
    "needs %llu bytes, but the %s memory holds %llu: %llu bytes too many; the largest are: "};
inline constexpr BilingualText kLargestItem{"%s (%llu Bytes)", "%s (%llu bytes)"};
inline constexpr BilingualText kMemoryUse{"使用 %llu / %llu Bytes, 剩餘 %llu Bytes",
                                          "uses %llu of %llu bytes, %llu left"};

inline constexpr BilingualText kFixLibrary{"請將 T880_PCGLB.GLB 放到程式資料夾 %s",
                                           "put T880_PCGLB.GLB into the program folder %s"};
inline constexpr BilingualText kFixLibraryResource{
    "請使用含有資源 %d 的圖庫檔 (較新版的 T880_PCGLB.GLB)",
    "use a picture library that holds resource %d (a newer T880_PCGLB.GLB)"};
inline constexpr BilingualText kFixMemory{
    "請刪減背景圖或自定圖檔的數量或大小, 或改用 64Mb 記憶體 (DPW880.INI 的 MEM=64)",
    "remove background or custom pictures or make them smaller, or use a 64 Mb indicator "
    "(MEM=64 in DPW880.INI)"};
inline constexpr BilingualText kFixMemory64{"請刪減背景圖或自定圖檔的數量或大小",
                                            "remove background or custom pictures or make them "
                                            "smaller"};

}  // namespace tvx::check_text
