"""Images as the host build decodes them (tools/decode_image runs the
kernel's own image cache on the host), and the scaled picture the screen
shows of one, for comparison with the running system."""
import os
import struct
import subprocess
import tempfile

from harness import host_tool, skip_without


def host_decoded(data, frame=None):
    """(width, height, 0xAARRGGBB pixels) of an image file's bytes, or of
    frame `frame` of a ZEVA video's."""
    tool = skip_without(host_tool("decode_image"))
    with tempfile.TemporaryDirectory(prefix="tavlin-img-") as tmp:
        src, out = os.path.join(tmp, "in"), os.path.join(tmp, "out")
        with open(src, "wb") as f:
            f.write(data)
        subprocess.run([tool, src, out] + ([] if frame is None else [str(frame)]), check=True, capture_output=True)
        with open(out, "rb") as f:
            raw = f.read()
    w, h = struct.unpack_from("<II", raw)
    return w, h, list(struct.unpack_from(f"<{w * h}I", raw, 8))


def scaled(image, size, height=None):
    """Rows of an opaque image drawn nearest-neighbour into size x size (or
    size x height)."""
    w, h, pixels = image
    dh = size if height is None else height
    assert all(p >> 24 == 255 for p in pixels), "an image with transparency"
    return [[pixels[min(r * h // dh, h - 1) * w + min(c * w // size, w - 1)] & 0xFFFFFF for c in range(size)]
            for r in range(dh)]
