#!/usr/bin/python3
"""Draws the base map of the Netherlands in the Dutch national grid (RD) and derives the
table of km-squares that hold Dutch land or inland water.

Outputs (paths relative to the repository):
  data/Maps/Nederland_0_625_280_300_.png               map with a light 1 km / 5 km grid
  data/Maps/NederlandZonderRaster_0_625_280_300_.png   the same map without grid
  data-src/KmHokkenNL.csv                              HOK, XCOORD, YCOORD of every such square

The file names carry the map's calibration: x of the left edge 0 km, y of the top edge 625 km,
x of the right edge 280 km, y of the bottom edge 300 km, at 10 pixels per km (2800 x 3250).

Sources, all from Debian packages (see tools/README.md for the packages to install):
  GSHHG full-resolution shorelines and WDBII rivers and national borders, read with
  `gmt coast -M` as longitude/latitude lines; Natural Earth admin-1 province polygons from
  QGIS's world_map.gpkg. Coordinates are projected EPSG:4326 -> EPSG:28992 with PROJ
  (pyproj); GMT is used only to dump the lines, never to draw.

The shoreline data predates the closure dams of the IJsselmeer and parts of the Delta, so
the dams are added here as lines (DAMS below). Sea is everything reachable from the open
North Sea without crossing a shoreline or a closing dam; water cut off by a dam is inland
water.

Run with Debian's python (/usr/bin/python3): it needs python3-pyproj, python3-gdal,
python3-numpy, python3-scipy and python3-pil.
"""

import argparse
import csv
import os
import subprocess
import sys

import numpy as np
from osgeo import ogr
from PIL import Image, ImageDraw
from pyproj import Transformer
from scipy import ndimage

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Map frame in RD km and resolution.
X_LEFT, X_RIGHT = 0, 280
Y_BOTTOM, Y_TOP = 300, 625
PX_PER_KM = 10
SUPER = 2  # drawing is done at SUPER times the final resolution, then reduced
S = PX_PER_KM * SUPER
WIDTH, HEIGHT = (X_RIGHT - X_LEFT) * PX_PER_KM, (Y_TOP - Y_BOTTOM) * PX_PER_KM

# Longitude/latitude box that covers the RD frame with a margin.
LONLAT_REGION = "-R2.8/7.5/50.55/53.75"

MAP_NAME = "Nederland_0_625_280_300_.png"
MAP_NAME_PLAIN = "NederlandZonderRaster_0_625_280_300_.png"
SQUARES_CSV = "KmHokkenNL.csv"

# Closing dams missing from the shoreline data, as RD km polylines. Each end reaches a little
# into the land on either side so that the line seals the water behind it. `closes` tells
# whether the water behind the dam is inland water (True) or still sea (the storm-surge
# barrier of the Oosterschelde stands open, so that water stays sea).
DAMS = [
    {"name": "Afsluitdijk", "closes": True, "line": [(131.3, 550.1), (151.8, 565.2)]},
    {"name": "Houtribdijk", "closes": True, "line": [(148.7, 523.8), (158.8, 504.7)]},
    {"name": "Brouwersdam", "closes": True,
     "line": [(47.1, 417.6), (47.2, 419.6), (48.6, 420.9), (50.6, 421.4)]},
    {"name": "Grevelingendam", "closes": True,
     "line": [(66.5, 410.4), (66.2, 409.3), (66.0, 407.6)]},
    {"name": "Haringvlietdam", "closes": True,
     "line": [(60.0, 428.9), (61.8, 428.8), (64.2, 429.6)]},
    {"name": "Philipsdam", "closes": False, "line": [(67.6, 410.7), (67.7, 407.2)]},
    {"name": "Oesterdam", "closes": False,
     "line": [(73.0, 392.0), (74.6, 388.5), (76.8, 384.6)]},
    {"name": "Oosterscheldekering", "closes": False,
     "line": [(38.7, 410.6), (39.0, 407.3), (38.4, 405.9), (37.6, 401.9)]},
]

