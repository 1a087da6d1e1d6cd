// msg_samples: writes the sample message files of the program folder from
// the readable UTF-8 sources beside this file, converted to Shift-JIS with
// CR LF line ends:
//   sysmsg.txt   the system lines (sysmsg/play_sys.msg)
//   sets/*.txt   one message set each: Message/<set>/ as a folder of message
//                files, and Message/<set>.kwp, the same folder packed
// The base set's announcer, computer and pilot lines are also the system's
// default files (sysmsg/play_ana.msg, play_com.msg, pil_man.msg and
// pil_fem.msg, without the set files' three header lines).
//
// A set source:
//   @set <name>            the folder and archive name
//   @title <text>          the archive comment and the set files' header
//   [PLAY_ANA] / [PLAY_COM]   "<n> <text>", n = 1, 2, 3 ... in order
//   [PLAY_PIL]             "<n> 男 <text>" and "<n> 女 <text>", alternating
//   [<message>]            one variant a line
//   [<message> numbered]   "<n> <text>": the variant at record n
// Lines starting with '#' and blank lines are ignored. Messages drawn at
// random are records of 80 bytes (the text padded with blanks) and CR LF;
// a longer text is refused.
//
//   msg_samples <out folder> [--corpus <fuzz corpus folder>]
#include "kwph/engine.h"
#include "kwph/msgnames.h"
#include "kwph/pack.h"
#include "tools/genio.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef MSG_SAMPLES_SOURCE
#define MSG_SAMPLES_SOURCE "."
#endif

namespace fs = std::filesystem;

