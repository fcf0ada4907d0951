#!/usr/bin/env python3
"""Reads the wizard back out of the built kelvado.exe and compares it with what the person must
see: the eight dialog templates of its resources (caption, font, size, style and every control
with its id, class, text, rectangle and kind), every text its dialogs and message boxes show,
found as Shift-JIS strings in its read-only data, and the version resource that Windows shows in
the file's properties (the version, the product's name and its Japanese description, for the
Japanese language and code page 932). The tables below are written by hand from the wizard's
description, never taken from the program's sources.

usage: check_resources.py --version VERSION KELVADO_EXE

VERSION is the project's version (MAJOR.MINOR.PATCH), which the version resource must carry.

Prints every difference and exits 1 when there is one (and when the file is missing or not a
32-bit PE with resources).
"""
import argparse
import struct
import sys

# Window and control styles.
WS_POPUP, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x00C00000, 0x00080000
WS_CHILD, WS_VISIBLE, WS_BORDER = 0x40000000, 0x10000000, 0x00800000
DS_MODALFRAME, DS_SETFONT, DS_CENTER = 0x80, 0x40, 0x800
BS_TYPE, BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_GROUPBOX = 0xF, 0, 1, 7
SS_TYPE, SS_LEFT, SS_BITMAP, SS_SUNKEN = 0x1F, 0, 0xE, 0x1000
ES_READONLY = 0x800
RT_BITMAP, RT_DIALOG, RT_VERSION = 2, 5, 16
CLASS_ATOMS = {0x80: "button", 0x81: "edit", 0x82: "static"}

LABELS = ("ﾎﾞﾘｭｰﾑﾗﾍﾞﾙ\t:\nｼﾘｱﾙ番号\t\t:\nﾌｧｲﾙｼｽﾃﾑ\t:\n\nｾｸﾀ/ｸﾗｽﾀ\t:\nﾊﾞｲﾄ/ｾｸﾀ\t:\n"
          "使用可能領域\t:\n全ﾃﾞｨｽｸ領域\t:")
P_GOTHIC = "ＭＳ Ｐゴシック"

