#!/usr/bin/python3
"""The send conversion of render_bench's reference playbill done with Pillow and
numpy, for a side-by-side figure: the same 32 regions of 128 x 64 on a
tri-colour card, each with a 20-character single-line text, a 200-character
multi-line text of four runs and an image group of three BMP files. Texts are
drawn character by character without antialiasing in the same font at 16
pixels (12 points at 96 dpi), single-line texts one picture per picture width
of the line, multi-line texts wrapped at the right edge and four lines to a
picture; every picture is thresholded (red <= 90, green <= 70, blue <= 80)
into three planes of 8 pixels a byte, interleaved red, green, blue.

Run with Debian's interpreter and python3-pil, python3-numpy (scripts/setup):
    /usr/bin/python3 bench/render_reference.py [iterations]
Prints the median wall and processor time and the best wall time of one whole
conversion and its byte count,
which matches the C++ benchmark's displayBytes.
"""

import os
import statistics
import sys
import tempfile
import time

import numpy as np
from PIL import Image, ImageDraw, ImageFont

WIDTH, HEIGHT = 128, 64
REGIONS = 8 * 4
FONT_FILE = "/usr/share/fonts/truetype/arphic/uming.ttc"  # index 0: AR PL UMing CN
PIXELS = 16
THRESHOLDS = np.array([90, 70, 80], dtype=np.uint8)
RED, GREEN, YELLOW = (255, 0, 0), (0, 255, 0), (255, 255, 0)


def repeated(pattern, length):
    text = ""
    while len(text) < length:
        text += pattern
    return text[:length]


def make_images(folder):
    paths = []
    for i in range(3):
        image = Image.new("RGB", (WIDTH, HEIGHT))
        draw = ImageDraw.Draw(image)
        draw.rectangle([8 * i, 4, 8 * i + 39, 33], fill=RED)
        draw.rectangle([60, 10 + 8 * i, 109, 49 + 8 * i], fill=YELLOW)
        draw.rectangle([20, 40, 109, 59 - 4 * i], fill=(0, 255, 255))
        path = os.path.join(folder, "picture%d.bmp" % i)
        image.save(path, "BMP")
        paths.append(path)
    return paths


class Glyphs:
    """Advances measured once per character, as the C++ layouts cache them."""

    def __init__(self):
        self.font = ImageFont.truetype(FONT_FILE, PIXELS, index=0)
        self.advances = {}

    def advance(self, ch):
        a = self.advances.get(ch)
        if a is None:
            a = self.advances[ch] = int(round(self.font.getlength(ch)))
        return a


def new_picture():
    image = Image.new("RGB", (WIDTH, HEIGHT))
    draw = ImageDraw.Draw(image)
    draw.fontmode = "1"  # no antialiasing
    return image, draw


def single_line(glyphs, text, colour):
    pictures = []
    image, draw = new_picture()
    pen = 0
    y = (HEIGHT - PIXELS) // 2
    for ch in text:
        a = glyphs.advance(ch)
        if pen + a > WIDTH and pen > 0:
            pictures.append(image)
            image, draw = new_picture()
            pen = 0
        draw.text((pen, y), ch, font=glyphs.font, fill=colour)
        pen += a
    pictures.append(image)
    return pictures


def multi_line(glyphs, runs):
    pictures = []
    image, draw = new_picture()
    pen, top = 0, 0
    for text, colour in runs:
        for ch in text:
            if ch == "\r":
                pen, top = 0, top + PIXELS
                break
            a = glyphs.advance(ch)
            if pen + a > WIDTH and pen > 0:
                pen, top = 0, top + PIXELS
            if top + PIXELS > HEIGHT:
                pictures.append(image)
                image, draw = new_picture()
                top = 0
            draw.text((pen, top), ch, font=glyphs.font, fill=colour)
            pen += a
    pictures.append(image)
    return pictures


def bit_planes(image):
    pixels = np.asarray(image, dtype=np.uint8).reshape(-1, 3)
    unlit = pixels <= THRESHOLDS  # a 1 bit is an unlit LED
    planes = np.packbits(unlit, axis=0)  # one byte per plane per 8 pixels, first pixel in bit 7
    return planes.tobytes()  # row-major: red, green, blue of each group


def convert(glyphs, single, multi_runs, image_files):
    data = bytearray()
    for _ in range(REGIONS):
        for picture in single_line(glyphs, single, RED):
            data += bit_planes(picture)
        for picture in multi_line(glyphs, multi_runs):
            data += bit_planes(picture)
        for path in image_files:
            with Image.open(path) as image:
                data += bit_planes(image.convert("RGB"))
    return data


def main():
    iterations = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    single = repeated("欢迎光临LED显示屏ABCD", 20)
    body = repeated("多行文本内容示例，Multi-line text sample. ", 200)
    multi_runs = [(body[50 * i:50 * i + 50] + ("\r\n" if i < 3 else ""), YELLOW if i % 2 else GREEN)
                  for i in range(4)]
    glyphs = Glyphs()
    with tempfile.TemporaryDirectory() as folder:
        image_files = make_images(folder)
        convert(glyphs, single, multi_runs, image_files)  # warm: font loaded, advances measured
        times, cpu = [], []
        size = 0
        for _ in range(iterations):
            start, start_cpu = time.perf_counter(), time.process_time()
            size = len(convert(glyphs, single, multi_runs, image_files))
            times.append((time.perf_counter() - start) * 1000)
            cpu.append((time.process_time() - start_cpu) * 1000)
    print("pillow+numpy send conversion: median %.1f ms, cpu %.1f ms, best %.1f ms over %d runs, %d display bytes"
          % (statistics.median(times), statistics.median(cpu), min(times), iterations, size))


if __name__ == "__main__":
    main()
