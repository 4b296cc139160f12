#!/usr/bin/python3
"""Makes the sample catalog of the local content service: a small pool of 96x96 pictures
(stills as PNG and JPEG, animated GIFs), the advertisement banner, catalog.json and
advert.json. Deterministic: running it again gives the same files.

usage: server/catalog/make-art.py   (writes next to itself)
Needs python3-pil and fonts-wqy-microhei.
"""
import json
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SIZE = 96

# (file stem, face colour, label, mood) for the stills; the mood picks the mouth.
STILLS = [
    ("smile", (255, 204, 64), "哈哈", "happy"),
    ("grin", (255, 170, 60), "嘿嘿", "happy"),
    ("laugh", (250, 220, 90), "笑", "happy"),
    ("cry", (120, 170, 240), "呜呜", "sad"),
    ("sad", (150, 180, 220), "难过", "sad"),
    ("angry", (240, 90, 80), "哼", "angry"),
    ("mad", (220, 70, 70), "气", "angry"),
    ("wow", (250, 200, 120), "哇", "wow"),
    ("shy", (255, 170, 190), "害羞", "happy"),
    ("cool", (120, 200, 160), "酷", "flat"),
    ("sleepy", (180, 160, 230), "困", "flat"),
    ("ok", (140, 210, 120), "好的", "happy"),
    ("thanks", (255, 190, 120), "谢谢", "happy"),
    ("bye", (200, 200, 200), "再见", "flat"),
    ("cat", (240, 180, 110), "喵", "happy"),
    ("dog", (210, 160, 110), "汪", "happy"),
]
# These stills are stored as JPEG (the rest as PNG), so both formats occur.
JPEG_STILLS = {"laugh", "sad", "cool", "dog"}

# (file stem, colours of the frames, label) for the animated GIFs.
ANIMATIONS = [
    ("bounce", [(255, 204, 64), (255, 220, 110)], "跳", "bounce"),
    ("blink", [(140, 210, 240)], "眨眼", "blink"),
    ("spin", [(250, 150, 160), (160, 150, 250), (150, 230, 170), (250, 220, 120)], "转", "colour"),
    ("clap", [(255, 190, 120)], "鼓掌", "bounce"),
    ("wave", [(180, 220, 140)], "嗨", "shake"),
    ("heart", [(255, 120, 150), (255, 170, 190)], "爱你", "colour"),
    ("rage", [(240, 90, 80), (255, 60, 60)], "怒", "shake"),
    ("party", [(200, 140, 250), (250, 200, 80), (120, 220, 200)], "嗨皮", "colour"),
]

# Category groups: (group id, group name, [(category id, name, picture count, pool filter)]).
# "开心" holds more pictures than one batch of 180; "生气" holds 40, so its third screen
# page of 18 shows 4; "日常" holds more categories than the category row can show, so the
# drop-down has pages.
DAILY = ["早安", "晚安", "吃饭", "睡觉", "加班", "摸鱼", "点赞", "鼓掌", "加油", "谢谢",
         "再见", "你好", "哈哈", "呵呵", "委屈", "害羞", "无语", "尴尬", "得意", "疑问",
         "晕", "汗", "哭", "笑", "酷", "萌", "猫咪", "狗狗", "熊猫", "兔子",
         "好的", "收到", "辛苦了", "厉害", "膜拜", "求抱抱", "么么哒", "开会", "下班", "周末"]
FESTIVAL = ["春节", "元旦", "元宵", "中秋", "生日", "情人节"]
# Pictures the service hands out other than plainly, by (category name, picture number
# from 1): "missing" never arrives (404), "slow" arrives late, "https" names an https URL
# on the service's plain-HTTP port. All the others are plain and carry no "delivery".
DELIVERIES = {("周末", 2): "missing", ("周末", 3): "slow", ("周末", 4): "https"}
GROUPS = [
    ("1", "热门", [("101", "开心", 200, "all"), ("102", "难过", 24, "still"),
                  ("103", "生气", 40, "all"), ("104", "动起来", 12, "gif")]),
    ("2", "日常", [(str(201 + i), name, 6 + (i * 7) % 13, "all") for i, name in enumerate(DAILY)]),
    ("3", "节日", [(str(301 + i), name, 8 + i, "all") for i, name in enumerate(FESTIVAL)]),
]