# Control kinds: (class, what the kind requires of its text and style).
#   default, button: push buttons with their caption; group: a group box with its caption;
#   text: a static text (its caption as given, None when the program fills it in);
#   bitmap: a static picture of a bitmap resource; progress: a progress bar; edit: read-only edit.
# Each control: (id or None, kind, caption or bitmap number, (x, y, width, height), extra), where
# extra names what else the description asks for: "bordered", "sunken".
DIALOGS = {
    "DLG_OPENING_1": ("Welcom Kelvado for ATA Card", P_GOTHIC, 10, (307, 170), [
        (1000, "default", "次へ>>", (177, 149, 50, 14), ""),
        (2, "button", "ｷｬﾝｾﾙ", (235, 149, 50, 14), ""),
        (None, "bitmap", 127, (7, 7, 86, 156), ""),
        (1001, "text", None, (103, 7, 192, 139), ""),
    ]),
    "DLG_TARGET_DRIVEINFO": ("転送先ドライブ情報", P_GOTHIC, 9, (178, 115), [
        (1000, "default", "次へ>>", (55, 91, 50, 14), ""),
        (2, "button", "ｷｬﾝｾﾙ", (111, 91, 50, 14), ""),
        (1002, "text", None, (14, 7, 147, 73), ""),
    ]),
    "DLG_CHK_TARGET_DRIVE": ("転送先ドライブのチェック", P_GOTHIC, 9, (239, 167), [
        (1004, "default", "開  始", (98, 135, 50, 14), ""),
        (2, "button", "ｷｬﾝｾﾙ", (161, 135, 50, 14), ""),
        (1003, "progress", None, (22, 98, 191, 14), "bordered"),
        (1005, "text", None, (29, 14, 178, 65), ""),
    ]),
    "DLG_MAKE_PARTITION_TGETDRV": ("転送先ドライブパーティション作成", P_GOTHIC, 9, (263, 151), [
        (1004, "default", "開\u3000始", (77, 130, 50, 14), ""),
        (2, "button", "ｷｬﾝｾﾙ", (189, 130, 50, 14), ""),
        (1003, "progress", None, (22, 73, 218, 14), ""),
        (1006, "text", None, (25, 15, 213, 52), ""),
        (None, "group", "ステータス", (22, 93, 218, 31), ""),
        (1007, "text", None, (30, 106, 203, 11), ""),
        (1021, "button", "中  断", (133, 130, 50, 14), ""),
    ]),
    "DLG_CARD_INIT": ("転送先ドライブの認識（カード初期化）", P_GOTHIC, 9, (219, 113), [
        (1000, "default", "次へ>>", (99, 87, 50, 14), ""),
        (2, "button", "ｷｬﾝｾﾙ", (154, 87, 50, 14), ""),
        (1008, "text", None, (14, 14, 189, 60), ""),
    ]),
    "DLG_START_KELVADO": ("システム転送", "ＭＳ ゴシック", 10, (335, 222), [
        (1004, "default", "コピー開始", (218, 190, 50, 18), ""),
        (1021, "button", "中\u3000断", (272, 190, 50, 18), ""),
        (None, "group", "転送元(ｼｽﾃﾑﾄﾞﾗｲﾌﾞ情報)", (7, 7, 136, 119), ""),
        (1009, "text", "OS\t:\nﾊﾞｰｼﾞｮﾝ\t:", (13, 18, 37, 17), ""),
        (None, "text", "ﾄﾞﾗｲﾌﾞﾀｲﾌﾟ:", (13, 39, 44, 9), ""),
        (None, "text", LABELS, (13, 52, 68, 68), ""),
        (1010, "text", None, (54, 18, 85, 15), ""),
        (1011, "text", None, (61, 38, 73, 10), ""),
        (1012, "text", None, (85, 85, 53, 34), ""),
        (1013, "text", None, (85, 52, 55, 26), ""),
        (None, "group", "転送先ドライブ情報", (192, 7, 136, 119), ""),
        (None, "text", "転送先ﾄﾞﾗｲﾌﾞ\t:", (196, 21, 68, 10), ""),
        (1014, "edit", None, (267, 19, 33, 12), "bordered"),
        (None, "text", "ﾄﾞﾗｲﾌﾞﾀｲﾌﾟ:", (197, 37, 44, 9), ""),
        (1015, "text", None, (245, 36, 73, 10), ""),
        (None, "text", LABELS, (197, 52, 68, 68), ""),
        (1016, "text", None, (269, 85, 53, 34), ""),
        (1017, "text", None, (269, 52, 55, 26), ""),
        (None, "group", "コピー情報", (7, 128, 228, 40), ""),
        (1018, "text", None, (12, 140, 173, 10), ""),
        (1019, "text", None, (12, 153, 214, 10), ""),
        (1023, "text", None, (13, 174, 192, 37), ""),
        (None, "bitmap", 123, (238, 132, 85, 50), "sunken"),
    ]),
    "DLG_TRUE_END_PROGRAM": ("プログラムの終了", P_GOTHIC, 9, (242, 143), [
        (1020, "default", "今すぐシャットダウン", (95, 114, 67, 16), ""),
        (2, "button", "後でシャットダウン", (165, 114, 63, 16), ""),
        (1019, "text", None, (18, 7, 206, 100), ""),
    ]),
    "DLG_FALSE_END_PROGRAM": ("Kelvado異常終了ダイアログ", P_GOTHIC, 11, (185, 82), [
        (2, "default", "確\u3000認", (70, 61, 50, 14), ""),
        (1022, "text", None, (13, 13, 159, 44), ""),
    ]),
}

# The engine's error texts, shown in the "Kelvado Error" box (the Windows release's readme tells
# what each one means).
ENGINE_ERROR_TEXTS = [
    "Win32sシステムには対応しておりません",
    "WindowsNTシステムには対応しておりません",
    "不明なシステムには対応しておりません",
    "転送先ドライブ容量が足りません",
    "転送先ドライブの空き容量がなくなりました",
    "システムドライブが固定ディスクではありません",
    "Movanta ATAｶｰﾄﾞが挿入されていません",
    "ボリューム情報を取得することができません",
    "転送先ドライブが固定ディスクではありません",
    "コマンドタイムアウト",
    "ReadCapacityに失敗しました",
    "APIアドレスの取得に失敗しました。",
    "アダプタ情報取得に失敗しました。",
    "正常にWNASPI32.DLLを初期化できませんでした",
    "WNASPI32.DLLがロードできません",
    "ＩＰＬ領域に書き込みができません",
    "バッドセクターが多すぎます",
    "ＦＡＴ領域にエラーがあります",
    "ＦＡＴ領域の書き込みができません",
    "ルートディレクトリ領域にエラーがあります",
    "ルートディレクトリ領域を初期化できません",
    "UNKNOWN ERROR CODE",
]