# Open sea, where the flood fill of the sea starts (RD km).
SEA_SEEDS = [(20.0, 600.0), (60.0, 560.0), (5.0, 440.0), (20.0, 500.0)]

# Colours (RGB).
COLOUR_SEA = (206, 226, 240)
COLOUR_INLAND_WATER = (178, 211, 238)
COLOUR_LAND_NL = (255, 255, 255)
COLOUR_LAND_ABROAD = (234, 234, 230)
COLOUR_SHORE = (84, 128, 170)
COLOUR_RIVER = (96, 150, 210)
COLOUR_BORDER = (70, 70, 70)
COLOUR_PROVINCE = (135, 135, 135)
GRID_COLOUR = (120, 120, 120)
GRID_KM_ALPHA = 0.10
GRID_5KM_ALPHA = 0.28


def Log(text):
    print(text, file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------------------
# Source lines


def DumpGmt(work, name, options):
    """Runs `gmt coast -M` with the options once and caches the output in work/name."""
    path = os.path.join(work, name)
    if not os.path.exists(path):
        cmd = ["gmt", "coast", LONLAT_REGION, "-Df", "-M"] + options
        Log("running " + " ".join(cmd))
        with open(path + ".tmp", "w") as out:
            subprocess.run(cmd, stdout=out, check=True, cwd=work)
        os.replace(path + ".tmp", path)
    return path


def ReadSegments(path):
    """Multisegment file -> list of (level, [(lon, lat), ...])."""
    segments = []
    points = None
    for line in open(path):
        if line.startswith(">"):
            level = 0
            if "Level" in line:
                level = int(line.rsplit("Level", 1)[1].split()[0])
            points = []
            segments.append((level, points))
            continue
        parts = line.split()
        if len(parts) >= 2 and points is not None:
            points.append((float(parts[0]), float(parts[1])))
    return [(lvl, pts) for lvl, pts in segments if len(pts) >= 2]


TO_RD = Transformer.from_crs("EPSG:4326", "EPSG:28992", always_xy=True)


def ToRd(lonlat_points):
    """[(lon, lat)] -> [(x km, y km)]."""
    xs, ys = TO_RD.transform([p[0] for p in lonlat_points], [p[1] for p in lonlat_points])
    return [(x / 1000.0, y / 1000.0) for x, y in zip(xs, ys)]


def ProjectSegments(segments):
    return [(lvl, ToRd(pts)) for lvl, pts in segments]


def LineParts(geometry):
    """The line strings inside a geometry of any kind (points are dropped)."""
    name = geometry.GetGeometryName()
    if name == "LINESTRING":
        return [geometry]
    parts = []
    for k in range(geometry.GetGeometryCount()):
        parts += LineParts(geometry.GetGeometryRef(k))
    return parts


def ProvinceBoundaries():
    """Lines between two Dutch provinces (Natural Earth admin-1), in RD km. Only shared
    boundaries are kept: the coarse outer outlines do not match the shoreline."""
    gpkg = "/usr/share/qgis/resources/data/world_map.gpkg"
    ds = ogr.Open(gpkg)
    layer = ds.GetLayerByName("states_provinces")
    layer.SetAttributeFilter("admin = 'Netherlands'")
    provinces = []
    for feature in layer:
        geometry = feature.GetGeometryRef().Clone()
        # The Caribbean islands of the Netherlands lie far outside the frame.
        env = geometry.GetEnvelope()
        if env[0] < 2.5 or env[1] > 8.0 or env[2] < 50.0:
            continue
        provinces.append((feature.GetField("name"), geometry))
    Log("provinces: " + ", ".join(sorted(name for name, _ in provinces)))
    lines = []
    for i in range(len(provinces)):
        for j in range(i + 1, len(provinces)):
            a = provinces[i][1].Boundary()
            b = provinces[j][1].Boundary()
            shared = a.Intersection(b)
            if shared is None or shared.IsEmpty():
                continue
            for part in LineParts(shared):
                pts = [(part.GetX(n), part.GetY(n)) for n in range(part.GetPointCount())]
                if len(pts) >= 2:
                    lines.append(ToRd(pts))
    return lines


def CountryRings(names):
    """Exterior rings (RD km) of the coarse Natural Earth outlines of the named countries,
    cut to the map's surroundings (the Caribbean Netherlands and far parts are dropped)."""
    gpkg = "/usr/share/qgis/resources/data/world_map.gpkg"
    ds = ogr.Open(gpkg)
    layer = ds.GetLayerByName("countries")
    layer.SetAttributeFilter("NAME IN (%s)" % ", ".join("'%s'" % n for n in names))
    frame = ogr.CreateGeometryFromWkt("POLYGON((2 50, 8 50, 8 54.5, 2 54.5, 2 50))")
    rings = []
    for feature in layer:
        geometry = feature.GetGeometryRef().Intersection(frame)
        if geometry is None or geometry.IsEmpty():
            continue
        geometry = ogr.ForceToMultiPolygon(geometry)
        for k in range(geometry.GetGeometryCount()):
            ring = geometry.GetGeometryRef(k).GetGeometryRef(0)
            pts = [(ring.GetX(n), ring.GetY(n)) for n in range(ring.GetPointCount())]
            rings.append(ToRd(pts))
    return rings


# ---------------------------------------------------------------------------------------
# Raster helpers, at the drawing resolution S pixels per km


def Px(x, y):
    """RD km -> continuous pixel position of the drawing canvas."""
    return ((x - X_LEFT) * S, (Y_TOP - y) * S)


def Canvas(value=0):
    return Image.new("L", (WIDTH * SUPER, HEIGHT * SUPER), value)


def DrawLines(image, lines, value, width):
    draw = ImageDraw.Draw(image)
    for pts in lines:
        draw.line([Px(x, y) for x, y in pts], fill=value, width=width)
        if width > 2:
            # Round joints and ends, so thick lines have no gaps at sharp bends.
            r = width / 2.0
            for x, y in pts:
                px, py = Px(x, y)
                draw.ellipse([px - r, py - r, px + r, py + r], fill=value)


def FloodFrom(barrier, seeds):
    """Pixels reachable from the seeds without crossing barrier pixels (4-connected)."""
    labels, _ = ndimage.label(~barrier)
    reached = np.zeros(barrier.shape, dtype=bool)
    for x, y in seeds:
        px, py = Px(x, y)
        lab = labels[int(py), int(px)]
        if lab == 0:
            raise SystemExit("seed %s lies on a barrier" % ((x, y),))
        reached |= labels == lab
    return reached


def Interior(rings_image):
    """Pixels enclosed by the drawn rings: not reachable from the canvas edge."""
    free = ~rings_image
    labels, _ = ndimage.label(free)
    edge = set(np.unique(labels[0, :])) | set(np.unique(labels[-1, :]))
    edge |= set(np.unique(labels[:, 0])) | set(np.unique(labels[:, -1]))
    edge.discard(0)
    outside = np.isin(labels, list(edge))
    return ~outside


# ---------------------------------------------------------------------------------------


def BuildLayers(work):
    coast = ProjectSegments(ReadSegments(DumpGmt(work, "coast.txt", ["-W", "-A0/1/1"])))
    lakes = ProjectSegments(ReadSegments(DumpGmt(work, "lakes.txt", ["-W", "-A0/2/2"])))
    rivers = ProjectSegments(ReadSegments(DumpGmt(work, "rivers.txt", ["-Ia"])))
    borders = ProjectSegments(ReadSegments(DumpGmt(work, "borders.txt", ["-N1"])))
    Log("segments: coast %d, lakes %d, rivers %d, borders %d"
        % (len(coast), len(lakes), len(rivers), len(borders)))

    coast_lines = [pts for _, pts in coast]
    dam_lines = [d["line"] for d in DAMS]
    closing_dams = [d["line"] for d in DAMS if d["closes"]]

    shore = Canvas()
    DrawLines(shore, coast_lines, 255, 2)
    shore = np.array(shore) > 0
    dams_all = Canvas()
    DrawLines(dams_all, dam_lines, 255, 4)
    dams_all = np.array(dams_all) > 0
    dams_closing = Canvas()
    DrawLines(dams_closing, closing_dams, 255, 4)
    dams_closing = np.array(dams_closing) > 0

    sea_without_dams = FloodFrom(shore, SEA_SEEDS)
    sea = FloodFrom(shore | dams_closing, SEA_SEEDS) & ~dams_all
    cut_off = sea_without_dams & ~sea & ~dams_all

    lake_rings = Canvas()
    DrawLines(lake_rings, [pts for _, pts in lakes], 255, 1)
    lake_rings = np.array(lake_rings) > 0
    lake = Interior(lake_rings) & ~sea

    inland_water = (cut_off | lake) & ~sea
    terrain = ~sea  # land and inland water

    # Which connected pieces of land and inland water are Dutch: pieces are separated by
    # the national border lines and the sea; a piece is Dutch unless more of it lies inside
    # the coarse outlines of Belgium and Germany than inside that of the Netherlands.
    border = Canvas()
    DrawLines(border, [pts for _, pts in borders], 255, 3)
    border = np.array(border) > 0
    def Rasterise(rings):
        image = Canvas()
        draw = ImageDraw.Draw(image)
        for ring in rings:
            draw.polygon([Px(x, y) for x, y in ring], fill=255)
        return np.array(image) > 0

    in_nl = Rasterise(CountryRings(["Netherlands"]))
    abroad = Rasterise(CountryRings(["Belgium", "Germany"]))
    pieces, count = ndimage.label(terrain & ~border)
    index = np.arange(1, count + 1)
    share_nl = ndimage.sum(in_nl, pieces, index)
    share_abroad = ndimage.sum(abroad, pieces, index)
    # Small islands lie outside both coarse outlines: they count as Dutch.
    dutch_ids = index[share_nl >= share_abroad]
    dutch = np.isin(pieces, dutch_ids)
    # The border band itself belongs to both sides.
    dutch = ndimage.binary_dilation(dutch, iterations=4, mask=terrain & (border | dutch))

    return {
        "sea": sea,
        "inland_water": inland_water,
        "dutch": dutch,
        "terrain": terrain,
        "coast": coast_lines,
        "lakes": [pts for _, pts in lakes],
        "rivers": rivers,
        "borders": [pts for _, pts in borders],
        "dams": dam_lines,
    }


def Dashed(pts, dash, gap):
    """Splits a polyline (RD km) into dashes of the given lengths in km."""
    out = []
    current = [pts[0]]
    drawing = True
    left = dash
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        seg = ((x1 - x0) ** 2 + (y1 - y0) ** 2) ** 0.5
        pos = 0.0
        while seg - pos > left:
            pos += left
            t = pos / seg
            p = (x0 + (x1 - x0) * t, y0 + (y1 - y0) * t)
            if drawing:
                current.append(p)
                out.append(current)
            current = [p]
            drawing = not drawing
            left = dash if drawing else gap
        left -= seg - pos
        if drawing:
            current.append((x1, y1))
    if drawing and len(current) >= 2:
        out.append(current)
    return out


def Render(layers, provinces):
    sea, inland, dutch = layers["sea"], layers["inland_water"], layers["dutch"]
    rgb = np.empty(sea.shape + (3,), dtype=np.uint8)
    rgb[:] = COLOUR_LAND_ABROAD
    rgb[dutch] = COLOUR_LAND_NL
    rgb[sea] = COLOUR_SEA
    rgb[inland] = COLOUR_INLAND_WATER
    image = Image.fromarray(rgb, "RGB")
    draw = ImageDraw.Draw(image)

    def Lines(lines, colour, width):
        for pts in lines:
            draw.line([Px(x, y) for x, y in pts], fill=colour, width=width, joint="curve")

    # Province boundaries only where they run over Dutch land or inland water.
    prov = Image.new("RGB", image.size, (0, 0, 0))
    pdraw = ImageDraw.Draw(prov)
    for line in provinces:
        for dash in Dashed(line, 1.6, 0.9):
            pdraw.line([Px(x, y) for x, y in dash], fill=(255, 255, 255), width=3)
    pmask = (np.array(prov)[:, :, 0] > 0) & dutch
    arr = np.array(image)
    arr[pmask] = COLOUR_PROVINCE
    image = Image.fromarray(arr, "RGB")
    draw = ImageDraw.Draw(image)

    Lines([pts for lvl, pts in layers["rivers"] if lvl >= 3], COLOUR_RIVER, 2)
    Lines([pts for lvl, pts in layers["rivers"] if lvl == 2], COLOUR_RIVER, 3)
    Lines([pts for lvl, pts in layers["rivers"] if lvl == 1], COLOUR_RIVER, 5)
    Lines(layers["lakes"], COLOUR_SHORE, 2)
    Lines(layers["coast"], COLOUR_SHORE, 2)
    Lines(layers["dams"], COLOUR_SHORE, 4)
    Lines(layers["borders"], COLOUR_BORDER, 4)

    return image.resize((WIDTH, HEIGHT), Image.LANCZOS)


def AddGrid(image):
    arr = np.array(image).astype(np.float32)
    grey = np.array(GRID_COLOUR, dtype=np.float32)
    for km in range(X_LEFT, X_RIGHT):
        col = (km - X_LEFT) * PX_PER_KM
        a = GRID_5KM_ALPHA if km % 5 == 0 else GRID_KM_ALPHA
        arr[:, col] = arr[:, col] * (1 - a) + grey * a
    for km in range(Y_BOTTOM + 1, Y_TOP + 1):
        row = (Y_TOP - km) * PX_PER_KM
        a = GRID_5KM_ALPHA if km % 5 == 0 else GRID_KM_ALPHA
        arr[row, :] = arr[row, :] * (1 - a) + grey * a
    return Image.fromarray(np.clip(arr + 0.5, 0, 255).astype(np.uint8), "RGB")


def SavePalettePng(image, path):
    paletted = image.quantize(colors=96, method=Image.Quantize.MEDIANCUT,
                              dither=Image.Dither.NONE)
    paletted.save(path, optimize=True)
    Log("wrote %s (%d bytes)" % (path, os.path.getsize(path)))


def WriteSquares(dutch, path):
    """Every km-square with at least one pixel of Dutch land or inland water."""
    rows, cols = Y_TOP - Y_BOTTOM, X_RIGHT - X_LEFT
    blocks = dutch.reshape(rows, S, cols, S).any(axis=(1, 3))
    squares = []
    for r in range(rows):
        for c in range(cols):
            if blocks[r, c]:
                squares.append((X_LEFT + c, Y_TOP - 1 - r))
    squares.sort()
    with open(path, "w", newline="", encoding="utf-8") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(["HOK", "XCOORD", "YCOORD"])
        for n, (x, y) in enumerate(squares, start=1):
            out.writerow([str(n), "%03d" % x, "%03d" % y])
    Log("wrote %s (%d squares)" % (path, len(squares)))
    return squares


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--work", default="/tmp/velmora-basemap",
                        help="folder for the cached GMT line dumps")
    parser.add_argument("--out", default=REPO, help="repository root to write into")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)

    layers = BuildLayers(args.work)
    provinces = ProvinceBoundaries()
    image = Render(layers, provinces)
    maps = os.path.join(args.out, "data", "Maps")
    os.makedirs(maps, exist_ok=True)
    SavePalettePng(image, os.path.join(maps, MAP_NAME_PLAIN))
    SavePalettePng(AddGrid(image), os.path.join(maps, MAP_NAME))
    src = os.path.join(args.out, "data-src")
    os.makedirs(src, exist_ok=True)
    WriteSquares(layers["dutch"], os.path.join(src, SQUARES_CSV))


if __name__ == "__main__":
    main()
