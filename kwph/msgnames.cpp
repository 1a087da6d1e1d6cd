// The three name lists of the message types and the name classification.
#include "kwph/msgnames.h"

#include <algorithm>
#include <cstdio>

namespace kwp {

namespace {

// Names written out one by one, and runs of numbered names.
constexpr const char* kSequentialNames =
    "m92a0 m92a1 m92ar0 m92ar1 play_ana play_com play_pil play_sys alpha alphasys";

constexpr const char* kRandom80Names =
    "m01a0 m01a1 m01b m01r0 m01r1 m02a0 m02a1 m02b0 m02b1 m02r0 m02r1 m03a0 m03a1 m03b m03r m04a0 m04a1 m04b "
    "m04r m05a0 m05a1 m05b m05r m06a0 m06a1 m06b0 m06b1 m06r m07a0 m07a1 m07b m07r m08a0 m08a1 m08b m08r "
    "m09a0 "
    "m09a1 m09b0 m09b1 m09r m100a m10a0 m10a1 m10b0 m10b1 m10r m11a0 m11a1 m11b m11r m12a0 m12a1 m12b m12r "
    "m13a0 m13a1 m13b0 m13b1 m13r0 m13r1 m14a0 m14a1 m14b m14r m15a0 m15a1 m15b0 m15b1 m16a0 m16a1 m16b0 "
    "m16b1 "
    "m17a0 m17a1 m17b0 m17b1 m18a0 m18a1 m18b m19a0 m19a1 m19b0 m19b1 m20a0 m20a1 m20b0 m20b1 m21a0 m21a1 "
    "m21b "
    "m22a m22b m23a0 m23a1 m23b m24a0 m24a1 m24b m25a0 m25a1 m25b0 m25b1 m26a0 m26a1 m26b0 m26b1 m27a0 m27a1 "
    "m27b m28a0 m28a1 m28b m29a0 m29a1 m30a m31a0 m31a1 m32a0 m32a1 m33a0 m33a1 m34a0 m34a1 m35a0 m35a1 "
    "m36a0 "
    "m36a1 m37a0 m37a1 m38a0 m38a1 m39a0 m39a1 m40a0 m40a1 "
    "m84a0 m84a1 m85a m86a m87a m88a m89a m90a m91a0 m91a1 m93a m94a m95a0 m95a1 m96a m97a0 m97a1 m98a m99a0 "
    "m99a1";

constexpr const char* kRandom240Names = "playing playingr m221h0 m221h1 m222h0 m222h1";

struct NumberRun {
    const char* prefix;
    int from, to, digits;
    const char* suffix;
};

constexpr NumberRun kRandom80Runs[] = {{"m", 41, 83, 2, "a"}};
constexpr NumberRun kRandom240Runs[] = {{"m", 1, 16, 3, "h"},     {"m", 21, 34, 3, "h"},
                                        {"m", 201, 211, 3, "h0"}, {"m", 201, 211, 3, "h1"},
                                        {"m", 401, 472, 3, "h"},  {"m", 601, 659, 3, "h"}};

void addWords(std::vector<std::string>& out, std::string_view words) {
    size_t i = 0;
    while (i < words.size()) {
        size_t j = words.find(' ', i);
        if (j == std::string_view::npos) j = words.size();
        if (j > i) out.emplace_back(words.substr(i, j - i));
        i = j + 1;
    }
}

template <size_t N> void addRuns(std::vector<std::string>& out, const NumberRun (&runs)[N]) {
    for (const NumberRun& r : runs) {
        for (int n = r.from; n <= r.to; ++n) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%s%0*d%s", r.prefix, r.digits, n, r.suffix);
            out.emplace_back(buf);
        }
    }
}

struct Lists {
    std::vector<std::string> byType[3];
    std::vector<std::string> sorted[3];
    Lists() {
        addWords(byType[0], kSequentialNames);
        addWords(byType[1], kRandom80Names);
        addRuns(byType[1], kRandom80Runs);
        addWords(byType[2], kRandom240Names);
        addRuns(byType[2], kRandom240Runs);
        for (int t = 0; t < 3; ++t) {
            sorted[t] = byType[t];
            std::sort(sorted[t].begin(), sorted[t].end());
        }
    }
};

const Lists& lists() {
    static const Lists l;
    return l;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

int classifyMsgName(std::string_view name) {
    size_t end = name.find_first_of(std::string_view(" \0", 2));
    if (end == std::string_view::npos) end = name.size();
    end = std::min<size_t>(end, 8);
    std::string key(name.substr(0, end));
    for (char& c : key) c = lower(c);
    for (int t = 0; t < 3; ++t)
        if (std::binary_search(lists().sorted[t].begin(), lists().sorted[t].end(), key)) return t;
    return kUnknownType;
}

int classifyFileBase(std::string_view base) {
    if (base.empty() || base.size() > 8) return kUnknownType;
    for (char c : base) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return kUnknownType;
    }
    return classifyMsgName(base);
}

const char* msgTypeLabel(int type) {
    switch (type) {
    case kSequential:
        return "Sequential";
    case kRandom80:
        return "Random(80)";
    case kRandom240:
        return "Random(240)";
    default:
        return "unknown";
    }
}

size_t msgRecordWidth(int type) {
    return type == kRandom80 ? 80 : type == kRandom240 ? 240 : 0;
}

const std::vector<std::string>& msgNameList(int type) {
    static const std::vector<std::string> none;
    return type >= 0 && type < 3 ? lists().byType[type] : none;
}

} // namespace kwp
