"""Geometry shared by the picture maker and the course writer.

Answer styles 3, 4, 6, 7 and 8 judge the user's clicks and drags against
rectangles written in the question data; those rectangles have to sit exactly
on what the figure shows.  Both scripts import the numbers from here so that a
figure and its question can never drift apart.
"""

# Rectangles are (x1, y1, x2, y2) in picture pixels, top-left and bottom-right.


def rect_text(r):
    return "%d,%d,%d,%d" % r


# --- nexa / NXS-210 -------------------------------------------------------

# Storage shelf front view (graphic style, JPEG).  Eight drive bays; the two
# with an amber fault lamp are the targets, the blue one is only rebuilding.
BAYS_SIZE = (640, 270)
BAYS = [(40 + i * 72, 78, 40 + i * 72 + 62, 228) for i in range(8)]
BAYS_FAILED = (2, 6)
BAYS_REBUILDING = 4

# Rack rear view (click-picture style, BMP).  One server has a single power
# supply connected; clicking it answers the question.
REAR_SIZE = (480, 236)
REAR_ROWS = [(60, 34 + i * 38, 420, 34 + i * 38 + 32) for i in range(5)]
REAR_NAMES = ["SV-WEB01", "SV-WEB02", "SV-AP01", "SV-DB01", "SV-BK01"]
REAR_SINGLE_PSU = 2  # index into REAR_ROWS

# Three-tier system (panel style 4, BMP).
TIER_SIZE = (600, 290)
TIER_SLOTS = [(80, 96, 210, 142), (250, 96, 380, 142), (420, 96, 550, 142)]
TIER_SLOT_LABELS = ["プレゼンテーション層", "アプリケーション層", "データ層"]
TIER_PIECES = [(20, 214, 150, 260), (165, 214, 295, 260), (310, 214, 440, 260),
               (455, 214, 585, 260)]
TIER_PIECE_LABELS = ["Webサーバー", "APサーバー", "DBサーバー", "DNSサーバー"]
TIER_ANSWER = [(0, 0), (1, 1), (2, 2)]  # (slot, piece)

# --- nexa / NXA-330 -------------------------------------------------------

# Cloud network with subnets (panel style 6, BMP).  The two web servers are
# interchangeable, so they share one identifier.
VPC_SIZE = (640, 400)
VPC_BANDS = [("パブリックサブネット", 52, 122), ("アプリケーションサブネット", 132, 202),
             ("データベースサブネット", 212, 282)]
VPC_SLOTS = [((262, 67, 378, 107), "S1"), ((150, 147, 266, 187), "S2"),
             ((374, 147, 490, 187), "S3"), ((262, 227, 378, 267), "S4")]
VPC_PIECES = [((12, 330, 128, 370), "LB", "ロードバランサー"),
              ((136, 330, 252, 370), "WEB", "Webサーバー"),
              ((260, 330, 376, 370), "WEB", "Webサーバー"),
              ((384, 330, 500, 370), "DB", "DBサーバー"),
              ((508, 330, 624, 370), "BAS", "踏み台サーバー")]
VPC_ANSWER = [("S1", "LB"), ("S2", "WEB"), ("S3", "WEB"), ("S4", "DB")]

# Hybrid connection (connect style 7, BMP working picture, JPEG solution).
HYB_SIZE = (640, 380)
HYB_PANELS = [((40, 80, 180, 134), "本社LAN"), ((40, 214, 180, 268), "支店LAN"),
              ((460, 80, 600, 134), "クラウドVPC"), ((460, 214, 600, 268), "利用者")]
HYB_CONNECTORS = [((40, 322, 140, 350), "専用線", 0),
                  ((160, 322, 260, 350), "IPsecVPN", 0),
                  ((280, 322, 380, 350), "HTTPS", 1),
                  ((400, 322, 500, 350), "Telnet", 1)]
HYB_CONNECTOR_LABELS = {"専用線": "専用線", "IPsecVPN": "IPsec VPN",
                        "HTTPS": "HTTPS →", "Telnet": "Telnet →"}
HYB_ANSWER = [("本社LAN", "クラウドVPC", "専用線", 0),
              ("支店LAN", "クラウドVPC", "IPsecVPN", 0),
              ("利用者", "クラウドVPC", "HTTPS", 1)]

# --- sorane / SRL-240 -----------------------------------------------------

