#!/usr/bin/env python3
"""Generate a synthetic Velmora catalogue (VLM.dat) for benchmarks.

The output is deterministic for a given (--albums, --seed) pair, and for
--pictures also for the same output folder (the picture paths are absolute).

Layout written (Shift-JIS / cp932, CR LF after every line):
  line 1   : reserved row, 304 separators and nothing else
  line 2.. : one album per line, 305 fields joined by "<>"

Usage:
  python3 bench/generate_catalogue.py --albums 100000 --out /tmp/cat
  python3 bench/generate_catalogue.py --albums 2000 --out /tmp/cat --pictures
"""

import argparse
import os
import random
import struct
import sys
import time
import zlib

ENCODING = "cp932"
SEP = "<>"
MEMO_SEP = "{}"
FIELD_COUNT = 305
SLOTS = 99

COL_ARTIST = 0
COL_TITLE = 2
COL_GENRE = 3
COL_MEDIUM = 4
COL_MEMO = 5
COL_SONG = 5          # song n (1..99) lives in column 5 + n
COL_PICTURE = 105
COL_SONG_ARTIST = 105  # song artist n lives in column 105 + n
COL_FURIGANA = 205
COL_MEDIA = 205        # media of song n lives in column 205 + n


# --------------------------------------------------------------------------
# Word pools.  Everything here must be representable in cp932; this is
# checked once at start-up (see _check_pools).
# --------------------------------------------------------------------------

FAMILY_NAMES = [
    ("佐藤", "サトウ"), ("鈴木", "スズキ"), ("高橋", "タカハシ"), ("田中", "タナカ"),
    ("伊藤", "イトウ"), ("渡辺", "ワタナベ"), ("山本", "ヤマモト"), ("中村", "ナカムラ"),
    ("小林", "コバヤシ"), ("加藤", "カトウ"), ("吉田", "ヨシダ"), ("山田", "ヤマダ"),
    ("佐々木", "ササキ"), ("山口", "ヤマグチ"), ("松本", "マツモト"), ("井上", "イノウエ"),
    ("木村", "キムラ"), ("林", "ハヤシ"), ("斎藤", "サイトウ"), ("清水", "シミズ"),
    ("山崎", "ヤマザキ"), ("森", "モリ"), ("池田", "イケダ"), ("橋本", "ハシモト"),
    ("阿部", "アベ"), ("石川", "イシカワ"), ("前田", "マエダ"), ("藤田", "フジタ"),
    ("小川", "オガワ"), ("岡田", "オカダ"), ("長谷川", "ハセガワ"), ("村上", "ムラカミ"),
    ("近藤", "コンドウ"), ("坂本", "サカモト"), ("遠藤", "エンドウ"), ("青木", "アオキ"),
    ("西村", "ニシムラ"), ("福田", "フクダ"), ("太田", "オオタ"), ("三浦", "ミウラ"),
    ("藤井", "フジイ"), ("岡本", "オカモト"), ("松田", "マツダ"), ("中川", "ナカガワ"),
    ("原田", "ハラダ"), ("小野", "オノ"), ("竹内", "タケウチ"), ("金子", "カネコ"),
    ("和田", "ワダ"), ("中山", "ナカヤマ"), ("石田", "イシダ"), ("上田", "ウエダ"),
    ("森田", "モリタ"), ("柴田", "シバタ"), ("酒井", "サカイ"), ("工藤", "クドウ"),
    ("横山", "ヨコヤマ"), ("宮崎", "ミヤザキ"), ("宮本", "ミヤモト"), ("内田", "ウチダ"),
    ("高木", "タカギ"), ("安藤", "アンドウ"), ("島田", "シマダ"), ("谷口", "タニグチ"),
    ("大野", "オオノ"), ("丸山", "マルヤマ"), ("今井", "イマイ"), ("河野", "コウノ"),
    ("藤原", "フジワラ"), ("桜井", "サクライ"), ("野口", "ノグチ"), ("松井", "マツイ"),
    ("千葉", "チバ"), ("菅原", "スガワラ"), ("武田", "タケダ"), ("星野", "ホシノ"),
    ("水野", "ミズノ"), ("秋山", "アキヤマ"), ("久保", "クボ"), ("杉山", "スギヤマ"),
    ("白石", "シライシ"), ("早乙女", "サオトメ"), ("東雲", "シノノメ"), ("綾小路", "アヤノコウジ"),
    # Vendor-extension kanji (NEC/IBM rows of code page 932).
    ("髙橋", "タカハシ"), ("山﨑", "ヤマザキ"), ("德永", "トクナガ"), ("濵田", "ハマダ"),
]

