#include "tests/apps/VaultryProgram.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace vaultry::test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ProgramRun VaultryProgram::Run(const std::string& arguments, const std::string& input,
                               const std::string& environment) {
    const std::string inputFile = m_dir.File("stdin.txt");
    const std::string errorFile = m_dir.File("stderr.txt");
    std::ofstream(inputFile) << input;
    const std::string command = "env -u VAULTRY_CONFIG -u VAULTRY_PASSWORD " + environment +
                                " XDG_DATA_HOME='" + m_dir.File("data") + "' XDG_CONFIG_HOME='" +
                                m_dir.File("config") + "' " + VAULTRY_EXECUTABLE + " " + arguments +
                                " <'" + inputFile + "' 2>'" + errorFile + "'";
    ProgramRun run{0, "", ""};
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        run.output += buffer.data();
    }
    run.status = WEXITSTATUS(pclose(pipe));
    run.errors = ReadFile(errorFile);
    run.output += run.errors;
    return run;
}

}  // namespace vaultry::test
