#!/usr/bin/env python3
"""End-to-end tests: run the built program as an installation script runs it.

Each case starts the tool in a fresh temporary folder and checks the exact bytes it writes on
standard output, its exit status and the bytes of every file it may touch. The same cases run
against the native program and, with --wine, against the Windows program under the given Wine
command (the cross build's emulator, cmake/wine-run with the loader: `wine` for the 32-bit
program, the 64-bit loader for the 64-bit one), where standard output is in text mode (CR LF line
ends) and the program name comes from the .exe.

  ostra_e2e.py --tool PATH [--wine COMMAND...] [--versioned-tool PATH] [unittest arguments]

The words after --wine, up to the next option, are the command.
"""

import argparse
import ctypes
import fcntl
import os
import platform
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import unittest

def _options():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True, help="the program under test")
    parser.add_argument("--wine", metavar="COMMAND", nargs="+",
                        help="run it under this Wine command: a loader, or wine-run and a loader")
    parser.add_argument("--versioned-tool", help="the Windows build that carries a version resource")
    return parser.parse_known_args()


_OPTIONS, _UNITTEST_ARGS = _options()
TOOL = os.path.abspath(_OPTIONS.tool)
WINE = _OPTIONS.wine
VERSIONED_TOOL = _OPTIONS.versioned_tool and os.path.abspath(_OPTIONS.versioned_tool)

# Wine takes the ANSI code page from the locale: the C locale gives code page 1252, which the
# expected bytes assume, whatever locale the tests are started in; its UTF-8 form lets Wine read
# file names outside ASCII. The rest of Wine's environment is the Wine command's.
WINE_ENV = dict(os.environ, LC_ALL="C.UTF-8")

MARKER = b"@@SERIAL-PLACEHOLDER@@"   # 22 bytes
SAMPLE = b"Product: Example\r\nSerial: " + MARKER + b"\r\nEnd\r\n"


def usage_text(program="ostra"):
    """The usage text for the tool's options, as DisplayText shows it (with its closing line end)."""
    return ("Usage: %s [@argfile] [/?|h|help] [/v|version] [/burnfile <value>] "
            "[/burnstring <value>] [/burnsn <value>]\n"
            "\n"
            "@argfile\tRead arguments from a file.\n"
            "/?\t\tShow usage.\n"
            "/v\t\tShow version.\n"
            "/burnfile <value>\tFile Name to Burn.\n"
            "/burnstring <value>\tString to search for in burnfile.\n"
            "/burnsn <value>\tSerial Number to Burn.\n"
            "\n" % program).encode("ascii")


def error_and_usage(message):
    return message.encode("latin-1") + b"\n\n" + usage_text()


def console(text):
    """What the program's standard output holds for `text`: text mode turns LF into CR LF on Windows."""
    return text.replace(b"\n", b"\r\n") if WINE else text


def wine_failed_to_run(stdout, stderr):
    """Whether Wine itself failed to run the program: nothing on standard output, and Wine's fatal
    message on standard error, which its loader and its server client begin with "wine: " and
    "wine client error:" before they end the process. The program writes nothing there."""
    return bool(WINE) and not stdout and any(
        line.startswith((b"wine: ", b"wine client error:")) for line in stderr.splitlines())


def stamped(replacement, marker=MARKER):
    block = (replacement + b"\0" * 80)[:len(marker)]
    return SAMPLE.replace(marker, block, 1)