# The texts the dialogs and boxes show, whole. The opening text ends with a legal notice whose
# wording is the program's own: only what comes before it is compared.
TEXTS = [
    # The dialogs' texts.
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞの、\n型名は、%s\nﾄﾞﾗｲﾌﾞ容量は %dMB です。\n\n"
    "このﾄﾞﾗｲﾌﾞで間違いなければ、[次へ]ﾎﾞﾀﾝをｸﾘｯｸして進んでください。\n\n"
    "間違いであれば、[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。",
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞの、\n型名は、%s\nﾄﾞﾗｲﾌﾞ容量は %dMB です。\n\n"
    "転送先ﾄﾞﾗｲﾌﾞをチェックします。準備がよければ、[開  始]ﾎﾞﾀﾝをｸﾘｯｸしてください。\n"
    "作業を中断させる時は、[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。",
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞのﾊﾟｰﾃｨｼｮﾝを作成します。\n\n"
    "準備がよければ、[開  始]ﾎﾞﾀﾝをｸﾘｯｸしてください。\n"
    "作業を中断させる時は、[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。",
    "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)を転送するﾄﾞﾗｲﾌﾞを認識させます。\n\n"
    "一度、Movanta ATAｶｰﾄﾞを抜き、約10秒後にｶｰﾄﾞを挿入してください。\n"
    "ｶｰﾄﾞ挿入後約10秒後に [次へ>>] ﾎﾞﾀﾝをｸﾘｯｸしてください。\n"
    "作業を中断させる時は、[ｷｬﾝｾﾙ] ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了してください。",
    "システムドライブのコピーを始めます。\n次のダイアログの[コピー開始]ﾎﾞﾀﾝをｸﾘｯｸしてください。"
    "作業を中断したい場合は、[中断]ﾎﾞﾀﾝをｸﾘｯｸしてﾌﾟﾛｸﾞﾗﾑを終了させてください。",
    "システム転送は正常に終了しました。\n\nコンピュータの電源を切り、システムドライブを交換して"
    "ください。\n\nシステムドライブを交換せずに、再起動をするとレジストリ問題が発生して、起動"
    "できない場合があります。\n必ずシステムドライブを交換もしくは、今回転送したドライブと一緒に"
    "現在のシステムドライブを起動しないでください。\n\n今すぐWindowsを終了させる場合は"
    "[今すぐシャットダウン]ﾎﾞﾀﾝをｸﾘｯｸしてください。後で終了させる場合は[後でシャットダウン]"
    "ﾎﾞﾀﾝをｸﾘｯｸしてください。",
    "システム転送は正常に終了できませんでした。\n\nコンピュータを再起動して、再度プログラムを"
    "実行してください。\n",
    "パーティション情報作成",
    "システムドライブデータのコピーが終了しました。",
    # The boxes' texts and captions.
    "転送先ドライブを見つけることができません。\n再度ｶｰﾄﾞを抜いて、ｶｰﾄﾞを挿入してください。",
    "作業を中断しますか？",
    "作業を中断するとプログラムは終了します。\n中断した場合、もう一度最初から作業をする\n"
    "ことになります。\u3000本当に中断しますか？",
    "転送先ドライブにファイルシステムが存在します。\nシステム転送を継続して宜しいでしょうか",
    "これからファイルのコピーを開始します。\n転送元は、%s -> 転送先は、 %s です。\n"
    "よろしいでしょうか？",
    "Kelvado Info",
    "Kelvado Error",
    "FuncStartDialog Dialog戻り値(%d)が不正です",
] + ENGINE_ERROR_TEXTS + [
    # The drive types the copy dialog's fields name (the fields' number formats are the native
    # tests' to check: the program may build them in other, equal ways).
    "エラー", "ﾙﾑｰﾊﾞﾌﾞﾙ", "固定ﾄﾞﾗｲﾌﾞ", "ﾈｯﾄﾜｰｸﾄﾞﾗｲﾌﾞ", "CD-ROM", "RAM DISK", "Unknown",
]
OPENING_START = (
    "Kelvado for Windowsﾌﾟﾛｸﾞﾗﾑへようこそ。このﾌﾟﾛｸﾞﾗﾑは、ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(C:)データをMovanta "
    "ATAｶｰﾄﾞに接続されたﾄﾞﾗｲﾌﾞに転送します。\n\nこのﾌﾟﾛｸﾞﾗﾑを実行するまえに、すべての"
    "Windowsﾌﾟﾛｸﾞﾗﾑを必ず終了させてください。\n\n[ｷｬﾝｾﾙ]ﾎﾞﾀﾝをｸﾘｯｸしﾌﾟﾛｸﾞﾗﾑを終了した後、"
    "現在使用中のﾌﾟﾛｸﾞﾗﾑをすべて終了させてください\n\n\n")

