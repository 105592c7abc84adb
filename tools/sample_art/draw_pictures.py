#!/usr/bin/env python3
"""Draws the pictures of the sample product's skins ("晴川看图", a picture viewer).

    draw_pictures.py --list            names of the pictures, one a line
    draw_pictures.py SCALE OUT_FOLDER  draws every picture at SCALE (1 or 2)

This is how the pictures in products/qingchuan/skin and skin_2x were made;
the build takes the pictures as they stand in the product folder, so this
script only runs when the sample's art is redrawn.

Every picture is described once in the coordinates of the standard skin and
drawn at four times the requested scale, then reduced, so that the double-size
set is a sharp redraw rather than an enlarged copy. The sizes are those of the
controls that show the pictures, which the skins fix; the look (the blue of the
product icon, white faces with Chinese captions) belongs to this product build.
Nothing here depends on the time or the machine, so a rebuild gives the same
bytes.
"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SUPERSAMPLE = 4

BLUE = (0x2F, 0x7C, 0xF6)
LIGHT_BLUE = (0x5A, 0xA8, 0xFF)
DEEP_BLUE = (0x1E, 0x5C, 0xD8)
WHITE = (255, 255, 255)
TEXT = (0x33, 0x33, 0x33)
HINT = (0x99, 0x99, 0x99)
FRAME = (0xCC, 0xCC, 0xCC)


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (alpha,)


class Picture:
    """A transparent canvas addressed in standard-skin pixels."""

    def __init__(self, width, height, scale):
        self.width, self.height, self.scale = width, height, scale
        self.k = scale * SUPERSAMPLE
        self.image = Image.new("RGBA", (width * self.k, height * self.k), (0, 0, 0, 0))

    def px(self, *values):
        return [round(v * self.k) for v in values]

    def font(self, size):
        return ImageFont.truetype(CJK_FONT, round(size * self.k))

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


def photo(scale, width, height):
    """A white-framed snapshot of a sunny landscape, the product's motif."""
    p = Picture(width, height, scale)
    p.overlay(lambda d: d.rounded_rectangle(p.px(0, 0, width, height), radius=4 * p.k, fill=rgba(WHITE)))
    inner = (6, 6, width - 6, height - 6)
    p.gradient(inner, (0x9C, 0xCB, 0xFF), (0xE3, 0xF0, 0xFF), radius=2)
    l, t, r, b = inner
    w, h = r - l, b - t

    def landscape(d):
        d.ellipse(p.px(l + w * 0.66, t + h * 0.14, l + w * 0.84, t + h * 0.14 + w * 0.18), fill=(0xFF, 0xC9, 0x4A, 255))
        d.polygon(p.px(l, b, l + w * 0.35, t + h * 0.38, l + w * 0.62, b), fill=rgba(BLUE))
        d.polygon(p.px(l + w * 0.38, b, l + w * 0.68, t + h * 0.55, r, t + h * 0.8, r, b), fill=rgba(DEEP_BLUE))
    p.overlay(landscape)
    return p.image


