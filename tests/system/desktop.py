"""Reading the running kernel's desktop tables (windows, file nodes, desktop icons) and where the dock's tiles are,
for the system tests; node_table_problems checks the file tree's consistency."""
import struct

WINDOW_SIZE, MAX_WINDOWS = 2324, 8  # records of `windows`
NODE_SIZE, NODE_FORMAT = 572, "<II28siii512sIIi"
MAX_NODES, MAX_BLOBS = 128, 16
# Window kinds, and the built-in dock tiles of those that have one.
ABOUT, CLOCK, TERMINAL, FINDER, TEXTEDIT, VIEWER, TRASH, BROWSER, PLAYER, STORE = range(1, 11)
TILES = (FINDER, ABOUT, CLOCK, TERMINAL, TEXTEDIT, BROWSER, STORE)


def read_windows(m):
    """Every window slot as a dict of the fields the tests look at."""
    raw = m.read_bytes("windows", WINDOW_SIZE * MAX_WINDOWS)
    keys = ("in_use", "app", "x", "y", "w", "h", "minimized", "anim")  # the title and drag state skipped
    return [dict(zip(keys, struct.unpack_from("<II32xiiii16xI", raw, at) + struct.unpack_from("<I", raw, at + 1048)))
            for at in range(0, len(raw), WINDOW_SIZE)]


def find_window(m, app, settled=False):
    """(slot, window) of the first window of kind `app` in use (settled: once it has finished opening), or None."""
    return next(((slot, w) for slot, w in enumerate(read_windows(m))
                 if w["in_use"] and w["app"] == app and not (settled and w["anim"])), None)


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


def open_from_dock(m, app):
    """Clicks the dock tile of `app` once (a second click could minimise the window); (slot, window) once it is open.
    The dock: 70-pixel tiles, the built-in ones, then one per window opened from elsewhere, and the trash's 101."""
    tiles, slot = len(TILES) + m.read_u32("dock_dynamic_count"), TILES.index(app)
    x, y = (m.read_u32("fb_width") - (70 * tiles + 101)) // 2 + 40 + 70 * slot, m.read_u32("fb_height") - 38
    return m.click_until(x, y, lambda: find_window(m, app, settled=True), tolerance=3, attempts=1, wait=30)


def desktop_icon_at(m, node):
    """(x, y) of the live desktop icon of file node `node`, or None: 16 records of 88 bytes in `desktop_icons`."""
    raw = m.read_bytes("desktop_icons", 88 * 16)
    return next((struct.unpack_from("<ii", raw, at + 32) for at in range(0, len(raw), 88)
                 if any(raw[at:at + 4]) and struct.unpack_from("<i", raw, at + 40)[0] == node), None)


def node_table_problems(m):
    """The file tree's consistency on the running kernel's tables, each broken rule as one line: every list whole,
    every live node but the root once in its parent's list, the count right, each blob in use owned by one node."""
    nodes, blobs, out, listed = read_nodes(m), read_blobs(m), [], [0] * MAX_NODES
    for p, parent in enumerate(nodes):
        at, steps = parent["first_child"] if parent["in_use"] else -1, 0
        while at != -1:
            if steps > MAX_NODES or not 0 <= at < MAX_NODES or not nodes[at]["in_use"] or nodes[at]["parent"] != p:
                out.append(f"list of {p} loops or is broken at {at}")
                break
            listed[at] += 1
            steps += 1
            at = nodes[at]["next_sibling"]
    live = [i for i, n in enumerate(nodes) if i and n["in_use"]]  # entry 0 is the reserved empty file
    out += [f"node {i} is in {listed[i]} lists" for i in live if listed[i] != (nodes[i]["parent"] != -1)]
    owned = sorted(nodes[i]["blob"] for i in live if nodes[i]["blob"] != -1)
    if owned != [b for b, (in_use, _offset, _size) in enumerate(blobs) if in_use]:
        out.append(f"the nodes own blobs {owned}, not each blob in use once")
    if m.read_u32("fs_node_count") != len(live):
        out.append(f"fs_node_count is not the {len(live)} live nodes")
    return out
