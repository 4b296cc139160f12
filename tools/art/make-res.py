#!/usr/bin/python3
# Draws every image under Res/ and the program icon from code, so the artwork can be
# remade and reviewed like any other source. Needs Pillow and fonts-wqy-microhei.
# usage: tools/art/make-res.py [output-folder]   (default: Res/ and app/Zindle.ico)
import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SCALE = 4  # everything is drawn four times larger and scaled down, for smooth edges

PINK = (0xFE, 0x82, 0x9D)
PINK_LIGHT = (0xFF, 0x9C, 0xB1)
PINK_DARK = (0xE8, 0x6A, 0x86)
PINK_PALE = (0xFF, 0xE8, 0xEE)
BORDER = (0xA6, 0xAD, 0xB3)
GREY_TEXT = (0x64, 0x64, 0x64)
GREY_MID = (0x9A, 0xA1, 0xA8)
GREY_LIGHT = (0xC8, 0xCD, 0xD2)
GREY_PALE = (0xEE, 0xF1, 0xF2)
WHITE = (0xFF, 0xFF, 0xFF)


def font(size):
    return ImageFont.truetype(FONT_FILE, size * SCALE)


def canvas(w, h, fill=(0, 0, 0, 0)):
    img = Image.new("RGBA", (w * SCALE, h * SCALE), fill)
    return img, ImageDraw.Draw(img)


