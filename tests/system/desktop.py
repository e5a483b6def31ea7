"""Reading the running kernel's desktop tables (windows, file nodes, desktop icons) and where the dock's tiles are,
for the system tests; node_table_problems checks the file tree's consistency."""
import struct

WINDOW_SIZE = 2324      # one record of `windows`
MAX_WINDOWS = 8

NODE_SIZE = 572
NODE_FORMAT = "<II28siii512sIIi"
MAX_NODES, MAX_BLOBS = 128, 16
DIR, FILE = 0, 1
# Window kinds, and the built-in dock tiles of those that have one.
ABOUT, CLOCK, TERMINAL, FINDER, TEXTEDIT, VIEWER, TRASH, BROWSER, PLAYER, STORE = range(1, 11)
TILES = (FINDER, ABOUT, CLOCK, TERMINAL, TEXTEDIT, BROWSER, STORE)


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
        minimized, anim = (struct.unpack_from("<I", w, at)[0] for at in (72, 1048))
        out.append(dict(in_use=in_use, app=app, title=_text(w[8:40]), x=x, y=y, w=width, h=height,
                        minimized=minimized, anim=anim))
    return out


def find_window(m, app):
    """(slot, window) of the first window of kind `app` in use, or None."""
    return next(((slot, w) for slot, w in enumerate(read_windows(m)) if w["in_use"] and w["app"] == app), None)


def read_nodes(m):
    raw = m.read_bytes("fs_nodes", NODE_SIZE * MAX_NODES)
    nodes = []
    for i in range(MAX_NODES):
        (in_use, kind, name, parent, first_child, next_sibling, text, size, has_blob,
         blob) = struct.unpack_from(NODE_FORMAT, raw, i * NODE_SIZE)
        nodes.append(dict(in_use=in_use, kind=kind, name=_text(name), parent=parent, first_child=first_child,
                          next_sibling=next_sibling, text=text, size=size, has_blob=has_blob, blob=blob))
    return nodes


def find_node(m, name, parent_name=None):
    """Index of the live node `name` (inside the folder `parent_name`), or None."""
    nodes = read_nodes(m)
    return next((i for i, n in enumerate(nodes) if n["in_use"] and n["name"] == name and
                 (parent_name is None or n["parent"] >= 0 and nodes[n["parent"]]["name"] == parent_name)), None)


def node_content(m, index):
    """A file's bytes: its blob in the pool, or its inline text."""
    node = read_nodes(m)[index]
    if node["blob"] < 0:
        return node["text"][:node["size"]]
    _in_use, offset, size = read_blobs(m)[node["blob"]]
    return m.read_bytes("fs_blob_pool", size, offset)


def read_blobs(m):
    """(in_use, offset, size) of every blob record."""
    return list(struct.iter_unpack("<III", m.read_bytes("fs_blobs", 12 * MAX_BLOBS)))


def dock_tile_centre(m, slot, tiles=7):
    """Centre of dock tile `slot` (0-based): 70-pixel slots from the dock's left edge, the trash's 101 at the end."""
    sw, sh = m.read_u32("fb_width"), m.read_u32("fb_height")
    left = (sw - (70 * tiles + 101)) // 2
    return left + 40 + 70 * slot, sh - 38


def dock_tiles(m):
    """The dock's tiles before the trash: the built-in ones, then one per window opened from elsewhere."""
    return len(TILES) + m.read_u32("dock_dynamic_count")


def open_from_dock(m, app):
    """Clicks the dock tile of `app` once (a second click could minimise the window); (slot, window) it opens."""
    tile = dock_tile_centre(m, TILES.index(app), dock_tiles(m))
    return m.click_until(*tile, lambda: find_window(m, app), tolerance=3, attempts=1, wait=30)


ICON_SIZE, MAX_ICONS = 88, 16  # records of `desktop_icons`


def read_desktop_icons(m):
    """The live desktop icons: where they are and their file node."""
    raw = m.read_bytes("desktop_icons", ICON_SIZE * MAX_ICONS)
    records = [raw[i * ICON_SIZE:(i + 1) * ICON_SIZE] for i in range(MAX_ICONS)]
    return [dict(zip(("x", "y", "fs_idx"), struct.unpack_from("<iii", r, 32))) for r in records if any(r[:4])]


STANDARD_FOLDERS = ("Desktop", "Documents", "Downloads", "Applications")


def node_table_problems(m):
    """The file tree's consistency rules, checked on the running kernel's tables: each broken rule as one line."""
    nodes = read_nodes(m)
    blobs = read_blobs(m)
    pool_used, count, root = m.read_u32("fs_blob_pool_used"), m.read_u32("fs_node_count"), m.read_i32("fs_root")
    out, listed, folders = [], [0] * MAX_NODES, set()
    if (nodes[0]["in_use"], nodes[0]["parent"], nodes[0]["first_child"]) != (1, -1, -1):
        out.append("entry 0 is not the reserved empty file")
    for p, parent in enumerate(nodes):
        if not parent["in_use"]:
            continue
        at, names = parent["first_child"], set()
        for _ in range(MAX_NODES + 1):
            if at == -1:
                break
            if not 0 <= at < MAX_NODES or not nodes[at]["in_use"]:
                out.append(f"list of {p} reaches free or bad slot {at}")
                break
            if nodes[at]["parent"] != p:
                out.append(f"child {at} of {p} names parent {nodes[at]['parent']}")
            if nodes[at]["name"] in names:
                out.append(f"two children of {p} are named {nodes[at]['name']!r}")
            names.add(nodes[at]["name"])
            if p == root and nodes[at]["kind"] == DIR:
                folders.add(nodes[at]["name"])
            listed[at] += 1
            at = nodes[at]["next_sibling"]
        else:
            out.append(f"list of {p} loops")
    owners = {}
    for i, n in enumerate(nodes[1:], 1):
        if not n["in_use"]:
            continue
        if listed[i] > 1 or (n["parent"] != -1 and listed[i] != 1):
            out.append(f"node {i} is in {listed[i]} lists with parent {n['parent']}")
        if n["kind"] == FILE and n["first_child"] != -1:
            out.append(f"file {i} has children")
        if n["blob"] != -1:
            b = n["blob"]
            if not 0 <= b < MAX_BLOBS or not blobs[b][0]:
                out.append(f"node {i} names a free blob {b}")
            elif b in owners:
                out.append(f"blob {b} is shared by {owners[b]} and {i}")
            elif blobs[b][2] != n["size"]:
                out.append(f"node {i} size differs from its blob")
            owners.setdefault(b, i)
    for b, (in_use, offset, size) in enumerate(blobs):
        if in_use and b not in owners:
            out.append(f"blob {b} is owned by no node")
        if in_use and offset + size > pool_used:
            out.append(f"blob {b} lies beyond the used pool")
    live = sum(n["in_use"] == 1 for n in nodes[1:])
    if count != live:
        out.append(f"fs_node_count {count} but {live} live nodes")
    if not set(STANDARD_FOLDERS) <= folders:
        out.append(f"the root holds {folders}, not all the standard folders")
    return out
