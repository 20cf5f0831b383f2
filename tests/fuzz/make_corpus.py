#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into corpus/<name>/.

Every seed is built here byte by byte from the file layouts the readers
read: a few valid files of each kind (several versions, set-up positions,
comments, Chinese moves) and a few damaged ones. Run it again after changing
it, for every target or for the targets named on the command line; the
output is deterministic. Files of a corpus that this script does not write
(inputs kept from fuzzing, named by their SHA-1) are left in place.
"""
import gzip
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

# ---------------------------------------------------------------------------
# Position vocabulary
# ---------------------------------------------------------------------------
START_FEN = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w"
ENDGAME_FEN = "5k3/9/4P4/9/9/9/9/9/4A4/3AK4 b"


def square(file, rank):
    return 16 * (file + 2) + (rank + 2)


def coord_square(text):
    """'h2' -> square: file letter 'i' - file, digit 9 - rank."""
    return square(ord("i") - ord(text[0]), 9 - int(text[1]))


def move_squares(text):
    return coord_square(text[0:2]), coord_square(text[2:4])


START_FILES = [0, 4, 3, 5, 2, 6, 1, 7, 0, 8, 1, 7, 0, 2, 4, 6, 8]
START_RANKS = [0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 7, 7, 6, 6, 6, 6, 6]


def standard_position():
    board = [0] * 208
    pieces = [0] * 33
    for i in range(1, 17):
        for index, rank in ((i, START_RANKS[i]), (i + 16, 9 - START_RANKS[i])):
            s = square(START_FILES[i], rank)
            board[s] = index
            pieces[index] = s
    return board, pieces


def fen_position(fen):
    """Board and piece list of a FEN placement, indices given in order."""
    ranges = {"K": (1, 1), "A": (2, 3), "B": (4, 5), "E": (4, 5), "N": (6, 7),
              "H": (6, 7), "R": (8, 9), "C": (10, 11), "P": (12, 16)}
    board = [0] * 208
    pieces = [0] * 33
    placement, side = fen.split(" ")
    for rank, row in enumerate(placement.split("/")):
        file = 8
        for c in row:
            if c.isdigit():
                file -= int(c)
                continue
            first, last = ranges[c.upper()]
            if c.islower():
                first, last = first + 16, last + 16
            index = next(i for i in range(first, last + 1) if pieces[i] == 0)
            s = square(file, rank)
            board[s] = index
            pieces[index] = s
            file -= 1
    return board, pieces, 0 if side in ("w", "r") else 1


OPENING = ["h2e2", "h9g7", "h0g2", "i9h9", "i0h0", "b9c7", "b0c2", "a9b9"]
OPENING_WXF = ["C2.5", "h8+7", "H2+3", "r9.8", "R1.2", "h2+3", "H8+7", "r1.2"]
ENDGAME_MOVES = ["f9f8"]  # the black king steps down

# GBK move texts of the first four opening moves.
GBK = {
    "C": b"\xc5\xda", "H": b"\xc2\xed", "R": b"\xb3\xb5",
    "1": b"\xd2\xbb", "2": b"\xb6\xfe", "5": b"\xce\xe5", "3": b"\xc8\xfd",
    ".": b"\xc6\xbd", "+": b"\xbd\xf8", "-": b"\xcd\xcb",
}
OPENING_CHINESE = [
    GBK["C"] + GBK["2"] + GBK["."] + GBK["5"],
    GBK["H"] + b"8" + GBK["+"] + b"7",
    GBK["H"] + GBK["2"] + GBK["+"] + GBK["3"],
    GBK["R"] + b"9" + GBK["."] + b"8",
]


def le16(v):
    return struct.pack("<H", v & 0xFFFF)


def le32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def be16(v):
    return struct.pack(">H", v & 0xFFFF)


# ---------------------------------------------------------------------------
# Binary game files: versions 1 to 7
# ---------------------------------------------------------------------------
def binary_game(version, moves=OPENING, fen=None, shown=None, comments=None, tags=True,
                move_count=None):
    out = bytes([version])
    if version >= 4 and tags:
        records = []
        texts = {1: b"Cup", 2: b"Paris", 3: b"2003.01.02", 5: b"Lin", 7: b"Wu"}
        for tag, text in texts.items():
            records.append(bytes([tag, len(text)]) + text)
        for tag, text, number in ((4, b"7", 7), (6, b"2450", 2450), (8, b"2390", 2390)):
            if version >= 6:
                records.append(bytes([tag, len(text)]) + text)
            else:
                records.append(bytes([tag]) + le16(number))
        records.append(bytes([9]) + le32(0))
        records.append(bytes([10, 1]))
        comment = b"the whole game"
        records.append(bytes([11]) + le16(len(comment)) + comment)
        if version >= 7:
            records.append(bytes([12]) + le16(2) + b"ed")
            records.append(bytes([13]) + le16(5) + b"40/2h")
        records.append(bytes([77]) + le16(3) + b"xyz")  # unknown tag, skipped
        out += bytes([len(records)]) + b"".join(records)
    elif version >= 4:
        out += bytes([0])
    if fen is not None:
        board, pieces, side = fen_position(fen)
    else:
        (board, pieces), side = standard_position(), 0
    if version <= 2 and fen is None:
        out += bytes([0])
    else:
        out += bytes([1]) + bytes(board)
    if version >= 3:
        out += b"".join(le32(p if p else 255) for p in pieces)
    count = len(moves) if move_count is None else move_count
    out += le32(side) + le32(len(moves) if shown is None else shown) + le32(count)
    for i, m in enumerate(moves):
        frm, to = move_squares(m)
        out += le16(frm) + le16(to) + le32(0)
        if version >= 5:
            out += le32(10 * i - 20) + le32(i) + bytes([i % 2, 0, 0, 0])
    if version >= 7:
        comments = comments or {}
        last = max(comments) if comments else 0
        out += le16(last)
        for ply in range(1, last + 1):
            mark, text = comments.get(ply, (0, b""))
            out += bytes([mark]) + le16(len(text)) + text
    return out


def binary_seeds():
    seeds = {}
    for v in range(1, 8):
        seeds[f"v{v}-opening.egf"] = binary_game(v)
    seeds["v2-setup.egf"] = binary_game(2, moves=ENDGAME_MOVES, fen=ENDGAME_FEN)
    seeds["v7-setup.egf"] = binary_game(7, moves=ENDGAME_MOVES, fen=ENDGAME_FEN)
    seeds["v7-comments.egf"] = binary_game(
        7, shown=3, comments={1: (4, b"good"), 3: (1, b""), 5: (0, b"a longer comment " * 8)})
    seeds["v6-no-tags.egf"] = binary_game(6, tags=False)
    seeds["bad-version-0.egf"] = b"\x00" + binary_game(7)[1:]
    seeds["bad-version-8.egf"] = b"\x08" + binary_game(7)[1:]
    whole = binary_game(7, comments={2: (2, b"cut")})
    seeds["v7-truncated.egf"] = whole[: len(whole) - 7]
    seeds["v5-huge-count.egf"] = binary_game(5, move_count=0x7FFFFFFF)
    seeds["v4-illegal-move.egf"] = binary_game(4, moves=["h2e2", "h0g2", "h9g7"])
    return seeds


# ---------------------------------------------------------------------------
# Keyword text files
# ---------------------------------------------------------------------------
def move_lines(texts, comment_after=None):
    lines = []
    for i in range(0, len(texts), 4):
        parts = []
        for j, t in enumerate(texts[i:i + 4]):
            ply = i + j + 1
            if j % 2 == 0:
                parts.append(f"{(ply - 1) // 2 + 1:2d}. ".encode() + t)
            else:
                parts.append(b" " + t + b"    ")
        line = b"".join(parts)
        lines.append(line)
        if comment_after and i < comment_after <= i + 4:
            lines.append(b"/*" + b"comment on the line" + b"*/")
    return b"\n".join(lines) + b"\n"


def keyword_file(moves, fen=None, chinese=False, crlf=False, html=False):
    head = [b"FORMAT  \tWXF", b"GAME    ", b"RED     \tLin;2450;;", b"BLACK   \tWu;2390;;",
            b"DATE    \t2003.01.02", b"EVENT    \tCup", b"RESULT  1-0", b"PLACE\tParis",
            b"ROUND 7"]
    if fen:
        head.append(b"FEN  \t\t" + fen.encode())
    head.append(b"/*a game comment")
    head.append(b"on two lines*/")
    body = b"\n".join(head) + b"\n\nSTART{\n" + move_lines(moves, comment_after=3) + b"}END\n"
    if html:
        body = b"<html><body><PRE>\n" + body + b"</PRE></body></html>\n"
    if crlf:
        body = body.replace(b"\n", b"\r\n")
    return body


def keyword_seeds():
    wxf = [t.encode() for t in OPENING_WXF]
    return {
        "opening.wxf": keyword_file(wxf),
        "opening-crlf.wxf": keyword_file(wxf, crlf=True),
        "setup.wxf": keyword_file([b"k6+1"], fen="5k3/9/4P4/9/9/9/9/9/4A4/3AK4 b"),
        "chinese.wxf": keyword_file(OPENING_CHINESE),
        "page.htm": keyword_file(wxf[:4], html=True),
        "axf.axf": keyword_file([b"C2=5", b"h8+7", b"H2+3", b"r9=8"]),
        "refused-move.wxf": keyword_file([b"C2.5", b"C8.5", b"h8+7"]),
        "open-comment.wxf": b"START{\n 1. C2.5 /* never closed\n h8+7\n",
        "empty-moves.wxf": b"START{\n}END\n",
        "lone-slash.wxf": b"START{\n 1. C2.5 h8+7\n 2/ H2+3 r9.8\n/*good move*/\n}END\n",
        "cut-between-moves.wxf": keyword_file(wxf)[:-len(b"}END\n")],
        "two-games.wxf": keyword_file(wxf[:2]) + b"\n" + keyword_file(wxf[:4]),
        "nul-in-header.wxf": keyword_file(wxf).replace(b"\nRED", b"\x00RED", 1),
        "first-move-not-written.wxf": b"START{\n 1. ... h8+7  2. H2+3\n}END\n",
    }


# ---------------------------------------------------------------------------
# PGN tag files
# ---------------------------------------------------------------------------
def pgn_file(moves, fen=None, result=b"1-0", crlf=False):
    tags = [b'[Event "Cup"]', b'[Site "Paris"]', b'[Date "2003.01.02"]', b'[Round "7"]',
            b'[Red "Lin"]', b'[Black "Wu"]', b'[WhiteElo "2450"]', b'[BlackElo "2390"]']
    if fen:
        tags.append(b'[FEN "' + fen.encode() + b'"]')
    tags.append(b'[Score "3"]')
    tags.append(b'[Result "' + result + b'"]')
    text = b"\n".join(tags) + b"\n" + move_lines(moves) + result + b"\n"
    if crlf:
        text = text.replace(b"\n", b"\r\n")
    return text


def pgn_seeds():
    wxf = [t.encode() for t in OPENING_WXF]
    return {
        "opening.pgn": pgn_file(wxf),
        "chinese.pgn": pgn_file(OPENING_CHINESE, result=b"\xbd-\xbd", crlf=True),
        "setup.pgn": pgn_file([b"k6+1"], fen=ENDGAME_FEN, result=b"1/2-1/2"),
        "bad-fen.pgn": pgn_file([b"C2.5"], fen="9/9/9/9/9/9/9/9/9/9 w"),
        "no-result.pgn": b'[Event "Cup"]\n[Red "Lin"]\n 1. C2.5 h8+7\n',
        "refused.pgn": pgn_file([b"C2.5", b"R9+1", b"h8+7"], result=b"0-1"),
        "nul-in-moves.pgn": pgn_file(wxf).replace(b" h8+7", b"\x00h8+7", 1),
        "ply-numbers.pgn": b'[Result "*"]\n'
        + b"".join(b"%d. %s\n" % (n + 1, m) for n, m in enumerate(wxf)),
        "nul-in-tags.pgn": pgn_file(wxf).replace(b'"]\n[Red', b'"]\x00[Red', 1)
        .replace(b'"]\n 1.', b'"]\x00 1.', 1),
        "first-moves-lost.pgn": b'[Result "*"]\n'
        + b"".join(b"%d. %s\n" % (n + 2, m) for n, m in enumerate(wxf[1:])),
        "first-move-not-written.pgn": b'[Result "*"]\n1. ... h8+7 2. H2+3\n',
    }


# ---------------------------------------------------------------------------
# MXQ files
# ---------------------------------------------------------------------------
def mxq_move(text):
    """'h2e2' -> '7C-4C': file digit ('a' = 0), rank letter ('A' = digit 0)."""
    def part(p):
        return bytes([ord("0") + ord(p[0]) - ord("a"), ord("A") + int(p[1])])
    return part(text[0:2]) + b"-" + part(text[2:4])


def mxq_file(moves, end=True, result=b"Win"):
    out = b"\x01" + b"Paris" + b"\x08" + b"2003.01.02#" + b"\x00" * 3 + b"\xd6\x1b"
    out += b"Lin-" + result + b"-Wu\x012450\x012390\x01"
    out += b"Moves:" + b"".join(mxq_move(m) + b" " for m in moves)
    if end:
        out += b"End"
    return out


def mxq_seeds():
    return {
        "opening.mxq": mxq_file(OPENING),
        "no-end.mxq": mxq_file(OPENING[:3], end=False, result=b"Draw"),
        "invalid-move.mxq": mxq_file(["h2e2", "h0g2"], result=b"Lose"),
        "letter-first.mxq": b"Not an MXQ file",
        "short.mxq": b"\x01Paris\x08",
        "moves-word-damaged.mxq": mxq_file(OPENING).replace(b"Moves", b"Mo\x00es"),
        "zero-tail.mxq": mxq_file(OPENING, end=False) + b"\x00" * 64,
    }


# ---------------------------------------------------------------------------
# XQN files
# ---------------------------------------------------------------------------
def xqn_file(lines, ranks_from_one=False):
    tags = b'[Red "Lin"]\n[Black "Wu"]\n[Date "2003"]\n[Score "1"]\n[Result "1-0"]\n'
    return tags + b"\n".join(lines) + b"\n"


def xqn_coord(m, plus_one=False, capture=False):
    a, b = m[0:2], m[2:4]
    if plus_one:
        a = a[0] + str(int(a[1]) + 1)
        b = b[0] + str(int(b[1]) + 1)
    return (a + ("x" if capture else "-") + b).encode()


def xqn_seeds():
    pairs = [OPENING[i:i + 2] for i in range(0, len(OPENING), 2)]
    plain = [f"{n + 1}. ".encode() + b" ".join(xqn_coord(m) for m in p) for n, p in enumerate(pairs)]
    one = [f"{n + 1}. ".encode() + b" ".join(xqn_coord(m, True) for m in p)
           for n, p in enumerate(pairs)]
    chinese = [b"1. " + OPENING_CHINESE[0] + b" " + OPENING_CHINESE[1],
               b"2. " + OPENING_CHINESE[2] + b" " + OPENING_CHINESE[3]]
    return {
        "opening.xqn": xqn_file(plain),
        "ranks-from-one.xqn": xqn_file(one),
        "chinese.xqn": xqn_file(chinese),
        "upper-case.xqn": xqn_file([b"1. H2-E2 H9-G7", b"2. H0XG2"]),
        "refused-second.xqn": xqn_file([b"1. h2-e2 h0-g2"]),
        "long-number.xqn": xqn_file([b"1234. h2-e2", b"12"]),
        "nul-in-moves.xqn": xqn_file([plain[0] + b"\x00" + plain[1]] + plain[2:]),
        "zero-tail.xqn": xqn_file(plain) + b"\x00" * 64,
        "tags-cut-by-zeros.xqn": xqn_file(plain)[:40] + b"\x00" * 64,
        "ply-numbers.xqn": xqn_file([f"{n + 1}. ".encode() + xqn_coord(m)
                                     for n, m in enumerate(OPENING)]),
        "nul-after-tags.xqn": xqn_file(plain).replace(b'"]\n1.', b'"]\x001.', 1),
        "first-line-lost.xqn": xqn_file(plain[1:]),
    }


# ---------------------------------------------------------------------------
# Plain coordinate text
# ---------------------------------------------------------------------------
def coordinate_seeds():
    return {
        "opening.txt": "".join(m + "\n" for m in OPENING).encode(),
        "crlf.txt": "".join(m + "\r\n" for m in OPENING).encode(),
        "invalid-line-3.txt": b"h2e2\nh9g7\nz9z9\nh0g2\n",
        "illegal.txt": b"h2e2\nh9g7\nh2h9\n",
        "blank-lines.txt": b"\n\nh2e2\n\r\nh9g7",
        "empty.txt": b"",
        "nul-in-line.txt": b"h2e2\nh9g7\x00h0g2\n",
        "zero-tail.txt": "".join(m + "\n" for m in OPENING).encode() + b"\x00" * 64,
    }


# ---------------------------------------------------------------------------
# Database records: 3 lead bytes, then gzip members or the record as it is
# ---------------------------------------------------------------------------
def database_record(version=0, moves=OPENING, long_form=True, fen=None, shown=2,
                    comments=((0, b"the game"), (4, b""), (2, b"second move"))):
    texts = [b"Cup", b"Paris", b"2003.01.02", b"7", b"Lin", b"2450", b"Wu", b"2390"]
    out = bytes([version & 0xFF]) + b"".join(bytes([len(t)]) + t for t in texts)
    out += be16(0x1234) + bytes([1]) + bytes([2]) + b"ed" + bytes([5]) + b"40/2h"
    if fen is None:
        out += bytes([1])
    else:
        board, pieces, side = fen_position(fen)
        out += bytes([0]) + bytes(board) + b"".join(le32(p if p else 255) for p in pieces)
        out += bytes([side])
    out += le16(shown) + le16(len(moves)) + bytes([1 if long_form else 0])
    for i, m in enumerate(moves):
        frm, to = move_squares(m)
        out += le16(frm) + le16(to)
        if long_form:
            out += le32(i * 7) + le32(i + 1)
    out += be16(len(comments) - 1)
    for mark, text in comments:
        out += bytes([mark]) + be16(len(text)) + text
    return out


def gz(data):
    return gzip.compress(data, compresslevel=9, mtime=0)


LEAD = b"\xa5\x5a\x00"


def database_seeds():
    record = database_record()
    bad_crc = bytearray(gz(record))
    bad_crc[-7] ^= 0x10
    return {
        "gzip.vzd": LEAD + gz(record),
        "plain.vzd": LEAD + record,
        "two-members.vzd": LEAD + gz(record[:40]) + gz(record[40:]),
        "short-moves.vzd": LEAD + gz(database_record(long_form=False, comments=((0, b""),))),
        "setup.vzd": LEAD + gz(database_record(moves=ENDGAME_MOVES, fen=ENDGAME_FEN, shown=1)),
        "bad-crc.vzd": LEAD + bytes(bad_crc),
        "bad-version.vzd": LEAD + database_record(version=1),
        "truncated.vzd": LEAD + gz(record)[:-10],
        "plain-truncated.vzd": LEAD + record[:-5],
        "lead-only.vzd": LEAD,
    }


# ---------------------------------------------------------------------------
# FEN texts and WXF move texts
# ---------------------------------------------------------------------------
def fen_seeds():
    return {
        "start.txt": START_FEN.encode(),
        "start-letters0.txt": b"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR r",
        "endgame.txt": ENDGAME_FEN.encode(),
        "surplus.txt": b"pppppppp/PPPPPPPP/9/9/9/9/9/9/9/9/9/9/RRR w",
        "long-digits.txt": b"99999999999/9/9/9 b",
        "garbage.txt": b"k?x/\t w",
        "empty.txt": b"",
        "nul-in-line.txt": b"h2e2\nh9g7\x00h0g2\n",
        "zero-tail.txt": "".join(m + "\n" for m in OPENING).encode() + b"\x00" * 64,
    }


def wxf_seeds():
    # First byte: position (byte >> 1) and side (byte & 1).
    return {
        "red-cannon.txt": b"\x00C2.5",
        "black-knight.txt": b"\x01h8+7",
        "tandem-front.txt": b"\x02+R.5",
        "tandem-rear.txt": b"\x02R-+1",
        "pawns.txt": b"\x02P5+1",
        "black-tandem.txt": b"\x05c+.6",
        "fixed-adviser.txt": b"\x00a4+5",
        "fixed-elephant.txt": b"\x01e3+5",
        "chinese.txt": b"\x00" + OPENING_CHINESE[0],
        "no-direction.txt": b"\x00C2x5",
        "short.txt": b"\x00C",
    }


# ---------------------------------------------------------------------------
# Clipboard texts: first byte odd for a two-byte code page (GBK, Big5)
# ---------------------------------------------------------------------------
def paste_seeds():
    start = START_FEN.encode()
    return {
        "start.txt": b"\x00" + start,
        "start-r.txt": b"\x00" + start[:-1] + b"r",
        "endgame.txt": b"\x00" + ENDGAME_FEN.encode(),
        "gbk-text.txt": b"\x01" + start,
        "nul-inside.txt": b"\x00" + start[:30] + b"\x00" + start[30:],
        "long-tail.txt": b"\x00" + start + b" " * 40 + b"- - 0 1",
        "two-byte-at-cut.txt": b"\x01" + GBK["C"] * 70,
        "kings-facing.txt": b"\x00" + b"4k4/9/9/9/9/9/9/9/9/4K4 w",
        "idle-side-in-check.txt": b"\x00" + b"4k4/9/9/9/9/9/9/9/4R4/3K5 w",
        "king-outside.txt": b"\x00" + b"k8/9/9/9/9/9/9/9/9/4K4 w",
        "surplus-pieces.txt": b"\x00" + b"rrrakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
        "empty.txt": b"\x00",
    }


# ---------------------------------------------------------------------------
# Opening books: "VKBOOK01", then entries of a side byte, the squares of
# pieces 1..32 (0 absent), a move count and 16-byte moves (move, weight and
# two words carried along)
# ---------------------------------------------------------------------------
def pieces_after(moves):
    """Piece list of the start position after coordinate moves (no captures)."""
    board, pieces = standard_position()
    for m in moves:
        frm, to = move_squares(m)
        index = board[frm]
        board[frm], board[to] = 0, index
        pieces[index] = to
    return pieces


def book_move(text, weight):
    frm, to = move_squares(text)
    return le32(frm << 16 | to) + le32(weight) + le32(0) + le32(0)


def book_entry(side, pieces, moves, count=None):
    body = b"".join(book_move(m, w) for m, w in moves)
    listed = bytes(p & 0xFF for p in pieces[1:33])
    return bytes([side]) + listed + le32(len(moves) if count is None else count) + body


def book_seeds():
    magic = b"VKBOOK01"
    start = book_entry(0, pieces_after([]), [("h2e2", 10), ("h0g2", 5), ("b2e2", 7)])
    reply = book_entry(1, pieces_after(["h2e2"]), [("h9g7", 3), ("b9c7", 3), ("h7e7", 1)])
    # The mirror image of the position after h2e2 answers for b2e2 too.
    deeper = book_entry(0, pieces_after(["h2e2", "h9g7"]), [("h0g2", 1)])
    same_square = pieces_after([])
    same_square[2] = same_square[3]
    off_board = book_entry(0, pieces_after([]), [("h2e2", 1)])
    off_board = off_board[:-16] + le32(0x00010002) + le32(1) + le32(0) + le32(0)
    return {
        "opening.vkb": magic + start + reply + deeper,
        "wrong-magic.vkb": b"VKBOOK02" + start,
        "magic-only.vkb": magic,
        "cut-in-moves.vkb": magic + start + reply[:-5],
        "cut-in-pieces.vkb": magic + start + reply[:20],
        "huge-count.vkb": magic + book_entry(0, pieces_after([]), [("h2e2", 1)], count=0xFFFFFFFF),
        "bad-side.vkb": magic + book_entry(2, pieces_after([]), [("h2e2", 1)]) + reply,
        "shared-square.vkb": magic + book_entry(0, same_square, [("h2e2", 1)]) + start,
        "off-board-move.vkb": magic + off_board,
        "more-moves-than-read.vkb": magic + book_entry(
            0, pieces_after([]), [("h2e2", i) for i in range(30)]),
    }


# ---------------------------------------------------------------------------
# Learning files: first byte = file (0..2 position files, 3 the mate file;
# +4 for the read-only "inner" copy), then the version word and records
# ---------------------------------------------------------------------------
def learning_record(lock, key, move, score, depth, side):
    frm, to = move_squares(move)
    return (struct.pack("<QQ", lock, key) + le32(frm << 16 | to) + le32(score) + le16(depth)
            + bytes([side, 0]))


def mate_record(move, pieces, score, side):
    frm, to = move_squares(move)
    return le32(frm << 16 | to) + bytes(p & 0xFF for p in pieces[1:33]) + le32(score) + \
        bytes([side, 0, 0, 0])


def learning_seeds():
    version = le32(3)
    records = (learning_record(0x1234, 0x5678, "h2e2", 30, 7, 0)
               + learning_record(0x9999, 0x1111, "h9g7", -20, 5, 1)
               + learning_record(0x1234 + 9363, 0x42, "b2e2", 10, 9, 0))
    _, endgame, side = fen_position(ENDGAME_FEN)
    mates = (mate_record("f9f8", endgame, -3199990, side)
             + mate_record("h2e2", pieces_after([]), 3199980, 0))
    bad = (learning_record(1, 2, "h2e2", 0, 1, 7)
           + struct.pack("<QQ", 3, 4) + le32(0x00010002) + le32(0) + le16(1) + b"\x00\x00")
    no_king = pieces_after([])
    no_king[1] = 0
    return {
        "positions-1.bin": b"\x00" + version + records,
        "positions-2.bin": b"\x01" + version + records,
        "positions-3-partial.bin": b"\x02" + version + records + records[:11],
        "mates.egm": b"\x03" + version + mates,
        "inner-positions.bin": b"\x04" + version + records,
        "inner-mates.egm": b"\x07" + version + mates + mates[:30],
        "old-version.bin": b"\x00" + le32(2) + records,
        "inner-old-version.egm": b"\x07" + le32(2) + mates,
        "invalid-records.bin": b"\x05" + version + bad,
        "mate-without-king.egm": b"\x03" + version + mate_record("h2e2", no_king, 3199980, 0),
        "version-only.bin": b"\x01" + version,
        "empty.bin": b"\x00",
    }


# ---------------------------------------------------------------------------
# The file dispatcher: first byte = extension (low four bits, the order of
# load_fuzz.cpp), +16 for a quoted path, +224 for a file past the size cap
# ---------------------------------------------------------------------------
EXTENSIONS = ["egf", "vgf", "vbf", "xqn", "mxq", "wxf", "ccf", "htm", "html", "axf", "pgn", "txt",
              "", "EGF", "Pgn", "dat"]


def load_seeds():
    def named(extension, data, quoted=False, oversize=False):
        code = EXTENSIONS.index(extension) | (16 if quoted else 0) | (224 if oversize else 0)
        return bytes([code]) + data
    wxf = [t.encode() for t in OPENING_WXF]
    coordinates = "".join(m + "\n" for m in OPENING).encode()
    return {
        "egf.bin": named("egf", binary_game(7)),
        "vbf.bin": named("vbf", binary_game(3)),
        "upper-case-egf.bin": named("EGF", binary_game(6), quoted=True),
        "wxf.bin": named("wxf", keyword_file(wxf)),
        "html.bin": named("html", keyword_file(wxf[:4], html=True)),
        "pgn.bin": named("Pgn", pgn_file(wxf)),
        "xqn.bin": named("xqn", xqn_seeds()["opening.xqn"]),
        "mxq.bin": named("mxq", mxq_file(OPENING)),
        "txt.bin": named("txt", coordinates),
        "unknown-extension.bin": named("dat", coordinates, quoted=True),
        "no-extension.bin": named("", coordinates),
        "egf-named-txt.bin": named("txt", binary_game(7)),
        "oversize-txt.bin": named("txt", coordinates, oversize=True),
        "oversize-wxf.bin": named("wxf", keyword_file(wxf), oversize=True),
        "oversize-egf.bin": named("egf", binary_game(7), oversize=True),
    }


def placement_seeds():
    return {
        "normal.txt": b"0,1,-1,-1,-1,-1,100,50,300,200",
        "maximised.txt": b"2,3,-32000,-32000,-8,-8,-1270,-30,-630,690",
        "spaces.txt": b" 0, +1 ,-1,-1,-1,-1,\t100,50,300,200 ",
        "extremes.txt": b"4294967295,0,-2147483648,2147483647,0,-1,-2147483648,-2147483648,"
                        b"2147483647,2147483647",
        "huge-size.txt": b"0,1,-1,-1,-1,-1,0,0,16000000,16000000",
        "nine-numbers.txt": b"0,1,-1,-1,-1,-1,100,50,300",
        "overflow.txt": b"4294967296,1,-1,-1,-1,-1,100,50,300,2147483648",
        "not-decimal.txt": b"0,1,-1,-1,-1,-1,0x10,1e2,300,200",
    }


def setting(text, default=0, low=-2147483648, high=2147483647):
    """A ranged setting: default, smallest, largest (little-endian), text."""
    return struct.pack("<iii", default, low, high) + text


def settings_seeds():
    return {
        "plain.txt": setting(b"5", 2, 1, 9),
        "outside.txt": setting(b"10", 2, 1, 9),
        "negative.txt": setting(b"-3", 0, -8, 8),
        "largest.txt": setting(b"2147483647"),
        "smallest.txt": setting(b"-2147483648"),
        "too-large.txt": setting(b"2147483648", 7),
        "leading-zeros.txt": setting(b"0007", 1, 0, 10),
        "plus.txt": setting(b"+5", 1, 0, 10),
        "blanks.txt": setting(b" 5 ", 1, 0, 10),
        "minus-only.txt": setting(b"-", 1),
        "empty.txt": setting(b"", 1),
        "list.txt": setting(b"12,34", 1),
        "exponent.txt": setting(b"1e3", 1),
        "contempt.txt": setting(b"2147483647", 0, -100000, 100000),
        "hash-size.txt": setting(b"65536", 0, 0, 65536),
    }


def settings_ini_seeds():
    """Whole settings files, as written by the program and by hand."""
    written = (b"[Options]\nLanguage=1\nInstallDirectory=/home/u/.local/share/Vorelk\n"
               b"Book1=USERVKBOOK\nHTSize=64\n\n[Pieces%20Value]\nChariot=1300\n\n"
               b"[Windows%20placement]\nMainWindow=\"0,1,-1,-1,-1,-1,10,20,650,720\"\n")
    return {
        "written.ini": written,
        "unterminated-quote.ini": b"[User]\nr=\"unterminated\nx=1\n[Options]\nLanguage=1\n"
                                  b"[Other]\ny=2\n",
        "short-damage.ini": b"U[=\"",
        "byte-order-mark.ini": b"\xef\xbb\xbf[Options]\nLanguage=1\nHTSize=64\n"
                               b"Board%20type=3\n[User]\nkey=value\n",
        "comments.ini": b"; written by hand\n# kept too\n[Options]\n; the language\nLanguage=1\n",
        "no-equals.ini": b"[Options]\nLanguage=1\njust words\n[Other]\nalone\n",
        "semicolon.ini": b"[Links]\nurl=http://x/?a=1;b=2\n[Options]\nHTSize=64 ; a comment\n",
        "blank-section-name.ini": b"[Windows placement]\nClock=0,1,-1,-1,-1,-1,5,6,7,8\n",
        "crlf.ini": b"[Options]\r\nLanguage=1\r\n\r\n[Other]\r\ny=2\r\n",
        "lone-cr.ini": b"[Options]\rLanguage=1\r[Search]\rDepth=9\r",
        "empty.ini": b"",
        "duplicates.ini": b"[Options]\nLanguage=3\nSound=0\n[Other]\ny=2\n[Options]\nLanguage=1\n",
        "backslash-end.ini": b"[User]\npath=C:\\\n[Options]\nLanguage=1\n",
        "general.ini": b"x=1\n[General]\ny=2\n[%General]\nz=3\n[a\\b]\nc=4\nd\\e=5\n[Options]\nLanguage=1",
        "values.ini": b"[Options]\nRotation=@Rect(1 2 3 4)\nClock=0,1, -1 ,x\nName = \"a;b\"\n"
                      b"Blob=@Variant(\\0\\0\\x7f)\nE=\\x41\\101\\n\nk%U4E2D=\xe8\xb1\xa1\n"
                      b"@@at=@@x\n[Search]\n; gone\nDepth=9\n[Search\\Deep]\nx=1\n",
        "notes-and-blanks.ini": b"[Options]\nPonder=0 ; no ponder\n  Board%20size = 0\n",
        "utf16-le.ini": "\ufeff[Options]\r\nBook1=\u68cb\r\nSound=0 ; off\r\n".encode("utf-16-le"),
        "utf16-be.ini": "\ufeff[Options]\nLanguage=1\n".encode("utf-16-be"),
    }


# ---------------------------------------------------------------------------
# Number texts of the dialogs: whole numbers, atoi texts and clock texts
# ---------------------------------------------------------------------------
def dialog_numbers_seeds():
    return {
        "number.txt": b"12",
        "blanks-sign.txt": b" -7 ",
        "plus-zero.txt": b"+0",
        "largest.txt": b"2147483647",
        "smallest.txt": b"-2147483648",
        "beyond.txt": b"2147483648",
        "long-digits.txt": b"99999999999",
        "trailing-letter.txt": b"4x",
        "two-numbers.txt": b"1 2",
        "two-signs.txt": b"--1",
        "empty.txt": b"",
        "utf16.txt": "-42".encode("utf-16-le"),
        "clock.txt": b"1:02:03",
        "clock-empty-parts.txt": b"::7",
        "clock-longest.txt": b"596:31:23",
        "clock-beyond.txt": b"597:0:0",
        "clock-negative.txt": b"-1:30:0",
        "clock-blanks.txt": b" 0 : 2 :",
        "clock-three-colons.txt": b"1:2:3:4",
        "clock-nul.txt": b"0:0:1\x00junk",
    }


TARGETS = {
    "binary": binary_seeds,
    "keyword": keyword_seeds,
    "pgn": pgn_seeds,
    "mxq": mxq_seeds,
    "xqn": xqn_seeds,
    "coordinate": coordinate_seeds,
    "database": database_seeds,
    "fen": fen_seeds,
    "wxf": wxf_seeds,
    "paste": paste_seeds,
    "book": book_seeds,
    "learning": learning_seeds,
    "load": load_seeds,
    "placement": placement_seeds,
    "settings": settings_seeds,
    "settings_ini": settings_ini_seeds,
    "dialog_numbers": dialog_numbers_seeds,
}


def main():
    names = sys.argv[1:] or list(TARGETS)
    for name in names:
        make = TARGETS[name]
        directory = os.path.join(CORPUS, name)
        os.makedirs(directory, exist_ok=True)
        for file_name, data in make().items():
            with open(os.path.join(directory, file_name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
