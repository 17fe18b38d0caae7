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
// The port chosen, "%s" standing for "COM 3 (/dev/ttyUSB0)" or a device path.
inline constexpr BilingualText kWaitingForPort{
    ">>> 等待 %s; 按下按鈕或 Ctrl-C 停止 <<<",
    ">> Waiting for %s; press the button / Ctrl-C to stop <<"};
inline constexpr BilingualText kPortInUse{
    ">>> %s 正被另一個程式使用, 請關閉該程式; 持續重試中, 按下按鈕或 Ctrl-C 停止 <<<",
    ">> %s is in use by another program: close it; still trying, press the button / Ctrl-C to "
    "stop <<"};
inline constexpr BilingualText kErrorHead{"錯誤: ", "Err: "};
// Why a port cannot be used at all, "%s" standing for the port.
inline constexpr BilingualText kNoDeviceBehind{
    "%s 後面沒有裝置, 沒有開啟任何通訊埠 (請以 `tvx880 ports` 查看)",
    "no device is behind %s, nothing was opened (see `tvx880 ports`)"};
inline constexpr BilingualText kPortPermission{
    "沒有權限開啟 %s: 在 Debian 上請將使用者加入 dialout 群組 (sudo adduser $USER dialout), "
    "然後重新登入",
    "no permission to open %s: on Debian, add yourself to the dialout group (sudo adduser $USER "
    "dialout), then log in again"};
inline constexpr BilingualText kPortNotSerial{"%s 不是序列埠, 請選擇另一個通訊埠",
                                              "%s is not a serial port; choose another port"};
// Packets sent, packets in all.
inline constexpr BilingualText kIncompleteImage{
    "已中止: 已送出 %s / %s 個封包, 顯示器內的映像檔不完整, 重新上傳即可恢復",
    "Aborted: %s of %s packets sent; the indicator now holds an incomplete image, uploading "
    "again restores it"};
inline constexpr BilingualText kPortLost{
    "錯誤: 通訊埠已中斷 (USB 連接線被拔除?), 傳送停止於封包 ",
    "Err: COM port lost (USB cable unplugged?), stopped at packet "};

// Upload only: the checks `tvx880 inspect` makes of a ROM image, before the port is opened.
inline constexpr BilingualText kImageFailsChecks{"錯誤: 此映像檔未通過檢查:",
                                                 "Err: The ROM image fails its checks:"};
inline constexpr BilingualText kCheckSignature{"  檔案不是以 \"KWXGLB2L\" 開頭",
                                               "  the file does not begin with \"KWXGLB2L\""};
inline constexpr BilingualText kCheckWholeImage{
    "  大小 %s 位元組不是完整的 4 MiB 或 8 MiB 映像檔 (檔案不完整?)",
    "  its size, %s bytes, is not that of a whole 4 MiB or 8 MiB image (a partial file?)"};
// The image's MiB, the memory setting's Mb.
inline constexpr BilingualText kCheckMemorySetting{
    "  %s MiB 的映像檔不符合記憶體設定 %s Mb",
    "  a %s MiB image does not match the memory setting of %s Mb"};
inline constexpr BilingualText kCheckHeaderCrc{"  標頭 CRC %s 與映像檔算出的 %s 不符",
                                               "  the header CRC %s differs from the image's %s"};
inline constexpr BilingualText kCheckFill{"  填充圖樣在位址 %s 處不符",
                                          "  the fill pattern differs at offset %s"};
inline constexpr BilingualText kCheckGlbOverlap{"  GLB 延伸進設定區塊",
                                                "  the GLB reaches into the configuration block"};
inline constexpr BilingualText kCheckConfigSignature{
    "  設定區塊不是以 \"KWXDPLCD88\" 開頭",
    "  the configuration block does not begin with \"KWXDPLCD88\""};
inline constexpr BilingualText kImageRefused{"錯誤: 映像檔不予上傳",
                                             "Err: The ROM image is not sent"};
inline constexpr BilingualText kUploadAnyway{">>> 仍然上傳 <<<", ">>> Uploading anyway <<<"};

}  // namespace tvx::upload_text
