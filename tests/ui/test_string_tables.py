"""The texts in the built installer, compared with an expected-text list.

expected_strings.json is written out separately from the .rc files, so a typo
in either one shows up here as a difference. The comparison is on UTF-16LE
bytes because that is what LoadString hands the program; trailing blanks,
CR LF breaks and look-alike characters (… against ..., ’ against ') matter.
"""

import json
import os
import pathlib
import shutil
import sys

import pytest

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parents[1]
sys.path.insert(0, str(HERE))

from string_table_readback import read_string_tables  # noqa: E402

RELEASE_EXE = pathlib.Path(os.environ.get(
    "CORVANTA_RELEASE_EXE", REPO / "build" / "i686" / "CorvantaSetup.exe"))

with open(HERE / "expected_strings.json", encoding="utf-8") as f:
    EXPECTED = {int(lang): {int(i): text for i, text in table.items()}
                for lang, table in json.load(f).items()}

LANGUAGES = sorted(EXPECTED)
STRING_IDS = list(range(101, 124))

ENGLISH = 1033
# 113 ("Installing") starts with its first letter twice in these tables;
# the program shows it as it is, so the doubling has to survive the build.
# In Japanese the extra letter is a Latin "I" in front of the katakana "イ".
DOUBLED_113 = {7: "II", 16: "II", 17: "Iイ"}


def text_of(tables, lang, string_id):
    try:
        return tables[lang][string_id]
    except KeyError:
        pytest.fail("language %d has no string %d" % (lang, string_id),
                    pytrace=False)


@pytest.fixture(scope="module")
def tables():
    if not RELEASE_EXE.is_file():
        pytest.skip("release program %s not built (set CORVANTA_RELEASE_EXE "
                    "to test another file)" % RELEASE_EXE)
    if shutil.which("wrestool") is None:
        pytest.fail("wrestool not found; install the icoutils package")
    return read_string_tables(RELEASE_EXE)


def test_fixture_has_twelve_full_tables():
    assert len(EXPECTED) == 12
    for lang, table in EXPECTED.items():
        assert sorted(table) == STRING_IDS, lang


def test_exactly_the_twelve_languages(tables):
    missing = sorted(set(LANGUAGES) - set(tables))
    extra = sorted(set(tables) - set(LANGUAGES))
    assert not missing and not extra, \
        "languages missing: %s, unexpected: %s" % (missing, extra)


@pytest.mark.parametrize("lang", LANGUAGES)
def test_ids_101_to_123_and_no_others(tables, lang):
    ids = set(tables.get(lang, {}))
    missing = sorted(set(STRING_IDS) - ids)
    extra = sorted(ids - set(STRING_IDS))
    assert not missing and not extra, \
        "language %d: ids missing: %s, unexpected: %s" % (lang, missing, extra)


@pytest.mark.parametrize("lang", LANGUAGES)
def test_texts_match_byte_exact(tables, lang):
    actual = tables.get(lang, {})
    differences = []
    for string_id in STRING_IDS:
        want = EXPECTED[lang][string_id]
        got = actual.get(string_id)
        if got is None:
            differences.append("  id %d: missing, expected %r"
                               % (string_id, want))
        elif got.encode("utf-16-le", "surrogatepass") != \
                want.encode("utf-16-le"):
            differences.append("  id %d:\n    expected %r\n    actual   %r"
                               % (string_id, want, got))
    if differences:
        # Without the traceback, so the list of texts is the whole report.
        pytest.fail("language %d differs:\n%s" % (lang, "\n".join(differences)),
                    pytrace=False)


@pytest.mark.parametrize("lang", LANGUAGES)
def test_product_name_is_corvanta(tables, lang):
    # 123 is the window title and the name used for the install folder and
    # shortcuts, so it must not be translated.
    assert text_of(tables, lang, 123) == "Corvanta"


@pytest.mark.parametrize("lang,start", sorted(DOUBLED_113.items()))
def test_installing_begins_with_doubled_letter(tables, lang, start):
    text = text_of(tables, lang, 113)
    assert text.startswith(start) and text[2:3] != text[1:2], repr(text)


@pytest.mark.parametrize("string_id", [103, 121])
def test_english_two_line_texts_have_one_break(tables, string_id):
    # The status line splits these at the CR LF into exactly two lines.
    text = text_of(tables, ENGLISH, string_id)
    assert text.count("\r\n") == 1, repr(text)
    assert text.count("\r") == 1 and text.count("\n") == 1, repr(text)