# Terminal listing (graphic style, JPEG).  Rows whose group column allows
# writing are the targets.
LSL_SIZE = (640, 300)
LSL_TOP = 62
LSL_LINE = 24
LSL_LINES = [
    "-rw-r--r--  1 sato   dev    2048  4月  3 10:12 build.conf",
    "-rw-rw-r--  1 suzuki dev   18211  4月  3 11:40 release-notes.txt",
    "drwxr-xr-x  2 sato   dev    4096  4月  2 09:05 archive",
    "-rwxr-xr-x  1 root   root    913  3月 28 17:22 deploy.sh",
    "-rw-r-----  1 tanaka dev    5530  4月  1 15:18 db.env",
    "drwxrwsr-x  5 suzuki dev    4096  4月  3 08:47 shared",
    "-r--r--r--  1 root   root    120  3月 15 12:00 VERSION",
]
LSL_TARGETS = (1, 5)


def lsl_row(i):
    y = LSL_TOP + i * LSL_LINE
    return (14, y, 626, y + LSL_LINE - 2)


# top output (click-picture style, BMP).
TOP_SIZE = (600, 232)
TOP_FIRST = 96
TOP_LINE = 20
TOP_ROWS = [
    ("1843", "www-data", "20", "0", "12.4", "3.1", "S", "php-fpm"),
    ("2210", "postgres", "20", "0", "8.7", "21.5", "S", "postgres"),
    ("3377", "backup", "30", "10", "96.3", "1.2", "R", "gzip"),
    ("1022", "root", "20", "0", "1.3", "0.4", "S", "sshd"),
    ("  881", "root", "20", "0", "0.7", "0.9", "S", "rsyslogd"),
    ("4051", "www", "20", "0", "4.2", "0.8", "S", "httpd"),
]
TOP_TARGET = 2


def top_row(i):
    y = TOP_FIRST + i * TOP_LINE
    return (10, y, 590, y + TOP_LINE - 2)


# --- kumo / KSE-100 -------------------------------------------------------

# Public key encryption flow (panel style 4, BMP).
PKI_SIZE = (600, 290)
PKI_SLOTS = [(150, 104, 290, 146), (330, 104, 470, 146)]
PKI_PIECES = [(12, 220, 152, 262), (157, 220, 297, 262), (302, 220, 442, 262),
              (447, 220, 587, 262)]
PKI_PIECE_LABELS = ["受信者の公開鍵", "受信者の秘密鍵", "送信者の公開鍵", "送信者の秘密鍵"]
PKI_ANSWER = [(0, 0), (1, 1)]

# Zones behind a firewall (panel style 6, BMP).
ZONE_SIZE = (620, 340)
ZONE_SLOTS = [((240, 86, 370, 126), "D1"), ((420, 86, 550, 126), "D2"),
              ((240, 186, 370, 226), "I1"), ((420, 186, 550, 226), "I2")]
ZONE_PIECES = [((14, 284, 160, 324), "DMZ", "公開Webサーバー"),
               ((166, 284, 312, 324), "LAN", "ファイルサーバー"),
               ((318, 284, 464, 324), "DMZ", "メール中継サーバー"),
               ((470, 284, 616, 324), "LAN", "人事データベース")]
ZONE_ANSWER = [("D1", "DMZ"), ("D2", "DMZ"), ("I1", "LAN"), ("I2", "LAN")]

# Firewall policy as connections (connect style 7).
FWC_SIZE = (640, 380)
FWC_PANELS = [((40, 76, 190, 130), "インターネット"), ((450, 76, 600, 130), "公開Webサーバー"),
              ((40, 214, 190, 268), "社内LAN"), ((450, 214, 600, 268), "人事DB")]
FWC_CONNECTORS = [((30, 324, 170, 352), "HTTPS許可", 1),
                  ((180, 324, 320, 352), "Web閲覧許可", 1),
                  ((330, 324, 470, 352), "全通信許可", 0),
                  ((480, 324, 620, 352), "Telnet許可", 1)]
FWC_ANSWER = [("インターネット", "公開Webサーバー", "HTTPS許可", 1),
              ("社内LAN", "インターネット", "Web閲覧許可", 1)]


def panel_answer(slots, pieces, pairs):
    """Expected answer text of a style 4 question (rectangles name themselves)."""
    return "".join("@%s;%s" % (rect_text(slots[s]), rect_text(pieces[p])) for s, p in pairs)