GIVEN_NAMES = [
    ("太郎", "タロウ"), ("花子", "ハナコ"), ("健一", "ケンイチ"), ("誠", "マコト"),
    ("大輔", "ダイスケ"), ("翔太", "ショウタ"), ("拓也", "タクヤ"), ("直樹", "ナオキ"),
    ("浩二", "コウジ"), ("隆", "タカシ"), ("修", "オサム"), ("剛", "ツヨシ"),
    ("亮", "リョウ"), ("陽介", "ヨウスケ"), ("真一", "シンイチ"), ("美咲", "ミサキ"),
    ("由美", "ユミ"), ("恵", "メグミ"), ("愛", "アイ"), ("舞", "マイ"),
    ("彩", "アヤ"), ("香織", "カオリ"), ("優子", "ユウコ"), ("明美", "アケミ"),
    ("智子", "トモコ"), ("久美子", "クミコ"), ("真由美", "マユミ"), ("千尋", "チヒロ"),
    ("葵", "アオイ"), ("桜子", "サクラコ"), ("結衣", "ユイ"), ("遥", "ハルカ"),
    ("麻衣", "マイ"), ("奈々", "ナナ"), ("玲奈", "レイナ"), ("沙織", "サオリ"),
    ("響", "ヒビキ"), ("蓮", "レン"), ("悠真", "ユウマ"), ("颯太", "ソウタ"),
    ("光", "ヒカル"), ("薫", "カオル"), ("瞳", "ヒトミ"), ("純", "ジュン"),
    ("隼人", "ハヤト"), ("一郎", "イチロウ"), ("五郎", "ゴロウ"), ("昭夫", "アキオ"),
    ("幸子", "サチコ"), ("和子", "カズコ"), ("さゆり", "サユリ"), ("ひとみ", "ヒトミ"),
    ("あゆみ", "アユミ"), ("みずき", "ミズキ"), ("ソウ", "ソウ"), ("ノゾミ", "ノゾミ"),
]

