#!/usr/bin/python3
"""Checks the window pictures and the icons that tools/make-bitmaps draws.

Regenerates everything into a temporary folder and checks: the BMP format the game's loader
needs, the sizes the window layout needs, that the committed files are exactly what the tool
makes, that no pixel is blended towards the magenta key, that every piece cell holds a piece
of the right shade, that SDL 1.2 itself reads the files as this script does, and that the icon
shows one design at every size and as SVG (drawn by librsvg's rsvg-convert). Prints the
readable board's contrasts (clearboard=on, as tools/contrast-figures measures them) and fails
below 3:1: each piece must stand out from both squares by its body or its outline, and from the
dark square by its body (a black piece that shows only a light outline there reads as a white
one), and each mark's ring from its square.

Usage: check_bitmaps.py REPO_ROOT
"""

import ctypes
import ctypes.util
import importlib.machinery
import importlib.util
import os
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


def load_tool(repo, name):
  """A program of tools/ as a module."""
  path = os.path.join(repo, "tools", name)
  loader = importlib.machinery.SourceFileLoader(name.replace("-", "_"), path)
  module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
  loader.exec_module(module)
  return module


def check_pieces(figures, sheet, name, cell=CELL, black_outline="light"):
  for side, piece, rows in figures.cells_of(sheet[2], cell):
    what = "%s: %s %s" % (name, side, piece)
    solid = [(x, y) for y in range(cell) for x in range(cell) if rows[y][x] != KEY]
    check(len(solid) >= 250 * (cell // CELL) ** 2, what + ": the cell holds a piece")
    frame = rows[0] + rows[-1] + [r[0] for r in rows] + [r[-1] for r in rows]
    check(all(p == KEY for p in frame), what + ": the piece stays inside its cell")
    mean = sum(luminance(rows[y][x]) for x, y in solid) / max(1, len(solid))
    check(mean > 140 if side == "white" else mean < 120, what + ": light or dark on average")
    rim = [rows[y][x] for x, y in figures.rim_of(rows, solid)]
    dark_rim = sum(luminance(p) < 80 for p in rim)
    light_rim = sum(luminance(p) > 180 for p in rim)
    edge_ok = dark_rim == len(rim) if side == "white" or black_outline == "dark" else (
        light_rim == len(rim))
    check(rim and edge_ok, what + ": outline dark on white pieces, %s on black ones" %
          black_outline)


def check_contrasts(repo, figures, pics):
  """The readable board's figures, printed and held to 3:1."""
  tool = load_tool(repo, "make-bitmaps")
  squares, marks = figures.board_colours(repo)
  light, dark = squares["CLEAR_LIGHT_SQUARE"], squares["CLEAR_DARK_SQUARE"]
  check(len(marks) == 3 and (light, dark) == (tool.CLEAR_LIGHT_SQUARE, tool.CLEAR_DARK_SQUARE) and
        sorted(marks.values()) == sorted(tool.CLEAR_MARKS.values()) and
        figures.PLAIN_SQUARES == (tool.LIGHT_SQUARE, tool.DARK_SQUARE),
        "make-bitmaps and contrast-figures use the colours of draw.h and clear_board.h")
  for name, cell in (("clear-pieces.bmp", CELL), ("clear-pieces-2x.bmp", 2 * CELL)):
    rows = figures.piece_figures(pics[name][2], cell, light, dark)
    figures.print_pieces(name, light, dark, rows)
    for side, piece, body, _, body_light, body_dark, edge_light, _ in rows:
      what = "%s: %s %s" % (name, side, piece)
      check(max(body_light, edge_light) >= MIN_CONTRAST,
            what + ": body or outline stands out from the light square by 3:1")
      # On the dark square the body itself must stand out, lighter or darker as its side.
      lighter = figures.relative_luminance(body) > figures.relative_luminance(dark)
      check(body_dark >= MIN_CONTRAST and lighter == (side == "white"),
            what + ": body stands out from the dark square by 3:1, on its side of it")
  rows = figures.mark_figures(marks, light, dark)
  figures.print_marks(light, dark, rows)
  for mark, _, to_light, _, to_dark in rows:
    check(min(to_light, to_dark) >= MIN_CONTRAST, mark + ": its rings stand out by 3:1")


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
    figures = load_tool(repo, "contrast-figures")
    check_pieces(figures, pics["piece.bmp"], "piece.bmp")
    check_pieces(figures, pics["clear-pieces.bmp"], "clear-pieces.bmp", black_outline="dark")
    check_pieces(figures, pics["clear-pieces-2x.bmp"], "clear-pieces-2x.bmp", 2 * CELL, "dark")
    check_contrasts(repo, figures, pics)
    check_pictures(pics)
    check_sdl_reads(out, pics)
    check_icons(icons, os.path.join(repo, "data", "icons", "hicolor"))


if __name__ == "__main__":
  main(sys.argv[1] if len(sys.argv) > 1 else
       os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
  print("bitmaps: %d passed, %d failed" % (passed, len(failures)))
  sys.exit(1 if failures else 0)