def finish(img):
    w, h = img.size
    return img.resize((w // SCALE, h // SCALE), Image.LANCZOS)


def s(*values):
    return [v * SCALE for v in values]


def text_centered(draw, cx, cy, text, size, colour, bold=False):
    f = font(size)
    stroke = SCALE // 3 if bold else 0
    draw.text((cx * SCALE, cy * SCALE), text, font=f, fill=colour, anchor="mm",
              stroke_width=stroke, stroke_fill=colour)


def text_width(text, size):
    return font(size).getlength(text) / SCALE


# ---- title bar and its buttons -------------------------------------------------

TITLE_H = 33


def title_bar():
    img, d = canvas(700, TITLE_H, PINK + (255,))
    # The root's grey frame runs on under the title band, so the window keeps one outline.
    d.rectangle(s(0, 0, 700, 1), fill=BORDER)
    d.rectangle(s(0, 0, 1, TITLE_H), fill=BORDER)
    d.rectangle(s(699, 0, 700, TITLE_H), fill=BORDER)
    # Logo: a white speech bubble with a smile, then the name.
    d.rounded_rectangle(s(12, 7, 32, 25), radius=6 * SCALE, fill=WHITE)
    d.polygon(s(15, 23, 15, 29, 21, 24), fill=WHITE)
    d.ellipse(s(17, 12, 20, 15), fill=PINK)
    d.ellipse(s(24, 12, 27, 15), fill=PINK)
    d.arc(s(17, 13, 27, 22), 20, 160, fill=PINK, width=int(1.6 * SCALE))
    f = font(15)
    d.text((40 * SCALE, 16.5 * SCALE), "Zindle", font=f, fill=WHITE, anchor="lm",
           stroke_width=SCALE // 3, stroke_fill=WHITE)
    x = 40 + text_width("Zindle", 15) + 10
    d.text((x * SCALE, 17 * SCALE), "表情", font=font(12), fill=(0xFF, 0xF0, 0xF3), anchor="lm")
    return finish(img)


def title_button(w, state, glyph):
    background = {"normal": PINK, "hover": PINK_LIGHT, "click": PINK_DARK}[state]
    img, d = canvas(w, 28, background + (255,))
    cx, cy = w / 2, 14
    width = int(1.6 * SCALE)
    if glyph == "close":
        r = 5
        d.line(s(cx - r, cy - r, cx + r, cy + r), fill=WHITE, width=width)
        d.line(s(cx - r, cy + r, cx + r, cy - r), fill=WHITE, width=width)
    else:
        d.line(s(cx - 5, cy + 1, cx + 5, cy + 1), fill=WHITE, width=width)
    return finish(img)


# ---- grid backgrounds and states ----------------------------------------------

GRID_W, GRID_H = 675, 330


def blank_grid():
    img, _ = canvas(GRID_W, GRID_H, WHITE + (255,))
    return finish(img)


def face(d, cx, cy, r, colour, mood):
    """A round face outline: the program's mascot for empty states."""
    d.ellipse(s(cx - r, cy - r, cx + r, cy + r), outline=colour, width=int(2.2 * SCALE))
    eye = r * 0.14
    for ex in (cx - r * 0.35, cx + r * 0.35):
        d.ellipse(s(ex - eye, cy - r * 0.25 - eye, ex + eye, cy - r * 0.25 + eye), fill=colour)
    if mood == "sad":
        d.arc(s(cx - r * 0.4, cy + r * 0.2, cx + r * 0.4, cy + r * 0.75), 200, 340,
              fill=colour, width=int(2.2 * SCALE))
    else:
        d.line(s(cx - r * 0.3, cy + r * 0.4, cx + r * 0.3, cy + r * 0.4), fill=colour,
               width=int(2.2 * SCALE))


def message_grid(line1, line2, mood):
    img, d = canvas(GRID_W, GRID_H, WHITE + (255,))
    cx = GRID_W / 2
    face(d, cx, 120, 34, GREY_LIGHT, mood)
    text_centered(d, cx, 185, line1, 14, GREY_TEXT)
    if line2:
        text_centered(d, cx, 208, line2, 12, GREY_MID)
    return finish(img)


def no_network():
    # The refresh button sits at (433, 145, 530, 180) over this picture: the message
    # ends to its left, on the button's middle line.
    img, d = canvas(GRID_W, GRID_H, WHITE + (255,))
    message = "网络不给力，请检查网络后"
    # A broken wifi sign centred above the message.
    cx, cy = 423 - text_width(message, 14) / 2, 118
    for r in (30, 20, 10):
        d.arc(s(cx - r, cy - r, cx + r, cy + r), 225, 315, fill=GREY_LIGHT, width=int(4 * SCALE))
    d.ellipse(s(cx - 4, cy - 4, cx + 4, cy + 4), fill=GREY_LIGHT)
    d.line(s(cx + 16, cy - 34, cx + 30, cy - 20), fill=PINK, width=int(3 * SCALE))
    d.line(s(cx + 16, cy - 20, cx + 30, cy - 34), fill=PINK, width=int(3 * SCALE))
    f = font(14)
    d.text((423 * SCALE, 162.5 * SCALE), message, font=f, fill=GREY_TEXT, anchor="rm")
    return finish(img)


def refresh_button(state):
    fill = {"normal": PINK, "hover": PINK_LIGHT, "click": PINK_DARK}[state]
    img, d = canvas(97, 35)
    d.rounded_rectangle(s(0.5, 0.5, 96.5, 34.5), radius=17 * SCALE, fill=fill)
    # Circular arrow, then the text.
    cx, cy, r = 24, 17.5, 6
    d.arc(s(cx - r, cy - r, cx + r, cy + r), 40, 330, fill=WHITE, width=int(1.8 * SCALE))
    d.polygon(s(cx + 5.5, cy - 8, cx + 7.5, cy - 1.5, cx + 1, cy - 3), fill=WHITE)
    text_centered(d, 56, 17.5, "刷新", 14, WHITE)
    return finish(img)


def spinner_frames(size, dot_r, ring_r, count=8, background=WHITE):
    frames = []
    for step in range(count):
        img, d = canvas(size, size, background + (255,))
        c = size / 2
        for i in range(count):
            import math
            angle = 2 * math.pi * i / count - math.pi / 2
            x, y = c + ring_r * math.cos(angle), c + ring_r * math.sin(angle)
            age = (step - i) % count
            t = age / (count - 1)  # 0 = the head of the trail
            colour = tuple(int(p + (g - p) * t) for p, g in zip(PINK, (0xF4, 0xE4, 0xE8)))
            r = dot_r * (1.0 - 0.35 * t)
            d.ellipse(s(x - r, y - r, x + r, y + r), fill=colour)
        frames.append(finish(img).convert("RGB"))
    return frames


def save_gif(frames, path, delay_ms):
    paletted = [f.quantize(colors=64, method=Image.MEDIANCUT, dither=Image.NONE) for f in frames]
    paletted[0].save(path, save_all=True, append_images=paletted[1:], duration=delay_ms,
                     loop=0, optimize=False, disposal=1)


def load_fail():
    img, d = canvas(103, 103, WHITE + (255,))
    # A picture frame with a torn corner.
    d.rounded_rectangle(s(32, 26, 71, 58), radius=3 * SCALE, outline=GREY_LIGHT, width=int(2 * SCALE))
    d.polygon(s(36, 54, 46, 42, 53, 50, 58, 45, 67, 54), fill=GREY_LIGHT)
    d.ellipse(s(58, 31, 64, 37), fill=GREY_LIGHT)
    d.line(s(60, 24, 74, 40), fill=WHITE, width=int(4 * SCALE))
    d.line(s(61, 25, 73, 39), fill=PINK, width=int(1.6 * SCALE))
    text_centered(d, 51.5, 74, "加载失败", 12, GREY_MID)
    return finish(img)


# ---- scroll bar ---------------------------------------------------------------

def arrow_button(direction, state):
    colour = {"normal": GREY_MID, "hover": GREY_TEXT, "click": PINK}[state]
    img, d = canvas(11, 10)
    if direction == "up":
        d.polygon(s(5.5, 2.5, 9, 7, 2, 7), fill=colour)
    else:
        d.polygon(s(5.5, 7.5, 9, 3, 2, 3), fill=colour)
    return finish(img)


def slider_thumb(state):
    colour = {"normal": GREY_LIGHT, "hover": GREY_MID, "click": PINK}[state]
    img, d = canvas(10, 40)
    d.rounded_rectangle(s(2, 1, 8, 39), radius=3 * SCALE, fill=colour)
    return finish(img)


# ---- category bar -------------------------------------------------------------

def more_button(label, pointing, hot):
    colour = PINK if hot else GREY_TEXT
    img, d = canvas(45, 20)
    d.text((4 * SCALE, 10 * SCALE), label, font=font(12), fill=colour, anchor="lm")
    x, y = 36, 10
    width = int(1.5 * SCALE)
    if pointing == "down":
        d.line(s(x - 3.5, y - 2, x, y + 2, x + 3.5, y - 2), fill=colour, width=width, joint="curve")
    else:
        d.line(s(x - 3.5, y + 2, x, y - 2, x + 3.5, y + 2), fill=colour, width=width, joint="curve")
    return finish(img)


# ---- search bar ---------------------------------------------------------------

def magnifier(d, cx, cy, r, colour, width):
    d.ellipse(s(cx - r, cy - r, cx + r, cy + r), outline=colour, width=int(width * SCALE))
    d.line(s(cx + r * 0.7, cy + r * 0.7, cx + r * 1.75, cy + r * 1.75), fill=colour,
           width=int(width * 1.3 * SCALE))


def search_icon():
    img, d = canvas(16, 16)
    magnifier(d, 6.5, 6.5, 4.5, GREY_MID, 1.6)
    return finish(img)


def delete_button(state):
    colour = {"normal": GREY_LIGHT, "hover": GREY_MID, "click": PINK}[state]
    img, d = canvas(30, 30)
    d.ellipse(s(8, 8, 22, 22), fill=colour)
    d.line(s(12, 12, 18, 18), fill=WHITE, width=int(1.6 * SCALE))
    d.line(s(12, 18, 18, 12), fill=WHITE, width=int(1.6 * SCALE))
    return finish(img)


def search_button(state):
    fill = {"normal": PINK, "hover": PINK_LIGHT, "click": PINK_DARK}[state]
    img, d = canvas(69, 30, fill + (255,))
    text_centered(d, 34.5, 15, "搜索", 14, WHITE)
    return finish(img)


# ---- bottom bar ---------------------------------------------------------------

def toggle(on):
    img, d = canvas(34, 20)
    track = PINK if on else GREY_LIGHT
    d.rounded_rectangle(s(1, 2, 33, 18), radius=8 * SCALE, fill=track)
    knob_x = 25 if on else 9
    d.ellipse(s(knob_x - 6.5, 3.5, knob_x + 6.5, 16.5), fill=WHITE)
    return finish(img)


# ---- program icon -------------------------------------------------------------

def icon_image(size):
    img, d = canvas(size, size)
    m = size / 16
    d.rounded_rectangle(s(0.5 * m, 0.5 * m, size - 0.5 * m, size - 0.5 * m), radius=int(3.5 * m * SCALE),
                        fill=PINK)
    c = size / 2
    r = size * 0.3
    width = max(1.0, size / 14)
    d.ellipse(s(c - r, c - r, c + r, c + r), outline=WHITE, width=int(width * SCALE))
    eye = max(0.8, size / 22)
    for ex in (c - r * 0.38, c + r * 0.38):
        d.ellipse(s(ex - eye, c - r * 0.25 - eye, ex + eye, c - r * 0.25 + eye), fill=WHITE)
    d.arc(s(c - r * 0.5, c - r * 0.2, c + r * 0.5, c + r * 0.55), 20, 160, fill=WHITE,
          width=int(width * SCALE))
    return finish(img)


def main():
    top = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(top, "Res")
    icon_path = os.path.join(sys.argv[1], "Zindle.ico") if len(sys.argv) > 1 else \
        os.path.join(top, "app", "Zindle.ico")
    os.makedirs(res, exist_ok=True)

    def png(name, img):
        img.save(os.path.join(res, name), optimize=True)

    png("title.png", title_bar())
    for state, suffix in (("normal", ""), ("hover", "_hover"), ("click", "_click")):
        png("Close%s.png" % suffix, title_button(30, state, "close"))
        png("Min%s.png" % suffix, title_button(24, state, "min"))

    png("Common.png", blank_grid())
    png("NoCommon.png", message_grid("还没有常用的表情", "发送过的表情会出现在这里", "plain"))
    png("NoSearchResult.png", message_grid("没有找到相关的表情", "换个关键词试试吧", "sad"))
    png("NoNetWork.png", no_network())
    png("RefreshNormal.png", refresh_button("normal"))
    png("RefreshFocus.png", refresh_button("hover"))
    png("RefreshClick.png", refresh_button("click"))
    save_gif(spinner_frames(40, 3.2, 13), os.path.join(res, "MainLoading.gif"), 80)
    save_gif(spinner_frames(103, 2.6, 10), os.path.join(res, "loading.gif"), 80)
    png("LoadFail.png", load_fail())

    for state, prefix in (("normal", ""), ("hover", "hover_"), ("click", "click_")):
        png("%sup.png" % prefix, arrow_button("up", state))
        png("%sdown.png" % prefix, arrow_button("down", state))
        png("slider_%s.png" % state, slider_thumb(state))

    png("more.png", more_button("更多", "down", False))
    png("more_hover.png", more_button("更多", "down", True))
    png("collapse.png", more_button("收起", "up", False))
    png("collapse_hover.png", more_button("收起", "up", True))

    png("search_icon.png", search_icon())
    for state in ("normal", "hover", "click"):
        png("delete_%s.png" % state, delete_button(state))
        png("search_%s.png" % state, search_button(state))

    png("Static_On.png", toggle(True))
    png("Static_Off.png", toggle(False))

    sizes = [16, 24, 32, 48, 256]
    big = icon_image(256)
    big.save(icon_path, sizes=[(n, n) for n in sizes],
             append_images=[icon_image(n) for n in sizes[:-1]])


if __name__ == "__main__":
    main()
