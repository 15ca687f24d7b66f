#!/usr/bin/env python3
"""Builds the string tables of LUMAstat.dll from the message sources.

  en.txt         the English texts: one line per distinct text, "<ids>\\t<text>"
  po/<lang>.po   one translation per language, keyed by the English text

  catalogue.py rc OUT.rc      writes the windres string tables, all languages
  catalogue.py pot OUT.pot    writes the translators' template from en.txt
  catalogue.py check          checks the sources and exits

Both refuse sources that would give a wrong catalogue: a missing or extra
translation, other line breaks or "%s" than the English text, or a text that
its language's ANSI code page cannot hold.
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# (PO file, primary language, sublanguage, Windows ANSI code page)
LANGUAGES = [
    ("en", 0x09, 1, "cp1252"),
    ("ja", 0x11, 1, "cp932"),
    ("de", 0x07, 1, "cp1252"),
    ("fr", 0x0C, 1, "cp1252"),
    ("it", 0x10, 1, "cp1252"),
    ("es", 0x0A, 1, "cp1252"),
    ("nl", 0x13, 1, "cp1252"),
    ("sv", 0x1D, 1, "cp1252"),
    ("da", 0x06, 1, "cp1252"),
    ("nb", 0x14, 1, "cp1252"),
    ("cs", 0x05, 1, "cp1250"),
    ("hu", 0x0E, 1, "cp1250"),
    ("pt_BR", 0x16, 1, "cp1252"),
    ("pl", 0x15, 1, "cp1250"),
    ("fi", 0x0B, 1, "cp1252"),
    ("zh_CN", 0x04, 2, "gbk"),
    ("zh_TW", 0x04, 1, "cp950"),
]

RANGES = [(1000, 1507), (2000, 2507), (3000, 3034), (3500, 3500), (5000, 5027),
          (6000, 6033), (7001, 7131), (8001, 8131)]


class CatalogueError(Exception):
    pass


def parse_ids(text):
    ids = []
    for part in text.split(","):
        part = part.strip()
        if "-" in part:
            a, b = part.split("-")
            ids.extend(range(int(a), int(b) + 1))
        else:
            ids.append(int(part))
    return ids


def unescape(s):
    return s.replace("\\n", "\n")


def read_english():
    texts = {}
    with open(os.path.join(HERE, "en.txt"), encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            ids, sep, text = line.rstrip("\n").partition("\t")
            if not sep:
                raise CatalogueError("en.txt:%d: no tab between ids and text" % n)
            for i in parse_ids(ids):
                if i in texts:
                    raise CatalogueError("en.txt:%d: id %d listed twice" % (n, i))
                texts[i] = unescape(text)
    wanted = {i for a, b in RANGES for i in range(a, b + 1)}
    if set(texts) != wanted:
        raise CatalogueError("en.txt: ids %s missing, %s not in the catalogue"
                             % (sorted(wanted - set(texts))[:10], sorted(set(texts) - wanted)[:10]))
    return texts


def po_string(s):
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == "\\" and i + 1 < len(s):
            nxt = s[i + 1]
            out.append({"n": "\n", "t": "\t", '"': '"', "\\": "\\"}.get(nxt, "\\" + nxt))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_po(path):
    """msgid -> msgstr of a PO file (the header entry left out)."""
    entries, cur, field = {}, None, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            m = re.match(r'^(msgid|msgstr) "(.*)"$', line)
            if m:
                if m.group(1) == "msgid":
                    cur = {"msgid": "", "msgstr": ""}
                    entries.setdefault("_list", []).append(cur)
                field = m.group(1)
                cur[field] += po_string(m.group(2))
            elif re.match(r'^"(.*)"$', line) and cur is not None:
                cur[field] += po_string(line[1:-1])
            elif not line.startswith("#") and line.strip():
                raise CatalogueError("%s: cannot read line %r" % (path, line))
    result = {}
    for e in entries.get("_list", []):
        if e["msgid"]:
            if e["msgid"] in result:
                raise CatalogueError("%s: %r translated twice" % (path, e["msgid"]))
            result[e["msgid"]] = e["msgstr"]
    return result


def language_texts(english):
    """[(language row, {id: text})] for every language, checked."""
    out = []
    distinct = set(english.values())
    for row in LANGUAGES:
        name, _, _, codepage = row
        if name == "en":
            texts = dict(english)
        else:
            path = os.path.join(HERE, "po", name + ".po")
            po = read_po(path)
            missing = distinct - set(po)
            extra = set(po) - distinct
            if missing or extra:
                raise CatalogueError("%s: %d English texts untranslated (%r...), %d unknown (%r...)"
                                     % (path, len(missing), sorted(missing)[:1], len(extra), sorted(extra)[:1]))
            texts = {}
            for i, en in english.items():
                tr = po[en]
                if not tr:
                    raise CatalogueError("%s: empty translation of %r" % (path, en))
                if tr.count("\n") != en.count("\n") or tr.count("%s") != en.count("%s"):
                    raise CatalogueError("%s: %r has other line breaks or %%s than %r" % (path, tr, en))
                if tr.replace("%s", "").count("%") or tr.endswith("\n") != en.endswith("\n"):
                    raise CatalogueError("%s: %r does not keep the form of %r" % (path, tr, en))
                texts[i] = tr
        for i, t in texts.items():
            try:
                t.encode(codepage)
            except UnicodeEncodeError as e:
                raise CatalogueError("%s: id %d: %r is not in code page %s" % (name, i, t[e.start:e.end], codepage))
            if any(ord(c) < 0x20 and c != "\n" for c in t):
                raise CatalogueError("%s: id %d holds a control character" % (name, i))
        out.append((row, texts))
    return out


def rc_string(t):
    return '"' + t.replace("\\", "\\\\").replace('"', '""').replace("\n", "\\n") + '"'


def write_rc(path, languages):
    lines = ["// Generated by resources/messages/catalogue.py from en.txt and po/*.po.",
             "#pragma code_page(65001)", ""]
    for (name, primary, sub, _), texts in languages:
        lines.append("// %s" % name)
        lines.append("LANGUAGE 0x%02X, 0x%X" % (primary, sub))
        lines.append("STRINGTABLE")
        lines.append("BEGIN")
        for i in sorted(texts):
            lines.append("    %d, %s" % (i, rc_string(texts[i])))
        lines.append("END")
        lines.append("")
    data = "\n".join(lines)
    if os.path.exists(path) and open(path, encoding="utf-8").read() == data:
        return
    with open(path, "w", encoding="utf-8") as f:
        f.write(data)


def po_quote(t):
    return '"' + t.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n") + '"'


def write_pot(path):
    groups = {}
    with open(os.path.join(HERE, "en.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            ids, _, text = line.rstrip("\n").partition("\t")
            groups.setdefault(unescape(text), []).append(ids)
    out = ['msgid ""', 'msgstr ""', '"Content-Type: text/plain; charset=UTF-8\\n"', ""]
    for text, ids in groups.items():
        out += ["#. ids: " + "; ".join(ids), "#, c-format", "msgid " + po_quote(text), 'msgstr ""', ""]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def main(argv):
    try:
        if len(argv) == 3 and argv[1] == "pot":
            write_pot(argv[2])
            return 0
        languages = language_texts(read_english())
        if len(argv) == 3 and argv[1] == "rc":
            write_rc(argv[2], languages)
        elif len(argv) != 2 or argv[1] != "check":
            print(__doc__, file=sys.stderr)
            return 2
    except CatalogueError as e:
        print("catalogue: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