KATAKANA_HEADS = [
    "ブルー", "レッド", "ムーン", "サンセット", "スター", "ドリーム", "シルバー",
    "ゴールデン", "ミッドナイト", "エレクトリック", "サイレント", "クリスタル",
    "スカイ", "ネオン", "ロスト", "ワイルド", "ハッピー", "ロンリー", "ソーダ",
    "ペーパー", "ガラス", "マーブル", "ポップコーン", "ベルベット", "ノスタルジア",
    "ソーラー", "フローズン", "ラズベリー", "チョコレート", "ボーダー", "ゼブラ",
]
KATAKANA_TAILS = [
    "ボーイズ", "ガールズ", "ブラザーズ", "シスターズ", "オーケストラ", "バンド",
    "ファクトリー", "ハーツ", "ライダーズ", "ウェーブ", "パレード", "クラブ",
    "エンジェルス", "タイガース", "ジェッツ", "サーカス", "キャラバン", "トレイン",
    "モンキーズ", "ロケッツ", "ドロップス", "ノート", "ソサエティ", "ガーデン",
]
HIRAGANA_HEADS = [
    "ひだまり", "ゆめいろ", "あさがお", "なないろ", "こもれび", "わたぐも",
    "ぽかぽか", "きらきら", "ほしぞら", "つきよ", "おとなり", "はなび",
]
KANJI_TAILS = [
    ("楽団", "ガクダン"), ("合唱団", "ガッショウダン"), ("少年", "ショウネン"),
    ("倶楽部", "クラブ"), ("一座", "イチザ"), ("商会", "ショウカイ"),
    ("組", "グミ"), ("音楽隊", "オンガクタイ"),
]
LATIN_ADJ = [
    "Blue", "Paper", "Silent", "Electric", "Velvet", "Golden", "Lonely",
    "Crystal", "Midnight", "Sunny", "Little", "Wild", "Neon", "Lazy",
    "Frozen", "Secret", "Happy", "Rainy", "Broken", "Silver",
]
LATIN_NOUN = [
    "Lanterns", "Moons", "Hearts", "Rockets", "Gardens", "Trains", "Owls",
    "Tigers", "Letters", "Waves", "Clocks", "Cats", "Roses", "Kites",
    "Sparrows", "Engines", "Mirrors", "Rivers", "Bicycles", "Comets",
]
LATIN_SOLO = [
    "Mr.Sunrise", "Mr.Rainbow", "Dr.Groove", "Miss Velvet", "DJ KAZU",
    "MIKI & YUKI", "NIGHT FLIGHT", "Crystal Garden", "Lemon Drop Kids",
    "Sora Nakamura Trio", "KEN-ICHI", "Maki Ohashi Quartet", "Tokyo Swing Unit",
    "The Kaleidoscope", "Hello Parade", "SUGAR & SALT", "Orange Peel",
    "Planet Rider", "Soft Machine Club", "Marine Blue", "JUNK FOOD",
]
HALFWIDTH_ARTISTS = [
    ("ﾌﾞﾙｰ・ｼｬﾄｰ", "ブルーシャトー"), ("ｻﾆｰｻｲﾄﾞ", "サニーサイド"),
    ("ﾄﾞﾘｰﾑｽﾞ", "ドリームズ"), ("ｶﾗｰﾎﾞｯｸｽ", "カラーボックス"),
]
CLASSICAL_PERFORMERS = [
    ("東京フィルハーモニー交響楽団", "トウキョウフィルハーモニーコウキョウガクダン"),
    ("大阪室内合奏団", "オオサカシツナイガッソウダン"),
    ("横浜弦楽四重奏団", "ヨコハマゲンガクシジュウソウダン"),
    ("札幌少年少女合唱団", "サッポロショウネンショウジョガッショウダン"),
    ("Orchestre de Lune", "Orchestre de Lune"),
    ("Wiener Kammerensemble Blau", "Wiener Kammerensemble Blau"),
]
COMPILATION_ARTISTS = [
    ("オムニバス", "オムニバス"), ("V.A.", "V.A."),
    ("Various Artists", "Various Artists"), ("ヴァリアス・アーティスト", "ヴァリアスアーティスト"),
]

# Songs per album, 8 to 20; most albums have 10 to 14 tracks.
SONG_COUNTS = list(range(8, 21))
SONG_COUNT_WEIGHTS = [4, 6, 9, 12, 14, 13, 11, 9, 7, 5, 4, 3, 3]

GENRES = ["J-POP", "ロック", "クラシック", "ジャズ", "アニメ", "演歌",
          "洋楽", "サウンドトラック", "フォーク", "歌謡曲", "R&B", "テクノ"]
GENRE_WEIGHTS = [30, 16, 7, 7, 9, 5, 8, 5, 3, 5, 2, 3]

