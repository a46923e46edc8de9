// Running the command line's code as the tests need it: a batch in process over
// temporary files, and (outside Windows) the program itself through a shell.
#pragma once

#include <cstdio>
#include <string>

#include "batch.h"

#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#endif

namespace vessane::cli::testing {

struct Run {
    int status;
    std::string out;
    std::string err;
};

inline std::string ReadBack(std::FILE* f) {
    std::rewind(f);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
    return text;
}

// RunBatch over input, as if read from a file of that name.
inline Run RunBatchOn(const std::string& input, const char* name = "cohorte.csv") {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    Run run{RunBatch(in, out, err, name), "", ""};
    std::fclose(in);
    run.out = ReadBack(out);
    run.err = ReadBack(err);
    return run;
}

#ifndef _WIN32
// Runs a shell command line in which CLI stands for the program.
inline Run RunShell(std::string command) {
    for (std::size_t at; (at = command.find("CLI")) != std::string::npos;) {
        command.replace(at, 3, std::string("'") + VESSANE_CLI_PATH + "'");
    }
    // One file per test process: ctest runs the tests of a program in parallel.
    const std::string errPath =
        ::testing::TempDir() + "vessane_cli_err_" + std::to_string(getpid()) + ".txt";
    FILE* pipe = popen(("(" + command + ") 2>'" + errPath + "'").c_str(), "r");
    Run run{};
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    std::ifstream err(errPath, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(err), {});
    std::remove(errPath.c_str());
    return run;
}
#endif

}  // namespace vessane::cli::testing
