"""Screenshots as numbers. An X window dump is read here directly and any
other picture through ImageMagick, once per file; every measure after that
is arithmetic on the pixels, so a recording of a hundred shots costs
milliseconds a shot rather than a process per measure. Grey is what
ImageMagick's Gray colorspace gives (Rec. 709 luma of the stored values), so
levels read off a picture with ImageMagick mean the same here."""
import functools
import os
import re
import struct
import subprocess

import numpy

LUMA = numpy.array([0.212656, 0.715158, 0.072186], dtype=numpy.float32)


def _read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    # The header's 25 fields are written most significant byte first.
    (header_size, _version, _format, _depth, width, height, _xoffset, byte_order, _unit, _bit_order,
     _pad, bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask, blue_mask, _bits_per_rgb,
     _entries, colours) = struct.unpack(">20I", data[:80])
    if bits_per_pixel not in (24, 32):
        raise ValueError("%s: %d bits a pixel" % (path, bits_per_pixel))
    start = header_size + 12 * colours
    rows = numpy.frombuffer(data, numpy.uint8, bytes_per_line * height, start).reshape(height, bytes_per_line)
    size = bits_per_pixel // 8
    raw = rows[:, :width * size].reshape(height, width, size).astype(numpy.uint32)
    order = range(size) if byte_order == 0 else reversed(range(size))
    value = sum(raw[:, :, i] << (8 * shift) for shift, i in enumerate(order))
    channels = []
    for mask in (red_mask, green_mask, blue_mask):
        shift = (mask & -mask).bit_length() - 1
        channels.append(((value & mask) >> shift).astype(numpy.uint8))
    return numpy.stack(channels, axis=2)


def _read_other(path):
    out = subprocess.run(["convert", path, "-depth", "8", "-format", "%w %h\n", "-write", "info:-", "rgb:-"],
                         check=True, capture_output=True, timeout=60).stdout
    head, pixels = out.split(b"\n", 1)
    width, height = map(int, head.split())
    return numpy.frombuffer(pixels, numpy.uint8, width * height * 3).reshape(height, width, 3)


@functools.lru_cache(maxsize=128)
def _pixels(path, _stamp):
    return _read_xwd(path) if path.endswith(".xwd") else _read_other(path)


def pixels(path):
    """The picture as rows of (red, green, blue) bytes. A file written again
    under the same name (a screenshot taken over and over) is read again."""
    st = os.stat(path)
    return _pixels(path, (st.st_mtime_ns, st.st_size))


def crop(image, geometry):
    """The part WxH+X+Y of an image (rows, columns, ...), cut to the image."""
    w, h, x, y = map(int, re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", geometry).groups())
    return image[y:y + h, x:x + w]


def grey(path, geometry=None):
    """Grey levels 0..1 of a picture or of a part WxH+X+Y of it."""
    image = pixels(path)
    if geometry:
        image = crop(image, geometry)
    return image.astype(numpy.float32) @ LUMA / 255.0


def stats(path, geometry=None):
    """Mean and standard deviation of the grey levels."""
    g = grey(path, geometry)
    return float(g.mean()), float(g.std())


def lit_fraction(path, level=0.06, geometry=None):
    """Share of pixels whose grey level is above `level`."""
    return float((grey(path, geometry) > level).mean())


def _grey_delta(path_a, path_b):
    """Grey of the absolute difference, channel by channel, of two pictures
    of one size: what a difference composite turned grey measures."""
    a, b = pixels(path_a), pixels(path_b)
    if a.shape != b.shape:
        raise ValueError("%s and %s differ in size" % (path_a, path_b))
    delta = numpy.abs(a.astype(numpy.int16) - b.astype(numpy.int16)).astype(numpy.float32)
    return delta @ LUMA / 255.0


def difference(path_a, path_b):
    """Mean absolute difference (0..1) of two pictures of one size."""
    return float(_grey_delta(path_a, path_b).mean())


def changed_share(path_a, path_b, level=0.1):
    """Share of the pixels of two pictures of one size that differ by more than `level`."""
    return float((_grey_delta(path_a, path_b) > level).mean())
