"""What the check stage decides when nothing is to be installed."""
import re
import subprocess
import time

import pytest

from installer_run import UNINSTALL_KEY, release_manifest, started_lines
from test_first_install import package_of, prepared_run

INSTALLED = "C:\\Program Files\\Velmar\\Corvanta"


def register_installation(run, version="1.0.21.0"):
    run.reg_add(UNINSTALL_KEY, "InstallLocation", "REG_SZ", INSTALLED)
    run.reg_add(UNINSTALL_KEY, "DisplayVersion", "REG_SZ", version)
    return run.unix_path(INSTALLED)


def test_installed_current_application_is_started(installer, tmp_path):
    run, release = prepared_run(installer, tmp_path)
    folder = register_installation(run, release_manifest(release)["application"]["version"])
    folder.mkdir(parents=True)
    subprocess.run(["7z", "x", "-y", f"-o{folder}", str(package_of(release)[0])], check=True,
                   stdout=subprocess.DEVNULL)
    run.serve(release)
    run.start_installer("120", "340")
    assert run.wait_end() == 0
    lines = run.log_lines()
    assert lines[-1] == f"No valid app to download, start the installed one: {INSTALLED}"
    deadline = time.time() + 20
    while not started_lines(folder, "Corvanta.exe") and time.time() < deadline:
        time.sleep(0.2)
    started = started_lines(folder, "Corvanta.exe")
    assert len(started) == 1 and re.search(r"args=120 340 pid=\d+ show=5$", started[0]), started
    assert 8 in run.stages()
    assert not any(l.startswith("Download: ") for l in lines)


@pytest.mark.parametrize("situation", ["entry without its program", "nothing installed"])
def test_nothing_to_install_and_nothing_to_start(installer, tmp_path, situation):
    run, release = prepared_run(installer, tmp_path, "--no-app")
    if situation == "entry without its program":
        register_installation(run).mkdir(parents=True)
    run.serve(release)
    run.start_installer()
    run.wait_log("app is never installed and no valid app to download")
    run.find_window()
    time.sleep(1)
    assert run.log_lines()[-1] == "app is never installed and no valid app to download"
    assert run.stages()[-1] == "ok:117"
    assert run.wait_exit(1) is None
