"""INI text exactly as the tool's settings store writes it: "[name]", then "key=value" lines
in order, an empty line after each section, CR LF line ends, values as raw bytes."""


def ini_bytes(sections):
    """sections: list of (name, list of (key, value)); values are bytes or ASCII text."""
    out = bytearray()
    for name, keys in sections:
        out += b"[" + name.encode("ascii") + b"]\r\n"
        for key, value in keys:
            if isinstance(value, str):
                value = value.encode("ascii")
            if not value or value != value.strip(b" ") or b"\r" in value or b"\n" in value:
                raise ValueError(f"[{name}] {key}: the store would not read this value back")
            out += key.encode("ascii") + b"=" + value + b"\r\n"
        out += b"\r\n"
    return bytes(out)
