#!/usr/bin/env python3
"""Draws the pictures of the sample products' skins.

    draw_pictures.py [--product NAME] --list            names of the pictures
    draw_pictures.py [--product NAME] SCALE OUT_FOLDER  draws them at SCALE (1 or 2)

NAME is "qingchuan" ("晴川看图", a picture viewer; the default) or "lumen"
("Lumen Notes", a note-taking app). This is how the pictures in
products/NAME/skin and skin_2x were made; the build takes the pictures as
they stand in the product folder, so this script only runs when a sample's
art is redrawn.

Every picture is described once in the coordinates of the standard skin and
drawn at four times the requested scale, then reduced, so that the double-size
set is a sharp redraw rather than an enlarged copy. The sizes are those of the
controls that show the pictures, which the skins fix; the look (palette,
motif, captions and their font) is each product's own, collected in a Theme.
Nothing here depends on the time or the machine, so a rebuild gives the same
bytes.
"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
LATIN_FONT = "/usr/share/fonts/opentype/urw-base35/URWGothic-Demi.otf"
SUPERSAMPLE = 4

WHITE = (255, 255, 255)
TEXT = (0x33, 0x33, 0x33)
HINT = (0x99, 0x99, 0x99)
FRAME = (0xCC, 0xCC, 0xCC)


class Theme:
    """What one product's pictures look like: colours, captions, motifs."""

    def __init__(self, **members):
        self.__dict__.update(members)


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (alpha,)


class Picture:
    """A transparent canvas addressed in standard-skin pixels."""

    def __init__(self, width, height, scale, theme):
        self.width, self.height, self.scale = width, height, scale
        self.theme = theme
        self.k = scale * SUPERSAMPLE
        self.image = Image.new("RGBA", (width * self.k, height * self.k), (0, 0, 0, 0))

    def px(self, *values):
        return [round(v * self.k) for v in values]

    def font(self, size):
        return ImageFont.truetype(self.theme.font, round(size * self.k))

    def mask(self, box, radius):
        layer = Image.new("L", self.image.size, 0)
        ImageDraw.Draw(layer).rounded_rectangle(self.px(*box), radius=radius * self.k, fill=255)
        return layer

    def gradient(self, box, start, end, radius=0, horizontal=False, alpha=255):
        """Fills a rounded box with a linear gradient from `start` to `end`."""
        steps = 256
        strip = Image.new("RGBA", (steps, 1) if horizontal else (1, steps))
        for i in range(steps):
            t = i / (steps - 1)
            colour = tuple(round(a + (b - a) * t) for a, b in zip(start, end)) + (alpha,)
            strip.putpixel((i, 0) if horizontal else (0, i), colour)
        left, top, right, bottom = self.px(*box)
        filled = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        filled.paste(strip.resize((right - left, bottom - top), Image.BILINEAR), (left, top))
        self.image.paste(Image.alpha_composite(self.image, filled), (0, 0), self.mask(box, radius))

    def overlay(self, draw_on):
        """Draws translucent shapes over the picture instead of replacing pixels."""
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        draw_on(ImageDraw.Draw(layer))
        self.image = Image.alpha_composite(self.image, layer)

    def shadow(self, box, radius, blur, alpha):
        layer = Image.new("RGBA", self.image.size, (0, 0, 0, 0))
        ImageDraw.Draw(layer).rounded_rectangle(self.px(*box), radius=radius * self.k, fill=(0, 0, 0, alpha))
        self.image = Image.alpha_composite(self.image, layer.filter(ImageFilter.GaussianBlur(blur * self.k)))

    def text(self, xy, text, size, colour, anchor="mm"):
        self.overlay(lambda d: d.text(self.px(*xy), text, font=self.font(size), fill=colour, anchor=anchor))

    def finish(self):
        return self.image.resize((self.width * self.scale, self.height * self.scale), Image.LANCZOS)


def photo(t, scale, width, height):
    """A white-framed snapshot of a sunny landscape, the picture viewer's motif."""
    p = Picture(width, height, scale, t)
    p.overlay(lambda d: d.rounded_rectangle(p.px(0, 0, width, height), radius=4 * p.k, fill=rgba(WHITE)))
    inner = (6, 6, width - 6, height - 6)
    p.gradient(inner, (0x9C, 0xCB, 0xFF), (0xE3, 0xF0, 0xFF), radius=2)
    l, t_, r, b = inner
    w, h = r - l, b - t_

    def landscape(d):
        d.ellipse(p.px(l + w * 0.66, t_ + h * 0.14, l + w * 0.84, t_ + h * 0.14 + w * 0.18), fill=(0xFF, 0xC9, 0x4A, 255))
        d.polygon(p.px(l, b, l + w * 0.35, t_ + h * 0.38, l + w * 0.62, b), fill=rgba(t.main))
        d.polygon(p.px(l + w * 0.38, b, l + w * 0.68, t_ + h * 0.55, r, t_ + h * 0.8, r, b), fill=rgba(t.deep))
    p.overlay(landscape)
    return p.image


