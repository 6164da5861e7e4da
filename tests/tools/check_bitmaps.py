#!/usr/bin/python3
"""Checks the window pictures and the icons that tools/make-bitmaps draws.

Regenerates everything into a temporary folder and checks: the BMP format the game's loader
needs, the sizes the window layout needs, that the committed files are exactly what the tool
makes, that no pixel is blended towards the magenta key, that every piece cell holds a piece
of the right shade, that SDL 1.2 itself reads the files as this script does, and that the icon
shows one design at every size and as SVG (drawn by librsvg's rsvg-convert). Prints the luminance
contrasts (WCAG: (L1 + 0.05) / (L2 + 0.05) of relative luminances) of each piece's body and
outline with both squares, for the designed board and the readable one of clearboard=on, and of
the readable board's marks with the squares they are drawn on, and fails below 3:1 on the
readable board: there each piece must stand out from both squares by its body or its outline,
and from the dark square by its body (a black piece that shows only a light outline there reads
as a white one), and each mark from its square. The readable board's colours are read from
src/shell/clear_board.h, what the game draws, and must be those make-bitmaps draws its preview
with.

Usage: check_bitmaps.py REPO_ROOT
"""

import ctypes
import ctypes.util
import importlib.machinery
import importlib.util
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

from PIL import Image

KEY = (255, 0, 255)
NAMES = ("piece.bmp", "dialog.bmp", "progress.bmp", "white.bmp", "black.bmp", "draw.bmp",
         "clear-pieces.bmp", "clear-pieces-2x.bmp")
PIECES = ("pawn", "knight", "bishop", "rook", "queen", "king")
MIN_CONTRAST = 3.0
WINDOW, MARGIN, BOARD = 460, 46, 368  # the window's side, the margin round the board, the board
CELL = 40
ICON_SIZES = (48, 64, 128, 256)
ICON_FILES = ["%dx%d/apps/morva.png" % (n, n) for n in ICON_SIZES] + ["scalable/apps/morva.svg"]

failures = []
passed = 0


def check(ok, what):
  global passed
  if ok:
    passed += 1
  else:
    failures.append(what)
    print("FAILED: " + what)


def read_bmp(path):
  """(width, height, rows of (r, g, b) top row first) of a 24-bit BI_RGB BMP, or None."""
  data = open(path, "rb").read()
  magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
  hsize, w, h, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
  name = os.path.basename(path)
  check(magic == b"BM" and size == len(data), name + ": BM header with the file's length")
  check(hsize == 40 and planes == 1 and bpp == 24 and compression == 0,
        name + ": BITMAPINFOHEADER, 24 bits per pixel, BI_RGB")
  stride = (w * 3 + 3) & ~3
  if not (bpp == 24 and h > 0 and offset + stride * h <= len(data)):
    check(False, name + ": bottom-up pixel rows inside the file")
    return None
  rows = []
  for y in range(h - 1, -1, -1):
    base = offset + y * stride
    rows.append([tuple(data[base + 3 * x + 2 - c] for c in range(3)) for x in range(w)])
  return w, h, rows


def pinkish(p):
  """A colour on the way from a neutral or piece colour towards the magenta key."""
  return p != KEY and min(p[0], p[2]) - p[1] > 60


def luminance(p):
  return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]