# The version resource: Japanese (0x0411) in code page 932, the string table "041103a4".
VERSION_LANGUAGE, VERSION_CODE_PAGE = 0x0411, 932
VERSION_TABLE = "041103a4"
VERSION_STRINGS = {
    "ProductName": "Kelvado",
    "FileDescription": "ATAカード システムドライブ転送",
    "OriginalFilename": "kelvado.exe",
}
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD
VOS__WINDOWS32, VFT_APP = 0x4, 0x1


class Image:
    """A 32-bit PE file: its sections and what its resource directory holds."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        machine, count = struct.unpack_from("<HH", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        if machine != 0x14C or struct.unpack_from("<H", data, optional)[0] != 0x10B:
            raise ValueError("not a 32-bit i386 PE")
        self.resource_rva = struct.unpack_from("<I", data, optional + 96 + 2 * 8)[0]
        self.sections = {}
        for i in range(count):
            at = optional + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
            self.sections[name] = (rva, max(vsize, raw_size), raw, raw_size)

    def offset(self, rva):
        for section_rva, size, raw, _ in self.sections.values():
            if section_rva <= rva < section_rva + size:
                return raw + rva - section_rva
        raise ValueError(f"RVA {rva:#x} outside every section")

    def section(self, name):
        _, _, raw, raw_size = self.sections[name]
        return self.data[raw:raw + raw_size]

    def resources(self):
        """{(type, name): bytes} for every resource; names are strings or numbers."""
        if self.resource_rva == 0:
            raise ValueError("no resource directory")
        self.languages = {}
        base = self.offset(self.resource_rva)
        found = {}

        def entries(at):
            named, ids = struct.unpack_from("<HH", self.data, base + at + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                if name & 0x80000000:
                    length = struct.unpack_from("<H", self.data, base + (name & 0x7FFFFFFF))[0]
                    start = base + (name & 0x7FFFFFFF) + 2
                    name = self.data[start:start + 2 * length].decode("utf-16-le")
                yield name, target

        for kind, kind_dir in entries(0):
            for name, name_dir in entries(kind_dir & 0x7FFFFFFF):
                for language, leaf in entries(name_dir & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    found[(kind, name)] = self.data[self.offset(rva):self.offset(rva) + size]
                    self.languages[(kind, name)] = language
        return found


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def unpack(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_number(self):
        """A template's sz_Or_Ord: "" (none), a number, or a text."""
        first = self.unpack("H")[0]
        if first == 0:
            return ""
        if first == 0xFFFF:
            return self.unpack("H")[0]
        self.at -= 2
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


def read_dialog(data):
    """(style, caption, font, size, (width, height), [controls]) of a DLGTEMPLATE."""
    r = Reader(data)
    style, _ex, count, _x, _y, width, height = r.unpack("IIHhhhh")
    if style >> 16 == 0xFFFF:
        raise ValueError("an extended template")
    r.name_or_number()  # menu
    r.name_or_number()  # class
    caption = r.text()
    size, font = None, None
    if style & DS_SETFONT:
        size = r.unpack("H")[0]
        font = r.text()
    controls = []
    for _ in range(count):
        r.align()
        c_style, _c_ex, x, y, w, h, ident = r.unpack("IIhhhhH")
        kind = r.name_or_number()
        if isinstance(kind, int):
            kind = CLASS_ATOMS.get(kind, f"atom {kind:#x}")
        title = r.name_or_number()
        extra = r.unpack("H")[0]
        r.at += extra
        controls.append({"style": c_style, "id": ident, "class": kind.lower(), "title": title,
                         "rect": (x, y, w, h)})
    return style, caption, font, size, (width, height), controls