def note_card(t, scale, width, height):
    """A page of notes with a folded corner, the note-taking app's motif."""
    p = Picture(width, height, scale, t)
    fold = 22

    def page(d):
        d.polygon(p.px(0, 0, width - fold, 0, width, fold, width, height, 0, height), fill=rgba(WHITE))
        d.polygon(p.px(width - fold, 0, width - fold, fold, width, fold), fill=rgba(t.pale))
        d.rectangle(p.px(14, 14, 64, 22), fill=rgba(t.main))
        for row in range(4):
            y = 36 + row * 14
            end = width - 16 - (28 if row == 3 else 0)
            d.rectangle(p.px(14, y, end, y + 4), fill=rgba(t.pale))
    p.overlay(page)
    return p.image


def paste_rotated(p, layer, centre, degrees):
    turned = layer.rotate(degrees, resample=Image.BICUBIC, expand=True)
    x, y = p.px(*centre)
    placed = Image.new("RGBA", p.image.size, (0, 0, 0, 0))
    placed.paste(turned, (x - turned.width // 2, y - turned.height // 2))
    p.image = Image.alpha_composite(p.image, placed)


def header_banner(t, scale):
    p = Picture(800, 210, scale, t)
    p.gradient((0, 0, 800, 210), t.main, t.light, horizontal=True)

    def rings(d):
        for cx, cy, radius, alpha in ((700, 190, 150, 26), (560, -30, 110, 20), (90, 230, 120, 18)):
            d.ellipse(p.px(cx - radius, cy - radius, cx + radius, cy + radius), fill=(255, 255, 255, alpha))
    p.overlay(rings)
    # Two cards fanned out on the right, clear of the close button's corner.
    for centre, degrees in (((600, 118), 10), ((665, 128), -7)):
        p.shadow((centre[0] - 68, centre[1] - 44, centre[0] + 72, centre[1] + 56), 6, 6, 70)
        paste_rotated(p, t.card(t, scale, 140, 100), centre, degrees)
    p.text((64, 92), t.name, t.banner_size, rgba(WHITE), anchor="lm")
    p.text((66, 146), t.tagline, 18, rgba(WHITE, 220), anchor="lm")
    return p.finish()


def frame_motif(t, p, d, l, t_, s):
    """The picture viewer's icon: a white frame round a sun and hills."""
    d.rounded_rectangle(p.px(l + 52 * s, t_ + 68 * s, l + 204 * s, t_ + 188 * s), radius=14 * s * p.k,
                        outline=rgba(WHITE), width=max(1, round(12 * s * p.k)))
    d.ellipse(p.px(l + 140 * s, t_ + 96 * s, l + 172 * s, t_ + 128 * s), fill=rgba(WHITE))
    d.polygon(p.px(l + 70 * s, t_ + 176 * s, l + 112 * s, t_ + 128 * s, l + 154 * s, t_ + 176 * s), fill=rgba(WHITE))
    d.polygon(p.px(l + 128 * s, t_ + 176 * s, l + 160 * s, t_ + 146 * s, l + 192 * s, t_ + 176 * s), fill=rgba(WHITE, 200))


def page_motif(t, p, d, l, t_, s):
    """The note-taking app's icon: a white page with a folded corner and lines."""
    d.polygon(p.px(l + 64 * s, t_ + 48 * s, l + 160 * s, t_ + 48 * s, l + 196 * s, t_ + 84 * s,
                   l + 196 * s, t_ + 208 * s, l + 64 * s, t_ + 208 * s), fill=rgba(WHITE))
    d.polygon(p.px(l + 160 * s, t_ + 48 * s, l + 160 * s, t_ + 84 * s, l + 196 * s, t_ + 84 * s), fill=rgba(t.pale))
    for row, right in enumerate((176, 176, 176, 140)):
        y = t_ + (100 + row * 26) * s
        d.rounded_rectangle(p.px(l + 86 * s, y, l + right * s, y + 10 * s), radius=5 * s * p.k, fill=rgba(t.main))


def product_icon(t, p, box):
    """The product icon (as in logo.ico): a coloured tile with the product's motif."""
    l, t_, r, b = box
    s = (r - l) / 256.0
    p.shadow((l + 6 * s, t_ + 14 * s, r - 6 * s, b), 48 * s, 5, 60)
    p.gradient((l + 8 * s, t_ + 8 * s, r - 8 * s, b - 8 * s), t.tile_top, t.deep, radius=48 * s)
    p.overlay(lambda d: t.icon_motif(t, p, d, l, t_, s))


def product_logo(t, scale):
    p = Picture(146, 199, scale, t)
    product_icon(t, p, (13, 6, 133, 126))
    p.text((73, 152), t.name, t.logo_size, rgba(TEXT))
    p.text((73, 180), t.latin_name, 12, rgba(HINT))
    return p.finish()


def close_button(t, scale):
    p = Picture(20, 20, scale, t)

    def cross(d):
        d.ellipse(p.px(0, 0, 20, 20), fill=(255, 255, 255, 36))
        width = round(1.8 * p.k)
        d.line(p.px(6, 6, 14, 14), fill=rgba(WHITE), width=width)
        d.line(p.px(14, 6, 6, 14), fill=rgba(WHITE), width=width)
    p.overlay(cross)
    return p.finish()


def combo_frame(t, scale, edge, arrow):
    """A drop-down frame: stretchable field, fixed arrow cell at the right."""
    p = Picture(60, 36, scale, t)

    def frame(d):
        d.rounded_rectangle(p.px(0, 0, 60, 36), radius=2 * p.k, fill=rgba(WHITE), outline=rgba(edge), width=p.k)
        d.line(p.px(47, 16, 51, 20, 55, 16), fill=rgba(arrow), width=round(1.5 * p.k), joint="curve")
    p.overlay(frame)
    return p.finish()


def caption_button(t, scale, width, height, radius, caption, size):
    p = Picture(width, height, scale, t)
    p.gradient((0, 0, width, height), t.light, t.main, radius=radius, horizontal=True)
    p.overlay(lambda d: d.rounded_rectangle(p.px(0, 0, width, height / 2), radius=radius * p.k,
                                            fill=(255, 255, 255, 22)))
    p.text((width / 2, height / 2), caption, size, rgba(WHITE))
    return p.finish()


def guide_card(t, scale, caption, hint, glyph):
    p = Picture(260, 90, scale, t)
    p.overlay(lambda d: d.rounded_rectangle(p.px(0.5, 0.5, 259.5, 89.5), radius=8 * p.k, fill=rgba(t.card_face),
                                            outline=rgba(t.card_edge), width=p.k))
    p.gradient((24, 20, 74, 70), t.light, t.main, radius=25)
    p.overlay(lambda d: glyph(p, d, 49, 45))
    p.text((94, 36), caption, 20, rgba(TEXT), anchor="lm")
    p.text((95, 62), hint, 13, rgba(HINT), anchor="lm")
    return p.finish()


def book_glyph(p, d, cx, cy):
    w = round(2 * p.k)
    d.polygon(p.px(cx - 14, cy - 10, cx - 1, cy - 7, cx - 1, cy + 12, cx - 14, cy + 9), outline=rgba(WHITE), width=w)
    d.polygon(p.px(cx + 14, cy - 10, cx + 1, cy - 7, cx + 1, cy + 12, cx + 14, cy + 9), outline=rgba(WHITE), width=w)
    for dy in (-2, 3):
        d.line(p.px(cx + 4, cy + dy - 2, cx + 11, cy + dy - 4), fill=rgba(WHITE), width=round(1.5 * p.k))


def question_glyph(p, d, cx, cy):
    d.text(p.px(cx, cy + 1), "?", font=p.font(30), fill=rgba(WHITE), anchor="mm")


def install_card(t, scale):
    p = Picture(400, 200, scale, t)
    p.gradient((0, 0, 400, 200), t.light, t.deep, radius=12)

    def decor(d):
        d.ellipse(p.px(280, -60, 460, 120), fill=(255, 255, 255, 26))
        d.ellipse(p.px(-50, 120, 110, 280), fill=(255, 255, 255, 18))
        w = round(5 * p.k)
        d.line(p.px(200, 42, 200, 92), fill=rgba(WHITE), width=w)
        d.line(p.px(180, 74, 200, 94, 220, 74), fill=rgba(WHITE), width=w, joint="curve")
        d.line(p.px(172, 106, 228, 106), fill=rgba(WHITE), width=w)
    p.overlay(decor)
    p.text((200, 148), t.install, 32, rgba(WHITE))
    return p.finish()


def customer_service_icon(t, scale):
    p = Picture(23, 22, scale, t)

    def headset(d):
        w = round(1.6 * p.k)
        d.arc(p.px(3, 2, 20, 19), start=180, end=360, fill=rgba(HINT), width=w)
        d.rounded_rectangle(p.px(2, 9, 7, 17), radius=1.5 * p.k, fill=rgba(HINT))
        d.rounded_rectangle(p.px(16, 9, 21, 17), radius=1.5 * p.k, fill=rgba(HINT))
        d.arc(p.px(7, 10, 19, 21), start=30, end=90, fill=rgba(HINT), width=round(1.2 * p.k))
    p.overlay(headset)
    return p.finish()


def progress_fill(t, scale):
    p = Picture(440, 10, scale, t)
    p.gradient((0, 0, 440, 10), t.light, t.main, horizontal=True)
    p.overlay(lambda d: d.rectangle(p.px(0, 0, 440, 4), fill=(255, 255, 255, 40)))
    return p.finish()


THEMES = {
    "qingchuan": Theme(
        font=CJK_FONT, main=(0x2F, 0x7C, 0xF6), light=(0x5A, 0xA8, 0xFF), deep=(0x1E, 0x5C, 0xD8),
        tile_top=(0x4A, 0x9B, 0xFF), pale=(0xD6, 0xE6, 0xFD), card_face=(0xF2, 0xF7, 0xFF),
        card_edge=(0xD6, 0xE6, 0xFD), card=photo, icon_motif=frame_motif,
        name="晴川看图", banner_size=46, logo_size=24, latin_name="QingChuan Viewer",
        tagline="轻巧 · 快速 · 清晰的图片浏览体验", install="立即安装", ok="确定",
        guide=("安装教程", "一步一步完成安装"), usage=("使用帮助", "常见问题与使用技巧")),
    "lumen": Theme(
        font=LATIN_FONT, main=(0x12, 0x9E, 0x8A), light=(0x4C, 0xCF, 0xA6), deep=(0x0B, 0x6B, 0x62),
        tile_top=(0x3D, 0xC4, 0xA0), pale=(0xCC, 0xEE, 0xE6), card_face=(0xEF, 0xFA, 0xF6),
        card_edge=(0xC9, 0xEB, 0xE0), card=note_card, icon_motif=page_motif,
        name="Lumen Notes", banner_size=46, logo_size=19, latin_name="note-taking app",
        tagline="Write it down, find it again", install="Install now", ok="OK",
        guide=("Install guide", "Step by step"), usage=("User guide", "Tips and answers")),
}


def pictures(t):
    """Name -> (drawing taking the scale, size in standard-skin pixels)."""
    return {
        "表头模块.png": (lambda s: header_banner(t, s), (800, 210)),
        "组合logo.png": (lambda s: product_logo(t, s), (146, 199)),
        "close_button.png": (lambda s: close_button(t, s), (20, 20)),
        "combo3_nr.png": (lambda s: combo_frame(t, s, FRAME, HINT), (60, 36)),
        "combo3_ov.png": (lambda s: combo_frame(t, s, t.main, t.main), (60, 36)),
        "首页按钮.png": (lambda s: caption_button(t, s, 360, 60, 6, t.install, 22), (360, 60)),
        "安装主页安装教程.png": (lambda s: guide_card(t, s, t.guide[0], t.guide[1], book_glyph), (260, 90)),
        "安装主页使用帮助.png": (lambda s: guide_card(t, s, t.usage[0], t.usage[1], question_glyph), (260, 90)),
        "安装主页立即安装.png": (lambda s: install_card(t, s), (400, 200)),
        "customer_service_icon.png": (lambda s: customer_service_icon(t, s), (23, 22)),
        "进度条前景.png": (lambda s: progress_fill(t, s), (440, 10)),
        "进度条按钮.png": (lambda s: caption_button(t, s, 240, 50, 25, t.ok, 18), (240, 50)),
    }


def main(argv):
    args = argv[1:]
    product = "qingchuan"
    if args[:1] == ["--product"] and len(args) >= 2:
        product, args = args[1], args[2:]
    if product not in THEMES:
        sys.stderr.write("unknown product %r; known: %s\n" % (product, ", ".join(THEMES)))
        return 2
    drawings = pictures(THEMES[product])
    if args == ["--list"]:
        sys.stdout.buffer.write("".join(name + "\n" for name in drawings).encode("utf-8"))
        return 0
    if len(args) != 2 or args[0] not in ("1", "2"):
        sys.stderr.write(__doc__)
        return 2
    scale, folder = int(args[0]), args[1]
    os.makedirs(folder, exist_ok=True)
    for name, (draw, (width, height)) in drawings.items():
        picture = draw(scale)
        if picture.size != (width * scale, height * scale):
            sys.stderr.write("%s drawn at %s instead of %dx%d\n" % (name, picture.size, width * scale, height * scale))
            return 1
        # Opaque pictures are stored without an alpha channel: smaller files.
        if picture.getextrema()[3] == (255, 255):
            picture = picture.convert("RGB")
        # Written under a temporary name first so that an interrupted run
        # leaves no truncated picture that a later build would pack.
        target = os.path.join(folder, name)
        picture.save(target + ".part", "PNG", optimize=True)
        os.replace(target + ".part", target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
