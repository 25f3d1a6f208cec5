"""Plotvane charts for Python.

    import plotvane
    d = plotvane.Draw()
    d.AddData("Apples", 12, "FF0000")
    d.AddData("Pears", 7, "00A000")
    open("pie.png", "wb").write(d.PNGPie)

A Draw object is the server's automation object: its properties are
attributes (d.Width = 500), its methods are methods (d.AddData(...)), and
names are matched without regard to case (d.width is d.Width), as scripting
clients match them. Arguments may also be given by their parameter names
(d.AddData(Name="Apples", Value=12, Colour="FF0000")), and a file name may be
any path-like object. Properties that take an index (ReadName, ReadValue,
ReadColor, BMPHandle) are called like methods. Pictures come back as bytes,
SVG pictures (d.SVGPie, with the image map inside) as str.
help(plotvane.Draw.Title) tells what a member means and its default.

Failures raise plotvane.Error with the HRESULT, the description and the
source the server reported. A call the interface refuses says what was
wrong, and its error is also the Python error such a mistake raises:
plotvane.ArgumentError (a TypeError) for a wrong number or type of
arguments, plotvane.MemberError (an AttributeError) for an unknown name or a
write of a read-only property. Both derive from plotvane.Error too, so that
"except plotvane.Error" still catches every failure of a member.

The interface's enumerations are IntEnum classes:
plotvane.TxGraphType.gtPie, plotvane.TxImageFormat.ifPNG.
"""

import enum as _enum
import inspect as _inspect
import os as _os

from . import _plotvane

__all__ = ["ArgumentError", "Draw", "Error", "MemberError"]

_GET = _plotvane.DISPATCH_PROPERTYGET
_PUT = _plotvane.DISPATCH_PROPERTYPUT
_METHOD = _plotvane.DISPATCH_METHOD


class Error(Exception):
    """A member of a Draw object failed.

    hresult is the 32-bit result as an unsigned number (0x8000FFFF for a
    failure inside the member), description the server's message (or, for a
    call the interface refused, what was wrong with it) and source the class
    that raised it ("Plotvane.Draw"; "" for a refused call).
    """

    def __init__(self, hresult, description, source):
        super().__init__(description or "HRESULT 0x%08X" % hresult)
        self.hresult = hresult
        self.description = description
        self.source = source


class ArgumentError(Error, TypeError):
    """A member was given the wrong number of arguments, or an argument of
    a type it cannot take."""


class MemberError(Error, AttributeError):
    """A Draw object has no member of that name, or the member cannot be
    used so (a read-only property written, a method read)."""


# The error raised for each result the interface refuses a call with.
_ERROR_OF = {
    _plotvane.DISP_E_BADPARAMCOUNT: ArgumentError,
    _plotvane.DISP_E_TYPEMISMATCH: ArgumentError,
    _plotvane.DISP_E_OVERFLOW: ArgumentError,
    _plotvane.DISP_E_PARAMNOTFOUND: ArgumentError,
    _plotvane.DISP_E_UNKNOWNNAME: MemberError,
    _plotvane.DISP_E_MEMBERNOTFOUND: MemberError,
}

# Python's names for the interface's types; enumerations keep theirs.
_PYTHON_TYPE = {
    "long": "int", "unsigned short": "int", "OLE_COLOR": "int", "double": "float",
    "float": "float", "BSTR": "str", "VARIANT_BOOL": "bool",
    # The only VARIANTs IDraw returns are pictures.
    "VARIANT": "bytes", "void": "None",
}


def _error(hresult, description, source):
    hresult &= 0xFFFFFFFF
    return _ERROR_OF.get(hresult, Error)(hresult, description, source)


def _python_type(type_name):
    return _PYTHON_TYPE.get(type_name, type_name)


def _signature(m):
    args = ", ".join("%s: %s" % (p, _python_type(t)) for p, t in zip(m["params"], m["types"]))
    result = _python_type(m["type"])
    if m["method"] or m["params"]:
        return "%s(%s) -> %s" % (m["name"], args, result)
    return "%s: %s, %s" % (m["name"], result, "read-write" if m["put"] else "read-only")


def _argument(value):
    """A file name may be any path-like object."""
    return _os.fsdecode(value) if isinstance(value, _os.PathLike) else value


