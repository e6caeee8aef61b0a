"""scripts/demo.sh, the command that shows the product, on a machine without a display."""
import os
import subprocess

from installer_run import ROOT


def test_demo_runs_to_the_end_without_a_display(tmp_path):
    output = tmp_path / "demo"
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    result = subprocess.run(["bash", str(ROOT / "scripts" / "demo.sh"), str(output)], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            timeout=900)
    text = result.stdout
    assert result.returncode == 0, text[-4000:]
    assert "the installer ended with exit code 0" in text
    for part in ("Install folder C:\\Program Files\\Velmar\\Corvanta:", "Corvanta.exe",
                 "UninstallString = ", "Run value Corvanta: \"C:\\Program Files\\Velmar\\Corvanta"
                 "\\Corvanta.exe\" /WinStart", "-> C:\\Program Files\\Velmar\\Corvanta\\Corvanta.exe",
                 "Corvanta.Updater.exe args=", "Start application: "):
        assert part in text, part
    shots = sorted(p.name for p in (output / "screenshots").glob("*.png"))
    assert any("options" in s for s in shots) and any("installing" in s for s in shots), shots
    # Nothing of the run is left running.
    left = subprocess.run(["pgrep", "-af", str(output)], stdout=subprocess.PIPE, text=True).stdout
    assert left.strip() == "", left
