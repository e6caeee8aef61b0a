"""One run of a Windows program in a real window: a fresh Wine prefix, the
program started in it, xdotool for the input and ImageMagick for the pictures.

The X display, the template prefix and the scratch folder come from
scripts/test.sh (DISPLAY, CORVANTA_WINE_TEMPLATE, CORVANTA_WINE_SCRATCH); run
alone, the tests make their own template under /tmp/corvanta-ui.
"""
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
BUILD = Path(os.environ.get("CORVANTA_TEST_BUILD", ROOT / "build" / "x86_64"))
WINE_ENV = ROOT / "tests" / "wine-env.sh"
WIDTH, HEIGHT = 580, 300
CJK_SYSTEM_FACES = ("MS UI Gothic", "SimSun", "PMingLiU", "Gulim", "Batang", "MingLiU",
                    "MS Gothic", "Microsoft YaHei", "Microsoft JhengHei", "Malgun Gothic",
                    "Meiryo UI", "Yu Gothic UI")


def bash(script, **env):
    full_env = dict(os.environ, **{k: str(v) for k, v in env.items()})
    return subprocess.run(["bash", "-c", f". '{WINE_ENV}'; {script}"], env=full_env, check=True,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).stdout


def scratch_folder():
    folder = Path(os.environ.get("CORVANTA_WINE_SCRATCH", "/tmp/corvanta-ui"))
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def template_prefix():
    template = Path(os.environ.get("CORVANTA_WINE_TEMPLATE", scratch_folder() / "template"))
    bash(f"( flock 9; make_wine_template '{template}' ) 9>'{scratch_folder()}/.template.lock'")
    return template


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, stdout=subprocess.PIPE,
                          text=True).stdout


def language_environment(locale):
    """LC_ALL for Wine's UI language; the locale is compiled once if the
    machine lacks it (Wine picks the string table from the Unix locale)."""
    if locale is None:
        return {"LC_ALL": "en_US.UTF-8", "LOCPATH": str(compiled_locale("en_US"))}
    return {"LC_ALL": f"{locale}.UTF-8", "LOCPATH": str(compiled_locale(locale))}