class ToolCase(unittest.TestCase):
    """A fresh folder per case, and a way to run the tool in it."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="ostra-e2e-")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        full = self.path(name)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
        return full

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def run_tool(self, args, tool=None, cwd=None, preexec=None, env=None):
        """Runs the tool with `args` (and `preexec` in the child before it starts) in `env`;
        returns (exit status as a signed number, stdout bytes)."""
        command = [tool or TOOL] + list(args)
        if WINE:
            command = WINE + command
        env = env or WINE_ENV
        # Standard output goes to a file: Wine's helper processes may inherit a pipe and hold it open.
        # The tool writes nothing to standard error; what is there is kept for a failure's message
        # (Wine's own, when it could not run the program).
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            status = subprocess.run(command, cwd=cwd or self.dir, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, env=env, timeout=120,
                                    preexec_fn=preexec).returncode
            out.seek(0)
            stdout = out.read()
            err.seek(0)
            self.stderr = err.read()
        return (-1 if status == 255 else status), stdout

    def check(self, args, status, stdout, **kwargs):
        got_status, got_stdout = self.run_tool(args, **kwargs)
        if wine_failed_to_run(got_stdout, self.stderr):
            # Now and then, with other Wine tests beside it, Wine fails to run the program (seen:
            # status 1 and nothing on standard output). Only that failure of Wine's own is run
            # again, and it is still reported; any other mismatch is the program's.
            sys.stderr.write("%s: %r under Wine gave status %d, stdout %r, stderr %r; run again\n"
                             % (self.id(), args, got_status, got_stdout, self.stderr))
            got_status, got_stdout = self.run_tool(args, **kwargs)
        where = "%r (standard error: %r)" % (args, self.stderr)
        self.assertEqual(console(stdout), got_stdout, "stdout of " + where)
        self.assertEqual(status, got_status, "exit status of " + where)


class HelpAndVersion(ToolCase):
    def test_no_arguments_does_nothing(self):
        self.check([], -1, b"")

    def test_help_under_every_name_and_prefix(self):
        for switch in ["/?", "-?", "/h", "-h", "/help", "-help", "/HELP", "-Help", "/H"]:
            with self.subTest(switch=switch):
                self.check([switch], -1, usage_text())

    def test_version_without_a_version_resource_shows_one_empty_line(self):
        for args in (["/v"], ["-version"], ["/VERSION"], ["/v", "/?"], ["/?", "/v"],
                     ["/v", "/nonsense"]):
            with self.subTest(args=args):
                self.check(args, -1, b"\n")

    def test_help_given_twice_shows_usage_without_the_repeat_error(self):
        self.check(["/h", "/help"], -1, usage_text())

    def test_error_before_help_is_shown_above_usage(self):
        self.check(["/x", "/?"], -1, error_and_usage("Unrecognized argument '/x'."))

    def test_error_after_help_is_hidden(self):
        self.check(["/?", "/x"], -1, usage_text())


class WalkMessages(ToolCase):
    CASES = [
        (["--help"], "Unrecognized argument '--help'."),
        (["/burnfile=x"], "Unrecognized argument '/burnfile=x'."),
        (["file.txt"], "Unrecognized argument 'file.txt'."),
        (["-"], "Unrecognized argument '-'."),
        (["@"], "Unrecognized argument '@'."),
        ([""], "Unrecognized argument ''."),
        (["/burnfile"], "Argument 'burnfile' expects a parameter."),
        (["/burnfile", "a", "/BURNFILE", "b"],
         "Argument 'burnfile' cannot accept another parameter: 'b'."),
        (["/burnstring", "a", "-burnstring", "b"],
         "Argument 'burnstring' cannot accept another parameter: 'b'."),
        (["/burnsn", "a", "/BurnSn", "b"], "Argument 'burnsn' cannot accept another parameter: 'b'."),
        (["/burnfile", "/burnsn", "x"], "Unrecognized argument 'x'."),
        (["@missing.rsp"], "File not found: missing.rsp"),
    ]

    def test_each_message_heads_the_usage_text(self):
        for args, message in self.CASES:
            with self.subTest(args=args):
                self.check(args, -1, error_and_usage(message))

    def test_a_folder_is_not_an_argument_file(self):
        os.mkdir(self.path("folder"))
        self.check(["@folder"], -1, error_and_usage("File not found: folder"))

    def test_value_beginning_with_at_is_not_read(self):
        self.check(["/burnfile", "@list"], 0, b"")
        self.assertFalse(os.path.exists(self.path("@list")))


class Stamping(ToolCase):
    def setUp(self):
        super().setUp()
        self.write("target.bin", SAMPLE)

    def stamp_args(self, value=b"SN-0001"):
        return ["/burnfile", "target.bin", "/burnstring", MARKER.decode(), "/burnsn", value.decode()]

    def test_marker_found_is_written(self):
        self.check(self.stamp_args(), 1, b"")
        self.assertEqual(stamped(b"SN-0001"), self.read("target.bin"))

    def test_second_stamp_finds_nothing(self):
        self.check(self.stamp_args(), 1, b"")
        self.check(self.stamp_args(b"SN-0002"), 0, b"")
        self.assertEqual(stamped(b"SN-0001"), self.read("target.bin"))

    def test_missing_file_gives_0_and_creates_nothing(self):
        self.check(["/burnfile", "absent.bin", "/burnstring", "X", "/burnsn", "Y"], 0, b"")
        self.assertFalse(os.path.exists(self.path("absent.bin")))

    def test_options_in_other_letter_case(self):
        self.check(["-BURNFILE", "target.bin", "/BurnString", MARKER.decode(), "-burnSN", "abc"], 1, b"")
        self.assertEqual(stamped(b"abc"), self.read("target.bin"))

    def test_no_burnfile_means_nothing_to_do(self):
        for args in (["/burnstring", "X", "/burnsn", "Y"], ["/burnfile", "", "/burnstring", "X"]):
            with self.subTest(args=args):
                self.check(args, -1, b"")
        self.assertEqual(SAMPLE, self.read("target.bin"))

    def test_help_version_or_error_beside_a_valid_stamp_leave_the_file_alone(self):
        cases = [
            (["/?"], usage_text()),
            (["/v"], b"\n"),
            (["/bogus"], error_and_usage("Unrecognized argument '/bogus'.")),
        ]
        for extra, stdout in cases:
            for args in (extra + self.stamp_args(), self.stamp_args() + extra):
                with self.subTest(args=args):
                    self.check(args, -1, stdout)
                    self.assertEqual(SAMPLE, self.read("target.bin"))

    def test_refused_lengths_leave_the_file_alone(self):
        long_marker = "M" * 81
        self.check(["/burnfile", "target.bin", "/burnstring", long_marker, "/burnsn", "x"], 0, b"")
        self.check(["/burnfile", "target.bin", "/burnstring", MARKER.decode(), "/burnsn", "v" * 80],
                   0, b"")
        self.check(["/burnfile", "target.bin", "/burnsn", "x"], 0, b"")
        self.assertEqual(SAMPLE, self.read("target.bin"))


class ArgumentFiles(ToolCase):
    OPTIONS = "-burnfile target.bin -burnstring %s -burnsn FROM-FILE" % MARKER.decode()

    def setUp(self):
        super().setUp()
        self.write("target.bin", SAMPLE)

    def test_ansi_file(self):
        self.write("opts.rsp", (self.OPTIONS + "\r\n").encode())
        self.check(["@opts.rsp"], 1, b"")
        self.assertEqual(stamped(b"FROM-FILE"), self.read("target.bin"))

    def test_utf16_file(self):
        self.write("opts.rsp", b"\xff\xfe" + (self.OPTIONS + "\r\n").encode("utf-16-le"))
        self.check(["@opts.rsp"], 1, b"")
        self.assertEqual(stamped(b"FROM-FILE"), self.read("target.bin"))

    @unittest.skipIf(WINE, "the Linux locale")
    def test_utf16_text_reaches_the_program_exactly_or_not_at_all(self):
        # Package scripts, cron and services run with no locale: names are UTF-8 all the same.
        # "M?ller.dat" is what a "?" for the missing character would name, and "/?" the help.
        bare = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_CTYPE", "LANG")}
        latin1 = dict(bare, LC_ALL="de_DE.ISO-8859-1")
        refused = error_and_usage("File %s holds text that ASCII cannot represent."
                                  % os.path.join(os.path.realpath(self.dir), "opts.rsp"))
        # (environment, options, status, stdout, which file is stamped)
        cases = [(bare, "-burnfile M\u00fcller.dat -burnsn FROM-FILE", 1, b"", "M\u00fcller.dat"),
                 (dict(bare, LC_ALL="C"), "-burnfile M\u00fcller.dat -burnsn FROM-FILE", 1, b"",
                  "M\u00fcller.dat"),
                 (latin1, "-burnfile M\u00fcller.dat -burnsn FROM-FILE", -1, refused, None),
                 (latin1, "-burnfile target.bin -burnsn SN-\u03a9-2026", -1, refused, None),
                 (bare, "/\u00e9", -1, b"Unrecognized argument '/\xc3\xa9'.\n\n" + usage_text(),
                  None)]
        for env, options, status, stdout, stamped_name in cases:
            with self.subTest(options=options, locale=env.get("LC_ALL")):
                names = ("M\u00fcller.dat", "M?ller.dat", "target.bin")
                for name in names:
                    self.write(name, SAMPLE)
                text = "%s -burnstring %s" % (options, MARKER.decode())
                self.write("opts.rsp", b"\xff\xfe" + text.encode("utf-16-le"))
                self.check(["@opts.rsp"], status, stdout, env=env)
                self.assertEqual([stamped(b"FROM-FILE") if n == stamped_name else SAMPLE
                                  for n in names], [self.read(n) for n in names])

    def test_big_endian_file_is_refused(self):
        self.write("opts.rsp", b"\xfe\xff" + self.OPTIONS.encode("utf-16-be"))
        status, stdout = self.run_tool(["@opts.rsp"])
        self.assertEqual(-1, status)
        self.assertIn(console(b" is in big-endian unicode format\n\nUsage: "), stdout)
        self.assertEqual(SAMPLE, self.read("target.bin"))

    def test_nested_files_in_folders_with_spaces_keep_values_relative_to_the_start(self):
        # The outer file names the inner one relative to its own folder; the file name value stays
        # as written and is used from the starting folder once the walk is over.
        self.write("lists/outer list.rsp", b'-burnfile target.bin "@inner dir/in ner.rsp"\n')
        self.write("lists/inner dir/in ner.rsp",
                   ("-burnstring %s\n-burnsn \"NESTED VALUE\"\n" % MARKER.decode()).encode())
        self.check(["@lists/outer list.rsp"], 1, b"")
        self.assertEqual(stamped(b"NESTED VALUE"), self.read("target.bin"))

    def test_option_in_a_file_and_again_on_the_command_line_is_a_repeat(self):
        self.write("opts.rsp", b"-burnfile target.bin")
        self.check(["@opts.rsp", "/burnfile", "other.bin"], -1,
                   error_and_usage("Argument 'burnfile' cannot accept another parameter: 'other.bin'."))
        self.assertEqual(SAMPLE, self.read("target.bin"))

    def test_last_token_of_a_file_cannot_take_the_next_command_line_token(self):
        self.write("opts.rsp", b"-burnfile")
        self.check(["@opts.rsp", "target.bin"], -1,
                   error_and_usage("Argument 'burnfile' expects a parameter."))

    def test_file_that_names_itself_ends_the_parse(self):
        self.write("self.rsp", b"@self.rsp")
        status, stdout = self.run_tool(["@self.rsp"])
        self.assertEqual(-1, status)
        self.assertIn(console(b"self.rsp includes itself\n\nUsage: "), stdout)


class Hardening(ToolCase):
    def test_a_value_holding_a_zero_byte_is_refused(self):
        # An argument file can carry a zero byte; the value must not stand for its shorter front.
        self.write("t2.bin", b"xxMAyyMARKxx")
        cases = [b"-burnfile t2.bin -burnstring MA\0RK -burnsn ZZZZ",
                 b"-burnfile t2.bin -burnstring MA -burnsn Z\0Z",
                 b"-burnfile t2.bin\0x -burnstring MA -burnsn ZZ"]
        for content in cases:
            with self.subTest(content=content):
                self.write("args.rsp", content)
                self.check(["@args.rsp"], 0, b"")
                self.assertEqual(b"xxMAyyMARKxx", self.read("t2.bin"))


    def run_in(self, enter, args):
        """Runs the tool natively in the folder that `enter` (run in the child) makes current."""
        with tempfile.TemporaryFile() as out:
            status = subprocess.run([TOOL] + args, preexec_fn=enter, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=subprocess.DEVNULL, timeout=120).returncode
            out.seek(0)
            return (-1 if status == 255 else status), out.read()

    @unittest.skipIf(WINE, "POSIX current directories")
    def test_the_walk_returns_to_a_start_folder_its_path_cannot_reach(self):
        # The start folder's path is longer than the system takes, so only a handle gets back to
        # it; the relative /burnfile value must still name the file in it.
        self.write("pub/args.rsp", b"-burnstring MARK -burnsn ZZ")
        self.write("pub/data.bin", b"xxMARKxx")
        segments = ["d" * 250] * 18
        start = os.open(".", os.O_RDONLY)
        try:
            os.chdir(self.dir)
            for segment in segments:
                os.mkdir(segment)
                os.chdir(segment)
            with open("data.bin", "wb") as f:
                f.write(b"xxMARKxx")
        finally:
            os.fchdir(start)
            os.close(start)

        def enter():
            os.chdir(self.dir)
            for segment in segments:
                os.chdir(segment)

        status, _ = self.run_in(enter, ["@" + self.path("pub/args.rsp"), "/burnfile", "data.bin"])
        self.assertEqual(1, status)
        self.assertEqual(b"xxMARKxx", self.read("pub/data.bin"))

    @unittest.skipIf(WINE, "POSIX current directories")
    def test_an_argument_file_is_read_from_a_deleted_start_folder(self):
        self.write("args.rsp", b"-burnfile target.bin")
        os.mkdir(self.path("gone"))

        def enter():
            os.chdir(self.path("gone"))
            os.rmdir(self.path("gone"))

        self.write("target.bin", SAMPLE)
        status, stdout = self.run_in(enter, ["@" + self.path("args.rsp"), "/burnstring",
                                             MARKER.decode(), "/burnsn", "X"])
        self.assertEqual((0, b""), (status, stdout))

    @unittest.skipIf(WINE, "POSIX signals")
    def test_an_argument_file_cut_short_while_it_is_read_gives_an_error_not_a_signal(self):
        path = self.write("big.rsp", b" " * (192 << 20) + b"/x")
        process = subprocess.Popen([TOOL, "@big.rsp"], cwd=self.dir, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Cut the file as soon as the tool has it open, while it is still being read.
        fds = "/proc/%d/fd" % process.pid
        while process.poll() is None:
            try:
                if any(os.readlink(os.path.join(fds, fd)) == path for fd in os.listdir(fds)):
                    break
            except OSError:
                pass
        os.truncate(path, 0)
        status = process.wait(timeout=120)
        self.assertEqual(255, status)

    def test_a_stamp_the_file_size_limit_would_cut_is_whole_or_absent(self):
        # The Linux program sees the limit ahead and writes nothing. A Windows program under Wine
        # cannot see it, so the marker written over itself meets it first, with nothing changed:
        # Wine then writes on after the short write, and the write past the limit fails (0) where
        # the parent ignores SIGXFSZ, or ends the process with that signal, which a Windows program
        # cannot ignore itself. Either way the file is whole and a later run can still stamp. The
        # marker lies past Wine's own files (its registry), which a server started here saves under
        # the same limit.
        at = 8 << 20
        data = b"x" * at + MARKER + b"x" * 100
        stamp = b"x" * at + stamped(b"SN-0001")[SAMPLE.index(MARKER):][:len(MARKER)] + b"x" * 100
        # (limit in bytes from the marker's start, SIGXFSZ ignored, status, file afterwards)
        cases = []
        for ignored in (False, True):
            cut = -signal.SIGXFSZ if WINE and not ignored else 0
            cases += [(-100000, ignored, cut, data), (5, ignored, cut, data),
                      (len(MARKER) - 1, ignored, cut, data), (len(MARKER), ignored, 1, stamp)]
        for offset, ignored, status, expected in cases:
            with self.subTest(limit=offset, ignored=ignored):
                self.write("target.bin", data)

                def limit(size=at + offset, ignored=ignored):
                    resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))
                    signal.signal(signal.SIGXFSZ, signal.SIG_IGN if ignored else signal.SIG_DFL)

                got = self.run_tool(["/burnfile", "target.bin", "/burnstring", MARKER.decode(),
                                     "/burnsn", "SN-0001"], preexec=limit)
                self.assertEqual((status, b""), got, "standard error: %r" % self.stderr)
                self.assertTrue(expected == self.read("target.bin"), "the file holds %r" %
                                self.read("target.bin")[at - 2:at + len(MARKER) + 2])

    def test_memory_that_runs_out_reading_the_command_line_gives_minus_1_not_an_abort(self):
        # A little below the smallest address space the program answers in, its first allocations
        # fail, where not even the exception that would report it can be made. Lower still the
        # system cannot start the program at all, and says so itself.
        step = 4096

        def run(limit):
            def bound():
                resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
            return self.run_tool(["/bogus"], preexec=bound)

        usage = console(error_and_usage("Unrecognized argument '/bogus'."))
        if WINE:
            self.skipTest("just below the smallest address space the program answers in under "
                          "Wine, Wine itself fails to start (status 3, \"wine: failed to start\")")
        with open(TOOL, "rb") as tool:
            if tool.read(2) == b"#!":
                self.skipTest("the program runs under an emulator, whose own allocations the limit "
                              "binds first")
        if run(1 << 30) != (-1, usage):
            self.skipTest("the program does not start in a bounded address space (a sanitizer's "
                          "shadow memory)")
        low, high = 0, 1 << 30
        while high - low > step:
            middle = (low + high) // 2 // step * step
            low, high = (low, middle) if run(middle) == (-1, usage) else (middle, high)
        message = console(b"Not enough memory to read the command line.\n")
        answers = set()
        for below in range(step, 24 * step + 1, step):
            with self.subTest(below=below):
                status, stdout = run(high - below)
                loader = (b"error while loading shared libraries", b"cannot allocate TLS data")
                if status == 127 and any(said in self.stderr for said in loader):
                    continue
                self.assertEqual(-1, status, "standard error: %r" % self.stderr)
                self.assertIn(stdout, (usage, message))
                answers.add(stdout)
        self.assertIn(message, answers)

    def test_a_long_argument_file_costs_memory_close_to_its_size(self):
        size = 32 << 20
        self.write("many.rsp", b"a " * (size // 2))
        command = (WINE or []) + [TOOL, "@many.rsp"]
        with open(os.devnull, "wb") as null:
            process = subprocess.Popen(command, cwd=self.dir, stdin=subprocess.DEVNULL, stdout=null,
                                       stderr=null, env=WINE_ENV)
            _, status, usage = os.wait4(process.pid, 0)
            process.returncode = os.waitstatus_to_exitcode(status)
        self.assertEqual(255, process.returncode)
        peak = usage.ru_maxrss * 1024
        self.assertLess(peak, 3 * size + (128 << 20))

    @unittest.skipIf(WINE, "POSIX locks; Windows sharing is tested in the unit tests")
    def test_a_file_held_for_a_moment_is_waited_for_whatever_the_lock(self):
        # A lease (Samba's kernel oplocks) needs a read-only holder, and its holder is told of the
        # open by SIGIO, which would end this process.
        signal.signal(signal.SIGIO, signal.SIG_IGN)
        # (how the holder locks, seconds until it lets go, or None to hold on; status)
        cases = [(fcntl.flock, 1.0, 1), (fcntl.flock, None, 0),
                 (fcntl.lockf, 1.0, 1), (fcntl.lockf, None, 0),
                 (lease, 1.0, 1), (lease, None, 0)]
        for lock, seconds, status in cases:
            with self.subTest(lock=lock.__name__, seconds=seconds):
                self.write("target.bin", SAMPLE)
                with open(self.path("target.bin"), "rb" if lock is lease else "r+b") as holder:
                    lock(holder, fcntl.LOCK_EX)
                    if seconds is not None:
                        threading.Timer(seconds, lock, (holder, fcntl.LOCK_UN)).start()
                    self.check(["/burnfile", "target.bin", "/burnstring", MARKER.decode(),
                                "/burnsn", "X"], status, b"")
                self.assertEqual(stamped(b"X") if status else SAMPLE, self.read("target.bin"))

    @unittest.skipIf(WINE, "POSIX locks")
    @unittest.skipUnless(platform.machine() in ("x86_64", "aarch64"), "no filter for this machine")
    def test_a_kernel_without_open_file_description_locks_still_stamps_and_excludes(self):
        # RHEL 7's kernel (3.10) answers EINVAL to F_OFD_SETLK; the program must take the
        # process's record lock instead, which a lockf holder still keeps out.
        stamp = ["/burnfile", "target.bin", "/burnstring", MARKER.decode(), "/burnsn", "OLD"]
        self.write("opts.rsp", " ".join(stamp).encode())
        # (arguments, how another process holds the file, status)
        cases = [(stamp, None, 1), (["@opts.rsp"], None, 1),
                 (stamp, fcntl.lockf, 0), (stamp, fcntl.flock, 0)]
        for args, lock, status in cases:
            with self.subTest(args=args, lock=lock and lock.__name__):
                self.write("target.bin", SAMPLE)
                with open(self.path("target.bin"), "r+b") as holder:
                    if lock:
                        lock(holder, fcntl.LOCK_EX)
                    try:
                        self.check(args, status, b"", preexec=refuse_ofd_locks)
                    except subprocess.SubprocessError as error:
                        self.skipTest("no seccomp filter here: %s" % error)
                self.assertEqual(stamped(b"OLD") if status else SAMPLE, self.read("target.bin"))

    def test_a_reader_gone_before_the_text_leaves_the_status_to_the_program(self):
        # `ostra /bogus | true`: standard output is a pipe nobody reads any more.
        for args in (["/bogus"], ["/?"], ["/v"]):
            with self.subTest(args=args):
                read_end, write_end = os.pipe()
                os.close(read_end)
                command = (WINE or []) + [TOOL] + args
                status = subprocess.run(command, cwd=self.dir, stdin=subprocess.DEVNULL,
                                        stdout=write_end, stderr=subprocess.DEVNULL,
                                        env=WINE_ENV, timeout=120).returncode
                os.close(write_end)
                self.assertEqual(255, status)


def refuse_ofd_locks():
    """Makes this process, and what it runs, answer EINVAL to fcntl commands 36 to 38 (the
    open-file-description locks), as kernels before 3.15 do. Run in the child before exec."""
    arch, fcntl_number = {"x86_64": (0xC000003E, 72),
                          "aarch64": (0xC00000B7, 25)}[platform.machine()]
    class Instruction(ctypes.Structure):
        _fields_ = [("code", ctypes.c_uint16), ("jt", ctypes.c_uint8), ("jf", ctypes.c_uint8),
                    ("k", ctypes.c_uint32)]
    class Program(ctypes.Structure):
        _fields_ = [("len", ctypes.c_ushort), ("filter", ctypes.POINTER(Instruction))]
    load, equal, at_least, above, answer = 0x20, 0x15, 0x35, 0x25, 0x06
    allow, einval = 0x7FFF0000, 0x00050000 | 22
    code = [(load, 0, 0, 4), (equal, 0, 6, arch),            # another system call table: allow
            (load, 0, 0, 0), (equal, 0, 4, fcntl_number),    # not fcntl: allow
            (load, 0, 0, 24), (at_least, 0, 2, 36), (above, 1, 0, 38),  # its command, 36 to 38:
            (answer, 0, 0, einval), (answer, 0, 0, allow)]   # EINVAL
    instructions = (Instruction * len(code))(*[Instruction(*i) for i in code])
    program = Program(len(code), instructions)
    libc = ctypes.CDLL(None, use_errno=True)
    PR_SET_NO_NEW_PRIVS, PR_SET_SECCOMP, SECCOMP_MODE_FILTER = 38, 22, 2
    if (libc.prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 or
            libc.prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, ctypes.byref(program), 0, 0) != 0):
        raise OSError(ctypes.get_errno(), "seccomp")


def lease(holder, operation):
    """Takes or gives up a read lease on `holder`, as fcntl.flock takes or gives up a lock."""
    F_SETLEASE = getattr(fcntl, "F_SETLEASE", 1024)
    fcntl.fcntl(holder, F_SETLEASE, fcntl.F_UNLCK if operation == fcntl.LOCK_UN else fcntl.F_RDLCK)


@unittest.skipUnless(WINE, "Windows build only")
class WindowsOnly(ToolCase):
    def test_batch_script_sees_errorlevel_1_0_and_minus_1(self):
        shutil.copy(TOOL, self.path("ostra.exe"))
        self.write("target.bin", SAMPLE)
        stamp = "ostra.exe /burnfile target.bin /burnstring %s /burnsn SN-42" % MARKER.decode()
        self.write("stamp.bat", ("@echo off\r\n"
                                 "%s\r\necho status=%%ERRORLEVEL%%\r\n"
                                 "%s\r\necho status=%%ERRORLEVEL%%\r\n"
                                 "ostra.exe /bogus > nul\r\necho status=%%ERRORLEVEL%%\r\n"
                                 % (stamp, stamp)).encode())
        env = WINE_ENV
        with tempfile.TemporaryFile() as out:
            subprocess.run(WINE + ["cmd", "/c", "stamp.bat"], cwd=self.dir,
                           stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL,
                           env=env, timeout=120)
            out.seek(0)
            lines = [l.strip() for l in out.read().splitlines() if l.startswith(b"status=")]
        self.assertEqual([b"status=1", b"status=0", b"status=-1"], lines)
        self.assertEqual(stamped(b"SN-42"), self.read("target.bin"))

    def test_texts_reach_standard_output_from_a_folder_the_code_page_cannot_spell(self):
        # The ANSI form of such a path holds "?": the program must not ask its file by that name
        # whether it is a console program, and then wait on a message box nobody closes.
        folder = self.path("\u65e5\u672c\u8a9e")
        os.mkdir(folder)
        shutil.copy(TOOL, os.path.join(folder, "ostra.exe"))
        self.check(["/?"], -1, usage_text(), tool=os.path.join(folder, "ostra.exe"))

    def test_text_the_code_page_lacks_is_refused_never_replaced(self):
        # Each character here is missing from code page 1252, and most have an ASCII look-alike
        # there ("best fit"). Neither a look-alike nor "?" may arrive: either would name another
        # file or option, or stamp a value that is not the one given. The run does nothing.
        m = MARKER.decode()
        # (arguments, the index of the first that code page 1252 cannot hold)
        cases = [(["/burnfile", "\u03b1b.dat", "/burnstring", m, "/burnsn", "ZZ"], 2),
                 (["/burnfile", "\uff0e\uff0e\uff3ctarget.bin", "/burnstring", m, "/burnsn", "ZZ"],
                  2),
                 (["/burnfile", "target.bin", "/burnstring", m, "/burnsn", "SN-\u03a9-2026"], 6),
                 (["/burnfile", "target.bin", "/burnstring", m, "/burnsn", "X\uff02 /v \uff02"], 6),
                 (["/burnfile", "target.bin", "/burnstring", m, "/burnsn", "AB\u3000CD"], 6),
                 (["/?", "\u2212burnfile", "target.bin"], 2),
                 (["/\u03a9"], 1),
                 (["\uff20f.rsp"], 1)]
        os.mkdir(self.path("run"))
        self.write("f.rsp", b"/burnfile ab.dat")
        rsp = "Z:" + self.path("args.rsp").replace("/", "\\")
        for args, index in cases:
            text = " ".join('"%s"' % a if " " in a else a for a in args)
            messages = (("file", ["@../args.rsp"], "File %s" % rsp),
                        ("command line", args, "Argument %d" % index))
            for how, run_args, which in messages:
                with self.subTest(args=ascii(args), how=how):
                    for name in ("target.bin", "ab.dat", "run/target.bin", "run/ab.dat"):
                        self.write(name, SAMPLE)
                    self.write("args.rsp", b"\xff\xfe" + text.encode("utf-16-le"))
                    message = "%s holds text that code page 1252 cannot represent." % which
                    self.check(run_args, -1, error_and_usage(message), cwd=self.path("run"))
                    files = ("target.bin", "ab.dat", "run/target.bin", "run/ab.dat")
                    self.assertEqual([SAMPLE] * 4, [self.read(n) for n in files])

    def test_a_start_folder_the_code_page_cannot_spell_is_where_names_resolve(self):
        # "setupO" is the look-alike of "setup\u03a9": the walk must neither read nor stamp there,
        # and without it must still find its way back.
        for look_alike in (True, False):
            with self.subTest(look_alike=look_alike):
                shutil.rmtree(self.dir)
                os.mkdir(self.dir)
                # (folder, the value its own a.rsp stamps)
                folders = [("setup\u03a9", "HERE")] + ([("setupO", "WRONG")] if look_alike else [])
                for folder, value in folders:
                    self.write(folder + "/product.dat", SAMPLE)
                    self.write(folder + "/a.rsp",
                               ("/burnstring %s /burnsn %s" % (MARKER.decode(), value)).encode())
                self.write("args/a.rsp", ("/burnstring %s" % MARKER.decode()).encode())
                start = self.path("setup\u03a9")
                self.check(["@../args/a.rsp", "/burnfile", "product.dat", "/burnsn", "SN"], 1, b"",
                           cwd=start)
                self.assertEqual(stamped(b"SN"), self.read("setup\u03a9/product.dat"))
                self.write("setup\u03a9/product.dat", SAMPLE)
                self.check(["@a.rsp", "/burnfile", "product.dat"], 1, b"", cwd=start)
                self.assertEqual(stamped(b"HERE"), self.read("setup\u03a9/product.dat"))
                if look_alike:
                    self.assertEqual(SAMPLE, self.read("setupO/product.dat"))

    @unittest.skipUnless(os.environ.get("WINEPREFIX"), "needs a Wine prefix of the tests' own")
    def test_a_volume_is_never_written(self):
        # Wine opens \\.\Q: through the prefix's device link "q::"; here it names an image file.
        image = self.write("volume.img", SAMPLE)
        link = os.path.join(os.environ["WINEPREFIX"], "dosdevices", "q::")
        os.symlink(image, link)
        try:
            for name in ("\\\\.\\Q:", "\\\\?\\Q:", "//./Q:"):
                with self.subTest(name=name):
                    self.check(["/burnfile", name, "/burnstring", MARKER.decode(), "/burnsn", "X"],
                               0, b"")
                    self.assertEqual(SAMPLE, self.read("volume.img"))
        finally:
            os.unlink(link)
        # A file named in the device namespace is still a file.
        self.write("target.bin", SAMPLE)
        name = "\\\\?\\Z:" + self.path("target.bin").replace("/", "\\")
        self.check(["/burnfile", name, "/burnstring", MARKER.decode(), "/burnsn", "X"], 1, b"")
        self.assertEqual(stamped(b"X"), self.read("target.bin"))

    def test_argument_files_with_alike_names_are_not_a_cycle(self):
        # The Unix folder is case-sensitive: a.rsp and A.rsp are two files.
        self.write("target.bin", SAMPLE)
        self.write("a.rsp", b"@A.rsp")
        self.write("A.rsp", ("/burnfile target.bin /burnstring %s /burnsn CASE" % MARKER.decode()).encode())
        self.check(["@a.rsp"], 1, b"")
        self.assertEqual(stamped(b"CASE"), self.read("target.bin"))

    @unittest.skipUnless(VERSIONED_TOOL, "no versioned build")
    def test_version_banner_from_the_version_resource(self):
        banner = (b"Ostra Stamper version 1.2.3.4\n"
                  b"Copyright \xa9 2026 Ostra\xae Team (C). All rights reserved.\n")
        for args in (["/v"], ["/version", "/?"], ["/?", "-V"]):
            with self.subTest(args=args):
                self.check(args, -1, banner + b"\n", tool=VERSIONED_TOOL)
        self.check(["/x"], -1,
                   banner + b"\nUnrecognized argument '/x'.\n\n" + usage_text("ostra_versioned"),
                   tool=VERSIONED_TOOL)
        # The program's own file is read by its exact name, which code page 1252 cannot spell.
        folder = self.path("\u65e5\u672c\u8a9e")
        os.mkdir(folder)
        shutil.copy(VERSIONED_TOOL, os.path.join(folder, "ostra_versioned.exe"))
        self.check(["/v"], -1, banner + b"\n", tool=os.path.join(folder, "ostra_versioned.exe"))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + _UNITTEST_ARGS, verbosity=2)