def _make_draw_class():
    probe = _plotvane.DrawObject()
    interface, interface_help, described, enumerations = probe.describe()
    enums = {}
    for name, values in enumerations:
        enums[name] = _enum.IntEnum(name, values, module=__name__)
    members = {}
    for name, dispid, get, put, method, help_text, params, types, type_name in described:
        members[name] = {"name": name, "dispid": dispid, "get": get, "put": put,
                         "method": method, "help": help_text, "params": params,
                         "types": types, "type": type_name}
    version = probe.call(members["Version"]["dispid"], _GET, (), "Version")[1]
    del probe

    def convert(value, type_name):
        kind = enums.get(type_name)
        if kind is not None and isinstance(value, int) and not isinstance(value, bool):
            try:
                return kind(value)
            except ValueError:
                return value
        return value

    def call(obj, m, flags, args):
        args = tuple(_argument(a) for a in args)
        hresult, value, source, description = obj._object.call(m["dispid"], flags, args,
                                                                m["name"])
        if hresult < 0:
            raise _error(hresult, description, source)
        return convert(value, m["type"])

    def bind(obj, m, flags, args, keywords):
        """The arguments in order, those given by name put in their places."""
        if not keywords:
            return args
        params = m["params"]
        position = {p.lower(): i for i, p in enumerate(params)}
        values = list(args) + [None] * max(0, len(params) - len(args))
        given = [True] * len(args) + [False] * max(0, len(params) - len(args))
        for key, value in keywords.items():
            i = position.get(key.lower())
            if i is None:
                raise ArgumentError(_plotvane.DISP_E_PARAMNOTFOUND,
                                    "%s has no parameter %r; it takes %s"
                                    % (m["name"], key, ", ".join(params) or "none"), "")
            if given[i]:
                raise ArgumentError(_plotvane.DISP_E_PARAMNOTFOUND,
                                    "%s got %s twice" % (m["name"], params[i]), "")
            values[i], given[i] = value, True
        if not all(given):
            # Counted as the interface counts: what was given, in order.
            present = tuple(v for v, g in zip(values, given) if g)
            raise ArgumentError(_plotvane.DISP_E_BADPARAMCOUNT,
                                obj._object.explain(_plotvane.DISP_E_BADPARAMCOUNT, m["name"],
                                                    flags, present), "")
        return tuple(values)

    def documentation(m):
        return _signature(m) + ("\n\n" + m["help"] if m["help"] else "")

    def make_property(m):
        def fget(self):
            return call(self, m, _GET, ())

        def fset(self, value):
            call(self, m, _PUT, (value,))

        return property(fget, fset if m["put"] else None, None, documentation(m))

    def make_method(m):
        flags = _METHOD if m["method"] else _GET

        def method(self, *args, **keywords):
            return call(self, m, flags, bind(self, m, flags, args, keywords))

        params = [_inspect.Parameter("self", _inspect.Parameter.POSITIONAL_OR_KEYWORD)]
        params += [_inspect.Parameter(p, _inspect.Parameter.POSITIONAL_OR_KEYWORD)
                   for p in m["params"]]
        method.__signature__ = _inspect.Signature(params)
        method.__name__ = m["name"]
        method.__qualname__ = "Draw." + m["name"]
        method.__doc__ = documentation(m)
        return method

    by_lower = {name.lower(): name for name in members}

    def unknown(self, name):
        description = self._object.explain(_plotvane.DISP_E_UNKNOWNNAME, name, _GET, ())
        return MemberError(_plotvane.DISP_E_UNKNOWNNAME, description, "")

    def __init__(self):
        object.__setattr__(self, "_object", _plotvane.DrawObject())

    def __getattr__(self, name):
        canonical = by_lower.get(name.lower())
        if name.startswith("__") or canonical == name:
            raise AttributeError(name)
        if canonical is None:
            raise unknown(self, name)
        return getattr(self, canonical)

    def __setattr__(self, name, value):
        canonical = by_lower.get(name.lower())
        if canonical is None:
            raise unknown(self, name)
        if members[canonical]["put"]:
            object.__setattr__(self, canonical, value)
        else:
            # The server refuses it, and the refusal says why.
            call(self, members[canonical], _PUT, (value,))

    namespace = {
        "__doc__": "%s: %s.\n\n%s" % (interface, interface_help,
                                       "A Draw object of the chart server; its members "
                                       "follow, each with its type, meaning and default."),
        "__slots__": ("_object",),
        "__init__": __init__,
        "__getattr__": __getattr__,
        "__setattr__": __setattr__,
        "__module__": __name__,
    }
    for name, m in members.items():
        if m["method"] or m["params"]:
            namespace[name] = make_method(m)
        else:
            namespace[name] = make_property(m)
    return type("Draw", (object,), namespace), enums, version


Draw, _enums, _version_text = _make_draw_class()
# "Plotvane 3.1.1.0 (64 bit)": the version of the server this module drives.
__version__ = _version_text.split()[1]
globals().update(_enums)
__all__ += sorted(_enums)
