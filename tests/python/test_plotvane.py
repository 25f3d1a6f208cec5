"""The Python module: attributes, methods, names without case, bytes,
errors, enumerations and the help text, against the server library."""
import enum
import os
import pathlib
import re
import subprocess
import sys
import xml.etree.ElementTree

import pytest

import plotvane

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


@pytest.fixture
def pie():
    d = plotvane.Draw()
    d.AddData("Apples", 12, "FF0000")
    d.AddData("Pears", 7, "00A000")
    return d


@pytest.mark.parametrize("name", ["Width", "width", "WIDTH", "wIdTh"])
def test_names_match_without_case(name):
    d = plotvane.Draw()
    setattr(d, name, 70000)
    assert getattr(d, name) == 4464  # a Word keeps its low 16 bits
    assert d.Width == 4464


@pytest.mark.parametrize("name, value, expected", [
    ("Title", "Fruit \u00e9t\u00e9 \U0001F34E", "Fruit \u00e9t\u00e9 \U0001F34E"),
    ("ShowLabel", 5, True),
    ("YTop", 2.5, 2.5),
    ("BGColor", "zzz", "FFFFFF"),  # an unreadable colour changes nothing
    ("StartAngle", 1.25, 1.25),
])
def test_properties_read_back_their_conversions(name, value, expected):
    d = plotvane.Draw()
    setattr(d, name, value)
    assert getattr(d, name) == expected
    assert type(getattr(d, name)) is type(expected)


@pytest.mark.parametrize("member, signature", [
    ("PNGPie", b"\x89PNG\r\n\x1a\n"),
    ("GIFPie", b"GIF8"),
    ("BMPPie", b"BM"),
    ("JPGPie", b"\xff\xd8\xff"),
])
def test_pictures_come_back_as_bytes(pie, member, signature):
    picture = getattr(pie, member)
    assert isinstance(picture, bytes)
    assert picture.startswith(signature)


def test_svg_pictures_come_back_as_text(pie):
    svg = pie.SVGPie
    assert isinstance(svg, str)
    root = xml.etree.ElementTree.fromstring(svg)
    assert root.tag == "{http://www.w3.org/2000/svg}svg"
    assert root.get("role") == "img"


def test_methods_and_indexed_properties_are_called(pie):
    assert pie.DataCount == 2
    assert (pie.ReadName(1), pie.readcolor(1)) == ("Pears", "00A000")
    assert pie.ReadValue(0) == 12.0
    assert pie.OLEColorToStr(255) == "FF0000"
    text = pie.Base64Out(plotvane.TxGraphType.gtPie, plotvane.TxImageFormat.ifGIF)
    assert text.startswith("R0lGOD")
    assert "<map" in pie.ImageMapText or pie.ImageMapText == ""


@pytest.mark.parametrize("call, hresult, description", [
    (lambda d: d.GIFBar, 0x8000FFFF, "No data items or points defined."),
    (lambda d: d.Base64Out(7, 0), 0x8000FFFF, "Invalid graph type."),
    (lambda d: setattr(d, "Width", "wide"), 0x80020005, ""),
    (lambda d: d.AddData("a"), 0x8002000E, ""),
])
def test_failures_raise_plotvane_error(call, hresult, description):
    d = plotvane.Draw()
    with pytest.raises(plotvane.Error) as raised:
        call(d)
    assert raised.value.hresult == hresult
    assert raised.value.description == description
    assert raised.value.source == ("Plotvane.Draw" if description else "")


@pytest.mark.parametrize("action, error", [
    (lambda d: d.NoSuchMember, AttributeError),
    (lambda d: setattr(d, "NoSuchMember", 1), AttributeError),
    (lambda d: setattr(d, "version", "x"), AttributeError),  # read-only
    (lambda d: d.AddData(object(), 1, ""), TypeError),
])
def test_misuse_raises_python_errors(action, error):
    with pytest.raises(error):
        action(plotvane.Draw())


def test_enumerations_are_int_enums():
    assert issubclass(plotvane.TxGridStyle, enum.IntEnum)
    assert [(v.name, v.value) for v in plotvane.TxImageFormat] == [
        ("ifPNG", 0), ("ifGIF", 1), ("ifBMP", 2), ("ifJPG", 3)]
    d = plotvane.Draw()
    assert d.GridStyle is plotvane.TxGridStyle.gsDot
    d.gridstyle = plotvane.TxGridStyle.gsDash
    assert d.GridStyle is plotvane.TxGridStyle.gsDash
    d.PointStyle = 9  # out of range reads back as none
    assert d.PointStyle is plotvane.TxPointStyle.psxNone


def test_dir_and_help_list_every_member():
    d = plotvane.Draw()
    members = [n for n in dir(d) if not n.startswith("_")]
    assert len(members) == 212
    assert {"Width", "AddData", "PNGPie", "ReadName", "Base64Out", "SVGPie"} <= set(members)
    assert "SVGBar: str, read-only" in plotvane.Draw.SVGBar.__doc__
    assert "Width: int, read-write" in plotvane.Draw.Width.__doc__
    assert "Version: str, read-only" in plotvane.Draw.Version.__doc__
    assert plotvane.Draw.AddData.__doc__.startswith("AddData(Name: str, Value: float, Colour: str)")
    text = subprocess.run([sys.executable, "-c", "import plotvane; help(plotvane.Draw)"],
                          capture_output=True, text=True, env=os.environ, check=True).stdout
    assert "Dispatch interface for draw Object" in text
    assert "ReadName(self, Index, /)" in text


def test_the_readme_example_runs(tmp_path, monkeypatch):
    lines = README.read_text().splitlines()
    start = next(i for i, line in enumerate(lines) if line.strip() == "import plotvane")
    block = []
    for line in lines[start:]:
        if not line.startswith("    "):
            break
        block.append(line[4:])
    assert len(block) <= 5
    monkeypatch.chdir(tmp_path)
    exec("\n".join(block), {})
    pictures = list(tmp_path.iterdir())
    assert len(pictures) == 1
    assert pictures[0].read_bytes().startswith(b"\x89PNG")


def test_the_readme_page_example_puts_the_svg_inline(tmp_path, monkeypatch):
    lines = README.read_text().splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("### SVG pictures"))
    start = next(i for i in range(start, len(lines)) if lines[i].strip() == "import plotvane")
    block = []
    for line in lines[start:]:
        if not line.startswith("    "):
            break
        block.append(line[4:])
    monkeypatch.chdir(tmp_path)
    names = {}
    exec("\n".join(block), names)
    page = (tmp_path / "fruit.html").read_text(encoding="utf-8")
    svg = page[page.index("<svg "):]
    root = xml.etree.ElementTree.fromstring(svg)
    links = root.findall(".//{http://www.w3.org/2000/svg}a")
    assert len(links) == names["d"].ImageMapText.count("<area ")
    assert {a.get("href") for a in links} == {"apples.html", "pears.html"}