def compiled_locale(locale):
    folder = scratch_folder() / "locales"
    target = folder / f"{locale}.UTF-8"
    if not (target / "LC_CTYPE").exists():
        folder.mkdir(exist_ok=True)
        subprocess.run(["localedef", "-i", locale, "-f", "UTF-8", str(target)], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return folder


class WineSession:
    """A prefix of its own with this machine's Roboto hidden from Wine, so that
    only the font the program installs can draw the window's text."""

    def __init__(self, locale=None):
        self.prefix = Path(tempfile.mkdtemp(prefix="prefix.ui.", dir=scratch_folder()))
        bash(f"copy_wine_prefix '{template_prefix()}' '{self.prefix}'")
        # Wine registered the machine's fonts in the template; drop Roboto's
        # entries and keep fontconfig from finding it again.
        for hive in ("system.reg", "user.reg"):
            path = self.prefix / hive
            lines = path.read_text(encoding="utf-8", errors="surrogateescape").splitlines(True)
            path.write_text("".join(l for l in lines if "truetype\\\\roboto" not in l),
                            encoding="utf-8", errors="surrogateescape")
        # The fonts a Windows of each East Asian language brings, which its
        # font fallback draws with when a face (Roboto here) lacks a glyph.
        with (self.prefix / "user.reg").open("a", encoding="utf-8") as hive:
            hive.write("\n[Software\\\\Wine\\\\Fonts\\\\Replacements] 1700000000\n")
            for face in CJK_SYSTEM_FACES:
                hive.write(f'"{face}"="WenQuanYi Micro Hei"\n')
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix),
                        FONTCONFIG_FILE=str(HERE / "fonts.conf"), **language_environment(locale))
        # What every program of the session is started through (a network namespace).
        self.launcher = []
        self.process = None
        self.window = None
        self.origin = (0, 0)

    def wine(self):
        return os.environ.get("CORVANTA_WINE", "/usr/lib/wine/wine64")

    def start(self, program, *args, output=None):
        out = open(output or self.prefix / "program.out", "wb")
        self.process = subprocess.Popen([*self.launcher, self.wine(), str(program), *map(str, args)],
                                        env=self.env, stdout=out, stderr=subprocess.STDOUT)
        out.close()

    def find_window(self, title="Corvanta", timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                                   stdout=subprocess.PIPE, text=True).stdout.split()
            for window in found:
                geometry = self.geometry(window)
                if geometry and geometry[2:] == (WIDTH, HEIGHT):
                    self.window = window
                    self.origin = geometry[:2]
                    return window
            time.sleep(0.1)
        raise AssertionError(f"no {WIDTH} x {HEIGHT} window titled {title!r} appeared")

    @staticmethod
    def geometry(window):
        try:
            text = xdotool("getwindowgeometry", "--shell", window)
        except subprocess.CalledProcessError:
            return None
        values = dict(line.split("=", 1) for line in text.split() if "=" in line)
        return (int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))

    @staticmethod
    def visible_windows():
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""],
                              stdout=subprocess.PIPE, text=True).stdout.split()

    def wait_until_only_the_window(self, timeout=10):
        """Waits until no other window of ours is on the screen. Wine takes
        up to a second to take down a window without a window manager."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            others = [w for w in self.visible_windows() if w != self.window
                      and (self.geometry(w) or (0, 0, 0, 0))[2:] != (1024, 768)]
            if not others:
                return
            time.sleep(0.1)
        raise AssertionError(f"windows still open: {others}")

    def refresh_origin(self):
        geometry = self.geometry(self.window)
        if geometry:
            self.origin = geometry[:2]
        return self.origin

    def move_to(self, x, y):
        """Moves the pointer to window coordinates x, y."""
        xdotool("mousemove", self.origin[0] + x, self.origin[1] + y)
        time.sleep(0.15)

    def click(self, x, y):
        self.move_to(x, y)
        xdotool("click", "1")
        # Apart by more than the double-click time, so no click turns into one.
        time.sleep(0.6)

    def press(self, x, y):
        self.move_to(x, y)
        xdotool("mousedown", "1")
        time.sleep(0.3)

    def release(self, x=None, y=None):
        if x is not None:
            self.move_to(x, y)
        xdotool("mouseup", "1")
        time.sleep(0.6)

    def key(self, name):
        xdotool("key", name)
        time.sleep(0.4)

    def screenshot(self, path, x=0, y=0, width=WIDTH, height=HEIGHT):
        """The window's area of the screen (window coordinates), as PNG."""
        whole = self.prefix / "screen.png"
        subprocess.run(["import", "-window", "root", str(whole)], check=True, env=self.env)
        subprocess.run(["convert", str(whole), "-crop",
                        f"{width}x{height}+{self.origin[0] + x}+{self.origin[1] + y}", "+repage",
                        str(path)], check=True)
        return Path(path)

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def window_gone(self, timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.geometry(self.window) is None:
                return True
            time.sleep(0.1)
        return False

    def close(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
        wineserver = os.environ.get("CORVANTA_WINESERVER", "/usr/lib/wine/wineserver64")
        if not Path(wineserver).exists():
            wineserver = shutil.which("wineserver") or wineserver
        subprocess.run([wineserver, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run([wineserver, "-w"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        if not os.environ.get("CORVANTA_KEEP_PREFIX"):
            shutil.rmtree(self.prefix, ignore_errors=True)

    def user_folder(self, *parts):
        users = self.prefix / "drive_c" / "users"
        user = os.environ.get("USER") or "root"
        return users.joinpath(user, *parts)


class DriverSession(WineSession):
    """The main window in tests/ui/ui_driver.exe, commanded through a file."""

    def __init__(self, locale=None):
        super().__init__(locale)
        self.commands = self.prefix / "commands.txt"
        self.events = self.prefix / "events.txt"
        self.commands.write_text("")
        self.sent = 0

    def start_driver(self, *args):
        self.start(BUILD / "ui_driver.exe", windows_path(self.commands), windows_path(self.events),
                   *args)
        self.wait_event("check worker started")
        window = self.find_window()
        # The first paint may still be under way when the window shows.
        self.send("paint")
        return window

    def event_lines(self):
        try:
            return self.events.read_text(encoding="utf-8").splitlines()
        except FileNotFoundError:
            return []

    def wait_event(self, text, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            for line in self.event_lines():
                if line.startswith(text):
                    return line
            if self.process.poll() is not None and not any(
                    l.startswith(text) for l in self.event_lines()):
                break
            time.sleep(0.05)
        raise AssertionError(f"no event {text!r}; events: {self.event_lines()}")

    def send(self, command, settle=0.3, timeout=30):
        """Runs one command on the driver's worker thread and waits for it."""
        self.sent += 1
        with self.commands.open("a") as file:
            file.write(command + "\n")
        self.wait_event(f"done {self.sent} ", timeout)
        time.sleep(settle)

    def state(self):
        before = len(self.event_lines())
        self.send("state", settle=0)
        values = {}
        for line in self.event_lines()[before:]:
            if line.startswith("state flags "):
                words = line.split()[2:]
                values.update(zip(words[::2], words[1::2]))
            elif line.startswith("state "):
                key, _, rest = line[6:].partition(" ")
                values[key] = rest
        return values

    def gdi_objects(self):
        before = len(self.event_lines())
        self.send("gdi", settle=0)
        line = next(l for l in self.event_lines()[before:] if l.startswith("gdi "))
        words = line.split()
        return {"gdi": int(words[1]), "user": int(words[3]), "free": int(words[5])}

    def modal_result(self, timeout=20):
        return int(self.wait_event("modal result", timeout).split()[-1])
