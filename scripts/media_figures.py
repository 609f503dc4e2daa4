"""Figures of the sample courses (data/qdat/<vendor>/img/)."""

import figure_layout as L
from media_canvas import (Canvas, darker, icon_building, icon_cloud, icon_db, icon_doc,
                          icon_firewall, icon_key, icon_pc, icon_router, icon_server,
                          icon_switch, icon_user, lighter, mix)

INK = (40, 44, 52)
GRID = (214, 220, 228)
BLUE = (40, 100, 170)
RED = (200, 60, 50)
GREEN = (40, 150, 90)
ORANGE = (235, 140, 30)
PAPER = (250, 251, 253)


def frame(c, title=None, band=0):
    c.gradient((0, 0, c.w, c.h), (255, 255, 255), (240, 243, 248))
    if title:
        c.gradient((0, 0, c.w, 30), (52, 84, 140), (34, 60, 108))
        c.text((12, 15), title, 14, (255, 255, 255), "lm", bold=True)
    c.rect((0, 0, c.w, c.h), outline=(160, 168, 180))


def piece(c, box, s, color=BLUE, size=13):
    c.rect(box, fill=lighter(color, 0.82), outline=color, width=2, radius=5)
    c.text(((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), s, size, darker(color, 0.35), "mm",
           bold=True)


def slot(c, box, label=None, color=(120, 130, 150)):
    c.rect(box, fill=(255, 255, 255))
    c.dashed_rect(box, color, 5, 1.5)
    if label:
        c.text(((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), label, 12, lighter(color, 0.3), "mm")


# --- nexa -------------------------------------------------------------------

def nxn_topology():
    c = Canvas(600, 300)
    frame(c, "ネットワーク構成図")
    icon_router(c, 300, 70, 22)
    c.text((300, 96), "R1", 12, INK, "mm", True)
    sw = {"SW1": (120, 130), "SW2": (420, 130)}
    for name, (x, y) in sw.items():
        c.line([(300, 70), (x + 30, y)], INK, 2)
    for name, (x, y) in sw.items():
        icon_switch(c, x, y, 60, 18)
        c.text((x + 30, y - 8), name, 12, INK, "mm", True)
    hub = (170, 200)
    pcs = {"PC1": (30, 226), "PC2": (90, 226), "PC5": (370, 226), "PC6": (450, 226),
           "PC3": (150, 262), "PC4": (210, 262)}
    c.line([(140, 148), (60 - 12, 226)], INK, 1.5)
    c.line([(145, 148), (108, 226)], INK, 1.5)
    c.line([(165, 148), (hub[0] + 25, hub[1])], INK, 1.5)
    c.line([(440, 148), (388, 226)], INK, 1.5)
    c.line([(460, 148), (468, 226)], INK, 1.5)
    c.rect((hub[0], hub[1], hub[0] + 50, hub[1] + 16), fill=(150, 150, 160), outline=(90, 90, 100),
           radius=3)
    c.text((hub[0] + 25, hub[1] + 8), "HUB", 10, (255, 255, 255), "mm", True)
    c.line([(hub[0] + 15, hub[1] + 16), (168, 262)], INK, 1.5)
    c.line([(hub[0] + 35, hub[1] + 16), (228, 262)], INK, 1.5)
    for name, (x, y) in pcs.items():
        icon_pc(c, x, y - 4, 34, 28)
        c.text((x + 17, y + 30), name, 10, INK, "mm")
    c.rect((508, 214, 592, 290), fill=(255, 255, 255), outline=GRID, radius=4)
    c.text((514, 224), "凡例", 10, INK, "lm", True)
    icon_router(c, 526, 244, 9)
    c.text((540, 244), "ルーター", 9, INK, "lm")
    icon_switch(c, 514, 258, 24, 9)
    c.text((544, 262), "L2SW", 9, INK, "lm")
    c.rect((514, 274, 538, 282), fill=(150, 150, 160))
    c.text((544, 278), "HUB", 9, INK, "lm")
    return c.image()


def nxn_osi():
    c = Canvas(440, 300)
    frame(c, "OSI参照モデルと代表的な機器")
    rows = [("7", "アプリケーション層", "HTTP, SMTP"), ("6", "プレゼンテーション層", "文字コード, 圧縮"),
            ("5", "セッション層", "対話の管理"), ("4", "トランスポート層", "TCP, UDP"),
            ("3", "ネットワーク層", "IP / ルーター"), ("2", "データリンク層", "Ethernet / スイッチ"),
            ("1", "物理層", "ケーブル / ハブ")]
    for i, (n, name, ex) in enumerate(rows):
        y = 40 + i * 36
        hot = n == "3"
        col = ORANGE if hot else mix(BLUE, (120, 170, 220), i / 6)
        c.rect((16, y, 60, y + 32), fill=col, radius=4)
        c.text((38, y + 16), n, 16, (255, 255, 255), "mm", True)
        c.rect((64, y, 250, y + 32), fill=lighter(col, 0.8), outline=col, radius=4)
        c.text((74, y + 16), name, 13, INK, "lm", hot)
        c.text((262, y + 16), ex, 12, (70, 76, 90), "lm", hot)
    c.arrow((424, 44), (424, 280), (150, 160, 175), 2, 7)
    c.text((414, 160), "下位", 10, (120, 128, 140), "rm")
    return c.image()


def nxs_rack_front():
    c = Canvas(440, 440)
    frame(c, "42Uラック 搭載計画(前面)")
    x1, x2, top, u = 150, 300, 46, 9
    c.rect((x1 - 12, top - 6, x2 + 12, top + 42 * u + 6), fill=(60, 64, 72), radius=4)
    c.rect((x1, top, x2, top + 42 * u), fill=(34, 36, 42))
    for k in range(43):
        c.line([(x1 - 9, top + k * u), (x1 - 4, top + k * u)], (150, 150, 160), 1)
    devices = [(1, 1, "パッチパネル", (190, 190, 200)), (2, 1, "L2スイッチ", (60, 130, 190)),
               (7, 2, "Webサーバー", (120, 130, 150)), (9, 2, "APサーバー", (120, 130, 150)),
               (20, 2, "DBサーバー", (110, 120, 145)), (22, 3, "ストレージ", (90, 100, 130))]
    for i, (start, size, name, col) in enumerate(devices):
        y = top + (start - 1) * u
        c.rect((x1 + 2, y + 1, x2 - 2, y + size * u - 1), fill=col, outline=darker(col), radius=2)
        for k in range(size):
            c.ellipse((x2 - 12, y + k * u + 3, x2 - 8, y + k * u + 7), fill=(90, 220, 120))
        ly = y + size * u / 2 + (i - 0.5) * 6 if start <= 2 else y + size * u / 2
        c.line([(x1 - 12, y + size * u / 2), (x1 - 24, ly)], (150, 156, 168), 1)
        c.text((x1 - 28, ly), name, 11, INK, "rm")
    marks = [(3, "1"), (13, "2"), (28, "3"), (38, "4")]
    for start, n in marks:
        y = top + (start - 1) * u
        c.rect((x1 + 2, y + 1, x2 - 2, y + 4 * u - 1), fill=(255, 255, 255))
        c.dashed_rect((x1 + 2, int(y + 1), x2 - 2, int(y + 4 * u - 1)), ORANGE, 4, 1.5)
        c.text(((x1 + x2) / 2, y + 2 * u), "空き 4U", 10, (190, 140, 60), "mm")
        c.ellipse((x2 + 26, y + 2 * u - 11, x2 + 48, y + 2 * u + 11), fill=ORANGE)
        c.text((x2 + 37, y + 2 * u), n, 13, (255, 255, 255), "mm", True)
        c.line([(x2 + 10, y + 2 * u), (x2 + 26, y + 2 * u)], ORANGE, 1.5)
    c.rect((356, 104, 436, 154), fill=(255, 255, 255), outline=GRID, radius=4)
    c.text((396, 118), "搭載予定", 10, INK, "mm", True)
    c.text((396, 138), "UPS 約60kg", 10, RED, "mm")
    c.text((16, 390), "番号1～4:", 10, (100, 106, 118), "lm")
    c.text((16, 406), "搭載位置の候補", 10, (100, 106, 118), "lm")
    return c.image()


def nxs_raid_bays():
    w, h = L.BAYS_SIZE
    c = Canvas(w, h, (40, 44, 52))
    c.gradient((0, 0, w, h), (70, 76, 88), (36, 40, 48))
    c.text((20, 24), "STORAGE SHELF  SS-800", 14, (220, 226, 236), "lm", True)
    c.text((w - 20, 24), "RAID 6 / 8 Disks", 12, (170, 180, 195), "rm")
    for i, box in enumerate(L.BAYS):
        x1, y1, x2, y2 = box
        c.rect(box, fill=(92, 98, 110), outline=(20, 22, 26), width=2, radius=4)
        for k in range(9):
            yy = y1 + 16 + k * 11
            c.line([(x1 + 10, yy), (x2 - 10, yy)], (70, 74, 84), 2)
        c.rect((x1 + 6, y2 - 26, x2 - 6, y2 - 6), fill=(130, 136, 148), radius=3)
        c.text(((x1 + x2) / 2, y2 - 16), "Disk %d" % i, 10, (30, 30, 30), "mm", True)
        if i in L.BAYS_FAILED:
            lamp = (255, 150, 20)
        elif i == L.BAYS_REBUILDING:
            lamp = (60, 140, 255)
        else:
            lamp = (60, 220, 100)
        c.ellipse((x1 + 8, y1 + 4, x1 + 18, y1 + 14), fill=lamp)
        c.ellipse((x1 + 22, y1 + 4, x1 + 32, y1 + 14), fill=(60, 220, 100) if i not in
                  L.BAYS_FAILED else (70, 74, 84))
    legend = [((60, 220, 100), "緑: 正常"), ((255, 150, 20), "橙: 障害"), ((60, 140, 255), "青: 再構築中")]
    for k, (col, s) in enumerate(legend):
        x = 40 + k * 150
        c.ellipse((x, 244, x + 12, 256), fill=col)
        c.text((x + 18, 250), s, 12, (230, 234, 240), "lm")
    return c.image()


def nxs_rack_rear():
    w, h = L.REAR_SIZE
    c = Canvas(w, h)
    c.gradient((0, 0, w, h), (236, 239, 244), (214, 219, 226))
    c.text((12, 16), "ラック背面", 13, INK, "lm", True)
    c.rect((44, 26, 436, 230), fill=(52, 56, 64), radius=4)
    c.rect((440, 40, 470, 220), fill=(200, 60, 50), radius=3)
    c.rect((6, 40, 36, 220), fill=(40, 90, 180), radius=3)
    c.text((455, 30), "B系", 10, RED, "mm", True)
    c.text((21, 30), "A系", 10, BLUE, "mm", True)
    for i, box in enumerate(L.REAR_ROWS):
        x1, y1, x2, y2 = box
        c.rect(box, fill=(118, 124, 136), outline=(30, 32, 36), radius=2)
        c.text((x1 + 8, (y1 + y2) / 2), L.REAR_NAMES[i], 11, (255, 255, 255), "lm", True)
        for k in range(4):
            c.rect((x1 + 96 + k * 22, y1 + 10, x1 + 112 + k * 22, y1 + 22), fill=(60, 64, 72))
        for k, px in enumerate((x2 - 92, x2 - 46)):
            c.rect((px, y1 + 4, px + 40, y2 - 4), fill=(80, 84, 94), outline=(30, 32, 36), radius=2)
            c.text((px + 20, y1 + 9), "PSU%d" % (k + 1), 7, (200, 205, 215), "mm")
            plugged = not (i == L.REAR_SINGLE_PSU and k == 1)
            if plugged:
                c.rect((px + 14, y1 + 14, px + 26, y2 - 6), fill=(20, 20, 22))
                cable = (40, 90, 180) if k == 0 else (200, 60, 50)
                side = 36 if k == 0 else 440
                c.line([(px + 20, y2 - 6), (px + 20, y2 - 2), (side if k == 1 else 36, y2 - 2)],
                       cable, 2)
            else:
                c.rect((px + 14, y1 + 14, px + 26, y2 - 6), fill=(150, 154, 162))
                c.ellipse((px + 30, y1 + 13, px + 36, y1 + 19), fill=(255, 150, 20))
    return c.image()


def nxs_3tier():
    w, h = L.TIER_SIZE
    c = Canvas(w, h)
    frame(c, "Web三層システム構成")
    icon_user(c, 36, 118)
    c.text((36, 150), "利用者", 11, INK, "mm")
    prev = 52
    for i, box in enumerate(L.TIER_SLOTS):
        mid = (box[1] + box[3]) / 2
        c.arrow((prev + 4, mid), (box[0] - 4, mid), (110, 120, 140), 2, 7)
        slot(c, box, "?")
        c.text(((box[0] + box[2]) / 2, box[3] + 16), L.TIER_SLOT_LABELS[i], 11, INK, "mm", True)
        prev = box[2]
    c.line([(10, 188), (w - 10, 188)], GRID, 1)
    c.text((14, 200), "部品", 11, (100, 108, 120), "lm", True)
    for box, s in zip(L.TIER_PIECES, L.TIER_PIECE_LABELS):
        piece(c, box, s)
    return c.image()


def nxs_raid_levels():
    c = Canvas(580, 250)
    frame(c, "RAIDレベルとデータ配置")
    groups = [("RAID 1 (ミラーリング)", [["A1", "A2", "A3"], ["A1", "A2", "A3"]], 20),
              ("RAID 5 (分散パリティ)", [["A1", "B1", "P3"], ["A2", "P2", "C1"], ["P1", "B2", "C2"]], 200),
              ("RAID 6 (2重パリティ)", [["A1", "P2", "Q3"], ["A2", "Q2", "C1"], ["P1", "B1", "P3"],
                                        ["Q1", "B2", "C2"]], 390)]
    for title, disks, x in groups:
        c.text((x, 50), title, 12, INK, "la", True)
        for d, blocks in enumerate(disks):
            dx = x + d * 44
            c.rect((dx, 72, dx + 38, 200), fill=(236, 240, 246), outline=(120, 130, 150), radius=6)
            for b, s in enumerate(blocks):
                col = ORANGE if s[0] in "PQ" else BLUE
                c.rect((dx + 4, 82 + b * 36, dx + 34, 110 + b * 36), fill=lighter(col, 0.7),
                       outline=col, radius=3)
                c.text((dx + 19, 96 + b * 36), s, 11, darker(col, 0.4), "mm", True)
            c.text((dx + 19, 212), "D%d" % (d + 1), 10, (90, 96, 110), "mm")
    c.text((20, 236), "P, Q: パリティ   実効容量  RAID 1: 1/2   RAID 5: (n-1)台分   RAID 6: (n-2)台分", 11,
           (70, 76, 90), "lm")
    return c.image()


def nxs_backup():
    c = Canvas(580, 250)
    frame(c, "フル・差分・増分バックアップの範囲")
    days = ["日", "月", "火", "水", "木"]
    x0, dx = 130, 88
    for i, d in enumerate(days):
        c.text((x0 + i * dx + 40, 48), d + "曜", 12, INK, "mm", True)
    rows = [("フル", [(0, 1)], BLUE), ("差分(水曜分)", [(1, 4)], ORANGE), ("増分(水曜分)", [(3, 4)], GREEN)]
    for r, (name, spans, col) in enumerate(rows):
        y = 70 + r * 54
        c.text((16, y + 16), name, 12, INK, "lm", True)
        for a, b in spans:
            c.rect((x0 + a * dx + 4, y, x0 + b * dx - 4, y + 32), fill=lighter(col, 0.6), outline=col,
                   radius=6)
        for i in range(6):
            c.line([(x0 + i * dx, 62), (x0 + i * dx, 222)], GRID, 1)
    c.text((16, 232), "差分: 直前のフル以降の変更をすべて含む   増分: 前回のバックアップ以降の変更だけを含む", 11,
           (70, 76, 90), "lm")
    return c.image()


def line_chart(c, box, values, ymax, color, ylabel, xlabels, fill=True):
    x1, y1, x2, y2 = box
    c.rect(box, fill=(255, 255, 255), outline=(180, 186, 196))
    for k in range(5):
        y = y2 - (y2 - y1) * k / 4
        c.line([(x1, y), (x2, y)], GRID, 1)
        c.text((x1 - 6, y), "%d%%" % (ymax * k / 4), 10, (100, 106, 118), "rm")
    n = len(values)
    pts = [(x1 + (x2 - x1) * i / (n - 1), y2 - (y2 - y1) * v / ymax) for i, v in enumerate(values)]
    if fill:
        c.polygon([(x1, y2)] + pts + [(x2, y2)], lighter(color, 0.75))
    c.line(pts, color, 2)
    for i, s in enumerate(xlabels):
        x = x1 + (x2 - x1) * i / (len(xlabels) - 1)
        c.line([(x, y2), (x, y2 + 4)], (150, 156, 166), 1)
        c.text((x, y2 + 14), s, 10, (90, 96, 110), "mm")
    c.text((x1, y1 - 12), ylabel, 11, INK, "lm", True)


def nxs_cpu_graph():
    c = Canvas(560, 240)
    frame(c, "図1  CPU使用率(直近7日間)")
    values = []
    for day in range(7):
        for hour in range(24):
            base = 16 + 12 * max(0, 1 - abs(hour - 14) / 7) + (day * 7 + hour * 3) % 5
            if hour == 2:
                base = 84 + (day * 3) % 6
            values.append(base)
    values.append(values[0])
    labels = ["4/14", "4/15", "4/16", "4/17", "4/18", "4/19", "4/20", "4/21"]
    line_chart(c, (60, 56, 540, 200), values, 100, (200, 70, 60), "CPU使用率(%)", labels, False)
    c.text((540, 226), "毎日 02:00 にバッチ処理を実行", 10, (120, 126, 138), "rm")
    return c.image()


def nxs_disk_graph():
    c = Canvas(560, 240)
    frame(c, "図2  ディスク使用率 /var(直近7日間)")
    values = [78 + 2 * d + (0.4 if d % 2 else 0) for d in range(8)]
    values[-1] = 92
    labels = ["4/14", "4/15", "4/16", "4/17", "4/18", "4/19", "4/20", "4/21"]
    line_chart(c, (60, 56, 540, 200), values, 100, (40, 110, 190), "使用率(%)", labels)
    c.line([(60, 56 + 144 * 0.1), (540, 56 + 144 * 0.1)], (220, 60, 50), 1)
    c.text((536, 56 + 144 * 0.1 - 8), "警告しきい値 90%", 10, (200, 60, 50), "rm")
    return c.image()


def nxa_case_current():
    c = Canvas(640, 400)
    frame(c, "図1  現在のシステム構成")
    c.rect((24, 50, 300, 300), fill=(244, 247, 252), outline=(150, 165, 190), radius=8)
    c.text((36, 64), "本社 サーバールーム", 12, INK, "lm", True)
    for i, (name, ico) in enumerate([("Web ×2", icon_server), ("AP ×2", icon_server),
                                     ("DB ×1 (2TB)", icon_db)]):
        x = 44 + i * 86
        ico(c, x + 12, 100)
        c.text((x + 29, 154), name, 11, INK, "mm")
    c.arrow((96, 120), (140, 120), (120, 130, 150), 1.5, 5)
    c.arrow((182, 120), (226, 120), (120, 130, 150), 1.5, 5)
    icon_firewall(c, 60, 200)
    c.text((80, 246), "FW", 10, INK, "mm", True)
    icon_router(c, 220, 220, 18)
    c.text((220, 246), "ルーター", 10, INK, "mm")
    icon_cloud(c, 470, 110, 150, 70)
    c.text((470, 110), "インターネット", 12, INK, "mm", True)
    c.line([(100, 216), (400, 116)], BLUE, 2)
    c.text((310, 134), "HTTPS", 11, BLUE, "mm", True)
    icon_building(c, 560, 60, 40, 36)
    c.text((580, 104), "荷主企業", 10, INK, "mm")
    icon_cloud(c, 420, 270, 150, 70, (250, 244, 232), (200, 160, 100))
    c.text((420, 270), "IP-VPN", 12, INK, "mm", True)
    c.line([(238, 220), (350, 262)], ORANGE, 2)
    for i in range(3):
        x = 380 + i * 86
        icon_building(c, x, 330, 36, 30)
        c.text((x + 18, 372), "支店%d" % (i + 1), 10, INK, "mm")
        c.line([(x + 18, 330), (420, 300)], ORANGE, 1.5)
    c.text((24, 388), "※サーバー機器は導入から6年経過(保守契約は来年3月まで)", 10, RED, "lm")
    return c.image()


def nxa_case_target():
    c = Canvas(640, 400)
    frame(c, "図2  移行後の構成案")
    c.rect((180, 44, 630, 330), fill=(244, 248, 255), outline=(70, 110, 180), radius=10)
    c.text((192, 58), "クラウド 東京リージョン", 12, BLUE, "lm", True)
    for k, x in enumerate((200, 420)):
        c.rect((x, 90, x + 196, 320), fill=(255, 255, 255), outline=(150, 170, 200), radius=6)
        c.dashed_rect((x, 90, x + 196, 320), (120, 150, 200), 5, 1)
        c.text((x + 98, 104), "ゾーン%s" % "AB"[k], 11, INK, "mm", True)
        icon_server(c, x + 30, 160, 30, 36)
        c.text((x + 45, 206), "Web/AP", 10, INK, "mm")
        icon_db(c, x + 126, 232, 30, 36)
        c.text((x + 141, 278), "DB " + ("プライマリ" if k == 0 else "スタンバイ"), 10, INK, "mm")
    c.rect((300, 120, 520, 144), fill=lighter(GREEN, 0.7), outline=GREEN, radius=4)
    c.text((410, 132), "ロードバランサー", 11, darker(GREEN, 0.4), "mm", True)
    c.rect((222, 152, 598, 214), outline=ORANGE, radius=6)
    c.text((590, 222), "オートスケーリング", 10, ORANGE, "rm", True)
    c.arrow((360, 250), (546, 250), (120, 130, 150), 1.5, 5, both=True)
    c.text((453, 240), "同期複製", 10, INK, "mm")
    icon_building(c, 30, 70, 46, 40)
    c.text((53, 120), "本社", 11, INK, "mm")
    c.line([(76, 90), (200, 180)], BLUE, 3)
    c.text((150, 112), "専用線", 11, BLUE, "mm", True)
    icon_building(c, 30, 250, 46, 40)
    c.text((53, 300), "支店", 11, INK, "mm")
    c.line([(76, 270), (200, 230)], ORANGE, 2)
    c.text((130, 272), "VPN", 11, ORANGE, "mm", True)
    icon_user(c, 300, 372)
    c.text((284, 372), "荷主 (HTTPS)", 11, INK, "rm")
    c.arrow((300, 352), (300, 146), (130, 140, 160), 1.5, 6)
    c.rect((380, 342, 630, 392), fill=(250, 246, 240), outline=(200, 160, 100), radius=6)
    c.text((392, 356), "大阪リージョン (災害対策)", 11, INK, "lm", True)
    c.text((392, 376), "DBを非同期で複製・他は災害時に起動", 10, (110, 90, 60), "lm")
    return c.image()


def nxa_subnets():
    w, h = L.VPC_SIZE
    c = Canvas(w, h)
    frame(c, "移行後のネットワーク構成(仮想ネットワーク)")
    c.rect((6, 40, 634, 292), fill=(246, 249, 255), outline=(70, 110, 180), radius=8)
    colors = [(60, 150, 90), (60, 110, 190), (150, 90, 170)]
    for (name, y1, y2), col in zip(L.VPC_BANDS, colors):
        c.rect((16, y1, 624, y2), fill=lighter(col, 0.9), outline=lighter(col, 0.3), radius=6)
        c.text((26, y1 + 14), name, 11, darker(col, 0.3), "lm", True)
    for box, sid in L.VPC_SLOTS:
        slot(c, box, "配置先")
    icon_cloud(c, 560, 86, 80, 40)
    c.text((560, 86), "Internet", 10, INK, "mm", True)
    c.line([(520, 88), (378, 88)], (120, 130, 150), 1.5)
    c.line([(320, 107), (208, 147)], (150, 160, 175), 1)
    c.line([(320, 107), (432, 147)], (150, 160, 175), 1)
    c.line([(208, 187), (320, 227)], (150, 160, 175), 1)
    c.line([(432, 187), (320, 227)], (150, 160, 175), 1)
    c.text((14, 312), "部品", 11, (100, 108, 120), "lm", True)
    cols = {"LB": GREEN, "WEB": BLUE, "DB": (150, 90, 170), "BAS": (120, 120, 120)}
    for box, pid, label in L.VPC_PIECES:
        piece(c, box, label, cols[pid], 12)
    return c.image()


def connect_board(c, title, panels, connectors, labels=None, icons=None):
    c.gradient((0, 0, c.w, 45), (52, 84, 140), (34, 60, 108))
    c.text((14, 22), title, 14, (255, 255, 255), "lm", True)
    c.text((c.w - 14, 22), "コネクト", 11, (200, 215, 240), "rm")
    c.gradient((0, 45, c.w, c.h), (255, 255, 255), (244, 246, 250))
    c.line([(0, 300), (c.w, 300)], GRID, 1)
    c.text((14, 312), "接続方式", 10, (110, 116, 128), "lm", True)
    for (box, name) in panels:
        c.rect(box, fill=(232, 240, 252), outline=(60, 100, 170), width=2, radius=6)
        ico = (icons or {}).get(name)
        if ico:
            ico(c, box[0] + 8, box[1] + 8)
            c.text((box[0] + 46, (box[1] + box[3]) / 2), name, 12, INK, "lm", True)
        else:
            c.text(((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), name, 13, INK, "mm", True)
    for box, name, direction in connectors:
        col = (190, 110, 30) if direction else (40, 130, 90)
        c.rect(box, fill=lighter(col, 0.8), outline=col, radius=4)
        text = (labels or {}).get(name, name)
        c.text(((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), text, 11, darker(col, 0.4), "mm",
               True)


def connect_solution(c, title, panels, connectors, answer, labels=None, icons=None):
    connect_board(c, title, panels, connectors, labels, icons)
    c.text((14, 58), "正解の接続", 12, RED, "lm", True)
    centers = {n: ((b[0] + b[2]) / 2, (b[1] + b[3]) / 2) for b, n in panels}
    boxes = {n: b for b, n in panels}
    conn = {n: (b, d) for b, n, d in connectors}
    for a, b, k, d in answer:
        ca, cb = centers[a], centers[b]
        ba, bb = boxes[a], boxes[b]
        pa = (ba[2], ca[1]) if cb[0] > ca[0] else (ba[0], ca[1])
        pb = (bb[0], cb[1]) if cb[0] > ca[0] else (bb[2], cb[1])
        if abs(cb[0] - ca[0]) < 10:
            if cb[1] < ca[1]:
                pa, pb = (ca[0], ba[1]), (cb[0], bb[3])
            else:
                pa, pb = (ca[0], ba[3]), (cb[0], bb[1])
        if d:
            c.arrow(pa, pb, RED, 2.5, 10)
        else:
            c.line([pa, pb], RED, 2.5)
        mid = ((pa[0] + pb[0]) / 2, (pa[1] + pb[1]) / 2)
        box, direction = conn[k]
        bw, bh = box[2] - box[0], box[3] - box[1]
        col = (190, 110, 30) if direction else (40, 130, 90)
        r = (mid[0] - bw / 2, mid[1] - bh / 2, mid[0] + bw / 2, mid[1] + bh / 2)
        c.rect(r, fill=lighter(col, 0.8), outline=col, radius=4)
        c.text(mid, (labels or {}).get(k, k), 11, darker(col, 0.4), "mm", True)


def nxa_connect():
    c = Canvas(*L.HYB_SIZE)
    connect_board(c, "拠点・利用者とクラウドの接続", L.HYB_PANELS, L.HYB_CONNECTORS,
                  L.HYB_CONNECTOR_LABELS)
    return c.image()


def nxa_connect_ans():
    c = Canvas(*L.HYB_SIZE)
    connect_solution(c, "拠点・利用者とクラウドの接続", L.HYB_PANELS, L.HYB_CONNECTORS, L.HYB_ANSWER,
                     L.HYB_CONNECTOR_LABELS)
    return c.image()


def bar_chart(c, box, items, vmax, unit):
    x1, y1, x2, y2 = box
    for k in range(5):
        y = y2 - (y2 - y1) * k / 4
        c.line([(x1, y), (x2, y)], GRID, 1)
        c.text((x1 - 6, y), "%s" % format(int(vmax * k / 4), ","), 10, (100, 106, 118), "rm")
    bw = (x2 - x1) / len(items)
    for i, (label, value, col) in enumerate(items):
        bx = x1 + i * bw + bw * 0.22
        top = y2 - (y2 - y1) * value / vmax
        c.gradient((int(bx), int(top), int(bx + bw * 0.56), y2), lighter(col, 0.25), col)
        c.text((bx + bw * 0.28, top - 10), format(value, ",") + unit, 11, INK, "mm", True)
        c.text((bx + bw * 0.28, y2 + 14), label, 11, INK, "mm")


def nxa_cost():
    c = Canvas(560, 260)
    frame(c, "DBサーバー 月額費用の試算(常時稼働)")
    items = [("従量課金", 182000, (200, 90, 70)), ("1年予約", 121000, (230, 150, 50)),
             ("3年予約", 84000, (60, 150, 90)), ("中断あり割引", 61000, (120, 130, 150))]
    bar_chart(c, (80, 60, 540, 214), items, 200000, "円")
    c.text((16, 246), "※中断あり割引は、事業者の都合で停止されることがある", 10, (120, 126, 138), "lm")
    return c.image()


def nxa_dr_expl():
    c = Canvas(600, 230)
    frame(c, "災害対策の方式と RTO・費用")
    steps = [("バックアップ&\nリストア", "RTO: 日単位", (120, 130, 150)),
             ("パイロット\nライト", "RTO: 数時間", (60, 150, 90)),
             ("ウォーム\nスタンバイ", "RTO: 数十分", (60, 110, 190)),
             ("マルチサイト\nアクティブ/アクティブ", "RTO: ほぼ0", (150, 80, 160))]
    for i, (name, rto, col) in enumerate(steps):
        x = 20 + i * 144
        c.rect((x, 60, x + 130, 140), fill=lighter(col, 0.8), outline=col, width=2, radius=8)
        for j, part in enumerate(name.split("\n")):
            c.text((x + 65, 84 + j * 18), part, 12, darker(col, 0.35), "mm", True)
        c.text((x + 65, 156), rto, 11, INK, "mm")
    c.rect((159, 55, 299, 145), outline=ORANGE, width=3, radius=10)
    c.arrow((20, 188), (580, 188), (200, 80, 60), 3, 10)
    c.text((300, 206), "費用は右ほど高く、復旧は右ほど速い", 11, (150, 60, 50), "mm", True)
    return c.image()


# --- sorane -----------------------------------------------------------------

TABLES = [("会員", ["会員ID", "氏名", "メールアドレス", "登録日"], 1),
          ("注文", ["注文ID", "会員ID", "注文日時", "状態"], 1),
          ("注文明細", ["注文ID", "明細番号", "ISBN", "数量", "単価"], 2),
          ("書籍", ["ISBN", "書名", "著者ID", "出版社", "価格"], 1),
          ("著者", ["著者ID", "著者名"], 1)]


def entity(c, x, y, name, cols, pk, w=130, col=(70, 110, 170)):
    c.rect((x + 3, y + 3, x + w + 3, y + 26 + len(cols) * 20 + 7), fill=(205, 210, 220), radius=5)
    c.rect((x, y, x + w, y + 26 + len(cols) * 20 + 4), fill=(255, 255, 255), outline=col, radius=5)
    c.rect((x, y, x + w, y + 24), fill=col, radius=5)
    c.rect((x, y + 14, x + w, y + 24), fill=col)
    c.text((x + w / 2, y + 12), name, 12, (255, 255, 255), "mm", True)
    for i, s in enumerate(cols):
        yy = y + 36 + i * 20
        if i < pk:
            c.text((x + 8, yy), "PK", 9, ORANGE, "lm", True)
            c.line([(x + 28, yy + 8), (x + 28 + c.text_width(s, 11), yy + 8)], INK, 1)
        c.text((x + 28, yy), s, 11, INK, "lm", i < pk)
    return (x, y, x + w, y + 26 + len(cols) * 20 + 4)


def crow(c, a, b, color=INK):
    """One-to-many line from a (one side) to b (many side)."""
    c.line([a, b], color, 1.5)
    bx, by = b
    ax, ay = a
    if abs(bx - ax) > abs(by - ay):
        s = -1 if bx > ax else 1
        c.line([(bx + s * 10, by), (bx, by - 7)], color, 1.5)
        c.line([(bx + s * 10, by), (bx, by + 7)], color, 1.5)
    else:
        s = -1 if by > ay else 1
        c.line([(bx, by + s * 10), (bx - 7, by)], color, 1.5)
        c.line([(bx, by + s * 10), (bx + 7, by)], color, 1.5)


def srd_er():
    c = Canvas(640, 380)
    frame(c, "図1  注文管理データベースのE-R図")
    pos = {"会員": (24, 60), "注文": (246, 60), "注文明細": (470, 60), "書籍": (470, 230),
           "著者": (246, 250)}
    boxes = {}
    for name, cols, pk in TABLES:
        boxes[name] = entity(c, *pos[name], name, cols, pk)
    crow(c, (boxes["会員"][2], 110), (boxes["注文"][0], 110))
    crow(c, (boxes["注文"][2], 110), (boxes["注文明細"][0], 110))
    crow(c, (535, boxes["書籍"][1]), (535, boxes["注文明細"][3]))
    crow(c, (boxes["著者"][2], 300), (boxes["書籍"][0], 300))
    c.text((24, 360), "線の分岐している側が「多」を表す(1対多)", 10, (100, 106, 118), "lm")
    return c.image()


def table_grid(c, x, y, header, rows, widths, head_col=(70, 110, 170), size=11, hl_rows=()):
    h = 22
    xx = x
    for wdt, s in zip(widths, header):
        c.rect((xx, y, xx + wdt, y + h), fill=head_col, outline=darker(head_col))
        c.text((xx + wdt / 2, y + h / 2), s, size, (255, 255, 255), "mm", True)
        xx += wdt
    for r, row in enumerate(rows):
        xx = x
        fill = (255, 246, 226) if r in hl_rows else ((255, 255, 255) if r % 2 == 0 else (244, 247, 252))
        for wdt, s in zip(widths, row):
            c.rect((xx, y + h * (r + 1), xx + wdt, y + h * (r + 2)), fill=fill, outline=(190, 198, 210))
            c.text((xx + 6, y + h * (r + 1.5)), s, size, INK, "lm")
            xx += wdt


def srd_tables():
    c = Canvas(640, 420)
    frame(c, "図2  テーブル定義(太字・PKは主キー)")
    y = 44
    for name, cols, pk in TABLES:
        c.text((16, y + 10), name, 12, BLUE, "lm", True)
        x = 110
        for i, s in enumerate(cols):
            wdt = 98
            c.rect((x, y, x + wdt, y + 22), fill=(255, 240, 214) if i < pk else (255, 255, 255),
                   outline=(170, 178, 190))
            c.text((x + wdt / 2, y + 11), ("PK " if i < pk else "") + s, 11, INK, "mm", i < pk)
            x += wdt
        fks = {"注文": "会員ID→会員", "注文明細": "注文ID→注文, ISBN→書籍", "書籍": "著者ID→著者"}
        if name in fks:
            c.text((110, y + 34), "外部キー: " + fks[name], 10, (110, 116, 130), "lm")
        y += 74
    return c.image()


def srd_sample():
    c = Canvas(560, 220)
    frame(c, "図3  注文明細テーブルのデータ例")
    rows = [["10021", "1", "978-4-0000-1001-1", "1", "2,420"],
            ["10021", "2", "978-4-0000-2043-0", "2", "1,980"],
            ["10022", "1", "978-4-0000-1001-1", "1", "2,200"],
            ["10023", "1", "978-4-0000-3310-7", "3", "880"],
            ["10023", "2", "978-4-0000-2043-0", "1", "1,980"]]
    table_grid(c, 20, 44, ["注文ID", "明細番号", "ISBN", "数量", "単価"], rows, [80, 80, 200, 70, 90])
    c.text((20, 190), "※注文10021と10022は同じ書籍だが、価格改定をはさむため単価が異なる", 10, (120, 90, 50), "lm")
    return c.image()


def srd_norm():
    c = Canvas(600, 220)
    frame(c, "注文一覧(1つの表にまとめた例)")
    rows = [["10021", "M0105", "青木 陽子", "978-4-0000-1001-1", "1"],
            ["10021", "M0105", "青木 陽子", "978-4-0000-2043-0", "2"],
            ["10024", "M0105", "青木 陽子", "978-4-0000-3310-7", "1"],
            ["10025", "M0231", "北川 亮", "978-4-0000-1001-1", "1"]]
    table_grid(c, 20, 48, ["注文ID", "会員ID", "会員名", "ISBN", "数量"], rows, [80, 80, 110, 200, 60],
               hl_rows=(0, 1, 2))
    c.text((20, 176), "主キー: {注文ID, ISBN}", 11, INK, "lm", True)
    return c.image()


def srd_join():
    c = Canvas(560, 220)
    frame(c, "内部結合と左外部結合")
    for k, (title, left_only) in enumerate([("INNER JOIN", False), ("LEFT OUTER JOIN", True)]):
        cx = 140 + k * 280
        c.text((cx, 50), title, 13, INK, "mm", True)
        left = (cx - 80, 70, cx + 20, 170)
        right = (cx - 20, 70, cx + 80, 170)
        fill = lighter(BLUE, 0.5)
        if left_only:
            c.ellipse(left, fill=fill)
        c.ellipse(right, fill=(255, 255, 255))
        c.ellipse(left, outline=BLUE, width=2, fill=fill if left_only else None)
        c.ellipse(right, outline=(150, 90, 170), width=2)
        # the overlap is what both joins return
        c.ellipse((cx - 20, 84, cx + 20, 156), fill=fill)
        c.ellipse(left, outline=BLUE, width=2)
        c.ellipse(right, outline=(150, 90, 170), width=2)
        c.text((cx - 50, 120), "会員", 12, INK, "mm", True)
        c.text((cx + 52, 120), "注文", 12, INK, "mm", True)
    c.text((280, 196), "左外部結合では、注文のない会員の行も結果に残る(注文の列はNULL)", 11, INK, "mm")
    return c.image()


def srd_groupby():
    c = Canvas(560, 240)
    frame(c, "GROUP BY 注文ID による集計")
    rows = [["10021", "1 × 2,420"], ["10021", "2 × 1,980"], ["10023", "3 × 880"], ["10023", "1 × 1,980"]]
    table_grid(c, 20, 50, ["注文ID", "数量 × 単価"], rows, [80, 130], hl_rows=(0, 1))
    c.arrow((250, 115), (320, 115), (120, 130, 150), 3, 10)
    table_grid(c, 340, 70, ["注文ID", "SUM(数量*単価)"], [["10021", "6,380"], ["10023", "4,620"]],
               [80, 130], hl_rows=(0,))
    c.text((20, 214), "SELECT 注文ID, SUM(数量 * 単価) FROM 注文明細 GROUP BY 注文ID", 11, BLUE, "lm",
           mono=True)
    return c.image()


def terminal(c, title, prompt):
    c.rect((0, 0, c.w, c.h), fill=(24, 26, 32))
    c.rect((0, 0, c.w, 26), fill=(58, 62, 72))
    for k, col in enumerate(((236, 96, 90), (240, 190, 70), (110, 200, 90))):
        c.ellipse((10 + k * 18, 8, 20 + k * 18, 18), fill=col)
    c.text((c.w / 2, 13), title, 11, (210, 214, 222), "mm")
    c.text((14, 40), prompt, 14, (120, 220, 130), "lm", mono=True)


def srl_lsl():
    c = Canvas(*L.LSL_SIZE)
    terminal(c, "admin@srv01: /srv/share", "[admin@srv01 share]$ ls -l")
    for i, s in enumerate(L.LSL_LINES):
        x1, y1, x2, y2 = L.lsl_row(i)
        c.text((x1 + 4, (y1 + y2) / 2), s, 13, (226, 230, 236), "lm", mono=True)
    y = L.LSL_TOP + len(L.LSL_LINES) * L.LSL_LINE + 14
    c.text((14, y), "[admin@srv01 share]$ ", 14, (120, 220, 130), "lm", mono=True)
    c.rect((14 + c.text_width("[admin@srv01 share]$ ", 14, True), y - 8,
            22 + c.text_width("[admin@srv01 share]$ ", 14, True), y + 8), fill=(200, 200, 200))
    return c.image()


def srl_top():
    c = Canvas(*L.TOP_SIZE)
    terminal(c, "admin@srv02: top", "top - 02:14:07 up 41 days,  load average: 1.42, 1.18, 0.97")
    c.text((14, 58), "Tasks: 182 total,   2 running, 180 sleeping    %Cpu(s): 28.4 us,  3.1 sy", 12,
           (200, 204, 212), "lm", mono=True)
    header = "  PID USER      PR  NI  %CPU  %MEM S COMMAND"
    c.rect((10, 72, 590, 92), fill=(210, 214, 222))
    c.text((14, 82), header, 13, (20, 22, 28), "lm", mono=True)
    for i, row in enumerate(L.TOP_ROWS):
        x1, y1, x2, y2 = L.top_row(i)
        pid, user, pr, ni, cpu, mem, st, cmd = row
        s = "%5s %-9s %3s %3s %5s %5s %s %s" % (pid.strip(), user, pr, ni, cpu, mem, st, cmd)
        c.text((14, (y1 + y2) / 2), s, 13, (226, 230, 236), "lm", mono=True)
    return c.image()


def srl_fhs():
    c = Canvas(440, 300)
    frame(c, "ディレクトリ構成(抜粋)")
    items = [(0, "/", ""), (1, "boot", "カーネル、ブートローダー"), (1, "etc", "設定ファイル"),
             (1, "home", "利用者のホームディレクトリ"), (1, "usr", "プログラム、ライブラリ"),
             (1, "var", ""), (2, "log", "ログファイル"), (2, "spool", "メール・印刷の待ち行列"),
             (1, "tmp", "一時ファイル")]
    for i, (depth, name, note) in enumerate(items):
        y = 48 + i * 27
        x = 24 + depth * 30
        if depth:
            c.line([(x - 18, y - 14), (x - 18, y), (x - 4, y)], (150, 158, 170), 1.5)
        c.polygon([(x, y - 8), (x + 8, y - 8), (x + 10, y - 5), (x + 20, y - 5), (x + 20, y + 8),
                   (x, y + 8)], (240, 200, 90), (200, 150, 40))
        c.text((x + 26, y), name, 13, INK, "lm", True, mono=True)
        if note:
            c.text((190, y), note, 11, (100, 106, 118), "lm")
    return c.image()


def srl_boot():
    c = Canvas(620, 170)
    frame(c, "Linuxの起動の流れ(UEFI)")
    steps = [("UEFI", "ファームウェア"), ("GRUB 2", "ブートローダー"), ("カーネル", "initramfs"),
             ("systemd", "PID 1"), ("ターゲット", "graphical 等")]
    for i, (a, b) in enumerate(steps):
        x = 16 + i * 122
        col = mix(BLUE, GREEN, i / 4)
        c.rect((x, 54, x + 100, 124), fill=lighter(col, 0.82), outline=col, width=2, radius=8)
        c.text((x + 50, 78), a, 14, darker(col, 0.35), "mm", True)
        c.text((x + 50, 102), b, 11, INK, "mm")
        if i < len(steps) - 1:
            c.arrow((x + 102, 89), (x + 120, 89), (110, 120, 140), 2, 6)
    c.text((16, 148), "systemd がユニットの依存関係に従ってサービスを並列に起動する", 11, (90, 96, 110), "lm")
    return c.image()


# --- kumo -------------------------------------------------------------------

def kse_pki():
    w, h = L.PKI_SIZE
    c = Canvas(w, h)
    frame(c, "公開鍵暗号方式によるデータの送信")
    icon_user(c, 50, 120, (70, 110, 170))
    c.text((50, 148), "送信者", 11, INK, "mm", True)
    icon_user(c, 550, 120, (150, 90, 170))
    c.text((550, 148), "受信者", 11, INK, "mm", True)
    icon_doc(c, 80, 60)
    c.text((93, 100), "平文", 10, INK, "mm")
    icon_doc(c, 297, 56, 26, 32, (180, 80, 60))
    c.text((310, 100), "暗号文", 10, INK, "mm")
    icon_doc(c, 500, 60)
    c.text((513, 100), "平文", 10, INK, "mm")
    for box, name in zip(L.PKI_SLOTS, ("暗号化", "復号")):
        c.text(((box[0] + box[2]) / 2, box[1] - 12), name, 12, RED, "mm", True)
        slot(c, box, "鍵")
    c.arrow((110, 125), (148, 125), (110, 120, 140), 2, 7)
    c.arrow((292, 125), (328, 125), (110, 120, 140), 2, 7)
    c.arrow((472, 125), (512, 125), (110, 120, 140), 2, 7)
    c.line([(10, 196), (590, 196)], GRID, 1)
    c.text((14, 208), "部品", 11, (100, 108, 120), "lm", True)
    for box, s in zip(L.PKI_PIECES, L.PKI_PIECE_LABELS):
        col = (150, 90, 170) if s.startswith("受信者") else (70, 110, 170)
        c.rect(box, fill=lighter(col, 0.85), outline=col, width=2, radius=5)
        icon_key(c, box[0] + 8, box[1] + 13, (210, 160, 40) if "公開" in s else (150, 150, 160))
        c.text((box[0] + 48, (box[1] + box[3]) / 2), s, 12, darker(col, 0.35), "lm", True)
    return c.image()


def kse_zones():
    w, h = L.ZONE_SIZE
    c = Canvas(w, h)
    frame(c, "ファイアウォールで区切られたネットワーク")
    icon_cloud(c, 70, 150, 110, 60)
    c.text((70, 150), "インターネット", 11, INK, "mm", True)
    icon_firewall(c, 150, 134, 36, 32)
    c.text((168, 178), "FW", 10, INK, "mm", True)
    c.line([(124, 150), (150, 150)], INK, 2)
    bands = [("DMZ", 60, 150, (230, 150, 50)), ("社内LAN", 160, 250, (60, 120, 190))]
    for name, y1, y2, col in bands:
        c.rect((210, y1, 604, y2), fill=lighter(col, 0.88), outline=col, radius=8)
        c.text((222, y1 + 12), name, 11, darker(col, 0.3), "lm", True)
        c.line([(186, 150), (210, (y1 + y2) / 2)], INK, 2)
    for box, sid in L.ZONE_SLOTS:
        slot(c, box, "配置先")
    c.line([(10, 262), (610, 262)], GRID, 1)
    c.text((14, 274), "部品", 11, (100, 108, 120), "lm", True)
    for box, pid, label in L.ZONE_PIECES:
        piece(c, box, label, (70, 110, 170), 12)
    return c.image()


def fwc_icons():
    def internet(c, x, y):
        icon_cloud(c, x + 18, y + 19, 30, 22)

    def web(c, x, y):
        icon_server(c, x + 6, y, 26, 36)

    def lan(c, x, y):
        icon_pc(c, x + 2, y + 4, 34, 30)

    def db(c, x, y):
        icon_db(c, x + 6, y, 26, 36)
    return {"インターネット": internet, "公開Webサーバー": web, "社内LAN": lan, "人事DB": db}


def kse_connect():
    c = Canvas(*L.FWC_SIZE)
    connect_board(c, "ファイアウォールの通信ルール", L.FWC_PANELS, L.FWC_CONNECTORS, icons=fwc_icons())
    return c.image()


def kse_connect_ans():
    c = Canvas(*L.FWC_SIZE)
    connect_solution(c, "ファイアウォールの通信ルール", L.FWC_PANELS, L.FWC_CONNECTORS, L.FWC_ANSWER,
                     icons=fwc_icons())
    return c.image()


def kse_phish():
    c = Canvas(580, 330)
    c.gradient((0, 0, 580, 330), (248, 249, 251), (238, 240, 244))
    c.rect((0, 0, 580, 28), fill=(60, 70, 90))
    c.text((12, 14), "受信トレイ - メール", 12, (230, 234, 240), "lm")
    fields = [("差出人:", "くも銀行 お客さまサポート <support@kumo-bannk.example>"),
              ("宛先:", "tanaka@example.co.jp"), ("件名:", "【重要】お客さまの口座が一時停止されました"),
              ("日時:", "2025/07/02 (水) 13:05")]
    for i, (k, v) in enumerate(fields):
        y = 44 + i * 22
        c.text((16, y), k, 12, (110, 116, 128), "lm", True)
        c.text((76, y), v, 12, INK, "lm")
    c.line([(10, 134), (570, 134)], (200, 206, 214), 1)
    body = ["いつも くも銀行 をご利用いただき、ありがとうございます。",
            "不正なアクセスを検知したため、お客さまの口座を一時停止しました。",
            "24時間以内に下記のページから本人確認を行ってください。"]
    for i, s in enumerate(body):
        c.text((20, 154 + i * 22), s, 12, INK, "lm")
    c.text((20, 226), "https://www.kumo-bank.example/login", 13, (20, 80, 200), "lm")
    tw = c.text_width("https://www.kumo-bank.example/login", 13)
    c.line([(20, 234), (20 + tw, 234)], (20, 80, 200), 1)
    c.rect((200, 244, 556, 272), fill=(255, 255, 225), outline=(170, 170, 120))
    c.text((208, 258), "http://kumo-bank-login.example.net/verify?id=7f3a", 11, INK, "lm", mono=True)
    c.text((20, 298), "くも銀行 お客さまサポートセンター", 12, INK, "lm")
    c.text((556, 284), "(マウスを重ねたときのリンク先)", 9, (120, 120, 100), "rm")
    return c.image()


def kse_defense():
    c = Canvas(560, 250)
    frame(c, "多層防御の考え方")
    layers = [("境界防御: ファイアウォール・IPS", (60, 110, 190)),
              ("ネットワーク: 分離・VPN", (60, 150, 120)),
              ("端末: 更新・マルウェア対策", (230, 150, 50)),
              ("データ: 暗号化・アクセス権", (200, 80, 70))]
    cx, cy = 150, 142
    for i, (name, col) in enumerate(layers):
        r = 100 - i * 24
        c.ellipse((cx - r, cy - r * 0.9, cx + r, cy + r * 0.9), fill=lighter(col, 0.6 + i * 0.05),
                  outline=col, width=2)
    c.text((cx, cy), "情報資産", 12, INK, "mm", True)
    for i, (name, col) in enumerate(layers):
        y = 66 + i * 40
        c.rect((290, y - 12, 306, y + 4), fill=col, radius=3)
        c.text((314, y - 4), name, 12, INK, "lm")
    c.text((290, 230), "1つが破られても次の層で防ぐ", 11, (110, 116, 128), "lm", True)
    return c.image()


def kcl_shared():
    c = Canvas(560, 300)
    frame(c, "責任共有モデル(例)")
    layers = ["データ・アクセス権", "アプリケーション", "ミドルウェア", "OS", "仮想化基盤",
              "物理サーバー・ネットワーク", "データセンター設備"]
    cols = [("オンプレミス", 7), ("IaaS", 4), ("PaaS", 2), ("SaaS", 1)]
    user, vendor = (70, 130, 200), (235, 150, 60)
    x0, w, top, h = 170, 92, 58, 30
    for k, (name, owned) in enumerate(cols):
        x = x0 + k * w
        c.text((x + w / 2 - 4, 46), name, 12, INK, "mm", True)
        for i in range(len(layers)):
            col = user if i < owned else vendor
            c.rect((x, top + i * h, x + w - 8, top + (i + 1) * h - 3), fill=lighter(col, 0.55),
                   outline=col, radius=3)
    for i, s in enumerate(layers):
        c.text((160, top + i * h + 13), s, 11, INK, "rm")
    for k, (s, col) in enumerate((("利用者が管理", user), ("事業者が管理", vendor))):
        x = 20 + k * 140
        c.rect((x, 276, x + 14, 288), fill=lighter(col, 0.55), outline=col)
        c.text((x + 20, 282), s, 11, INK, "lm")
    return c.image()


def kcl_models():
    c = Canvas(560, 220)
    frame(c, "サービスモデルの比較")
    items = [("IaaS", "仮想マシン・ネットワーク・ストレージ", "OSから上は利用者", (70, 130, 200)),
             ("PaaS", "実行環境(OS・ミドルウェア)まで", "アプリとデータは利用者", (40, 150, 110)),
             ("SaaS", "アプリケーションまで", "設定とデータは利用者", (235, 150, 60))]
    for i, (name, gives, rest, col) in enumerate(items):
        y = 48 + i * 56
        c.rect((16, y, 96, y + 44), fill=col, radius=8)
        c.text((56, y + 22), name, 16, (255, 255, 255), "mm", True)
        c.rect((104, y, 544, y + 44), fill=lighter(col, 0.85), outline=col, radius=8)
        c.text((116, y + 14), "提供: " + gives, 12, INK, "lm", True)
        c.text((116, y + 32), rest, 11, (90, 96, 110), "lm")
    return c.image()


# name -> (vendor, drawing function); the extension chooses the format.
FIGURES = {
    "nxn_topology.jpg": ("nexa", nxn_topology), "nxn_osi.bmp": ("nexa", nxn_osi),
    "nxs_rack_front.jpg": ("nexa", nxs_rack_front), "nxs_raid_bays.jpg": ("nexa", nxs_raid_bays),
    "nxs_rack_rear.bmp": ("nexa", nxs_rack_rear), "nxs_3tier.bmp": ("nexa", nxs_3tier),
    "nxs_raid_levels.jpg": ("nexa", nxs_raid_levels), "nxs_backup.bmp": ("nexa", nxs_backup),
    "nxs_cpu_graph.jpg": ("nexa", nxs_cpu_graph), "nxs_disk_graph.bmp": ("nexa", nxs_disk_graph),
    "nxa_case_current.jpg": ("nexa", nxa_case_current),
    "nxa_case_target.bmp": ("nexa", nxa_case_target), "nxa_subnets.bmp": ("nexa", nxa_subnets),
    "nxa_connect.bmp": ("nexa", nxa_connect), "nxa_connect_ans.jpg": ("nexa", nxa_connect_ans),
    "nxa_cost.jpg": ("nexa", nxa_cost), "nxa_dr_expl.bmp": ("nexa", nxa_dr_expl),
    "srd_er.jpg": ("sorane", srd_er), "srd_tables.bmp": ("sorane", srd_tables),
    "srd_sample.jpg": ("sorane", srd_sample), "srd_norm.jpg": ("sorane", srd_norm),
    "srd_join.bmp": ("sorane", srd_join), "srd_groupby.jpg": ("sorane", srd_groupby),
    "srl_lsl.jpg": ("sorane", srl_lsl), "srl_top.bmp": ("sorane", srl_top),
    "srl_fhs.bmp": ("sorane", srl_fhs), "srl_boot.jpg": ("sorane", srl_boot),
    "kse_pki.bmp": ("kumo", kse_pki), "kse_zones.bmp": ("kumo", kse_zones),
    "kse_connect.bmp": ("kumo", kse_connect), "kse_connect_ans.jpg": ("kumo", kse_connect_ans),
    "kse_phish.jpg": ("kumo", kse_phish), "kse_defense.bmp": ("kumo", kse_defense),
    "kcl_shared.jpg": ("kumo", kcl_shared), "kcl_models.bmp": ("kumo", kcl_models),
}
