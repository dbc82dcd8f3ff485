"""A saved portrait drawn again from its history: the pixels of the picture
trapezola-cli render wrote, and forged or missing histories refused with the
file and the fault named."""
import struct
import zlib

import numpy as np
import pytest

import trapezola


def read_bmp(path):
    """The RGB pixels of an uncompressed 24- or 32-bit BMP, top row first."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = [np.frombuffer(data, np.uint8, width * step, offset + r * stride).reshape(width, step)[:, 2::-1][:, :3]
            for r in range(abs(height))]
    return np.array(rows[::-1] if height > 0 else rows)


def png_with_texts(path, texts):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0))
    for key, value in texts.items():
        png += chunk(b"tEXt", key.encode("latin-1") + b"\0" + value.encode("latin-1"))
    png += chunk(b"IDAT", zlib.compress(b"\0\xff\xff\xff")) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


@pytest.mark.parametrize("extra", [[], ["--no-grid", "--size", "big", "--colour", "0x0000FF"]])
def test_replay_draws_the_rendered_portrait(cli, tmp_path, extra):
    run = ["render", "--b", "0.5", "--rr", "2", "--distance", "0.7", "--angle", "61", "--repeat", "5", *extra]
    cli(*run, "--out", str(tmp_path / "saved.png"))
    cli(*run, "--out", str(tmp_path / "direct.bmp"))
    replayed = trapezola.replay(str(tmp_path / "saved.png"))
    assert replayed.shape == (681, 794, 3) and replayed.dtype == np.uint8
    assert np.array_equal(replayed, read_bmp(str(tmp_path / "direct.bmp")))
    texts = trapezola.png_texts(str(tmp_path / "saved.png"))
    assert texts["history"].startswith("trapezola-history 1\ngo b=0.5 rr=2 ")


def test_histories_that_cannot_be_replayed_are_refused(tmp_path):
    path = str(tmp_path / "forged.png")
    cases = [
        ({}, "holds no portrait history"),
        ({"history": "trapezola-history 2"}, "does not begin with"),
        ({"history": "trapezola-history 1\ngo b=1e308"}, "step 1: no rr="),
        ({"history": "trapezola-history 1 unreplayable"}, "loaded without a history"),
    ]
    for texts, fault in cases:
        png_with_texts(path, texts)
        with pytest.raises(ValueError, match=fault):
            trapezola.replay(path)
    with open(path, "wb") as f:
        f.write(b"not a picture")
    with pytest.raises(ValueError, match="is not a PNG file"):
        trapezola.replay(path)