KANJI_WORDS = [
    "夜明け", "青い空", "恋", "桜", "約束", "風", "涙", "星空", "旅立ち",
    "雨上がり", "花火", "夏祭り", "初恋", "月光", "黄昏", "永遠", "奇跡",
    "季節", "海", "虹", "雪", "春風", "夕焼け", "想い出", "未来", "故郷",
    "街角", "真夜中", "蒼", "絆", "光", "影", "夢", "翼", "宇宙", "花束",
    "手紙", "walking", "港町", "陽炎", "線香花火", "向日葵", "紫陽花",
    "表参道", "能登半島", "十字路", "少年時代", "午前零時", "交差点",
]
KANA_WORDS = [
    "さよなら", "ありがとう", "ただいま", "おやすみ", "きみのこと", "ひまわり",
    "なみだ", "ふたり", "ぼくらの", "ひとりぼっち", "まほう", "ゆびきり",
    "ソーダ水", "メロディー", "ラブレター", "サマー", "ドライブ", "ハーモニー",
    "シャボン玉", "ワルツ", "ブギウギ", "セレナーデ", "ララバイ", "ソナタ",
    "ゼロ", "ボーダーライン", "ジグソーパズル", "スノードーム",
]
LATIN_WORDS = [
    "Love", "Song", "Forever", "Summer", "Days", "Night", "Dream", "Blue",
    "Memory", "Heart", "Shine", "Rain", "Star", "Road", "Again", "Home",
    "Baby", "Dance", "Fly", "Smile", "Tomorrow", "Wonderland", "Kiss",
    "Groove", "Paradise", "Sky", "Story", "Angel", "Light", "Free",
]
FULLWIDTH_WORDS = ["ＬＯＶＥ", "ＢＥＳＴ", "ＬＩＶＥ", "ＹＥＳ", "ＮＯ", "ＷＡＶＥ", "ＳＵＮ"]
HALFWIDTH_KANA_WORDS = ["ｻｸﾗ", "ﾄﾞﾗｲﾌﾞ", "ﾗﾌﾞｿﾝｸﾞ", "ﾒﾛﾃﾞｨｰ", "ﾊﾟﾚｰﾄﾞ", "ｻﾏｰﾀｲﾑ"]
PARTICLES = ["の", "と", "に", "を", "へ", "が", "は"]
SONG_SUFFIXES = [
    " (Live)", " (Live ver.)", " -Instrumental-", "（カラオケ）",
    " ～ballad version～", " (Remix)", "（オリジナル・カラオケ）", " [2004 Remaster]",
    "～アコースティック～", " (TV size)", " -Single Version-", "（デモ）",
]
ENKA_WORDS = [
    "北の港町", "夜霧の酒場", "みれん雨", "女の意地", "なみだ舟", "津軽海峡",
    "望郷", "人生坂", "おんな道", "雪国", "酒よ", "夫婦橋", "演歌一筋",
]
CLASSICAL_FORMS = [
    "交響曲第{n}番", "ピアノ協奏曲第{n}番", "ヴァイオリン・ソナタ第{n}番",
    "弦楽四重奏曲第{n}番", "前奏曲集 第{n}巻", "練習曲 作品{op}-{n}",
    "Symphony No.{n}", "Nocturne Op.{op} No.{n}",
]
CLASSICAL_KEYS = ["ハ長調", "ニ短調", "ホ短調", "ヘ長調", "ト長調", "イ短調", "変ロ長調", "嬰ハ短調"]
MOVEMENTS = ["第1楽章", "第2楽章", "第3楽章", "第4楽章", "I. Allegro", "II. Adagio", "III. Presto"]

ALBUM_SUFFIXES = [
    "", "", "", "", "", " Ⅱ", " Ⅲ", "（初回限定盤）", " [Disc 2]",
    "（通常盤）", " ＜新装版＞", " Deluxe Edition", "②", "～完全版～",
]
MEDIUMS_CD = ["CD", "CD", "CD", "レンタル"]
MEDIUMS_FILE = ["MP3", "MP3", "配信", "CD"]
MEDIUMS_NONE = ["CD", "CD", "レンタル", "LP", "カセット", "MD", ""]

MEMO_LINES = [
    "初回限定盤", "ボーナストラック収録", "帯付き・美品", "レンタル落ち",
    "歌詞カード欠品", "ﾗｲﾅｰﾉｰﾂあり", "★★★★☆", "お気に入り♪",
    "リマスター盤", "ライブ音源を含む", "ケースに傷あり", "サイン入り",
    "中古屋で購入", "駅前のレコード店で購入", "ネット通販で購入", "友人からのもらい物",
    "車で聴く用", "ジャケット違いあり", "DVD付き", "Blu-ray付き（未開封）",
    "２枚組の１枚目", "ヘッドホン推奨", "No.3が名曲", "①②は別アーティストのカバー",
]
SHOPS = ["タワー", "HMV", "山野楽器", "新星堂", "ブックオフ", "Amazon"]
CATALOG_PREFIXES = ["VICL", "SRCL", "TOCT", "PCCA", "AVCD", "KICS", "COCP", "UPCH"]

MEDIA_ROOTS = [
    "/home/user/Music", "/home/user/Music", "/home/user/Music",
    "/home/user/音楽", "/mnt/data/Music", "/media/user/HDD/ミュージック",
]
MEDIA_EXTS = [".mp3", ".mp3", ".mp3", ".m4a", ".flac", ".wav", ".ogg", ".wma"]
PICTURE_ROOTS = ["/home/user/Music/covers", "/home/user/Pictures/ジャケット", "/mnt/data/Music/artwork"]
PICTURE_EXTS = [".jpg", ".jpg", ".png", ".bmp", ".gif"]


