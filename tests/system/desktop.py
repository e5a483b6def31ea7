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


def read_windows(m):
    """Every window slot as a dict of the fields the tests look at."""
    raw = m.read_bytes("windows", WINDOW_SIZE * MAX_WINDOWS)
    keys = ("in_use", "app", "x", "y", "w", "h", "minimized", "anim")  # the title and drag state skipped
    return [dict(zip(keys, struct.unpack_from("<II32xiiii16xI", raw, at) + struct.unpack_from("<I", raw, at + 1048)))
            for at in range(0, len(raw), WINDOW_SIZE)]


def find_window(m, app):
    """(slot, window) of the first window of kind `app` in use, or None."""
    return next(((slot, w) for slot, w in enumerate(read_windows(m)) if w["in_use"] and w["app"] == app), None)


def read_nodes(m):
    raw = m.read_bytes("fs_nodes", NODE_SIZE * MAX_NODES)
    keys = ("in_use", "kind", "name", "parent", "first_child", "next_sibling", "text", "size", "has_blob", "blob")
    nodes = [dict(zip(keys, fields)) for fields in struct.iter_unpack(NODE_FORMAT, raw)]
    for n in nodes:
        n["name"] = n["name"].split(b"\0", 1)[0].decode("latin-1")
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


def dock_tile_centre(m, slot, tiles=len(TILES)):
    """Centre of dock tile `slot` (0-based): 70-pixel slots from the dock's left edge, the trash's 101 at the end."""
    sw, sh = m.read_u32("fb_width"), m.read_u32("fb_height")
    return (sw - (70 * tiles + 101)) // 2 + 40 + 70 * slot, sh - 38


def open_from_dock(m, app):
    """Clicks the dock tile of `app` once (a second click could minimise the window); (slot, window) it opens.
    The dock holds the built-in tiles, then one per window opened from elsewhere, before the trash."""
    tile = dock_tile_centre(m, TILES.index(app), len(TILES) + m.read_u32("dock_dynamic_count"))
    return m.click_until(*tile, lambda: find_window(m, app), tolerance=3, attempts=1, wait=30)


ICON_SIZE, MAX_ICONS = 88, 16  # records of `desktop_icons`


def read_desktop_icons(m):
    """The live desktop icons: where they are and their file node."""
    raw = m.read_bytes("desktop_icons", ICON_SIZE * MAX_ICONS)
    records = [raw[i:i + ICON_SIZE] for i in range(0, len(raw), ICON_SIZE)]
    return [dict(zip(("x", "y", "fs_idx"), struct.unpack_from("<iii", r, 32))) for r in records if any(r[:4])]


STANDARD_FOLDERS = {"Desktop", "Documents", "Downloads", "Applications"}


def node_table_problems(m):
    """The file tree's consistency rules, checked on the running kernel's tables: each broken rule as one line."""
    nodes, blobs, root = read_nodes(m), read_blobs(m), m.read_i32("fs_root")
    out, listed, owners = [], [0] * MAX_NODES, {}
    if (nodes[0]["in_use"], nodes[0]["parent"], nodes[0]["first_child"]) != (1, -1, -1):
        out.append("entry 0 is not the reserved empty file")
    for p, parent in enumerate(nodes):
        at, names = parent["first_child"] if parent["in_use"] else -1, []
        while at != -1:
            if len(names) > MAX_NODES or not 0 <= at < MAX_NODES or not nodes[at]["in_use"] or nodes[at]["parent"] != p:
                out.append(f"list of {p} loops or is broken at {at}")
                break
            names.append(nodes[at]["name"])
            listed[at] += 1
            at = nodes[at]["next_sibling"]
        if len(set(names)) != len(names):
            out.append(f"two children of {p} share a name: {names}")
    for i, n in enumerate(nodes[1:], 1):
        if n["in_use"] and (listed[i] > 1 or (n["parent"] != -1 and listed[i] != 1)
                            or (n["kind"] == FILE and n["first_child"] != -1)):
            out.append(f"node {i} is in {listed[i]} lists with parent {n['parent']}, or a file with children")
        if n["in_use"] and n["blob"] != -1:
            b = n["blob"]
            if not 0 <= b < MAX_BLOBS or not blobs[b][0] or blobs[b][2] != n["size"] or b in owners:
                out.append(f"node {i} names a free, shared or wrong-sized blob {b}")
            owners[b] = i
    pool_used = m.read_u32("fs_blob_pool_used")
    for b, (in_use, offset, size) in enumerate(blobs):
        if in_use and (b not in owners or offset + size > pool_used):
            out.append(f"blob {b} is owned by no node or lies beyond the used pool")
    live = sum(n["in_use"] == 1 for n in nodes[1:])
    if m.read_u32("fs_node_count") != live:
        out.append(f"fs_node_count is not the {live} live nodes")
    folders = {n["name"] for n in nodes if n["in_use"] and n["kind"] == DIR and n["parent"] == root}
    if not STANDARD_FOLDERS <= folders:
        out.append(f"the root holds {folders}, not all the standard folders")
    return out
