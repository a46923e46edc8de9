// Running the command line's code as the tests need it: a batch in process over
// temporary files, and (outside Windows) the program itself through a shell.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "batch.h"
#include "spill_file.h"

#ifndef _WIN32
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

// RunBatch over input with jobs threads, as if read from a file of that name; defaults:
// the fields whose absent column takes the default form's value.
inline Run RunBatchWithJobs(const std::string& input, const char* name, int jobs,
                            const FieldSet& defaults = kEveryField) {
    std::FILE* in = OpenScratchFile();
    std::FILE* out = OpenScratchFile();
    std::FILE* err = OpenScratchFile();
    if (in == nullptr || out == nullptr || err == nullptr) {
        ADD_FAILURE() << "no temporary file for the batch";
        for (std::FILE* f : {in, out, err}) {
            if (f != nullptr) std::fclose(f);
        }
        return Run{-1, "", ""};
    }
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    Run run{RunBatch(in, out, err, name, defaults, jobs), "", ""};
    std::fclose(in);
    run.out = ReadBack(out);
    run.err = ReadBack(err);
    return run;
}

// RunBatch over input, as if read from a file of that name; every number of threads
// must give the same bytes, the same messages and the same status.
inline Run RunBatchOn(const std::string& input, const char* name = "cohorte.csv") {
    const Run one = RunBatchWithJobs(input, name, 1);
    for (const int jobs : {2, 3, 7}) {
        const Run many = RunBatchWithJobs(input, name, jobs);
        EXPECT_TRUE(many.out == one.out) << "--jobs " << jobs << " writes other bytes";
        EXPECT_EQ(many.err, one.err) << "--jobs " << jobs;
        EXPECT_EQ(many.status, one.status) << "--jobs " << jobs;
    }
    return one;
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