def _check_pools():
    pools = [
        [w for pair in FAMILY_NAMES for w in pair], [w for pair in GIVEN_NAMES for w in pair],
        KATAKANA_HEADS, KATAKANA_TAILS, HIRAGANA_HEADS, [w for pair in KANJI_TAILS for w in pair],
        LATIN_ADJ, LATIN_NOUN, LATIN_SOLO, [w for pair in HALFWIDTH_ARTISTS for w in pair],
        [w for pair in CLASSICAL_PERFORMERS for w in pair],
        [w for pair in COMPILATION_ARTISTS for w in pair], GENRES, KANJI_WORDS, KANA_WORDS,
        LATIN_WORDS, FULLWIDTH_WORDS, HALFWIDTH_KANA_WORDS, PARTICLES, SONG_SUFFIXES,
        ENKA_WORDS, [w.format(n=1, op=2) for w in CLASSICAL_FORMS], CLASSICAL_KEYS, MOVEMENTS, ALBUM_SUFFIXES, MEDIUMS_CD,
        MEDIUMS_FILE, MEDIUMS_NONE, MEMO_LINES, SHOPS, CATALOG_PREFIXES, MEDIA_ROOTS,
        MEDIA_EXTS, PICTURE_ROOTS, PICTURE_EXTS,
    ]
    for pool in pools:
        for word in pool:
            word.encode(ENCODING)  # raises on anything outside code page 932
            for bad in ("<", ">", "{", "}", "\r", "\n"):
                if bad in word:
                    raise ValueError("forbidden character %r in pool word %r" % (bad, word))


# --------------------------------------------------------------------------
# Text builders
# --------------------------------------------------------------------------

def hira_to_kata(text):
    return "".join(chr(ord(c) + 0x60) if "ぁ" <= c <= "ゖ" else c for c in text)


def make_artist(rng):
    """Returns (name, furigana, preferred genre or None)."""
    r = rng.random()
    if r < 0.42:
        fam, fam_r = rng.choice(FAMILY_NAMES)
        giv, giv_r = rng.choice(GIVEN_NAMES)
        space = rng.choice(["", "", " ", "　"])
        genre = rng.choice([None, None, "演歌", "フォーク", "歌謡曲", "J-POP"])
        return fam + space + giv, fam_r + giv_r, genre
    if r < 0.62:
        head = rng.choice(KATAKANA_HEADS)
        tail = rng.choice(KATAKANA_TAILS)
        dot = rng.choice(["", "・", ""])
        name = head + dot + tail
        return name, head + tail, rng.choice([None, "ロック", "J-POP"])
    if r < 0.70:
        head = rng.choice(HIRAGANA_HEADS)
        tail, tail_r = rng.choice(KANJI_TAILS)
        return head + tail, hira_to_kata(head) + tail_r, rng.choice([None, "アニメ", "フォーク"])
    if r < 0.88:
        if rng.random() < 0.6:
            name = "The " + rng.choice(LATIN_ADJ) + " " + rng.choice(LATIN_NOUN)
        else:
            name = rng.choice(LATIN_SOLO)
            if rng.random() < 0.5:
                name += " " + rng.choice(["II", "2", "Jr.", "Project", "& Friends"])
        return name, name, rng.choice([None, "洋楽", "ジャズ", "テクノ", "R&B"])
    if r < 0.93:
        name, reading = rng.choice(CLASSICAL_PERFORMERS)
        return name, reading, "クラシック"
    if r < 0.96:
        name, reading = rng.choice(HALFWIDTH_ARTISTS)
        return name, reading, None
    # Unit named after a member: "山田太郎とブルーボーイズ"
    fam, fam_r = rng.choice(FAMILY_NAMES)
    giv, giv_r = rng.choice(GIVEN_NAMES)
    tail = rng.choice(KATAKANA_TAILS)
    return fam + giv + "と" + tail, fam_r + giv_r + "ト" + tail, None


