"""Plotvane charts for Python.

    import plotvane
    d = plotvane.Draw()
    d.AddData("Apples", 12, "FF0000")
    d.AddData("Pears", 7, "00A000")
    open("pie.png", "wb").write(d.PNGPie)

A Draw object is the server's automation object: its properties are
attributes (d.Width = 500), its methods are methods (d.AddData(...)), and
names are matched without regard to case (d.width is d.Width), as scripting
clients match them. Properties that take an index (ReadName, ReadValue,
ReadColor, BMPHandle) are called like methods. Pictures come back as bytes,
SVG pictures (d.SVGPie, with the image map inside) as str.
A member that fails raises plotvane.Error with the HRESULT, the description
and the source the server reported. The interface's enumerations are
IntEnum classes: plotvane.TxGraphType.gtPie, plotvane.TxImageFormat.ifPNG.
"""

import enum as _enum
import inspect as _inspect

from . import _plotvane

__all__ = ["Draw", "Error"]

_GET = _plotvane.DISPATCH_PROPERTYGET
_PUT = _plotvane.DISPATCH_PROPERTYPUT
_METHOD = _plotvane.DISPATCH_METHOD
_INVOKE_FUNC, _INVOKE_GET, _INVOKE_PUT = 1, 2, 4


class Error(Exception):
    """A member of a Draw object failed.

    hresult is the 32-bit result as an unsigned number (0x8000FFFF for a
    failure inside the member), description the server's message and source
    the class that raised it ("Plotvane.Draw").
    """

    def __init__(self, hresult, description, source):
        super().__init__(description or "HRESULT 0x%08X" % hresult)
        self.hresult = hresult
        self.description = description
        self.source = source


def _unsigned(hresult):
    return hresult & 0xFFFFFFFF


def _enumerations(probe):
    made = {}
    for name, help_text, values in probe.enumerations():
        made[name] = _enum.IntEnum(name, values, module=__name__)
        if help_text:
            made[name].__doc__ = help_text
    return made


def _members(probe):
    """The interface's members by name: kind, dispid, help and types."""
    interface, interface_help, functions = probe.describe()
    members = {}
    for name, dispid, invkind, help_text, params, types, result in functions:
        m = members.setdefault(name, {"dispid": dispid, "help": help_text, "get": False,
                                      "put": False, "method": False, "params": [],
                                      "types": [], "result": "None"})
        if invkind == _INVOKE_FUNC:
            m.update(method=True, params=params, types=types, result=result)
        elif invkind == _INVOKE_GET:
            m.update(get=True, params=params, types=types, result=result)
        elif invkind == _INVOKE_PUT:
            m["put"] = True
        m["help"] = m["help"] or help_text
    return interface, interface_help, members


def _signature(name, m):
    args = ", ".join("%s: %s" % (p, t) for p, t in zip(m["params"], m["types"]))
    if m["method"] or m["params"]:
        return "%s(%s) -> %s" % (name, args, m["result"])
    access = "read-write" if m["put"] else "read-only"
    return "%s: %s, %s" % (name, m["result"], access)


def _make_draw_class():
    probe = _plotvane.DrawObject()
    enums = _enumerations(probe)
    interface, interface_help, members = _members(probe)
    del probe

    def convert(value, type_name):
        kind = enums.get(type_name)
        if kind is not None and isinstance(value, int) and not isinstance(value, bool):
            try:
                return kind(value)
            except ValueError:
                return value
        return value

    def call(obj, dispid, flags, args, type_name):
        hresult, value, source, description = obj._object.call(dispid, flags, args)
        if hresult < 0:
            raise Error(_unsigned(hresult), description, source)
        return convert(value, type_name)

    def make_property(name, m):
        dispid, result = m["dispid"], m["result"]

        def fget(self):
            return call(self, dispid, _GET, (), result)

        def fset(self, value):
            call(self, dispid, _PUT, (value,), None)

        doc = _signature(name, m) + ("\n\n" + m["help"] if m["help"] else "")
        return property(fget, fset if m["put"] else None, None, doc)

    def make_method(name, m):
        dispid, result = m["dispid"], m["result"]
        flags = _METHOD if m["method"] else _GET

        def method(self, *args):
            return call(self, dispid, flags, args, result)

        params = [_inspect.Parameter("self", _inspect.Parameter.POSITIONAL_ONLY)]
        params += [_inspect.Parameter(p, _inspect.Parameter.POSITIONAL_ONLY) for p in m["params"]]
        method.__signature__ = _inspect.Signature(params)
        method.__name__ = name
        method.__qualname__ = "Draw." + name
        method.__doc__ = _signature(name, m) + ("\n\n" + m["help"] if m["help"] else "")
        return method

    by_lower = {name.lower(): name for name in members}

    def __init__(self):
        object.__setattr__(self, "_object", _plotvane.DrawObject())

    def __getattr__(self, name):
        canonical = by_lower.get(name.lower())
        if canonical is None or canonical == name:
            raise AttributeError("Draw has no member %r" % name)
        return getattr(self, canonical)

    def __setattr__(self, name, value):
        canonical = by_lower.get(name.lower())
        if canonical is None:
            raise AttributeError("Draw has no member %r" % name)
        if not members[canonical]["put"]:
            raise AttributeError("%s is read-only" % canonical)
        object.__setattr__(self, canonical, value)

    namespace = {
        "__doc__": "%s: %s.\n\n%s" % (interface, interface_help,
                                       "A Draw object of the chart server; its members "
                                       "follow, with their types."),
        "__slots__": ("_object",),
        "__init__": __init__,
        "__getattr__": __getattr__,
        "__setattr__": __setattr__,
        "__module__": __name__,
    }
    for name, m in members.items():
        if m["method"] or m["params"]:
            namespace[name] = make_method(name, m)
        else:
            namespace[name] = make_property(name, m)
    return type("Draw", (object,), namespace), enums


Draw, _enums = _make_draw_class()
globals().update(_enums)
__all__ += sorted(_enums)
