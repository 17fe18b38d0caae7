#!/usr/bin/python3
"""Writes the application settings DPW880.INI of the program home.

Sections, in the order the settings store keeps them:
    Option      LANG=0 (English, so a newcomer reads the window), MEM=32, OEM=STEP
    LANG0       English captions of the window's controls
    LANG1       Traditional Chinese captions, Big5 bytes as the indicator's tools store them
    FloorTable  default floor texts of a 15-stop building: codes 0x00 .. 0x0E show
                B2, B1, 1 .. 13
    LiftMsg     Used=1 and the default lift-state pictures, named relative to
                DefaultImageR1/LiftState/ (a place to swap in other pictures)
    LiftMsgIdx  MSG0 .. MSG9 = 0 (no input), read only by input-driven protocols
"""

from datagen.bmp import write_bytes
from datagen.ini import ini_bytes
from datagen.liftstate import STATES, file_name
from datagen.output import home_from_arguments

# (control, Chinese caption built into the window, English caption), in the order the
# settings are read.
CAPTIONS = [
    ("SpeedButton1", "上一頁", "Previous"),
    ("SpeedButton2", "下一頁", "Next"),
    ("SpeedButton3", "製作與連線上傳", "Build and upload"),
    ("SpeedButton5", "指定背景顏色", "Set background colour"),
    ("TabSheet1", "樣式", "Style"),
    ("TabSheet2", "背景", "Background"),
    ("TabSheet3", "編碼表", "Code table"),
    ("TabSheet4", "製作", "Build"),
    ("TabSheet5", "直式", "Vertical"),
    ("TabSheet6", "橫式", "Horizontal"),
    ("RadioButton1", "樓層樣式 4", "Floor style 4"),
    ("RadioButton2", "樓層樣式 0", "Floor style 0"),
    ("RadioButton3", "樓層樣式 1", "Floor style 1"),
    ("RadioButton4", "樓層樣式 2", "Floor style 2"),
    ("RadioButton5", "樓層樣式 3", "Floor style 3"),
    ("RadioButton6", "方向樣式 0", "Arrow style 0"),
    ("RadioButton7", "方向樣式 1", "Arrow style 1"),
    ("RadioButton8", "方向樣式 2", "Arrow style 2"),
    ("RadioButton9", "方向樣式 3", "Arrow style 3"),
    ("RadioButton10", "方向樣式 4", "Arrow style 4"),
    ("RadioButton14", "車廂版本", "Car indicator"),
    ("RadioButton15", "乘場版本", "Landing indicator"),
    ("RadioButton17", "開啟", "On"),
    ("RadioButton18", "關閉", "Off"),
    ("RadioButton19", "自動輪播", "Slide show"),
    ("RadioButton20", "樓層指定", "Per floor"),
    ("RadioButton21", "佈置 1", "Layout 1"),
    ("RadioButton22", "佈置 2", "Layout 2"),
    ("RadioButton23", "佈置 3", "Layout 3"),
    ("RadioButton24", "佈置 4", "Layout 4"),
    ("RadioButton25", "樣式 1", "Variant 1"),
    ("RadioButton26", "樣式 2", "Variant 2"),
    ("RadioButton28", "固定背景圖編號0", "Fixed background 0"),
    ("GroupBox1", "日期顯示格式", "Date format"),
    ("GroupBox2", "星期顯示格式", "Weekday format"),
    ("GroupBox3", "日期時間顯示", "Date and time display"),
    ("GroupBox4", "自動背景圖輪播", "Background slide show"),
    ("GroupBox9", "車廂與乘場選擇", "Car or landing"),
    ("Label1", "背景圖檔預覽", "Background preview"),
    ("Label2", "(秒)", "(s)"),
    ("Label3", "交換時間 (秒) :", "Switch time (s) :"),
    ("Label4", "通訊位址 :", "Node address :"),
    ("Label5", "LCD背光控制 :", "LCD backlight control :"),
    ("Label7", "通訊埠 :", "COM port :"),
    ("CheckBox1", "僅連線上傳", "Upload only"),
    ("CheckBox2", "使用背景圖", "Use background pictures"),
    ("CheckBox8", "待機Logo啟用", "Standby logo on"),
    ("CheckBox9", "時間同步", "Sync clock"),
    ("N1", "檔案", "File"),
    ("N2", "新專案", "New project"),
    ("N4", "載入專案", "Load project"),
    ("N5", "儲存專案", "Save project"),
    ("N7", "離開", "Exit"),
]

FLOORS = ["B2", "B1"] + [str(n) for n in range(1, 14)]
COLUMNS = [(0, "CHT"), (1, "CHT"), (0, "EG"), (1, "EG")]


def sections():
    option = [("LANG", "0"), ("MEM", "32"), ("OEM", "STEP")]
    english = [(f"{name}.Caption", text) for name, _, text in CAPTIONS]
    chinese = [(f"{name}.Caption", text.encode("big5")) for name, text, _ in CAPTIONS]
    floors = [(f"0x{code:02X}", text) for code, text in enumerate(FLOORS)]
    lift_msg = [("Used", "1")]
    for row, state in enumerate(STATES):
        for column, (variant, language) in enumerate(COLUMNS):
            lift_msg.append((f"LiftMsg_{row}_{column}", file_name(state[0], variant, language)))
    inputs = [(f"MSG{row}", "0") for row in range(10)]
    return [("Option", option), ("LANG0", english), ("LANG1", chinese), ("FloorTable", floors),
            ("LiftMsg", lift_msg), ("LiftMsgIdx", inputs)]


def main():
    home = home_from_arguments(__doc__.splitlines()[0])
    write_bytes(home / "DPW880.INI", ini_bytes(sections()))


if __name__ == "__main__":
    main()