def paste_rotated(p, layer, centre, degrees):
    turned = layer.rotate(degrees, resample=Image.BICUBIC, expand=True)
    x, y = p.px(*centre)
    placed = Image.new("RGBA", p.image.size, (0, 0, 0, 0))
    placed.paste(turned, (x - turned.width // 2, y - turned.height // 2))
    p.image = Image.alpha_composite(p.image, placed)


def header_banner(scale):
    p = Picture(800, 210, scale)
    p.gradient((0, 0, 800, 210), BLUE, LIGHT_BLUE, horizontal=True)

    def rings(d):
        for cx, cy, radius, alpha in ((700, 190, 150, 26), (560, -30, 110, 20), (90, 230, 120, 18)):
            d.ellipse(p.px(cx - radius, cy - radius, cx + radius, cy + radius), fill=(255, 255, 255, alpha))
    p.overlay(rings)
    # Two snapshots fanned out on the right, clear of the close button's corner.
    for centre, degrees in (((600, 118), 10), ((665, 128), -7)):
        p.shadow((centre[0] - 68, centre[1] - 44, centre[0] + 72, centre[1] + 56), 6, 6, 70)
        paste_rotated(p, photo(scale, 140, 100), centre, degrees)
    p.text((64, 92), "晴川看图", 46, rgba(WHITE), anchor="lm")
    p.text((66, 146), "轻巧 · 快速 · 清晰的图片浏览体验", 18, rgba(WHITE, 220), anchor="lm")
    return p.finish()


def product_icon(p, box):
    """The product icon (as in logo.ico): a blue tile with a framed landscape."""
    l, t, r, b = box
    s = (r - l) / 256.0
    p.shadow((l + 6 * s, t + 14 * s, r - 6 * s, b), 48 * s, 5, 60)
    p.gradient((l + 8 * s, t + 8 * s, r - 8 * s, b - 8 * s), (0x4A, 0x9B, 0xFF), DEEP_BLUE, radius=48 * s)

    def motif(d):
        d.rounded_rectangle(p.px(l + 52 * s, t + 68 * s, l + 204 * s, t + 188 * s), radius=14 * s * p.k,
                            outline=rgba(WHITE), width=max(1, round(12 * s * p.k)))
        d.ellipse(p.px(l + 140 * s, t + 96 * s, l + 172 * s, t + 128 * s), fill=rgba(WHITE))
        d.polygon(p.px(l + 70 * s, t + 176 * s, l + 112 * s, t + 128 * s, l + 154 * s, t + 176 * s), fill=rgba(WHITE))
        d.polygon(p.px(l + 128 * s, t + 176 * s, l + 160 * s, t + 146 * s, l + 192 * s, t + 176 * s), fill=rgba(WHITE, 200))
    p.overlay(motif)


def product_logo(scale):
    p = Picture(146, 199, scale)
    product_icon(p, (13, 6, 133, 126))
    p.text((73, 152), "晴川看图", 24, rgba(TEXT))
    p.text((73, 180), "QingChuan Viewer", 12, rgba(HINT))
    return p.finish()


def close_button(scale):
    p = Picture(20, 20, scale)

    def cross(d):
        d.ellipse(p.px(0, 0, 20, 20), fill=(255, 255, 255, 36))
        width = round(1.8 * p.k)
        d.line(p.px(6, 6, 14, 14), fill=rgba(WHITE), width=width)
        d.line(p.px(14, 6, 6, 14), fill=rgba(WHITE), width=width)
    p.overlay(cross)
    return p.finish()


def combo_frame(scale, edge, arrow):
    """A drop-down frame: stretchable field, fixed arrow cell at the right."""
    p = Picture(60, 36, scale)

    def frame(d):
        d.rounded_rectangle(p.px(0, 0, 60, 36), radius=2 * p.k, fill=rgba(WHITE), outline=rgba(edge), width=p.k)
        d.line(p.px(47, 16, 51, 20, 55, 16), fill=rgba(arrow), width=round(1.5 * p.k), joint="curve")
    p.overlay(frame)
    return p.finish()


def caption_button(scale, width, height, radius, caption, size):
    p = Picture(width, height, scale)
    p.gradient((0, 0, width, height), LIGHT_BLUE, BLUE, radius=radius, horizontal=True)
    p.overlay(lambda d: d.rounded_rectangle(p.px(0, 0, width, height / 2), radius=radius * p.k,
                                            fill=(255, 255, 255, 22)))
    p.text((width / 2, height / 2), caption, size, rgba(WHITE))
    return p.finish()


def guide_card(scale, caption, hint, glyph):
    p = Picture(260, 90, scale)
    p.overlay(lambda d: d.rounded_rectangle(p.px(0.5, 0.5, 259.5, 89.5), radius=8 * p.k, fill=(0xF2, 0xF7, 0xFF, 255),
                                            outline=(0xD6, 0xE6, 0xFD, 255), width=p.k))
    p.gradient((24, 20, 74, 70), LIGHT_BLUE, BLUE, radius=25)
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


def install_card(scale):
    p = Picture(400, 200, scale)
    p.gradient((0, 0, 400, 200), LIGHT_BLUE, DEEP_BLUE, radius=12)

    def decor(d):
        d.ellipse(p.px(280, -60, 460, 120), fill=(255, 255, 255, 26))
        d.ellipse(p.px(-50, 120, 110, 280), fill=(255, 255, 255, 18))
        w = round(5 * p.k)
        d.line(p.px(200, 42, 200, 92), fill=rgba(WHITE), width=w)
        d.line(p.px(180, 74, 200, 94, 220, 74), fill=rgba(WHITE), width=w, joint="curve")
        d.line(p.px(172, 106, 228, 106), fill=rgba(WHITE), width=w)
    p.overlay(decor)
    p.text((200, 148), "立即安装", 32, rgba(WHITE))
    return p.finish()


def customer_service_icon(scale):
    p = Picture(23, 22, scale)

    def headset(d):
        w = round(1.6 * p.k)
        d.arc(p.px(3, 2, 20, 19), start=180, end=360, fill=rgba(HINT), width=w)
        d.rounded_rectangle(p.px(2, 9, 7, 17), radius=1.5 * p.k, fill=rgba(HINT))
        d.rounded_rectangle(p.px(16, 9, 21, 17), radius=1.5 * p.k, fill=rgba(HINT))
        d.arc(p.px(7, 10, 19, 21), start=30, end=90, fill=rgba(HINT), width=round(1.2 * p.k))
    p.overlay(headset)
    return p.finish()


def progress_fill(scale):
    p = Picture(440, 10, scale)
    p.gradient((0, 0, 440, 10), LIGHT_BLUE, BLUE, horizontal=True)
    p.overlay(lambda d: d.rectangle(p.px(0, 0, 440, 4), fill=(255, 255, 255, 40)))
    return p.finish()


# Name -> (drawing, size in standard-skin pixels).
PICTURES = {
    "表头模块.png": (header_banner, (800, 210)),
    "组合logo.png": (product_logo, (146, 199)),
    "close_button.png": (close_button, (20, 20)),
    "combo3_nr.png": (lambda s: combo_frame(s, FRAME, HINT), (60, 36)),
    "combo3_ov.png": (lambda s: combo_frame(s, BLUE, BLUE), (60, 36)),
    "首页按钮.png": (lambda s: caption_button(s, 360, 60, 6, "立即安装", 22), (360, 60)),
    "安装主页安装教程.png": (lambda s: guide_card(s, "安装教程", "一步一步完成安装", book_glyph), (260, 90)),
    "安装主页使用帮助.png": (lambda s: guide_card(s, "使用帮助", "常见问题与使用技巧", question_glyph), (260, 90)),
    "安装主页立即安装.png": (install_card, (400, 200)),
    "customer_service_icon.png": (customer_service_icon, (23, 22)),
    "进度条前景.png": (progress_fill, (440, 10)),
    "进度条按钮.png": (lambda s: caption_button(s, 240, 50, 25, "确定", 18), (240, 50)),
}


def main(argv):
    if argv[1:] == ["--list"]:
        sys.stdout.buffer.write("".join(name + "\n" for name in PICTURES).encode("utf-8"))
        return 0
    if len(argv) != 3 or argv[1] not in ("1", "2"):
        sys.stderr.write(__doc__)
        return 2
    scale, folder = int(argv[1]), argv[2]
    os.makedirs(folder, exist_ok=True)
    for name, (draw, (width, height)) in PICTURES.items():
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
