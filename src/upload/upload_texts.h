#pragma once

#include "util/bilingual_text.h"

namespace tvx::upload_text {

inline constexpr BilingualText kButtonIdle{"製作與連線上傳", "Build and upload"};
inline constexpr BilingualText kButtonAbort{"中止傳送", "Abort transmite"};
inline constexpr BilingualText kInsertUsb{">>> 請插入USB.. <<<",
                                          ">> Please insert USB connector..<<"};
inline constexpr BilingualText kOpenCom{">>> 開啟通訊埠 ", ">>> Open COM "};
inline constexpr BilingualText kCloseCom{">>> 關閉通訊埠 ", ">>> Close COM "};
inline constexpr const char* kComTail = " <<<";
inline constexpr BilingualText kUploadStart{"*** 資料上傳開始 ***", "*** UpLoad data ***"};
inline constexpr BilingualText kWaitingTarget{"=== 等待連線回應.... ===",
                                              "=== Waiting target respond.... ==="};
inline constexpr BilingualText kFormatError{"錯誤: 檔案格式錯誤!", "Err: File format error!"};
inline constexpr BilingualText kOutOfMemory{"錯誤: 資料記憶體不足,請刪減使用背景圖檔或自定圖檔數量",
                                            "Err: Out of memory!!"};
inline constexpr BilingualText kUseMemoryHead{"使用 ", "use "};
inline constexpr BilingualText kUseMemoryTail{" 記憶體.", " memory."};
inline constexpr BilingualText kTimeHead{"傳輸時間 = ", "Time = "};
inline constexpr const char* kTimeTail = " ms";
inline constexpr const char* kBannerRule = "=========================";
inline constexpr BilingualText kClockFinish{"    時鐘資料同步完成     ",
                                            "   Clock sync. finish!   "};
inline constexpr BilingualText kUploadFinish{" 製作與上傳資料完成      ",
                                             " Build and upload finish!"};

// Texts of this tool's own (the situations above do not cover them).
inline constexpr BilingualText kImageUnreadable{"錯誤: 無法讀取資料檔 ",
                                                "Err: Can not read the ROM image "};
inline constexpr BilingualText kImageEmpty{"錯誤: 資料檔是空的 ", "Err: The ROM image is empty "};
inline constexpr BilingualText kNoHeader{"錯誤: 找不到 T880_PCGLB.GLB, 無法上傳",
                                         "Err: T880_PCGLB.GLB not found, can not upload"};
inline constexpr BilingualText kWaitCancelled{">>> 已取消等待通訊埠 <<<",
                                              ">>> Waiting for COM cancelled <<<"};
inline constexpr BilingualText kPortLost{
    "錯誤: 通訊埠已中斷 (USB 連接線被拔除?), 傳送停止於封包 ",
    "Err: COM port lost (USB cable unplugged?), stopped at packet "};

}  // namespace tvx::upload_text
