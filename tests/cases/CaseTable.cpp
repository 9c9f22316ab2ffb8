#include "CaseTable.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace {

std::string Decoded(std::string_view text, std::size_t lineNumber) {
    const auto bytes = decode_c_escapes(text);
    if (!bytes) {
        throw std::runtime_error("orvane.cases:" + std::to_string(lineNumber) + ": bad escape");
    }
    return *bytes;
}

std::uint32_t Number(std::string_view word, std::size_t lineNumber) {
    const auto value = parse_decimal(word, 0xFFFFFFFFu);
    if (!value) {
        throw std::runtime_error("orvane.cases:" + std::to_string(lineNumber) +
                                 ": not a number: " + std::string(word));
    }
    return *value;
}

// "1F 0B / 1D FF": writes separated by slashes, bytes in hex.
std::vector<std::vector<std::uint8_t>> Writes(const std::vector<std::string_view>& words,
                                              std::size_t lineNumber) {
    std::vector<std::vector<std::uint8_t>> writes;
    if (words.size() > 1) {
        writes.emplace_back();
    }
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "/") {
            writes.emplace_back();
            continue;
        }
        const std::string hex = "\\x" + std::string(words[i]);
        const std::string byte = Decoded(hex, lineNumber);
        if (words[i].size() != 2 || byte.size() != 1) {
            throw std::runtime_error("orvane.cases:" + std::to_string(lineNumber) +
                                     ": not a byte: " + std::string(words[i]));
        }
        writes.back().push_back(static_cast<std::uint8_t>(byte[0]));
    }
    return writes;
}

class RowReader {
  public:
    RowReader(CaseRow& row, std::size_t lineNumber) : m_row(row), m_line(lineNumber) {}

    void Read(std::string_view key, std::string_view rest) {
        const std::vector<std::string_view> words = split_words(rest);
        if (key == "on") {
            m_row.levels.assign(words.begin(), words.end());
        } else if (key == "slow") {
            m_row.slow = true;
        } else if (key == "printer") {
            ReadPrinter(rest);
        } else if (key == "run") {
            for (const std::string_view word : words) {
                m_row.run.push_back(Decoded(word, m_line));
            }
        } else if (key.starts_with("out") || key.starts_with("err") || key.starts_with("json") ||
                   key.starts_with("logged")) {
            ReadLine(key, rest);
        } else if (key == "stdout" && (rest == "full" || rest == "closed")) {
            m_row.stdoutTo = rest == "full" ? CaseStdout::Full : CaseStdout::Closed;
        } else if (key == "exit") {
            m_row.exit = static_cast<int>(Number(rest, m_line));
        } else if (key == "sent") {
            ReadSent(words);
        } else if (key == "gap" && words.size() == 3) {
            m_row.gaps.push_back(
                {Number(words[0], m_line), Number(words[1], m_line), Number(words[2], m_line)});
        } else if (key == "took" && words.size() == 2) {
            m_row.tookS = std::pair{Number(words[0], m_line), Number(words[1], m_line)};
        } else if (key == "emulator") {
            m_row.emulatorOptions.assign(words.begin(), words.end());
        } else if (key == "log-saw" || key == "log-never") {
            (key == "log-saw" ? m_row.logSaw : m_row.logNever).emplace_back(rest);
        } else {
            Fail("unknown line: " + std::string(key));
        }
    }

  private:
    [[noreturn]] void Fail(const std::string& why) const {
        throw std::runtime_error("orvane.cases:" + std::to_string(m_line) + ": " + m_row.name +
                                 ": " + why);
    }

    void ReadPrinter(std::string_view text) {
        // Each printer after the first starts from the second printer's defaults.
        const auto parsed =
            parse_printers((m_row.printers.empty() ? "" : "--also ") + std::string(text));
        if (const auto* error = std::get_if<std::string>(&parsed)) {
            Fail(*error);
        }
        m_row.printers.push_back(std::get<std::vector<PrinterDescription>>(parsed).back());
        m_row.printerTexts.emplace_back(text);
    }

    void ReadLine(std::string_view key, std::string_view rest) {
        // A JSON value keeps its own escapes.
        const bool json = key.starts_with("json");
        const bool logged = key.starts_with("logged");
        CaseLine line{std::nullopt, json ? std::string(rest) : Decoded(rest, m_line)};
        const std::string_view system = key.substr(json ? 4 : logged ? 6 : 3);
        if (system == "-windows") {
            line.only = CaseSystem::Windows;
        } else if (system == "-linux") {
            line.only = CaseSystem::Linux;
        } else if (!system.empty()) {
            Fail("unknown line: " + std::string(key));
        }
        if (logged) {
            ReadLogged(rest, std::move(line));
            return;
        }
        (json                     ? m_row.json
         : key.starts_with("out") ? m_row.out
                                  : m_row.err)
            .push_back(std::move(line));
        if (!m_row.json.empty() && !m_row.out.empty()) {
            Fail("standard output is lines or a JSON document, not both");
        }
    }