def phrase(rng):
    r = rng.random()
    if r < 0.30:
        return rng.choice(KANJI_WORDS)
    if r < 0.50:
        return rng.choice(KANJI_WORDS) + rng.choice(PARTICLES) + rng.choice(KANJI_WORDS + KANA_WORDS)
    if r < 0.65:
        return rng.choice(KANA_WORDS)
    if r < 0.80:
        return rng.choice(LATIN_WORDS) + " " + rng.choice(LATIN_WORDS)
    if r < 0.90:
        return rng.choice(KANJI_WORDS + KANA_WORDS) + rng.choice(["", " ", "の"]) + rng.choice(LATIN_WORDS)
    if r < 0.985:
        return rng.choice(FULLWIDTH_WORDS) + rng.choice(["", "　"]) + rng.choice(KANJI_WORDS)
    return rng.choice(HALFWIDTH_KANA_WORDS)


def song_title(rng, genre, index):
    if genre == "クラシック":
        form = rng.choice(CLASSICAL_FORMS).format(n=rng.randint(1, 9), op=rng.randint(2, 120))
        return form + " " + rng.choice(CLASSICAL_KEYS) + " " + rng.choice(MOVEMENTS)
    if genre == "演歌" and rng.random() < 0.6:
        title = rng.choice(ENKA_WORDS)
    elif genre == "アニメ" and rng.random() < 0.3:
        title = rng.choice(["オープニングテーマ「", "エンディングテーマ「", "挿入歌「"]) + phrase(rng) + "」"
    else:
        title = phrase(rng)
    r = rng.random()
    if r < 0.10:
        title += rng.choice(SONG_SUFFIXES)
    elif r < 0.14:
        title += "～" + phrase(rng) + "～"
    return title


def album_title(rng, genre, artist):
    r = rng.random()
    if genre == "クラシック" and r < 0.5:
        base = rng.choice(["名曲集", "ベスト・クラシック", "作品集", "Klassik Album"]) + " 第" + str(rng.randint(1, 12)) + "集"
    elif r < 0.06:
        base = "ベスト・オブ・" + artist
    elif r < 0.10:
        base = artist + " BEST " + str(rng.randint(1985, 2015))
    elif r < 0.13:
        base = rng.choice(FULLWIDTH_WORDS) + " " + "".join(chr(0xFF10 + int(d)) for d in str(rng.randint(1990, 2020)))
    else:
        base = phrase(rng)
    return base + rng.choice(ALBUM_SUFFIXES)


def memo(rng):
    lines = []
    for _ in range(rng.choice([1, 1, 2, 2, 3, 4])):
        r = rng.random()
        if r < 0.25:
            lines.append("%d年%d月%d日発売" % (rng.randint(1975, 2023), rng.randint(1, 12), rng.randint(1, 28)))
        elif r < 0.40:
            lines.append("規格番号 %s-%d" % (rng.choice(CATALOG_PREFIXES), rng.randint(1000, 99999)))
        elif r < 0.50:
            lines.append(rng.choice(SHOPS) + "で購入（%d円）" % (rng.randint(5, 35) * 100))
        else:
            lines.append(rng.choice(MEMO_LINES))
    return MEMO_SEP.join(lines)


# Characters whose cp932 bytes are odd but valid: the user-defined area
# (F040-F9FC), NEC row 13 and the NEC-selected IBM extensions, half-width
# katakana, the single byte 0x80, and double-byte characters whose second
# byte is "\\" (835C ...), "{" (817B), "|" (817C, 837C) or "}" (817D).
ODD_CHARS = (
    "\ue000\ue001\ue0bb\ue757"
    "①②ⅰⅱ㈱№∵纊褜鍈銈"
    "ｱｲｳｴｵｶﾞﾊﾟｰ･｢｣"
    "ソ表能予十申貼噂構"
    "＋－±ポ芸"
    "\x80"
)


def odd_text(rng, length):
    return "".join(rng.choice(ODD_CHARS) for _ in range(length))


def long_memo(rng):
    """A memo of many lines (2 to 20 kB), with odd bytes among them."""
    lines = []
    for _ in range(rng.randint(20, 150)):
        r = rng.random()
        if r < 0.3:
            lines.append(memo(rng))
        elif r < 0.5:
            lines.append(odd_text(rng, rng.randint(5, 60)))
        elif r < 0.6:
            lines.append("")
        else:
            lines.append(rng.choice(MEMO_LINES) + " " + phrase(rng))
    return MEMO_SEP.join(lines)


