"""Reading the running kernel's desktop tables (windows, file nodes, the
font) and where the dock's tiles are, for the system tests."""
import struct

WINDOW_SIZE = 2324      # one record of `windows`
MAX_WINDOWS = 8
TERM_LINES_AT, TERM_LINE_CAP, TERM_LINES = 96, 49, 14
TOP_BAR = 28

NODE_SIZE = 572
NODE_FORMAT = "<II28siii512sIIi"
MAX_NODES = 128
DIR, FILE = 0, 1


def _text(raw):
    return raw.split(b"\0", 1)[0].decode("latin-1")


def read_windows(m):
    """Every window slot as a dict of the fields the tests look at."""
    raw = m.read_bytes("windows", WINDOW_SIZE * MAX_WINDOWS)
    out = []
    for i in range(MAX_WINDOWS):
        w = raw[i * WINDOW_SIZE:(i + 1) * WINDOW_SIZE]
        in_use, app = struct.unpack_from("<II", w, 0)
        x, y, width, height = struct.unpack_from("<iiii", w, 40)
        minimized, = struct.unpack_from("<I", w, 72)
        count, = struct.unpack_from("<I", w, 784)
        cwd, = struct.unpack_from("<i", w, 840)
        lines = [_text(w[TERM_LINES_AT + k * TERM_LINE_CAP:TERM_LINES_AT + (k + 1) * TERM_LINE_CAP])
                 for k in range(TERM_LINES)]
        out.append(dict(in_use=in_use, app=app, title=_text(w[8:40]), x=x, y=y, w=width, h=height,
                        minimized=minimized, count=count, cwd=cwd,
                        lines=lines[:min(count, TERM_LINES)]))
    return out


def find_window(m, app):
    """(slot, window) of the first window of kind `app` in use, or None."""
    for slot, win in enumerate(read_windows(m)):
        if win["in_use"] and win["app"] == app:
            return slot, win
    return None


def read_nodes(m):
    raw = m.read_bytes("fs_nodes", NODE_SIZE * MAX_NODES)
    nodes = []
    for i in range(MAX_NODES):
        (in_use, kind, name, parent, first_child, next_sibling, _text_field, size, has_blob,
         blob) = struct.unpack_from(NODE_FORMAT, raw, i * NODE_SIZE)
        nodes.append(dict(in_use=in_use, kind=kind, name=_text(name), parent=parent,
                          first_child=first_child, next_sibling=next_sibling, size=size,
                          has_blob=has_blob, blob=blob))
    return nodes


def children(nodes, index):
    out, at = [], nodes[index]["first_child"]
    while at != -1 and len(out) <= MAX_NODES:
        out.append(at)
        at = nodes[at]["next_sibling"]
    return out


def dock_tile_centre(m, slot, tiles=7):
    """Centre of built-in dock tile `slot` (0-based): 70-pixel slots from the
    dock's left edge, with the trash's 101 pixels at the end."""
    sw, sh = m.read_u32("fb_width"), m.read_u32("fb_height")
    left = (sw - (70 * tiles + 101)) // 2
    return left + 40 + 70 * slot, sh - 38


def font(m):
    raw = m.read_bytes("font8x8", 128 * 8)
    return [raw[i * 8:(i + 1) * 8] for i in range(128)]


def text_pixels(glyphs, x, y, text):
    """The pixels the 8x8 font sets for text at (x, y), and the cells it covers."""
    on, cells = set(), set()
    for i, ch in enumerate(text):
        for r in range(8):
            for b in range(8):
                cells.add((x + 8 * i + b, y + r))
                if glyphs[ord(ch)][r] >> b & 1:
                    on.add((x + 8 * i + b, y + r))
    return on, cells


ICON_SIZE = 88          # one record of `desktop_icons`
MAX_ICONS = 16


def read_desktop_icons(m):
    """The live desktop icons as dicts, with their table index."""
    raw = m.read_bytes("desktop_icons", ICON_SIZE * MAX_ICONS)
    out = []
    for i in range(MAX_ICONS):
        rec = raw[i * ICON_SIZE:(i + 1) * ICON_SIZE]
        in_use, = struct.unpack_from("<i", rec, 0)
        if not in_use:
            continue
        x, y, fs_idx, renaming = struct.unpack_from("<iiii", rec, 32)
        out.append(dict(index=i, label=_text(rec[4:28]), x=x, y=y, fs_idx=fs_idx, renaming=renaming,
                        rename_buf=_text(rec[48:76])))
    return out
