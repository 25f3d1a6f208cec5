"""The Python module: attributes, methods, names without case, bytes,
errors, enumerations and the help text, against the server library."""
import enum
import os
import subprocess
import sys
import xml.etree.ElementTree

import pytest

import plotvane

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


@pytest.mark.parametrize("call, error, hresult, description", [
    (lambda d: d.GIFBar, plotvane.Error, 0x8000FFFF, "No data items or points defined."),
    (lambda d: d.Base64Out(7, 0), plotvane.Error, 0x8000FFFF, "Invalid graph type."),
    (lambda d: setattr(d, "Width", "wide"), plotvane.ArgumentError, 0x80020005,
     'Width takes a whole number from -2147483648 to 2147483647 (long), not "wide"'),
    (lambda d: d.AddData("a", "twelve", ""), plotvane.ArgumentError, 0x80020005,
     'AddData: Value (argument 2) takes a number (double), not "twelve"'),
    (lambda d: d.ReadName(70000), plotvane.ArgumentError, 0x8002000A,
     "ReadName: Index (argument 1) takes a whole number from 0 to 65535 (unsigned short), "
     "not 70000"),
    (lambda d: d.AddData("a"), plotvane.ArgumentError, 0x8002000E,
     "AddData takes Name, Value, Colour: 1 given"),
    (lambda d: d.AddData(Name="a", Colour=""), plotvane.ArgumentError, 0x8002000E,
     "AddData takes Name, Value, Colour: 2 given"),
    (lambda d: d.AddData("a", 1, "", name="b"), plotvane.ArgumentError, 0x80020004,
     "AddData got Name twice"),
    (lambda d: d.AddData(Nmae="a"), plotvane.ArgumentError, 0x80020004,
     "AddData has no parameter 'Nmae'; it takes Name, Value, Colour"),
    (lambda d: d.Titel, plotvane.MemberError, 0x80020006,
     'Unknown name "Titel"; did you mean "Title"?'),
    (lambda d: setattr(d, "NoSuchMember", 1), plotvane.MemberError, 0x80020006,
     'Unknown name "NoSuchMember"'),
    (lambda d: setattr(d, "version", "x"), plotvane.MemberError, 0x80020003,
     "Version is a read-only property"),
])
def test_failures_say_what_was_wrong(call, error, hresult, description):
    d = plotvane.Draw()
    with pytest.raises(error) as raised:
        call(d)
    assert (raised.value.hresult, raised.value.description) == (hresult, description)
    assert str(raised.value) == description
    assert raised.value.source == ("Plotvane.Draw" if error is plotvane.Error else "")


def test_refused_calls_are_the_python_errors_of_such_mistakes():
    assert issubclass(plotvane.ArgumentError, TypeError)
    assert issubclass(plotvane.MemberError, AttributeError)
    for error in (plotvane.ArgumentError, plotvane.MemberError):
        assert issubclass(error, plotvane.Error)
    assert not hasattr(plotvane.Draw(), "NoSuchMember")
    with pytest.raises(TypeError):
        plotvane.Draw().AddData(object(), 1, "")  # no argument of that kind exists


def test_arguments_by_name_and_path_like_file_names(tmp_path):
    d = plotvane.Draw()
    d.AddData(Name="Apples", colour="FF0000", VALUE=12)
    d.AddData("Pears", Value=7, Colour="00A000")
    assert [(d.ReadName(Index=i), d.ReadValue(i), d.ReadColor(i)) for i in range(2)] == [
        ("Apples", 12.0, "FF0000"), ("Pears", 7.0, "00A000")]
    d.SavePNGPie(tmp_path / "pie.png")
    d.SaveGIFPie(FileName=tmp_path / "pie.gif")
    assert (tmp_path / "pie.png").read_bytes() == d.PNGPie
    assert (tmp_path / "pie.gif").read_bytes().startswith(b"GIF8")


def test_version():
    assert plotvane.__version__ == "3.1.1.0"
    assert plotvane.Draw().Version.startswith("Plotvane " + plotvane.__version__ + " (")


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


def test_dir_and_help_list_every_member_with_its_meaning():
    d = plotvane.Draw()
    members = [n for n in dir(d) if not n.startswith("_")]
    assert len(members) == 212
    assert {"Width", "AddData", "PNGPie", "ReadName", "Base64Out", "SVGPie"} <= set(members)
    assert "SVGBar: str, read-only" in plotvane.Draw.SVGBar.__doc__
    assert plotvane.Draw.Width.__doc__ == (
        "Width: int, read-write\n\nWidth of the picture in pixels. Default: 400.")
    assert "Version: str, read-only" in plotvane.Draw.Version.__doc__
    assert plotvane.Draw.AddData.__doc__.startswith(
        "AddData(Name: str, Value: float, Colour: str) -> None\n\nAdds an item")
    for name in members:
        assert "\n\n" in getattr(plotvane.Draw, name).__doc__, name  # every member explained
    text = subprocess.run([sys.executable, "-c", "import plotvane; help(plotvane.Draw)"],
                          capture_output=True, text=True, env=os.environ, check=True).stdout
    assert "Dispatch interface for draw Object" in text
    assert "ReadName(self, Index)" in text
    text = subprocess.run([sys.executable, "-c", "import plotvane; help(plotvane.Draw.Title)"],
                          capture_output=True, text=True, env=os.environ, check=True).stdout
    assert 'Title of the chart; an empty title is not drawn. Default: "".' in text
