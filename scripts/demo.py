"""The run of scripts/demo.sh: the installer against the demo release, then a
report of what it did. Uses the same run harness as the end-to-end tests."""
import argparse
import shutil
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "ui"))

from installer_run import (FRAMEWORK_KEY, RUN_KEY, UNINSTALL_KEY, InstallerRun,  # noqa: E402
                           lnk_target, started_lines)

STAGE_NAMES = {0: "checking", 1: "no-connection", 2: "updating-installer", 3: "preparing",
               4: "options", 5: "downloading", 7: "installing", 8: "finished"}


def stage_name(stage):
    if isinstance(stage, str):
        return "error" if stage.startswith("ok:") else stage
    return STAGE_NAMES.get(stage, f"stage{stage}")


def save_stage_screenshots(run, folder):
    """One picture per stage change, in the order they were seen."""
    folder.mkdir(parents=True, exist_ok=True)
    saved = []
    for number, (stage, image) in enumerate(run.watcher.stage_changes(), 1):
        path = folder / f"{number:02d}-{stage_name(stage)}.png"
        image.save(path)
        saved.append(path)
    return saved


def report(run, output):
    print("\n=== What the run did ===")
    lines = run.log_lines()
    folder = next((l[len("RemoveFolder "):] for l in lines if l.startswith("RemoveFolder ")), None)
    if folder:
        print(f"\nInstall folder {folder}:")
        base = run.unix_path(folder)
        for path in sorted(base.rglob("*")):
            if path.is_file():
                print(f"  {path.relative_to(base)}  ({path.stat().st_size} bytes)")
    print("\nUninstall entry (HKLM, 32-bit view):")
    for name, (kind, value) in (run.reg_values(UNINSTALL_KEY) or {}).items():
        print(f"  {name} = {value}  [{kind}]")
    run_value = (run.reg_values(RUN_KEY) or {}).get("Corvanta")
    print(f"\nRun value Corvanta: {run_value[1] if run_value else '(none)'}")
    framework = (run.reg_values(FRAMEWORK_KEY) or {}).get("Release")
    print(f".NET Framework Release value: {framework[1] if framework else '(none)'}")
    print("\nShortcuts:")
    for shortcut in (run.desktop_shortcut(), run.programs_shortcut()):
        target = lnk_target(shortcut) if shortcut.exists() else "(missing)"
        print(f"  {shortcut.relative_to(run.prefix)} -> {target}")
    if folder:
        print("\nUpdater started with:")
        for line in started_lines(run.unix_path(folder), "Corvanta.Updater.exe") or ["(not started)"]:
            print(f"  {line}")
    print("\nInstall log:")
    for line in lines:
        print(f"  {line}")
    print(f"\nTemp folder left: {'yes' if run.temp_folder().exists() else 'no'}")
    print(f"Prefix kept for a look: {run.prefix}")
    print(f"Output folder: {output}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=("interactive", "automatic"), required=True)
    parser.add_argument("--release", type=Path, required=True)
    parser.add_argument("--output", type=Path, required=True)
    options = parser.parse_args()

    run = InstallerRun(options.output / "run", error_texts={})
    run.tmp.mkdir(parents=True, exist_ok=True)
    try:
        service = run.serve(options.release)
        print(f"demo: update service at {service.url}, serving {options.release}")
        run.start_installer()
        if options.mode == "interactive":
            print("demo: the installer window is open; click through it.")
            code = run.wait_end(timeout=3600)
        else:
            run.wait_options_page(timeout=120)
            time.sleep(0.5)
            run.accept_and_continue()
            code = run.wait_end(timeout=300)
        time.sleep(1)
        print(f"demo: the installer ended with exit code {code}")
        shots = save_stage_screenshots(run, options.output / "screenshots")
        if shots:
            print(f"demo: {len(shots)} screenshots of the stages in {options.output / 'screenshots'}:")
            for shot in shots:
                print(f"  {shot.name}")
        report(run, options.output)
    finally:
        run.close()
        shutil.rmtree(options.output / "wine" / "template", ignore_errors=True)


if __name__ == "__main__":
    main()