namespace {

const fs::path Source = MSG_SAMPLES_SOURCE;
constexpr size_t RecordText = 80;

struct SourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using genio::readFile;
using genio::writeFile;

std::string sjis(const std::string& utf8, const std::string& where) {
    return genio::toCp932(utf8, where + ": no Shift-JIS form");
}

std::vector<std::string> sourceLines(const fs::path& p) {
    std::vector<std::string> out;
    std::istringstream in(readFile(p));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// "<n> <rest>": the number and the rest; throws when there is no number.
std::pair<int, std::string> numbered(const std::string& line, const std::string& where) {
    size_t blank = line.find(' ');
    std::string digits = line.substr(0, blank);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        throw SourceError(where + ": a line number is expected");
    return {std::stoi(digits), blank == std::string::npos ? std::string() : line.substr(blank + 1)};
}

struct Section {
    std::string name; // upper case
    bool numbered = false;
    std::vector<std::pair<int, std::string>> lines; // source line number, text
};

struct MessageSet {
    std::string name;
    std::string title;
    std::vector<Section> sections;
};

MessageSet parseSet(const fs::path& p) {
    MessageSet set;
    std::vector<std::string> lines = sourceLines(p);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::string where = p.filename().string() + ":" + std::to_string(i + 1);
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("@set ", 0) == 0) {
            set.name = line.substr(5);
        } else if (line.rfind("@title ", 0) == 0) {
            set.title = line.substr(7);
        } else if (line[0] == '[') {
            size_t close = line.find(']');
            if (close == std::string::npos) throw SourceError(where + ": ']' missing");
            Section s;
            std::istringstream head(line.substr(1, close - 1));
            std::string word;
            head >> s.name;
            while (head >> word) {
                if (word != "numbered") throw SourceError(where + ": unknown marker " + word);
                s.numbered = true;
            }
            std::transform(s.name.begin(), s.name.end(), s.name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            if (kwp::classifyFileBase(s.name) == kwp::kUnknownType)
                throw SourceError(where + ": " + s.name + " is no message name an archive can hold");
            set.sections.push_back(std::move(s));
        } else {
            if (set.sections.empty()) throw SourceError(where + ": text before the first section");
            set.sections.back().lines.emplace_back(static_cast<int>(i + 1), line);
        }
    }
    if (set.name.empty()) throw SourceError(p.string() + ": @set missing");
    return set;
}

// The lines of a template section, checked to be numbered 1, 2, 3 ...
std::vector<std::string> templateLines(const MessageSet& set, const Section& s) {
    std::vector<std::string> out;
    for (const auto& [at, line] : s.lines) {
        std::string where = set.name + ":" + std::to_string(at);
        auto [n, text] = numbered(line, where);
        if (n != static_cast<int>(out.size()) + 1)
            throw SourceError(where + ": line " + std::to_string(n) + " out of order");
        if (text.empty() || text[0] == '#' || text[0] == '/' || text[0] == ';')
            throw SourceError(where + ": a template line that a loader would skip");
        out.push_back(sjis(text, where));
    }
    return out;
}

// The pilot lines: male and female line n in turn.
std::vector<std::string> pilotLines(const MessageSet& set, const Section& s) {
    std::vector<std::string> out;
    for (const auto& [at, line] : s.lines) {
        std::string where = set.name + ":" + std::to_string(at);
        auto [n, rest] = numbered(line, where);
        bool female = out.size() % 2 == 1;
        std::string mark = female ? "女 " : "男 ";
        if (n != static_cast<int>(out.size()) / 2 + 1 || rest.rfind(mark, 0) != 0)
            throw SourceError(where + ": expected line " + std::to_string(out.size() / 2 + 1) + " " + mark);
        out.push_back(sjis(rest.substr(mark.size()), where));
    }
    if (out.size() % 2 != 0) throw SourceError(set.name + ": the last pilot line has no female twin");
    return out;
}

std::string record(const std::string& text, const std::string& where) {
    if (text.size() > RecordText) throw SourceError(where + ": longer than 80 bytes");
    return text + std::string(RecordText - text.size(), ' ');
}

// A message file: records of 80 bytes for the random types, text lines for
// the sequential ones.
std::string messageFile(const MessageSet& set, const Section& s) {
    int type = kwp::classifyFileBase(s.name);
    std::vector<std::string> out;
    for (const auto& [at, line] : s.lines) {
        std::string where = set.name + ":" + std::to_string(at);
        std::string text = line;
        if (s.numbered) {
            auto [n, rest] = numbered(line, where);
            if (n < static_cast<int>(out.size())) throw SourceError(where + ": record out of order");
            while (static_cast<int>(out.size()) < n) out.push_back(std::string(RecordText, ' '));
            text = rest;
        }
        text = sjis(text, where);
        out.push_back(type == kwp::kRandom80 ? record(text, where) : text);
    }
    return crlf(out);
}

std::string header(const MessageSet& set, const std::string& file) {
    std::string where = set.name + " header";
    return crlf({sjis("; " + file + " " + set.title, where), sjis("; Corvane Vell", where), ";"});
}

const Section* section(const MessageSet& set, const std::string& name) {
    for (const Section& s : set.sections)
        if (s.name == name) return &s;
    return nullptr;
}

void writeSet(const MessageSet& set, const fs::path& out) {
    fs::path folder = out / "Message" / set.name;
    for (const Section& s : set.sections) {
        std::string bytes;
        if (s.name == "PLAY_ANA" || s.name == "PLAY_COM")
            bytes = header(set, s.name) + crlf(templateLines(set, s));
        else if (s.name == "PLAY_PIL")
            bytes = header(set, s.name) + crlf(pilotLines(set, s));
        else
            bytes = messageFile(set, s);
        writeFile(folder / (s.name + ".MSG"), bytes);
    }
    kwp::Engine engine;
    std::string archive = (out / "Message" / (set.name + ".kwp")).string();
    if (!kwp::pack(engine, folder.string() + "/", archive, sjis(set.title, set.name + " title"), true))
        throw std::runtime_error("packing " + set.name + ": " + engine.lastError());
}

// The system's default files: play_sys.msg from its source, the others from
// the base set's lines.
void writeSystemFiles(const MessageSet& basic, const fs::path& out) {
    MessageSet sys;
    sys.name = "sysmsg";
    std::vector<std::string> lines;
    for (const auto& line : sourceLines(Source / "sysmsg.txt"))
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    Section s;
    int at = 0;
    for (const std::string& l : lines) s.lines.emplace_back(++at, l);
    writeFile(out / "sysmsg" / "play_sys.msg", crlf(templateLines(sys, s)));

    const Section* ana = section(basic, "PLAY_ANA");
    const Section* com = section(basic, "PLAY_COM");
    const Section* pil = section(basic, "PLAY_PIL");
    if (!ana || !com || !pil) throw SourceError("the base set needs PLAY_ANA, PLAY_COM and PLAY_PIL");
    writeFile(out / "sysmsg" / "play_ana.msg", crlf(templateLines(basic, *ana)));
    writeFile(out / "sysmsg" / "play_com.msg", crlf(templateLines(basic, *com)));
    std::vector<std::string> both = pilotLines(basic, *pil), male, female;
    for (size_t i = 0; i < both.size(); ++i) (i % 2 ? female : male).push_back(both[i]);
    writeFile(out / "sysmsg" / "pil_man.msg", crlf(male));
    writeFile(out / "sysmsg" / "pil_fem.msg", crlf(female));
}

// Seeds of the message-set fuzz target: byte 0 even for an archive image,
// odd for a message file.
void writeCorpus(const fs::path& out, const fs::path& corpus) {
    auto seed = [&](const std::string& name, char mode, const fs::path& from) {
        writeFile(corpus / name, std::string(1, mode) + readFile(from));
    };
    seed("archive_computer_set", 0, out / "Message" / "Com01.kwp");
    seed("archive_pilot_set", 2, out / "Message" / "Pil01.kwp");
    seed("file_records", 1, out / "Message" / "Basic" / "M31A0.MSG");
    seed("file_age_lines", 3, out / "Message" / "Basic" / "M92A0.MSG");
    seed("file_set_lines", 5, out / "Message" / "Basic" / "PLAY_PIL.MSG");
    seed("file_template_lines", 7, out / "sysmsg" / "play_sys.msg");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--corpus")) {
        std::cerr << "usage: msg_samples <out folder> [--corpus <fuzz corpus folder>]\n";
        return 2;
    }
    try {
        fs::path out = argv[1];
        std::vector<fs::path> sources;
        for (const auto& e : fs::directory_iterator(Source / "sets"))
            if (e.path().extension() == ".txt") sources.push_back(e.path());
        std::sort(sources.begin(), sources.end());
        const MessageSet* basic = nullptr;
        std::vector<MessageSet> sets;
        for (const fs::path& p : sources) sets.push_back(parseSet(p));
        for (const MessageSet& set : sets) {
            writeSet(set, out);
            if (set.name == "Basic") basic = &set;
        }
        if (!basic) throw SourceError("no set named Basic");
        writeSystemFiles(*basic, out);
        if (argc == 4) writeCorpus(out, argv[3]);
    } catch (const std::exception& e) {
        std::cerr << "msg_samples: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
