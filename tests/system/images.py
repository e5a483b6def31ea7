"""Images as the host build decodes them (tools/decode_image runs the
kernel's own image cache on the host), and the scaled, blended picture
the screen shows of one, for comparison with the running system."""
import os
import struct
import subprocess
import tempfile

from harness import ROOT


def decoder_tool():
    build = os.environ.get("TAVLIN_HOST_BUILD", os.path.join(ROOT, "build", "host"))
    return os.path.join(build, "tools", "decode_image")


def host_decoded(data):
    """(width, height, 0xAARRGGBB pixels) of an image file's bytes."""
    with tempfile.TemporaryDirectory(prefix="tavlin-img-") as tmp:
        src, out = os.path.join(tmp, "in"), os.path.join(tmp, "out")
        with open(src, "wb") as f:
            f.write(data)
        subprocess.run([decoder_tool(), src, out], check=True, capture_output=True)
        with open(out, "rb") as f:
            raw = f.read()
    w, h = struct.unpack_from("<II", raw)
    return w, h, list(struct.unpack_from(f"<{w * h}I", raw, 8))


def _blend(colour, old, alpha):
    out = 0
    for shift in (16, 8, 0):
        c, o = colour >> shift & 255, old >> shift & 255
        out |= (c * alpha + o * (255 - alpha)) // 255 << shift
    return out


def scaled(image, size, under):
    """Rows of the image drawn nearest-neighbour into size x size pixels
    over a plain colour, each pixel blended by its alpha."""
    w, h, pixels = image
    rows = []
    for r in range(size):
        sy = min(r * h // size, h - 1)
        row = []
        for c in range(size):
            p = pixels[sy * w + min(c * w // size, w - 1)]
            a = p >> 24
            row.append(under if a == 0 else p & 0xFFFFFF if a == 255 else _blend(p & 0xFFFFFF, under, a))
        rows.append(row)
    return rows
