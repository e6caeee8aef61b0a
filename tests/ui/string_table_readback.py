"""Read the string tables back out of a built PE file.

The texts are checked as they end up in the program rather than as they are
written in the .rc files, because the resource compiler is what turns UTF-8
source and C escapes into the UTF-16 the program loads; a wrong code page or
a mis-handled escape only shows in the compiled bytes.
"""

import re
import subprocess

RT_STRING = 6

# One line of `wrestool -l`, e.g.
# --type=6 --name=7 --language=1033 [offset=0x1234 size=568]
_LIST_LINE = re.compile(
    r"--type=(?P<type>\d+)\s+--name=(?P<name>\d+)\s+--language=(?P<lang>\d+)")


def list_string_blocks(pe_path):
    """Return [(block_number, language_id)] of every RT_STRING resource."""
    out = subprocess.run(["wrestool", "-l", str(pe_path)], check=True,
                         capture_output=True, text=True).stdout
    blocks = []
    for line in out.splitlines():
        m = _LIST_LINE.search(line)
        if m and int(m.group("type")) == RT_STRING:
            blocks.append((int(m.group("name")), int(m.group("lang"))))
    return blocks


def extract_block(pe_path, block, language):
    """Return the raw bytes of one RT_STRING resource."""
    return subprocess.run(
        ["wrestool", "-x", "--type=%d" % RT_STRING, "--name=%d" % block,
         "--language=%d" % language, "-R", str(pe_path)],
        check=True, capture_output=True).stdout


def decode_block(block, data):
    """Decode one string-table block into {string_id: text}.

    Block N holds the ids (N-1)*16 to (N-1)*16+15, in order, each as a 16-bit
    count followed by that many UTF-16LE code units. A count of 0 is a
    missing id (LoadString cannot tell it from an empty text either), so it
    is left out of the result.
    """
    texts = {}
    pos = 0
    for index in range(16):
        if pos + 2 > len(data):
            raise ValueError("string block %d ends after %d of 16 entries"
                             % (block, index))
        count = int.from_bytes(data[pos:pos + 2], "little")
        pos += 2
        end = pos + 2 * count
        if end > len(data):
            raise ValueError("string block %d: entry %d runs past the end"
                             % (block, index))
        if count:
            # surrogatepass keeps a lone surrogate visible instead of failing
            texts[(block - 1) * 16 + index] = data[pos:end].decode(
                "utf-16-le", "surrogatepass")
        pos = end
    if any(data[pos:]):
        raise ValueError("string block %d: non-zero bytes after entry 15"
                         % block)
    return texts


def read_string_tables(pe_path):
    """Return {language_id: {string_id: text}} for every table in the file."""
    tables = {}
    for block, language in list_string_blocks(pe_path):
        texts = decode_block(block, extract_block(pe_path, block, language))
        table = tables.setdefault(language, {})
        for string_id, text in texts.items():
            if string_id in table:
                raise ValueError("language %d: id %d appears twice"
                                 % (language, string_id))
            table[string_id] = text
    return tables