def font(size):
    return ImageFont.truetype(FONT, size)


def draw_face(draw, colour, mood, dx=0, dy=0, eyes_open=True):
    """A round face with eyes and a mouth for the mood, offset by (dx, dy)."""
    box = (14 + dx, 6 + dy, 82 + dx, 74 + dy)
    draw.ellipse(box, fill=colour, outline=(90, 60, 30), width=2)
    for ex in (36, 60):
        if eyes_open:
            draw.ellipse((ex - 5 + dx, 28 + dy, ex + 5 + dx, 38 + dy), fill=(50, 40, 30))
        else:
            draw.line((ex - 6 + dx, 33 + dy, ex + 6 + dx, 33 + dy), fill=(50, 40, 30), width=3)
    mouth = (32 + dx, 44 + dy, 64 + dx, 64 + dy)
    if mood == "happy":
        draw.arc(mouth, 20, 160, fill=(120, 40, 30), width=3)
    elif mood == "sad":
        draw.arc((32 + dx, 52 + dy, 64 + dx, 72 + dy), 200, 340, fill=(60, 40, 120), width=3)
    elif mood == "angry":
        draw.line((30 + dx, 24 + dy, 42 + dx, 28 + dy), fill=(60, 20, 20), width=3)
        draw.line((54 + dx, 28 + dy, 66 + dx, 24 + dy), fill=(60, 20, 20), width=3)
        draw.line((36 + dx, 58 + dy, 60 + dx, 58 + dy), fill=(90, 20, 20), width=3)
    elif mood == "wow":
        draw.ellipse((42 + dx, 48 + dy, 54 + dx, 64 + dy), fill=(90, 30, 30))
    else:
        draw.line((36 + dx, 56 + dy, 60 + dx, 56 + dy), fill=(80, 50, 30), width=3)


def draw_label(draw, text, dy=0):
    f = font(18 if len(text) <= 2 else 15)
    w = draw.textlength(text, font=f)
    draw.text(((SIZE - w) / 2, 74 + dy), text, font=f, fill=(60, 60, 60))


def make_still(stem, colour, label, mood):
    img = Image.new("RGB", (SIZE, SIZE), (255, 255, 255))
    d = ImageDraw.Draw(img)
    draw_face(d, colour, mood)
    draw_label(d, label)
    if stem in JPEG_STILLS:
        name = stem + ".jpg"
        img.save(os.path.join(HERE, "pics", name), quality=70, optimize=True)
    else:
        name = stem + ".png"
        img.quantize(colors=32).save(os.path.join(HERE, "pics", name), optimize=True)
    return name


def make_animation(stem, colours, label, motion):
    frames = []
    for i in range(4):
        img = Image.new("RGB", (SIZE, SIZE), (255, 255, 255))
        d = ImageDraw.Draw(img)
        colour = colours[i % len(colours)]
        dx = [-4, 0, 4, 0][i] if motion == "shake" else 0
        dy = [0, -5, 0, 3][i] if motion == "bounce" else 0
        draw_face(d, colour, "happy", dx, dy, eyes_open=not (motion == "blink" and i == 2))
        draw_label(d, label)
        frames.append(img.quantize(colors=32))
    name = stem + ".gif"
    frames[0].save(os.path.join(HERE, "pics", name), save_all=True, append_images=frames[1:],
                   duration=150, loop=0, optimize=True)
    return name