    void ReadLogged(std::string_view rest, CaseLine line) {
        m_row.checksLog = true;
        if (rest == "none") {
            return;
        }
        const std::string_view level = rest.substr(0, rest.find(' '));
        if (level != "info" && level != "warning" && level != "error") {
            Fail("a logged line starts with info, warning or error");
        }
        m_row.logged.push_back(std::move(line));
    }

    void ReadSent(const std::vector<std::string_view>& words) {
        if (words.empty()) {
            Fail("sent needs a printer");
        }
        const std::size_t printer = Number(words[0], m_line);
        if (printer == 0 || printer > m_row.printers.size()) {
            Fail("sent names no printer of the row");
        }
        m_row.sent.resize(std::max(m_row.sent.size(), printer));
        m_row.sent[printer - 1] = Writes(words, m_line);
    }

    CaseRow& m_row;
    std::size_t m_line;
};

} // namespace

void PrintTo(const CaseRow& row, std::ostream* out) {
    *out << row.name;
}

bool CaseRow::RunsOn(const std::string& level) const {
    return std::find(levels.begin(), levels.end(), level) != levels.end();
}

bool CaseRow::RunsOnSystem(CaseSystem system) const {
    if (system == CaseSystem::Windows) {
        return RunsOn("wine") || RunsOn("wine32");
    }
    return RunsOn("umockdev") || RunsOn("vm");
}

std::vector<CaseRow> ReadCaseTable(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::vector<CaseRow> rows;
    std::string text;
    for (std::size_t lineNumber = 1; std::getline(in, text); ++lineNumber) {
        const std::string_view line = text;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string_view key = line.substr(0, space);
        const std::string_view rest =
            space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (key == "case") {
            rows.emplace_back().name = std::string(rest);
        } else if (rows.empty()) {
            throw std::runtime_error("orvane.cases:" + std::to_string(lineNumber) +
                                     ": a line before the first case");
        } else {
            RowReader(rows.back(), lineNumber).Read(key, rest);
        }
    }
    return rows;
}

std::vector<CaseRow> RowsFor(const std::vector<CaseRow>& rows, const std::string& level) {
    std::vector<CaseRow> chosen;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(chosen),
                 [&](const CaseRow& row) { return row.RunsOn(level); });
    return chosen;
}

const std::vector<CaseRow>& TheCaseTable() {
    static const std::vector<CaseRow> rows = ReadCaseTable(ORVANE_CASE_TABLE);
    return rows;
}

namespace {
// `text` with {<name>N} replaced by names[N-1].
std::string Filled(std::string text, const std::string& name,
                   const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string placeholder = "{" + name + std::to_string(i + 1) + "}";
        for (std::size_t at; (at = text.find(placeholder)) != std::string::npos;) {
            text.replace(at, placeholder.size(), names[i]);
        }
    }
    return text;
}
} // namespace

std::string RowPlace(std::size_t index) {
    return "1-" + std::to_string(index + 1);
}

std::vector<std::string> ExpectedLines(const std::vector<CaseLine>& lines, CaseSystem system,
                                       const std::vector<std::string>& ports,
                                       const std::vector<std::string>& places) {
    std::vector<std::string> expected;
    for (const CaseLine& line : lines) {
        if (!line.only || *line.only == system) {
            expected.push_back(Filled(Filled(line.text, "port", ports), "place", places));
        }
    }
    return expected;
}

std::vector<std::string> RunWords(const CaseRow& row, const std::vector<std::string>& places) {
    std::vector<std::string> words;
    for (const std::string& word : row.run) {
        words.push_back(Filled(word, "place", places));
    }
    return words;
}

std::string JoinedLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += line + "\n";
    }
    return joined;
}

std::string CheckJsonDocument(const CaseRow& row, CaseSystem system, const std::string& document,
                              const std::vector<std::string>& ports,
                              const std::vector<std::string>& places) {
    char folder[] = "/tmp/orvane-json-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return "cannot make a folder for the JSON checker";
    }
    const std::string base = folder;
    std::ofstream(base + "/document.json", std::ios::binary) << document;
    std::ofstream(base + "/expected")
        << JoinedLines(ExpectedLines(row.json, system, ports, places));
    // The checkout may sit in a folder whose name holds spaces or quotes.
    const auto quoted = [](const std::string& word) {
        std::string text = "'";
        for (const char c : word) {
            text += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return text + "'";
    };
    const std::string command = quoted(ORVANE_JSON_PYTHON) + " " + quoted(ORVANE_JSON_CHECKER) +
                                " " + quoted(ORVANE_JSON_SCHEMA) + " " + base + "/document.json " +
                                base + "/expected >" + base + "/report 2>&1";
    const int status = std::system(command.c_str());
    std::ostringstream report;
    report << std::ifstream(base + "/report").rdbuf();
    for (const char* file : {"/document.json", "/expected", "/report"}) {
        std::remove((base + file).c_str());
    }
    std::remove(folder);
    if (status != 0 && report.str().empty()) {
        return "the JSON checker failed: " + command;
    }
    return report.str();
}
