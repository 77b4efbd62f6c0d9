#include "tests/apps/VaultryProgram.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/dao/CDaoDatabase.h"
#include "tables/LibrarySchema.h"
#include "tests/support/TestPostgres.h"

namespace vaultry::test {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void VaultryProgram::UseServerFor(const std::string& tier) {
    m_serverLibraries[tier] = TestPostgres::Get()->NewLibraryLocation(false);
    std::filesystem::create_directories(m_dir.File("config/vaultry"));
    std::ofstream settings(m_dir.File("config/vaultry/settings.ini"));
    settings << "[libraries]\n";
    for (const auto& [serverTier, location] : m_serverLibraries) {
        settings << serverTier << " = " << location << "\n";
    }
}

std::string VaultryProgram::Library(const std::string& tier) const {
    const auto server = m_serverLibraries.find(tier);
    return server != m_serverLibraries.end() ? server->second
                                             : m_dir.File("data/vaultry/" + tier + ".zblib");
}

void VaultryProgram::OpenLibrary(CDaoDatabase& library, const std::string& tier,
                                 bool readOnly) const {
    library.Open(Library(tier).c_str(), FALSE, readOnly ? TRUE : FALSE,
                 tables::LibrarySchema::ConnectString(tables::Generation::kCurrent));
}

std::string VaultryProgram::CommandLine(const std::string& arguments, const std::string& input,
                                        const std::string& errors,
                                        const std::string& environment) const {
    return "env -u VAULTRY_CONFIG -u VAULTRY_PASSWORD " + environment + " XDG_DATA_HOME='" +
           m_dir.File("data") + "' XDG_CONFIG_HOME='" + m_dir.File("config") + "' " +
           VAULTRY_EXECUTABLE + " " + arguments + " <'" + input + "' 2>'" + errors + "'";
}

std::vector<ProgramRun> VaultryProgram::RunTogether(const std::vector<std::string>& argumentLists) {
    std::string script;
    const auto errorFile = [this](std::size_t i) {
        return m_dir.File("stderr-" + std::to_string(i) + ".txt");
    };
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        script += CommandLine(argumentLists[i], "/dev/null", errorFile(i)) + " >/dev/null & pid" +
                  std::to_string(i) + "=$!; ";
    }
    for (std::size_t i = 0; i < argumentLists.size(); ++i) {
        script += "wait $pid" + std::to_string(i) + "; echo $?; ";
    }
    std::vector<ProgramRun> runs;
    FILE* pipe = popen(script.c_str(), "r");
    for (int status = 0; fscanf(pipe, "%d", &status) == 1;) {
        const std::string errors = FileBytes(errorFile(runs.size()));
        runs.push_back({status, errors, errors});
    }
    pclose(pipe);
    return runs;
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
    run.errors = FileBytes(errorFile);
    run.output += run.errors;
    return run;
}

std::string VaultryProgram::PartsFile(const std::string& prefix, int count) {
    if (m_onePart.empty()) {
        const std::string one = File("one-part.xml");
        Run("export C0402 -o " + one);
        m_onePart = FileBytes(one);
    }
    const std::string& text = m_onePart;
    const std::size_t start = text.find("  <part ");
    const std::size_t end = text.find("</part>") + std::string("</part>\n").size();
    const std::string part = text.substr(start, end - start);
    const std::size_t name = part.find("name=\"C0402\"");
    std::string parts;
    for (int i = 0; i < count; ++i) {
        parts += part.substr(0, name) + "name=\"" + prefix + "-" + std::to_string(i) + "\"" +
                 part.substr(name + 12);
    }
    const std::string path = File(prefix + ".xml");
    std::ofstream(path) << text.substr(0, start) << parts << text.substr(end);
    return path;
}

}  // namespace vaultry::test
