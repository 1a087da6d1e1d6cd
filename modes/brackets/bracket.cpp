// The tournament bracket: building, seed editing, the text bracket and the
// picture geometry.
#include "modes/brackets/bracket.h"

#include "base/sjis.h"
#include "modes/frame/textfmt.h"
#include "platform/paths.h"
#include "sjis/brackets_text.h"

#include <algorithm>

namespace brackets {

namespace {

void trimRight(std::string& line) {
    size_t end = line.find_last_not_of(' ');
    line.erase(end == std::string::npos ? 0 : end + 1);
}

} // namespace

int roundCount(int n) {
    int r = 0;
    for (unsigned v = n > 1 ? static_cast<unsigned>(n - 1) : 0u; v; v >>= 1) ++r;
    return r;
}

Bracket::Bracket() {
    sjis::writeField(absent_.PilotName, text::AbsentPilot);
}

void Bracket::clear() {
    root_.reset();
    matches_.clear();
    slots_.clear();
    entrants_.clear();
    n_ = 0;
    rounds_ = 0;
    pilotColumn_ = PilotColumn;
    nameColumn_ = NameColumn;
    resultMode_ = false;
}

void Bracket::build(int n, modes::EntrantList entrants, bool keepWidth) {
    clear();
    n_ = std::clamp(n, 2, MaxEntrants);
    rounds_ = roundCount(n_);
    keepWidth_ = keepWidth;
    entrants_ = std::move(entrants);

    // Match numbers per depth: the first round (depth R) from 1, each
    // shallower depth continuing after the one below; the final is n - 1.
    std::vector<int> counters(static_cast<size_t>(rounds_) + 2, 0);
    counters[static_cast<size_t>(rounds_)] = 1;
    for (int d = rounds_ - 1; d >= 1; --d) {
        int below = d + 1 == rounds_ ? n_ - (1 << (rounds_ - 1)) : 1 << d;
        counters[static_cast<size_t>(d)] = counters[static_cast<size_t>(d) + 1] + below;
    }
    matches_.assign(static_cast<size_t>(n_ - 1), nullptr);
    root_ = std::make_unique<BracketNode>();
    root_->Side = 0;
    buildNode(*root_, 1, 1, counters);
}

void Bracket::buildNode(BracketNode& node, int depth, int seed, std::vector<int>& counters) {
    node.Seed = seed;
    node.Depth = depth;
    node.Round = rounds_ - depth + 1;
    if (depth > rounds_) {
        // A seed slot.
        if (seed > static_cast<int>(entrants_.size())) {
            node.Row = &absent_;
            node.Index = NoEntrant;
        } else {
            node.Row = entrants_[static_cast<size_t>(seed) - 1].row();
            node.Index = seed;
        }
        slots_.push_back(&node);
        return;
    }
    const int other = (1 << depth) - seed + 1;
    const int seeds[2] = {node.Side == 0 ? seed : other, node.Side == 0 ? other : seed};
    for (int k = 0; k < 2; ++k) {
        if (seeds[k] > n_) continue;
        auto child = std::make_unique<BracketNode>();
        child->Side = k;
        child->Parent = &node;
        child->Path = node.Path;
        child->Path.push_back(k);
        node.Child[k] = std::move(child);
        buildNode(*node.Child[k], depth + 1, seeds[k], counters);
    }
    if (node.Child[0] && node.Child[1]) {
        int number = counters[static_cast<size_t>(depth)]++;
        node.MatchNo = number;
        if (number >= 1 && number <= static_cast<int>(matches_.size()))
            matches_[static_cast<size_t>(number) - 1] = &node;
    } else {
        const BracketNode& only = node.Child[0] ? *node.Child[0] : *node.Child[1];
        node.Row = only.Row;
        node.Index = only.Index;
    }
}

BracketNode* Bracket::match(int number) const {
    if (number < 1 || number > matchCount()) return nullptr;
    return matches_[static_cast<size_t>(number) - 1];
}

BracketNode* Bracket::slot(int row) const {
    if (row < 0 || row >= slotCount()) return nullptr;
    return slots_[static_cast<size_t>(row)];
}

modes::Entrant* Bracket::entrantOf(int index) {
    if (index < 1 || index > static_cast<int>(entrants_.size())) return nullptr;
    return &entrants_[static_cast<size_t>(index) - 1];
}

EntryRecord* Bracket::rowOf(int index) const {
    if (index < 1 || index > static_cast<int>(entrants_.size())) return nullptr;
    const modes::Entrant& e = entrants_[static_cast<size_t>(index) - 1];
    return e.Path.empty() ? nullptr : e.row();
}

bool Bracket::assign(int row, modes::Entrant entrant) {
    BracketNode* leaf = slot(row);
    if (!leaf) return false;
    // The slot's own entrant (list entry Index - 1) is the one replaced.
    const size_t own = leaf->Index >= 1 ? static_cast<size_t>(leaf->Index) - 1 : SIZE_MAX;
    if (modes::stemTaken(entrants_, entrant.Path, own)) return false;
    if (!entrant.Record) entrant.Record = modes::newRow();
    if (leaf->Index >= 1 && leaf->Index <= static_cast<int>(entrants_.size())) {
        modes::Entrant& kept = entrants_[static_cast<size_t>(leaf->Index) - 1];
        kept.Path = std::move(entrant.Path);
        if (kept.Record)
            *kept.Record = *entrant.Record;
        else
            kept.Record = std::move(entrant.Record);
        leaf->Row = kept.row();
    } else {
        entrants_.push_back(std::move(entrant));
        leaf->Index = static_cast<int>(entrants_.size());
        leaf->Row = entrants_.back().row();
    }
    if (BracketNode* bye = leaf->Parent; bye && !bye->isMatch()) {
        bye->Row = leaf->Row;
        bye->Index = leaf->Index;
    }
    return true;
}

bool Bracket::clearSlot(int row) {
    BracketNode* leaf = slot(row);
    if (!leaf) return false;
    if (leaf->Index >= 1 && leaf->Index <= static_cast<int>(entrants_.size())) {
        modes::Entrant& gone = entrants_[static_cast<size_t>(leaf->Index) - 1];
        gone.Record.reset();
        gone.Path.clear();
    }
    leaf->Row = &absent_;
    leaf->Index = NoEntrant;
    // A bye above the slot must not keep pointing at the freed row.
    if (BracketNode* bye = leaf->Parent; bye && !bye->isMatch()) {
        bye->Row = leaf->Row;
        bye->Index = leaf->Index;
    }
    return true;
}

std::string Bracket::name(const char* field, size_t fieldSize, size_t width) const {
    return sjis::cutString(sjis::readField(field, fieldSize), width, keepWidth_);
}

std::string Bracket::seedText(const EntryRecord* row) const {
    if (!row) return modes::format(" %-*s ", 37, text::UnsetSide);
    std::string owner = name(row->OwnerName, sizeof(row->OwnerName), 16);
    std::string pilot = name(row->PilotName, sizeof(row->PilotName), 20);
    return modes::format(" %-*s %-*s ", 16, owner.c_str(), 20, pilot.c_str());
}

// For each level above the node's parent, nearest first, four columns: a
// match's vertical line passes every row between its two sides, so a row
// passes the line of its ancestor A exactly when the path turns there (the
// row lies in A's upper subtree but below that subtree's connection, or in
// the lower subtree above it).
std::string Bracket::tail(const BracketNode& node, bool result) const {
    std::vector<const BracketNode*> byDepth(static_cast<size_t>(node.Depth) + 1, nullptr);
    for (const BracketNode* p = &node; p; p = p->Parent)
        if (p->Depth >= 1 && p->Depth <= node.Depth) byDepth[static_cast<size_t>(p->Depth)] = p;
    std::string out;
    for (int k = node.Depth - 2; k >= 1; --k) {
        const BracketNode* above = byDepth[static_cast<size_t>(k)];
        const BracketNode* side = byDepth[static_cast<size_t>(k) + 1];
        const BracketNode* below = byDepth[static_cast<size_t>(k) + 2];
        if (!above || !side || !below || side->Side == below->Side)
            out += "    ";
        else
            out += result && above->Result == side->Side ? "   *" : "   |";
    }
    return out;
}

void Bracket::textLines(const BracketNode& node, modes::Lines& out, bool result) const {
    auto push = [&out](std::string line) {
        trimRight(line);
        out.push_back(std::move(line));
    };
    if (node.isSlot()) {
        push(seedText(node.Row));
        return;
    }
    const BracketNode* parent = node.Parent;
    const std::string tailText = tail(node, result);
    const bool won = result && node.Result != NoWinner;
    auto junction = [&](int depth) {
        std::string line(static_cast<size_t>(SeedColumn + 4 * (rounds_ - depth + 1)), ' ');
        line += won ? " ***" : " +--";
        if (parent) line += won ? "**" : "-+";
        return line + tailText;
    };

    if (node.Depth >= rounds_) {
        if (node.isMatch()) {
            for (int k = 0; k < 2; ++k) {
                std::string line = seedText(node.Child[k]->Row);
                line += result && node.Result == k ? "******  " : "-----+  ";
                if (parent) {
                    // The parent's line passes the seed row on the far side
                    // of this match's connection.
                    if (node.Side != k)
                        line += result && parent->Result == node.Side ? " *" : " |";
                    else
                        line += "  ";
                }
                push(line + tailText);
                if (k == 0) push(junction(rounds_));
            }
        } else {
            const BracketNode& seed = node.Child[0] ? *node.Child[0] : *node.Child[1];
            std::string line = seedText(seed.Row);
            const bool lost = parent && parent->Result == 1 - node.Side;
            line += result && !lost ? "**********" : "---------+";
            push(line + tailText);
        }
        return;
    }
    if (node.Child[0]) textLines(*node.Child[0], out, result);
    push(junction(node.Depth));
    if (node.Child[1]) textLines(*node.Child[1], out, result);
}

modes::Lines Bracket::text(bool resultMode) const {
    modes::Lines out;
    if (root_) textLines(*root_, out, resultMode);
    return out;
}

namespace {

struct PictureWalk {
    const Bracket& bracket;
    bool result;
    Picture& picture;
    int row = 0;

