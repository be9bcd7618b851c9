"""Builds the demo image bundle from the photographs listed in demo_photos.tsv.

Each PNG becomes a JPEG (transparency flattened onto black, as the saver
shows its pictures on black), then a zvbundle manifest names every JPEG with
its dims and caps records, and zvbundle packs it. Steps whose inputs have not
changed are skipped, so a second run does nothing but compare times.

Usage: make_demo_bundle.py --zvbundle TOOL --photos TSV --source DIR --out DIR [--depfile FILE]

--depfile writes every file the bundle was made from, in the form build
tools read, so a build that runs this script knows when to run it again.
"""
import argparse
import os
import shutil
import subprocess
import sys

# Built-in music: calm tracks from Debian's enigma-data, by Clifford J.
# Tasner, GPL-2 (see /usr/share/doc/enigma-data/copyright). They fill the
# "music" category in this order; the saver shuffles them unless told not to.
MUSIC_SOURCE = "/usr/share/games/enigma/music/game"
MUSIC_TRACKS = [(name, os.path.join(MUSIC_SOURCE, name)) for name in
                ("in_space.ogg", "meditation.ogg", "on_the_water.ogg", "across_the_ice.ogg")]
MUSIC_CREDIT = ("Music by Clifford J. Tasner, from the game Enigma (Debian's enigma-data),",
                "licensed under the GNU General Public License, version 2.")


def read_photos(path):
    photos = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 5:
                sys.exit("%s:%d: expected 5 TAB-separated fields, found %d" % (path, number, len(fields)))
            png, title, credit, licence, source = fields
            name = os.path.splitext(os.path.basename(png))[0] + ".jpg"
            photos.append({"png": png, "jpg": name, "title": title,
                           "credit": credit, "licence": licence, "source": source})
    if not photos:
        sys.exit("%s: no photographs listed" % path)
    return photos


def outdated(target, sources):
    if not os.path.exists(target):
        return True
    stamp = os.path.getmtime(target)
    return any(os.path.getmtime(s) > stamp for s in sources)


def write_if_changed(path, text):
    """Keeps the file (and its time) when the text is the same, so packing is skipped."""
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(path + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


def run(args):
    try:
        subprocess.run(args, check=True)
    except (OSError, subprocess.CalledProcessError) as e:
        sys.exit("make_demo_bundle: %s failed: %s" % (args[0], e))


def convert_photo(png, jpg):
    tmp = jpg + ".tmp.jpg"
    if png.lower().endswith(".jpg"):
        shutil.copyfile(png, tmp)  # a real JPEG goes in as it is
    else:
        run(["convert", png, "-background", "black", "-alpha", "remove", "-alpha", "off",
             "-strip", "-quality", "90", tmp])
    os.replace(tmp, jpg)


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def manifest_text(photos):
    lines = ["# Demo image bundle; written by tools/make_demo_bundle.py from tools/demo_photos.tsv.",
             "@category\timage"]
    lines += ["image\t%s\timage/%s" % (p["jpg"], p["jpg"]) for p in photos]
    lines.append("@category\tdims")
    lines += ["@dims\t%s" % p["jpg"] for p in photos]
    lines.append("@category\tcaps")
    lines += ["@caps\t%s\t%s" % (p["jpg"], escape(caption(p))) for p in photos]
    lines.append("@category\tmusic")
    lines += ["music\t%s\t%s" % (name, os.path.abspath(path)) for name, path in MUSIC_TRACKS]
    return "\n".join(lines) + "\n"


def caption(photo):
    return "%s\nimage: %s" % (photo["title"], photo["credit"])


def credits_text(photos):
    out = ["Zelvora demo image bundle (images.bdl): photograph credits", "",
           "The photographs come from Debian's stellarium-data package",
           "(/usr/share/stellarium/nebulae/default), converted to JPEG.", ""]
    for p in photos:
        out.append("%s  (%s)" % (p["title"], p["jpg"]))
        out.append("    image: %s" % p["credit"])
        out.append("    licence: %s" % p["licence"])
        if p["source"] != "-":
            out.append("    source: %s" % p["source"])
        out.append("")
    if MUSIC_TRACKS:
        out.append("Music:")
        out += ["    %s" % line for line in MUSIC_CREDIT]
        out += ["    %s" % name for name, _ in MUSIC_TRACKS]
        out.append("")
    return "\n".join(out)


def depfile_path(path):
    return os.path.abspath(path).replace(" ", "\\ ").replace("#", "\\#").replace("$", "$$")


def write_depfile(path, target, inputs):
    write_if_changed(path, "%s: %s\n" % (depfile_path(target),
                                         " \\\n  ".join(depfile_path(p) for p in inputs)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zvbundle", required=True)
    parser.add_argument("--photos", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--depfile")
    args = parser.parse_args()

    photos = read_photos(args.photos)
    work = os.path.join(args.out, "work")
    os.makedirs(os.path.join(work, "image"), exist_ok=True)

    converted = 0
    for p in photos:
        png = os.path.join(args.source, p["png"])
        if not os.path.exists(png):
            sys.exit("missing photograph %s" % png)
        jpg = os.path.join(work, "image", p["jpg"])
        if outdated(jpg, [png]):
            convert_photo(png, jpg)
            converted += 1

    manifest = os.path.join(work, "images.manifest")
    write_if_changed(manifest, manifest_text(photos))
    write_if_changed(os.path.join(args.out, "CREDITS.txt"), credits_text(photos))

    bundle = os.path.join(args.out, "images.bdl")
    inputs = [manifest] + [os.path.join(work, "image", p["jpg"]) for p in photos]
    inputs += [path for _, path in MUSIC_TRACKS]
    # A changed bundle tool may write a different bundle from the same files.
    inputs.append(args.zvbundle)
    if outdated(bundle, inputs):
        tmp = bundle + ".tmp"
        run([args.zvbundle, "pack", tmp, "--manifest", manifest])
        os.replace(tmp, bundle)
        print("demo bundle: %s (%d photographs, %d converted)" % (bundle, len(photos), converted))
    else:
        print("demo bundle: %s is up to date" % bundle)
    if args.depfile:
        sources = [args.photos, os.path.abspath(__file__), args.zvbundle]
        sources += [os.path.join(args.source, p["png"]) for p in photos]
        sources += [path for _, path in MUSIC_TRACKS]
        write_depfile(args.depfile, bundle, sources)


if __name__ == "__main__":
    main()
