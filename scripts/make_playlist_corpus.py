#!/usr/bin/env python3
"""Writes the playlist test files whose exact bytes an editor would not keep:
UTF-8 with a byte-order mark, UTF-16 in both byte orders (with and without a
mark), the Windows-1252 code page and CR-only line ends, each with the
entries it must give (one UTF-8 entry per line, relative ones read from the
folder C:\\Lists\\). The files are committed; run this again only to change
them.

    make_playlist_corpus.py [FOLDER]    (default tests/data/playlists)
"""
import os
import sys

NAMES = [
    "#EXTM3U",
    "#EXTINF:241,Sternenlicht \u2013 Gr\u00f6\u00dfe",
    "C:\\Musik\\Sternenlicht \u2013 Gr\u00f6\u00dfe.mp3",
    "#EXTINF:200,\u661f\u7a7a",
    "\u661f\u7a7a\\01 \u661f\u7a7a.mp3",
    "#EXTINF:90,Clef",
    "Noten\\\U0001D11E Clef.mp3",  # outside the BMP: a surrogate pair in UTF-16
]
NAMES_EXPECTED = [
    "C:\\Musik\\Sternenlicht \u2013 Gr\u00f6\u00dfe.mp3",
    "C:\\Lists\\\u661f\u7a7a\\01 \u661f\u7a7a.mp3",
    "C:\\Lists\\Noten\\\U0001D11E Clef.mp3",
]

LEGACY = ["#EXTM3U", "#EXTINF:215,Gr\u00f6\u00dfe \u2013 Caf\u00e9",
          "C:\\Musik\\Gr\u00f6\u00dfe \u2013 Caf\u00e9.mp3", "Sammlung\\\u20acuro Hits\\D\u00e9j\u00e0 vu.mp3"]
LEGACY_EXPECTED = ["C:\\Musik\\Gr\u00f6\u00dfe \u2013 Caf\u00e9.mp3",
                   "C:\\Lists\\Sammlung\\\u20acuro Hits\\D\u00e9j\u00e0 vu.mp3"]

BOM_M3U = ["#EXTM3U", "#EXTINF:241,Sternenlicht \u2013 Gr\u00f6\u00dfe",
           "Music\\Sternenlicht \u2013 Gr\u00f6\u00dfe.mp3", "#EXTINF:-1,\u661f\u7a7a", "D:\\Audio\\\u661f\u7a7a.ogg"]
BOM_M3U_EXPECTED = ["C:\\Lists\\Music\\Sternenlicht \u2013 Gr\u00f6\u00dfe.mp3", "D:\\Audio\\\u661f\u7a7a.ogg"]

CR_ONLY = ["#EXTM3U", "C:\\Music\\a.mp3", "#EXTINF:1,b", "sub\\b.mp3"]
CR_ONLY_EXPECTED = ["C:\\Music\\a.mp3", "C:\\Lists\\sub\\b.mp3"]

# name: (bytes, expected entries)
FILES = {
    "bom_utf8.m3u": (b"\xef\xbb\xbf" + "\r\n".join(BOM_M3U + [""]).encode("utf-8"), BOM_M3U_EXPECTED),
    "bom_utf8.m3u8": (b"\xef\xbb\xbf" + "\n".join(NAMES + [""]).encode("utf-8"), NAMES_EXPECTED),
    "utf16le.m3u": (b"\xff\xfe" + "\r\n".join(NAMES + [""]).encode("utf-16-le"), NAMES_EXPECTED),
    "utf16be.m3u": (b"\xfe\xff" + "\r\n".join(NAMES + [""]).encode("utf-16-be"), NAMES_EXPECTED),
    "utf16le_no_bom.m3u": ("\r\n".join(NAMES + [""]).encode("utf-16-le"), NAMES_EXPECTED),
    "cp1252.m3u": ("\r\n".join(LEGACY + [""]).encode("cp1252"), LEGACY_EXPECTED),
    "cr_only.m3u": ("\r".join(CR_ONLY + [""]).encode("ascii"), CR_ONLY_EXPECTED),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join("tests", "data", "playlists")
    os.makedirs(folder, exist_ok=True)
    for name, (data, expected) in FILES.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        with open(os.path.join(folder, name + ".expected"), "wb") as f:
            f.write("".join(entry + "\n" for entry in expected).encode("utf-8"))


if __name__ == "__main__":
    main()