def vary_row(rng, f):
    """Makes a row the kind that real catalogues grow: long memos, many
    empty songs between a few, odd but valid bytes in any text cell."""
    r = rng.random()
    if r < 0.15:
        f[COL_MEMO] = long_memo(rng)
    if rng.random() < 0.30:
        # A few songs spread over the 99 slots, the rest empty; some songs
        # have only a media cell or only an artist.
        for slot in range(1, SLOTS + 1):
            f[COL_SONG + slot] = ""
            f[COL_SONG_ARTIST + slot] = ""
        for slot in rng.sample(range(1, SLOTS + 1), rng.randint(1, 8)):
            f[COL_SONG + slot] = odd_text(rng, rng.randint(1, 12)) if rng.random() < 0.5 else phrase(rng)
            if rng.random() < 0.2:
                f[COL_SONG_ARTIST + slot] = odd_text(rng, rng.randint(1, 8))
    if rng.random() < 0.20:
        column = rng.choice([COL_ARTIST, COL_TITLE, COL_GENRE, COL_MEDIUM])
        f[column] = (f[column] + odd_text(rng, rng.randint(1, 10)))[:120]


def path_part(text):
    return text.replace("/", "_").replace("\u3000", " ").strip() or "_"


def cd_references(rng, count):
    refs = []
    pos = 2 * 75  # two-second lead-in, in frames
    for track in range(1, count + 1):
        minutes, rest = divmod(pos, 60 * 75)
        seconds, frames = divmod(rest, 75)
        refs.append("CD%d" % (track * 16777216 + minutes * 65536 + seconds * 256 + frames))
        pos += rng.randint(150, 420) * 75 + rng.randint(0, 74)
    return refs


# --------------------------------------------------------------------------
# Pictures
# --------------------------------------------------------------------------

def tiny_png(width, height, rgb):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    row = b"\x00" + bytes(rgb) * width
    raw = row * height
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# Catalogue
# --------------------------------------------------------------------------