def check_control(where, want, have, problems):
    ident, kind, caption, rect, extra = want
    wanted_id = 0xFFFF if ident is None else ident
    style = have["style"]

    def bad(what):
        problems.append(f"{where}: {what}")

    if have["id"] != wanted_id:
        bad(f"id {have['id']}, wanted {wanted_id}")
    if have["rect"] != rect:
        bad(f"rectangle {have['rect']}, wanted {rect}")
    if style & (WS_CHILD | WS_VISIBLE) != WS_CHILD | WS_VISIBLE:
        bad("not a visible child window")
    classes = {"default": "button", "button": "button", "group": "button", "text": "static",
               "bitmap": "static", "progress": "msctls_progress32", "edit": "edit"}
    if have["class"] != classes[kind]:
        bad(f"class {have['class']!r}, wanted {classes[kind]!r}")
        return
    if kind in ("default", "button", "group"):
        wanted_type = {"default": BS_DEFPUSHBUTTON, "button": BS_PUSHBUTTON,
                       "group": BS_GROUPBOX}[kind]
        if style & BS_TYPE != wanted_type:
            bad(f"button type {style & BS_TYPE}, wanted {wanted_type}")
    if kind == "text" and style & SS_TYPE != SS_LEFT:
        bad(f"static type {style & SS_TYPE:#x}, wanted a left-aligned text")
    if kind == "bitmap":
        if style & SS_TYPE != SS_BITMAP:
            bad("not a static bitmap")
        if have["title"] != caption:
            bad(f"bitmap {have['title']!r}, wanted resource {caption}")
    elif caption is not None and have["title"] != caption:
        bad(f"text {have['title']!r}, wanted {caption!r}")
    if kind == "edit" and not style & ES_READONLY:
        bad("the edit field is not read-only")
    if (extra == "bordered" or kind == "edit") and not style & WS_BORDER:
        bad("no border")
    if kind == "progress" and extra != "bordered" and style & WS_BORDER:
        bad("a border the template does not have")
    if extra == "sunken" and not style & SS_SUNKEN:
        bad("not sunken")


