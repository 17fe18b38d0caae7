#pragma once

#include "rom/build_report.h"

// The build log's texts. Lines that carry a path or a number are composed from a head and a
// tail around it.
namespace tvx::build_text {

inline constexpr BilingualText kUndefinedFloorCode{"樓層編碼表未設定!!", "Undefine floor code!!"};
inline constexpr BilingualText kMake{"製作....", "Make...."};
inline constexpr BilingualText kForceSave{"自動儲存專案檔...", "Force save project..."};
inline constexpr BilingualText kNoProjectSaved{"錯誤: 專案檔尚未儲存",
                                               "Err: There are no project saved"};

// "Err: " + path + " not exist!!"
inline constexpr BilingualText kMissingFileHead{"錯誤: ", "Err: "};
inline constexpr BilingualText kMissingFileTail{" 檔案不存在!!", " not exist!!"};

// "Use memory = " + bytes + " Bytes"
inline constexpr BilingualText kUseMemoryHead{"已用記憶體 = ", "Use memory = "};
inline constexpr std::string_view kUseMemoryTail = " Bytes";
inline constexpr BilingualText kOutOfMemory{"錯誤: 資料記憶體不足,請刪減使用背景圖檔或自定圖檔數量",
                                            "Err: Out of memory!!"};
// "use " + "64Mb" + " memory."
inline constexpr BilingualText kUseSizeHead{"使用 ", "use "};
inline constexpr BilingualText kUseSizeTail{" 記憶體.", " memory."};

// Code table warnings (the same in both languages).
inline constexpr std::string_view kWarningHead = "[Warning] CTBL-";
inline constexpr std::string_view kPictureNotFoundTail = " not found --> auto cancel !!!";
inline constexpr std::string_view kBackgroundNumberTail =
    " background picture data error --> auto cancel !!!";

// A slot left empty: "[Warning] BANK0-98=@B0F98 " + what + " (" + reason + ") --> empty slot !!!"
inline constexpr BilingualText kSlotWarningHead{"[警告] BANK", "[Warning] BANK"};
inline constexpr BilingualText kSlotWarningTail{" --> 保留空白 !!!", " --> empty slot !!!"};
inline constexpr BilingualText kPictureNotConverted{"圖檔無法轉換", "picture not converted"};
inline constexpr BilingualText kLibraryResourceMissing{"圖庫資源不存在",
                                                       "library resource not found"};
inline constexpr BilingualText kNoLibrary{"未載入圖庫檔 T880_PCGLB.GLB",
                                          "no picture library T880_PCGLB.GLB loaded"};
inline constexpr BilingualText kLibrarySlotEmpty{"圖庫中此位置為空", "the library slot is empty"};
inline constexpr BilingualText kLibraryOutOfRange{"圖庫編號超出範圍",
                                                  "bank or number out of range"};
inline constexpr BilingualText kLibraryPastEnd{"資料超出圖庫檔結尾",
                                               "the entry reaches beyond the library file"};

// Failures that end a build (shown to the user): what could not be done, "%s" standing for the
// file or value; a reason, when there is one, follows after ": ".
inline constexpr BilingualText kNotPicture{
    "錯誤: %s 既非圖檔亦非圖庫資源", "Err: %s is neither a picture file nor a library resource"};
inline constexpr BilingualText kPictureError{"錯誤: 圖檔 %s", "Err: picture %s"};
inline constexpr BilingualText kCannotWrite{"錯誤: 無法寫入 %s", "Err: Can not write %s"};
inline constexpr BilingualText kCannotRead{"錯誤: 無法讀取 %s", "Err: Can not read %s"};
inline constexpr BilingualText kNoScratchFolder{"錯誤: 無法建立暫存資料夾 %s",
                                                "Err: Can not create the temporary folder %s"};
inline constexpr BilingualText kNotEpochSeconds{"錯誤: %s 不是自 1970 年起的秒數",
                                                "Err: %s is not a number of seconds since 1970"};
inline constexpr BilingualText kEpochOutOfRange{"錯誤: %s 超出範圍", "Err: %s is out of range"};

}  // namespace tvx::build_text
