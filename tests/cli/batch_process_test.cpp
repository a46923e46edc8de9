// The batch as a long run meets the system: output files replaced whole or not at all,
// stop signals, the progress line on a terminal, and memory whatever the file.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_test_support.h"
#include "progress_line.h"

namespace {

using namespace std::string_literals;
using vessane::cli::testing::RunShell;

constexpr const char* kHeaderOut = "age,result,bar,p_sys,p_dia,error\n";
constexpr const char* kRowOut = "50,10.3 %,10,0.10338928041321527,0.09352022457316844,\n";

// A folder of this test process's own, emptied and removed at the end.
class Folder {
public:
    Folder() : path_(::testing::TempDir() + "vessane_batch_" + std::to_string(getpid())) {
        mkdir(path_.c_str(), 0755);
    }
    ~Folder() { RunShell("rm -rf '" + path_ + "'"); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder, one a line.
    std::string Names() const { return RunShell("ls -A '" + path_ + "'").out; }

private:
    std::string path_;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Rows(int count) {
    std::string text = "age\n";
    for (int i = 0; i < count; ++i) text += "50\n";
    return text;
}

std::string Output(int count) {
    std::string text = kHeaderOut;
    for (int i = 0; i < count; ++i) text += kRowOut;
    return text;
}

// Whether text is whole output rows of Rows(): the header, then full rows only.
bool WholeRows(const std::string& text) {
    if (text.rfind(kHeaderOut, 0) != 0) return false;
    const std::string row = kRowOut;
    for (std::size_t at = std::string(kHeaderOut).size(); at < text.size(); at += row.size()) {
        if (text.compare(at, row.size(), row) != 0) return false;
    }
    return true;
}

// The program reading a pipe the test writes; standard output to outPath.
struct Child {
    pid_t pid = -1;
    int input = -1;

    // outPath exists when the constructor returns, whatever the child has done by then.
    Child(const std::vector<std::string>& arguments, const std::string& outPath) {
        int fds[2];
        if (pipe(fds) != 0) return;
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid = fork();
        if (pid == 0) {
            dup2(fds[0], 0);
            dup2(out, 1);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            close(fds[1]);
            std::vector<char*> argv{const_cast<char*>(VESSANE_CLI_PATH)};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(VESSANE_CLI_PATH, argv.data());
            _exit(127);
        }
        close(out);
        close(fds[0]);
        input = fds[1];
    }
    void Send(const std::string& text) const {
        for (std::size_t at = 0; at < text.size();) {
            const ssize_t n = write(input, text.data() + at, text.size() - at);
            if (n <= 0) return;
            at += static_cast<std::size_t>(n);
        }
    }
    // The exit status, as a shell shows it.
    int Wait() {
        int status = 0;
        waitpid(pid, &status, 0);
        if (input != -1) close(input);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
};

// Polls until condition holds. The bound only turns a hang into a failure: it is far
// beyond what a loaded machine needs, and no result depends on how long it took.
bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::size_t FileSize(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 ? static_cast<std::size_t>(s.st_size) : 0;
}

TEST(BatchOutputFile, ReplacedWholeOrLeftAsItWas) {
    const Folder folder;
    const std::string in = folder / "in.csv";
    Put(in, Rows(3000));
    const std::string out = folder / "out.csv";
    struct Case {
        const char* name;
        const char* command;  // IN and OUT stand for the files
        int status;
        bool replaced;
    } cases[] = {
        {"complete", "CLI --defaults --quiet --batch IN -o OUT", 0, true},
        {"complete, from standard input", "CLI --defaults --quiet --batch - --output OUT < IN", 0,
         true},
        {"unterminated quote", "(cat IN; printf '\"5') | CLI --defaults --quiet --batch - -o OUT",
         1, false},
        // A write past the size limit fails (EFBIG) as on a full disk.
        {"full disk", "ulimit -f 16; trap '' XFSZ; CLI --defaults --quiet --batch IN -o OUT", 1,
         false},
        {"folder that cannot be written", "CLI --defaults --quiet --batch IN -o /proc/vessane.csv",
         1, false},
    };
    for (const Case& c : cases) {
        for (const bool existed : {false, true}) {
            std::remove(out.c_str());
            if (existed) Put(out, "old contents\n");
            std::string command = c.command;
            command.replace(command.find("IN"), 2, "'" + in + "'");
            if (command.find("OUT") != std::string::npos) {
                command.replace(command.find("OUT"), 3, "'" + out + "'");
            }
            const auto run = RunShell(command);
            EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
            EXPECT_EQ(run.out, "") << c.name;
            EXPECT_EQ(c.status == 0, run.err.empty()) << c.name << ": " << run.err;
            if (c.replaced) {
                EXPECT_EQ(Slurp(out), Output(3000)) << c.name;
            } else {
                EXPECT_EQ(Slurp(out), existed ? "old contents\n" : "")
                    << c.name << (existed ? ", file existed" : "");
            }
            // Nothing left beside it.
            EXPECT_EQ(folder.Names(), existed || c.replaced ? "in.csv\nout.csv\n" : "in.csv\n")
                << c.name;
        }
    }
}

TEST(BatchOutputFile, TheInputItselfIsRefused) {
    const Folder folder;
    const std::string in = folder / "in.csv";
    Put(in, Rows(2));
    link(in.c_str(), (folder / "hard.csv").c_str());
    symlink(in.c_str(), (folder / "soft.csv").c_str());
    const std::string ways[] = {in, folder / "hard.csv", folder / "soft.csv", folder / "./in.csv",
                                folder / "../" + in.substr(in.rfind('/', in.rfind('/') - 1) + 1)};
    for (const std::string& output : ways) {
        for (const char* input : {"--batch IN", "--batch - < IN"}) {
            std::string command = "CLI "s + input + " -o '" + output + "'";
            command.replace(command.find("IN"), 2, "'" + in + "'");
            const auto run = RunShell(command);
            EXPECT_EQ(run.status, 2) << command;
            EXPECT_NE(run.err.find("est le fichier lu"), std::string::npos) << run.err;
            EXPECT_EQ(Slurp(in), Rows(2)) << command;
        }
    }
    EXPECT_EQ(folder.Names(), "hard.csv\nin.csv\nsoft.csv\n");
}

// -o on what is not a plain file: a link is followed and its target replaced (the link
// stays), a FIFO, a device or a socket is written to and never replaced, a folder is
// refused.
TEST(BatchOutputFile, EachKindOfFile) {
    const Folder folder;
    const std::string in = folder / "in.csv";
    Put(in, Rows(5000));  // more than a pipe holds
    const std::string out = folder / "out";
    const std::string target = folder / "target.csv";
    struct Case {
        const char* name;
        std::function<void()> make;  // makes out
        const char* command;         // OUT stands for out, TARGET for target
        int status;
        mode_t kind;  // what out must still be
        std::string targetAfter;
    } cases[] = {
        {"link to a file",
         [&] {
             Put(target, "old\n");
             symlink("target.csv", out.c_str());
         },
         "CLI --defaults --quiet --batch IN -o OUT", 0, S_IFLNK, Output(5000)},
        {"link to a missing file", [&] { symlink(target.c_str(), out.c_str()); },
         "CLI --defaults --quiet --batch IN -o OUT", 0, S_IFLNK, Output(5000)},
        {"FIFO", [&] { mkfifo(out.c_str(), 0600); },
         "cat OUT > TARGET & CLI --defaults --quiet --batch IN -o OUT; s=$?; wait; exit $s", 0,
         S_IFIFO, Output(5000)},
        {"FIFO whose reader goes away", [&] { mkfifo(out.c_str(), 0600); },
         "head -c 3 OUT > TARGET & CLI --defaults --quiet --batch IN -o OUT; s=$?; wait; exit $s",
         128 + SIGPIPE, S_IFIFO, Output(1).substr(0, 3)},
        {"socket", [] {},
         "python3 -c \"import socket; s = socket.socket(socket.AF_UNIX); s.bind('OUT'); "
         "s.listen(); c = s.accept()[0]; open('TARGET', 'wb').write(c.makefile('rb').read())\" & "
         // Bounded: a socket that never appears fails the case instead of hanging it.
         "n=0; while [ ! -S OUT ] && [ $n -lt 1200 ]; do sleep 0.05; n=$((n+1)); done; "
         "[ -S OUT ] || { echo 'awaited: the socket OUT' >&2; exit 124; }; "
         "CLI --defaults --quiet --batch IN -o OUT; s=$?; wait; exit $s",
         0, S_IFSOCK, Output(5000)},
        {"character device", [&] { symlink("/dev/null", out.c_str()); },
         "CLI --defaults --quiet --batch IN -o OUT", 0, S_IFLNK, ""},
        {"folder", [&] { mkdir(out.c_str(), 0700); }, "CLI --defaults --quiet --batch IN -o OUT", 1,
         S_IFDIR, ""},
        // The program's own descriptors: written where they stand, appended to, never
        // replaced (the file behind them keeps what it held).
        {"/dev/stdout appending to a file", [&] { Put(target, "old\n"); },
         "CLI --defaults --quiet --batch IN -o /dev/stdout >> TARGET; s=$?; touch OUT; exit $s", 0,
         S_IFREG, "old\n" + Output(5000)},
        {"/dev/fd/3", [&] { Put(target, "old\n"); },
         "CLI --defaults --quiet --batch IN -o /dev/fd/3 3>> TARGET; s=$?; touch OUT; exit $s", 0,
         S_IFREG, "old\n" + Output(5000)},
        {"/proc/self/fd/1", [&] { Put(target, "old\n"); },
         "CLI --defaults --quiet --batch IN -o /proc/self/fd/1 >> TARGET; s=$?; touch OUT; exit $s",
         0, S_IFREG, "old\n" + Output(5000)},
        // Stopped while waiting for a FIFO's reader: the stop's status, not a failure.
        {"FIFO without a reader, stopped", [&] { mkfifo(out.c_str(), 0600); },
         "CLI --defaults --quiet --batch IN -o OUT & p=$!; "
         // Bounded: where the kernel names its wait otherwise, the case fails, saying so.
         "n=0; until grep -qE 'wait_for_partner|fifo_open' /proc/$p/wchan || [ $n -ge 6000 ]; "
         "do sleep 0.01; n=$((n+1)); done; [ $n -lt 6000 ] || "
         "{ echo \"awaited: the FIFO's open in /proc/$p/wchan ($(cat /proc/$p/wchan))\" >&2; "
         "kill $p; exit 124; }; kill -INT $p; wait $p",
         128 + SIGINT, S_IFIFO, ""},
    };
    for (const Case& c : cases) {
        RunShell("rm -rf '" + out + "' '" + target + "'");
        c.make();
        std::string command = c.command;
        command.replace(command.find("IN"), 2, "'" + in + "'");
        for (std::size_t at; (at = command.find("OUT")) != std::string::npos;) {
            command.replace(at, 3, out);  // the test's folder holds no space nor quote
        }
        for (std::size_t at; (at = command.find("TARGET")) != std::string::npos;) {
            command.replace(at, 6, target);
        }
        const auto run = RunShell(command);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        struct stat status;
        ASSERT_EQ(lstat(out.c_str(), &status), 0) << c.name;
        EXPECT_EQ(status.st_mode & S_IFMT, c.kind) << c.name;
        EXPECT_EQ(Slurp(target), c.targetAfter) << c.name;
        EXPECT_EQ(run.err.empty(), c.status != 1) << c.name << ": " << run.err;
        if (c.kind == S_IFREG) RunShell("rm -f '" + out + "'");
        if (c.status == 1) {
            EXPECT_NE(run.err.find("dossier"), std::string::npos) << run.err;
        }
    }
    struct stat null;
    ASSERT_EQ(stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(null.st_mode));
    EXPECT_EQ(folder.Names(), "in.csv\nout\n");  // no temporary file left anywhere
}

// SIGINT or SIGTERM while rows stream in: standard output ends at a row boundary, an
// output file stays as it was, and the status is 128 + the signal's number.
TEST(BatchSignals, StopAtARowBoundary) {
    const Folder folder;
    for (const int signal : {SIGINT, SIGTERM}) {
        for (const bool toFile : {false, true}) {
            const std::string stdoutPath = folder / "stdout.csv";
            const std::string out = folder / "out.csv";
            Put(out, "old contents\n");
            std::vector<std::string> arguments = {"--defaults", "--batch", "-", "--jobs", "2"};
            if (toFile) arguments.insert(arguments.end(), {"-o", out});
            Child child(arguments, stdoutPath);
            // Enough rows for several blocks, then half a row: the program waits for the
            // rest of it, so it is still running when rows have come out.
            child.Send(Rows(5000) + "5");
            EXPECT_TRUE(WaitFor([&] {
                if (!toFile) return FileSize(stdoutPath) > 1000;
                // The temporary file beside out.csv, with rows in it.
                const std::string sizes = RunShell("cd '" + (folder / "") +
                                                   "' && find . -maxdepth 1 -type f "
                                                   "! -name out.csv ! -name stdout.csv -size +1k")
                                              .out;
                return !sizes.empty();
            })) << "no output while rows stream in";
            kill(child.pid, signal);
            EXPECT_EQ(child.Wait(), 128 + signal);
            if (toFile) {
                EXPECT_EQ(Slurp(out), "old contents\n");
                EXPECT_EQ(Slurp(stdoutPath), "");
                EXPECT_EQ(folder.Names(), "out.csv\nstdout.csv\n");
            } else {
                const std::string text = Slurp(stdoutPath);
                EXPECT_TRUE(WholeRows(text))
                    << text.substr(text.size() > 200 ? text.size() - 200 : 0);
                EXPECT_GT(text.size(), 1000u);
            }
            std::remove(out.c_str());
            std::remove(stdoutPath.c_str());
        }
    }
}

// How long a process has run, as the kernel accounts it: its start in clock ticks after
// boot (/proc/PID/stat, field 22) against the time since boot.
double SecondsRunning(pid_t pid) {
    const std::string stat = Slurp("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t name = stat.rfind(')');  // the command's name may hold spaces
    if (name == std::string::npos) return 0;
    std::istringstream fields(stat.substr(name + 1));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;
    double uptime = 0;
    std::ifstream("/proc/uptime") >> uptime;
    return field.empty() ? 0
                         : uptime - std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The progress line shows on a terminal once a run has lasted a second, and is erased;
// never in a file, nor with --quiet. The run reads a pipe the test writes, and its last
// row is sent once the program has run longer than that second, as the kernel counts.
TEST(BatchProgress, OnATerminalOnly) {
    if (access("/usr/bin/script", X_OK) != 0) GTEST_SKIP() << "no script(1) for a terminal";
    const Folder folder;
    const std::string fifo = folder / "in", pidFile = folder / "pid", log = folder / "log";
    // The shell writes its process id ($$, escaped where another shell reads the command
    // first), then becomes the program.
    const auto run = [&](const std::string& pid) {
        return "echo " + pid + " > '" + pidFile +
               "'; exec " VESSANE_CLI_PATH " --defaults --batch '" + fifo + "' -o '" +
               (folder / "out.csv") + "'";
    };
    struct Case {
        const char* name;
        std::string command;
        bool shown;
    } cases[] = {
        {"terminal", "script -qec \"" + run("\\$\\$") + "\" /dev/null", true},
        {"terminal, --quiet", "script -qec \"" + run("\\$\\$") + " --quiet\" /dev/null", false},
        {"file", run("$$"), false},
    };
    for (const Case& c : cases) {
        std::remove(pidFile.c_str());
        std::remove(fifo.c_str());
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        const pid_t shell = fork();
        if (shell == 0) {
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(out, 2);
            execl("/bin/sh", "sh", "-c", c.command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int input = -1;  // opens once the program reads the pipe
        ASSERT_TRUE(WaitFor([&] {
            return (input = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) != -1;
        })) << c.name
            << ": awaited the program opening its input";
        fcntl(input, F_SETFL, 0);
        const std::string rows = Rows(3000);
        ASSERT_EQ(write(input, rows.data(), rows.size()), static_cast<ssize_t>(rows.size()));
        pid_t program = 0;
        ASSERT_TRUE(WaitFor([&] {
            program = std::atoi(Slurp(pidFile).c_str());
            return program > 0 && SecondsRunning(program) > 1.2;
        })) << c.name
            << ": awaited the program running 1.2 s, as /proc/" << program << "/stat says";
        ASSERT_EQ(write(input, "50\n", 3), 3);
        close(input);
        int status = 0;
        waitpid(shell, &status, 0);
        const std::string said = Slurp(log);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name << ": " << said;
        const std::size_t line = said.rfind("\rvessane-cli : ");
        EXPECT_EQ(line != std::string::npos, c.shown) << c.name << ": " << said;
        if (c.shown) {
            // Rows and their rate; then erased: spaces over it, the cursor back at the start.
            std::string shown = said.substr(line + 1, said.find('\r', line + 1) - line - 1);
            EXPECT_NE(shown.find(" lignes, "), std::string::npos) << shown;
            EXPECT_NE(shown.find(" lignes/s"), std::string::npos) << shown;
            shown.erase(shown.find_last_not_of(' ') + 1);
            EXPECT_NE(said.find("\r" + std::string(shown.size(), ' ') + "\r", line),
                      std::string::npos)
                << said;
        }
        EXPECT_EQ(Slurp(folder / "out.csv"), Output(3001)) << c.name;
    }
}

// For a regular file, the line also gives the share read and the time left.
TEST(BatchProgress, ShareAndTimeLeftOfAFile) {
    std::FILE* terminal = vessane::cli::OpenScratchFile();
    ASSERT_NE(terminal, nullptr);
    using Clock = vessane::cli::ProgressLine::Clock;
    Clock::time_point now{};
    vessane::cli::ProgressLine line(terminal, 1000, [&now] { return now; });
    now += std::chrono::milliseconds(999);
    line.Update(100, 50);  // the run has not lasted a second yet: nothing
    now += std::chrono::milliseconds(501);
    line.Update(500, 250);  // a quarter in 1.5 s: three quarters in 4.5 s
    line.Erase();
    const std::string text = vessane::cli::testing::ReadBack(terminal);
    const std::string shown = "\rvessane-cli : 500 lignes, 333 lignes/s, 25 %, reste 4 s";
    EXPECT_EQ(text, shown + "\r" + std::string(shown.size() - 1, ' ') + "\r");
}

#if defined(__SANITIZE_ADDRESS__)
#define VESSANE_MEMORY_MEASURABLE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VESSANE_MEMORY_MEASURABLE 0
#endif
#endif
#ifndef VESSANE_MEMORY_MEASURABLE
#define VESSANE_MEMORY_MEASURABLE 1
#endif

// Files made on the fly, streamed through a pipe and never stored: the program's peak
// memory stays under 32 MB whatever the cell or the line.
TEST(BatchMemory, BoundedWhateverTheFile) {
    if (!VESSANE_MEMORY_MEASURABLE) GTEST_SKIP() << "a sanitizer's memory is not the program's";
    const std::string gigabyte = "head -c 1073741824 /dev/zero | tr '\\0' x";
    const std::string result = ",10.3 %,10,0.10338928041321527,0.09352022457316844,\n";
    const struct {
        const char* name;
        std::string generator;
        std::string ends;  // how the output must end
    } cases[] = {
        {"a 1 GB cell that needs quotes",
         "printf 'note,age\\n\",'; " + gigabyte + "; printf '\",50\\n'", "xxx\",50" + result},
        {"a 1 GB line of cells",
         "printf 'age\\n'; yes 50, | tr -d '\\n' | head -c 1073741824; echo 50",
         "50,ERREUR,,,,nombre de cellules incorrect : 357913942 au lieu de 1\n"},
        {"a 64 MB cell whose quotes show only at its end",
         "printf 'note,age\\n'; head -c 67108864 /dev/zero | tr '\\0' x; printf 'y\"z,50\\n'",
         "xxxy\"\"z\",50" + result},
    };
    const Folder folder;
    const std::string end = folder / "end.txt";
    for (const auto& c : cases) {
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string command = "(" + c.generator + ") | '" + VESSANE_CLI_PATH +
                                        "' --defaults --batch - | tail -c " +
                                        std::to_string(c.ends.size()) + " > '" + end + "'";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // The shell's usage covers the programs it waited for: its peak is theirs.
        int status = 0;
        struct rusage usage {};
        wait4(pid, &status, 0, &usage);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name;
        EXPECT_LE(usage.ru_maxrss, 32 * 1024) << c.name << ": peak in KB";
        EXPECT_EQ(Slurp(end), c.ends) << c.name;
    }
}

}  // namespace
#endif
