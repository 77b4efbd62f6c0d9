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

std::string VaultryProgram::CommandLine(const std::string& arguments, const std::string& input,
                                        const std::string& errors,
                                        const std::string& environment) const {
    return "env -u VAULTRY_CONFIG -u VAULTRY_PASSWORD " + environment + " XDG_DATA_HOME='" +
           m_dir.File("data") + "' XDG_CONFIG_HOME='" + m_dir.File("config") + "' " +
           VAULTRY_EXECUTABLE + " " + arguments + " <'" + input + "' 2>'" + errors + "'";
}

std::vector<int> VaultryProgram::RunTogether(const std::vector<std::string>& argumentLists) {
    std::string script;
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        script += CommandLine(argumentLists[i], "/dev/null", "/dev/null") + " >/dev/null & pid" +
                  std::to_string(i) + "=$!; ";
    }
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        script += "wait $pid" + std::to_string(i) + "; echo $?; ";
    }
    std::vector<int> statuses;
    FILE* pipe = popen(script.c_str(), "r");
    for (int status = 0; fscanf(pipe, "%d", &status) == 1;) {
        statuses.push_back(status);
    }
    pclose(pipe);
    return statuses;
}

ProgramRun VaultryProgram::Run(const std::string& arguments, const std::string& input,
                               const std::string& environment) {
    const std::string inputFile = m_dir.File("stdin.txt");
    const std::string errorFile = m_dir.File("stderr.txt");
    std::ofstream(inputFile) << input;
    const std::string command = CommandLine(arguments, inputFile, errorFile, environment);
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