    int x(const BracketNode& node) const {
        if (node.isSlot()) return bracket.nameColumn();
        return bracket.nameColumn() + Bracket::DepthStep * (bracket.rounds() + 1 - node.Depth);
    }

    // Whether the line from `node` up to its parent lies on a winner's path.
    bool winnerUp(const BracketNode& node) const {
        const BracketNode* parent = node.Parent;
        if (!result) return false;
        if (!parent) return node.Result != NoWinner;
        if (parent->isMatch()) return parent->Result == node.Side;
        return winnerUp(*parent);
    }

    // Draws the node's subtree; returns the y of its connection.
    int walk(const BracketNode& node) {
        if (node.isSlot()) {
            int top = Bracket::RowTop + row * Bracket::RowHeight;
            ++row;
            const EntryRecord* r = node.Row;
            if (!r) {
                picture.Texts.push_back({bracket.pilotColumn(), top, text::UnsetSide});
            } else {
                std::string owner = sjis::cutString(sjis::readField(r->OwnerName), 16, bracket.keepWidth());
                std::string pilot = sjis::cutString(sjis::readField(r->PilotName), 20, bracket.keepWidth());
                if (!owner.empty()) picture.Texts.push_back({Bracket::OwnerColumn, top, owner});
                picture.Texts.push_back({bracket.pilotColumn(), top, pilot});
            }
            return top + Bracket::RowHeight / 2;
        }
        int ys[2] = {0, 0};
        int count = 0, y = 0;
        for (int k = 0; k < 2; ++k) {
            if (!node.Child[k]) continue;
            const BracketNode& child = *node.Child[k];
            ys[k] = walk(child);
            y += ys[k];
            ++count;
            picture.Lines.push_back({x(child), ys[k], x(node), ys[k], winnerUp(child)});
        }
        y = count ? y / count : 0;
        if (node.isMatch())
            for (int k = 0; k < 2; ++k)
                picture.Lines.push_back({x(node), ys[k], x(node), y, winnerUp(*node.Child[k])});
        if (!node.Parent)
            picture.Lines.push_back({x(node), y, x(node) + Bracket::DepthStep, y, winnerUp(node)});
        return y;
    }
};

} // namespace

Picture Bracket::picture(bool resultMode) const {
    Picture p;
    if (!root_) return p;
    p.Width = rounds_ * DepthStep + 300 + (nameColumn_ - NameColumn);
    p.Height = n_ * RowHeight + 20;
    PictureWalk walk{*this, resultMode, p};
    walk.walk(*root_);
    return p;
}

Picture Picture::strip(int top, int bottom) const {
    Picture s;
    s.Width = Width;
    s.Height = Height;
    // Texts come row by row: the first one whose row reaches below `top`.
    auto first = std::partition_point(Texts.begin(), Texts.end(), [top](const PictureText& t) {
        return t.Top + Bracket::RowHeight <= top;
    });
    for (auto t = first; t != Texts.end() && t->Top < bottom; ++t) s.Texts.push_back(*t);
    const int half = 2; // half the winners' pen
    for (const PictureLine& l : Lines)
        if (std::max(l.Y1, l.Y2) + half >= top && std::min(l.Y1, l.Y2) - half < bottom) s.Lines.push_back(l);
    return s;
}

void Bracket::fitColumns(int ownerWidth, int pilotWidth) {
    pilotColumn_ = std::max(PilotColumn, OwnerColumn + ownerWidth + NameGap);
    nameColumn_ = std::max(NameColumn, pilotColumn_ + pilotWidth + NameGap);
}

int Bracket::slotAt(int x, int y, bool nameColumnOnly) const {
    if (!root_ || y < RowTop) return -1;
    int row = (y - RowTop) / RowHeight;
    if (row >= slotCount()) return -1;
    if (nameColumnOnly && (x < 0 || x >= nameColumn_)) return -1;
    return row;
}

} // namespace brackets