def generate(albums, seed, out_dir, pictures, file_share=0.50, cd_share=0.25, varied=False):
    rng = random.Random(seed)
    covers_dir = os.path.join(os.path.abspath(out_dir), "covers")
    if pictures:
        os.makedirs(covers_dir, exist_ok=True)

    artists = [make_artist(rng) for _ in range(max(40, albums // 6))]
    genre_cum, total = _cumulate(GENRE_WEIGHTS)
    count_cum, count_total = _cumulate(SONG_COUNT_WEIGHTS)

    empty_row = [""] * FIELD_COUNT
    out_path = os.path.join(out_dir, "VLM.dat")
    tmp_path = out_path + ".tmp"
    stats = {"bytes": 0, "songs": 0, "pictures": 0, "compilations": 0, "files": 0, "cd": 0, "memos": 0}

    with open(tmp_path, "wb", buffering=1 << 20) as out:
        out.write((SEP * (FIELD_COUNT - 1)).encode(ENCODING) + b"\r\n")
        chunk = []
        for i in range(albums):
            f = empty_row[:]
            compilation = rng.random() < 0.10
            if compilation:
                name, reading = rng.choice(COMPILATION_ARTISTS)
                genre = GENRES[_pick(rng, genre_cum, total)]
                stats["compilations"] += 1
            else:
                name, reading, pref = artists[int(len(artists) * rng.random() ** 2)]
                genre = pref if pref and rng.random() < 0.7 else GENRES[_pick(rng, genre_cum, total)]
            if rng.random() < 0.04:
                genre = ""
            title = album_title(rng, genre, name)
            count = SONG_COUNTS[_pick(rng, count_cum, count_total)]
            songs = [song_title(rng, genre, n) for n in range(1, count + 1)]

            f[COL_ARTIST] = name
            f[COL_TITLE] = title
            f[COL_GENRE] = genre
            f[COL_FURIGANA] = reading
            f[COL_SONG + 1:COL_SONG + 1 + count] = songs
            if compilation:
                f[COL_SONG_ARTIST + 1:COL_SONG_ARTIST + 1 + count] = [
                    artists[rng.randrange(len(artists))][0] for _ in range(count)]

            r = rng.random()
            if r < file_share:
                stats["files"] += 1
                root = rng.choice(MEDIA_ROOTS)
                ext = rng.choice(MEDIA_EXTS)
                folder = "%s/%s/%s/" % (root, path_part("Compilations" if compilation else name), path_part(title))
                f[COL_MEDIA + 1:COL_MEDIA + 1 + count] = [
                    "%s%02d %s%s" % (folder, n, path_part(s), ext) for n, s in enumerate(songs, 1)]
                medium = rng.choice(MEDIUMS_FILE)
            elif r < file_share + cd_share:
                stats["cd"] += 1
                f[COL_MEDIA + 1:COL_MEDIA + 1 + count] = cd_references(rng, count)
                medium = rng.choice(MEDIUMS_CD)
            else:
                medium = rng.choice(MEDIUMS_NONE)
            f[COL_MEDIUM] = medium

            if rng.random() < 0.30:
                stats["memos"] += 1
                f[COL_MEMO] = memo(rng)
            if rng.random() < 0.05:
                stats["pictures"] += 1
                if pictures:
                    png = os.path.join(covers_dir, "%d.png" % (i + 1))
                    with open(png, "wb") as pic:
                        pic.write(tiny_png(rng.randint(4, 32), rng.randint(4, 32),
                                           (rng.randrange(256), rng.randrange(256), rng.randrange(256))))
                    f[COL_PICTURE] = png
                else:
                    f[COL_PICTURE] = "%s/%d%s" % (rng.choice(PICTURE_ROOTS), i + 1, rng.choice(PICTURE_EXTS))

            if varied:
                vary_row(rng, f)
            stats["songs"] += count
            chunk.append(SEP.join(f))
            if len(chunk) >= 2000:
                data = ("\r\n".join(chunk) + "\r\n").encode(ENCODING)
                stats["bytes"] += len(data)
                out.write(data)
                chunk = []
        if chunk:
            data = ("\r\n".join(chunk) + "\r\n").encode(ENCODING)
            stats["bytes"] += len(data)
            out.write(data)
    os.replace(tmp_path, out_path)
    return out_path, stats


def _cumulate(weights):
    cum, total = [], 0
    for w in weights:
        total += w
        cum.append(total)
    return cum, total


def _pick(rng, cum, total):
    x = rng.random() * total
    for idx, edge in enumerate(cum):
        if x < edge:
            return idx
    return len(cum) - 1


def main(argv=None):
    ap = argparse.ArgumentParser(description="Generate a synthetic VLM.dat catalogue.")
    ap.add_argument("--albums", type=int, required=True, help="number of album rows")
    ap.add_argument("--out", required=True, help="output folder (created if missing)")
    ap.add_argument("--seed", type=int, default=20240601, help="random seed (default: %(default)s)")
    ap.add_argument("--pictures", action="store_true",
                    help="also write tiny PNG covers to OUT/covers and reference them")
    ap.add_argument("--file-share", type=float, default=0.50,
                    help="share of albums whose songs point to media files (default: %(default)s)")
    ap.add_argument("--cd-share", type=float, default=0.25,
                    help="share of albums whose songs carry CD track references (default: %(default)s)")
    ap.add_argument("--varied", action="store_true",
                    help="rows as real catalogues grow them: long memos (15 %%), a few songs among many "
                         "empty slots (30 %%), odd but valid cp932 bytes (user-defined area, vendor "
                         "rows, half-width kana, second bytes \\\\ | { })")
    ap.add_argument("--quiet", action="store_true", help="no summary on stderr")
    args = ap.parse_args(argv)
    if args.albums < 0:
        ap.error("--albums must be >= 0")
    if not (0 <= args.file_share and 0 <= args.cd_share and args.file_share + args.cd_share <= 1):
        ap.error("--file-share and --cd-share must be >= 0 and add up to at most 1")

    _check_pools()
    os.makedirs(args.out, exist_ok=True)
    start = time.perf_counter()
    path, stats = generate(args.albums, args.seed, args.out, args.pictures,
                           args.file_share, args.cd_share, args.varied)
    elapsed = time.perf_counter() - start
    if not args.quiet:
        size = os.path.getsize(path)
        print("%s: %d albums, %d songs, %.1f MB in %.2f s "
              "(files %d, cd %d, compilations %d, memos %d, pictures %d)"
              % (path, args.albums, stats["songs"], size / 1e6, elapsed, stats["files"], stats["cd"],
                 stats["compilations"], stats["memos"], stats["pictures"]), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
