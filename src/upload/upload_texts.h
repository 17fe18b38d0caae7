#pragma once

namespace tvx::upload_text {

// A log text in both languages: Chinese when LANG is not 0, English when it is 0.
struct Bilingual {
  const char* chinese;
  const char* english;

  const char* pick(bool inEnglish) const { return inEnglish ? english : chinese; }
};

inline constexpr Bilingual kButtonIdle{"製作與連線上傳", "Build and upload"};
inline constexpr Bilingual kButtonAbort{"中止傳送", "Abort transmite"};
inline constexpr Bilingual kInsertUsb{">>> 請插入USB.. <<<", ">> Please insert USB connector..<<"};
inline constexpr Bilingual kOpenCom{">>> 開啟通訊埠 ", ">>> Open COM "};
inline constexpr Bilingual kCloseCom{">>> 關閉通訊埠 ", ">>> Close COM "};
inline constexpr const char* kComTail = " <<<";
inline constexpr Bilingual kUploadStart{"*** 資料上傳開始 ***", "*** UpLoad data ***"};
inline constexpr Bilingual kWaitingTarget{"=== 等待連線回應.... ===",
                                          "=== Waiting target respond.... ==="};
inline constexpr Bilingual kFormatError{"錯誤: 檔案格式錯誤!", "Err: File format error!"};
inline constexpr Bilingual kOutOfMemory{"錯誤: 資料記憶體不足,請刪減使用背景圖檔或自定圖檔數量",
                                        "Err: Out of memory!!"};
inline constexpr Bilingual kUseMemoryHead{"使用 ", "use "};
inline constexpr Bilingual kUseMemoryTail{" 記憶體.", " memory."};
inline constexpr Bilingual kTimeHead{"傳輸時間 = ", "Time = "};
inline constexpr const char* kTimeTail = " ms";
inline constexpr const char* kBannerRule = "=========================";
inline constexpr Bilingual kClockFinish{"    時鐘資料同步完成     ", "   Clock sync. finish!   "};
inline constexpr Bilingual kUploadFinish{" 製作與上傳資料完成      ", " Build and upload finish!"};

// Texts of this tool's own (the situations above do not cover them).
inline constexpr Bilingual kImageUnreadable{"錯誤: 無法讀取資料檔 ",
                                            "Err: Can not read the ROM image "};
inline constexpr Bilingual kImageEmpty{"錯誤: 資料檔是空的 ", "Err: The ROM image is empty "};
inline constexpr Bilingual kNoHeader{"錯誤: 找不到 T880_PCGLB.GLB, 無法上傳",
                                     "Err: T880_PCGLB.GLB not found, can not upload"};
inline constexpr Bilingual kWaitCancelled{">>> 已取消等待通訊埠 <<<",
                                          ">>> Waiting for COM cancelled <<<"};
inline constexpr Bilingual kPortLost{
    "錯誤: 通訊埠已中斷 (USB 連接線被拔除?), 傳送停止於封包 ",
    "Err: COM port lost (USB cable unplugged?), stopped at packet "};

}  // namespace tvx::upload_text