def make_banner():
    img = Image.new("RGB", (360, 180), (254, 130, 157))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((12, 12, 348, 168), radius=16, fill=(255, 240, 244))
    draw_face(d, (255, 204, 64), "happy", dx=12, dy=44)
    d.text((110, 52), "表情大赛", font=font(40), fill=(200, 60, 90))
    d.text((112, 110), "上传你的表情，赢取好礼", font=font(18), fill=(90, 90, 90))
    img.quantize(colors=32).save(os.path.join(HERE, "advert", "zindle_adv_banner.png"), optimize=True)


def pool_for(kind, stills, gifs):
    if kind == "still":
        return stills
    if kind == "gif":
        return gifs
    # Mostly stills with a GIF every third picture.
    mixed = []
    for i in range(max(len(stills), len(gifs) * 2)):
        mixed.append(stills[i % len(stills)])
        if i % 2 == 1:
            mixed.append(gifs[(i // 2) % len(gifs)])
    return mixed


def make_catalog(stills, gifs):
    tags_of = {name: label for name, label in stills + gifs}
    groups = []
    placed = set()
    for gid, gname, categories in GROUPS:
        cats = []
        for cid, cname, count, kind in categories:
            pool = pool_for(kind, stills, gifs)
            pictures = []
            for n in range(count):
                file = pool[(n + int(cid)) % len(pool)][0]
                ext = os.path.splitext(file)[1]
                picture = {"imageId": "%s_%04d%s" % (cid, n + 1, ext), "file": file,
                           "tags": "%s %s" % (cname, tags_of[file]), "imageHeight": SIZE}
                if (cname, n + 1) in DELIVERIES:
                    picture["delivery"] = DELIVERIES[(cname, n + 1)]
                    placed.add((cname, n + 1))
                pictures.append(picture)
            cats.append({"id": cid, "name": cname, "pictures": pictures})
        groups.append({"id": gid, "name": gname, "categories": cats})
    assert placed == set(DELIVERIES), "DELIVERIES names pictures that do not exist"
    with open(os.path.join(HERE, "catalog.json"), "w", encoding="utf-8") as f:
        json.dump({"groups": groups}, f, ensure_ascii=False, indent=1)
        f.write("\n")


ADVERT_LAYOUT = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Window size="380,250" caption="0,0,0,36">'
    '<VerticalLayout name="AdvMainLayout" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FFA7ADB3">'
    '<HorizontalLayout height="36" bkcolor="#FFFE829D">'
    '<Label text="表情大赛" textcolor="#FFFFFFFF" padding="12,0,0,0"/>'
    '<Button name="AdvCloseBtn" text="关闭" width="48" textcolor="#FFFFFFFF"/>'
    '</HorizontalLayout>'
    '<Control padding="10,12,0,0" width="360" height="180" bkimage="%temp%\\zindle_adv_banner.png"/>'
    '</VerticalLayout>'
    '</Window>')


def make_advert():
    # The first item is hidden, so the program has to skip to the second.
    advert = {"status": 0, "data": {"mode": "dynamic", "advList": [
        {"visible": 0, "openMode": 1, "url": "{base}/advert/old.html", "name": "旧活动"},
        {"visible": 1, "openMode": 0, "url": "{base}/advert/contest.html", "name": "表情大赛",
         "resources": [{"url": "{base}/advert/zindle_adv_banner.png", "name": "zindle_adv_banner.png"}],
         "xml": ADVERT_LAYOUT},
    ]}}
    with open(os.path.join(HERE, "advert.json"), "w", encoding="utf-8") as f:
        json.dump(advert, f, ensure_ascii=False, indent=1)
        f.write("\n")


def main():
    os.makedirs(os.path.join(HERE, "pics"), exist_ok=True)
    os.makedirs(os.path.join(HERE, "advert"), exist_ok=True)
    stills = [(make_still(stem, c, label, mood), label) for stem, c, label, mood in STILLS]
    gifs = [(make_animation(stem, cs, label, motion), label) for stem, cs, label, motion in ANIMATIONS]
    make_banner()
    make_catalog(stills, gifs)
    make_advert()


if __name__ == "__main__":
    main()
