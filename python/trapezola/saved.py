"""Portraits saved by the window (File > Save portrait) or written by
`trapezola-cli render`: their texts, and the picture drawn again from the
history they carry.
"""
import struct
import zlib

from . import _trapezola

_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_texts(path):
    """The text chunks (tEXt, zTXt, iTXt) of the PNG file at path, as a dict.
    Raises ValueError naming the file when it is not a PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != _SIGNATURE:
        raise ValueError(f"'{path}' is not a PNG file")
    texts, pos = {}, 8
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length:
            raise ValueError(f"'{path}' ends inside its {kind.decode('latin-1')} chunk")
        try:
            if kind == b"tEXt":
                key, value = body.split(b"\0", 1)
                texts[key.decode("latin-1")] = value.decode("latin-1")
            elif kind == b"zTXt":
                key, rest = body.split(b"\0", 1)
                texts[key.decode("latin-1")] = zlib.decompress(rest[1:]).decode("latin-1")
            elif kind == b"iTXt":
                key, rest = body.split(b"\0", 1)
                compressed, rest = rest[0], rest[2:]
                _language, rest = rest.split(b"\0", 1)
                _translated, rest = rest.split(b"\0", 1)
                texts[key.decode("latin-1")] = (zlib.decompress(rest) if compressed else rest).decode("utf-8")
        except (ValueError, zlib.error) as fault:
            raise ValueError(f"'{path}': a {kind.decode('latin-1')} chunk does not read: {fault}") from None
        if kind == b"IEND":
            break
        pos += 12 + length
    return texts


def replay(path, threads=None):
    """The portrait saved at path drawn again from its history alone: an array
    of shape (681, 794, 3), RGB bytes, pixel for pixel the saved picture, as
    `trapezola-cli render --replay` draws it. Raises ValueError naming the file
    when it holds no history, or why its history cannot be replayed."""
    history = png_texts(path).get("history")
    if history is None:
        raise ValueError(f"'{path}' holds no portrait history")
    try:
        return _trapezola.replay_history(history, threads=threads)
    except ValueError as fault:
        raise ValueError(f"'{path}': {fault}") from None
