#include "support.h"

#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

const std::vector<std::string> kMarkers = {
    "TolvaDBusSetProperty",
    "testTolvaDBusPropSetFunction testapp1Title",
    "TolvaDBusGetProperty",
    "testTolvaDBusPropGetFunction testapp1Title",
    "TolvaDBusSetMultiProperty",
    "testTolvaDBusPropSetMultiFunction",
    "TolvaDBusGetAllProperty",
    "testTolvaDBusPropGetAllFunction",
    "TolvaDBusSubscribeSignal",
    "callback My_TolvaDBusSignalFunction",
};

RunDir::RunDir() {
    mkdir(BUSPROBE_RUNS_DIR, 0755);
    std::string name = std::string(BUSPROBE_RUNS_DIR) + "/run.XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp " << name << ": " << strerror(errno);
        return;
    }
    path_ = buffer.data();
    if (mkdir(file("tmp").c_str(), 0755) != 0) {
        ADD_FAILURE() << "mkdir tmp: " << strerror(errno);
    }
}

namespace {
int remove_entry(const char *path, const struct stat *, int, struct FTW *) {
    return remove(path);
}
}  // namespace

RunDir::~RunDir() {
    if (!path_.empty()) {
        nftw(path_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    }
}

void RunDir::write(const std::string &name, const std::string &bytes) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << "cannot write " << file(name);
}

void RunDir::write_log(const std::vector<std::string> &lines) const {
    std::string bytes;
    for (const std::string &line : lines) bytes += line + "\n";
    write("tolva.log", bytes);
}

std::string RunDir::read(const std::string &name) const {
    std::ifstream in(file(name), std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << file(name);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool RunDir::exists(const std::string &name) const {
    struct stat status;
    return lstat(file(name).c_str(), &status) == 0;
}

std::vector<std::string> RunDir::list(const std::string &sub) const {
    std::vector<std::string> names;
    DIR *dir = opendir(sub.empty() ? path_.c_str() : file(sub).c_str());
    if (dir == nullptr) {
        ADD_FAILURE() << "cannot list " << path_ << "/" << sub;
        return names;
    }
    errno = 0;
    while (const struct dirent *entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    if (errno != 0) ADD_FAILURE() << "readdir " << path_ << "/" << sub << ": " << strerror(errno);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

Process::Process(const std::string &program, const std::string &dir, const Environment &env,
                 const Arguments &args) {
    std::string command = "cd '" + dir + "' && ";
    for (const auto &setting : env) {
        EXPECT_EQ(std::string::npos, setting.second.find('\'')) << setting.second;
        command += "export " + setting.first + "='" + setting.second + "' && ";
    }
    command += "exec " BUSPROBE_RUN_PREFIX " '" + program + "'";
    for (const std::string &arg : args) {
        EXPECT_EQ(std::string::npos, arg.find('\'')) << arg;
        command += " '" + arg + "'";
    }
    pipe_ = popen(command.c_str(), "r");
    EXPECT_NE(nullptr, pipe_) << command;
}

Process::~Process() {
    if (pipe_ != nullptr) pclose(pipe_);
}

RunResult Process::finish() {
    RunResult run{"", -1};
    if (pipe_ == nullptr) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe_)) > 0) {
        run.output.append(buffer, got);
    }
    const int status = pclose(pipe_);
    pipe_ = nullptr;
    if (status != -1 && WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
    return run;
}

RunResult run_program(const std::string &program, const std::string &dir,
                      const Environment &env, const Arguments &args) {
    return Process(program, dir, env, args).finish();
}

std::string mask_temp_names(const std::string &text, const std::string &name_template,
                            std::vector<std::string> *names) {
    const std::string prefix = name_template.substr(0, name_template.size() - 6);
    const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    const std::regex name(std::regex_replace(prefix, special, R"(\$&)") + "[A-Za-z0-9]{6}");
    std::string masked;
    auto last = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), name), end; it != end; ++it) {
        masked.append(last, (*it)[0].first);
        masked += name_template;
        names->push_back(it->str());
        last = (*it)[0].second;
    }
    masked.append(last, text.cend());
    return masked;
}

bool names_in_pairs(const std::vector<std::string> &names) {
    if (names.size() % 2 != 0) return false;
    for (size_t i = 0; i < names.size(); i += 2) {
        if (names[i] != names[i + 1]) return false;
    }
    return true;
}

long matching_bytes(const std::vector<std::string> &lines, const std::string &marker) {
    long bytes = 0;
    for (const std::string &line : lines) {
        if (line.find(marker) != std::string::npos) bytes += static_cast<long>(line.size()) + 1;
    }
    return bytes;
}

std::string searched_block(const std::string &marker, const std::string &log_path,
                           const std::string &name_template, long size) {
    return "check_log_exist grep -a -F -e \"" + marker + "\" -- " + log_path + " > " + name_template +
           "\n" + "check_log_exist tmpfile " + name_template + "\n" + "check_file_size " +
           std::to_string(size) + " \n" + "log \"" + marker + "\" " +
           (size > 0 ? "exist" : "not exist") + "\n";
}

std::string capture_stdout(const std::function<void()> &body) {
    fflush(stdout);
    mkdir(BUSPROBE_RUNS_DIR, 0755);
    std::string path = std::string(BUSPROBE_RUNS_DIR) + "/stdout.XXXXXX";
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        ADD_FAILURE() << "mkstemp: " << strerror(errno);
        return "";
    }
    unlink(name.data());
    const int saved = dup(STDOUT_FILENO);
    dup2(fd, STDOUT_FILENO);
    body();
    fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);

    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
    close(fd);
    return text;
}