def read_version_block(data, at=0):
    """One block of a version resource at `at`: (key, value bytes, type, [child blocks]). A block
    is its length, its value's length (in words for a text), its type (1 text, 0 binary), its key
    in UTF-16, then its value and its children, each aligned to four bytes."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    if length < 6 or end > len(data):
        raise ValueError(f"a version block of {length} bytes at {at} leaves the resource")
    r = Reader(data[:end])
    r.at = at + 6
    key = r.text()
    r.align()
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[r.at:r.at + value_size]
    r.at += value_size
    children = []
    while True:
        r.align()
        if r.at >= end:
            break
        child = read_version_block(data, r.at)
        children.append(child)
        r.at += struct.unpack_from("<H", data, r.at)[0]
    return key, value, kind, children


def check_version(image, resources, version, problems):
    """The version resource against VERSION and the table above."""
    data = resources.get((RT_VERSION, 1))
    if data is None:
        problems.append("no version resource")
        return
    if image.languages.get((RT_VERSION, 1)) != VERSION_LANGUAGE:
        problems.append(f"version resource in language {image.languages.get((RT_VERSION, 1)):#x}, "
                        f"wanted {VERSION_LANGUAGE:#x}")
    key, fixed, _, children = read_version_block(data)
    if key != "VS_VERSION_INFO" or len(fixed) < 52:
        problems.append(f"version resource {key!r} without its fixed part")
        return
    (signature, _, file_ms, file_ls, product_ms, product_ls, _, _, file_os,
     file_type) = struct.unpack_from("<10I", fixed)
    numbers = [int(n) for n in version.split(".")] + [0]
    wanted_ms, wanted_ls = numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]
    if signature != VS_FIXEDFILEINFO_SIGNATURE:
        problems.append(f"version: signature {signature:#x}")
    for what, ms, ls in (("file", file_ms, file_ls), ("product", product_ms, product_ls)):
        if (ms, ls) != (wanted_ms, wanted_ls):
            problems.append(f"{what} version {ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}, "
                            f"wanted {version}.0")
    if file_os != VOS__WINDOWS32:
        problems.append(f"version: file OS {file_os:#x}, wanted {VOS__WINDOWS32:#x} (Windows 95/98)")
    if file_type != VFT_APP:
        problems.append(f"version: file type {file_type:#x}, wanted an application")

    blocks = {child[0]: child for child in children}
    tables = {table[0]: table for table in blocks.get("StringFileInfo", ("", b"", 0, []))[3]}
    if list(tables) != [VERSION_TABLE]:
        problems.append(f"version: string tables {list(tables)}, wanted [{VERSION_TABLE!r}]")
    strings = {}
    for name, value, _, _ in tables.get(VERSION_TABLE, ("", b"", 0, []))[3]:
        strings[name] = value.decode("utf-16-le").rstrip("\0")
    wanted = dict(VERSION_STRINGS, FileVersion=version, ProductVersion=version)
    for name, text in wanted.items():
        if strings.get(name) != text:
            problems.append(f"version: {name} {strings.get(name)!r}, wanted {text!r}")
    try:
        strings.get("FileDescription", "").encode("cp932")
    except UnicodeEncodeError:
        problems.append("version: the description has characters outside code page 932")
    translations = []
    for name, value, _, _ in blocks.get("VarFileInfo", ("", b"", 0, []))[3]:
        if name == "Translation":
            translations += [struct.unpack_from("<HH", value, i) for i in range(0, len(value), 4)]
    if translations != [(VERSION_LANGUAGE, VERSION_CODE_PAGE)]:
        problems.append(f"version: translations {translations}, "
                        f"wanted [({VERSION_LANGUAGE:#x}, {VERSION_CODE_PAGE})]")


def check(path, version):
    problems = []
    with open(path, "rb") as f:
        image = Image(f.read())
    resources = image.resources()
    for name, (caption, font, points, size, controls) in DIALOGS.items():
        data = resources.get((RT_DIALOG, name))
        if data is None:
            problems.append(f"{name}: no such dialog template")
            continue
        style, have_caption, have_font, have_points, have_size, have_controls = read_dialog(data)
        wanted_style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT
        if style & wanted_style != wanted_style:
            problems.append(f"{name}: style {style:#010x} lacks {wanted_style & ~style:#x}")
        for what, have, want in (("caption", have_caption, caption), ("font", have_font, font),
                                 ("font size", have_points, points), ("size", have_size, size)):
            if have != want:
                problems.append(f"{name}: {what} {have!r}, wanted {want!r}")
        if len(have_controls) != len(controls):
            problems.append(f"{name}: {len(have_controls)} controls, wanted {len(controls)}")
        for i, (want, have) in enumerate(zip(controls, have_controls)):
            check_control(f"{name} control {i + 1} ({want[0]})", want, have, problems)
    for number in (123, 127):
        if (RT_BITMAP, number) not in resources:
            problems.append(f"no bitmap resource {number}")

    rdata = image.section(".rdata")
    for text in TEXTS:
        if text.encode("cp932") + b"\0" not in rdata:
            problems.append(f"text not in the program: {text!r}")
    if OPENING_START.encode("cp932") not in rdata:
        problems.append(f"the opening text does not begin with {OPENING_START!r}")
    check_version(image, resources, version, problems)
    return problems


def main():
    parser = argparse.ArgumentParser(usage=__doc__.strip().split("\n\n")[1][len("usage: "):])
    parser.add_argument("--version", required=True)
    parser.add_argument("exe")
    args = parser.parse_args()
    if not all(part.isdigit() for part in args.version.split(".")) or args.version.count(".") != 2:
        parser.error(f"--version {args.version!r} is not MAJOR.MINOR.PATCH")
    try:
        problems = check(args.exe, args.version)
    except (OSError, ValueError, KeyError, struct.error, UnicodeDecodeError) as e:
        print(f"{args.exe}: {e}")
        return 1
    for p in problems:
        print(p)
    print(f"{len(DIALOGS)} dialog templates, {len(TEXTS) + 1} texts, version {args.version}: "
          f"{len(problems)} problem{'s' if len(problems) != 1 else ''}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