def check_sizes(pics):
  for name, cell in (("piece.bmp", CELL), ("clear-pieces.bmp", CELL),
                     ("clear-pieces-2x.bmp", 2 * CELL)):
    w, h, _ = pics[name]
    check((w, h) == (6 * cell, 2 * cell), "%s is 6 x 2 cells of %d x %d" % (name, cell, cell))
  dw, dh, _ = pics["dialog.bmp"]
  bw, bh, _ = pics["progress.bmp"]
  check(8 + bw <= dw and 6 + bh <= dh and bw >= 100 and bh >= 6,
        "dialog.bmp holds the progress bar at (8, 6)")
  check(dh <= MARGIN - 5 and dw <= WINDOW // 2, "the dialog fits the margin below the board")
  ew, eh, _ = pics["white.bmp"]
  check(pics["black.bmp"][:2] == pics["draw.bmp"][:2] == (ew, eh),
        "white.bmp, black.bmp and draw.bmp have one size")
  check(ew <= BOARD and eh <= BOARD, "the end pictures fit on the board")


def cells_of(sheet, cell):
  """(side, piece, cell's rows) for the twelve cells of a sheet."""
  _, _, rows = sheet
  for row, side in enumerate(("white", "black")):
    for col, piece in enumerate(PIECES):
      yield side, piece, [r[col * cell:(col + 1) * cell] for r in rows[row * cell:(row + 1) * cell]]


def rim_of(cell, solid):
  """The places of the piece's pixels that touch the magenta ground: its outline."""
  size = len(cell)

  def key_at(x, y):
    return not (0 <= x < size and 0 <= y < size) or cell[y][x] == KEY

  return [(x, y) for x, y in solid
          if any(key_at(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]


def check_pieces(sheet, name, cell=CELL, black_outline="light"):
  for side, piece, rows in cells_of(sheet, cell):
    what = "%s: %s %s" % (name, side, piece)
    solid = [(x, y) for y in range(cell) for x in range(cell) if rows[y][x] != KEY]
    check(len(solid) >= 250 * (cell // CELL) ** 2, what + ": the cell holds a piece")
    frame = rows[0] + rows[-1] + [r[0] for r in rows] + [r[-1] for r in rows]
    check(all(p == KEY for p in frame), what + ": the piece stays inside its cell")
    mean = sum(luminance(rows[y][x]) for x, y in solid) / max(1, len(solid))
    check(mean > 140 if side == "white" else mean < 120, what + ": light or dark on average")
    rim = [rows[y][x] for x, y in rim_of(rows, solid)]
    dark_rim = sum(luminance(p) < 80 for p in rim)
    light_rim = sum(luminance(p) > 180 for p in rim)
    edge_ok = dark_rim == len(rim) if side == "white" or black_outline == "dark" else (
        light_rim == len(rim))
    check(rim and edge_ok, what + ": outline dark on white pieces, %s on black ones" %
          black_outline)


def relative_luminance(p):
  """WCAG relative luminance of an sRGB colour."""
  def linear(c):
    c /= 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
  r, g, b = (linear(c) for c in p)
  return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
  """WCAG contrast ratio of two colours, 1 to 21."""
  la, lb = sorted((relative_luminance(a), relative_luminance(b)), reverse=True)
  return (la + 0.05) / (lb + 0.05)


def most_common(colours):
  return max(set(colours), key=colours.count) if colours else KEY


def body_and_outline(rows):
  """The colour most of a piece's inside is (its body) and most of its outline is."""
  size = len(rows)
  solid = [(x, y) for y in range(size) for x in range(size) if rows[y][x] != KEY]
  rim = set(rim_of(rows, solid))
  return (most_common([rows[y][x] for x, y in solid if (x, y) not in rim]),
          most_common([rows[y][x] for x, y in rim]))


def piece_contrasts(sheet, cell, light, dark, name, checked):
  """Prints each piece's body and outline contrast with both squares; when checked, fails a
  piece that stands out from a square by neither, or from the dark square not by its body."""
  print("%s on light %s and dark %s: body and outline contrast" % (name, light, dark))
  print("  %-13s %-16s %-16s %9s %9s %9s %9s" % ("piece", "body", "outline", "body/L",
                                                  "body/D", "edge/L", "edge/D"))
  for side, piece, rows in cells_of(sheet, cell):
    body, outline = body_and_outline(rows)
    figures = [contrast(body, light), contrast(body, dark), contrast(outline, light),
               contrast(outline, dark)]
    print("  %-13s %-16s %-16s %8.2f:1 %8.2f:1 %8.2f:1 %8.2f:1" %
          ("%s %s" % (side, piece), body, outline, *figures))
    if checked:
      what = "%s: %s %s" % (name, side, piece)
      check(max(figures[0], figures[2]) >= MIN_CONTRAST,
            what + ": body or outline stands out from the light square by 3:1")
      check(figures[1] >= MIN_CONTRAST, what + ": body stands out from the dark square by 3:1")
      lighter = relative_luminance(body) > relative_luminance(dark)
      check(lighter == (side == "white"), what + ": body %s than the dark square" %
            ("lighter" if side == "white" else "darker"))


def header_colours(repo):
  """The readable board's colours as src/shell/clear_board.h gives them: squares by name, and
  each mark's (on a light square, on a dark square)."""
  text = open(os.path.join(repo, "src", "shell", "clear_board.h")).read()
  number = r"\{(\d+), (\d+), (\d+)\}"
  squares = {m[0]: tuple(int(v) for v in m[1:]) for m in re.findall(
      r"Rgb (CLEAR_\w+_SQUARE) = " + number, text)}
  marks = {m[0]: (tuple(int(v) for v in m[1:4]), tuple(int(v) for v in m[4:7])) for m in
           re.findall(r"MarkColours CLEAR_(\w+) = \{" + number + ", " + number + r"\}", text)}
  return squares, marks


def load_tool(repo):
  path = os.path.join(repo, "tools", "make-bitmaps")
  loader = importlib.machinery.SourceFileLoader("make_bitmaps", path)
  module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
  loader.exec_module(module)
  return module


def check_contrasts(repo, pics):
  tool = load_tool(repo)
  squares, marks = header_colours(repo)
  light, dark = squares.get("CLEAR_LIGHT_SQUARE"), squares.get("CLEAR_DARK_SQUARE")
  check(light and dark and len(marks) == 3, "clear_board.h gives the readable board's colours")
  if not (light and dark and len(marks) == 3):
    return
  check((light, dark) == (tool.CLEAR_LIGHT_SQUARE, tool.CLEAR_DARK_SQUARE) and
        sorted(marks.values()) == sorted(tool.CLEAR_MARKS.values()),
        "make-bitmaps draws its preview with the colours of clear_board.h")
  piece_contrasts(pics["piece.bmp"], CELL, tool.LIGHT_SQUARE, tool.DARK_SQUARE,
                  "piece.bmp (the designed board, not checked)", False)
  for name, cell in (("clear-pieces.bmp", CELL), ("clear-pieces-2x.bmp", 2 * CELL)):
    piece_contrasts(pics[name], cell, light, dark, name, True)
  print("marks of the readable board: ring on a light square, ring on a dark square")
  for mark, (on_light, on_dark) in sorted(marks.items()):
    figures = contrast(on_light, light), contrast(on_dark, dark)
    print("  %-10s %-16s %6.2f:1   %-16s %6.2f:1" % (mark.lower(), on_light, figures[0], on_dark,
                                                     figures[1]))
    check(min(figures) >= MIN_CONTRAST, mark.lower() + ": its rings stand out by 3:1")


def check_double_sheet(pics):
  """The 80-pixel sheet is the 40-pixel one drawn larger."""
  w, h, rows = pics["clear-pieces-2x.bmp"]
  big = Image.new("RGB", (w, h))
  big.putdata([p for r in rows for p in r])
  w1, h1, rows1 = pics["clear-pieces.bmp"]
  small = Image.new("RGB", (w1, h1))
  small.putdata([p for r in rows1 for p in r])
  difference = grey_difference(big.resize((w1, h1), Image.BOX), small)
  print("clear-pieces-2x.bmp reduced to 40 pixels a cell: %.1f grey levels from clear-pieces.bmp"
        % difference)
  # Measured: 3.3 grey levels, from the outlines and detail lines placed to the pixel.
  check(difference < 8, "clear-pieces-2x.bmp is clear-pieces.bmp drawn at twice the size "
        "(%.1f grey levels apart)" % difference)


def check_pictures(pics):
  for name, (w, h, rows) in pics.items():
    check(not any(pinkish(p) for r in rows for p in r), name + ": no pixel blended into magenta")
  _, _, bar = pics["progress.bmp"]
  check(all(p != KEY for r in bar for p in r), "progress.bmp: no transparent hole in the bar")
  _, _, dlg = pics["dialog.bmp"]
  bw, bh, _ = pics["progress.bmp"]
  slot = [dlg[y][x] for y in range(6, 6 + bh) for x in range(8, 8 + bw)]
  check(all(p != KEY for p in slot), "dialog.bmp: the bar's slot is opaque")
  for name in ("white.bmp", "black.bmp", "draw.bmp"):
    w, h, rows = pics[name]
    check(rows[0][0] == KEY and rows[-1][-1] == KEY and rows[h // 2][w // 2] != KEY,
          name + ": a shape on a magenta ground")
  white = sum(luminance(p) for r in pics["white.bmp"][2] for p in r if p != KEY)
  black = sum(luminance(p) for r in pics["black.bmp"][2] for p in r if p != KEY)
  check(white > black, "white.bmp is the lighter end picture")


def sdl_surface_type():
  class Surface(ctypes.Structure):
    _fields_ = [("flags", ctypes.c_uint32), ("format", ctypes.c_void_p), ("w", ctypes.c_int),
                ("h", ctypes.c_int), ("pitch", ctypes.c_uint16), ("pixels", ctypes.c_void_p)]

  return Surface


def check_sdl_reads(folder, pics):
  """Loads every file with SDL 1.2's own loader and compares sizes and every pixel."""
  lib = ctypes.util.find_library("SDL-1.2") or "libSDL-1.2.so.0"
  try:
    sdl = ctypes.CDLL(lib)
  except OSError:
    check(False, "SDL 1.2 is installed to load the pictures with")
    return
  surface = sdl_surface_type()
  sdl.SDL_RWFromFile.restype = ctypes.c_void_p
  sdl.SDL_RWFromFile.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
  sdl.SDL_LoadBMP_RW.restype = ctypes.POINTER(surface)
  sdl.SDL_LoadBMP_RW.argtypes = [ctypes.c_void_p, ctypes.c_int]
  sdl.SDL_FreeSurface.argtypes = [ctypes.POINTER(surface)]
  sdl.SDL_GetRGB.argtypes = [ctypes.c_uint32, ctypes.c_void_p] + [ctypes.c_void_p] * 3
  for name, (w, h, rows) in pics.items():
    rw = sdl.SDL_RWFromFile(os.path.join(folder, name).encode(), b"rb")
    s = sdl.SDL_LoadBMP_RW(rw, 1) if rw else None
    if not s:
      check(False, name + ": SDL_LoadBMP reads it")
      continue
    check((s.contents.w, s.contents.h) == (w, h), name + ": SDL sees the same size")
    bpp = ctypes.cast(s.contents.format, ctypes.POINTER(ctypes.c_uint8 * 10)).contents[9]
    raw = ctypes.string_at(s.contents.pixels, s.contents.pitch * h)
    rgb = (ctypes.c_uint8 * 3)()
    same = True
    for y in range(h):
      for x in range(w):
        at = y * s.contents.pitch + x * bpp
        value = int.from_bytes(raw[at:at + bpp], "little")
        sdl.SDL_GetRGB(value, s.contents.format, ctypes.byref(rgb, 0), ctypes.byref(rgb, 1),
                       ctypes.byref(rgb, 2))
        same = same and tuple(rgb) == rows[y][x]
    check(same, name + ": SDL reads every pixel as written")
    sdl.SDL_FreeSurface(s)


def grey_difference(a, b):
  """Mean difference of two RGBA pictures of one size, each laid over mid grey, in grey levels."""
  ground = Image.new("RGBA", a.size, (128, 128, 128, 255))
  a, b = (Image.alpha_composite(ground, p.convert("RGBA")).convert("L") for p in (a, b))
  return sum(abs(p - q) for p, q in zip(a.getdata(), b.getdata())) / (a.width * a.height)


def check_icons(fresh, committed):
  for name in ICON_FILES:
    path = os.path.join(committed, name)
    check(os.path.exists(path) and open(path, "rb").read() == open(os.path.join(fresh, name),
                                                                   "rb").read(),
          "data/icons/hicolor/%s is byte for byte what the tool makes" % name)
  largest = Image.open(os.path.join(fresh, ICON_FILES[-2]))
  for n, name in zip(ICON_SIZES, ICON_FILES):
    img = Image.open(os.path.join(fresh, name))
    check(img.mode == "RGBA" and img.size == (n, n), "icon %d: square RGBA PNG of that size" % n)
    alpha = img.getchannel("A")
    check(alpha.getpixel((0, 0)) == 0 and alpha.getpixel((n - 1, n - 1)) == 0
          and alpha.getpixel((n // 2, n // 2)) == 255, "icon %d: opaque on a transparent ground" % n)
    # Measured: 1.1 to 3.9 grey levels from the largest icon scaled down.
    check(grey_difference(img, largest.resize((n, n), Image.LANCZOS)) < 6,
          "icon %d: the largest icon's design, scaled" % n)
  svg_path = os.path.join(fresh, ICON_FILES[-1])
  root = ElementTree.parse(svg_path).getroot()
  check(root.tag == "{http://www.w3.org/2000/svg}svg" and root.get("viewBox") == "0 0 128 128",
        "morva.svg: an SVG picture of 128 x 128 units")
  renderer = shutil.which("rsvg-convert")
  check(renderer, "rsvg-convert is installed to draw the SVG icon with (librsvg2-bin)")
  if renderer:
    drawn = os.path.join(os.path.dirname(fresh), "svg-256.png")
    subprocess.run([renderer, "-w", "256", "-h", "256", svg_path, "-o", drawn], check=True)
    # Measured: 0.5 grey levels; the two differ only in how edges are smoothed.
    check(grey_difference(Image.open(drawn), largest) < 1.5,
          "morva.svg drawn at 256 pixels is the 256-pixel icon")


def main(repo):
  tool = os.path.join(repo, "tools", "make-bitmaps")
  with tempfile.TemporaryDirectory() as tmp:
    out, icons = os.path.join(tmp, "bitmaps"), os.path.join(tmp, "hicolor")
    run = subprocess.run([sys.executable, tool, out, "--icons", icons], capture_output=True,
                         text=True)
    check(run.returncode == 0, "make-bitmaps runs: " + run.stderr.strip())
    if run.returncode != 0:
      return
    pics = {}
    for name in NAMES:
      fresh = os.path.join(out, name)
      pic = read_bmp(fresh)
      if pic:
        pics[name] = pic
      committed = os.path.join(repo, "data", "bitmaps", name)
      check(os.path.exists(committed) and open(committed, "rb").read() == open(fresh, "rb").read(),
            "data/bitmaps/%s is byte for byte what the tool makes" % name)
    if len(pics) != len(NAMES):
      return
    check_sizes(pics)
    check_pieces(pics["piece.bmp"], "piece.bmp")
    check_pieces(pics["clear-pieces.bmp"], "clear-pieces.bmp", black_outline="dark")
    check_pieces(pics["clear-pieces-2x.bmp"], "clear-pieces-2x.bmp", 2 * CELL, "dark")
    check_contrasts(repo, pics)
    check_double_sheet(pics)
    check_pictures(pics)
    check_sdl_reads(out, pics)
    check_icons(icons, os.path.join(repo, "data", "icons", "hicolor"))


if __name__ == "__main__":
  main(sys.argv[1] if len(sys.argv) > 1 else
       os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
  print("bitmaps: %d passed, %d failed" % (passed, len(failures)))
  sys.exit(1 if failures else 0)
