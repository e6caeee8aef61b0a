"""The window's texts: the language follows the user's locale, CJK glyphs are
drawn, and everything is in the Roboto face that the program installs."""
import subprocess

import pytest

from conftest import REFERENCES, differing_pixels


def test_window_text_is_drawn_in_the_installed_roboto(driver):
    window = driver()
    assert window.state()["faces"] == "status Roboto | label Roboto | link Roboto"


def test_without_the_installation_the_face_is_missing(driver, shots):
    """The control run: the machine's own Roboto is hidden from Wine, so the
    check above can only pass with the installed font."""
    window = driver("--no-font-install")
    assert "Roboto" not in window.state()["faces"]
    # The header in a substitute face looks different from the reference.
    window.send("stage 4")
    substitute = window.screenshot(shots / "substitute.png", 200, 50, 350, 40)
    reference = shots / "header-reference.png"
    subprocess.run(["convert", str(REFERENCES / "stage4.png"),
                    "-crop", "350x40+200+50", "+repage", str(reference)], check=True)
    assert differing_pixels(substitute, reference) > 100


def test_german_texts(driver, shots, matches_reference):
    """The references read "WEITER" on CONTINUE and "FORTSETZEN" on RESUME."""
    window = driver(locale="de_DE")
    window.send("stage 4")
    matches_reference(window.screenshot(shots / "de-options.png"), "de-options")
    window.click(217, 271)
    matches_reference(window.screenshot(shots / "de-confirm.png"), "de-confirmation")
    window.key("Escape")


@pytest.mark.parametrize("locale", ["ja_JP", "zh_CN", "zh_TW", "ko_KR"])
def test_cjk_glyphs_are_drawn(driver, shots, matches_reference, locale):
    window = driver(locale=locale)
    window.send("stage 4")
    shot = window.screenshot(shots / f"{locale}.png")
    matches_reference(shot, f"{locale}-options")


def test_brazilian_portuguese_uses_the_portuguese_table(driver, shots, matches_reference):
    window = driver(locale="pt_BR")
    window.send("stage 4")
    matches_reference(window.screenshot(shots / "pt_BR.png"), "pt-options")
